#include "model/InitializationWindow.h"

#include "app/Application.h"
#include "app/MainMenu.h"
#include "support/FakeClock.h"
#include "support/MainMenuButtons.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"
#include "text/TextFile.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>

namespace orvanta {
namespace {

using testing::enabledButtons;
using testing::FakeClock;
using testing::ScriptedUi;
using testing::TempDir;

const char* const goodFrequencies = "    2.5,  10\n    7.5,  20\n   12.5,   0\n   17.5,   4\n";
const char* const goodIncrements = "     1,  20.5,   8.2,   100,   465\n     2,  35.0,   4.1,   120,   480\n";
// The fourth midpoint is 0.01 off: 0.2% of the cell width.
const char* const inconsistentFrequencies = "    2.5,  10\n    7.5,  20\n   12.5,   0\n  17.51,   4\n";

class Initialization : public ::testing::Test {
protected:
    Initialization()
    {
        installInitialization(app, model);
        app.start();
    }

    std::string file(const std::string& name, const std::string& bytes)
    {
        const std::string path = dir.file(name);
        testing::writeFileBytes(path, bytes);
        return path;
    }

    InitializationWindow* window() const
    {
        return app.desktop.find<InitializationWindow>(InitializationWindow::windowName);
    }

    // "&Initialize model" on the main menu of a session without algorithm data.
    InitializationWindow& open()
    {
        app.mainMenuButtonClicked(menuButton::initialize);
        InitializationWindow* opened = window();
        if (!opened)
            throw std::runtime_error("the initialization window did not open");
        return *opened;
    }

    void loadFrequencies(InitializationWindow& w, const std::string& bytes)
    {
        ui.pickFile(file("freq.dat", bytes));
        w.cmdFrequency_Click();
    }

    void loadIncrements(InitializationWindow& w, const std::string& bytes)
    {
        ui.pickFile(file("inc.dat", bytes));
        w.cmdIncrement_Click();
    }

    // A completed initialization with both good files and gamma errors.
    void initializeWithBothFiles()
    {
        InitializationWindow& w = open();
        loadFrequencies(w, goodFrequencies);
        loadIncrements(w, goodIncrements);
        w.optGamma_Click();
        w.cmdOK_Click();
    }

    TempDir dir;
    ScriptedUi ui;
    FakeClock clock;
    Application app{ui, clock, realFileSystem()};
    TarnfieldModel model{app.modelHost()};
};

TEST_F(Initialization, OpensInItsDesignState)
{
    const InitializationWindow& w = open();

    EXPECT_EQ(w.caption(), "Initialize Tarnfield model");
    EXPECT_EQ(w.geometry().left, 4250);
    EXPECT_EQ(w.geometry().top, 1000);
    EXPECT_EQ(app.mainWindow.caption(), "Steady-state size frequency and growth increment analysis");
    EXPECT_EQ(app.mainMenu(), nullptr) << "the main menu closes while the window is open";
    EXPECT_FALSE(w.busy());

    EXPECT_EQ(w.frequencyLabel().name, "lblFrequency");
    EXPECT_EQ(w.frequencyLabel().text, "Frequency data file:");
    EXPECT_EQ(w.frequencyPath().name, "lblFrequencyPath");
    EXPECT_EQ(w.frequencyPath().text, "");
    EXPECT_EQ(w.incrementLabel().name, "lblIncrement");
    EXPECT_EQ(w.incrementLabel().text, "Increment data file:");
    EXPECT_EQ(w.incrementPath().name, "lblIncrementPath");
    EXPECT_EQ(w.incrementPath().text, "");
    EXPECT_EQ(w.firstCellLabel().name, "lblFirst");
    EXPECT_EQ(w.firstCellLabel().text, "First frequency cell evaluated:");
    EXPECT_EQ(w.likelihoodNote().name, "LabelLike");
    EXPECT_EQ(w.likelihoodNote().text, "Note: the objective function is -2 ln[likelihood]");

    struct Button {
        const CommandButton& button;
        const char* name;
        const char* caption;
        int tab;
    };
    const Button buttons[] = {
        {w.frequencyButton(), "cmdFrequency", "Load &Frequencies", 0},
        {w.incrementButton(), "cmdIncrement", "Load &Increments", 1},
        {w.okButton(), "cmdOK", "OK", 3},
        {w.cancelButton(), "cmdCancel", "&Cancel", 4},
    };
    for (const Button& b : buttons) {
        EXPECT_EQ(b.button.name, b.name);
        EXPECT_EQ(b.button.caption, b.caption);
        EXPECT_EQ(b.button.tabIndex, b.tab) << b.name;
        EXPECT_TRUE(b.button.enabled) << b.name;
    }

    EXPECT_EQ(w.firstCellBox().name, "txtFirst");
    EXPECT_EQ(w.firstCellBox().text, "1");
    EXPECT_EQ(w.firstCellBox().tabIndex, 2);
    EXPECT_FALSE(w.firstCellBox().enabled);

    EXPECT_EQ(w.distributionFrame().name, "FraIncDist");
    EXPECT_EQ(w.distributionFrame().caption, "Choose increment error distribution:");
    EXPECT_FALSE(w.distributionFrame().enabled);
    EXPECT_EQ(w.gammaOption().name, "optGamma");
    EXPECT_EQ(w.gammaOption().caption, "Gamma (b>=0)");
    EXPECT_EQ(w.gammaOption().toolTip,
              "A gamma distribution will, by definition, constrain expected increments to be > 0");
    EXPECT_EQ(w.gaussianOption().name, "optGaussian");
    EXPECT_EQ(w.gaussianOption().caption, "Gaussian (iff b=0)");
    EXPECT_EQ(
        w.gaussianOption().toolTip,
        "A normal distribution is truncated so expected increments stay > 0 as size approaches L-infinity");
    for (const auto* option : {&w.gammaOption(), &w.gaussianOption()}) {
        EXPECT_FALSE(option->enabled) << option->name;
        EXPECT_FALSE(option->selected) << option->name;
    }
    EXPECT_TRUE(ui.shown().empty());
}

TEST_F(Initialization, DescribesTheFileFormatsLineByLine)
{
    const InitializationWindow& w = open();
    EXPECT_EQ(w.frequencyFormat().name, "frmtFreqs");
    EXPECT_EQ(w.frequencyFormat().text,
              "Frequency records: The record input format for the size frequency midpoint, \n"
              "then frequency, is: \"#######,####\".   Maximum number of frequency cells is \n"
              "250.  Likewise, maximum size cannot exceed 250 units.  Frequency cell \n"
              "midpoints MUST represent a size range that begins at 0, e.g. 0.5, 1.5,...  or \n"
              "2.5, 7.5,...  etc.");
    EXPECT_EQ(w.incrementFormat().name, "frmtIncs");
    EXPECT_EQ(w.incrementFormat().text,
              "Increment records: The record input format for increment set #, then initial size, \n"
              "then increment, then start day of the year, then end day of the year, is: \n"
              "\"######,######,######,######,######\".  Maximum number of \n"
              "increments is 2000.  For proper and efficient performance increment records \n"
              "MUST be sorted by set number, then initial size, then increment.  Day 0 MUST \n"
              "be 31 Dec of the year prior to those years for which increment data have been \n"
              "obtained.  If analyzing size-at-age data as increments, then initial size is 0, the \n"
              "increment is the size-at-age, the start day of year is 0 (years) and the end day \n"
              "of year is the age (years) of the individual.  Only when using this analytical \n"
              "approach are t0 or the increment selectivity parameters estimated.");
}

TEST_F(Initialization, LoadingFrequenciesEnablesOnlyTheFirstCell)
{
    InitializationWindow& w = open();
    loadFrequencies(w, goodFrequencies);

    ASSERT_EQ(ui.shown().size(), 1u);
    const FileDialogRequest& dialog = ui.shown()[0].file;
    EXPECT_EQ(dialog.mode, FileDialogMode::Open);
    EXPECT_EQ(dialog.title, "Load frequency data file");
    EXPECT_EQ(dialog.filter, "All files (*.*)|*.*|Data files (*.dat)|*.dat");
    EXPECT_EQ(dialog.filterIndex, 2);
    EXPECT_EQ(dialog.defaultName, "");

    EXPECT_EQ(w.frequencyPath().text, dir.file("freq.dat"));
    EXPECT_TRUE(w.firstCellBox().enabled);
    EXPECT_FALSE(w.distributionFrame().enabled);
    EXPECT_FALSE(w.gammaOption().enabled);
    EXPECT_FALSE(w.gaussianOption().enabled);
    EXPECT_FALSE(w.gaussianOption().selected);
}

TEST_F(Initialization, LoadingIncrementsEnablesTheDistributionsWithGaussianSelected)
{
    InitializationWindow& w = open();
    loadIncrements(w, goodIncrements);

    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].file.title, "Load increment data file");
    EXPECT_EQ(ui.shown()[0].file.filter, "All files (*.*)|*.*|Data files (*.dat)|*.dat");
    EXPECT_EQ(w.incrementPath().text, dir.file("inc.dat"));
    EXPECT_FALSE(w.firstCellBox().enabled);
    EXPECT_TRUE(w.distributionFrame().enabled);
    EXPECT_TRUE(w.gammaOption().enabled);
    EXPECT_TRUE(w.gaussianOption().enabled);
    EXPECT_TRUE(w.gaussianOption().selected);
    EXPECT_FALSE(w.gammaOption().selected);
    EXPECT_EQ(w.request().errorType, IncrementErrorType::Gaussian);

    w.optGamma_Click();
    EXPECT_TRUE(w.gammaOption().selected);
    EXPECT_FALSE(w.gaussianOption().selected);
    EXPECT_EQ(w.request().errorType, IncrementErrorType::Gamma);
    w.optGaussian_Click();
    EXPECT_FALSE(w.gammaOption().selected);
    EXPECT_TRUE(w.gaussianOption().selected);
}

TEST_F(Initialization, DisabledControlsIgnoreInput)
{
    InitializationWindow& w = open();
    w.optGamma_Click();
    w.setFirstCellText("7");
    EXPECT_FALSE(w.gammaOption().selected);
    EXPECT_EQ(w.firstCellBox().text, "1");
}

TEST_F(Initialization, CancelledFileDialogsChangeNothing)
{
    InitializationWindow& w = open();
    ui.cancelFile().cancelFile();
    w.cmdFrequency_Click();
    w.cmdIncrement_Click();
    EXPECT_EQ(w.frequencyPath().text, "");
    EXPECT_EQ(w.incrementPath().text, "");
    EXPECT_FALSE(w.firstCellBox().enabled);
    EXPECT_FALSE(w.distributionFrame().enabled);
    EXPECT_FALSE(w.gaussianOption().selected);
}

TEST_F(Initialization, LeavingTheFirstCellChecksTheEntry)
{
    struct Case {
        const char* text;
        const char* message; // nullptr: taken as typed
    };
    const Case cases[] = {
        {"abc", "First frequency cell must be an integer"},
        {"", "First frequency cell must be an integer"},
        {"3 4", "First frequency cell must be an integer"},
        {"0", "First frequency cell must be positive"},
        {"0.99", "First frequency cell must be positive"},
        {"-2", "First frequency cell must be positive"},
        {"1", nullptr},
        {"2.5", nullptr}, // fractional values of 1 or more pass
        {" 12 ", nullptr},
    };
    InitializationWindow& w = open();
    loadFrequencies(w, goodFrequencies);
    for (const Case& c : cases) {
        const std::size_t shownBefore = ui.messages().size();
        const int focusBefore = w.focusRequest().serial;
        w.setFirstCellText(c.text);
        if (c.message)
            ui.answer(Answer::OK);
        w.txtFirst_LostFocus();

        const auto messages = ui.messages();
        if (!c.message) {
            EXPECT_EQ(messages.size(), shownBefore) << c.text;
            EXPECT_EQ(w.firstCellBox().text, c.text);
            EXPECT_EQ(w.focusRequest().serial, focusBefore) << c.text;
            continue;
        }
        ASSERT_EQ(messages.size(), shownBefore + 1) << c.text;
        EXPECT_EQ(messages.back().text, c.message) << c.text;
        EXPECT_EQ(messages.back().title, "Initialize");
        EXPECT_EQ(messages.back().buttons, Buttons::OK);
        EXPECT_EQ(messages.back().icon, Icon::Exclamation);
        EXPECT_EQ(w.firstCellBox().text, "1") << c.text;
        EXPECT_EQ(w.focusRequest().control, "txtFirst");
        EXPECT_GT(w.focusRequest().serial, focusBefore) << c.text;
    }
}

TEST_F(Initialization, OkWithoutInputAsksForIt)
{
    InitializationWindow& w = open();
    ui.answer(Answer::OK);
    w.cmdOK_Click();

    loadFrequencies(w, goodFrequencies);
    w.setFirstCellText("");
    ui.answer(Answer::OK);
    w.cmdOK_Click();

    const auto messages = ui.messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text, "Please specify the frequency file and/or increment file");
    EXPECT_EQ(messages[1].text, "Please specify the 1st frequency cell");
    for (const auto& m : messages) {
        EXPECT_EQ(m.title, "Missing input");
        EXPECT_EQ(m.buttons, Buttons::OK);
        EXPECT_EQ(m.icon, Icon::Information);
    }
    EXPECT_EQ(window(), &w) << "the window stays open";
    EXPECT_FALSE(app.session.initializeAlready);
    EXPECT_EQ(model.state().frequencyFile, "");
}

TEST_F(Initialization, OkChecksAFirstCellThatWasNotLeftYet)
{
    InitializationWindow& w = open();
    loadFrequencies(w, goodFrequencies);
    w.setFirstCellText("first");
    ui.answer(Answer::OK);
    w.cmdOK_Click();

    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, "First frequency cell must be an integer");
    EXPECT_EQ(w.firstCellBox().text, "1");
    EXPECT_FALSE(app.session.initializeAlready);
}

TEST_F(Initialization, CancelClosesTheWindowAndBringsBackTheMainMenu)
{
    InitializationWindow& w = open();
    loadFrequencies(w, goodFrequencies);
    w.cmdCancel_Click();

    EXPECT_EQ(window(), nullptr);
    const MainMenuWindow* menu = app.mainMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->enabled());
    EXPECT_EQ(enabledButtons(*menu), (std::set<std::string>{"cmdInitialize", "cmdQuit"}));
    EXPECT_FALSE(app.session.initializeAlready);
    EXPECT_EQ(app.algorithm.paramCount, 0);
    EXPECT_EQ(model.state().frequencyFile, "");
}

TEST_F(Initialization, ClosingTheWindowEnablesTheMainMenuWindow)
{
    InitializationWindow& w = open();
    // The user brought the main menu back ("Main &menu") and it was disabled meanwhile.
    app.menuCommand("mnuMenu");
    app.mainMenu()->setEnabled(false);

    EXPECT_TRUE(w.closeRequested());
    EXPECT_EQ(window(), nullptr);
    ASSERT_NE(app.mainMenu(), nullptr);
    EXPECT_TRUE(app.mainMenu()->enabled());
    EXPECT_FALSE(app.session.initializeAlready);
}

TEST_F(Initialization, ClosingTheWindowLeavesAClosedMainMenuClosed)
{
    InitializationWindow& w = open();
    EXPECT_TRUE(w.closeRequested());
    EXPECT_EQ(window(), nullptr);
    EXPECT_EQ(app.mainMenu(), nullptr) << "\"Main &menu\" brings it back";
    app.menuCommand("mnuMenu");
    EXPECT_NE(app.mainMenu(), nullptr);
}

TEST_F(Initialization, OkInitializesTheModelAndStartsAFreshParameterSet)
{
    app.session.priorsFileName = "old.pri";
    app.session.priorsActive = true;
    app.session.covarianceAvailable = true;
    app.session.simplexBuilt = true;
    app.priors.assign(5, PriorSpec{"N"});

    initializeWithBothFiles();

    EXPECT_TRUE(ui.messages().empty());
    EXPECT_EQ(window(), nullptr);

    const ModelState& state = model.state();
    EXPECT_EQ(state.frequencyFile, dir.file("freq.dat"));
    EXPECT_EQ(state.incrementFile, dir.file("inc.dat"));
    EXPECT_EQ(state.analysisType, AnalysisType::Both);
    EXPECT_EQ(state.incrementErrorType, IncrementErrorType::Gamma);
    EXPECT_EQ(state.frequencies.cellCount, 4);
    EXPECT_EQ(state.frequencies.N, 34.0);
    EXPECT_EQ(state.increments.recordCount, 2);
    EXPECT_EQ(ui.yieldCount(), 2);

    const SessionState& session = app.session;
    EXPECT_TRUE(session.initializeAlready);
    EXPECT_EQ(session.priorsFileName, "");
    EXPECT_FALSE(session.priorsActive);
    EXPECT_FALSE(session.covarianceAvailable);
    EXPECT_FALSE(session.simplexBuilt);

    const AlgorithmData& data = app.algorithm;
    ASSERT_EQ(data.paramCount, 20);
    EXPECT_EQ(data.paramDescriptions, TarnfieldModel::parameterDescriptions());
    ASSERT_EQ(data.fuseCodes.size(), 21u);
    ASSERT_GE(data.paramValues.size(), 21u);
    ASSERT_GE(data.paramSteps.size(), 21u);
    ASSERT_EQ(app.priors.size(), 21u);
    for (int i = 1; i <= 20; ++i) {
        EXPECT_EQ(data.fuseCodes[static_cast<std::size_t>(i)], "~") << i;
        EXPECT_EQ(app.priors[static_cast<std::size_t>(i)].typeCode, "U") << i;
    }
    EXPECT_TRUE(data.fuseGroups.empty());
    EXPECT_EQ(data.freeCount, 0);

    const MainMenuWindow* menu = app.mainMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->enabled());
    EXPECT_EQ(enabledButtons(*menu), (std::set<std::string>{"cmdInitialize", "cmdLoadAlg", "cmdQuit"}));
    EXPECT_EQ(menu->focusButton(), "cmdLoadAlg");

    EXPECT_EQ(app.mainWindow.panelText(statusBar::files, 1), "Frequency file: " + dir.file("freq.dat"));
    EXPECT_EQ(app.mainWindow.panelText(statusBar::files, 2), "Increment file: " + dir.file("inc.dat"));
    EXPECT_EQ(app.mainWindow.panelText(statusBar::algorithm, 2), "Bayesian priors file: ");
}

TEST_F(Initialization, AFrequencyFileAloneLeavesTheDistributionsAlone)
{
    InitializationWindow& w = open();
    loadFrequencies(w, goodFrequencies);
    EXPECT_FALSE(w.gammaOption().enabled);
    w.cmdOK_Click();

    EXPECT_EQ(model.state().analysisType, AnalysisType::SizeFrequency);
    EXPECT_EQ(model.state().increments.recordCount, 0);
    EXPECT_EQ(app.mainWindow.panelText(statusBar::files, 1), "Frequency file: " + dir.file("freq.dat"));
    EXPECT_EQ(app.mainWindow.panelText(statusBar::files, 2), "Increment file: ");
}

TEST_F(Initialization, AnIncrementFileAloneGivesNoFrequencies)
{
    InitializationWindow& w = open();
    loadIncrements(w, goodIncrements);
    w.cmdOK_Click();

    EXPECT_EQ(model.state().analysisType, AnalysisType::Increments);
    EXPECT_EQ(model.state().incrementErrorType, IncrementErrorType::Gaussian);
    EXPECT_EQ(model.state().frequencies.N, 0.0);
    EXPECT_EQ(app.mainWindow.panelText(statusBar::files, 1), "Frequency file: ");
    EXPECT_TRUE(app.session.initializeAlready);
}

TEST_F(Initialization, AFractionalFirstCellBecomesAWholeCell)
{
    InitializationWindow& w = open();
    loadFrequencies(w, goodFrequencies);
    w.setFirstCellText("2.5");
    w.txtFirst_LostFocus();
    w.cmdOK_Click();

    EXPECT_TRUE(ui.messages().empty());
    const FrequencyData& f = model.state().frequencies;
    EXPECT_EQ(f.firstCell, 2);
    EXPECT_EQ(f.observed[1], 0.0);
    EXPECT_EQ(f.N, 24.0);
}

TEST_F(Initialization, TheWindowTakesNoInputWhileTheFilesAreRead)
{
    InitializationWindow& w = open();
    loadFrequencies(w, goodFrequencies);
    loadIncrements(w, goodIncrements);
    int yields = 0;
    ui.onYield = [&] {
        ++yields;
        InitializationWindow* reading = window();
        ASSERT_NE(reading, nullptr);
        EXPECT_TRUE(reading->busy());
        EXPECT_FALSE(reading->enabled());
        EXPECT_FALSE(reading->closeRequested());
        reading->cmdCancel_Click();
        reading->cmdOK_Click();
        reading->cmdFrequency_Click(); // would ask for a file if it were taken
        EXPECT_EQ(window(), reading) << "still open";
    };
    w.cmdOK_Click();

    EXPECT_EQ(yields, 2);
    EXPECT_EQ(window(), nullptr);
    EXPECT_TRUE(app.session.initializeAlready);
}

// A session that has been initialized and has algorithm data (with a fuse group) and priors.
class Reinitialization : public Initialization {
protected:
    void SetUp() override
    {
        initializeWithBothFiles();
        AlgorithmData& data = app.algorithm;
        for (int i = 1; i <= 20; ++i) {
            data.paramValues[static_cast<std::size_t>(i)] = i * 1.5;
            data.paramSteps[static_cast<std::size_t>(i)] = 0.1;
        }
        data.fuseCodes[3] = data.fuseCodes[7] = "A";
        for (int i = 1; i <= 20; ++i)
            if (data.fuseCodes[static_cast<std::size_t>(i)] == "~")
                data.fuseCodes[static_cast<std::size_t>(i)] = unfusedCode;
        buildFuseGroups(data);
        // A follower that has drifted from its leader: the fuse rule before MODEL would change it.
        data.paramValues[7] = 99.0;
        app.priors[4].typeCode = "N";
        app.session.priorsFileName = "fit.pri";
        app.session.priorsActive = true;
        app.session.algorithmFileName = "fit.alg";
        app.closeMainMenu();
        app.showMainMenu();

        before = app.algorithm;
        priorsBefore = app.priors;
        ui.answer(Answer::No); // "Do you need to save current algorithm data?"
        app.mainMenuButtonClicked(menuButton::initialize);
    }

    void expectSessionUntouched()
    {
        EXPECT_EQ(window(), nullptr);
        EXPECT_TRUE(app.session.initializeAlready);
        EXPECT_EQ(app.session.priorsFileName, "fit.pri");
        EXPECT_TRUE(app.session.priorsActive);
        const AlgorithmData& data = app.algorithm;
        EXPECT_EQ(data.paramCount, before.paramCount);
        EXPECT_EQ(data.paramValues, before.paramValues);
        EXPECT_EQ(data.paramSteps, before.paramSteps);
        EXPECT_EQ(data.fuseCodes, before.fuseCodes);
        EXPECT_EQ(data.paramDescriptions, before.paramDescriptions);
        EXPECT_EQ(data.fuseGroups.size(), before.fuseGroups.size());
        ASSERT_EQ(app.priors.size(), priorsBefore.size());
        for (std::size_t i = 0; i < app.priors.size(); ++i)
            EXPECT_EQ(app.priors[i].typeCode, priorsBefore[i].typeCode) << i;

        const ModelState& state = model.state();
        EXPECT_EQ(state.frequencyFile, dir.file("freq.dat")) << "the model keeps its data";
        EXPECT_EQ(state.frequencies.cellCount, 4);
        EXPECT_EQ(state.increments.recordCount, 2);
        EXPECT_EQ(state.analysisType, AnalysisType::Both);

        // The status panels stay as the command left them, as after "&Cancel".
        EXPECT_EQ(app.mainWindow.panelText(statusBar::files, 1), "");
        EXPECT_EQ(app.mainWindow.panelText(statusBar::algorithm, 2), "");

        const MainMenuWindow* menu = app.mainMenu();
        ASSERT_NE(menu, nullptr);
        EXPECT_TRUE(menu->enabled());
        EXPECT_EQ(enabledButtons(*menu), (std::set<std::string>{"cmdInitialize", "cmdLoadAlg", "cmdQuit"}));
    }

    AlgorithmData before;
    std::vector<PriorSpec> priorsBefore;
};

TEST_F(Reinitialization, AFatalMidpointErrorAbandonsTheInitialization)
{
    InitializationWindow* w = window();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(app.session.algorithmFileName, "") << "the command dropped the algorithm file";
    ui.pickFile(file("bad.dat", inconsistentFrequencies));
    w->cmdFrequency_Click();
    ui.answer(Answer::OK);
    w->cmdOK_Click();

    const auto messages = ui.messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].text,
              "Inconsistency in frequency midpoint interval near record 4. Tolerance is 0.1%.");
    EXPECT_EQ(messages[1].title, "Fatal Error");
    EXPECT_EQ(messages[1].buttons, Buttons::OK);
    EXPECT_EQ(messages[1].icon, Icon::Information);
    expectSessionUntouched();
}

TEST_F(Reinitialization, AnUnreadableFileAbandonsTheInitialization)
{
    InitializationWindow* w = window();
    ASSERT_NE(w, nullptr);
    ui.pickFile(dir.file("gone.dat"));
    w->cmdIncrement_Click();
    ui.answer(Answer::OK);
    w->cmdOK_Click();

    const auto messages = ui.messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].title, "Data file not read");
    EXPECT_NE(messages[1].text.find(dir.file("gone.dat")), std::string::npos);
    EXPECT_TRUE(messages[1].text.ends_with("\n\nThe data read at the last initialization remain in use."))
        << messages[1].text;
    EXPECT_EQ(ui.yieldCount(), 2) << "only the first initialization's records";
    expectSessionUntouched();
}

TEST_F(Initialization, AnUnreadableFileAtTheFirstInitializationLeavesTheModelUninitialized)
{
    InitializationWindow& w = open();
    ui.pickFile(dir.file("gone.dat"));
    w.cmdIncrement_Click();
    ui.answer(Answer::OK);
    w.cmdOK_Click();

    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_TRUE(ui.messages()[0].text.ends_with(".\n\nThe model has not been initialized.")) << ui.messages()[0].text;
    EXPECT_FALSE(app.session.initializeAlready);
}

TEST_F(Reinitialization, AFileWithoutRecordsAbandonsTheInitialization)
{
    // Taken, an empty file would leave a model that evaluates every parameter set to 0.
    InitializationWindow* w = window();
    ASSERT_NE(w, nullptr);
    ui.pickFile(file("empty.dat", ""));
    w->cmdFrequency_Click();
    ui.answer(Answer::OK);
    w->cmdOK_Click();

    const auto messages = ui.messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].title, "Data file not read");
    EXPECT_EQ(messages[1].text,
              "The frequency data file\n" + dir.file("empty.dat") +
                  "\nholds no frequency cells.\n\nThe data read at the last initialization remain in use.");
    expectSessionUntouched();
}

TEST_F(Initialization, AFailedFirstInitializationLeavesTheSessionUninitialized)
{
    InitializationWindow& w = open();
    loadFrequencies(w, inconsistentFrequencies);
    ui.answer(Answer::OK);
    w.cmdOK_Click();

    EXPECT_EQ(window(), nullptr);
    EXPECT_FALSE(app.session.initializeAlready);
    EXPECT_EQ(app.algorithm.paramCount, 0);
    EXPECT_TRUE(app.priors.empty());
    EXPECT_EQ(app.mainWindow.panelText(statusBar::files, 1), "");
    ASSERT_NE(app.mainMenu(), nullptr);
    EXPECT_EQ(enabledButtons(*app.mainMenu()), (std::set<std::string>{"cmdInitialize", "cmdQuit"}));
}

TEST_F(Initialization, ReopeningWhileOpenKeepsTheWindowAsItIs)
{
    InitializationWindow& w = open();
    loadFrequencies(w, goodFrequencies);
    app.hooks.openInitializationWindow();
    EXPECT_EQ(window(), &w);
    EXPECT_EQ(w.frequencyPath().text, dir.file("freq.dat"));
}

} // namespace
} // namespace orvanta
