#pragma once

// The simulated chi-square test of the results summary: how unusual is the observed chi-square
// statistic among statistics of samples drawn from the predicted cell frequencies themselves?
// (A Monte Carlo test in the sense of Hope 1968, so that small expected counts need no pooling.)
//
// X = sum over cells with e(c) > 0 of (o(c) - e(c))^2 / e(c). Each simulation draws N (rounded,
// halves to even) individuals into the cells with probabilities in proportion to the expected
// counts, where the last cell takes whatever remains of N (the cumulative table ends at N
// whatever the expected counts add up to), and computes the same statistic X_s. p is the share
// of the X_s strictly greater than X: a p near 0 says the data scatter more than the model
// allows, a p near 1 less.
//
// Cells with e(c) <= 0 are left out of every statistic; an observation in such a cell makes the
// test meaningless (p seriously overestimated), which the caller tells the user.
//
// Counts are 64-bit: N and a cell count may exceed 32767 (a large frequency sample) without
// wrapping. The number of simulations is a whole number (the caller takes the whole part of
// what the user typed).

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace orvanta {

class ModelHost;
class SimulationRandom;

struct ChiSquareInput {
    int firstCell = 1;
    int lastCell = 1;
    std::vector<double> observed; // o(c), cells firstCell..lastCell (indexed by cell)
    std::vector<double> expected; // e(c)
    double N = 0.0;               // total of each simulated sample
};

struct ChiSquareResult {
    double nSims = 0.0;
    double X = 0.0; // observed statistic
    double mean = 0.0;
    std::optional<double> sd; // none: "Undefined" (variance not positive)
    double minimum = 1e100;
    double maximum = 0.0;
    double above = 0.0; // simulations with X_s > X
    double p = 0.0;
    double SE = 0.0;
    bool unexpected = false; // some cell with o(c) > 0 has e(c) <= 0
};

// The statistic over cells with e(c) > 0; sets unexpected when a left-out cell holds observations.
double chiSquareStatistic(const ChiSquareInput& input, const std::vector<double>& counts,
                          bool* unexpected = nullptr);

// Runs nSims simulations with uniforms from random. beforeSimulation(s) runs before simulation s
// and may stop the test (false): then nothing is returned.
std::optional<ChiSquareResult> runSimulatedChiSquare(const ChiSquareInput& input, double nSims,
                                                     SimulationRandom& random,
                                                     const std::function<bool(double s)>& beforeSimulation);

// The four report lines of a test; the fourth has no line break of its own.
std::string chiSquareReportLines(const ChiSquareResult& result);

// The whole test as the summary runs it: seeds a generator from the host, shows each
// simulation's number in the message panel and yields, clears the panel, warns (with the given
// title) when an observation lies in a cell expected to be empty, and returns the four lines.
// Nothing when the program ended during the test.
std::optional<std::string> simulatedChiSquare(const ChiSquareInput& input, double nSims,
                                              const std::string& warningTitle, ModelHost& host);

} // namespace orvanta
