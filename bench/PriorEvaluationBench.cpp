#include "priors/PriorEvaluation.h"
#include "priors/PriorSpec.h"

#include <benchmark/benchmark.h>

#include <array>
#include <vector>

namespace {

using orvanta::PriorSpec;

// Twenty parameters, every type at least twice, at values inside their supports, on their
// walls and near their feet: the work one objective evaluation adds while priors are in force.
std::vector<PriorSpec> mixedPriors()
{
    const std::array<PriorSpec, 10> kinds = {
        PriorSpec{"U"},
        PriorSpec{"N", 3.0, 2.0},
        PriorSpec{"E", 4.0, 4.0},
        PriorSpec{"G", 4.0, 2.0},
        PriorSpec{"L", 2.0, 1.0},
        PriorSpec{"B", 0.3, 0.1},
        PriorSpec{"S", 0.5, 0.2},
        PriorSpec{"D", 5.0, 0.0},
        PriorSpec{"T", 0.0, 0.5, 10.0, 0.5},
        PriorSpec{"G", 10.0, 3.0},
    };
    std::vector<PriorSpec> priors(1); // element 0 unused
    for (int round = 0; round < 2; ++round)
        priors.insert(priors.end(), kinds.begin(), kinds.end());
    return priors;
}

void evaluateTwentyMixedPriors(benchmark::State& state)
{
    const std::vector<PriorSpec> priors = mixedPriors();
    orvanta::PriorResults results;
    results.priorTerm.assign(priors.size(), 0.0);
    std::vector<double> x(priors.size());
    for (std::size_t i = 1; i < x.size(); ++i)
        x[i] = i <= 10 ? 0.25 * static_cast<double>(i) : -0.5 + 0.9 * static_cast<double>(i - 10);
    for (auto _ : state) {
        orvanta::evaluatePriors(priors, x, 0.5, results);
        benchmark::DoNotOptimize(results.priorPenalty);
    }
}
BENCHMARK(evaluateTwentyMixedPriors);

} // namespace
