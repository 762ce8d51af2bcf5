#include "plots/PlotPalette.h"

#include <cstdio>

namespace orvanta {

std::string paletteHex(int code)
{
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "#%06X", static_cast<unsigned>(paletteRgb(code)));
    return buffer;
}

} // namespace orvanta
