#pragma once

// What a prior's -ln[L] needs besides the parameter value: its type, its terms as used and the
// shape constants derived from them, worked out once per prior and evaluation without touching
// the heap.
//
// The shapes follow from the mean M and SD s by moments:
//     gamma      shape a = (M / s)^2, scale b = |s^2 / M|, mode m = (a - 1) b;
//     ln-normal  v = sqrt(ln(M^2 + s^2) - 2 ln M) and u = ln M - v^2 / 2 are the SD and mean of
//                ln x, mode m = exp(u - v^2);
//     beta       a = M (M - M^2 - s^2) / s^2, b = (1 - M)(M - M^2 - s^2) / s^2,
//                mode m = (1 - a) / (2 - a - b) kept inside [1e-6, 0.999999].
// modeTerm is the bracket of the type's -ln density at m, so that a prior measured at its mode
// contributes 0. For a beta prior with a or b below 1 the density has no interior maximum;
// (1 - a) / (2 - a - b) is then its interior minimum and the prior's terms come out negative
// away from it. The editor accepts such priors (it asks only for a and b above 0), so they are
// evaluated as they stand rather than refused here.
//
// Values the prior editor cannot store: it keeps the magnitudes of every term except the
// Gaussian mean and the feet of the cliffs and of the uniform-bounded type, so a negative term
// read from a hand-edited priors file is used as its magnitude, as the editor would have
// stored it. For every prior the editor can store they change nothing.
//
// Priors without a finite -ln[L] carry a fault and are never evaluated: a Gaussian or beta SD of
// 0, an exponential mean of 0, a gamma SD that is not below its mean (a <= 1, no mode above 0),
// an ln-normal mean or SD of 0, a beta mean outside (0, 1) or a beta shape not above 0, a shape
// so extreme that its constants overflow, a term that is not a finite number, a second term of
// the uniform-bounded type that is not a number, and a type code that names no type.

#include "priors/PriorSpec.h"

#include <string_view>

namespace orvanta {

// Below the lower edge (and for the beta above the upper one) the gamma, ln-normal and beta
// priors are replaced by a steep quadratic wall, wallFactor times the squared distance, which
// keeps a minimizer out of the region where their logarithms do not exist.
inline constexpr double priorSupportLow = 1e-6;
inline constexpr double priorSupportHigh = 0.999999;
inline constexpr double priorWallFactor = 1e20;

enum class PriorFault {
    None,
    UnknownType, // the type code names none of the nine types
    NotFinite,   // a term the type uses is NaN or infinite
    ZeroSD,      // Gaussian, ln-normal or beta
    ZeroMean,    // exponential or ln-normal
    GammaSDNotBelowMean,
    BetaMeanOutside,    // the beta mean is not inside (0, 1)
    BetaShape,          // a or b of the beta is not above 0
    ExtremeShape,       // the shape constants overflow or underflow
    RightFootNotNumber, // a second term of the uniform-bounded type is text
};

struct PriorShape {
    PriorType type = PriorType::None;
    PriorFault fault = PriorFault::None;
    double mean = 0.0;      // M, a cliff's foot or the left foot
    double sd = 0.0;        // s, or the SD at that foot
    double rightFoot = 0.0; // uniform-bounded only
    double rightSD = 0.0;
    double a = 0.0;        // gamma and beta shape a; ln-normal u
    double b = 0.0;        // gamma scale b, beta shape b; ln-normal v
    double modeTerm = 0.0; // the bracket of the -ln density at the mode
};

PriorShape priorShape(const PriorSpec& prior);

// The beta mode (1 - a) / (2 - a - b) kept inside [1e-6, 0.999999]. With a + b = 2 the quotient
// has no finite value: the mode is the edge the density rises towards, or 0.5 when a = b = 1,
// where the density is flat and every point is a mode.
double betaMode(double a, double b);

} // namespace orvanta
