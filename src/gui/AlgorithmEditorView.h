#pragma once

#include "gui/WindowView.h"

#include <map>
#include <string>

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenuBar;
class QPushButton;
class QTableWidget;

namespace orvanta {
class AlgorithmEditor;
enum class OptionBox;
struct MenuEntry;
} // namespace orvanta

namespace orvanta::gui {

class EditorGridWidget;
class EditorLineEdit;
class MainWindowView;

// "frmAlgo": the parameter grid grdVS, the minimization options beside it, the notes, the
// log buttons and the editor's own menus. Double-clicks, edits, leaving a box, clicks and
// menu choices go to the engine; the view shows the result, cell by cell in the engine's
// colours.
class AlgorithmEditorView : public WindowView {
    Q_OBJECT
public:
    AlgorithmEditorView(AlgorithmEditor& editor, Application& app, MainWindowView& mainWindow);

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
    void addMenuEntry(QMenuBar& bar, const MenuEntry& entry);
    QAction* makeAction(const MenuEntry& entry, QObject* parent);
    void arrange();
    void fitNarrowColumns();
    void fitDescriptionColumn();

    void refreshGrid(const AlgorithmEditor& editor);
    void refreshCellEditor(const AlgorithmEditor& editor);
    void refreshPanel(const AlgorithmEditor& editor);
    void refreshMenus(const AlgorithmEditor& editor);
    void placeCellEditor();
    void menuChosen(const std::string& name);
    // Runs an action of the engine editor; closing actions destroy it on the way.
    template <typename Action> void forward(Action action);

    MainWindowView& mainWindow_;
    QMenuBar* menuBar_ = nullptr;
    std::map<std::string, QAction*> actions_;
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
