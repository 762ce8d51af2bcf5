#include "priors/PriorsFlow.h"

#include "app/Application.h"
#include "app/MainMenu.h"
#include "priors/PriorEditor.h"
#include "priors/PriorsFile.h"
#include "priors/PriorsFileCommands.h"
#include "ui/UserInterface.h"

#include <optional>

namespace orvanta {

namespace {

std::vector<CommandButton> loadWindowButtons()
{
    using namespace loadPriorsButton;
    return {
        {open, "&Open an existing Bayesian Priors file", "", 0, true},
        {set, "&Set or reset prior distributions", "", 1, true},
        {uniform, "Set &uniform-unbounded prior distributions", "", 2, true},
        {cancel, "&Cancel", "", 3, true},
    };
}

bool anyPriorSet(const Application& app)
{
    return anyPriorSet(app.priors, app.algorithm.paramCount);
}

// Closing the load window in any way: the priors in force when any is set, then back.
void closeLoadWindow(Application& app)
{
    app.desktop.close(LoadPriorsWindow::windowName);
    app.session.priorsActive = anyPriorSet(app);
    returnToCaller(app);
}

// The set and uniform flows go on without the window: it goes without its closing.
void dismissLoadWindow(Application& app)
{
    app.desktop.close(LoadPriorsWindow::windowName);
}

void showBaseName(Application& app)
{
    app.session.priorsBaseName = baseNameOf(app.session.priorsFileName, app.session.priorsBaseName);
    showPriorsFileName(app, app.session.priorsBaseName);
}

void takeUniformPriors(Application& app)
{
    resetPriorsToUniform(app.priors, app.algorithm.paramCount);
    app.session.priorsActive = false;
}

void tellDefaultPriors(Application& app)
{
    app.ui().showMessage(priorsFlowText::defaultsMessage, priorsFlowText::defaultsTitle, Buttons::OK,
                         Icon::Information);
}

void openFlow(Application& app)
{
    FileDialogRequest request;
    request.mode = FileDialogMode::Open;
    request.title = priorsText::openDialogTitle;
    request.filter = fileFilter(priorsText::openFilterEntry);
    request.filterIndex = 2;
    const std::optional<std::string> path = app.ui().chooseFile(request);
    if (!path)
        return; // the window stays open
    // The flow returns to its caller before the editor opens; the editor brings the main menu
    // back when it closes, so that the user is never left without it.
    const bool returnsToMainMenu = app.session.priorsFromMenu;
    closeLoadWindow(app);
    readPriorsFile(app, *path);
    openPriorEditor(app, returnsToMainMenu);
    showBaseName(app);
}

void setFlow(Application& app)
{
    dismissLoadWindow(app);
    if (anyPriorSet(app)) {
        openPriorEditor(app, false);
        return;
    }
    if (app.ui().showMessage(setPriorsQuestion(), priorsFlowText::setTitle, Buttons::YesNo, Icon::Question) ==
        Answer::No) {
        takeUniformPriors(app);
        showPriorsFileName(app, "");
        tellDefaultPriors(app);
        returnToCaller(app);
        return;
    }
    openPriorEditor(app, false);
    if (app.session.priorsFileName.empty())
        app.session.priorsFileName = dateTimeName(app.clock(), priorsText::fileExtension);
    showBaseName(app);
}

void uniformFlow(Application& app)
{
    resetPriorsToUniform(app.priors, app.algorithm.paramCount);
    dismissLoadWindow(app);
    app.session.priorsActive = false;
    showPriorsFileName(app, "");
    tellDefaultPriors(app);
    returnToCaller(app);
}

} // namespace

std::string setPriorsQuestion()
{
    return "You have the choice to set Bayesian prior probability distributions for the parameters in your "
           "model.  If you choose to assume uniform-unbounded prior distributions for all parameters, then "
           "choose 'Yes' now.  Note that uniform-unbounded is the default prior distribution when no priors "
           "are "
           "specified.\n\n"
           "Note that although you can add prior probability distributions to your model with this routine, "
           "there is nothing to stop you from doing the same as part of your model building in your "
           "subroutine "
           "MODEL.  For example, the addition of penalty functions in your model routine to restrict a "
           "parameter "
           "value to greater than zero is essentially adding a prior distribution equivalent to the 'cliff' "
           "distribution in this routine. \n\n"
           "If you wish to assume uniform-unbounded prior distributions for all parameters then choose 'No', "
           "otherwise choose 'Yes' to set prior distributions for selected parameters.\n\n"
           "Note that a priors file applies to all algorithm files associated with the analysis.\n";
}

LoadPriorsWindow::LoadPriorsWindow()
    : Window(windowName, priorsFlowText::loadCaption), buttons_(loadWindowButtons())
{
    TwipGeometry g;
    g.left = designLeft;
    g.top = designTop;
    setGeometry(g);
}

void openLoadPriorsWindow(Application& app, PriorsCaller caller)
{
    SessionState& session = app.session;
    (caller == PriorsCaller::MainMenu ? session.priorsFromMenu : session.priorsFromRanking) = true;
    session.simplexBuilt = false;
    session.priorsActive = true;
    if (app.desktop.isOpen(LoadPriorsWindow::windowName))
        app.desktop.raise(LoadPriorsWindow::windowName);
    else
        app.desktop.open(std::make_unique<LoadPriorsWindow>());
}

void loadPriorsButtonClicked(Application& app, const std::string& buttonName)
{
    if (!app.desktop.isOpen(LoadPriorsWindow::windowName))
        return;
    if (buttonName == loadPriorsButton::open)
        openFlow(app);
    else if (buttonName == loadPriorsButton::set)
        setFlow(app);
    else if (buttonName == loadPriorsButton::uniform)
        uniformFlow(app);
    else if (buttonName == loadPriorsButton::cancel)
        closeLoadWindow(app);
}

void loadPriorsCloseRequested(Application& app)
{
    loadPriorsButtonClicked(app, loadPriorsButton::cancel);
}

void returnToCaller(Application& app)
{
    SessionState& session = app.session;
    if (session.priorsFromMenu) {
        session.priorsFromMenu = false;
        app.showMainMenu();
        app.endToolCommand();
    }
    if (session.priorsFromRanking) {
        session.priorsFromRanking = false;
        if (app.hooks.showRankingWindow)
            app.hooks.showRankingWindow();
    }
}

void setBayesianPriorsFromMainMenu(Application& app)
{
    app.startToolCommand(ToolStart::CloseAll);
    openLoadPriorsWindow(app, PriorsCaller::MainMenu);
}

} // namespace orvanta
