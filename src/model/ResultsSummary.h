#pragma once

// The results summary of one fit (MODEL with call code -1): optional data and prediction plots,
// then the report in the summary window "frmSummary": the model's documentation, the data and
// file names, the objective and its parts, the multinomial -2ln[L] with its data constant, AICc,
// the estimates, and on request the frequency and increment tables and the chi-square
// diagnostics. It reads the best evaluation recorded in the model state and changes no fit.
//
// AICc = bestObjective + 2 k n / (n - k - 1) (Hurvich and Tsai 1989), with k the parameters whose
// step is not 0 and n = N + nInc; when n - k - 1 <= 0 the correction has no value and the report
// says "undefined".

#include "model/ModelRoutine.h"
#include "model/ModelState.h"

#include <optional>
#include <string>

namespace orvanta {

class ModelHost;
struct DataPlotPage;

// Runs the whole summary dialogue and report. Stops, showing nothing more, once the program has
// ended.
void produceResultsSummary(ModelState& state, const ModelArguments& args, ModelHost& host);

// The pieces, for tests and for the batch program.

// The plot pages in the order the summary shows them: one per tagging set with records (for "I"
// and "B"), then the frequency page (for "S" and "B").
std::vector<DataPlotPage> dataPlotPages(const ModelState& state);

// Parameters 1..paramCount whose step is not 0.
int freeParameterCount(const ModelArguments& args);

// The AICc with n observations and k free parameters; nothing when n - k - 1 <= 0.
std::optional<double> aicc(double objective, int k, double n);

// The multinomial -2ln[L] of the frequencies, with the data constant.
double multinomialDeviance(const ModelState& state);

} // namespace orvanta
