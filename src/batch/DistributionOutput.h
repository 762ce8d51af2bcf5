#pragma once

// What the batch commands that calculate a distribution (profile, prior-profile) write: the
// report file as its report window saves it, and the picture of the distribution plot window.

#include "plots/DistributionPlotWindow.h"

#include <iosfwd>
#include <string>

namespace orvanta {

struct DistributionProfile;

// Saves text as the report window windowName's save writes it to path; false, after one line on
// err, when it cannot be written.
bool writeReportFile(const std::string& windowName, const std::string& text, const std::string& path,
                     const std::string& commandName, std::ostream& err);

// The distribution plot window after a Clear with the density (curve 2) and then -ln[L]
// (curve 1) drawn, lines and points, written as SVG to path; false, after one line on err, when
// it cannot be written.
bool writeDistributionPlot(const DistributionProfile& profile, int parameter, DistributionSource source,
                           const std::string& path, const std::string& commandName, std::ostream& err);

} // namespace orvanta
