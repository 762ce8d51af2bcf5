#pragma once

// Maximum-likelihood profiles: for one chosen parameter p, -ln[L] at an odd number n of evenly
// spaced values P0 - (mid - i) h0, i = 1..n (mid = (n - 1) / 2 + 1), with every other free
// parameter re-minimized by the Simplex or the Marquardt minimizer at each value, starting from
// where the previous point left it. The curve goes into the shared distribution record
// (DistributionProfile.h), whose statistics, plot and report turn it into a confidence
// distribution.
//
// A point's -ln[L] is the objective at the minimized parameters (call code 1), prior penalty
// included while priors are in force, divided by covScale: the penalty is already covScale
// times the prior terms, so this is -ln(likelihood x prior), the same scale as the covariance
// calculator and the ranking use. A point whose objective has no finite value gets noLikelihood
// (density 0), and the user is told how many points did.
//
// While the profile runs, p is fixed (step 0) and pinned at its own value inside its fuse group;
// at the end its value and step are put back, and so they are before the quit flow offers to
// save the algorithm data. The other free parameters keep the values of the last minimization.
// An interrupt at point i (the main window's "&Interrupt calculations", or a minimizer's "quit
// the ML procedure") keeps points 1..i-2; fewer than 3 points leave no output.

#include "uncertainty/CovarianceFile.h"

#include <optional>
#include <string>
#include <vector>

namespace orvanta {

class Application;
struct AlgorithmData;
struct DistributionProfile;

inline constexpr const char* profileTitle = "ML parameter estimate evaluation";

enum class ProfileMinimizer { Simplex, Marquardt };

// What the dialogue collects before the calculation.
struct ProfileSettings {
    int parameter = 0;   // p, 1..paramCount, with a non-zero step
    int pointCount = 25; // odd, 3..1001
    ProfileMinimizer minimizer = ProfileMinimizer::Simplex;
};

enum class ProfileEnd {
    Complete,           // every point calculated
    Cut,                // interrupted: the points before the last two kept (none when fewer than 3)
    MarquardtCancelled, // the derivative question was cancelled at point 1; no output
    ProgramEnded,
};

// The number of points an answer of typed (0..1001) gives: 0 -> 25, below 3 -> 3, even -> the
// next odd number.
int profilePointCount(int typed);

// The parameters that are free now (freeIndex 1..freeCount).
std::vector<int> freeParameters(const AlgorithmData& data);

// Gives every free parameter the step 8 x SE / (n - 1), SE its standard error by parameter
// number, so that n profile points span the estimate plus and minus 4 standard errors.
void setProfileSteps(AlgorithmData& data, const std::vector<double>& standardErrors, int pointCount);

// The calculation: set-up, the point loop and the end (restore, cut, reversal of a negative
// step, beep), filling app.distribution. covScale must be set (above 0). Settings outside the
// parameters or the point counts leave an empty record (Cut). Shows progress in the
// status bars and lets the interface run at every point; stops at once, showing nothing more,
// once the program has ended.
ProfileEnd calculateLikelihoodProfile(Application& app, const ProfileSettings& settings);

// Whether the record holds a profile to show: at least 3 points and its mode among them.
bool distributionToShow(const Application& app);

// The likelihood-ratio interval of a profile whose statistics ran (negLogL relative to the
// mode): the parameter values, interpolated linearly between neighbouring points, where -ln[L]
// first rises rise above its minimum on either side of the mode (1.92, half the 95% point of
// chi-square with one degree of freedom, for a 95% interval). Nothing on a side that the profile
// does not reach.
struct LikelihoodRatioInterval {
    std::optional<double> lower;
    std::optional<double> upper;
};
inline constexpr double likelihoodRatioRise95 = 1.92;
LikelihoodRatioInterval likelihoodRatioInterval(const DistributionProfile& profile,
                                                double rise = likelihoodRatioRise95);

// The statistics of the stored profile, the distribution plot window (modal) and the report in
// "frmMaxLike".
void presentLikelihoodProfile(Application& app);

// The whole dialogue of "&Maximium likelihood (ML) confidence distributions".
void runLikelihoodProfile(Application& app);

} // namespace orvanta
