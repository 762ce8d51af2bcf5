#include "priors/NormalCdf.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

namespace orvanta {
namespace {

// The reference is the C library's complementary error function: P(Z <= z) = erfc(-z / sqrt 2) / 2.
double referenceCdf(double z)
{
    return 0.5 * std::erfc(-z / std::numbers::sqrt2);
}

TEST(NormalCdf, FollowsTheErrorFunctionWithinTheFitsFractionalError)
{
    for (double z = -10.0; z <= 10.0; z += 0.125) {
        const double reference = referenceCdf(z);
        EXPECT_NEAR(normalCdf(z), reference, 1e-7) << z;
        // In the left tail the fit's fractional error bound holds for the probability itself.
        if (z < 0.0)
            EXPECT_NEAR(normalCdf(z) / reference, 1.0, 1.2e-7) << z;
    }
}

TEST(NormalCdf, KnownQuantiles)
{
    EXPECT_NEAR(normalCdf(0.0), 0.5, 1e-7);
    EXPECT_NEAR(normalCdf(1.96), 0.975, 1e-4);
    EXPECT_NEAR(normalCdf(-1.96), 0.025, 1e-4);
}

TEST(NormalCdf, FarTailsRoundToExactlyZeroAndOne)
{
    // The cliffs switch to their walls exactly when these round off.
    EXPECT_EQ(normalCdf(9.0), 1.0);
    EXPECT_GT(normalCdf(-9.0), 0.0);
    EXPECT_EQ(normalCdf(-40.0), 0.0);
    constexpr double infinity = std::numeric_limits<double>::infinity();
    EXPECT_EQ(normalCdf(infinity), 1.0);
    EXPECT_EQ(normalCdf(-infinity), 0.0);
    EXPECT_TRUE(std::isnan(normalCdf(std::numeric_limits<double>::quiet_NaN())));
}

} // namespace
} // namespace orvanta
