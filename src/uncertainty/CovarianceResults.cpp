#include "uncertainty/CovarianceResults.h"

namespace orvanta {

void GridResults::reset(int n)
{
    determinant = -1.0;
    varianceProduct = -1.0;
    standardError.assign(n + 1, -1.0);
    covariance.assign(n + 1, std::vector<double>(n + 1, -1.0));
}

} // namespace orvanta
