#include "batch/ProfileCommand.h"

#include "batch/BatchEngine.h"
#include "batch/BatchFiles.h"
#include "batch/BatchProgram.h"
#include "batch/CommandLine.h"
#include "batch/DistributionCommands.h"
#include "batch/PriorsOption.h"
#include "minimize/ObjectiveEvaluation.h"
#include "model/ModelRoutine.h"
#include "plots/DistributionPlotWindow.h"
#include "text/NumberText.h"
#include "uncertainty/CovarianceFile.h"
#include "uncertainty/DistributionReport.h"
#include "uncertainty/LikelihoodProfile.h"

#include <cmath>
#include <optional>
#include <ostream>
#include <set>

namespace orvanta {

namespace {

constexpr const char* commandName = "orvanta-batch profile";

struct ProfileOptions {
    InitializationRequest request;
    std::string algorithmFile;
    std::string parameterText;
    ProfileSettings settings;
    double constant = 0.0;
    std::optional<std::string> stepsFrom;
    int grid = 0;
    std::optional<std::string> outputFile; // full path, as a save dialog gives it
    std::optional<std::string> plotFile;
    PriorsOption priors;
};

bool readMethod(const CommandLine& line, ProfileOptions& options, std::ostream& err)
{
    const std::string method = line.value("--method").value_or("simplex");
    if (method != "simplex" && method != "marquardt") {
        err << commandName << ": --method must be simplex or marquardt, not '" << method << "'\n";
        return false;
    }
    options.settings.minimizer =
        method == "simplex" ? ProfileMinimizer::Simplex : ProfileMinimizer::Marquardt;
    return true;
}

bool readConstant(const CommandLine& line, ProfileOptions& options, std::ostream& err)
{
    const std::optional<double> constant = readObjectiveConstant(line, commandName, err);
    if (!constant)
        return false;
    options.constant = *constant;
    return true;
}

bool readStepsSource(const CommandLine& line, ProfileOptions& options, std::ostream& err)
{
    const std::optional<StepsSource> source = orvanta::readStepsSource(line, commandName, err);
    if (!source)
        return false;
    options.stepsFrom = source->file;
    options.grid = source->grid;
    return true;
}

bool readFiles(const CommandLine& line, ProfileOptions& options, std::ostream& err)
{
    if (!readAlgorithmAndParameter(line, commandName, "profile", options.algorithmFile, options.parameterText,
                                   err))
        return false;
    options.outputFile = outputFilePath(line);
    options.plotFile = line.value("--plot");
    return true;
}

// Every file the run reads and writes, checked before the run.
bool checkFiles(const ProfileOptions& options, std::ostream& err)
{
    BatchFiles files(commandName);
    nameDataFiles(files, options.request);
    files.reads("--alg", options.algorithmFile);
    files.reads("--steps-from", options.stepsFrom.value_or(""));
    files.reads("--priors", options.priors.file.value_or(""));
    files.writes("--out", options.outputFile.value_or(""));
    files.writes("--plot", options.plotFile.value_or(""));
    return files.check(err);
}

std::optional<ProfileOptions> readOptions(const std::vector<std::string>& args, std::ostream& err)
{
    std::set<std::string> valueOptions = dataOptionNames();
    valueOptions.insert({"--alg", "--param", "--points", "--method", "--constant", "--steps-from", "--grid",
                         "--out", "--plot"});
    valueOptions.insert(priorsValueOptions().begin(), priorsValueOptions().end());
    CommandLine line;
    if (!line.parse(args, valueOptions)) {
        err << commandName << ": " << line.error() << "\n";
        return std::nullopt;
    }
    const std::optional<InitializationRequest> request = readDataOptions(line, commandName, err);
    if (!request)
        return std::nullopt;
    ProfileOptions options;
    options.request = *request;
    int points = 25;
    if (!readStepsSource(line, options, err) || !readFiles(line, options, err) ||
        !readMethod(line, options, err) || !readConstant(line, options, err) ||
        !readWholeNumber(line, commandName, "--points", 0, 1001, points, err))
        return std::nullopt;
    const std::optional<PriorsOption> priors = readPriorsOption(line, ConstantUse::OwnUse, commandName, err);
    if (!priors)
        return std::nullopt;
    options.priors = *priors;
    options.settings.pointCount = profilePointCount(points);
    return options;
}

// The parameter, now that the parameter count is known.
bool readParameter(const ProfileOptions& options, int paramCount, int& parameter, std::ostream& err)
{
    const std::optional<int> number =
        readParameterNumber(options.parameterText, paramCount, commandName, err);
    if (number)
        parameter = *number;
    return number.has_value();
}

bool takeStepsFromCovariances(Application& app, const ProfileOptions& options, std::ostream& err)
{
    std::vector<double> errors;
    if (!readSourceStandardErrors(app, {options.stepsFrom, options.grid}, commandName, errors, err))
        return false;
    if (!errors.empty())
        setProfileSteps(app.algorithm, errors, options.settings.pointCount);
    return true;
}

// Everything before the calculation; a batch exit status when the run cannot go on.
std::optional<int> prepareRun(BatchEngine& engine, ProfileOptions& options, std::ostream& err)
{
    if (!initializeFromData(engine, options.request, commandName, err) ||
        !loadAlgorithmFile(engine, options.algorithmFile, commandName, err) ||
        !applyPriorsOption(engine, options.priors, commandName, err))
        return batchExit::badInput;
    Application& app = engine.app;
    AlgorithmData& data = app.algorithm;
    buildFreeIndex(data);
    if (!readParameter(options, data.paramCount, options.settings.parameter, err) ||
        !takeStepsFromCovariances(app, options, err))
        return batchExit::badInput;
    if (data.paramSteps[static_cast<std::size_t>(options.settings.parameter)] == 0.0) {
        err << commandName << ": parameter " << options.settings.parameter
            << " has a step size of zero (fixed or fused to another); give it a step to profile it\n";
        return batchExit::badInput;
    }
    setCovScale(app.session, 1.0 / options.constant);
    std::vector<double> start = data.paramValues;
    if (!isFiniteObjective(evaluateObjective(app, start, callCode::firstEvaluation))) {
        err << commandName << ": the objective is not finite at the start: " << objectiveFailureText(app)
            << "\n";
        return batchExit::notFinite;
    }
    return std::nullopt;
}

std::string intervalEnd(const std::optional<double>& value)
{
    return value ? fullPrecision(*value) : "open";
}

// The report, the plot and the printed lines; the exit status.
int writeResults(Application& app, const ProfileOptions& options, ProfileEnd end, std::ostream& out,
                 std::ostream& err)
{
    DistributionProfile& d = app.distribution.profile;
    if (!distributionToShow(app)) {
        out << "points " << d.pointCount << "\n";
        err << commandName << ": the profile was cut and leaves no distribution to report\n";
        return batchExit::incomplete;
    }
    const DistributionOutput output{"frmMaxLike", maximumLikelihoodHeading, DistributionSource::LikelihoodProfile,
                                    options.outputFile, options.plotFile};
    if (!writeDistributionOutput(app, output, commandName, out, err))
        return batchExit::badInput;
    const LikelihoodRatioInterval interval = likelihoodRatioInterval(d);
    out << "points " << d.pointCount << "\n";
    out << "mode " << fullPrecision(d.modeValue) << "\n";
    out << "lr95_lower " << intervalEnd(interval.lower) << "\n";
    out << "lr95_upper " << intervalEnd(interval.upper) << "\n";
    const bool open = !interval.lower && !interval.upper;
    return end == ProfileEnd::Complete && !open ? batchExit::success : batchExit::incomplete;
}

} // namespace

int runProfileCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    std::optional<ProfileOptions> options = readOptions(args, err);
    if (!options || !checkFiles(*options, err))
        return batchExit::badInput;
    BatchEngine engine;
    if (const std::optional<int> refused = prepareRun(engine, *options, err)) {
        writeMessagesOnce(engine.messages.str(), err);
        return *refused;
    }
    Application& app = engine.app;
    // Nobody answers: a minimization stops at its call limit, Marquardt takes numerical
    // derivatives and lists none.
    engine.ui.answerQuestionsTitled("Simplex minimization", Answer::No);
    engine.ui.answerQuestionsTitled("Marquardt minimization", Answer::No);
    const std::vector<double> startValues = app.algorithm.paramValues;
    const ProfileEnd end = calculateLikelihoodProfile(app, options->settings);
    app.session.profileRunning = false;
    const int status = writeResults(app, *options, end, out, err);
    printPriorsResults(app, options->priors, startValues, out);
    writeMessagesOnce(engine.messages.str(), err);
    return status;
}

} // namespace orvanta
