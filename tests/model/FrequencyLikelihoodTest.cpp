#include "model/FrequencyLikelihood.h"

#include "model/ModelParameters.h"
#include "model/ModelState.h"
#include "support/FakeModelHost.h"

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

using testing::FakeModelHost;
using testing::Interaction;

const std::string truncationText = "Maximum size truncated to 250 units; results could be compromised";
const std::string truncationTitle = "Abs(size) exceeds the maximum of 250 units";

// ---------------------------------------------------------------------------------------------
// Building inputs

// One growth class: L-infinity and k fixed (both variances at their floors), no fishing,
// no measurement error, no selectivity.
ModelParameters fixedGrowth(double Linf, double k, double z)
{
    ModelParameters m;
    m.Linf = Linf;
    m.k = k;
    m.z = z;
    return m;
}

ModelParameters withSds(ModelParameters m, double sdLinf, double sdK)
{
    m.varLinf = std::max(sdLinf * sdLinf, varLinfFloor);
    m.vark = std::max(sdK * sdK, varkFloor);
    return m;
}

// Cells of the given width; observed frequencies from `observedOf` for read cells from
// firstCell on, zero elsewhere as the data reader stores them; N their sum.
FrequencyData cells(double width, int cellCount, int firstCell, const std::function<double(int)>& observedOf)
{
    FrequencyData data;
    data.cellWidth = width;
    data.cellCount = cellCount;
    data.firstCell = firstCell;
    for (int c = 1; c <= cellCount; ++c) {
        data.midpoint[c] = (c - 0.5) * width;
        data.observed[c] = c >= firstCell ? observedOf(c) : 0.0;
        data.N += data.observed[c];
        if (data.observed[c] != 0.0)
            data.lastNonZeroCell = c;
    }
    return data;
}

// A smooth hump of counts over unit cells 1..120.
FrequencyData humpData()
{
    return cells(1.0, 120, 1, [](int c) { return std::round(40.0 * std::exp(-std::pow((c - 50.0) / 25.0, 2))); });
}

struct Evaluation {
    double G = 0.0;
    SizeArray u{};
    CellArray predicted{};
    std::string failure;
    int yields = 0;
    std::vector<Interaction> messages;
};

Evaluation evaluate(FakeModelHost& host, const ModelParameters& m, const FrequencyData& data = humpData())
{
    ModelState state;
    state.frequencies = data;
    Evaluation e;
    const int yieldsBefore = host.scriptedUi.yieldCount();
    const std::size_t messagesBefore = host.scriptedUi.messages().size();
    e.G = frequencyPart(state, m, host);
    e.u = state.unitDensity;
    e.predicted = state.predicted;
    e.failure = state.arithmeticFailure;
    e.yields = host.scriptedUi.yieldCount() - yieldsBefore;
    const std::vector<Interaction> all = host.scriptedUi.messages();
    e.messages.assign(all.begin() + static_cast<std::ptrdiff_t>(messagesBefore), all.end());
    return e;
}

// An evaluation that must not show any message (the scripted interface fails the test if it
// does).
Evaluation evaluate(const ModelParameters& m, const FrequencyData& data = humpData())
{
    FakeModelHost host;
    return evaluate(host, m, data);
}

// ---------------------------------------------------------------------------------------------
// Independent references

double Phi(double z) { return 0.5 * std::erfc(-z / std::numbers::sqrt2); }

// d ln n / dx of one class: the steady state of the flux n g under mortality, d(n g)/dx = -Z n,
// gives dn/dx = n (K - b (L - 2x) - Z(x)) / ((K + b x)(L - x)).
double logDensitySlope(const ModelParameters& m, double K, double L, double x)
{
    double Z = m.z * std::exp(-m.zSize * x);
    if (m.fishLow <= x && x <= m.fishHigh)
        Z += m.F;
    return (K - m.b * (L - 2.0 * x) - Z) / ((K + m.b * x) * (L - x));
}

// n(x) / n(0) = exp(integral from 0 to x of d ln n / dt), by Simpson's rule with 400 panels
// per unit: an accurate solution independent of the unit Runge-Kutta steps.
std::vector<double> densityRatios(const ModelParameters& m, double K, double L, int upTo)
{
    constexpr int panels = 400;
    const double h = 1.0 / panels;
    std::vector<double> ratios{1.0};
    double integral = 0.0;
    for (int x = 0; x < upTo; ++x) {
        for (int i = 0; i < panels; ++i) {
            const double t = x + i * h;
            integral += (logDensitySlope(m, K, L, t) + 4.0 * logDensitySlope(m, K, L, t + h / 2.0) +
                         logDensitySlope(m, K, L, t + h)) * h / 6.0;
        }
        ratios.push_back(std::exp(integral));
    }
    return ratios;
}

// ---------------------------------------------------------------------------------------------
// One growth class

// With b = 0, zSize = 0 and F = 0: dn/dx = n (K - Z) / (K (L - x)), so
// ln n = -((K - Z) / K) ln(L - x) + c, n(x) proportional to (L - x)^p with p = (Z - K) / K, and
// after the normalization by u(0), u(x) = ((L - x) / L)^p. The unit Runge-Kutta steps lose
// accuracy towards the singular point L; their relative error in u(x) falls like
// ((|p| + 1) / (L - x))^4.
TEST(FrequencyPartOneClass, MatchesClosedFormBelowL)
{
    struct Row { double L, K, z; };
    for (const Row row : {Row{100.5, 0.2, 1.0}, Row{150.3, 0.5, 0.3}, Row{60.7, 0.1, 0.8}, Row{240.25, 0.3, 0.9}}) {
        SCOPED_TRACE(::testing::Message() << "L " << row.L << " K " << row.K << " z " << row.z);
        const Evaluation e = evaluate(fixedGrowth(row.L, row.K, row.z));
        const double p = (row.z - row.K) / row.K;
        const int top = static_cast<int>(row.L);
        ASSERT_EQ(e.failure, "");
        EXPECT_EQ(e.yields, 1); // one class
        EXPECT_EQ(e.u[0], 1.0);
        for (int x = 0; x <= top; ++x)
            EXPECT_GT(e.u[x], 0.0) << "x " << x;
        for (int x = top + 1; x <= maxSize; ++x)
            EXPECT_EQ(e.u[x], 0.0) << "x " << x;
        for (int x = 0; x <= top - 10; ++x) {
            const double tolerance = 1e-7 + 0.05 * std::pow((std::fabs(p) + 1.0) / (row.L - x), 4);
            EXPECT_NEAR(e.u[x] / std::pow((row.L - x) / row.L, p), 1.0, tolerance) << "x " << x;
        }
    }
}

TEST(FrequencyPartOneClass, MatchesAccurateSolutionWithSizeDependentGrowthAndMortality)
{
    struct Row { double L, K, z, zSize, b; };
    for (const Row row : {Row{120.4, 0.15, 0.6, 0.01, 0.002}, Row{80.2, 0.3, 1.0, 0.0, 0.01},
                          Row{200.6, 0.05, 0.2, 0.02, 0.0}, Row{50.5, 0.4, 0.5, 0.05, 0.03}}) {
        SCOPED_TRACE(::testing::Message() << "L " << row.L << " K " << row.K << " zSize " << row.zSize << " b " << row.b);
        ModelParameters m = fixedGrowth(row.L, row.K, row.z);
        m.zSize = row.zSize;
        m.b = row.b;
        const Evaluation e = evaluate(m);
        const int upTo = static_cast<int>(row.L) - 15;
        const std::vector<double> expected = densityRatios(m, row.K, row.L, upTo);
        ASSERT_EQ(e.failure, "");
        for (int x = 0; x <= upTo; ++x)
            EXPECT_NEAR(e.u[x] / expected[x], 1.0, 2e-7) << "x " << x;
    }
}

// A whole-number L (fixed L-infinity) would put the first Runge-Kutta point where the growth
// rate is 0. The class starts at L - 1 instead, which is the limit of L slightly below and
// slightly above the whole number (densities are relative to u(0) = 1).
TEST(FrequencyPartOneClass, WholeNumberLIsTheLimitOfNearbyL)
{
    struct Row { double L, K, z, zSize, b; };
    for (const Row row : {Row{100.0, 0.2, 1.0, 0.0, 0.0}, Row{60.0, 0.5, 0.3, 0.0, 0.0}, Row{150.0, 0.1, 0.7, 0.01, 0.002},
                          Row{250.0, 0.3, 0.9, 0.0, 0.0}, Row{2.0, 0.4, 1.2, 0.0, 0.0}}) {
        SCOPED_TRACE(::testing::Message() << "L " << row.L << " K " << row.K << " z " << row.z);
        ModelParameters m = fixedGrowth(row.L, row.K, row.z);
        m.zSize = row.zSize;
        m.b = row.b;
        const Evaluation whole = evaluate(m);
        ASSERT_EQ(whole.failure, "");
        ASSERT_TRUE(std::isfinite(whole.G));
        const int L = static_cast<int>(row.L);
        EXPECT_EQ(whole.u[L], 0.0);
        EXPECT_GT(whole.u[L - 1], 0.0);
        for (const double offset : {-1e-9, 1e-9}) {
            SCOPED_TRACE(::testing::Message() << "offset " << offset);
            m.Linf = row.L + offset;
            const Evaluation nearby = evaluate(m);
            for (int x = 0; x <= L; ++x)
                EXPECT_NEAR(nearby.u[x], whole.u[x], 1e-6 * (whole.u[x] + 1.0)) << "x " << x;
            EXPECT_NEAR(nearby.G, whole.G, 1e-6 * std::fabs(whole.G));
        }
    }
}

TEST(FrequencyPartOneClass, LBelowOneGivesAllDensityToTheFirstInterval)
{
    for (const double L : {0.001, 0.5, 1.0}) {
        SCOPED_TRACE(::testing::Message() << "L " << L);
        const Evaluation e = evaluate(fixedGrowth(L, 0.3, 1.0));
        ASSERT_EQ(e.failure, "");
        EXPECT_EQ(e.u[0], 1.0);
        EXPECT_EQ(e.u[1], 0.0);
        EXPECT_NEAR(e.predicted[1], humpData().N, 1e-12 * humpData().N);
        EXPECT_EQ(e.predicted[2], 0.0);
    }
}

// ---------------------------------------------------------------------------------------------
// Growth classes

// The unnormalized density of one class is n(x) / n(0) / ((1 - exp(-K)) L); a single-class run
// returns n(x) / n(0). A mixture, normalized by its u(0), is therefore
// sum w u_class(x) / D / sum w / D with D = (1 - exp(-K)) L.
std::vector<double> mixture(const std::vector<Evaluation>& classes, const std::vector<double>& weights,
                            const std::vector<double>& Ks, const std::vector<double>& Ls)
{
    std::vector<double> u(maxSize + 1, 0.0);
    double atZero = 0.0;
    for (std::size_t i = 0; i < classes.size(); ++i) {
        const double share = weights[i] / ((1.0 - std::exp(-Ks[i])) * Ls[i]);
        atZero += share;
        for (int x = 0; x <= maxSize; ++x)
            u[x] += share * classes[i].u[x];
    }
    for (double& value : u)
        value /= atZero;
    return u;
}

TEST(FrequencyPartClasses, VaryingKIsAGammaWeightedMixtureOfFixedK)
{
    struct Row { double k, sdK; };
    for (const Row row : {Row{0.3, 0.05}, Row{0.2, 0.15}}) {
        SCOPED_TRACE(::testing::Message() << "k " << row.k << " SD " << row.sdK);
        const double Linf = 90.4;
        const Evaluation varying = evaluate(withSds(fixedGrowth(Linf, row.k, 0.8), 0.0, row.sdK));
        ASSERT_EQ(varying.failure, "");

        const double shape = row.k * row.k / (row.sdK * row.sdK);
        const double scale = row.sdK * row.sdK / row.k;
        const double hK = (5.0 * row.sdK + row.k) / 100.0;
        std::vector<Evaluation> classes;
        std::vector<double> weights, Ks, Ls;
        for (int i = 1; i <= 100; ++i) {
            const double K = i * hK;
            const double density = std::exp((shape - 1.0) * std::log(K) - K / scale - shape * std::log(scale) - std::lgamma(shape));
            if (density < 1e-7)
                continue;
            classes.push_back(evaluate(fixedGrowth(Linf, K, 0.8)));
            weights.push_back(density * hK);
            Ks.push_back(K);
            Ls.push_back(Linf);
        }
        EXPECT_EQ(varying.yields, static_cast<int>(classes.size()));
        const std::vector<double> expected = mixture(classes, weights, Ks, Ls);
        for (int x = 0; x <= maxSize; ++x)
            EXPECT_NEAR(varying.u[x], expected[x], 1e-9 * expected[x]) << "x " << x;
    }
}

TEST(FrequencyPartClasses, VaryingLinfIsANormalMixtureOnUnitSpacedL)
{
    struct Row { double Linf, sd; };
    for (const Row row : {Row{100.2, 4.0}, Row{30.5, 8.0}, Row{12.3, 3.0}}) {
        SCOPED_TRACE(::testing::Message() << "Linf " << row.Linf << " SD " << row.sd);
        const double k = 0.35;
        const Evaluation varying = evaluate(withSds(fixedGrowth(row.Linf, k, 0.9), row.sd, 0.0));
        ASSERT_EQ(varying.failure, "");

        // L = int(Linf + 5 SD) + 0.999 counting down, while at least 1 and at least Linf - 5 SD.
        std::vector<Evaluation> classes;
        std::vector<double> weights, Ks, Ls;
        for (double L = std::floor(row.Linf + 5.0 * row.sd) + 0.999; L >= std::max(1.0, row.Linf - 5.0 * row.sd); L -= 1.0) {
            classes.push_back(evaluate(fixedGrowth(L, k, 0.9)));
            weights.push_back(std::exp(-std::pow(L - row.Linf, 2) / (2.0 * row.sd * row.sd)) /
                              (row.sd * std::sqrt(2.0 * std::numbers::pi)));
            Ks.push_back(k);
            Ls.push_back(L);
        }
        EXPECT_EQ(varying.yields, static_cast<int>(classes.size()));
        const std::vector<double> expected = mixture(classes, weights, Ks, Ls);
        for (int x = 0; x <= maxSize; ++x)
            EXPECT_NEAR(varying.u[x], expected[x], 1e-9 * expected[x]) << "x " << x;
    }
}

TEST(FrequencyPartClasses, BothVaryingVisitsEveryPairOnce)
{
    const ModelParameters base = fixedGrowth(100.2, 0.3, 0.8);
    const int kOnly = evaluate(withSds(base, 0.0, 0.06)).yields;
    const int lOnly = evaluate(withSds(base, 4.0, 0.0)).yields;
    const Evaluation both = evaluate(withSds(base, 4.0, 0.06));
    EXPECT_EQ(lOnly, 41); // L = 120.999 down to 80.999
    EXPECT_GT(kOnly, 1);
    EXPECT_EQ(both.yields, kOnly * lOnly);
    EXPECT_EQ(both.failure, "");
    EXPECT_TRUE(std::isfinite(both.G));
}

// ---------------------------------------------------------------------------------------------
// Mortality, measurement error, selectivity

TEST(FrequencyPartFishing, WindowLowersDensityAboveItsLowerLimitOnly)
{
    struct Row { double sdLinf, sdK; };
    for (const Row row : {Row{0.0, 0.0}, Row{6.0, 0.05}}) {
        SCOPED_TRACE(::testing::Message() << "SDs " << row.sdLinf << " " << row.sdK);
        const ModelParameters unfished = withSds(fixedGrowth(120.3, 0.25, 0.7), row.sdLinf, row.sdK);
        ModelParameters fished = unfished;
        fished.fishLow = 50.0;
        fished.fishHigh = 80.0;
        fished.F = 0.5;
        const Evaluation without = evaluate(unfished);
        const Evaluation with = evaluate(fished);
        for (int x = 0; x < 50; ++x)
            EXPECT_NEAR(with.u[x], without.u[x], 1e-12 * without.u[x]) << "x " << x;
        for (int x = 51; x <= 120; ++x)
            EXPECT_LT(with.u[x], without.u[x]) << "x " << x;
    }
}

// With an SD of 0.01 % of the size the whole mass of true interval y (size y - 0.5) is observed
// in [y - 1, y): the observed density is the true one moved down by one unit, and u(0) of the
// true sizes reaches no observed interval.
TEST(FrequencyPartMeasurementError, TinyErrorMovesEachIntervalToTheOneBelow)
{
    ModelParameters m = fixedGrowth(120.3, 0.25, 0.7);
    const Evaluation exact = evaluate(m);
    m.measVar = 0.01 * 0.01;
    const Evaluation measured = evaluate(m);
    for (int x = 0; x < maxSize; ++x)
        EXPECT_NEAR(measured.u[x], exact.u[x + 1] / exact.u[1], 1e-12 * measured.u[x]) << "x " << x;
    EXPECT_EQ(measured.u[maxSize], 0.0);
}

// Observed mass B(x) = sum over y >= 1 of A(y) P(y -> x) keeps the mass of A(1..250) when no
// mass leaves 0..250. Both runs come back divided by their first interval: A(0) and
// B(0) = sum A(y) P(y -> 0), so sum u_measured = sum_{y >= 1} u_exact(y) / sum u_exact(y) P(y -> 0).
TEST(FrequencyPartMeasurementError, ConvolutionConservesMass)
{
    struct Row { double percentSe, sdLinf; };
    for (const Row row : {Row{5.0, 0.0}, Row{10.0, 6.0}, Row{2.0, 3.0}}) {
        SCOPED_TRACE(::testing::Message() << "SE % " << row.percentSe << " SD Linf " << row.sdLinf);
        ModelParameters m = withSds(fixedGrowth(120.3, 0.25, 0.7), row.sdLinf, 0.0);
        const Evaluation exact = evaluate(m);
        m.measVar = row.percentSe * row.percentSe;
        const Evaluation measured = evaluate(m);

        double exactMass = 0.0, toFirstInterval = 0.0, measuredMass = 0.0;
        for (int y = 1; y <= maxSize; ++y) {
            const double size = y - 0.5;
            const double sd = row.percentSe * size / 100.0;
            exactMass += exact.u[y];
            toFirstInterval += exact.u[y] * (Phi((1.0 - size) / sd) - Phi(-size / sd));
        }
        for (int x = 0; x <= maxSize; ++x)
            measuredMass += measured.u[x];
        EXPECT_NEAR(measuredMass, exactMass / toFirstInterval, 1e-5 * measuredMass);
    }
}

TEST(FrequencyPartSelectivity, MultipliesByTheGaussianDistributionFunctionWhenBothTermsAreNonZero)
{
    struct Row { double mean, sd; bool applied; };
    for (const Row row : {Row{30.0, 15.0, true}, Row{70.0, 25.0, true}, Row{30.0, 0.0, false}, Row{0.0, 15.0, false}}) {
        SCOPED_TRACE(::testing::Message() << "mean " << row.mean << " SD " << row.sd);
        ModelParameters m = withSds(fixedGrowth(120.3, 0.25, 0.7), 5.0, 0.0);
        const Evaluation plain = evaluate(m);
        m.selMean = row.mean;
        m.selVar = row.sd * row.sd;
        const Evaluation selected = evaluate(m);
        ASSERT_EQ(selected.failure, "");
        if (!row.applied) {
            EXPECT_EQ(selected.u, plain.u);
            continue;
        }
        // The model's Phi is a polynomial approximation with an absolute error below 7.5e-8.
        auto selectivity = [&](int x) { return Phi((x - row.mean) / row.sd) - Phi(-10.0); };
        const double approximation = 1.5e-7;
        for (int x = 0; x <= 140; ++x) {
            const double expected = selectivity(x) / selectivity(0);
            const double tolerance = expected * (approximation / selectivity(x) + approximation / selectivity(0));
            EXPECT_NEAR(selected.u[x] / plain.u[x], expected, tolerance) << "x " << x;
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Cells and the deviance

// The part of the piecewise constant u inside [lo, hi): the overlap of each unit interval.
double overlapIntegral(const SizeArray& u, double lo, double hi)
{
    double sum = 0.0;
    for (int j = 0; j <= maxSize; ++j)
        sum += u[j] * std::max(0.0, std::min(hi, j + 1.0) - std::max(lo, static_cast<double>(j)));
    return sum;
}

TEST(FrequencyPartCells, PredictionsIntegrateTheDensityAndSumToNFromFirstCellOn)
{
    struct Row { double width; int cellCount, firstCell; double measuredSe; };
    for (const Row row : {Row{1.0, 120, 1, 0.0}, Row{2.0, 60, 3, 0.0}, Row{2.0, 60, 3, 5.0}, Row{5.0, 30, 4, 3.0},
                          Row{1.0, 40, 10, 0.0}}) {
        SCOPED_TRACE(::testing::Message() << "width " << row.width << " cells " << row.cellCount << " first " << row.firstCell);
        const FrequencyData data = cells(row.width, row.cellCount, row.firstCell, [](int c) { return 3.0 + c % 7; });
        ModelParameters m = withSds(fixedGrowth(110.3, 0.25, 0.7), 5.0, 0.04);
        m.measVar = row.measuredSe * row.measuredSe;
        const Evaluation e = evaluate(m, data);
        ASSERT_EQ(e.failure, "");

        double S = 0.0;
        std::vector<double> raw(maxCells + 1, 0.0);
        for (int c = 1; c <= maxCells; ++c) {
            raw[c] = overlapIntegral(e.u, (c - 1) * row.width + 0.00001, c * row.width + 0.00001);
            if (c >= row.firstCell)
                S += raw[c];
        }
        double fromFirstCell = 0.0, readFromFirstCell = 0.0;
        for (int c = 1; c <= maxCells; ++c) {
            EXPECT_NEAR(e.predicted[c], raw[c] * data.N / S, 1e-12 * data.N) << "cell " << c;
            if (c >= row.firstCell)
                fromFirstCell += e.predicted[c];
            if (c >= row.firstCell && c <= row.cellCount)
                readFromFirstCell += e.predicted[c];
        }
        EXPECT_NEAR(fromFirstCell, data.N, 1e-12 * data.N);
        if (row.cellCount * row.width < 100.0) { // the population reaches beyond the cells read
            EXPECT_LT(readFromFirstCell, 0.99 * data.N);
        }
    }
}

TEST(FrequencyPartCells, CellsBeforeFirstCellOrBeyondTheCellsReadTakeNoPartInTheDeviance)
{
    const FrequencyData data = cells(2.0, 60, 3, [](int c) { return 3.0 + c % 7; });
    const ModelParameters m = withSds(fixedGrowth(110.3, 0.25, 0.7), 5.0, 0.0);
    const Evaluation e = evaluate(m, data);

    double expectedG = 0.0;
    for (int c = 3; c <= 60; ++c)
        expectedG += data.observed[c] * std::log(data.observed[c] / e.predicted[c]);
    EXPECT_NEAR(e.G, expectedG, 1e-10 * std::fabs(expectedG));

    FrequencyData stray = data;
    stray.observed[1] = 50.0;
    stray.observed[2] = 50.0;
    stray.observed[61] = 50.0;
    const Evaluation ignored = evaluate(m, stray);
    EXPECT_EQ(ignored.G, e.G);
    EXPECT_EQ(ignored.predicted, e.predicted);

    FrequencyData fromOne = stray;
    fromOne.firstCell = 1;
    EXPECT_NE(evaluate(m, fromOne).G, e.G);
}

// Adding o fish in a cell predicted empty scales every other prediction by N' / N and adds
// o ln(o / 1e-6): G' = G - N ln(N' / N) + o ln(o / 1e-6).
TEST(FrequencyPartDeviance, ObservedFishInAnEmptyCellCostAsIfOneMillionthWasPredicted)
{
    const ModelParameters m = fixedGrowth(50.5, 0.3, 0.8);
    for (const double o : {1.0, 3.0, 250.0}) {
        SCOPED_TRACE(::testing::Message() << "o " << o);
        const FrequencyData inside = cells(1.0, 60, 1, [](int c) { return c <= 45 ? 5.0 : 0.0; });
        FrequencyData outside = inside;
        outside.observed[58] = o;
        outside.N += o;
        const Evaluation before = evaluate(m, inside);
        const Evaluation after = evaluate(m, outside);
        ASSERT_EQ(after.predicted[58], 0.0);
        const double expected = before.G - inside.N * std::log(outside.N / inside.N) + o * std::log(o / 1e-6);
        EXPECT_NEAR(after.G, expected, 1e-10 * expected);
    }
}

TEST(FrequencyPartDeviance, NoPredictionFromFirstCellOnLeavesPredictionsZeroAndCostsEveryObservation)
{
    const FrequencyData data = cells(1.0, 40, 30, [](int c) { return c % 4 + 1.0; });
    const Evaluation e = evaluate(fixedGrowth(20.5, 0.3, 0.8), data);
    double expected = 0.0;
    for (int c = 30; c <= 40; ++c)
        expected += data.observed[c] * std::log(data.observed[c] / 1e-6);
    for (int c = 22; c <= maxCells; ++c) // the class ends in [20, 21), cell 21
        ASSERT_EQ(e.predicted[c], 0.0) << "cell " << c;
    for (int c = 1; c <= 21; ++c) // not scaled, as S = 0
        EXPECT_NEAR(e.predicted[c], overlapIntegral(e.u, c - 1 + 0.00001, c + 0.00001), 1e-12) << "cell " << c;
    EXPECT_GT(e.predicted[21], 0.0);
    EXPECT_NEAR(e.G, expected, 1e-12 * expected);
}

// ---------------------------------------------------------------------------------------------
// The 250-unit limit

TEST(FrequencyPartSizeLimit, ToldWhenTheLargestSizeExceeds250)
{
    struct Row { double Linf, sd; bool told; };
    for (const Row row : {Row{245.9, 1.0, false}, Row{246.0, 1.0, true}, Row{210.0, 10.0, true}, Row{250.9, 0.0, false},
                          Row{251.0, 0.0, true}, Row{400.0, 0.0, true}}) {
        SCOPED_TRACE(::testing::Message() << "Linf " << row.Linf << " SD " << row.sd);
        FakeModelHost host;
        if (row.told)
            host.scriptedUi.answer(Answer::OK);
        const Evaluation e = evaluate(host, withSds(fixedGrowth(row.Linf, 0.2, 0.8), row.sd, 0.0));
        ASSERT_EQ(e.messages.size(), row.told ? 1U : 0U);
        EXPECT_EQ(e.failure, "");
        EXPECT_TRUE(std::isfinite(e.G));
        if (row.told) {
            EXPECT_EQ(e.messages[0].text, truncationText);
            EXPECT_EQ(e.messages[0].title, truncationTitle);
            EXPECT_EQ(e.messages[0].buttons, Buttons::OK);
            EXPECT_EQ(e.messages[0].icon, Icon::Exclamation);
        }
    }
}

TEST(FrequencyPartSizeLimit, ToldOncePerEvaluationNotPerClass)
{
    FakeModelHost host;
    host.scriptedUi.answer(Answer::OK).answer(Answer::OK);
    const ModelParameters m = withSds(fixedGrowth(210.0, 0.2, 0.8), 10.0, 0.03); // Linf + 5 SD = 260
    const Evaluation first = evaluate(host, m);
    const Evaluation second = evaluate(host, m);
    EXPECT_GT(first.yields, 100);
    EXPECT_EQ(first.messages.size(), 1U);
    EXPECT_EQ(second.messages.size(), 1U);
    EXPECT_EQ(first.G, second.G);
}

TEST(FrequencyPartSizeLimit, StartsAreCutTo250)
{
    // Above 250 a fixed L-infinity only moves the start to 250: the density up to 250 follows the
    // closed form of the class.
    FakeModelHost host;
    host.scriptedUi.answer(Answer::OK);
    const double L = 300.5, K = 0.2, z = 1.0;
    const Evaluation e = evaluate(host, fixedGrowth(L, K, z));
    const double p = (z - K) / K;
    EXPECT_GT(e.u[maxSize], 0.0);
    for (int x = 0; x <= 200; ++x)
        EXPECT_NEAR(e.u[x] / std::pow((L - x) / L, p), 1.0, 1e-6) << "x " << x;
}

TEST(FrequencyPartSizeLimit, WhileProfilesOrIntegrationRunTheUserMayInterruptThem)
{
    struct Row { bool profile, bayes; Answer answer; bool profileInterrupt, bayesInterrupt; };
    for (const Row row : {Row{true, false, Answer::Yes, true, false}, Row{false, true, Answer::Yes, false, true},
                          Row{true, true, Answer::Yes, true, true}, Row{true, false, Answer::No, false, false},
                          Row{false, true, Answer::No, false, false}}) {
        SCOPED_TRACE(::testing::Message() << "profile " << row.profile << " bayes " << row.bayes);
        FakeModelHost host;
        host.sessionState.profileRunning = row.profile;
        host.sessionState.bayesRunning = row.bayes;
        host.scriptedUi.answer(row.answer);
        const Evaluation e = evaluate(host, withSds(fixedGrowth(210.0, 0.2, 0.8), 10.0, 0.0));
        ASSERT_EQ(e.messages.size(), 1U);
        EXPECT_EQ(e.messages[0].text, truncationText + "\n\nInterrupt calculations?");
        EXPECT_EQ(e.messages[0].title, truncationTitle);
        EXPECT_EQ(e.messages[0].buttons, Buttons::YesNo);
        EXPECT_EQ(e.messages[0].icon, Icon::Question);
        EXPECT_EQ(host.sessionState.profileInterrupt, row.profileInterrupt);
        EXPECT_EQ(host.sessionState.bayesInterrupt, row.bayesInterrupt);
        EXPECT_TRUE(std::isfinite(e.G)); // the evaluation goes on; the calculation polls its flag
    }
}

// ---------------------------------------------------------------------------------------------
// Failures

TEST(FrequencyPartFailures, InvalidArithmeticMakesTheResultNaNWithAReason)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Row { const char* what; std::function<void(ModelParameters&)> change; const char* reason; };
    const Row rows[] = {
        // Small K with strong mortality: n grows like (L / (L - s))^((Z - K) / K) and overflows.
        {"overflow", [](ModelParameters& m) { m = withSds(fixedGrowth(200.0, 0.2, 5.0), 10.0, 0.3); }, "growth class"},
        {"NaN mortality", [&](ModelParameters& m) { m.z = nan; }, "not a finite number"},
        {"infinite measurement variance", [&](ModelParameters& m) { m.measVar = inf; }, "not a finite number"},
        {"NaN selectivity mean", [&](ModelParameters& m) { m.selMean = nan; m.selVar = 4.0; }, "not a finite number"},
        {"infinite L-infinity", [&](ModelParameters& m) { m.Linf = inf; }, "not a finite number"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ModelParameters m = fixedGrowth(80.3, 0.3, 0.8);
        row.change(m);
        const Evaluation e = evaluate(m);
        EXPECT_TRUE(std::isnan(e.G));
        EXPECT_NE(e.failure.find(row.reason), std::string::npos) << e.failure;
    }
}

TEST(FrequencyPartFailures, AnEarlierReasonIsKept)
{
    FakeModelHost host;
    ModelState state;
    state.frequencies = humpData();
    state.arithmeticFailure = "earlier";
    ModelParameters m = fixedGrowth(80.3, 0.3, 0.8);
    m.F = std::numeric_limits<double>::quiet_NaN();
    EXPECT_TRUE(std::isnan(frequencyPart(state, m, host)));
    EXPECT_EQ(state.arithmeticFailure, "earlier");
}

TEST(FrequencyPartState, UnitDensityIsClearedAndRefilled)
{
    FakeModelHost host;
    ModelState state;
    state.frequencies = humpData();
    state.unitDensity.fill(7.0);
    state.predicted.fill(7.0);
    frequencyPart(state, fixedGrowth(40.5, 0.3, 0.8), host);
    for (int x = 41; x <= maxSize; ++x)
        EXPECT_EQ(state.unitDensity[x], 0.0) << "x " << x;
    for (int c = 42; c <= maxCells; ++c)
        EXPECT_EQ(state.predicted[c], 0.0) << "cell " << c;
    EXPECT_EQ(state.unitDensity[0], 1.0);
}

} // namespace
} // namespace orvanta
