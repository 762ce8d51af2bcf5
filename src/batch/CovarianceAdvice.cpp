#include "batch/CovarianceAdvice.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

namespace orvanta {

namespace {

double relativeDifference(double a, double b)
{
    a = std::fabs(a);
    b = std::fabs(b);
    if (!std::isfinite(a) || !std::isfinite(b))
        return std::numeric_limits<double>::infinity();
    if (a == b)
        return 0.0;
    const double smaller = std::min(a, b);
    return smaller > 0.0 ? std::fabs(a - b) / smaller : std::numeric_limits<double>::infinity();
}

double largestRelativeDifference(const CovarianceRun& run, int gridA, int gridB)
{
    const GridResults& a = run.grids[static_cast<std::size_t>(gridA)];
    const GridResults& b = run.grids[static_cast<std::size_t>(gridB)];
    double largest = 0.0;
    for (int k = 1; k <= run.freeCount(); ++k) {
        const auto position = static_cast<std::size_t>(k);
        largest = std::max(largest, relativeDifference(a.standardError[position], b.standardError[position]));
    }
    return largest;
}

} // namespace

bool gridPositiveDefinite(const GridResults& grid)
{
    return grid.determinant != -1.0;
}

GridAdvice adviseGrid(const CovarianceRun& run)
{
    std::vector<int> positiveDefinite;
    for (int g = 1; g <= gridCount; ++g)
        if (gridPositiveDefinite(run.grids[static_cast<std::size_t>(g)]))
            positiveDefinite.push_back(g);

    GridAdvice advice;
    for (std::size_t i = 0; i < positiveDefinite.size(); ++i)
        for (std::size_t j = i + 1; j < positiveDefinite.size(); ++j)
            advice.agreements.push_back(
                {positiveDefinite[i], positiveDefinite[j],
                 largestRelativeDifference(run, positiveDefinite[i], positiveDefinite[j])});

    // Coarsest first; equal factors keep the grids' order.
    std::stable_sort(positiveDefinite.begin(), positiveDefinite.end(), [&run](int a, int b) {
        return run.gridFactors[static_cast<std::size_t>(a)] > run.gridFactors[static_cast<std::size_t>(b)];
    });
    for (std::size_t i = 0; i + 1 < positiveDefinite.size(); ++i) {
        if (largestRelativeDifference(run, positiveDefinite[i], positiveDefinite[i + 1]) <=
            gridAgreementTolerance) {
            advice.recommendedGrid = positiveDefinite[i];
            break;
        }
    }
    return advice;
}

} // namespace orvanta
