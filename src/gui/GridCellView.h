#pragma once

#include "algorithm/EditorGrid.h"

#include <Qt>

class QTableWidgetItem;

namespace orvanta::gui {

Qt::Alignment qtAlignment(CellAlignment alignment);

// The engine cell's text, alignment and the colours of its role in a grid item.
void showGridCell(QTableWidgetItem& item, const GridCell& cell);

} // namespace orvanta::gui
