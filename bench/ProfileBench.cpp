// A 25-point maximum-likelihood profile of L-infinity on the bundled example with the Simplex
// re-minimizing the six other free parameters at every point, as orvanta-batch profile runs it.
// Untimed set-up: the data and algorithm file read, a Simplex fit, the covariances and the steps
// 8 SE / 24 from grid 2, so the profile spans the estimate plus and minus 4 standard errors.

#include "BundledExample.h"
#include "uncertainty/LikelihoodProfile.h"

#include <benchmark/benchmark.h>

namespace orvanta {
namespace {

constexpr int profilePoints = 25;
constexpr int linf = 1;

// The example fitted, with the profile's steps; false when something was refused.
bool prepareProfile(BatchEngine& engine)
{
    const std::optional<std::vector<double>> errors = fitBundledExample(engine);
    if (!errors)
        return false;
    setProfileSteps(engine.app.algorithm, *errors, profilePoints);
    return true;
}

void LikelihoodProfileOfLinfOnTheBundledExample(benchmark::State& state)
{
    double calls = 0.0;
    for (auto _ : state) {
        state.PauseTiming();
        BatchEngine engine;
        if (!prepareProfile(engine)) {
            state.SkipWithError("the bundled example could not be fitted");
            return;
        }
        CountingModel counting(engine.model);
        engine.app.setModel(&counting);
        state.ResumeTiming();
        const ProfileEnd end =
            calculateLikelihoodProfile(engine.app, {linf, profilePoints, ProfileMinimizer::Simplex});
        benchmark::DoNotOptimize(end);
        state.PauseTiming();
        calls += static_cast<double>(counting.calls);
        state.ResumeTiming();
    }
    state.counters["model_calls_per_profile"] = benchmark::Counter(calls, benchmark::Counter::kAvgIterations);
    state.counters["model_calls_per_second"] = benchmark::Counter(calls, benchmark::Counter::kIsRate);
}
BENCHMARK(LikelihoodProfileOfLinfOnTheBundledExample)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace
} // namespace orvanta
