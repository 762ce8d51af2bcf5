#pragma once

// The priors flow: "Set &Bayesian priors" on the main menu (or the ranking window) opens the
// load-priors window "frmLoadPriors", from which the user opens a priors file, goes to the prior
// editor or resets every prior to uniform-unbounded. The flow ends by returning to the window
// that started it (returnToCaller), once.

#include "ui/CommandButton.h"
#include "ui/Window.h"

#include <string>
#include <vector>

namespace orvanta {

class Application;

namespace priorsFlowText {
inline constexpr const char* loadCaption = "Load Bayesian priors";
inline constexpr const char* setTitle = "Setting Bayesian Priors";
inline constexpr const char* defaultsMessage =
    "Prior probabilities have been set to default (uniform-unbounded) values";
inline constexpr const char* defaultsTitle = "Default prior probabilities";
} // namespace priorsFlowText

// The question of the set flow when every prior is uniform-unbounded.
std::string setPriorsQuestion();

// Which window starts the priors flow, and so gets it back at the end.
enum class PriorsCaller { MainMenu, Ranking };

// "frmLoadPriors": four buttons; its open-file dialog is the user interface's.
class LoadPriorsWindow : public Window {
public:
    static constexpr const char* windowName = "frmLoadPriors";
    static constexpr int designLeft = 5800;
    static constexpr int designTop = 3000;

    LoadPriorsWindow();

    const std::vector<CommandButton>& buttons() const { return buttons_; }

private:
    std::vector<CommandButton> buttons_;
};

// Button names of the load window.
namespace loadPriorsButton {
inline constexpr const char* open = "cmdOpen";
inline constexpr const char* set = "cmdSet";
inline constexpr const char* uniform = "cmdUniform";
inline constexpr const char* cancel = "cmdCancel";
} // namespace loadPriorsButton

// Opens the load window for a caller, which has hidden itself: its return flag set, simplexBuilt
// cleared (the next Simplex starts afresh) and the priors in force while the window is open.
void openLoadPriorsWindow(Application& app, PriorsCaller caller);

// A button of the load window (by name). It may close the window: the caller must not touch the
// window afterwards.
void loadPriorsButtonClicked(Application& app, const std::string& buttonName);

// The window's close box: as "&Cancel".
void loadPriorsCloseRequested(Application& app);

// Back to the window that started the flow: the main menu (with "&Application" enabled again),
// or the ranking window. Each return flag is cleared by the first return that finds it set.
void returnToCaller(Application& app);

// The main menu's "Set &Bayesian priors" (cmdBayesian_Click).
void setBayesianPriorsFromMainMenu(Application& app);

} // namespace orvanta
