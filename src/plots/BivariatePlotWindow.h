#pragma once

// The bivariate density plot "frmBivarPlot" ("Bivariate pdf plot"): the joint posterior density
// of the evaluated parameter (x) and the one grid parameter (y) of a posterior integration,
// every inner grid cell painted by how far its density lies below the peak in standard-error
// units of a normal approximation: a density d with d / peak above exp(-s^2 / 2) lies within s
// SE. Bands, from the peak outwards: the peak itself light red, then "< 0.5" brown, "< 1.0"
// light yellow, "< 1.5" green, "< 2.0" cyan, "< 2.5" blue, "< 3.0" magenta, beyond white. A
// ratio on a band's boundary belongs to the band nearer the peak.
//
// Coordinates are twips on the graph. The plot area spans x = 720..8640 and y = 480 (top) to
// 6720 (bottom); the grid marks are drawn on it, then it is enlarged by half a cell on every
// side (each end rounded to a whole twip) so that the cells are centred on the grid values. The
// border points of the grid are not painted; the density-weighted sums of the painted cells give
// the correlation shown as r. Dashed lines mark x or y = 0 and 1 inside the ranges. The legend's
// seven bands stand to the right of the plot.

#include "plots/PlotWindow.h"

#include <functional>
#include <string>

namespace orvanta {

class Desktop;
class UserInterface;
struct BivariateDensity;

namespace bivariatePlot {
inline constexpr const char* windowName = "frmBivarPlot";
inline constexpr const char* caption = "Bivariate pdf plot";
inline constexpr double left = 720.0; // the plot area before it is enlarged
inline constexpr double right = 8640.0;
inline constexpr double top = 480.0;
inline constexpr double bottom = 6720.0;
inline constexpr double graphWidth = 12600.0; // with the legend and the captions
inline constexpr double graphHeight = 8400.0;
// LegendBox: seven bands top to bottom.
inline constexpr double legendLeft = 9600.0;
inline constexpr double legendRight = 10200.0;
inline constexpr double legendTop = 1200.0;
inline constexpr double legendBandHeight = 480.0;
inline constexpr int bandCount = 7;
} // namespace bivariatePlot

// The palette code of a cell whose density is ratio times the peak.
int bivariateBandColour(double ratio);
// The legend's colours, top to bottom: the peak band to the "< 3.0" band.
int legendBandColour(int band);

class BivariatePlotWindow : public PlotWindow {
public:
    // openBivariatePlot without the waiting: cleared and drawn. closeWindow closes it.
    BivariatePlotWindow(const BivariateDensity& density, std::function<void()> closeWindow);

    void cmdDone_Click() { buttonClicked("cmdDone"); }
    void closeRequested() override { closeWindow_(); }

    // lblLegend: the seven bands' labels separated by a carriage return and two line feeds. The
    // picture draws each label beside its band.
    static std::string legendText();

    // The correlation the painted cells imply; nothing when it is not defined.
    bool correlationShown() const { return !graphCaption("lblCorr").caption.empty(); }

protected:
    void onButton(const std::string& name) override;

private:
    void clearPlot();
    void draw(const BivariateDensity& density);
    void drawLegend();

    std::function<void()> closeWindow_;
};

// Shows the density in a new modal window on the desktop and waits until the user closes it (or
// the program ends; the window is then closed).
void openBivariatePlot(const BivariateDensity& density, Desktop& desktop, UserInterface& ui,
                       const std::function<bool()>& programEnded);

} // namespace orvanta
