#include "BatchRun.h"
#include "batch/BatchEngine.h"
#include "batch/CommandLine.h"

#include "algorithm/AlgorithmData.h"
#include "algorithm/AlgorithmFile.h"
#include "minimize/MarquardtDerivatives.h"
#include "minimize/ObjectiveEvaluation.h"
#include "model/TarnfieldModel.h"
#include "support/TempDir.h"
#include "text/TextFile.h"
#include "uncertainty/MatrixRoutines.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace orvanta {
namespace {

using testing::BatchRun;
using testing::printedValues;
using testing::readFileBytes;
using testing::runBatchWith;
using testing::TempDir;

const char* const methods[] = {"simplex", "marquardt"};

// L-infinity 100 +- 5, k 0.3 +- 0.05, 3 % measurement SE, z 0.5, F 0.2 from size 70, a size-
// frequency gear keeping Phi((size - 40) / 10).
const char* const trueParams = "100,5,0.3,0.05,0,0,0,0,3,0.5,0,70,250,0.2,40,10,0,-999,-999,-999";
// The same population with one k for every animal: its size-frequency prediction is quick to
// compute, so a frequency fit takes a fraction of a second.
const char* const sameKParams = "100,5,0.3,0,0,0,0,0,3,0.5,0,70,250,0.2,40,10,0,-999,-999,-999";

// Parameter number -> value or step, for the parameters that differ from the defaults.
using ParameterMap = std::map<int, double>;

std::vector<double> parameterValues(const std::string& commaSeparated)
{
    std::vector<double> values{0.0};
    for (const std::string& text : splitAtCommas(commaSeparated))
        values.push_back(std::stod(text));
    return values;
}

// The data files a fit reads.
struct DataFiles {
    std::string frequencies;
    std::string increments;

    std::vector<std::string> options() const
    {
        std::vector<std::string> args;
        if (!frequencies.empty())
            args.insert(args.end(), {"--freq", frequencies});
        if (!increments.empty())
            args.insert(args.end(), {"--inc", increments});
        return args;
    }
};

class FitCommand : public ::testing::Test {
protected:
    FitCommand()
    {
        simulate({"--params", trueParams, "--inc", tagFile, "--inc-count", "150", "--seed", "7"});
    }

    static void simulate(std::vector<std::string> options)
    {
        options.insert(options.begin(), "simulate");
        const BatchRun run = runBatchWith(options);
        ASSERT_EQ(run.status, 0) << run.err;
    }

    // An algorithm file at the given values but for changes, free where steps says so.
    static void writeAlgorithm(const std::string& path, const std::string& values,
                               const ParameterMap& changes, const ParameterMap& steps,
                               std::int32_t maxCalls = 5000, double tolerance = 1E-4)
    {
        AlgorithmData data;
        data.paramCount = modelParamCount;
        resetAlgorithmData(data);
        data.paramValues = parameterValues(values);
        for (const auto& [parameter, value] : changes)
            data.paramValues[static_cast<size_t>(parameter)] = value;
        for (const auto& [parameter, step] : steps)
            data.paramSteps[static_cast<size_t>(parameter)] = step;
        data.options.convergenceTolerance = tolerance;
        data.options.maxCalls = maxCalls;
        ASSERT_TRUE(writeAlgorithmFile(path, data));
    }

    void writeAlgorithm(const ParameterMap& changes, const ParameterMap& steps, std::int32_t maxCalls = 5000)
    {
        writeAlgorithm(startFile, trueParams, changes, steps, maxCalls);
    }

    // Linf and k free, started away from the truth.
    void writeDisplacedStart(std::int32_t maxCalls = 5000)
    {
        writeAlgorithm({{1, 85.0}, {3, 0.4}}, {{1, 5.0}, {3, 0.03}}, maxCalls);
    }

    BatchRun fit(const std::string& method, const DataFiles& data, const std::vector<std::string>& extra = {})
    {
        std::vector<std::string> args{"fit", "--method", method};
        const std::vector<std::string> dataOptions = data.options();
        args.insert(args.end(), dataOptions.begin(), dataOptions.end());
        args.insert(args.end(), {"--alg", startFile, "--out", resultFile});
        args.insert(args.end(), extra.begin(), extra.end());
        return runBatchWith(args);
    }

    BatchRun fit(const std::string& method) { return fit(method, tags()); }

    DataFiles tags() const { return {"", tagFile}; }

    double objectiveOf(const std::string& algorithmFile, const DataFiles& data)
    {
        std::vector<std::string> args{"evaluate"};
        const std::vector<std::string> dataOptions = data.options();
        args.insert(args.end(), dataOptions.begin(), dataOptions.end());
        args.insert(args.end(), {"--alg", algorithmFile});
        const BatchRun run = runBatchWith(args);
        EXPECT_EQ(run.status, 0) << run.err;
        return std::stod(printedValues(run.out).at("objective"));
    }

    double objectiveOf(const std::string& algorithmFile) { return objectiveOf(algorithmFile, tags()); }

    static AlgorithmData readBack(const std::string& path)
    {
        AlgorithmData data;
        data.paramCount = modelParamCount;
        resetAlgorithmData(data);
        const AlgorithmFileReading reading = readAlgorithmText(readFileBytes(path), data);
        EXPECT_FALSE(reading.failed());
        return data;
    }

    TempDir dir;
    std::string tagFile = dir.file("tags.dat");
    std::string startFile = dir.file("start.alg");
    std::string resultFile = dir.file("result.alg");
};

// ---- Recovering known values ----------------------------------------------------------------

// The asymptotic standard errors of the free parameters at the values of an algorithm file. The
// objective is -2 ln L, so the inverse of half its Hessian H estimates their covariance:
// SE(i) = sqrt(2 (H^-1)(i, i)), H taken numerically as Marquardt takes it.
std::map<int, double> standardErrors(const DataFiles& files, const std::string& algorithmFile)
{
    BatchEngine engine;
    std::ostringstream problems;
    InitializationRequest request;
    request.frequencyFile = files.frequencies;
    request.incrementFile = files.increments;
    EXPECT_TRUE(initializeFromData(engine, request, "test", problems) &&
                loadAlgorithmFile(engine, algorithmFile, "test", problems))
        << problems.str();
    Application& app = engine.app;
    buildFreeIndex(app.algorithm);
    std::vector<double> centre = app.algorithm.paramValues;
    const double objective = evaluateObjective(app, centre, callCode::firstEvaluation);

    MatrixWork hessian;
    hessian.setOrder(app.algorithm.freeCount);
    DerivativeWork work;
    EXPECT_TRUE(numericalDerivatives(app, objective, hessian.workMatrix, work).computed());
    EXPECT_FALSE(invertWorkMatrix(hessian).failed());
    std::map<int, double> errors;
    for (int i = 1; i <= app.algorithm.freeCount; ++i)
        errors[app.algorithm.freeIndex[static_cast<size_t>(i)]] = std::sqrt(2.0 * hessian.workMatrix(i, i));
    return errors;
}

// Simulated data of one kind, the values they were simulated at, and a start away from them.
struct RecoveryCase {
    const char* what;
    const char* truth;
    std::vector<std::string> simulateOptions; // besides --params and the file
    bool frequencies;                         // a size-frequency sample, else tag-recapture records
    ParameterMap start;
    ParameterMap steps;
};

std::vector<RecoveryCase> recoveryCases()
{
    return {
        // 300 tags released uniformly over 20..90, which is the increment likelihood's own
        // assumption about release sizes; L-infinity and k free.
        {"tags",
         trueParams,
         {"--inc-count", "300", "--release-sizes", "uniform", "--release-size-min", "20",
          "--release-size-max", "90", "--seed", "11"},
         false,
         {{1, 85.0}, {3, 0.4}},
         {{1, 5.0}, {3, 0.03}}},
        // 1000 animals in 1-unit cells; with z and F known, L-infinity and k free.
        {"size frequencies",
         sameKParams,
         {"--freq-count", "1000", "--seed", "11"},
         true,
         {{1, 90.0}, {3, 0.4}},
         {{1, 5.0}, {3, 0.03}}},
    };
}

// A correct fit lands within a few standard errors of the truth: beyond 4 of them a normal
// estimate strays with probability 6E-5. The standard errors are checked to be small against the
// values themselves, so that the bound says something. Both minimizers must find the same
// minimum, to a small fraction of a standard error. The seeds are fixed, so each case gives the
// same data every time.
TEST_F(FitCommand, BothMinimizersRecoverTheSimulatedValuesFromADisplacedStart)
{
    constexpr double allowedErrors = 4.0;
    constexpr double allowedDisagreement = 0.1; // standard errors
    for (const RecoveryCase& c : recoveryCases()) {
        const DataFiles data =
            c.frequencies ? DataFiles{dir.file("sample.dat"), ""} : DataFiles{"", dir.file("300.dat")};
        std::vector<std::string> simulation{"--params", c.truth, c.frequencies ? "--freq" : "--inc",
                                            c.frequencies ? data.frequencies : data.increments};
        simulation.insert(simulation.end(), c.simulateOptions.begin(), c.simulateOptions.end());
        simulate(simulation);
        writeAlgorithm(startFile, c.truth, c.start, c.steps);
        const std::vector<double> truth = parameterValues(c.truth);

        std::map<int, double> firstEstimates;
        for (const char* method : methods) {
            SCOPED_TRACE(std::string(c.what) + ", " + method);
            const BatchRun run = fit(method, data);
            ASSERT_EQ(run.status, 0) << run.err;
            const auto printed = printedValues(run.out);
            EXPECT_EQ(printed.at("end"), "verified_minimum");
            EXPECT_LT(std::stod(printed.at("objective")), objectiveOf(startFile, data));
            for (const auto& [parameter, se] : standardErrors(data, resultFile)) {
                const double estimate = std::stod(printed.at("p" + std::to_string(parameter)));
                const double value = truth[static_cast<size_t>(parameter)];
                EXPECT_LT(se, 0.1 * value) << "p" << parameter;
                EXPECT_LT(std::fabs(estimate - value), allowedErrors * se)
                    << "p" << parameter << " estimate " << estimate << " SE " << se;
                if (firstEstimates.count(parameter))
                    EXPECT_LT(std::fabs(estimate - firstEstimates[parameter]), allowedDisagreement * se);
                firstEstimates.emplace(parameter, estimate);
            }
        }
    }
}

TEST_F(FitCommand, WritesTheEstimatesAsAReadableAlgorithmFile)
{
    writeDisplacedStart();
    for (const char* method : methods) {
        SCOPED_TRACE(method);
        const BatchRun run = fit(method);
        ASSERT_EQ(run.status, 0) << run.err;
        const auto printed = printedValues(run.out);
        const AlgorithmData result = readBack(resultFile);
        EXPECT_NEAR(result.paramValues[1], std::stod(printed.at("p1")), 1E-6 * 100.0);
        EXPECT_NEAR(result.paramValues[3], std::stod(printed.at("p3")), 1E-6 * 0.3);
        EXPECT_EQ(printed.count("p2"), 0u); // fixed parameters are no estimates
        EXPECT_DOUBLE_EQ(result.paramSteps[1], 5.0);
        EXPECT_NEAR(objectiveOf(resultFile), std::stod(printed.at("objective")), 1E-6);
    }
}

// ---- Runs that end without a verified minimum ------------------------------------------------

TEST_F(FitCommand, StopsAtTheCallLimitWithTheLastAcceptedPoint)
{
    struct Case {
        const char* method;
        std::int32_t maxCalls; // function calls for the Simplex, accepted iterations for Marquardt
        const char* message;
        bool question; // answered by the batch: its text is shown with --verbose only
    };
    const Case cases[] = {
        {"simplex", 10, "Maximum number of function calls reached", true},
        {"marquardt", 1, "Maximum number of iterations reached", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.method);
        writeDisplacedStart(c.maxCalls);
        if (c.question) {
            const BatchRun quiet = fit(c.method);
            EXPECT_EQ(quiet.err.find(c.message), std::string::npos) << quiet.err;
        }
        const BatchRun run = fit(c.method, tags(), {"--verbose"});
        EXPECT_EQ(run.status, 1) << run.err;
        const auto printed = printedValues(run.out);
        EXPECT_EQ(printed.at("end"), "call_limit");
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        const double reached = objectiveOf(resultFile);
        EXPECT_LT(reached, objectiveOf(startFile));
        // Away from the minimum the eight significant digits of the file's values show.
        EXPECT_NEAR(std::stod(printed.at("objective")), reached, 1E-6 * reached);
    }
}

TEST_F(FitCommand, MarquardtStopsAtAParameterWithoutEffectOnTheObjective)
{
    // The size-frequency selectivity means nothing to tagging data: its row of the Hessian is 0.
    writeAlgorithm({{1, 85.0}}, {{1, 5.0}, {15, 4.0}});
    const BatchRun run = fit("marquardt");
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(printedValues(run.out).at("end"), "decomposition_failed");
    EXPECT_NE(run.err.find("Matrix decompositon failure at parameter #15"), std::string::npos) << run.err;
    EXPECT_EQ(readBack(resultFile).paramValues[1], 85.0); // no step was accepted
}

TEST_F(FitCommand, RefusesANonFiniteStart)
{
    // Size-at-age selectivity with a zero SD cannot be evaluated.
    writeAlgorithm({{18, 0.5}, {19, 30.0}, {20, 0.0}}, {{1, 5.0}});
    for (const char* method : methods) {
        SCOPED_TRACE(method);
        const BatchRun run = fit(method);
        EXPECT_EQ(run.status, 3) << run.err;
        EXPECT_EQ(printedValues(run.out).at("end"), "non_finite_start");
        EXPECT_FALSE(std::filesystem::exists(resultFile));
    }
}

// ---- Options ------------------------------------------------------------------------------

TEST_F(FitCommand, MarquardtTakesNumericalDerivativesWithoutListingThem)
{
    writeDisplacedStart();
    const BatchRun run = fit("marquardt");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("You have chosen NUMERICAL derivatives"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("Minimum found using Marquardt!"), std::string::npos) << run.err;
    EXPECT_EQ(printedValues(run.out).count("restarts"), 0u); // a Simplex counter
}

TEST_F(FitCommand, RefusesToOverwriteTheInputUnlessAskedTo)
{
    writeDisplacedStart();
    const std::string before = readFileBytes(startFile);
    const BatchRun refused = runBatchWith(
        {"fit", "--method", "simplex", "--inc", tagFile, "--alg", startFile, "--out", startFile});
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("--overwrite-input"), std::string::npos) << refused.err;
    EXPECT_EQ(readFileBytes(startFile), before);

    const BatchRun allowed = runBatchWith({"fit", "--method", "simplex", "--inc", tagFile, "--alg", startFile,
                                           "--out", startFile, "--overwrite-input"});
    EXPECT_EQ(allowed.status, 0) << allowed.err;
    EXPECT_NE(readFileBytes(startFile), before);
}

TEST_F(FitCommand, TurnsBadInputAwayWithStatusTwo)
{
    writeDisplacedStart();
    EXPECT_EQ(runBatchWith({"fit", "--method", "simplex", "--inc", tagFile, "--alg", startFile}).status, 2);
    const BatchRun unknownMethod = fit("newton");
    EXPECT_EQ(unknownMethod.status, 2);
    EXPECT_NE(unknownMethod.err.find("--method must be simplex or marquardt"), std::string::npos);
    EXPECT_EQ(fit("marquardt", tags(), {"--errors", "cauchy"}).status, 2);
    EXPECT_EQ(fit("simplex", tags(), {"--log-frequency", "5"}).status, 2);
    EXPECT_EQ(fit("simplex", DataFiles{"", dir.file("missing.dat")}).status, 2);

    writeAlgorithm({}, {});
    for (const char* method : methods) {
        const BatchRun nothingFree = fit(method);
        EXPECT_EQ(nothingFree.status, 2) << method;
        EXPECT_NE(nothingFree.err.find("step sizes are zero"), std::string::npos) << nothingFree.err;
        EXPECT_FALSE(std::filesystem::exists(resultFile));
    }
}

TEST_F(FitCommand, WritesProgressToTheLogAndTheWindowTextsWhenVerbose)
{
    struct Case {
        const char* method;
        const char* windowText; // part of the final window text
        const char* logRecord;  // part of a progress record
    };
    const Case cases[] = {
        {"simplex", "Initial Simplex: Starting function value> ", "Current: Min> "},
        {"marquardt", "Minimum of ", "Current Min> "},
    };
    writeDisplacedStart();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.method);
        const std::string logFile = dir.file(std::string(c.method) + ".log");
        const BatchRun quiet = fit(c.method);
        const BatchRun verbose =
            fit(c.method, tags(), {"--log", logFile, "--log-frequency", "2", "--verbose"});
        ASSERT_EQ(verbose.status, 0) << verbose.err;
        EXPECT_EQ(quiet.out.find(c.windowText), std::string::npos);
        EXPECT_NE(verbose.out.find(c.windowText), std::string::npos);
        EXPECT_NE(verbose.out.find(quiet.out), std::string::npos); // the summary follows the texts
        EXPECT_NE(readFileBytes(logFile).find(c.logRecord), std::string::npos);
    }
}

// ---- What the run shows -------------------------------------------------------------------

// The line of out that starts with "name ".
std::string printedLine(const std::string& out, const std::string& name)
{
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);)
        if (line.rfind(name + " ", 0) == 0)
            return line;
    return {};
}

std::size_t occurrences(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

TEST_F(FitCommand, PrintsBesideEachEstimateTheValueTheModelUsesAndItsDescription)
{
    // An SD started negative and a day of maximum a year on: the model takes |SD| and the day
    // within the year.
    writeAlgorithm({{2, -5.0}, {5, 0.03}, {6, 565.0}}, {{1, 5.0}, {2, 1.0}, {6, 10.0}});
    const BatchRun run = fit("simplex");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(printedValues(run.out).at("penalty"), "0");
    EXPECT_EQ(run.err.find("penalty"), std::string::npos) << run.err;

    const auto printed = printedValues(run.out);
    const auto estimate = [&printed](int parameter) {
        return std::stod(printed.at("p" + std::to_string(parameter)));
    };
    const struct {
        int parameter;
        double modelValue;
        const char* description;
    } cases[] = {
        {1, estimate(1), "mean of L-infinity (at max of annual cycle)"},
        {2, std::fabs(estimate(2)), "SD of L-infinity"},
        {6, std::fmod(std::fabs(estimate(6)), 365.0), "day of maximum in annual cycle of k"},
    };
    for (const auto& c : cases) {
        const std::string line = printedLine(run.out, "p" + std::to_string(c.parameter));
        EXPECT_NE(line.find("  # model value " + fullPrecision(c.modelValue) + ": " + c.description),
                  std::string::npos)
            << line;
    }
    // The file holds the estimates as the minimizer left them.
    const AlgorithmData held = readBack(resultFile);
    EXPECT_NEAR(held.paramValues[6], estimate(6), 1e-6 * estimate(6));
    EXPECT_GT(held.paramValues[6], 365.0);
}

TEST_F(FitCommand, WarnsWhenThePenaltyHoldsTheEstimates)
{
    // No spread of L-infinity and an L-infinity below the largest sizes of the sample: the model
    // adds a penalty that no other parameter can remove.
    const std::string frequencyFile = dir.file("lengths.dat");
    simulate({"--params", sameKParams, "--freq", frequencyFile, "--seed", "3"});
    writeAlgorithm(startFile, sameKParams, {{1, 70.0}, {2, 0.0}}, {{14, 0.05}});
    const BatchRun run = fit("simplex", DataFiles{frequencyFile, ""});
    ASSERT_EQ(run.status, 0) << run.err;
    const double penalty = std::stod(printedValues(run.out).at("penalty"));
    EXPECT_GT(penalty, 0.0);
    EXPECT_NE(run.err.find("warning: the penalty at the estimates is " + fullPrecision(penalty) + ", not 0"),
              std::string::npos)
        << run.err;
}

TEST_F(FitCommand, CountsTheIgnoredIncrementRecordsOnce)
{
    // Records with d <= 0 and no measurement error: the model ignores them on every call. Three
    // more are made so, besides those the measurement error of the simulation gave.
    std::istringstream lines(readFileBytes(tagFile));
    std::string text;
    int changed = 0;
    int ignored = 0;
    for (std::string line; std::getline(lines, line);) {
        if (changed < 3) {
            line.replace(14, 6, changed == 0 ? "     0" : "  -1.5");
            ++changed;
        }
        ignored += std::stod(line.substr(14, 6)) <= 0.0 ? 1 : 0;
        text += line + "\n";
    }
    ASSERT_TRUE(saveTextFile(tagFile, text));
    writeAlgorithm({{1, 90.0}, {9, 0.0}}, {{1, 5.0}, {3, 0.03}});

    const BatchRun run = fit("simplex");
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string warning =
        std::to_string(ignored) +
        " of 150 increment records are ignored: d <= 0 with no measurement error (p9 = 0)";
    EXPECT_EQ(run.err.rfind(warning + "\n", 0), 0u) << run.err; // shown first, when first seen
    EXPECT_EQ(occurrences(run.err, warning), 2u) << run.err;    // and once more with its total
    const std::size_t total = run.err.find(warning + " (in ");
    ASSERT_NE(total, std::string::npos) << run.err;
    EXPECT_GT(std::stoi(run.err.substr(total + warning.size() + 5)),
              std::stoi(printedValues(run.out).at("calls")));
    EXPECT_EQ(run.err.find("Warning regarding data input"), std::string::npos);
}

// ---- Several starts ----------------------------------------------------------------------

TEST_F(FitCommand, SeveralStartsListTheirMinimaAndWriteTheBest)
{
    // A size-frequency sample: the model's whole-unit size classes make the objective step-wise
    // near its minimum, so that starts end "verified" at minima apart by more than the
    // tolerance (the smallest an algorithm file keeps).
    const std::string frequencyFile = dir.file("lengths.dat");
    simulate({"--params", sameKParams, "--freq", frequencyFile, "--freq-count", "400", "--seed", "3"});
    writeAlgorithm(startFile, sameKParams, {}, {{1, 5.0}, {3, 0.03}, {14, 0.05}}, 5000, 1E-7);
    const DataFiles data{frequencyFile, ""};
    const BatchRun run = fit("simplex", data, {"--starts", "5", "--seed", "2"});
    ASSERT_EQ(run.status, 0) << run.err;

    const auto printed = printedValues(run.out);
    std::map<double, int> verifiedMinima; // objective -> start
    for (int start = 1; start <= 5; ++start) {
        const std::string line = printedLine(run.out, "start_" + std::to_string(start));
        ASSERT_FALSE(line.empty()) << run.out;
        EXPECT_NE(line.find(" p14="), std::string::npos) << line;
        if (line.find(" verified_minimum ") != std::string::npos)
            verifiedMinima.emplace(std::stod(printed.at("start_" + std::to_string(start))), start);
    }
    ASSERT_GE(verifiedMinima.size(), 2u) << run.out;
    const auto [bestObjective, bestStart] = *verifiedMinima.begin();
    EXPECT_EQ(printed.at("best_start"), std::to_string(bestStart));
    EXPECT_EQ(printed.at("objective"), fullPrecision(bestObjective));
    EXPECT_NE(run.err.find("warning: the verified minima differ by"), std::string::npos) << run.err;

    // The file holds the best start's estimates (to its eight significant digits).
    const AlgorithmData written = readBack(resultFile);
    EXPECT_NEAR(written.paramValues[1], std::stod(printed.at("p1")), 1E-7 * written.paramValues[1]);
    EXPECT_NEAR(objectiveOf(resultFile, data), bestObjective, 1E-6);

    // The same seed draws the same starts.
    const BatchRun again = fit("simplex", data, {"--starts", "5", "--seed", "2"});
    EXPECT_EQ(again.out, run.out);
    const BatchRun otherSeed = fit("simplex", data, {"--starts", "5", "--seed", "3"});
    EXPECT_EQ(printedLine(otherSeed.out, "start_1"), printedLine(run.out, "start_1")); // the file's values
    EXPECT_NE(printedLine(otherSeed.out, "start_2"), printedLine(run.out, "start_2"));
}

TEST_F(FitCommand, RefusesBadStartOptions)
{
    writeDisplacedStart();
    const struct {
        std::vector<std::string> extra;
        const char* message;
    } cases[] = {
        {{"--starts", "0"}, "--starts must be a whole number from 1 to 1000"},
        {{"--starts", "1001"}, "--starts must be a whole number from 1 to 1000"},
        {{"--starts", "2", "--seed", "-1"}, "--seed must be a whole number"},
        {{"--starts", "2", "--log", dir.file("run.log")}, "cannot be given with --starts"},
    };
    for (const auto& c : cases) {
        const BatchRun run = fit("simplex", tags(), c.extra);
        EXPECT_EQ(run.status, 2) << c.message;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(resultFile));
    }
}

} // namespace
} // namespace orvanta
