#pragma once

// The Simplex minimizer's window "frmSimplex": the stop button above two text boxes, the upper
// one for the initial simplex, the lower one for the progress and the result, with a splitter
// band between them.

#include "ui/CommandButton.h"
#include "ui/Window.h"

#include <cstdint>
#include <string>

namespace orvanta {

class Application;

// A rectangle in twips.
struct TwipRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const TwipRect&) const = default;
};

// The font size of the minimizer windows' text boxes: smaller when many parameters are listed.
int progressFontSize(std::int32_t freeCount);

// Where the controls of frmSimplex go for a window of width x height twips (its outer size).
struct SimplexLayout {
    TwipRect stopButton; // as wide as the window, at the top
    TwipRect upperBox;   // rtbSimplexInitial below the button
    TwipRect splitter;   // the band between the boxes, left of the last 400 twips
    TwipRect lowerBox;   // rtbSimplex down to the window's height less 400
};
SimplexLayout layoutSimplexWindow(int width, int height, int buttonHeight, int upperBoxHeight);

class SimplexWindow : public Window {
public:
    static constexpr const char* windowName = "frmSimplex";
    static const std::string captionText;
    static constexpr const char* stopCaption = "&Interrupt";
    static constexpr const char* freshRunStopCaption = "&Interrupt this minimization";
    static constexpr const char* stopToolTip = "Click here to interrupt the current minimization";

    static constexpr int designLeft = 500;
    static constexpr int designTop = 500;
    static constexpr int designWidth = 14000;
    static constexpr int designHeight = 9000;
    static constexpr int designUpperBoxHeight = 3000;
    static constexpr int boxWidthLess = 120;
    static constexpr int lowerBoxHeightLess = 400;
    static constexpr int splitterHeight = 15;
    static constexpr int splitterRightGap = 400;
    static constexpr int minimumBoxHeight = 240; // a dragged border leaves both boxes a line

    SimplexWindow(Application& app, std::int32_t freeCount);

    const CommandButton& stopButton() const { return stop_; } // cmdStop
    void setStopEnabled(bool enabled);
    void setStopCaption(std::string caption);

    const std::string& initialText() const { return initialText_; }   // rtbSimplexInitial
    const std::string& progressText() const { return progressText_; } // rtbSimplex
    void setInitialText(std::string text);
    void setProgressText(std::string text);

    int fontSize() const { return fontSize_; }

    // The upper box's height as the splitter left it.
    int upperBoxHeight() const { return upperBoxHeight_; }
    // The user drags the splitter so that the border lies at borderTop (twips from the window's
    // top); both boxes keep at least minimumBoxHeight in a window of that height.
    void dragSplitterTo(int borderTop, int windowHeight, int buttonHeight);

    // The stop button: asks the running Simplex to stop.
    void cmdStop_Click();

private:
    Application& app_;
    CommandButton stop_{"cmdStop", stopCaption, stopToolTip, 0, true};
    std::string initialText_;
    std::string progressText_;
    int fontSize_;
    int upperBoxHeight_ = designUpperBoxHeight;
};

// The window, opened when it is not (so that a run whose window the user closed shows its
// texts again) with its closing behaviour: closing empties the boxes and status panels 1 to 3
// and, unless a Simplex command runs, shows the main menu. An open window is returned as it is,
// not brought to the front: progress refreshes must not take the focus from what the user is
// looking at during a fit.
SimplexWindow& openSimplexWindow(Application& app, std::int32_t freeCount);

} // namespace orvanta
