#include "batch/FitCommand.h"

#include "algorithm/AlgorithmFile.h"
#include "batch/BatchEngine.h"
#include "batch/BatchProgram.h"
#include "batch/CommandLine.h"
#include "minimize/SimplexMinimizer.h"
#include "minimize/SimplexWindow.h"
#include "text/NumberText.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <ostream>
#include <set>
#include <system_error>

namespace orvanta {

namespace {

constexpr const char* commandName = "orvanta-batch fit";

// The title of the Simplex's "continue after maxCalls calls?" question. Nobody can watch a
// batch run, so going on past the limit in the .alg file would never end a diverging run.
constexpr const char* simplexQuestionTitle = "Simplex minimization";

struct FitOptions {
    InitializationRequest request;
    std::string algorithmFile;
    std::string outputFile;
    std::optional<std::string> logFile;
    std::int16_t logFrequency = 1;
    bool verbose = false;
};

bool sameFile(const std::string& a, const std::string& b)
{
    std::error_code error;
    if (std::filesystem::equivalent(a, b, error))
        return true;
    return std::filesystem::weakly_canonical(a, error) == std::filesystem::weakly_canonical(b, error);
}

// Reads --method; only the Simplex can run so far.
bool readMethod(const CommandLine& line, std::ostream& err)
{
    const std::string method = line.value("--method").value_or("");
    if (method == "simplex")
        return true;
    if (method == "marquardt")
        err << commandName << ": marquardt is not available yet\n";
    else
        err << commandName << ": --method must be simplex or marquardt, not '" << method << "'\n";
    return false;
}

bool readFiles(const CommandLine& line, FitOptions& options, std::ostream& err)
{
    const auto in = line.value("--alg");
    const auto out = line.value("--out");
    if (!in || !out) {
        err << commandName << ": give the algorithm file to start from (--alg) and the one to write (--out)\n";
        return false;
    }
    if (sameFile(*in, *out) && !line.flag("--overwrite-input")) {
        err << commandName << ": --out names the input file '" << *in
            << "'; give --overwrite-input to replace it\n";
        return false;
    }
    options.algorithmFile = *in;
    options.outputFile = *out;
    return true;
}

bool readLog(const CommandLine& line, FitOptions& options, std::ostream& err)
{
    options.logFile = line.value("--log");
    const auto frequency = line.value("--log-frequency");
    if (!frequency)
        return true;
    if (!options.logFile) {
        err << commandName << ": --log-frequency needs --log FILE\n";
        return false;
    }
    const Converted<std::int16_t> value = textToInt16(*frequency);
    if (!value || value.value() < 1) {
        err << commandName << ": --log-frequency must be a whole number from 1 to 32767, not '" << *frequency
            << "'\n";
        return false;
    }
    options.logFrequency = value.value();
    return true;
}

// Reads the options; on a problem writes one line to err and returns nothing.
std::optional<FitOptions> readOptions(const std::vector<std::string>& args, std::ostream& err)
{
    std::set<std::string> valueOptions = dataOptionNames();
    valueOptions.insert({"--method", "--alg", "--out", "--log", "--log-frequency"});
    CommandLine line;
    if (!line.parse(args, valueOptions, {"--overwrite-input", "--verbose"})) {
        err << commandName << ": " << line.error() << "\n";
        return std::nullopt;
    }
    if (!readMethod(line, err))
        return std::nullopt;
    const std::optional<InitializationRequest> request = readDataOptions(line, commandName, err);
    if (!request)
        return std::nullopt;
    FitOptions options;
    options.request = *request;
    options.verbose = line.flag("--verbose");
    if (!readFiles(line, options, err) || !readLog(line, options, err))
        return std::nullopt;
    return options;
}

// Opens the minimization log as the editor's "&Open" does.
bool openLog(Application& app, const FitOptions& options, std::ostream& err)
{
    if (!options.logFile)
        return true;
    if (!app.minimizationLog.open(*options.logFile)) {
        err << commandName << ": the log file '" << *options.logFile << "' cannot be created\n";
        return false;
    }
    app.algorithm.options.logFileName = *options.logFile;
    app.algorithm.options.fileFrequency = options.logFrequency;
    return true;
}

const char* endText(SimplexEnd end)
{
    switch (end) {
    case SimplexEnd::Verified:
        return "verified_minimum";
    case SimplexEnd::StoppedAtMaxCalls:
        return "call_limit";
    case SimplexEnd::Interrupted:
        return "interrupted";
    case SimplexEnd::DivisionByZero:
        return "division_by_zero";
    case SimplexEnd::NonFiniteStart:
        return "non_finite_start";
    case SimplexEnd::NonFiniteSimplex:
        return "non_finite_objective";
    }
    return "unknown";
}

int exitStatus(SimplexEnd end)
{
    if (end == SimplexEnd::Verified)
        return batchExit::success;
    if (end == SimplexEnd::NonFiniteStart)
        return batchExit::notFinite;
    return batchExit::incomplete;
}

// The run leaves the parameters alone after a division by zero; the best vertex is still the
// last accepted point, and the output file should hold it.
void keepBestVertex(Application& app, SimplexEnd end)
{
    if (end != SimplexEnd::DivisionByZero)
        return;
    AlgorithmData& data = app.algorithm;
    const SimplexState& simplex = app.minimization.simplex;
    const std::vector<double>& best = simplex.vertices[static_cast<std::size_t>(simplex.bestVertex)];
    for (int k = 1; k <= data.freeCount; ++k) {
        const auto position = static_cast<std::size_t>(k);
        data.paramValues[static_cast<std::size_t>(data.freeIndex[position])] = best[position];
    }
}

// The Simplex as the main menu's "Simple&x" runs it, minus the menu.
SimplexEnd runSimplexFit(Application& app)
{
    app.minimization.simplexRunning = true;
    const SimplexEnd end = runSimplex(app);
    app.minimization.simplexRunning = false;
    keepBestVertex(app, end);
    return end;
}

void printWindowTexts(Application& app, std::ostream& out)
{
    if (const auto* window = app.desktop.find<SimplexWindow>(SimplexWindow::windowName))
        out << window->initialText() << "\n" << window->progressText() << "\n";
}

void printSummary(const Application& app, SimplexEnd end, std::ostream& out)
{
    const RunCounters& counters = app.minimization.counters;
    out << "end " << endText(end) << "\n";
    out << "objective " << fullPrecision(currentSimplexProgress(app).bestValue) << "\n";
    out << "iterations " << counters.iterationCount << "\n";
    out << "calls " << counters.callCount << "\n";
    out << "restarts " << counters.restartCount << "\n";
    const AlgorithmData& data = app.algorithm;
    for (int k = 1; k <= data.freeCount; ++k) {
        const int parameter = data.freeIndex[static_cast<std::size_t>(k)];
        out << "p" << parameter << " " << fullPrecision(data.paramValues[static_cast<std::size_t>(parameter)])
            << "\n";
    }
}

// Everything before the run; false when the input is bad.
bool prepareRun(BatchEngine& engine, const FitOptions& options, std::ostream& err)
{
    Application& app = engine.app;
    if (!initializeFromData(engine, options.request, commandName, err) ||
        !loadAlgorithmFile(engine, options.algorithmFile, commandName, err))
        return false;
    app.showMainMenu();
    if (!openLog(app, options, err))
        return false;
    buildFreeIndex(app.algorithm);
    if (app.algorithm.freeCount == 0) {
        err << commandName << ": all step sizes are zero, there is nothing to fit\n";
        return false;
    }
    return true;
}

} // namespace

int runFitCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const std::optional<FitOptions> options = readOptions(args, err);
    if (!options)
        return batchExit::badInput;
    BatchEngine engine;
    engine.ui.answerQuestionsTitled(simplexQuestionTitle, Answer::No);
    if (!prepareRun(engine, *options, err))
        return batchExit::badInput;

    Application& app = engine.app;
    const SimplexEnd end = runSimplexFit(app);
    if (options->verbose)
        printWindowTexts(app, out);
    err << engine.messages.str();
    if (end == SimplexEnd::NonFiniteStart) {
        out << "end " << endText(end) << "\n";
        return batchExit::notFinite;
    }
    if (!writeAlgorithmFile(options->outputFile, app.algorithm)) {
        err << commandName << ": the algorithm file '" << options->outputFile << "' cannot be written\n";
        return batchExit::badInput;
    }
    printSummary(app, end, out);
    return exitStatus(end);
}

} // namespace orvanta
