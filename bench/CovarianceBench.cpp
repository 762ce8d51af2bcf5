// A numerical covariance run (three grids) on the bundled example at its algorithm file's
// values, as orvanta-batch covariance runs it; reports the model evaluations per second.
// Loading the data and the algorithm file is not timed.

#include "BundledExample.h"
#include "uncertainty/CovarianceCalculator.h"

#include <benchmark/benchmark.h>

namespace orvanta {
namespace {

void CovarianceOfTheBundledExample(benchmark::State& state)
{
    double calls = 0.0;
    for (auto _ : state) {
        state.PauseTiming();
        BatchEngine engine;
        if (!loadBundledExample(engine)) {
            state.SkipWithError("the bundled example could not be loaded");
            return;
        }
        CovarianceSettings settings;
        settings.objectiveConstant = 0.5; // the objective is twice the negative log-likelihood
        state.ResumeTiming();
        const bool calculated = runNumericalCovariance(engine.app, settings);
        benchmark::DoNotOptimize(calculated);
        state.PauseTiming();
        const int n = engine.app.covariance.freeCount();
        calls += 1.0 + 3.0 * n * (n + 1); // the centre and three grids
        state.ResumeTiming();
    }
    state.counters["calls_per_second"] = benchmark::Counter(calls, benchmark::Counter::kIsRate);
    state.counters["calls_per_run"] = benchmark::Counter(calls, benchmark::Counter::kAvgIterations);
}
BENCHMARK(CovarianceOfTheBundledExample)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace orvanta
