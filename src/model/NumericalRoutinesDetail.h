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

} // namespace orvanta::detail
