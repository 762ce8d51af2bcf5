#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace orvanta {

// orvanta-batch prior-profile --priors FILE.pri --param P [--points N] --out FILE.pdp
//                             [--plot FILE.svg]
// Reads the priors file as the load-priors window does (for the model's parameter count) and
// profiles the prior of parameter P as the prior editor's "&Profile prior distributions" does:
// N points (default 101; 0 gives 101, fewer than 3 give 3, an even number the next odd one) over
// the domain the prior's terms give. --out writes exactly the file the report window
// "Prior distribution statistics" saves; --plot draws, after a Clear, the prior distribution
// (curve 2) and then its -ln[L] (curve 1) with lines and points, and writes the picture. Then
// prints "points N", "mode VALUE", "mean VALUE" and "se VALUE" (17 significant digits).
// Exit status: 0 written; 2 bad input, a file that cannot be read or written, or a prior that
// cannot be profiled (uniform-unbounded, without a finite -ln[L], or without a domain).
int runPriorProfileCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace orvanta
