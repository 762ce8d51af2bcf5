#pragma once

// The picture the distribution commands write, as a user saves it from the distribution plot
// window: after a Clear, curve 2 (the density) and curve 1 (-ln[L]) drawn, then "&Done".

#include "plots/DistributionPlotWindow.h"
#include "support/ScriptedUi.h"
#include "text/TextFile.h"
#include "ui/Clock.h"

namespace orvanta::testing {

// Draws the two curves and saves the picture through the save dialog (its file picked by the
// script), then closes the window.
inline void saveDistributionPicture(DistributionPlotWindow& plot, ScriptedUi& ui, const Clock& clock)
{
    plot.cmdClear_Click();
    for (int curve : {2, 1}) {
        plot.listClicked("listVar", curve - 1);
        plot.cmdPlot_Click();
    }
    savePlotPicture(plot, ui, clock, realFileSystem(), [](const PlotPicture&) { return ""; });
    plot.cmdDone_Click();
}

} // namespace orvanta::testing
