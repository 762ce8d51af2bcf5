#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace orvanta {

// orvanta-batch summary [--freq FILE] [--inc FILE] [--first-cell N] [--errors gaussian|gamma]
//                       --alg FILE [--sims N] [--seed S] [--frequency-table]
//                       [--increment-table] [--chi-square] [--out FILE.ovo] [--plots DIR]
//                       [--priors FILE.pri --constant C [--review]]
// Initializes the model as evaluate does, loads the algorithm file and produces the results
// summary as "Res&ults Summary" does (one evaluation, then the summary), answering its questions
// from the options: N chi-square simulations (default 0), the frequency and increment tables,
// the chi-square diagnostics. The first chi-square test is seeded with S (default 1), each later
// test of the summary with the next seed. --out writes exactly the file the summary window's
// save writes (headed by the file's full path); without it the report goes to standard output.
// --plots DIR writes the plot pages as page-01.svg, page-02.svg, ... with the default plots
// (index mode, lines and points, every series of the page overlaid).
// --priors reads the priors as evaluate does: the summary notes them and their file as the
// window's does (its evaluation is the model's alone, as in the window), and
// "prior_penalty VALUE" at the values of FILE follows it on standard output, with --review the
// review of prior likelihoods there.
// Exit status: 0 report written, 2 bad input, 3 the objective is not finite.
int runSummaryCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace orvanta
