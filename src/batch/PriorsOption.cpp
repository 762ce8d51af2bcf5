#include "batch/PriorsOption.h"

#include "algorithm/AlgorithmData.h"
#include "batch/BatchEngine.h"
#include "batch/CommandLine.h"
#include "priors/PriorEvaluation.h"
#include "priors/PriorProblem.h"
#include "priors/PriorReview.h"
#include "priors/PriorsFile.h"
#include "text/NumberText.h"

#include <cmath>
#include <ostream>

namespace orvanta {

namespace {

constexpr const char* priorsName = "--priors";
constexpr const char* constantName = "--constant";

// Why the file's priors cannot be taken, completing "the priors file 'F' ".
std::string readingProblem(const PriorsFileReading& reading, int paramCount)
{
    if (reading.problem == PriorsFileProblem::CountMismatch)
        return "has " + numberText(reading.fileCount) + " parameters, but the model has " +
               numberText(paramCount);
    return tooFewLinesText(reading);
}

} // namespace

const std::set<std::string>& priorsValueOptions()
{
    static const std::set<std::string> names{priorsName, constantName};
    return names;
}

std::optional<double> positiveNumberOption(const std::string& text, const std::string& what,
                                           const std::string& commandName, std::ostream& err)
{
    const Converted<double> value = textToDouble(text);
    if (!value || !std::isfinite(value.value()) || value.value() <= 0.0) {
        err << commandName << ": " << what << " must be a number above 0, not '" << text << "'\n";
        return std::nullopt;
    }
    return value.value();
}

std::optional<PriorsOption> readPriorsOption(const CommandLine& line, ConstantUse use,
                                             const std::string& commandName, std::ostream& err)
{
    PriorsOption option;
    option.file = line.value(priorsName);
    option.review = line.flag(reviewFlag);
    if (!option.file && option.review) {
        err << commandName << ": --review needs --priors FILE\n";
        return std::nullopt;
    }
    const std::optional<std::string> constant = line.value(constantName);
    if (use == ConstantUse::OwnUse) {
        if (constant)
            option.constant = positiveNumberOption(*constant, constantName, commandName, err);
        return option;
    }
    if (option.file && !constant) {
        err << commandName
            << ": --priors needs the constant that makes the objective the -ln[likelihood] (--constant C, "
               "e.g. 0.5 for -2 ln L): the prior penalty is scaled by 1/C\n";
        return std::nullopt;
    }
    if (!option.file && constant) {
        err << commandName << ": --constant C is used with --priors FILE only\n";
        return std::nullopt;
    }
    if (constant) {
        option.constant = positiveNumberOption(*constant, constantName, commandName, err);
        if (!option.constant)
            return std::nullopt;
    }
    return option;
}

std::optional<std::vector<PriorSpec>> readPriorsForModel(const std::string& path, int paramCount,
                                                         const std::string& commandName, std::ostream& err)
{
    const std::optional<std::string> bytes = readPriorsFileBytes(path);
    if (!bytes) {
        err << commandName << ": the priors file '" << path << "' cannot be read\n";
        return std::nullopt;
    }
    PriorsFileReading reading = readPriorsText(*bytes, paramCount);
    if (reading.failed()) {
        err << commandName << ": the priors file '" << path << "' " << readingProblem(reading, paramCount)
            << "\n";
        return std::nullopt;
    }
    if (const std::string problem = priorsProblem(reading.priors, paramCount); !problem.empty()) {
        err << commandName << ": the priors file '" << path << "' is refused: " << problem << "\n";
        return std::nullopt;
    }
    return std::move(reading.priors);
}

bool applyPriorsOption(BatchEngine& engine, const PriorsOption& option, const std::string& commandName,
                       std::ostream& err)
{
    if (!option.file)
        return true;
    Application& app = engine.app;
    const int paramCount = app.algorithm.paramCount;
    const std::string& path = *option.file;
    std::optional<std::vector<PriorSpec>> priors = readPriorsForModel(path, paramCount, commandName, err);
    if (!priors)
        return false;
    app.priors = std::move(*priors);
    app.session.priorsFileName = path;
    app.session.priorsActive = anyPriorSet(app.priors, paramCount);
    if (option.constant)
        setCovScale(app.session, 1.0 / *option.constant);
    return true;
}

void printPriorsResults(Application& app, const PriorsOption& option, const std::vector<double>& vector,
                        std::ostream& out)
{
    if (!option.file)
        return;
    // As every objective is evaluated: fused parameters at their leader's value.
    std::vector<double> point = vector;
    applyFuseGroups(app.algorithm, point);
    PriorResults results;
    evaluatePriors(app.priors, point, app.session.covScale, results);
    out << "prior_penalty " << fullPrecision(results.priorPenalty) << "\n";
    if (option.review)
        out << priorReviewText(app, point);
}

} // namespace orvanta
