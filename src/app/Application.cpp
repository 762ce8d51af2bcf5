#include "app/Application.h"

#include "app/InfoWindows.h"
#include "app/MainMenu.h"
#include "model/ModelTitle.h"
#include "plots/DataPlotWindow.h"
#include "ui/Clock.h"
#include "ui/ReportWindow.h"
#include "ui/UserInterface.h"

#include <bit>

namespace orvanta {

namespace {
// The windows that show the output of earlier evaluations and minimizations.
const char* const outputWindows[] = {"frmOneFunction", "frmSimplex", "frmMarquardt"};
} // namespace

Application::Application(UserInterface& ui, const Clock& clock, FileSystem& files)
    : ui_(ui), clock_(clock), files_(files)
{
    registerCommand(menuButton::initialize, [this] { initializeModel(); });
    registerCommand(menuButton::quit, [this] { quit(); });
    registerCommand(menuButton::userSummary, [this] { singleModelResults(); });
    registerCommand("mnuMenu", [this] { showMainMenu(); });
    registerCommand("mnuExit", [this] { quit(); });
    registerCommand("mnuInterruptBayes", [this] { session.bayesInterrupt = true; });
    registerCommand("mnuInterruptML", [this] { session.profileInterrupt = true; });
    registerCommand("mnuDefaultNames", [this] { openInfoWindow(makeDefaultsWindow()); });
    registerCommand("mnuWisdom", [this] { openInfoWindow(makeWisdomWindow()); });
    registerCommand("mnuCredits", [this] { openInfoWindow(makeCreditsWindow()); });
}

void Application::start()
{
    session = SessionState{};
    algorithm = AlgorithmData{};
    priors.clear();
    ended_ = false;
    ui_.reopen();
    showMainMenu();
}

MainMenuWindow* Application::mainMenu() const
{
    return desktop.find<MainMenuWindow>(MainMenuWindow::windowName);
}

MainMenuWindow& Application::showMainMenu()
{
    MainMenuWindow* menu = mainMenu();
    if (!menu) {
        menu = static_cast<MainMenuWindow*>(&desktop.open(std::make_unique<MainMenuWindow>()));
        menu->applyStage(session);
        setModelTitle(session);
        menu->setModelName(session.modelTitle);
    }
    menu->setVisible(true);
    desktop.raise(MainMenuWindow::windowName);
    return *menu;
}

void Application::closeMainMenu()
{
    desktop.close(MainMenuWindow::windowName);
}

void Application::registerCommand(const std::string& name, std::function<void()> command)
{
    commands_[name] = std::move(command);
}

void Application::mainMenuButtonClicked(const std::string& buttonName)
{
    const MainMenuWindow* menu = mainMenu();
    if (!menu || !menu->enabled() || !menu->button(buttonName).enabled)
        return;
    menuCommand(buttonName);
}

void Application::menuCommand(const std::string& entryName)
{
    const auto it = commands_.find(entryName);
    if (it != commands_.end()) {
        // Copy first: the command may register others.
        const auto command = it->second;
        command();
    }
}

void Application::openInfoWindow(std::unique_ptr<Window> window)
{
    mainWindow.setEnabled(false);
    desktop.open(std::move(window));
}

void Application::infoWindowClosed(const std::string& windowName)
{
    desktop.close(windowName);
    mainWindow.setEnabled(true);
}

bool Application::mainWindowCloseRequested()
{
    return quit(QuitOrigin::MainWindowClose);
}

bool Application::quit(QuitOrigin /*origin*/, const std::function<void()>& savePriors)
{
    // Closing the main window is cancelled by the same answers that end the quit flow.
    if (ui().showMessage("Do you want to quit Orvanta?", "Exit Orvanta", Buttons::YesNo, Icon::Question,
                        DefaultButton::Second) != Answer::Yes)
        return false;

    if (hooks.restoreInterruptedWork)
        hooks.restoreInterruptedWork();
    if (ui().showMessage("Save algorithm data?", "What about algorithm data?", Buttons::YesNo, Icon::Question) ==
            Answer::Yes &&
        hooks.saveAlgorithmFile)
        hooks.saveAlgorithmFile();

    if (anyPriorSet(priors, algorithm.paramCount) &&
        ui().showMessage("Save Bayesian priors?", "What about Bayesian priors?", Buttons::YesNo,
                         Icon::Question) == Answer::Yes) {
        if (savePriors)
            savePriors();
        else if (hooks.savePriorsFile)
            hooks.savePriorsFile();
    }

    minimizationLog.close();
    ended_ = true;
    ui_.close();
    if (hooks.endProcess)
        hooks.endProcess();
    return true;
}

bool Application::yieldToInterface()
{
    ui_.processPendingEvents();
    return !ended_;
}

void Application::closeOutputWindows()
{
    for (const char* name : outputWindows)
        desktop.close(name);
}

void Application::startToolCommand(ToolStart start)
{
    switch (start) {
    case ToolStart::CloseAll:
        closeOutputWindows();
        closeMainMenu();
        mainWindow.setMenuEnabled("mnuApplication", false);
        break;
    case ToolStart::OutputWindowsOnly:
        closeOutputWindows();
        break;
    case ToolStart::HideMainMenu:
        closeOutputWindows();
        if (MainMenuWindow* menu = mainMenu())
            menu->setVisible(false);
        break;
    case ToolStart::MainMenuOnly:
        closeMainMenu();
        mainWindow.setMenuEnabled("mnuApplication", false);
        break;
    }
}

void Application::endToolCommand()
{
    mainWindow.setMenuEnabled("mnuApplication", true);
}

ReportWindow& Application::openReportWindow(const std::string& name)
{
    auto& window = static_cast<ReportWindow&>(desktop.open(makeReportWindow(name)));
    desktop.onClose(name, [this, name] { reportWindowClosed(name); });
    return window;
}

void Application::ApplicationModelHost::appendToSummary(const std::string& text)
{
    ReportWindow& summary = app_.openReportWindow("frmSummary");
    summary.setText(summary.text() + text);
}

void Application::ApplicationModelHost::showSummary(const std::string& text)
{
    app_.openReportWindow("frmSummary").setText(text);
}

void Application::ApplicationModelHost::showProgress(const std::string& text)
{
    app_.mainWindow.setPanel(statusBar::messages, 1, text);
}

bool Application::ApplicationModelHost::showDataPlotPage(const DataPlotPage& page)
{
    if (app_.hooks.showDataPlotPage)
        return app_.hooks.showDataPlotPage(page);
    return openDataPlotPage(page, app_.desktop, app_.ui(), [this] { return app_.ended(); });
}

std::uint64_t Application::ApplicationModelHost::chiSquareSeed()
{
    if (app_.hooks.chiSquareSeed)
        return app_.hooks.chiSquareSeed();
    // Every test reseeds from the clock: the seconds of the monotonic clock, bit for bit, mixed
    // with the local time.
    const LocalDateTime now = app_.clock().now();
    const auto time = static_cast<std::uint64_t>(((now.day * 24 + now.hour) * 60 + now.minute) * 60 + now.second);
    return std::bit_cast<std::uint64_t>(app_.clock().seconds()) ^ (time << 1);
}

void Application::reportWindowClosed(const std::string& name)
{
    if (name == "frmBayesian") {
        if (session.priorsFromMenu) {
            session.priorsFromMenu = false;
            showMainMenu();
        }
        if (session.priorsFromRanking) {
            session.priorsFromRanking = false;
            if (hooks.showRankingWindow)
                hooks.showRankingWindow();
        }
        mainWindow.clearPanel(statusBar::messages, 1);
    } else if (name == "frmPriorDists") {
        mainWindow.clearPanel(statusBar::messages, 1);
    } else if (name == "frmSummary" || name == "frmOneFunction" || name == "frmMaxLike") {
        showMainMenu();
    }
}

void Application::initializeModel()
{
    for (int bar : {statusBar::files, statusBar::algorithm, statusBar::bayesProgress, statusBar::remaining})
        for (int panel = 1; panel <= static_cast<int>(mainWindow.statusBar(bar).panels.size()); ++panel)
            mainWindow.clearPanel(bar, panel);
    for (int panel = 1; panel <= 5; ++panel)
        mainWindow.clearPanel(statusBar::bayesGrid, panel);
    for (int panel = 1; panel <= 4; ++panel)
        mainWindow.clearPanel(statusBar::messages, panel);

    if (!session.algorithmFileName.empty()) {
        const Answer answer = ui().showMessage(
            "Algorithm data will be lost during this initialization.\n\n  Do you need to save current algorithm "
            "data?",
            "Initialize", Buttons::YesNoCancel, Icon::Exclamation);
        if (answer == Answer::Cancel)
            return;
        if (answer == Answer::Yes && hooks.saveAlgorithmCommand)
            hooks.saveAlgorithmCommand();
        session.algorithmFileName.clear();
        if (MainMenuWindow* menu = mainMenu()) {
            for (const CommandButton& b : menu->buttons())
                if (b.name != menuButton::quit)
                    menu->setButtonEnabled(b.name, b.name == menuButton::loadAlg || b.name == menuButton::initialize);
        }
    }

    if (!hooks.openInitializationWindow)
        return;
    hooks.openInitializationWindow();
    if (MainMenuWindow* menu = mainMenu())
        menu->setEnabled(false);
    closeMainMenu();
}

void Application::singleModelResults()
{
    bool anyNonZero = false;
    for (int i = 1; i <= algorithm.paramCount && i < static_cast<int>(algorithm.paramValues.size()); ++i)
        anyNonZero = anyNonZero || algorithm.paramValues[i] != 0.0;

    closeOutputWindows();
    closeMainMenu();
    mainWindow.setMenuEnabled("mnuApplication", false);

    if (!model_) {
        // Without a model there is no summary window whose closing would bring the menu back.
        endToolCommand();
        showMainMenu();
        return;
    }
    if (anyNonZero) {
        mainWindow.setPanel(statusBar::messages, 1, "One moment please while one function call is executed...");
        applyFuseGroups(algorithm, algorithm.paramValues);
        callModel(*model_, algorithm, modelWorkspace, algorithm.paramValues, callCode::firstEvaluation);
        mainWindow.clearPanel(statusBar::messages, 1);
    }
    applyFuseGroups(algorithm, algorithm.paramValues);
    callModel(*model_, algorithm, modelWorkspace, algorithm.paramValues, callCode::summary);
    endToolCommand();
}

} // namespace orvanta
