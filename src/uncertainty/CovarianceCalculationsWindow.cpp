#include "uncertainty/CovarianceCalculationsWindow.h"

#include "app/Application.h"

#include <algorithm>

namespace orvanta {

CovarianceCalculationsLayout layoutCovarianceCalculationsWindow(int width, int height, int buttonHeight)
{
    using W = CovarianceCalculationsWindow;
    CovarianceCalculationsLayout layout;
    layout.buttonWidth = std::max(0, width);
    layout.textTop = buttonHeight;
    layout.textWidth = std::max(0, width - W::textWidthLess);
    const int textHeight = height - buttonHeight - W::textHeightLess;
    if (textHeight > 0)
        layout.textHeight = textHeight;
    return layout;
}

CovarianceCalculationsWindow::CovarianceCalculationsWindow(Application& app)
    : Window(windowName, captionText), app_(app)
{
    TwipGeometry g;
    g.left = designLeft;
    g.top = designTop;
    g.width = designWidth;
    setGeometry(g);
}

void CovarianceCalculationsWindow::append(const std::string& text)
{
    text_ += text;
    notifyChanged();
}

void CovarianceCalculationsWindow::replaceText(std::string text)
{
    text_ = std::move(text);
    notifyChanged();
}

void CovarianceCalculationsWindow::setStopEnabled(bool enabled)
{
    stop_.enabled = enabled;
    notifyChanged();
}

void CovarianceCalculationsWindow::showSaveHint()
{
    showsSaveHint_ = true;
    stop_.caption = saveHintCaption;
    stop_.enabled = true;
    notifyChanged();
}

void CovarianceCalculationsWindow::showInterruptCaption()
{
    showsSaveHint_ = false;
    stop_.caption = interruptCaption;
    notifyChanged();
}

void CovarianceCalculationsWindow::cmdStop_Click()
{
    if (showsSaveHint_) {
        if (onShowDisplay)
            onShowDisplay();
        return;
    }
    if (!stop_.enabled)
        return;
    app_.covariance.interruptRequested = true;
    setStopEnabled(false);
}

void CovarianceCalculationsWindow::closing()
{
    showInterruptCaption();
    if (onClosed)
        onClosed();
}

CovarianceCalculationsWindow& openCovarianceCalculationsWindow(Application& app)
{
    if (CovarianceCalculationsWindow* open = findCovarianceCalculationsWindow(app))
        return *open;
    auto& window = static_cast<CovarianceCalculationsWindow&>(
        app.desktop.open(std::make_unique<CovarianceCalculationsWindow>(app)));
    // The desktop keeps the window alive until its close handler has run.
    app.desktop.onClose(CovarianceCalculationsWindow::windowName, [&window] { window.closing(); });
    return window;
}

CovarianceCalculationsWindow* findCovarianceCalculationsWindow(Application& app)
{
    return app.desktop.find<CovarianceCalculationsWindow>(CovarianceCalculationsWindow::windowName);
}

} // namespace orvanta
