#pragma once

#include "priors/PriorEvaluation.h"
#include "priors/PriorShape.h"
#include "priors/PriorSpec.h"

#include <string>

namespace orvanta::testing {

// A prior as the editor or a priors file leaves it; the second terms stay "Unused" unless given.
inline PriorSpec prior(std::string code, double mean, double sd, PriorTerm rightFoot = {},
                       PriorTerm rightSD = {})
{
    return PriorSpec{std::move(code), mean, sd, std::move(rightFoot), std::move(rightSD)};
}

inline double termAt(const PriorSpec& distribution, double x)
{
    return priorTermAt(priorShape(distribution), x);
}

} // namespace orvanta::testing
