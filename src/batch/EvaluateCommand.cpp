#include "batch/EvaluateCommand.h"

#include "batch/BatchEngine.h"
#include "batch/BatchFiles.h"
#include "batch/BatchProgram.h"
#include "batch/CommandLine.h"
#include "batch/PriorsOption.h"
#include "batch/RunWarnings.h"
#include "minimize/ObjectiveEvaluation.h"
#include "text/NumberText.h"

#include <cmath>
#include <ostream>
#include <set>

namespace orvanta {

namespace {

constexpr const char* commandName = "orvanta-batch evaluate";

struct EvaluateOptions {
    InitializationRequest request;
    std::vector<double> values;               // 1..20, from --params
    std::optional<std::string> algorithmFile; // --alg: values, steps and links of an algorithm file
    PriorsOption priors;
    bool verbose = false;
};

// Reads --params V1,...,V20 into options.values; on a problem writes one line to err.
bool readParameterValues(const std::string& params, EvaluateOptions& options, std::ostream& err)
{
    const std::vector<std::string> texts = splitAtCommas(params);
    if (texts.size() != static_cast<size_t>(modelParamCount)) {
        err << commandName << ": --params needs " << modelParamCount << " values, not " << texts.size()
            << "\n";
        return false;
    }
    options.values.assign(1, 0.0);
    for (size_t i = 0; i < texts.size(); ++i) {
        const Converted<double> value = textToDouble(texts[i]);
        if (!value) {
            err << commandName << ": parameter " << i + 1 << " '" << texts[i] << "' is not a number\n";
            return false;
        }
        options.values.push_back(value.value());
    }
    return true;
}

// Reads the options; on a problem writes one line to err and returns nothing.
std::optional<EvaluateOptions> readOptions(const std::vector<std::string>& args, std::ostream& err)
{
    std::set<std::string> valueOptions = dataOptionNames();
    valueOptions.insert({"--params", "--alg"});
    valueOptions.insert(priorsValueOptions().begin(), priorsValueOptions().end());
    CommandLine line;
    if (!line.parse(args, valueOptions, {reviewFlag, "--verbose"})) {
        err << commandName << ": " << line.error() << "\n";
        return std::nullopt;
    }
    const std::optional<InitializationRequest> request = readDataOptions(line, commandName, err);
    if (!request)
        return std::nullopt;
    EvaluateOptions options;
    options.request = *request;

    const auto params = line.value("--params");
    const auto algorithmFile = line.value("--alg");
    if (params.has_value() == algorithmFile.has_value()) {
        err << commandName << ": give either --params V1,V2,...,V20 or --alg FILE\n";
        return std::nullopt;
    }
    options.algorithmFile = algorithmFile;
    options.verbose = line.flag("--verbose");
    if (params && !readParameterValues(*params, options, err))
        return std::nullopt;
    const std::optional<PriorsOption> priors =
        readPriorsOption(line, ConstantUse::PriorsOnly, commandName, err);
    if (!priors)
        return std::nullopt;
    options.priors = *priors;
    return options;
}

void printResults(Application& app, const TarnfieldModel& model, double objective, const PriorsOption& priors,
                  std::ostream& out)
{
    const ModelState& state = model.state();
    const std::vector<double>& values = app.algorithm.paramValues;
    out << "objective " << fullPrecision(objective) << "\n";
    out << "increment_part " << fullPrecision(2.0 * state.incrementPart) << "\n";
    out << "frequency_part " << fullPrecision(2.0 * state.frequencyPart) << "\n";
    out << "penalty " << fullPrecision(state.penalty) << "\n";
    out << "params ";
    for (int i = 1; i <= modelParamCount; ++i)
        out << (i > 1 ? "," : "") << fullPrecision(values[i]);
    out << "\n";
    printPriorsResults(app, priors, values, out);
}

} // namespace

int runEvaluateCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const std::optional<EvaluateOptions> options = readOptions(args, err);
    if (!options)
        return batchExit::badInput;
    BatchFiles files(commandName);
    nameDataFiles(files, options->request);
    files.reads("--alg", options->algorithmFile.value_or(""));
    files.reads("--priors", options->priors.file.value_or(""));
    if (!files.check(err))
        return batchExit::badInput;

    RunWarnings warnings(err);
    BatchEngine engine;
    Application& app = engine.app;
    if (!initializeFromData(engine, options->request, commandName, err))
        return batchExit::badInput;

    if (options->algorithmFile) {
        if (!loadAlgorithmFile(engine, *options->algorithmFile, commandName, err))
            return batchExit::badInput;
    } else {
        for (int i = 1; i <= modelParamCount; ++i)
            app.algorithm.paramValues[i] = options->values[i];
    }
    if (!applyPriorsOption(engine, options->priors, commandName, err))
        return batchExit::badInput;
    watchRun(engine, warnings, options->verbose);
    // The prior penalty is added as the one-function-call window adds it.
    const double objective = evaluateObjective(app, app.algorithm.paramValues, callCode::firstEvaluation);
    stopWatching(engine, warnings);
    warnings.finish();

    printResults(app, engine.model, objective, options->priors, out);
    if (!std::isfinite(objective)) {
        const std::string& why = engine.model.state().arithmeticFailure;
        err << commandName << ": the objective is not finite"
            << (why.empty() ? std::string(" (an intermediate result overflowed or was undefined)")
                            : ": " + why)
            << "\n";
        return batchExit::notFinite;
    }
    return batchExit::success;
}

} // namespace orvanta
