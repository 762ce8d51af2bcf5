#include "plots/DistributionPlotWindow.h"

#include "plots/PlotPalette.h"
#include "text/NumberText.h"
#include "ui/Desktop.h"
#include "uncertainty/DistributionProfile.h"
#include "uncertainty/DistributionReport.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <memory>

namespace orvanta {

namespace {

using namespace distributionPlot;

constexpr double width = right - left;  // 6480
constexpr double height = bottom - top; // 6240
constexpr const char* axisPattern = "#0.0###";
constexpr const char* informationPattern = "0.000E+00";
constexpr double informationGap = 50.0;     // between the names and the values of curve 2
constexpr double informationMargin = 150.0; // kept free at the right when they are moved
constexpr double informationLeft = 5400.0;
constexpr double informationTop = 1000.0;

// Palette codes of curves 1..7.
constexpr int curveColours[curveCount + 1] = {0, 2, 3, 5, 12, 13, 14, 4};

std::size_t at(int index)
{
    return static_cast<std::size_t>(index);
}

// The curves' values at the points 1..n, from the record's arrays.
std::vector<double> points(const std::vector<double>& values, int n, double (*transform)(double) = nullptr)
{
    std::vector<double> v(at(n) + 1, 0.0);
    for (int i = 1; i <= n && at(i) < values.size(); ++i)
        v[at(i)] = transform ? transform(values[at(i)]) : values[at(i)];
    return v;
}

double complement(double c)
{
    return 1.0 - c;
}

std::string informationValues(const DistributionProfile& d)
{
    const std::string percent = percentDiffDefined(d) ? formatNumber(percentDiff(d), informationPattern)
                                                      : std::string(undefinedPercentText);
    return formatNumber(d.modeValue, informationPattern) + "\n" +
           formatNumber(d.meanValue, informationPattern) + "\n" +
           formatNumber(d.modeMinusMean, informationPattern) + "\n" + percent + "\n" +
           formatNumber(d.estimatedSE, informationPattern);
}

} // namespace

std::array<std::string, curveCount + 1> distributionCurveNames(DistributionSource source)
{
    const char* density = source == DistributionSource::PriorProfile ? "Bayesian Prior Distribution"
                          : source == DistributionSource::Posterior  ? "Bayesian Posterior Distribution"
                                                                     : "Parameter Confidence Distribution";
    return {"",
            "Parameter Likelihood Profile",
            density,
            "Confidence Region on mode",
            "Confidence Region on mean",
            "Cumulative L to R Distribution",
            "Attenuated L to R Distribution",
            "Gaussian Probability Distribution"};
}

DistributionPlotWindow::DistributionPlotWindow(const DistributionProfile& d, int parameter,
                                               DistributionSource source, std::function<void()> closeWindow)
    : PlotWindow(windowName, distributionPlot::caption, graphWidth, graphHeight),
      names_(distributionCurveNames(source)), xLabel_("Values for parameter #" + signedNumberText(parameter)),
      informationValues_(informationValues(d)), closeWindow_(std::move(closeWindow))
{
    const int n = std::max(d.pointCount, 0);
    x_ = points(d.pointValues, n);
    curves_[1] = points(d.negLogL, n);
    curves_[2] = points(d.pdf, n);
    curves_[3] = points(d.ciOnMode, n);
    curves_[4] = points(d.ciOnMean, n);
    curves_[5] = points(d.cumulative, n);
    curves_[6] = points(d.cumulative, n, complement);
    curves_[7] = points(d.normalPdf, n);

    declareControls();
    graph().addStaticLine({"Yaxis", left, top, left, bottom});
    graph().addStaticLine({"Xaxis", left, bottom, right, bottom});
    setChecked("Check_Line", true);
    setChecked("Check_Scatter", true);
    setChecked("Check_Drop", false);
    for (int s = 1; s <= curveCount; ++s)
        addListItem("listVar", names_[at(s)]);
    selectListItem("listVar", 0);
    clearPlot();
}

void DistributionPlotWindow::declareControls()
{
    using Kind = PlotControl::Kind;
    addControl(makeControl(Kind::ListBox, "listVar", "Variable to plot:", 0));
    addControl(makeControl(Kind::CheckBox, "Check_Line", "Draw lines", 0, "Plot Options:"));
    addControl(makeControl(Kind::CheckBox, "Check_Scatter", "Draw points", 0, "Plot Options:"));
    addControl(makeControl(Kind::CheckBox, "Check_Drop", "Drop line plot", 0, "Plot Options:"));
    addControl(makeControl(Kind::Button, "cmdPlot", "&Plot it!", 0));
    addControl(makeControl(Kind::Button, "cmdClear", "Cl&ear", 0));
    addControl(makeControl(Kind::Button, "cmdDone", "&Done", 0));

    addGraphCaption({"lblGraphMax", "", 60.0, 40.0});
    addGraphCaption({"lblXStart", "", 520.0, 6800.0});
    addGraphCaption({"lblXEnd", "", 7000.0, 6800.0});
    addGraphCaption({"lblVar", "", left, 7060.0});
    addGraphCaption({"lblVerticalLine", "", left, 7500.0});
    addGraphCaption({"lblConfidenceInterval", "", 6150.0, 590.0});
    addGraphCaption({"lblPlotInfo", "", informationLeft, informationTop});
    addGraphCaption({"lblPlotInfoValues", "", informationLeft, informationTop});
}

void DistributionPlotWindow::clearPlot()
{
    graph().clear();
    moveGraphCaption("lblXEnd", 7000.0);
    moveGraphCaption("lblXStart", 520.0);
    for (const char* name : {"lblXEnd", "lblXStart", "lblPlotInfo", "lblPlotInfoValues", "lblGraphMax",
                             "lblVerticalLine", "lblVar", "lblConfidenceInterval"})
        setGraphCaption(name, "");
    drawGridmarks(graph());
    graphChanged();
}

DistributionPlotWindow::Range DistributionPlotWindow::valueRange(const std::vector<double>& v) const
{
    Range range;
    for (int i = 1; i <= pointCount(); ++i) {
        if (!std::isfinite(v[at(i)]))
            continue;
        range.max = std::max(range.max, v[at(i)]);
        range.min = std::min(range.min, v[at(i)]);
    }
    if (range.max == range.min)
        range = {-1.0, 1.0};
    return range;
}

void DistributionPlotWindow::drawReferenceLines()
{
    const double first = x_[1];
    const double last = x_[at(pointCount())];
    const auto X = [&](double x) { return left + (x - first) * width / (last - first); };
    const bool atZero = first < 0.0 && 0.0 < last;
    const bool atOne = first < 1.0 && 1.0 < last;
    for (const double x : {0.0, 1.0})
        if ((x == 0.0 && atZero) || (x == 1.0 && atOne))
            graph().line(X(x), top, X(x), bottom, paletteCode::black, LineStyle::Dotted);
    std::string note;
    if (atZero && atOne)
        note = "Left vertical line locates 0\nRight vertical line locates 1";
    else if (atZero)
        note = "Note: Vertical line locates 0";
    else if (atOne)
        note = "Note: Vertical line locates 1";
    setGraphCaption("lblVerticalLine", note);
}

void DistributionPlotWindow::showCurveLabels(int s, const Range& y)
{
    setGraphCaption("lblGraphMax", "Max =  " + formatNumber(y.max, axisPattern) +
                                       "\nMin =  " + formatNumber(y.min, axisPattern));
    setGraphCaption("lblVar", "Y: " + names_[at(s)] + "\nX: " + xLabel_);
    setGraphCaption("lblXStart", formatNumber(x_[1], axisPattern));
    setGraphCaption("lblXEnd", formatNumber(x_[at(pointCount())], axisPattern));
}

// The mode, mean, their difference and the SE beside curve 2; the two labels move left together
// when the values would reach beyond the graph.
void DistributionPlotWindow::showPlotInformation()
{
    const std::string names = "ML Estimate: \nEV Estimate:\nEstimated Diff:\nPercent Diff:\nEstimated SE:";
    setGraphCaption("lblPlotInfo", names);
    setGraphCaption("lblPlotInfoValues", informationValues_);
    double namesLeft = graphCaption("lblPlotInfo").left;
    double valuesLeft = namesLeft + textWidth(names) + informationGap;
    const double overshoot = valuesLeft + textWidth(informationValues_) - graph().width();
    if (overshoot > 0.0) {
        namesLeft -= overshoot + informationMargin;
        valuesLeft = namesLeft + textWidth(names) + informationGap;
    }
    moveGraphCaption("lblPlotInfo", namesLeft);
    moveGraphCaption("lblPlotInfoValues", valuesLeft);
}

void DistributionPlotWindow::drawCurve(const std::vector<double>& v, const Range& y, int colour)
{
    const double first = x_[1];
    const double last = x_[at(pointCount())];
    const auto X = [&](int i) { return left + (x_[at(i)] - first) * width / (last - first); };
    const auto Y = [&](int i) { return bottom - (v[at(i)] - y.min) * height / (y.max - y.min); };
    const auto drawn = [&](int i) { return std::isfinite(v[at(i)]) && std::isfinite(x_[at(i)]); };
    if (checked("Check_Line"))
        for (int i = 2; i <= pointCount(); ++i)
            if (drawn(i - 1) && drawn(i))
                graph().line(X(i - 1), Y(i - 1), X(i), Y(i), colour);
    if (!checked("Check_Scatter") && !checked("Check_Drop"))
        return;
    for (int i = 1; i <= pointCount(); ++i) {
        if (!drawn(i))
            continue;
        graph().filledCircle(X(i), Y(i), pointRadius, colour);
        if (checked("Check_Drop"))
            graph().line(X(i), Y(i), X(i), bottom, colour);
    }
}

void DistributionPlotWindow::drawDistributionCurve()
{
    const int s = selectedItem("listVar") + 1;
    if (s < 1 || s > curveCount || pointCount() < 1)
        return;
    const double first = x_[1];
    const double last = x_[at(pointCount())];
    if (last == first || !std::isfinite(last - first))
        return;
    const std::vector<double>& v = curves_[at(s)];
    const Range y = valueRange(v);
    drawReferenceLines();
    if (s >= 3 && s <= 6) {
        graph().line(left, confidenceLevelY, right, confidenceLevelY, paletteCode::black, LineStyle::Dotted);
        setGraphCaption("lblConfidenceInterval", "< 95% CI >");
    }
    showCurveLabels(s, y);
    if (s == 2)
        showPlotInformation();
    drawCurve(v, y, curveColours[s]);
    graphChanged();
}

void DistributionPlotWindow::onButton(const std::string& name)
{
    if (name == "cmdPlot")
        drawDistributionCurve();
    else if (name == "cmdClear")
        clearPlot();
    else if (name == "cmdDone")
        closeWindow_();
}

void DistributionPlotWindow::onCheckBox(const std::string& name)
{
    if (!checked(name))
        return;
    if (name == "Check_Drop") {
        setChecked("Check_Line", false);
        setChecked("Check_Scatter", false);
    } else {
        setChecked("Check_Drop", false);
    }
}

void DistributionPlotWindow::onListDoubleClick(const std::string& /*name*/)
{
    drawDistributionCurve();
}

void openDistributionPlot(const DistributionProfile& profile, int parameter, DistributionSource source,
                          Desktop& desktop, UserInterface& ui, const std::function<bool()>& programEnded)
{
    desktop.open(std::make_unique<DistributionPlotWindow>(profile, parameter, source,
                                                          [&desktop] { desktop.close(windowName); }));
    desktop.raise(windowName);
    waitWhileOpen(desktop, windowName, ui, programEnded);
    if (desktop.isOpen(windowName))
        desktop.close(windowName); // the program ended with the window open
}

} // namespace orvanta
