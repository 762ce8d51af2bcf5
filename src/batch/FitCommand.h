#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace orvanta {

// orvanta-batch fit --method simplex|marquardt [--freq FILE] [--inc FILE] [--first-cell N]
//                   [--errors gaussian|gamma] --alg IN --out OUT [--overwrite-input]
//                   [--log FILE [--log-frequency N]] [--verbose]
// Initializes the model as evaluate does, loads the algorithm file IN, minimizes from its values
// with the chosen minimizer, writes the algorithm data holding the estimates to OUT and prints
// how the run ended, the objective, the counters and the free estimates. The minimizer's
// questions get the answers a run that nobody watches needs: stop at maxCalls; Marquardt with
// numerical derivatives and without the derivative listing.
// Exit status: 0 verified minimum, 1 a run that ended without one (OUT holds the last accepted
// point), 2 bad input, 3 no finite objective at the start.
int runFitCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace orvanta
