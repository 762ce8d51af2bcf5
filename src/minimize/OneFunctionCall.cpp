#include "minimize/OneFunctionCall.h"

#include "algorithm/AlgorithmData.h"
#include "app/Application.h"
#include "app/MainMenu.h"
#include "minimize/ObjectiveEvaluation.h"
#include "minimize/ProgressText.h"
#include "text/NumberText.h"
#include "ui/Clock.h"
#include "ui/ReportWindow.h"
#include "ui/UserInterface.h"

#include <cmath>
#include <cstddef>

namespace orvanta {

namespace {

void disableToolCommands(Application& app)
{
    if (MainMenuWindow* menu = app.mainMenu())
        menu->setToolCommandsEnabled(false);
}

const std::string& textAt(const std::vector<std::string>& texts, int index)
{
    static const std::string none;
    const auto i = static_cast<std::size_t>(index);
    return i < texts.size() ? texts[i] : none;
}

double valueAt(const std::vector<double>& values, int index)
{
    const auto i = static_cast<std::size_t>(index);
    return i < values.size() ? values[i] : 0.0;
}

std::string firstLines(double objective, const std::string& failure)
{
    std::string text = "\nCurrent minimum of " + formatNumber(objective, "####0.#####") +
                       " found at the following parameter values: ";
    if (!isFiniteObjective(objective))
        text += "\nThe objective function has no finite value: " + failure;
    return text + "\n\n";
}

} // namespace

double reportedElapsedSeconds(double t0, double t1)
{
    return std::floor((t1 - t0) * 100.0 + 0.5) / 100.0;
}

std::string oneFunctionReport(const AlgorithmData& data, double objective, double elapsedSeconds,
                              const std::string& failure)
{
    std::string text = firstLines(objective, failure);
    for (int i = 1; i <= data.paramCount; ++i)
        text += parameterLine(i, valueAt(data.paramValues, i), textAt(data.fuseCodes, i),
                              textAt(data.paramDescriptions, i));
    return text + "\nNote: One function call requires about " + numberText(elapsedSeconds) + " seconds\n";
}

namespace {

struct TimedObjective {
    double value = 0.0;
    double elapsedSeconds = 0.0;
};

// paramValues itself is evaluated: the fuse groups and the model's own rewrites stay in it.
TimedObjective evaluateParamValuesTimed(Application& app)
{
    const double t0 = app.clock().seconds();
    const double value = evaluateObjective(app, app.algorithm.paramValues, callCode::firstEvaluation);
    const double t1 = app.clock().seconds();
    return {value, reportedElapsedSeconds(t0, t1)};
}

void showReport(Application& app, const TimedObjective& objective)
{
    const std::string failure =
        isFiniteObjective(objective.value) ? std::string() : objectiveFailureText(app);
    // Opened again if the user closed it while events ran.
    app.openReportWindow(oneFunctionWindowName)
        .setText(oneFunctionReport(app.algorithm, objective.value, objective.elapsedSeconds, failure));
    if (app.session.priorsActive && app.priorHooks.produceReview)
        app.priorHooks.produceReview(app.algorithm.paramValues);
}

} // namespace

void runOneFunctionCall(Application& app)
{
    disableToolCommands(app);
    app.startToolCommand(ToolStart::CloseAll);
    buildFuseGroups(app.algorithm);
    buildFreeIndex(app.algorithm);

    app.openReportWindow(oneFunctionWindowName);
    app.mainWindow.setPanel(statusBar::messages, 1, "One moment please...");
    if (!app.yieldToInterface())
        return;
    const TimedObjective objective = evaluateParamValuesTimed(app);
    if (!app.yieldToInterface())
        return;
    showReport(app, objective);

    app.mainWindow.clearPanel(statusBar::messages, 1);
    app.endToolCommand();
}

void installOneFunctionCall(Application& app)
{
    app.registerCommand(menuButton::oneFunction, [&app] { runOneFunctionCall(app); });
}

} // namespace orvanta
