#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace orvanta {

// orvanta-batch rank [--freq FILE] [--inc FILE] [--first-cell N] [--errors gaussian|gamma]
//                    --alg FILE [--cov FILE] [--notes TEXT] --alg FILE [--cov FILE] [--notes TEXT] ...
//                    --constant C [--c-hat X] [--priors FILE.pri] [--average] [--out FILE.mms]
// Initializes the model as evaluate does and enters each algorithm file as a competing model, in
// the order given, as the ranking window's "Calculate model AICc" does: -ln[L] = C x objective,
// K, AICc. Each model's covariance file is found as the window finds it (the algorithm file's
// name with ".cov", in its folder) unless --cov after its --alg names one; --notes after its
// --alg annotates it. --c-hat X (1 or more, default 1) ranks by QAICc when above 1. The models
// are ranked; with --average their estimates and standard errors are averaged from the
// covariance files. Prints the ranked table (rank, entry, -ln[L], K, criterion, difference,
// weight, algorithm file) and, with --average, the averages. --out writes exactly the file the
// window's "&Save ranking and averaging results" writes for the same list.
// Exit status: 0 ranked (and averaged when asked), 1 a model could not be ranked or averaging was
// asked but a covariance file is missing, 2 bad input, 3 a model's objective is not finite.
int runRankCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace orvanta
