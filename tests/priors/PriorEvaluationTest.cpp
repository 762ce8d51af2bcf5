#include "priors/PriorEvaluation.h"

#include "PriorTestSupport.h"
#include "priors/NormalCdf.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

namespace orvanta {
namespace {

using testing::prior;
using testing::termAt;

constexpr double ln2 = std::numbers::ln2;

struct TermCase {
    const char* what;
    PriorSpec distribution;
    double x;
    double expected;
    double relativeTolerance; // 0: exact
};

void expectTerms(const std::vector<TermCase>& cases)
{
    for (const TermCase& c : cases) {
        const double term = termAt(c.distribution, c.x);
        if (c.relativeTolerance == 0.0)
            EXPECT_EQ(term, c.expected) << c.what;
        else
            EXPECT_NEAR(term, c.expected, c.relativeTolerance * std::max(1.0, std::fabs(c.expected)))
                << c.what;
    }
}

TEST(PriorTermAt, EdgeCasesOfEachType)
{
    expectTerms({
        {"uniform-unbounded", PriorSpec{}, 123.0, 0.0, 0},
        {"Gaussian at its mean", prior("N", 3, 2), 3.0, 0.0, 0},
        {"Gaussian one SD above its mean", prior("N", 3, 2), 5.0, 0.5, 0},
        {"exponential, mean 4, at 2", prior("E", 4, 4), 2.0, 0.5, 0},
        {"exponential at 0 (x <= 0 wall, 0 at 0)", prior("E", 4, 4), 0.0, 0.0, 0},
        {"exponential at -1", prior("E", 4, 4), -1.0, 1e20, 0},
        {"gamma at 0", prior("G", 4, 2), 0.0, 1e8, 1e-12},
        {"ln-normal at 0", prior("L", 2, 1), 0.0, 1e8, 1e-12},
        {"ln-normal below 0", prior("L", 2, 1), -3.0, 1e20 * 3.000001 * 3.000001, 1e-12},
        {"beta at 0", prior("B", 0.5, 0.1), 0.0, 1e8, 1e-12},
        {"beta at 1", prior("B", 0.5, 0.1), 1.0, 1e8, 1e-9},
        {"hard left cliff below its foot", prior("S", 5, 0), 4.0, 1e20, 0},
        {"hard left cliff at its foot", prior("S", 5, 0), 5.0, 0.0, 0},
        {"hard left cliff above its foot", prior("S", 5, 0), 6.0, 0.0, 0},
        {"soft left cliff at its foot", prior("S", 5, 1), 5.0, ln2, 1e-7},
        {"soft left cliff ten SDs below", prior("S", 5, 1), -5.0,
         -std::log(0.5 * std::erfc(10.0 / std::numbers::sqrt2)), 1e-7},
        // normalCdf(-40) rounds to 0: the wall in SD units takes over.
        {"soft left cliff forty SDs below", prior("S", 5, 1), -35.0, 1e20 * (40.0 * 40.0), 0},
        {"hard right cliff above its foot", prior("D", 5, 0), 6.0, 1e20, 0},
        {"hard right cliff at its foot", prior("D", 5, 0), 5.0, 0.0, 0},
        {"soft right cliff at its foot", prior("D", 5, 1), 5.0, ln2, 1e-7},
        {"soft right cliff far left of its foot", prior("D", 5, 1), -5.0, 0.0, 1e-12},
        // 1 - normalCdf(10) rounds to 0.
        {"soft right cliff far right of its foot", prior("D", 5, 1), 15.0, 1e20 * (10.0 * 10.0), 0},
        {"uniform-bounded inside", prior("T", 0, 0, 10.0, 0.0), 5.0, 0.0, 0},
        {"uniform-bounded left of it", prior("T", 0, 0, 10.0, 0.0), -1.0, 1e20, 0},
        {"uniform-bounded right of it", prior("T", 0, 0, 10.0, 0.0), 11.0, 1e20, 0},
        {"uniform-bounded with its feet read from a file", prior("T", 0, 0, " 1.000E+001", " 0.000E+000"),
         11.0, 1e20, 0},
        // Halfway between soft feet 2.5 SDs away: each foot adds -ln P(Z <= 2.5).
        {"uniform-bounded between soft feet", prior("T", 0, 2, 10.0, 2.0), 5.0,
         -2.0 * std::log(0.5 * std::erfc(-2.5 / std::numbers::sqrt2)), 1e-7},
    });
}

TEST(PriorTermAt, BeyondAHardRightFootTheUniformBoundedIsTheRightWallAlone)
{
    // A wide soft left foot adds about 0.62 everywhere near the right foot, except beyond it.
    const PriorSpec distribution = prior("T", 0, 100, 10.0, 0.0);
    const double beyond = 10.0 + std::ldexp(1.0, -30); // exactly 2^-30 past the foot
    EXPECT_EQ(termAt(distribution, beyond), 1e20 * std::ldexp(1.0, -60));
    EXPECT_NEAR(termAt(distribution, 10.0), -std::log(normalCdf(0.1)), 1e-12);
}

TEST(PriorTermAt, NegativeTermsFromAHandEditedFileCountAsTheirMagnitudes)
{
    struct Case {
        const char* what;
        PriorSpec asRead;
        PriorSpec asStored;
        double x;
    };
    const Case cases[] = {
        {"Gaussian SD", prior("N", 3, -2), prior("N", 3, 2), 5.0},
        {"exponential mean", prior("E", -4, -4), prior("E", 4, 4), 2.0},
        {"gamma mean and SD", prior("G", -4, -2), prior("G", 4, 2), 2.0},
        {"ln-normal mean", prior("L", -2, 1), prior("L", 2, 1), 1.0},
        {"beta SD", prior("B", 0.3, -0.1), prior("B", 0.3, 0.1), 0.2},
        {"left cliff SD", prior("S", 5, -1), prior("S", 5, 1), 4.0},
        {"right foot SD", prior("T", 0, 0, 10.0, -1.0), prior("T", 0, 0, 10.0, 1.0), 10.5},
    };
    for (const Case& c : cases) {
        const double stored = termAt(c.asStored, c.x);
        EXPECT_TRUE(std::isfinite(stored)) << c.what;
        EXPECT_EQ(termAt(c.asRead, c.x), stored) << c.what;
    }
    // The Gaussian mean and the feet keep their sign.
    EXPECT_EQ(termAt(prior("N", -3, 2), -3.0), 0.0);
    EXPECT_EQ(termAt(prior("S", -5, 0), -4.0), 0.0);
}

// The gamma, ln-normal and beta terms are -ln of the density over the density at its mode,
// checked against the densities written out independently.
TEST(PriorTermAt, ShapedPriorsAreMinusLogDensityRatiosToTheirModes)
{
    // Gamma, mean 4, SD 2: shape a = 4, scale b = 1, mode (a - 1) b = 3.
    const auto gammaRatio = [](double x) { return -3.0 * std::log(x / 3.0) + (x - 3.0); };
    // Ln-normal, mean 2, SD 1: ln x has variance ln 1.25 and mean ln 2 - ln 1.25 / 2.
    const double variance = std::log(1.25);
    const double mu = std::log(2.0) - variance / 2.0;
    const double lnMode = mu - variance;
    const auto lnNormalRatio = [&](double x) {
        const double lx = std::log(x);
        return (lx - lnMode) + ((lx - mu) * (lx - mu) - (lnMode - mu) * (lnMode - mu)) / (2.0 * variance);
    };
    // Beta, mean 0.3, SD 0.1: a = 0.3 * 0.2 / 0.01 = 6, b = 0.7 * 0.2 / 0.01 = 14, mode 5/18.
    const double betaMode = 5.0 / 18.0;
    const auto betaRatio = [&](double x) {
        return -5.0 * std::log(x / betaMode) - 13.0 * std::log((1.0 - x) / (1.0 - betaMode));
    };

    struct Case {
        const char* what;
        PriorSpec distribution;
        double mode;
        std::function<double(double)> ratio;
        std::vector<double> xs;
    };
    const Case cases[] = {
        {"gamma", prior("G", 4, 2), 3.0, gammaRatio, {1e-6, 0.5, 2.0, 7.0, 40.0}},
        {"ln-normal", prior("L", 2, 1), std::exp(lnMode), lnNormalRatio, {1e-6, 0.5, 2.0, 7.0}},
        {"beta", prior("B", 0.3, 0.1), betaMode, betaRatio, {1e-6, 0.1, 0.5, 0.999999}},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(termAt(c.distribution, c.mode), 0.0, 1e-12) << c.what << " at its mode";
        EXPECT_GT(termAt(c.distribution, c.mode * 1.01), 0.0) << c.what;
        EXPECT_GT(termAt(c.distribution, c.mode * 0.99), 0.0) << c.what;
        for (const double x : c.xs)
            EXPECT_NEAR(termAt(c.distribution, x), c.ratio(x), 1e-9 * std::max(1.0, std::fabs(c.ratio(x))))
                << c.what << " at " << x;
    }
    // Hand calculation for the gamma: 3 ln 1.5 - 1 at x = 2.
    EXPECT_NEAR(termAt(prior("G", 4, 2), 2.0), 3.0 * std::log(1.5) - 1.0, 1e-14);
    // Symmetric beta, mean 0.5, SD 0.1: a = b = 12 and the mode is 0.5.
    EXPECT_NEAR(termAt(prior("B", 0.5, 0.1), 0.5), 0.0, 1e-12);
}

TEST(BetaMode, IsKeptInsideTheSupportAndDefinedWhereTheQuotientIsNot)
{
    struct Case {
        double a;
        double b;
        double mode;
    };
    const Case cases[] = {
        {12.0, 12.0, 0.5},       // mean 0.5, SD 0.1
        {6.0, 14.0, 5.0 / 18.0}, // mean 0.3, SD 0.1
        {1.0, 1.0, 0.5},         // flat: every point is a mode
        {0.5, 1.5, 0.999999},    // a + b = 2 and the density rises towards 1
        {1.5, 0.5, 0.000001},    // ... and towards 0
        {1.0, 3.0, 0.000001},    // the quotient is 0
        {3.0, 1.0, 0.999999},    // the quotient is 1
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(betaMode(c.a, c.b), c.mode) << c.a << ", " << c.b;
}

class EvaluatePriors : public ::testing::Test {
protected:
    std::vector<PriorSpec> priors = {PriorSpec{}, prior("N", 3, 2), PriorSpec{}, prior("E", 4, 4),
                                     prior("S", 5, 0)};
    std::vector<double> x = {0.0, 5.0, 99.0, 2.0, 4.0};
    PriorResults results;
};

TEST_F(EvaluatePriors, AllUniformUnboundedGivesNoPenalty)
{
    priors.assign(5, PriorSpec{});
    evaluatePriors(priors, x, 1.5, results);
    EXPECT_EQ(results.priorTerm, (std::vector<double>{0, 0, 0, 0, 0}));
    EXPECT_EQ(results.priorPenalty, 0.0);
}

TEST_F(EvaluatePriors, ThePenaltyIsCovScaleTimesTheSumOfEveryTermWallsIncluded)
{
    for (const double covScale : {0.0, 1.0, 0.25}) {
        evaluatePriors(priors, x, covScale, results);
        ASSERT_EQ(results.priorTerm.size(), 5u);
        EXPECT_EQ(results.priorTerm[1], 0.5);
        EXPECT_EQ(results.priorTerm[2], 0.0);
        EXPECT_EQ(results.priorTerm[3], 0.5);
        EXPECT_EQ(results.priorTerm[4], 1e20); // the hard cliff one below its foot
        EXPECT_EQ(results.priorPenalty, covScale * (((0.5 + 0.0) + 0.5) + 1e20)) << covScale;
    }
}

TEST_F(EvaluatePriors, EveryEvaluationOverwritesTheLastOne)
{
    evaluatePriors(priors, x, 1.0, results);
    x = {0.0, 3.0, 0.0, 0.0, 6.0};
    evaluatePriors(priors, x, 1.0, results);
    EXPECT_EQ(results.priorTerm, (std::vector<double>{0, 0, 0, 0, 0}));
    EXPECT_EQ(results.priorPenalty, 0.0);
}

TEST_F(EvaluatePriors, AnUnknownCodeContributesNothing)
{
    priors[2].typeCode = "X";
    evaluatePriors(priors, x, 1.0, results);
    EXPECT_EQ(results.priorTerm[2], 0.0);
    EXPECT_EQ(results.priorTerm[1], 0.5);
}

TEST_F(EvaluatePriors, APriorWithoutAFiniteValueMakesThePenaltyNaNAndLeavesTheOthersComputed)
{
    priors[2] = prior("N", 3, 0);
    evaluatePriors(priors, x, 1.0, results);
    EXPECT_TRUE(std::isnan(results.priorTerm[2]));
    EXPECT_TRUE(std::isnan(results.priorPenalty));
    EXPECT_EQ(results.priorTerm[1], 0.5);
    EXPECT_EQ(results.priorTerm[3], 0.5);
}

TEST_F(EvaluatePriors, ParametersBeyondTheVectorCountAsUniform)
{
    x.resize(3);
    evaluatePriors(priors, x, 1.0, results);
    EXPECT_EQ(results.priorTerm, (std::vector<double>{0, 0.5, 0, 0, 0}));
    EXPECT_EQ(results.priorPenalty, 0.5);
}

} // namespace
} // namespace orvanta
