#pragma once

// One curve of negative log-likelihood values over evenly spaced values of a single parameter,
// and the probability distribution it stands for. Three tools fill it: the maximum-likelihood
// profile, the Bayesian posterior integration and the prior profile. Each sizes the record with
// reset(n) and fills pointCount, pointStep, pointValues, negLogL, modeIndex and modeValue;
// computeDistributionStatistics derives the rest in place.
//
// The distribution is L(x) = exp(-(negLogL(x) - negLogL(mode))), normalised by its integral.
// Integrals are composite Simpson sums over the double panels (i, i+1, i+2), i = 1, 3, 5, ...,
// each weighted (h x 2) / 6; with an even point count the last point takes no part. From them:
//   mean      = integral of x L / integral of L
//   SE        = sqrt(integral of x^2 L / integral of L - mean^2)   (0 when rounding makes it < 0)
//   pdf(i)    = L(x_i) / integral of L
//   normalPdf = the Gaussian density with that mean and SE, 2 pi taken as 8 atan(1)
//   cumulative(i) = the integral of pdf up to x_i: Simpson over the double panels at the odd
//               points, a Simpson panel centred on i - 1 at the even points (a rectangle h wide
//               at point 2), every computed value capped at 1
//   ciOnMode(i) = the share of the probability on point i's side of the mode that lies between
//               the mode and x_i (ciOnMean the same about the point nearest the mean); both stay
//               0 when their centre is the first point.
// Reference: composite Simpson's rule, e.g. Press et al., Numerical Recipes, 2nd ed., 4.1.

#include "uncertainty/BivariateDensity.h"

#include <string>
#include <vector>

namespace orvanta {

// A -ln[L] that stands for no likelihood at all: its density is 0. Profile points whose
// objective has no finite value get it, as a posterior point whose grid sums to 0 does.
inline constexpr double noLikelihood = 1e20;

struct DistributionProfile {
    int pointCount = 0;              // n
    double pointStep = 0.0;          // h, positive
    std::vector<double> pointValues; // 1..n, increasing
    std::vector<double> negLogL;     // 1..n; relative to the mode once the statistics ran
    int modeIndex = 0;               // smallest negLogL, the first such point evaluated
    double modeValue = 0.0;
    std::vector<double> pdf;        // 1..n
    std::vector<double> cumulative; // 0..n, cumulative(0) = 0
    std::vector<double> ciOnMode;   // 1..n
    std::vector<double> ciOnMean;   // 1..n
    std::vector<double> normalPdf;  // 1..n
    double meanValue = 0.0;
    double estimatedSE = 0.0;
    double modeMinusMean = 0.0;

    // Every array sized 0..n and zero-filled, every number 0, pointCount n (0 below 0). The
    // scalars are cleared too, so that a distribution whose density integrates to nothing
    // reports 0 rather than the mean of an earlier run.
    void reset(int n);
};

// Steps 1 to 8 of the statistics on the record in place; needs pointCount, pointStep,
// pointValues, negLogL, modeIndex and modeValue. A record without points, or whose modeIndex is
// not one of them, is left as it is.
void computeDistributionStatistics(DistributionProfile& profile);

// Puts the points of a curve calculated with a negative step in increasing order: point i and
// point n + 1 - i exchange their values and -ln[L], and modeIndex follows its point.
void reverseDistributionPoints(DistributionProfile& profile);

// "Percent Diff": 100 x (mode - mean) / mean, or nothing when the mean is exactly 0.
bool percentDiffDefined(const DistributionProfile& profile);
double percentDiff(const DistributionProfile& profile);

// The tools that leave a distribution in the shared record.
enum class DistributionTool { None, MaximumLikelihood, BayesianPosterior, PriorProfile };

// The engine's one distribution record: the last profile, posterior or prior profile, the
// parameter it is of and which tool made it. Whether it may still be offered again is the
// parameter set's profileResultsValid (cleared by every rebuild of the free-parameter index).
struct StoredDistribution {
    DistributionProfile profile;
    DistributionTool tool = DistributionTool::None;
    int parameter = 0;
    // The joint density of the last posterior with exactly one grid parameter.
    BivariateDensity bivariate;
};

} // namespace orvanta
