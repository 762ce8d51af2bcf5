#include "model/FrequencyLikelihood.h"

#include "app/SessionState.h"
#include "model/GrowthClassKernel.h"
#include "model/ModelHost.h"
#include "model/ModelParameters.h"
#include "model/ModelState.h"
#include "model/NumericalRoutines.h"
#include "ui/UserInterface.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <limits>
#include <numbers>
#include <string>

// Steady-state size distribution of a population with stochastic von Bertalanffy growth.
//
// Recruits enter at size 0 at a constant rate. A growth class (K, L) grows at
// g(x) = (K + b x)(L - x) and dies at Z(x) = z exp(-zSize x) (+ F inside the fishing window).
// Its steady-state density obeys the conservation law d(n g)/dx = -Z n, i.e.
// dn/dx = -n (Z + g') / g with g' = b (L - x) - (K + b x). Each class is integrated downwards
// from its largest size with unit Runge-Kutta steps, scaled by n(0), and the classes are summed
// with the gamma weights of K and the normal weights of L. The unit density is then blurred by
// the measurement error, weighted by the selectivity, integrated over the observed cells and
// compared with the observed frequencies by the multinomial deviance.

namespace orvanta {

namespace {

constexpr int kClassCount = 100;          // classes of K when k varies
constexpr int lClassCount = 250;          // candidate classes of L when L-infinity varies
constexpr double classSpreadInSds = 5.0;  // classes span the mean +- 5 SD (K: 0 to mean + 5 SD)
constexpr double negligibleKDensity = 1e-7;
constexpr double lClassTop = 0.999;       // L classes sit just below the next whole size
constexpr double sizeLimit = maxSize;
constexpr double measurementReferenceSize = 100.0; // the measurement SE is given in % at 100 units
constexpr double measurementCutInSds = 5.0;
constexpr double selectivityFloorZ = -10.0;
constexpr double cellEdgeShift = 0.00001; // cell edges lie just above multiples of the width
constexpr double predictionFloor = 1e-6;  // a cell predicted empty still costs o ln(o / 1e-6)

const std::string truncationText = "Maximum size truncated to 250 units; results could be compromised";
const std::string truncationTitle = "Abs(size) exceeds the maximum of 250 units";

using Densities = std::array<double, maxSize + 1>;

// ---------------------------------------------------------------------------------------------
// Failures

void noteFailure(ModelState& state, const char* text)
{
    if (state.arithmeticFailure.empty())
        state.arithmeticFailure = text;
}

bool inputsFinite(const ModelParameters& m, const FrequencyData& data)
{
    for (double v : {m.Linf, m.varLinf, m.k, m.vark, m.measVar, m.z, m.zSize, m.fishLow, m.fishHigh, m.F,
                     m.selMean, m.selVar, m.b, data.N, data.cellWidth})
        if (!std::isfinite(v))
            return false;
    return true;
}

template <std::size_t size>
bool allFinite(const std::array<double, size>& values, std::size_t from)
{
    return std::all_of(values.begin() + static_cast<std::ptrdiff_t>(from), values.end(),
                       [](double v) { return std::isfinite(v); });
}

// ---------------------------------------------------------------------------------------------
// Size limit

bool varLinfVaries(const ModelParameters& m) { return m.varLinf > varLinfFloor; }
bool kVaries(const ModelParameters& m) { return m.vark > varkFloor; }

double upperLinf(const ModelParameters& m) { return m.Linf + classSpreadInSds * std::sqrt(m.varLinf); }

// Told once per evaluation; while profiles or the posterior integration run, the user may
// interrupt them.
void tellSizeTruncated(ModelHost& host)
{
    SessionState& session = host.session();
    if (!session.profileRunning && !session.bayesRunning) {
        host.ui().showMessage(truncationText, truncationTitle, Buttons::OK, Icon::Exclamation);
        return;
    }
    const Answer answer = host.ui().showMessage(truncationText + "\n\nInterrupt calculations?", truncationTitle,
                                                Buttons::YesNo, Icon::Question);
    if (answer != Answer::Yes)
        return;
    if (session.profileRunning)
        session.profileInterrupt = true;
    if (session.bayesRunning)
        session.bayesInterrupt = true;
}

// The whole size where a class's integration starts: int(L), at most 250.
// A whole-number L (possible only for the single class of a fixed L-infinity) would start where
// g(x) = 0 and divide by zero in the first slope. Such a class starts at L - 1, the largest whole
// size strictly below L, with nothing at L itself. That is the limit of nearby L: from below the
// start is L - 1 anyway; from above the first step multiplies n by a factor that grows like
// 1 / (L - int(L)), so the share n(int L) / n(0) of the top interval vanishes while the shape
// below converges to the integration started at L - 1. (Only without any mortality, where the
// exact density 1 / g piles up without bound at L, is there no finite limit from above.)
int classStart(double L)
{
    const double whole = std::floor(L);
    if (whole > sizeLimit)
        return maxSize;
    const int start = static_cast<int>(whole);
    return whole == L ? start - 1 : start;
}

// ---------------------------------------------------------------------------------------------
// Growth classes

struct ClassValue {
    double value = 0.0;
    double weight = 1.0; // 1 for the single class of a fixed dimension
};

struct LClass {
    double L = 0.0;
    double weight = 1.0;
    int start = 0;
};

struct KClasses {
    std::array<ClassValue, kClassCount> items{};
    std::size_t count = 0;
};

struct LClasses {
    std::array<LClass, lClassCount> items{};
    std::size_t count = 0;
};

// K_m = m hK, m = 1..100, hK = (5 SD + k) / 100, weighted by the gamma density (shape k^2 / vark,
// scale vark / k) times hK; classes of density below 1e-7 are skipped.
KClasses kClasses(const ModelParameters& m)
{
    KClasses classes;
    if (!kVaries(m)) {
        classes.items[0] = {m.k, 1.0};
        classes.count = 1;
        return classes;
    }
    const double hK = (classSpreadInSds * std::sqrt(m.vark) + m.k) / kClassCount;
    const double shape = m.k * m.k / m.vark;
    const double scale = m.vark / m.k;
    const double lnNorm = shape * std::log(scale) + lnGamma(shape);
    for (int i = 1; i <= kClassCount; ++i) {
        const double K = i * hK;
        const double density = std::exp((shape - 1.0) * std::log(K) - K / scale - lnNorm);
        if (density < negligibleKDensity)
            continue;
        classes.items[classes.count++] = {K, density * hK};
    }
    return classes;
}

// L_o = int(Linf + 5 SD - (o - 1)) + 0.999, o = 1..250, used when L_o >= 1 and L_o >= Linf - 5 SD,
// weighted by the normal density of L-infinity (unit spacing).
LClasses lClasses(const ModelParameters& m)
{
    LClasses classes;
    if (!varLinfVaries(m)) {
        classes.items[0] = {m.Linf, 1.0, classStart(m.Linf)};
        classes.count = 1;
        return classes;
    }
    const double sd = std::sqrt(m.varLinf);
    const double top = upperLinf(m);
    const double bottom = m.Linf - classSpreadInSds * sd;
    const double normalization = std::sqrt(2.0 * std::numbers::pi * m.varLinf);
    for (int o = 1; o <= lClassCount; ++o) {
        const double L = std::floor(top - (o - 1)) + lClassTop;
        if (L < 1.0 || L < bottom)
            continue;
        const double deviation = L - m.Linf;
        const double weight = std::exp(-(deviation * deviation) / (2.0 * m.varLinf)) / normalization;
        classes.items[classes.count++] = {L, weight, classStart(L)};
    }
    return classes;
}

// ---------------------------------------------------------------------------------------------
// Steady-state density of one class

// Z(x) at x = 0, 0.5, 1, ..., 250: the points the Runge-Kutta stages use. Tabulated once per
// evaluation; the values are the very doubles a direct evaluation would give.
class MortalityGrid {
public:
    explicit MortalityGrid(const ModelParameters& m)
    {
        for (std::size_t i = 0; i < values_.size(); ++i) {
            const double x = 0.5 * static_cast<double>(i);
            const double natural = m.z * std::exp(-m.zSize * x);
            values_[i] = m.fishLow <= x && x <= m.fishHigh ? natural + m.F : natural;
        }
    }
    double atWhole(int x) const { return values_[2 * x]; }
    double belowWhole(int x) const { return values_[2 * x - 1]; } // at x - 0.5
    const double* data() const { return values_.data(); }

private:
    std::array<double, 2 * maxSize + 1> values_{};
};

// slope(x, n) = n (K - b (L - 2x) - Z(x)) / ((K + b x)(L - x)): numerator and denominator apart
// from n, so that the terms at a whole size serve two consecutive steps.
struct SlopeTerms {
    double numerator = 0.0;
    double denominator = 1.0;
};

SlopeTerms slopeTerms(double K, double L, double b, double x, double mortality)
{
    return {K - b * (L - 2.0 * x) - mortality, (K + b * x) * (L - x)};
}

double slope(double n, SlopeTerms terms) { return n * terms.numerator / terms.denominator; }

// One classical fourth-order Runge-Kutta step of -1 from x to x - 1.
double stepDown(double n, SlopeTerms atX, SlopeTerms atHalf, SlopeTerms atNext)
{
    const double k1 = slope(n, atX);
    const double k2 = slope(n - k1 / 2.0, atHalf);
    const double k3 = slope(n - k2 / 2.0, atHalf);
    const double k4 = slope(n - k3, atNext);
    return n - (k1 + 2.0 * k2 + 2.0 * k3 + k4) / 6.0;
}

// The scalar reference kernel: classes of one K are integrated eight at a time, side by side.
// Their chains of dependent divisions are independent, so the processor overlaps them; every
// class still goes through exactly the operations of stepDown, so the results are bit for bit
// those of a lone integration.
constexpr std::size_t laneCount = 8;

using LaneValues = std::array<double, laneCount>;

struct LaneBlock {
    LaneValues L{};
    std::array<int, laneCount> start{};      // n(start) = 1
    std::array<LaneValues, maxSize + 1> n{}; // n[x][lane], valid for x <= start
};

// Integrates one lane alone from its start down to size `to`.
void integrateAlone(LaneBlock& block, std::size_t g, double K, double b, const MortalityGrid& mortality, int to)
{
    const double L = block.L[g];
    const int start = block.start[g];
    block.n[start][g] = 1.0;
    SlopeTerms atX = slopeTerms(K, L, b, start, mortality.atWhole(start));
    for (int x = start; x > to; --x) {
        const SlopeTerms atHalf = slopeTerms(K, L, b, x - 0.5, mortality.belowWhole(x));
        const SlopeTerms atNext = slopeTerms(K, L, b, x - 1.0, mortality.atWhole(x - 1));
        block.n[x - 1][g] = stepDown(block.n[x][g], atX, atHalf, atNext);
        atX = atNext;
    }
}

// Each lane is brought down alone to the lowest start of the block; from there all lanes step
// together through the same sizes, with stepDown written lane-wise.
void integrateBlock(LaneBlock& block, double K, double b, const MortalityGrid& mortality)
{
    const int common = *std::min_element(block.start.begin(), block.start.end());
    for (std::size_t g = 0; g < laneCount; ++g)
        integrateAlone(block, g, K, b, mortality, common);

    const LaneValues& L = block.L;
    LaneValues n = block.n[common];
    LaneValues numX{}, denX{}, numHalf{}, denHalf{}, numNext{}, denNext{}, k1{}, k2{}, k3{}, k4{};
    for (std::size_t g = 0; g < laneCount; ++g) {
        const SlopeTerms atX = slopeTerms(K, L[g], b, common, mortality.atWhole(common));
        numX[g] = atX.numerator;
        denX[g] = atX.denominator;
    }
    for (int x = common; x >= 1; --x) {
        const double half = x - 0.5;
        const double next = x - 1.0;
        const double zHalf = mortality.belowWhole(x);
        const double zNext = mortality.atWhole(x - 1);
        const double growthHalf = K + b * half;
        const double growthNext = K + b * next;
        for (std::size_t g = 0; g < laneCount; ++g) {
            numHalf[g] = K - b * (L[g] - 2.0 * half) - zHalf;
            denHalf[g] = growthHalf * (L[g] - half);
            numNext[g] = K - b * (L[g] - 2.0 * next) - zNext;
            denNext[g] = growthNext * (L[g] - next);
        }
        for (std::size_t g = 0; g < laneCount; ++g) // stepDown, lane by lane
            k1[g] = n[g] * numX[g] / denX[g];
        for (std::size_t g = 0; g < laneCount; ++g)
            k2[g] = (n[g] - k1[g] / 2.0) * numHalf[g] / denHalf[g];
        for (std::size_t g = 0; g < laneCount; ++g)
            k3[g] = (n[g] - k2[g] / 2.0) * numHalf[g] / denHalf[g];
        for (std::size_t g = 0; g < laneCount; ++g)
            k4[g] = (n[g] - k3[g]) * numNext[g] / denNext[g];
        for (std::size_t g = 0; g < laneCount; ++g)
            n[g] = n[g] - (k1[g] + 2.0 * k2[g] + 2.0 * k3[g] + k4[g]) / 6.0;
        block.n[x - 1] = n;
        numX = numNext;
        denX = denNext;
    }
}

// Whether a class's density counts: not when n(0) = 0. A non-finite n(0) is a failure.
bool classDensityCounts(double n0, ModelState& state)
{
    if (!std::isfinite(n0))
        noteFailure(state, "The size-frequency density of a growth class overflowed or became undefined.");
    return n0 != 0.0;
}

// The scale of a class's density: (1 - exp(-K)) L.
double classScale(double K, double L)
{
    return (1.0 - std::exp(-K)) * L;
}

// u(x) += weight n(x) / n(0) / ((1 - exp(-K)) L) for x = start..0, unless n(0) = 0.
void addClassDensity(Densities& u, const LaneBlock& block, std::size_t g, double K, double weight, ModelState& state)
{
    const double n0 = block.n[0][g];
    if (!classDensityCounts(n0, state))
        return;
    const double scale = classScale(K, block.L[g]);
    // The lane is copied out first so that the divisions below map onto vector instructions.
    const int start = block.start[g];
    Densities n;
    for (int x = 0; x <= start; ++x)
        n[x] = block.n[x][g];
    for (int x = 0; x <= start; ++x)
        u[x] += weight * n[x] / n0 / scale;
}

// A block's lane g takes class l with the given weight.
template <typename Block, typename Weights>
void setLane(Block& block, Weights& weights, std::size_t g, const LClass& l, double weight)
{
    block.L[g] = l.L;
    block.start[g] = l.start;
    weights[g] = weight;
}

// The scalar integration above, eight classes at a time: the reference that the vectorised
// kernel is tested and measured against.
class ScalarClassKernel {
public:
    static constexpr std::size_t width = laneCount;

    void setLane(std::size_t g, const LClass& l, double weight) { orvanta::setLane(block_, weight_, g, l, weight); }
    void integrate(double K, double b, const MortalityGrid& mortality)
    {
        K_ = K;
        integrateBlock(block_, K, b, mortality);
    }
    void addDensity(Densities& u, std::size_t g, ModelState& state)
    {
        addClassDensity(u, block_, g, K_, weight_[g], state);
    }

private:
    LaneBlock block_;
    LaneValues weight_{};
    double K_ = 0.0;
};

// The same arithmetic with the instruction set chosen at run time (model/GrowthClassKernel.h),
// sixteen classes at a time; each class's density is scaled in the block before it is added.
class VectorClassKernel {
public:
    static constexpr std::size_t width = classBlockWidth;

    void setLane(std::size_t g, const LClass& l, double weight) { orvanta::setLane(block_, weight_, g, l, weight); }
    void integrate(double K, double b, const MortalityGrid& mortality)
    {
        const int top = static_cast<int>(*std::max_element(block_.start.begin(), block_.start.end()));
        integrateClassBlock(block_, top, K, b, mortality.data());
        ClassBlockRow scale{};
        for (std::size_t g = 0; g < width; ++g) {
            n0_[g] = block_.n[0][g];
            scale[g] = classScale(K, block_.L[g]);
        }
        scaleClassBlock(block_, top, weight_, n0_, scale);
    }
    void addDensity(Densities& u, std::size_t g, ModelState& state)
    {
        if (!classDensityCounts(n0_[g], state))
            return;
        const int start = static_cast<int>(block_.start[g]);
        for (int x = 0; x <= start; ++x)
            u[x] += block_.n[x][g];
    }

private:
    ClassBlock block_;
    ClassBlockRow weight_{};
    ClassBlockRow n0_{};
};

// The weighted sum over the (K, L) classes, K classes outermost; yields once per class. False
// when the program ended during a yield: the sum is then incomplete.
template <typename Kernel>
bool sumGrowthClasses(Densities& u, const ModelParameters& m, const KClasses& ks, const LClasses& ls,
                      ModelState& state, ModelHost& host)
{
    const MortalityGrid mortality(m);
    Kernel kernel;
    const std::size_t lCount = ls.count;
    for (std::size_t i = 0; i < ks.count; ++i) {
        const ClassValue& k = ks.items[i];
        for (std::size_t first = 0; first < lCount; first += Kernel::width) {
            const std::size_t used = std::min(Kernel::width, lCount - first);
            for (std::size_t g = 0; g < Kernel::width; ++g) {
                // Lanes beyond the last class repeat it; their results are not used.
                const LClass& l = ls.items[first + std::min(g, used - 1)];
                kernel.setLane(g, l, k.weight * l.weight);
            }
            kernel.integrate(k.value, m.b, mortality);
            for (std::size_t g = 0; g < used; ++g) {
                kernel.addDensity(u, g, state);
                host.ui().processPendingEvents();
                if (host.programEnded())
                    return false;
            }
        }
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Measurement error, selectivity, normalization

// u'(x) = sum over y = 1..250 of u(y) P(observed in [x, x + 1) | true size y - 0.5), the SD being
// sqrt(measVar) (y - 0.5) / 100; pairs beyond 5 SD are left out. u(0) does not reach any
// observed interval.
void convolveMeasurementError(Densities& u, double measVar)
{
    const double root = std::sqrt(measVar);
    Densities sd{};
    for (int y = 1; y <= maxSize; ++y)
        sd[y] = root * (y - 0.5) / measurementReferenceSize;
    Densities observed{};
    for (int x = 0; x <= maxSize; ++x) {
        double sum = 0.0;
        for (int y = 1; y <= maxSize; ++y) {
            const double trueSize = y - 0.5;
            const double ySd = sd[y];
            const double z1 = (x - trueSize) / ySd;
            const double z2 = (x + 1 - trueSize) / ySd;
            if (z2 > -measurementCutInSds && z1 < measurementCutInSds)
                sum += u[y] * normalProbability(z1, z2);
        }
        observed[x] = sum;
    }
    u = observed;
}

// u(x) times Phi((x - selMean) / selSD) - Phi(-10).
void applySelectivity(Densities& u, double selMean, double selVar)
{
    const double sd = std::sqrt(selVar);
    for (int x = 0; x <= maxSize; ++x)
        u[x] *= normalProbability(selectivityFloorZ, (x - selMean) / sd);
}

void normalizeByFirstInterval(Densities& u)
{
    const double first = u[0];
    if (first > 0.0)
        for (double& value : u)
            value /= first;
}

// ---------------------------------------------------------------------------------------------
// Cells and deviance

// The part of the unit density inside cell c: [lo, hi) with lo = (c - 1) w + 0.00001 and
// hi = c w + 0.00001, over unit intervals int(lo)..int(hi), none beyond 250.
double cellPrediction(const Densities& u, int c, double width)
{
    const double lo = (c - 1) * width + cellEdgeShift;
    const double hi = c * width + cellEdgeShift;
    if (lo >= sizeLimit + 1.0)
        return 0.0;
    const int first = static_cast<int>(lo);
    const int last = hi > sizeLimit ? maxSize : static_cast<int>(hi);
    double sum = 0.0;
    for (int j = first; j <= last; ++j) {
        const double value = u[j];
        const double above = lo - j;
        const double below = hi - j;
        if (0.0 < above && above < 1.0)
            sum += (1.0 - above) * value;
        else if (below >= 1.0)
            sum += value;
        else
            sum += below * value;
    }
    return sum;
}

// Predicted cells 1..250, scaled so that the cells from firstCell on (read or not) add up to N.
// Returns their unscaled sum S.
double predictCells(CellArray& predicted, const Densities& u, const FrequencyData& data)
{
    predicted[0] = 0.0;
    for (int c = 1; c <= maxCells; ++c)
        predicted[c] = cellPrediction(u, c, data.cellWidth);
    double S = 0.0;
    for (int c = std::max(data.firstCell, 1); c <= maxCells; ++c)
        S += predicted[c];
    if (S > 0.0) {
        const double factor = data.N / S;
        for (int c = 1; c <= maxCells; ++c)
            predicted[c] *= factor;
    }
    return S;
}

// G = sum over read cells c >= firstCell with o_c not 0 of o_c ln(o_c / max(e_c, 1e-6)). The
// floor makes a prediction of no fish where fish were seen costly instead of free.
double deviance(const CellArray& predicted, const FrequencyData& data)
{
    double G = 0.0;
    const int last = std::min(data.cellCount, maxCells);
    for (int c = std::max(data.firstCell, 1); c <= last; ++c) {
        const double o = data.observed[c];
        if (o == 0.0)
            continue;
        const double e = predicted[c];
        const double floored = e < predictionFloor ? predictionFloor : e; // a NaN stays NaN
        G += o * std::log(o / floored);
    }
    return G;
}

double failed(ModelState& state, const char* text)
{
    noteFailure(state, text);
    return std::numeric_limits<double>::quiet_NaN();
}

} // namespace

double frequencyPart(ModelState& state, const ModelParameters& params, ModelHost& host,
                     FrequencyKernel kernel)
{
    Densities& u = state.unitDensity;
    u.fill(0.0);
    state.predicted.fill(0.0);
    const FrequencyData& data = state.frequencies;
    if (!inputsFinite(params, data))
        return failed(state, "A size-frequency parameter or the frequency data is not a finite number.");

    // No class starts above the largest size, so this one test covers every class whose start
    // is cut to 250 (classStart) and tells the user once per evaluation.
    const double largestSize = varLinfVaries(params) ? std::floor(upperLinf(params)) : std::floor(params.Linf);
    if (largestSize > sizeLimit)
        tellSizeTruncated(host);

    const KClasses ks = kClasses(params);
    const LClasses ls = lClasses(params);
    const bool complete = kernel == FrequencyKernel::Vectorised
                              ? sumGrowthClasses<VectorClassKernel>(u, params, ks, ls, state, host)
                              : sumGrowthClasses<ScalarClassKernel>(u, params, ks, ls, state, host);
    if (!complete)
        return std::numeric_limits<double>::quiet_NaN();
    if (params.measVar != 0.0)
        convolveMeasurementError(u, params.measVar);
    if (params.selMean != 0.0 && params.selVar != 0.0)
        applySelectivity(u, params.selMean, params.selVar);
    normalizeByFirstInterval(u);

    const double S = predictCells(state.predicted, u, data);
    const double G = deviance(state.predicted, data);
    if (!allFinite(u, 0) || !allFinite(state.predicted, 1) || !std::isfinite(S) || !std::isfinite(G))
        return failed(state, "The predicted size frequencies overflowed or became undefined.");
    return G;
}

} // namespace orvanta
