#pragma once

// Reading a saved covariance report (.cov) back: the parameter values and the standard errors of
// the free parameters on the three grids, by the line and column positions of the report
// (CovarianceReport.h):
//   line 1                 "Originally saved with the file name: " and the path
//   line 3                 the heading; lines 5 .. 4+NP the parameter lines: " 000) " with the
//                          parameter number, the value in characters 7-20, the step in 21-36
//   line 19+NP             the heading of the standard errors; from line 20+NP one line per free
//                          parameter: its number in characters 1-3 and the standard errors of
//                          grids 1, 2 and 3 in the 14 characters from columns 25, 43 and 61,
//                          ended by an empty line.
// A file is refused, with a message naming it and the reason, when it was saved more than once
// (each save stacks one more saved-name line and shifts every position), is cut short, holds
// another number of parameters, lists standard errors for other parameters than those with a
// non-zero step, or holds a field that is not a number. Which grid may serve which parameters
// is asked separately: a grid that was not calculated shows -1 for every standard error.
//
// The likelihood profiles take step sizes from it, and so do the posterior integration and the
// model averaging.

#include "uncertainty/CovarianceResults.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvanta {

// The standard errors of a set of free parameters on the three grids, as a covariance run or a
// covariance file holds them. -1 marks a number that was not calculated.
struct StandardErrorTable {
    std::vector<int> freeParams;                                   // 1..n: parameter numbers
    std::array<std::vector<double>, gridCount + 1> standardErrors; // [grid 1..3][position 1..n]

    int freeCount() const { return freeParams.empty() ? 0 : static_cast<int>(freeParams.size()) - 1; }
    // The standard error of parameter param on grid (1..3); nothing when it has no line.
    std::optional<double> standardError(int grid, int param) const;
};

// The table of the last covariance run.
StandardErrorTable standardErrorTable(const CovarianceRun& run);

// Why the standard errors of grid (1..3) cannot serve every parameter of params: one of them has
// no standard error, the grid was not calculated (-1), or a standard error is not a positive
// number. Nothing when they all can.
std::optional<std::string> standardErrorProblem(const StandardErrorTable& table, int grid,
                                                const std::vector<int>& params);

// The standard errors of grid (1..3) by parameter number 1..paramCount, 0 where a parameter has
// none.
std::vector<double> standardErrorsByParameter(const StandardErrorTable& table, int grid, int paramCount);

struct CovarianceFile {
    std::string path;
    int paramCount = 0;
    std::vector<double> estimates; // 1..paramCount: the values the covariances were calculated at
    std::vector<double> steps;     // 1..paramCount: a non-zero step made a parameter free
    StandardErrorTable table;
};

// A covariance file read back, or why it was refused (a whole sentence naming the file).
struct CovarianceFileReading {
    std::optional<CovarianceFile> file;
    std::string error;

    bool ok() const { return file.has_value(); }
};

// The longest covariance file read: far beyond any report of 20 parameters.
inline constexpr std::size_t largestCovarianceFile = 16u << 20;

// Reads text as the covariance file at path of a model with paramCount parameters. Line ends
// may be CR LF, LF or CR.
CovarianceFileReading parseCovarianceFile(std::string_view text, const std::string& path, int paramCount);

// Reads the file at path from disk (at most largestCovarianceFile bytes) and parses it.
CovarianceFileReading readCovarianceFile(const std::string& path, int paramCount);

// The standard errors of grid (1..3) for params, by parameter number (1..paramCount, 0 for the
// others); nothing, with a sentence naming the file in error, when standardErrorProblem finds one.
std::optional<std::vector<double>> gridStandardErrors(const CovarianceFile& file, int grid,
                                                      const std::vector<int>& params, std::string& error);

} // namespace orvanta
