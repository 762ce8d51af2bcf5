#include "AgainstReference.h"
#include "app/SessionState.h"
#include "model/FrequencyLikelihood.h"
#include "model/ModelHost.h"
#include "model/ModelParameters.h"
#include "model/ModelState.h"
#include "model/VectorMath.h"
#include "ui/UserInterface.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <string>

namespace orvanta {
namespace {

// A host that answers every message with OK and counts the yields (one per growth class).
class QuietUi : public UserInterface {
public:
    Answer showMessage(const std::string&, const std::string&, Buttons, Icon, DefaultButton) override
    {
        return Answer::OK;
    }
    std::string askText(const std::string&, const std::string&, const std::string&) override { return {}; }
    std::optional<std::string> chooseFile(const FileDialogRequest&) override { return std::nullopt; }
    void processPendingEvents() override { ++yields; }
    void beep() override {}

    long yields = 0;
};

class QuietHost : public ModelHost {
public:
    UserInterface& ui() override { return quietUi; }
    SessionState& session() override { return sessionState; }
    void appendToSummary(const std::string&) override {}

    QuietUi quietUi;
    SessionState sessionState;
};

// 250 unit cells with a hump of counts.
ModelState stateWith250Cells()
{
    ModelState state;
    FrequencyData& data = state.frequencies;
    data.cellWidth = 1.0;
    data.cellCount = maxCells;
    for (int c = 1; c <= maxCells; ++c) {
        data.midpoint[c] = c - 0.5;
        data.observed[c] = std::round(60.0 * std::exp(-std::pow((c - 110.0) / 45.0, 2)));
        data.N += data.observed[c];
    }
    return state;
}

// Both variances above their floors, measurement error, selectivity and a fishing window on.
ModelParameters typicalParameters(double sdLinf)
{
    ModelParameters m;
    m.Linf = 170.0;
    m.varLinf = sdLinf * sdLinf;
    m.k = 0.25;
    m.vark = 0.05 * 0.05;
    m.measVar = 4.0 * 4.0;
    m.z = 0.9;
    m.zSize = 0.002;
    m.fishLow = 60.0;
    m.fishHigh = 200.0;
    m.F = 0.3;
    m.selMean = 40.0;
    m.selVar = 12.0 * 12.0;
    m.b = 0.0005;
    return m;
}

void runEvaluations(benchmark::State& benchState, const ModelParameters& m)
{
    ModelState state = stateWith250Cells();
    QuietHost host;
    for (auto _ : benchState) {
        benchmark::DoNotOptimize(frequencyPart(state, m, host));
        benchmark::ClobberMemory();
    }
    const auto evaluations = static_cast<double>(benchState.iterations());
    benchState.counters["classes"] = static_cast<double>(host.quietUi.yields) / evaluations;
    benchState.counters["perClass"] =
        benchmark::Counter(static_cast<double>(host.quietUi.yields),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// (a) A typical fit of 250 cells: L-infinity 170 +- 14, k 0.25 +- 0.05.
void frequencyPartTypical(benchmark::State& state) { runEvaluations(state, typicalParameters(14.0)); }
BENCHMARK(frequencyPartTypical)->Unit(benchmark::kMillisecond);

// Cost against the number of L classes (SD of L-infinity 2..32): linear in the classes.
void frequencyPartByLinfSd(benchmark::State& state)
{
    runEvaluations(state, typicalParameters(static_cast<double>(state.range(0))));
}
BENCHMARK(frequencyPartByLinfSd)->Arg(2)->Arg(4)->Arg(8)->Arg(16)->Arg(32)->Unit(benchmark::kMillisecond);

// The largest case: 100 K classes x 250 L classes, every class integrated from 250 down.
ModelParameters largestParameters();
void frequencyPartLargest(benchmark::State& state)
{
    runEvaluations(state, largestParameters());
}
BENCHMARK(frequencyPartLargest)->Unit(benchmark::kMillisecond);

// The typical and the largest evaluation on each instruction set against the scalar reference
// kernel the vectorised one replaced (speedup: reference time / vectorised time).
ModelParameters largestParameters()
{
    ModelParameters m = typicalParameters(50.0);
    m.Linf = 200.0;
    m.k = 0.3;
    m.vark = 0.08 * 0.08;
    return m;
}

void vectorisedAgainstScalar(benchmark::State& benchState, const ModelParameters& m,
                             std::int64_t instructionSet)
{
    ModelState state = stateWith250Cells();
    QuietHost host;
    restrictInstructionSet(instructionSet);
    timeAgainstReference(
        benchState,
        [&] { benchmark::DoNotOptimize(frequencyPart(state, m, host, FrequencyKernel::Vectorised)); },
        [&] { benchmark::DoNotOptimize(frequencyPart(state, m, host, FrequencyKernel::ScalarReference)); });
    restrictInstructionSet(0);
}

const bool instructionSetBenchmarksRegistered = [] {
    for (const InstructionSet& set : availableInstructionSets()) {
        const std::int64_t id = set.id;
        benchmark::RegisterBenchmark(
            ("frequencyPartTypicalAgainstScalar/" + set.name).c_str(),
            [id](benchmark::State& state) { vectorisedAgainstScalar(state, typicalParameters(14.0), id); })
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(
            ("frequencyPartLargestAgainstScalar/" + set.name).c_str(),
            [id](benchmark::State& state) { vectorisedAgainstScalar(state, largestParameters(), id); })
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    }
    return true;
}();

} // namespace
} // namespace orvanta
