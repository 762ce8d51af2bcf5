#include "minimize/MarquardtVerification.h"

#include "algorithm/AlgorithmData.h"
#include "app/Application.h"
#include "minimize/AxialVerification.h"
#include "minimize/ObjectiveEvaluation.h"
#include "text/NumberText.h"
#include "ui/UserInterface.h"

#include <cmath>
#include <cstddef>
#include <cstdlib>

namespace orvanta {

namespace {

constexpr std::int32_t uncountedCall = 1;

std::size_t at(int index)
{
    return static_cast<std::size_t>(index);
}

void setPanel(Application& app, int panel, std::string text)
{
    app.mainWindow.setPanel(statusBar::messages, panel, std::move(text));
}

double probeDistance(const AlgorithmData& data, int parameter)
{
    return data.options.stepReductionFraction * data.paramSteps[at(parameter)];
}

// The objective one reduced step up (sign +1) or down (-1) along parameter from point.
double probeValue(Application& app, const std::vector<double>& point, int parameter, double sign)
{
    std::vector<double> trial = point;
    trial[at(parameter)] = point[at(parameter)] + sign * probeDistance(app.algorithm, parameter);
    return evaluateObjective(app, trial, uncountedCall);
}

void moveToBestProbe(Application& app, std::vector<double>& point, int failingParameter)
{
    const int parameter = std::abs(failingParameter);
    const double sign = failingParameter > 0 ? 1.0 : -1.0;
    point[at(parameter)] = point[at(parameter)] + sign * probeDistance(app.algorithm, parameter);
    app.algorithm.paramValues[at(parameter)] = point[at(parameter)];
}

} // namespace

bool probeBeatsMinimum(double probe, double f0, double tolerance)
{
    if (!isFiniteObjective(probe) || !(probe < f0))
        return false;
    if (tolerance > 0.0)
        return f0 - probe > tolerance;
    if (tolerance < 0.0)
        // At f0 = 0 any decrease is infinitely large relative to it and fails the minimum.
        return f0 == 0.0 || std::fabs((f0 - probe) / f0) > std::fabs(tolerance);
    return false;
}

MarquardtVerification verifyMarquardt(Application& app, std::vector<double>& point, double& f0)
{
    AlgorithmData& data = app.algorithm;
    const double tolerance = data.options.convergenceTolerance;
    app.mainWindow.clearPanel(statusBar::messages, 4);
    MarquardtVerification result;
    double bestProbe = f0;
    int probe = 0;
    for (int a = 1; a <= data.paramCount; ++a) {
        if (data.paramSteps[at(a)] == 0.0)
            continue;
        for (const double sign : {1.0, -1.0}) {
            const double value = probeValue(app, point, a, sign);
            setPanel(app, 3, axialProbeText(++probe, data.freeCount));
            if (probeBeatsMinimum(value, f0, tolerance)) {
                if (value < bestProbe) {
                    bestProbe = value;
                    result.failingParameter = sign > 0.0 ? a : -a;
                }
                result.verified = false;
                setPanel(app, 4,
                         "Last failure of convergence verification caused by parameter # " +
                             numberText(std::abs(result.failingParameter)));
            }
            if (!app.yieldToInterface())
                return result;
        }
    }
    app.mainWindow.clearPanel(statusBar::messages, 3);
    if (!result.verified) {
        moveToBestProbe(app, point, result.failingParameter);
        f0 = bestProbe;
    }
    applyFuseGroups(data, point, fusePinning(app.session));
    return result;
}

} // namespace orvanta
