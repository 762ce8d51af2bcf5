#pragma once

// The first and second derivatives of the objective with respect to the free parameters that
// the Marquardt minimizer needs at every accepted point: numerically from objective values
// around the point, or analytically from the model routine called with NF = -2.
//
// Numerical derivatives
// ---------------------
// The increment of free position i is relative to its value, not to its step size:
//     h(i) = derivativeIncrement x x(i)   (x(i) = freeValues(i) not 0; h carries its sign),
//     h(i) = derivativeIncrement          (x(i) = 0),
// which is why Marquardt's progress does not depend on the (non-zero) step sizes. For every
// pair i <= j the objective is taken at the two probes x + s (h(i) e_i + h(j) e_j), s = +1 then
// -1 (one coordinate moves on the diagonal, i = j, two in the same direction off it), and kept
// in the raw value table raw(side, i, j). With D = raw - F0 (F0 the objective at x), central
// differences give
//     g(i)    = (raw(1, i, i) - raw(2, i, i)) / (2 h(i)),
//     H(i, i) = (D(1, i, i) + D(2, i, i)) / h(i)^2,
//     H(i, j) = (D(1, i, j) + D(2, i, j) - D(1, i, i) - D(2, i, i) - D(1, j, j) - D(2, j, j))
//               / (2 h(i) h(j)),                                        H(j, i) = H(i, j).
// The off-diagonal formula follows from expanding f(x +- (h(i) e_i + h(j) e_j)) to second order:
// the sum of the two probes less 2 F0 is h(i)^2 H(i, i) + 2 h(i) h(j) H(i, j) + h(j)^2 H(j, j),
// and the diagonal probes remove the two squares. For an objective that is quadratic in the free
// parameters every formula is exact up to rounding; otherwise the gradient errs by O(h^2) and the
// second derivatives by O(h^2) (third-order terms cancel between the two sides).
// The sums are formed left to right exactly as written; their order is part of the results.
//
// One computation costs n(n + 1) counted function calls (n = freeCount), made through
// evaluateCounted so that they count in the run's callCount and reach MODEL with NF = callCount.
//
// Reference: W. H. Press, S. A. Teukolsky, W. T. Vetterling and B. P. Flannery, Numerical
// Recipes, 2nd ed., Cambridge University Press, 1992, sections 5.7 (numerical derivatives) and
// 15.5 (Levenberg-Marquardt method); M. Abramowitz and I. A. Stegun, Handbook of Mathematical
// Functions, 1964, section 25.3 (numerical differentiation by central differences).
//
// Analytical derivatives
// ----------------------
// The model is asked once with NF = -2 at paramValues (fuse groups applied, no prior penalty,
// callCount unchanged) and fills gradientVector and curvatureMatrix, both indexed by parameter
// number; the entries of the free parameters are copied. A curvature matrix that is zero at every
// free pair means the model does not supply derivatives.
//
// Free positions count from 1; element 0 of every result is unused. Failures are returned as
// values: non-finite objective values or derivatives are reported, never passed on silently.

#include "minimize/MinimizationState.h"

#include <cstddef>
#include <string>
#include <vector>

namespace orvanta {

class Application;
class UserInterface;
class WorkMatrix;

// The relative increment the Marquardt run sets before it starts.
inline constexpr double defaultDerivativeIncrement = 0.001;

// The objective at every probe, raw(side, i, j) for side 1 (plus) and 2 (minus) and free
// positions 1 <= i <= j <= order. Storage grows with the largest order set and is reused.
class RawValueTable {
public:
    int order() const { return order_; }
    // Sets the order; every value of the new order is NaN until it is stored.
    void setOrder(int order);
    double& operator()(int side, int i, int j) { return values_[offset(side, i, j)]; }
    double operator()(int side, int i, int j) const { return values_[offset(side, i, j)]; }

private:
    std::size_t offset(int side, int i, int j) const;

    int order_ = 0;
    int capacity_ = 0;
    std::vector<double> values_;
};

// What a derivative computation works with and leaves behind besides the second derivatives.
struct DerivativeWork {
    double derivativeIncrement = defaultDerivativeIncrement;
    std::vector<double> gradient;   // [1..freeCount]: the first derivatives
    std::vector<double> increments; // [1..freeCount]: h(i) of the last numerical computation
    RawValueTable rawValues;        // the probes of the last numerical computation
    std::vector<double> trial;      // [1..paramCount]: the probe vector handed to MODEL
};

enum class DerivativeStatus {
    Computed,            // gradient and workMatrix hold finite derivatives
    Missing,             // analytical: the curvature matrix is zero at every free pair
    NonFiniteCentre,     // numerical: F0 is not finite, so no probe was made
    NonFiniteProbe,      // numerical: a probe's objective was not finite; the computation ended there
    NonFiniteDerivative, // a derivative came out infinite or NaN
    ProgramEnded,        // the user quit the program during the computation
};

// The outcome of a computation. For a non-finite probe it names the probe (its side and the
// free positions it moved, equal on the diagonal); for a non-finite derivative the element
// (column 0 for the gradient). Parameter numbers are those of the positions.
struct DerivativeOutcome {
    DerivativeStatus status = DerivativeStatus::Computed;
    int side = 0;           // 1 plus, 2 minus (non-finite probes)
    int row = 0;            // free position i
    int column = 0;         // free position j (i for a diagonal probe; 0 for the gradient)
    int rowParameter = 0;   // parameter number of i
    int columnParameter = 0; // parameter number of j (0 with column 0)
    double value = 0.0;     // the value that was not finite

    bool computed() const { return status == DerivativeStatus::Computed; }
    // derivativesPresent of the analytical request.
    bool derivativesPresent() const { return status != DerivativeStatus::Missing; }
};

// Whether a derivative computation is the first of its run: only the first analytical request
// tells whether the model supplies derivatives at all. Later ones take what the model gives,
// zero curvature included, since a model that supplies derivatives may have a flat direction at
// some point.
enum class DerivativeRequest { First, Later };

// The increment h of a free coordinate: relative to a non-zero value, with its sign.
double derivativeStep(double increment, double value);

// With derivativeMode Analytical the analytical derivatives, otherwise (Numerical, or none
// chosen) the numerical ones around F0, the objective at the last accepted point. workMatrix
// receives the second derivatives (order freeCount), work.gradient the first.
DerivativeOutcome computeDerivatives(Application& app, double F0, DerivativeMode mode, DerivativeRequest request,
                                     WorkMatrix& workMatrix, DerivativeWork& work);

// Around paramValues with the free coordinates freeValues; n(n + 1) counted calls unless a probe
// is not finite. Outside a likelihood profile status panel 1 counts the calls and interface
// events run after each; they run after each row of the second derivatives in any case.
DerivativeOutcome numericalDerivatives(Application& app, double F0, WorkMatrix& workMatrix, DerivativeWork& work);

// One MODEL call with NF = -2 at paramValues. The model's two derivative arrays are sized for
// paramCount and set to 0 before the call, so that only what the model writes is read. A first
// request whose curvature is 0 at every free pair reports the derivatives Missing.
DerivativeOutcome analyticalDerivatives(Application& app, DerivativeRequest request, WorkMatrix& workMatrix,
                                        DerivativeWork& work);

// The message for analytical derivatives that the model does not supply: "Sorry, analytical
// derivatives seem not to have been provided", title "Analytical derivatives missing", OK,
// information icon.
void showMissingDerivatives(UserInterface& ui);

// The status panel text of probe k of total: "Hessian function call " & k & " of " & total,
// both formatted "###0".
std::string hessianCallText(int k, int total);

} // namespace orvanta
