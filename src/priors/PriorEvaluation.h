#pragma once

// The prior penalty: each parameter's prior -ln[L] at a parameter vector, and their scaled sum,
// which every evaluation of the objective adds while priors are in force.
//
// Each -ln[L] is measured from the prior's most likely value, so a parameter at the mode of its
// prior contributes 0 and a uniform-unbounded prior always does. By type, with x the parameter's
// value and M, s its first-term mean and SD (shape constants as in PriorShape.h):
//     U  0
//     N  0.5 ((x - M) / s)^2
//     E  x / M; for x <= 0 the wall 1e20 x^2
//     G  [(1 - a) ln x + x / b] - [the same at the mode]
//     L  [ln x + 0.5 ((ln x - u) / v)^2] - [the same at the mode]
//     B  [(1 - a) ln x + (1 - b) ln(1 - x)] - [the same at the mode]
//     S  leftFoot(x, M, s)
//     D  rightFoot(x, M, s)
//     T  leftFoot(x, M, s) + rightFoot(x, right foot, its SD); with a hard right foot (SD 0)
//        and x beyond it the right wall alone
// Below 1e-6 the gamma, ln-normal and beta values are the wall 1e20 (x - 1e-6)^2, above
// 0.999999 the beta's is 1e20 (x - 0.999999)^2. A soft foot (SD > 0) is -ln of the normal
// probability of lying on the allowed side, ln 2 at the foot itself, switching to the wall
// 1e20 ((x - F) / s)^2 once that probability rounds to 0; a hard foot (SD 0) is 0 on the allowed
// side and 1e20 (x - F)^2 beyond it. A type code that names no type contributes 0.
//
// A prior without a finite -ln[L] (see PriorShape.h; priorProblem says why in words) is not
// evaluated: its term is NaN, so the penalty and the objective are not finite and every
// minimizer stops with its reason for a non-finite objective. Silently dropping such a prior
// would fit the model as if the user had never set it.

#include <vector>

namespace orvanta {

struct PriorSpec;
struct PriorShape;

struct PriorResults {
    std::vector<double> priorTerm; // 1..paramCount
    double priorPenalty = 0.0;     // covScale x the sum of all terms
};

// The prior -ln[L] of one parameter at value x.
double priorTermAt(const PriorShape& shape, double x);

// Sets priorTerm(i) for every parameter i = 1..paramCount of priors (1-based, element 0 unused;
// parameters beyond the end of x count as uniform-unbounded) and priorPenalty = covScale times
// the sum of the terms in the order of the parameters, walls included. Allocates nothing when
// out.priorTerm already has the size of priors.
void evaluatePriors(const std::vector<PriorSpec>& priors, const std::vector<double>& x, double covScale,
                    PriorResults& out);

} // namespace orvanta
