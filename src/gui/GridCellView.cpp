#include "gui/GridCellView.h"

#include "gui/ClassicPalette.h"
#include "gui/WindowView.h"

#include <QBrush>
#include <QHeaderView>
#include <QTableWidget>

namespace orvanta::gui {

Qt::Alignment qtAlignment(CellAlignment alignment)
{
    switch (alignment) {
    case CellAlignment::Centre:
        return Qt::AlignCenter;
    case CellAlignment::Right:
        return Qt::AlignRight | Qt::AlignVCenter;
    case CellAlignment::Left:
        break;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

void setUpEditorGrid(QTableWidget& grid, const char* name, int columnCount)
{
    grid.setObjectName(QString::fromLatin1(name));
    grid.setColumnCount(columnCount);
    grid.verticalHeader()->hide();
    grid.verticalHeader()->setDefaultSectionSize(grid.fontMetrics().height() + 6);
    grid.horizontalHeader()->setHighlightSections(false);
    grid.setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    grid.setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid.setSelectionMode(QAbstractItemView::NoSelection);
    grid.setWordWrap(false);
    for (int column = 0; column < columnCount; ++column)
        grid.setHorizontalHeaderItem(column, new QTableWidgetItem);
}

void showGridCell(QTableWidgetItem& item, const GridCell& cell)
{
    const CellColours colours = coloursOf(cell.role);
    item.setText(qs(cell.text));
    item.setTextAlignment(qtAlignment(cell.alignment));
    item.setForeground(classicPaletteColour(colours.foreground));
    item.setBackground(colours.background ? QBrush(classicPaletteColour(*colours.background)) : QBrush());
}

} // namespace orvanta::gui
