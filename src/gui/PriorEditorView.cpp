#include "gui/PriorEditorView.h"

#include "gui/ControlBinding.h"
#include "gui/EngineMenuBar.h"
#include "gui/GridCellView.h"
#include "gui/MainWindowView.h"
#include "gui/Twips.h"
#include "priors/PriorEditor.h"

#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace orvanta::gui {

namespace {
constexpr int cellPadding = 12; // pixels around a cell's text
const char* const widestTerm = "-8.888E-888";
const char* const widestType = "Uniform - unbounded";
} // namespace

PriorEditorView::PriorEditorView(PriorEditor& editor, Application& app, MainWindowView& mainWindow)
    : WindowView(editor, app)
{
    menus_ = std::make_unique<EngineMenuBar>(
        *this, "mnuSetPriors", mainWindow.mdiArea(),
        [this](const std::string& name) { forward([&name](PriorEditor& e) { e.menuChosen(name); }); });
    menus_->build(editor.menus());
    label_ = makePlainLabel("Lbl1", this);
    createGrid();

    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(&menus_->bar());
    layout->setContentsMargins(10, 8, 10, 10);
    layout->setSpacing(6);
    layout->addWidget(label_);
    layout->addWidget(grid_, 1);
}

PriorEditorView::~PriorEditorView() = default;

PriorEditor* PriorEditorView::editor() const
{
    return static_cast<PriorEditor*>(model());
}

template <typename Action> void PriorEditorView::forward(Action action)
{
    // The view must not touch the editor afterwards: it may be closed and gone.
    if (PriorEditor* e = editor())
        action(*e);
}

QAction* PriorEditorView::action(const std::string& name) const
{
    return menus_->action(name);
}

void PriorEditorView::createGrid()
{
    grid_ = new QTableWidget(this);
    setUpEditorGrid(*grid_, "grdSetPriors", priorGridColumn::count);
    grid_->horizontalHeader()->setSectionsClickable(true);

    // The grid's rows start below the two heading rows of the engine's grid.
    connect(grid_, &QTableWidget::cellClicked, this, [this](int row, int /*column*/) {
        forward([=](PriorEditor& e) { e.grdSetPriors_Click(row + PriorEditor::headingRows); });
    });
    connect(grid_->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int /*column*/) { forward([](PriorEditor& e) { e.grdSetPriors_Click(0); }); });
}

void PriorEditorView::fitColumns()
{
    // The design widths, widened where this screen's font needs more room.
    const TwipScale scale(*grid_);
    const int termWidth = grid_->fontMetrics().horizontalAdvance(QLatin1String(widestTerm)) + 2 * cellPadding;
    const int typeWidth = grid_->fontMetrics().horizontalAdvance(QLatin1String(widestType)) + 2 * cellPadding;
    for (int column = 0; column < priorGridColumn::count; ++column) {
        const bool holdsTerms = column >= priorGridColumn::firstMean && column <= priorGridColumn::secondSD;
        grid_->setColumnWidth(
            column, std::max({scale.x(PriorEditor::columnWidth(column)),
                              grid_->horizontalHeader()->sectionSizeHint(column), holdsTerms ? termWidth : 0,
                              column == priorGridColumn::type ? typeWidth : 0}));
    }
}

void PriorEditorView::refreshContent()
{
    const PriorEditor& e = *editor();
    label_->setText(qs(e.label()));
    refreshGrid(e);
    menus_->refresh(e.menus());
}

void PriorEditorView::refreshGrid(const PriorEditor& editor)
{
    const int dataRows = std::max(0, editor.rowCount() - PriorEditor::headingRows);
    if (grid_->rowCount() != dataRows)
        grid_->setRowCount(dataRows);
    for (int column = 0; column < priorGridColumn::count; ++column) {
        const GridCell top = editor.cell(0, column);
        const GridCell bottom = editor.cell(1, column);
        QTableWidgetItem* heading = grid_->horizontalHeaderItem(column);
        heading->setText(qs(top.text + "\n" + bottom.text));
        heading->setTextAlignment(qtAlignment(bottom.alignment));
    }
    if (!columnsFitted_) {
        fitColumns();
        columnsFitted_ = true;
    }
    for (int row = 0; row < dataRows; ++row) {
        for (int column = 0; column < priorGridColumn::count; ++column) {
            QTableWidgetItem* item = grid_->item(row, column);
            if (!item) {
                item = new QTableWidgetItem;
                grid_->setItem(row, column, item);
            }
            showGridCell(*item, editor.cell(row + PriorEditor::headingRows, column));
            if (column == priorGridColumn::description)
                item->setToolTip(item->text());
        }
    }
    // The grid's current cell, which has the focus frame, follows the selected row.
    const int selected = editor.selectedRow() - PriorEditor::headingRows;
    if (selected >= 0 && selected < dataRows && grid_->currentRow() != selected)
        grid_->setCurrentCell(selected, grid_->currentColumn() < 0 ? 0 : grid_->currentColumn());
}

void PriorEditorView::layoutContent(bool opening)
{
    // The design's menus stood in the main window's menu bar; here they are the window's own, and
    // the window opens wide enough to show all of them.
    const int menusWidth = menus_->bar().sizeHint().width() + frame().width() - width();
    if (opening && frame().width() < menusWidth)
        frame().resize(menusWidth, frame().height());
}

void PriorEditorView::closeRequested()
{
    // Closing the window finishes the editing, as "&Finished" does.
    forward([](PriorEditor& e) { e.closeRequested(); });
}

WindowView* makePriorEditorView(Window& window, Application& app, MainWindowView& mainWindow)
{
    if (auto* model = dynamic_cast<PriorEditor*>(&window))
        return new PriorEditorView(*model, app, mainWindow);
    return nullptr;
}

} // namespace orvanta::gui
