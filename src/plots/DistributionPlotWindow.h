#pragma once

// The distribution plot window "frmDistPlot" ("Distribution plots"): the seven curves of a
// distribution record (DistributionProfile) over the profiled parameter, drawn one at a time as
// lines, points or drop lines and overlaid until "Cl&ear":
//   1 -ln[L] (green)             2 the density (cyan), named by the tool that made the record
//   3 confidence about the mode  4 confidence about the mean (magenta, light red)
//   5 cumulative, 6 one minus cumulative (light magenta, light yellow)
//   7 the fitted normal density (red).
//
// Coordinates are twips on the graph: the plot area spans x = 720..7200 and y = 480 (top) to
// 6720 (bottom); X(x) = 720 + (x - x(1)) 6480 / (x(n) - x(1)) and
// Y(v) = 6720 - (v - ymin) 6240 / (ymax - ymin), where the range always contains 0 (-1..1 when
// every value is 0), so curves 3 to 6, which lie in 0..1, put 0.95 at y = 792. Dotted reference
// lines mark x = 0 and x = 1 when they fall inside the profile. Values that are not finite
// numbers are left out of the range and the drawing.

#include "plots/PlotWindow.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace orvanta {

class Desktop;
class UserInterface;
struct DistributionProfile;

namespace distributionPlot {
inline constexpr const char* windowName = "frmDistPlot";
inline constexpr const char* caption = "Distribution plots";
inline constexpr double left = 720.0; // the plot area
inline constexpr double right = 7200.0;
inline constexpr double top = 480.0;
inline constexpr double bottom = 6720.0;
inline constexpr double confidenceLevelY = 792.0; // 0.95 on a range of 0..1
inline constexpr double graphWidth = 7900.0;      // the surface, with room for the captions
inline constexpr double graphHeight = 8000.0;
inline constexpr double pointRadius = 30.0;
inline constexpr int curveCount = 7;
} // namespace distributionPlot

// The tool whose record is drawn; it names curve 2.
enum class DistributionSource { LikelihoodProfile, Posterior, PriorProfile };

// The names of curves 1..7 (element 0 unused) for a record of that source.
std::array<std::string, distributionPlot::curveCount + 1> distributionCurveNames(DistributionSource source);

class DistributionPlotWindow : public PlotWindow {
public:
    // openDistributionPlot without the waiting: the window cleared, the seven curves, their names
    // and the x label filled, the names listed with the first selected, the check boxes at their
    // loading state. closeWindow closes it (the opener's desktop).
    DistributionPlotWindow(const DistributionProfile& profile, int parameter, DistributionSource source,
                           std::function<void()> closeWindow);

    int pointCount() const { return static_cast<int>(x_.size()) - 1; }
    const std::vector<double>& curve(int s) const { return curves_.at(static_cast<std::size_t>(s)); }
    const std::string& curveName(int s) const { return names_.at(static_cast<std::size_t>(s)); }
    const std::string& xLabel() const { return xLabel_; }

    void cmdPlot_Click() { buttonClicked("cmdPlot"); }
    void cmdClear_Click() { buttonClicked("cmdClear"); }
    void cmdDone_Click() { buttonClicked("cmdDone"); }
    void closeRequested() override { closeWindow_(); }

    // Draws the curve selected in listVar over what is drawn (cmdPlot, a double click).
    void drawDistributionCurve();
    // Erases the graph and the captions, and draws the grid marks.
    void clearPlot();

protected:
    void onButton(const std::string& name) override;
    void onCheckBox(const std::string& name) override;
    void onListDoubleClick(const std::string& name) override;

private:
    struct Range {
        double min = 0.0;
        double max = 0.0;
    };

    void declareControls();
    Range valueRange(const std::vector<double>& v) const;
    void drawReferenceLines();
    void showCurveLabels(int s, const Range& y);
    void showPlotInformation();
    void drawCurve(const std::vector<double>& v, const Range& y, int colour);

    std::vector<double> x_;                                                    // 1..n
    std::array<std::vector<double>, distributionPlot::curveCount + 1> curves_; // 1..7, each 1..n
    std::array<std::string, distributionPlot::curveCount + 1> names_;
    std::string xLabel_;
    std::string informationValues_; // lblPlotInfoValues of curve 2
    std::function<void()> closeWindow_;
};

// Shows the record in a new modal window on the desktop and waits until the user closes it (or
// the program ends; the window is then closed).
void openDistributionPlot(const DistributionProfile& profile, int parameter, DistributionSource source,
                          Desktop& desktop, UserInterface& ui, const std::function<bool()>& programEnded);

} // namespace orvanta
