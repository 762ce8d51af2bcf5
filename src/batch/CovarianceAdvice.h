#pragma once

// Which of a covariance run's grids to trust. The standard errors of a numerical Hessian depend
// on its grid: a coarse grid feels the objective's curvature far from the centre, a fine one
// feels the step-wise noise of the model's size classes. Where two neighbouring grids agree,
// the standard errors no longer depend on the grid, and the coarser of the two is the safer.

#include "uncertainty/CovarianceResults.h"

#include <optional>
#include <vector>

namespace orvanta {

// The largest relative difference at which two grids' standard errors count as agreeing.
inline constexpr double gridAgreementTolerance = 0.10;

// How far the standard errors of two positive-definite grids (gridA < gridB) lie apart.
struct GridAgreement {
    int gridA;
    int gridB;
    // The largest over the free parameters of |seA - seB| / min(|seA|, |seB|): 0 for equal
    // standard errors, 0.1 when the larger is 10 % above the smaller; infinite when exactly
    // one of them is 0 or either is not finite.
    double largestRelativeDifference;
};

struct GridAdvice {
    std::vector<GridAgreement> agreements; // every pair of positive-definite grids, by number
    std::optional<int> recommendedGrid;
};

// Whether the grid's Hessian was positive definite (its results were calculated).
bool gridPositiveDefinite(const GridResults& grid);

// The agreements and the recommended grid: ordering the positive-definite grids by factor from
// the largest (coarsest) down, the first whose standard errors all agree within
// gridAgreementTolerance with those of the next positive-definite grid; none with fewer than two
// positive-definite grids or when no neighbours agree.
GridAdvice adviseGrid(const CovarianceRun& run);

} // namespace orvanta
