#pragma once

// The one path from the engine to the objective function: every tool that needs a value of the
// objective asks evaluateObjective, which applies the fuse groups, calls MODEL and adds the
// prior penalty while priors are in force.

#include <cstdint>
#include <string>
#include <vector>

namespace orvanta {

class Application;
struct FusePinning;
struct SessionState;

// The fuse pinning in force: a running likelihood profile or posterior integration keeps its
// pinned parameter at its own value inside its fuse group.
FusePinning fusePinning(const SessionState& session);

// The objective at vector (1..paramCount; paramValues itself or a trial vector) with call
// code nf: applyFuseGroups(vector), MODEL(vector, nf), then, when priorsActive is on, the prior
// penalty of the same vector as the model left it. The model may rewrite vector. Without a
// model the result is NaN. A result that is not finite is returned as it is, never replaced.
double evaluateObjective(Application& app, std::vector<double>& vector, std::int32_t nf);

// A counted evaluation of a minimization run: callCount + 1, then evaluateObjective with the
// new count as call code. The count stops at its largest value rather than wrapping around.
double evaluateCounted(Application& app, std::vector<double>& vector);

// Whether an objective value can be compared and reported as a number.
bool isFiniteObjective(double value);

// Why the last evaluation gave no finite objective, in words for the user: the model's own
// reason when it gives one.
std::string objectiveFailureText(const Application& app);

} // namespace orvanta
