#pragma once

// Bayesian marginal posterior of one parameter p: at each of N evenly spaced values
// P0 - (midN - i) h0 of p (midN = (N - 1) / 2 + 1), the likelihood times the prior is summed
// over a rectangular grid of M points per grid parameter, spanned by the other free parameters
// (at most 6), each at its value - (midM - j) x its step. -ln of the sum is the point's -ln[L]
// in the shared distribution record (DistributionProfile.h), whose statistics, plot and report
// ("Bayesian statistics", saved as .pos) turn it into the posterior distribution.
//
// A grid point's y = (objective + prior penalty) / covScale: the penalty is covScale times the
// priors' -ln[L], so y is -ln(likelihood x prior), as the profiles have it. The terms are
// exp(-(y - y_C)), y_C the same at the starting values. Two guards keep the sums right:
//   - a grid point whose objective has no finite value (the model's arithmetic failing outside
//     its valid region) counts as density 0; the run tells how many there were;
//   - a grid point so much better than the start that its term would overflow moves the
//     reference of the exponentials to itself, rescaling the sum and the joint densities so far;
//     -ln of the sum is put back on the starting point's scale. Nothing changes while no term
//     comes near overflowing.
// With exactly one grid parameter the joint density of the pair is kept for the bivariate plot
// and the grid file (StoredDistribution::bivariate).
//
// While the integration runs, p is fixed (step 0) and pinned at its own value inside its fuse
// group; at the end its value and step are put back (also before the quit flow's save). The
// parameter set changes in nothing else. The main window's "I&nterrupt calculations" (Ctrl+N) is
// answered at every loop level: Yes at profile point i keeps points 1..i-2.

#include <functional>
#include <string>
#include <vector>

namespace orvanta {

class Application;
struct AlgorithmData;

inline constexpr const char* posteriorTitle = "Bayesian parameter estimate evaluation";
inline constexpr int largestPosteriorCalls = 32767;
inline constexpr int largestGridParameterCount = 6;

// What the dialogue collects before the calculation.
struct PosteriorSettings {
    int parameter = 0;      // p, 1..paramCount, with a non-zero step
    int pointCount = 25;    // N, odd, 3..1001
    int gridPointCount = 0; // M, odd, 3..1001; 0 when p is the only free parameter
    // Told after every evaluation, beside the status bars (the batch program's progress line):
    // calls made, calls in all, the estimated seconds remaining.
    std::function<void(long long calls, long long total, double remainingSeconds)> onProgress;
};

enum class PosteriorEnd {
    Complete,
    Cut,               // interrupted: the points before the last two kept (none when fewer than 3)
    TooManyParameters, // more than 6 grid parameters; nothing calculated
    TooManyCalls,      // N x M^k above 32767 (the editor freed more parameters); nothing calculated
    NoGridPoints,      // grid parameters but no grid point count (freed in the editor); nothing
    CentreNotFinite,   // no finite objective at the starting values; nothing calculated
    AllocationFailed,  // the joint density does not fit in memory; nothing calculated
    ProgramEnded,
};

// What a run leaves beside the record.
struct PosteriorOutcome {
    PosteriorEnd end = PosteriorEnd::Complete;
    int gridParameterCount = 0;    // k
    long long calls = 0;           // objective evaluations made
    long long nonFinitePoints = 0; // evaluations without a finite objective, taken as density 0
    std::string centreProblem;     // CentreNotFinite: the values and the reason, in words
};

// A point count as the dialogue takes it (typed 1..1001): below 3 -> 3, even -> the next odd.
int posteriorPointCount(int typed);

// N x M to the power K, the evaluations an integration needs (as a real number: no overflow).
double posteriorCallCount(int pointCount, int gridPointCount, int gridParameterCount);

// Every free parameter with a non-zero step gets 7 SE / (M - 1) (the grid spans the estimate
// plus and minus 3.5 SE), then p gets 8 SE / (N - 1) (plus and minus 4 SE). SE by parameter
// number.
void setPosteriorSteps(AlgorithmData& data, const std::vector<double>& standardErrors,
                       const PosteriorSettings& settings);

// The messages a run shows on its way.
std::string tooManyCallsText();
std::string noGridPointsText();
std::string nonFinitePointsText(long long count, long long calls);

// The calculation: set-up (k, y_C, the joint density for k = 1), the loops and the end
// (restore, cut, reversal of a negative step, beep), filling app.distribution. covScale must be
// set (above 0). Shows its progress in the status bars and lets the interface run at every loop
// level; stops at once, showing nothing more, once the program has ended. Shows no message:
// the caller tells the user how it ended.
PosteriorOutcome calculatePosterior(Application& app, const PosteriorSettings& settings);

// The statistics of the stored posterior, the distribution plot window (modal), the bivariate
// question and plot with the grid file's save when there was one grid parameter, and the report
// in "frmBayesian".
void presentPosterior(Application& app, int gridParameterCount);

// The whole dialogue of "&Bayesian posterior (BP) distributions".
void runPosteriorIntegration(Application& app);

// Registers the run as the evaluation window's "cmdBP".
void installPosteriorIntegration(Application& app);

} // namespace orvanta
