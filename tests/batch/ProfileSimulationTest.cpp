// Likelihood profiles on simulated data, all through orvanta-batch: 300 tag-recapture increments
// simulated at known values, a Simplex fit of L-infinity, k and their SDs, the covariances, then
// the profile of each parameter over its estimate plus and minus 4 covariance SEs.
//   - L-infinity and k, whose likelihood is close to quadratic: the 95% likelihood-ratio interval
//     holds the true value, the mode is the fitted estimate (the centre point, where the Simplex
//     found the minimum), and the profile's SE is within a few percent of the covariance SE.
//   - The SD of k, estimated 0.061 with an SE of 0.019, lies 3 SEs from its bound at 0: the
//     profile does not reach 1.92 below the estimate and its SE is well above the covariance SE,
//     which assumes a quadratic likelihood.

#include "BatchRun.h"
#include "BundledExampleFiles.h"

#include "algorithm/AlgorithmData.h"
#include "algorithm/AlgorithmFile.h"
#include "model/ModelState.h"
#include "support/TempDir.h"
#include "text/NumberText.h"
#include "text/TextFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>

namespace orvanta {
namespace {

using testing::BatchRun;
using testing::printedValues;
using testing::readFileBytes;
using testing::runBatchWith;
using testing::TempDir;

const char* const trueParams = "120,8,0.35,0.06,0,0,0,0,3,0.5,0,70,250,0.3,45,8,0,-999,-999,-999";
const std::map<int, double> truth{{1, 120.0}, {2, 8.0}, {3, 0.35}, {4, 0.06}};

class ProfileSimulation : public ::testing::Test {
protected:
    void SetUp() override
    {
        const BatchRun simulated =
            runBatchWith({"simulate", "--params", trueParams, "--seed", "11", "--inc", tags, "--inc-count",
                          "300", "--release-size-min", "40", "--release-size-max", "110", "--liberty-min",
                          "60", "--liberty-max", "900"});
        ASSERT_EQ(simulated.status, 0) << simulated.err;
        writeStart();
        const BatchRun fit =
            runBatchWith({"fit", "--method", "simplex", "--inc", tags, "--alg", start, "--out", fitted});
        ASSERT_EQ(fit.status, 0) << fit.err;
        const BatchRun covariance = runBatchWith(
            {"covariance", "--inc", tags, "--alg", fitted, "--constant", "0.5", "--out", covFile});
        ASSERT_NE(covariance.status, 2) << covariance.err;
        ses = printedValues(covariance.out);
        ASSERT_EQ(ses.at("grid2"), "positive_definite");
    }

    // The bundled example's options; no annual cycle; L-infinity, k and their SDs free, away from
    // the truth.
    void writeStart()
    {
        testing::writeExampleAlgorithm(start, {{1, 5.0}, {2, 1.0}, {3, 0.03}, {4, 0.01}},
                                       {{1, 110.0}, {2, 6.0}, {3, 0.3}, {4, 0.05}, {5, 0.0}, {6, 0.0}});
    }

    struct Profile {
        std::map<std::string, std::string> printed;
        double estimate = 0.0;     // as the fitted algorithm file holds it
        double profileSE = 0.0;    // "Estimated SE:" of the report
        double covarianceSE = 0.0; // grid 2
    };

    Profile profile(int parameter)
    {
        const std::string report = dir.file("p" + std::to_string(parameter) + ".mlc");
        const BatchRun run =
            runBatchWith({"profile", "--inc", tags, "--alg", fitted, "--param", std::to_string(parameter),
                          "--constant", "0.5", "--steps-from", covFile, "--grid", "2", "--out", report});
        EXPECT_EQ(run.status, 0) << run.err;
        Profile result;
        result.printed = printedValues(run.out);
        AlgorithmData data;
        data.paramCount = modelParamCount;
        resetAlgorithmData(data);
        EXPECT_FALSE(readAlgorithmText(readFileBytes(fitted), data).failed());
        result.estimate = data.paramValues[static_cast<std::size_t>(parameter)];
        const std::string text = readFileBytes(report);
        const std::size_t se = text.find("Estimated SE:   ");
        EXPECT_NE(se, std::string::npos);
        result.profileSE = leadingNumber(std::string_view(text).substr(se + 16, 15));
        result.covarianceSE = std::stod(ses.at("se2_p" + std::to_string(parameter)));
        return result;
    }

    TempDir dir;
    std::string tags = dir.file("tags.dat");
    std::string start = dir.file("start.alg");
    std::string fitted = dir.file("fitted.alg");
    std::string covFile = dir.file("fitted.cov");
    std::map<std::string, std::string> ses;
};

TEST_F(ProfileSimulation, NearQuadraticParametersAgreeWithTheCovariancesAndCoverTheTruth)
{
    for (const int parameter : {1, 3}) {
        SCOPED_TRACE(parameter);
        const Profile p = profile(parameter);
        EXPECT_EQ(std::stod(p.printed.at("mode")), p.estimate) << "the centre point, where the fit ended";
        const double lower = std::stod(p.printed.at("lr95_lower"));
        const double upper = std::stod(p.printed.at("lr95_upper"));
        EXPECT_LT(lower, truth.at(parameter));
        EXPECT_GT(upper, truth.at(parameter));
        EXPECT_NEAR(p.profileSE / p.covarianceSE, 1.0, 0.05);
        // A quadratic -ln[L] puts the interval 1.96 SEs either side of the mode.
        EXPECT_NEAR((upper - lower) / (2 * 1.96 * p.covarianceSE), 1.0, 0.05);
    }
}

TEST_F(ProfileSimulation, AParameterNearItsBoundDepartsFromTheQuadraticApproximation)
{
    const Profile sdOfK = profile(4);
    EXPECT_EQ(sdOfK.printed.at("lr95_lower"), "open") << "-ln[L] never rises 1.92 towards 0";
    EXPECT_GT(std::stod(sdOfK.printed.at("lr95_upper")), truth.at(4));
    EXPECT_GT(sdOfK.profileSE / sdOfK.covarianceSE, 1.2);
}

} // namespace
} // namespace orvanta
