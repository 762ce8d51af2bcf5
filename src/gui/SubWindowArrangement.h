#pragma once

#include <optional>
#include <string>

class QMdiArea;

namespace orvanta::gui {

// The "&Window" menu's arrangements of the child windows.
enum class Arrangement {
    Cascade,
    TileHorizontal, // one above another, each the full width
    TileVertical,   // side by side, each the full height
    ArrangeIcons,   // minimized windows in a row along the bottom
};

// The arrangement a menu entry asks for, if it is one.
std::optional<Arrangement> arrangementOf(const std::string& menuEntryName);

void arrangeSubWindows(QMdiArea& area, Arrangement arrangement);

} // namespace orvanta::gui
