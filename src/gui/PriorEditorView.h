#pragma once

#include "gui/WindowView.h"

#include <memory>
#include <string>

class QAction;
class QLabel;
class QTableWidget;

namespace orvanta {
class PriorEditor;
}

namespace orvanta::gui {

class EngineMenuBar;
class MainWindowView;

// "frmSetPriors": the label, the grid grdSetPriors (its two heading rows as two-line column
// headings) and the editor's own menus. Clicks on the grid and menu choices go to the engine;
// the view shows every cell in the engine's colours.
class PriorEditorView : public WindowView {
    Q_OBJECT
public:
    PriorEditorView(PriorEditor& editor, Application& app, MainWindowView& mainWindow);
    ~PriorEditorView() override;

    QTableWidget& grid() const { return *grid_; }
    QAction* action(const std::string& name) const;

    void closeRequested() override;

protected:
    void refreshContent() override;
    void layoutContent(bool opening) override;

private:
    PriorEditor* editor() const;
    void createGrid();
    void fitColumns();
    void refreshGrid(const PriorEditor& editor);
    // Runs an action of the engine editor; closing actions destroy it on the way.
    template <typename Action> void forward(Action action);

    std::unique_ptr<EngineMenuBar> menus_;
    QLabel* label_ = nullptr;
    QTableWidget* grid_ = nullptr;
    bool columnsFitted_ = false; // to the headings, once they are shown
};

// The view of the prior editor, for DesktopView::addViewFactory.
WindowView* makePriorEditorView(Window& window, Application& app, MainWindowView& mainWindow);

} // namespace orvanta::gui
