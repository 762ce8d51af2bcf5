#include "model/IncrementLikelihood.h"

#include "model/ModelParameters.h"
#include "model/ModelState.h"
#include "model/NumericalRoutines.h"
#include "model/SelectionIntegral.h"
#include "support/FakeModelHost.h"
#include "text/NumberText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <string>
#include <vector>

namespace orvanta {
namespace {

constexpr double pi = std::numbers::pi;
constexpr double cycleFrequency = 2.0 * pi / 365.0;

// ---------------------------------------------------------------------------------------------
// Reference formulas, written from the mathematics rather than from the implementation.

double exactPhi(double z)
{
    return 0.5 * std::erfc(-z / std::sqrt(2.0));
}

double normalNll(double x, double mean, double variance)
{
    return (x - mean) * (x - mean) / (2.0 * variance) + 0.5 * std::log(2.0 * pi * variance);
}

double normalDensity(double x, double mean, double variance)
{
    return std::exp(-normalNll(x, mean, variance));
}

double gammaLogDensity(double x, double shape, double scale)
{
    return (shape - 1.0) * std::log(x) - x / scale - shape * std::log(scale) - std::lgamma(shape);
}

// E[exp(-K t)] for K gamma-distributed with the given mean and variance: (1 + theta t)^(-shape).
double gammaLaplace(double mean, double variance, double t)
{
    const double shape = mean * mean / variance;
    const double theta = variance / mean;
    return std::pow(1.0 + theta * t, -shape);
}

double annualCycle(double amplitude, double dayOfMaximum, double start, double end)
{
    return amplitude * (std::sin(cycleFrequency * (end - dayOfMaximum)) -
                        std::sin(cycleFrequency * (start - dayOfMaximum)));
}

// Size after time t of an animal of size l1 growing by dL/dt = (k + b L)(Linf - L), the
// differential equation whose solution is the size-dependent growth curve; classical
// Runge-Kutta with many small steps.
double sizeAfter(double l1, double t, double Linf, double k, double b)
{
    const auto rate = [&](double L) { return (k + b * L) * (Linf - L); };
    const int steps = 20000;
    const double h = t / steps;
    double L = l1;
    for (int i = 0; i < steps; ++i) {
        const double r1 = rate(L);
        const double r2 = rate(L + h / 2.0 * r1);
        const double r3 = rate(L + h / 2.0 * r2);
        const double r4 = rate(L + h * r3);
        L += h / 6.0 * (r1 + 2.0 * r2 + 2.0 * r3 + r4);
    }
    return L;
}

template <typename F> double fineIntegral(F f, double from, double to, int panels = 200000)
{
    const double h = (to - from) / panels;
    double sum = f(from) + f(to);
    for (int i = 1; i < panels; ++i)
        sum += f(from + i * h) * (i % 2 == 1 ? 4.0 : 2.0);
    return sum * h / 3.0;
}

// ---------------------------------------------------------------------------------------------
// A model state with increment records and the parameters to evaluate them with.

struct Growth {
    double Linf = 100.0;
    double sdLinf = 0.0;
    double k = 0.3;
    double sdK = 0.0;
    double aK = 0.0;
    double dayK = 0.0;
    double aL = 0.0;
    double dayL = 0.0;
    double m = 0.0;
    double b = 0.0;
    double t0 = notUsed;
    double selMean = notUsed;
    double selSd = notUsed;
};

class Increments {
public:
    explicit Increments(const Growth& g, IncrementErrorType type = IncrementErrorType::Gaussian)
    {
        p.assign(modelParamCount + 1, 0.0);
        p[1] = g.Linf;
        p[2] = g.sdLinf;
        p[3] = g.k;
        p[4] = g.sdK;
        p[5] = g.aK;
        p[6] = g.dayK;
        p[7] = g.aL;
        p[8] = g.dayL;
        p[9] = g.m;
        p[17] = g.b;
        p[18] = g.t0;
        p[19] = g.selMean;
        p[20] = g.selSd;
        params.Linf = std::max(g.Linf, linfFloor);
        params.varLinf = std::max(g.sdLinf * g.sdLinf, varLinfFloor);
        params.k = std::max(g.k, kFloor);
        params.vark = std::max(g.sdK * g.sdK, varkFloor);
        params.measVar = g.m * g.m;
        params.b = g.b;
        state.incrementErrorType = type;
    }

    Increments& add(double l1, double d, double startDay, double endDay)
    {
        state.increments.records.push_back(IncrementRecord{1.0, l1, d, startDay, endDay});
        ++state.increments.recordCount;
        return *this;
    }

    double evaluate() { return incrementPart(state, params, p, host); }
    const RecordResult& operator[](int i) const { return state.recordResults.at(static_cast<size_t>(i)); }
    const std::string& summary() const { return host.summaryText; }

    ModelState state;
    ModelParameters params;
    std::vector<double> p;
    testing::FakeModelHost host;
};

// One record evaluated on its own.
RecordResult single(const Growth& g, double l1, double d, double start, double end,
                    IncrementErrorType type = IncrementErrorType::Gaussian)
{
    Increments increments(g, type);
    increments.add(l1, d, start, end).evaluate();
    return increments[1];
}

// ---------------------------------------------------------------------------------------------
// Time at large and the growth prediction

TEST(IncrementLikelihoodTest, TimeAtLargeIsInYearsFromDaysOrFromT0)
{
    struct Case {
        double t0;
        double start;
        double end;
        double years;
    };
    // Tagging data count days; size-at-age data count years, dt = end - (t0 + start).
    const std::vector<Case> cases{
        {notUsed, 30.0, 395.0, 1.0},  // days 30 to 395
        {notUsed, 100.0, 282.5, 0.5}, // half a year
        {0.5, 0.0, 3.0, 2.5},         // t0 = 0.5, start 0, end 3
        {0.0, 1.0, 4.25, 3.25},       // t0 = 0
        {-1.5, 2.0, 3.0, 2.5},        // a negative t0
    };
    for (const Case& c : cases) {
        Growth g;
        g.t0 = c.t0;
        EXPECT_DOUBLE_EQ(single(g, 40.0, 10.0, c.start, c.end).timeAtLarge, c.years) << "t0 " << c.t0;
    }
}

TEST(IncrementLikelihoodTest, FixedLinfAndKGiveTheVonBertalanffyIncrement)
{
    // p2 = p4 = 0, no cycles: the increment is (p1 - l1)(1 - exp(-p3 dt)); the variance is what
    // the floors leave: varLinf = 1e-6 times (1 - exp(-p3 dt))^2.
    struct Case {
        double Linf;
        double k;
        double l1;
        double start;
        double end;
    };
    const std::vector<Case> cases{
        {100.0, 0.3, 40.0, 0.0, 365.0},
        {100.0, 0.3, 99.0, 10.0, 100.0},
        {80.0, 1.2, 5.0, 200.0, 1295.0},
        {250.0, 0.05, 120.0, 0.0, 30.0},
    };
    for (const Case& c : cases) {
        Growth g;
        g.Linf = c.Linf;
        g.k = c.k;
        const RecordResult r = single(g, c.l1, 5.0, c.start, c.end);
        const double dt = (c.end - c.start) / 365.0;
        const double growthShare = 1.0 - std::exp(-c.k * dt);
        EXPECT_DOUBLE_EQ(r.meanIncrement, (c.Linf - c.l1) * growthShare) << "l1 " << c.l1;
        EXPECT_NEAR(r.incrementVariance, 1e-6 * growthShare * growthShare, 1e-11) << "l1 " << c.l1;
        EXPECT_EQ(r.expectedLinf, c.Linf);
        EXPECT_EQ(r.expectedLinfSquare, c.Linf * c.Linf + 1e-6);
    }
}

TEST(IncrementLikelihoodTest, AnnualCyclesShiftLinfAndScaleTheGrowthFactor)
{
    // With fixed L-infinity and k: muL = Linf - aL + cycleL and
    // mean = (muL - l1)(1 - exp(-cycleK) exp(-k dt)).
    struct Case {
        double aK;
        double dayK;
        double aL;
        double dayL;
        double start;
        double end;
    };
    const std::vector<Case> cases{
        {0.2, 30.0, 0.0, 0.0, 0.0, 100.0},
        {0.0, 0.0, 5.0, 200.0, 50.0, 250.0},
        {0.1, 150.0, 4.0, 20.0, 300.0, 800.0},
        {0.5, 0.0, 2.0, 0.0, 0.0, 365.0}, // a whole year: both cycles cancel
    };
    for (const Case& c : cases) {
        Growth g;
        g.aK = c.aK;
        g.dayK = c.dayK;
        g.aL = c.aL;
        g.dayL = c.dayL;
        const double l1 = 40.0;
        const RecordResult r = single(g, l1, 5.0, c.start, c.end);
        const double dt = (c.end - c.start) / 365.0;
        const double muL = g.Linf - c.aL + annualCycle(c.aL, c.dayL, c.start, c.end);
        const double cycleK = annualCycle(c.aK, c.dayK, c.start, c.end);
        EXPECT_NEAR(r.expectedLinf, muL, 1e-12 * muL) << "start " << c.start;
        const double expected = (muL - l1) * (1.0 - std::exp(-cycleK) * std::exp(-g.k * dt));
        EXPECT_NEAR(r.meanIncrement, expected, 1e-12 * expected) << "start " << c.start;
    }
}

TEST(IncrementLikelihoodTest, VariableKAndLinfGiveTheMomentsOfAProductOfIndependentFactors)
{
    // increment = (L - l1)(1 - exp(-K dt)), L ~ N(Linf, sdLinf^2) (truncation negligible),
    // K ~ gamma: mean = D (1 - E1), variance = E[(L - l1)^2] E[(1 - e)^2] - D^2 (1 - E1)^2.
    struct Case {
        double sdLinf;
        double k;
        double sdK;
        double days;
    };
    const std::vector<Case> cases{{10.0, 0.3, 0.1, 365.0}, {5.0, 0.5, 0.4, 700.0}, {12.0, 0.2, 0.02, 120.0}};
    for (const Case& c : cases) {
        Growth g;
        g.sdLinf = c.sdLinf;
        g.k = c.k;
        g.sdK = c.sdK;
        const double l1 = 30.0;
        const RecordResult r = single(g, l1, 5.0, 0.0, c.days);
        const double dt = c.days / 365.0;
        const double E1 = gammaLaplace(c.k, c.sdK * c.sdK, dt);
        const double E2 = gammaLaplace(c.k, c.sdK * c.sdK, 2.0 * dt);
        const double D = g.Linf - l1;
        const double mean = D * (1.0 - E1);
        const double variance = (D * D + c.sdLinf * c.sdLinf) * (1.0 - 2.0 * E1 + E2) - mean * mean;
        EXPECT_NEAR(r.meanIncrement, mean, 1e-12 * mean) << "sdK " << c.sdK;
        EXPECT_NEAR(r.incrementVariance, variance, 1e-9 * variance) << "sdK " << c.sdK;
    }
}

TEST(IncrementLikelihoodTest, LinfIsConditionedOnExceedingTheInitialSize)
{
    // L-infinity ~ N(100, 10^2) given L-infinity > l1, alpha = (l1 - 100) / 10:
    // E = mu + sd phi / (1 - Phi), E2 = mu^2 + sd^2 + sd (l1 + mu) phi / (1 - Phi).
    // The polynomial Phi (error 7.5e-8) enters through 1 - P.
    Growth g;
    g.sdLinf = 10.0;
    for (const double l1 : {60.0, 95.0, 100.0, 115.0, 130.0}) {
        const RecordResult r = single(g, l1, 5.0, 0.0, 365.0);
        const double alpha = (l1 - 100.0) / 10.0;
        const double tail = 1.0 - exactPhi(alpha);
        const double density = std::exp(-alpha * alpha / 2.0) / std::sqrt(2.0 * pi);
        const double first = 100.0 + 10.0 * density / tail;
        const double second = 100.0 * 100.0 + 100.0 + 10.0 * (l1 + 100.0) * density / tail;
        const double tolerance = 1e-7 + 7.5e-8 / tail;
        EXPECT_NEAR(r.expectedLinf, first, tolerance * first) << "l1 " << l1;
        EXPECT_NEAR(r.expectedLinfSquare, second, tolerance * second) << "l1 " << l1;
    }
}

TEST(IncrementLikelihoodTest, LinfFarBelowTheInitialSizeIsTakenJustAboveIt)
{
    // z = 4.95: P = 1 - 3.7e-7 is at least 0.999999.
    Growth g;
    g.sdLinf = 10.0;
    const double l1 = 149.5;
    const RecordResult r = single(g, l1, 5.0, 0.0, 365.0);
    EXPECT_EQ(r.expectedLinf, l1 + 1e-6);
    EXPECT_EQ(r.expectedLinfSquare, (l1 + 1e-6) * (l1 + 1e-6));
}

TEST(IncrementLikelihoodTest, LinfFarAboveTheInitialSizeIsNotTruncated)
{
    // z = -6 <= -5: the untruncated moments.
    Growth g;
    g.sdLinf = 10.0;
    g.aL = 3.0;
    g.dayL = 80.0;
    const RecordResult r = single(g, 40.0, 5.0, 10.0, 200.0);
    const double muL = 100.0 - 3.0 + annualCycle(3.0, 80.0, 10.0, 200.0);
    EXPECT_DOUBLE_EQ(r.expectedLinf, muL);
    EXPECT_DOUBLE_EQ(r.expectedLinfSquare, muL * muL + 100.0);
}

// ---------------------------------------------------------------------------------------------
// Gaussian errors

// A growth whose Gaussian prediction is visibly truncated at 0: dt = 1, k = 0.3 with SD 0.3.
Growth truncatedGaussianGrowth()
{
    Growth g;
    g.sdLinf = 10.0;
    g.k = 0.3;
    g.sdK = 0.3;
    return g;
}

struct GaussianPrediction {
    double mu;
    double V;
};

// The untruncated mean and variance for l1 = 40 (z = -6, so D = Linf - l1) after one year.
GaussianPrediction gaussianPrediction(const Growth& g, double l1)
{
    const double E1 = g.sdK > 0.0 ? gammaLaplace(g.k, g.sdK * g.sdK, 1.0) : std::exp(-g.k);
    const double E2 = g.sdK > 0.0 ? gammaLaplace(g.k, g.sdK * g.sdK, 2.0) : std::exp(-2.0 * g.k);
    const double D = g.Linf - l1;
    return {D * (1.0 - E1), (E2 - E1 * E1) * D * D + (1.0 - 2.0 * E1 + E2) * g.sdLinf * g.sdLinf};
}

TEST(IncrementLikelihoodTest, GaussianWithoutMeasurementErrorIsTheNormalTruncatedAtZero)
{
    const Growth g = truncatedGaussianGrowth();
    const GaussianPrediction pred = gaussianPrediction(g, 40.0);
    const double P0 = exactPhi(-pred.mu / std::sqrt(pred.V));
    ASSERT_GT(P0, 0.05); // the truncation matters here
    for (const double d : {0.5, 5.0, 14.0, 30.0}) {
        const double expected = normalNll(d, pred.mu, pred.V) + std::log(1.0 - P0);
        EXPECT_NEAR(single(g, 40.0, d, 0.0, 365.0).recordNll, expected, 1e-10 + 7.5e-8 / (1.0 - P0))
            << "d " << d;
    }
}

TEST(IncrementLikelihoodTest, GaussianWithMeasurementErrorAndNoTruncationIsTheNormalOfSummedVariances)
{
    Growth g;
    g.sdLinf = 10.0;
    g.m = 5.0;
    const GaussianPrediction pred = gaussianPrediction(g, 40.0); // zt = -6
    for (const double d : {-3.0, 10.0, 17.0, 40.0}) {
        const RecordResult r = single(g, 40.0, d, 0.0, 365.0);
        const double mv = std::pow(0.05 * (r.meanIncrement + 40.0), 2) + std::pow(0.05 * 40.0, 2);
        const double expected = normalNll(d, pred.mu, pred.V + mv);
        EXPECT_NEAR(r.recordNll, expected, 1e-12 * std::fabs(expected)) << "d " << d;
    }
}

TEST(IncrementLikelihoodTest, GaussianWithMeasurementErrorAndTruncationIsTheConvolvedTruncatedNormal)
{
    // d = X + e, X ~ N(mu, V) truncated at 0, e ~ N(0, mv): density
    // N(d; mu, V + mv) (1 - Phi(-m* / s*)) / (1 - P0), m* and s* the posterior mean and SD of X.
    // The measurement SD is about three panel widths of the 101-panel rule: error about 4e-6.
    Growth g = truncatedGaussianGrowth();
    g.m = 5.0;
    const GaussianPrediction pred = gaussianPrediction(g, 40.0);
    const double P0 = exactPhi(-pred.mu / std::sqrt(pred.V));
    for (const double d : {-2.0, 3.0, 14.0, 35.0}) {
        const RecordResult r = single(g, 40.0, d, 0.0, 365.0);
        const double mv = std::pow(0.05 * (r.meanIncrement + 40.0), 2) + std::pow(0.05 * 40.0, 2);
        const double total = pred.V + mv;
        const double posteriorMean = (pred.mu * mv + d * pred.V) / total;
        const double posteriorSd = std::sqrt(pred.V * mv / total);
        const double density =
            normalDensity(d, pred.mu, total) * (1.0 - exactPhi(-posteriorMean / posteriorSd)) / (1.0 - P0);
        EXPECT_NEAR(r.recordNll, -std::log(density), 1e-5) << "d " << d;
    }
}

// ---------------------------------------------------------------------------------------------
// Gamma errors

TEST(IncrementLikelihoodTest, GammaWithoutMeasurementErrorIsTheGammaLogDensity)
{
    const Growth g = truncatedGaussianGrowth();
    for (const double d : {0.25, 4.0, 14.0, 60.0}) {
        const RecordResult r = single(g, 40.0, d, 0.0, 365.0, IncrementErrorType::Gamma);
        const double shape = r.meanIncrement * r.meanIncrement / r.incrementVariance;
        const double scale = r.incrementVariance / r.meanIncrement;
        EXPECT_NEAR(r.recordNll, -gammaLogDensity(d, shape, scale), 1e-9) << "d " << d;
    }
}

TEST(IncrementLikelihoodTest, GammaWithMeasurementErrorIsTheGammaConvolvedWithNormalError)
{
    Growth g;
    g.sdLinf = 10.0;
    g.sdK = 0.1;
    g.m = 4.0;
    for (const double d : {-1.0, 8.0, 15.0, 30.0}) {
        const RecordResult r = single(g, 40.0, d, 0.0, 365.0, IncrementErrorType::Gamma);
        const double shape = r.meanIncrement * r.meanIncrement / r.incrementVariance;
        const double scale = r.incrementVariance / r.meanIncrement;
        const double mv = std::pow(0.04 * (r.meanIncrement + 40.0), 2) + std::pow(0.04 * 40.0, 2);
        const auto integrand = [&](double x) {
            return x <= 0.0 ? 0.0 : std::exp(gammaLogDensity(x, shape, scale)) * normalDensity(d, x, mv);
        };
        const double reference =
            -std::log(fineIntegral(integrand, 0.0, r.meanIncrement + 40.0 * std::sqrt(r.incrementVariance)));
        EXPECT_NEAR(r.recordNll, reference, 1e-5) << "d " << d;
    }
}

// ---------------------------------------------------------------------------------------------
// Records ignored, sums, yields

TEST(IncrementLikelihoodTest, NonPositiveIncrementWithoutMeasurementErrorIsIgnoredWithAWarning)
{
    for (const IncrementErrorType type : {IncrementErrorType::Gaussian, IncrementErrorType::Gamma}) {
        for (const double d : {0.0, -1.5}) {
            Increments increments(truncatedGaussianGrowth(), type);
            increments.add(40.0, 10.0, 0.0, 365.0).add(50.0, d, 0.0, 365.0).add(45.0, 6.0, 0.0, 200.0);
            const double total = increments.evaluate();
            EXPECT_EQ(increments.summary(), "Warning regarding data input: increment #2 <= 0 and measurement "
                                            "error is zero; record ignored\n");
            EXPECT_EQ(increments[2].recordNll, 0.0);
            EXPECT_EQ(total, increments[1].recordNll + increments[3].recordNll);
            EXPECT_GT(increments[2].meanIncrement, 0.0); // the prediction is still reported
        }
    }
}

TEST(IncrementLikelihoodTest, NonPositiveIncrementWithMeasurementErrorCounts)
{
    Growth g = truncatedGaussianGrowth();
    g.m = 5.0;
    for (const IncrementErrorType type : {IncrementErrorType::Gaussian, IncrementErrorType::Gamma}) {
        Increments increments(g, type);
        increments.add(40.0, -1.5, 0.0, 365.0);
        const double total = increments.evaluate();
        EXPECT_TRUE(increments.summary().empty());
        EXPECT_TRUE(std::isfinite(total));
        EXPECT_GT(total, 0.0);
    }
}

TEST(IncrementLikelihoodTest, PartIsTheSumOfTheRecordsAndYieldsOncePerRecord)
{
    Increments increments(truncatedGaussianGrowth());
    increments.state.recordResults.assign(12, RecordResult{}); // a larger earlier data set
    increments.add(40.0, 10.0, 0.0, 365.0).add(55.0, 8.0, 20.0, 300.0).add(70.0, 2.0, 0.0, 100.0);
    increments.add(30.0, 12.0, 100.0, 465.0).add(90.0, 1.0, 0.0, 730.0);
    const double total = increments.evaluate();
    EXPECT_EQ(increments.host.scriptedUi.yieldCount(), 5);
    ASSERT_EQ(increments.state.recordResults.size(), 6u);
    double sum = 0.0;
    for (int i = 1; i <= 5; ++i)
        sum += increments[i].recordNll;
    EXPECT_EQ(total, sum);
    EXPECT_TRUE(increments.state.arithmeticFailure.empty());
}

TEST(IncrementLikelihoodTest, NoRecordsGiveZero)
{
    Increments increments(truncatedGaussianGrowth());
    EXPECT_EQ(increments.evaluate(), 0.0);
    EXPECT_EQ(increments.host.scriptedUi.yieldCount(), 0);
    EXPECT_EQ(increments.state.recordResults.size(), 1u);
}

// ---------------------------------------------------------------------------------------------
// Size-dependent k (b > 0)

TEST(IncrementLikelihoodTest, SizeDependentGrowthWithFixedLinfAndKFollowsItsDifferentialEquation)
{
    // One grid point (both variances at their floors): the increment of dL/dt = (k + b L)(Linf - L).
    struct Case {
        double b;
        double l1;
        double days;
    };
    const std::vector<Case> cases{
        {0.002, 40.0, 365.0}, {0.01, 10.0, 730.0}, {0.05, 90.0, 100.0}, {1e-9, 40.0, 365.0}};
    for (const Case& c : cases) {
        Growth g;
        g.b = c.b;
        const RecordResult r = single(g, c.l1, 5.0, 0.0, c.days, IncrementErrorType::Gamma);
        const double expected = sizeAfter(c.l1, c.days / 365.0, g.Linf, g.k, c.b) - c.l1;
        EXPECT_NEAR(r.meanIncrement, expected, 1e-9 * expected) << "b " << c.b;
        EXPECT_EQ(r.incrementVariance, 0.0) << "b " << c.b;
    }
}

TEST(IncrementLikelihoodTest, SizeDependentGridApproachesTheAnalyticMomentsAsBVanishes)
{
    // The 41 x 41 grid spans 8 SDs of each variable; with b -> 0 it must reproduce the
    // von Bertalanffy moments up to what the grid leaves out beyond 4 SDs of the skewed k
    // distribution (about 1e-4 of the mean, 2e-3 of the variance), and its weights sum to 1
    // within 0.001 (no warning).
    Growth g;
    g.sdLinf = 10.0;
    g.sdK = 0.05;
    const RecordResult analytic = single(g, 40.0, 10.0, 0.0, 365.0, IncrementErrorType::Gamma);
    g.b = 1e-12;
    Increments grid(g, IncrementErrorType::Gamma);
    grid.add(40.0, 10.0, 0.0, 365.0).evaluate();
    EXPECT_NEAR(grid[1].meanIncrement, analytic.meanIncrement, 3e-4 * analytic.meanIncrement);
    EXPECT_NEAR(grid[1].incrementVariance, analytic.incrementVariance, 5e-3 * analytic.incrementVariance);
    EXPECT_TRUE(grid.summary().empty());
}

TEST(IncrementLikelihoodTest, SizeDependentRecordReusesThePreviousRecordWithEqualSizeAndTime)
{
    Growth g;
    g.sdLinf = 10.0;
    g.sdK = 0.05;
    g.aK = 0.1;
    g.dayK = 50.0;
    g.aL = 3.0;
    g.dayL = 100.0;
    g.b = 0.002;
    // Records 1 and 2: equal l1 and dt, different start days (so different cycles).
    Increments increments(g, IncrementErrorType::Gamma);
    increments.add(50.0, 8.0, 0.0, 200.0).add(50.0, 9.0, 100.0, 300.0);
    increments.evaluate();
    EXPECT_EQ(increments[2].meanIncrement, increments[1].meanIncrement);
    EXPECT_EQ(increments[2].incrementVariance, increments[1].incrementVariance);
    EXPECT_NE(increments[2].expectedLinf, increments[1].expectedLinf); // the cycles did differ

    const RecordResult alone = single(g, 50.0, 9.0, 100.0, 300.0, IncrementErrorType::Gamma);
    EXPECT_NE(alone.meanIncrement, increments[1].meanIncrement);

    // A record in between breaks the sequence.
    Increments separated(g, IncrementErrorType::Gamma);
    separated.add(50.0, 8.0, 0.0, 200.0).add(60.0, 6.0, 0.0, 200.0).add(50.0, 9.0, 100.0, 300.0);
    separated.evaluate();
    EXPECT_EQ(separated[3].meanIncrement, alone.meanIncrement);
    EXPECT_EQ(separated[3].incrementVariance, alone.incrementVariance);
}

TEST(IncrementLikelihoodTest, SizeDependentRecordAtOrAboveLinfFallsBackToATinyGamma)
{
    // A single L-infinity point (varLinf at its floor) not above l1: mean = variance = 1e-6,
    // so the gamma has shape 1e-6 and scale 1.
    Growth g;
    g.b = 0.01;
    for (const double l1 : {100.0, 120.0}) {
        Increments increments(g, IncrementErrorType::Gamma);
        increments.add(l1, 2.0, 0.0, 365.0);
        const double total = increments.evaluate();
        EXPECT_EQ(increments[1].meanIncrement, 1e-6);
        EXPECT_EQ(increments[1].incrementVariance, 1e-6);
        EXPECT_NEAR(total, -gammaLogDensity(2.0, 1e-6, 1.0), 1e-8) << "l1 " << l1;
        EXPECT_TRUE(increments.summary().empty());
    }
}

TEST(IncrementLikelihoodTest, SizeDependentGridWarnsWhenItsWeightsDoNotSumToOne)
{
    // k = 0.1 with SD 0.2 (gamma shape 0.25): the k grid starts at 0.5 hK = 0.02 and misses the
    // mass below it. varLinf at its floor: the weights are the k grid's alone.
    Growth g;
    g.k = 0.1;
    g.sdK = 0.2;
    g.b = 0.01;
    Increments increments(g, IncrementErrorType::Gamma);
    increments.add(40.0, 5.0, 0.0, 365.0).add(50.0, 5.0, 0.0, 365.0);
    increments.evaluate();

    const double hK = 0.2 / 5.0;
    const double shape = 0.1 * 0.1 / 0.04;
    const double scale = 0.04 / 0.1;
    double weightSum = 0.0;
    for (int j = 0; j <= 40; ++j)
        weightSum += std::exp(gammaLogDensity(0.5 * hK + j * hK, shape, scale)) * hK;
    ASSERT_LT(weightSum, 0.999);
    const std::string shownSum = padToWidth(formatNumber(weightSum, "0.000"), 6);
    const std::string reason =
        "         The most likely reason for this is a poor choice for one or more parameter values.\n";
    EXPECT_EQ(increments.summary(), "Warning: Cumulative probability outside the range 0.999 to 1.001 @" +
                                        shownSum + " for increment record 1\n" + reason +
                                        "Warning: Cumulative probability outside the range 0.999 to 1.001 @" +
                                        shownSum + " for increment record 2\n" + reason);
    EXPECT_EQ(shownSum.size(), 6u);
}

TEST(IncrementLikelihoodTest, SizeDependentKForcesGammaErrors)
{
    Growth g;
    g.sdLinf = 10.0;
    g.sdK = 0.05;
    g.b = 0.002;
    EXPECT_EQ(single(g, 40.0, 9.0, 0.0, 365.0, IncrementErrorType::Gaussian).recordNll,
              single(g, 40.0, 9.0, 0.0, 365.0, IncrementErrorType::Gamma).recordNll);
}

// ---------------------------------------------------------------------------------------------
// Size-at-age selectivity

// Size-at-age data (t0 = 0): l1 = 40 at age 1, measured again at age 3; Gaussian errors,
// truncation negligible (zt = -6).
Growth sizeAtAgeGrowth()
{
    Growth g;
    g.sdLinf = 10.0;
    g.t0 = 0.0;
    return g;
}

TEST(IncrementLikelihoodTest, SelectivityConditionsTheLikelihoodOnSelection)
{
    // exp(-nll(x)) is N(x; mu, V); integral of N(x; mu, V) Phi((x - s) / c) dx =
    // Phi((mu - s) / sqrt(V + c^2)). The polynomial Phi (7.5e-8) bounds the agreement.
    Growth g = sizeAtAgeGrowth();
    g.selMean = 30.0;
    g.selSd = 3.0;
    const double E1 = std::exp(-0.6);
    const double E2 = std::exp(-1.2);
    const double mu = 60.0 * (1.0 - E1);
    const double V = (E2 - E1 * E1) * 3600.0 + (1.0 - 2.0 * E1 + E2) * 100.0;
    for (const double d : {25.0, 35.0, 45.0}) {
        const RecordResult r = single(g, 40.0, d, 1.0, 3.0);
        const double expected = normalNll(d, mu, V) - std::log(exactPhi((d - 30.0) / 3.0)) +
                                std::log(exactPhi((mu - 30.0) / std::sqrt(V + 9.0)));
        EXPECT_NEAR(r.recordNll, expected, 2e-6) << "d " << d;
    }
}

TEST(IncrementLikelihoodTest, SelectivityIntegralStopsAtItsCoverage)
{
    // Gamma errors and a selection curve that is 1 (to double precision) at every positive size:
    // the integral A would be 1 to within 1e-9 if it ran to its upper limit (150); it stops as
    // soon as A reaches 0.999999, leaving the rest of the upper tail (several 1e-7) out.
    Growth g = sizeAtAgeGrowth();
    g.sdK = 0.1;
    g.selMean = -12.0;
    g.selSd = 1.0;
    const double withSelection = single(g, 40.0, 15.0, 1.0, 2.0, IncrementErrorType::Gamma).recordNll;
    g.selSd = notUsed;
    const double without = single(g, 40.0, 15.0, 1.0, 2.0, IncrementErrorType::Gamma).recordNll;
    const double A = std::exp(withSelection - without); // sel(15) = 1 exactly
    EXPECT_GE(A, 0.999999);
    EXPECT_LT(A, 1.0 - 2e-7);
}

TEST(IncrementLikelihoodTest, ANarrowSizeDistributionUnderABroadSelectionCurveTakesFewPanels)
{
    // Size at age 1779.5 years (t0 = -1776.5, measured at 3) with L-infinity and k fixed (SDs at
    // their floors): the increment's SD is about 2e-6, so the specified step is 4e-7 and the
    // range up to 110 holds 3e8 panels, which a selection curve below 1 (mean 0, SD 365) never
    // lets stop early. Within the distribution's extent it takes a few hundred.
    Growth g;
    g.Linf = 110.0;
    g.k = 1e-6;
    g.t0 = -1776.5;
    g.selMean = 0.0;
    g.selSd = 365.0;
    for (const IncrementErrorType type : {IncrementErrorType::Gaussian, IncrementErrorType::Gamma}) {
        const RecordResult r = single(g, 0.0, 50.0, 0.0, 3.0, type);
        EXPECT_TRUE(std::isfinite(r.recordNll)) << r.recordNll;
        EXPECT_GT(r.selectionPanels, 0);
        EXPECT_LE(r.selectionPanels, 2000);
    }
    // 500 such records in one evaluation.
    Increments many(g);
    for (int i = 0; i < 500; ++i)
        many.add(0.0, 0.15 + i * 1e-4, 0.0, 1.0 + i * 0.01);
    EXPECT_TRUE(std::isfinite(many.evaluate()));
    std::int64_t panels = 0;
    for (int i = 1; i <= 500; ++i)
        panels += many[i].selectionPanels;
    EXPECT_LE(panels, 500 * 2000);
}

TEST(IncrementLikelihoodTest, AConvolvedErrorModelKeepsItsSelectivityIntegralToATenthOfThePanels)
{
    // b > 0 and an initial size above L-infinity: the tiny gamma of shape and scale near 1e-6
    // and 1, convolved with the measurement error of m = 5 %, is integrated with a step of
    // about 1e-4 (some 7e5 panels up to 70, each one a 101-panel convolution); within its
    // extent and limit it takes at most 2000.
    Growth g;
    g.Linf = 70.0;
    g.k = 0.3;
    g.b = 0.01;
    g.m = 5.0;
    g.t0 = 0.0;
    g.selMean = 30.0;
    g.selSd = 10.0;
    const RecordResult r = single(g, 80.0, 5.0, 0.0, 2.0, IncrementErrorType::Gamma);
    EXPECT_EQ(r.meanIncrement, 1e-6);
    EXPECT_TRUE(std::isfinite(r.recordNll)) << r.recordNll;
    EXPECT_GT(r.selectionPanels, 0);
    EXPECT_LE(static_cast<double>(r.selectionPanels), convolvedIntegrandLimits.extent + 1.0);
}

TEST(IncrementLikelihoodTest, SelectivityIsLeftOutWhenSwitchedOffOrOutOfReach)
{
    const Growth base = sizeAtAgeGrowth();
    const double plain = single(base, 40.0, 25.0, 1.0, 3.0).recordNll;
    struct Case {
        const char* what;
        double t0;
        double selMean;
        double selSd;
    };
    const std::vector<Case> cases{
        {"p20 = -999", 0.0, 30.0, notUsed},
        {"p19 = -999", 0.0, notUsed, 3.0},
        {"lower tail above the selection range", 0.0, -30.0, 2.0}, // mean - 5 sd > -20
    };
    for (const Case& c : cases) {
        Growth g = base;
        g.t0 = c.t0;
        g.selMean = c.selMean;
        g.selSd = c.selSd;
        EXPECT_EQ(single(g, 40.0, 25.0, 1.0, 3.0).recordNll, plain) << c.what;
    }
    // t0 = -999 (tagging data) switches it off too: compare with the same days as tagging data.
    Growth tagging;
    tagging.sdLinf = 10.0;
    const double taggingPlain = single(tagging, 40.0, 25.0, 0.0, 730.0).recordNll;
    tagging.selMean = 30.0;
    tagging.selSd = 3.0;
    EXPECT_EQ(single(tagging, 40.0, 25.0, 0.0, 730.0).recordNll, taggingPlain);
    // And with all three set, it does change the result.
    Growth on = base;
    on.selMean = 30.0;
    on.selSd = 3.0;
    EXPECT_NE(single(on, 40.0, 25.0, 1.0, 3.0).recordNll, plain);
}

// ---------------------------------------------------------------------------------------------
// Arithmetic failures

struct FailureCase {
    const char* name;
    Growth growth;
    IncrementErrorType type;
    IncrementRecord fine;    // record 1: evaluates normally
    IncrementRecord failing; // record 2
    const char* message;
};

std::vector<FailureCase> failureCases()
{
    Growth cycleK; // k + cycleK = 0.1 - 0.2 at three quarters of a year from day 0
    cycleK.k = 0.1;
    cycleK.sdK = 0.02;
    cycleK.aK = 0.2;
    cycleK.b = 0.01;
    Growth certainNegative; // l1 = 60 above a fixed Linf of 50: P0 = 1
    certainNegative.Linf = 50.0;
    Growth zeroSelectivity; // p20 = 0 with the selection range reached by record 2 only
    zeroSelectivity.sdLinf = 10.0;
    zeroSelectivity.t0 = 0.0;
    zeroSelectivity.selMean = 30.0;
    zeroSelectivity.selSd = 0.0;
    Growth shrinking; // exp(-cycleK) exp(-k dt) > 1: a negative mean increment
    shrinking.sdLinf = 10.0;
    shrinking.k = 0.1;
    shrinking.aK = 1.0;
    shrinking.dayK = -91.25;
    return {
        {"k + cycleK <= 0",
         cycleK,
         IncrementErrorType::Gamma,
         {1, 40, 10, 0, 365},
         {1, 40, 10, 0, 273.75},
         "increment record 2: k + annual cycle in k is not positive"},
        {"P0 = 1",
         certainNegative,
         IncrementErrorType::Gaussian,
         {1, 20, 5, 0, 365},
         {1, 60, 1, 0, 365},
         "increment record 2: a negative increment is certain (P0 = 1), ln(1 - P0) is undefined"},
        {"selectivity SD 0",
         zeroSelectivity,
         IncrementErrorType::Gaussian,
         {1, 10, 80, 0, 10},
         {1, 40, 25, 1, 3},
         "increment record 2: the SD of the size-at-age selectivity is zero"},
        {"gamma mean <= 0",
         shrinking,
         IncrementErrorType::Gamma,
         {1, 40, 10, 0, 365},
         {1, 40, 5, 0, 73},
         "increment record 2: the mean increment is not positive, no gamma distribution has it"},
    };
}

TEST(IncrementLikelihoodTest, InvalidOperationsAreArithmeticFailures)
{
    for (const FailureCase& c : failureCases()) {
        Increments increments(c.growth, c.type);
        increments.add(c.fine.initialSize, c.fine.increment, c.fine.startDay, c.fine.endDay);
        increments.add(c.failing.initialSize, c.failing.increment, c.failing.startDay, c.failing.endDay);
        increments.add(c.fine.initialSize, c.fine.increment, c.fine.startDay, c.fine.endDay);
        const double total = increments.evaluate();
        EXPECT_TRUE(std::isnan(total)) << c.name;
        EXPECT_EQ(increments.state.arithmeticFailure, c.message) << c.name;
        EXPECT_TRUE(std::isfinite(increments[1].recordNll)) << c.name;
        EXPECT_TRUE(std::isnan(increments[2].recordNll)) << c.name;
        EXPECT_EQ(increments.host.scriptedUi.yieldCount(), 2) << c.name; // the evaluation ends there
    }
}

TEST(IncrementLikelihoodTest, AnEarlierFailureTextIsKept)
{
    const FailureCase c = failureCases().front();
    Increments increments(c.growth, c.type);
    increments.state.arithmeticFailure = "size frequencies: something failed first";
    increments.add(c.failing.initialSize, c.failing.increment, c.failing.startDay, c.failing.endDay);
    EXPECT_TRUE(std::isnan(increments.evaluate()));
    EXPECT_EQ(increments.state.arithmeticFailure, "size frequencies: something failed first");
}

TEST(IncrementLikelihoodTest, AnEarlierFailureTextDoesNotStopAValidEvaluation)
{
    Increments increments(truncatedGaussianGrowth());
    increments.state.arithmeticFailure = "size frequencies: something failed first";
    increments.add(40.0, 10.0, 0.0, 365.0).add(50.0, 8.0, 0.0, 365.0);
    EXPECT_TRUE(std::isfinite(increments.evaluate()));
    EXPECT_EQ(increments.host.scriptedUi.yieldCount(), 2);
}

TEST(IncrementLikelihoodTest, NaNParametersPropagateWithoutAFailureText)
{
    for (const IncrementErrorType type : {IncrementErrorType::Gaussian, IncrementErrorType::Gamma}) {
        Growth g = truncatedGaussianGrowth();
        g.Linf = std::nan("");
        Increments increments(g, type);
        increments.add(40.0, 10.0, 0.0, 365.0);
        EXPECT_TRUE(std::isnan(increments.evaluate()));
        EXPECT_TRUE(increments.state.arithmeticFailure.empty());
    }
}

} // namespace
} // namespace orvanta
