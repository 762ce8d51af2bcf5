// A fit refreshes its window many times; only the first opening may bring it to the front, so
// that the user can look at other windows while it runs.

#include "SimplexFixture.h"
#include "minimize/MarquardtMinimizer.h"
#include "minimize/MarquardtWindow.h"
#include "support/DesktopRecorder.h"

#include <algorithm>

namespace orvanta {
namespace {

using testing::bowl;
using testing::DesktopRecorder;
using testing::SimplexSession;

class WindowFocus : public SimplexSession {
protected:
    WindowFocus()
    {
        installMarquardt(app);
        setParameters({{4.0, 1.0}, {-3.0, 0.5}});
        model.objective = bowl({0.0, 1.0, 2.0});
        app.algorithm.options.convergenceTolerance = 1e-9;
        app.algorithm.options.terminalFrequency = 1;
        app.desktop.setObserver(&desktop);
    }
    ~WindowFocus() override { app.desktop.setObserver(nullptr); }

    long openings(const std::string& name) const
    {
        return std::count(desktop.opened.begin(), desktop.opened.end(), name);
    }
    long raisings(const std::string& name) const
    {
        return std::count(desktop.raised.begin(), desktop.raised.end(), name);
    }

    DesktopRecorder desktop;
};

TEST_F(WindowFocus, TheSimplexWindowIsOpenedOnceAndNeverRaisedByItsRefreshes)
{
    ui.answer(Answer::OK); // the verified minimum
    pressSimplex();

    EXPECT_GT(app.minimization.counters.iterationCount, 10);
    EXPECT_EQ(openings(SimplexWindow::windowName), 1);
    EXPECT_EQ(raisings(SimplexWindow::windowName), 0);
}

TEST_F(WindowFocus, TheMarquardtWindowIsOpenedOnceAndNeverRaisedByItsRefreshes)
{
    ui.answer(Answer::No).answer(Answer::OK).answer(Answer::No); // numerical, no listing
    ui.answer(Answer::OK);                                       // the verified minimum
    app.mainMenuButtonClicked(menuButton::marquardt);

    EXPECT_GE(app.minimization.counters.iterationCount, 1);
    EXPECT_EQ(openings(MarquardtWindow::windowName), 1);
    EXPECT_EQ(raisings(MarquardtWindow::windowName), 0);
}

} // namespace
} // namespace orvanta
