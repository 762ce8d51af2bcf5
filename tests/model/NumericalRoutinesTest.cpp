#include "model/NumericalRoutines.h"
#include "model/NumericalRoutinesDetail.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace orvanta {
namespace {

constexpr double pi = std::numbers::pi;

// The standard normal distribution function to full double precision, for reference.
double exactPhi(double z)
{
    return 0.5 * std::erfc(-z / std::sqrt(2.0));
}

double normalDensity(double x, double mean, double variance)
{
    return std::exp(-(x - mean) * (x - mean) / (2.0 * variance)) / std::sqrt(2.0 * pi * variance);
}

// Composite Simpson rule with many panels, as an independent reference integral.
template <typename F> double fineIntegral(F f, double from, double to, int panels = 200000)
{
    const double h = (to - from) / panels;
    double sum = f(from) + f(to);
    for (int i = 1; i < panels; ++i)
        sum += f(from + i * h) * (i % 2 == 1 ? 4.0 : 2.0);
    return sum * h / 3.0;
}

// ---------------------------------------------------------------------------------------------
// lnGamma

TEST(NumericalRoutinesTest, LnGammaVanishesAtOneAndTwoAndGivesLnSqrtPiAtOneHalf)
{
    EXPECT_NEAR(lnGamma(1.0), 0.0, 1e-9);
    EXPECT_NEAR(lnGamma(2.0), 0.0, 1e-9);
    EXPECT_NEAR(lnGamma(0.5), std::log(std::sqrt(pi)), 1e-9);
}

TEST(NumericalRoutinesTest, LnGammaAgreesWithTheLibraryWithinTheSeriesAccuracy)
{
    // Lanczos' six-term series is good to about 2e-10 in ln Gamma; for large arguments the
    // rounding of the result itself (a few units in the last place) dominates. Arguments below 1
    // go through the reflection formula.
    const std::vector<double> arguments{1e-6, 1e-3, 0.1, 0.3, 0.5,  0.7,  0.9,   0.999, 1.0, 1.2,
                                        1.5,  2.0,  2.5, 3.7, 10.0, 50.0, 171.3, 1e3,   1e4, 1e6};
    for (const double x : arguments) {
        const double expected = std::lgamma(x);
        EXPECT_NEAR(lnGamma(x), expected, 3e-10 + 4e-16 * std::fabs(expected)) << "x = " << x;
    }
}

TEST(NumericalRoutinesTest, LnGammaReflectionSatisfiesTheRecurrenceAcrossOne)
{
    // Gamma(x + 1) = x Gamma(x) links the reflected branch (x < 1) with the series (x + 1 >= 1).
    for (const double x : {0.05, 0.25, 0.5, 0.75, 0.95}) {
        EXPECT_NEAR(lnGamma(x + 1.0), std::log(x) + lnGamma(x), 5e-10) << "x = " << x;
    }
}

// ---------------------------------------------------------------------------------------------
// normalProbability

TEST(NumericalRoutinesTest, NormalProbabilityAtZeroIsOneHalf)
{
    EXPECT_NEAR(normalProbability(-10.0, 0.0), 0.5, 1e-7);
}

TEST(NumericalRoutinesTest, NormalProbabilityStaysWithinThePolynomialsErrorBound)
{
    // Abramowitz and Stegun 26.2.17 has an absolute error below 7.5e-8. Phi(1.96) is
    // 0.9750021048..., not 0.975: the approximation gives 0.97500217, 7.0e-8 above the truth.
    const std::vector<double> points{-8.0, -5.0, -3.0, -1.96, -1.0, -0.5, -1e-9, 0.0,
                                     1e-9, 0.5,  1.0,  1.96,  3.0,  5.0,  8.0,   12.0};
    for (const double z : points) {
        EXPECT_NEAR(normalProbability(-10.0, z), exactPhi(z) - exactPhi(-10.0), 7.5e-8) << "z = " << z;
    }
    EXPECT_NEAR(normalProbability(-10.0, 1.96), 0.9750021048517795, 7.5e-8);
}

TEST(NumericalRoutinesTest, NormalProbabilityIsTheDifferenceOfTwoDistributionValues)
{
    EXPECT_EQ(normalProbability(0.7, 0.7), 0.0);
    EXPECT_EQ(normalProbability(1.5, -0.3), -normalProbability(-0.3, 1.5));
    EXPECT_NEAR(normalProbability(-1.96, 1.96), exactPhi(1.96) - exactPhi(-1.96), 1.5e-7);
    EXPECT_NEAR(normalProbability(-1.0, 2.0), exactPhi(2.0) - exactPhi(-1.0), 1.5e-7);
}

// ---------------------------------------------------------------------------------------------
// normalPartialMoment

struct PartialMomentCase {
    double lower;
    double mean;
    double variance;
};

// Closed forms of the partial moments above a = lower of N(mean, sd^2), alpha = (a - mean) / sd:
// r = 0: 1 - Phi(alpha); r = 1: mean (1 - Phi(alpha)) + sd phi(alpha);
// r = 2: (mean^2 + sd^2)(1 - Phi(alpha)) + sd (a + mean) phi(alpha).
double closedFormPartialMoment(const PartialMomentCase& c, int r)
{
    const double sd = std::sqrt(c.variance);
    const double alpha = (c.lower - c.mean) / sd;
    const double tail = 1.0 - exactPhi(alpha);
    const double density = std::exp(-alpha * alpha / 2.0) / std::sqrt(2.0 * pi);
    switch (r) {
    case 0:
        return tail;
    case 1:
        return c.mean * tail + sd * density;
    default:
        return (c.mean * c.mean + c.variance) * tail + sd * (c.lower + c.mean) * density;
    }
}

const std::vector<PartialMomentCase> partialMomentCases{
    {40.0, 100.0, 100.0},  // lower far below the mean: the whole distribution
    {95.0, 100.0, 100.0},  // lower just below the mean
    {100.0, 100.0, 100.0}, // lower at the mean
    {118.0, 100.0, 100.0}, // lower in the upper tail
    {0.5, 2.0, 0.25},      // a small, narrow distribution
    {150.0, 160.0, 400.0},
};

TEST(NumericalRoutinesTest, NormalPartialMomentsMatchTheClosedForms)
{
    // 100 Simpson panels of 0.1 to 0.15 sd leave a relative error of about 2e-8 (from the cut at
    // the lower end, where the integrand's derivatives do not vanish).
    for (const PartialMomentCase& c : partialMomentCases) {
        for (int r = 0; r <= 2; ++r) {
            const double expected = closedFormPartialMoment(c, r);
            EXPECT_NEAR(normalPartialMoment(c.lower, c.mean, c.variance, r), expected,
                        1e-7 * std::fabs(expected))
                << "lower " << c.lower << " mean " << c.mean << " variance " << c.variance << " r " << r;
        }
    }
}

TEST(NumericalRoutinesTest, NormalPartialMomentOfThirdOrderMatchesAFineIntegral)
{
    const double expected =
        fineIntegral([](double x) { return x * x * x * normalDensity(x, 10.0, 4.0); }, 9.0, 10.0 + 9.0 * 2.0);
    EXPECT_NEAR(normalPartialMoment(9.0, 10.0, 4.0, 3), expected, 1e-7 * expected);
}

TEST(NumericalRoutinesTest, SharedPassMomentsEqualTheSingleMomentsBitForBit)
{
    for (const PartialMomentCase& c : partialMomentCases) {
        const detail::PartialMoments both = detail::normalPartialMoments12(c.lower, c.mean, c.variance);
        EXPECT_EQ(both.first, normalPartialMoment(c.lower, c.mean, c.variance, 1)) << "lower " << c.lower;
        EXPECT_EQ(both.second, normalPartialMoment(c.lower, c.mean, c.variance, 2)) << "lower " << c.lower;
    }
}

// ---------------------------------------------------------------------------------------------
// convolvedGaussianNll

struct GaussianConvolutionCase {
    double d;
    double mu;
    double V;
    double mv;
};

// -ln of the density of d = X + e, X ~ N(mu, V) truncated below 0, e ~ N(0, mv):
// N(d; mu, V + mv) (1 - Phi(-m* / s*)) / (1 - P0) with the posterior mean m* and SD s* of X.
double closedFormConvolvedGaussianNll(const GaussianConvolutionCase& c, double P0)
{
    const double total = c.V + c.mv;
    const double posteriorMean = (c.mu * c.mv + c.d * c.V) / total;
    const double posteriorSd = std::sqrt(c.V * c.mv / total);
    const double density = normalDensity(c.d, c.mu, total) * (1.0 - exactPhi(-posteriorMean / posteriorSd));
    return -std::log(density / (1.0 - P0));
}

TEST(NumericalRoutinesTest, ConvolvedGaussianMatchesTheClosedFormOfATruncatedNormalPlusError)
{
    // 101 panels of width (mu + 9 sd) / 100 resolve a measurement SD of a few panel widths to
    // better than 1e-6 in the log-likelihood.
    const std::vector<GaussianConvolutionCase> cases{
        {12.0, 10.0, 16.0, 9.0},  // mild truncation
        {3.0, 2.0, 4.0, 4.0},     // heavy truncation
        {0.0, 1.0, 9.0, 6.25},    // an observed increment of zero
        {-2.0, 1.0, 9.0, 6.25},   // a negative observed increment
        {25.0, 20.0, 36.0, 16.0}, // barely truncated
    };
    for (const GaussianConvolutionCase& c : cases) {
        double P0 = exactPhi(-c.mu / std::sqrt(c.V));
        const double expected = closedFormConvolvedGaussianNll(c, P0);
        EXPECT_NEAR(convolvedGaussianNll(P0, c.d, c.mu, c.V, c.mv), expected, 1e-6)
            << "d " << c.d << " mu " << c.mu;
    }
}

TEST(NumericalRoutinesTest, ConvolvedGaussianWithSmallErrorAndNoTruncationIsThePlainNormal)
{
    // mu = 30, V = 25 (zt = -6, truncation negligible) with a measurement SD of 1.5, twice the
    // panel width of 0.75 (a measurement SD well below the panel width cannot be resolved by 101
    // panels): the result must be the plain normal nll of variance V + mv.
    const double mu = 30.0;
    const double V = 25.0;
    const double mv = 2.25;
    for (const double d : {22.0, 30.0, 41.0}) {
        double P0 = exactPhi(-mu / std::sqrt(V));
        const double plain = (d - mu) * (d - mu) / (2.0 * (V + mv)) +
                             std::log(std::sqrt(2.0 * pi * (V + mv))) + std::log(1.0 - P0);
        EXPECT_NEAR(convolvedGaussianNll(P0, d, mu, V, mv), plain, 1e-9) << "d " << d;
    }
}

TEST(NumericalRoutinesTest, ConvolvedGaussianCapsTheTruncationInTheCallersVariable)
{
    double P0 = 0.9999995;
    const double capped = convolvedGaussianNll(P0, 1.0, 1.0, 4.0, 1.0);
    EXPECT_EQ(P0, 0.999999);
    double alreadyCapped = 0.999999;
    EXPECT_EQ(capped, convolvedGaussianNll(alreadyCapped, 1.0, 1.0, 4.0, 1.0));
    EXPECT_EQ(alreadyCapped, 0.999999);

    double moderate = 0.25;
    (void)convolvedGaussianNll(moderate, 1.0, 1.0, 4.0, 1.0);
    EXPECT_EQ(moderate, 0.25);
}

TEST(NumericalRoutinesTest, ConvolvedGaussianGivesAPenaltyForACollapsedRange)
{
    // mu = -10, V = 1: h = (9 - 10) / 100 = -0.01; the penalty is h^2 x 1e12 = 1e8, and P0 is
    // left alone.
    double P0 = 0.9999995;
    const double h = (9.0 * 1.0 - 10.0) / 100.0;
    EXPECT_DOUBLE_EQ(convolvedGaussianNll(P0, 1.0, -10.0, 1.0, 1.0), h * h * 1e12);
    EXPECT_EQ(P0, 0.9999995);

    double noTruncation = 0.0;
    EXPECT_EQ(convolvedGaussianNll(noTruncation, 1.0, -9.0, 1.0, 1.0), 0.0); // h = 0 exactly
}

TEST(NumericalRoutinesTest, ConvolvedGaussianReplacesAnEmptyIntegralByTenToTheMinus20)
{
    // An observation 1e6 units from every true increment leaves only zero terms.
    double P0 = 0.1;
    const double V = 4.0;
    const double mv = 1.0;
    const double expected =
        std::log(2.0 * pi * std::sqrt(V) * std::sqrt(mv)) + 20.0 * std::log(10.0) + std::log(0.9);
    EXPECT_NEAR(convolvedGaussianNll(P0, 1e6, 5.0, V, mv), expected, 1e-12);
}

// ---------------------------------------------------------------------------------------------
// convolvedGammaNll

struct GammaConvolutionCase {
    double d;
    double a; // shape
    double s; // scale
    double mv;
};

double gammaLnNorm(double a, double s)
{
    return a * std::log(s) + lnGamma(a);
}

// An independent reference: the density of d = X + e by a fine Simpson rule over 0..mean + 30 sd.
double referenceConvolvedGammaNll(const GammaConvolutionCase& c)
{
    const double mean = c.a * c.s;
    const double sd = std::sqrt(c.a) * c.s;
    const auto integrand = [&](double x) {
        if (x <= 0.0)
            return 0.0;
        const double gammaDensity =
            std::exp((c.a - 1.0) * std::log(x) - x / c.s - c.a * std::log(c.s) - std::lgamma(c.a));
        return normalDensity(c.d, x, c.mv) * gammaDensity;
    };
    return -std::log(fineIntegral(integrand, 0.0, mean + 30.0 * sd));
}

TEST(NumericalRoutinesTest, ConvolvedGammaMatchesAFineIntegration)
{
    // 101 panels from 0.0001 to about mean + 9 sd: accurate to about 1e-5 in the log-likelihood
    // for shapes of 2 and more with a measurement SD of several panel widths.
    const std::vector<GammaConvolutionCase> cases{
        {10.0, 4.0, 2.5, 4.0}, {2.0, 4.0, 2.5, 4.0},    {20.0, 9.0, 1.5, 6.25},
        {5.0, 2.0, 3.0, 9.0},  {30.0, 25.0, 1.0, 2.25},
    };
    for (const GammaConvolutionCase& c : cases) {
        const double mean = c.a * c.s;
        const double variance = c.a * c.s * c.s;
        const double result = convolvedGammaNll(c.d, mean, variance, c.a, c.s, gammaLnNorm(c.a, c.s), c.mv);
        EXPECT_NEAR(result, referenceConvolvedGammaNll(c), 1e-5) << "d " << c.d << " shape " << c.a;
    }
}

TEST(NumericalRoutinesTest, ConvolvedGammaGivesAPenaltyForACollapsedRange)
{
    const double h = (9.0 * std::sqrt(1.0) - 10.0) / 100.0;
    EXPECT_DOUBLE_EQ(convolvedGammaNll(1.0, -10.0, 1.0, 2.0, 1.0, 0.0, 1.0), h * h * 1e12);
}

TEST(NumericalRoutinesTest, ConvolvedGammaReplacesAnEmptyIntegralByTenToTheMinus20)
{
    EXPECT_NEAR(convolvedGammaNll(1e6, 8.0, 4.0, 4.0, 2.0, gammaLnNorm(4.0, 2.0), 1.0), 20.0 * std::log(10.0),
                1e-12);
}

} // namespace
} // namespace orvanta
