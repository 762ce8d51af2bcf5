#include "uncertainty/DistributionRun.h"

#include "algorithm/AlgorithmData.h"
#include "app/Application.h"
#include "ui/UserInterface.h"
#include "uncertainty/CovarianceFile.h"

namespace orvanta {

namespace {

std::string trimmed(std::string text)
{
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    while (!text.empty() && text.front() == ' ')
        text.erase(text.begin());
    return text;
}

} // namespace

ParameterHold::ParameterHold(Application& app, int parameter, bool& running)
    : app_(app), p_(static_cast<std::size_t>(parameter)), value_(app.algorithm.paramValues[p_]),
      step_(app.algorithm.paramSteps[p_])
{
    running = true;
    app.session.pinnedParam = static_cast<std::int16_t>(parameter);
    app.algorithm.paramSteps[p_] = 0.0;
    app.hooks.restoreInterruptedWork = [this] { restore(); };
}

ParameterHold::~ParameterHold()
{
    restore();
    app_.session.pinnedParam = 0;
    app_.session.simplexBuilt = false;
    app_.hooks.restoreInterruptedWork = {};
}

void ParameterHold::restore()
{
    app_.algorithm.paramValues[p_] = value_;
    app_.algorithm.paramSteps[p_] = step_;
}

bool storedDistributionOffered(const Application& app, DistributionTool tool)
{
    const StoredDistribution& stored = app.distribution;
    const DistributionProfile& d = stored.profile;
    return stored.tool == tool && app.algorithm.profileResultsValid && d.pointCount != 0 &&
           static_cast<std::size_t>(d.pointCount) < d.pointValues.size() &&
           d.pointValues[static_cast<std::size_t>(d.pointCount)] != d.pointValues[1];
}

void withStoredParameterFixed(Application& app, const std::function<void()>& show)
{
    const auto p = static_cast<std::size_t>(app.distribution.parameter);
    std::vector<double>& steps = app.algorithm.paramSteps;
    const double step = p < steps.size() ? steps[p] : 0.0;
    if (p < steps.size())
        steps[p] = 0.0;
    show();
    if (p < steps.size())
        steps[p] = step;
}

CovarianceGridChoice askCovarianceGrid(Application& app, const std::string& prompt, const std::string& title,
                                       OtherGridAnswers others, const std::vector<int>& params)
{
    const StandardErrorTable table = standardErrorTable(app.covariance);
    while (true) {
        const std::string answer = trimmed(app.ui().askText(prompt, title, "N"));
        if (app.ended() || answer == "Q" || answer == "q" ||
            (answer.empty() && others == OtherGridAnswers::AskAgain))
            return {true, {}};
        if (answer == "N" || answer == "n")
            return {};
        if (answer != "1" && answer != "2" && answer != "3") {
            if (others == OtherGridAnswers::KeepSteps)
                return {};
            continue;
        }
        const int grid = answer[0] - '0';
        if (const std::optional<std::string> problem = standardErrorProblem(table, grid, params)) {
            app.ui().showMessage("The step sizes cannot be based on covariance grid " + answer + ": " +
                                     *problem + ".\n\nPlease enter another grid, N or Q.",
                                 title, Buttons::OK, Icon::Exclamation);
            continue;
        }
        return {false, standardErrorsByParameter(table, grid, app.algorithm.paramCount)};
    }
}

std::string plotListText(const std::string& plot2)
{
    return "This routine will create a series of plots, and if desired, save the x-y data. \n\n"
           "Choose plot 1 to get a likelihood profile plot. \n"
           "Choose plot 2 to get " +
           plot2 +
           ". \n"
           "Choose plot 3 to get a mode-centered confidence region plot. \n"
           "Choose plot 4 to get a mean-centered confidence region plot. \n"
           "Choose plot 5 to get a left to right ascending cumulative plot. \n"
           "Choose plot 6 to get a left to right descending cumulative plot. \n"
           "Choose plot 7 to get a mode-centered Gaussian distribution plot.";
}

void markStoredDistribution(Application& app, DistributionTool tool)
{
    app.distribution.tool = tool;
    app.algorithm.profileResultsValid = true;
}

void remindOfEditedAlgorithmFile(Application& app)
{
    app.ui().showMessage("Your algorithm file may have been automatically edited", "A friendly reminder",
                         Buttons::OK, Icon::Exclamation);
}

} // namespace orvanta
