#pragma once

#include <string>
#include <vector>

namespace orvanta {

// The prior distribution of one parameter. "U" is uniform and unbounded: no prior at all.
struct PriorSpec {
    std::string typeCode = "U";
};

// Whether some parameter 1..paramCount has a prior other than uniform-unbounded.
bool anyPriorSet(const std::vector<PriorSpec>& priors, int paramCount);

} // namespace orvanta
