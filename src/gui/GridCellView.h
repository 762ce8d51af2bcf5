#pragma once

#include "algorithm/EditorGrid.h"

#include <Qt>

class QTableWidget;
class QTableWidgetItem;

namespace orvanta::gui {

Qt::Alignment qtAlignment(CellAlignment alignment);

// An editor's grid as the engine draws it: named, columnCount columns with heading items, no row
// headings, no selection or editing of its own (the engine marks and edits), rows one line high.
void setUpEditorGrid(QTableWidget& grid, const char* name, int columnCount);

// The engine cell's text, alignment and the colours of its role in a grid item.
void showGridCell(QTableWidgetItem& item, const GridCell& cell);

} // namespace orvanta::gui
