#include "gui/GridCellView.h"

#include "gui/ClassicPalette.h"
#include "gui/WindowView.h"

#include <QBrush>
#include <QTableWidgetItem>

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

void showGridCell(QTableWidgetItem& item, const GridCell& cell)
{
    const CellColours colours = coloursOf(cell.role);
    item.setText(qs(cell.text));
    item.setTextAlignment(qtAlignment(cell.alignment));
    item.setForeground(classicPaletteColour(colours.foreground));
    item.setBackground(colours.background ? QBrush(classicPaletteColour(*colours.background)) : QBrush());
}

} // namespace orvanta::gui
