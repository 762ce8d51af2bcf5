// The bivariate density plot on its primitive list: grid marks before the enlargement, the cells
// and their bands with the boundary rule, the border left unpainted, the legend, the dashed lines
// with their note, the labels and the correlation.

#include "plots/BivariatePlotWindow.h"

#include "plots/SvgWriter.h"
#include "uncertainty/BivariateDensity.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace orvanta {
namespace {

using Kind = PlotPrimitive::Kind;

// An N x M grid over xs and ys with density f(x, y), its peak found as the integration finds it.
BivariateDensity gridOf(const std::vector<double>& xs, const std::vector<double>& ys,
                        const std::function<double(double, double)>& f)
{
    BivariateDensity d;
    const int n = static_cast<int>(xs.size());
    const int m = static_cast<int>(ys.size());
    d.allocate(1, 2, n, m);
    for (int i = 1; i <= n; ++i)
        d.profileValues[static_cast<std::size_t>(i)] = xs[static_cast<std::size_t>(i - 1)];
    for (int j = 1; j <= m; ++j)
        d.gridValues[static_cast<std::size_t>(j)] = ys[static_cast<std::size_t>(j - 1)];
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= m; ++j) {
            const double value = f(xs[static_cast<std::size_t>(i - 1)], ys[static_cast<std::size_t>(j - 1)]);
            d.density(i, j) = value;
            if (value > d.maxDensity) {
                d.maxDensity = value;
                d.peakProfileValue = xs[static_cast<std::size_t>(i - 1)];
                d.peakGridValue = ys[static_cast<std::size_t>(j - 1)];
            }
        }
    return d;
}

std::vector<double> evenly(double first, double step, int count)
{
    std::vector<double> values;
    for (int k = 0; k < count; ++k)
        values.push_back(first + step * k);
    return values;
}

// Boxes outside the legend: the painted cells.
std::vector<PlotPrimitive> cells(const BivariatePlotWindow& window)
{
    std::vector<PlotPrimitive> found;
    for (const PlotPrimitive& box : window.graph().primitivesOf(Kind::Box))
        if (box.x1 < bivariatePlot::legendLeft)
            found.push_back(box);
    return found;
}

TEST(BivariateBands, BoundaryValuesFallIntoTheBandNearerThePeak)
{
    EXPECT_EQ(bivariateBandColour(1.0), 12) << "the peak is light red";
    EXPECT_EQ(bivariateBandColour(std::exp(-0.125)), 6) << "exactly 0.5 SE is brown";
    EXPECT_EQ(bivariateBandColour(std::nextafter(std::exp(-0.125), 0.0)), 14)
        << "just beyond is light yellow";
    EXPECT_EQ(bivariateBandColour(std::exp(-0.5)), 14);
    EXPECT_EQ(bivariateBandColour(std::exp(-1.125)), 2);
    EXPECT_EQ(bivariateBandColour(std::exp(-2.0)), 3);
    EXPECT_EQ(bivariateBandColour(std::exp(-3.125)), 1);
    EXPECT_EQ(bivariateBandColour(std::exp(-4.5)), 5);
    EXPECT_EQ(bivariateBandColour(std::nextafter(std::exp(-4.5), 0.0)), 15) << "beyond 3 SE is white";
    EXPECT_EQ(bivariateBandColour(0.0), 15);
    const int legend[] = {0, 12, 6, 14, 2, 3, 1, 5};
    for (int band = 1; band <= 7; ++band)
        EXPECT_EQ(legendBandColour(band), legend[band]) << band;
}

TEST(BivariatePlot, ThreeByThreePaintsOnlyTheCentreCellAndShowsNoCorrelation)
{
    const BivariateDensity d = gridOf({2, 3, 4}, {5, 6, 7}, [](double x, double y) {
        return std::exp(-((x - 3) * (x - 3) + (y - 6) * (y - 6)));
    });
    BivariatePlotWindow window(d, [] {});
    const std::vector<PlotPrimitive> painted = cells(window);
    ASSERT_EQ(painted.size(), 1u);
    EXPECT_EQ(painted[0].colour, 12);
    // left = 720 - 7920 / 4 = -1260, right = 8640 + 9900 / 4 = 11115; the centre cell is the
    // middle third: from -1260 + 12375 / 3 to -1260 + 2 x 12375 / 3.
    EXPECT_DOUBLE_EQ(painted[0].x1, -1260.0 + 12375.0 / 3.0);
    EXPECT_DOUBLE_EQ(painted[0].x2, -1260.0 + 2.0 * 12375.0 / 3.0);
    EXPECT_FALSE(window.correlationShown());
    EXPECT_EQ(window.graphCaption("lblCorr").caption, "");
    EXPECT_EQ(window.graphCaption("lblLineInfo").caption, "") << "0 and 1 lie outside both ranges";
    EXPECT_EQ(window.graphCaption("lblPeak").caption, "X-Peak = 3.000E+00\nY-Peak = 6.000E+00");
    EXPECT_EQ(window.graphCaption("lblXYMax").caption, "X-Max = 4.000E+00\nY-Max = 7.000E+00");
    EXPECT_EQ(window.graphCaption("lblXYMin").caption, "X-Min = 2.000E+00\nY-Min = 5.000E+00");
    EXPECT_EQ(window.graphCaption("lblVar").caption,
              "X - Axis: Values for parameter # 1\nY - Axis: Values for parameter # 2");
}

TEST(BivariatePlot, GridMarksAreDrawnOnTheAreaBeforeItIsEnlarged)
{
    const BivariateDensity d = gridOf(evenly(2, 1, 5), evenly(5, 1, 5), [](double, double) { return 1.0; });
    BivariatePlotWindow window(d, [] {});
    const std::vector<PlotPrimitive> ticks = window.graph().primitivesOf(Kind::Line);
    ASSERT_GE(ticks.size(), 20u);
    for (int k = 0; k <= 9; ++k) {
        const PlotPrimitive& y = ticks[static_cast<std::size_t>(2 * k)];
        const PlotPrimitive& x = ticks[static_cast<std::size_t>(2 * k + 1)];
        EXPECT_EQ(y.x1, 720.0);
        EXPECT_EQ(y.x2, 820.0);
        EXPECT_EQ(y.y1, 480.0 + 624.0 * k);
        EXPECT_EQ(x.x1, 8640.0 - 792.0 * k);
        EXPECT_EQ(x.y1, 6720.0);
        EXPECT_EQ(x.y2, 6620.0);
    }
    // Every inner cell of equal densities is the peak colour; the border is left.
    EXPECT_EQ(cells(window).size(), 9u);
}

TEST(BivariatePlot, CellsFollowTheBandsAndTheCorrelationOfACorrelatedNormal)
{
    const double r = -0.5;
    const BivariateDensity d = gridOf(evenly(-4, 0.25, 33), evenly(-4, 0.25, 33), [r](double x, double y) {
        return std::exp(-(x * x - 2 * r * x * y + y * y) / (2 * (1 - r * r)));
    });
    BivariatePlotWindow window(d, [] {});
    const std::vector<PlotPrimitive> painted = cells(window);
    ASSERT_EQ(painted.size(), 31u * 31u);
    int peak = 0;
    for (const PlotPrimitive& cell : painted)
        peak += cell.colour == 12 ? 1 : 0;
    EXPECT_EQ(peak, 1);
    const std::string corr = window.graphCaption("lblCorr").caption;
    ASSERT_TRUE(corr.starts_with("       r = ")) << corr;
    EXPECT_NEAR(std::stod(corr.substr(11)), r, 2e-3);
}

TEST(BivariatePlot, ARangeSpanningZeroAndOneDrawsTwoDashedLinesAndOneNote)
{
    const BivariateDensity d =
        gridOf(evenly(-1, 0.5, 7), evenly(5, 1, 5), [](double, double) { return 1.0; });
    BivariatePlotWindow window(d, [] {});
    int vertical = 0;
    int horizontal = 0;
    for (const PlotPrimitive& line : window.graph().primitivesOf(Kind::Line)) {
        if (line.style != LineStyle::Dashed)
            continue;
        vertical += line.x1 == line.x2 ? 1 : 0;
        horizontal += line.y1 == line.y2 ? 1 : 0;
    }
    EXPECT_EQ(vertical, 2);
    EXPECT_EQ(horizontal, 0);
    EXPECT_EQ(window.graphCaption("lblLineInfo").caption, "NOTE: Dashed line(s) locate 0 and/or 1");
}

TEST(BivariatePlot, TheLegendHasSevenBandsAndTheirTexts)
{
    const BivariateDensity d = gridOf({0, 1, 2}, {0, 1, 2}, [](double, double) { return 0.0; });
    BivariatePlotWindow window(d, [] {});
    std::vector<int> colours;
    for (const PlotPrimitive& box : window.graph().primitivesOf(Kind::Box))
        colours.push_back(box.colour);
    EXPECT_EQ(colours, (std::vector<int>{12, 6, 14, 2, 3, 1, 5})) << "a zero peak paints no cell";
    EXPECT_EQ(BivariatePlotWindow::legendText(),
              "   0.0  \r\n\n< 0.5\r\n\n< 1.0\r\n\n< 1.5\r\n\n< 2.0\r\n\n< 2.5\r\n\n< 3.0");
    // Each label beside the middle of its band.
    const std::vector<PlotPrimitive> labels = window.graph().primitivesOf(Kind::Text);
    ASSERT_EQ(labels.size(), 7u);
    EXPECT_EQ(labels[0].text, "   0.0  ");
    EXPECT_EQ(labels[6].text, "< 3.0");
    EXPECT_EQ(labels[6].y1 - labels[0].y1, 6 * bivariatePlot::legendBandHeight);
    EXPECT_EQ(window.graphCaption("lblHighDensity").caption, "High Density");
    EXPECT_EQ(window.graphCaption("lblLowDensity").caption, "Low Density");
    EXPECT_EQ(window.caption(), "Bivariate pdf plot");
    EXPECT_FALSE(writeSvg(window.picture()).empty());
}

} // namespace
} // namespace orvanta
