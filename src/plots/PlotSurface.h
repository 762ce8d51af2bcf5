#pragma once

// The drawing surface of the plot windows ("Graph"): a recorder of drawing primitives in twips.
//
// Plot code draws on a PlotSurface as it would on a picture box: it clears it, then draws lines
// (solid, dashed or dotted), points, filled circles and boxes and text in the colours of the
// standard 16-colour palette (PlotPalette.h), all at twip coordinates with y growing downwards.
// The surface keeps what was drawn since the last clear as a list of primitives, in order. Nothing
// here knows about screens or files:
//   - tests assert on the list (which lines, where, in which colour and style);
//   - the Qt painter (gui/PlotPainter.h) draws the list scaled to a widget or an image;
//   - writeSvg (plots/SvgWriter.h) turns it into an SVG picture, without Qt, so the batch program
//     writes pictures too.
// Drawing in white over earlier drawing erases it, as on a picture box: renderers paint the
// primitives in order on a white background.
//
// The surface has a fixed size in twips (the picture's extent) and may carry static lines, the
// axis lines that stand on the picture whatever is drawn or cleared.

#include <string>
#include <vector>

namespace orvanta {

enum class LineStyle { Solid, Dashed, Dotted };

// One drawing operation. Which fields count depends on the kind:
//   Clear   erases everything (only ever the first primitive of a list);
//   Line    from (x1, y1) to (x2, y2) in colour and style;
//   Point   one dot at (x1, y1);
//   Circle  centred at (x1, y1) with radius, filled and outlined in colour;
//   Box     the rectangle from corner (x1, y1) to corner (x2, y2), filled and outlined in colour;
//   Text    text with its top left corner at (x1, y1).
struct PlotPrimitive {
    enum class Kind { Clear, Line, Point, Circle, Box, Text };
    Kind kind = Kind::Clear;
    double x1 = 0.0;
    double y1 = 0.0;
    double x2 = 0.0;
    double y2 = 0.0;
    double radius = 0.0;
    int colour = 0; // palette code 0..15
    LineStyle style = LineStyle::Solid;
    std::string text;

    bool operator==(const PlotPrimitive&) const = default;
};

// A static line of the window design that stands on the surface (never erased).
struct StaticLine {
    std::string name; // e.g. "Xaxis"
    double x1 = 0.0;
    double y1 = 0.0;
    double x2 = 0.0;
    double y2 = 0.0;
};

class PlotSurface {
public:
    PlotSurface(double width, double height) : width_(width), height_(height) { clear(); }

    double width() const { return width_; }
    double height() const { return height_; }

    // Erases the surface: the list holds a single Clear afterwards.
    void clear();
    void line(double x1, double y1, double x2, double y2, int colour, LineStyle style = LineStyle::Solid);
    void point(double x, double y, int colour);
    void filledCircle(double x, double y, double radius, int colour);
    void filledBox(double x1, double y1, double x2, double y2, int colour);
    void text(double left, double top, std::string text, int colour = 0);

    // What was drawn since the last clear, in order; starts with the Clear.
    const std::vector<PlotPrimitive>& primitives() const { return primitives_; }
    // The primitives of one kind, for tests and for renderers that need them apart.
    std::vector<PlotPrimitive> primitivesOf(PlotPrimitive::Kind kind) const;

    const std::vector<StaticLine>& staticLines() const { return staticLines_; }
    void addStaticLine(StaticLine line) { staticLines_.push_back(std::move(line)); }

private:
    double width_;
    double height_;
    std::vector<PlotPrimitive> primitives_;
    std::vector<StaticLine> staticLines_;
};

// Texts are drawn in a monospace face 160 twips (8 points) high, so a character advances about
// 0.6 of that. The width of a text is that of its longest line; windows use it to keep captions
// on the surface.
inline constexpr double textCharacterWidth = 96.0;
double textWidth(const std::string& text);

// A picture to render or save: the surface's primitives and static lines, and text laid on top
// (the plot window's captions that belong to the graph, such as the axis end values).
struct PlotPicture {
    double width = 0.0;
    double height = 0.0;
    std::vector<PlotPrimitive> primitives; // in drawing order, texts last
};

// The surface's primitives, then its static lines (black, solid), then the captions as texts.
struct PictureCaption {
    double left = 0.0;
    double top = 0.0;
    std::string text; // may hold line breaks
};
PlotPicture makePicture(const PlotSurface& surface, const std::vector<PictureCaption>& captions);

} // namespace orvanta
