#pragma once

namespace orvanta {

class ModelHost;
struct ModelParameters;
struct ModelState;

// The frequency part of the objective: predicts the steady-state unit density (state.unitDensity)
// and the expected cell frequencies (state.predicted), and returns the multinomial deviance
// term G. Tells the user once per evaluation when sizes are cut at 250 units; yields once per
// growth class.
double frequencyPart(ModelState& state, const ModelParameters& params, ModelHost& host);

} // namespace orvanta
