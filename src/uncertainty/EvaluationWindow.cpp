#include "uncertainty/EvaluationWindow.h"

#include "app/Application.h"
#include "app/MainMenu.h"
#include "ui/UserInterface.h"
#include "uncertainty/LikelihoodProfile.h"

#include <memory>

namespace orvanta {

namespace {

void enableApplicationMenu(Application& app, bool enabled)
{
    app.mainWindow.setMenuEnabled("mnuApplication", enabled);
}

void runPosterior(Application& app)
{
    if (app.hasCommand(EvaluationWindow::posteriorCommand)) {
        app.menuCommand(EvaluationWindow::posteriorCommand);
        return;
    }
    app.ui().showMessage("The Bayesian posterior distributions are not available in this version of Orvanta.",
                         EvaluationWindow::captionText, Buttons::OK, Icon::Information);
    app.showMainMenu();
}

} // namespace

EvaluationWindow::EvaluationWindow(Application& app)
    : Window(windowName, captionText), app_(app),
      labels_{{"lblChoice", "For any free parameter you have the choice to generate:"},
              {"lblNote1",
               "Results are valid only if the objective function is the Sum of Squares or the -ln[L]"},
              {"lblNote3", "These routines can automatically edit your algorithm file so take care not to "
                           "inadvertently save these edits"},
              {"lblNote4", "Only the lowest ordinal linked parameter can be evaluated"}},
      buttons_{{"cmdML", "&Maximium likelihood (ML) confidence distributions", "", 0, true},
               {"cmdBP", "&Bayesian posterior (BP) distributions", "", 1, true},
               {"cmdCancel", "&Cancel", "", 2, true}}
{
    setGeometry({designLeft, designTop, std::nullopt, std::nullopt});
}

void EvaluationWindow::runTool(void (*tool)(Application&))
{
    // Closing destroys this window: from here on only the application is reached.
    Application& app = app_;
    app.desktop.close(windowName);
    enableApplicationMenu(app, false);
    tool(app);
    if (!app.ended())
        enableApplicationMenu(app, true);
}

void EvaluationWindow::cmdML_Click()
{
    runTool(runLikelihoodProfile);
}

void EvaluationWindow::cmdBP_Click()
{
    runTool(runPosterior);
}

void EvaluationWindow::cmdCancel_Click()
{
    Application& app = app_;
    app.desktop.close(windowName);
    app.showMainMenu();
    enableApplicationMenu(app, true);
}

void cmdParEstimate_Click(Application& app)
{
    if (MainMenuWindow* menu = app.mainMenu())
        menu->setToolCommandsEnabled(false);
    app.startToolCommand(ToolStart::CloseAll);
    app.desktop.open(std::make_unique<EvaluationWindow>(app));
    app.desktop.onClose(EvaluationWindow::windowName, [&app] { enableApplicationMenu(app, true); });
    app.desktop.raise(EvaluationWindow::windowName);
    enableApplicationMenu(app, true);
}

void installParameterEvaluation(Application& app)
{
    app.registerCommand(menuButton::parEstimate, [&app] { cmdParEstimate_Click(app); });
}

} // namespace orvanta
