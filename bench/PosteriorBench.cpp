// A 25 x 25^2 = 15,625-call Bayesian posterior of L-infinity on the bundled example, integrated
// over two grid parameters (the next two free parameters; the others fixed), as orvanta-batch
// posterior runs it. Untimed set-up: the data and algorithm file read, a Simplex fit, the
// covariances and the steps from grid 2 (7 SE / 24 for the grid, 8 SE / 24 for L-infinity).

#include "BundledExample.h"
#include "uncertainty/PosteriorIntegration.h"

#include <benchmark/benchmark.h>

namespace orvanta {
namespace {

constexpr int points = 25;
constexpr int linf = 1;
constexpr int gridParameters = 2;

// The example fitted, three parameters left free, with the integration's steps.
bool preparePosterior(BatchEngine& engine, const PosteriorSettings& settings)
{
    const std::optional<std::vector<double>> errors = fitBundledExample(engine);
    if (!errors)
        return false;
    AlgorithmData& data = engine.app.algorithm;
    int kept = 0;
    for (const int q : freeParameters(data))
        if (q != linf && ++kept > gridParameters)
            data.paramSteps[static_cast<std::size_t>(q)] = 0.0;
    buildFuseGroups(data);
    buildFreeIndex(data);
    setPosteriorSteps(data, *errors, settings);
    setCovScale(engine.app.session, 2.0);
    return true;
}

void PosteriorOfLinfOnTheBundledExample(benchmark::State& state)
{
    const PosteriorSettings settings{linf, points, points, {}};
    double calls = 0.0;
    for (auto _ : state) {
        state.PauseTiming();
        BatchEngine engine;
        if (!preparePosterior(engine, settings)) {
            state.SkipWithError("the bundled example could not be fitted");
            return;
        }
        CountingModel counting(engine.model);
        engine.app.setModel(&counting);
        state.ResumeTiming();
        const PosteriorOutcome outcome = calculatePosterior(engine.app, settings);
        benchmark::DoNotOptimize(outcome);
        state.PauseTiming();
        if (outcome.end != PosteriorEnd::Complete || outcome.gridParameterCount != gridParameters) {
            state.SkipWithError("the integration did not complete over two grid parameters");
            return;
        }
        calls += static_cast<double>(counting.calls);
        state.ResumeTiming();
    }
    state.counters["model_calls_per_posterior"] =
        benchmark::Counter(calls, benchmark::Counter::kAvgIterations);
    state.counters["model_calls_per_second"] = benchmark::Counter(calls, benchmark::Counter::kIsRate);
}
BENCHMARK(PosteriorOfLinfOnTheBundledExample)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace
} // namespace orvanta
