#pragma once

#include "ui/CommandButton.h"
#include "ui/Window.h"

#include <string>
#include <vector>

namespace orvanta {

struct SessionState;

// The main menu window "frmMenu": a welcome label, the model title, a picture and the thirteen
// command buttons of the tools.
class MainMenuWindow : public Window {
public:
    static constexpr const char* windowName = "frmMenu";
    static constexpr int designLeft = 3000;
    static constexpr int designTop = 2000;

    MainMenuWindow();

    static const std::string welcomeText;  // lblWelcome
    static const std::string minimizeWithText;

    const std::string& modelName() const { return modelName_; } // lblModelName
    void setModelName(std::string name);

    const std::vector<CommandButton>& buttons() const { return buttons_; }
    const CommandButton& button(const std::string& name) const;
    void setButtonEnabled(const std::string& name, bool enabled);
    void setButtonCaption(const std::string& name, std::string caption, std::string toolTip);

    // The button that should have the keyboard focus; empty leaves it to the windowing layer.
    const std::string& focusButton() const { return focusButton_; }
    void setFocusButton(std::string name);

    // Enables or disables the twelve tool commands (every button but "&Quit"), as a tool does
    // while it runs.
    void setToolCommandsEnabled(bool enabled);

    // The enabling rules of the three stages of a session.
    void applyStage(const SessionState& session);

private:
    CommandButton& find(const std::string& name);

    std::string modelName_;
    std::vector<CommandButton> buttons_;
    std::string focusButton_;
};

// Button names of the main menu.
namespace menuButton {
inline constexpr const char* initialize = "cmdInitialize";
inline constexpr const char* loadAlg = "cmdLoadAlg";
inline constexpr const char* editAlg = "cmdEditAlg";
inline constexpr const char* saveAlg = "cmdSaveAlg";
inline constexpr const char* simplex = "cmdSimplex";
inline constexpr const char* marquardt = "cmdMarquardt";
inline constexpr const char* userSummary = "cmdUserSummary";
inline constexpr const char* oneFunction = "cmdOneFunction";
inline constexpr const char* covariance = "cmdCovariance";
inline constexpr const char* bayesian = "cmdBayesian";
inline constexpr const char* parEstimate = "cmdParEstimate";
inline constexpr const char* quit = "cmdQuit";
inline constexpr const char* rank = "cmdRank";
} // namespace menuButton

// Caption and tool tip of "cmdUserSummary" once algorithm data exist.
inline constexpr const char* resultsSummaryCaption = "Res&ults Summary";
inline constexpr const char* resultsSummaryToolTip =
    "Produces a saveable summary (and perhaps plots) of model results for the current parameter estimates";

} // namespace orvanta
