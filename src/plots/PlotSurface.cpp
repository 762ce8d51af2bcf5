#include "plots/PlotSurface.h"

#include <cstddef>

namespace orvanta {

namespace {

PlotPrimitive primitive(PlotPrimitive::Kind kind, double x1, double y1, int colour)
{
    PlotPrimitive p;
    p.kind = kind;
    p.x1 = x1;
    p.y1 = y1;
    p.colour = colour;
    return p;
}

} // namespace

void PlotSurface::clear()
{
    primitives_.assign(1, PlotPrimitive{});
}

void PlotSurface::line(double x1, double y1, double x2, double y2, int colour, LineStyle style)
{
    PlotPrimitive p = primitive(PlotPrimitive::Kind::Line, x1, y1, colour);
    p.x2 = x2;
    p.y2 = y2;
    p.style = style;
    primitives_.push_back(std::move(p));
}

void PlotSurface::point(double x, double y, int colour)
{
    primitives_.push_back(primitive(PlotPrimitive::Kind::Point, x, y, colour));
}

void PlotSurface::filledCircle(double x, double y, double radius, int colour)
{
    PlotPrimitive p = primitive(PlotPrimitive::Kind::Circle, x, y, colour);
    p.radius = radius;
    primitives_.push_back(std::move(p));
}

void PlotSurface::filledBox(double x1, double y1, double x2, double y2, int colour)
{
    PlotPrimitive p = primitive(PlotPrimitive::Kind::Box, x1, y1, colour);
    p.x2 = x2;
    p.y2 = y2;
    primitives_.push_back(std::move(p));
}

void PlotSurface::text(double left, double top, std::string text, int colour)
{
    PlotPrimitive p = primitive(PlotPrimitive::Kind::Text, left, top, colour);
    p.text = std::move(text);
    primitives_.push_back(std::move(p));
}

double textWidth(const std::string& text)
{
    std::size_t longest = 0;
    std::size_t current = 0;
    for (const char c : text) {
        if (c == '\n') {
            current = 0;
            continue;
        }
        // Count characters, not the continuation bytes of UTF-8.
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80 && ++current > longest)
            longest = current;
    }
    return static_cast<double>(longest) * textCharacterWidth;
}

std::vector<PlotPrimitive> PlotSurface::primitivesOf(PlotPrimitive::Kind kind) const
{
    std::vector<PlotPrimitive> found;
    for (const PlotPrimitive& p : primitives_)
        if (p.kind == kind)
            found.push_back(p);
    return found;
}

PlotPicture makePicture(const PlotSurface& surface, const std::vector<PictureCaption>& captions)
{
    PlotSurface picture(surface.width(), surface.height());
    PlotPicture result{surface.width(), surface.height(), surface.primitives()};
    for (const StaticLine& line : surface.staticLines()) {
        picture.line(line.x1, line.y1, line.x2, line.y2, 0);
        result.primitives.push_back(picture.primitives().back());
    }
    for (const PictureCaption& caption : captions) {
        if (caption.text.empty())
            continue;
        picture.text(caption.left, caption.top, caption.text);
        result.primitives.push_back(picture.primitives().back());
    }
    return result;
}

} // namespace orvanta
