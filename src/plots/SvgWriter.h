#pragma once

// An SVG picture of a PlotPicture, without Qt, so that every program can write plot pictures.
// One SVG user unit is one twip; the picture's width and height are given in inches as well, so
// a viewer shows it at the size the window design gives it. Primitives are written in order on a
// white background; dashed and dotted lines use dash arrays close to the look of the screen.
// Texts (UTF-8) are "Courier New"-like monospace at 8 points, each line of a multi-line text one <text>.

#include "plots/PlotSurface.h"

#include <string>

namespace orvanta {

std::string writeSvg(const PlotPicture& picture);

} // namespace orvanta
