#pragma once

// What a covariance run leaves behind: its settings, the centre it was calculated at and the
// results of its three grids. The calculator fills it; the report and the .cov file read it.
// Vectors follow the parameter set's convention: index 0 unused.

#include <array>
#include <vector>

namespace orvanta {

inline constexpr int gridCount = 3;

// The results of one grid. Every number is -1 until the grid's inversion step calculates it,
// so -1 marks a number that was not calculated.
struct GridResults {
    double determinant = -1.0;               // of the covariance matrix
    double varianceProduct = -1.0;           // product of the covariance matrix's diagonal
    std::vector<double> standardError;       // 1..n; square root of the diagonal, with its sign
    std::vector<std::vector<double>> covariance; // 1..n x 1..n

    // Every number -1, sized for n free positions.
    void reset(int n);
};

enum class CovarianceMode { Undecided, Analytical, Numerical }; // "A" or "N"

struct CovarianceRun {
    CovarianceMode derivativeMode = CovarianceMode::Undecided;
    std::array<double, gridCount + 1> gridFactors{0.0, 1.0, 0.1, 0.01}; // 1..3
    std::vector<double> centreValues;  // 1..paramCount
    std::vector<double> centreSteps;   // 1..paramCount; a non-zero step makes a parameter free
    double centreObjective = 0.0;
    bool optimisticSEs = false;        // conditional standard errors only
    std::vector<int> covParamOf;       // 1..n: parameter number of free position a
    std::vector<int> covPositionOf;    // 1..paramCount: free position of parameter p (0 if fixed)
    std::array<double, gridCount + 1> gridAverage{-1.0, -1.0, -1.0, -1.0}; // 1..3; -1 interrupted
    std::array<double, gridCount + 1> gridStdDev{-1.0, -1.0, -1.0, -1.0};  // 1..3; -1 interrupted
    std::array<GridResults, gridCount + 1> grids;                          // 1..3
    bool lastRunJustFinished = false;  // which caption the display window shows
    // Set by the calculations window's interrupt button, read and cleared by the calculator
    // between function evaluations (covInterruptRequested).
    bool interruptRequested = false;

    int freeCount() const { return covParamOf.empty() ? 0 : static_cast<int>(covParamOf.size()) - 1; }
};

} // namespace orvanta
