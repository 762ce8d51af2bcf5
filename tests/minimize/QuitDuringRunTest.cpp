// Quitting the program from the main window's close box while a minimization runs: the run
// stops at its next yield, evaluates nothing more and shows nothing more, and no window of the
// ended session comes back.

#include "SimplexFixture.h"
#include "minimize/MarquardtMinimizer.h"
#include "minimize/MarquardtWindow.h"
#include "support/QuitDuringRun.h"

#include <optional>

namespace orvanta {
namespace {

using testing::bowl;
using testing::QuitDuringRun;
using testing::SimplexSession;

enum class Minimizer { Simplex, Marquardt };

struct QuitCase {
    Minimizer minimizer;
    int yield; // the quit comes at this yield of the run
};

// For the Simplex, yield 1 comes before the initial simplex is built, yield 2 after its first
// iteration. For Marquardt, yield 1 comes before the start's evaluation, yield 3 among the first
// derivative probes, yield 40 among later trials and derivatives.
const QuitCase quitCases[] = {
    {Minimizer::Simplex, 1},   {Minimizer::Simplex, 2},    {Minimizer::Simplex, 30},
    {Minimizer::Marquardt, 1}, {Minimizer::Marquardt, 3}, {Minimizer::Marquardt, 40},
};

class QuitDuringMinimization : public SimplexSession, public ::testing::WithParamInterface<QuitCase> {
protected:
    QuitDuringMinimization()
    {
        installMarquardt(app);
        // Two free parameters on a bowl whose minimum no run reaches before the quit: an
        // absolute tolerance of 0 never converges.
        setParameters({{4.0, 1.0}, {-3.0, 0.5}});
        model.objective = bowl({0.0, 1.0, 2.0});
        app.algorithm.options.convergenceTolerance = 0.0;
        app.algorithm.options.maxCalls = 100000;
        app.algorithm.options.terminalFrequency = 1;
    }

    // Quits at the yield, noting the model's calls then, so that later calls can be told apart.
    void quitAtYield(int yield)
    {
        quit.atYield(yield);
        auto quitting = ui.onYield;
        ui.onYield = [this, quitting] {
            quitting();
            if (app.ended() && !callsWhenQuit)
                callsWhenQuit = model.calls.size();
        };
    }

    void expectStoppedAtOnce()
    {
        ASSERT_TRUE(quit.quitHappened());
        EXPECT_EQ(model.calls.size(), callsWhenQuit.value_or(0)) << "evaluations after the quit";
        EXPECT_EQ(quit.shownAfterQuit(), 0u);
        EXPECT_EQ(app.mainMenu(), nullptr) << "the main menu came back";
    }

    QuitDuringRun quit{ui, app};
    std::optional<std::size_t> callsWhenQuit;
};

TEST_P(QuitDuringMinimization, TheRunStopsAtItsNextYield)
{
    if (GetParam().minimizer == Minimizer::Marquardt)
        ui.answer(Answer::No).answer(Answer::OK).answer(Answer::No); // numerical, no listing
    quitAtYield(GetParam().yield);
    app.mainMenuButtonClicked(GetParam().minimizer == Minimizer::Simplex ? menuButton::simplex
                                                                         : menuButton::marquardt);
    expectStoppedAtOnce();
}

INSTANTIATE_TEST_SUITE_P(AtSeveralYields, QuitDuringMinimization, ::testing::ValuesIn(quitCases));

// A derivative pause waits for the user; quitting there ends the wait and the run.
TEST_F(QuitDuringMinimization, MarquardtLeavesADerivativePause)
{
    ui.answer(Answer::No).answer(Answer::OK).answer(Answer::Yes); // numerical, with the listing
    int pausingYields = 0;
    ui.onYield = [this, &pausingYields] {
        const MarquardtWindow* window = app.desktop.find<MarquardtWindow>(MarquardtWindow::windowName);
        if (!app.ended() && window && window->iterationButton().visible && ++pausingYields == 3) {
            ui.answer(Answer::Yes).answer(Answer::No);
            app.mainWindowCloseRequested();
            callsWhenQuit = model.calls.size();
        }
    };
    app.mainMenuButtonClicked(menuButton::marquardt);

    EXPECT_TRUE(app.ended());
    EXPECT_EQ(model.calls.size(), callsWhenQuit.value_or(0));
    EXPECT_EQ(app.mainMenu(), nullptr);
}

} // namespace
} // namespace orvanta
