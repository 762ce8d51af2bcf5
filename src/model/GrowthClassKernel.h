#pragma once

#include "model/ModelState.h"

#include <array>
#include <cstddef>

// The vectorised heart of the frequency part: the Runge-Kutta integration of a block of growth
// classes of one K side by side, and the scaling of their densities. Compiled for several
// instruction sets (AVX-512, AVX2, SSE4, ..., the portable baseline) and chosen at run time for
// the processor. Every lane goes through exactly the operations of the scalar integration, in
// the same order, without fused multiply-add: the results are bit for bit those of the scalar
// code on every instruction set (model/VectorMath.h tells and restricts which runs).

namespace orvanta {

inline constexpr std::size_t classBlockWidth = 16;

using ClassBlockRow = std::array<double, classBlockWidth>;

// Classes (lanes) of one K; lane g starts at size start[g] (a whole number, kept as a double)
// with n = 1 and is integrated down to 0. Lanes with the same class repeat its results.
struct ClassBlock {
    alignas(64) ClassBlockRow L{};
    alignas(64) ClassBlockRow start{};
    alignas(64) std::array<ClassBlockRow, maxSize + 1> n{}; // n[x][lane], valid for x <= start
};

// Integrates every lane from its start down to 0 with unit steps of the classical fourth-order
// Runge-Kutta scheme for dn/dx = -n (Z + g') / g, g = (K + b x)(L - x). mortalityAtHalves[i] is
// Z(i / 2), i = 0..500. top is the largest start of the block.
void integrateClassBlock(ClassBlock& block, int top, double K, double b, const double* mortalityAtHalves);

// n[x][lane] = factor[lane] n[x][lane] / n0[lane] / scale[lane] for x = 0..top, divided in that
// order.
void scaleClassBlock(ClassBlock& block, int top, const ClassBlockRow& factor, const ClassBlockRow& n0,
                     const ClassBlockRow& scale);

} // namespace orvanta
