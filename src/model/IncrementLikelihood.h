#pragma once

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

} // namespace orvanta
