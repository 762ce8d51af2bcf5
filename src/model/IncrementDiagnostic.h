#pragma once

// The chi-square diagnostic of the growth increments in the results summary. The standardized
// residuals (d - meanIncrement) / sqrt(incrementVariance + mv) of the records are counted in
// half-SD cells: cell c = 1..24 holds the residuals from (c - 13)/2 to (c - 12)/2 SD (-6 to +6
// SD), cell 0 those outside. Two expectations are compared with these counts:
//   g(c), a plain standard normal: nInc (Phi((c - 12)/2) - Phi((c - 13)/2));
//   m(c), the fitted error model itself (truncation, measurement error, gamma errors and
//   size-at-age selection included): each record's density of the observed increment, put on
//   the scale of standardized residuals, is evaluated on the grid j/16 SD (j = -96..96) and summed
//   over records; Simpson's rule over pairs of grid steps gives the mass of every half-SD cell,
//   scaled so that the cells add up to nInc. T, the unscaled total, is printed too: it should be
//   close to nInc, and the difference shows how much mass lies beyond 6 SD or is lost to the grid.

#include "model/ModelState.h"

#include <array>
#include <optional>
#include <string>

namespace orvanta {

class ModelHost;

inline constexpr int residualCells = 24; // cells 1..24; cell 0 counts the residuals outside

using CellCounts = std::array<double, residualCells + 1>;

// The cell of a standardized residual: int(2 residual + 12.001) + 1 when that is 1..24, else 0
// (also for a residual that is not a number, as from a variance of 0).
int residualCell(double residual);

// g(1..24) for nInc records (g(0) = 0); gSum is their sum.
CellCounts normalExpectation(int nInc, double& gSum);

struct ModelExpectation {
    CellCounts m{}; // scaled to nInc; all 0 when T is not positive
    double T = 0.0; // the unscaled total
};

// m(0..24) and T from the best parameters (state.bestParams with the floors of an evaluation),
// showing "Calculating error for increment i of n" in the message panel and yielding before
// every record. Nothing when the program ended; T = 0 when a record could not be predicted.
std::optional<ModelExpectation> incrementErrorCells(const ModelState& state, ModelHost& host);

// The whole diagnostic text that the summary appends: the notes, the SD frequency table with
// both expectations and the two simulated tests. Nothing when the program ended meanwhile.
std::optional<std::string> incrementChiSquareDiagnostic(const ModelState& state, const CellCounts& r,
                                                        double nSims, ModelHost& host);

} // namespace orvanta
