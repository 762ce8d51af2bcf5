// A Simplex fit of the bundled example, as orvanta-batch fit runs it; reports the model
// evaluations per second. Reading the data and the algorithm file is not timed.

#include "BundledExample.h"
#include "minimize/SimplexMinimizer.h"

#include <benchmark/benchmark.h>

namespace orvanta {
namespace {

// The engine loaded with the example, ready to run the Simplex; false when a file was refused.
bool prepareExample(BatchEngine& engine)
{
    if (!loadBundledExample(engine))
        return false;
    // The batch answer at the call limit: stop rather than run on.
    engine.ui.answerQuestionsTitled("Simplex minimization", Answer::No);
    return true;
}

void SimplexFitOfTheBundledExample(benchmark::State& state)
{
    double calls = 0.0;
    for (auto _ : state) {
        state.PauseTiming();
        BatchEngine engine;
        if (!prepareExample(engine)) {
            state.SkipWithError("the bundled example could not be loaded");
            return;
        }
        state.ResumeTiming();
        const SimplexEnd end = runSimplex(engine.app);
        benchmark::DoNotOptimize(end);
        state.PauseTiming();
        calls += engine.app.minimization.counters.callCount;
        state.ResumeTiming();
    }
    state.counters["calls_per_second"] = benchmark::Counter(calls, benchmark::Counter::kIsRate);
    state.counters["calls_per_fit"] = benchmark::Counter(calls, benchmark::Counter::kAvgIterations);
}
BENCHMARK(SimplexFitOfTheBundledExample)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace orvanta
