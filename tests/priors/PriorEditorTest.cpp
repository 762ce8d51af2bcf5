#include "PriorsSession.h"

#include "app/InfoWindows.h"
#include "priors/PriorsFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace orvanta {
namespace {

using testing::Interaction;
using testing::prior;

class PriorEditorTest : public testing::PriorsSession {
protected:
    CellRole role(int row, int column) const { return editor()->cell(row, column).role; }
    std::string text(int row, int column) const { return editor()->cell(row, column).text; }

    // The roles of columns 1 to 5 of a parameter's row.
    std::vector<CellRole> termRoles(int param) const
    {
        std::vector<CellRole> roles;
        for (int column = priorGridColumn::type; column <= priorGridColumn::secondSD; ++column)
            roles.push_back(role(param + 1, column));
        return roles;
    }

    // An entry of a type for the selected parameter, with the answers to its prompts.
    void enter(const char* menuName, std::initializer_list<const char*> answers)
    {
        for (const char* answer : answers)
            ui.type(answer);
        editor()->menuChosen(menuName);
    }

    void select(int param) { editor()->grdSetPriors_Click(param + 1); }

    // "&Finished" with priors set: the message, the save question answered No, and the constant.
    void finishWithConstant(const char* constant)
    {
        ui.answer(Answer::OK).answer(Answer::No).type(constant);
        editor()->menuChosen("mnuFinish");
    }
};

constexpr CellRole plain = CellRole::Plain;
constexpr CellRole set = CellRole::Set;
constexpr CellRole changed = CellRole::Changed;
constexpr CellRole marked = CellRole::Editing;

TEST_F(PriorEditorTest, OpensWithTheGridOfThePriors)
{
    priorOf(2) = prior("N", -12.5, 3);
    priorOf(3) = prior("T", 0, 0, PriorTerm(10.0), PriorTerm(1.5));
    PriorEditor& e = openEditor();

    EXPECT_EQ(e.caption(), "Set prior distributions");
    EXPECT_EQ(e.geometry().left, 1500);
    EXPECT_EQ(e.geometry().top, 2000);
    EXPECT_EQ(e.geometry().width, 12200);
    EXPECT_EQ(e.geometry().height, 5300);
    EXPECT_EQ(e.label(), "Select a parameter then choose an action from the menu bar");
    EXPECT_EQ(app.mainWindow.panelText(statusBar::messages, 1),
              "Note: Unset parameters in your Bayesian Priors file have the value '*'");
    EXPECT_EQ(e.rowCount(), paramCount + 2);
    EXPECT_EQ(e.selectedRow(), 2);
    EXPECT_EQ(e.markedRow(), 0);

    const std::vector<std::string> row0 = {
        "", "Distribution", "First term", "First term", "Second term", "Second term", ""};
    const std::vector<std::string> row1 = {
        "Parameter", "Type", "Mean", "SD", "Mean", "SD", "Parameter description [null value]"};
    const int widths[] = {1000, 1600, 1000, 1000, 1000, 1000, 6000};
    for (int column = 0; column < priorGridColumn::count; ++column) {
        EXPECT_EQ(text(0, column), row0[static_cast<std::size_t>(column)]);
        EXPECT_EQ(text(1, column), row1[static_cast<std::size_t>(column)]);
        EXPECT_EQ(PriorEditor::columnWidth(column), widths[column]);
        EXPECT_EQ(e.cell(3, column).alignment,
                  column == priorGridColumn::description ? CellAlignment::Left : CellAlignment::Centre);
    }
    EXPECT_EQ(text(2, 0), "1");
    EXPECT_EQ(text(2, 1), "Uniform - unbounded");
    EXPECT_EQ(text(2, 2), "*");
    EXPECT_EQ(text(2, 4), "Unused");
    EXPECT_EQ(text(2, 6), "Parameter 1");
    EXPECT_EQ(text(3, 1), "Gaussian or Normal");
    EXPECT_EQ(text(3, 2), "-1.250E+001");
    EXPECT_EQ(text(3, 3), "3.000E+000");
    EXPECT_EQ(text(4, 2), "0.000E+000");
    EXPECT_EQ(text(4, 4), "10");
    EXPECT_EQ(text(4, 5), "1.5");

    EXPECT_EQ(termRoles(1), (std::vector<CellRole>{plain, plain, plain, plain, plain}));
    EXPECT_EQ(termRoles(2), (std::vector<CellRole>{set, set, set, plain, plain}));
    EXPECT_EQ(termRoles(3), (std::vector<CellRole>{set, set, set, set, set}));
}

TEST_F(PriorEditorTest, MenuBarInOrderWithItsAccessKeys)
{
    const PriorEditor& e = openEditor();
    std::vector<std::string> captions;
    for (const MenuEntry& entry : e.menus())
        captions.push_back(entry.caption);
    EXPECT_EQ(captions, (std::vector<std::string>{"&Application", "&Edit prior distributions",
                                                  "&Profile prior distributions", "&Save prior distributions",
                                                  "&Window", "&Help with prior distributions", "&Finished"}));
    const MenuEntry* mainMenu = findMenuEntry(e.menus(), "mnuMenu");
    ASSERT_NE(mainMenu, nullptr);
    EXPECT_FALSE(mainMenu->enabled) << "disabled while the editor is open";
    const MenuEntry* edit = findMenuEntry(e.menus(), "mnuEdit");
    ASSERT_EQ(edit->items.size(), 4u);
    EXPECT_EQ(edit->items[0].caption, "&Mean and SD");
    EXPECT_EQ(edit->items[1].caption, "F&oot (mean) of a");
    EXPECT_TRUE(edit->items[2].separator);
    EXPECT_EQ(edit->items[3].caption, "Default (&Uniform-unbounded)");
    std::vector<std::string> meanSD;
    for (const MenuEntry& item : edit->items[0].items)
        meanSD.push_back(item.name + " " + item.caption);
    EXPECT_EQ(meanSD, (std::vector<std::string>{"mnuN Gaussian (i.e., &Normal)", "mnuG &Gamma",
                                                "mnuE &Exponential", "mnuL &Ln-normal", "mnuB &Beta"}));
    std::vector<std::string> feet;
    for (const MenuEntry& item : edit->items[1].items)
        feet.push_back(item.name + " " + item.caption);
    EXPECT_EQ(feet, (std::vector<std::string>{"MnuS Left-&side cliff", "mnuR Right-si&de cliff",
                                              "mnuT Feet of a uniform-b&ounded"}));
    EXPECT_EQ(findMenuEntry(e.menus(), "mnuWindow")->items.size(), 4u);
}

TEST_F(PriorEditorTest, ClickMarksTheRowAndTheNextClickGivesItsColourBack)
{
    priorOf(2) = prior("N", 1, 2);
    priorOf(4) = prior("T", 0, 0, PriorTerm(10.0), PriorTerm(1.0));
    openEditor();

    select(2);
    EXPECT_EQ(editor()->selectedRow(), 3);
    EXPECT_EQ(editor()->markedRow(), 3);
    EXPECT_EQ(termRoles(2), (std::vector<CellRole>{marked, marked, marked, plain, plain}));

    select(4); // a uniform-bounded row is marked over all its terms
    EXPECT_EQ(termRoles(2), (std::vector<CellRole>{set, set, set, plain, plain}));
    EXPECT_EQ(termRoles(4), (std::vector<CellRole>{marked, marked, marked, marked, marked}));

    select(1); // the marked row's terms take the colour its type cell had
    EXPECT_EQ(termRoles(4), (std::vector<CellRole>{set, set, set, set, set}));
    EXPECT_EQ(termRoles(1), (std::vector<CellRole>{marked, marked, marked, plain, plain}));

    editor()->grdSetPriors_Click(0); // the heading rows count as parameter 1
    EXPECT_EQ(editor()->selectedRow(), 2);
    editor()->grdSetPriors_Click(1);
    EXPECT_EQ(editor()->selectedRow(), 2);
    EXPECT_TRUE(ui.shown().empty());
}

TEST_F(PriorEditorTest, EntriesStoreWhatTheirTestsAccept)
{
    openEditor();
    struct Case {
        const char* menu;
        std::vector<const char*> answers;
        PriorSpec stored; // the default prior where nothing is stored
        int messages;
    };
    const PriorSpec none;
    const Case cases[] = {
        {"mnuN", {"-12.5", "-3"}, prior("N", -12.5, 3), 0},
        {"mnuG", {"4", "5"}, none, 0},
        {"mnuG", {"4", "2"}, prior("G", 4, 2), 0},
        {"mnuG", {"abc", "2"}, none, 0},
        {"mnuE", {"-3"}, prior("E", 3, 3), 0},
        {"mnuL", {"-2", "-0.5"}, prior("L", 2, 0.5), 0},
        {"mnuL", {"2", "0"}, none, 0},
        {"mnuB", {"0.5", "0.1"}, prior("B", 0.5, 0.1), 1},
        {"mnuB", {"0.5", "0.6"}, none, 1},
        {"mnuB", {"1.5", "0.1"}, none, 0},
        {"MnuS", {"-3", "-0.5"}, prior("S", -3, 0.5), 0},
        {"mnuR", {"100", "0"}, prior("D", 100, 0), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.menu) + " " + c.answers.front() + " " + c.answers.back());
        priorOf(1) = PriorSpec{};
        const std::size_t before = ui.messages().size();
        for (const char* answer : c.answers)
            ui.type(answer);
        for (int m = 0; m < c.messages; ++m)
            ui.answer(Answer::OK);
        editor()->menuChosen(c.menu);
        EXPECT_EQ(priorOf(1), c.stored);
        EXPECT_EQ(ui.messages().size() - before, static_cast<std::size_t>(c.messages));
    }
}

TEST_F(PriorEditorTest, PromptsOfEveryTypeAskForTheSelectedParameter)
{
    openEditor();
    select(7);
    ui.type("1").type("2");
    editor()->menuChosen("mnuG");
    ui.type("5");
    editor()->menuChosen("mnuE");
    std::vector<std::string> prompts;
    std::vector<std::string> titles;
    for (const Interaction& shown : ui.shown()) {
        if (shown.kind != Interaction::Kind::Text)
            continue;
        prompts.push_back(shown.text);
        titles.push_back(shown.title);
        EXPECT_EQ(shown.defaultText, "");
    }
    EXPECT_EQ(
        prompts,
        (std::vector<std::string>{
            "Choose mean (> 0) of parameter #7", "Choose SD (0 < SD < Mean) of parameter #7",
            "For the exponential distribution the instantaneous decay rate is equal to the "
            "reciprocal of both the mean and the SD\n\nChoose the mean (and thus SD) of parameter #7"}));
    EXPECT_EQ(titles, (std::vector<std::string>{"Gamma", "Gamma", "Exponential"}));
    EXPECT_EQ(priorOf(7), prior("E", 5, 5));
}

TEST_F(PriorEditorTest, BetaShowsItsShapesWithTheSharpS)
{
    openEditor();
    ui.type("0.5").type("0.1").answer(Answer::OK);
    editor()->menuChosen("mnuB");
    Interaction message = ui.messages().back();
    EXPECT_EQ(message.text, "The corresponding values for 'a' & 'b' of \u00df (a,b) are: 12. & 12.");
    EXPECT_EQ(message.title, "Beta");
    EXPECT_EQ(message.icon, Icon::Information);

    ui.type("0.5").type("0.6").answer(Answer::OK);
    editor()->menuChosen("mnuB");
    EXPECT_EQ(ui.messages().back().text, "An unacceptable (< 0) value for 'a' of \u00df (a,b) is: -0.1528");

    EXPECT_EQ(priorOf(1), prior("B", 0.5, 0.1));
}

TEST_F(PriorEditorTest, UniformBoundedAsksAllFourAgainUntilTheRightFootLiesBeyond)
{
    openEditor();
    ui.type("5").type("1").type("5").type("1");    // right foot not beyond the left
    ui.type("5").type("-1").type("abc").type("1"); // no number counts as 0
    ui.type("-5").type("-1").type("10").type("-2");
    const std::size_t before = ui.shown().size();
    editor()->menuChosen("mnuT");
    ASSERT_EQ(ui.shown().size() - before, 12u);
    EXPECT_EQ(ui.shown()[before + 2].text, "Choose right foot of parameter #1, it must exceed left foot.");
    EXPECT_EQ(ui.shown()[before + 2].title, "Uniform-bounded");
    EXPECT_EQ(priorOf(1), prior("T", -5, 1, PriorTerm(10.0), PriorTerm(2.0)));
    EXPECT_EQ(termRoles(1), (std::vector<CellRole>{changed, changed, changed, changed, changed}));
}

TEST_F(PriorEditorTest, EmptyAnswerEndsTheEntryWithNothingChanged)
{
    priorOf(1) = prior("N", 1, 2);
    openEditor();
    ui.type("4").type("");
    editor()->menuChosen("mnuN");
    ui.type("0").type("1").type("");
    editor()->menuChosen("mnuT");
    EXPECT_EQ(priorOf(1), prior("N", 1, 2));
    EXPECT_TRUE(ui.messages().empty());
}

TEST_F(PriorEditorTest, AnswerThatIsNoNumberIsRefusedWithAMessage)
{
    openEditor();
    ui.type("abc").type("2").answer(Answer::OK);
    editor()->menuChosen("mnuN");
    const Interaction message = ui.messages().back();
    EXPECT_EQ(message.text, "'abc' is not a number, so the prior of parameter #1 has not been changed.");
    EXPECT_EQ(message.title, "Gaussian (i.e., Normal)");
    EXPECT_EQ(message.icon, Icon::Exclamation);
    EXPECT_EQ(priorOf(1), PriorSpec{});

    ui.type("5 kg").type("2").answer(Answer::OK); // a gamma test reads the leading 5
    editor()->menuChosen("mnuG");
    EXPECT_EQ(ui.messages().back().text,
              "'5 kg' is not a number, so the prior of parameter #1 has not been changed.");
    EXPECT_EQ(priorOf(1), PriorSpec{});
}

TEST_F(PriorEditorTest, PriorWithoutFiniteLikelihoodIsRefusedWithItsReason)
{
    openEditor();
    select(3);
    ui.type("10").type("0").answer(Answer::OK);
    editor()->menuChosen("mnuN");
    EXPECT_EQ(ui.messages().back().text, "The Gaussian or Normal prior of parameter 3 cannot be used: its SD "
                                         "must not be 0.\n\nIt has not been "
                                         "stored.");
    ui.type("0").answer(Answer::OK);
    editor()->menuChosen("mnuE");
    EXPECT_EQ(
        ui.messages().back().text,
        "The Exponential prior of parameter 3 cannot be used: its mean must not be 0.\n\nIt has not been "
        "stored.");
    EXPECT_EQ(priorOf(3), PriorSpec{});
    EXPECT_EQ(editor()->markedRow(), 4) << "a refused entry keeps the mark";
}

TEST_F(PriorEditorTest, EntryColoursTheRowLightRedAndClearsTheMark)
{
    priorOf(2) = prior("T", 0, 0, PriorTerm(10.0), PriorTerm(1.0));
    openEditor();
    select(2);
    ui.type("1").type("2");
    editor()->menuChosen("mnuN");
    EXPECT_EQ(editor()->markedRow(), 0);
    EXPECT_EQ(editor()->selectedRow(), 3);
    EXPECT_EQ(termRoles(2), (std::vector<CellRole>{changed, changed, changed, plain, plain}));
    EXPECT_EQ(text(3, 4), "Unused");

    editor()->menuChosen("mnuU"); // no prompts
    EXPECT_EQ(priorOf(2), PriorSpec{});
    EXPECT_EQ(termRoles(2), (std::vector<CellRole>{changed, changed, changed, plain, plain}));
    EXPECT_EQ(text(3, 2), "*");

    select(2); // unmarked, the row turns back to the colour its type cell had after the entry
    select(1);
    EXPECT_EQ(termRoles(2), (std::vector<CellRole>{changed, changed, changed, plain, plain}));
}

TEST_F(PriorEditorTest, HelpShowsItsTextLineByLine)
{
    openEditor();
    editor()->menuChosen("mnuHelpSetting");
    const auto* help = app.desktop.find<HelpWindow>(HelpWindow::windowName);
    ASSERT_NE(help, nullptr);
    const std::string& text = help->text();
    EXPECT_EQ(text, priorHelpText());
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 27) << "28 lines, no line end after the last";
    EXPECT_TRUE(text.starts_with("For each parameter you have the option to choose the mean and SD of a:\n"
                                 "     Gaussian (i.e., Normal) distribution\n"));
    EXPECT_TRUE(
        text.ends_with("When you are done select 'Finished'.\n\nNote that unrequired values are labelled "
                       "'Unused' whereas unset values are assigned an asterisk (*)."));
}

TEST_F(PriorEditorTest, SaveUsesTheEditorsSave)
{
    priorOf(1) = prior("N", 1, 2);
    openEditor();
    ui.pickFile(dir.file("edited.pri"));
    editor()->menuChosen("mnuSavePrior");
    EXPECT_EQ(priorsPanel(), "Bayesian priors file: edited");
    EXPECT_EQ(app.session.priorsBaseName, "edited");
    EXPECT_EQ(readPriorsText(testing::readFileBytes(dir.file("edited.pri")), paramCount).priors, app.priors);
}

TEST_F(PriorEditorTest, ClosingWithEveryPriorUniformAsksNothingMore)
{
    openEditor();
    ui.answer(Answer::OK);
    editor()->menuChosen("mnuFinish");
    const std::vector<Interaction> messages = ui.messages();
    ASSERT_EQ(messages.size(), 2u); // the set flow's question, then the closing
    EXPECT_EQ(messages[1].text, "Bayesian priors data, if changed, have been updated");
    EXPECT_EQ(messages[1].title, "Just so you know");
    EXPECT_EQ(messages[1].icon, Icon::Information);
    EXPECT_EQ(editor(), nullptr);
    EXPECT_FALSE(app.session.priorsActive);
    EXPECT_TRUE(mainMenuShown());
    EXPECT_TRUE(applicationMenuEnabled());
    EXPECT_EQ(app.mainWindow.panelText(statusBar::messages, 1), "");
}

TEST_F(PriorEditorTest, ClosingWithPriorsAsksToSaveAndForTheConstant)
{
    openEditor();
    ui.type("10").type("2");
    editor()->menuChosen("mnuN");
    const std::string path = dir.file("closing.pri");
    ui.answer(Answer::OK)
        .answer(Answer::Yes)
        .pickFile(path)
        .type("")
        .type("-1")
        .answer(Answer::OK)
        .type("0.5");
    editor()->closeRequested();

    const std::vector<Interaction> messages = ui.messages();
    EXPECT_EQ(messages[messages.size() - 2].text, "Save Bayesian priors now?");
    EXPECT_EQ(messages[messages.size() - 2].title, "Save Bayesian priors");
    EXPECT_EQ(messages[messages.size() - 2].buttons, Buttons::YesNo);
    EXPECT_EQ(messages.back().title, "Insufficient degrees of freedom");
    EXPECT_EQ(ui.shown().back().title, "Enter constant");
    EXPECT_EQ(app.session.covScale, 2.0);
    EXPECT_TRUE(app.session.priorsActive) << "priors set in the editor are in force";
    EXPECT_EQ(priorsPanel(), "Bayesian priors file: closing");
    EXPECT_EQ(editor(), nullptr);
    EXPECT_TRUE(mainMenuShown());
}

TEST_F(PriorEditorTest, PriorsSetAfterAnUncountedFileAreInForceWhenTheEditorCloses)
{
    std::vector<PriorSpec> eleven(12, PriorSpec{});
    const std::string path = writePriorsFileAt("eleven.pri", priorsFileText(eleven, 11));
    startFlow();
    ui.pickFile(path).answer(Answer::OK);
    press(loadPriorsButton::open);
    ASSERT_FALSE(app.session.priorsActive);
    ui.type("1").type("2");
    editor()->menuChosen("mnuN");
    finishWithConstant("0.5");
    EXPECT_TRUE(app.session.priorsActive);
}

class PriorEditorScale : public PriorEditorTest {
protected:
    PriorEditorScale()
    {
        // Three free parameters; the objective is their sum.
        for (int i = 1; i <= 3; ++i)
            app.algorithm.paramSteps[static_cast<std::size_t>(i)] = 0.1;
        app.algorithm.paramValues[1] = 10;
        app.algorithm.paramValues[2] = 20;
        app.algorithm.paramValues[3] = 20;
        model.objective = [](const std::vector<double>& v) { return v[1] + v[2] + v[3]; };
        priorOf(1) = prior("N", 1, 2);
        openEditor();
    }

    // The observation count as the model reported it at its last call.
    void reportObservations(std::int32_t count) { app.modelWorkspace.observationCount = count; }

    void finishAnsweringNo() { ui.answer(Answer::OK).answer(Answer::No); }
};

TEST_F(PriorEditorScale, ComesFromTheObservationsWhenTheModelCountsThem)
{
    reportObservations(104);
    model.observationCount = 104;
    app.session.covScale = 7;
    finishAnsweringNo();
    editor()->menuChosen("mnuFinish");
    EXPECT_DOUBLE_EQ(app.session.covScale, (104.0 - 3 - 1) / (2 * 50.0));
    ASSERT_EQ(model.calls.size(), 1u);
    EXPECT_EQ(model.calls[0].nf, 1);
    EXPECT_EQ(app.mainWindow.panelText(statusBar::messages, 1), "");
    EXPECT_TRUE(mainMenuShown());
}

TEST_F(PriorEditorScale, TooFewDegreesOfFreedomAreToldAndTheScaleStays)
{
    reportObservations(4);
    app.session.covScale = 7;
    finishAnsweringNo();
    ui.answer(Answer::OK);
    editor()->menuChosen("mnuFinish");
    const Interaction message = ui.messages().back();
    EXPECT_EQ(message.text,
              "Cannot accept a negative or zero constant; perhaps the degrees of freedom are zero or fewer");
    EXPECT_EQ(message.title, "Insufficient degrees of freedom");
    EXPECT_EQ(message.icon, Icon::Exclamation);
    EXPECT_EQ(app.session.covScale, 7.0);
    EXPECT_TRUE(model.calls.empty());
    EXPECT_EQ(editor(), nullptr);
    EXPECT_TRUE(mainMenuShown()) << "the user is not left without the main menu";
}

TEST_F(PriorEditorScale, ObjectiveOfZeroAsksForTheConstantInstead)
{
    reportObservations(104);
    model.objective = [](const std::vector<double>&) { return 0.0; };
    finishAnsweringNo();
    ui.answer(Answer::OK).type("0.5");
    editor()->menuChosen("mnuFinish");
    const std::vector<Interaction> messages = ui.messages();
    EXPECT_EQ(
        messages.back().text,
        "The objective function at the current parameter values is 0, so the scale of the prior penalty "
        "cannot be derived from it.\n\nPlease enter the constant that makes the objective function the "
        "-ln[likelihood].");
    EXPECT_EQ(messages.back().title, "Scale of the prior penalty");
    EXPECT_EQ(app.session.covScale, 2.0);
    EXPECT_TRUE(std::isfinite(app.session.covScale));
}

TEST_F(PriorEditorScale, NegativeObservationCountLeavesTheScale)
{
    reportObservations(-1);
    app.session.covScale = 7;
    finishAnsweringNo();
    editor()->menuChosen("mnuFinish");
    EXPECT_EQ(app.session.covScale, 7.0);
    EXPECT_EQ(editor(), nullptr);
}

TEST_F(PriorEditorScale, QuittingWhileTheConstantIsAskedShowsNothingMore)
{
    app.hooks.endProcess = [] {};
    finishAnsweringNo();
    // The user closes the main window at the prompt's yield: the quit flow, algorithm data not saved.
    ui.answer(Answer::Yes).answer(Answer::No).answer(Answer::No);
    ui.onYield = [this] {
        ui.onYield = nullptr;
        app.mainWindowCloseRequested();
    };
    editor()->menuChosen("mnuFinish");
    EXPECT_TRUE(app.ended());
    EXPECT_EQ(ui.shown().back().text, "Save Bayesian priors?");
}

TEST_F(PriorEditorScale, ExitRunsTheQuitFlowWithTheEditorsSave)
{
    app.hooks.endProcess = [] {};
    ui.answer(Answer::Yes).answer(Answer::No).answer(Answer::Yes).pickFile(dir.file("exit.pri"));
    editor()->menuChosen("mnuExit");
    EXPECT_TRUE(app.ended());
    EXPECT_EQ(priorsPanel(), "Bayesian priors file: exit") << "the editor's save shows the base name";
    EXPECT_FALSE(testing::readFileBytes(dir.file("exit.pri")).empty());
}

} // namespace
} // namespace orvanta
