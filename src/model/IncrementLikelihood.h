#pragma once

#include <functional>
#include <vector>

namespace orvanta {

class ModelHost;
struct ModelParameters;
struct ModelState;

// E1 = E[exp(-K dt)], E2 = E[exp(-2 K dt)] and their variance E2 - E1^2 for K ~ gamma with mean k
// and variance vark: the gamma distribution's Laplace transform (1 + theta t)^(-shape) at t = dt
// and 2 dt, shape = k^2 / vark, theta = vark / k; with vark at its floor K is fixed at k.
//
// Near the floor (vark between about 1e-12 and 1e-9) x = vark dt / k is so small that 1 + x loses
// most of its digits and E2 - E1^2 is pure cancellation; the objective then jumps between
// neighbouring SDs of k. So ln E1 = -shape log1p(x), ln E2 = -shape log1p(2x), and
//     E2 - E1^2 = E1^2 expm1(ln E2 - 2 ln E1) = E1^2 expm1(-shape log1p(-(x / (1 + x))^2)),
// whose argument has no cancellation. It tends to E1^2 vark dt^2 as vark falls, continuous with
// the fixed k's value of (almost exactly) 0 at the floor.
struct GrowthRateFactors {
    double E1 = 0.0;
    double E2 = 0.0;
    double variance = 0.0; // E2 - E1^2
};
GrowthRateFactors growthRateFactors(double k, double vark, bool varkAtFloor, double dt);

// The increment part of the objective: the sum of the records' negative log-likelihoods under
// Gaussian or gamma errors. Fills state.recordResults; appends its warnings to the summary;
// yields once per record. p are the cleaned values 1..20. An invalid operation (see
// ModelState::arithmeticFailure) makes the result NaN.
//
// The lean arithmetic shares work between the points of its grids and integrals and takes their
// exponentials and logarithms with the vector functions (model/VectorMath.h); it agrees with the
// reference arithmetic, the plain scalar evaluation of every point, to about 1e-14 relative.
enum class IncrementArithmetic { Lean, Reference };
double incrementPart(ModelState& state, const ModelParameters& params, const std::vector<double>& p,
                     ModelHost& host, IncrementArithmetic arithmetic = IncrementArithmetic::Lean);

// One record's predicted distribution of the observed increment, as the likelihood sees it: the
// mean of the true increment, the SD of the observed increment under the record's error model
// (the SD that the size-at-age selectivity step uses), and the density of an observed increment
// x, exp(-nll(x)) with the selection of size-at-age data included; 0 where the error model has
// no density (below 0 for the truncated Gaussian and at or below 0 for the gamma, both without
// measurement error). Valid only during the visit.
struct RecordDensity {
    double meanIncrement = 0.0;
    double sd = 0.0;
    std::function<double(double x)> density;
};

enum class RecordDensityResult { Done, Stopped, Failed };

// Predicts every record in file order as incrementPart does, without changing state, calling
// beforeRecord(i) first (false stops: Stopped) and then visit with the record's density. Failed
// when a record cannot be predicted (an invalid operation, see ModelState::arithmeticFailure).
RecordDensityResult forEachRecordDensity(const ModelState& state, const ModelParameters& params,
                                         const std::vector<double>& p, ModelHost& host,
                                         const std::function<bool(int record)>& beforeRecord,
                                         const std::function<void(const RecordDensity& density)>& visit);

} // namespace orvanta
