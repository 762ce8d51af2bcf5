#include "priors/PriorSpec.h"

#include <algorithm>

namespace orvanta {

bool anyPriorSet(const std::vector<PriorSpec>& priors, int paramCount)
{
    const int last = std::min(paramCount, static_cast<int>(priors.size()) - 1);
    for (int i = 1; i <= last; ++i)
        if (priors[i].typeCode != "U")
            return true;
    return false;
}

} // namespace orvanta
