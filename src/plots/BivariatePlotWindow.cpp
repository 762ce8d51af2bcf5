#include "plots/BivariatePlotWindow.h"

#include "plots/PlotPalette.h"
#include "text/NumberText.h"
#include "ui/Desktop.h"
#include "uncertainty/BivariateDensity.h"

#include <cmath>
#include <cstddef>
#include <memory>

namespace orvanta {

namespace {

using namespace bivariatePlot;

constexpr const char* valuePattern = "0.000E+00";

// The bands' standard-error limits, tested from the outermost in, and their colours: white beyond
// 3 SE, magenta, blue, cyan, green, light yellow, brown within 0.5 SE; the peak light red.
constexpr double bandLimits[] = {3.0, 2.5, 2.0, 1.5, 1.0, 0.5, 0.0};
constexpr int bandColours[] = {15, 5, 1, 3, 2, 14, 6};
constexpr int peakColour = 12;
// lblLegend: the bands' limits in standard errors, top to bottom.
constexpr const char* legendLabels[] = {"   0.0  ", "< 0.5", "< 1.0", "< 1.5", "< 2.0", "< 2.5", "< 3.0"};

std::size_t at(int index)
{
    return static_cast<std::size_t>(index);
}

// The twip a half-cell enlargement gives, rounded as a whole-number assignment rounds.
double wholeTwip(double value)
{
    return std::nearbyint(value);
}

// The density-weighted sums of the painted cells.
struct WeightedSums {
    double w = 0.0, sx = 0.0, sy = 0.0, sxx = 0.0, syy = 0.0, sxy = 0.0;

    void add(double x, double y, double d)
    {
        w += d;
        sx += x * d;
        sy += y * d;
        sxx += x * x * d;
        syy += y * y * d;
        sxy += x * y * d;
    }
};

std::string pairText(const char* first, double x, const char* second, double y)
{
    return std::string(first) + formatNumber(x, valuePattern) + "\n" + second + formatNumber(y, valuePattern);
}

} // namespace

int bivariateBandColour(double ratio)
{
    for (std::size_t band = 0; band < std::size(bandLimits); ++band)
        if (std::exp(-bandLimits[band] * bandLimits[band] / 2.0) > ratio)
            return bandColours[band];
    return peakColour;
}

int legendBandColour(int band)
{
    // Band 1 the peak, then "< 0.5" (brown) out to "< 3.0" (magenta).
    return band <= 1 ? peakColour : bandColours[std::size(bandColours) - static_cast<std::size_t>(band - 1)];
}

BivariatePlotWindow::BivariatePlotWindow(const BivariateDensity& density, std::function<void()> closeWindow)
    : PlotWindow(windowName, bivariatePlot::caption, graphWidth, graphHeight),
      closeWindow_(std::move(closeWindow))
{
    addControl(makeControl(PlotControl::Kind::Button, "cmdDone", "&Done", 0));
    graph().addStaticLine({"Line1", left, top, left, bottom});
    graph().addStaticLine({"Xaxis", left, bottom, right, bottom});
    addGraphCaption({"lblLegendTitle", "Legend", 9400.0, 400.0});
    addGraphCaption({"lblHighDensity", "High Density", 9400.0, 850.0});
    addGraphCaption({"lblSEs", "SE's", 10300.0, 1040.0});
    addGraphCaption(
        {"lblLowDensity", "Low Density", 9400.0, legendTop + bandCount * legendBandHeight + 60.0});
    addGraphCaption({"lblXYMax", "", 9000.0, 5000.0});
    addGraphCaption({"lblXYMin", "", 9000.0, 5500.0});
    addGraphCaption({"lblPeak", "", 9000.0, 6000.0});
    addGraphCaption({"lblCorr", "", 9000.0, 6500.0});
    addGraphCaption({"lblVar", "", left, 7150.0});
    addGraphCaption({"lblLineInfo", "", left, 7650.0});
    clearPlot();
    draw(density);
}

void BivariatePlotWindow::clearPlot()
{
    graph().clear();
    for (const char* name : {"lblXYMax", "lblXYMin", "lblVar", "lblLineInfo", "lblCorr", "lblPeak"})
        setGraphCaption(name, "");
    drawGridmarks(graph(), right);
    graphChanged();
}

void BivariatePlotWindow::drawLegend()
{
    for (int band = 1; band <= bandCount; ++band) {
        const double bandTop = legendTop + (band - 1) * legendBandHeight;
        graph().filledBox(legendLeft, bandTop, legendRight, bandTop + legendBandHeight,
                          legendBandColour(band));
        // Each label of lblLegend beside its band, whatever line height the renderer has.
        graph().text(legendRight + 100.0, bandTop + (legendBandHeight - 160.0) / 2.0,
                     legendLabels[static_cast<std::size_t>(band - 1)]);
    }
}

std::string BivariatePlotWindow::legendText()
{
    std::string text;
    for (const char* label : legendLabels)
        text += (text.empty() ? "" : "\r\n\n") + std::string(label);
    return text;
}

void BivariatePlotWindow::draw(const BivariateDensity& d)
{
    const int n = d.profileCount;
    const int m = d.gridCount;
    drawLegend();
    if (n < 2 || m < 2) {
        graphChanged();
        return;
    }
    const std::vector<double>& x = d.profileValues;
    const std::vector<double>& y = d.gridValues;
    const double hx = (x[2] - x[1]) / 2.0;
    const double hy = (y[2] - y[1]) / 2.0;
    const double xLow = x[1] - hx;
    const double xHigh = x[at(n)] + hx;
    const double yLow = y[1] - hy;
    const double yHigh = y[at(m)] + hy;
    const double areaLeft = wholeTwip(left - (right - left) / (2.0 * (n - 1)));
    const double areaRight = wholeTwip(right + (right - areaLeft) / (2.0 * (n - 1)));
    const double areaTop = wholeTwip(top - (bottom - top) / (2.0 * (m - 1)));
    const double areaBottom = wholeTwip(bottom + (bottom - areaTop) / (2.0 * (m - 1)));
    if (xHigh == xLow || yHigh == yLow || !std::isfinite(xHigh - xLow) || !std::isfinite(yHigh - yLow)) {
        graphChanged();
        return;
    }
    const double xScale = (areaRight - areaLeft) / (xHigh - xLow);
    const double yScale = (areaBottom - areaTop) / (yHigh - yLow);
    const auto X = [&](double value) { return areaLeft + (value - xLow) * xScale; };
    const auto Y = [&](double value) { return areaBottom - (value - yLow) * yScale; };

    WeightedSums sums;
    if (d.maxDensity != 0.0)
        for (int i = 2; i <= n - 1; ++i)
            for (int j = 2; j <= m - 1; ++j) {
                const double density = d.density(i, j);
                graph().filledBox(X(x[at(i)]) - hx * xScale, Y(y[at(j)]) - hy * yScale,
                                  X(x[at(i)]) + hx * xScale, Y(y[at(j)]) + hy * yScale,
                                  bivariateBandColour(density / d.maxDensity));
                sums.add(x[at(i)], y[at(j)], density);
            }

    bool lines = false;
    for (const double level : {0.0, 1.0}) {
        if (xLow < level && level < xHigh) {
            graph().line(X(level), areaTop, X(level), areaBottom, paletteCode::black, LineStyle::Dashed);
            lines = true;
        }
        if (yLow < level && level < yHigh) {
            graph().line(areaLeft, Y(level), areaRight, Y(level), paletteCode::black, LineStyle::Dashed);
            lines = true;
        }
    }
    if (lines)
        setGraphCaption("lblLineInfo", "NOTE: Dashed line(s) locate 0 and/or 1");

    setGraphCaption("lblVar", "X - Axis: Values for parameter #" + signedNumberText(d.profileParam) +
                                  "\nY - Axis: Values for parameter #" + signedNumberText(d.gridParam));
    setGraphCaption("lblXYMax", pairText("X-Max = ", x[at(n)], "Y-Max = ", y[at(m)]));
    setGraphCaption("lblXYMin", pairText("X-Min = ", x[1], "Y-Min = ", y[1]));
    setGraphCaption("lblPeak", pairText("X-Peak = ", d.peakProfileValue, "Y-Peak = ", d.peakGridValue));
    if (sums.w != 0.0) {
        const double spread =
            (sums.sxx - sums.sx * sums.sx / sums.w) * (sums.syy - sums.sy * sums.sy / sums.w);
        if (spread > 0.0) {
            const double r = (sums.sxy - sums.sx * sums.sy / sums.w) / std::sqrt(spread);
            setGraphCaption("lblCorr", "       r = " + formatNumber(r, "#0.0##"));
        }
    }
    graphChanged();
}

void BivariatePlotWindow::onButton(const std::string& name)
{
    if (name == "cmdDone")
        closeWindow_();
}

void openBivariatePlot(const BivariateDensity& density, Desktop& desktop, UserInterface& ui,
                       const std::function<bool()>& programEnded)
{
    desktop.open(std::make_unique<BivariatePlotWindow>(density, [&desktop] { desktop.close(windowName); }));
    desktop.raise(windowName);
    waitWhileOpen(desktop, windowName, ui, programEnded);
    if (desktop.isOpen(windowName))
        desktop.close(windowName);
}

} // namespace orvanta
