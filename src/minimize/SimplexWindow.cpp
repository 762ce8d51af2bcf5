#include "minimize/SimplexWindow.h"

#include "app/Application.h"

#include <algorithm>

namespace orvanta {

const std::string SimplexWindow::captionText =
    "Simplex minimization (uses geometry; works best for models whose behaviour is markedly non-linear; "
    "initial progress is sensitive to step sizes)";

namespace {
// The transient panels that a minimizer window empties when it closes.
constexpr int lastPanelClearedOnClose = 3;
} // namespace

int progressFontSize(std::int32_t freeCount)
{
    return freeCount <= 25 ? 10 : 8;
}

SimplexLayout layoutSimplexWindow(int width, int height, int buttonHeight, int upperBoxHeight)
{
    const int boxWidth = std::max(0, width - SimplexWindow::boxWidthLess);
    const int splitterTop = buttonHeight + upperBoxHeight;
    const int lowerTop = splitterTop + SimplexWindow::splitterHeight;
    SimplexLayout layout;
    layout.stopButton = {0, 0, std::max(0, width), buttonHeight};
    layout.upperBox = {0, buttonHeight, boxWidth, upperBoxHeight};
    layout.splitter = {0, splitterTop, std::max(0, width - SimplexWindow::splitterRightGap),
                       SimplexWindow::splitterHeight};
    layout.lowerBox = {0, lowerTop, boxWidth,
                       std::max(0, height - SimplexWindow::lowerBoxHeightLess - lowerTop)};
    return layout;
}

SimplexWindow::SimplexWindow(Application& app, std::int32_t freeCount)
    : Window(windowName, captionText), app_(app), fontSize_(progressFontSize(freeCount))
{
    TwipGeometry g;
    g.left = designLeft;
    g.top = designTop;
    g.width = designWidth;
    setGeometry(g);
}

void SimplexWindow::setStopEnabled(bool enabled)
{
    stop_.enabled = enabled;
    notifyChanged();
}

void SimplexWindow::setStopCaption(std::string caption)
{
    stop_.caption = std::move(caption);
    notifyChanged();
}

void SimplexWindow::setInitialText(std::string text)
{
    initialText_ = std::move(text);
    notifyChanged();
}

void SimplexWindow::setProgressText(std::string text)
{
    progressText_ = std::move(text);
    notifyChanged();
}

void SimplexWindow::dragSplitterTo(int borderTop, int windowHeight, int buttonHeight)
{
    const int largest = windowHeight - lowerBoxHeightLess - buttonHeight - splitterHeight - minimumBoxHeight;
    upperBoxHeight_ = std::max(minimumBoxHeight, std::min(borderTop - buttonHeight, largest));
    notifyChanged();
}

void SimplexWindow::cmdStop_Click()
{
    if (!stop_.enabled)
        return;
    app_.minimization.interruptRequested = true;
    setStopEnabled(false);
    app_.mainWindow.setPanel(statusBar::messages, 1, "Interrupt pending...");
}

namespace {

void simplexWindowClosed(Application& app)
{
    // The boxes went with the window.
    for (int panel = 1; panel <= lastPanelClearedOnClose; ++panel)
        app.mainWindow.clearPanel(statusBar::messages, panel);
    if (!app.minimization.simplexRunning)
        app.showMainMenu();
}

} // namespace

SimplexWindow& openSimplexWindow(Application& app, std::int32_t freeCount)
{
    if (auto* open = app.desktop.find<SimplexWindow>(SimplexWindow::windowName))
        return *open;
    auto& window =
        static_cast<SimplexWindow&>(app.desktop.open(std::make_unique<SimplexWindow>(app, freeCount)));
    app.desktop.onClose(SimplexWindow::windowName, [&app] { simplexWindowClosed(app); });
    return window;
}

} // namespace orvanta
