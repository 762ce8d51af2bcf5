#include "model/ChiSquare.h"
#include "model/DataSimulator.h"

#include <benchmark/benchmark.h>

#include <cmath>

// The simulated chi-square test of the results summary on the largest frequency table: 250
// cells and N individuals spread like a length frequency (a bell over cells 40..200), 1000
// simulations. Each draw searches the cumulative table linearly from the first cell.

namespace orvanta {
namespace {

ChiSquareInput frequencyTest(double N)
{
    ChiSquareInput input;
    input.firstCell = 1;
    input.lastCell = 250;
    input.observed.assign(251, 0.0);
    input.expected.assign(251, 0.0);
    double total = 0.0;
    for (int c = 1; c <= 250; ++c) {
        const double z = (c - 120.0) / 30.0;
        input.expected[c] = std::exp(-0.5 * z * z);
        total += input.expected[c];
    }
    for (int c = 1; c <= 250; ++c) {
        input.expected[c] *= N / total;
        input.observed[c] = std::round(input.expected[c] * (1.0 + 0.2 * std::sin(c)));
    }
    input.N = N;
    return input;
}

void simulatedChiSquare1000(benchmark::State& state)
{
    const ChiSquareInput input = frequencyTest(static_cast<double>(state.range(0)));
    double p = 0.0;
    for (auto _ : state) {
        SimulationRandom random(7);
        const auto result = runSimulatedChiSquare(input, 1000, random, [](double) { return true; });
        p = result ? result->p : -1.0;
        benchmark::DoNotOptimize(p);
    }
    state.counters["p"] = p;
}
BENCHMARK(simulatedChiSquare1000)->Arg(1500)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace orvanta
