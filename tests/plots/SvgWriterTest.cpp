#include "plots/SvgWriter.h"

#include <gtest/gtest.h>

namespace orvanta {
namespace {

TEST(PlotSurface, ClearStartsTheListAgainAndStaticLinesStay)
{
    PlotSurface surface(1000, 800);
    surface.addStaticLine({"Xaxis", 0, 700, 1000, 700});
    surface.line(1, 2, 3, 4, 2, LineStyle::Dashed);
    surface.filledCircle(10, 20, 30, 4);
    ASSERT_EQ(surface.primitives().size(), 3u);
    EXPECT_EQ(surface.primitives()[1].style, LineStyle::Dashed);
    surface.clear();
    ASSERT_EQ(surface.primitives().size(), 1u);
    EXPECT_EQ(surface.primitives()[0].kind, PlotPrimitive::Kind::Clear);
    EXPECT_EQ(surface.staticLines().size(), 1u);
}

TEST(PlotPicture, SurfaceThenStaticLinesThenCaptions)
{
    PlotSurface surface(1000, 800);
    surface.addStaticLine({"Yaxis", 10, 0, 10, 700});
    surface.filledBox(5, 6, 50, 60, 12);
    const PlotPicture picture = makePicture(surface, {{100, 200, "Y-Max =  1"}, {0, 0, ""}});
    ASSERT_EQ(picture.primitives.size(), 4u); // clear, box, axis, one caption (empty ones left out)
    EXPECT_EQ(picture.primitives[2].kind, PlotPrimitive::Kind::Line);
    EXPECT_EQ(picture.primitives[3].text, "Y-Max =  1");
    EXPECT_EQ(picture.width, 1000.0);
}

TEST(SvgWriter, WritesEveryPrimitiveInTwipsWithPaletteColours)
{
    PlotSurface surface(1440, 720);
    surface.line(0, 10, 100.5, 10, 1, LineStyle::Dotted);
    surface.line(0, 20, 100, 20, 0, LineStyle::Dashed);
    surface.filledCircle(50, 60, 30, 12);
    surface.filledBox(100, 90, 10, 20, 14);
    surface.point(7, 8, 2);
    surface.text(5, 6, "a < b & c\nr \xC2\xB0", 0);
    const std::string svg = writeSvg(makePicture(surface, {}));
    EXPECT_EQ(
        svg.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\"", 0),
        0u);
    EXPECT_NE(svg.find("width=\"1in\" height=\"0.5in\" viewBox=\"0 0 1440 720\""), std::string::npos);
    EXPECT_NE(svg.find("<rect x=\"0\" y=\"0\" width=\"100%\" height=\"100%\" fill=\"#FFFFFF\"/>"),
              std::string::npos);
    EXPECT_NE(
        svg.find("<line x1=\"0\" y1=\"10\" x2=\"100.5\" y2=\"10\" stroke=\"#000080\" stroke-width=\"15\" "
                 "stroke-dasharray=\"15 30\"/>"),
        std::string::npos);
    EXPECT_NE(svg.find("stroke=\"#000000\" stroke-width=\"15\" stroke-dasharray=\"90 45\"/>"),
              std::string::npos);
    EXPECT_NE(svg.find("<circle cx=\"50\" cy=\"60\" r=\"30\" fill=\"#FF0000\" stroke=\"#FF0000\""),
              std::string::npos);
    EXPECT_NE(svg.find("<rect x=\"10\" y=\"20\" width=\"90\" height=\"70\" fill=\"#FFFF00\""),
              std::string::npos);
    EXPECT_NE(svg.find(">a &lt; b &amp; c</text>"), std::string::npos);
    EXPECT_NE(svg.find(">r \xC2\xB0</text>"), std::string::npos);
    EXPECT_EQ(svg.substr(svg.size() - 12), "</g>\n</svg>\n");
}

} // namespace
} // namespace orvanta
