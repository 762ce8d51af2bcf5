#pragma once

// The Marquardt minimizer's window "frmMarquardt": the stop button above the text box, and the
// two pause buttons that appear over the text box while the derivatives of an iteration are
// shown.

#include "minimize/SimplexWindow.h"
#include "ui/CommandButton.h"
#include "ui/Window.h"

#include <cstdint>
#include <string>

namespace orvanta {

class Application;

// A button with its place in the window and whether it is shown.
struct PlacedButton {
    CommandButton button;
    TwipRect place; // height 0: the windowing layer's own button height
    bool visible = true;
};

// Where the stop button and the text box go for a window of width x height twips.
struct MarquardtLayout {
    TwipRect stopButton; // as wide as the window, at the top
    TwipRect textBox;    // below the button, following the window's size
};
MarquardtLayout layoutMarquardtWindow(int width, int height, int buttonHeight);

class MarquardtWindow : public Window {
public:
    static constexpr const char* windowName = "frmMarquardt";
    static const std::string captionText;

    static constexpr int designLeft = 500;
    static constexpr int designTop = 500;
    static constexpr int designWidth = 14000;
    static constexpr int designHeight = 9000;
    static constexpr int textWidthLess = 120;
    static constexpr int textHeightLess = 400;
    static constexpr int pauseButtonLeft = 11000;
    static constexpr int pauseButtonWidth = 2500;
    static constexpr int pauseButtonHeight = 500;
    static constexpr int iterationButtonTop = 800;
    static constexpr int continueButtonTop = 1400;

    MarquardtWindow(Application& app, std::int32_t freeCount);

    const PlacedButton& stopButton() const { return stop_; }           // cmdStop
    const PlacedButton& iterationButton() const { return iteration_; } // cmdIteration
    const PlacedButton& continueButton() const { return continue_; }   // cmdContinue
    void setStopEnabled(bool enabled);
    void setStopCaption(std::string caption);
    // Both pause buttons shown and enabled, or hidden and disabled.
    void setPauseButtonsShown(bool shown);

    const std::string& text() const { return text_; } // rtbMarquardt
    void setText(std::string text);

    int fontSize() const { return fontSize_; }

    void cmdIteration_Click(); // resume; the next accepted iteration pauses again
    void cmdContinue_Click();  // resume and pause no more
    void cmdStop_Click();      // ask the running Marquardt to stop, ending any pause

private:
    void resume(bool pauseAgain);

    Application& app_;
    PlacedButton stop_;
    PlacedButton iteration_;
    PlacedButton continue_;
    std::string text_;
    int fontSize_;
};

// The window, opened when it is not, with its closing behaviour: closing ends a pause and the
// derivative display, empties status panels 1 to 3 and, unless a Marquardt command runs, shows
// the main menu. An open window is returned as it is, not brought to the front, so that progress
// refreshes do not take the focus during a fit.
MarquardtWindow& openMarquardtWindow(Application& app, std::int32_t freeCount);

} // namespace orvanta
