#include "minimize/AxialVerification.h"

#include "algorithm/AlgorithmData.h"
#include "app/Application.h"
#include "minimize/SimplexMinimizer.h"
#include "minimize/SimplexWindow.h"
#include "text/NumberText.h"
#include "ui/UserInterface.h"

#include <cmath>
#include <cstddef>
#include <optional>

namespace orvanta {

namespace {

constexpr int lastTransientPanel = 4;

std::size_t at(int index)
{
    return static_cast<std::size_t>(index);
}

void setPanel(Application& app, int panel, std::string text)
{
    app.mainWindow.setPanel(statusBar::messages, panel, std::move(text));
}

void clearPanel(Application& app, int panel)
{
    app.mainWindow.clearPanel(statusBar::messages, panel);
}

// Probes each free coordinate of the best vertex up, then down. The first probe below
// threshold is copied into reflectPoint and its free position returned; the best vertex keeps
// that probe's displacement, as the rebuild after a failure expects. Without one every
// coordinate is back at its value.
std::optional<int> findBetterAxialPoint(Application& app, double threshold)
{
    SimplexState& s = app.minimization.simplex;
    const AlgorithmData& data = app.algorithm;
    const int n = data.freeCount;
    std::vector<double>& best = s.vertices[at(s.bestVertex)];
    int probe = 0;
    for (int j = 1; j <= n; ++j) {
        const double before = best[at(j)];
        const double displacement = data.options.stepReductionFraction * data.freeSteps[at(j)];
        for (const bool up : {true, false}) {
            best[at(j)] = up ? best[at(j)] + displacement : best[at(j)] - 2.0 * displacement;
            ++probe;
            if (evaluateSimplexPoint(app, best) < threshold) {
                s.reflectPoint = best;
                return j;
            }
            setPanel(app, 2, axialProbeText(probe, n));
        }
        best[at(j)] = before;
    }
    return std::nullopt;
}

// Vertex 1 moves to the better point; every other vertex v keeps its coordinates except v-1,
// which is increased by the reduced step. All are evaluated, then ranked.
void rebuildAroundBetterPoint(Application& app)
{
    SimplexState& s = app.minimization.simplex;
    const AlgorithmData& data = app.algorithm;
    const int n = data.freeCount;
    s.vertices[1] = s.reflectPoint;
    s.values[1] = evaluateSimplexPoint(app, s.vertices[1]);
    for (int v = 2; v <= n + 1; ++v) {
        s.vertices[at(v)][at(v - 1)] += data.options.stepReductionFraction * data.freeSteps[at(v - 1)];
        s.values[at(v)] = evaluateSimplexPoint(app, s.vertices[at(v)]);
    }
    rankSimplex(s, n);
}

void restartAt(Application& app, int freePosition)
{
    setPanel(app, 2, " ");
    clearPanel(app, 1);
    std::int16_t& restarts = app.minimization.counters.restartCount;
    ++restarts;
    if (restarts >= 2)
        setPanel(app, 4, "Multiple restarts indicate a tuning problem!");
    setPanel(app, 3,
             "Last failure of convergence verification caused by parameter # " +
                 numberText(app.algorithm.freeIndex[at(freePosition)]));
    rebuildAroundBetterPoint(app);
}

// The verified minimum in the window, the log and a message; silent during a profile, which
// evaluates the point itself.
void reportVerifiedMinimum(Application& app)
{
    clearPanel(app, 1);
    if (app.session.profileRunning)
        return;
    const SimplexProgress result = currentSimplexProgress(app);
    openSimplexWindow(app, app.algorithm.freeCount).setProgressText(simplexResultText(result));
    if (app.algorithm.options.fileFrequency != 0)
        writeSimplexResult(app, result);
    app.ui().showMessage("Minimum found using Simplex!", "Simplex minimum", Buttons::OK,
                         Icon::CriticalInformation);
    app.minimization.interruptRequested = false;
    for (int panel = 1; panel <= lastTransientPanel; ++panel)
        clearPanel(app, panel);
    // The best vertex is written back when the run ends; the review is of the minimum found.
    if (app.session.priorsActive && app.priorHooks.produceReview)
        app.priorHooks.produceReview(parameterVector(app.algorithm, result.bestVertex));
}

} // namespace

double axialThreshold(double tolerance, double fmin)
{
    return tolerance >= 0.0 ? tolerance : std::fabs(tolerance) * std::fabs(fmin);
}

std::string axialProbeText(int probe, int freeCount)
{
    return "Axial function call " + formatNumber(probe, "###0") + " of " +
           formatNumber(2 * freeCount, "###0");
}

Verification verifyConvergence(Application& app)
{
    const SimplexState& s = app.minimization.simplex;
    const double fmin = s.values[at(s.bestVertex)];
    setPanel(app, 1, "Verifying convergence by performing an axial search");
    clearPanel(app, 3);
    const double threshold = fmin - axialThreshold(app.algorithm.options.convergenceTolerance, fmin);
    if (const std::optional<int> failing = findBetterAxialPoint(app, threshold)) {
        restartAt(app, *failing);
        return Verification::Restarted;
    }
    setPanel(app, 2, " ");
    reportVerifiedMinimum(app);
    return Verification::Verified;
}

} // namespace orvanta
