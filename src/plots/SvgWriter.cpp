#include "plots/SvgWriter.h"

#include "plots/PlotPalette.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace orvanta {

namespace {

constexpr double twipsPerInch = 1440.0;
constexpr double lineWidth = 15.0;    // one pixel at 96 dpi
constexpr double textHeight = 160.0;  // 8 points
constexpr double lineSpacing = 195.0; // between the lines of one text

// A coordinate as SVG wants it: short, locale-free, no exponent.
std::string number(double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.2f", value);
    std::string text = buffer;
    while (!text.empty() && text.back() == '0')
        text.pop_back();
    if (!text.empty() && text.back() == '.')
        text.pop_back();
    return text == "-0" ? "0" : text;
}

std::string escaped(const std::string& text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string dashArray(LineStyle style)
{
    switch (style) {
    case LineStyle::Dashed:
        return " stroke-dasharray=\"90 45\"";
    case LineStyle::Dotted:
        return " stroke-dasharray=\"15 30\"";
    case LineStyle::Solid:
        break;
    }
    return {};
}

void writePrimitive(std::ostringstream& svg, const PlotPrimitive& p)
{
    const std::string colour = paletteHex(p.colour);
    switch (p.kind) {
    case PlotPrimitive::Kind::Clear:
        svg << "<rect x=\"0\" y=\"0\" width=\"100%\" height=\"100%\" fill=\"#FFFFFF\"/>\n";
        break;
    case PlotPrimitive::Kind::Line:
        svg << "<line x1=\"" << number(p.x1) << "\" y1=\"" << number(p.y1) << "\" x2=\"" << number(p.x2)
            << "\" y2=\"" << number(p.y2) << "\" stroke=\"" << colour << "\" stroke-width=\""
            << number(lineWidth) << "\"" << dashArray(p.style) << "/>\n";
        break;
    case PlotPrimitive::Kind::Point:
        svg << "<rect x=\"" << number(p.x1 - lineWidth / 2) << "\" y=\"" << number(p.y1 - lineWidth / 2)
            << "\" width=\"" << number(lineWidth) << "\" height=\"" << number(lineWidth) << "\" fill=\""
            << colour << "\"/>\n";
        break;
    case PlotPrimitive::Kind::Circle:
        svg << "<circle cx=\"" << number(p.x1) << "\" cy=\"" << number(p.y1) << "\" r=\"" << number(p.radius)
            << "\" fill=\"" << colour << "\" stroke=\"" << colour << "\" stroke-width=\"" << number(lineWidth)
            << "\"/>\n";
        break;
    case PlotPrimitive::Kind::Box: {
        const double left = std::min(p.x1, p.x2);
        const double top = std::min(p.y1, p.y2);
        svg << "<rect x=\"" << number(left) << "\" y=\"" << number(top) << "\" width=\""
            << number(std::max(p.x1, p.x2) - left) << "\" height=\"" << number(std::max(p.y1, p.y2) - top)
            << "\" fill=\"" << colour << "\" stroke=\"" << colour << "\" stroke-width=\"" << number(lineWidth)
            << "\"/>\n";
        break;
    }
    case PlotPrimitive::Kind::Text: {
        std::istringstream lines(p.text);
        std::string line;
        double baseline = p.y1 + textHeight;
        while (std::getline(lines, line)) {
            if (!line.empty())
                svg << "<text x=\"" << number(p.x1) << "\" y=\"" << number(baseline) << "\" fill=\"" << colour
                    << "\" xml:space=\"preserve\">" << escaped(line) << "</text>\n";
            baseline += lineSpacing;
        }
        break;
    }
    }
}

} // namespace

std::string writeSvg(const PlotPicture& picture)
{
    std::ostringstream svg;
    svg << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\""
        << number(picture.width / twipsPerInch) << "in\" height=\"" << number(picture.height / twipsPerInch)
        << "in\" viewBox=\"0 0 " << number(picture.width) << " " << number(picture.height) << "\">\n"
        << "<g font-family=\"Courier New, Liberation Mono, DejaVu Sans Mono, monospace\" font-size=\""
        << number(textHeight) << "\" stroke-linecap=\"butt\">\n";
    for (const PlotPrimitive& p : picture.primitives)
        writePrimitive(svg, p);
    svg << "</g>\n</svg>\n";
    return svg.str();
}

} // namespace orvanta
