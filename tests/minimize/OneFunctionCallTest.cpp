#include "minimize/OneFunctionCall.h"

#include "FakeModel.h"
#include "app/Application.h"
#include "app/MainMenu.h"
#include "minimize/MarquardtWindow.h"
#include "minimize/SimplexWindow.h"
#include "support/FakeClock.h"
#include "support/ScriptedUi.h"
#include "text/TextFile.h"
#include "ui/ReportWindow.h"

#include <gtest/gtest.h>

#include <limits>

namespace orvanta {
namespace {

using testing::FakeClock;
using testing::FakeModel;
using testing::ScriptedUi;

// Three parameters; 3 is fused to 2 and so reported with 2's value.
class OneFunctionCall : public ::testing::Test {
protected:
    OneFunctionCall()
    {
        installOneFunctionCall(app);
        app.start();
        app.setModel(&model);
        model.clock = &clock;
        model.objective = [](const std::vector<double>&) { return 1234.5; };

        app.session.initializeAlready = true;
        app.session.algorithmFileName = "fit.alg";
        AlgorithmData& data = app.algorithm;
        data.paramCount = 3;
        data.paramValues = {0, 88.2, 0.45, 0.9};
        data.paramSteps = {0, 1.0, 0.01, 0.5};
        data.fuseCodes = {"", "~~", "A", "A"};
        data.paramDescriptions = {"", "L-infinity", "K (mean)", "SD of K"};
        app.closeMainMenu();
        app.showMainMenu();
    }

    // The registered command, whether or not the main menu is open.
    void run() { app.menuCommand(menuButton::oneFunction); }

    const ReportWindow* reportWindow() const { return app.desktop.find<ReportWindow>(oneFunctionWindowName); }

    ScriptedUi ui;
    FakeClock clock;
    Application app{ui, clock, realFileSystem()};
    FakeModel model;
};

TEST_F(OneFunctionCall, ReportsTheObjectiveEveryParameterAndTheTime)
{
    model.callDuration = 0.25;
    app.mainMenuButtonClicked(menuButton::oneFunction);
    ASSERT_NE(reportWindow(), nullptr);
    EXPECT_EQ(reportWindow()->text(), "\n"
                                      "Current minimum of 1234.5 found at the following parameter values: \n"
                                      "\n"
                                      "    001)  8.8200000E+01  ~~  L-infinity\n"
                                      "    002)  4.5000000E-01   A  K (mean)\n"
                                      "    003)  4.5000000E-01   A  SD of K\n"
                                      "\n"
                                      "Note: One function call requires about 0.25 seconds\n");
}

TEST_F(OneFunctionCall, TheTimeIsRoundedToHundredthsOfASecond)
{
    struct Case {
        double duration;
        const char* shown;
    };
    const Case cases[] = {
        {0.0, "0"}, {0.004, "0"}, {0.126, "0.13"}, {0.25, "0.25"}, {1.5, "1.5"}, {12.0, "12"},
    };
    for (const Case& c : cases) {
        model.callDuration = c.duration;
        run();
        const std::string& text = reportWindow()->text();
        const std::string note =
            "\nNote: One function call requires about " + std::string(c.shown) + " seconds\n";
        ASSERT_GE(text.size(), note.size());
        EXPECT_EQ(text.substr(text.size() - note.size()), note) << c.duration;
    }
}

TEST_F(OneFunctionCall, EvaluatesParamValuesOnceAsAStandAloneCall)
{
    model.rewrite = [](std::vector<double>& v) { v[1] = 90.0; };
    run();
    ASSERT_EQ(model.calls.size(), 1u);
    EXPECT_EQ(model.calls[0].nf, 1);
    // The follower took its leader's value before the call; the model's rewrite stays.
    EXPECT_EQ(model.calls[0].vector, (std::vector<double>{0, 88.2, 0.45, 0.45}));
    EXPECT_EQ(app.algorithm.paramValues, (std::vector<double>{0, 90.0, 0.45, 0.45}));
    EXPECT_EQ(app.algorithm.paramSteps[3], 0.0);
    EXPECT_NE(reportWindow()->text().find("    001)  9.0000000E+01  ~~  L-infinity\n"), std::string::npos);
}

TEST_F(OneFunctionCall, RunsWithEveryStepZero)
{
    app.algorithm.paramSteps = {0, 0.0, 0.0, 0.0};
    run();
    EXPECT_EQ(app.algorithm.freeCount, 0);
    EXPECT_EQ(model.calls.size(), 1u);
    ASSERT_NE(reportWindow(), nullptr);
    EXPECT_EQ(reportWindow()->text().rfind("\nCurrent minimum of 1234.5 found at", 0), 0u);
}

TEST_F(OneFunctionCall, ShowsTheWaitingTextAndLetsEventsRunBeforeAndAfterTheCall)
{
    std::vector<std::size_t> callsAtYield;
    ui.onYield = [&] { callsAtYield.push_back(model.calls.size()); };
    std::string panelDuringCall;
    bool applicationMenuDuringCall = true;
    bool mainMenuDuringCall = true;
    bool windowDuringCall = false;
    model.duringCall = [&] {
        panelDuringCall = app.mainWindow.panelText(statusBar::messages, 1);
        applicationMenuDuringCall = app.mainWindow.findMenu("mnuApplication")->enabled;
        mainMenuDuringCall = app.mainMenu() != nullptr;
        windowDuringCall = reportWindow() != nullptr;
    };
    run();
    EXPECT_EQ(callsAtYield, (std::vector<std::size_t>{0, 1}));
    EXPECT_EQ(panelDuringCall, "One moment please...");
    EXPECT_FALSE(applicationMenuDuringCall);
    EXPECT_FALSE(mainMenuDuringCall);
    EXPECT_TRUE(windowDuringCall);
}

TEST_F(OneFunctionCall, ClosesTheMinimizerWindowsAndLeavesTheReportWithTheMenuBack)
{
    openSimplexWindow(app, 3);
    openMarquardtWindow(app, 3);
    app.mainWindow.setPanel(statusBar::messages, 4, "kept");
    run();
    EXPECT_FALSE(app.desktop.isOpen(SimplexWindow::windowName));
    EXPECT_FALSE(app.desktop.isOpen(MarquardtWindow::windowName));
    EXPECT_EQ(app.mainMenu(), nullptr);
    ASSERT_NE(reportWindow(), nullptr);
    EXPECT_EQ(reportWindow()->caption(), "One function call");
    EXPECT_EQ(app.mainWindow.panelText(statusBar::messages, 1), "");
    EXPECT_TRUE(app.mainWindow.findMenu("mnuApplication")->enabled);
}

TEST_F(OneFunctionCall, ClosingTheReportShowsTheMainMenuWithItsCommandsAndDiscardsTheText)
{
    run();
    app.desktop.close(oneFunctionWindowName);
    const MainMenuWindow* menu = app.mainMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->button(menuButton::oneFunction).enabled);
    EXPECT_TRUE(menu->button(menuButton::simplex).enabled);
    EXPECT_EQ(app.openReportWindow(oneFunctionWindowName).text(), "");
}

TEST_F(OneFunctionCall, TheReportSurvivesTheUserClosingTheWindowWhileEventsRun)
{
    ui.onYield = [&] {
        if (!model.calls.empty())
            app.desktop.close(oneFunctionWindowName);
    };
    run();
    ASSERT_NE(reportWindow(), nullptr);
    EXPECT_EQ(reportWindow()->text().rfind("\nCurrent minimum of 1234.5 found at", 0), 0u);
}

TEST_F(OneFunctionCall, WithActivePriorsReportsThePenalizedValueAndProducesTheReview)
{
    int reviews = 0;
    app.priorHooks.produceReview = [&](const std::vector<double>&) { ++reviews; };
    app.priorHooks.penalty = [](const std::vector<double>&) { return 0.25; };

    run();
    EXPECT_EQ(reviews, 0);
    EXPECT_EQ(reportWindow()->text().rfind("\nCurrent minimum of 1234.5 found", 0), 0u);

    app.session.priorsActive = true;
    run();
    EXPECT_EQ(reviews, 1);
    EXPECT_EQ(reportWindow()->text().rfind("\nCurrent minimum of 1234.75 found", 0), 0u);
}

TEST_F(OneFunctionCall, ANonFiniteObjectiveIsNamedWithTheModelsReason)
{
    struct Case {
        double objective;
        const char* shown;
    };
    const Case cases[] = {
        {std::numeric_limits<double>::quiet_NaN(), "NaN"},
        {std::numeric_limits<double>::infinity(), "Infinity"},
    };
    model.failure = "increment record 3: k + annual cycle in k is not positive";
    for (const Case& c : cases) {
        model.objective = [&](const std::vector<double>&) { return c.objective; };
        run();
        EXPECT_EQ(
            reportWindow()->text(),
            "\n"
            "Current minimum of " +
                std::string(c.shown) +
                " found at the following parameter values: \n"
                "The objective function has no finite value: increment record 3: k + annual cycle in k is "
                "not positive\n"
                "\n"
                "    001)  8.8200000E+01  ~~  L-infinity\n"
                "    002)  4.5000000E-01   A  K (mean)\n"
                "    003)  4.5000000E-01   A  SD of K\n"
                "\n"
                "Note: One function call requires about 0 seconds\n");
    }
}

TEST(ReportedElapsedSeconds, RoundsHalfHundredthsUp)
{
    EXPECT_EQ(reportedElapsedSeconds(10.0, 10.0), 0.0);
    EXPECT_EQ(reportedElapsedSeconds(10.0, 10.5), 0.5);
    EXPECT_EQ(reportedElapsedSeconds(0.0, 0.125), 0.13);
    EXPECT_EQ(reportedElapsedSeconds(0.0, 0.0049), 0.0);
}

} // namespace
} // namespace orvanta
