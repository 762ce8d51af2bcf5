#include "gui/GuiSession.h"

#include "app/Application.h"
#include "gui/DesktopView.h"
#include "gui/MainWindowView.h"

namespace orvanta::gui {

GuiSession::GuiSession(Application& app)
    : app_(app), mainWindow_(std::make_unique<MainWindowView>(app)),
      desktop_(std::make_unique<DesktopView>(app, *mainWindow_))
{
    app_.desktop.setObserver(desktop_.get());
    // Windows the engine opened before the views existed.
    for (Window* window : app_.desktop.windows())
        desktop_->windowOpened(*window);
}

GuiSession::~GuiSession()
{
    app_.desktop.setObserver(nullptr);
    desktop_.reset();
    mainWindow_.reset();
}

} // namespace orvanta::gui
