// Compiled once per instruction set: foreach_target.h includes this file again for each.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "model/GrowthClassKernel.cpp"
#include <hwy/foreach_target.h> // IWYU pragma: keep

#include <hwy/highway.h>

#include "model/GrowthClassKernel.h"

// Only plain IEEE operations are used (Add, Sub, Mul, Div, IfThenElse): never MulAdd and its
// kin, which may fuse the multiplication and the addition into one rounding.

HWY_BEFORE_NAMESPACE();
namespace orvanta::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

using Tag = hn::ScalableTag<double>;
using Vec = hn::Vec<Tag>;

// The slope terms of one lane group at size x: numerator K - b (L - 2x) - Z(x) and denominator
// (K + b x)(L - x) of slope(x, n) = n numerator / denominator.
struct Terms {
    Vec numerator;
    Vec denominator;
};

HWY_INLINE Terms termsAt(Tag d, Vec L, double K, double b, double x, double mortality)
{
    const Vec numerator =
        hn::Sub(hn::Sub(hn::Set(d, K), hn::Mul(hn::Set(d, b), hn::Sub(L, hn::Set(d, 2.0 * x)))),
                hn::Set(d, mortality));
    const Vec denominator = hn::Mul(hn::Set(d, K + b * x), hn::Sub(L, hn::Set(d, x)));
    return {numerator, denominator};
}

HWY_INLINE Vec slope(Vec n, const Terms& terms)
{
    return hn::Div(hn::Mul(n, terms.numerator), terms.denominator);
}

// One Runge-Kutta step of -1: n - (k1 + 2 k2 + 2 k3 + k4) / 6.
HWY_INLINE Vec stepDown(Tag d, Vec n, const Terms& atX, const Terms& atHalf, const Terms& atNext)
{
    const Vec two = hn::Set(d, 2.0);
    const Vec k1 = slope(n, atX);
    const Vec k2 = slope(hn::Sub(n, hn::Div(k1, two)), atHalf);
    const Vec k3 = slope(hn::Sub(n, hn::Div(k2, two)), atHalf);
    const Vec k4 = slope(hn::Sub(n, k3), atNext);
    const Vec sum = hn::Add(hn::Add(hn::Add(k1, hn::Mul(two, k2)), hn::Mul(two, k3)), k4);
    return hn::Sub(n, hn::Div(sum, hn::Set(d, 6.0)));
}

// All lane groups step together from the top of the block; a lane waits at n = 1 until the
// step that reaches its start. Its first step then uses the terms at its start computed by the
// step before, exactly as a lone integration would.
void integrateClassBlock(ClassBlock& block, int top, double K, double b, const double* mortalityAtHalves)
{
    const Tag d;
    const std::size_t lanes = hn::Lanes(d);
    const std::size_t groups = classBlockWidth / lanes;
    std::array<ClassBlockRow, 2> termsX{}; // numerator, denominator at x for every lane
    const Vec one = hn::Set(d, 1.0);
    for (std::size_t group = 0; group < groups; ++group) {
        const std::size_t lane = group * lanes;
        const Vec L = hn::LoadU(d, block.L.data() + lane);
        const Terms atTop = termsAt(d, L, K, b, top, mortalityAtHalves[2 * top]);
        hn::StoreU(atTop.numerator, d, termsX[0].data() + lane);
        hn::StoreU(atTop.denominator, d, termsX[1].data() + lane);
        hn::StoreU(one, d, block.n[static_cast<std::size_t>(top)].data() + lane);
    }
    for (int x = top; x >= 1; --x) {
        const double half = x - 0.5;
        const double next = x - 1.0;
        const double zHalf = mortalityAtHalves[2 * x - 1];
        const double zNext = mortalityAtHalves[2 * x - 2];
        const Vec size = hn::Set(d, static_cast<double>(x));
        const ClassBlockRow& current = block.n[static_cast<std::size_t>(x)];
        ClassBlockRow& below = block.n[static_cast<std::size_t>(x - 1)];
        for (std::size_t group = 0; group < groups; ++group) {
            const std::size_t lane = group * lanes;
            const Vec L = hn::LoadU(d, block.L.data() + lane);
            const Terms atX{hn::LoadU(d, termsX[0].data() + lane), hn::LoadU(d, termsX[1].data() + lane)};
            const Terms atHalf = termsAt(d, L, K, b, half, zHalf);
            const Terms atNext = termsAt(d, L, K, b, next, zNext);
            const Vec n = hn::LoadU(d, current.data() + lane);
            const Vec stepped = stepDown(d, n, atX, atHalf, atNext);
            const auto started = hn::Le(size, hn::LoadU(d, block.start.data() + lane));
            hn::StoreU(hn::IfThenElse(started, stepped, one), d, below.data() + lane);
            hn::StoreU(atNext.numerator, d, termsX[0].data() + lane);
            hn::StoreU(atNext.denominator, d, termsX[1].data() + lane);
        }
    }
}

void scaleClassBlock(ClassBlock& block, int top, const ClassBlockRow& factor, const ClassBlockRow& n0,
                     const ClassBlockRow& scale)
{
    const Tag d;
    const std::size_t lanes = hn::Lanes(d);
    for (int x = 0; x <= top; ++x) {
        ClassBlockRow& row = block.n[static_cast<std::size_t>(x)];
        for (std::size_t lane = 0; lane < classBlockWidth; lane += lanes) {
            const Vec n = hn::LoadU(d, row.data() + lane);
            const Vec scaled = hn::Div(
                hn::Div(hn::Mul(hn::LoadU(d, factor.data() + lane), n), hn::LoadU(d, n0.data() + lane)),
                hn::LoadU(d, scale.data() + lane));
            hn::StoreU(scaled, d, row.data() + lane);
        }
    }
}

} // namespace orvanta::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace orvanta {

HWY_EXPORT(integrateClassBlock);
HWY_EXPORT(scaleClassBlock);

void integrateClassBlock(ClassBlock& block, int top, double K, double b, const double* mortalityAtHalves)
{
    HWY_DYNAMIC_DISPATCH(integrateClassBlock)(block, top, K, b, mortalityAtHalves);
}

void scaleClassBlock(ClassBlock& block, int top, const ClassBlockRow& factor, const ClassBlockRow& n0,
                     const ClassBlockRow& scale)
{
    HWY_DYNAMIC_DISPATCH(scaleClassBlock)(block, top, factor, n0, scale);
}

} // namespace orvanta
#endif
