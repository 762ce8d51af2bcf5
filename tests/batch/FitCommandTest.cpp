#include "BatchRun.h"
#include "batch/CommandLine.h"

#include "algorithm/AlgorithmData.h"
#include "algorithm/AlgorithmFile.h"
#include "model/TarnfieldModel.h"
#include "support/TempDir.h"
#include "text/TextFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace orvanta {
namespace {

using testing::BatchRun;
using testing::printedValues;
using testing::readFileBytes;
using testing::runBatchWith;
using testing::TempDir;

// L-infinity 100 +- 5, k 0.3 +- 0.05, 3 % measurement SE, z 0.5, F 0.2 from size 70.
const char* const trueParams = "100,5,0.3,0.05,0,0,0,0,3,0.5,0,70,250,0.2,40,10,0,-999,-999,-999";
constexpr double trueLinf = 100.0;
constexpr double trueK = 0.3;

// Parameter number -> value or step, for the parameters that differ from the defaults.
using ParameterMap = std::map<int, double>;

class FitCommand : public ::testing::Test {
protected:
    FitCommand()
    {
        const BatchRun run = runBatchWith({"simulate", "--params", trueParams, "--inc", tagFile, "--inc-count",
                                           "150", "--seed", "7"});
        EXPECT_EQ(run.status, 0) << run.err;
    }

    // An algorithm file at the true values but for changes, free where steps says so.
    void writeAlgorithm(const std::string& path, const ParameterMap& changes, const ParameterMap& steps,
                        std::int32_t maxCalls = 5000)
    {
        AlgorithmData data;
        data.paramCount = modelParamCount;
        resetAlgorithmData(data);
        const std::vector<std::string> values = splitAtCommas(trueParams);
        for (int i = 1; i <= modelParamCount; ++i)
            data.paramValues[static_cast<size_t>(i)] = std::stod(values[static_cast<size_t>(i - 1)]);
        for (const auto& [parameter, value] : changes)
            data.paramValues[static_cast<size_t>(parameter)] = value;
        for (const auto& [parameter, step] : steps)
            data.paramSteps[static_cast<size_t>(parameter)] = step;
        data.options.convergenceTolerance = 1E-4;
        data.options.maxCalls = maxCalls;
        ASSERT_TRUE(writeAlgorithmFile(path, data));
    }

    // Linf and k free, started away from the truth.
    void writeDisplacedStart(std::int32_t maxCalls = 5000)
    {
        writeAlgorithm(startFile, {{1, 85.0}, {3, 0.4}}, {{1, 5.0}, {3, 0.03}}, maxCalls);
    }

    BatchRun fit(std::vector<std::string> extra = {})
    {
        std::vector<std::string> args{"fit", "--method", "simplex", "--inc", tagFile, "--alg", startFile,
                                      "--out", resultFile};
        args.insert(args.end(), extra.begin(), extra.end());
        return runBatchWith(args);
    }

    double objectiveOf(const std::string& algorithmFile)
    {
        const BatchRun run = runBatchWith({"evaluate", "--inc", tagFile, "--alg", algorithmFile});
        EXPECT_EQ(run.status, 0) << run.err;
        return std::stod(printedValues(run.out).at("objective"));
    }

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

TEST_F(FitCommand, FindsTheTrueGrowthFromADisplacedStart)
{
    writeDisplacedStart();
    const BatchRun run = fit();
    ASSERT_EQ(run.status, 0) << run.err;
    const auto printed = printedValues(run.out);
    EXPECT_EQ(printed.at("end"), "verified_minimum");
    const double linf = std::stod(printed.at("p1"));
    const double k = std::stod(printed.at("p3"));
    EXPECT_LT(std::fabs(linf - trueLinf), 0.05 * trueLinf);
    EXPECT_LT(std::fabs(k - trueK), 0.15 * trueK);
    EXPECT_EQ(printed.count("p2"), 0u); // fixed parameters are no estimates
    EXPECT_GT(std::stoi(printed.at("calls")), 0);
    EXPECT_LT(std::stod(printed.at("objective")), objectiveOf(startFile));
}

TEST_F(FitCommand, WritesTheEstimatesAsAReadableAlgorithmFile)
{
    writeDisplacedStart();
    const BatchRun run = fit();
    ASSERT_EQ(run.status, 0) << run.err;
    const auto printed = printedValues(run.out);
    const AlgorithmData result = readBack(resultFile);
    EXPECT_NEAR(result.paramValues[1], std::stod(printed.at("p1")), 1E-6 * trueLinf);
    EXPECT_NEAR(result.paramValues[3], std::stod(printed.at("p3")), 1E-6 * trueK);
    EXPECT_DOUBLE_EQ(result.paramSteps[1], 5.0);
    EXPECT_NEAR(objectiveOf(resultFile), std::stod(printed.at("objective")), 1E-6);
}

TEST_F(FitCommand, StopsAtTheCallLimitWithTheLastAcceptedPoint)
{
    writeDisplacedStart(10);
    const BatchRun run = fit();
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(printedValues(run.out).at("end"), "call_limit");
    EXPECT_NE(run.err.find("Maximum number of function calls reached"), std::string::npos) << run.err;
    EXPECT_LT(objectiveOf(resultFile), objectiveOf(startFile));
}

TEST_F(FitCommand, RefusesANonFiniteStart)
{
    // Size-at-age selectivity with a zero SD cannot be evaluated.
    writeAlgorithm(startFile, {{18, 0.5}, {19, 30.0}, {20, 0.0}}, {{1, 5.0}});
    const BatchRun run = fit();
    EXPECT_EQ(run.status, 3) << run.err;
    EXPECT_EQ(printedValues(run.out).at("end"), "non_finite_start");
    EXPECT_FALSE(std::filesystem::exists(resultFile));
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
    EXPECT_EQ(runBatchWith({"fit", "--method", "newton", "--inc", tagFile, "--alg", startFile, "--out",
                            resultFile}).status,
              2);
    EXPECT_EQ(fit({"--errors", "cauchy"}).status, 2);
    EXPECT_EQ(fit({"--log-frequency", "5"}).status, 2);
    EXPECT_EQ(runBatchWith({"fit", "--method", "simplex", "--inc", dir.file("missing.dat"), "--alg", startFile,
                            "--out", resultFile}).status,
              2);

    writeAlgorithm(startFile, {}, {});
    const BatchRun nothingFree = fit();
    EXPECT_EQ(nothingFree.status, 2);
    EXPECT_NE(nothingFree.err.find("step sizes are zero"), std::string::npos) << nothingFree.err;
    EXPECT_FALSE(std::filesystem::exists(resultFile));
}

TEST_F(FitCommand, SaysThatMarquardtIsNotAvailableYet)
{
    writeDisplacedStart();
    const BatchRun run = runBatchWith(
        {"fit", "--method", "marquardt", "--inc", tagFile, "--alg", startFile, "--out", resultFile});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("marquardt is not available yet"), std::string::npos) << run.err;
}

TEST_F(FitCommand, WritesProgressToTheLogAndTheWindowTextsWhenVerbose)
{
    writeDisplacedStart();
    const std::string logFile = dir.file("fit.log");
    const BatchRun quiet = fit();
    const BatchRun verbose = fit({"--log", logFile, "--log-frequency", "2", "--verbose"});
    ASSERT_EQ(verbose.status, 0) << verbose.err;
    EXPECT_GT(verbose.out.size(), quiet.out.size());
    EXPECT_NE(verbose.out.find(quiet.out), std::string::npos); // the summary follows the texts
    EXPECT_FALSE(readFileBytes(logFile).empty());
}

} // namespace
} // namespace orvanta
