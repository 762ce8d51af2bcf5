#pragma once

// Why a prior cannot be used, in words for the user: the prior editor and the priors-file reader
// refuse such values with these texts instead of letting them reach a fit.

#include <string>
#include <vector>

namespace orvanta {

struct PriorSpec;

// Empty when the prior has a finite -ln[L] everywhere, otherwise what is wrong with its terms,
// e.g. "its SD must not be 0" for a Gaussian prior with an SD of 0.
std::string priorProblem(const PriorSpec& prior);

// The problem of the prior of parameter param as a sentence, named with its type:
// "The Gamma prior of parameter 3 cannot be used: its SD must be above 0 and below its mean."
// Empty when the prior can be used.
std::string priorProblemSentence(const PriorSpec& prior, int param);

// The sentence of the first parameter 1..paramCount whose prior has a problem; empty when every
// prior can be used.
std::string priorsProblem(const std::vector<PriorSpec>& priors, int paramCount);

} // namespace orvanta
