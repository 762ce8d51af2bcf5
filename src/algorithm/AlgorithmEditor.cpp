#include "algorithm/AlgorithmEditor.h"

#include "algorithm/AlgorithmData.h"
#include "algorithm/EditValuesDialog.h"
#include "app/Application.h"
#include "app/MainMenu.h"
#include "model/ModelTitle.h"
#include "text/NumberText.h"
#include "text/TextFile.h"
#include "ui/UserInterface.h"

#include <cctype>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>

namespace orvanta {

namespace {

// The proportionality constant the editor falls back on when it is 0.
constexpr double defaultStepProportion = 0.1;
// The output frequency a freshly opened log starts with.
const char* const newLogFrequencyText = "10";

std::vector<MenuEntry> editorMenus()
{
    return {
        subMenu("mnuApplication", "&Application", {menuCommand("mnuExit", "E&xit")}),
        subMenu("mnuEdit", "&Edit",
                {menuCommand("mnuValues", "&Values"), menuCommand("mnuSteps", "&Step sizes"),
                 menuCommand("mnuProportion", "Change step size &proportion"),
                 menuCommand("mnuUnfuse", "&Unfuse all values")}),
        menuCommand("mnuFinish", "&Finish editing"),
        windowArrangementMenu(),
    };
}

std::string trimmedUpperCase(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    const auto last = text.find_last_not_of(" \t");
    std::string result = text.substr(first, last - first + 1);
    for (char& c : result)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return result;
}

// The step a value gives: value x proportion, its magnitude when absolute; the proportion
// itself for a value of 0.
double derivedStep(double value, double proportion, bool absolute)
{
    const double step = value == 0.0 ? proportion : value * proportion;
    return absolute ? std::fabs(step) : step;
}

// A typed number as a count of type Int, rounded half to even; nothing when it does not fit.
template <typename Int> std::optional<Int> toCount(double number)
{
    const double rounded = std::nearbyint(number);
    if (!(rounded >= std::numeric_limits<Int>::min() && rounded <= std::numeric_limits<Int>::max()))
        return std::nullopt;
    return static_cast<Int>(rounded);
}

struct Refusal {
    const char* text;
    const char* title;
};

Refusal refusalOf(OptionBox which)
{
    switch (which) {
    case OptionBox::MaxCalls:
        return {"Maximum number of functions must be positive", "Change the maximum # of function calls"};
    case OptionBox::TerminalFrequency:
        return {"Frequency must be positive", "Change the terminal display frequency"};
    case OptionBox::FileFrequency:
        return {"Frequency must be positive", "Change the file write frequency"};
    case OptionBox::Reduction:
        break;
    }
    return {"Fraction must be positive", "Change the step size reduction fraction"};
}

AlgorithmEditor* findEditor(Application& app)
{
    return app.desktop.find<AlgorithmEditor>(AlgorithmEditor::windowName);
}

void invalidateFitResults(SessionState& session)
{
    session.simplexBuilt = false;
    session.covarianceAvailable = false;
    session.optimisticCovariance = false;
}

// The main menu window made anew with the captions of its design and kept hidden; the
// editor's closing shows it.
void recreateHiddenMainMenu(Application& app)
{
    auto menu = std::make_unique<MainMenuWindow>();
    menu->setVisible(false);
    menu->applyStage(app.session);
    setModelTitle(app.session);
    menu->setModelName(app.session.modelTitle);
    for (const CommandButton& button : std::vector<CommandButton>(menu->buttons()))
        if (button.name != menuButton::initialize && button.name != menuButton::loadAlg)
            menu->setButtonEnabled(button.name, true);
    app.desktop.open(std::move(menu));
}

void showOpener(Application& app)
{
    switch (app.session.editorOpenedFrom) {
    case EditorOpener::MainMenu:
        app.session.editorOpenedFrom = EditorOpener::None;
        app.showMainMenu();
        break;
    case EditorOpener::Ranking:
        if (app.hooks.showRankingWindow)
            app.hooks.showRankingWindow();
        break;
    case EditorOpener::None:
        break;
    }
}

} // namespace

EditorLocks noEditorLocks()
{
    return EditorLocks{};
}

EditorLocks optionPanelLocks()
{
    EditorLocks locks{};
    for (int lock = editorLock::tolerance; lock <= editorLock::reductionFraction; ++lock)
        locks[static_cast<std::size_t>(lock)] = true;
    return locks;
}

bool acceptableFuseCode(const std::string& code)
{
    if (code == unfusedCode)
        return true;
    return !code.empty() && code.size() <= 2 && code.back() >= 'A' && code.back() <= 'Z';
}

AlgorithmEditor::AlgorithmEditor(Application& app)
    : Window(windowName, "Algorithm data"), app_(app), menus_(editorMenus())
{
}

UserInterface& AlgorithmEditor::ui() const
{
    return app_.ui();
}

bool AlgorithmEditor::locked(int lock) const
{
    return app_.session.editorLocks[static_cast<std::size_t>(lock)];
}

bool AlgorithmEditor::columnLocked(int column) const
{
    switch (column) {
    case gridColumn::value:
        return locked(editorLock::valueColumn);
    case gridColumn::step:
        return locked(editorLock::stepColumn);
    case gridColumn::fuse:
        return locked(editorLock::fuseColumn);
    default:
        return true; // the number and description columns are not edited
    }
}

// ---------------------------------------------------------------------------------------------
// Opening

void AlgorithmEditor::runOpening()
{
    app_.closeMainMenu();
    buildFuseGroups(app_.algorithm);
    buildFreeIndex(app_.algorithm);
    if (app_.session.stepProportion == 0.0)
        app_.session.stepProportion = defaultStepProportion;

    TwipGeometry g;
    g.left = designLeft;
    g.top = designTop;
    g.width = designWidth;
    setGeometry(g);
    setCaption(editorText::captionPrefix + app_.session.algorithmFileName);

    fillGrid();
    fillOptionPanel();
    updateMenuStates();
    notifyChanged();
}

void AlgorithmEditor::fillGrid()
{
    grid_.reset(app_.algorithm.paramCount);
    cellEditor_.active = false;
}

GridCell AlgorithmEditor::cell(int row, int column) const
{
    return grid_.cell(app_.algorithm, app_.session.editorLocks, row, column);
}

void AlgorithmEditor::fillOptionPanel()
{
    fillTolerance();
    fillOptionBox(OptionBox::MaxCalls, editorLock::maxCalls);
    simplexCallsLabel_.enabled = marquardtCallsLabel_.enabled = !locked(editorLock::maxCalls);
    fillOptionBox(OptionBox::TerminalFrequency, editorLock::terminalFrequency);
    terminalLabel_.enabled = !locked(editorLock::terminalFrequency);
    fillOptionBox(OptionBox::Reduction, editorLock::reductionFraction);
    reductionLabel_.enabled = !locked(editorLock::reductionFraction);
    fillLogGroup();
}

void AlgorithmEditor::fillTolerance()
{
    const bool open = !locked(editorLock::tolerance);
    toleranceLabel_.enabled = toleranceBox_.enabled = open;
    if (!open) {
        toleranceBox_.text.clear();
        return;
    }
    const double tolerance = app_.algorithm.options.convergenceTolerance;
    toleranceLabel_.text = tolerance < 0.0 ? "Relative tolerance for convergence (TC):"
                                           : "Absolute tolerance for convergence (TC):";
    toleranceBox_.text = formatNumber(std::fabs(tolerance), "0.000E+00");
}

void AlgorithmEditor::fillOptionBox(OptionBox which, int lock)
{
    TextBox& b = boxRef(which);
    b.enabled = !locked(lock);
    if (b.enabled)
        showStoredOption(which);
    else
        b.text.clear();
}

void AlgorithmEditor::fillLogGroup()
{
    logFrame_.enabled = true;
    const bool settingsOpen = !locked(editorLock::logSettings);
    logNameLabel_.enabled = settingsOpen;
    showLogState(app_.minimizationLog.isOpen());
    if (!settingsOpen) {
        logNameBox_.text.clear();
        fileFrequencyBox_.text.clear();
        fileFrequencyLabel_.enabled = fileFrequencyBox_.enabled = false;
    }
    if (locked(editorLock::logButtons))
        openLogButton_.enabled = closeLogButton_.enabled = false;
    // A tool in the middle of a run, or the multi-model window, keeps the log as it is.
    if (app_.session.editorOpenedFrom == EditorOpener::Ranking || app_.session.covarianceRunning)
        disableLogGroup();
}

void AlgorithmEditor::showLogState(bool open)
{
    const MinimizerOptions& options = app_.algorithm.options;
    logNameBox_.text = open ? options.logFileName : std::string();
    fileFrequencyBox_.text = numberText(open ? options.fileFrequency : 0);
    fileFrequencyLabel_.enabled = fileFrequencyBox_.enabled = open;
    openLogButton_.enabled = !open;
    closeLogButton_.enabled = open;
}

void AlgorithmEditor::disableLogGroup()
{
    logFrame_.enabled = false;
    logNameLabel_.enabled = false;
    fileFrequencyLabel_.enabled = fileFrequencyBox_.enabled = false;
    openLogButton_.enabled = closeLogButton_.enabled = false;
}

void AlgorithmEditor::updateMenuStates()
{
    findMenuEntry(menus_, "mnuValues")->enabled = !locked(editorLock::valueColumn);
    findMenuEntry(menus_, "mnuSteps")->enabled = !locked(editorLock::stepColumn);
    findMenuEntry(menus_, "mnuUnfuse")->enabled = !locked(editorLock::fuseColumn);
}

void AlgorithmEditor::requestFocus(std::string control)
{
    focusRequest_.control = std::move(control);
    ++focusRequest_.serial;
    notifyChanged();
}

// ---------------------------------------------------------------------------------------------
// The option boxes

AlgorithmEditor::TextBox& AlgorithmEditor::boxRef(OptionBox which)
{
    switch (which) {
    case OptionBox::MaxCalls:
        return maxCallsBox_;
    case OptionBox::TerminalFrequency:
        return terminalBox_;
    case OptionBox::FileFrequency:
        return fileFrequencyBox_;
    case OptionBox::Reduction:
        break;
    }
    return reductionBox_;
}

const AlgorithmEditor::TextBox& AlgorithmEditor::box(OptionBox which) const
{
    return const_cast<AlgorithmEditor*>(this)->boxRef(which);
}

void AlgorithmEditor::showStoredOption(OptionBox which)
{
    const MinimizerOptions& options = app_.algorithm.options;
    TextBox& b = boxRef(which);
    switch (which) {
    case OptionBox::MaxCalls:
        b.text = numberText(options.maxCalls);
        break;
    case OptionBox::TerminalFrequency:
        b.text = numberText(options.terminalFrequency);
        break;
    case OptionBox::FileFrequency:
        b.text = numberText(options.fileFrequency);
        break;
    case OptionBox::Reduction:
        b.text = formatNumber(options.stepReductionFraction, "0.####");
        break;
    }
}

void AlgorithmEditor::setBoxText(OptionBox which, std::string text)
{
    TextBox& b = boxRef(which);
    if (!b.enabled)
        return;
    b.text = std::move(text);
    notifyChanged();
}

void AlgorithmEditor::boxLostFocus(OptionBox which)
{
    if (!boxRef(which).enabled)
        return;
    const Converted<double> number = textToDouble(boxRef(which).text);
    if (number && number.value() < 0.0) {
        const Refusal refusal = refusalOf(which);
        ui().showMessage(refusal.text, refusal.title, Buttons::OK, Icon::Information);
    } else if (number) {
        // A number beyond the option's range is not stored, like text that is no number.
        storeOption(which, number.value());
    }
    showStoredOption(which);
    notifyChanged();
}

void AlgorithmEditor::storeOption(OptionBox which, double number)
{
    MinimizerOptions& options = app_.algorithm.options;
    switch (which) {
    case OptionBox::Reduction:
        options.stepReductionFraction = number;
        break;
    case OptionBox::MaxCalls:
        options.maxCalls = toCount<std::int32_t>(number).value_or(options.maxCalls);
        break;
    case OptionBox::TerminalFrequency:
        options.terminalFrequency = toCount<std::int16_t>(number).value_or(options.terminalFrequency);
        break;
    case OptionBox::FileFrequency:
        options.fileFrequency = toCount<std::int16_t>(number).value_or(options.fileFrequency);
        break;
    }
}

// ---------------------------------------------------------------------------------------------
// The tolerance dialog

void AlgorithmEditor::txtAbsRel_Click()
{
    commitCellEdit();
    if (!toleranceBox_.enabled)
        return;
    const double tolerance = app_.algorithm.options.convergenceTolerance;
    const bool relative = tolerance < 0.0;
    const std::string question =
        relative ? "Current tolerance type is RELATIVE.\n\nDo you want to change to ABSOLUTE?"
                 : "Current tolerance type is ABSOLUTE.\n\nDo you want to change to RELATIVE?";
    const bool switchType =
        ui().showMessage(question, editorText::toleranceTitle, Buttons::YesNo, Icon::Question) == Answer::Yes;
    const bool chosenRelative = switchType ? !relative : relative;

    const std::string prompt = "Current tolerance is " + formatNumber(std::fabs(tolerance), "0.0E+00") +
                               "  (Minimum allowed is 1E-06)";
    for (;;) {
        const std::string answer =
            ui().askText(prompt, editorText::toleranceTitle, numberText(std::fabs(tolerance)));
        if (answer.empty())
            return; // nothing changes, not even the type
        if (const Converted<double> number = textToDouble(answer)) {
            const double magnitude = std::fabs(number.value());
            app_.algorithm.options.convergenceTolerance =
                storedTolerance(chosenRelative ? -magnitude : magnitude);
            break;
        }
    }
    fillTolerance();
    notifyChanged();
}

// ---------------------------------------------------------------------------------------------
// The log buttons

void AlgorithmEditor::cmdOpenLog_Click()
{
    commitCellEdit();
    if (!openLogButton_.enabled)
        return;
    MinimizerOptions& options = app_.algorithm.options;
    FileDialogRequest request;
    request.mode = FileDialogMode::Save; // asks before overwriting
    request.title = editorText::logDialogTitle;
    request.filter = fileFilter(editorText::logFilterEntry);
    request.filterIndex = 2;
    request.defaultName = options.logFileName;
    const std::optional<std::string> name = ui().chooseFile(request);
    if (!name)
        return;
    if (name->empty()) {
        showLogState(false);
        notifyChanged();
        return;
    }
    if (const std::optional<std::string> input = sessionFileNamed(*name)) {
        ui().showMessage("The log file " + *name + " would replace " + *input +
                             ".\n\nPlease choose another name for the log file.",
                         editorText::logTitle, Buttons::OK, Icon::Exclamation);
        return;
    }
    options.logFileName = *name;
    if (!app_.minimizationLog.open(*name)) {
        options.fileFrequency = 0;
        showLogState(false);
        notifyChanged();
        ui().showMessage("The log file " + *name + " could not be opened for output", editorText::logTitle,
                         Buttons::OK, Icon::Exclamation);
        return;
    }
    showLogState(true);
    fileFrequencyBox_.text = newLogFrequencyText;
    notifyChanged();
    ui().showMessage("The log file " + options.logFileName + " is now open for output", editorText::logTitle,
                     Buttons::OK, Icon::Information);
    options.fileFrequency = textToInt16(fileFrequencyBox_.text).value();
}

std::optional<std::string> AlgorithmEditor::sessionFileNamed(const std::string& name) const
{
    const SessionState& session = app_.session;
    if (!session.algorithmFileName.empty() && sameFile(name, session.algorithmFileName))
        return "the algorithm file " + session.algorithmFileName;
    if (!session.priorsFileName.empty() && sameFile(name, session.priorsFileName))
        return "the priors file " + session.priorsFileName;
    if (const ModelRoutine* model = app_.model())
        for (const std::string& data : model->dataFiles())
            if (sameFile(name, data))
                return "the data file " + data;
    return std::nullopt;
}

void AlgorithmEditor::cmdCloseLog_Click()
{
    commitCellEdit();
    if (!closeLogButton_.enabled)
        return;
    MinimizerOptions& options = app_.algorithm.options;
    app_.minimizationLog.close();
    ui().showMessage("The old log file " + options.logFileName + " is now closed for input",
                     editorText::logTitle, Buttons::OK, Icon::Information);
    options.fileFrequency = 0;
    showLogState(false);
    notifyChanged();
}

// ---------------------------------------------------------------------------------------------
// Editing one cell

void AlgorithmEditor::startGridEdit()
{
    commitCellEdit();
    invalidateFitResults(app_.session);
}

void AlgorithmEditor::grdVS_DblClick(int row, int column)
{
    startGridEdit();
    if (row < 0 || row >= rowCount() || column < 0 || column >= gridColumn::count)
        return;
    if (row == 0)
        headingDoubleClicked(column);
    else if (!columnLocked(column))
        beginCellEdit(row, column);
}

void AlgorithmEditor::beginCellEdit(int row, int column)
{
    cellEditor_.active = true;
    cellEditor_.row = row;
    cellEditor_.column = column;
    cellEditor_.shownText = cell(row, column).text;
    cellEditor_.text = cellEditor_.shownText;
    ++cellEditor_.serial;
    requestFocus(cellEditor_.name);
}

void AlgorithmEditor::setCellEditorText(std::string text)
{
    if (!cellEditor_.active)
        return;
    cellEditor_.text = std::move(text);
}

void AlgorithmEditor::txtValue_LostFocus()
{
    commitCellEdit();
}

void AlgorithmEditor::commitCellEdit()
{
    if (!cellEditor_.active)
        return;
    cellEditor_.active = false;
    // Leaving the box as it was filled is no entry: the shown text may be rounded.
    if (cellEditor_.text != cellEditor_.shownText) {
        const int row = cellEditor_.row;
        if (cellEditor_.column == gridColumn::value)
            applyValueEntry(row, cellEditor_.text);
        else if (cellEditor_.column == gridColumn::step)
            applyStepEntry(row, cellEditor_.text);
        else
            applyFuseEntry(row, cellEditor_.text);
    }
    notifyChanged();
}

void AlgorithmEditor::storeValue(int row, double value)
{
    double& stored = app_.algorithm.paramValues[static_cast<std::size_t>(row)];
    if (differsFromStored(value, stored))
        grid_.markChanged(row, gridColumn::value);
    stored = value;
}

void AlgorithmEditor::storeStep(int row, double step)
{
    double& stored = app_.algorithm.paramSteps[static_cast<std::size_t>(row)];
    if (differsFromStored(step, stored))
        grid_.markChanged(row, gridColumn::step);
    stored = step;
}

void AlgorithmEditor::applyValueEntry(int row, const std::string& text)
{
    const Converted<double> number = textToDouble(text);
    if (!number)
        return;
    storeValue(row, number.value());
    // A frozen parameter becomes free this way.
    storeStep(row, derivedStep(number.value(), app_.session.stepProportion, true));
}

void AlgorithmEditor::applyStepEntry(int row, const std::string& text)
{
    if (const Converted<double> number = textToDouble(text))
        storeStep(row, number.value());
}

void AlgorithmEditor::applyFuseEntry(int row, const std::string& text)
{
    std::string code = trimmedUpperCase(text);
    if (code == "~")
        code = unfusedCode;
    std::string& stored = app_.algorithm.fuseCodes[static_cast<std::size_t>(row)];
    if (!acceptableFuseCode(code) || code == stored)
        return;
    stored = code;
    grid_.markChanged(row, gridColumn::fuse);
}

// ---------------------------------------------------------------------------------------------
// Editing whole columns

void AlgorithmEditor::headingDoubleClicked(int column)
{
    if (columnLocked(column))
        return;
    if (column == gridColumn::value)
        openEditValuesDialog();
    else if (column == gridColumn::step)
        editAllSteps();
    else if (column == gridColumn::fuse)
        editAllFuseCodes();
}

void AlgorithmEditor::openEditValuesDialog()
{
    orvanta::openEditValuesDialog(app_);
}

void AlgorithmEditor::setEditingRow(int row)
{
    grid_.setEditingRow(row);
    notifyChanged();
}

std::optional<double> AlgorithmEditor::askNumberOnRow(int row, const std::string& prompt,
                                                      const std::string& title,
                                                      const std::string& defaultText)
{
    setEditingRow(row);
    std::optional<double> entered;
    for (;;) {
        const std::string answer = ui().askText(prompt, title, defaultText);
        if (answer.empty())
            break;
        if (const Converted<double> number = textToDouble(answer)) {
            entered = number.value();
            break;
        }
    }
    setEditingRow(0);
    return entered;
}

void AlgorithmEditor::editAllSteps()
{
    AlgorithmData& data = app_.algorithm;
    for (int i = 1; i <= data.paramCount; ++i) {
        const double current = data.paramSteps[static_cast<std::size_t>(i)];
        const std::optional<double> entered =
            askNumberOnRow(i, "Enter new step size for parameter #" + numberText(i), editorText::stepsTitle,
                           numberText(current));
        if (!entered)
            break;
        if (differsFromStored(*entered, current))
            storeStep(i, *entered);
    }
    notifyChanged();
}

void AlgorithmEditor::editAllFuseCodes()
{
    AlgorithmData& data = app_.algorithm;
    for (int i = 1; i <= data.paramCount; ++i) {
        std::string& stored = data.fuseCodes[static_cast<std::size_t>(i)];
        const std::string prompt =
            "Enter new alphabetical fuse character(s) (e.g., A,B,AA,AB,...) or the null "
            "character [~~, unfused] for parameter #" +
            numberText(i);
        setEditingRow(i);
        std::string code;
        do {
            const std::string answer = ui().askText(prompt, editorText::fuseTitle, stored);
            if (answer.empty()) {
                setEditingRow(0);
                return;
            }
            code = trimmedUpperCase(answer);
        } while (!acceptableFuseCode(code));
        if (code != stored) {
            stored = code;
            grid_.markChanged(i, gridColumn::fuse);
        }
        setEditingRow(0);
    }
}

void AlgorithmEditor::editValues(ValueSequence sequence)
{
    AlgorithmData& data = app_.algorithm;
    const double proportion = app_.session.stepProportion;
    const char* title = sequence == ValueSequence::AllProportional    ? editorText::allValuesTitle
                        : sequence == ValueSequence::FreeProportional ? editorText::freeValuesTitle
                                                                      : editorText::valuesOnlyTitle;
    for (int i = 1; i <= data.paramCount; ++i) {
        const auto at = static_cast<std::size_t>(i);
        if (sequence == ValueSequence::FreeProportional && data.paramSteps[at] == 0.0)
            continue;
        const std::optional<double> entered = askNumberOnRow(
            i, "Enter the new value of parameter #" + numberText(i), title, numberText(data.paramValues[at]));
        if (!entered)
            break;
        if (differsFromStored(*entered, data.paramValues[at]))
            storeValue(i, *entered);
        if (sequence != ValueSequence::ValuesOnly)
            storeStep(
                i, derivedStep(data.paramValues[at], proportion, sequence == ValueSequence::AllProportional));
    }
    notifyChanged();
}

void AlgorithmEditor::askStepProportion(EmptyProportionAnswer onEmpty)
{
    commitCellEdit();
    SessionState& session = app_.session;
    for (;;) {
        const std::string answer = ui().askText(editorText::proportionPrompt, editorText::proportionTitle,
                                                numberText(session.stepProportion));
        if (answer.empty()) {
            if (onEmpty == EmptyProportionAnswer::ClosesEditor)
                finishAlgorithmEditing(app_); // destroys this editor
            return;
        }
        if (const Converted<double> number = textToDouble(answer)) {
            session.stepProportion = number.value() == 0.0 ? defaultStepProportion : number.value();
            return;
        }
    }
}

void AlgorithmEditor::unfuseAll()
{
    AlgorithmData& data = app_.algorithm;
    for (int i = 1; i <= data.paramCount; ++i) {
        data.fuseCodes[static_cast<std::size_t>(i)] = unfusedCode;
        grid_.markChanged(i, gridColumn::fuse);
    }
    notifyChanged();
}

// ---------------------------------------------------------------------------------------------
// Menus and buttons

void AlgorithmEditor::mnuValues_Click()
{
    if (locked(editorLock::valueColumn))
        return;
    startGridEdit();
    openEditValuesDialog();
}

void AlgorithmEditor::mnuSteps_Click()
{
    if (locked(editorLock::stepColumn))
        return;
    startGridEdit();
    editAllSteps();
}

void AlgorithmEditor::mnuProportion_Click()
{
    askStepProportion(EmptyProportionAnswer::ClosesEditor);
}

void AlgorithmEditor::mnuUnfuse_Click()
{
    if (locked(editorLock::fuseColumn))
        return;
    commitCellEdit();
    unfuseAll();
}

void AlgorithmEditor::mnuExit_Click()
{
    commitCellEdit();
    app_.quit();
}

void AlgorithmEditor::cmdUpdate_Click()
{
    commitCellEdit();
    runOpening();
}

void AlgorithmEditor::cmdFinish_Click()
{
    finishAlgorithmEditing(app_);
}

void AlgorithmEditor::closeRequested()
{
    finishAlgorithmEditing(app_);
}

void AlgorithmEditor::menuChosen(const std::string& entryName)
{
    if (entryName == "mnuExit")
        mnuExit_Click();
    else if (entryName == "mnuValues")
        mnuValues_Click();
    else if (entryName == "mnuSteps")
        mnuSteps_Click();
    else if (entryName == "mnuProportion")
        mnuProportion_Click();
    else if (entryName == "mnuUnfuse")
        mnuUnfuse_Click();
    else if (entryName == "mnuFinish")
        cmdFinish_Click();
}

// ---------------------------------------------------------------------------------------------
// Opening and closing from outside

AlgorithmEditor& openAlgorithmEditor(Application& app, EditorOpener opener, const EditorLocks& locks)
{
    app.session.editorOpenedFrom = opener;
    app.session.editorLocks = locks;
    if (AlgorithmEditor* open = findEditor(app)) {
        app.desktop.raise(AlgorithmEditor::windowName);
        return *open;
    }
    auto editor = std::make_unique<AlgorithmEditor>(app);
    editor->runOpening();
    auto& opened = static_cast<AlgorithmEditor&>(app.desktop.open(std::move(editor)));
    // However the editor goes, its dialog goes with it.
    app.desktop.onClose(AlgorithmEditor::windowName,
                        [&app] { app.desktop.close(EditValuesDialog::windowName); });
    return opened;
}

void editAlgorithmFromMainMenu(Application& app)
{
    app.startToolCommand(ToolStart::HideMainMenu);
    if (MainMenuWindow* menu = app.mainMenu())
        for (const CommandButton& button : std::vector<CommandButton>(menu->buttons()))
            if (button.name != menuButton::quit)
                menu->setButtonEnabled(button.name, false);
    AlgorithmEditor& editor = openAlgorithmEditor(app, EditorOpener::MainMenu, noEditorLocks());
    editor.requestFocus(editor.finishButton().name);
    recreateHiddenMainMenu(app);
}

void finishAlgorithmEditing(Application& app)
{
    AlgorithmEditor* editor = findEditor(app);
    if (!editor)
        return;
    editor->commitCellEdit();
    buildFuseGroups(app.algorithm);
    buildFreeIndex(app.algorithm);
    app.ui().showMessage(editorText::finishedMessage, editorText::finishedTitle, Buttons::OK,
                         Icon::Information);
    app.desktop.close(AlgorithmEditor::windowName);
    app.session.editorClosed = true;
    showOpener(app);
    app.session.covarianceRunning = false;
}

void editAlgorithmDataAndWait(Application& app, const EditorLocks& locks)
{
    app.session.editorClosed = false;
    openAlgorithmEditor(app, EditorOpener::None, locks);
    // Also ends when the editor disappears without its closing (the program shutting down).
    while (!app.session.editorClosed && !app.ended() && findEditor(app))
        app.ui().waitForEvents();
    app.session.editorClosed = false;
}

void installAlgorithmEditor(Application& app)
{
    app.registerCommand(menuButton::editAlg, [&app] { editAlgorithmFromMainMenu(app); });
}

} // namespace orvanta
