#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace orvanta {

// orvanta-batch posterior [--freq FILE] [--inc FILE] [--first-cell N] [--errors gaussian|gamma]
//                         --alg FILE --param P --constant C [--priors FILE.pri] [--points N]
//                         [--grid-points M] [--steps-from FILE.cov --grid G] [--out FILE.pos]
//                         [--grd FILE.grd] [--plot FILE.svg] [--bivariate-plot FILE.svg]
// Initializes the model as evaluate does, loads the algorithm file and integrates the marginal
// posterior of parameter P as "&Bayesian posterior (BP) distributions" does: N points (default
// 25; 1..1001, fewer than 3 give 3, an even number the next odd one) around P's value at P's
// step, each the sum of likelihood x prior over M points (default 25, the same rules) per other
// free parameter, y = (objective + prior penalty) x C. --steps-from takes the steps from grid G
// of a saved covariance file (7 SE / (M - 1) for the grid, 8 SE / (N - 1) for P). --out writes
// exactly the file the report window's save writes; without it the report goes to standard
// output. --grd writes the grid file and --bivariate-plot the bivariate density plot (one grid
// parameter only); --plot draws, after a Clear, the posterior (curve 2) and then -ln[L] (curve 1)
// with lines and points. Prints "points N", "grid_parameters K", "calls C", "mode", "mean" and
// "se". Progress goes to standard error while it is a terminal.
// Exit status: 0 a complete run, 1 a run that leaves no distribution, 2 bad input or a refused
// set-up (call limit, more than 6 grid parameters, a zero step), 3 the objective is not finite at
// the starting values.
int runPosteriorCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace orvanta
