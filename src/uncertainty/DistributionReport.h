#pragma once

// The distribution report of a profile, posterior or prior profile: a heading, one line per
// point with its value, -ln[L], density and two further columns, and five closing lines (mode,
// mean, their difference absolute and in percent, SE). Every number is written in the pattern
// "0.0000E+000   " (three trailing blanks) and right-aligned in 15 characters. Lines end with
// "\n"; a saved file gets CR LF.

#include <string>

namespace orvanta {

struct DistributionProfile;

// The two columns after the density: the confidence levels about the mode and the mean (the
// profile and the posterior), or the cumulative probability and its complement (the prior
// profile).
enum class DistributionColumns { ConfidenceRegions, Cumulative };

// Headings of the two reports that use this module's windows.
inline constexpr const char* maximumLikelihoodHeading = "Maximum-likelihood confidence distribution data";
inline constexpr const char* posteriorHeading = "Bayesian posterior distribution data";

// Shown in the "Percent Diff:   " field when the mean is exactly 0.
inline constexpr const char* undefinedPercentText = "undefined";

std::string writeDistributionReport(const DistributionProfile& profile, const std::string& heading,
                                    DistributionColumns columns = DistributionColumns::ConfidenceRegions);

} // namespace orvanta
