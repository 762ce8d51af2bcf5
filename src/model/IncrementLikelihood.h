#pragma once

#include <functional>
#include <vector>

namespace orvanta {

class ModelHost;
struct ModelParameters;
struct ModelState;

// The increment part of the objective: the sum of the records' negative log-likelihoods under
// Gaussian or gamma errors. Fills state.recordResults; appends its warnings to the summary;
// yields once per record. p are the cleaned values 1..20. An invalid operation (see
// ModelState::arithmeticFailure) makes the result NaN.
double incrementPart(ModelState& state, const ModelParameters& params, const std::vector<double>& p,
                     ModelHost& host);

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
