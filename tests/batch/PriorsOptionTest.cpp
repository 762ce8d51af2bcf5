#include "BatchRun.h"

#include "algorithm/AlgorithmData.h"
#include "algorithm/AlgorithmFile.h"
#include "model/TarnfieldModel.h"
#include "priors/PriorsFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace orvanta {
namespace {

using testing::BatchRun;
using testing::printedValues;
using testing::runBatchWith;

const char* const trueParams = "100,5,0.3,0.05,0,0,0,0,3,0.5,0,70,250,0.2,40,10,0,-999,-999,-999";

// 150 simulated tag returns and an algorithm file with L-infinity (85) and k free.
class PriorsOption : public ::testing::Test {
protected:
    PriorsOption()
    {
        const BatchRun simulated = runBatchWith(
            {"simulate", "--params", trueParams, "--inc", tagFile, "--inc-count", "150", "--seed", "7"});
        EXPECT_EQ(simulated.status, 0) << simulated.err;
        AlgorithmData data;
        data.paramCount = modelParamCount;
        resetAlgorithmData(data);
        std::vector<double> values{0.0};
        for (const char* text = trueParams; *text;) {
            char* end = nullptr;
            values.push_back(std::strtod(text, &end));
            text = *end == ',' ? end + 1 : end;
        }
        data.paramValues = values;
        data.paramValues[1] = 85.0;
        data.paramSteps[1] = 5.0;
        data.paramSteps[3] = 0.03;
        data.options.convergenceTolerance = 1E-4;
        EXPECT_TRUE(writeAlgorithmFile(startFile, data));
    }

    // A priors file for the model's twenty parameters with one prior on parameter 1.
    std::string priorsFile(const PriorSpec& first, int paramCount = modelParamCount)
    {
        std::vector<PriorSpec> priors(static_cast<std::size_t>(paramCount) + 1, PriorSpec{});
        priors[1] = first;
        const std::string path = dir.file("p" + std::to_string(++files) + ".pri");
        testing::writeFileBytes(path, priorsFileText(priors, paramCount));
        return path;
    }

    BatchRun evaluate(const std::string& algorithmFile, std::vector<std::string> extra = {})
    {
        std::vector<std::string> args{"evaluate", "--inc", tagFile, "--alg", algorithmFile};
        args.insert(args.end(), extra.begin(), extra.end());
        return runBatchWith(args);
    }

    BatchRun fit(std::vector<std::string> extra = {})
    {
        std::vector<std::string> args{"fit",   "--method", "simplex", "--inc",   tagFile,
                                      "--alg", startFile,  "--out",   resultFile};
        args.insert(args.end(), extra.begin(), extra.end());
        return runBatchWith(args);
    }

    static double value(const BatchRun& run, const std::string& name)
    {
        return std::stod(printedValues(run.out).at(name));
    }

    testing::TempDir dir;
    std::string tagFile = dir.file("tags.dat");
    std::string startFile = dir.file("start.alg");
    std::string resultFile = dir.file("result.alg");
    int files = 0;
};

PriorSpec gaussian(double mean, double sd)
{
    PriorSpec prior;
    prior.typeCode = "N";
    prior.firstTermMean = mean;
    prior.firstTermSD = sd;
    return prior;
}

TEST_F(PriorsOption, EvaluateAddsThePenaltyToTheObjectiveAndPrintsIt)
{
    const BatchRun plain = evaluate(startFile);
    ASSERT_EQ(plain.status, 0) << plain.err;
    EXPECT_EQ(plain.out.find("prior_penalty"), std::string::npos);

    // 0.5 ((85 - 100) / 2)^2 = 28.125, times covScale 1 / 0.5.
    const BatchRun run = evaluate(startFile, {"--priors", priorsFile(gaussian(100, 2)), "--constant", "0.5"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(printedValues(run.out).at("prior_penalty"), "56.25");
    EXPECT_DOUBLE_EQ(value(run, "objective"), value(plain, "objective") + 56.25);
    EXPECT_EQ(run.out.find("Note: Here is a chance"), std::string::npos) << "the review only with --review";
}

TEST_F(PriorsOption, ReviewIsPrintedOnRequest)
{
    const BatchRun run =
        evaluate(startFile, {"--priors", priorsFile(gaussian(100, 2)), "--constant", "2", "--review"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("\nNote: Here is a chance to review the likelihood"), std::string::npos);
    EXPECT_NE(
        run.out.find("Parameter   1 at  8.500E+01 has a prior -ln[L] of    14.06 and a prior likelihood of "
                     "0.000001\n"),
        std::string::npos)
        << run.out;
}

TEST_F(PriorsOption, UniformPriorsAreNotInForce)
{
    const BatchRun plain = evaluate(startFile);
    const BatchRun run = evaluate(startFile, {"--priors", priorsFile(PriorSpec{}), "--constant", "0.5"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(printedValues(run.out).at("prior_penalty"), "0");
    EXPECT_EQ(printedValues(run.out).at("objective"), printedValues(plain.out).at("objective"));
}

TEST_F(PriorsOption, BadPriorsOptionsAreRefused)
{
    const std::string good = priorsFile(gaussian(100, 2));
    std::vector<PriorSpec> shortFile = {PriorSpec{}, gaussian(1, 1)};
    const std::string truncated = dir.file("short.pri");
    testing::writeFileBytes(truncated, "20\r\n" + priorsFileText(shortFile, 1).substr(2));
    struct Case {
        std::vector<std::string> options;
        std::string message;
    };
    const Case cases[] = {
        {{"--priors", good}, "--priors needs the constant that makes the objective the -ln[likelihood]"},
        {{"--constant", "0.5"}, "--constant C is used with --priors FILE only"},
        {{"--review"}, "--review needs --priors FILE"},
        {{"--priors", good, "--constant", "0"}, "--constant must be a number above 0, not '0'"},
        {{"--priors", dir.file("none.pri"), "--constant", "0.5"}, "none.pri' cannot be opened: there is no such file"},
        {{"--priors", priorsFile(gaussian(100, 2), 11), "--constant", "0.5"},
         "has 11 parameters, but the model has 20"},
        {{"--priors", truncated, "--constant", "0.5"},
         "ends before line 3, but its first line announces 20 parameters, one line each"},
        {{"--priors", priorsFile(gaussian(100, 0)), "--constant", "0.5"},
         "is refused: The Gaussian or Normal prior of parameter 1 cannot be used: its SD must not be 0."},
    };
    for (const Case& c : cases) {
        const BatchRun run = evaluate(startFile, c.options);
        EXPECT_EQ(run.status, 2) << c.message;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
    }
    const BatchRun fitRun = fit({"--priors", good});
    EXPECT_EQ(fitRun.status, 2);
    EXPECT_NE(fitRun.err.find("--priors needs the constant"), std::string::npos);
}

// The tags alone put L-infinity near 100; a prior of mean 90 and SD 1 at covScale 1/0.5 = 2 adds
// (x - 90)^2 to the objective, which pulls the estimate towards 90. The printed objective is the
// objective at the estimates with their penalty.
TEST_F(PriorsOption, FitWithATightPriorMovesTheEstimateTowardsItsMean)
{
    const BatchRun free = fit();
    ASSERT_EQ(free.status, 0) << free.err;
    const double unpulled = value(free, "p1");

    const std::string priors = priorsFile(gaussian(90, 1));
    const BatchRun pulled = fit({"--priors", priors, "--constant", "0.5", "--review"});
    ASSERT_EQ(pulled.status, 0) << pulled.err;
    const double estimate = value(pulled, "p1");
    EXPECT_LT(std::fabs(estimate - 90), std::fabs(unpulled - 90) - 1);
    EXPECT_GT(estimate, 90);
    const double penalty = value(pulled, "prior_penalty");
    EXPECT_NEAR(penalty, (estimate - 90) * (estimate - 90), 1e-9 * penalty);

    const BatchRun atEstimates = evaluate(resultFile, {"--priors", priors, "--constant", "0.5"});
    ASSERT_EQ(atEstimates.status, 0) << atEstimates.err;
    // The file keeps eight significant digits of the estimates.
    EXPECT_NEAR(value(pulled, "objective"), value(atEstimates, "objective"),
                1e-9 * value(pulled, "objective"));
    EXPECT_NE(pulled.out.find("Parameter   1 at "), std::string::npos) << "the review with --review";
}

TEST_F(PriorsOption, CovarianceCentreCarriesThePenalty)
{
    const std::string priors = priorsFile(gaussian(100, 2));
    const BatchRun run = runBatchWith({"covariance", "--inc", tagFile, "--alg", startFile, "--constant",
                                       "0.5", "--priors", priors, "--optimistic"});
    ASSERT_LE(run.status, 1) << run.err;
    EXPECT_EQ(printedValues(run.out).at("prior_penalty"), "56.25");
    const BatchRun centre = evaluate(startFile, {"--priors", priors, "--constant", "0.5"});
    EXPECT_EQ(printedValues(run.out).at("centre_objective"), printedValues(centre.out).at("objective"));

    const BatchRun review = runBatchWith({"covariance", "--inc", tagFile, "--alg", startFile, "--constant",
                                          "0.5", "--priors", priors, "--review"});
    EXPECT_EQ(review.status, 2) << "covariance prints no review";
}

} // namespace
} // namespace orvanta
