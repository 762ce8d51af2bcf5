#include "priors/PriorEditor.h"

#include "algorithm/AlgorithmData.h"
#include "app/Application.h"
#include "app/InfoWindows.h"
#include "app/MainMenu.h"
#include "priors/PriorEntry.h"
#include "priors/PriorProfile.h"
#include "priors/PriorsFileCommands.h"
#include "priors/PriorsFlow.h"
#include "priors/PriorsScale.h"
#include "text/NumberText.h"
#include "ui/UserInterface.h"

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <memory>

namespace orvanta {

namespace {

constexpr int noRow = 0;

// The entries of "&Edit prior distributions" by menu name.
struct EntryMenu {
    const char* name;
    PriorType type;
};
constexpr EntryMenu entryMenus[] = {
    {"mnuN", PriorType::Gaussian},
    {"mnuG", PriorType::Gamma},
    {"mnuE", PriorType::Exponential},
    {"mnuL", PriorType::LnNormal},
    {"mnuB", PriorType::Beta},
    {"MnuS", PriorType::LeftCliff},
    {"mnuR", PriorType::RightCliff},
    {"mnuT", PriorType::UniformBounded},
    {"mnuU", PriorType::UniformUnbounded},
};

std::vector<MenuEntry> editorMenus()
{
    MenuEntry mainMenu = menuCommand("mnuMenu", "Main &menu");
    mainMenu.enabled = false; // the editor is left by "&Finished"
    return {
        subMenu("mnuApplication", "&Application",
                {mainMenu, menuSeparator(), menuCommand("mnuExit", "E&xit")}),
        subMenu("mnuEdit", "&Edit prior distributions",
                {subMenu("mnuMeanSD", "&Mean and SD",
                         {menuCommand("mnuN", "Gaussian (i.e., &Normal)"), menuCommand("mnuG", "&Gamma"),
                          menuCommand("mnuE", "&Exponential"), menuCommand("mnuL", "&Ln-normal"),
                          menuCommand("mnuB", "&Beta")}),
                 subMenu("mnuFoot", "F&oot (mean) of a",
                         {menuCommand("MnuS", "Left-&side cliff"), menuCommand("mnuR", "Right-si&de cliff"),
                          menuCommand("mnuT", "Feet of a uniform-b&ounded")}),
                 menuSeparator(), menuCommand("mnuU", "Default (&Uniform-unbounded)")}),
        menuCommand("mnuProfile", "&Profile prior distributions"),
        menuCommand("mnuSavePrior", "&Save prior distributions"),
        windowArrangementMenu(),
        menuCommand("mnuHelpSetting", "&Help with prior distributions"),
        menuCommand("mnuFinish", "&Finished"),
    };
}

const char* const headingRow0[priorGridColumn::count] = {
    "", "Distribution", "First term", "First term", "Second term", "Second term", ""};
const char* const headingRow1[priorGridColumn::count] = {
    "Parameter", "Type", "Mean", "SD", "Mean", "SD", "Parameter description [null value]"};
constexpr int columnWidths[priorGridColumn::count] = {1000, 1600, 1000, 1000, 1000, 1000, 6000};

CellAlignment alignmentOf(int column)
{
    return column == priorGridColumn::description ? CellAlignment::Left : CellAlignment::Centre;
}

CellRole setOrPlain(bool set)
{
    return set ? CellRole::Set : CellRole::Plain;
}

bool isUnusedTerm(const PriorTerm& term)
{
    return !term.isNumber() && term.text() == unusedPriorTerm;
}

PriorEditor* findEditor(Application& app)
{
    return app.desktop.find<PriorEditor>(PriorEditor::windowName);
}

} // namespace

std::string priorFirstTermText(double value)
{
    return isUnsetPriorTerm(value) ? std::string("*") : formatNumber(value, "0.000E+000");
}

std::string priorSecondTermText(const PriorTerm& term)
{
    if (const std::optional<double> number = term.number())
        return isUnsetPriorTerm(*number) ? std::string("*") : numberText(*number);
    return std::string(term.text());
}

std::string priorHelpText()
{
    static const char* const lines[] = {
        "For each parameter you have the option to choose the mean and SD of a:",
        "     Gaussian (i.e., Normal) distribution",
        "     Exponential distribution",
        "     Ln-normal distribution",
        "     Gamma distribution",
        "     Beta distribution;",
        "",
        "     The location of the foot of a:",
        "          Left-side cliff distribution",
        "          Right-side cliff distribution;",
        "",
        "     The location of the feet of a:",
        "          Uniform-bounded distribution;",
        "",
        "     The Uniform-unbounded distribution (default)",
        "",
        "To set a prior distribution for a parameter the 'Set prior distributions' form must be showing.",
        "Then with your mouse click on the parameter for which you wish to set a prior distribution.",
        "Next select the 'Edit prior distributions' menu and choose the distribution type and its mean and",
        "",
        "SD.  All distributions are defined by a mean and a SD except the uniform-bounded distribution.",
        "The uniform-bounded distribution requires a mean and SD for both its left and right feet.",
        "",
        "To save your distribution descriptions choose 'Save prior distributions.'",
        "You can preview distributions by selecting 'Profile prior distributions.'",
        "When you are done select 'Finished'.",
        "",
        "Note that unrequired values are labelled 'Unused' whereas unset values are assigned an asterisk "
        "(*).",
    };
    // One line each, without a line end after the last.
    std::string text = lines[0];
    for (std::size_t i = 1; i < std::size(lines); ++i)
        text += std::string("\n") + lines[i];
    return text;
}

PriorEditor::PriorEditor(Application& app, bool returnsToMainMenu)
    : Window(windowName, priorEditorText::caption), app_(app), returnsToMainMenu_(returnsToMainMenu),
      menus_(editorMenus())
{
}

int PriorEditor::columnWidth(int column)
{
    return column >= 0 && column < priorGridColumn::count ? columnWidths[column] : 0;
}

int PriorEditor::paramCount() const
{
    return std::max<int>(app_.algorithm.paramCount, 0);
}

int PriorEditor::rowCount() const
{
    return paramCount() + headingRows;
}

// ---------------------------------------------------------------------------------------------
// Opening

void PriorEditor::runOpening()
{
    if (app_.priors.size() < static_cast<std::size_t>(paramCount()) + 1)
        app_.priors.resize(static_cast<std::size_t>(paramCount()) + 1);
    markedRow_ = noRow;
    app_.mainWindow.setPanel(statusBar::messages, 1, priorEditorText::unsetNote);
    TwipGeometry g;
    g.left = designLeft;
    g.top = designTop;
    g.width = designWidth;
    g.height = designHeight;
    setGeometry(g);
    roles_.assign(static_cast<std::size_t>(rowCount()), RowRoles{});
    for (int row = headingRows; row < rowCount(); ++row)
        colourRowAsOpened(row);
    selectedRow_ = headingRows;
    notifyChanged();
}

void PriorEditor::colourRowAsOpened(int row)
{
    const PriorSpec& prior = app_.priors[static_cast<std::size_t>(row - 1)];
    RowRoles& roles = roles_[static_cast<std::size_t>(row)];
    roles.fill(CellRole::Plain);
    roles[priorGridColumn::type] = setOrPlain(prior.typeCode != "U");
    roles[priorGridColumn::firstMean] = setOrPlain(!isUnsetPriorTerm(prior.firstTermMean));
    roles[priorGridColumn::firstSD] = setOrPlain(!isUnsetPriorTerm(prior.firstTermSD));
    roles[priorGridColumn::secondMean] = setOrPlain(!isUnusedTerm(prior.secondTermMean));
    roles[priorGridColumn::secondSD] = setOrPlain(!isUnusedTerm(prior.secondTermSD));
}

GridCell PriorEditor::cell(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= priorGridColumn::count)
        return {};
    const CellAlignment alignment = alignmentOf(column);
    if (row < headingRows)
        return {(row == 0 ? headingRow0 : headingRow1)[column], alignment, CellRole::Plain};
    const int param = row - 1;
    const PriorSpec& prior = app_.priors[static_cast<std::size_t>(param)];
    const CellRole role = roles_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
    switch (column) {
    case priorGridColumn::parameter:
        return {numberText(param), alignment, role};
    case priorGridColumn::type:
        return {std::string(priorTypeName(prior.typeCode)), alignment, role};
    case priorGridColumn::firstMean:
        return {priorFirstTermText(prior.firstTermMean), alignment, role};
    case priorGridColumn::firstSD:
        return {priorFirstTermText(prior.firstTermSD), alignment, role};
    case priorGridColumn::secondMean:
        return {priorSecondTermText(prior.secondTermMean), alignment, role};
    case priorGridColumn::secondSD:
        return {priorSecondTermText(prior.secondTermSD), alignment, role};
    default:
        break;
    }
    const std::vector<std::string>& descriptions = app_.algorithm.paramDescriptions;
    const auto at = static_cast<std::size_t>(param);
    return {at < descriptions.size() ? descriptions[at] : std::string(), alignment, role};
}

// ---------------------------------------------------------------------------------------------
// Marking a row

int PriorEditor::lastColouredColumn(int row) const
{
    const bool bounded = app_.priors[static_cast<std::size_t>(row - 1)].typeCode == "T";
    return bounded ? priorGridColumn::secondSD : priorGridColumn::firstSD;
}

void PriorEditor::unmarkRow()
{
    if (markedRow_ == noRow)
        return;
    RowRoles& roles = roles_[static_cast<std::size_t>(markedRow_)];
    for (int column = priorGridColumn::type; column <= lastColouredColumn(markedRow_); ++column)
        roles[static_cast<std::size_t>(column)] = roleBeforeMark_;
    markedRow_ = noRow;
}

void PriorEditor::grdSetPriors_Click(int row)
{
    if (closing_ || rowCount() <= headingRows || row >= rowCount())
        return;
    selectedRow_ = std::max(row, headingRows);
    unmarkRow();
    RowRoles& roles = roles_[static_cast<std::size_t>(selectedRow_)];
    roleBeforeMark_ = roles[priorGridColumn::type];
    for (int column = priorGridColumn::type; column <= lastColouredColumn(selectedRow_); ++column)
        roles[static_cast<std::size_t>(column)] = CellRole::Editing;
    markedRow_ = selectedRow_;
    notifyChanged();
}

// ---------------------------------------------------------------------------------------------
// Entries

void PriorEditor::enterPrior(PriorType type)
{
    if (rowCount() <= headingRows)
        return;
    const int row = selectedRow_;
    const int param = row - 1;
    const std::optional<PriorSpec> prior = askPriorEntry(app_.ui(), type, param);
    if (!prior)
        return;
    app_.priors[static_cast<std::size_t>(param)] = *prior;
    markedRow_ = noRow;
    RowRoles& roles = roles_[static_cast<std::size_t>(row)];
    for (int column = priorGridColumn::type; column <= priorGridColumn::secondSD; ++column)
        roles[static_cast<std::size_t>(column)] =
            column <= lastColouredColumn(row) ? CellRole::Changed : CellRole::Plain;
    notifyChanged();
}

void PriorEditor::showHelp()
{
    auto& help = static_cast<HelpWindow&>(app_.desktop.open(std::make_unique<HelpWindow>()));
    help.setText(priorHelpText());
    app_.desktop.raise(HelpWindow::windowName);
}

void PriorEditor::menuChosen(const std::string& entryName)
{
    // While a prior profile runs, its priors and this window stay as they are; only the quit
    // flow, which ends the profile, is taken.
    if (closing_ || (app_.session.profileRunning && entryName != "mnuExit"))
        return;
    for (const EntryMenu& entry : entryMenus)
        if (entryName == entry.name) {
            enterPrior(entry.type);
            return;
        }
    if (entryName == "mnuSavePrior") {
        writePriorsFile(app_, PriorsSaver::PriorEditor);
    } else if (entryName == "mnuProfile") {
        runPriorProfile(app_, selectedRow_ - 1);
    } else if (entryName == "mnuHelpSetting") {
        showHelp();
    } else if (entryName == "mnuExit") {
        Application& app = app_;
        app.quit(QuitOrigin::Command, [&app] { writePriorsFile(app, PriorsSaver::PriorEditor); });
    } else if (entryName == "mnuFinish") {
        finishPriorEditing(app_); // destroys this editor
    }
}

void PriorEditor::closeRequested()
{
    if (app_.session.profileRunning)
        return;
    finishPriorEditing(app_);
}

// ---------------------------------------------------------------------------------------------
// Opening and closing from outside

PriorEditor& openPriorEditor(Application& app, bool returnsToMainMenu)
{
    if (returnsToMainMenu) {
        if (MainMenuWindow* menu = app.mainMenu())
            menu->setVisible(false);
        app.mainWindow.setMenuEnabled("mnuApplication", false);
    }
    if (PriorEditor* open = findEditor(app)) {
        app.desktop.raise(PriorEditor::windowName);
        return *open;
    }
    auto editor = std::make_unique<PriorEditor>(app, returnsToMainMenu);
    editor->runOpening();
    return static_cast<PriorEditor&>(app.desktop.open(std::move(editor)));
}

void finishPriorEditing(Application& app)
{
    PriorEditor* editor = findEditor(app);
    if (!editor || editor->closing())
        return;
    editor->beginClosing();
    const bool returnsToMainMenu = editor->returnsToMainMenu();
    app.mainWindow.clearPanel(statusBar::messages, 1);
    app.ui().showMessage(priorEditorText::finishedMessage, priorEditorText::finishedTitle, Buttons::OK,
                         Icon::Information);
    const bool anySet = anyPriorSet(app.priors, app.algorithm.paramCount);
    // Priors set here are in force from now on, also when they were not before the editor opened.
    app.session.priorsActive = anySet;
    if (anySet) {
        if (app.ui().showMessage(priorEditorText::saveQuestion, priorEditorText::saveTitle, Buttons::YesNo,
                                 Icon::Question) == Answer::Yes)
            writePriorsFile(app, PriorsSaver::PriorEditor);
        if (preparePenaltyScale(app) == PenaltyScaleEnd::ProgramEnded)
            return;
        app.mainWindow.clearPanel(statusBar::messages, 1);
    }
    app.desktop.close(PriorEditor::windowName);
    returnToCaller(app);
    if (returnsToMainMenu) {
        app.showMainMenu();
        app.endToolCommand();
    }
}

} // namespace orvanta
