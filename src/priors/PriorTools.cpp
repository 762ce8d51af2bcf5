#include "priors/PriorTools.h"

#include "app/Application.h"
#include "priors/PriorEvaluation.h"

namespace orvanta {

void installPriors(Application& app)
{
    app.priorHooks.penalty = [&app](const std::vector<double>& vector) {
        evaluatePriors(app.priors, vector, app.session.covScale, app.priorResults);
        return app.priorResults.priorPenalty;
    };
}

} // namespace orvanta
