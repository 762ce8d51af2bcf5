#include "minimize/ObjectiveEvaluation.h"

#include "algorithm/AlgorithmData.h"
#include "app/Application.h"
#include "priors/PriorProblem.h"

#include <cmath>
#include <limits>

namespace orvanta {

FusePinning fusePinning(const SessionState& session)
{
    return {session.profileRunning || session.bayesRunning, session.pinnedParam};
}

double evaluateObjective(Application& app, std::vector<double>& vector, std::int32_t nf)
{
    applyFuseGroups(app.algorithm, vector, fusePinning(app.session));
    ModelRoutine* model = app.model();
    if (!model)
        return std::numeric_limits<double>::quiet_NaN();
    callModel(*model, app.algorithm, app.modelWorkspace, vector, nf);
    double objective = app.modelWorkspace.objectiveValue;
    // The priors subsystem plugs its penalty in here; until it exists priors are never active.
    if (app.session.priorsActive && app.priorHooks.penalty)
        objective += app.priorHooks.penalty(vector);
    return objective;
}

double evaluateCounted(Application& app, std::vector<double>& vector)
{
    std::int32_t& callCount = app.minimization.counters.callCount;
    if (callCount < std::numeric_limits<std::int32_t>::max())
        ++callCount;
    return evaluateObjective(app, vector, callCount);
}

bool isFiniteObjective(double value)
{
    return std::isfinite(value);
}

std::string objectiveFailureText(const Application& app)
{
    const ModelRoutine* model = app.model();
    if (!model)
        return "no model is connected";
    if (std::string reason = model->lastFailure(); !reason.empty())
        return reason;
    if (isFiniteObjective(app.modelWorkspace.objectiveValue)) {
        if (std::string problem = priorsProblem(app.priors, app.algorithm.paramCount); !problem.empty())
            return problem;
        return "the prior penalty is not finite";
    }
    return "an intermediate result overflowed or was undefined";
}

} // namespace orvanta
