#include "algorithm/AlgorithmData.h"

#include <benchmark/benchmark.h>

#include <cstddef>

namespace orvanta {
namespace {

// 20 parameters: group A on 2, 5, 9, group B on 12, 15, 18; every other third parameter frozen.
AlgorithmData twentyParametersInTwoGroups()
{
    AlgorithmData data;
    data.paramCount = 20;
    resetAlgorithmData(data);
    for (std::size_t i = 1; i <= 20; ++i) {
        data.paramValues[i] = 0.5 * static_cast<double>(i);
        data.paramSteps[i] = i % 3 == 0 ? 0.0 : 0.05;
    }
    for (std::size_t i : {2, 5, 9})
        data.fuseCodes[i] = "A";
    for (std::size_t i : {12, 15, 18})
        data.fuseCodes[i] = "B";
    buildFuseGroups(data);
    buildFreeIndex(data);
    return data;
}

void composeTrialVectorTwentyParameters(benchmark::State& state)
{
    AlgorithmData data = twentyParametersInTwoGroups();
    std::vector<double> coordinates(static_cast<std::size_t>(data.freeCount) + 1, 0.0);
    for (std::size_t k = 1; k < coordinates.size(); ++k)
        coordinates[k] = data.freeValues[k] + data.freeSteps[k];
    const FusePinning pinning{state.range(0) != 0, 9};

    for (auto _ : state) {
        composeTrialVector(data, coordinates, pinning);
        benchmark::DoNotOptimize(data.trialVector.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(composeTrialVectorTwentyParameters)->ArgName("pinned")->Arg(0)->Arg(1);

} // namespace
} // namespace orvanta
