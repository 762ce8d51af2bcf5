#pragma once

// The standard normal cumulative probability that the cliff and uniform-bounded priors use.

namespace orvanta {

// P(Z <= z) for a standard normal Z, from the Chebyshev fit of the complementary error
// function: with t = 1 / (1 + |z| / (2 sqrt 2)) and y = |z| / sqrt 2,
//     erfc(y) ~ t exp(-y^2 - 1.26551223 + t (1.00002368 + t (0.37409196 + ... + t 0.17087277)))
// with a fractional error below 1.2e-7 everywhere; the result is erfc(y) / 2 for z < 0 and
// 1 - erfc(y) / 2 otherwise. The coefficients and the order of the operations are fixed, because
// prior penalties (and so fits) depend on them to the last bit. Far in the right tail the result
// rounds to exactly 1, which the cliff priors rely on to switch to their wall. NaN gives NaN.
//
// Reference: W. H. Press, S. A. Teukolsky, W. T. Vetterling and B. P. Flannery, Numerical
// Recipes, 2nd ed., Cambridge University Press, 1992, section 6.2 (function erfcc).
double normalCdf(double z);

} // namespace orvanta
