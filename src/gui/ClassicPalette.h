#pragma once

#include <QColor>

#include <array>

namespace orvanta::gui {

// The colours of the classic 16-colour palette by number (0 black, 1 blue, 2 green, 12 light
// red, 15 white and so on); a number outside 0..15 gives black.
inline QColor classicPaletteColour(int number)
{
    static const std::array<QRgb, 16> colours = {
        0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
        0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF,
    };
    if (number < 0 || number >= static_cast<int>(colours.size()))
        return QColor(colours[0]);
    return QColor(colours[static_cast<std::size_t>(number)]);
}

} // namespace orvanta::gui
