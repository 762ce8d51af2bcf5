#include "batch/PosteriorCommand.h"

#include "batch/BatchEngine.h"
#include "batch/BatchFiles.h"
#include "batch/BatchProgram.h"
#include "batch/CommandLine.h"
#include "batch/DistributionCommands.h"
#include "batch/PriorsOption.h"
#include "plots/BivariatePlotWindow.h"
#include "plots/SvgWriter.h"
#include "text/NumberText.h"
#include "text/TextFile.h"
#include "uncertainty/CovarianceCalculator.h"
#include "uncertainty/CovarianceFile.h"
#include "uncertainty/DistributionReport.h"
#include "uncertainty/GridFile.h"
#include "uncertainty/LikelihoodProfile.h"
#include "uncertainty/PosteriorIntegration.h"

#include <cmath>
#include <cstdio>
#include <optional>
#include <ostream>
#include <set>
#include <unistd.h>

namespace orvanta {

namespace {

constexpr const char* commandName = "orvanta-batch posterior";

struct PosteriorOptions {
    InitializationRequest request;
    PriorsOption priors;
    std::string algorithmFile;
    std::string parameterText;
    PosteriorSettings settings;
    double constant = 0.0;
    StepsSource steps;
    std::optional<std::string> outputFile; // full path, as a save dialog gives it
    std::optional<std::string> gridFile;
    std::optional<std::string> plotFile;
    std::optional<std::string> bivariatePlotFile;
};

bool readFiles(const CommandLine& line, PosteriorOptions& options, std::ostream& err)
{
    if (!readAlgorithmAndParameter(line, commandName, "integrate", options.algorithmFile,
                                   options.parameterText, err))
        return false;
    options.outputFile = outputFilePath(line);
    options.gridFile = line.value("--grd");
    options.plotFile = line.value("--plot");
    options.bivariatePlotFile = line.value("--bivariate-plot");
    return true;
}

bool readPointCounts(const CommandLine& line, PosteriorOptions& options, std::ostream& err)
{
    int points = 25;
    int gridPoints = 25;
    if (!readWholeNumber(line, commandName, "--points", 1, 1001, points, err) ||
        !readWholeNumber(line, commandName, "--grid-points", 1, 1001, gridPoints, err))
        return false;
    options.settings.pointCount = posteriorPointCount(points);
    options.settings.gridPointCount = posteriorPointCount(gridPoints);
    return true;
}

// Every file the run reads and writes, checked before the run.
bool checkFiles(const PosteriorOptions& options, std::ostream& err)
{
    BatchFiles files(commandName);
    nameDataFiles(files, options.request);
    files.reads("--alg", options.algorithmFile);
    files.reads("--priors", options.priors.file.value_or(""));
    files.reads("--steps-from", options.steps.file.value_or(""));
    files.writes("--out", options.outputFile.value_or(""));
    files.writes("--grd", options.gridFile.value_or(""));
    files.writes("--plot", options.plotFile.value_or(""));
    files.writes("--bivariate-plot", options.bivariatePlotFile.value_or(""));
    return files.check(err);
}

std::optional<PosteriorOptions> readOptions(const std::vector<std::string>& args, std::ostream& err)
{
    std::set<std::string> valueOptions = dataOptionNames();
    valueOptions.insert(priorsValueOptions().begin(), priorsValueOptions().end());
    valueOptions.insert({"--alg", "--param", "--points", "--grid-points", "--steps-from", "--grid", "--out",
                         "--grd", "--plot", "--bivariate-plot"});
    CommandLine line;
    if (!line.parse(args, valueOptions)) {
        err << commandName << ": " << line.error() << "\n";
        return std::nullopt;
    }
    const std::optional<InitializationRequest> request = readDataOptions(line, commandName, err);
    if (!request)
        return std::nullopt;
    PosteriorOptions options;
    options.request = *request;
    const std::optional<StepsSource> steps = readStepsSource(line, commandName, err);
    if (!steps)
        return std::nullopt;
    options.steps = *steps;
    const std::optional<double> constant = readObjectiveConstant(line, commandName, err);
    const std::optional<PriorsOption> priors = readPriorsOption(line, ConstantUse::OwnUse, commandName, err);
    if (!constant || !priors || !readFiles(line, options, err) || !readPointCounts(line, options, err))
        return std::nullopt;
    options.constant = *constant;
    options.priors = *priors;
    return options;
}

// The free parameters other than p.
int gridParameterCount(const AlgorithmData& data, int parameter)
{
    int count = 0;
    for (const int q : freeParameters(data))
        count += q != parameter ? 1 : 0;
    return count;
}

bool takeStepsFromCovariances(Application& app, const PosteriorOptions& options, std::ostream& err)
{
    std::vector<double> errors;
    if (!readSourceStandardErrors(app, options.steps, commandName, errors, err))
        return false;
    if (!errors.empty())
        setPosteriorSteps(app.algorithm, errors, options.settings);
    return true;
}

// What the dialogue refuses before the calculation: a zero step, too many calls or grid
// parameters, outputs of the joint density without exactly one grid parameter.
bool setUpAccepted(const Application& app, const PosteriorOptions& options, std::ostream& err)
{
    const AlgorithmData& data = app.algorithm;
    const int p = options.settings.parameter;
    if (data.paramSteps[static_cast<std::size_t>(p)] == 0.0) {
        err << commandName << ": parameter " << p
            << " has a step size of zero (fixed or fused to another); give it a step to integrate it\n";
        return false;
    }
    const int k = gridParameterCount(data, p);
    if (k > largestGridParameterCount) {
        err << commandName << ": Too many free parameters - maximum is 6 (" << k << " besides parameter " << p
            << ")\n";
        return false;
    }
    const int m = k == 0 ? 0 : options.settings.gridPointCount;
    if (posteriorCallCount(options.settings.pointCount, m, k) > largestPosteriorCalls) {
        err << commandName << ": " << options.settings.pointCount << " x " << m << "^" << k
            << " function calls: " << tooManyCallsText() << "\n";
        return false;
    }
    if ((options.gridFile || options.bivariatePlotFile) && k != 1) {
        err << commandName << ": --grd and --bivariate-plot need exactly one grid parameter, not " << k
            << "\n";
        return false;
    }
    return true;
}

// Everything before the calculation; a batch exit status when the run cannot go on.
std::optional<int> prepareRun(BatchEngine& engine, PosteriorOptions& options, std::ostream& err)
{
    if (!initializeFromData(engine, options.request, commandName, err) ||
        !loadAlgorithmFile(engine, options.algorithmFile, commandName, err) ||
        !applyPriorsOption(engine, options.priors, commandName, err))
        return batchExit::badInput;
    Application& app = engine.app;
    AlgorithmData& data = app.algorithm;
    buildFuseGroups(data);
    buildFreeIndex(data);
    const std::optional<int> parameter =
        readParameterNumber(options.parameterText, data.paramCount, commandName, err);
    if (!parameter)
        return batchExit::badInput;
    options.settings.parameter = *parameter;
    if (gridParameterCount(data, *parameter) == 0)
        options.settings.gridPointCount = 0;
    if (!takeStepsFromCovariances(app, options, err) || !setUpAccepted(app, options, err))
        return batchExit::badInput;
    setCovScale(app.session, 1.0 / options.constant);
    return std::nullopt;
}

// "calls C of T, remaining m:ss" on one line of a terminal, at most four times a second.
std::function<void(long long, long long, double)> terminalProgress(std::ostream& err, const Clock& clock)
{
    if (!isatty(STDERR_FILENO))
        return {};
    auto last = std::make_shared<double>(-1.0);
    return [&err, &clock, last](long long calls, long long total, double remainingSeconds) {
        const double now = clock.seconds();
        if (calls != total && now - *last < 0.25)
            return;
        *last = now;
        err << "\rcalls " << calls << " of " << total << ", remaining (m:s) "
            << minutesSecondsText(std::llround(remainingSeconds)) << "   " << (calls == total ? "\n" : "")
            << std::flush;
    };
}

bool writeJointDensity(const BivariateDensity& joint, const PosteriorOptions& options, std::ostream& err)
{
    if (options.gridFile && !saveTextFile(*options.gridFile, gridFileText(joint))) {
        err << commandName << ": the grid file '" << *options.gridFile << "' cannot be written\n";
        return false;
    }
    if (options.bivariatePlotFile) {
        BivariatePlotWindow window(joint, [] {});
        if (!saveFileBytes(*options.bivariatePlotFile, writeSvg(window.picture()))) {
            err << commandName << ": the picture '" << *options.bivariatePlotFile << "' cannot be written\n";
            return false;
        }
    }
    return true;
}

// The report, the pictures, the grid file and the printed lines; the exit status.
int writeResults(Application& app, const PosteriorOptions& options, const PosteriorOutcome& outcome,
                 std::ostream& out, std::ostream& err)
{
    DistributionProfile& d = app.distribution.profile;
    if (outcome.nonFinitePoints > 0)
        err << commandName << ": " << nonFinitePointsText(outcome.nonFinitePoints, outcome.calls) << "\n";
    if (!distributionToShow(app)) {
        out << "points " << d.pointCount << "\n";
        err << commandName << ": the integration leaves no distribution to report\n";
        return batchExit::incomplete;
    }
    const DistributionOutput output{"frmBayesian", posteriorHeading, DistributionSource::Posterior,
                                    options.outputFile, options.plotFile};
    if (!writeDistributionOutput(app, output, commandName, out, err))
        return batchExit::badInput;
    if (outcome.gridParameterCount == 1 && !writeJointDensity(app.distribution.bivariate, options, err))
        return batchExit::badInput;
    out << "points " << d.pointCount << "\n";
    out << "grid_parameters " << outcome.gridParameterCount << "\n";
    out << "calls " << outcome.calls << "\n";
    out << "mode " << fullPrecision(d.modeValue) << "\n";
    out << "mean " << fullPrecision(d.meanValue) << "\n";
    out << "se " << fullPrecision(d.estimatedSE) << "\n";
    return outcome.end == PosteriorEnd::Complete ? batchExit::success : batchExit::incomplete;
}

int refusedEnd(const PosteriorOutcome& outcome, std::ostream& err)
{
    switch (outcome.end) {
    case PosteriorEnd::CentreNotFinite:
        err << commandName << ": " << outcome.centreProblem << "\n";
        return batchExit::notFinite;
    case PosteriorEnd::AllocationFailed:
        err << commandName << ": Bivariate array is probably too large; reduce grid size\n";
        return batchExit::badInput;
    default:
        err << commandName << ": the integration was refused at its set-up\n";
        return batchExit::badInput;
    }
}

} // namespace

int runPosteriorCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    std::optional<PosteriorOptions> options = readOptions(args, err);
    if (!options || !checkFiles(*options, err))
        return batchExit::badInput;
    BatchEngine engine;
    if (const std::optional<int> refused = prepareRun(engine, *options, err)) {
        writeMessagesOnce(engine.messages.str(), err);
        return *refused;
    }
    Application& app = engine.app;
    options->settings.onProgress = terminalProgress(err, engine.clock);
    const PosteriorOutcome outcome = calculatePosterior(app, options->settings);
    app.session.bayesRunning = false;
    int status = batchExit::success;
    if (outcome.end == PosteriorEnd::Complete || outcome.end == PosteriorEnd::Cut)
        status = writeResults(app, *options, outcome, out, err);
    else
        status = refusedEnd(outcome, err);
    writeMessagesOnce(engine.messages.str(), err);
    return status;
}

} // namespace orvanta
