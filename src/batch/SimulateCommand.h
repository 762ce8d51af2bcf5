#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace orvanta {

// orvanta-batch simulate --params V1,...,V20 [--seed S]
//                        [--freq FILE [--freq-count N] [--cell-width W]]
//                        [--inc FILE [--inc-count N] [tag-recapture or size-at-age options]]
// Simulates a size-frequency file and/or an increment file from the model at the given values
// (see model/DataSimulator.h), writes them and prints what it wrote. The usage text of
// orvanta-batch lists every option with its default.
int runSimulateCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace orvanta
