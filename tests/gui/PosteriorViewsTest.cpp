// The bivariate density plot window on screen, on the joint posterior of L-infinity and k of the
// bundled example, and its picture:
//   ORVANTA_SCREENSHOT_DIR=/tmp/orvanta-shots QT_QPA_PLATFORM=offscreen test_gui
//   --gtest_filter='PosteriorScreenshots*'
#include "BundledExampleNearFit.h"
#include "ScreenshotFixture.h"

#include "model/InitializationWindow.h"
#include "model/TarnfieldModel.h"
#include "plots/BivariatePlotWindow.h"
#include "uncertainty/PosteriorIntegration.h"

#include <QPushButton>
#include <QTest>

namespace orvanta::gui::testing {
namespace {

// The posterior of L-infinity over k on the bundled example near its fitted values: 15 x 15
// points.
void integrateBundledExample(Application& app, TarnfieldModel& model)
{
    loadBundledExampleNearFit(app, model, {{1, 0.85}, {3, 0.0057}});
    const PosteriorOutcome outcome = calculatePosterior(app, {1, 15, 15, {}});
    app.session.bayesRunning = false;
    ASSERT_EQ(outcome.end, PosteriorEnd::Complete);
    ASSERT_EQ(outcome.gridParameterCount, 1);
}

BivariatePlotWindow& openPlot(Application& app)
{
    auto window = std::make_unique<BivariatePlotWindow>(
        app.distribution.bivariate, [&app] { app.desktop.close(bivariatePlot::windowName); });
    BivariatePlotWindow& opened = *window;
    app.desktop.open(std::move(window));
    QCoreApplication::processEvents();
    return opened;
}

class PosteriorViewTest : public GuiTest {};

TEST_F(PosteriorViewTest, TheBivariatePlotWindowShowsItsCaptionAndClosesWithDone)
{
    integrateBundledExample(app, session.model());
    BivariatePlotWindow& window = openPlot(app);
    QMdiSubWindow* frame = subWindow(bivariatePlot::windowName);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->windowTitle(), "Bivariate pdf plot");
    EXPECT_TRUE(window.correlationShown());
    ASSERT_NE(frame->findChild<QPushButton*>("cmdSavePicture"), nullptr);
    QTest::mouseClick(frame->findChild<QPushButton*>("cmdDone"), Qt::LeftButton);
    deleteClosedViews();
    EXPECT_FALSE(app.desktop.isOpen(bivariatePlot::windowName));
}

class PosteriorScreenshots : public ScreenshotTest {};

TEST_F(PosteriorScreenshots, BivariatePlot)
{
    integrateBundledExample(app, session.model());
    openPlot(app);
    QMdiSubWindow* frame = subWindow(bivariatePlot::windowName);
    ASSERT_NE(frame, nullptr);
    save(*frame, "frmBivarPlot");
}

} // namespace
} // namespace orvanta::gui::testing
