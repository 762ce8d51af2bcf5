#pragma once

// The standard 16-colour palette by code: 0 black, 1 blue, 2 green, 3 cyan, 4 red, 5 magenta,
// 6 brown, 7 light grey, 8 grey, 9 light blue, 10 light green, 11 light cyan, 12 light red,
// 13 light magenta, 14 light yellow, 15 white.

#include <array>
#include <cstdint>
#include <string>

namespace orvanta {

namespace paletteCode {
inline constexpr int black = 0;
inline constexpr int white = 15;
} // namespace paletteCode

// The colour of a code as 0xRRGGBB; a code outside 0..15 gives black.
inline std::uint32_t paletteRgb(int code)
{
    static constexpr std::array<std::uint32_t, 16> colours = {
        0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
        0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF,
    };
    if (code < 0 || code >= static_cast<int>(colours.size()))
        return colours[0];
    return colours[static_cast<std::size_t>(code)];
}

// "#RRGGBB", as SVG and style sheets write a colour.
std::string paletteHex(int code);

} // namespace orvanta
