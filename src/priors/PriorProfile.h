#pragma once

// Prior profiles: a preview of one parameter's prior distribution. The prior's -ln[L] is
// evaluated at an odd number n of evenly spread values over a domain derived from its terms and
// the curve goes into the shared distribution record (DistributionProfile.h), whose statistics,
// plot (curve 2 "Bayesian Prior Distribution") and report (with cumulative and attenuated
// columns) make a distribution of it. No model evaluation is involved.
//
// The domain by type, with M, s the first terms (mean and SD, or a foot and its SD) and R, s2
// the right foot of the uniform-bounded type and its SD, as the evaluation uses them; point i
// lies at centre + (i - c) step, c = (n - 1) / 2 + 1:
//     N       centre M, step 10 s / (n - 1): five SDs either side
//     G, L    likewise; a domain that would start below 1e-6 runs instead from 1e-6 to
//             1e-6 + F in steps F / (n - 1), F the last point before that adjustment
//     E       from 0 to 10 means in steps 10 M / (n - 1)
//     B       from 1e-6 to 0.999999, the points between at 0.5 + (i - c) / (n - 1)
//     S, D    centre M, step 3 s / c' with c' = (n - 1) / 2 (three SDs either side); for a hard
//             foot (s = 0) the step |M| / c'; a step of 0 becomes 0.1
//     T       from 3 SDs left of the left foot to 3 SDs right of the right foot; a step of 0
//             becomes 0.1
// A hard cliff's step is the magnitude of M / c': with a negative foot the plain quotient would
// be negative, the points would run downwards and the area under the density turn negative.
//
// A prior is refused, with a sentence saying why, when it is uniform-unbounded (nothing to
// plot), has no finite -ln[L] (priorProblem: a Gaussian SD or an exponential mean of 0 gives a
// domain of no width), or when its domain does not consist of n finite values rising point by
// point (terms so large or so close together that the points overflow or coincide).

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace orvanta {

class Application;
struct DistributionProfile;
struct PriorSpec;

inline constexpr const char* priorProfileTitle = "Evaluation of prior distributions";
inline constexpr const char* priorProfileHeading = "Bayesian prior distribution data";
inline constexpr const char* uniformUnboundedNotPlotted =
    "There is nothing to plot when the prior distribution is uniform-unbounded";
inline constexpr int largestPriorProfilePointCount = 1001;

// The number of points an answer of typed (0..1001) gives: 0 -> 101, below 3 -> 3, even -> the
// next odd number.
int priorProfilePointCount(int typed);

// The points of a prior profile and their spacing.
struct PriorProfileDomain {
    std::vector<double> points; // 1..n (element 0 unused)
    double step = 0.0;          // the spacing of the points, pointStep
};

// The domain of n points (odd, 3..1001) of a prior that can be evaluated; nothing for a
// uniform-unbounded prior, a prior with a problem or a domain that is not n rising finite values.
std::optional<PriorProfileDomain> priorProfileDomain(const PriorSpec& prior, int pointCount);

// Why the prior of parameter param cannot be profiled with n points, as a message for the user;
// empty when it can.
std::string priorProfileRefusal(const PriorSpec& prior, int param, int pointCount);

// The calculation: the record sized and filled with the domain, the prior's -ln[L] at every
// point (the prior term without covScale) and the mode. atPoint(i, x) runs before point i is
// evaluated and returns false to stop (the program has ended); the record then holds no
// points. False when the prior cannot be profiled (the record is left as it was) or the run
// stopped.
bool calculatePriorProfile(const std::vector<PriorSpec>& priors, int param, int pointCount,
                           DistributionProfile& profile, const std::function<bool(int i, double x)>& atPoint);

// The report of a prior profile whose statistics ran, as "frmPriorDists" shows it.
std::string priorProfileReport(const DistributionProfile& profile);

// "&Profile prior distributions" of the prior editor: the dialogue, the calculation, the beep,
// the statistics, the distribution plot window (modal) and the report in "frmPriorDists".
// defaultParam is the parameter of the editor's selected row. Stops at once, showing nothing
// more, once the program has ended.
void runPriorProfile(Application& app, int defaultParam);

} // namespace orvanta
