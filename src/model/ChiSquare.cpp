#include "model/ChiSquare.h"

#include "model/DataSimulator.h"
#include "model/ModelHost.h"
#include "text/NumberText.h"
#include "ui/UserInterface.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace orvanta {

namespace {

constexpr const char* citation = "Hope, A. C. A. 1968. A simplified Monte Carlo significance test procedure. "
                                 "J. R. Stat. Soc. B 30: 582-598";

double cellValue(const std::vector<double>& values, int cell)
{
    return cell >= 0 && static_cast<std::size_t>(cell) < values.size()
               ? values[static_cast<std::size_t>(cell)]
               : 0.0;
}

// C(firstCell - 1) = 0, C(c) = C(c - 1) + e(c), and C(lastCell) = N: the last cell takes the
// remainder of N.
std::vector<double> cumulativeDrawTable(const ChiSquareInput& input)
{
    std::vector<double> C(static_cast<std::size_t>(input.lastCell) + 1, 0.0);
    double sum = 0.0;
    for (int c = input.firstCell; c < input.lastCell; ++c) {
        sum += cellValue(input.expected, c);
        C[static_cast<std::size_t>(c)] = sum;
    }
    C[static_cast<std::size_t>(input.lastCell)] = input.N;
    return C;
}

// The cell of a draw r: the first cell c, searching upward from firstCell, with
// C(c - 1) < r <= C(c); 0 when none fits.
int drawnCell(const ChiSquareInput& input, const std::vector<double>& C, bool ascending, double r)
{
    if (ascending) {
        // In a table that never falls the first c with r <= C(c) also has C(c - 1) < r (C of the
        // cell before the first is 0, and r > 0).
        if (!(r > 0.0))
            return 0;
        const auto first = C.begin() + input.firstCell;
        const auto last = C.begin() + input.lastCell + 1;
        const auto found = std::lower_bound(first, last, r);
        return found == last ? 0 : static_cast<int>(found - C.begin());
    }
    double below = 0.0; // C(c - 1), 0 before the first cell
    for (int c = input.firstCell; c <= input.lastCell; ++c) {
        const double upTo = C[static_cast<std::size_t>(c)];
        if (below < r && r <= upTo)
            return c;
        below = upTo;
    }
    return 0;
}

// One simulated sample of draws individuals; a draw that fits no cell is dropped.
void drawSample(const ChiSquareInput& input, const std::vector<double>& C, std::int64_t draws,
                SimulationRandom& random, std::vector<double>& counts)
{
    const bool ascending = std::is_sorted(C.begin() + input.firstCell, C.end()) &&
                           C[static_cast<std::size_t>(input.firstCell)] >= 0.0;
    std::vector<std::int64_t> n(C.size(), 0);
    const double total = C[static_cast<std::size_t>(input.lastCell)];
    for (std::int64_t i = 0; i < draws; ++i) {
        const int c = drawnCell(input, C, ascending, random.uniform() * total);
        if (c > 0)
            ++n[static_cast<std::size_t>(c)];
    }
    counts.assign(n.size(), 0.0);
    for (std::size_t c = 0; c < n.size(); ++c)
        counts[c] = static_cast<double>(n[c]);
}

} // namespace

double chiSquareStatistic(const ChiSquareInput& input, const std::vector<double>& counts, bool* unexpected)
{
    double X = 0.0;
    for (int c = input.firstCell; c <= input.lastCell; ++c) {
        const double e = cellValue(input.expected, c);
        const double o = cellValue(counts, c);
        if (e > 0.0)
            X += (o - e) * (o - e) / e;
        else if (o > 0.0 && unexpected)
            *unexpected = true;
    }
    return X;
}

std::optional<ChiSquareResult> runSimulatedChiSquare(const ChiSquareInput& input, double nSims,
                                                     SimulationRandom& random,
                                                     const std::function<bool(double s)>& beforeSimulation)
{
    ChiSquareResult result;
    result.nSims = nSims;
    const std::vector<double> C = cumulativeDrawTable(input);
    result.X = chiSquareStatistic(input, input.observed, &result.unexpected);
    const auto draws = static_cast<std::int64_t>(std::nearbyint(std::max(input.N, 0.0)));
    double sum = 0.0;
    double sumSquares = 0.0;
    std::vector<double> counts;
    for (double s = 1.0; s <= nSims; s += 1.0) {
        if (!beforeSimulation(s))
            return std::nullopt;
        drawSample(input, C, draws, random, counts);
        const double Xs = chiSquareStatistic(input, counts);
        sum += Xs;
        sumSquares += Xs * Xs;
        result.minimum = std::min(result.minimum, Xs);
        result.maximum = std::max(result.maximum, Xs);
        if (Xs > result.X)
            result.above += 1.0;
    }
    result.mean = sum / nSims;
    const double variance = sumSquares / nSims - result.mean * result.mean;
    if (variance > 0.0)
        result.sd = std::sqrt(variance);
    if (nSims > 1.0) {
        result.p = result.above / nSims;
        result.SE = std::sqrt(result.p * (1.0 - result.p) / (nSims - 1.0));
    } else {
        result.p = result.above;
        result.SE = 0.0;
    }
    return result;
}

std::string chiSquareReportLines(const ChiSquareResult& r)
{
    const std::string sd = r.sd ? formatNumber(*r.sd, " ###0.000") : formatNumber("Undefined", " ###0.000");
    return std::string("The following chi-square test is based on ") + citation + "\n" +
           "You can reject this model if the cumulative p[chi-square] is outside your acceptance range "
           "(e.g., "
           "0.025 < p < 0.975)\n" +
           "Simulated chi-square> n:" + formatNumber(r.nSims, " ###0") +
           "; Mean:" + formatNumber(r.mean, " ###0.000") + "; SD:" + sd +
           "; Minimum:" + formatNumber(r.minimum, " ###0.000") +
           "; Maximum:" + formatNumber(r.maximum, " ###0.000") + "\n" + "Observed chi-square>" +
           formatNumber(r.X, " ###0.000") + "; Cumulative p[chi-square]:" + formatNumber(r.p, " #0.000") +
           "; SE cumulative p[chi-square]:" + formatNumber(r.SE, " #0.000");
}

std::optional<std::string> simulatedChiSquare(const ChiSquareInput& input, double nSims,
                                              const std::string& warningTitle, ModelHost& host)
{
    SimulationRandom random(host.chiSquareSeed());
    const auto progress = [&](double s) {
        host.showProgress("Chi-square: Calculating simulation # " + numberText(s) + " of " +
                          numberText(nSims));
        host.ui().processPendingEvents();
        return !host.programEnded();
    };
    const std::optional<ChiSquareResult> result = runSimulatedChiSquare(input, nSims, random, progress);
    if (!result)
        return std::nullopt;
    host.showProgress("");
    host.ui().processPendingEvents();
    if (host.programEnded())
        return std::nullopt;
    if (result->unexpected)
        host.ui().showMessage(
            "At least one frequency cell with an observed value > 0 has a predicted value of "
            "0.\nTherefore the chi-square probability is seriously overestimated. Don't trust it!",
            warningTitle, Buttons::OK, Icon::Information);
    return chiSquareReportLines(*result);
}

} // namespace orvanta
