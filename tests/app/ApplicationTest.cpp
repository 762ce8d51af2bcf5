#include "app/Application.h"

#include "app/InfoWindows.h"
#include "app/MainMenu.h"
#include "support/FakeClock.h"
#include "support/MainMenuButtons.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"
#include "text/TextFile.h"
#include "ui/ReportWindow.h"

#include <gtest/gtest.h>

#include <set>

namespace orvanta {
namespace {

using testing::allButtons;
using testing::enabledButtons;
using testing::FakeClock;
using testing::ScriptedUi;

class Shell : public ::testing::Test {
protected:
    Shell()
    {
        app.hooks.endProcess = [this] { ++processEnds; };
        app.hooks.saveAlgorithmFile = [this] { ++algorithmSaves; };
        app.hooks.savePriorsFile = [this] { ++priorsSaves; };
        app.hooks.saveAlgorithmCommand = [this] { ++algorithmSaveCommands; };
        app.hooks.openInitializationWindow = [this] { ++initializationWindows; };
        app.start();
    }

    // A session with twenty parameters and algorithm data loaded.
    void makeReady()
    {
        app.session.initializeAlready = true;
        app.session.algorithmFileName = "fit.alg";
        app.algorithm.paramCount = 20;
        resetAlgorithmData(app.algorithm);
        app.priors.assign(21, PriorSpec{});
        app.closeMainMenu();
        app.showMainMenu();
    }

    void fillAllPanels()
    {
        for (int bar = 0; bar < statusBarCount; ++bar)
            for (int panel = 1; panel <= static_cast<int>(app.mainWindow.statusBar(bar).panels.size()); ++panel)
                app.mainWindow.setPanel(bar, panel, "busy");
    }

    ScriptedUi ui;
    FakeClock clock;
    Application app{ui, clock, realFileSystem()};
    int processEnds = 0;
    int algorithmSaves = 0;
    int priorsSaves = 0;
    int algorithmSaveCommands = 0;
    int initializationWindows = 0;
};

TEST_F(Shell, StartsWithOnlyInitializeAndQuitEnabled)
{
    EXPECT_EQ(app.mainWindow.caption(), "Orvanta");
    const MainMenuWindow* menu = app.mainMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->caption(), "Main menu");
    EXPECT_EQ(menu->geometry().left, 3000);
    EXPECT_EQ(menu->geometry().top, 2000);
    EXPECT_EQ(menu->modelName(), "Tarnfield Size Frequency and Growth Increment Model");
    EXPECT_EQ(enabledButtons(*menu), (std::set<std::string>{"cmdInitialize", "cmdQuit"}));
    EXPECT_EQ(menu->buttons().size(), 13u);
    EXPECT_TRUE(ui.shown().empty());
}

TEST_F(Shell, MainMenuEnablesCommandsByStage)
{
    struct Stage {
        bool initialized;
        const char* algorithmFile;
        std::set<std::string> enabled;
    };
    const std::set<std::string> all = allButtons(*app.mainMenu());
    const Stage stages[] = {
        {false, "", {"cmdInitialize", "cmdQuit"}},
        {true, "", {"cmdInitialize", "cmdLoadAlg", "cmdQuit"}},
        {true, "fit.alg", all},
    };
    for (const Stage& stage : stages) {
        app.session.initializeAlready = stage.initialized;
        app.session.algorithmFileName = stage.algorithmFile;
        app.closeMainMenu();
        EXPECT_EQ(enabledButtons(app.showMainMenu()), stage.enabled)
            << "initialized " << stage.initialized << ", file '" << stage.algorithmFile << "'";
    }
}

TEST_F(Shell, ReopenedMainMenuShowsTheDesignCaptionAgain)
{
    makeReady();
    app.mainMenu()->setButtonCaption(menuButton::userSummary, resultsSummaryCaption, resultsSummaryToolTip);
    app.closeMainMenu();
    app.menuCommand("mnuMenu");
    EXPECT_EQ(app.mainMenu()->button(menuButton::userSummary).caption, "&Single model results");
}

TEST_F(Shell, QuitBeforeInitializationAsksTwoQuestionsAndEnds)
{
    ui.answer(Answer::Yes).answer(Answer::Yes);
    EXPECT_TRUE(app.quit());

    const auto messages = ui.messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].title, "Exit Orvanta");
    EXPECT_EQ(messages[0].text, "Do you want to quit Orvanta?");
    EXPECT_EQ(messages[0].buttons, Buttons::YesNo);
    EXPECT_EQ(messages[0].icon, Icon::Question);
    EXPECT_EQ(messages[0].defaultButton, DefaultButton::Second);
    EXPECT_EQ(messages[1].title, "What about algorithm data?");
    EXPECT_EQ(messages[1].text, "Save algorithm data?");
    EXPECT_EQ(messages[1].buttons, Buttons::YesNo);
    EXPECT_EQ(messages[1].icon, Icon::Question);
    EXPECT_EQ(messages[1].defaultButton, DefaultButton::First);
    EXPECT_EQ(algorithmSaves, 1);
    EXPECT_EQ(processEnds, 1);
    EXPECT_TRUE(app.ended());
}

TEST_F(Shell, QuitAsksAboutPriorsOnceWhenAnyPriorIsSet)
{
    makeReady();
    app.priors[4].typeCode = "N";
    app.priors[9].typeCode = "G";
    ui.answer(Answer::Yes).answer(Answer::No).answer(Answer::Yes);

    EXPECT_TRUE(app.quit());

    const auto messages = ui.messages();
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[2].title, "What about Bayesian priors?");
    EXPECT_EQ(messages[2].text, "Save Bayesian priors?");
    EXPECT_EQ(messages[2].buttons, Buttons::YesNo);
    EXPECT_EQ(messages[2].icon, Icon::Question);
    EXPECT_EQ(algorithmSaves, 0);
    EXPECT_EQ(priorsSaves, 1);
}

TEST_F(Shell, QuitWithUniformPriorsSkipsThePriorsQuestion)
{
    makeReady();
    ui.answer(Answer::Yes).answer(Answer::No);
    EXPECT_TRUE(app.quit());
    EXPECT_EQ(ui.messages().size(), 2u);
}

TEST_F(Shell, NoToTheQuitQuestionChangesNothingAndKeepsTheMainWindow)
{
    ui.answer(Answer::No);
    EXPECT_FALSE(app.mainWindowCloseRequested());
    EXPECT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(processEnds, 0);
    EXPECT_FALSE(app.ended());
    EXPECT_NE(app.mainMenu(), nullptr);
}

TEST_F(Shell, QuitClosesTheLogFileBeforeTheProcessEnds)
{
    testing::TempDir dir;
    ASSERT_TRUE(app.minimizationLog.open(dir.file("minimize.ovl")));
    bool logOpenAtEnd = true;
    app.hooks.endProcess = [&] { logOpenAtEnd = app.minimizationLog.isOpen(); };
    ui.answer(Answer::Yes).answer(Answer::No);
    app.menuCommand("mnuExit");
    EXPECT_FALSE(logOpenAtEnd);
}

TEST_F(Shell, InitializeWithoutAlgorithmDataAsksNothing)
{
    app.session.initializeAlready = true;
    fillAllPanels();
    app.mainMenuButtonClicked(menuButton::initialize);

    EXPECT_TRUE(ui.shown().empty());
    EXPECT_EQ(initializationWindows, 1);
    EXPECT_EQ(app.mainMenu(), nullptr);
    EXPECT_EQ(app.mainWindow.panelText(statusBar::files, 1), "");
    EXPECT_EQ(app.mainWindow.panelText(statusBar::bayesGrid, 5), "");
    EXPECT_EQ(app.mainWindow.panelText(statusBar::bayesGrid, 6), "busy") << "panel 6 is not cleared";
    EXPECT_EQ(app.mainWindow.panelText(statusBar::messages, 4), "");
    EXPECT_EQ(app.mainWindow.panelText(statusBar::messages, 5), "busy") << "panel 5 is not cleared";
}

TEST_F(Shell, InitializeCancelledKeepsAlgorithmDataButClearsThePanels)
{
    makeReady();
    fillAllPanels();
    ui.answer(Answer::Cancel);

    app.mainMenuButtonClicked(menuButton::initialize);

    const auto messages = ui.messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].title, "Initialize");
    EXPECT_EQ(messages[0].text,
              "Algorithm data will be lost during this initialization.\n\n  Do you need to save current algorithm "
              "data?");
    EXPECT_EQ(messages[0].buttons, Buttons::YesNoCancel);
    EXPECT_EQ(messages[0].icon, Icon::Exclamation);
    EXPECT_EQ(app.session.algorithmFileName, "fit.alg");
    ASSERT_NE(app.mainMenu(), nullptr);
    EXPECT_EQ(enabledButtons(*app.mainMenu()), allButtons(*app.mainMenu()));
    EXPECT_EQ(app.mainWindow.panelText(statusBar::algorithm, 1), "");
    EXPECT_EQ(initializationWindows, 0);
}

TEST_F(Shell, InitializeAnsweredYesSavesThenDropsAlgorithmData)
{
    makeReady();
    std::set<std::string> enabledWhenWindowOpened;
    app.hooks.openInitializationWindow = [&] { enabledWhenWindowOpened = enabledButtons(*app.mainMenu()); };
    ui.answer(Answer::Yes);

    app.mainMenuButtonClicked(menuButton::initialize);

    EXPECT_EQ(algorithmSaveCommands, 1);
    EXPECT_EQ(app.session.algorithmFileName, "");
    EXPECT_EQ(enabledWhenWindowOpened, (std::set<std::string>{"cmdInitialize", "cmdLoadAlg", "cmdQuit"}));
    EXPECT_EQ(app.mainMenu(), nullptr);
}

TEST_F(Shell, InitializeAnsweredNoDropsAlgorithmDataWithoutSaving)
{
    makeReady();
    ui.answer(Answer::No);
    app.mainMenuButtonClicked(menuButton::initialize);
    EXPECT_EQ(algorithmSaveCommands, 0);
    EXPECT_EQ(app.session.algorithmFileName, "");
    EXPECT_EQ(initializationWindows, 1);
}

TEST_F(Shell, DisabledButtonsDoNothing)
{
    app.mainMenuButtonClicked(menuButton::userSummary);
    EXPECT_NE(app.mainMenu(), nullptr);
    EXPECT_TRUE(ui.shown().empty());
}

TEST_F(Shell, InformationWindowsDisableTheMainWindowUntilOk)
{
    const std::pair<const char*, const char*> entries[] = {{"mnuDefaultNames", "frmDefaults"},
                                                           {"mnuWisdom", "frmWisdom"},
                                                           {"mnuCredits", "frmCredits"}};
    for (const auto& [entry, window] : entries) {
        app.menuCommand(entry);
        EXPECT_TRUE(app.desktop.isOpen(window)) << window;
        EXPECT_FALSE(app.mainWindow.enabled());
        app.infoWindowClosed(window);
        EXPECT_FALSE(app.desktop.isOpen(window));
        EXPECT_TRUE(app.mainWindow.enabled());
    }
}

TEST_F(Shell, InformationWindowTexts)
{
    app.menuCommand("mnuDefaultNames");
    const auto* defaults = app.desktop.find<InfoWindow>("frmDefaults");
    ASSERT_NE(defaults, nullptr);
    EXPECT_EQ(defaults->caption(), "Default names and values etc.");
    EXPECT_EQ(defaults->textBoxName(), "txtDefaultNames");
    const std::string& text = defaults->text();
    // Five paragraphs, an empty line between each two, none after the last.
    size_t breaks = 0;
    for (size_t at = text.find("\n\n"); at != std::string::npos; at = text.find("\n\n", at + 2))
        ++breaks;
    EXPECT_EQ(breaks, 4u);
    EXPECT_NE(text.back(), '\n');
    EXPECT_EQ(text.rfind("Orvanta is most user-friendly when used at a resolution of 1280 X 1024 pixels", 0), 0u);
    EXPECT_NE(text.find("8-digit time-date based name.  For example: 'mmddhhmm.alg' for an algorithm file."),
              std::string::npos);

    const std::string wisdom = wisdomText();
    EXPECT_NE(wisdom.find("Be sure you've chosen the appropriate model.\n\nExtremely large"), std::string::npos);
    EXPECT_NE(wisdom.find("STEP SIZES!\n\nA very useful technical reference is:\n\n"), std::string::npos);
    EXPECT_EQ(makeWisdomWindow()->caption(), "Patience and wisdom lead to satisfying results");
    EXPECT_EQ(makeCreditsWindow()->caption(), "Thanks everyone");
}

TEST_F(Shell, InterruptMenusOnlySetTheirFlags)
{
    EXPECT_FALSE(app.mainWindow.findMenu("mnuBayesianInt")->visible);
    EXPECT_FALSE(app.mainWindow.findMenu("mnuMLInt")->visible);
    EXPECT_EQ(app.mainWindow.findMenu("mnuBayesianInt")->caption, "&Interrupt ");
    EXPECT_EQ(app.mainWindow.findMenu("mnuMLInt")->caption, "&Interrupt");
    app.menuCommand("mnuInterruptBayes");
    EXPECT_TRUE(app.session.bayesInterrupt);
    EXPECT_FALSE(app.session.profileInterrupt);
    app.menuCommand("mnuInterruptML");
    EXPECT_TRUE(app.session.profileInterrupt);
}

TEST_F(Shell, StatusBarsHaveTheirPanelsAndOnlyTheFileAndMessageBarsShowAtStart)
{
    const int panels[statusBarCount] = {2, 2, 3, 6, 2, 5};
    const bool visible[statusBarCount] = {true, true, false, false, false, true};
    for (int bar = 0; bar < statusBarCount; ++bar) {
        EXPECT_EQ(app.mainWindow.statusBar(bar).name, "stbMain" + std::to_string(bar));
        EXPECT_EQ(app.mainWindow.statusBar(bar).panels.size(), static_cast<size_t>(panels[bar]));
        EXPECT_EQ(app.mainWindow.statusBar(bar).visible, visible[bar]);
    }
    app.mainWindow.setPanel(statusBar::messages, 9, "ignored");
    EXPECT_EQ(app.mainWindow.panelText(statusBar::messages, 9), "");
}

TEST_F(Shell, ToolCommandsCloseWhatTheirKindCloses)
{
    struct Case {
        ToolStart start;
        bool menuOpen;
        bool menuVisible;
        bool outputClosed;
        bool applicationEnabled;
    };
    const Case cases[] = {
        {ToolStart::CloseAll, false, false, true, false},
        {ToolStart::OutputWindowsOnly, true, true, true, true},
        {ToolStart::HideMainMenu, true, false, true, true},
        {ToolStart::MainMenuOnly, false, false, false, false},
    };
    for (const Case& c : cases) {
        app.endToolCommand();
        app.showMainMenu();
        app.openReportWindow("frmOneFunction");
        app.startToolCommand(c.start);
        const MainMenuWindow* menu = app.mainMenu();
        EXPECT_EQ(menu != nullptr, c.menuOpen);
        EXPECT_EQ(menu != nullptr && menu->visible(), c.menuVisible);
        EXPECT_EQ(!app.desktop.isOpen("frmOneFunction"), c.outputClosed);
        EXPECT_EQ(app.mainWindow.findMenu("mnuApplication")->enabled, c.applicationEnabled);
        app.desktop.close("frmOneFunction");
    }
}

TEST_F(Shell, ClosingAReportWindowShowsTheMainMenuOrReturnsToThePriorsFlow)
{
    app.startToolCommand(ToolStart::CloseAll);
    app.openReportWindow("frmSummary");
    app.desktop.close("frmSummary");
    EXPECT_NE(app.mainMenu(), nullptr);

    int rankingShown = 0;
    app.hooks.showRankingWindow = [&] { ++rankingShown; };
    app.closeMainMenu();
    app.session.priorsFromRanking = true;
    app.mainWindow.setPanel(statusBar::messages, 1, "Integrating...");
    app.openReportWindow("frmBayesian");
    app.desktop.close("frmBayesian");
    EXPECT_EQ(rankingShown, 1);
    EXPECT_FALSE(app.session.priorsFromRanking);
    EXPECT_EQ(app.mainMenu(), nullptr);
    EXPECT_EQ(app.mainWindow.panelText(statusBar::messages, 1), "");

    app.session.priorsFromMenu = true;
    app.openReportWindow("frmBayesian");
    app.desktop.close("frmBayesian");
    EXPECT_FALSE(app.session.priorsFromMenu);
    EXPECT_NE(app.mainMenu(), nullptr);
}

// Records the calls the shell makes to the model.
class RecordingModel : public ModelRoutine {
public:
    explicit RecordingModel(const MainWindowModel& mainWindow) : mainWindow_(mainWindow) {}

    struct Call {
        std::int32_t NF;
        std::vector<double> values;
        std::string messagePanel;
    };
    std::vector<Call> calls;

    void MODEL(ModelArguments args) override
    {
        calls.push_back({args.NF, args.paramValues, mainWindow_.panelText(statusBar::messages, 1)});
    }

private:
    const MainWindowModel& mainWindow_;
};

TEST_F(Shell, SingleModelResultsEvaluatesOnceThenAsksForTheSummary)
{
    makeReady();
    RecordingModel model(app.mainWindow);
    app.setModel(&model);
    app.algorithm.paramValues[3] = 40.0;
    app.algorithm.paramValues[7] = 1.0;
    app.algorithm.fuseCodes[3] = "A";
    app.algorithm.fuseCodes[7] = "A";
    buildFuseGroups(app.algorithm);
    app.algorithm.paramValues[7] = 2.0; // a follower out of step: the fuse rule puts it right

    app.mainMenuButtonClicked(menuButton::userSummary);

    ASSERT_EQ(model.calls.size(), 2u);
    EXPECT_EQ(model.calls[0].NF, 1);
    EXPECT_EQ(model.calls[0].messagePanel, "One moment please while one function call is executed...");
    EXPECT_EQ(model.calls[0].values[7], 40.0);
    EXPECT_EQ(model.calls[1].NF, -1);
    EXPECT_EQ(app.mainWindow.panelText(statusBar::messages, 1), "");
    EXPECT_EQ(app.mainMenu(), nullptr);
    EXPECT_TRUE(app.mainWindow.findMenu("mnuApplication")->enabled);
}

TEST_F(Shell, SingleModelResultsWithAllParametersZeroGoesStraightToTheSummary)
{
    makeReady();
    RecordingModel model(app.mainWindow);
    app.setModel(&model);
    app.mainMenuButtonClicked(menuButton::userSummary);
    ASSERT_EQ(model.calls.size(), 1u);
    EXPECT_EQ(model.calls[0].NF, -1);
}

} // namespace
} // namespace orvanta
