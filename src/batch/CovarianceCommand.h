#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace orvanta {

// orvanta-batch covariance [--freq FILE] [--inc FILE] [--first-cell N] [--errors gaussian|gamma]
//                          --alg FILE --constant C [--factors F1,F2,F3] [--optimistic]
//                          [--out FILE.cov]
// Initializes the model as evaluate does, loads the algorithm file (fuse groups, then the free
// index from its non-zero steps) and runs the numerical covariance calculator around its values
// with the objective constant C (-ln[L] = C x objective) and the three grid factors (default
// 1, 0.1 and 0.01). Prints the centre objective, whether each grid's Hessian was positive
// definite and the standard errors of every grid, 17 significant digits, -1 where a grid gave
// none. --out writes the covariance report exactly as the display window saves it, headed by
// the file's full path; it never replaces an input file.
// Exit status: 0 all three grids calculated, 1 some grid's Hessian was not positive definite
// (its numbers are -1, the file is still written), 2 bad input, 3 no finite objective at the
// centre.
int runCovarianceCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace orvanta
