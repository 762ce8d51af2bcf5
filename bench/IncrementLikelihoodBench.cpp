#include "AgainstReference.h"
#include "app/SessionState.h"
#include "model/IncrementDiagnostic.h"
#include "model/IncrementLikelihood.h"
#include "model/ModelHost.h"
#include "model/ModelParameters.h"
#include "model/ModelState.h"
#include "ui/UserInterface.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// One evaluation of the increment part on generated tagging data, per error model:
//   GaussianWithMeasurementError: Gaussian errors, m > 0 (conditional L-infinity moments and the
//     convolved truncated normal for most records);
//   SizeDependentK: b > 0, no two consecutive records sharing initial size and time at large,
//     so every record integrates its own 41 x 41 grid.
// The record count is the argument; the complexity fit shows the cost per record.
// Also the results summary's model expectation of the residual cells (incrementErrorCells): 193
// densities per record, each a convolution with the measurement error.

namespace orvanta {
namespace {

class SilentUi : public UserInterface {
public:
    Answer showMessage(const std::string&, const std::string&, Buttons, Icon, DefaultButton) override
    {
        return Answer::OK;
    }
    std::string askText(const std::string&, const std::string&, const std::string&) override { return {}; }
    std::optional<std::string> chooseFile(const FileDialogRequest&) override { return std::nullopt; }
    void processPendingEvents() override {}
    void beep() override {}
};

class BenchHost : public ModelHost {
public:
    UserInterface& ui() override { return silentUi; }
    SessionState& session() override { return sessionState; }
    void appendToSummary(const std::string& text) override { warningCharacters += text.size(); }

    SilentUi silentUi;
    SessionState sessionState;
    std::size_t warningCharacters = 0;
};

// A fixed linear congruential sequence in [0, 1): the same data on every machine.
class UniformSequence {
public:
    double next()
    {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(state_ >> 11) * 0x1.0p-53;
    }

private:
    std::uint64_t state_ = 20240611ULL;
};

struct Scenario {
    ModelState state;
    ModelParameters params;
    std::vector<double> p = std::vector<double>(modelParamCount + 1, 0.0);
};

// Tagging records of animals of 20..110 units at large for 30..900 days, increments near the
// von Bertalanffy expectation (Linf 120, k 0.35) and always positive.
void addTaggingRecords(ModelState& state, int count)
{
    UniformSequence uniform;
    state.increments.records.assign(1, IncrementRecord{});
    for (int i = 1; i <= count; ++i) {
        const double l1 = 20.0 + 90.0 * uniform.next();
        const double start = std::floor(365.0 * uniform.next());
        const double days = std::floor(30.0 + 870.0 * uniform.next());
        const double expected = (120.0 - l1) * (1.0 - std::exp(-0.35 * days / 365.0));
        const double d = std::max(0.1, expected * (0.7 + 0.6 * uniform.next()));
        state.increments.records.push_back(IncrementRecord{1.0, l1, d, start, start + days});
    }
    state.increments.recordCount = count;
}

Scenario makeScenario(int count, double b, IncrementErrorType type)
{
    Scenario s;
    s.p[1] = 120.0; // Linf
    s.p[2] = 15.0;  // SD of Linf
    s.p[3] = 0.35;  // k
    s.p[4] = 0.08;  // SD of k
    s.p[5] = 0.01;  // annual cycle in k (small enough for a positive mean after 30 days)
    s.p[6] = 120.0;
    s.p[7] = 3.0; // annual cycle in L
    s.p[8] = 200.0;
    s.p[9] = 2.0; // measurement SE, per cent
    s.p[17] = b;
    s.p[18] = notUsed;
    s.p[19] = notUsed;
    s.p[20] = notUsed;
    s.params.Linf = s.p[1];
    s.params.varLinf = s.p[2] * s.p[2];
    s.params.k = s.p[3];
    s.params.vark = s.p[4] * s.p[4];
    s.params.measVar = s.p[9] * s.p[9];
    s.params.b = b;
    s.state.incrementErrorType = type;
    addTaggingRecords(s.state, count);
    return s;
}

void evaluate(benchmark::State& state, double b, IncrementErrorType type)
{
    Scenario s = makeScenario(static_cast<int>(state.range(0)), b, type);
    BenchHost host;
    double value = 0.0;
    for (auto _ : state) {
        value = incrementPart(s.state, s.params, s.p, host);
        benchmark::DoNotOptimize(value);
    }
    if (!s.state.arithmeticFailure.empty())
        state.SkipWithError(s.state.arithmeticFailure.c_str());
    state.SetComplexityN(state.range(0));
    state.counters["value"] = value;
    state.counters["records/s"] =
        benchmark::Counter(static_cast<double>(state.range(0)) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
}

void incrementPartGaussianWithMeasurementError(benchmark::State& state)
{
    evaluate(state, 0.0, IncrementErrorType::Gaussian);
}
BENCHMARK(incrementPartGaussianWithMeasurementError)
    ->Arg(500)
    ->Arg(1000)
    ->Arg(2000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

void incrementPartGammaWithMeasurementError(benchmark::State& state)
{
    evaluate(state, 0.0, IncrementErrorType::Gamma);
}
BENCHMARK(incrementPartGammaWithMeasurementError)->Arg(2000)->Unit(benchmark::kMillisecond);

void incrementPartSizeDependentK(benchmark::State& state)
{
    evaluate(state, 0.002, IncrementErrorType::Gamma);
}
BENCHMARK(incrementPartSizeDependentK)
    ->Arg(500)
    ->Arg(1000)
    ->Arg(2000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

// The three cases above with 2000 records, the lean arithmetic against the reference arithmetic
// it replaced (speedup: reference time / lean time), on the best instruction set.
void leanAgainstReference(benchmark::State& state, double b, IncrementErrorType type)
{
    Scenario s = makeScenario(static_cast<int>(state.range(0)), b, type);
    BenchHost host;
    timeAgainstReference(
        state,
        [&] {
            benchmark::DoNotOptimize(incrementPart(s.state, s.params, s.p, host, IncrementArithmetic::Lean));
        },
        [&] {
            benchmark::DoNotOptimize(
                incrementPart(s.state, s.params, s.p, host, IncrementArithmetic::Reference));
        });
    if (!s.state.arithmeticFailure.empty())
        state.SkipWithError(s.state.arithmeticFailure.c_str());
}

void incrementPartGaussianWithMeasurementErrorAgainstReference(benchmark::State& state)
{
    leanAgainstReference(state, 0.0, IncrementErrorType::Gaussian);
}
BENCHMARK(incrementPartGaussianWithMeasurementErrorAgainstReference)
    ->Arg(2000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void incrementPartGammaWithMeasurementErrorAgainstReference(benchmark::State& state)
{
    leanAgainstReference(state, 0.0, IncrementErrorType::Gamma);
}
BENCHMARK(incrementPartGammaWithMeasurementErrorAgainstReference)
    ->Arg(2000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void incrementPartSizeDependentKAgainstReference(benchmark::State& state)
{
    leanAgainstReference(state, 0.002, IncrementErrorType::Gamma);
}
BENCHMARK(incrementPartSizeDependentKAgainstReference)
    ->Arg(2000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void incrementErrorCellsWithMeasurementError(benchmark::State& state)
{
    Scenario s = makeScenario(static_cast<int>(state.range(0)), 0.0, IncrementErrorType::Gaussian);
    s.state.bestParams = s.p;
    BenchHost host;
    double total = 0.0;
    for (auto _ : state) {
        const std::optional<ModelExpectation> expectation = incrementErrorCells(s.state, host);
        total = expectation ? expectation->T : -1.0;
        benchmark::DoNotOptimize(total);
    }
    state.SetComplexityN(state.range(0));
    state.counters["T"] = total;
}
BENCHMARK(incrementErrorCellsWithMeasurementError)
    ->Arg(500)
    ->Arg(2000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

} // namespace
} // namespace orvanta
