#include "batch/PriorProfileCommand.h"

#include "batch/BatchEngine.h"
#include "batch/BatchFiles.h"
#include "batch/BatchProgram.h"
#include "batch/CommandLine.h"
#include "batch/DistributionCommands.h"
#include "batch/PriorsOption.h"
#include "model/ModelState.h"
#include "priors/PriorProfile.h"
#include "uncertainty/DistributionProfile.h"

#include <optional>
#include <ostream>

namespace orvanta {

namespace {

constexpr const char* commandName = "orvanta-batch prior-profile";

struct PriorProfileOptions {
    std::string priorsFile;
    int parameter = 0;
    int pointCount = 101;
    std::string outputFile; // full path, as a save dialog gives it
    std::optional<std::string> plotFile;
};

std::optional<PriorProfileOptions> readOptions(const std::vector<std::string>& args, std::ostream& err)
{
    CommandLine line;
    if (!line.parse(args, {"--priors", "--param", "--points", "--out", "--plot"})) {
        err << commandName << ": " << line.error() << "\n";
        return std::nullopt;
    }
    const auto priors = line.value("--priors");
    const auto parameter = line.value("--param");
    const std::optional<std::string> output = outputFilePath(line);
    if (!priors || !parameter || !output) {
        err << commandName
            << ": give the priors file (--priors FILE.pri), the parameter to profile (--param P) and the "
               "report file (--out FILE.pdp)\n";
        return std::nullopt;
    }
    PriorProfileOptions options;
    options.priorsFile = *priors;
    options.outputFile = *output;
    options.plotFile = line.value("--plot");
    int points = 0;
    if (!readWholeNumber(line, commandName, "--param", 1, modelParamCount, options.parameter, err) ||
        !readWholeNumber(line, commandName, "--points", 0, largestPriorProfilePointCount, points, err))
        return std::nullopt;
    options.pointCount = priorProfilePointCount(points);
    return options;
}

// Every file the run reads and writes, checked before the run.
bool checkFiles(const PriorProfileOptions& options, std::ostream& err)
{
    BatchFiles files(commandName);
    files.reads("--priors", options.priorsFile);
    files.writes("--out", options.outputFile);
    files.writes("--plot", options.plotFile.value_or(""));
    return files.check(err);
}

} // namespace

int runPriorProfileCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const std::optional<PriorProfileOptions> options = readOptions(args, err);
    if (!options || !checkFiles(*options, err))
        return batchExit::badInput;
    const std::optional<std::vector<PriorSpec>> priors =
        readPriorsForModel(options->priorsFile, modelParamCount, commandName, err);
    if (!priors)
        return batchExit::badInput;
    const int p = options->parameter;
    const PriorSpec& prior = (*priors)[static_cast<std::size_t>(p)];
    if (const std::string refusal = priorProfileRefusal(prior, p, options->pointCount); !refusal.empty()) {
        err << commandName << ": " << refusal << "\n";
        return batchExit::badInput;
    }
    DistributionProfile d;
    calculatePriorProfile(*priors, p, options->pointCount, d, {});
    computeDistributionStatistics(d);
    if (!writeReportFile("frmPriorDists", priorProfileReport(d), options->outputFile, commandName, err))
        return batchExit::badInput;
    if (options->plotFile &&
        !writeDistributionPlot(d, p, DistributionSource::PriorProfile, *options->plotFile, commandName, err))
        return batchExit::badInput;
    out << "points " << d.pointCount << "\n";
    out << "mode " << fullPrecision(d.modeValue) << "\n";
    out << "mean " << fullPrecision(d.meanValue) << "\n";
    out << "se " << fullPrecision(d.estimatedSE) << "\n";
    return batchExit::success;
}

} // namespace orvanta
