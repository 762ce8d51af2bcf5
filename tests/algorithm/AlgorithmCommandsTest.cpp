#include "algorithm/AlgorithmCommands.h"

#include "app/Application.h"
#include "app/MainMenu.h"
#include "app/Tools.h"
#include "model/InitializationWindow.h"
#include "model/TarnfieldModel.h"
#include "support/FailingFileSystem.h"
#include "support/FakeClock.h"
#include "support/MainMenuButtons.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>
#include <string>

namespace orvanta {
namespace {

using testing::allButtons;
using testing::enabledButtons;
using testing::readFileBytes;
using testing::writeFileBytes;

const char* const frequencyLines = "    2.5    3\n    7.5   10\n   12.5   25\n   17.5   30\n   22.5   20\n";

const std::set<std::string> notReady = {"cmdInitialize", "cmdLoadAlg", "cmdQuit"};

// A scripted user interface that also lets a test look at the program while a message box or
// a file dialog is up.
class ObservingUi : public testing::ScriptedUi {
public:
    std::function<void()> whileMessageIsUp;
    std::function<void()> whileDialogIsUp;

    Answer showMessage(const std::string& text, const std::string& title, Buttons buttons, Icon icon,
                       DefaultButton defaultButton) override
    {
        if (whileMessageIsUp)
            whileMessageIsUp();
        return ScriptedUi::showMessage(text, title, buttons, icon, defaultButton);
    }

    std::optional<std::string> chooseFile(const FileDialogRequest& request) override
    {
        if (whileDialogIsUp)
            whileDialogIsUp();
        return ScriptedUi::chooseFile(request);
    }
};

// The real files, or files whose writes break half way.
class SwitchableFiles : public FileSystem {
public:
    bool failing = false;

    bool writeNew(const std::string& path, const std::string& bytes) override
    {
        return failing ? broken_.writeNew(path, bytes) : realFileSystem().writeNew(path, bytes);
    }
    bool replace(const std::string& from, const std::string& to) override
    {
        return realFileSystem().replace(from, to);
    }
    void remove(const std::string& path) override { realFileSystem().remove(path); }
    bool exists(const std::string& path) const override { return realFileSystem().exists(path); }

private:
    testing::FailingFileSystem broken_;
};

// A session initialized from a frequency file "shrimp.dat" at 14:05 on 12 August, without
// algorithm data.
class AlgorithmCommands : public ::testing::Test {
protected:
    AlgorithmCommands()
    {
        clock.set({2026, 8, 12, 14, 5, 0});
        installTools(app, model);
        app.start();
        writeFileBytes(dir.file("shrimp.dat"), frequencyLines);
        InitializationRequest request;
        request.frequencyFile = dir.file("shrimp.dat");
        initializeModel(app, model, request);
    }

    MainMenuWindow& menu()
    {
        MainMenuWindow* shown = app.mainMenu();
        if (!shown)
            throw std::runtime_error("the main menu is not open");
        return *shown;
    }

    // An algorithm file for the model's twenty parameters: value i, step i / 10, parameters 2
    // and 3 linked by "B".
    std::string writeTwentyParameterFile(const std::string& name)
    {
        AlgorithmData data = app.algorithm;
        resetAlgorithmData(data);
        for (int i = 1; i <= 20; ++i) {
            data.paramValues[static_cast<std::size_t>(i)] = i;
            data.paramSteps[static_cast<std::size_t>(i)] = i / 10.0;
        }
        data.fuseCodes[2] = data.fuseCodes[3] = "B";
        data.options.maxCalls = 4321;
        data.options.fileFrequency = 7;
        const std::string path = dir.file(name);
        EXPECT_TRUE(writeAlgorithmFile(path, data));
        return path;
    }

    void loadFile(const std::string& path)
    {
        ui.answer(Answer::Yes).pickFile(path);
        app.mainMenuButtonClicked(menuButton::loadAlg);
    }

    void takeDefaults()
    {
        ui.answer(Answer::No).answer(Answer::OK);
        app.mainMenuButtonClicked(menuButton::loadAlg);
    }

    void expectReadyStage()
    {
        EXPECT_FALSE(app.session.algorithmFileName.empty());
        EXPECT_EQ(enabledButtons(menu()), allButtons(menu()));
        EXPECT_EQ(menu().button(menuButton::userSummary).caption, "Res&ults Summary");
        EXPECT_EQ(
            menu().button(menuButton::userSummary).toolTip,
            "Produces a saveable summary (and perhaps plots) of model results for the current parameter "
            "estimates");
        EXPECT_EQ(menu().focusButton(), "cmdEditAlg");
        EXPECT_EQ(app.mainWindow.panelText(statusBar::algorithm, 1),
                  "Algorithm file: " + app.session.algorithmFileName);
        EXPECT_FALSE(app.session.simplexBuilt);
    }

    void expectNotReady()
    {
        EXPECT_EQ(app.session.algorithmFileName, "");
        EXPECT_EQ(enabledButtons(menu()), notReady);
    }

    testing::TempDir dir;
    ObservingUi ui;
    testing::FakeClock clock;
    SwitchableFiles files;
    Application app{ui, clock, files};
    TarnfieldModel model{app.modelHost()};
};

TEST_F(AlgorithmCommands, TheSessionStartsWithoutAlgorithmData)
{
    ASSERT_TRUE(app.session.initializeAlready);
    ASSERT_EQ(app.algorithm.paramCount, 20);
    expectNotReady();
}

TEST_F(AlgorithmCommands, LoadAsksFirstAndCancelChangesNothing)
{
    app.desktop.open(std::make_unique<Window>("frmSimplex", "Simplex"));
    const std::vector<double> values = app.algorithm.paramValues;
    ui.answer(Answer::Cancel);

    app.mainMenuButtonClicked(menuButton::loadAlg);

    ASSERT_EQ(ui.shown().size(), 1u);
    const testing::Interaction& question = ui.shown()[0];
    EXPECT_EQ(question.title, "Load algorithm data");
    EXPECT_EQ(question.text, "Load an existing algorithm data file?\n\n     Choose NO for default values");
    EXPECT_EQ(question.buttons, Buttons::YesNoCancel);
    EXPECT_EQ(question.icon, Icon::Question);
    EXPECT_FALSE(app.desktop.isOpen("frmSimplex")) << "the output windows close before the question";
    EXPECT_EQ(app.algorithm.paramValues, values);
    expectNotReady();
}

TEST_F(AlgorithmCommands, NoSetsTheDefaultsUnderADateTimeName)
{
    app.algorithm.paramValues[4] = 2.5;
    app.algorithm.options.maxCalls = 5;
    app.session.simplexBuilt = true;

    takeDefaults();

    const auto messages = ui.messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].title, "Default Algorithm Values");
    EXPECT_EQ(messages[1].text, "                     Algorithm data set to default values.\n\n"
                                "Algorithm file given the date-time based name: 08121405.alg");
    EXPECT_EQ(messages[1].buttons, Buttons::OK);
    EXPECT_EQ(messages[1].icon, Icon::Information);
    EXPECT_EQ(app.session.algorithmFileName, "08121405.alg");
    EXPECT_EQ(app.session.algorithmBaseName, "08121405");
    EXPECT_EQ(app.algorithm.paramValues[4], 0.0);
    EXPECT_EQ(app.algorithm.options.maxCalls, 9999);
    expectReadyStage();
}

TEST_F(AlgorithmCommands, ThePanelIsSetBeforePendingEventsRunAndTheCommandsAreEnabledAfter)
{
    std::string panelWhileYielding;
    std::set<std::string> enabledWhileYielding;
    ui.onYield = [&] {
        panelWhileYielding = app.mainWindow.panelText(statusBar::algorithm, 1);
        enabledWhileYielding = enabledButtons(menu());
    };
    takeDefaults();
    EXPECT_EQ(ui.yieldCount(), 1);
    EXPECT_EQ(panelWhileYielding, "Algorithm file: 08121405.alg");
    EXPECT_EQ(enabledWhileYielding, notReady);
}

TEST_F(AlgorithmCommands, YesLoadsTheChosenFile)
{
    const std::string path = writeTwentyParameterFile("fit.alg");
    loadFile(path);

    const auto& dialog = ui.shown().at(1);
    ASSERT_EQ(dialog.kind, testing::Interaction::Kind::File);
    EXPECT_EQ(dialog.file.mode, FileDialogMode::Open);
    EXPECT_EQ(dialog.file.title, "Open algorithm data file");
    EXPECT_EQ(dialog.file.filter, "All files (*.*)|*.*|Algorithm files (*.alg)|*.alg");
    EXPECT_EQ(dialog.file.filterIndex, 2);
    EXPECT_EQ(dialog.file.defaultName, "");
    EXPECT_EQ(ui.messages().size(), 1u) << "only the question";

    EXPECT_EQ(app.session.algorithmFileName, path);
    EXPECT_EQ(app.session.algorithmBaseName, "fit");
    EXPECT_EQ(app.algorithm.paramValues[7], 7.0);
    EXPECT_EQ(app.algorithm.paramSteps[20], 2.0);
    EXPECT_EQ(app.algorithm.fuseCodes[3], "B");
    EXPECT_EQ(app.algorithm.options.maxCalls, 4321);
    EXPECT_EQ(app.algorithm.options.fileFrequency, 0);
    expectReadyStage();
}

TEST_F(AlgorithmCommands, TheOpenDialogProposesTheCurrentFileAndCancelKeepsIt)
{
    const std::string path = writeTwentyParameterFile("fit.alg");
    loadFile(path);
    ui.answer(Answer::Yes).cancelFile();

    app.mainMenuButtonClicked(menuButton::loadAlg);

    EXPECT_EQ(ui.shown().back().file.defaultName, path);
    EXPECT_EQ(app.session.algorithmFileName, path);
    expectReadyStage();
}

TEST_F(AlgorithmCommands, ACancelledDialogEnablesInitializeAndLoad)
{
    menu().setButtonEnabled(menuButton::initialize, false);
    ui.answer(Answer::Yes).cancelFile();

    app.mainMenuButtonClicked(menuButton::loadAlg);

    EXPECT_EQ(ui.messages().size(), 1u);
    expectNotReady();
}

TEST_F(AlgorithmCommands, AFileThatCannotBeOpenedIsReportedAsAProblemReading)
{
    const std::vector<double> values = app.algorithm.paramValues;
    ui.answer(Answer::Yes).pickFile(dir.file("missing.alg")).answer(Answer::OK);

    app.mainMenuButtonClicked(menuButton::loadAlg);

    const auto messages = ui.messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].title, "Problem Reading Algorithm File!");
    EXPECT_EQ(messages[1].text, "Be suspicious that your algorithm file is not properly formatted");
    EXPECT_EQ(messages[1].buttons, Buttons::OK);
    EXPECT_EQ(messages[1].icon, Icon::Critical);
    EXPECT_EQ(app.algorithm.paramValues, values);
    expectNotReady();
}

TEST_F(AlgorithmCommands, AFolderOrAFileThatStopsTheReadingIsAProblemReading)
{
    // A folder is refused before anything is read; a line without an end stops the reading
    // after some values were stored, so the session loses its algorithm data.
    loadFile(writeTwentyParameterFile("good.alg"));
    std::string endless = readFileBytes(dir.file("good.alg"));
    endless.insert(endless.find("\r\n", endless.find("link for ", endless.find("link for ") + 1)),
                   std::string(longestLine, ' ')); // in the line of parameter 2
    writeFileBytes(dir.file("endless.alg"), endless);
    struct Case {
        std::string path;
        bool ready;
    };
    const Case cases[] = {{dir.path().string(), true}, {dir.file("endless.alg"), false}};
    for (const Case& c : cases) {
        ui.answer(Answer::Yes).pickFile(c.path).answer(Answer::OK);
        app.mainMenuButtonClicked(menuButton::loadAlg);
        EXPECT_EQ(ui.messages().back().title, "Problem Reading Algorithm File!") << c.path;
        EXPECT_EQ(ui.messages().back().icon, Icon::Critical);
        if (c.ready) {
            EXPECT_EQ(app.session.algorithmFileName, dir.file("good.alg"));
        } else {
            expectNotReady();
        }
    }
}

TEST_F(AlgorithmCommands, ARefusedFileIsToldWithTheMainMenuHidden)
{
    const std::string complete = readFileBytes(writeTwentyParameterFile("good.alg"));
    const std::size_t thirdLine = complete.find("\r\n", complete.find("\r\n") + 2) + 2;
    std::string badMiddle = complete;
    badMiddle.replace(thirdLine, 14, "     not a no.");
    const std::string oneLineShort = complete.substr(0, complete.rfind("\r\n", complete.size() - 3) + 2);

    struct Case {
        std::string content;
        std::string message;
    };
    const Case cases[] = {
        {badMiddle, "Algorithm file seems to have inappropriate, badly formatted, or missing, information - "
                    "better check it!"},
        {oneLineShort, "Algorithm file seems to have too few lines of information - better check it!"},
        {complete + "\r\nextra line\r\n",
         "Algorithm file seems to have too many lines of information - better check it!"},
        {"             3  Number of parameters\r\n",
         "Algorithm file  " + dir.file("bad.alg") + "  has 3 parameters, but your model specifies 20"},
    };
    for (const Case& c : cases) {
        writeFileBytes(dir.file("bad.alg"), c.content);
        bool menuVisibleDuringMessage = true;
        ui.whileMessageIsUp = [&] { menuVisibleDuringMessage = menu().visible(); };
        ui.answer(Answer::Yes).pickFile(dir.file("bad.alg")).answer(Answer::OK);

        app.mainMenuButtonClicked(menuButton::loadAlg);

        ui.whileMessageIsUp = nullptr;
        const testing::Interaction told = ui.messages().back();
        EXPECT_EQ(told.text, c.message);
        EXPECT_EQ(told.title, "Algorithm file - information input failed");
        EXPECT_EQ(told.buttons, Buttons::OK);
        EXPECT_EQ(told.icon, Icon::Information);
        EXPECT_FALSE(menuVisibleDuringMessage) << c.message;
        EXPECT_TRUE(menu().visible()) << c.message;
        expectNotReady();
    }
}

TEST_F(AlgorithmCommands, AFileThatOverwroteSomeDataEndsTheReadyStage)
{
    loadFile(writeTwentyParameterFile("good.alg"));
    std::string broken = readFileBytes(dir.file("good.alg"));
    broken.replace(broken.find("3.0000000E+00"), 13, "three        ");
    writeFileBytes(dir.file("broken.alg"), broken);
    ui.answer(Answer::Yes).pickFile(dir.file("broken.alg")).answer(Answer::OK);

    app.mainMenuButtonClicked(menuButton::loadAlg);

    EXPECT_EQ(app.algorithm.paramValues[2], 2.0) << "values before the error stay stored";
    expectNotReady();
    EXPECT_EQ(app.session.algorithmBaseName, "");
    EXPECT_EQ(app.mainWindow.panelText(statusBar::algorithm, 1), "");
}

TEST_F(AlgorithmCommands, AFileForAnotherModelLeavesTheLoadedDataInUse)
{
    const std::string good = writeTwentyParameterFile("good.alg");
    loadFile(good);
    writeFileBytes(dir.file("other.alg"), "             3  Number of parameters\r\n");
    ui.answer(Answer::Yes).pickFile(dir.file("other.alg")).answer(Answer::OK);

    app.mainMenuButtonClicked(menuButton::loadAlg);

    EXPECT_EQ(app.algorithm.paramValues[5], 5.0);
    EXPECT_EQ(app.session.algorithmFileName, good);
    EXPECT_EQ(app.session.algorithmBaseName, "good");
    EXPECT_EQ(enabledButtons(menu()), allButtons(menu()));
    EXPECT_EQ(app.mainWindow.panelText(statusBar::algorithm, 1), "Algorithm file: " + good);
}

TEST_F(AlgorithmCommands, SaveOffersTheThreeFiltersAndWritesTheFile)
{
    takeDefaults();
    app.algorithm.paramValues[1] = 35.0;
    app.algorithm.fuseCodes[4] = app.algorithm.fuseCodes[6] = "C";
    app.desktop.open(std::make_unique<Window>("frmMarquardt", "Marquardt"));
    std::set<std::string> enabledDuringDialog;
    ui.whileDialogIsUp = [&] { enabledDuringDialog = enabledButtons(menu()); };
    const std::string path = dir.file("saved.alg");
    ui.pickFile(path);

    app.mainMenuButtonClicked(menuButton::saveAlg);

    const testing::Interaction& dialog = ui.shown().back();
    EXPECT_EQ(dialog.file.mode, FileDialogMode::Save);
    EXPECT_EQ(dialog.file.title, "Save algorithm data in...");
    EXPECT_EQ(dialog.file.filter, "All files (*.*)|*.*|Algorithm files (*.alg)|*.alg|"
                                  "Named for data file (shrimp.*)|shrimp.*");
    EXPECT_EQ(dialog.file.filterIndex, 3);
    EXPECT_EQ(dialog.file.defaultName, "08121405.alg");
    EXPECT_EQ(enabledDuringDialog, (std::set<std::string>{"cmdQuit"}));
    EXPECT_FALSE(app.desktop.isOpen("frmMarquardt"));

    EXPECT_EQ(enabledButtons(menu()), allButtons(menu()));
    EXPECT_EQ(app.session.algorithmFileName, path);
    EXPECT_EQ(app.session.algorithmBaseName, "saved");
    EXPECT_EQ(app.mainWindow.panelText(statusBar::algorithm, 1), "Algorithm file: " + path);

    AlgorithmData readBack = app.algorithm;
    resetAlgorithmData(readBack);
    const std::string bytes = readFileBytes(path);
    ASSERT_FALSE(readAlgorithmText(bytes, readBack).failed());
    EXPECT_EQ(bytes.rfind("            20  Number of parameters\r\n", 0), 0u);
    EXPECT_EQ(readBack.paramValues[1], 35.0);
    EXPECT_EQ(readBack.fuseCodes[6], "C");
    EXPECT_EQ(readBack.fuseCodes[5], "~~");
}

TEST_F(AlgorithmCommands, CancelInTheSaveDialogKeepsTheDateTimeName)
{
    ui.cancelFile();
    app.hooks.saveAlgorithmFile();

    EXPECT_EQ(ui.shown().back().file.defaultName, "08121405.alg");
    EXPECT_EQ(app.session.algorithmFileName, "08121405.alg");
    EXPECT_EQ(ui.messages().size(), 0u);
    EXPECT_EQ(app.mainWindow.panelText(statusBar::algorithm, 1), "");
    EXPECT_FALSE(std::filesystem::exists(dir.file("08121405.alg")));
}

TEST_F(AlgorithmCommands, AFailedSaveTellsTheUserAndKeepsThePreviousFile)
{
    const std::string loaded = writeTwentyParameterFile("fit.alg");
    loadFile(loaded);
    const std::string target = dir.file("target.alg");
    writeFileBytes(target, "previous content\r\n");
    files.failing = true;
    ui.pickFile(target).answer(Answer::OK);

    app.mainMenuButtonClicked(menuButton::saveAlg);

    const testing::Interaction told = ui.messages().back();
    EXPECT_EQ(told.title, "File not saved");
    EXPECT_NE(told.text.find(target), std::string::npos);
    EXPECT_EQ(readFileBytes(target), "previous content\r\n");
    EXPECT_EQ(app.session.algorithmFileName, loaded);
    EXPECT_EQ(app.mainWindow.panelText(statusBar::algorithm, 1), "Algorithm file: " + loaded);
    int filesInFolder = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path()))
        ++filesInFolder;
    EXPECT_EQ(filesInFolder, 3) << "the data file, the loaded file and the target; no temporary left";
}

TEST_F(AlgorithmCommands, YesInTheQuitFlowWritesTheFile)
{
    loadFile(writeTwentyParameterFile("fit.alg"));
    const std::string path = dir.file("at-exit.alg");
    ui.answer(Answer::Yes).answer(Answer::Yes).pickFile(path);

    EXPECT_TRUE(app.quit());

    EXPECT_EQ(ui.shown().back().file.title, "Save algorithm data in...");
    AlgorithmData readBack = app.algorithm;
    resetAlgorithmData(readBack);
    ASSERT_FALSE(readAlgorithmText(readFileBytes(path), readBack).failed());
    EXPECT_EQ(readBack.paramValues[13], 13.0);
}

TEST_F(AlgorithmCommands, YesToTheInitializeQuestionRunsTheSaveCommand)
{
    loadFile(writeTwentyParameterFile("fit.alg"));
    const std::string path = dir.file("before-init.alg");
    ui.answer(Answer::Yes).pickFile(path);

    app.mainMenuButtonClicked(menuButton::initialize);

    ASSERT_TRUE(std::filesystem::exists(path));
    AlgorithmData readBack = app.algorithm;
    resetAlgorithmData(readBack);
    EXPECT_FALSE(readAlgorithmText(readFileBytes(path), readBack).failed());
    EXPECT_EQ(readBack.paramSteps[10], 1.0);
    EXPECT_EQ(app.session.algorithmFileName, "");
    EXPECT_TRUE(app.desktop.isOpen(InitializationWindow::windowName));
}

TEST(AlgorithmFileNames, BaseNameDropsFolderAndExtension)
{
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\fits\\shrimp.alg", "shrimp"},
        {"/home/u/fit.alg", "fit"},
        {"fit.alg", "fit"},
        {"/a/b.c/x.alg", "x"},
        {"/a/.alg", ""},
        {"/a/b/", ""},
    };
    for (const auto& [path, base] : cases)
        EXPECT_EQ(algorithmBaseName(path), base) << path;
}

TEST(AlgorithmFileNames, StemNamesTheFrequencyFileElseTheIncrementFile)
{
    struct Case {
        const char* frequencyFile;
        const char* incrementFile;
        const char* stem;
    };
    const Case cases[] = {
        {"/data/shrimp.dat", "", "shrimp"},
        {"", "C:\\data\\tags.txt", "tags"},
        {"/d/both.dat", "/d/inc.dat", "both"},
        {"", "", ""},
        {"/d/noext", "", "noext"},
        {"/d/.hidden", "", ".hidden"},
        {"/d/a.b.c", "", "a.b"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(dataFileStem(c.frequencyFile, c.incrementFile), c.stem)
            << c.frequencyFile << " / " << c.incrementFile;
    EXPECT_EQ(saveAlgorithmFilter(""),
              "All files (*.*)|*.*|Algorithm files (*.alg)|*.alg|Named for data file (.*)|.*");
}

} // namespace
} // namespace orvanta
