#pragma once

// A small covariance run made by hand, whose report the tests know line by line.

#include "algorithm/AlgorithmData.h"
#include "support/TextLines.h"
#include "uncertainty/CovarianceReport.h"
#include "uncertainty/CovarianceResults.h"

#include <cmath>
#include <string>
#include <vector>

namespace orvanta::testing {

// Three model parameters, 1 and 3 free (2 has step 0); grids 1 and 2 calculated, grid 3's
// Hessian not positive-definite. covScale 0.5 (the constant 2).
struct SmallRun {
    CovarianceRun run;
    AlgorithmData algorithm;
    double covScale = 0.5;

    SmallRun()
    {
        algorithm.paramCount = 3;
        algorithm.fuseCodes = {"", "~~", "~~", "~~"};
        algorithm.paramDescriptions = {"", "mean of L-infinity", "SD of L-infinity", "mean of k"};

        run.derivativeMode = CovarianceMode::Numerical;
        run.centreValues = {0, 3.0, 8.0, 1.0};
        run.centreSteps = {0, 0.1, 0.0, 0.05};
        run.centreObjective = 100.0;
        run.covParamOf = {0, 1, 3};
        run.covPositionOf = {0, 1, 0, 2};
        run.gridAverage = {-1, 104.0, 100.4, 100.004};
        run.gridStdDev = {-1, 5.0, 0.5, 0.005};
        setGrid(1, {{1.0, 0.1}, {0.1, 0.0625}});
        setGrid(2, {{4.0, -0.4}, {-0.4, 0.16}});
        run.grids[3].reset(2);
    }

    // A calculated grid from its 2 x 2 covariance matrix.
    void setGrid(int g, const std::vector<std::vector<double>>& c)
    {
        GridResults& grid = run.grids[static_cast<std::size_t>(g)];
        grid.reset(2);
        for (std::size_t a = 1; a <= 2; ++a) {
            grid.standardError[a] = std::sqrt(c[a - 1][a - 1]);
            for (std::size_t b = 1; b <= 2; ++b)
                grid.covariance[a][b] = c[a - 1][b - 1];
        }
        grid.varianceProduct = c[0][0] * c[1][1];
        grid.determinant = c[0][0] * c[1][1] - c[0][1] * c[1][0];
    }

    // The report from its line 3 on.
    std::string text() const { return covarianceReportText(run, algorithm, covScale); }
};

} // namespace orvanta::testing
