#include "algorithm/AlgorithmEditor.h"

#include "algorithm/AlgorithmData.h"
#include "algorithm/EditValuesDialog.h"
#include "app/Application.h"
#include "app/MainMenu.h"
#include "support/FakeClock.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"
#include "text/NumberText.h"
#include "text/TextFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace orvanta {
namespace {

using testing::FakeClock;
using testing::Interaction;
using testing::ScriptedUi;

// A scripted user who also notes which grid row the editor highlights at every prompt.
class WatchingUi : public ScriptedUi {
public:
    std::function<int()> editingRow;
    std::vector<int> rowsAtPrompts;

    std::string askText(const std::string& prompt, const std::string& title,
                        const std::string& defaultText) override
    {
        rowsAtPrompts.push_back(editingRow ? editingRow() : -1);
        return ScriptedUi::askText(prompt, title, defaultText);
    }
};

class Editor : public ::testing::Test {
protected:
    Editor()
    {
        installAlgorithmEditor(app);
        app.start();
        app.session.initializeAlready = true;
        app.session.algorithmFileName = "fit.alg";
        app.algorithm.paramCount = 4;
        resetAlgorithmData(app.algorithm);
        app.algorithm.paramDescriptions = {"", "L-infinity", "K", "Sigma", "M"};
        app.closeMainMenu();
        app.showMainMenu();
        ui.editingRow = [this] { return editor() ? editor()->editingRow() : -1; };
    }

    void setParameter(int i, double value, double step, const std::string& code = unfusedCode)
    {
        const auto at = static_cast<std::size_t>(i);
        app.algorithm.paramValues[at] = value;
        app.algorithm.paramSteps[at] = step;
        app.algorithm.fuseCodes[at] = code;
    }

    double value(int i) const { return app.algorithm.paramValues[static_cast<std::size_t>(i)]; }
    double step(int i) const { return app.algorithm.paramSteps[static_cast<std::size_t>(i)]; }
    const std::string& code(int i) const { return app.algorithm.fuseCodes[static_cast<std::size_t>(i)]; }

    AlgorithmEditor* editor() const { return app.desktop.find<AlgorithmEditor>(AlgorithmEditor::windowName); }
    EditValuesDialog* dialog() const
    {
        return app.desktop.find<EditValuesDialog>(EditValuesDialog::windowName);
    }

    // "&Edit  algorithm data" on the main menu.
    AlgorithmEditor& open()
    {
        app.mainMenuButtonClicked(menuButton::editAlg);
        if (!editor())
            throw std::runtime_error("the editor did not open");
        return *editor();
    }

    void editCell(int row, int column, const std::string& text)
    {
        editor()->grdVS_DblClick(row, column);
        editor()->setCellEditorText(text);
        editor()->txtValue_LostFocus();
    }

    void typeInBox(OptionBox box, const std::string& text)
    {
        editor()->setBoxText(box, text);
        editor()->boxLostFocus(box);
    }

    // Runs a frmEditVS button after opening the dialog from the Value heading.
    void pressDialogButton(const std::string& name)
    {
        editor()->grdVS_DblClick(0, gridColumn::value);
        ASSERT_NE(dialog(), nullptr);
        dialog()->buttonClicked(name);
    }

    void finish()
    {
        ui.answer(Answer::OK);
        editor()->cmdFinish_Click();
    }

    void setFitResultFlags()
    {
        app.session.simplexBuilt = true;
        app.session.covarianceAvailable = true;
        app.session.optimisticCovariance = true;
    }

    CellRole role(int row, int column) const { return editor()->cell(row, column).role; }

    const Interaction& lastShown() const { return ui.shown().back(); }

    WatchingUi ui;
    FakeClock clock;
    Application app{ui, clock, realFileSystem()};
};

// ---------------------------------------------------------------------------------------------
// Opening

TEST_F(Editor, OpensFromTheMainMenuWithItsCaptionPlaceAndFocus)
{
    app.session.algorithmFileName = "C:/fits/cod.alg";
    AlgorithmEditor& e = open();
    EXPECT_EQ(e.caption(), "Algorithm data file name is:  C:/fits/cod.alg");
    EXPECT_EQ(e.geometry().left, 500);
    EXPECT_EQ(e.geometry().top, 1500);
    EXPECT_EQ(e.geometry().width, 14250);
    EXPECT_EQ(e.focusRequest().control, "cmdFinish");
    EXPECT_EQ(app.session.editorOpenedFrom, EditorOpener::MainMenu);
    EXPECT_EQ(app.session.editorLocks, noEditorLocks());
    EXPECT_DOUBLE_EQ(app.session.stepProportion, 0.1);
}

TEST_F(Editor, MainMenuIsMadeAnewWithItsDesignCaptionsAndStaysHidden)
{
    app.mainMenu()->setButtonCaption(menuButton::userSummary, resultsSummaryCaption, resultsSummaryToolTip);
    open();
    const MainMenuWindow* menu = app.mainMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_FALSE(menu->visible());
    EXPECT_EQ(menu->button(menuButton::userSummary).caption, "&Single model results");
    for (const CommandButton& b : menu->buttons())
        EXPECT_TRUE(b.enabled) << b.name;
}

TEST_F(Editor, KeepsAStepProportionThatIsSet)
{
    app.session.stepProportion = -0.25;
    open();
    EXPECT_DOUBLE_EQ(app.session.stepProportion, -0.25);
}

TEST_F(Editor, GridShowsHeadingsNumbersAndDescriptions)
{
    setParameter(1, 12.3456789, 0.5, "A");
    setParameter(2, 12.0, 0.0, "A");
    setParameter(3, -0.000123, 0.0);
    AlgorithmEditor& e = open();
    ASSERT_EQ(e.rowCount(), 5);

    const char* headings[] = {"Parameter", "Value", "Step", "Fuse",
                              "Parameter description [null value; valid values]"};
    for (int column = 0; column < gridColumn::count; ++column) {
        EXPECT_EQ(e.cell(0, column).text, headings[column]);
        const CellAlignment expected =
            column == gridColumn::description ? CellAlignment::Left : CellAlignment::Centre;
        EXPECT_EQ(e.cell(0, column).alignment, expected) << column;
    }
    EXPECT_EQ(e.cell(1, gridColumn::parameter).text, "1");
    EXPECT_EQ(e.cell(1, gridColumn::value).text, "1.2346E+01");
    EXPECT_EQ(e.cell(1, gridColumn::step).text, "5.0000E-01");
    EXPECT_EQ(e.cell(3, gridColumn::value).text, "-1.2300E-04");
    EXPECT_EQ(e.cell(3, gridColumn::step).text, "0");
    EXPECT_EQ(e.cell(4, gridColumn::description).text, "M");
    EXPECT_EQ(e.cell(4, gridColumn::description).alignment, CellAlignment::Left);
    // The opening fused parameter 2 to its leader.
    EXPECT_EQ(e.cell(2, gridColumn::value).text, "1.2346E+01");
    EXPECT_EQ(e.cell(2, gridColumn::fuse).text, "A");
}

TEST_F(Editor, ColumnWidthsFillTheGrid)
{
    for (int column = 0; column < gridColumn::description; ++column)
        EXPECT_EQ(EditorGrid::columnWidth(column), 850);
    EXPECT_EQ(EditorGrid::columnWidth(gridColumn::description), 9500 - 4 * 850);
}

TEST_F(Editor, CellsAreBlueWhenSetAndBlackWhenZero)
{
    setParameter(1, 3.0, 0.0, "B");
    setParameter(2, 0.0, 0.2, "B");
    open();
    EXPECT_EQ(role(1, gridColumn::value), CellRole::Set);
    EXPECT_EQ(role(1, gridColumn::step), CellRole::Zero);
    EXPECT_EQ(role(1, gridColumn::fuse), CellRole::Set);
    EXPECT_EQ(role(3, gridColumn::value), CellRole::Zero);
    EXPECT_EQ(role(3, gridColumn::fuse), CellRole::Zero);
    EXPECT_EQ(role(3, gridColumn::description), CellRole::Plain);
}

TEST(CellColours, FollowTheClassicPalette)
{
    EXPECT_EQ(coloursOf(CellRole::Set).foreground, 1);
    EXPECT_EQ(coloursOf(CellRole::Zero).foreground, 0);
    EXPECT_EQ(coloursOf(CellRole::Changed).foreground, 12);
    EXPECT_EQ(coloursOf(CellRole::Editing).foreground, 2);
    EXPECT_EQ(coloursOf(CellRole::Editing).background, 15);
    EXPECT_FALSE(coloursOf(CellRole::Changed).background.has_value());
}

TEST_F(Editor, OptionPanelShowsTheStoredOptions)
{
    MinimizerOptions& options = app.algorithm.options;
    options.convergenceTolerance = -2.5E-05;
    options.maxCalls = 12000;
    options.terminalFrequency = 5;
    options.stepReductionFraction = 0.125;
    AlgorithmEditor& e = open();
    EXPECT_EQ(e.toleranceLabel().text, "Relative tolerance for convergence (TC):");
    EXPECT_EQ(e.toleranceBox().text, "2.500E-05");
    EXPECT_EQ(e.box(OptionBox::MaxCalls).text, "12000");
    EXPECT_EQ(e.box(OptionBox::TerminalFrequency).text, "5");
    EXPECT_EQ(e.box(OptionBox::Reduction).text, "0.125");
    // The log is closed: no name, a disabled frequency showing 0, only "&Open" usable.
    EXPECT_EQ(e.logNameBox().text, "");
    EXPECT_EQ(e.box(OptionBox::FileFrequency).text, "0");
    EXPECT_FALSE(e.box(OptionBox::FileFrequency).enabled);
    EXPECT_FALSE(e.fileFrequencyLabel().enabled);
    EXPECT_TRUE(e.openLogButton().enabled);
    EXPECT_FALSE(e.closeLogButton().enabled);
    EXPECT_EQ(e.logNameLabel().toolTip, "A log file will record the output of a minimization in progress");
}

// ---------------------------------------------------------------------------------------------
// Editing one cell

struct ValueEntryCase {
    std::string entry;
    double proportion;
    double expectedStep;
};

class ValueEntry : public Editor, public ::testing::WithParamInterface<ValueEntryCase> {};

TEST_P(ValueEntry, FreesAFrozenParameterWithAStepFromItsValue)
{
    setParameter(2, 7.0, 0.0);
    app.session.stepProportion = GetParam().proportion;
    open();
    editCell(2, gridColumn::value, GetParam().entry);
    EXPECT_DOUBLE_EQ(value(2), textToDouble(GetParam().entry).value());
    EXPECT_DOUBLE_EQ(step(2), GetParam().expectedStep);
    EXPECT_EQ(role(2, gridColumn::value), CellRole::Changed);
    EXPECT_EQ(role(2, gridColumn::step), CellRole::Changed);
    EXPECT_FALSE(editor()->cellEditor().active);
}

INSTANTIATE_TEST_SUITE_P(Cases, ValueEntry,
                         ::testing::Values(ValueEntryCase{"2.5", 0.1, 0.25}, ValueEntryCase{"-4", 0.1, 0.4},
                                           ValueEntryCase{"3", -0.5, 1.5}, ValueEntryCase{"0", -0.2, 0.2}));

TEST_F(Editor, ValueCellOpensItsEditorOverTheCellWithTheShownText)
{
    setParameter(3, 0.000123, 0.0);
    AlgorithmEditor& e = open();
    e.grdVS_DblClick(3, gridColumn::value);
    const AlgorithmEditor::CellEditor& box = e.cellEditor();
    EXPECT_TRUE(box.active);
    EXPECT_EQ(box.row, 3);
    EXPECT_EQ(box.column, gridColumn::value);
    EXPECT_EQ(box.text, "1.2300E-04");
    EXPECT_EQ(box.toolTip, "New value");
    EXPECT_EQ(e.focusRequest().control, "txtValue");
}

TEST_F(Editor, ValueCellLeftAsItWasChangesNothing)
{
    setParameter(1, 1.23456789, 0.0);
    open();
    editCell(1, gridColumn::value, "1.2346E+00");
    EXPECT_DOUBLE_EQ(value(1), 1.23456789);
    EXPECT_DOUBLE_EQ(step(1), 0.0);
    editor()->grdVS_DblClick(1, gridColumn::value);
    editor()->txtValue_LostFocus();
    EXPECT_DOUBLE_EQ(value(1), 1.23456789);
    EXPECT_EQ(role(1, gridColumn::value), CellRole::Set);
}

TEST_F(Editor, EmptyOrNonNumericEntriesLeaveValueAndStep)
{
    setParameter(1, 5.0, 0.0);
    open();
    for (const char* entry : {"", "abc", "1,5"}) {
        editCell(1, gridColumn::value, entry);
        editCell(1, gridColumn::step, entry);
        EXPECT_DOUBLE_EQ(value(1), 5.0) << entry;
        EXPECT_DOUBLE_EQ(step(1), 0.0) << entry;
    }
    EXPECT_EQ(role(1, gridColumn::value), CellRole::Set);
    EXPECT_EQ(role(1, gridColumn::step), CellRole::Zero);
}

TEST_F(Editor, StepCellTurnsLightRedOnlyForARealChange)
{
    setParameter(1, 5.0, 0.5);
    open();
    editCell(1, gridColumn::step, "0.50000000001");
    EXPECT_EQ(role(1, gridColumn::step), CellRole::Set);
    editCell(1, gridColumn::step, "0");
    EXPECT_DOUBLE_EQ(step(1), 0.0);
    EXPECT_EQ(role(1, gridColumn::step), CellRole::Changed);
    EXPECT_DOUBLE_EQ(value(1), 5.0);
}

struct FuseEntryCase {
    std::string before;
    std::string entry;
    std::string after;
};

class FuseEntry : public Editor, public ::testing::WithParamInterface<FuseEntryCase> {};

TEST_P(FuseEntry, AcceptsOneOrTwoCharactersEndingInACapitalLetter)
{
    setParameter(1, 1.0, 0.1, GetParam().before);
    setParameter(2, 1.0, 0.0, GetParam().before);
    open();
    editCell(1, gridColumn::fuse, GetParam().entry);
    EXPECT_EQ(code(1), GetParam().after);
    const bool changed = GetParam().after != GetParam().before;
    EXPECT_EQ(role(1, gridColumn::fuse) == CellRole::Changed, changed);
}

INSTANTIATE_TEST_SUITE_P(Cases, FuseEntry,
                         ::testing::Values(FuseEntryCase{"~~", "AB", "AB"}, FuseEntryCase{"~~", "ABC", "~~"},
                                           FuseEntryCase{"~~", "A1", "~~"}, FuseEntryCase{"~~", "b", "B"},
                                           FuseEntryCase{"~~", "1A", "1A"}, FuseEntryCase{"C", "~", "~~"},
                                           FuseEntryCase{"C", "", "C"}, FuseEntryCase{"~~", " d ", "D"},
                                           FuseEntryCase{"C", "c", "C"}));

TEST_F(Editor, CodeOnOneParameterOnlyBecomesUnfusedAtClosing)
{
    open();
    editCell(3, gridColumn::fuse, "Q");
    EXPECT_EQ(code(3), "Q");
    finish();
    EXPECT_EQ(code(3), unfusedCode);
}

TEST_F(Editor, NumberAndDescriptionCellsAreNotEdited)
{
    AlgorithmEditor& e = open();
    e.grdVS_DblClick(2, gridColumn::description);
    EXPECT_FALSE(e.cellEditor().active);
    e.grdVS_DblClick(2, gridColumn::parameter);
    EXPECT_FALSE(e.cellEditor().active);
}

// ---------------------------------------------------------------------------------------------
// Whole columns

TEST_F(Editor, StepHeadingAsksForEveryStepUntilAnEmptyAnswer)
{
    setParameter(1, 1.0, 0.5);
    setParameter(2, 1.0, 0.25);
    setParameter(3, 1.0, 0.125);
    open();
    ui.type("0.5").type("x").type("0.3").type("");
    editor()->grdVS_DblClick(0, gridColumn::step);

    const auto& shown = ui.shown();
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[0].text, "Enter new step size for parameter #1");
    EXPECT_EQ(shown[0].title, "Edit all step sizes");
    EXPECT_EQ(shown[0].defaultText, "0.5");
    EXPECT_EQ(shown[1].text, "Enter new step size for parameter #2");
    EXPECT_EQ(shown[2].text, shown[1].text); // "x" is asked again
    EXPECT_EQ(shown[3].text, "Enter new step size for parameter #3");
    EXPECT_EQ(ui.rowsAtPrompts, (std::vector<int>{1, 2, 2, 3}));
    EXPECT_EQ(editor()->editingRow(), 0);

    EXPECT_DOUBLE_EQ(step(1), 0.5);
    EXPECT_EQ(role(1, gridColumn::step), CellRole::Set);
    EXPECT_DOUBLE_EQ(step(2), 0.3);
    EXPECT_EQ(role(2, gridColumn::step), CellRole::Changed);
    EXPECT_DOUBLE_EQ(step(3), 0.125);
}

TEST_F(Editor, FuseHeadingAsksAgainForRefusedCodes)
{
    setParameter(2, 1.0, 0.0, "A");
    open();
    ui.type("abc").type("A1").type("~").type("b").type("A").type("~~").type("");
    editor()->grdVS_DblClick(0, gridColumn::fuse);

    const auto& shown = ui.shown();
    ASSERT_EQ(shown.size(), 7u);
    EXPECT_EQ(shown[0].text,
              "Enter new alphabetical fuse character(s) (e.g., A,B,AA,AB,...) or the null character "
              "[~~, unfused] for parameter #1");
    EXPECT_EQ(shown[0].title, "Edit all parameter fuse characters");
    EXPECT_EQ(shown[0].defaultText, "~~");
    EXPECT_EQ(ui.rowsAtPrompts, (std::vector<int>{1, 1, 1, 1, 2, 3, 4}));
    EXPECT_EQ(code(1), "B");
    EXPECT_EQ(role(1, gridColumn::fuse), CellRole::Changed);
    // The opening let the lone code A lapse; "A" is a new code for parameter 2.
    EXPECT_EQ(code(2), "A");
    EXPECT_EQ(role(2, gridColumn::fuse), CellRole::Changed);
    EXPECT_EQ(code(3), unfusedCode);
    EXPECT_EQ(role(3, gridColumn::fuse), CellRole::Zero);
    EXPECT_EQ(editor()->editingRow(), 0);
}

TEST_F(Editor, ValueHeadingAndMenuOpenTheDialogThatHoldsTheEditorBack)
{
    AlgorithmEditor& e = open();
    e.grdVS_DblClick(0, gridColumn::value);
    ASSERT_NE(dialog(), nullptr);
    EXPECT_EQ(dialog()->caption(), "Edit all parameters");
    EXPECT_FALSE(e.enabled());
    dialog()->closeRequested();
    EXPECT_EQ(dialog(), nullptr);
    EXPECT_TRUE(e.enabled());

    e.menuChosen("mnuValues");
    ASSERT_NE(dialog(), nullptr);
    std::vector<std::string> captions;
    for (const CommandButton& b : dialog()->buttons())
        captions.push_back(b.caption);
    EXPECT_EQ(captions, (std::vector<std::string>{"Change &all values and step sizes (proportionately)",
                                                  "Change &free values and step sizes (proportionately)",
                                                  "Change all values but &not their step sizes",
                                                  "Change only the step size &proportionality constant",
                                                  "Unfuse all values"}));
    EXPECT_EQ(
        dialog()->note(),
        "Note: If a parameter value is set to zero then the step size is set at the chosen proportionality "
        "constant");
}

struct SequenceCase {
    const char* button;
    const char* title;
    double entered;      // the answer for parameter 1, a free parameter
    double expectedStep; // its step afterwards
    bool frozenAsked;    // whether the frozen parameter 2 is asked for
    double frozenStep;   // parameter 2's step afterwards (its answer is 0)
};

class ValueSequenceTest : public Editor, public ::testing::WithParamInterface<SequenceCase> {};

TEST_P(ValueSequenceTest, SetsValuesAndStepsByTheProportion)
{
    const SequenceCase& c = GetParam();
    setParameter(1, 1.0, 0.1);
    setParameter(2, 5.0, 0.0);
    setParameter(3, 2.0, 0.2);
    app.session.stepProportion = 0.2;
    open();
    ui.type(numberText(c.entered));
    if (c.frozenAsked)
        ui.type("0");
    ui.type("");
    pressDialogButton(c.button);

    EXPECT_EQ(dialog(), nullptr);
    EXPECT_EQ(ui.shown().front().title, c.title);
    EXPECT_EQ(ui.shown().front().text, "Enter the new value of parameter #1");
    EXPECT_EQ(ui.shown().front().defaultText, "1");
    EXPECT_DOUBLE_EQ(value(1), c.entered);
    EXPECT_DOUBLE_EQ(step(1), c.expectedStep);
    EXPECT_EQ(role(1, gridColumn::value), CellRole::Changed);
    EXPECT_DOUBLE_EQ(value(2), c.frozenAsked ? 0.0 : 5.0);
    EXPECT_DOUBLE_EQ(step(2), c.frozenStep);
    // The empty answer ended the sequence: parameter 3 keeps value and step.
    EXPECT_DOUBLE_EQ(value(3), 2.0);
    EXPECT_DOUBLE_EQ(step(3), 0.2);
    EXPECT_EQ(role(3, gridColumn::value), CellRole::Set);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ValueSequenceTest,
    ::testing::Values(SequenceCase{"cmdProp", "Edit all parameter values", -3.0, 0.6, true, 0.2},
                      SequenceCase{"cmdFree", "Edit free parameter values", -3.0, -0.6, false, 0.0},
                      SequenceCase{"cmdFree", "Edit free parameter values", 0.0, 0.2, false, 0.0},
                      SequenceCase{"cmdNoProp", "Edit a parameter value", -3.0, 0.1, true, 0.0}));

TEST_F(Editor, FreeSequenceOfAZeroValueTakesTheProportionWithItsSign)
{
    setParameter(1, 1.0, 0.1);
    app.session.stepProportion = -0.3;
    open();
    ui.type("0"); // the only free parameter
    pressDialogButton("cmdFree");
    EXPECT_DOUBLE_EQ(step(1), -0.3);
    EXPECT_EQ(ui.shown().size(), 1u);
}

TEST_F(Editor, ValueSequenceAsksAgainAfterTextAndHighlightsEachRow)
{
    setParameter(1, 1.0, 0.1);
    open();
    ui.type("one").type("1.00000000001").type("7").type("");
    pressDialogButton("cmdNoProp");
    EXPECT_EQ(ui.rowsAtPrompts, (std::vector<int>{1, 1, 2, 3}));
    EXPECT_DOUBLE_EQ(value(1), 1.0);
    EXPECT_EQ(role(1, gridColumn::value), CellRole::Set);
    EXPECT_DOUBLE_EQ(value(2), 7.0);
    EXPECT_EQ(role(2, gridColumn::value), CellRole::Changed);
    EXPECT_EQ(editor()->editingRow(), 0);
}

TEST_F(Editor, ProportionQuestionStoresANumberAndTurnsZeroIntoATenth)
{
    app.session.stepProportion = 0.25;
    open();
    ui.type("abc").type("0.05");
    editor()->menuChosen("mnuProportion");
    ASSERT_EQ(ui.shown().size(), 2u);
    EXPECT_EQ(ui.shown()[0].text,
              "Enter step size as a fraction of parameter values.\nA proportion of 0 will default to 0.1");
    EXPECT_EQ(ui.shown()[0].title, "Change proportionality constant");
    EXPECT_EQ(ui.shown()[0].defaultText, "0.25");
    EXPECT_DOUBLE_EQ(app.session.stepProportion, 0.05);

    ui.type("0");
    editor()->menuChosen("mnuProportion");
    EXPECT_DOUBLE_EQ(app.session.stepProportion, 0.1);
}

TEST_F(Editor, EmptyProportionAnswerFromTheMenuClosesTheEditor)
{
    open();
    ui.type("").answer(Answer::OK);
    editor()->menuChosen("mnuProportion");
    EXPECT_EQ(editor(), nullptr);
    EXPECT_EQ(lastShown().text, "Algorithm data, if changed, have been updated");
    EXPECT_TRUE(app.session.editorClosed);
    EXPECT_TRUE(app.mainMenu()->visible());
}

TEST_F(Editor, EmptyProportionAnswerFromTheDialogOnlyClosesTheDialog)
{
    app.session.stepProportion = 0.3;
    open();
    ui.type("");
    pressDialogButton("Change_Fraction");
    EXPECT_EQ(dialog(), nullptr);
    ASSERT_NE(editor(), nullptr);
    EXPECT_TRUE(editor()->enabled());
    EXPECT_DOUBLE_EQ(app.session.stepProportion, 0.3);
}

TEST_F(Editor, UnfuseAllFromMenuOrDialogUnfusesEveryParameter)
{
    for (const char* way : {"menu", "dialog"}) {
        setParameter(1, 1.0, 0.1, "A");
        setParameter(2, 1.0, 0.0, "A");
        open();
        if (std::string(way) == "menu")
            editor()->menuChosen("mnuUnfuse");
        else
            pressDialogButton("cmdUnFuse");
        for (int i = 1; i <= 4; ++i) {
            EXPECT_EQ(code(i), unfusedCode) << way << i;
            EXPECT_EQ(role(i, gridColumn::fuse), CellRole::Changed) << way << i;
        }
        finish();
    }
}

// ---------------------------------------------------------------------------------------------
// Fit results made stale

struct StalenessCase {
    const char* name;
    std::function<void(Editor&, AlgorithmEditor&, ScriptedUi&)> act;
    bool clears;
};

class Staleness : public Editor, public ::testing::WithParamInterface<StalenessCase> {};

TEST_P(Staleness, GridEditsClearTheSimplexAndCovariancesOptionsDoNot)
{
    AlgorithmEditor& e = open();
    setFitResultFlags();
    GetParam().act(*this, e, ui);
    EXPECT_EQ(app.session.simplexBuilt, !GetParam().clears);
    EXPECT_EQ(app.session.covarianceAvailable, !GetParam().clears);
    EXPECT_EQ(app.session.optimisticCovariance, !GetParam().clears);
}

void PrintTo(const StalenessCase& c, std::ostream* os)
{
    *os << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Actions, Staleness,
    ::testing::Values(
        StalenessCase{"value cell", [](Editor&, AlgorithmEditor& e, ScriptedUi&) { e.grdVS_DblClick(1, 1); },
                      true},
        StalenessCase{"fuse cell", [](Editor&, AlgorithmEditor& e, ScriptedUi&) { e.grdVS_DblClick(2, 3); },
                      true},
        StalenessCase{"step heading",
                      [](Editor&, AlgorithmEditor& e, ScriptedUi& ui) {
                          ui.type("");
                          e.grdVS_DblClick(0, 2);
                      },
                      true},
        StalenessCase{"values menu",
                      [](Editor&, AlgorithmEditor& e, ScriptedUi&) { e.menuChosen("mnuValues"); }, true},
        StalenessCase{"steps menu",
                      [](Editor&, AlgorithmEditor& e, ScriptedUi& ui) {
                          ui.type("");
                          e.menuChosen("mnuSteps");
                      },
                      true},
        StalenessCase{"proportion menu",
                      [](Editor&, AlgorithmEditor& e, ScriptedUi& ui) {
                          ui.type("0.2");
                          e.menuChosen("mnuProportion");
                      },
                      false},
        StalenessCase{"unfuse menu",
                      [](Editor&, AlgorithmEditor& e, ScriptedUi&) { e.menuChosen("mnuUnfuse"); }, false},
        StalenessCase{"tolerance dialog",
                      [](Editor&, AlgorithmEditor& e, ScriptedUi& ui) {
                          ui.answer(Answer::Yes).type("0.001");
                          e.txtAbsRel_Click();
                      },
                      false},
        StalenessCase{"option boxes",
                      [](Editor&, AlgorithmEditor& e, ScriptedUi&) {
                          for (OptionBox box :
                               {OptionBox::MaxCalls, OptionBox::TerminalFrequency, OptionBox::Reduction}) {
                              e.setBoxText(box, "3");
                              e.boxLostFocus(box);
                          }
                      },
                      false}));

// ---------------------------------------------------------------------------------------------
// Option boxes

struct RefusalCase {
    OptionBox box;
    std::string text;
    std::string title;
    std::string stored; // what the box shows again
};

class OptionRefusal : public Editor, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(OptionRefusal, NegativeEntryIsRefusedAndTheStoredValueShownAgain)
{
    const RefusalCase& c = GetParam();
    app.algorithm.options.fileFrequency = 4;
    testing::TempDir dir;
    ASSERT_TRUE(app.minimizationLog.open(dir.file("run.ovl"))); // enables the output frequency
    const MinimizerOptions before = app.algorithm.options;
    open();
    ui.answer(Answer::OK);
    typeInBox(c.box, "-5");
    const Interaction& message = lastShown();
    EXPECT_EQ(message.text, c.text);
    EXPECT_EQ(message.title, c.title);
    EXPECT_EQ(message.buttons, Buttons::OK);
    EXPECT_EQ(message.icon, Icon::Information);
    EXPECT_EQ(editor()->box(c.box).text, c.stored);
    const MinimizerOptions& after = app.algorithm.options;
    EXPECT_EQ(after.maxCalls, before.maxCalls);
    EXPECT_EQ(after.terminalFrequency, before.terminalFrequency);
    EXPECT_EQ(after.fileFrequency, before.fileFrequency);
    EXPECT_EQ(after.stepReductionFraction, before.stepReductionFraction);
    app.minimizationLog.close();
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, OptionRefusal,
    ::testing::Values(RefusalCase{OptionBox::MaxCalls, "Maximum number of functions must be positive",
                                  "Change the maximum # of function calls", "9999"},
                      RefusalCase{OptionBox::TerminalFrequency, "Frequency must be positive",
                                  "Change the terminal display frequency", "10"},
                      RefusalCase{OptionBox::FileFrequency, "Frequency must be positive",
                                  "Change the file write frequency", "4"},
                      RefusalCase{OptionBox::Reduction, "Fraction must be positive",
                                  "Change the step size reduction fraction", "0.1"}));

TEST_F(Editor, OptionBoxesStoreNumbersAndRestoreText)
{
    open();
    typeInBox(OptionBox::TerminalFrequency, "0");
    EXPECT_EQ(app.algorithm.options.terminalFrequency, 0);
    EXPECT_EQ(editor()->box(OptionBox::TerminalFrequency).text, "0");
    typeInBox(OptionBox::TerminalFrequency, "12.5");
    EXPECT_EQ(app.algorithm.options.terminalFrequency, 12);
    EXPECT_EQ(editor()->box(OptionBox::TerminalFrequency).text, "12");
    typeInBox(OptionBox::TerminalFrequency, "often");
    EXPECT_EQ(editor()->box(OptionBox::TerminalFrequency).text, "12");
    typeInBox(OptionBox::MaxCalls, "1,000,000");
    EXPECT_EQ(app.algorithm.options.maxCalls, 1000000);
    typeInBox(OptionBox::MaxCalls, "0");
    EXPECT_EQ(app.algorithm.options.maxCalls, 0);
    typeInBox(OptionBox::Reduction, "0.33333");
    EXPECT_DOUBLE_EQ(app.algorithm.options.stepReductionFraction, 0.33333);
    EXPECT_EQ(editor()->box(OptionBox::Reduction).text, "0.3333");
    typeInBox(OptionBox::Reduction, "2");
    EXPECT_EQ(editor()->box(OptionBox::Reduction).text, "2.");
}

TEST_F(Editor, CountsBeyondTheirRangeAreNotStored)
{
    open();
    typeInBox(OptionBox::TerminalFrequency, "40000");
    EXPECT_EQ(app.algorithm.options.terminalFrequency, 10);
    EXPECT_EQ(editor()->box(OptionBox::TerminalFrequency).text, "10");
    typeInBox(OptionBox::MaxCalls, "3E+09");
    EXPECT_EQ(app.algorithm.options.maxCalls, 9999);
}

// ---------------------------------------------------------------------------------------------
// The tolerance dialog

struct ToleranceCase {
    double before;
    Answer switchType;
    std::string entry;
    double after;
    std::string label;
};

class ToleranceDialog : public Editor, public ::testing::WithParamInterface<ToleranceCase> {};

TEST_P(ToleranceDialog, SetsTypeAndMagnitude)
{
    const ToleranceCase& c = GetParam();
    app.algorithm.options.convergenceTolerance = c.before;
    open();
    ui.answer(c.switchType).type(c.entry);
    editor()->txtAbsRel_Click();
    EXPECT_DOUBLE_EQ(app.algorithm.options.convergenceTolerance, c.after);
    EXPECT_EQ(editor()->toleranceLabel().text, c.label);
    EXPECT_EQ(editor()->toleranceBox().text, formatNumber(std::abs(c.after), "0.000E+00"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ToleranceDialog,
    ::testing::Values(
        ToleranceCase{1E-06, Answer::Yes, "5E-4", -5E-4, "Relative tolerance for convergence (TC):"},
        ToleranceCase{-1E-03, Answer::Yes, "-0.01", 0.01, "Absolute tolerance for convergence (TC):"},
        ToleranceCase{1E-03, Answer::No, "1E-08", 1E-06, "Absolute tolerance for convergence (TC):"},
        ToleranceCase{1E-03, Answer::Yes, "1E-08", -1E-06, "Relative tolerance for convergence (TC):"},
        ToleranceCase{-1E-03, Answer::No, "0", 0.0, "Absolute tolerance for convergence (TC):"},
        ToleranceCase{-1E-03, Answer::Yes, "", -1E-03, "Relative tolerance for convergence (TC):"}));

TEST_F(Editor, ToleranceDialogAsksItsQuestionsInItsWords)
{
    app.algorithm.options.convergenceTolerance = -0.00025;
    open();
    ui.answer(Answer::No).type("pi").type("0.002");
    editor()->txtAbsRel_Click();
    const auto& shown = ui.shown();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].text, "Current tolerance type is RELATIVE.\n\nDo you want to change to ABSOLUTE?");
    EXPECT_EQ(shown[0].title, "Change the tolerance for convergence");
    EXPECT_EQ(shown[0].buttons, Buttons::YesNo);
    EXPECT_EQ(shown[0].icon, Icon::Question);
    EXPECT_EQ(shown[1].text, "Current tolerance is 2.5E-04  (Minimum allowed is 1E-06)");
    EXPECT_EQ(shown[1].title, "Change the tolerance for convergence");
    EXPECT_EQ(shown[1].defaultText, "0.00025");
    EXPECT_EQ(shown[2].text, shown[1].text);
    EXPECT_DOUBLE_EQ(app.algorithm.options.convergenceTolerance, -0.002);
}

// ---------------------------------------------------------------------------------------------
// Locks and openers

TEST_F(Editor, MultiModelOpenerLocksTheOptionPanelAndTheLogGroup)
{
    int rankingShown = 0;
    app.hooks.showRankingWindow = [&] { ++rankingShown; };
    AlgorithmEditor& e = openAlgorithmEditor(app, EditorOpener::Ranking, optionPanelLocks());

    for (OptionBox b : {OptionBox::MaxCalls, OptionBox::TerminalFrequency, OptionBox::FileFrequency,
                        OptionBox::Reduction}) {
        EXPECT_FALSE(e.box(b).enabled);
        EXPECT_EQ(e.box(b).text, "");
    }
    EXPECT_FALSE(e.toleranceBox().enabled);
    EXPECT_EQ(e.toleranceBox().text, "");
    EXPECT_FALSE(e.toleranceLabel().enabled);
    EXPECT_FALSE(e.simplexCallsLabel().enabled);
    EXPECT_FALSE(e.marquardtCallsLabel().enabled);
    EXPECT_FALSE(e.terminalLabel().enabled);
    EXPECT_FALSE(e.reductionLabel().enabled);
    EXPECT_FALSE(e.logFrame().enabled);
    EXPECT_FALSE(e.logNameLabel().enabled);
    EXPECT_FALSE(e.fileFrequencyLabel().enabled);
    EXPECT_FALSE(e.openLogButton().enabled);
    EXPECT_FALSE(e.closeLogButton().enabled);

    // Locked parts take no input: no dialog, no file chooser, no change.
    e.txtAbsRel_Click();
    e.cmdOpenLog_Click();
    typeInBox(OptionBox::TerminalFrequency, "3");
    EXPECT_EQ(app.algorithm.options.terminalFrequency, 10);
    EXPECT_TRUE(ui.shown().empty());

    // The grid stays editable.
    editCell(1, gridColumn::value, "2");
    EXPECT_DOUBLE_EQ(value(1), 2.0);

    finish();
    EXPECT_EQ(rankingShown, 1);
}

TEST_F(Editor, ColumnLocksLeaveColumnsEmptyAndUneditable)
{
    setParameter(1, 3.0, 0.3, "A");
    EditorLocks locks = noEditorLocks();
    locks[editorLock::valueColumn] = locks[editorLock::stepColumn] = locks[editorLock::fuseColumn] = true;
    AlgorithmEditor& e = openAlgorithmEditor(app, EditorOpener::None, locks);
    for (int column : {gridColumn::value, gridColumn::step, gridColumn::fuse}) {
        EXPECT_EQ(e.cell(1, column).text, "") << column;
        e.grdVS_DblClick(1, column);
        EXPECT_FALSE(e.cellEditor().active) << column;
        e.grdVS_DblClick(0, column);
    }
    e.menuChosen("mnuValues");
    e.menuChosen("mnuSteps");
    e.menuChosen("mnuUnfuse");
    EXPECT_EQ(dialog(), nullptr);
    EXPECT_TRUE(ui.shown().empty());
    EXPECT_EQ(code(1), unfusedCode); // the lone code lapsed at the opening, not by the menu
    EXPECT_EQ(e.cell(1, gridColumn::description).text, "L-infinity");
}

TEST_F(Editor, RunningCovarianceDisablesTheLogGroupUntilTheEditorCloses)
{
    app.session.covarianceRunning = true;
    AlgorithmEditor& e = openAlgorithmEditor(app, EditorOpener::None, optionPanelLocks());
    EXPECT_FALSE(e.logFrame().enabled);
    EXPECT_FALSE(e.openLogButton().enabled);
    finish();
    EXPECT_FALSE(app.session.covarianceRunning);
}

TEST_F(Editor, ToolWaitingForTheEditorGoesOnWhenItCloses)
{
    int waits = 0;
    ui.onYield = [&] {
        if (++waits == 3) {
            ui.answer(Answer::OK);
            editor()->cmdFinish_Click();
        }
    };
    app.closeMainMenu();
    editAlgorithmDataAndWait(app, optionPanelLocks());
    EXPECT_EQ(waits, 3);
    EXPECT_EQ(editor(), nullptr);
    EXPECT_FALSE(app.session.editorClosed);
    EXPECT_EQ(app.session.editorOpenedFrom, EditorOpener::None);
    EXPECT_EQ(app.mainMenu(), nullptr); // no opener, nothing shown
}

// ---------------------------------------------------------------------------------------------
// The log buttons

TEST_F(Editor, OpeningTheLogAsksForAFileAndStartsWritingEveryTenIterations)
{
    testing::TempDir dir;
    const std::string path = dir.file("run.ovl");
    app.algorithm.options.logFileName = "previous.ovl";
    open();
    ui.pickFile(path).answer(Answer::OK);
    editor()->cmdOpenLog_Click();

    const Interaction& dialogShown = ui.shown()[0];
    EXPECT_EQ(dialogShown.file.title, "Save minimization progress in...");
    EXPECT_EQ(dialogShown.file.mode, FileDialogMode::Save);
    EXPECT_EQ(dialogShown.file.filter, "All files (*.*)|*.*|Orvanta log files (*.ovl)|*.ovl");
    EXPECT_EQ(dialogShown.file.filterIndex, 2);
    EXPECT_EQ(dialogShown.file.defaultName, "previous.ovl");
    EXPECT_EQ(lastShown().text, "The log file " + path + " is now open for output");
    EXPECT_EQ(lastShown().title, "Log file management");
    EXPECT_EQ(lastShown().icon, Icon::Information);

    EXPECT_TRUE(app.minimizationLog.isOpen());
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(app.algorithm.options.logFileName, path);
    EXPECT_EQ(app.algorithm.options.fileFrequency, 10);
    const AlgorithmEditor& e = *editor();
    EXPECT_EQ(e.logNameBox().text, path);
    EXPECT_EQ(e.box(OptionBox::FileFrequency).text, "10");
    EXPECT_TRUE(e.box(OptionBox::FileFrequency).enabled);
    EXPECT_TRUE(e.fileFrequencyLabel().enabled);
    EXPECT_FALSE(e.openLogButton().enabled);
    EXPECT_TRUE(e.closeLogButton().enabled);

    ui.answer(Answer::OK);
    editor()->cmdCloseLog_Click();
    EXPECT_EQ(lastShown().text, "The old log file " + path + " is now closed for input");
    EXPECT_EQ(lastShown().title, "Log file management");
    EXPECT_FALSE(app.minimizationLog.isOpen());
    EXPECT_EQ(app.algorithm.options.fileFrequency, 0);
    EXPECT_EQ(editor()->logNameBox().text, "");
    EXPECT_EQ(editor()->box(OptionBox::FileFrequency).text, "0");
    EXPECT_FALSE(editor()->box(OptionBox::FileFrequency).enabled);
    EXPECT_TRUE(editor()->openLogButton().enabled);
    EXPECT_FALSE(editor()->closeLogButton().enabled);
}

TEST_F(Editor, LogStaysClosedForACancelOrAnEmptyName)
{
    open();
    ui.cancelFile().pickFile("");
    editor()->cmdOpenLog_Click();
    editor()->cmdOpenLog_Click();
    EXPECT_EQ(ui.messages().size(), 0u);
    EXPECT_FALSE(app.minimizationLog.isOpen());
    EXPECT_EQ(app.algorithm.options.logFileName, "minimize.ovl");
    EXPECT_TRUE(editor()->openLogButton().enabled);
    EXPECT_FALSE(editor()->closeLogButton().enabled);
    EXPECT_EQ(editor()->box(OptionBox::FileFrequency).text, "0");
}

TEST_F(Editor, LogThatCannotBeCreatedIsToldAndStaysClosed)
{
    testing::TempDir dir;
    const std::string path = dir.file("missing-folder/run.ovl");
    open();
    ui.pickFile(path).answer(Answer::OK);
    editor()->cmdOpenLog_Click();
    EXPECT_EQ(lastShown().text, "The log file " + path + " could not be opened for output");
    EXPECT_EQ(lastShown().title, "Log file management");
    EXPECT_FALSE(app.minimizationLog.isOpen());
    EXPECT_EQ(app.algorithm.options.fileFrequency, 0);
    EXPECT_TRUE(editor()->openLogButton().enabled);
    EXPECT_FALSE(editor()->closeLogButton().enabled);
}

// A model that has read the data files it names.
class ModelWithDataFiles : public ModelRoutine {
public:
    explicit ModelWithDataFiles(std::vector<std::string> files) : files_(std::move(files)) {}
    void MODEL(ModelArguments) override {}
    std::vector<std::string> dataFiles() const override { return files_; }

private:
    std::vector<std::string> files_;
};

TEST_F(Editor, ALogNamedLikeAnInputOfTheSessionIsRefusedAndTheFileKept)
{
    testing::TempDir dir;
    for (const char* name : {"fit.alg", "fit.pri", "lengths.dat"})
        testing::writeFileBytes(dir.file(name), std::string("the content of ") + name);
    app.session.algorithmFileName = dir.file("fit.alg");
    app.session.priorsFileName = dir.file("fit.pri");
    ModelWithDataFiles model({dir.file("lengths.dat")});
    app.setModel(&model);
    struct Case {
        std::string picked;
        std::string replaced;
    };
    const Case cases[] = {
        {dir.file("fit.alg"), "the algorithm file " + dir.file("fit.alg")},
        {dir.file("./fit.pri"), "the priors file " + dir.file("fit.pri")},
        {dir.file("lengths.dat"), "the data file " + dir.file("lengths.dat")},
    };
    open();
    for (const Case& c : cases) {
        ui.pickFile(c.picked).answer(Answer::OK);
        editor()->cmdOpenLog_Click();
        EXPECT_EQ(lastShown().text, "The log file " + c.picked + " would replace " + c.replaced +
                                        ".\n\nPlease choose another name for the log file.");
        EXPECT_EQ(lastShown().title, "Log file management");
        EXPECT_EQ(lastShown().icon, Icon::Exclamation);
        EXPECT_FALSE(app.minimizationLog.isOpen());
        EXPECT_EQ(app.algorithm.options.logFileName, "minimize.ovl");
        EXPECT_TRUE(editor()->openLogButton().enabled);
    }
    for (const char* name : {"fit.alg", "fit.pri", "lengths.dat"})
        EXPECT_EQ(testing::readFileBytes(dir.file(name)), std::string("the content of ") + name);
    app.setModel(nullptr);
}

TEST_F(Editor, OpenLogIsShownWhenTheEditorOpensAgain)
{
    testing::TempDir dir;
    const std::string path = dir.file("kept.ovl");
    ASSERT_TRUE(app.minimizationLog.open(path));
    app.algorithm.options.logFileName = path;
    app.algorithm.options.fileFrequency = 7;
    AlgorithmEditor& e = open();
    EXPECT_EQ(e.logNameBox().text, path);
    EXPECT_EQ(e.box(OptionBox::FileFrequency).text, "7");
    EXPECT_FALSE(e.openLogButton().enabled);
    EXPECT_TRUE(e.closeLogButton().enabled);
    typeInBox(OptionBox::FileFrequency, "25");
    EXPECT_EQ(app.algorithm.options.fileFrequency, 25);
    app.minimizationLog.close();
}

// ---------------------------------------------------------------------------------------------
// Closing and the other commands

TEST_F(Editor, FinishingRebuildsTheDerivedDataAndShowsTheMainMenu)
{
    setParameter(1, 2.0, 0.2);
    open();
    editCell(2, gridColumn::fuse, "A");
    editCell(3, gridColumn::fuse, "A");
    editCell(3, gridColumn::step, "0.7");
    app.session.editorClosed = false;
    finish();

    const Interaction& message = lastShown();
    EXPECT_EQ(message.text, "Algorithm data, if changed, have been updated");
    EXPECT_EQ(message.title, "Just so you know");
    EXPECT_EQ(message.icon, Icon::Information);
    EXPECT_EQ(editor(), nullptr);
    EXPECT_TRUE(app.session.editorClosed);
    EXPECT_EQ(app.session.editorOpenedFrom, EditorOpener::None);
    ASSERT_NE(app.mainMenu(), nullptr);
    EXPECT_TRUE(app.mainMenu()->visible());
    // Parameter 3 follows parameter 2 in group A; parameter 1 is the only other free one.
    EXPECT_DOUBLE_EQ(step(3), 0.0);
    EXPECT_EQ(app.algorithm.freeCount, 1);
    EXPECT_EQ(app.algorithm.groupCount(), 1);
}

TEST_F(Editor, TitleBarCloseAndFinishMenuCloseTheEditorToo)
{
    open();
    ui.answer(Answer::OK);
    editor()->closeRequested();
    EXPECT_EQ(editor(), nullptr);
    open();
    ui.answer(Answer::OK);
    editor()->menuChosen("mnuFinish");
    EXPECT_EQ(editor(), nullptr);
}

TEST_F(Editor, PendingCellEditIsKeptWhenTheEditorCloses)
{
    open();
    editor()->grdVS_DblClick(4, gridColumn::step);
    editor()->setCellEditorText("0.9");
    finish();
    EXPECT_DOUBLE_EQ(step(4), 0.9);
}

TEST_F(Editor, UpdateEditsAppliesTheFuseGroupsAndStartsTheColoursAfresh)
{
    setParameter(1, 4.0, 0.4);
    open();
    editCell(1, gridColumn::fuse, "K");
    editCell(2, gridColumn::fuse, "K");
    editCell(2, gridColumn::value, "9");
    EXPECT_EQ(role(2, gridColumn::value), CellRole::Changed);
    editor()->cmdUpdate_Click();
    EXPECT_DOUBLE_EQ(value(2), 4.0);
    EXPECT_DOUBLE_EQ(step(2), 0.0);
    EXPECT_EQ(editor()->cell(2, gridColumn::value).text, "4.0000E+00");
    EXPECT_EQ(role(2, gridColumn::value), CellRole::Set);
    EXPECT_EQ(role(2, gridColumn::step), CellRole::Zero);
}

TEST_F(Editor, ExitRunsTheQuitFlow)
{
    open();
    ui.answer(Answer::No);
    editor()->menuChosen("mnuExit");
    EXPECT_EQ(lastShown().text, "Do you want to quit Orvanta?");
    EXPECT_NE(editor(), nullptr);
    EXPECT_FALSE(app.ended());
}

TEST_F(Editor, MenusCarryTheirDesignCaptions)
{
    const AlgorithmEditor& e = open();
    std::vector<std::string> captions;
    for (const MenuEntry& m : e.menus()) {
        captions.push_back(m.caption);
        for (const MenuEntry& item : m.items)
            captions.push_back(item.caption);
    }
    EXPECT_EQ(captions, (std::vector<std::string>{"&Application", "E&xit", "&Edit", "&Values", "&Step sizes",
                                                  "Change step size &proportion", "&Unfuse all values",
                                                  "&Finish editing", "&Window", "&Cascade",
                                                  "Tile &Horizontal", "Tile &Vertical", "&Arrange Icons"}));
}

} // namespace
} // namespace orvanta
