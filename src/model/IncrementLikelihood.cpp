#include "model/IncrementLikelihood.h"

#include "model/ModelHost.h"
#include "model/ModelParameters.h"
#include "model/ModelState.h"
#include "model/NumericalRoutines.h"
#include "model/NumericalRoutinesDetail.h"
#include "model/SelectionIntegral.h"
#include "model/VectorMath.h"
#include "text/NumberText.h"
#include "ui/UserInterface.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <limits>
#include <numbers>
#include <optional>
#include <span>
#include <string>

// The growth-increment likelihood. For every tagging record (initial size l1, observed increment
// d, start and end day) it predicts the mean and variance of the true increment under stochastic
// von Bertalanffy growth - L-infinity ~ N(muL, varLinf) truncated above l1, K ~ gamma(k, vark),
// annual sinusoidal cycles in L-infinity and k, optionally a size-dependent k (parameter b) - and
// adds the record's negative log-likelihood under Gaussian or gamma errors, with normal
// measurement error of m per cent of each measured size, and for size-at-age data optionally
// conditioned on a Gaussian selectivity.
//
// Per record, in file order (pending interface events run once per record):
//   1. time at large dt;  2. annual cycles cycleK, cycleL, S1, S2 and the seasonal mean muL;
//   3. growth-rate factors E1 = E[exp(-K dt)], E2 = E[exp(-2 K dt)];
//   4. moments of L-infinity given L-infinity > l1;
//   5. mean and variance of the true increment: 5a analytically (b = 0), 5b on a grid (b > 0);
//   6. the record's negative log-likelihood under its error model;
//   7. for size-at-age data, conditioning on the selectivity;  8. the sum over records.
//
// Every formula is evaluated in the order it is written for the model (left to right, powers
// first, squares as x * x); only quantities that are bit-for-bit the same are hoisted out of the
// loops. Published fits are compared with these numbers to the last digits.

namespace orvanta {

namespace {

constexpr double pi = std::numbers::pi;
constexpr double daysPerYear = 365.0;
constexpr double cycleFrequency = 2.0 * pi / 365.0; // w: one cycle per 365 days
constexpr double cdfLowerEnd = -10.0;               // Phi(z) - Phi(-10) stands for Phi(z)
constexpr double negligibleTailZ = -5.0;            // z at or below: no truncation
constexpr double certainProbability = 0.999999;     // P at or above: l1 beyond all L-infinity
constexpr double linfJustAboveSize = 1e-6;
constexpr double gaussianVarianceFloor = 1e-6;
constexpr int gridIntervals = 40; // L-infinity and k grid for b > 0
constexpr int gridPoints = gridIntervals + 1;
constexpr double gridStepsPerSd = 5.0;   // grid step = sd / 5: 8 sd spanned
constexpr double abandonedMoment = 1e-6; // mean and variance when l1 >= L
constexpr double weightSumLow = 0.999;
constexpr double weightSumHigh = 1.001;
constexpr double selectionStart = 0.001;
constexpr double selectionSds = 5.0;
constexpr double negligibleBeyondSds = 40.0; // a normal density there is below 1e-347
constexpr double quietNaN = std::numeric_limits<double>::quiet_NaN();

// What every record shares in one evaluation.
struct IncrementSettings {
    double Linf = 0.0;
    double varLinf = 0.0;
    double sdLinf = 0.0;
    double twoVarLinf = 0.0;
    double linfDensityNorm = 0.0; // sqrt(2 pi varLinf)
    bool varLinfAtFloor = false;
    double k = 0.0;
    double vark = 0.0;
    bool varkAtFloor = false;
    double kStep = 0.0;         // hK = sqrt(vark) / 5
    double b = 0.0;
    bool sizeDependentK = false; // b is not 0 (a NaN b propagates through the b > 0 path)
    double aK = 0.0;
    double dayK = 0.0;
    double aL = 0.0;
    double dayL = 0.0;
    double m = 0.0; // measurement SE, per cent of size
    double t0 = notUsed;
    bool selectivity = false;
    double selMean = 0.0;
    double selSd = 0.0; // sqrt(selVar), selVar = p20 squared
    bool gammaErrors = false;
    bool lean = true; // IncrementArithmetic::Lean
};

// e^v and ln v for every element: by the vector functions in the lean arithmetic, by the C
// library in the reference arithmetic.
void expAll(std::span<double> values, bool lean)
{
    if (lean)
        return expInPlace(values);
    for (double& value : values)
        value = std::exp(value);
}

void logAll(std::span<double> values, bool lean)
{
    if (lean)
        return logInPlace(values);
    for (double& value : values)
        value = std::log(value);
}

IncrementSettings makeSettings(const ModelParameters& params, const std::vector<double>& p,
                               IncrementErrorType type, IncrementArithmetic arithmetic)
{
    IncrementSettings s;
    s.lean = arithmetic == IncrementArithmetic::Lean;
    s.Linf = params.Linf;
    s.varLinf = params.varLinf;
    s.sdLinf = std::sqrt(params.varLinf);
    s.twoVarLinf = 2.0 * params.varLinf;
    s.linfDensityNorm = std::sqrt(2.0 * pi * params.varLinf);
    s.varLinfAtFloor = params.varLinfAtFloor();
    s.k = params.k;
    s.vark = params.vark;
    s.varkAtFloor = params.varkAtFloor();
    s.kStep = std::sqrt(params.vark) / gridStepsPerSd;
    s.b = params.b;
    s.sizeDependentK = params.b != 0.0;
    s.aK = p.at(5);
    s.dayK = p.at(6);
    s.aL = p.at(7);
    s.dayL = p.at(8);
    s.m = p.at(9);
    s.t0 = p.at(18);
    s.selectivity = p.at(18) != notUsed && p.at(19) != notUsed && p.at(20) != notUsed;
    s.selMean = p.at(19);
    const double selVar = p.at(20) * p.at(20);
    s.selSd = std::sqrt(selVar);
    s.gammaErrors = type == IncrementErrorType::Gamma || s.sizeDependentK;
    return s;
}

// The prediction for one record: steps 1 to 5.
struct RecordGrowth {
    double l1 = 0.0;
    double dt = 0.0;
    double cycleK = 0.0;
    double cycleL = 0.0;
    double S1 = 0.0;  // exp(-cycleK)
    double S2 = 0.0;  // exp(-2 cycleK)
    double muL = 0.0; // seasonal mean of L-infinity
    double E1 = 0.0;  // E[exp(-K dt)]
    double E2 = 0.0;  // E[exp(-2 K dt)]
    double varE = 0.0; // Var[exp(-K dt)] = E2 - E1^2, computed without cancellation
    double P = 0.0;   // share of L-infinity below l1
    double expectedLinf = 0.0;
    double expectedLinfSquare = 0.0;
    double mean = 0.0; // of the true increment
    double variance = 0.0;
};

// Time at large in years; size-at-age data (t0 given) count ages in years from t0.
double timeAtLarge(const IncrementRecord& record, const IncrementSettings& s)
{
    if (s.t0 == notUsed)
        return (record.endDay - record.startDay) / daysPerYear;
    return record.endDay - (s.t0 + record.startDay);
}

// The change of a sinusoidal annual cycle between start and end day.
double annualCycle(double amplitude, double dayOfMaximum, const IncrementRecord& record)
{
    return amplitude * (std::sin(cycleFrequency * (record.endDay - dayOfMaximum)) -
                        std::sin(cycleFrequency * (record.startDay - dayOfMaximum)));
}

void storeGrowthRateFactors(const IncrementSettings& s, RecordGrowth& g)
{
    const GrowthRateFactors f = growthRateFactors(s.k, s.vark, s.varkAtFloor, g.dt);
    g.E1 = f.E1;
    g.E2 = f.E2;
    g.varE = f.variance;
}

// First and second moments of L-infinity given that it exceeds l1 (the animal has reached l1).
void conditionalLinf(const IncrementSettings& s, RecordGrowth& g)
{
    const double z = (g.l1 - g.muL) / s.sdLinf;
    if (z > negligibleTailZ) {
        g.P = normalProbability(cdfLowerEnd, z);
        if (g.P >= certainProbability) {
            g.expectedLinf = g.l1 + linfJustAboveSize;
            g.expectedLinfSquare = (g.l1 + linfJustAboveSize) * (g.l1 + linfJustAboveSize);
        } else {
            const detail::PartialMoments M = s.lean
                                                 ? detail::normalPartialMoments12Lean(g.l1, g.muL, s.varLinf)
                                                 : detail::normalPartialMoments12(g.l1, g.muL, s.varLinf);
            g.expectedLinf = M.first / (1.0 - g.P);
            g.expectedLinfSquare = M.second / (1.0 - g.P);
        }
    } else {
        g.P = 0.0;
        g.expectedLinf = g.muL;
        g.expectedLinfSquare = g.muL * g.muL + s.varLinf;
    }
}

// Steps 1 to 4.
RecordGrowth predictGrowthFactors(const IncrementRecord& record, const IncrementSettings& s)
{
    RecordGrowth g;
    g.l1 = record.initialSize;
    g.dt = timeAtLarge(record, s);
    g.cycleK = annualCycle(s.aK, s.dayK, record);
    g.cycleL = annualCycle(s.aL, s.dayL, record);
    g.S1 = std::exp(-g.cycleK);
    g.S2 = std::exp(-2.0 * g.cycleK);
    g.muL = s.Linf - s.aL + g.cycleL;
    storeGrowthRateFactors(s, g);
    conditionalLinf(s, g);
    return g;
}

// Step 5a: increment = (L-infinity - l1)(1 - S1 exp(-K dt)) with L-infinity and K independent.
void vonBertalanffyMoments(RecordGrowth& g)
{
    const double VL = g.expectedLinfSquare - g.expectedLinf * g.expectedLinf;
    const double D = g.expectedLinf - g.l1;
    g.mean = D * (1.0 - g.S1 * g.E1);
    g.variance = VL * (1.0 - 2.0 * g.S1 * g.E1 + g.S2 * g.E2) + (D * D) * g.S2 * g.varE;
}

// The 41 x 41 grid of step 5b: points and weights of L-infinity and of K, computed once per
// record; count is 1 for a variance at its floor (a single point of weight 1).
struct GridAxis {
    std::array<double, gridPoints> point{};
    std::array<double, gridPoints> weight{};
    int count = 1;
};

void linfAxis(const IncrementSettings& s, const RecordGrowth& g, GridAxis& axis)
{
    if (s.varLinfAtFloor) {
        axis.count = 1;
        axis.point[0] = g.muL;
        axis.weight[0] = 1.0;
        return;
    }
    const double VL = g.expectedLinfSquare - g.expectedLinf * g.expectedLinf;
    const double hL = std::sqrt(VL) / gridStepsPerSd;
    double L0 = g.expectedLinf - 20.0 * hL + 0.5 * hL;
    if (!(L0 > g.l1))
        L0 = g.l1 + 0.5 * hL;
    axis.count = gridPoints;
    for (int i = 0; i < gridPoints; ++i) {
        const double L = L0 + i * hL;
        const double deviation = L - g.muL;
        axis.point[i] = L;
        axis.weight[i] = -(deviation * deviation) / s.twoVarLinf;
    }
    expAll(axis.weight, s.lean);
    for (double& weight : axis.weight) {
        const double density = weight / s.linfDensityNorm;
        weight = density * hL / (1.0 - g.P);
    }
}

// K ~ gamma with mean kc = k + cycleK and variance vark; kc > 0 is the caller's to ensure.
void kAxis(const IncrementSettings& s, double kc, GridAxis& axis)
{
    if (s.varkAtFloor) {
        axis.count = 1;
        axis.point[0] = kc;
        axis.weight[0] = 1.0;
        return;
    }
    const double hK = s.kStep;
    double K0 = kc - 20.0 * hK + 0.5 * hK;
    if (!(K0 > 0.0))
        K0 = 0.5 * hK;
    const double shape = kc * kc / s.vark;
    const double scale = s.vark / kc;
    const double lnNorm = shape * std::log(scale) + lnGamma(shape);
    axis.count = gridPoints;
    for (int j = 0; j < gridPoints; ++j)
        axis.point[j] = K0 + j * hK;
    axis.weight = axis.point;
    logAll(axis.weight, s.lean);
    for (int j = 0; j < gridPoints; ++j)
        axis.weight[j] = (shape - 1.0) * axis.weight[j] - axis.point[j] / scale - lnNorm;
    expAll(axis.weight, s.lean);
    for (double& weight : axis.weight)
        weight = weight * hK;
}

struct GridSums {
    double w = 0.0;
    double wg = 0.0;
    double wg2 = 0.0;
};

// exp(-K dt) and exp(-b L dt) of the grid's columns and rows, whose products are the lean
// arithmetic's exp(-(b L + K) dt) at its points.
struct GridDecay {
    std::array<double, gridPoints> column{};
    std::array<double, gridPoints> row{};
};

GridDecay gridDecay(const IncrementSettings& s, const RecordGrowth& g, const GridAxis& Ls, const GridAxis& Ks)
{
    GridDecay decay;
    for (int j = 0; j < Ks.count; ++j)
        decay.column[j] = -Ks.point[j] * g.dt;
    for (int i = 0; i < Ls.count; ++i)
        decay.row[i] = -(s.b * Ls.point[i]) * g.dt;
    expInPlace(std::span(decay.column).first(static_cast<std::size_t>(Ks.count)));
    expInPlace(std::span(decay.row).first(static_cast<std::size_t>(Ls.count)));
    return decay;
}

// Accumulates the grid over pairs (L outer, K inner); false when some L is not above l1. The
// reference arithmetic takes exp(-(b L + K) dt) at every point, the lean one the product of the
// row's and the column's exponentials.
bool accumulateGrid(const IncrementSettings& s, const RecordGrowth& g, const GridAxis& Ls, const GridAxis& Ks,
                    GridSums& sums)
{
    std::array<double, gridPoints> KplusBl1{};
    const double bl1 = s.b * g.l1;
    for (int j = 0; j < Ks.count; ++j)
        KplusBl1[j] = Ks.point[j] + bl1;
    const GridDecay decay = s.lean ? gridDecay(s, g, Ls, Ks) : GridDecay{};
    for (int i = 0; i < Ls.count; ++i) {
        const double L = Ls.point[i];
        if (g.l1 >= L)
            return false;
        const double bL = s.b * L;
        const double LminusL1 = L - g.l1;
        const double wL = Ls.weight[i];
        for (int j = 0; j < Ks.count; ++j) {
            const double K = Ks.point[j];
            const double w = wL * Ks.weight[j];
            const double c = bL + K;
            const double E = K * LminusL1 / (L * KplusBl1[j]);
            const double q = s.lean ? decay.row[i] * decay.column[j] : std::exp(-c * g.dt);
            const double bLE = bL * E;
            const double increment = L * K * E * c * (1.0 - q) / ((bLE * q + K) * (bLE + K));
            sums.w += w;
            sums.wg += w * increment;
            sums.wg2 += w * (increment * increment);
        }
    }
    return true;
}

std::string cumulativeProbabilityWarning(double weightSum, int record)
{
    return "Warning: Cumulative probability outside the range 0.999 to 1.001 @" +
           padToWidth(formatNumber(weightSum, "0.000"), 6) + " for increment record " + numberText(record) +
           "\n" +
           "         The most likely reason for this is a poor choice for one or more parameter values.\n";
}

std::string ignoredRecordWarning(int record)
{
    return "Warning regarding data input: increment #" + numberText(record) +
           " <= 0 and measurement error is zero; record ignored\n";
}

void noteFailure(ModelState& state, int record, const char* what)
{
    if (state.arithmeticFailure.empty())
        state.arithmeticFailure = "increment record " + numberText(record) + ": " + what;
}

// Step 5b: growth L(t) = Linf k (1 - exp(-c t)) / (k + b Linf exp(-c t)), c = k + b Linf,
// integrated over the L-infinity and K grid. False on an arithmetic failure.
bool sizeDependentMoments(const IncrementSettings& s, RecordGrowth& g, int record, ModelState& state,
                          ModelHost& host)
{
    const double kc = s.k + g.cycleK;
    if (kc <= 0.0) {
        noteFailure(state, record, "k + annual cycle in k is not positive");
        return false;
    }
    GridAxis Ls;
    GridAxis Ks;
    linfAxis(s, g, Ls);
    kAxis(s, kc, Ks);
    GridSums sums;
    if (!accumulateGrid(s, g, Ls, Ks, sums)) {
        // Some L-infinity of the grid is not above l1: the gamma error model gets shape 1e-6
        // and scale 1.
        g.mean = abandonedMoment;
        g.variance = abandonedMoment;
        return true;
    }
    g.mean = sums.wg / sums.w;
    g.variance = sums.wg2 / sums.w - g.mean * g.mean;
    if (sums.w < weightSumLow || sums.w > weightSumHigh)
        host.appendToSummary(cumulativeProbabilityWarning(sums.w, record));
    return true;
}

// The error model of one record (step 6) with everything that does not depend on the observed
// increment, so that step 7 can evaluate the record's likelihood at any increment x.
enum class ErrorModel {
    GaussianExact,     // m = 0: normal truncated at 0
    GaussianWide,      // m > 0, truncation negligible: normal of variance V + mv
    GaussianConvolved, // m > 0: truncated normal convolved with measurement error
    GammaExact,        // m = 0
    GammaConvolved,    // m > 0
};

struct RecordErrorModel {
    ErrorModel kind = ErrorModel::GaussianExact;
    double mu = 0.0; // Gaussian: untruncated mean and variance
    double V = 0.0;
    double twoVariance = 0.0; // 2 V or 2 T
    double lnSqrtTwoPiVariance = 0.0;
    double lnOneLessP0 = 0.0;
    double T = 0.0;    // V + mv
    double P0 = 0.0;   // Gaussian: probability of a negative true increment
    bool truncated = false; // Gaussian: truncation at 0 not negligible (zt > -5)
    double mv = 0.0;   // measurement variance of the increment
    double mean = 0.0; // gamma: moments, shape, scale and norm
    double variance = 0.0;
    double a = 0.0;
    double s = 0.0;
    double lnNorm = 0.0;
    double sd = 0.0; // SD of the observed increment, for the selectivity step
    bool lean = true; // IncrementArithmetic::Lean

    double nll(double x)
    {
        switch (kind) {
        case ErrorModel::GaussianExact:
        case ErrorModel::GaussianWide: {
            const double deviation = x - mu;
            const double value = deviation * deviation / twoVariance + lnSqrtTwoPiVariance;
            return kind == ErrorModel::GaussianExact ? value + lnOneLessP0 : value;
        }
        case ErrorModel::GaussianConvolved:
            return lean ? detail::convolvedGaussianNllLean(P0, x, mu, V, mv)
                        : convolvedGaussianNll(P0, x, mu, V, mv);
        case ErrorModel::GammaExact:
            return -(a - 1.0) * std::log(x) + x / s + lnNorm;
        case ErrorModel::GammaConvolved:
            return lean ? detail::convolvedGammaNllLean(x, mean, variance, a, s, lnNorm, mv)
                        : convolvedGammaNll(x, mean, variance, a, s, lnNorm, mv);
        }
        return quietNaN;
    }
};

// Measurement variance of an increment: both sizes carry an SE of m per cent.
double measurementVariance(const IncrementSettings& s, const RecordGrowth& g)
{
    if (s.m == 0.0)
        return 0.0;
    const double seEnd = s.m / 100.0 * (g.mean + g.l1);
    const double seStart = s.m / 100.0 * g.l1;
    return seEnd * seEnd + seStart * seStart;
}

// Gaussian errors (b = 0): the untruncated prediction, truncated at an increment of 0.
bool gaussianErrorModel(const IncrementSettings& s, const RecordGrowth& g, RecordErrorModel& e, int record,
                        ModelState& state)
{
    e.mu = (g.muL - g.l1) * (1.0 - g.S1 * g.E1);
    const double D = g.expectedLinf - g.l1;
    e.V = g.varE * (D * D) * g.S2 + (1.0 - 2.0 * g.S1 * g.E1 + g.S2 * g.E2) * s.varLinf;
    if (e.V < gaussianVarianceFloor)
        e.V = gaussianVarianceFloor;
    const double zt = -e.mu / std::sqrt(e.V);
    e.truncated = zt > negligibleTailZ;
    e.P0 = e.truncated ? normalProbability(cdfLowerEnd, zt) : 0.0;
    if (s.m == 0.0) {
        if (1.0 - e.P0 <= 0.0) {
            noteFailure(state, record, "a negative increment is certain (P0 = 1), ln(1 - P0) is undefined");
            return false;
        }
        e.kind = ErrorModel::GaussianExact;
        e.twoVariance = 2.0 * e.V;
        e.lnSqrtTwoPiVariance = std::log(std::sqrt(2.0 * pi * e.V));
        e.lnOneLessP0 = std::log(1.0 - e.P0);
        e.sd = std::sqrt(g.variance);
    } else if (zt > negligibleTailZ) {
        e.kind = ErrorModel::GaussianConvolved;
        e.sd = std::sqrt(g.variance + e.mv);
    } else {
        e.kind = ErrorModel::GaussianWide;
        e.T = e.V + e.mv;
        e.twoVariance = 2.0 * e.T;
        e.lnSqrtTwoPiVariance = std::log(std::sqrt(2.0 * pi * e.T));
        e.sd = std::sqrt(e.T);
    }
    return true;
}

bool gammaErrorModel(const IncrementSettings& s, const RecordGrowth& g, RecordErrorModel& e, int record,
                     ModelState& state)
{
    if (g.mean <= 0.0) {
        noteFailure(state, record, "the mean increment is not positive, no gamma distribution has it");
        return false;
    }
    e.mean = g.mean;
    e.variance = g.variance;
    e.a = g.mean * g.mean / g.variance;
    e.s = g.variance / g.mean;
    e.lnNorm = e.a * std::log(e.s) + lnGamma(e.a);
    e.kind = s.m == 0.0 ? ErrorModel::GammaExact : ErrorModel::GammaConvolved;
    e.sd = std::sqrt(s.m == 0.0 ? g.variance : g.variance + e.mv);
    return true;
}

// Size-at-age selection at size x: Phi((x - selMean) / selSd).
double selection(const IncrementSettings& s, double x)
{
    return normalProbability(cdfLowerEnd, (x - s.selMean) / s.selSd);
}

// Whether step 7 applies to a record: the selectivity is on and the lower tail of the
// prediction reaches the selection range.
bool selectionApplies(const IncrementSettings& s, const RecordGrowth& g, const RecordErrorModel& e)
{
    return s.selectivity && g.mean - selectionSds * e.sd < s.selMean + selectionSds * s.selSd;
}

// Where the integrand of step 7 matters and how finely it varies. The density exp(-nll(x)) of
// the observed increment lies within 40 SDs of its mean (for gamma errors also 40 scales, the
// reach of the exponential tail), and sel(x) is 0 more than 40 of its SDs below its mean. The
// density of Gaussian errors is a normal one of variance V or T (truncated and convolved with
// the measurement error, whose SD then counts too); that of gamma errors is not smooth near 0
// when its shape is below 1, so its panels are never joined.
IntegrandExtent selectionExtent(const IncrementSettings& s, const RecordErrorModel& e)
{
    IntegrandExtent extent;
    double centre = e.mu;
    double reach = e.sd;
    switch (e.kind) {
    case ErrorModel::GaussianExact:
        extent.narrowestSd = std::sqrt(e.V);
        break;
    case ErrorModel::GaussianWide:
        extent.narrowestSd = std::sqrt(e.T);
        break;
    case ErrorModel::GaussianConvolved:
        extent.narrowestSd = std::min(std::sqrt(e.V), std::sqrt(e.mv));
        reach = std::max(reach, std::sqrt(e.V + e.mv));
        break;
    case ErrorModel::GammaExact:
    case ErrorModel::GammaConvolved:
        centre = e.mean;
        reach = std::max(reach, e.s);
        break;
    }
    reach = std::max(reach, extent.narrowestSd);
    extent.narrowestSd = std::min(extent.narrowestSd, s.selSd);
    extent.low = std::max(centre - negligibleBeyondSds * reach, s.selMean - negligibleBeyondSds * s.selSd);
    extent.high = centre + negligibleBeyondSds * reach;
    return extent;
}

// Step 7's integral A of exp(-nll(x)) sel(x) over the increments x. A failure is noted in the
// state and named in the result.
SelectionIntegral selectionIntegral(const IncrementSettings& s, const RecordGrowth& g, RecordErrorModel& e,
                                    int record, ModelState& state)
{
    if (s.selSd == 0.0) {
        SelectionIntegral zeroSd;
        zeroSd.failure = "the SD of the size-at-age selectivity is zero";
        noteFailure(state, record, zeroSd.failure);
        return zeroSd;
    }
    SelectionPanels panels;
    panels.start = selectionStart;
    panels.fineStep = std::min(e.sd / 5.0, s.selSd / 5.0);
    panels.fineUntil = s.selMean + selectionSds * s.selSd;
    panels.coarseStep = e.sd / 5.0;
    panels.upper = s.Linf + g.cycleL + selectionSds * s.sdLinf;
    const bool convolved = e.kind == ErrorModel::GaussianConvolved || e.kind == ErrorModel::GammaConvolved;
    const SelectionIntegral A = integrateSelection(
        panels, selectionExtent(s, e), [&](double x) { return std::exp(-e.nll(x)) * selection(s, x); },
        convolved ? convolvedIntegrandLimits : plainIntegrandLimits);
    if (A.failed())
        noteFailure(state, record, A.failure);
    return A;
}

// Step 7: the record's likelihood conditional on size-at-age selection,
// nll - ln sel(d) + ln A with A = integral of exp(-nll(x)) sel(x) dx. False on a failure.
bool applySelectivity(const IncrementSettings& s, const RecordGrowth& g, RecordErrorModel& e, double d,
                      RecordResult& result, int record, ModelState& state)
{
    if (!selectionApplies(s, g, e))
        return true;
    const SelectionIntegral A = selectionIntegral(s, g, e, record, state);
    result.selectionPanels = A.panels;
    if (A.failed())
        return false;
    result.recordNll = result.recordNll - std::log(selection(s, d)) + std::log(A.area);
    return true;
}

// Step 6's error model of a record that is not ignored. False on a failure.
bool errorModel(const IncrementSettings& s, const RecordGrowth& g, int record, ModelState& state,
                RecordErrorModel& e)
{
    e.mv = measurementVariance(s, g);
    e.lean = s.lean;
    return s.gammaErrors ? gammaErrorModel(s, g, e, record, state) : gaussianErrorModel(s, g, e, record, state);
}

// Steps 6 and 7 for a record that is not ignored. False on a failure.
bool recordLikelihood(const IncrementSettings& s, const RecordGrowth& g, double d, int record,
                      ModelState& state, RecordResult& result)
{
    RecordErrorModel e;
    if (!errorModel(s, g, record, state, e))
        return false;
    result.recordNll = e.nll(d);
    return !s.selectivity || applySelectivity(s, g, e, d, result, record, state);
}

// Step 5 for record i: the moments of the true increment. False on a failure.
bool incrementMoments(const IncrementSettings& s, RecordGrowth& g, int i, ModelState& state, ModelHost& host)
{
    if (!s.sizeDependentK) {
        vonBertalanffyMoments(g);
        return true;
    }
    // Sorted data let a record with the previous record's initial size and time at large share
    // its prediction (even when the annual cycles differ between the two).
    if (i > 1) {
        const RecordResult& previous = state.recordResults[i - 1];
        if (state.increments.records[i - 1].initialSize == g.l1 && previous.timeAtLarge == g.dt) {
            g.mean = previous.meanIncrement;
            g.variance = previous.incrementVariance;
            return true;
        }
    }
    return sizeDependentMoments(s, g, i, state, host);
}

void storeGrowth(const RecordGrowth& g, RecordResult& result)
{
    result.timeAtLarge = g.dt;
    result.expectedLinf = g.expectedLinf;
    result.expectedLinfSquare = g.expectedLinfSquare;
    result.meanIncrement = g.mean;
    result.incrementVariance = g.variance;
}

} // namespace

GrowthRateFactors growthRateFactors(double k, double vark, bool varkAtFloor, double dt)
{
    GrowthRateFactors f;
    if (varkAtFloor) {
        f.E1 = std::exp(-k * dt);
        f.E2 = std::exp(-2.0 * k * dt);
        f.variance = f.E2 - f.E1 * f.E1;
        return f;
    }
    const double x = vark * dt / k;
    const double shape = k * k / vark;
    f.E1 = std::exp(-shape * std::log1p(x));
    f.E2 = std::exp(-shape * std::log1p(2.0 * x));
    // ln E2 - 2 ln E1 = -shape ln((1 + 2x) / (1 + x)^2) = -shape ln(1 - (x / (1 + x))^2).
    const double u = x / (1.0 + x);
    f.variance = f.E1 * f.E1 * std::expm1(-shape * std::log1p(-(u * u)));
    return f;
}

double incrementPart(ModelState& state, const ModelParameters& params, const std::vector<double>& p,
                     ModelHost& host, IncrementArithmetic arithmetic)
{
    const IncrementSettings settings = makeSettings(params, p, state.incrementErrorType, arithmetic);
    const int count = state.increments.recordCount;
    state.recordResults.assign(static_cast<size_t>(count) + 1, RecordResult{});
    double total = 0.0;
    for (int i = 1; i <= count; ++i) {
        host.ui().processPendingEvents();
        if (host.programEnded())
            return quietNaN;
        const IncrementRecord& record = state.increments.records[i];
        RecordResult& result = state.recordResults[i];
        RecordGrowth growth = predictGrowthFactors(record, settings);
        const bool grown = incrementMoments(settings, growth, i, state, host);
        storeGrowth(growth, result);
        if (!grown) {
            result.recordNll = quietNaN;
            return quietNaN;
        }
        const double d = record.increment;
        if (d <= 0.0 && settings.m == 0.0) {
            host.appendToSummary(ignoredRecordWarning(i));
            result.recordNll = 0.0;
            continue;
        }
        if (!recordLikelihood(settings, growth, d, i, state, result)) {
            result.recordNll = quietNaN;
            return quietNaN;
        }
        total += result.recordNll;
    }
    return total;
}

RecordDensityResult forEachRecordDensity(const ModelState& state, const ModelParameters& params,
                                         const std::vector<double>& p, ModelHost& host,
                                         const std::function<bool(int record)>& beforeRecord,
                                         const std::function<void(const RecordDensity& density)>& visit)
{
    ModelState scratch = state; // the predictions fill its per-record results, not the model's
    const IncrementSettings settings =
        makeSettings(params, p, scratch.incrementErrorType, IncrementArithmetic::Lean);
    const int count = scratch.increments.recordCount;
    scratch.recordResults.assign(static_cast<size_t>(count) + 1, RecordResult{});
    for (int i = 1; i <= count; ++i) {
        if (!beforeRecord(i))
            return RecordDensityResult::Stopped;
        RecordGrowth growth = predictGrowthFactors(scratch.increments.records[i], settings);
        const bool grown = incrementMoments(settings, growth, i, scratch, host);
        storeGrowth(growth, scratch.recordResults[i]);
        RecordErrorModel e;
        if (!grown || !errorModel(settings, growth, i, scratch, e))
            return RecordDensityResult::Failed;
        std::optional<double> A;
        if (selectionApplies(settings, growth, e)) {
            const SelectionIntegral integral = selectionIntegral(settings, growth, e, i, scratch);
            if (integral.failed())
                return RecordDensityResult::Failed;
            A = integral.area;
        }
        // Truncated at zero without measurement error (Gaussian), or no mass at or below zero
        // without measurement error (gamma): no density there.
        const bool truncatedGaussian = e.kind == ErrorModel::GaussianExact && e.truncated;
        const bool exactGamma = e.kind == ErrorModel::GammaExact;
        RecordDensity density;
        density.meanIncrement = growth.mean;
        density.sd = e.sd;
        density.density = [&](double x) {
            if ((truncatedGaussian && x < 0.0) || (exactGamma && x <= 0.0))
                return 0.0;
            double nll = e.nll(x);
            if (A) {
                const double selected = selection(settings, x);
                if (!(selected > 0.0))
                    return 0.0;
                nll = nll - std::log(selected) + std::log(*A);
            }
            return std::exp(-nll);
        };
        visit(density);
    }
    return RecordDensityResult::Done;
}

} // namespace orvanta
