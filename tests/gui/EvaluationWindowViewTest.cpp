// The evaluation window's and the distribution plot window's Qt views, and their pictures:
//   ORVANTA_SCREENSHOT_DIR=/tmp/orvanta-shots QT_QPA_PLATFORM=offscreen test_gui
//   --gtest_filter='ProfileScreenshots*'
#include "BundledExampleNearFit.h"
#include "ScreenshotFixture.h"

#include "gui/EvaluationWindowView.h"
#include "gui/PlotWindowView.h"
#include "model/InitializationWindow.h"
#include "model/TarnfieldModel.h"
#include "plots/DistributionPlotWindow.h"
#include "uncertainty/EvaluationWindow.h"
#include "uncertainty/LikelihoodProfile.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

namespace orvanta::gui::testing {
namespace {

class EvaluationWindowViewTest : public GuiTest {
protected:
    EvaluationWindowView* view() const
    {
        return qobject_cast<EvaluationWindowView*>(subWindow(EvaluationWindow::windowName)->widget());
    }
};

TEST_F(EvaluationWindowViewTest, ShowsTheChoicesAndNotesAndForwardsCancel)
{
    app.session.initializeAlready = true;
    app.session.algorithmFileName = "fit.alg";
    app.closeMainMenu();
    app.showMainMenu();
    app.mainMenuButtonClicked("cmdParEstimate");
    QCoreApplication::processEvents();
    ASSERT_NE(subWindow(EvaluationWindow::windowName), nullptr);
    EXPECT_EQ(subWindow(EvaluationWindow::windowName)->windowTitle(), "Evaluation of estimates");
    EvaluationWindowView* v = view();
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->label("lblNote1")->text(),
              "Results are valid only if the objective function is the Sum of Squares or the -ln[L]");
    EXPECT_EQ(v->button("cmdML")->text(), "&Maximium likelihood (ML) confidence distributions");
    EXPECT_EQ(v->button("cmdBP")->text(), "&Bayesian posterior (BP) distributions");
    EXPECT_EQ(app.mainMenu(), nullptr);

    QTest::mouseClick(v->button("cmdCancel"), Qt::LeftButton);
    deleteClosedViews();
    EXPECT_FALSE(app.desktop.isOpen(EvaluationWindow::windowName));
    EXPECT_NE(subWindow("frmMenu"), nullptr);
}

// A profile of L-infinity on the bundled example near its fitted values, the other parameters
// held (no minimization): 25 points 1.2 mm apart.
void profileBundledExample(Application& app, TarnfieldModel& model)
{
    loadBundledExampleNearFit(app, model, {{1, 1.2}});
    ASSERT_EQ(calculateLikelihoodProfile(app, {1, 25, ProfileMinimizer::Simplex}), ProfileEnd::Complete);
    computeDistributionStatistics(app.distribution.profile);
}

DistributionPlotWindow& openPlot(Application& app)
{
    auto window = std::make_unique<DistributionPlotWindow>(
        app.distribution.profile, app.distribution.parameter, DistributionSource::LikelihoodProfile,
        [&app] { app.desktop.close(distributionPlot::windowName); });
    DistributionPlotWindow& opened = *window;
    app.desktop.open(std::move(window));
    QCoreApplication::processEvents();
    return opened;
}

TEST_F(EvaluationWindowViewTest, TheDistributionPlotWindowListsTheCurvesAndDrawsTheChosenOne)
{
    profileBundledExample(app, session.model());
    DistributionPlotWindow& window = openPlot(app);
    QMdiSubWindow* frame = subWindow(distributionPlot::windowName);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->windowTitle(), "Distribution plots");
    auto* list = frame->findChild<QListWidget*>("listVar");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->count(), 7);
    EXPECT_EQ(list->item(1)->text(), "Parameter Confidence Distribution");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
    EXPECT_EQ(window.control("listVar").selected, 1);
    QTest::mouseClick(frame->findChild<QPushButton*>("cmdPlot"), Qt::LeftButton);
    EXPECT_EQ(window.graphCaption("lblVar").caption, "Y: Parameter Confidence Distribution\nX: Values for "
                                                     "parameter # 1");
    EXPECT_FALSE(window.graph().primitivesOf(PlotPrimitive::Kind::Circle).empty());
    QTest::mouseClick(frame->findChild<QPushButton*>("cmdDone"), Qt::LeftButton);
    deleteClosedViews();
    EXPECT_FALSE(app.desktop.isOpen(distributionPlot::windowName));
}

class ProfileScreenshots : public ScreenshotTest {};

TEST_F(ProfileScreenshots, EvaluationWindowAndDistributionPlots)
{
    app.session.initializeAlready = true;
    app.session.algorithmFileName = "fit.alg";
    app.closeMainMenu();
    app.showMainMenu();
    app.mainMenuButtonClicked("cmdParEstimate");
    ASSERT_NE(subWindow(EvaluationWindow::windowName), nullptr);
    save(*subWindow(EvaluationWindow::windowName), "frmParEvals");
    app.desktop.close(EvaluationWindow::windowName);
    deleteClosedViews();

    profileBundledExample(app, session.model());
    DistributionPlotWindow& window = openPlot(app);
    QMdiSubWindow* frame = subWindow(distributionPlot::windowName);
    ASSERT_NE(frame, nullptr);
    for (int curve : {2, 7}) {
        window.listClicked("listVar", curve - 1);
        window.cmdPlot_Click();
    }
    save(*frame, "frmDistPlot-density");
    window.cmdClear_Click();
    window.checkBoxClicked("Check_Drop", true);
    window.listClicked("listVar", 2);
    window.cmdPlot_Click();
    save(*frame, "frmDistPlot-mode-confidence");
}

} // namespace
} // namespace orvanta::gui::testing
