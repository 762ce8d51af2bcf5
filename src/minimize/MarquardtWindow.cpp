#include "minimize/MarquardtWindow.h"

#include "app/Application.h"

#include <algorithm>

namespace orvanta {

const std::string MarquardtWindow::captionText =
    "Marquardt minimization (uses derivatives; works best when model behaviour is close-to-linear; "
    "progress is insensitive to (non-zero) step sizes)";

namespace {

constexpr int lastPanelClearedOnClose = 3;

PlacedButton pauseButton(const char* name, const char* caption, const char* toolTip, int tabIndex, int top)
{
    PlacedButton b;
    b.button = {name, caption, toolTip, tabIndex, false};
    b.place = {MarquardtWindow::pauseButtonLeft, top, MarquardtWindow::pauseButtonWidth,
               MarquardtWindow::pauseButtonHeight};
    b.visible = false;
    return b;
}

} // namespace

MarquardtLayout layoutMarquardtWindow(int width, int height, int buttonHeight)
{
    MarquardtLayout layout;
    layout.stopButton = {0, 0, std::max(0, width), buttonHeight};
    layout.textBox = {0, buttonHeight, std::max(0, width - MarquardtWindow::textWidthLess),
                      std::max(0, height - MarquardtWindow::textHeightLess - buttonHeight)};
    return layout;
}

MarquardtWindow::MarquardtWindow(Application& app, std::int32_t freeCount)
    : Window(windowName, captionText), app_(app),
      iteration_(pauseButton("cmdIteration", "&Next iteration",
                             "Click to pause minimization after each iteration", 1, iterationButtonTop)),
      continue_(pauseButton("cmdContinue", "&Continue",
                            "Click to continue minimizing without pausing after each iteration", 2,
                            continueButtonTop)),
      fontSize_(progressFontSize(freeCount))
{
    stop_.button = {"cmdStop", SimplexWindow::stopCaption, SimplexWindow::stopToolTip, 0, true};
    TwipGeometry g;
    g.left = designLeft;
    g.top = designTop;
    g.width = designWidth;
    setGeometry(g);
}

void MarquardtWindow::setStopEnabled(bool enabled)
{
    stop_.button.enabled = enabled;
    notifyChanged();
}

void MarquardtWindow::setStopCaption(std::string caption)
{
    stop_.button.caption = std::move(caption);
    notifyChanged();
}

void MarquardtWindow::setPauseButtonsShown(bool shown)
{
    for (PlacedButton* b : {&iteration_, &continue_}) {
        b->visible = shown;
        b->button.enabled = shown;
    }
    notifyChanged();
}

void MarquardtWindow::setText(std::string text)
{
    text_ = std::move(text);
    notifyChanged();
}

void MarquardtWindow::resume(bool pauseAgain)
{
    app_.minimization.resumeRequested = true;
    if (!pauseAgain)
        app_.minimization.showDerivatives = false;
    setPauseButtonsShown(false);
}

void MarquardtWindow::cmdIteration_Click()
{
    if (iteration_.visible && iteration_.button.enabled)
        resume(true);
}

void MarquardtWindow::cmdContinue_Click()
{
    if (continue_.visible && continue_.button.enabled)
        resume(false);
}

void MarquardtWindow::cmdStop_Click()
{
    if (!stop_.button.enabled)
        return;
    app_.minimization.marquardtInterrupt = true;
    setStopEnabled(false);
    app_.mainWindow.setPanel(statusBar::messages, 2, "Interrupt pending...");
    resume(false);
}

namespace {

void marquardtWindowClosed(Application& app)
{
    // The text box and the pause buttons went with the window; a pause ends with it.
    app.minimization.resumeRequested = true;
    app.minimization.showDerivatives = false;
    for (int panel = 1; panel <= lastPanelClearedOnClose; ++panel)
        app.mainWindow.clearPanel(statusBar::messages, panel);
    if (!app.minimization.marquardtRunning)
        app.showMainMenu();
}

} // namespace

MarquardtWindow& openMarquardtWindow(Application& app, std::int32_t freeCount)
{
    if (auto* open = app.desktop.find<MarquardtWindow>(MarquardtWindow::windowName))
        return *open;
    auto& window =
        static_cast<MarquardtWindow&>(app.desktop.open(std::make_unique<MarquardtWindow>(app, freeCount)));
    app.desktop.onClose(MarquardtWindow::windowName, [&app] { marquardtWindowClosed(app); });
    return window;
}

} // namespace orvanta
