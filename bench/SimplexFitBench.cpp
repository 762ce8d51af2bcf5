// A Simplex fit of the bundled example, as orvanta-batch fit runs it; reports the model
// evaluations per second. Reading the data and the algorithm file is not timed.

#include "batch/BatchEngine.h"
#include "minimize/SimplexMinimizer.h"

#include <benchmark/benchmark.h>

#include <sstream>
#include <string>

namespace orvanta {
namespace {

const std::string examplesDir = ORVANTA_EXAMPLES_DIR;

// The engine loaded with the example, ready to run the Simplex; false when a file was refused.
bool prepareExample(BatchEngine& engine)
{
    InitializationRequest request;
    request.frequencyFile = examplesDir + "/tarnfield-lengths.dat";
    request.incrementFile = examplesDir + "/tarnfield-tags.dat";
    std::ostringstream problems;
    if (!initializeFromData(engine, request, "bench", problems) ||
        !loadAlgorithmFile(engine, examplesDir + "/tarnfield.alg", "bench", problems))
        return false;
    buildFreeIndex(engine.app.algorithm);
    // The batch answer at the call limit: stop rather than run on.
    engine.ui.answerQuestionsTitled("Simplex minimization", Answer::No);
    return engine.app.algorithm.freeCount > 0;
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
