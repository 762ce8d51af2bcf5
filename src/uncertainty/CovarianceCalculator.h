#pragma once

// The covariance calculator: the covariance matrix of the free parameters at the current
// parameter values, as the inverse of the Hessian of the negative log-likelihood.
//
// The negative log-likelihood is c F, F the objective and c (objectiveConstant) entered by the
// user; covScale = 1 / c, and the covariance matrix is covScale times the inverse Hessian of F.
//
// Numerical Hessian. Each of three grids g scales the step s_p of every free parameter by a
// factor h_g (1, 0.1 and 0.01 by default) and evaluates F at the 2 n(n+1)/2 = n(n+1) points
//     diagonal      x + k h s_p e_p,                 k = +1, -1
//     off-diagonal  x + k h (s_p e_p + s_q e_q),     k = +1, -1,  p < q,
// from which central differences give
//     H(p, p) = (F(+p) + F(-p) - 2 F0) / (h s_p)^2
//     H(p, q) = (F(+pq) + F(-pq) - F(+p) - F(-p) - F(+q) - F(-q) + 2 F0) / (2 h^2 s_p s_q).
// Both are exact for a quadratic F (up to rounding); for other functions they are the second
// derivatives of the quadratic through the points, so grids of very different widths that agree
// show a likelihood surface close to quadratic over that range. The "optimistic" variant
// evaluates the diagonal points only and leaves H diagonal: each standard error is then
// conditional on every other parameter being known.
//
// Every grid also summarises its objective values (mean and signed standard deviation of
// F - F0 over all n(n+1) points, shifted back by F0): under the multinormal assumption the
// standard deviation of -ln[L] should run from near 0 on the smallest grid to about 5 on the
// largest.
//
// The Hessian must pass the Cholesky test before it is inverted (MatrixRoutines.h); a grid that
// fails, that the user interrupts, or on which F has no finite value somewhere keeps every
// result at -1 and the run goes on with the next grid. Reference: Y. Bard, Nonlinear Parameter
// Estimation, Academic Press, 1974, chapter 7 (the inverse Hessian as asymptotic covariance);
// central differences: Press et al., Numerical Recipes, 2nd ed., section 5.7.
//
// Analytical path: MODEL with call code -2 fills the model's Hessian (curvatureMatrix); the
// three grids then repeat the same calculation. A model that supplies no derivatives leaves a
// zero matrix, which fails the Cholesky test on all three grids.

#include <array>
#include <optional>
#include <string>

namespace orvanta {

class Application;

// What the dialogue asks for, given in advance to the non-interactive core.
struct CovarianceSettings {
    std::array<double, 4> gridFactors{0, 1.0, 0.1, 0.01}; // 1..3, each above 0
    double objectiveConstant = 1.0;                       // c: -ln[L] = c x objective; above 0
    bool optimisticSEs = false;
};

inline constexpr const char* covarianceCalculatorTitle = "Covariance calculator";
inline constexpr const char* objectiveConstantTitle = "Enter constant";

// The constant that turns the objective into -ln[likelihood], asked until a positive number is
// typed (an empty answer asks again at once, 0 or less tells the user and asks again). The caller
// sets covScale from it. Nothing once the program has ended.
std::optional<double> askObjectiveConstant(Application& app);

// A whole number of seconds as minutes, ":" and two-digit seconds: 125 -> "2:05".
std::string minutesSecondsText(long long seconds);

// The remaining-time estimate of a long calculation: elapsed seconds / work done x work
// remaining, rounded to whole seconds, as minutesSecondsText writes it. A clock that jumps (or
// no work done yet) gives a printable estimate, never a fault.
std::string remainingTimeText(double elapsedSeconds, double done, double remaining);

// ---- The steps of a numerical run, in the order the dialogue takes them ---------------------

// centreValues and centreSteps copied from the parameter set, the free-position maps built, the
// fuse links applied to the centre and the centre objective evaluated (call code 1, priors
// added). False, after telling the user with the parameter values, when that objective is not
// finite: nothing can be calculated around it.
bool prepareCovarianceCentre(Application& app);

// covScale from the constant (c > 0) (with priors in force the centre is evaluated again under
// it), the optimistic choice, then for every grid its evaluation, Hessian and inversion, written
// into the calculations window and app.covariance. False when the centre has no finite objective
// under the new covScale, or the program ended.
bool calculateNumericalGrids(Application& app, double objectiveConstant, bool optimisticSEs);

// The non-interactive core: the settings' factors, prepareCovarianceCentre, then
// calculateNumericalGrids. Marks the results available and just finished. False when the centre
// objective is not finite.
bool runNumericalCovariance(Application& app, const CovarianceSettings& settings);

// The whole dialogue and calculation (numerical or analytical), ending with the display window.
void runCovarianceCalculator(Application& app);

// "&Single model covariances" on the main menu.
void cmdCovariance_Click(Application& app);

// Registers "cmdCovariance" with the main menu.
void installCovarianceCommand(Application& app);

} // namespace orvanta
