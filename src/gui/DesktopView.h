#pragma once

#include "ui/Desktop.h"

#include <QPointer>

#include <functional>
#include <map>
#include <vector>

namespace orvanta {
class Application;
}

namespace orvanta::gui {

class MainWindowView;
class WindowView;

// Creates and destroys the Qt views of the engine's child windows as the engine opens and
// closes them: views of ordinary windows live in the main window's MDI area, views of windows
// that stand alone are windows of their own above the main window.
class DesktopView final : public DesktopObserver {
public:
    // Makes the view of a window it knows, or returns nullptr for the next factory to try.
    using ViewFactory = std::function<WindowView*(Window&, Application&, MainWindowView&)>;

    DesktopView(Application& app, MainWindowView& mainWindow);
    ~DesktopView() override;
    DesktopView(const DesktopView&) = delete;
    DesktopView& operator=(const DesktopView&) = delete;

    // Views for the windows of further tools; tried before the built-in ones.
    void addViewFactory(ViewFactory factory);

    // The view of an open window, or nullptr when it has none.
    WindowView* viewOf(const Window& window) const;

    void windowOpened(Window& window) override;
    void windowClosed(Window& window) override;
    void windowRaised(Window& window) override;

private:
    WindowView* makeView(Window& window);
    void showInMdiArea(WindowView& view);
    void showStandingAlone(WindowView& view);

    Application& app_;
    MainWindowView& mainWindow_;
    std::vector<ViewFactory> factories_;
    std::map<const Window*, QPointer<WindowView>> views_;
};

} // namespace orvanta::gui
