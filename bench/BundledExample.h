#pragma once

// The bundled example (examples/tarnfield-*.dat with tarnfield.alg) loaded into a batch engine,
// as the benchmarks of whole tool runs start from it.

#include "batch/BatchEngine.h"
#include "minimize/SimplexMinimizer.h"
#include "model/ModelRoutine.h"
#include "uncertainty/CovarianceCalculator.h"
#include "uncertainty/CovarianceFile.h"
#include "uncertainty/LikelihoodProfile.h"

#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace orvanta {

inline const std::string bundledExamplesDir = ORVANTA_EXAMPLES_DIR;

// The engine with the example's data and algorithm file, its free-parameter index built; false
// when a file was refused or nothing is free.
inline bool loadBundledExample(BatchEngine& engine)
{
    InitializationRequest request;
    request.frequencyFile = bundledExamplesDir + "/tarnfield-lengths.dat";
    request.incrementFile = bundledExamplesDir + "/tarnfield-tags.dat";
    std::ostringstream problems;
    if (!initializeFromData(engine, request, "bench", problems) ||
        !loadAlgorithmFile(engine, bundledExamplesDir + "/tarnfield.alg", "bench", problems))
        return false;
    buildFreeIndex(engine.app.algorithm);
    return engine.app.algorithm.freeCount > 0;
}

// The example fitted by the Simplex, with the covariances of its free parameters; the standard
// errors of grid 2 by parameter number, or nothing when something was refused.
inline std::optional<std::vector<double>> fitBundledExample(BatchEngine& engine)
{
    if (!loadBundledExample(engine))
        return std::nullopt;
    Application& app = engine.app;
    engine.ui.answerQuestionsTitled("Simplex minimization", Answer::No);
    engine.ui.answerQuestionsTitled("Marquardt minimization", Answer::No);
    if (runSimplex(app) != SimplexEnd::Verified ||
        !runNumericalCovariance(app, CovarianceSettings{{0, 1.0, 0.1, 0.01}, 0.5, false}))
        return std::nullopt;
    const StandardErrorTable table = standardErrorTable(app.covariance);
    if (standardErrorProblem(table, 2, freeParameters(app.algorithm)))
        return std::nullopt;
    return standardErrorsByParameter(table, 2, app.algorithm.paramCount);
}

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

} // namespace orvanta
