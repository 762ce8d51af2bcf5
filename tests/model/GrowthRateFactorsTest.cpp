// The growth-rate factors E1 = E[exp(-K dt)], E2 = E[exp(-2 K dt)] and E2 - E1^2 for a
// gamma-distributed K, against the plain formulas (1 + x)^(-shape) evaluated in 256-bit
// arithmetic (MPFR), where neither 1 + x nor the difference loses anything that matters.

#include "model/IncrementLikelihood.h"

#include "model/ModelParameters.h"
#include "model/ModelState.h"
#include "support/FakeModelHost.h"

#include <gtest/gtest.h>
#include <mpfr.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace orvanta {
namespace {

// A 256-bit MPFR number, released with its scope.
class BigFloat {
public:
    BigFloat() { mpfr_init2(value_, 256); }
    explicit BigFloat(double x) : BigFloat() { mpfr_set_d(value_, x, MPFR_RNDN); }
    BigFloat(const BigFloat&) = delete;
    BigFloat& operator=(const BigFloat&) = delete;
    ~BigFloat() { mpfr_clear(value_); }

    mpfr_ptr get() { return value_; }
    double toDouble() const { return mpfr_get_d(value_, MPFR_RNDN); }

private:
    mpfr_t value_;
};

struct Reference {
    double E1 = 0.0;
    double E2 = 0.0;
    double variance = 0.0;
};

// (1 + x)^(-shape) and (1 + 2x)^(-shape) with x = vark dt / k and shape = k^2 / vark, their
// difference E2 - E1^2 taken after both are known to 256 bits.
Reference reference(double k, double vark, double dt)
{
    BigFloat K(k), V(vark), T(dt), x, shape, base, e1, e2, square, difference;
    mpfr_mul(x.get(), V.get(), T.get(), MPFR_RNDN);
    mpfr_div(x.get(), x.get(), K.get(), MPFR_RNDN);
    mpfr_mul(shape.get(), K.get(), K.get(), MPFR_RNDN);
    mpfr_div(shape.get(), shape.get(), V.get(), MPFR_RNDN);
    mpfr_neg(shape.get(), shape.get(), MPFR_RNDN);
    mpfr_add_ui(base.get(), x.get(), 1, MPFR_RNDN);
    mpfr_pow(e1.get(), base.get(), shape.get(), MPFR_RNDN);
    mpfr_mul_ui(base.get(), x.get(), 2, MPFR_RNDN);
    mpfr_add_ui(base.get(), base.get(), 1, MPFR_RNDN);
    mpfr_pow(e2.get(), base.get(), shape.get(), MPFR_RNDN);
    mpfr_mul(square.get(), e1.get(), e1.get(), MPFR_RNDN);
    mpfr_sub(difference.get(), e2.get(), square.get(), MPFR_RNDN);
    return {e1.toDouble(), e2.toDouble(), difference.toDouble()};
}

double relativeError(double value, double exact)
{
    return std::fabs(value - exact) / std::fabs(exact);
}

TEST(GrowthRateFactors, AgreeWithAHighPrecisionComputationFromTheFloorUpwards)
{
    for (const double vark : {1.000001e-12, 3e-12, 1e-11, 1e-10, 1e-9, 1e-8, 1e-6, 1e-4, 1e-2, 0.25}) {
        for (const double k : {0.02, 0.3, 1.5}) {
            for (const double dt : {1.0 / 365.0, 0.1, 1.0, 6.0}) {
                SCOPED_TRACE(::testing::Message() << "vark " << vark << ", k " << k << ", dt " << dt);
                const GrowthRateFactors f = growthRateFactors(k, vark, false, dt);
                const Reference r = reference(k, vark, dt);
                EXPECT_LT(relativeError(f.E1, r.E1), 1e-14);
                EXPECT_LT(relativeError(f.E2, r.E2), 1e-14);
                EXPECT_LT(relativeError(f.variance, r.variance), 1e-12);
            }
        }
    }
}

// At the floor K is fixed at k. Just above it the factors differ from the fixed k's only by the
// tiny variance of K: E2 - E1^2 tends to E1^2 vark dt^2 and E1 to exp(-k dt).
TEST(GrowthRateFactors, AreContinuousWithTheFixedKAtTheFloor)
{
    const double k = 0.3;
    const double dt = 2.0;
    const GrowthRateFactors floor = growthRateFactors(k, varkFloor, true, dt);
    const GrowthRateFactors above = growthRateFactors(k, varkFloor * (1.0 + 1e-9), false, dt);
    EXPECT_LT(relativeError(above.E1, floor.E1), 1e-11);
    EXPECT_LT(relativeError(above.E2, floor.E2), 1e-11);
    EXPECT_NEAR(above.variance, floor.E1 * floor.E1 * varkFloor * dt * dt, 1e-6 * above.variance);
    EXPECT_LT(std::fabs(above.variance - floor.variance), 1e-11 * floor.E1 * floor.E1);
}

// The increment part of records with no measurement error, where the variance of K matters most,
// over SDs of k from just above the floor (1e-6) to 1e-5: a smooth curve, whose second differences
// are far smaller than its first (cancellation in E2 - E1^2 made it jump by whole units between
// neighbouring points). At the floor itself K is fixed, which differs from the curve only by the
// floor's variance of 1e-12.
TEST(GrowthRateFactors, TheIncrementPartIsSmoothInTheSdOfKNearTheFloor)
{
    ModelState state;
    state.incrementErrorType = IncrementErrorType::Gaussian;
    const double records[][4] = {{40.0, 24.2, 50, 485}, {60.0, 11.0, 100, 300}, {80.0, 4.0, 10, 900},
                                 {30.0, 29.0, 200, 700}, {95.0, 0.8, 30, 120}};
    for (const auto& r : records) {
        state.increments.records.push_back(IncrementRecord{1.0, r[0], r[1], r[2], r[3]});
        ++state.increments.recordCount;
    }
    testing::FakeModelHost host;
    std::vector<double> p(modelParamCount + 1, 0.0);
    p[1] = 110.0;
    p[2] = 6.0;
    p[3] = 0.3;
    p[18] = p[19] = p[20] = notUsed;
    const auto incrementPartAt = [&](double sdK) {
        p[4] = sdK;
        ModelParameters params;
        params.Linf = p[1];
        params.varLinf = p[2] * p[2];
        params.k = p[3];
        params.vark = std::max(sdK * sdK, varkFloor);
        return incrementPart(state, params, p, host);
    };

    std::vector<double> values;
    for (int i = 0; i <= 60; ++i)
        values.push_back(incrementPartAt(1.0000001e-6 + i * 1.5e-7));
    double largestFirst = 0.0;
    double largestSecond = 0.0;
    for (std::size_t i = 1; i + 1 < values.size(); ++i) {
        largestFirst = std::max(largestFirst, std::fabs(values[i + 1] - values[i]));
        largestSecond = std::max(largestSecond, std::fabs(values[i + 1] - 2.0 * values[i] + values[i - 1]));
    }
    EXPECT_GT(largestFirst, 0.0);
    EXPECT_LT(largestSecond, 0.2 * largestFirst);
    EXPECT_NEAR(incrementPartAt(1e-6), values[0], 1e-9 * std::fabs(values[0]));
}

} // namespace
} // namespace orvanta
