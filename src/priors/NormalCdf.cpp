#include "priors/NormalCdf.h"

#include <array>
#include <cmath>
#include <numbers>

namespace orvanta {

namespace {

constexpr double c1 = -1.26551223;
// c_2 .. c_10, applied from c_10 down to c_2.
constexpr std::array<double, 9> nestedCoefficients = {
    1.00002368,  0.37409196, 0.09678418,  -0.18628806, 0.27886807,
    -1.13520398, 1.48851587, -0.82215223, 0.17087277,
};

} // namespace

double normalCdf(double z)
{
    const double magnitude = std::fabs(z);
    const double t = 1.0 / (1.0 + magnitude / (2.0 * std::numbers::sqrt2));
    const double y = magnitude / std::numbers::sqrt2;
    double a = 0.0;
    for (auto k = nestedCoefficients.rbegin(); k != nestedCoefficients.rend(); ++k)
        a = t * (a + *k);
    const double e = t * std::exp(a + c1 - y * y);
    return z < 0.0 ? e / 2.0 : 1.0 - e / 2.0;
}

} // namespace orvanta
