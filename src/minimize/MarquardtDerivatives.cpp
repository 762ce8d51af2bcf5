#include "minimize/MarquardtDerivatives.h"

#include "algorithm/AlgorithmData.h"
#include "app/Application.h"
#include "minimize/ObjectiveEvaluation.h"
#include "text/NumberText.h"
#include "ui/UserInterface.h"
#include "uncertainty/MatrixRoutines.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <limits>

namespace orvanta {

// ---- RawValueTable --------------------------------------------------------------------------

void RawValueTable::setOrder(int order)
{
    order_ = std::max(order, 0);
    if (order_ > capacity_) {
        capacity_ = order_;
        const auto side = static_cast<std::size_t>(capacity_) + 1;
        values_.resize(2 * side * side);
    }
    std::fill(values_.begin(), values_.end(), std::numeric_limits<double>::quiet_NaN());
}

std::size_t RawValueTable::offset(int side, int i, int j) const
{
    assert((side == 1 || side == 2) && i >= 1 && i <= order_ && j >= 1 && j <= order_);
    const auto width = static_cast<std::size_t>(capacity_) + 1;
    const auto plane = static_cast<std::size_t>(side - 1) * width * width;
    return plane + static_cast<std::size_t>(i) * width + static_cast<std::size_t>(j);
}

// ---- Shared helpers -------------------------------------------------------------------------

double derivativeStep(double increment, double value)
{
    return value != 0.0 ? increment * value : increment;
}

std::string hessianCallText(int k, int total)
{
    return "Hessian function call " + formatNumber(static_cast<double>(k), "###0") + " of " +
           formatNumber(static_cast<double>(total), "###0");
}

void showMissingDerivatives(UserInterface& ui)
{
    ui.showMessage("Sorry, analytical derivatives seem not to have been provided", "Analytical derivatives missing",
                   Buttons::OK, Icon::Information);
}

namespace {

std::size_t at(int index)
{
    return static_cast<std::size_t>(index);
}

int parameterOf(const AlgorithmData& data, int position)
{
    return position >= 1 && at(position) < data.freeIndex.size() ? data.freeIndex[at(position)] : 0;
}

// Sizes the results for n free positions; allocation only when n grows.
void prepareResults(WorkMatrix& workMatrix, DerivativeWork& work, int n)
{
    workMatrix.setOrder(n);
    const auto size = at(n) + 1;
    if (work.gradient.size() < size)
        work.gradient.resize(size, 0.0);
    std::fill(work.gradient.begin(), work.gradient.end(), 0.0);
}

DerivativeOutcome nonFinite(const AlgorithmData& data, DerivativeStatus status, int side, int row, int column,
                            double value)
{
    return {status, side, row, column, parameterOf(data, row), parameterOf(data, column), value};
}

// The first derivative, then the second derivatives row by row, that is not finite.
DerivativeOutcome checkFinite(const AlgorithmData& data, const WorkMatrix& workMatrix,
                              const std::vector<double>& gradient)
{
    const int n = workMatrix.order();
    for (int i = 1; i <= n; ++i)
        if (!std::isfinite(gradient[at(i)]))
            return nonFinite(data, DerivativeStatus::NonFiniteDerivative, 0, i, 0, gradient[at(i)]);
    for (int i = 1; i <= n; ++i)
        for (int j = i; j <= n; ++j)
            if (!std::isfinite(workMatrix(i, j)))
                return nonFinite(data, DerivativeStatus::NonFiniteDerivative, 0, i, j, workMatrix(i, j));
    return {};
}

// ---- Numerical ------------------------------------------------------------------------------

void computeIncrements(const AlgorithmData& data, DerivativeWork& work, int n)
{
    work.increments.assign(at(n) + 1, 0.0);
    for (int i = 1; i <= n; ++i)
        work.increments[at(i)] = derivativeStep(work.derivativeIncrement, data.freeValues[at(i)]);
}

// trial = paramValues, lengthened to paramCount + 1 when it is shorter.
void startTrial(const AlgorithmData& data, DerivativeWork& work)
{
    const auto size = std::max(data.paramValues.size(), at(data.paramCount) + 1);
    work.trial.resize(size, 0.0);
    std::copy(data.paramValues.begin(), data.paramValues.end(), work.trial.begin());
}

// Every free coordinate at freeValues, then sign x h added to coordinate i and, off the
// diagonal, to coordinate j.
void placeProbe(const AlgorithmData& data, DerivativeWork& work, int i, int j, double sign)
{
    const int n = data.freeCount;
    for (int t = 1; t <= n; ++t)
        work.trial[at(data.freeIndex[at(t)])] = data.freeValues[at(t)];
    double& first = work.trial[at(data.freeIndex[at(i)])];
    first = first + sign * work.increments[at(i)];
    if (j != i) {
        double& second = work.trial[at(data.freeIndex[at(j)])];
        second = second + sign * work.increments[at(j)];
    }
}

// Probe k of total: shown in status panel 1 and interface events let through, unless a
// likelihood profile runs. False once the program has ended.
bool announceProbe(Application& app, int k, int total)
{
    if (app.session.profileRunning || k > total)
        return !app.ended();
    app.mainWindow.setPanel(statusBar::messages, 1, hessianCallText(k, total));
    return app.yieldToInterface();
}

// The n(n + 1) probes into the raw table, and the gradient from the diagonal pairs. Ends at the
// first probe whose objective is not finite.
DerivativeOutcome takeProbes(Application& app, DerivativeWork& work, int n)
{
    const AlgorithmData& data = app.algorithm;
    const int total = n * (n + 1);
    int k = 0;
    for (int i = 1; i <= n; ++i) {
        for (int j = i; j <= n; ++j) {
            for (int side = 1; side <= 2; ++side) {
                placeProbe(data, work, i, j, side == 1 ? 1.0 : -1.0);
                if (!announceProbe(app, ++k, total))
                    return {DerivativeStatus::ProgramEnded};
                const double value = evaluateCounted(app, work.trial);
                work.rawValues(side, i, j) = value;
                if (!isFiniteObjective(value))
                    return nonFinite(data, DerivativeStatus::NonFiniteProbe, side, i, j, value);
                if (i == j && side == 2)
                    work.gradient[at(i)] =
                        (work.rawValues(1, i, i) - work.rawValues(2, i, i)) / (2.0 * work.increments[at(i)]);
            }
        }
    }
    return {};
}

// Row i of the second derivatives, with D(s, i, j) = raw(s, i, j) - F0.
void secondDerivativeRow(const DerivativeWork& work, double F0, WorkMatrix& workMatrix, int i)
{
    const RawValueTable& raw = work.rawValues;
    const double hi = work.increments[at(i)];
    const auto D = [&raw, F0](int side, int row, int column) { return raw(side, row, column) - F0; };
    workMatrix(i, i) = (D(1, i, i) + D(2, i, i)) / (hi * hi);
    for (int j = i + 1; j <= workMatrix.order(); ++j) {
        const double hj = work.increments[at(j)];
        workMatrix(i, j) = (D(1, i, j) + D(2, i, j) - D(1, i, i) - D(2, i, i) - D(1, j, j) - D(2, j, j)) /
                           (2.0 * hi * hj);
        workMatrix(j, i) = workMatrix(i, j);
    }
}

// ---- Analytical -----------------------------------------------------------------------------

bool anyFreeCurvature(const AlgorithmData& data, const ModelWorkspace& workspace)
{
    for (int i = 1; i <= data.freeCount; ++i)
        for (int j = i; j <= data.freeCount; ++j)
            if (modelCurvature(workspace, parameterOf(data, i), parameterOf(data, j)) != 0.0)
                return true;
    return false;
}

void copyModelDerivatives(const AlgorithmData& data, const ModelWorkspace& workspace, WorkMatrix& workMatrix,
                          DerivativeWork& work)
{
    const int n = data.freeCount;
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j)
            workMatrix(i, j) = modelCurvature(workspace, parameterOf(data, i), parameterOf(data, j));
    for (int i = 1; i <= n; ++i)
        work.gradient[at(i)] = modelGradient(workspace, parameterOf(data, i));
}

} // namespace

DerivativeOutcome computeDerivatives(Application& app, double F0, DerivativeMode mode, DerivativeRequest request,
                                     WorkMatrix& workMatrix, DerivativeWork& work)
{
    if (mode == DerivativeMode::Analytical)
        return analyticalDerivatives(app, request, workMatrix, work);
    return numericalDerivatives(app, F0, workMatrix, work);
}

DerivativeOutcome numericalDerivatives(Application& app, double F0, WorkMatrix& workMatrix, DerivativeWork& work)
{
    const AlgorithmData& data = app.algorithm;
    const int n = std::max(data.freeCount, 0);
    prepareResults(workMatrix, work, n);
    if (!std::isfinite(F0))
        return {DerivativeStatus::NonFiniteCentre, 0, 0, 0, 0, 0, F0};

    computeIncrements(data, work, n);
    work.rawValues.setOrder(n);
    startTrial(data, work);
    if (DerivativeOutcome probes = takeProbes(app, work, n); !probes.computed())
        return probes;

    for (int i = 1; i <= n; ++i) {
        secondDerivativeRow(work, F0, workMatrix, i);
        if (!app.yieldToInterface())
            return {DerivativeStatus::ProgramEnded};
    }
    return checkFinite(data, workMatrix, work.gradient);
}

DerivativeOutcome analyticalDerivatives(Application& app, DerivativeRequest request, WorkMatrix& workMatrix,
                                        DerivativeWork& work)
{
    AlgorithmData& data = app.algorithm;
    const int n = std::max(data.freeCount, 0);
    prepareResults(workMatrix, work, n);
    zeroModelDerivatives(app.modelWorkspace, data.paramCount);

    applyFuseGroups(data, data.paramValues, fusePinning(app.session));
    if (ModelRoutine* model = app.model())
        callModel(*model, data, app.modelWorkspace, data.paramValues, callCode::analyticalDerivatives);
    if (!app.yieldToInterface())
        return {DerivativeStatus::ProgramEnded};

    if (request == DerivativeRequest::First && !anyFreeCurvature(data, app.modelWorkspace))
        return {DerivativeStatus::Missing};
    copyModelDerivatives(data, app.modelWorkspace, workMatrix, work);
    return checkFinite(data, workMatrix, work.gradient);
}

} // namespace orvanta
