#pragma once

#include "ui/Window.h"

#include <QSize>
#include <QWidget>

#include <optional>

namespace orvanta {
class Application;
}

namespace orvanta::gui {

// The Qt view of one engine window. It follows the model's caption, enabled state, visibility
// and twip geometry on its frame (the MDI frame around it, or itself when it stands alone) and
// leaves the content to the subclass.
class WindowView : public QWidget {
    Q_OBJECT
public:
    WindowView(Window& model, Application& app, QWidget* parent = nullptr);
    ~WindowView() override;

    // The engine window, or nullptr once the engine has closed it.
    Window* model() const { return model_; }
    Application& app() const { return app_; }

    // The engine closes the window: stop following it before it is destroyed.
    void detach();

    // The widget that is the window on screen.
    QWidget& frame();

    // Brings frame and content up to date with the model.
    void refresh();

    // The user asked to close the window (title-bar button); the engine decides.
    virtual void closeRequested();

protected:
    virtual void refreshContent() = 0;
    // Places the controls for the frame's present size; opening is true the first time.
    virtual void layoutContent(bool /*opening*/) {}
    // The frame's size in pixels when the model sets none.
    virtual QSize designFrameSize();

    void resizeEvent(QResizeEvent* event) override;

private:
    void applyGeometry(const TwipGeometry& geometry);

    Window* model_;
    Application& app_;
    int subscription_ = 0;
    std::optional<TwipGeometry> appliedGeometry_;
    bool laidOut_ = false;
};

// Qt text from engine text (UTF-8).
inline QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}

} // namespace orvanta::gui
