#include "gui/DesktopView.h"

#include "app/Application.h"
#include "app/InfoWindows.h"
#include "app/MainMenu.h"
#include "gui/HelpWindowView.h"
#include "gui/InfoWindowView.h"
#include "gui/MainMenuView.h"
#include "gui/MainWindowView.h"
#include "gui/ReportWindowView.h"
#include "ui/ReportWindow.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace orvanta::gui {

namespace {

// The MDI frame of a view: its title-bar close button asks the engine instead of closing.
class ChildFrame final : public QMdiSubWindow {
public:
    using QMdiSubWindow::QMdiSubWindow;

protected:
    void closeEvent(QCloseEvent* event) override
    {
        event->ignore();
        if (auto* view = qobject_cast<WindowView*>(widget()))
            view->closeRequested();
    }
};

template <typename Model, typename View> DesktopView::ViewFactory factoryFor()
{
    return [](Window& window, Application& app, MainWindowView&) -> WindowView* {
        if (auto* model = dynamic_cast<Model*>(&window))
            return new View(*model, app);
        return nullptr;
    };
}

WindowView* makeInfoWindowView(Window& window, Application& app, MainWindowView& mainWindow)
{
    if (auto* model = dynamic_cast<InfoWindow*>(&window))
        return new InfoWindowView(*model, app, &mainWindow);
    return nullptr;
}

} // namespace

DesktopView::DesktopView(Application& app, MainWindowView& mainWindow) : app_(app), mainWindow_(mainWindow)
{
    factories_ = {
        factoryFor<MainMenuWindow, MainMenuView>(),
        factoryFor<ReportWindow, ReportWindowView>(),
        factoryFor<HelpWindow, HelpWindowView>(),
        makeInfoWindowView,
    };
}

DesktopView::~DesktopView()
{
    for (auto& [window, view] : views_)
        if (view)
            view->detach();
}

void DesktopView::addViewFactory(ViewFactory factory)
{
    factories_.insert(factories_.begin(), std::move(factory));
}

WindowView* DesktopView::viewOf(const Window& window) const
{
    const auto it = views_.find(&window);
    return it == views_.end() ? nullptr : it->second.data();
}

WindowView* DesktopView::makeView(Window& window)
{
    for (const ViewFactory& factory : factories_)
        if (WindowView* view = factory(window, app_, mainWindow_))
            return view;
    return nullptr;
}

void DesktopView::windowOpened(Window& window)
{
    WindowView* view = makeView(window);
    if (!view)
        return; // a window whose tool has no view yet
    views_[&window] = view;
    if (window.standsAlone())
        showStandingAlone(*view);
    else
        showInMdiArea(*view);
}

void DesktopView::showInMdiArea(WindowView& view)
{
    auto* frame = new ChildFrame;
    frame->setObjectName(qs(view.model()->name()));
    frame->setWidget(&view);
    frame->setWindowIcon(mainWindow_.windowIcon());
    frame->setAttribute(Qt::WA_DeleteOnClose, false);
    mainWindow_.mdiArea().addSubWindow(frame);
    view.refresh();
}

void DesktopView::showStandingAlone(WindowView& view)
{
    view.setObjectName(qs(view.model()->name()));
    view.setWindowIcon(mainWindow_.windowIcon());
    view.refresh();
    view.raise();
    view.activateWindow();
}

void DesktopView::windowClosed(Window& window)
{
    const auto it = views_.find(&window);
    if (it == views_.end())
        return;
    QPointer<WindowView> view = it->second;
    views_.erase(it);
    if (!view)
        return;
    const bool standsAlone = view->isWindow();
    view->detach();
    // The close may come from inside the view's own event handler: delete it later.
    QWidget& frame = view->frame();
    frame.hide();
    frame.deleteLater();
    if (standsAlone)
        mainWindow_.activateWindow();
}

void DesktopView::windowRaised(Window& window)
{
    WindowView* view = viewOf(window);
    if (!view)
        return;
    QWidget& frame = view->frame();
    if (auto* subWindow = qobject_cast<QMdiSubWindow*>(&frame))
        mainWindow_.mdiArea().setActiveSubWindow(subWindow);
    frame.raise();
    if (frame.isWindow())
        frame.activateWindow();
}

} // namespace orvanta::gui
