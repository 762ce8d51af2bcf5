#include "batch/FitCommand.h"

#include "algorithm/AlgorithmFile.h"
#include "batch/BatchEngine.h"
#include "batch/BatchFiles.h"
#include "batch/BatchProgram.h"
#include "batch/CommandLine.h"
#include "batch/PriorsOption.h"
#include "batch/RunWarnings.h"
#include "minimize/MarquardtMinimizer.h"
#include "minimize/MarquardtWindow.h"
#include "minimize/ObjectiveEvaluation.h"
#include "minimize/SimplexMinimizer.h"
#include "minimize/SimplexWindow.h"
#include "model/DataSimulator.h"
#include "model/ModelRoutine.h"
#include "model/TarnfieldModel.h"
#include "text/NumberText.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <optional>
#include <ostream>
#include <set>
#include <sstream>

namespace orvanta {

namespace {

constexpr const char* commandName = "orvanta-batch fit";
constexpr double noObjective = std::numeric_limits<double>::quiet_NaN();
constexpr double daysPerYear = 365.0; // the period of the model's annual cycles

// How a run ended, as the batch reports it.
struct FitResult {
    const char* end;  // printed after "end"
    int status;       // the exit status
    double objective; // at the parameter values written; NaN after a refused start
};

// A minimizer as the batch runs it. Nobody watches a batch run, so every question the minimizer
// asks under questionTitle is answered No, which is the safe answer to each of them: the Simplex
// does not go on past maxCalls calls (a diverging run would never end); Marquardt takes
// numerical derivatives (the model supplies none) and lists no derivatives (the listing pauses
// for a button).
struct FitMethod {
    const char* name;
    const char* questionTitle;
    FitResult (*run)(Application& app);
    void (*printWindowTexts)(Application& app, std::ostream& out);
    bool countsRestarts;
};

// ---- Simplex ------------------------------------------------------------------------------

const char* simplexEndText(SimplexEnd end)
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
    case SimplexEnd::ProgramEnded:
        return "ended";
    }
    return "unknown";
}

int exitStatus(bool verified, bool nonFiniteStart)
{
    if (verified)
        return batchExit::success;
    return nonFiniteStart ? batchExit::notFinite : batchExit::incomplete;
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
FitResult runSimplexFit(Application& app)
{
    app.minimization.simplexRunning = true;
    const SimplexEnd end = runSimplex(app);
    app.minimization.simplexRunning = false;
    keepBestVertex(app, end);
    return {simplexEndText(end), exitStatus(end == SimplexEnd::Verified, end == SimplexEnd::NonFiniteStart),
            currentSimplexProgress(app).bestValue};
}

void printSimplexWindow(Application& app, std::ostream& out)
{
    if (const auto* window = app.desktop.find<SimplexWindow>(SimplexWindow::windowName))
        out << window->initialText() << "\n" << window->progressText() << "\n";
}

// ---- Marquardt ----------------------------------------------------------------------------

const char* marquardtEndText(MarquardtEnd end)
{
    switch (end) {
    case MarquardtEnd::Verified:
        return "verified_minimum";
    case MarquardtEnd::Stopped:
        return "call_limit"; // maxCalls accepted iterations; no interrupt reaches a batch run
    case MarquardtEnd::GaveUp:
        return "gave_up";
    case MarquardtEnd::DecompositionFailed:
        return "decomposition_failed";
    case MarquardtEnd::DerivativesMissing:
        return "derivatives_missing";
    case MarquardtEnd::NonFiniteDerivatives:
        return "non_finite_derivatives";
    case MarquardtEnd::NonFiniteStart:
        return "non_finite_start";
    case MarquardtEnd::ProfileInterrupted:
        return "interrupted";
    case MarquardtEnd::ProgramEnded:
        return "ended";
    }
    return "unknown";
}

// The objective at paramValues, the point every Marquardt end leaves there; evaluated once more
// because only the verified end reports its value.
double objectiveAtParamValues(Application& app)
{
    std::vector<double> point = app.algorithm.paramValues;
    return evaluateObjective(app, point, callCode::firstEvaluation);
}

// Marquardt as the main menu's "&Marquardt" runs it, minus the menu.
FitResult runMarquardtFit(Application& app)
{
    chooseMarquardtOptions(app);
    app.minimization.marquardtRunning = true;
    const MarquardtEnd end = runMarquardt(app);
    app.minimization.marquardtRunning = false;
    app.session.simplexBuilt = false;
    const bool nonFiniteStart = end == MarquardtEnd::NonFiniteStart;
    return {marquardtEndText(end), exitStatus(end == MarquardtEnd::Verified, nonFiniteStart),
            nonFiniteStart ? noObjective : objectiveAtParamValues(app)};
}

// The window is open at the end unless the run closed it (giving up, a failed decomposition).
void printMarquardtWindow(Application& app, std::ostream& out)
{
    if (const auto* window = app.desktop.find<MarquardtWindow>(MarquardtWindow::windowName))
        out << window->text() << "\n";
}

const FitMethod fitMethods[] = {
    {"simplex", "Simplex minimization", runSimplexFit, printSimplexWindow, true},
    {"marquardt", "Marquardt minimization", runMarquardtFit, printMarquardtWindow, false},
};

// ---- Options ------------------------------------------------------------------------------

struct FitOptions {
    const FitMethod* method = nullptr;
    InitializationRequest request;
    std::string algorithmFile;
    std::string outputFile;
    std::optional<std::string> logFile;
    std::int16_t logFrequency = 1;
    bool verbose = false;
    bool overwriteInput = false; // --out may name the --alg file
    PriorsOption priors;
    int starts = 1;         // the file's values, then starts - 1 drawn around them
    std::uint64_t seed = 1; // of the drawn starts
};

// Drawn starts lie within this many step sizes of the file's values.
constexpr double startSpread = 3.0;
constexpr int mostStarts = 1000;

const FitMethod* readMethod(const CommandLine& line, std::ostream& err)
{
    const std::string name = line.value("--method").value_or("");
    for (const FitMethod& method : fitMethods)
        if (name == method.name)
            return &method;
    err << commandName << ": --method must be simplex or marquardt, not '" << name << "'\n";
    return nullptr;
}

bool readFiles(const CommandLine& line, FitOptions& options, std::ostream& err)
{
    const auto in = line.value("--alg");
    const auto out = line.value("--out");
    if (!in || !out) {
        err << commandName
            << ": give the algorithm file to start from (--alg) and the one to write (--out)\n";
        return false;
    }
    options.algorithmFile = *in;
    options.outputFile = *out;
    options.overwriteInput = line.flag("--overwrite-input");
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

bool readStarts(const CommandLine& line, FitOptions& options, std::ostream& err)
{
    if (const auto starts = line.value("--starts")) {
        const Converted<std::int16_t> value = textToInt16(*starts);
        if (!value || value.value() < 1 || value.value() > mostStarts) {
            err << commandName << ": --starts must be a whole number from 1 to " << mostStarts << ", not '"
                << *starts << "'\n";
            return false;
        }
        options.starts = value.value();
    }
    if (const auto seed = line.value("--seed")) {
        const std::optional<std::uint64_t> value = seedValue(*seed);
        if (!value) {
            err << commandName << ": --seed must be a whole number from 0 to 2^64-1, not '" << *seed << "'\n";
            return false;
        }
        options.seed = *value;
    }
    if (options.starts > 1 && options.logFile) {
        err << commandName << ": --log records one run; it cannot be given with --starts\n";
        return false;
    }
    return true;
}

// Reads the options; on a problem writes one line to err and returns nothing.
std::optional<FitOptions> readOptions(const std::vector<std::string>& args, std::ostream& err)
{
    std::set<std::string> valueOptions = dataOptionNames();
    valueOptions.insert({"--method", "--alg", "--out", "--log", "--log-frequency", "--starts", "--seed"});
    valueOptions.insert(priorsValueOptions().begin(), priorsValueOptions().end());
    CommandLine line;
    if (!line.parse(args, valueOptions, {"--overwrite-input", "--verbose", reviewFlag})) {
        err << commandName << ": " << line.error() << "\n";
        return std::nullopt;
    }
    FitOptions options;
    options.method = readMethod(line, err);
    if (!options.method)
        return std::nullopt;
    const std::optional<InitializationRequest> request = readDataOptions(line, commandName, err);
    if (!request)
        return std::nullopt;
    options.request = *request;
    options.verbose = line.flag("--verbose");
    if (!readFiles(line, options, err) || !readLog(line, options, err) || !readStarts(line, options, err))
        return std::nullopt;
    const std::optional<PriorsOption> priors =
        readPriorsOption(line, ConstantUse::PriorsOnly, commandName, err);
    if (!priors)
        return std::nullopt;
    options.priors = *priors;
    return options;
}

// ---- The run ------------------------------------------------------------------------------

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

// The model at the estimates: its penalty (0 unless a value lies beyond a floor of the model)
// and the values it uses, which are those held in the file made absolute where only the
// magnitude counts (SDs, rates, sizes) and, for the days of maximum, within the year.
struct EstimatesAsUsed {
    double penalty;
    std::vector<double> values; // 1..20
};

EstimatesAsUsed evaluateAtEstimates(Application& app, const TarnfieldModel& model)
{
    std::vector<double> values = app.algorithm.paramValues;
    evaluateObjective(app, values, callCode::firstEvaluation); // the model cleans values in place
    for (const std::size_t day : {std::size_t{6}, std::size_t{8}})
        values[day] = std::fmod(values[day], daysPerYear);
    return {model.state().penalty, values};
}

// One minimization: how it ended, the algorithm data holding its estimates (as the output file
// writes them), its counters and the model at its estimates.
struct StartEnd {
    FitResult result;
    AlgorithmData algorithm;
    RunCounters counters;
    EstimatesAsUsed asUsed{0.0, {}};
    std::string priorsText; // printPriorsResults at the estimates
};

void printSummary(const FitOptions& options, const StartEnd& end, std::ostream& out)
{
    out << "end " << end.result.end << "\n";
    out << "objective " << fullPrecision(end.result.objective) << "\n";
    out << "penalty " << fullPrecision(end.asUsed.penalty) << "\n";
    out << "iterations " << end.counters.iterationCount << "\n";
    out << "calls " << end.counters.callCount << "\n";
    if (options.method->countsRestarts)
        out << "restarts " << end.counters.restartCount << "\n";
    const AlgorithmData& data = end.algorithm;
    for (int k = 1; k <= data.freeCount; ++k) {
        const auto parameter = static_cast<std::size_t>(data.freeIndex[static_cast<std::size_t>(k)]);
        out << "p" << parameter << " " << fullPrecision(data.paramValues[parameter]) << "  # model value "
            << fullPrecision(end.asUsed.values[parameter]) << ": " << data.paramDescriptions[parameter]
            << "\n";
    }
    out << end.priorsText;
}

void warnOfPenalty(const EstimatesAsUsed& asUsed, std::ostream& err)
{
    if (asUsed.penalty == 0.0)
        return;
    err << commandName << ": warning: the penalty at the estimates is " << fullPrecision(asUsed.penalty)
        << ", not 0: the estimates are held by the penalty of a value beyond the model's floor, which is "
           "not a minimum of the likelihood\n";
}

// Every file the run reads and writes, checked before anything is written.
bool checkFiles(const FitOptions& options, std::ostream& err)
{
    BatchFiles files(commandName);
    nameDataFiles(files, options.request);
    files.reads("--alg", options.algorithmFile);
    files.reads("--priors", options.priors.file.value_or(""));
    files.writes("--out", options.outputFile,
                 InputReplacement{"--alg", "--overwrite-input", options.overwriteInput});
    files.writes("--log", options.logFile.value_or(""));
    return files.check(err);
}

// Everything before the run; false when the input is bad. The log is opened (and so emptied)
// last, once the run is sure to start.
bool prepareRun(BatchEngine& engine, const FitOptions& options, std::ostream& err)
{
    Application& app = engine.app;
    if (!initializeFromData(engine, options.request, commandName, err) ||
        !loadAlgorithmFile(engine, options.algorithmFile, commandName, err) ||
        !applyPriorsOption(engine, options.priors, commandName, err))
        return false;
    app.showMainMenu();
    buildFreeIndex(app.algorithm);
    if (app.algorithm.freeCount == 0) {
        err << commandName << ": all step sizes are zero, there is nothing to fit\n";
        return false;
    }
    return openLog(app, options, err);
}

// Moves each free parameter to a value drawn uniformly within startSpread steps of its value.
void displaceStart(AlgorithmData& data, SimulationRandom& random)
{
    for (int k = 1; k <= data.freeCount; ++k) {
        const auto parameter = static_cast<std::size_t>(data.freeIndex[static_cast<std::size_t>(k)]);
        data.paramValues[parameter] +=
            (2.0 * random.uniform() - 1.0) * startSpread * data.paramSteps[parameter];
    }
    buildFreeIndex(data); // the minimizers start from the free values it takes
}

// One minimization in an engine of its own, from the file's values or (with displacement) from
// values drawn around them; nothing when the input is bad.
std::optional<StartEnd> runStart(const FitOptions& options, SimulationRandom* displacement,
                                 RunWarnings& warnings, std::ostream& out, std::ostream& err)
{
    BatchEngine engine;
    engine.ui.answerQuestionsTitled(options.method->questionTitle, Answer::No);
    if (!prepareRun(engine, options, err))
        return std::nullopt;
    Application& app = engine.app;
    if (displacement != nullptr)
        displaceStart(app.algorithm, *displacement);
    watchRun(engine, warnings, options.verbose);
    StartEnd end{options.method->run(app), {}, app.minimization.counters, {0.0, {}}, {}};
    if (options.verbose)
        options.method->printWindowTexts(app, out);
    if (end.result.status != batchExit::notFinite) {
        end.asUsed = evaluateAtEstimates(app, engine.model);
        std::ostringstream priors;
        printPriorsResults(app, options.priors, app.algorithm.paramValues, priors);
        end.priorsText = priors.str();
    }
    stopWatching(engine, warnings);
    end.algorithm = app.algorithm;
    return end;
}

// "start_K OBJECTIVE END p1=V ..." for one of several starts.
void printStartLine(int start, const StartEnd& end, std::ostream& out)
{
    out << "start_" << start << " " << fullPrecision(end.result.objective) << " " << end.result.end;
    const AlgorithmData& data = end.algorithm;
    for (int k = 1; k <= data.freeCount; ++k) {
        const auto parameter = static_cast<std::size_t>(data.freeIndex[static_cast<std::size_t>(k)]);
        out << " p" << parameter << "=" << fullPrecision(data.paramValues[parameter]);
    }
    out << "\n";
}

bool verified(const StartEnd& end)
{
    return end.result.status == batchExit::success;
}

// The verified end of least objective; without one, the finite end of least objective; without
// that, the first end. Ties go to the earlier start.
std::size_t bestEnd(const std::vector<StartEnd>& ends)
{
    std::optional<std::size_t> best;
    const auto better = [&ends](std::size_t a, std::size_t b) {
        if (verified(ends[a]) != verified(ends[b]))
            return verified(ends[a]);
        return ends[a].result.objective < ends[b].result.objective;
    };
    for (std::size_t i = 0; i < ends.size(); ++i)
        if (std::isfinite(ends[i].result.objective) && (!best || better(i, *best)))
            best = i;
    return best.value_or(0);
}

// Verified minima further apart than the convergence tolerance (+ absolute, - relative to the
// best) are different minima: one start ended "verified" away from the best.
void warnOfSeveralMinima(const std::vector<StartEnd>& ends, double tolerance, std::ostream& err)
{
    double lowest = std::numeric_limits<double>::infinity();
    double highest = -lowest;
    for (const StartEnd& end : ends) {
        if (!verified(end))
            continue;
        lowest = std::min(lowest, end.result.objective);
        highest = std::max(highest, end.result.objective);
    }
    if (!(highest > lowest))
        return;
    const double allowed = tolerance >= 0.0 ? tolerance : -tolerance * std::fabs(lowest);
    if (highest - lowest <= allowed)
        return;
    err << commandName << ": warning: the verified minima differ by " << fullPrecision(highest - lowest)
        << " (objectives " << fullPrecision(lowest) << " to " << fullPrecision(highest)
        << "), more than the convergence tolerance " << fullPrecision(allowed)
        << ": the objective has several minima; the best is written\n";
}

} // namespace

int runFitCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const std::optional<FitOptions> options = readOptions(args, err);
    if (!options || !checkFiles(*options, err))
        return batchExit::badInput;
    RunWarnings warnings(err);
    std::vector<StartEnd> ends;
    SimulationRandom random(options->seed);
    for (int start = 1; start <= options->starts; ++start) {
        std::optional<StartEnd> end = runStart(*options, start == 1 ? nullptr : &random, warnings, out, err);
        if (!end)
            return batchExit::badInput;
        ends.push_back(std::move(*end));
        if (options->starts > 1)
            printStartLine(start, ends.back(), out);
    }
    const std::size_t best = bestEnd(ends);
    StartEnd& chosen = ends[best];
    if (options->starts > 1)
        out << "best_start " << best + 1 << "\n";
    warnings.finish();
    if (chosen.result.status == batchExit::notFinite) {
        out << "end " << chosen.result.end << "\n";
        return batchExit::notFinite;
    }
    if (!writeAlgorithmFile(options->outputFile, chosen.algorithm)) {
        err << commandName << ": the algorithm file '" << options->outputFile << "' cannot be written\n";
        return batchExit::badInput;
    }
    printSummary(*options, chosen, out);
    warnOfPenalty(chosen.asUsed, err);
    warnOfSeveralMinima(ends, chosen.algorithm.options.convergenceTolerance, err);
    return chosen.result.status;
}

} // namespace orvanta
