#pragma once

// Internal companions of the numerical routines for the model's hot loops. Each returns exactly
// (bit for bit) what the public routine returns, only doing shared work once.

namespace orvanta::detail {

// The first and second partial moments of N(mean, variance) from lower to mean + 9 sd, as
// normalPartialMoment(lower, mean, variance, 1) and (..., 2) return them: both moments take the
// same Simpson points, so each exponential is evaluated once for both.
struct PartialMoments {
    double first = 0.0;
    double second = 0.0;
};
PartialMoments normalPartialMoments12(double lower, double mean, double variance);

// The lean forms of normalPartialMoments12, convolvedGaussianNll and convolvedGammaNll: the same
// Simpson panels, summed panel by panel in the same order, but neighbouring panels share their
// common end (j h rather than (j - 1) h + h) and the exponentials and logarithms of a whole
// integral are taken together by the vector functions (model/VectorMath.h); the gamma integrand
// takes one exponential where it took two. They agree with the routines above to about 1e-14
// relative, not bit for bit.
PartialMoments normalPartialMoments12Lean(double lower, double mean, double variance);
double convolvedGaussianNllLean(double& P0, double d, double mu, double V, double mv);
double convolvedGammaNllLean(double d, double mean, double variance, double a, double s, double lnNorm,
                             double mv);

} // namespace orvanta::detail
