#include "app/Tools.h"

#include "algorithm/AlgorithmCommands.h"
#include "algorithm/AlgorithmEditor.h"
#include "app/Application.h"
#include "minimize/MarquardtMinimizer.h"
#include "minimize/OneFunctionCall.h"
#include "minimize/SimplexMinimizer.h"
#include "model/InitializationWindow.h"
#include "model/TarnfieldModel.h"
#include "priors/PriorTools.h"
#include "ranking/RankingWindow.h"
#include "uncertainty/CovarianceCalculator.h"
#include "uncertainty/EvaluationWindow.h"
#include "uncertainty/PosteriorIntegration.h"

namespace orvanta {

void installTools(Application& app, TarnfieldModel& model)
{
    installInitialization(app, model);
    installOneFunctionCall(app);
    installSimplex(app);
    installMarquardt(app);
    installAlgorithmFile(app, model);
    installAlgorithmEditor(app);
    installCovarianceCommand(app);
    installParameterEvaluation(app);
    installPosteriorIntegration(app);
    installPriors(app);
    installRanking(
        app, [&model] { return dataFileStem(model.state().frequencyFile, model.state().incrementFile); });
}

} // namespace orvanta
