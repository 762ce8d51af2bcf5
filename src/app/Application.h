#pragma once

#include "algorithm/AlgorithmData.h"
#include "app/MainWindow.h"
#include "app/SessionState.h"
#include "model/ModelHost.h"
#include "minimize/MinimizationLog.h"
#include "minimize/MinimizationState.h"
#include "model/ModelRoutine.h"
#include "priors/PriorEvaluation.h"
#include "priors/PriorSpec.h"
#include "uncertainty/CovarianceResults.h"
#include "uncertainty/DistributionProfile.h"
#include "ui/ClosableUserInterface.h"
#include "ui/Desktop.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace orvanta {

class Clock;
class FileSystem;
struct DataPlotPage;
class MainMenuWindow;
class ReportWindow;
class UserInterface;

// Work behind the shell's questions that other subsystems supply.
struct ShellHooks {
    std::function<void()> saveAlgorithmCommand;     // the main menu's "&Save algorithm data"
    std::function<void()> saveAlgorithmFile;        // the algorithm save behind its file dialog
    std::function<void()> savePriorsFile;           // the priors save behind its file dialog
    std::function<void()> openInitializationWindow; // the model's initialization window
    std::function<void()> showRankingWindow;        // back to the ranking window after the priors flow
    std::function<void()> endProcess;               // the windowing layer ends the program
    // The results summary's plot pages and chi-square seeds; when empty, each page is shown in
    // the modal data plot window and each test is seeded from the clock.
    std::function<bool(const DataPlotPage& page)> showDataPlotPage;
    std::function<std::uint64_t()> chiSquareSeed;
    // Set while a tool holds the parameter set in a temporary state (a likelihood profile's
    // fixed parameter): puts it back before the quit flow offers to save the algorithm data.
    std::function<void()> restoreInterruptedWork;
};

// What the priors subsystem adds to the tools. Both are empty until it is installed; an empty
// penalty counts as 0 and an empty review produces nothing.
struct PriorHooks {
    // evaluatePriors on vector (after the model call), then the prior penalty to add to the
    // objective while priorsActive is on.
    std::function<double(const std::vector<double>& vector)> penalty;
    // The review of prior likelihoods at values (a full parameter vector, 1..paramCount: the
    // estimates the tool reports), loaded into its window "frmReviewPriors".
    std::function<void(const std::vector<double>& values)> produceReview;
};

// How much a tool command closes before it runs.
enum class ToolStart {
    CloseAll,            // output windows and main menu closed, "&Application" disabled
    OutputWindowsOnly,   // load and save algorithm data
    HideMainMenu,        // the algorithm editor: output windows closed, main menu hidden
    MainMenuOnly,        // multi-model statistics: main menu closed, "&Application" disabled
};

// Where a quit request came from.
enum class QuitOrigin { Command, MainWindowClose };

// The application shell: the session state, the main window and its child windows, the main
// menu with its enabling rules, the small information windows and the quit flow. The windowing
// layer shows its state and forwards the user's actions to the methods below.
class Application {
public:
    Application(UserInterface& ui, const Clock& clock, FileSystem& files);
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // What the main window does when it loads: every flag off, no file, the main menu shown.
    void start();

    UserInterface& ui() { return ui_; }
    const Clock& clock() const { return clock_; }
    FileSystem& files() { return files_; }

    SessionState session;
    AlgorithmData algorithm;
    std::vector<PriorSpec> priors; // 1..paramCount
    PriorResults priorResults;     // of the last vector evaluated
    CovarianceRun covariance;      // the last covariance run
    StoredDistribution distribution; // the last likelihood profile or posterior
    MainWindowModel mainWindow;
    Desktop desktop;
    ShellHooks hooks;
    ModelWorkspace modelWorkspace;
    MinimizationLog minimizationLog; // open from the editor's "&Open" to its "&Close"
    MinimizationState minimization;  // run counters and the flags of the minimizers' windows
    PriorHooks priorHooks;

    void setModel(ModelRoutine* model) { model_ = model; }
    ModelRoutine* model() const { return model_; }
    // What the model reaches of the application: messages, session flags, the summary window.
    ModelHost& modelHost() { return modelHost_; }

    // The main menu window: created anew (with its enabling rules) when it is not open.
    MainMenuWindow& showMainMenu();
    void closeMainMenu();
    MainMenuWindow* mainMenu() const;

    // The user pressed a main menu button or chose a menu entry (by design name). Commands
    // are registered by the subsystems that do their work.
    void mainMenuButtonClicked(const std::string& buttonName);
    void menuCommand(const std::string& entryName);
    void registerCommand(const std::string& name, std::function<void()> command);
    bool hasCommand(const std::string& name) const { return commands_.count(name) != 0; }

    // The "OK" of a small information window.
    void infoWindowClosed(const std::string& windowName);

    // The user closes the main window: false when the close is cancelled.
    bool mainWindowCloseRequested();

    // The quit flow; true when the program ends. From then on the interface shows nothing.
    // savePriors answers the priors question instead of hooks.savePriorsFile (a window with a
    // save of its own).
    bool quit(QuitOrigin origin = QuitOrigin::Command, const std::function<void()>& savePriors = {});
    bool ended() const { return ended_; }

    // A yield point of a long calculation: lets pending interface events run (an interrupt
    // button, the main window's close box). False once the program has ended, in this yield or
    // before it: the calculation then stops at once without showing anything more.
    [[nodiscard]] bool yieldToInterface();

    // What a tool command closes before it runs, and what it restores when it ends.
    void startToolCommand(ToolStart start);
    void endToolCommand(); // enables "&Application" again

    // A report window, opened or reused, with its closing behaviour.
    ReportWindow& openReportWindow(const std::string& name);

    void initializeModel();      // "&Initialize model"
    void singleModelResults();   // "&Single model results"

private:
    class ApplicationModelHost : public ModelHost {
    public:
        explicit ApplicationModelHost(Application& app) : app_(app) {}
        UserInterface& ui() override { return app_.ui(); }
        SessionState& session() override { return app_.session; }
        bool programEnded() const override { return app_.ended(); }
        void appendToSummary(const std::string& text) override;
        void showSummary(const std::string& text) override;
        void showProgress(const std::string& text) override;
        bool showDataPlotPage(const DataPlotPage& page) override;
        std::uint64_t chiSquareSeed() override;

    private:
        Application& app_;
    };

    void openInfoWindow(std::unique_ptr<Window> window);
    void reportWindowClosed(const std::string& name);
    void closeOutputWindows();

    ClosableUserInterface ui_;
    const Clock& clock_;
    FileSystem& files_;
    ModelRoutine* model_ = nullptr;
    ApplicationModelHost modelHost_{*this};
    bool ended_ = false;
    std::map<std::string, std::function<void()>> commands_;
};

// Status bars by number, as the tools name them.
namespace statusBar {
inline constexpr int files = 0;        // stbMain0: data files
inline constexpr int algorithm = 1;    // stbMain1: algorithm and priors files
inline constexpr int bayesProgress = 2;
inline constexpr int bayesGrid = 3;
inline constexpr int remaining = 4;
inline constexpr int messages = 5;
} // namespace statusBar

} // namespace orvanta
