#include "priors/PriorsScale.h"

#include "algorithm/AlgorithmData.h"
#include "app/Application.h"
#include "text/NumberText.h"
#include "ui/UserInterface.h"
#include "uncertainty/CovarianceCalculator.h"

#include <cmath>
#include <cstdint>
#include <optional>

namespace orvanta {

namespace {

PenaltyScaleEnd askForTheConstant(Application& app)
{
    const std::optional<double> constant = askObjectiveConstant(app);
    if (!constant)
        return PenaltyScaleEnd::ProgramEnded;
    setCovScale(app.session, 1.0 / *constant);
    return PenaltyScaleEnd::Set;
}

// The objective without priors at paramValues, as the model gives it.
double objectiveWithoutPriors(Application& app, ModelRoutine& model)
{
    app.mainWindow.setPanel(statusBar::messages, 1, "One moment please...");
    applyFuseGroups(app.algorithm, app.algorithm.paramValues);
    callModel(model, app.algorithm, app.modelWorkspace, app.algorithm.paramValues, callCode::firstEvaluation);
    return app.modelWorkspace.objectiveValue;
}

PenaltyScaleEnd scaleFromObservations(Application& app, std::int32_t observationCount)
{
    AlgorithmData& data = app.algorithm;
    buildFuseGroups(data);
    buildFreeIndex(data);
    const double freedom = static_cast<double>(observationCount) - data.freeCount - 1;
    if (freedom <= 0.0) {
        app.ui().showMessage(
            "Cannot accept a negative or zero constant; perhaps the degrees of freedom are zero or fewer",
            "Insufficient degrees of freedom", Buttons::OK, Icon::Exclamation);
        return PenaltyScaleEnd::TooFewDegreesOfFreedom;
    }
    ModelRoutine* model = app.model();
    if (!model)
        return PenaltyScaleEnd::Unchanged;
    const double objective = objectiveWithoutPriors(app, *model);
    if (!(objective > 0.0) || !std::isfinite(objective)) {
        app.ui().showMessage("The objective function at the current parameter values is " +
                                 numberText(objective) +
                                 ", so the scale of the prior penalty cannot be derived from it.\n\n"
                                 "Please enter the constant that makes the objective function the "
                                 "-ln[likelihood].",
                             "Scale of the prior penalty", Buttons::OK, Icon::Exclamation);
        return askForTheConstant(app);
    }
    setCovScale(app.session, freedom / (2.0 * objective));
    return PenaltyScaleEnd::Set;
}

} // namespace

PenaltyScaleEnd preparePenaltyScale(Application& app)
{
    const std::int32_t count = app.modelWorkspace.observationCount;
    if (count == 0)
        return askForTheConstant(app);
    if (count > 0)
        return scaleFromObservations(app, count);
    return PenaltyScaleEnd::Unchanged;
}

} // namespace orvanta
