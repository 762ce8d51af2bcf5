#pragma once

#include "gui/WindowView.h"

#include <map>
#include <string>

class QPushButton;

namespace orvanta {
class LoadPriorsWindow;
}

namespace orvanta::gui {

class MainWindowView;

// "frmLoadPriors": four buttons one above another; a click and the close box go to the engine.
class LoadPriorsWindowView : public WindowView {
    Q_OBJECT
public:
    LoadPriorsWindowView(LoadPriorsWindow& window, Application& app);

    QPushButton* button(const std::string& name) const;
    void closeRequested() override;

protected:
    void refreshContent() override;

private:
    std::map<std::string, QPushButton*> buttons_;
};

// The view of the load-priors window, for DesktopView::addViewFactory.
WindowView* makeLoadPriorsWindowView(Window& window, Application& app, MainWindowView& mainWindow);

} // namespace orvanta::gui
