#pragma once

#include <memory>

namespace orvanta {
class Application;
class TarnfieldModel;
} // namespace orvanta

namespace orvanta::gui {

class DesktopView;
class MainWindowView;

// The Qt windows of one running application: the main window and the views of the engine's
// child windows, wired to the engine for as long as this object lives. It also owns the model
// that the tools work on; the application's tools must not run once the session has ended.
class GuiSession {
public:
    explicit GuiSession(Application& app);
    ~GuiSession();
    GuiSession(const GuiSession&) = delete;
    GuiSession& operator=(const GuiSession&) = delete;

    MainWindowView& mainWindow() const { return *mainWindow_; }
    DesktopView& desktop() const { return *desktop_; }
    TarnfieldModel& model() const { return *model_; }

private:
    Application& app_;
    std::unique_ptr<TarnfieldModel> model_;
    std::unique_ptr<MainWindowView> mainWindow_;
    std::unique_ptr<DesktopView> desktop_;
};

} // namespace orvanta::gui
