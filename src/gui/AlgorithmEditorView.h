#pragma once

#include "gui/WindowView.h"

#include <map>
#include <memory>
#include <string>

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace orvanta {
class AlgorithmEditor;
enum class OptionBox;
} // namespace orvanta

namespace orvanta::gui {

class EditorGridWidget;
class EditorLineEdit;
class EngineMenuBar;
class MainWindowView;

// "frmAlgo": the parameter grid grdVS, the minimization options beside it, the notes, the
// log buttons and the editor's own menus. Double-clicks, edits, leaving a box, clicks and
// menu choices go to the engine; the view shows the result, cell by cell in the engine's
// colours.
class AlgorithmEditorView : public WindowView {
    Q_OBJECT
public:
    AlgorithmEditorView(AlgorithmEditor& editor, Application& app, MainWindowView& mainWindow);
    ~AlgorithmEditorView() override;

    QTableWidget& grid() const;
    QLineEdit& cellEditor() const;
    QAction* action(const std::string& name) const;

    void closeRequested() override;

protected:
    void refreshContent() override;
    void layoutContent(bool opening) override;

private:
    AlgorithmEditor* editor() const;
    void createGrid();
    void createCellEditor();
    void createPanel(const AlgorithmEditor& editor);
    void createMenus(const AlgorithmEditor& editor);
    void arrange();
    void fitNarrowColumns();
    void fitDescriptionColumn();

    void refreshGrid(const AlgorithmEditor& editor);
    void refreshCellEditor(const AlgorithmEditor& editor);
    void refreshPanel(const AlgorithmEditor& editor);
    void placeCellEditor();
    // Runs an action of the engine editor; closing actions destroy it on the way.
    template <typename Action> void forward(Action action);

    MainWindowView& mainWindow_;
    std::unique_ptr<EngineMenuBar> menus_;
    EditorGridWidget* grid_ = nullptr;
    EditorLineEdit* cellEditor_ = nullptr;
    QGroupBox* optionsFrame_ = nullptr;
    QLabel* toleranceLabel_ = nullptr;
    EditorLineEdit* toleranceBox_ = nullptr;
    QLabel* simplexLabel_ = nullptr;
    QLabel* marquardtLabel_ = nullptr;
    QLabel* terminalLabel_ = nullptr;
    QGroupBox* logFrame_ = nullptr;
    QLabel* logNameLabel_ = nullptr;
    QLineEdit* logNameBox_ = nullptr;
    QLabel* fileFrequencyLabel_ = nullptr;
    QPushButton* openLog_ = nullptr;
    QPushButton* closeLog_ = nullptr;
    QLabel* reductionLabel_ = nullptr;
    std::map<OptionBox, EditorLineEdit*> boxes_;
    QLabel* note1_ = nullptr;
    QLabel* note2_ = nullptr;
    QLabel* doubleClickNote_ = nullptr;
    QPushButton* update_ = nullptr;
    QPushButton* finish_ = nullptr;
    int cellEditorSerial_ = 0; // the engine's last edit that was placed
    int focusSerial_ = 0;      // the engine's last focus request that was followed
    int shownEditingRow_ = 0;
};

// The view of the algorithm editor, for DesktopView::addViewFactory.
WindowView* makeAlgorithmEditorView(Window& window, Application& app, MainWindowView& mainWindow);

} // namespace orvanta::gui
