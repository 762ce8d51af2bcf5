#pragma once

// The main menu's "&1 Function call": one evaluation of the objective at the current parameter
// values, reported with the values and the time the evaluation took.

#include <string>

namespace orvanta {

class Application;
struct AlgorithmData;

inline constexpr const char* oneFunctionWindowName = "frmOneFunction";

// The evaluation time as reported: (t1 - t0) rounded to hundredths of a second, halves up.
double reportedElapsedSeconds(double t0, double t1);

// The report: the objective, every parameter 1..paramCount (frozen and fused ones too) and the
// time. An objective that is not finite is written as "NaN" or "Infinity", and a line under the
// first one gives failure, the reason.
std::string oneFunctionReport(const AlgorithmData& data, double objective, double elapsedSeconds,
                              const std::string& failure);

// cmdOneFunction_Click. Closing the window it opens shows the main menu again.
void runOneFunctionCall(Application& app);

// Registers the command with the main menu.
void installOneFunctionCall(Application& app);

} // namespace orvanta
