#pragma once

// The calculations window "frmCovData": the covariance calculator's running account in a
// fixed-pitch text box, later replaced by the collated covariance report (which the user may
// edit), and one button spanning the width. During a calculation the button interrupts it;
// once the report is collated it carries the save hint and brings the display window forward.

#include "ui/CommandButton.h"
#include "ui/Window.h"

#include <functional>
#include <optional>
#include <string>

namespace orvanta {

class Application;

// Where the controls of frmCovData go for a window of width x height twips (its outer size).
struct CovarianceCalculationsLayout {
    int buttonWidth = 0; // cmdStop spans the window, at the top
    int textTop = 0;     // rtbCovData below the button
    int textWidth = 0;
    std::optional<int> textHeight; // unset: the height would not be positive, keep the present one
};
CovarianceCalculationsLayout layoutCovarianceCalculationsWindow(int width, int height, int buttonHeight);

class CovarianceCalculationsWindow : public Window {
public:
    static constexpr const char* windowName = "frmCovData";
    static constexpr const char* captionText = "Covariance calculations";
    static constexpr const char* textBoxName = "rtbCovData";
    static constexpr const char* interruptCaption = "&Interrupt these calculations";
    static constexpr const char* saveHintCaption =
        "To save these results [restore or minimize this form then] choose 'Save covariance results as...'";
    static constexpr const char* fontFamily = "Courier New";

    static constexpr int designLeft = 100;
    static constexpr int designTop = 500;
    static constexpr int designWidth = 15000;
    static constexpr int textWidthLess = 120;
    static constexpr int textHeightLess = 400; // besides the button's height

    explicit CovarianceCalculationsWindow(Application& app);

    const std::string& text() const { return text_; }
    void append(const std::string& text);
    // The collated report takes the place of the running account.
    void replaceText(std::string text);
    // The user's edits, taken over from the text box without echoing them back.
    void takeEditedText(std::string text) { text_ = std::move(text); }

    const CommandButton& stopButton() const { return stop_; } // cmdStop
    void setStopEnabled(bool enabled);
    bool showsSaveHint() const { return showsSaveHint_; }
    // After collation: the button carries the save hint and a click calls onShowDisplay.
    void showSaveHint();
    // Back to the interrupt caption, as every calculation starts and as closing leaves it.
    void showInterruptCaption();

    // During a calculation: asks the calculator to stop (app.covariance.interruptRequested)
    // and disables itself until the calculator has asked the user. After collation: onShowDisplay.
    void cmdStop_Click();

    // What closing the window does besides restoring the interrupt caption (the display window
    // disables its save button). Runs from the desktop's close handler.
    void closing();

    std::function<void()> onShowDisplay;
    std::function<void()> onClosed;

private:
    Application& app_;
    std::string text_;
    CommandButton stop_{"cmdStop", interruptCaption, "", 0, true};
    bool showsSaveHint_ = false;
};

// The open window, or a new one (a run whose window the user closed goes on writing in a new
// one).
CovarianceCalculationsWindow& openCovarianceCalculationsWindow(Application& app);
// The open window, or nullptr.
CovarianceCalculationsWindow* findCovarianceCalculationsWindow(Application& app);

} // namespace orvanta
