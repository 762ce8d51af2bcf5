#include "batch/EvaluateCommand.h"

#include "algorithm/AlgorithmCommands.h"
#include "app/Application.h"
#include "batch/BatchProgram.h"
#include "batch/CommandLine.h"
#include "batch/ConsoleUserInterface.h"
#include "app/Tools.h"
#include "model/InitializationWindow.h"
#include "model/TarnfieldModel.h"
#include "text/NumberText.h"
#include "text/TextFile.h"
#include "ui/Clock.h"
#include "ui/ReportWindow.h"

#include <cmath>
#include <fstream>
#include <iterator>
#include <ostream>
#include <sstream>

namespace orvanta {

namespace {

constexpr const char* commandName = "orvanta-batch evaluate";

struct EvaluateOptions {
    InitializationRequest request;
    std::vector<double> values; // 1..20, from --params
    std::optional<std::string> algorithmFile; // --alg: values, steps and links of an algorithm file
};

// Reads --params V1,...,V20 into options.values; on a problem writes one line to err.
bool readParameterValues(const std::string& params, EvaluateOptions& options, std::ostream& err)
{
    const std::vector<std::string> texts = splitAtCommas(params);
    if (texts.size() != static_cast<size_t>(modelParamCount)) {
        err << commandName << ": --params needs " << modelParamCount << " values, not " << texts.size() << "\n";
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
    CommandLine line;
    if (!line.parse(args, {"--freq", "--inc", "--first-cell", "--errors", "--params", "--alg"})) {
        err << commandName << ": " << line.error() << "\n";
        return std::nullopt;
    }
    EvaluateOptions options;
    options.request.frequencyFile = line.value("--freq").value_or("");
    options.request.incrementFile = line.value("--inc").value_or("");
    if (options.request.frequencyFile.empty() && options.request.incrementFile.empty()) {
        err << commandName << ": give a frequency file (--freq), an increment file (--inc) or both\n";
        return std::nullopt;
    }
    options.request.firstCellText = line.value("--first-cell").value_or("1");
    if (const auto problem = firstCellProblem(options.request.firstCellText)) {
        err << commandName << ": --first-cell '" << options.request.firstCellText << "': " << *problem << "\n";
        return std::nullopt;
    }
    const std::string errors = line.value("--errors").value_or("gaussian");
    if (errors != "gaussian" && errors != "gamma") {
        err << commandName << ": --errors must be gaussian or gamma, not '" << errors << "'\n";
        return std::nullopt;
    }
    options.request.errorType = errors == "gamma" ? IncrementErrorType::Gamma : IncrementErrorType::Gaussian;

    const auto params = line.value("--params");
    const auto algorithmFile = line.value("--alg");
    if (params.has_value() == algorithmFile.has_value()) {
        err << commandName << ": give either --params V1,V2,...,V20 or --alg FILE\n";
        return std::nullopt;
    }
    options.algorithmFile = algorithmFile;
    if (params && !readParameterValues(*params, options, err))
        return std::nullopt;
    return options;
}

// Reads the algorithm file into the parameter set as "&Load algorithm data" does, and builds
// its fuse groups; on a problem writes the reader's message to err.
bool loadAlgorithmFile(Application& app, const std::string& path, const std::ostringstream& messages,
                       std::ostream& err)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        err << commandName << ": the algorithm file '" << path << "' cannot be opened\n";
        return false;
    }
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    app.session.algorithmFileName = path;
    if (readAlgorithmFile(app, text).failed()) {
        err << commandName << ": the algorithm file was not read: " << messages.str();
        return false;
    }
    buildFuseGroups(app.algorithm);
    return true;
}

void printResults(const TarnfieldModel& model, double objective, const std::vector<double>& values,
                  std::ostream& out)
{
    const ModelState& state = model.state();
    out << "objective " << fullPrecision(objective) << "\n";
    out << "increment_part " << fullPrecision(2.0 * state.incrementPart) << "\n";
    out << "frequency_part " << fullPrecision(2.0 * state.frequencyPart) << "\n";
    out << "penalty " << fullPrecision(state.penalty) << "\n";
    out << "params ";
    for (int i = 1; i <= modelParamCount; ++i)
        out << (i > 1 ? "," : "") << fullPrecision(values[i]);
    out << "\n";
}

} // namespace

int runEvaluateCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const std::optional<EvaluateOptions> options = readOptions(args, err);
    if (!options)
        return batchExit::badInput;

    std::ostringstream messages;
    ConsoleUserInterface ui(messages);
    SystemClock clock;
    Application app(ui, clock, realFileSystem());
    TarnfieldModel model(app.modelHost());
    installTools(app, model);
    app.start();

    initializeModel(app, model, options->request);
    if (!app.session.initializeAlready) {
        err << commandName << ": the data files were not read: " << messages.str();
        return batchExit::badInput;
    }

    if (options->algorithmFile) {
        if (!loadAlgorithmFile(app, *options->algorithmFile, messages, err))
            return batchExit::badInput;
    } else {
        for (int i = 1; i <= modelParamCount; ++i)
            app.algorithm.paramValues[i] = options->values[i];
    }
    applyFuseGroups(app.algorithm, app.algorithm.paramValues);
    callModel(model, app.algorithm, app.modelWorkspace, app.algorithm.paramValues, callCode::firstEvaluation);
    const double objective = app.modelWorkspace.objectiveValue;

    printResults(model, objective, app.algorithm.paramValues, out);
    err << messages.str();
    if (const auto* summary = app.desktop.find<ReportWindow>("frmSummary"))
        err << summary->text();
    if (!std::isfinite(objective)) {
        const std::string& why = model.state().arithmeticFailure;
        err << commandName << ": the objective is not finite"
            << (why.empty() ? std::string(" (an intermediate result overflowed or was undefined)") : ": " + why)
            << "\n";
        return batchExit::notFinite;
    }
    return batchExit::success;
}

} // namespace orvanta
