#include "model/NumericalRoutines.h"

#include "model/NumericalRoutinesDetail.h"
#include "model/VectorMath.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <numbers>
#include <span>

// Every formula below is evaluated in the order in which it is written down for the model
// (left to right, no algebraic rearrangement), because published fits are compared with these
// numbers to the last digits. Squares are taken as x * x (correctly rounded); higher integer
// powers with std::pow. Simpson panels are evaluated at their own three points each: the right
// end of one panel is not reused as the left end of the next, since x + h and the next panel's
// left end are different roundings of the same point.

namespace orvanta {

namespace {

constexpr double pi = std::numbers::pi;

// Lanczos' series for ln Gamma (gamma = 5, six terms) and sqrt(2 pi) as the series uses it.
constexpr std::array<double, 6> lanczosCoefficients{76.18009173,  -86.50532033,  24.01409822,
                                                    -1.231739516, 0.00120858003, -5.36382e-6};
constexpr double lanczosSqrtTwoPi = 2.50662827465;

// ln Gamma(y) for y >= 1 by the series.
double lanczosLnGamma(double y)
{
    double t = y - 1.0;
    const double u = t + 5.5;
    const double base = (t + 0.5) * std::log(u) - u;
    double series = 1.0;
    for (const double coefficient : lanczosCoefficients) {
        t = t + 1.0;
        series = series + coefficient / t;
    }
    return base + std::log(lanczosSqrtTwoPi * series);
}

// Phi(z) by Abramowitz and Stegun 26.2.17: the standard normal density times a fifth-degree
// polynomial in t = 1 / (1 + p |z|) gives the upper tail.
double standardNormalCdf(double z)
{
    const double t = 1.0 / (1.0 + 0.2316419 * std::fabs(z));
    const double poly = 0.31938153 * t - 0.356563782 * (t * t) + 1.781477937 * std::pow(t, 3) -
                        1.821255978 * std::pow(t, 4) + 1.330274429 * std::pow(t, 5);
    const double density = std::exp(-(z * z) / 2.0) / std::sqrt(2.0 * pi);
    return z >= 0.0 ? 1.0 - density * poly : density * poly;
}

// x^r for the moment integrands: exact for r = 0 and 1, correctly rounded for r = 2.
double power(double x, int r)
{
    switch (r) {
    case 0:
        return 1.0;
    case 1:
        return x;
    case 2:
        return x * x;
    default:
        return std::pow(x, r);
    }
}

// The normal kernel exp(-(x - mean)^2 / (2 variance)), with twoVariance = 2 variance.
double normalKernel(double x, double mean, double twoVariance)
{
    const double deviation = x - mean;
    return std::exp(-(deviation * deviation) / twoVariance);
}

constexpr int momentPanels = 100;
constexpr int convolutionLastPanel = 100; // panels 0..100: 101 panels
constexpr double emptyIntegral = 1e-20;
constexpr double collapsedRangeScale = 1e12;
constexpr double maximumTruncation = 0.999999;

// The points of a Simpson integral whose neighbouring panels share their ends: the ends
// first + j h (j = 0..panels) followed by the midpoints first + j h + h / 2 (j = 0..panels - 1).
template <int panels> class SharedSimpsonPoints {
public:
    SharedSimpsonPoints(double first, double h) : h_(h)
    {
        for (int j = 0; j <= panels; ++j)
            values_[index(j)] = first + j * h;
        for (int j = 0; j < panels; ++j)
            values_[index(panels + 1 + j)] = values_[index(j)] + h / 2.0;
    }
    double end(int j) const { return values_[index(j)]; }
    double middle(int j) const { return values_[index(panels + 1 + j)]; }

    // Replaces every point x by f(x) (or, for the vector functions, takes them as they are).
    std::span<double> values() { return values_; }
    std::span<const double> values() const { return values_; }

    // Simpson's rule over the panels of the values f(x) now held, panel by panel.
    double sum() const
    {
        double total = 0.0;
        for (int j = 0; j < panels; ++j)
            total += (end(j) + 4.0 * middle(j) + end(j + 1)) * h_ / 6.0;
        return total;
    }

private:
    static std::size_t index(int i) { return static_cast<std::size_t>(i); }

    std::array<double, 2 * panels + 1> values_{};
    double h_;
};

// The exponent of the convolved Gaussian's integrand at x, twoMv = 2 mv and twoV = 2 V.
double convolvedGaussianExponent(double x, double d, double mu, double twoMv, double twoV)
{
    const double error = d - x;
    const double deviation = x - mu;
    return -(error * error) / twoMv - (deviation * deviation) / twoV;
}

// The convolved Gaussian's negative log-likelihood from its Simpson sum; caps P0.
double convolvedGaussianNllOfSum(double sum, double& P0, double V, double mv)
{
    if (sum == 0.0)
        sum = emptyIntegral;
    if (P0 > maximumTruncation)
        P0 = maximumTruncation;
    return std::log(2.0 * pi * std::sqrt(V) * std::sqrt(mv)) - std::log(sum) + std::log(1.0 - P0);
}

} // namespace

double lnGamma(double x)
{
    if (x >= 1.0)
        return lanczosLnGamma(x);
    // Reflection: Gamma(x) = pi (1 - x) / (Gamma(2 - x) sin(pi (1 - x))).
    const double result = lanczosLnGamma(2.0 - x);
    return std::log(pi * (1.0 - x) / (std::exp(result) * std::sin(pi * (1.0 - x))));
}

double normalProbability(double a, double b)
{
    return standardNormalCdf(b) - standardNormalCdf(a);
}

double normalPartialMoment(double lower, double mean, double variance, int r)
{
    const double upper = mean + 9.0 * std::sqrt(variance);
    const double h = (upper - lower) / static_cast<double>(momentPanels);
    const double twoVariance = 2.0 * variance;
    const auto f = [&](double x) { return power(x, r) * normalKernel(x, mean, twoVariance); };
    double sum = 0.0;
    for (int i = 0; i < momentPanels; ++i) {
        const double x = lower + i * h;
        sum += (f(x) + 4.0 * f(x + h / 2.0) + f(x + h)) * h / 6.0;
    }
    return sum / std::sqrt(2.0 * pi * variance);
}

namespace detail {

PartialMoments normalPartialMoments12(double lower, double mean, double variance)
{
    const double upper = mean + 9.0 * std::sqrt(variance);
    const double h = (upper - lower) / static_cast<double>(momentPanels);
    const double twoVariance = 2.0 * variance;
    double first = 0.0;
    double second = 0.0;
    for (int i = 0; i < momentPanels; ++i) {
        const double x = lower + i * h;
        const double middle = x + h / 2.0;
        const double right = x + h;
        const double kernelLeft = normalKernel(x, mean, twoVariance);
        const double kernelMiddle = normalKernel(middle, mean, twoVariance);
        const double kernelRight = normalKernel(right, mean, twoVariance);
        first += (power(x, 1) * kernelLeft + 4.0 * (power(middle, 1) * kernelMiddle) +
                  power(right, 1) * kernelRight) *
                 h / 6.0;
        second += (power(x, 2) * kernelLeft + 4.0 * (power(middle, 2) * kernelMiddle) +
                   power(right, 2) * kernelRight) *
                  h / 6.0;
    }
    const double norm = std::sqrt(2.0 * pi * variance);
    return {first / norm, second / norm};
}

PartialMoments normalPartialMoments12Lean(double lower, double mean, double variance)
{
    const double upper = mean + 9.0 * std::sqrt(variance);
    const double h = (upper - lower) / static_cast<double>(momentPanels);
    const double twoVariance = 2.0 * variance;
    const SharedSimpsonPoints<momentPanels> points(lower, h);
    SharedSimpsonPoints<momentPanels> kernels = points;
    for (double& x : kernels.values()) {
        const double deviation = x - mean;
        x = -(deviation * deviation) / twoVariance;
    }
    expInPlace(kernels.values());
    double first = 0.0;
    double second = 0.0;
    for (int i = 0; i < momentPanels; ++i) {
        const double x = points.end(i);
        const double middle = points.middle(i);
        const double right = points.end(i + 1);
        const double kernelLeft = kernels.end(i);
        const double kernelMiddle = kernels.middle(i);
        const double kernelRight = kernels.end(i + 1);
        first += (x * kernelLeft + 4.0 * (middle * kernelMiddle) + right * kernelRight) * h / 6.0;
        second +=
            (x * x * kernelLeft + 4.0 * (middle * middle * kernelMiddle) + right * right * kernelRight) * h /
            6.0;
    }
    const double norm = std::sqrt(2.0 * pi * variance);
    return {first / norm, second / norm};
}

double convolvedGaussianNllLean(double& P0, double d, double mu, double V, double mv)
{
    const double h = (9.0 * std::sqrt(V) + mu) / 100.0;
    if (h <= 0.0)
        return h * h * collapsedRangeScale;
    const double twoMv = 2.0 * mv;
    const double twoV = 2.0 * V;
    SharedSimpsonPoints<convolutionLastPanel + 1> g(0.0, h);
    for (double& x : g.values())
        x = convolvedGaussianExponent(x, d, mu, twoMv, twoV);
    expInPlace(g.values());
    return convolvedGaussianNllOfSum(g.sum(), P0, V, mv);
}

double convolvedGammaNllLean(double d, double mean, double variance, double a, double s, double lnNorm,
                             double mv)
{
    const double h = (9.0 * std::sqrt(variance) + mean) / 100.0;
    if (h <= 0.0)
        return h * h * collapsedRangeScale;
    const double twoMv = 2.0 * mv;
    const double errorNorm = std::sqrt(2.0 * pi * mv);
    const double shapeLess1 = a - 1.0;
    const SharedSimpsonPoints<convolutionLastPanel + 1> points(0.0001, h);
    SharedSimpsonPoints<convolutionLastPanel + 1> g = points;
    logInPlace(g.values());
    const std::span<const double> x = points.values();
    const std::span<double> values = g.values();
    for (std::size_t i = 0; i < values.size(); ++i) {
        const double error = d - x[i];
        values[i] = -(error * error) / twoMv + (shapeLess1 * values[i] - x[i] / s - lnNorm);
    }
    expInPlace(values);
    for (double& value : values)
        value = value / errorNorm;
    double sum = g.sum();
    if (sum == 0.0)
        sum = emptyIntegral;
    return -std::log(sum);
}

} // namespace detail

double convolvedGaussianNll(double& P0, double d, double mu, double V, double mv)
{
    const double h = (9.0 * std::sqrt(V) + mu) / 100.0;
    if (h <= 0.0)
        return h * h * collapsedRangeScale;
    const double twoMv = 2.0 * mv;
    const double twoV = 2.0 * V;
    const auto g = [&](double x) { return std::exp(convolvedGaussianExponent(x, d, mu, twoMv, twoV)); };
    double sum = 0.0;
    for (int j = 0; j <= convolutionLastPanel; ++j) {
        const double x = j * h;
        sum += (g(x) + 4.0 * g(x + h / 2.0) + g(x + h)) * h / 6.0;
    }
    return convolvedGaussianNllOfSum(sum, P0, V, mv);
}

double convolvedGammaNll(double d, double mean, double variance, double a, double s, double lnNorm, double mv)
{
    const double h = (9.0 * std::sqrt(variance) + mean) / 100.0;
    if (h <= 0.0)
        return h * h * collapsedRangeScale;
    const double twoMv = 2.0 * mv;
    const double errorNorm = std::sqrt(2.0 * pi * mv);
    const double shapeLess1 = a - 1.0;
    const auto g = [&](double x) {
        const double error = d - x;
        return std::exp(-(error * error) / twoMv) / errorNorm *
               std::exp(shapeLess1 * std::log(x) - x / s - lnNorm);
    };
    double sum = 0.0;
    for (int j = 0; j <= convolutionLastPanel; ++j) {
        const double x = j * h + 0.0001;
        sum += (g(x) + 4.0 * g(x + h / 2.0) + g(x + h)) * h / 6.0;
    }
    if (sum == 0.0)
        sum = emptyIntegral;
    return -std::log(sum);
}

} // namespace orvanta
