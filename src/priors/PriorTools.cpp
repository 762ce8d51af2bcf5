#include "priors/PriorTools.h"

#include "app/Application.h"
#include "app/MainMenu.h"
#include "priors/PriorEvaluation.h"
#include "priors/PriorReview.h"
#include "priors/PriorsFileCommands.h"
#include "priors/PriorsFlow.h"

namespace orvanta {

void installPriors(Application& app)
{
    app.priorHooks.penalty = [&app](const std::vector<double>& vector) {
        evaluatePriors(app.priors, vector, app.session.covScale, app.priorResults);
        return app.priorResults.priorPenalty;
    };
    app.priorHooks.produceReview = [&app](const std::vector<double>& values) {
        showPriorReview(app, values);
    };
    app.hooks.savePriorsFile = [&app] { writePriorsFile(app, PriorsSaver::MainMenu); };
    app.registerCommand(menuButton::bayesian, [&app] { setBayesianPriorsFromMainMenu(app); });
}

} // namespace orvanta
