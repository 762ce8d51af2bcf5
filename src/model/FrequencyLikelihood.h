#pragma once

namespace orvanta {

class ModelHost;
struct ModelParameters;
struct ModelState;

// The frequency part of the objective: predicts the steady-state unit density (state.unitDensity)
// and the expected cell frequencies (state.predicted), and returns the multinomial deviance
// term G. Tells the user once per evaluation when sizes are cut at 250 units; yields once per
// growth class.
//
// The growth classes are integrated by a vectorised kernel whose instruction set is chosen at
// run time; the scalar kernel it replaced is kept as its reference and gives bit for bit the same
// results.
enum class FrequencyKernel { Vectorised, ScalarReference };
double frequencyPart(ModelState& state, const ModelParameters& params, ModelHost& host,
                     FrequencyKernel kernel = FrequencyKernel::Vectorised);

} // namespace orvanta
