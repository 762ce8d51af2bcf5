#include "app/MainMenu.h"

#include "app/SessionState.h"

#include <stdexcept>

namespace orvanta {

const std::string MainMenuWindow::welcomeText =
    "Welcome to Orvanta: a parameter estimation and evaluation infrastructure for non-linear models";
const std::string MainMenuWindow::minimizeWithText = "Minimize with...";

namespace {

std::vector<CommandButton> designButtons()
{
    using namespace menuButton;
    // The design numbers the tab stops 0..11 and 13.
    return {
        {initialize, "&Initialize model",
         "Loads a form that tells you how to prepare your data and initialize your model", 0, true},
        {loadAlg, "&Load algorithm data",
         "Loads or creates a file that contains parameter estimates and other info used by the minimization "
         "algorithms",
         1, false},
        {editAlg, "&Edit  algorithm data", "Allows you to edit the algorithm data", 2, false},
        {saveAlg, "&Save algorithm data", "Allows you to save the algorithm data", 3, false},
        {simplex, "Simple&x", "Searches for an objective function minimum using simplex geometry", 4, false},
        {marquardt, "&Marquardt",
         "Searches for an objective function minimum using numerical (automatic) or analytical (if "
         "user-supplied) derivatives",
         5, false},
        {userSummary, "&Single model results",
         "Produces a saveable summary (and perhaps plots) of the results for a single model at the current "
         "parameter estimates",
         6, false},
        {oneFunction, "&1 Function call", "Calculates the objective function at the current parameter estimates",
         7, false},
        {covariance, "&Single model covariances",
         "Produces an asymptotically consistent (i.e., central limit theorem applies when sample size is large) "
         "covariance matrix of the estimated parameters",
         8, false},
        {bayesian, "Set &Bayesian priors",
         "Allows you to assign Bayesian prior probabilities to the parameters to be estimated", 9, false},
        {parEstimate, "E&valuate single model parameter estimates",
         "Uses maximum-likelihood or Bayesian procedures to assess individual parameter estimates", 10, false},
        {quit, "&Quit", "Quit Orvanta", 11, true},
        {rank, "&Multi-model statistics", "Uses AICc to rank and average among the best competing models", 13,
         false},
    };
}

} // namespace

MainMenuWindow::MainMenuWindow() : Window(windowName, "Main menu"), buttons_(designButtons())
{
    TwipGeometry g;
    g.left = designLeft;
    g.top = designTop;
    setGeometry(g);
}

void MainMenuWindow::setModelName(std::string name)
{
    modelName_ = std::move(name);
    notifyChanged();
}

CommandButton& MainMenuWindow::find(const std::string& name)
{
    for (CommandButton& b : buttons_)
        if (b.name == name)
            return b;
    throw std::out_of_range("no main menu button " + name);
}

const CommandButton& MainMenuWindow::button(const std::string& name) const
{
    return const_cast<MainMenuWindow*>(this)->find(name);
}

void MainMenuWindow::setButtonEnabled(const std::string& name, bool enabled)
{
    find(name).enabled = enabled;
    notifyChanged();
}

void MainMenuWindow::setButtonCaption(const std::string& name, std::string caption, std::string toolTip)
{
    CommandButton& b = find(name);
    b.caption = std::move(caption);
    b.toolTip = std::move(toolTip);
    notifyChanged();
}

void MainMenuWindow::setFocusButton(std::string name)
{
    focusButton_ = std::move(name);
    notifyChanged();
}

void MainMenuWindow::setToolCommandsEnabled(bool enabled)
{
    for (CommandButton& b : buttons_)
        if (b.name != menuButton::quit)
            b.enabled = enabled;
    notifyChanged();
}

void MainMenuWindow::applyStage(const SessionState& session)
{
    if (session.initializeAlready) {
        const bool ready = !session.algorithmFileName.empty();
        for (CommandButton& b : buttons_)
            b.enabled = ready || b.name == menuButton::initialize || b.name == menuButton::loadAlg ||
                        b.name == menuButton::quit;
    }
    find(menuButton::quit).enabled = true;
    notifyChanged();
}

} // namespace orvanta
