#include "PriorsSession.h"

#include "priors/PriorsFile.h"
#include "priors/PriorsFileCommands.h"
#include "support/FailingFileSystem.h"

#include <gtest/gtest.h>

#include <vector>

namespace orvanta {
namespace {

using testing::Interaction;
using testing::prior;

class PriorsFlow : public testing::PriorsSession {
protected:
    // A priors file for the session's twelve parameters with the given prior on parameter 2.
    std::string fileWithPrior(const std::string& name, const PriorSpec& second)
    {
        std::vector<PriorSpec> priors(paramCount + 1, PriorSpec{});
        priors[2] = second;
        return writePriorsFileAt(name, priorsFileText(priors, paramCount));
    }

    // The open flow on path, the messages it shows answered OK.
    void openFile(const std::string& path, int messages)
    {
        startFlow();
        ui.pickFile(path);
        for (int i = 0; i < messages; ++i)
            ui.answer(Answer::OK);
        press(loadPriorsButton::open);
    }

    // The editor's closing when every prior is uniform-unbounded: one message.
    void finishWithoutPriors()
    {
        ui.answer(Answer::OK);
        editor()->menuChosen("mnuFinish");
    }
};

TEST_F(PriorsFlow, MainMenuCommandOpensTheLoadWindowInPlaceOfTheMenu)
{
    app.session.simplexBuilt = true;
    startFlow();
    ASSERT_NE(loadWindow(), nullptr);
    EXPECT_EQ(loadWindow()->caption(), "Load Bayesian priors");
    EXPECT_EQ(loadWindow()->geometry().left, 5800);
    EXPECT_EQ(loadWindow()->geometry().top, 3000);
    std::vector<std::string> captions;
    for (const CommandButton& button : loadWindow()->buttons())
        captions.push_back(button.caption);
    EXPECT_EQ(captions, (std::vector<std::string>{"&Open an existing Bayesian Priors file",
                                                  "&Set or reset prior distributions",
                                                  "Set &uniform-unbounded prior distributions", "&Cancel"}));
    EXPECT_EQ(app.mainMenu(), nullptr);
    EXPECT_FALSE(applicationMenuEnabled());
    EXPECT_TRUE(app.session.priorsFromMenu);
    EXPECT_FALSE(app.session.simplexBuilt) << "the next Simplex starts from a new simplex";
    EXPECT_TRUE(app.session.priorsActive) << "in force while the window is open";
    EXPECT_TRUE(ui.shown().empty());
}

TEST_F(PriorsFlow, CancelReturnsToTheMainMenuOnce)
{
    startFlow();
    press(loadPriorsButton::cancel);
    EXPECT_EQ(loadWindow(), nullptr);
    EXPECT_TRUE(mainMenuShown());
    EXPECT_TRUE(applicationMenuEnabled());
    EXPECT_FALSE(app.session.priorsFromMenu);
    EXPECT_FALSE(app.session.priorsActive) << "every prior is uniform-unbounded";

    priorOf(4) = prior("N", 1, 2);
    startFlow();
    loadPriorsCloseRequested(app); // the close box
    EXPECT_TRUE(app.session.priorsActive);
    EXPECT_TRUE(mainMenuShown());
}

TEST_F(PriorsFlow, FromTheRankingWindowTheFlowReturnsThere)
{
    int rankingShown = 0;
    app.hooks.showRankingWindow = [&] { ++rankingShown; };
    app.closeMainMenu();
    openLoadPriorsWindow(app, PriorsCaller::Ranking);
    EXPECT_TRUE(app.session.priorsFromRanking);
    press(loadPriorsButton::cancel);
    EXPECT_EQ(rankingShown, 1);
    EXPECT_FALSE(app.session.priorsFromRanking);
    EXPECT_EQ(app.mainMenu(), nullptr) << "the main menu stays closed";
}

TEST_F(PriorsFlow, CancelInTheOpenDialogKeepsTheWindow)
{
    startFlow();
    ui.cancelFile();
    press(loadPriorsButton::open);
    ASSERT_NE(loadWindow(), nullptr);
    const Interaction& dialog = ui.shown().back();
    EXPECT_EQ(dialog.file.title, "Load Bayesian Priors file");
    EXPECT_EQ(dialog.file.filter, "All files (*.*)|*.*|Bayesian priors files (*.pri)|*.pri");
    EXPECT_EQ(dialog.file.filterIndex, 2);
    EXPECT_EQ(dialog.file.defaultName, "");
    EXPECT_EQ(dialog.file.mode, FileDialogMode::Open);
}

TEST_F(PriorsFlow, OpeningAFileWithOnePriorPutsThePriorsInForceAtOnce)
{
    const std::string path = fileWithPrior("cod.pri", prior("N", 88.2, 3));
    openFile(path, 1);

    EXPECT_EQ(ui.messages().back().text, "Bayesian Priors file " + path + " has been loaded");
    EXPECT_EQ(ui.messages().back().title, "Bayes information");
    EXPECT_EQ(ui.messages().back().icon, Icon::Information);
    EXPECT_EQ(priorOf(2), prior("N", 88.2, 3));
    EXPECT_TRUE(app.session.priorsActive);
    EXPECT_EQ(app.session.priorsFileName, path);
    EXPECT_EQ(priorsPanel(), "Bayesian priors file: cod");
    EXPECT_EQ(loadWindow(), nullptr);
    ASSERT_NE(editor(), nullptr);
    EXPECT_FALSE(app.session.priorsFromMenu) << "cleared when the load window closed";
    EXPECT_FALSE(mainMenuShown());
    EXPECT_FALSE(applicationMenuEnabled());

    // The editor brings the main menu back, although the return flag is cleared already.
    ui.answer(Answer::OK).answer(Answer::No).type("0.5");
    editor()->menuChosen("mnuFinish");
    EXPECT_EQ(editor(), nullptr);
    EXPECT_TRUE(mainMenuShown());
    EXPECT_TRUE(applicationMenuEnabled());
}

TEST_F(PriorsFlow, CountMismatchLoadsUniformPriorsAndOpensTheEditor)
{
    priorOf(5) = prior("G", 4, 2);
    app.session.priorsActive = true;
    std::vector<PriorSpec> eleven(12, PriorSpec{});
    eleven[1] = prior("N", 1, 1);
    const std::string path = writePriorsFileAt("eleven.pri", priorsFileText(eleven, 11));
    openFile(path, 1);

    const Interaction message = ui.messages().back();
    EXPECT_EQ(message.text, "Bayesian priors file  " + path +
                                "  has 11 parameters, but your model specifies 12.\nTherefore default "
                                "(uniform-unbounded) priors have been loaded instead.");
    EXPECT_EQ(message.title, "Bayes information");
    EXPECT_EQ(message.icon, Icon::CriticalInformation);
    EXPECT_FALSE(anyPriorSet(app.priors, paramCount));
    EXPECT_FALSE(app.session.priorsActive);
    EXPECT_EQ(app.session.priorsFileName, path);
    EXPECT_NE(editor(), nullptr);
    EXPECT_FALSE(mainMenuShown()) << "no tool can start while the editor is open";
    finishWithoutPriors();
    EXPECT_TRUE(mainMenuShown());
}

TEST_F(PriorsFlow, ShortFileIsRefusedAndThePriorsStayAsTheyWere)
{
    priorOf(5) = prior("G", 4, 2);
    app.session.priorsFileName = "/fits/before.pri";
    const std::string path = writePriorsFileAt(
        "short.pri", "12\r\n  1   N 1.000E+001 2.000E+000     Unused     Unused   Gaussian\r\n");
    openFile(path, 1);

    const Interaction message = ui.messages().back();
    EXPECT_EQ(message.text, "Bayesian priors file  " + path +
                                "  ends before line 3, but its first line announces 12 parameters, one line "
                                "each.\nThe priors have not been changed.");
    EXPECT_EQ(message.icon, Icon::Exclamation);
    EXPECT_EQ(priorOf(5), prior("G", 4, 2));
    EXPECT_EQ(priorOf(1), PriorSpec{});
    EXPECT_EQ(app.session.priorsFileName, "/fits/before.pri");
    EXPECT_TRUE(app.session.priorsActive);
    EXPECT_NE(editor(), nullptr) << "the editor opens whether or not the file was taken";
}

TEST_F(PriorsFlow, UnreadableFileIsTold)
{
    openFile(dir.file("none.pri"), 1);
    EXPECT_EQ(ui.messages().back().text, "Bayesian priors file  " + dir.file("none.pri") +
                                             "  could not be read.\nThe priors have not been changed.");
    EXPECT_EQ(app.session.priorsFileName, "");
}

TEST_F(PriorsFlow, PriorWithoutFiniteLikelihoodIsNamedWhenItsFileIsLoaded)
{
    const std::string path = fileWithPrior("flat.pri", prior("N", 5, 0));
    openFile(path, 2);
    const Interaction warning = ui.messages().back();
    EXPECT_EQ(warning.text,
              "The Gaussian or Normal prior of parameter 2 cannot be used: its SD must not be 0.\n\n"
              "Correct it in the prior editor: until then no objective with priors in force has a "
              "finite value.");
    EXPECT_EQ(warning.icon, Icon::Exclamation);
    EXPECT_EQ(priorOf(2), prior("N", 5, 0)) << "kept for the user to correct";
}

TEST_F(PriorsFlow, SetFlowWithPriorsOpensTheEditorWithoutAQuestion)
{
    priorOf(3) = prior("E", 2, 2);
    startFlow();
    press(loadPriorsButton::set);
    EXPECT_TRUE(ui.shown().empty());
    EXPECT_EQ(loadWindow(), nullptr);
    ASSERT_NE(editor(), nullptr);
    EXPECT_TRUE(app.session.priorsFromMenu) << "the editor returns to the main menu";
}

TEST_F(PriorsFlow, SetFlowAnsweredNoKeepsUniformPriorsAndTheFileName)
{
    app.session.priorsFileName = "/fits/cod.pri";
    showPriorsFileName(app, "cod");
    app.session.priorsActive = true;
    startFlow();
    ui.answer(Answer::No).answer(Answer::OK);
    press(loadPriorsButton::set);

    const std::vector<Interaction> messages = ui.messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].title, "Setting Bayesian Priors");
    EXPECT_EQ(messages[0].text, setPriorsQuestion());
    EXPECT_EQ(messages[0].buttons, Buttons::YesNo);
    EXPECT_EQ(messages[0].icon, Icon::Question);
    EXPECT_EQ(messages[1].text, "Prior probabilities have been set to default (uniform-unbounded) values");
    EXPECT_EQ(messages[1].title, "Default prior probabilities");
    EXPECT_EQ(app.session.priorsFileName, "/fits/cod.pri");
    EXPECT_EQ(priorsPanel(), "Bayesian priors file: ");
    EXPECT_FALSE(app.session.priorsActive);
    EXPECT_EQ(editor(), nullptr);
    EXPECT_TRUE(mainMenuShown());
    EXPECT_TRUE(applicationMenuEnabled());
}

TEST_F(PriorsFlow, SetFlowAnsweredYesNamesTheFileForTheDateAndTime)
{
    startFlow();
    ui.answer(Answer::Yes);
    press(loadPriorsButton::set);
    ASSERT_NE(editor(), nullptr);
    EXPECT_EQ(app.session.priorsFileName, "03051407.pri");
    EXPECT_EQ(priorsPanel(), "Bayesian priors file: ") << "a name without a folder has no base name yet";
}

TEST_F(PriorsFlow, UniformFlowResetsEveryPrior)
{
    priorOf(1) = prior("N", 1, 2);
    priorOf(12) = prior("T", 0, 0, PriorTerm(1.0), PriorTerm(0.0));
    startFlow();
    ui.answer(Answer::OK);
    press(loadPriorsButton::uniform);
    EXPECT_FALSE(anyPriorSet(app.priors, paramCount));
    EXPECT_EQ(priorOf(12), PriorSpec{});
    EXPECT_FALSE(app.session.priorsActive);
    EXPECT_EQ(priorsPanel(), "Bayesian priors file: ");
    EXPECT_EQ(ui.messages().back().title, "Default prior probabilities");
    EXPECT_TRUE(mainMenuShown());
}

TEST_F(PriorsFlow, SavingWithoutANameProposesOneForTheDateAndTime)
{
    priorOf(2) = prior("N", -12.34, 0.5);
    const std::string path = dir.file("saved.pri");
    ui.pickFile(path);
    ASSERT_TRUE(writePriorsFile(app, PriorsSaver::MainMenu));

    const Interaction& dialog = ui.shown().back();
    EXPECT_EQ(dialog.file.mode, FileDialogMode::Save);
    EXPECT_EQ(dialog.file.title, "Save Bayesian priors file in...");
    EXPECT_EQ(dialog.file.filter, "All files (*.*)|*.*|Bayesian prior files (*.pri)|*.pri");
    EXPECT_EQ(dialog.file.defaultName, "03051407.pri");
    EXPECT_EQ(testing::readFileBytes(path), withCrLf(priorsFileText(app.priors, paramCount)));
    EXPECT_EQ(app.session.priorsFileName, path);
    EXPECT_EQ(priorsPanel(), "Bayesian priors file: " + path) << "the main menu's save shows the full path";

    ui.pickFile(dir.file("again.pri"));
    ASSERT_TRUE(writePriorsFile(app, PriorsSaver::PriorEditor));
    EXPECT_EQ(ui.shown().back().file.defaultName, path);
    EXPECT_EQ(priorsPanel(), "Bayesian priors file: again") << "the editor's save shows the base name";
}

TEST_F(PriorsFlow, FailedSaveLeavesThePreviousFileAndName)
{
    testing::FailingFileSystem failing;
    Application broken{ui, clock, failing};
    broken.algorithm.paramCount = 2;
    broken.priors.assign(3, PriorSpec{});
    const std::string path = writePriorsFileAt("kept.pri", "previous");
    broken.session.priorsFileName = "/fits/old.pri";
    ui.pickFile(path).answer(Answer::OK);
    EXPECT_FALSE(writePriorsFile(broken, PriorsSaver::MainMenu));
    EXPECT_EQ(ui.messages().back().title, "File not saved");
    EXPECT_EQ(testing::readFileBytes(path), "previous");
    EXPECT_EQ(broken.session.priorsFileName, "/fits/old.pri");
}

TEST_F(PriorsFlow, QuitFlowSavesThePriorsThroughTheMainMenusSave)
{
    app.hooks.endProcess = [] {};
    priorOf(7) = prior("S", -3, 0);
    const std::string path = dir.file("quit.pri");
    ui.answer(Answer::Yes).answer(Answer::No).answer(Answer::Yes).pickFile(path);
    ASSERT_TRUE(app.quit());
    EXPECT_EQ(ui.messages().back().text, "Save Bayesian priors?");
    const PriorsFileReading reading = readPriorsText(testing::readFileBytes(path), paramCount);
    ASSERT_FALSE(reading.failed());
    EXPECT_EQ(reading.priors[7], prior("S", -3, 0));
    EXPECT_EQ(priorsPanel(), "Bayesian priors file: " + path);
}

} // namespace
} // namespace orvanta
