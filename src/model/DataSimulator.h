#pragma once

// Simulated data files drawn from the model's own assumptions at given parameter values, for
// examples, for checking that a fit recovers known values and for teaching.
//
// The population. Animals are recruited at size 0 at a constant rate. Each has its own
// L-infinity ~ Normal(p1, p2), truncated to [max(p1 - 5 p2, 0), p1 + 5 p2] as the model's
// L-infinity classes are, and its own k ~ Gamma(mean p3, SD p4) (k = p3 when p4 = 0). It grows
// at dL/dt = (k + b L)(L-infinity - L), whose solution from size 0 is
//     L(t) = L-infinity k (1 - exp(-c t)) / (k + b L-infinity exp(-c t)),  c = k + b L-infinity
// (von Bertalanffy growth when b = 0), and dies at the hazard Z(L) = z exp(-zSize L), plus F
// while fishLow <= L <= fishHigh. The population ignores the annual cycles, as the model's
// size-frequency prediction does.
//
// The steady state. With constant recruitment, the animals alive at one moment have the joint
// density p(L-infinity, k) S(a | L-infinity, k) over type and age, S being the survival along the
// animal's growth path. It is sampled exactly, without integrating the hazard numerically:
//   1. draw a type and accept it with probability exp(-zSize (p1 + 5 p2 - L-infinity));
//   2. draw an age a ~ Exponential(h), h = z exp(-zSize L-infinity), the animal's lowest hazard;
//   3. accept the age when a Poisson process of the excess hazard Z(L(t)) - h has no event on
//      [0, a]; the events are found by thinning a process of the constant rate z + F - h.
// Steps 2 and 3 give the age density h S(a); step 1 cancels the factor h between types, so that
// each type is weighted by its life expectancy as in the steady state.
//
// The size-frequency sample. Steady-state animals are measured with error
// Normal(0, (p9 / 100) size), cut at 5 SE as the model's convolution is; kept with probability
// Phi((measured - p15) / p16) when p15 and p16 are both non-zero, Phi as the model computes it;
// and counted in cells of the given width from size 0 until the requested number is kept.
//
// Increment records, tag-recapture (t0 = p18 = -999). The release size is the size of a
// steady-state animal, restricted to a size range, or uniform in that range; in the uniform case
// the animal's L-infinity is drawn from its distribution truncated above the release size, as
// the increment likelihood assumes. Release day and days at liberty are whole days drawn
// uniformly from their ranges; the set number is the year of release (days 1..365 set 1). The
// true increment follows the model's increment prediction, annual cycles included:
//     b = 0:  (L - l1)(1 - exp(-k dt - cycleK))
//     b > 0:  the growth law above from l1 over dt with k + cycleK for k,
// with L = L-infinity - p7 + cycleL and cycleK, cycleL the changes of the sinusoidal cycles
// between release and recapture day; so the cycles act on the increments exactly as the model
// predicts them, which is an approximation of a growth rate varying within the year. Both sizes
// are measured with the size-proportional error, so the recorded increment is
// (l2 + e2) - (l1 + e1); the recorded release size is the true l1, because the model takes it
// as known.
//
// Increment records, size-at-age (t0 set). Age a is either the age of a steady-state animal plus
// t0 or uniform in a range; the record is (set 1, size 0, measured size at age, day 0, age), the
// true size being the model's growth from 0 over a - t0 (cycles evaluated with days 0 and a, as
// the model does). Records with a <= max(t0, 0) are not written. With p19 and p20 set (not -999)
// a record is kept with probability Phi((measured - p19) / p20), as the model's size-at-age
// selectivity assumes.
//
// Approximations. Sizes and ages are written with two decimals and days as whole days; the
// growth is computed from the written values. The model weighs its growth classes by
// 1 / ((1 - exp(-k)) L-infinity) where the exact steady state has the recruitment flux
// 1 / (k L-infinity), and it places a unit interval's density at its lower edge; the simulator
// follows the population, not those discretizations. The increment likelihood's truncation of
// L-infinity above the release size is not how a steady-state population selects L-infinity given
// size; data released from the steady state are therefore realistic rather than exactly the
// model's assumption.
//
// Reproducibility. Every random number comes from std::mt19937_64, whose output is fixed by the
// C++ standard, through the transformations of SimulationRandom below (not the standard
// distributions, whose algorithms differ between standard libraries). The frequency sample and
// the increment records use two streams derived from the seed, so either file is the same whether
// or not the other is requested. Files are identical wherever the floating-point arithmetic and
// the mathematical functions (exp, log, sin, cos, sqrt) give identical results.

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <variant>
#include <vector>

namespace orvanta {

// Random variates by fixed transformations of std::mt19937_64 output.
class SimulationRandom {
public:
    explicit SimulationRandom(std::uint64_t seed) : engine_(seed) {}

    // Uniform in the open interval (0, 1): the top 53 bits of one output, centred in their step.
    double uniform();
    // A whole number from low to high, both included.
    long long uniformInteger(long long low, long long high);
    // -ln(U) / rate.
    double exponential(double rate);
    // Standard normal by the Box-Muller transformation; each pair of uniforms gives two values,
    // the second is returned by the next call.
    double normal();
    // Standard normal truncated to [low, high]: plain rejection, or for a range wholly in one
    // tail (beyond 0.5) Robert's exponential proposal (Statistics and Computing 5, 1995, 121-125).
    // The range must not be vanishingly narrow.
    double truncatedNormal(double low, double high);
    // Gamma with the given shape and scale 1: Marsaglia and Tsang (ACM TOMS 26, 2000, 363-372),
    // with G(shape + 1) U^(1 / shape) for shapes below 1.
    double gamma(double shape);

private:
    std::mt19937_64 engine_;
    std::optional<double> spareNormal_;
};

struct FrequencySampleRequest {
    int fishCount = 1000;   // animals kept in the sample, 1..9999
    double cellWidth = 1.0; // at least 1 unit, a whole number of hundredths
};

enum class ReleaseSizes {
    SteadyState, // the sizes of steady-state animals within [releaseSizeMin, releaseSizeMax]
    Uniform      // uniform in [releaseSizeMin, releaseSizeMax]
};

struct IncrementSampleRequest {
    int recordCount = 100; // 1..2000

    // Tag-recapture records (t0 = -999).
    int releaseDayMin = 1;
    int releaseDayMax = 365;
    int libertyMinDays = 30;
    int libertyMaxDays = 730;
    ReleaseSizes releaseSizes = ReleaseSizes::SteadyState;
    double releaseSizeMin = 0.0;
    std::optional<double> releaseSizeMax; // steady state: the largest L-infinity when not given

    // Size-at-age records (t0 set): ages uniform in [ageMin, ageMax] when given, otherwise the
    // ages of steady-state animals.
    std::optional<double> ageMin;
    std::optional<double> ageMax;
};

struct SimulationRequest {
    std::vector<double> params; // p1..p20 at indices 1..20; index 0 unused
    std::uint64_t seed = 1;
    std::optional<FrequencySampleRequest> frequencies;
    std::optional<IncrementSampleRequest> increments;
};

struct SimulatedData {
    std::string frequencyText; // the frequency file, lines ending in "\n"
    int cellCount = 0;
    int fishCount = 0;
    std::string incrementText; // the increment file, lines ending in "\n"
    int recordCount = 0;
    bool sizeAtAge = false;
};

// Why nothing could be simulated: one line for the user.
struct SimulationRefusal {
    std::string text;
};

// Simulates the files the request asks for. Impossible or meaningless settings, and a steady
// state too costly to sample (almost no mortality at large sizes, or a selectivity that keeps
// almost nothing), are refused with a reason.
std::variant<SimulatedData, SimulationRefusal> simulateData(const SimulationRequest& request);

} // namespace orvanta
