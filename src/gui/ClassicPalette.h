#pragma once

#include "plots/PlotPalette.h"

#include <QColor>

namespace orvanta::gui {

// The colours of the classic 16-colour palette by number (0 black, 1 blue, 2 green, 12 light
// red, 15 white and so on); a number outside 0..15 gives black.
inline QColor classicPaletteColour(int number)
{
    return QColor(static_cast<QRgb>(paletteRgb(number)));
}

} // namespace orvanta::gui
