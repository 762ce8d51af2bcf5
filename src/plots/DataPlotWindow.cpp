#include "plots/DataPlotWindow.h"

#include "plots/PlotPalette.h"
#include "text/NumberText.h"
#include "ui/Desktop.h"

#include <cmath>
#include <map>
#include <memory>
#include <vector>

namespace orvanta {

namespace {

using namespace dataPlot;

constexpr double width = right - left;  // 6480
constexpr double height = bottom - top; // 6240
constexpr int colourCycle = 15;         // palette codes 0..14; white is never a plot colour
constexpr const char* degreeSign = "\xC2\xB0";

// Which check boxes ticking one unticks.
const std::map<std::string, std::vector<const char*>>& untickedBy()
{
    static const std::map<std::string, std::vector<const char*>> table = {
        {"Check_Line", {"Check_Drop", "Check_8X8", "Check_10X10", "Check_Line_LtoR", "Check_Line_RtoL"}},
        {"Check_Line_LtoR", {"Check_Drop", "Check_8X8", "Check_10X10", "Check_Line", "Check_Line_RtoL"}},
        {"Check_Line_RtoL", {"Check_Drop", "Check_8X8", "Check_10X10", "Check_Line", "Check_Line_LtoR"}},
        {"Check_Scatter", {"Check_Drop", "Check_8X8", "Check_10X10"}},
        {"Check_Drop",
         {"Check_Scatter", "Check_Line", "Check_Line_LtoR", "Check_Line_RtoL", "Check_8X8", "Check_10X10"}},
        {"Check_8X8",
         {"Check_Scatter", "Check_Line", "Check_Line_LtoR", "Check_Line_RtoL", "Check_Drop", "Check_10X10"}},
        {"Check_10X10",
         {"Check_Scatter", "Check_Line", "Check_Line_LtoR", "Check_Line_RtoL", "Check_Drop", "Check_8X8"}},
    };
    return table;
}

double roundedToSixDecimals(double v)
{
    return std::floor(v * 1000000.0 + 0.5) / 1000000.0;
}

// A value as a range box shows it.
std::string boxed(double v)
{
    return numberText(roundedToSixDecimals(v));
}

std::string rangeCaption(const char* axis, double max, double min)
{
    return std::string(axis) + "-Max =  " + signedNumberText(roundedToSixDecimals(max)) + "\n" + axis +
           "-Min =  " + signedNumberText(roundedToSixDecimals(min));
}

PlotControl checkBox(const char* name, const char* caption, const char* toolTip = "")
{
    PlotControl c = makeControl(PlotControl::Kind::CheckBox, name, caption, 1, "Plot Options:");
    c.toolTip = toolTip;
    return c;
}

} // namespace

// The running sums of one pass over the plotted points.
struct DataPlotWindow::Sums {
    double W = 0.0;
    double Sx = 0.0;
    double Sy = 0.0;
    double Sxx = 0.0;
    double Syy = 0.0;
    double Sxy = 0.0;
    double Sxxy = 0.0;

    void add(double x, double y)
    {
        W += 1.0;
        Sx += x;
        Sy += y;
        Sxx += x * x;
        Syy += y * y;
        Sxy += x * y;
        Sxxy += x * x * y;
    }

    std::string correlationLines() const
    {
        const double product = (Sxx - Sx * Sx / W) * (Syy - Sy * Sy / W);
        const double r = product > 0.0 ? (Sxy - Sx * Sy / W) / std::sqrt(product) : 0.0;
        const double oneLessR2 = 1.0 - r * r;
        const double s = oneLessR2 > 0.0 ? std::sqrt(oneLessR2) / (W - 2.0) : 0.0;
        return "r  = " + formatNumber(r, "#0.0000") + "\n" + "s" + degreeSign + " = " +
               formatNumber(s, "#0.0000");
    }
};

DataPlotWindow::DataPlotWindow(DataPlotPage page, std::function<void()> closeWindow)
    : PlotWindow(windowName, dataPlot::caption, graphWidth, graphHeight), page_(std::move(page)),
      closeWindow_(std::move(closeWindow))
{
    declareControls();
    graph().addStaticLine({"Yaxis", left, top, left, bottom});
    graph().addStaticLine({"Xaxis", left, bottom, right, bottom});

    // Loading: the grid marks, the check boxes, the page.
    drawGridmarks(graph());
    setChecked("Check_Line", true);
    setChecked("Check_Scatter", true);
    setChecked("Check_Drop", false);
    if (!page_.pageLabel.empty())
        setControlCaption("lblGraphPage", "Page:  " + page_.pageLabel);
    addListItem("listXVar", page_.indexName);
    for (int s = 1; s <= page_.seriesCount; ++s) {
        const std::string name = s < static_cast<int>(page_.seriesNames.size()) ? page_.seriesNames[s] : "";
        addListItem("listXVar", name);
        addListItem("listYVar", name);
    }
    selectListItem("listXVar", 0);
    selectListItem("listYVar", 0);
    clearPlot();
}

void DataPlotWindow::declareControls()
{
    using Kind = PlotControl::Kind;
    addControl(makeControl(Kind::Label, "lblGraphPage", "", 0));
    addControl(makeControl(Kind::ListBox, "listXVar", "X variate:", 0));
    addControl(makeControl(Kind::ListBox, "listYVar", "Y variate:", 0));
    addControl(makeControl(Kind::TextBox, "txtYmax", "Y-Max:", 0, "Set Min/Max:"));
    addControl(makeControl(Kind::TextBox, "txtYmin", "Y-Min:", 0, "Set Min/Max:"));
    addControl(makeControl(Kind::TextBox, "txtXmax", "X-Max (label):", 0, "Set Min/Max:"));
    addControl(makeControl(Kind::TextBox, "txtXmin", "X-Min (label):", 0, "Set Min/Max:"));
    addControl(makeControl(
        Kind::Note, "txtScaling",
        "Plots are automatically scaled \nto the range of the data, unless \nthe model includes a "
        "scaling \nfunction. To override a scaling \nfunction, set the maximum or \nminimum of X or "
        "Y to 0.",
        0));
    addControl(checkBox("Check_Line_LtoR", "Lines >", "Connects left to right sequential points"));
    addControl(checkBox("Check_Line_RtoL", "Lines <", "Connects right to left sequential points"));
    addControl(checkBox("Check_Line", "Lines <>", "Connects all points with a line"));
    addControl(checkBox("Check_Scatter", "Points"));
    addControl(checkBox("Check_Drop", "Drop lines"));
    addControl(checkBox("Check_10X10", "10x10 Grid"));
    addControl(checkBox("Check_8X8", "8x8 Grid"));
    addControl(makeControl(Kind::Button, "cmdPlot", "&Plot it!", 1));
    addControl(makeControl(Kind::Button, "cmdClear", "&Clear Plot && Reset Axes", 1));
    addControl(makeControl(Kind::Button, "cmdNext_Page", "&Next Plot Page", 1));
    addControl(makeControl(Kind::Button, "cmdCancel", "&Quit plots", 1));
    addControl(makeControl(Kind::Label, "lblCorr", "", 1));

    addGraphCaption({"lblGraphMax", "", 60.0, 40.0});
    addGraphCaption({"lblYMaxMin", "", 60.0, 40.0});
    addGraphCaption({"lblXStart", "", left, 6800.0});
    addGraphCaption({"lblXEnd", "", 7100.0, 6800.0});
    addGraphCaption({"lblXMaxMin", "", 4600.0, 6800.0});
    addGraphCaption({"lblYZero", "", left, 7200.0});
    addGraphCaption({"lblXZero", "", left, 7420.0});
}

void DataPlotWindow::fillEmptyBox(const std::string& box, double value)
{
    if (boxText(box).empty())
        setBoxText(box, boxed(value));
}

void DataPlotWindow::selectXVariable()
{
    if (indexMode()) {
        setBoxText("txtXmin", boxed(page_.firstRecord) + " (" + numberText(page_.indexFirstLabel) + ")");
        setBoxText("txtXmax", boxed(page_.lastRecord) + " (" + numberText(page_.indexLastLabel) + ")");
        setControlEnabled("txtXmin", false);
        setControlEnabled("txtXmax", false);
        setControlEnabled("Check_Drop", true);
        for (const char* lines : {"Check_Line_LtoR", "Check_Line_RtoL"}) {
            setChecked(lines, false);
            setControlEnabled(lines, false);
        }
        return;
    }
    for (const char* name : {"Check_Drop", "Check_Line_LtoR", "Check_Line_RtoL", "txtXmin", "txtXmax"})
        setControlEnabled(name, true);
    fillEmptyBox("txtXmin", page_.seriesMin.at(static_cast<std::size_t>(xSeries())));
    fillEmptyBox("txtXmax", page_.seriesMax.at(static_cast<std::size_t>(xSeries())));
}

void DataPlotWindow::selectYVariable()
{
    fillEmptyBox("txtYmin", page_.seriesMin.at(static_cast<std::size_t>(ySeries())));
    fillEmptyBox("txtYmax", page_.seriesMax.at(static_cast<std::size_t>(ySeries())));
}

void DataPlotWindow::clearPlot()
{
    graph().clear();
    plotCount_ = 0;
    grid8_ = -1;
    grid10_ = -1;
    moveGraphCaption("lblXEnd", 7100.0);
    moveGraphCaption("lblXStart", left);
    for (const char* name :
         {"lblXEnd", "lblXStart", "lblGraphMax", "lblXMaxMin", "lblYMaxMin", "lblXZero", "lblYZero"})
        setGraphCaption(name, "");
    setControlCaption("lblCorr", "");
    for (const char* box : {"txtYmax", "txtYmin", "txtXmax", "txtXmin"})
        setBoxText(box, "");
    drawGridmarks(graph());
    selectXVariable();
    selectYVariable();
    graphChanged();
}

void DataPlotWindow::toggleGrid(int grid)
{
    int& toggle = grid == 8 ? grid8_ : grid10_;
    toggle = -toggle;
    const int colour = toggle == 1 ? paletteCode::black : paletteCode::white;
    const int lines = grid == 8 ? 7 : 9;
    const double dx = grid == 8 ? 810.0 : 648.0;
    const double dy = grid == 8 ? 780.0 : 624.0;
    for (int k = 1; k <= lines; ++k) {
        graph().line(left + dx * k, top, left + dx * k, bottom, colour, LineStyle::Dotted);
        graph().line(left, top + dy * k, right, top + dy * k, colour, LineStyle::Dotted);
    }
    graphChanged();
}

double DataPlotWindow::plotY(double v, const Range& y) const
{
    return bottom - (v - y.min) * height / (y.max - y.min);
}

void DataPlotWindow::drawDataPlot()
{
    ++plotCount_;
    const int colour = static_cast<int>(plotCount_ % colourCycle);
    if (checked("Check_8X8")) {
        toggleGrid(8);
        return;
    }
    if (checked("Check_10X10")) {
        toggleGrid(10);
        return;
    }
    if (indexMode())
        drawIndexPlot(colour);
    else
        drawSeriesPlot(colour);
    graphChanged();
}

// Widens the range from the boxes by every present value of the series, writing the boxes.
DataPlotWindow::Range DataPlotWindow::extendedRange(const std::string& minBox, const std::string& maxBox,
                                                    int series)
{
    Range range{leadingNumber(boxText(minBox)), leadingNumber(boxText(maxBox))};
    for (int a = page_.firstRecord; a <= page_.lastRecord; ++a) {
        if (!page_.present(a, series))
            continue;
        const double v = page_.value(a, series);
        if (v > range.max) {
            range.max = v;
            setBoxText(maxBox, boxed(v));
        }
        if (v < range.min) {
            range.min = v;
            setBoxText(minBox, boxed(v));
        }
    }
    return range;
}

void DataPlotWindow::drawZeroLines(const Range& x, const Range& y, bool seriesMode)
{
    setGraphCaption("lblYZero", "");
    if (y.min < 0.0 && 0.0 < y.max) {
        const double y0 = plotY(0.0, y);
        graph().line(left, y0, right, y0, paletteCode::black, LineStyle::Dashed);
        setGraphCaption("lblYZero", "Horizontal dashed line shows Y=0");
    }
    if (!seriesMode)
        return;
    setGraphCaption("lblXZero", "");
    if (x.min < 0.0 && 0.0 < x.max) {
        const double x0 = left + (0.0 - x.min) * width / (x.max - x.min);
        graph().line(x0, top, x0, bottom, paletteCode::black, LineStyle::Dashed);
        setGraphCaption("lblXZero", "Vertical dashed line shows X=0");
    }
}

void DataPlotWindow::drawIndexPlot(int colour)
{
    const int ys = ySeries();
    Range y = extendedRange("txtYmin", "txtYmax", ys);
    if (y.max == y.min)
        y = {-1.0, 1.0};
    if (page_.lastRecord == page_.firstRecord) {
        // One record: a second one beyond the data (missing) spreads the axis.
        page_.lastRecord = page_.firstRecord + 1;
        page_.indexLastLabel = page_.indexFirstLabel + 1.0;
    }
    const auto X = [&](int a) {
        return left + (a - page_.firstRecord) * width / (page_.lastRecord - page_.firstRecord);
    };

    setControlCaption("lblCorr", "");
    drawZeroLines({}, y, false);
    setGraphCaption("lblGraphMax", rangeCaption("Y", y.max, y.min));
    setGraphCaption("lblYMaxMin", "");
    setGraphCaption("lblXMaxMin", "");
    setGraphCaption("lblXStart", numberText(page_.indexFirstLabel));
    setGraphCaption("lblXEnd", numberText(page_.indexLastLabel));

    std::vector<PlotPoint> points;
    for (int a = page_.firstRecord; a <= page_.lastRecord; ++a)
        if (page_.present(a, ys))
            points.push_back(
                {a, page_.indexLabel(a), page_.value(a, ys), X(a), plotY(page_.value(a, ys), y)});
    if (checked("Check_Line")) {
        drawSegments(points, colour, [](const PlotPoint&, const PlotPoint&) { return true; });
        Sums sums;
        for (const PlotPoint& point : points)
            sums.add(point.x, point.y);
        if (sums.W > 2.0)
            setControlCaption("lblCorr", sums.correlationLines());
    }
    if (checked("Check_Scatter") || checked("Check_Drop"))
        showStatistics(drawMarkers(points, colour), false);
}

void DataPlotWindow::widenSeriesRange(Range& range, const std::string& minBox, const std::string& maxBox)
{
    if (range.max != range.min)
        return;
    if (range.min != 0.0)
        range = {0.9 * range.min, 1.1 * range.min};
    else
        range = {-1.0, 1.0};
    setBoxText(minBox, boxed(range.min));
    setBoxText(maxBox, boxed(range.max));
}

void DataPlotWindow::drawSeriesPlot(int colour)
{
    const int xs = xSeries();
    const int ys = ySeries();
    Range x = extendedRange("txtXmin", "txtXmax", xs);
    Range y = extendedRange("txtYmin", "txtYmax", ys);
    widenSeriesRange(x, "txtXmin", "txtXmax");
    widenSeriesRange(y, "txtYmin", "txtYmax");
    const auto X = [&](double v) { return left + (v - x.min) * width / (x.max - x.min); };

    drawZeroLines(x, y, true);
    setGraphCaption("lblYMaxMin", rangeCaption("Y", y.max, y.min));
    setGraphCaption("lblXMaxMin", rangeCaption("X", x.max, x.min));
    setGraphCaption("lblGraphMax", "");

    std::vector<PlotPoint> points;
    for (int a = page_.firstRecord; a <= page_.lastRecord; ++a)
        if (page_.present(a, xs) && page_.present(a, ys)) {
            const double xv = page_.value(a, xs);
            const double yv = page_.value(a, ys);
            points.push_back({a, xv, yv, X(xv), plotY(yv, y)});
        }
    const bool allLines = checked("Check_Line");
    const bool rightward = checked("Check_Line_LtoR");
    const bool leftward = checked("Check_Line_RtoL");
    if (allLines || rightward || leftward)
        drawSegments(points, colour, [&](const PlotPoint& previous, const PlotPoint& here) {
            return allLines || (rightward && here.x >= previous.x) || (leftward && here.x <= previous.x);
        });
    if (checked("Check_Scatter") || checked("Check_Drop"))
        showStatistics(drawMarkers(points, colour), true);
}

// Joins each point to the point of the record before it, when that record is plotted too and
// connects says so; a missing record breaks the line.
void DataPlotWindow::drawSegments(const std::vector<PlotPoint>& points, int colour,
                                  const std::function<bool(const PlotPoint&, const PlotPoint&)>& connects)
{
    for (std::size_t i = 1; i < points.size(); ++i) {
        const PlotPoint& previous = points[i - 1];
        const PlotPoint& here = points[i];
        if (previous.record == here.record - 1 && connects(previous, here))
            graph().line(previous.px, previous.py, here.px, here.py, colour);
    }
}

// A filled circle at every point, with "Drop lines" a line down to the X axis too; the sums of
// the points for the statistics.
DataPlotWindow::Sums DataPlotWindow::drawMarkers(const std::vector<PlotPoint>& points, int colour)
{
    Sums sums;
    for (const PlotPoint& point : points) {
        graph().filledCircle(point.px, point.py, pointRadius, colour);
        if (checked("Check_Drop"))
            graph().line(point.px, point.py, point.px, bottom, colour);
        sums.add(point.x, point.y);
    }
    return sums;
}

void DataPlotWindow::showStatistics(const Sums& sums, bool seriesMode)
{
    const double W = sums.W;
    if (checked("Check_Scatter") && W > 2.0) {
        const double mean = sums.Sy / W;
        const double variance = (sums.Syy / W - mean * mean) * W / (W - 1.0);
        const double sd = variance > 0.0 ? std::sqrt(variance) : 0.0;
        setControlCaption("lblCorr", sums.correlationLines() +
                                         "\n\nScatter of Y:\n      Mean = " + formatNumber(mean, "#0.0000") +
                                         "\n      SD = " + formatNumber(sd, "#0.0000") +
                                         "\n      Var = " + formatNumber(sd * sd, "#0.0000"));
        return;
    }
    if (!checked("Check_Drop") || sums.Sy == 0.0)
        return;
    const double mean = sums.Sxy / sums.Sy;
    const double variance = sums.Sxxy / sums.Sy - mean * mean;
    if (!(variance > 0.0))
        return;
    const double sd = std::sqrt(variance);
    const bool withCorrelation = W > 2.0;
    const char* meanPattern = !withCorrelation && !seriesMode ? "#0.0000#" : "#0.0000";
    const std::string distribution = "Distribution of X:\n      Mean = " + formatNumber(mean, meanPattern) +
                                     "\n      SD = " + formatNumber(sd, "#0.0000") +
                                     "\n      Var = " + formatNumber(sd * sd, "#0.0000");
    setControlCaption("lblCorr",
                      withCorrelation ? sums.correlationLines() + "\n\n" + distribution : distribution);
}

void DataPlotWindow::onButton(const std::string& name)
{
    if (name == "cmdPlot") {
        drawDataPlot();
    } else if (name == "cmdClear") {
        clearPlot();
    } else if (name == "cmdNext_Page") {
        closeWindow_();
    } else if (name == "cmdCancel") {
        plotPagesWanted_ = false;
        closeWindow_();
    }
}

void DataPlotWindow::closeRequested()
{
    cmdNext_Page_Click();
}

void DataPlotWindow::onCheckBox(const std::string& name)
{
    if (!checked(name))
        return;
    const auto it = untickedBy().find(name);
    if (it == untickedBy().end())
        return;
    for (const char* other : it->second)
        setChecked(other, false);
}

void DataPlotWindow::onListClick(const std::string& name)
{
    if (name == "listXVar")
        selectXVariable();
    else
        selectYVariable();
}

void DataPlotWindow::onListDoubleClick(const std::string& /*name*/)
{
    drawDataPlot();
}

bool openDataPlotPage(const DataPlotPage& page, Desktop& desktop, UserInterface& ui,
                      const std::function<bool()>& programEnded)
{
    bool wanted = true;
    auto window = std::make_unique<DataPlotWindow>(page, [&desktop] { desktop.close(windowName); });
    DataPlotWindow* shown = window.get();
    desktop.open(std::move(window));
    desktop.onClose(windowName, [&wanted, shown] { wanted = shown->plotPagesWanted(); });
    desktop.raise(windowName);
    waitWhileOpen(desktop, windowName, ui, programEnded);
    if (desktop.isOpen(windowName)) {
        // The program ended with the page open.
        desktop.onClose(windowName, {});
        desktop.close(windowName);
        return false;
    }
    return wanted && !(programEnded && programEnded());
}

void drawDefaultPlots(DataPlotWindow& window)
{
    // A legend under the axis names the page and each series in its colour, since no lists stand
    // beside a picture.
    constexpr double legendLeft = 4300.0;
    constexpr double legendTop = 6960.0;
    constexpr double lineHeight = 195.0;
    const DataPlotPage& page = window.page();
    if (!page.pageLabel.empty())
        window.graph().text(legendLeft, legendTop, "Page:  " + page.pageLabel);
    for (int s = 1; s <= page.seriesCount; ++s) {
        window.listClicked("listYVar", s - 1);
        window.cmdPlot_Click();
        const std::string name = s < static_cast<int>(page.seriesNames.size()) ? page.seriesNames[s] : "";
        window.graph().text(legendLeft, legendTop + lineHeight * s, name,
                            static_cast<int>(window.plotCount() % colourCycle));
    }
    window.graphChanged();
}

} // namespace orvanta
