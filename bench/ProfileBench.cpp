// A 25-point maximum-likelihood profile of L-infinity on the bundled example with the Simplex
// re-minimizing the six other free parameters at every point, as orvanta-batch profile runs it.
// Untimed set-up: the data and algorithm file read, a Simplex fit, the covariances and the steps
// 8 SE / 24 from grid 2, so the profile spans the estimate plus and minus 4 standard errors.

#include "BundledExample.h"
#include "minimize/SimplexMinimizer.h"
#include "model/ModelRoutine.h"
#include "uncertainty/CovarianceCalculator.h"
#include "uncertainty/CovarianceFile.h"
#include "uncertainty/LikelihoodProfile.h"

#include <benchmark/benchmark.h>

namespace orvanta {
namespace {

constexpr int profilePoints = 25;
constexpr int linf = 1;

// The model, counting its calls.
class CountingModel : public ModelRoutine {
public:
    explicit CountingModel(ModelRoutine& model) : model_(model) {}
    void MODEL(ModelArguments args) override
    {
        ++calls;
        model_.MODEL(args);
    }
    std::string lastFailure() const override { return model_.lastFailure(); }

    long long calls = 0;

private:
    ModelRoutine& model_;
};

// The example fitted, with the profile's steps; false when something was refused.
bool prepareProfile(BatchEngine& engine)
{
    if (!loadBundledExample(engine))
        return false;
    Application& app = engine.app;
    engine.ui.answerQuestionsTitled("Simplex minimization", Answer::No);
    engine.ui.answerQuestionsTitled("Marquardt minimization", Answer::No);
    if (runSimplex(app) != SimplexEnd::Verified ||
        !runNumericalCovariance(app, CovarianceSettings{{0, 1.0, 0.1, 0.01}, 0.5, false}))
        return false;
    const StandardErrorTable table = standardErrorTable(app.covariance);
    if (standardErrorProblem(table, 2, freeParameters(app.algorithm)))
        return false;
    setProfileSteps(app.algorithm, standardErrorsByParameter(table, 2, app.algorithm.paramCount),
                    profilePoints);
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
