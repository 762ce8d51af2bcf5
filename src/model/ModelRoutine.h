#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orvanta {

// Call codes of MODEL.
namespace callCode {
inline constexpr std::int32_t initialize = 0;
inline constexpr std::int32_t firstEvaluation = 1;   // 2 and above: a running task's call count
inline constexpr std::int32_t summary = -1;
// The model fills gradientVector[p] and curvatureMatrix[p][q] (parameter numbers, 0..paramCount)
// with the first and second derivatives of the objective at the vector it is given. A model that
// supplies no derivatives leaves the zeros its caller put there (zeroModelDerivatives).
inline constexpr std::int32_t analyticalDerivatives = -2;
} // namespace callCode

// The arguments of one MODEL call, in the order the model routine takes them. Arrays are
// numbered from 1; element 0 is never used.
struct ModelArguments {
    double& objectiveValue;
    std::vector<double>& paramValues;
    std::vector<double>& paramSteps;
    std::vector<std::string>& paramDescriptions;
    const std::vector<std::string>& fuseCodes;
    std::int32_t& paramCount;
    std::int32_t NF;
    std::int32_t& observationCount;
    std::vector<double>& gradientVector;
    std::vector<std::vector<double>>& curvatureMatrix;
    std::int32_t& qaiccCount;
};

// The only way the engine reaches the model: one routine answering call codes (0 initializes,
// 1 and above evaluate, -1 writes the results summary, other negatives are not supported).
class ModelRoutine {
public:
    virtual ~ModelRoutine() = default;
    virtual void MODEL(ModelArguments args) = 0;
    // Why the last evaluation has no finite objective, in words for the user; empty when it
    // has one or the model does not say.
    virtual std::string lastFailure() const { return {}; }
    // The data files read at the last initialization, so that nothing is written over them.
    virtual std::vector<std::string> dataFiles() const { return {}; }
};

} // namespace orvanta

namespace orvanta {

struct AlgorithmData;

// The arguments a caller keeps for MODEL beside the parameter set.
struct ModelWorkspace {
    double objectiveValue = 0.0;
    std::int32_t observationCount = 0;
    std::vector<double> gradientVector;
    std::vector<std::vector<double>> curvatureMatrix;
    std::int32_t qaiccCount = 0;
};

// Calls MODEL with call code NF on vector (paramValues itself or a trial vector), with the
// parameter set's other arrays; the model's paramCount comes back into data.paramCount.
void callModel(ModelRoutine& model, AlgorithmData& data, ModelWorkspace& workspace, std::vector<double>& vector,
               std::int32_t NF);

// gradientVector [0..paramCount] and curvatureMatrix [0..paramCount][0..paramCount], all 0, as
// a call with code -2 expects them.
void zeroModelDerivatives(ModelWorkspace& workspace, int paramCount);
// An element of curvatureMatrix or gradientVector, 0 where the model left none.
double modelCurvature(const ModelWorkspace& workspace, int row, int column);
double modelGradient(const ModelWorkspace& workspace, int param);

} // namespace orvanta
