#include "minimize/MarquardtWindow.h"
#include "minimize/SimplexWindow.h"

#include "app/Application.h"
#include "app/MainMenu.h"
#include "support/FakeClock.h"
#include "support/ScriptedUi.h"
#include "text/TextFile.h"

#include <gtest/gtest.h>

namespace orvanta {
namespace {

using testing::FakeClock;
using testing::ScriptedUi;

class MinimizerWindows : public ::testing::Test {
protected:
    MinimizerWindows()
    {
        app.start();
        app.startToolCommand(ToolStart::CloseAll);
    }

    void fillPanels()
    {
        for (int panel = 1; panel <= 4; ++panel)
            app.mainWindow.setPanel(statusBar::messages, panel, "busy");
    }

    std::string panel(int number) const { return app.mainWindow.panelText(statusBar::messages, number); }

    ScriptedUi ui;
    FakeClock clock;
    Application app{ui, clock, realFileSystem()};
};

// ---- frmSimplex -------------------------------------------------------------------------------

TEST_F(MinimizerWindows, SimplexWindowOpensWithItsCaptionButtonAndPlace)
{
    const SimplexWindow& window = openSimplexWindow(app, 3);
    EXPECT_EQ(window.name(), "frmSimplex");
    EXPECT_EQ(window.caption(),
              "Simplex minimization (uses geometry; works best for models whose behaviour is "
              "markedly non-linear; initial progress is sensitive to step sizes)");
    EXPECT_EQ(window.stopButton().name, "cmdStop");
    EXPECT_EQ(window.stopButton().caption, "&Interrupt");
    EXPECT_EQ(window.stopButton().toolTip, "Click here to interrupt the current minimization");
    EXPECT_TRUE(window.stopButton().enabled);
    EXPECT_EQ(window.geometry().left, 500);
    EXPECT_EQ(window.geometry().top, 500);
    EXPECT_EQ(window.geometry().width, 14000);
    EXPECT_EQ(window.initialText(), "");
    EXPECT_EQ(window.progressText(), "");
    EXPECT_EQ(window.upperBoxHeight(), 3000);
}

TEST_F(MinimizerWindows, FontSizeShrinksBeyondTwentyFiveFreeParameters)
{
    struct Case {
        std::int32_t freeCount;
        int size;
    };
    const Case cases[] = {{1, 10}, {25, 10}, {26, 8}, {200, 8}};
    for (const Case& c : cases) {
        EXPECT_EQ(openSimplexWindow(app, c.freeCount).fontSize(), c.size) << c.freeCount;
        EXPECT_EQ(openMarquardtWindow(app, c.freeCount).fontSize(), c.size) << c.freeCount;
        app.minimization.simplexRunning = app.minimization.marquardtRunning = true;
        app.desktop.close(SimplexWindow::windowName);
        app.desktop.close(MarquardtWindow::windowName);
    }
}

TEST_F(MinimizerWindows, SimplexLayoutStacksButtonUpperBoxSplitterAndLowerBox)
{
    const SimplexLayout layout = layoutSimplexWindow(14000, 9000, 400, 3000);
    EXPECT_EQ(layout.stopButton, (TwipRect{0, 0, 14000, 400}));
    EXPECT_EQ(layout.upperBox, (TwipRect{0, 400, 13880, 3000}));
    EXPECT_EQ(layout.splitter, (TwipRect{0, 3400, 13600, 15}));
    EXPECT_EQ(layout.lowerBox, (TwipRect{0, 3415, 13880, 9000 - 400 - 3415}));

    // A resized window keeps the relations; the lower box gives way first.
    const SimplexLayout small = layoutSimplexWindow(5000, 3500, 300, 3000);
    EXPECT_EQ(small.upperBox, (TwipRect{0, 300, 4880, 3000}));
    EXPECT_EQ(small.splitter, (TwipRect{0, 3300, 4600, 15}));
    EXPECT_EQ(small.lowerBox, (TwipRect{0, 3315, 4880, 0}));
}

TEST_F(MinimizerWindows, DraggingTheSplitterMovesTheBorderWithinTheWindow)
{
    SimplexWindow& window = openSimplexWindow(app, 3);
    struct Case {
        int borderTop;
        int upperHeight;
    };
    // Window 9000 high, button 400: the lower box keeps 240 below a border at 8345 at most.
    const Case cases[] = {{5400, 5000}, {700, 300}, {500, 240}, {-100, 240}, {8345, 7945}, {9999, 7945}};
    for (const Case& c : cases) {
        window.dragSplitterTo(c.borderTop, 9000, 400);
        EXPECT_EQ(window.upperBoxHeight(), c.upperHeight) << c.borderTop;
    }
}

TEST_F(MinimizerWindows, SimplexStopButtonRequestsTheInterruptAndDisablesItself)
{
    SimplexWindow& window = openSimplexWindow(app, 3);
    window.cmdStop_Click();
    EXPECT_TRUE(app.minimization.interruptRequested);
    EXPECT_FALSE(window.stopButton().enabled);
    EXPECT_EQ(panel(1), "Interrupt pending...");

    // Disabled, it does nothing until the run enables it again.
    app.minimization.interruptRequested = false;
    window.cmdStop_Click();
    EXPECT_FALSE(app.minimization.interruptRequested);
}

TEST_F(MinimizerWindows, ClosingTheSimplexWindowEmptiesPanelsAndShowsTheMenuOnlyAfterTheRun)
{
    struct Case {
        bool running;
        bool menuShown;
    };
    for (const Case c : {Case{true, false}, Case{false, true}}) {
        app.closeMainMenu();
        app.minimization.simplexRunning = c.running;
        SimplexWindow& window = openSimplexWindow(app, 3);
        window.setProgressText("progress");
        fillPanels();
        app.desktop.close(SimplexWindow::windowName);
        EXPECT_EQ(panel(1), "");
        EXPECT_EQ(panel(2), "");
        EXPECT_EQ(panel(3), "");
        EXPECT_EQ(panel(4), "busy");
        EXPECT_EQ(app.mainMenu() != nullptr, c.menuShown) << "running " << c.running;
        // A window opened again starts empty.
        EXPECT_EQ(openSimplexWindow(app, 3).progressText(), "");
        app.minimization.simplexRunning = true;
        app.desktop.close(SimplexWindow::windowName);
    }
}

// ---- frmMarquardt -----------------------------------------------------------------------------

TEST_F(MinimizerWindows, MarquardtWindowOpensWithThePauseButtonsHiddenAndDisabled)
{
    const MarquardtWindow& window = openMarquardtWindow(app, 3);
    EXPECT_EQ(window.name(), "frmMarquardt");
    EXPECT_EQ(window.caption(),
              "Marquardt minimization (uses derivatives; works best when model behaviour is "
              "close-to-linear; progress is insensitive to (non-zero) step sizes)");
    EXPECT_EQ(window.geometry().left, 500);
    EXPECT_EQ(window.geometry().top, 500);
    EXPECT_EQ(window.geometry().width, 14000);

    struct Expected {
        const PlacedButton& button;
        const char* name;
        const char* caption;
        const char* toolTip;
        bool visible;
    };
    const Expected buttons[] = {
        {window.stopButton(), "cmdStop", "&Interrupt", "Click here to interrupt the current minimization",
         true},
        {window.iterationButton(), "cmdIteration", "&Next iteration",
         "Click to pause minimization after each iteration", false},
        {window.continueButton(), "cmdContinue", "&Continue",
         "Click to continue minimizing without pausing after each iteration", false},
    };
    for (const Expected& e : buttons) {
        EXPECT_EQ(e.button.button.name, e.name);
        EXPECT_EQ(e.button.button.caption, e.caption);
        EXPECT_EQ(e.button.button.toolTip, e.toolTip);
        EXPECT_EQ(e.button.visible, e.visible) << e.name;
        EXPECT_EQ(e.button.button.enabled, e.visible) << e.name;
    }
    EXPECT_EQ(window.iterationButton().place.left, 11000);
    EXPECT_EQ(window.iterationButton().place.top, 800);
    EXPECT_EQ(window.continueButton().place.left, 11000);
    EXPECT_EQ(window.continueButton().place.top, 1400);
}

TEST_F(MinimizerWindows, MarquardtTextBoxFollowsTheWindowBelowTheStopButton)
{
    const MarquardtLayout layout = layoutMarquardtWindow(14000, 9000, 400);
    EXPECT_EQ(layout.stopButton, (TwipRect{0, 0, 14000, 400}));
    EXPECT_EQ(layout.textBox, (TwipRect{0, 400, 13880, 8200}));
    EXPECT_EQ(layoutMarquardtWindow(100, 500, 400).textBox, (TwipRect{0, 400, 0, 0}));
}

TEST_F(MinimizerWindows, PauseButtonsResumeAndContinueStopsFurtherPauses)
{
    struct Case {
        const char* button;
        bool showDerivativesAfter;
    };
    for (const Case c : {Case{"cmdIteration", true}, Case{"cmdContinue", false}}) {
        MarquardtWindow& window = openMarquardtWindow(app, 3);
        app.minimization.showDerivatives = true;
        app.minimization.resumeRequested = false;
        window.setPauseButtonsShown(true);
        EXPECT_TRUE(window.iterationButton().visible && window.iterationButton().button.enabled);
        EXPECT_TRUE(window.continueButton().visible && window.continueButton().button.enabled);

        if (std::string(c.button) == "cmdIteration")
            window.cmdIteration_Click();
        else
            window.cmdContinue_Click();
        EXPECT_TRUE(app.minimization.resumeRequested) << c.button;
        EXPECT_EQ(app.minimization.showDerivatives, c.showDerivativesAfter) << c.button;
        for (const PlacedButton* b : {&window.iterationButton(), &window.continueButton()}) {
            EXPECT_FALSE(b->visible) << c.button;
            EXPECT_FALSE(b->button.enabled) << c.button;
        }
    }
}

TEST_F(MinimizerWindows, MarquardtStopButtonRequestsTheInterruptAndEndsAPause)
{
    MarquardtWindow& window = openMarquardtWindow(app, 3);
    app.minimization.showDerivatives = true;
    app.minimization.resumeRequested = false;
    window.setPauseButtonsShown(true);
    window.cmdStop_Click();
    EXPECT_TRUE(app.minimization.marquardtInterrupt);
    EXPECT_FALSE(window.stopButton().button.enabled);
    EXPECT_EQ(panel(2), "Interrupt pending...");
    EXPECT_TRUE(app.minimization.resumeRequested);
    EXPECT_FALSE(app.minimization.showDerivatives);
    EXPECT_FALSE(window.iterationButton().visible);
    EXPECT_FALSE(window.continueButton().visible);
}

TEST_F(MinimizerWindows, ClosingTheMarquardtWindowEndsAPauseAndShowsTheMenuOnlyAfterTheRun)
{
    struct Case {
        bool running;
        bool menuShown;
    };
    for (const Case c : {Case{true, false}, Case{false, true}}) {
        app.closeMainMenu();
        app.minimization.marquardtRunning = c.running;
        app.minimization.showDerivatives = true;
        app.minimization.resumeRequested = false;
        openMarquardtWindow(app, 3).setPauseButtonsShown(true);
        fillPanels();
        app.desktop.close(MarquardtWindow::windowName);
        EXPECT_TRUE(app.minimization.resumeRequested);
        EXPECT_FALSE(app.minimization.showDerivatives);
        EXPECT_EQ(panel(1), "");
        EXPECT_EQ(panel(2), "");
        EXPECT_EQ(panel(3), "");
        EXPECT_EQ(panel(4), "busy");
        EXPECT_EQ(app.mainMenu() != nullptr, c.menuShown) << "running " << c.running;
        EXPECT_EQ(openMarquardtWindow(app, 3).text(), "");
        app.minimization.marquardtRunning = true;
        app.desktop.close(MarquardtWindow::windowName);
    }
}

} // namespace
} // namespace orvanta
