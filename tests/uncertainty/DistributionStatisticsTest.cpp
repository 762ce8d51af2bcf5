// The statistics of a distribution record on curves whose answers are known, and the
// distribution report's layout.

#include "uncertainty/DistributionProfile.h"
#include "uncertainty/DistributionReport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

namespace orvanta {
namespace {

// A record of n points from first in steps of h, with -ln[L] given by f, its mode found as the
// tools find it (the first smallest value).
DistributionProfile curve(int n, double first, double h, const std::function<double(double)>& f)
{
    DistributionProfile d;
    d.reset(n);
    d.pointStep = h;
    double best = 1e100;
    for (int i = 1; i <= n; ++i) {
        const double x = first + (i - 1) * h;
        d.pointValues[static_cast<std::size_t>(i)] = x;
        d.negLogL[static_cast<std::size_t>(i)] = f(x);
        if (f(x) < best) {
            best = f(x);
            d.modeIndex = i;
            d.modeValue = x;
        }
    }
    return d;
}

bool allZero(const std::vector<double>& v)
{
    for (double x : v)
        if (x != 0.0)
            return false;
    return true;
}

TEST(DistributionStatistics, AQuadraticNegLogLGivesTheNormalMeanAndSE)
{
    // -ln[L] of a normal density with mean 1 and SD 0.5, over 8 SDs either side, h = SD / 10:
    // Simpson's error is below 1e-9 here and the tails beyond 8 SDs hold 1e-15.
    const double mean = 1.0;
    const double sd = 0.5;
    DistributionProfile d =
        curve(161, -3.0, 0.05, [&](double x) { return 7.0 + (x - mean) * (x - mean) / (2.0 * sd * sd); });
    computeDistributionStatistics(d);

    EXPECT_EQ(d.modeIndex, 81);
    EXPECT_EQ(d.negLogL[81], 0.0);
    EXPECT_NEAR(d.negLogL[91], 0.5, 1e-12) << "relative to the mode: one SD away";
    EXPECT_NEAR(d.meanValue, mean, 1e-9);
    EXPECT_NEAR(d.estimatedSE, sd, 1e-9);
    EXPECT_NEAR(d.modeMinusMean, 0.0, 1e-9);
    for (int i : {1, 41, 81, 121, 161}) {
        const double x = d.pointValues[static_cast<std::size_t>(i)];
        const double density =
            std::exp(-(x - mean) * (x - mean) / (2 * sd * sd)) / (std::sqrt(2 * M_PI) * sd);
        EXPECT_NEAR(d.pdf[static_cast<std::size_t>(i)], density, 1e-9) << i;
        EXPECT_NEAR(d.normalPdf[static_cast<std::size_t>(i)], density, 1e-9) << i;
    }
    EXPECT_NEAR(d.cumulative[81], 0.5, 1e-3) << "a rectangle at point 1, Simpson after";
    EXPECT_NEAR(d.cumulative[161], 1.0, 1e-9);
    // Confidence about the mode: one SD to either side holds 68.27%, two SDs 95.45%.
    EXPECT_NEAR(d.ciOnMode[71], 0.6827, 2e-3);
    EXPECT_NEAR(d.ciOnMode[101], 0.9545, 2e-3);
    EXPECT_EQ(d.ciOnMode[81], 0.0);
    EXPECT_EQ(d.ciOnMean, d.ciOnMode) << "the mean's nearest point is the mode";
}

TEST(DistributionStatistics, AFlatCurveIsUniformWithItsModeAtTheFirstPoint)
{
    const int n = 11;
    const double h = 0.5;
    DistributionProfile d = curve(n, 2.0, h, [](double) { return 3.0; });
    computeDistributionStatistics(d);

    EXPECT_EQ(d.modeIndex, 1);
    EXPECT_EQ(d.modeValue, 2.0);
    for (int i = 1; i <= n; ++i) {
        EXPECT_EQ(d.negLogL[static_cast<std::size_t>(i)], 0.0);
        EXPECT_DOUBLE_EQ(d.pdf[static_cast<std::size_t>(i)], 1.0 / ((n - 1) * h));
    }
    EXPECT_DOUBLE_EQ(d.meanValue, 4.5) << "the centre point";
    EXPECT_TRUE(allZero(d.ciOnMode)) << "the mode is the first point";
    EXPECT_GT(d.ciOnMean[1], 0.0) << "about the centre";
    EXPECT_EQ(d.ciOnMean[6], 0.0);
}

TEST(DistributionStatistics, ModeAndMeanAtTheFirstPointLeaveBothConfidenceArraysAtZero)
{
    DistributionProfile d = curve(5, 0.0, 1.0, [](double x) { return 10.0 * x; });
    computeDistributionStatistics(d);
    EXPECT_EQ(d.modeIndex, 1);
    EXPECT_LT(d.meanValue, 0.5);
    EXPECT_TRUE(allZero(d.ciOnMode));
    EXPECT_TRUE(allZero(d.ciOnMean));
}

TEST(DistributionStatistics, TheCumulativeIsCappedAtOneOnEveryComputedPoint)
{
    // All the mass at point 3: the Simpson panel centred on point 3 gives point 4 twice the mass.
    DistributionProfile d = curve(5, 0.0, 1.0, [](double x) { return x == 2.0 ? 0.0 : 1000.0; });
    computeDistributionStatistics(d);
    EXPECT_EQ(d.cumulative[0], 0.0);
    EXPECT_EQ(d.cumulative[2], 0.0);
    EXPECT_DOUBLE_EQ(d.cumulative[3], 0.5);
    EXPECT_EQ(d.cumulative[4], 1.0) << "0 + 4 x 3/2 x 1/3 = 2, capped";
    EXPECT_EQ(d.cumulative[5], 1.0);

    // A density whose first point alone exceeds 1 / h is capped at point 1 as well.
    DistributionProfile spike = curve(3, 0.0, 1.0, [](double x) { return x == 0.0 ? 0.0 : 1000.0; });
    computeDistributionStatistics(spike);
    EXPECT_EQ(spike.cumulative[1], 1.0) << "pdf(1) x h = 3";
}

TEST(DistributionStatistics, AnEvenPointCountLeavesTheLastPointOutOfTheSums)
{
    // After an interrupt: 4 points. The last takes no part, whatever its value.
    for (const double last : {0.5, 40.0}) {
        DistributionProfile d =
            curve(4, 0.0, 1.0, [last](double x) { return x == 3.0 ? last : std::fabs(x - 1.0); });
        computeDistributionStatistics(d);
        EXPECT_DOUBLE_EQ(d.meanValue, 1.0) << "the symmetric first three points";
        EXPECT_EQ(d.cumulative[4], 0.0);
        EXPECT_GT(d.cumulative[3], 0.0);
        EXPECT_GT(d.pdf[4], 0.0) << "normalized like the others";
    }
}

TEST(DistributionStatistics, ANegativeVarianceFromRoundingGivesSEZeroAndNoNormalDensity)
{
    // All the mass at one point far from 0: M2 / A - mean^2 rounds to -0.25 here.
    const double centre = 44342974.728824005;
    const double h = 0.001;
    DistributionProfile d;
    d.reset(3);
    d.pointStep = h;
    d.pointValues = {0, centre - h, centre, centre + h};
    d.negLogL = {0, 800.0, 0.0, 800.0};
    d.modeIndex = 2;
    d.modeValue = centre;
    computeDistributionStatistics(d);
    EXPECT_EQ(d.meanValue, centre);
    EXPECT_EQ(d.estimatedSE, 0.0);
    EXPECT_TRUE(allZero(d.normalPdf));
}

TEST(DistributionStatistics, ARecordWithoutItsModeIsLeftAlone)
{
    DistributionProfile d = curve(3, 0.0, 1.0, [](double x) { return x; });
    d.modeIndex = 4;
    const std::vector<double> before = d.negLogL;
    computeDistributionStatistics(d);
    EXPECT_EQ(d.negLogL, before);
    DistributionProfile empty;
    computeDistributionStatistics(empty);
    EXPECT_EQ(empty.pointCount, 0);
}

TEST(DistributionReport, LayoutCharacterForCharacter)
{
    // x = -1, 0, 1 with -ln[L] = 1, 0, 1 (h = 1). By hand: A = (2/e + 4) / 3 = 1.5785863,
    // pdf = 0.2330436, 0.6334782, 0.2330436; mean 0; SE = sqrt(2/e / 3 / A) = 0.3941604;
    // cumulative = 0.2330436, 0.8665218, 1 (capped); about the mode: 0.7310586, 0, 1;
    // the normal density at -1, 0, 1: 0.0405093, 1.0121319, 0.0405093.
    DistributionProfile d = curve(3, -1.0, 1.0, [](double x) { return x * x; });
    computeDistributionStatistics(d);
    const std::string expected =
        "Maximum-likelihood confidence distribution data\n"
        "\n"
        "  Point       Value         -ln[L]           PDF        CI on mode     CI on mean"
        "     Normal PDF\n"
        "    1    -1.0000E+000    1.0000E+000    2.3304E-001    7.3106E-001    7.3106E-001"
        "    4.0509E-002   \n"
        "    2     0.0000E+000    0.0000E+000    6.3348E-001    0.0000E+000    0.0000E+000"
        "    1.0121E+000   \n"
        "    3     1.0000E+000    1.0000E+000    2.3304E-001    1.0000E+000    1.0000E+000"
        "    4.0509E-002   \n"
        "\n"
        "Max Likelihood:  0.0000E+000   \n"
        "Expected Value:  0.0000E+000   \n"
        "Estimated Diff:  0.0000E+000   \n"
        "Percent Diff:         undefined\n"
        "Estimated SE:    3.9416E-001   \n";
    EXPECT_EQ(writeDistributionReport(d, maximumLikelihoodHeading), expected);
}

TEST(DistributionReport, PercentDiffAndTheCumulativeColumns)
{
    // Mode 3, mean 2.5: the difference is 20% of the mean.
    DistributionProfile d = curve(3, 2.0, 1.0, [](double) { return 0.0; });
    d.modeIndex = 2;
    d.modeValue = 3.0;
    computeDistributionStatistics(d);
    ASSERT_DOUBLE_EQ(d.meanValue, 3.0);
    d.meanValue = 2.5;
    d.modeMinusMean = 0.5;
    const std::string report = writeDistributionReport(d, posteriorHeading, DistributionColumns::Cumulative);
    EXPECT_TRUE(
        report.starts_with("Bayesian posterior distribution data\n\n  Point       Value         -ln[L]"
                           "           PDF        Cumulative     Attenuated     Normal PDF\n"));
    EXPECT_NE(report.find("\nPercent Diff:    2.0000E+001   \n"), std::string::npos) << report;
    // Point 3: cumulative 1 and its complement 0.
    EXPECT_NE(
        report.find("    3     4.0000E+000    0.0000E+000    5.0000E-001    1.0000E+000    0.0000E+000"),
        std::string::npos)
        << report;
}

} // namespace
} // namespace orvanta
