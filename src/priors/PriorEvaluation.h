#pragma once

// The prior -ln[L] of every parameter at the last vector evaluated, and the penalty that is
// added to the objective while priors are in force.

#include <vector>

namespace orvanta {

struct PriorResults {
    std::vector<double> priorTerm; // 1..paramCount
    double priorPenalty = 0.0;     // covScale x the sum of all terms
};

} // namespace orvanta
