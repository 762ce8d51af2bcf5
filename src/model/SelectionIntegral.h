#pragma once

// The integral A of the size-at-age selectivity: the probability that an animal of a record's
// predicted size distribution is selected, A = integral of f(x) = exp(-nll(x)) sel(x) dx, by
// Simpson's rule on panels [x, x + h] with their midpoint, from x = 0.001 up to `upper`. The
// panel width is `fineStep` while x <= fineUntil and `coarseStep` beyond; the integration stops
// as soon as the accumulated A reaches 0.999999.
//
// With a narrow size distribution (a variance at its floor) or a narrow selection curve the
// steps shrink towards zero, and the integration takes as many panels as the range holds steps
// (the selection curve below 1 keeps A from ever reaching 0.999999): minutes for one record.
// So where the full integration needs at most PanelLimits::full panels it is done as given,
// bit for bit; beyond that:
//   - only the panels that overlap the integrand's extent are integrated (outside it f is far
//     below anything a double holding A can show), on the same panel grid: panel ends where
//     the full integration puts them, up to the rounding of start + n h against adding h n
//     times; the same stop at 0.999999;
//   - where the grid's step is finer than a fifth of the narrowest SD on which f varies (the
//     error model's density can be wider than the SD the step is taken from, when its variance
//     is at its floor), whole panels of the grid are joined up to that width, their ends still
//     on the grid. Simpson's rule with five panels per SD already integrates a Gaussian to
//     double precision, so the result changes continuously across the limit;
//   - should the extent still hold more than PanelLimits::extent panels (a gamma density of a
//     tiny shape reaches far beyond its SD), panels are joined further to keep to that number.
// A record then takes a few hundred panels: milliseconds.

#include <cstdint>
#include <functional>

namespace orvanta {

// The panel grid of the full integration.
struct SelectionPanels {
    double start = 0.001;
    double fineStep = 0.0;   // min(sd, sqrt(selVar)) / 5
    double fineUntil = 0.0;  // selMean + 5 sqrt(selVar): fine panels start at or below it
    double coarseStep = 0.0; // sd / 5
    double upper = 0.0;      // Linf + cycleL + 5 sdL: no panel starts at or beyond it
};

// Where the integrand matters and how finely it varies.
struct IntegrandExtent {
    double low = 0.0; // outside [low, high] the integrand is negligible
    double high = 0.0;
    double narrowestSd = 0.0; // the smallest SD on which it varies; 0: panels are never joined
};

// How many panels the integration may take: in full, and within the extent. A record of real
// data needs a few thousand at most (an SD of 1/16 unit over 250 units takes 20000), each a few
// microseconds, so that 2000 records take well under a second; a convolved error model, whose
// every evaluation is itself a Simpson integral of 101 panels, a tenth of that. A million
// panels, the bound one would set for a single record, still let the 2000 records of a size SD
// at its floor (5e5 panels each) take two minutes.
struct PanelLimits {
    double full = 2e4;
    double extent = 2e4;
};
inline constexpr PanelLimits plainIntegrandLimits{2e4, 2e4};
inline constexpr PanelLimits convolvedIntegrandLimits{2e3, 2e3};

struct SelectionIntegral {
    double area = 0.0;
    std::int64_t panels = 0; // panels integrated
    // Why no area could be computed ("" when it was): a step that does not advance x, an
    // extent that is not finite, or (should the panels be miscounted) far more panels than the
    // limit within the extent.
    const char* failure = "";

    bool failed() const { return *failure != '\0'; }
};

// The number of panels the full integration would take, up to rounding; +infinity when it would
// never end and NaN when a limit or a step in use is NaN.
double fullPanelCount(const SelectionPanels& panels);

// A over the panel grid: in full when fullPanelCount is at most limits.full (or NaN, so that a
// NaN step fails as it does in full), otherwise within extent as described above.
SelectionIntegral integrateSelection(const SelectionPanels& panels, const IntegrandExtent& extent,
                                     const std::function<double(double)>& integrand,
                                     const PanelLimits& limits = plainIntegrandLimits);

} // namespace orvanta
