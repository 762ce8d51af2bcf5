#pragma once

// The numerical routines of the model. Their constants and panel counts are part of the
// objective function's values and must not be "improved".

namespace orvanta {

// ln of the gamma function for x > 0: Lanczos' approximation with six coefficients, with the
// reflection formula below 1.
double lnGamma(double x);

// Phi(b) - Phi(a), Phi by the polynomial approximation 26.2.17 of Abramowitz and Stegun
// (absolute error below 7.5e-8). Callers pass a = -10 for Phi(b).
double normalProbability(double a, double b);

// The integral of x^r times the density of N(mean, variance) from lower to mean + 9 sd, by
// Simpson's rule on 100 panels.
double normalPartialMoment(double lower, double mean, double variance, int r);

// Negative log-likelihood of an observed increment d when the true increment is N(mu, V)
// truncated at 0 (P0 the mass below 0) plus normal measurement error of variance mv; Simpson's
// rule on 101 panels. P0 above 0.999999 is capped, in the caller's variable too. A collapsed
// range (h <= 0) gives the penalty h^2 x 1e12.
double convolvedGaussianNll(double& P0, double d, double mu, double V, double mv);

// Negative log-likelihood of d when the true increment is gamma (shape a, scale s,
// lnNorm = a ln s + lnGamma(a)) plus normal measurement error of variance mv.
double convolvedGammaNll(double d, double mean, double variance, double a, double s, double lnNorm, double mv);

} // namespace orvanta
