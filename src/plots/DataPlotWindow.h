#pragma once

// The data and prediction plot window "frmXYPlot" ("Data and prediction plots"): one page of
// records by series, plotted as lines, points or drop lines against the record index (index
// mode, the first entry of the X list) or against another series (series mode), several plots
// overlaid in the colours of the palette, with a correlation and distribution summary.
//
// Coordinates are twips on the graph: the plot area spans x = 720..7200 and y = 480 (top) to
// 6720 (bottom); Y(v) = 6720 - (v - ymin) x 6240 / (ymax - ymin). The n-th plot since the last
// clear is drawn in palette colour n mod 15 (1 blue first, ..., 14, then 0 black; never white).
// Range boxes are read with leadingNumber, so an empty box counts as 0, and a plotted range
// always contains the boxes' values. "Boxed" values are written as numberText of the value
// rounded to six decimals.

#include "model/DataPlotPage.h"
#include "plots/PlotWindow.h"

#include <functional>
#include <vector>

namespace orvanta {

class Desktop;
class UserInterface;

namespace dataPlot {
inline constexpr const char* windowName = "frmXYPlot";
inline constexpr const char* caption = "Data and prediction plots";
inline constexpr double left = 720.0; // the plot area
inline constexpr double right = 7200.0;
inline constexpr double top = 480.0;
inline constexpr double bottom = 6720.0;
inline constexpr double graphWidth = 7900.0; // the surface, with room for the captions
inline constexpr double graphHeight = 7700.0;
inline constexpr double pointRadius = 30.0;
} // namespace dataPlot

class DataPlotWindow : public PlotWindow {
public:
    // Loads the window for page: the lists filled and their first entries selected, the check
    // boxes at their loading state, then Clear. closeWindow closes it (the opener's desktop).
    DataPlotWindow(DataPlotPage page, std::function<void()> closeWindow);

    const DataPlotPage& page() const { return page_; }
    long long plotCount() const { return plotCount_; }
    int gridToggle(int grid) const { return grid == 8 ? grid8_ : grid10_; }
    // False once the user chose "&Quit plots".
    bool plotPagesWanted() const { return plotPagesWanted_; }

    // The controls' actions by their design names.
    void cmdPlot_Click() { buttonClicked("cmdPlot"); }
    void cmdClear_Click() { buttonClicked("cmdClear"); }
    void cmdNext_Page_Click() { buttonClicked("cmdNext_Page"); }
    void cmdCancel_Click() { buttonClicked("cmdCancel"); }
    void closeRequested() override; // the close box acts as "&Next Plot Page"

    // Draws the selected Y series against the selected X variable (cmdPlot, double clicks).
    void drawDataPlot();
    // Draws or erases the dotted 8x8 or 10x10 grid.
    void toggleGrid(int grid);

protected:
    void onButton(const std::string& name) override;
    void onCheckBox(const std::string& name) override;
    void onListClick(const std::string& name) override;
    void onListDoubleClick(const std::string& name) override;

private:
    struct Sums;
    // A plotted record: its x and y for the statistics and its place on the graph.
    struct PlotPoint {
        int record = 0;
        double x = 0.0;
        double y = 0.0;
        double px = 0.0;
        double py = 0.0;
    };
    struct Range {
        double min = 0.0;
        double max = 0.0;
    };

    void declareControls();
    void clearPlot();
    void selectXVariable();
    void selectYVariable();
    bool indexMode() const { return selectedItem("listXVar") <= 0; }
    int xSeries() const { return selectedItem("listXVar"); }
    int ySeries() const { return selectedItem("listYVar") + 1; }
    void fillEmptyBox(const std::string& box, double value);

    void drawIndexPlot(int colour);
    void drawSeriesPlot(int colour);
    Range extendedRange(const std::string& minBox, const std::string& maxBox, int series);
    void widenSeriesRange(Range& range, const std::string& minBox, const std::string& maxBox);
    void drawZeroLines(const Range& x, const Range& y, bool seriesMode);
    void drawSegments(const std::vector<PlotPoint>& points, int colour,
                      const std::function<bool(const PlotPoint&, const PlotPoint&)>& connects);
    Sums drawMarkers(const std::vector<PlotPoint>& points, int colour);
    void showStatistics(const Sums& sums, bool seriesMode);
    double plotY(double v, const Range& y) const;

    DataPlotPage page_;
    std::function<void()> closeWindow_;
    long long plotCount_ = 0; // wide: no wrap however many plots are overlaid
    int grid8_ = -1;
    int grid10_ = -1;
    bool plotPagesWanted_ = true;
};

// Shows the page in a new modal window on the desktop and waits until the user closes it (or
// the program ends; the window is then closed). Returns plotPagesWanted: false after
// "&Quit plots" or when the program ended.
bool openDataPlotPage(const DataPlotPage& page, Desktop& desktop, UserInterface& ui,
                      const std::function<bool()>& programEnded);

// The plots a page shows without anybody at the controls: index mode, lines and points, every
// series plotted in turn over the others, with a legend of the page label and the series names
// (each in its plot's colour) under the X axis.
void drawDefaultPlots(DataPlotWindow& window);

} // namespace orvanta
