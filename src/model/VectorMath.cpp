// Compiled once per instruction set: foreach_target.h includes this file again for each.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "model/VectorMath.cpp"
#include <hwy/foreach_target.h> // IWYU pragma: keep

#include <hwy/highway.h>

#include "model/VectorMath.h"

#include <algorithm>
#include <array>
#include <cmath>

#ifndef ORVANTA_VECTOR_MATH_SLEEF
#define ORVANTA_VECTOR_MATH_SLEEF
#include <sleef.h>
#endif

HWY_BEFORE_NAMESPACE();
namespace orvanta::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

using Tag = hn::ScalableTag<double>;
using Vec = hn::Vec<Tag>;

// SLEEF's functions for the instruction set (its 1-ulp variants); the plain C library where
// there is no vector. The AVX declarations are repeated here: its header declares them only when
// the whole file is compiled for AVX.
#if HWY_TARGET == HWY_AVX3
extern "C" __m512d Sleef_expd8_u10avx512f(__m512d);
extern "C" __m512d Sleef_logd8_u10avx512f(__m512d);
Vec vectorExp(Vec v)
{
    return Vec{Sleef_expd8_u10avx512f(v.raw)};
}
Vec vectorLog(Vec v)
{
    return Vec{Sleef_logd8_u10avx512f(v.raw)};
}
#elif HWY_TARGET == HWY_AVX2
extern "C" __m256d Sleef_expd4_u10avx2(__m256d);
extern "C" __m256d Sleef_logd4_u10avx2(__m256d);
Vec vectorExp(Vec v)
{
    return Vec{Sleef_expd4_u10avx2(v.raw)};
}
Vec vectorLog(Vec v)
{
    return Vec{Sleef_logd4_u10avx2(v.raw)};
}
#elif HWY_TARGET == HWY_SSE4
Vec vectorExp(Vec v)
{
    return Vec{Sleef_expd2_u10sse4(v.raw)};
}
Vec vectorLog(Vec v)
{
    return Vec{Sleef_logd2_u10sse4(v.raw)};
}
#elif HWY_TARGET == HWY_SSSE3
Vec vectorExp(Vec v)
{
    return Vec{Sleef_expd2_u10sse2(v.raw)};
}
Vec vectorLog(Vec v)
{
    return Vec{Sleef_logd2_u10sse2(v.raw)};
}
#else
#define ORVANTA_SCALAR_MATH 1
#endif

template <typename Function, typename Scalar>
void applyInPlace(double* values, std::size_t count, Function function, Scalar scalar)
{
#ifdef ORVANTA_SCALAR_MATH
    static_cast<void>(function);
    for (std::size_t i = 0; i < count; ++i)
        values[i] = scalar(values[i]);
#else
    static_cast<void>(scalar);
    const Tag d;
    const std::size_t lanes = hn::Lanes(d);
    std::size_t i = 0;
    for (; i + lanes <= count; i += lanes)
        hn::StoreU(function(hn::LoadU(d, values + i)), d, values + i);
    if (i == count)
        return;
    // The last values go through a full vector too, padded with ones.
    HWY_ALIGN std::array<double, HWY_MAX_BYTES / sizeof(double)> rest{};
    std::fill(rest.begin(), rest.end(), 1.0);
    std::copy(values + i, values + count, rest.begin());
    hn::StoreU(function(hn::LoadU(d, rest.data())), d, rest.data());
    std::copy(rest.begin(), rest.begin() + static_cast<std::ptrdiff_t>(count - i), values + i);
#endif
}

void expInPlace(double* values, std::size_t count)
{
    applyInPlace(
        values, count, [](auto v) { return vectorExp(v); }, [](double v) { return std::exp(v); });
}

void logInPlace(double* values, std::size_t count)
{
    applyInPlace(
        values, count, [](auto v) { return vectorLog(v); }, [](double v) { return std::log(v); });
}

const char* instructionSetName()
{
    return hwy::TargetName(HWY_TARGET);
}

#undef ORVANTA_SCALAR_MATH

} // namespace orvanta::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace orvanta {

HWY_EXPORT(expInPlace);
HWY_EXPORT(logInPlace);
HWY_EXPORT(instructionSetName);

std::vector<InstructionSet> availableInstructionSets()
{
    std::vector<InstructionSet> sets;
    for (const std::int64_t id : hwy::SupportedAndGeneratedTargets())
        sets.push_back({id, hwy::TargetName(id)});
    return sets;
}

void restrictInstructionSet(std::int64_t id)
{
    hwy::SetSupportedTargetsForTest(id);
}

std::string activeInstructionSet()
{
    return HWY_DYNAMIC_DISPATCH(instructionSetName)();
}

void expInPlace(std::span<double> values)
{
    HWY_DYNAMIC_DISPATCH(expInPlace)(values.data(), values.size());
}

void logInPlace(std::span<double> values)
{
    HWY_DYNAMIC_DISPATCH(logInPlace)(values.data(), values.size());
}

} // namespace orvanta
#endif
