#include "minimize/ProgressText.h"

#include "app/Application.h"
#include "minimize/MarquardtWindow.h"
#include "minimize/SimplexWindow.h"
#include "support/FakeClock.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"
#include "text/TextFile.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace orvanta {
namespace {

using testing::FakeClock;
using testing::Interaction;
using testing::ScriptedUi;
using testing::TempDir;

std::vector<ParameterRow> twoRows()
{
    return {{2, 1.5, "~~", "K (mean)"}, {5, -0.25, "A", "Mortality"}};
}

InitialSimplex initialSimplex()
{
    return {100.0, 120.0, 90.0, twoRows()};
}

SimplexProgress simplexProgress()
{
    return {.counters = {3, 9, 0},
            .improvedCount = 2,
            .lastAction = "Extension             ",
            .bestValue = 90.0,
            .worstValue = 95.0,
            .bestVertex = twoRows()};
}

MarquardtProgress marquardtProgress()
{
    MarquardtProgress p{
        .counters = {2, 11, 0}, .currentValue = 80.0, .lastValue = 81.5, .accepted = twoRows()};
    p.derivatives.gradient = {0, 0.5, -1.0};
    p.derivatives.hessian = {{}, {0, 2.0, 0.25}, {0, 0.25, 3.0}};
    return p;
}

class ProgressDisplay : public ::testing::Test {
protected:
    ProgressDisplay()
    {
        app.start();
        app.startToolCommand(ToolStart::CloseAll);
    }

    void openLog() { ASSERT_TRUE(app.minimizationLog.open(logPath)); }
    std::string logText() const { return testing::readFileBytes(logPath); }
    std::string panel(int number) const { return app.mainWindow.panelText(statusBar::messages, number); }
    MarquardtWindow* marquardtWindow() const { return app.desktop.find<MarquardtWindow>("frmMarquardt"); }
    SimplexWindow* simplexWindow() const { return app.desktop.find<SimplexWindow>("frmSimplex"); }

    ScriptedUi ui;
    FakeClock clock;
    Application app{ui, clock, realFileSystem()};
    TempDir dir;
    std::string logPath = dir.file("minimize.ovl");
};

// ---- Simplex ----------------------------------------------------------------------------------

TEST_F(ProgressDisplay, InitialSimplexGoesToTheUpperBoxAndToAnOpenLog)
{
    openLog();
    app.algorithm.options.terminalFrequency = 10;
    app.algorithm.options.fileFrequency = 5;
    app.mainWindow.setPanel(statusBar::messages, 1, "Building initial simplex...");
    showInitialSimplex(app, initialSimplex());
    EXPECT_EQ(panel(1), "");
    EXPECT_EQ(ui.yieldCount(), 1);
    ASSERT_NE(simplexWindow(), nullptr);
    EXPECT_EQ(simplexWindow()->initialText(), initialSimplexText(initialSimplex()));
    EXPECT_EQ(logText(), withCrLf(initialSimplexRecord(initialSimplex())));
}

TEST_F(ProgressDisplay, EachFrequencyOfZeroKeepsTheInitialSimplexFromItsPlace)
{
    struct Case {
        std::int16_t terminalFrequency;
        std::int16_t fileFrequency;
        bool shown;
        bool logged;
    };
    const Case cases[] = {{0, 0, false, false}, {0, 3, false, true}, {1, 0, true, false}};
    for (const Case& c : cases) {
        openLog();
        app.algorithm.options.terminalFrequency = c.terminalFrequency;
        app.algorithm.options.fileFrequency = c.fileFrequency;
        openSimplexWindow(app, 2);
        showInitialSimplex(app, initialSimplex());
        EXPECT_EQ(simplexWindow()->initialText(), c.shown ? initialSimplexText(initialSimplex()) : "");
        EXPECT_EQ(logText(), c.logged ? withCrLf(initialSimplexRecord(initialSimplex())) : "");
        app.desktop.close("frmSimplex");
    }
}

TEST_F(ProgressDisplay, SimplexProgressReplacesTheLowerBoxAndNamesTheMoveAtFrequencyOne)
{
    for (const std::int16_t frequency : {std::int16_t{1}, std::int16_t{3}}) {
        app.algorithm.options.terminalFrequency = frequency;
        showProgress(app, simplexProgress());
        ASSERT_NE(simplexWindow(), nullptr);
        EXPECT_EQ(simplexWindow()->progressText(), simplexProgressText(simplexProgress(), frequency));
        EXPECT_EQ(simplexWindow()->progressText().find("Action accepted") != std::string::npos,
                  frequency == 1);
    }
}

TEST_F(ProgressDisplay, SimplexProgressDuringAProfileNamesThePointInPanelOne)
{
    app.session.profileRunning = true;
    SimplexProgress progress = simplexProgress();
    progress.profile = ProfilePosition{2, 15, 4, 0.5};
    showProgress(app, progress);
    EXPECT_EQ(panel(1),
              "Calculating profile point 2 of 15, Value of parameter # 4 which is being profiled is: "
              "5.00000E-01");
}

TEST_F(ProgressDisplay, SimplexRecordsGoToTheLog)
{
    openLog();
    app.algorithm.options.fileFrequency = 1;
    writeProgress(app, simplexProgress());
    writeSimplexResult(app, simplexProgress());
    EXPECT_EQ(logText(),
              withCrLf(simplexProgressRecord(simplexProgress(), 1) + simplexResultRecord(simplexProgress())));
}

TEST_F(ProgressDisplay, ALogThatCannotBeWrittenIsToldOnceAndClosed)
{
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full to stand for a full disk";
    ASSERT_TRUE(app.minimizationLog.open("/dev/full"));
    app.algorithm.options.fileFrequency = 1;
    ui.answer(Answer::OK);
    writeProgress(app, simplexProgress());
    writeSimplexResult(app, simplexProgress()); // the log is closed now: nothing more to tell

    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, "The log file /dev/full could not be written (the disk may be full).\n\n"
                                     "It has been closed; the minimization goes on without it.");
    EXPECT_EQ(ui.messages()[0].title, "Log file management");
    EXPECT_EQ(ui.messages()[0].icon, Icon::Exclamation);
    EXPECT_FALSE(app.minimizationLog.isOpen());
    EXPECT_EQ(app.algorithm.options.fileFrequency, 0);
}

// ---- Marquardt --------------------------------------------------------------------------------

TEST_F(ProgressDisplay, MarquardtProgressWithoutDerivativesNeverPauses)
{
    app.minimization.showDerivatives = false;
    app.mainWindow.setPanel(statusBar::messages, 1, "busy");
    app.mainWindow.setPanel(statusBar::messages, 3, "busy");
    showMarquardtProgress(app, marquardtProgress());
    ASSERT_NE(marquardtWindow(), nullptr);
    EXPECT_EQ(marquardtWindow()->text(), marquardtProgressText(marquardtProgress()));
    EXPECT_FALSE(marquardtWindow()->iterationButton().visible);
    EXPECT_EQ(panel(1), "");
    EXPECT_EQ(panel(3), "");
    EXPECT_EQ(ui.yieldCount(), 0);
}

// Counts the pauses of showMarquardtProgress and presses a button of the window in each.
class MarquardtPauses : public ProgressDisplay {
protected:
    MarquardtPauses()
    {
        app.minimization.showDerivatives = true;
        ui.onYield = [this] { pressDuringPause(); };
    }

    void pressDuringPause()
    {
        MarquardtWindow* window = marquardtWindow();
        if (!window || app.minimization.resumeRequested)
            return;
        if (panel(1) == "Please be patient while derivative output is collated") {
            ++listingEvents; // the listing is being built
            return;
        }
        ++pauses;
        textDuringPause = window->text();
        buttonsShownDuringPause = window->iterationButton().visible && window->continueButton().visible &&
                                  window->iterationButton().button.enabled &&
                                  window->continueButton().button.enabled;
        if (press)
            press(*window);
    }

    int pauses = 0;
    int listingEvents = 0;
    std::string textDuringPause;
    bool buttonsShownDuringPause = false;
    std::function<void(MarquardtWindow&)> press;
};

TEST_F(MarquardtPauses, ShowsTheDerivativesAndWaitsForTheNextIterationButton)
{
    press = [](MarquardtWindow& w) { w.cmdIteration_Click(); };
    showMarquardtProgress(app, marquardtProgress());
    EXPECT_EQ(pauses, 1);
    const MarquardtProgress progress = marquardtProgress();
    EXPECT_EQ(textDuringPause,
              marquardtProgressText(progress) + derivativeListing(progress.accepted, progress.derivatives));
    EXPECT_TRUE(buttonsShownDuringPause);
    EXPECT_EQ(listingEvents, 3); // one per second derivative
    EXPECT_EQ(panel(1), "");
    EXPECT_FALSE(marquardtWindow()->iterationButton().visible);

    // The next accepted iteration pauses again.
    showMarquardtProgress(app, marquardtProgress());
    EXPECT_EQ(pauses, 2);
}

TEST_F(MarquardtPauses, ContinueStopsAllFurtherPauses)
{
    press = [](MarquardtWindow& w) { w.cmdContinue_Click(); };
    showMarquardtProgress(app, marquardtProgress());
    showMarquardtProgress(app, marquardtProgress());
    showMarquardtProgress(app, marquardtProgress());
    EXPECT_EQ(pauses, 1);
    EXPECT_FALSE(app.minimization.showDerivatives);
    EXPECT_EQ(marquardtWindow()->text(), marquardtProgressText(marquardtProgress()));
}

TEST_F(MarquardtPauses, InterruptDuringAPauseEndsItAndRequestsTheInterrupt)
{
    press = [](MarquardtWindow& w) { w.cmdStop_Click(); };
    showMarquardtProgress(app, marquardtProgress());
    EXPECT_EQ(pauses, 1);
    EXPECT_TRUE(app.minimization.marquardtInterrupt);
    EXPECT_FALSE(app.minimization.showDerivatives);

    // With the interrupt pending nothing pauses, even when derivatives are asked for again.
    app.minimization.showDerivatives = true;
    showMarquardtProgress(app, marquardtProgress());
    EXPECT_EQ(pauses, 1);
}

TEST_F(MarquardtPauses, ClosingTheWindowDuringAPauseEndsIt)
{
    press = [this](MarquardtWindow&) { app.desktop.close("frmMarquardt"); };
    app.minimization.marquardtRunning = true;
    showMarquardtProgress(app, marquardtProgress());
    EXPECT_EQ(pauses, 1);
    EXPECT_TRUE(app.minimization.resumeRequested);
    EXPECT_FALSE(app.minimization.showDerivatives);
}

TEST_F(MarquardtPauses, APauseWaitsThroughEventsThatPressNothing)
{
    int looks = 0;
    press = [&](MarquardtWindow& w) {
        if (++looks == 3)
            w.cmdIteration_Click();
    };
    showMarquardtProgress(app, marquardtProgress());
    EXPECT_EQ(pauses, 3);
    EXPECT_TRUE(app.minimization.resumeRequested);
}

TEST_F(MarquardtPauses, NoPauseDuringAProfileWhichIsNamedInPanelOne)
{
    app.session.profileRunning = true;
    MarquardtProgress progress = marquardtProgress();
    progress.profile = ProfilePosition{7, 30, 2, 1.5};
    showMarquardtProgress(app, progress);
    EXPECT_EQ(pauses, 0);
    EXPECT_EQ(marquardtWindow()->text(), marquardtProgressText(progress));
    EXPECT_EQ(panel(1),
              "Calculating profile point 7 of 30, Value of parameter # 2 which is being profiled is: "
              "1.5000E+00");
}

TEST_F(ProgressDisplay, MarquardtResultShowsTheMinimumTheMessageAndEndsTheDerivativeDisplay)
{
    struct Case {
        bool showDerivatives;
        bool interrupt;
        bool listed;
    };
    const Case cases[] = {{false, false, false}, {true, false, true}, {true, true, false}};
    int reviews = 0;
    app.priorHooks.produceReview = [&](const std::vector<double>&) { ++reviews; };
    app.session.priorsActive = true;
    for (const Case& c : cases) {
        ui.answer(Answer::OK);
        app.minimization.showDerivatives = c.showDerivatives;
        app.minimization.marquardtInterrupt = c.interrupt;
        app.minimization.resumeRequested = false;
        for (int p = 1; p <= 4; ++p)
            app.mainWindow.setPanel(statusBar::messages, p, "busy");

        const MarquardtProgress progress = marquardtProgress();
        showMarquardtResult(app, progress);
        const std::string listing = "\n" + derivativeListing(progress.accepted, progress.derivatives);
        EXPECT_EQ(marquardtWindow()->text(), marquardtResultText(progress) + (c.listed ? listing : ""));
        EXPECT_TRUE(app.minimization.resumeRequested);
        EXPECT_FALSE(app.minimization.showDerivatives);
        EXPECT_FALSE(app.minimization.marquardtInterrupt);
        EXPECT_FALSE(marquardtWindow()->iterationButton().visible);
        for (int p = 1; p <= 4; ++p)
            EXPECT_EQ(panel(p), "") << p;
        const Interaction message = ui.messages().back();
        EXPECT_EQ(message.text, "Minimum found using Marquardt!");
        EXPECT_EQ(message.title, "Marquardt minimum");
        EXPECT_EQ(message.buttons, Buttons::OK);
        EXPECT_EQ(message.icon, Icon::Information);
    }
    EXPECT_EQ(reviews, 3);
}

TEST_F(ProgressDisplay, MarquardtRecordsGoToTheLog)
{
    openLog();
    writeMarquardtProgress(app, marquardtProgress());
    writeMarquardtResult(app, marquardtProgress());
    EXPECT_EQ(logText(), withCrLf(marquardtProgressRecord(marquardtProgress()) +
                                  marquardtResultRecord(marquardtProgress())));
}

} // namespace
} // namespace orvanta
