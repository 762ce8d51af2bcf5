#include "model/TarnfieldModel.h"

#include "app/SessionState.h"
#include "model/DataFiles.h"
#include "model/FrequencyLikelihood.h"
#include "model/IncrementLikelihood.h"
#include "model/ModelHost.h"
#include "model/ModelParameters.h"
#include "model/ResultsSummary.h"

#include <cmath>
#include <limits>

namespace orvanta {

namespace {

// A deterministic L-infinity (no variance) must lie above the largest observed size; below it
// the objective rises steeply.
constexpr double linfPenaltyScale = 1e12;

// The observations the data hold, as the results summary counts them for its AICc: the animals of
// the size-frequency sample plus the increment records, as a whole number. The ranking takes its
// AICc and QAICc from it.
std::int32_t observationCountOf(const ModelState& state)
{
    const double n = std::round(state.frequencies.N + state.increments.recordCount);
    if (!(n > 0.0))
        return 0;
    return n < std::numeric_limits<std::int32_t>::max() ? static_cast<std::int32_t>(n)
                                                        : std::numeric_limits<std::int32_t>::max();
}

} // namespace

const std::vector<std::string>& TarnfieldModel::parameterDescriptions()
{
    static const std::vector<std::string> descriptions = {
        "",
        "mean of L-infinity (at max of annual cycle) [0]",
        "SD of L-infinity [0]",
        "mean of k (at max of annual cycle) [0]",
        "SD of k [0]",
        "amplitude of annual cycle in k [0]",
        "day of maximum in annual cycle of k [0]",
        "amplitude of annual cycle in L [0]",
        "day of maximum in annual cycle of L [0]",
        "SE of measurement @ 100 units (%SE) [0]",
        "instantaneous natural mortality [0; 1 if estimating k/Z or b/Z]",
        "size-dependent mortality coefficient [0]",
        "lower size limit (units) for fishing [0]",
        "upper size limit (units) for fishing [0]",
        "instantaneous fishing mortality [0]",
        "mean of Gaussian selectivity for SF data [0]",
        "SD of Gaussian selectivity for SF data [0]",
        "Parameter b for size-dependent k [0]",
        "t0 (estimated only if analyzing size-at-age (years) data as increments) [-999]",
        "mean of Gaussian selectivity for size-at-age data only [-999]",
        "SD of Gaussian selectivity for size-at-age data only [-999]",
    };
    return descriptions;
}

std::string TarnfieldModel::documentationText()
{
    static const char* const lines[] = {
        "This model analyzes size frequency or growth increment data, or both combined.",
        "This analysis assumes stochastic von Bertalanffy growth in size. The parameter",
        "b lets von Bertalanffy's k vary with size. Natural mortality can be fixed,",
        "or exponentially decreasing with size. Upper and lower size limits for fishing ",
        "can be chosen. The rate of steady-state fishing mortality can be estimated.",
        "Annual sinusoidal cycles in L and k can be estimated from increment data.",
        "The SE of measurement at 100 units can be imposed or estimated. This model",
        "expects size units (i.e., mm, inches, etc.) to range from 0 to 250. The smallest",
        "cell width that can be accommodated is 1 unit. Up to 2000 increment records can be",
        "accommodated. Fix natural mortality (z) to 1.0 when analyzing size frequencies",
        "only. In this case k will be the ratio k/z, and b will be the ratio b/z. A",
        "Gaussian selectivity curve can be imposed upon the size frequency distribution.",
        "Three important references are:",
        "     von Bertalanffy, L. 1938. A quantitative theory of organic growth. Human Biology 10: 181-213.",
        "     Fabens, A. J. 1965. Properties and fitting of the von Bertalanffy growth curve. Growth 29: 265-289.",
        "     Sainsbury, K. J. 1980. Effect of individual variability on the von Bertalanffy growth equation. "
        "Canadian Journal of Fisheries and Aquatic Sciences 37: 241-247.",
        "",
        "Note: If b = 0 and the chosen error distribution of increments is Gaussian, truncation of the distribution "
        "at",
        "      an expected increment of zero (0) will occur; the increment means and variances are calculated "
        "analytically.",
        "",
        "      If b = 0 and the chosen error distribution of increments is gamma, then there is no need for "
        "truncation of the",
        "      distribution at an expected increment of zero (0); the increment means and variances are calculated "
        "analytically.",
        "",
        "      If b > 0 then the error distribution of increments is forced to be gamma; the increment means",
        "      and variances are calculated numerically.  Convergence is usually slow since function calls take "
        "much longer.",
        "",
        "If measurement error is zero, then regardless of the chosen error distribution, all observed increments "
        "must be > 0",
        "",
        "The objective function (OF) for both the increment and size frequency",
        "data is equal to twice the negative ln-likelihood. The record input format for",
        "the size frequency midpoint, then frequency, is: '####### ####'",
        "",
        "The record input format for increment set, then initial size, then increment,",
        "then start day, then end day is: '###### ###### ###### ###### ######'",
        "",
    };
    std::string text;
    for (const char* line : lines)
        text += std::string(line) + "\n";
    return text;
}

std::vector<std::string> TarnfieldModel::dataFiles() const
{
    std::vector<std::string> files;
    for (const std::string* file : {&state_.frequencyFile, &state_.incrementFile})
        if (!file->empty())
            files.push_back(*file);
    return files;
}

void TarnfieldModel::MODEL(ModelArguments args)
{
    if (args.NF == callCode::initialize)
        initialize(args);
    else if (args.NF >= callCode::firstEvaluation)
        evaluate(args);
    else if (args.NF == callCode::summary)
        produceResultsSummary(state_, args, host_);
    // Every other negative code, such as a request for analytical derivatives, is not supported
    // and changes nothing.
}

void TarnfieldModel::initialize(ModelArguments& args)
{
    // Read first, so that a file that cannot be taken leaves everything as it was.
    auto data = readModelData(request_, host_.ui());
    if (const auto* problem = std::get_if<DataFileProblem>(&data)) {
        std::string text = problem->text;
        if (problem->unreadable)
            text += "\n\n" + initializationOutcome(host_.session().initializeAlready);
        host_.ui().showMessage(text, problem->title, Buttons::OK, problem->icon);
        initializationSucceeded_ = false;
        return;
    }
    ModelData& read = std::get<ModelData>(data);

    args.paramCount = modelParamCount;
    args.paramDescriptions = parameterDescriptions();
    args.paramSteps.assign(modelParamCount + 1, 0.0);
    args.paramValues.assign(modelParamCapacity + 1, 0.0);

    // A size-frequency analysis keeps the increment error type chosen before.
    if (read.analysisType == AnalysisType::SizeFrequency)
        read.incrementErrorType = state_.incrementErrorType;
    static_cast<ModelData&>(state_) = std::move(read);
    state_.recordResults.assign(static_cast<size_t>(state_.increments.recordCount) + 1, RecordResult{});
    state_.unitDensity.fill(0.0);
    state_.predicted.fill(0.0);
    state_.bestParams.assign(modelParamCapacity + 1, 0.0);
    // bestObjective is not reset: the next evaluation with call code 1 records unconditionally.
    initializationSucceeded_ = true;
}

void TarnfieldModel::evaluate(ModelArguments& args)
{
    args.objectiveValue = 0.0;
    state_.unitDensity.fill(0.0);
    state_.arithmeticFailure.clear();

    std::vector<double>& p = args.paramValues;
    cleanModelParameters(p);
    const ModelParameters params = deriveModelParameters(p);
    if (params.b > 0.0)
        state_.incrementErrorType = IncrementErrorType::Gamma;

    state_.penalty = 0.0;
    const double lastMidpoint = state_.frequencies.midpoint[static_cast<size_t>(state_.frequencies.lastNonZeroCell)];
    if (params.varLinfAtFloor() && params.Linf < lastMidpoint)
        state_.penalty = (lastMidpoint - params.Linf) * (lastMidpoint - params.Linf) * linfPenaltyScale;

    state_.frequencyPart =
        state_.analysisType != AnalysisType::Increments ? frequencyPart(state_, params, host_) : 0.0;
    // A frequency part cut short because the program ended leaves the increments alone.
    const bool incrementsWanted = state_.analysisType != AnalysisType::SizeFrequency && !host_.programEnded();
    state_.incrementPart = incrementsWanted ? incrementPart(state_, params, p, host_) : 0.0;

    args.objectiveValue = 2.0 * (state_.incrementPart + state_.frequencyPart) + state_.penalty;
    args.qaiccCount = observationCountOf(state_);
    if (!state_.arithmeticFailure.empty())
        args.objectiveValue = std::numeric_limits<double>::quiet_NaN();
    recordBest(args);
}

void TarnfieldModel::recordBest(const ModelArguments& args)
{
    // A failed evaluation never displaces a real one, and a failed best gives way to any value.
    const double value = args.objectiveValue;
    const bool better = !std::isnan(value) && (std::isnan(state_.bestObjective) || value < state_.bestObjective);
    if (!better && args.NF != callCode::firstEvaluation)
        return;
    state_.bestIncrementPart2 = 2.0 * state_.incrementPart;
    state_.bestFrequencyPart2 = 2.0 * state_.frequencyPart;
    state_.bestObjective = value;
    const size_t count = std::min(static_cast<size_t>(std::max(args.paramCount, 0)), args.paramValues.size() - 1);
    for (size_t i = 1; i <= count && i < state_.bestParams.size(); ++i)
        state_.bestParams[i] = args.paramValues[i];
    state_.bestPredicted = state_.predicted;
}

} // namespace orvanta
