#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace orvanta {

// orvanta-batch profile [--freq FILE] [--inc FILE] [--first-cell N] [--errors gaussian|gamma]
//                       --alg FILE --param P --constant C [--points N] [--method simplex|marquardt]
//                       [--steps-from FILE.cov --grid G] [--out FILE.mlc] [--plot FILE.svg]
//                       [--priors FILE.pri]
// Initializes the model as evaluate does, loads the algorithm file and calculates the
// maximum-likelihood profile of parameter P as "&Maximium likelihood (ML) confidence
// distributions" does: N points (default 25; 0 gives 25, fewer than 3 give 3, an even number the
// next odd one) around P's value at P's step, the other free parameters re-minimized at every
// point (Simplex by default; Marquardt with numerical derivatives), -ln[L] = C x objective.
// --steps-from takes every free parameter's step from grid G of a saved covariance file
// (8 SE / (N - 1)). --out writes exactly the file the report window's save writes; without it the
// report goes to standard output. --plot draws, after a Clear, the confidence distribution (curve
// 2) and then the likelihood profile (curve 1) with lines and points, and writes the picture.
// Then prints "points N", "mode VALUE", "lr95_lower VALUE" and "lr95_upper VALUE": the
// likelihood-ratio 95% interval, where -ln[L] rises 1.92 above its minimum, interpolated
// linearly between points, or "open" on a side the profile does not reach.
// --priors puts the priors of the file in force as evaluate does: every point's -ln[L] includes
// the priors' -ln[L] (C x the penalty), and "prior_penalty VALUE" at the values of FILE is
// printed last.
// Exit status: 0 a complete profile, 1 a cut profile or an interval open on both sides, 2 bad
// input, 3 the objective is not finite at the start.
int runProfileCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace orvanta
