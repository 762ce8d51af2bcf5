#include "batch/CovarianceCommand.h"

#include "batch/BatchEngine.h"
#include "batch/BatchFiles.h"
#include "batch/BatchProgram.h"
#include "batch/CommandLine.h"
#include "batch/CovarianceAdvice.h"
#include "batch/PriorsOption.h"
#include "batch/RunWarnings.h"
#include "text/NumberText.h"
#include "uncertainty/CovarianceCalculator.h"
#include "uncertainty/CovarianceDisplayWindow.h"

#include <cmath>
#include <optional>
#include <ostream>
#include <set>

namespace orvanta {

namespace {

constexpr const char* commandName = "orvanta-batch covariance";

struct CovarianceOptions {
    InitializationRequest request;
    std::string algorithmFile;
    std::optional<std::string> outputFile; // full path, as a save dialog gives it
    CovarianceSettings settings;
    PriorsOption priors;
    bool verbose = false;
};

// A positive finite number, or nothing after one line to err.
std::optional<double> positiveNumber(const std::string& text, const std::string& what, std::ostream& err)
{
    return positiveNumberOption(text, what, commandName, err);
}

bool readConstant(const CommandLine& line, CovarianceOptions& options, std::ostream& err)
{
    const std::optional<double> constant = readObjectiveConstant(line, commandName, err);
    if (!constant)
        return false;
    options.settings.objectiveConstant = *constant;
    return true;
}

bool readFactors(const CommandLine& line, CovarianceOptions& options, std::ostream& err)
{
    const auto text = line.value("--factors");
    if (!text)
        return true;
    const std::vector<std::string> parts = splitAtCommas(*text);
    if (parts.size() != static_cast<std::size_t>(gridCount)) {
        err << commandName << ": --factors needs " << gridCount << " values, not " << parts.size() << "\n";
        return false;
    }
    for (int g = 1; g <= gridCount; ++g) {
        const std::optional<double> factor =
            positiveNumber(parts[static_cast<std::size_t>(g - 1)], "grid factor " + std::to_string(g), err);
        if (!factor)
            return false;
        options.settings.gridFactors[static_cast<std::size_t>(g)] = *factor;
    }
    return true;
}

bool readFiles(const CommandLine& line, CovarianceOptions& options, std::ostream& err)
{
    const auto in = line.value("--alg");
    if (!in) {
        err << commandName << ": give the algorithm file whose values are the centre (--alg FILE)\n";
        return false;
    }
    options.algorithmFile = *in;
    options.outputFile = outputFilePath(line);
    return true;
}

// Reads the options; on a problem writes one line to err and returns nothing.
std::optional<CovarianceOptions> readOptions(const std::vector<std::string>& args, std::ostream& err)
{
    std::set<std::string> valueOptions = dataOptionNames();
    valueOptions.insert({"--alg", "--constant", "--factors", "--out"});
    valueOptions.insert(priorsValueOptions().begin(), priorsValueOptions().end());
    CommandLine line;
    if (!line.parse(args, valueOptions, {"--optimistic", "--verbose"})) {
        err << commandName << ": " << line.error() << "\n";
        return std::nullopt;
    }
    const std::optional<InitializationRequest> request = readDataOptions(line, commandName, err);
    if (!request)
        return std::nullopt;
    CovarianceOptions options;
    options.request = *request;
    options.settings.optimisticSEs = line.flag("--optimistic");
    options.verbose = line.flag("--verbose");
    if (!readFiles(line, options, err) || !readConstant(line, options, err) ||
        !readFactors(line, options, err))
        return std::nullopt;
    const std::optional<PriorsOption> priors = readPriorsOption(line, ConstantUse::OwnUse, commandName, err);
    if (!priors)
        return std::nullopt;
    options.priors = *priors;
    return options;
}

void printAdvice(const GridAdvice& advice, std::ostream& out)
{
    for (const GridAgreement& agreement : advice.agreements)
        out << "agreement_g" << agreement.gridA << "_g" << agreement.gridB << " "
            << fullPrecision(agreement.largestRelativeDifference) << "\n";
    out << "recommended_grid "
        << (advice.recommendedGrid ? std::to_string(*advice.recommendedGrid) : std::string("none")) << "\n";
}

void printResults(Application& app, const PriorsOption& priors, const GridAdvice& advice, std::ostream& out)
{
    const CovarianceRun& run = app.covariance;
    out << "centre_objective " << fullPrecision(run.centreObjective) << "\n";
    printPriorsResults(app, priors, run.centreValues, out);
    for (int g = 1; g <= gridCount; ++g)
        out << "grid" << g << " "
            << (gridPositiveDefinite(run.grids[static_cast<std::size_t>(g)]) ? "positive_definite"
                                                                             : "not_positive_definite")
            << "\n";
    for (int g = 1; g <= gridCount; ++g)
        for (int a = 1; a <= run.freeCount(); ++a)
            out << "se" << g << "_p" << run.covParamOf[static_cast<std::size_t>(a)] << " "
                << fullPrecision(
                       run.grids[static_cast<std::size_t>(g)].standardError[static_cast<std::size_t>(a)])
                << "\n";
    printAdvice(advice, out);
}

// Collates the report and saves it as the display window's buttons do.
bool writeReport(Application& app, const std::string& path, std::ostream& err)
{
    showCovarianceDisplay(app);
    if (auto* display = app.desktop.find<CovarianceDisplayWindow>(CovarianceDisplayWindow::windowName))
        display->cmdScreen_Click();
    if (writeCovarianceFile(app, path))
        return true;
    err << commandName << ": the covariance file '" << path << "' cannot be written\n";
    return false;
}

// Every file the run reads and writes, checked before the run.
bool checkFiles(const CovarianceOptions& options, std::ostream& err)
{
    BatchFiles files(commandName);
    nameDataFiles(files, options.request);
    files.reads("--alg", options.algorithmFile);
    files.reads("--priors", options.priors.file.value_or(""));
    files.writes("--out", options.outputFile.value_or(""));
    return files.check(err);
}

// Everything before the run; false when the input is bad.
bool prepareRun(BatchEngine& engine, const CovarianceOptions& options, std::ostream& err)
{
    if (!initializeFromData(engine, options.request, commandName, err) ||
        !loadAlgorithmFile(engine, options.algorithmFile, commandName, err) ||
        !applyPriorsOption(engine, options.priors, commandName, err))
        return false;
    buildFreeIndex(engine.app.algorithm);
    if (engine.app.algorithm.freeCount == 0) {
        err << commandName << ": all step sizes are zero, there is no free parameter\n";
        return false;
    }
    return true;
}

} // namespace

int runCovarianceCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const std::optional<CovarianceOptions> options = readOptions(args, err);
    if (!options || !checkFiles(*options, err))
        return batchExit::badInput;
    RunWarnings warnings(err);
    BatchEngine engine;
    if (!prepareRun(engine, *options, err))
        return batchExit::badInput;

    Application& app = engine.app;
    watchRun(engine, warnings, options->verbose);
    const bool centreFinite = runNumericalCovariance(app, options->settings);
    stopWatching(engine, warnings);
    warnings.finish();
    if (!centreFinite) {
        err << commandName << ": the objective at the centre is not finite\n";
        return batchExit::notFinite;
    }
    if (options->outputFile && !writeReport(app, *options->outputFile, err))
        return batchExit::badInput;
    const GridAdvice advice = adviseGrid(app.covariance);
    printResults(app, options->priors, advice, out);
    return advice.recommendedGrid ? batchExit::success : batchExit::incomplete;
}

} // namespace orvanta
