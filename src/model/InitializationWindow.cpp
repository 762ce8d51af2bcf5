#include "model/InitializationWindow.h"

#include "app/Application.h"
#include "app/MainMenu.h"
#include "model/ModelState.h"
#include "text/NumberText.h"
#include "ui/UserInterface.h"

#include <algorithm>
#include <cstddef>
#include <initializer_list>
#include <memory>
#include <optional>

namespace orvanta {

namespace {

// A parameter's fuse code from initialization until algorithm data are loaded or created.
const char* const initialFuseCode = "~";

const char* const dataFileFilterEntry = "Data files (*.dat)|*.dat";

std::string joinLines(std::initializer_list<std::string> lines)
{
    std::string text;
    for (const std::string& line : lines) {
        if (!text.empty())
            text += '\n';
        text += line;
    }
    return text;
}

// The data file the user picks; nothing when the dialog is cancelled.
std::optional<std::string> chooseDataFile(UserInterface& ui, const std::string& title)
{
    FileDialogRequest request;
    request.mode = FileDialogMode::Open;
    request.title = title;
    request.filter = fileFilter(dataFileFilterEntry);
    std::optional<std::string> path = ui.chooseFile(request);
    if (path && path->empty())
        return std::nullopt;
    return path;
}

} // namespace

std::optional<std::string> firstCellProblem(const std::string& text)
{
    const Converted<double> number = textToDouble(text);
    if (!number)
        return "First frequency cell must be an integer";
    if (number.value() < 1.0)
        return "First frequency cell must be positive";
    return std::nullopt;
}

namespace {

void enableMainMenuIfOpen(Application& app)
{
    if (MainMenuWindow* menu = app.mainMenu())
        menu->setEnabled(true);
}

// Step 5 of the flow: every per-parameter array of the engine for the model's parameters.
// Values, steps and descriptions are as MODEL made them.
void startParameterSet(Application& app)
{
    AlgorithmData& data = app.algorithm;
    const auto size = static_cast<std::size_t>(std::max<int>(0, data.paramCount)) + 1;
    data.fuseCodes.assign(size, initialFuseCode);
    app.priors.assign(size, PriorSpec{});
    app.priorResults.priorTerm.assign(size, 0.0);

    // The derived structures and the last simplex described the old parameter set.
    data.fuseGroups.clear();
    data.fuseRowSeen.clear();
    data.fuseRowHeld.clear();
    data.freeCount = 0;
    data.freeIndex.assign(size, 0);
    data.freeValues.assign(size, 0.0);
    data.freeSteps.assign(size, 0.0);
    data.trialVector.assign(size, 0.0);
    data.profileResultsValid = false;
    app.session.simplexBuilt = false;
}

} // namespace

InitializationWindow::InitializationWindow(Application& app, TarnfieldModel& model)
    : Window(windowName, "Initialize Tarnfield model"), app_(app), model_(model)
{
    TwipGeometry g;
    g.left = designLeft;
    g.top = designTop;
    setGeometry(g);
}

std::string InitializationWindow::frequencyFormatText()
{
    return joinLines({
        "Frequency records: The record input format for the size frequency midpoint, ",
        "then frequency, is: \"#######,####\".   Maximum number of frequency cells is ",
        numberText(maxCells) + ".  Likewise, maximum size cannot exceed " + numberText(maxSize) +
            " units.  Frequency cell ",
        "midpoints MUST represent a size range that begins at 0, e.g. 0.5, 1.5,...  or ",
        "2.5, 7.5,...  etc.",
    });
}

std::string InitializationWindow::incrementFormatText()
{
    return joinLines({
        "Increment records: The record input format for increment set #, then initial size, ",
        "then increment, then start day of the year, then end day of the year, is: ",
        "\"######,######,######,######,######\".  Maximum number of ",
        "increments is " + numberText(maxRecords) +
            ".  For proper and efficient performance increment records ",
        "MUST be sorted by set number, then initial size, then increment.  Day 0 MUST ",
        "be 31 Dec of the year prior to those years for which increment data have been ",
        "obtained.  If analyzing size-at-age data as increments, then initial size is 0, the ",
        "increment is the size-at-age, the start day of year is 0 (years) and the end day ",
        "of year is the age (years) of the individual.  Only when using this analytical ",
        "approach are t0 or the increment selectivity parameters estimated.",
    });
}

void InitializationWindow::cmdFrequency_Click()
{
    if (busy_)
        return;
    const std::optional<std::string> path = chooseDataFile(app_.ui(), "Load frequency data file");
    if (!path)
        return;
    frequencyPath_.text = *path;
    firstCellBox_.enabled = true;
    notifyChanged();
}

void InitializationWindow::cmdIncrement_Click()
{
    if (busy_)
        return;
    const std::optional<std::string> path = chooseDataFile(app_.ui(), "Load increment data file");
    if (!path)
        return;
    incrementPath_.text = *path;
    distributionFrame_.enabled = true;
    gammaOption_.enabled = true;
    gaussianOption_.enabled = true;
    selectDistribution(false);
}

void InitializationWindow::setFirstCellText(std::string text)
{
    if (busy_ || !firstCellBox_.enabled)
        return;
    firstCellBox_.text = std::move(text);
    notifyChanged();
}

void InitializationWindow::txtFirst_LostFocus()
{
    if (!busy_)
        firstCellAccepted();
}

bool InitializationWindow::firstCellAccepted()
{
    const std::optional<std::string> problem = firstCellProblem(firstCellBox_.text);
    if (!problem)
        return true;
    app_.ui().showMessage(*problem, "Initialize", Buttons::OK, Icon::Exclamation);
    firstCellBox_.text = "1";
    requestFocus(firstCellBox_.name);
    return false;
}

void InitializationWindow::optGamma_Click()
{
    if (!busy_ && gammaOption_.enabled)
        selectDistribution(true);
}

void InitializationWindow::optGaussian_Click()
{
    if (!busy_ && gaussianOption_.enabled)
        selectDistribution(false);
}

void InitializationWindow::selectDistribution(bool gamma)
{
    gammaOption_.selected = gamma;
    gaussianOption_.selected = !gamma;
    notifyChanged();
}

void InitializationWindow::requestFocus(std::string control)
{
    focusRequest_.control = std::move(control);
    ++focusRequest_.serial;
    notifyChanged();
}

void InitializationWindow::setBusy(bool busy)
{
    busy_ = busy;
    setEnabled(!busy); // notifies
}

void InitializationWindow::cmdCancel_Click()
{
    if (!busy_)
        abandonInitialization(app_);
}

bool InitializationWindow::closeRequested()
{
    if (busy_)
        return false;
    Application& app = app_;
    app.desktop.close(InitializationWindow::windowName); // destroys this window
    return true;
}

InitializationRequest InitializationWindow::request() const
{
    InitializationRequest request;
    request.frequencyFile = frequencyPath_.text;
    request.incrementFile = incrementPath_.text;
    request.firstCellText = firstCellBox_.text;
    request.errorType = gammaOption_.selected ? IncrementErrorType::Gamma : IncrementErrorType::Gaussian;
    return request;
}

void InitializationWindow::cmdOK_Click()
{
    if (busy_)
        return;
    UserInterface& ui = app_.ui();
    if (frequencyPath_.text.empty() && incrementPath_.text.empty()) {
        ui.showMessage("Please specify the frequency file and/or increment file", "Missing input",
                       Buttons::OK, Icon::Information);
        return;
    }
    if (firstCellBox_.text.empty()) {
        ui.showMessage("Please specify the 1st frequency cell", "Missing input", Buttons::OK,
                       Icon::Information);
        return;
    }
    // Normally leaving the box has checked the entry already; this catches a view that
    // reports the click without the focus change.
    if (!firstCellAccepted())
        return;
    initializeModel(app_, model_, request());
}

void abandonInitialization(Application& app)
{
    enableMainMenuIfOpen(app);
    app.desktop.close(InitializationWindow::windowName);
    app.showMainMenu();
}

void initializeModel(Application& app, TarnfieldModel& model, const InitializationRequest& request)
{
    // Reading yields to the interface once per increment record: the window takes no input
    // meanwhile, and is looked up again afterwards.
    if (auto* window = app.desktop.find<InitializationWindow>(InitializationWindow::windowName))
        window->setBusy(true);

    // The fuse rule may touch values and steps; a refused file leaves the parameter set as it was.
    const AlgorithmData before = app.algorithm;
    applyFuseGroups(app.algorithm, app.algorithm.paramValues);
    model.setInitializationRequest(request);
    callModel(model, app.algorithm, app.modelWorkspace, app.algorithm.paramValues, callCode::initialize);

    if (auto* window = app.desktop.find<InitializationWindow>(InitializationWindow::windowName))
        window->setBusy(false);
    if (!model.initializationSucceeded()) {
        // The model has told the user why; the session stays as it was, as after "&Cancel".
        app.algorithm = before;
        abandonInitialization(app);
        return;
    }

    SessionState& session = app.session;
    session.priorsFileName.clear();
    session.priorsActive = false;
    session.covarianceAvailable = false;
    // The algorithm data that a file name would stand for are gone.
    session.algorithmFileName.clear();

    startParameterSet(app);

    session.initializeAlready = true;
    MainMenuWindow& menu = app.showMainMenu();
    menu.applyStage(session);
    menu.setEnabled(true);
    menu.setButtonEnabled(menuButton::loadAlg, true);
    menu.setFocusButton(menuButton::loadAlg);

    app.mainWindow.setPanel(statusBar::files, 1, "Frequency file: " + request.frequencyFile);
    app.mainWindow.setPanel(statusBar::files, 2, "Increment file: " + request.incrementFile);
    app.mainWindow.setPanel(statusBar::algorithm, 2, "Bayesian priors file: ");

    app.desktop.close(InitializationWindow::windowName);
}

void openInitializationWindow(Application& app, TarnfieldModel& model)
{
    if (app.desktop.isOpen(InitializationWindow::windowName)) {
        app.desktop.raise(InitializationWindow::windowName);
        return;
    }
    app.desktop.open(std::make_unique<InitializationWindow>(app, model));
    // However it closes, the main menu window takes input again.
    app.desktop.onClose(InitializationWindow::windowName, [&app] { enableMainMenuIfOpen(app); });
    app.mainWindow.setCaption(InitializationWindow::mainWindowCaption);
}

void installInitialization(Application& app, TarnfieldModel& model)
{
    app.setModel(&model);
    app.hooks.openInitializationWindow = [&app, &model] { openInitializationWindow(app, model); };
}

} // namespace orvanta
