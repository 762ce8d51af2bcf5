#pragma once

// The entry of one prior in the prior editor: the prompts of the chosen type in their order, its
// acceptance test and the values it stores.
//
//   type  title                     accepted when                       stored
//   N     "Gaussian (i.e., Normal)" always                              mean, |SD|
//   G     "Gamma"                   SD < mean, both non-zero            |mean|, |SD|
//   E     "Exponential"             always                              |mean| twice
//   L     "Ln-normal"               mean and SD non-zero                |mean|, |SD|
//   B     "Beta"                    0 < mean < 1, SD non-zero, then     |mean|, |SD|
//                                   the shapes a and b above 0
//   S, D  the cliffs                always                              foot, |SD|
//   T     "Uniform-bounded"         right foot > left foot (else all    left, |SD|, right, |SD|
//                                   four prompts again)
//   U     no prompts                always                              the default prior
//
// The tests read each answer's leading number, so an answer that is no number counts as 0 and a
// refused entry ends without a word (the beta says why). An entry whose test lets through an
// answer that is no number in full ("abc" for a Gaussian mean, "5 kg" for a gamma mean) has no
// value to store: it is refused with a message that quotes the answer. So is an entry whose
// prior would have no finite -ln[L] (a Gaussian SD of 0, say), with the reason.

#include "priors/PriorSpec.h"

#include <optional>
#include <string>

namespace orvanta {

class UserInterface;

// The title of the prompts of a type ("Gaussian (i.e., Normal)").
std::string priorEntryTitle(PriorType type);

// Asks for the terms of a prior of the given type for parameter param; the prior to store, or
// nothing when an answer was empty (Cancel) or the entry was refused.
std::optional<PriorSpec> askPriorEntry(UserInterface& ui, PriorType type, int param);

// The beta's shape values from the magnitudes of the mean m and SD s:
// a = m (m - m^2 - s^2) / s^2, b = (1 - m)(m - m^2 - s^2) / s^2.
struct BetaShapes {
    double a = 0.0;
    double b = 0.0;
};
BetaShapes betaShapes(double mean, double sd);

} // namespace orvanta
