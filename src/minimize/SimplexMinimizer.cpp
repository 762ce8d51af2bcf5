#include "minimize/SimplexMinimizer.h"

#include "algorithm/AlgorithmData.h"
#include "app/Application.h"
#include "app/MainMenu.h"
#include "minimize/AxialVerification.h"
#include "minimize/ObjectiveEvaluation.h"
#include "minimize/SimplexWindow.h"
#include "text/NumberText.h"
#include "ui/UserInterface.h"

#include <cmath>
#include <cstddef>
#include <limits>

namespace orvanta {

namespace {

constexpr const char* messageTitle = "Simplex minimization";
constexpr const char* interruptTitle = "Simplex interrupt";
constexpr const char* oneMomentText = "One moment please...";
constexpr int lastTransientPanel = 4;

void setToolCommandsEnabled(Application& app, bool enabled)
{
    if (MainMenuWindow* menu = app.mainMenu())
        menu->setToolCommandsEnabled(enabled);
}

void restoreMainMenu(Application& app)
{
    app.showMainMenu();
    app.endToolCommand();
    setToolCommandsEnabled(app, true);
}

void setPanel(Application& app, int panel, std::string text)
{
    app.mainWindow.setPanel(statusBar::messages, panel, std::move(text));
}

void clearPanels(Application& app, int first, int last)
{
    for (int panel = first; panel <= last; ++panel)
        app.mainWindow.clearPanel(statusBar::messages, panel);
}

SimplexWindow* simplexWindow(Application& app)
{
    return app.desktop.find<SimplexWindow>(SimplexWindow::windowName);
}

std::size_t at(int index)
{
    return static_cast<std::size_t>(index);
}

// ---- The simplex ------------------------------------------------------------------------------

bool simplexFits(const SimplexState& s, int n)
{
    return s.vertices.size() == at(n + 3) && s.values.size() == at(n + 2);
}

// Storage for vertices 1..n+2 of n coordinates, vertex 1 at the current free values.
void startNewSimplex(SimplexState& s, const AlgorithmData& data)
{
    const int n = data.freeCount;
    s.vertices.assign(at(n + 3), std::vector<double>(at(n + 1), 0.0));
    s.values.assign(at(n + 2), 0.0);
    s.reflectPoint.assign(at(n + 1), 0.0);
    s.expandPoint.assign(at(n + 1), 0.0);
    s.bestVertex = 1;
    s.worstVertex = 1;
    s.lastAction.clear();
    s.improvedCount = 0;
    for (int k = 1; k <= n; ++k)
        s.vertices[1][at(k)] = data.freeValues[at(k)];
}

void replaceWorst(SimplexState& s, const std::vector<double>& point, double value)
{
    s.vertices[at(s.worstVertex)] = point;
    s.values[at(s.worstVertex)] = value;
}

std::int16_t countWorseThan(const SimplexState& s, int n, double value)
{
    std::int16_t count = 0;
    for (int v = 1; v <= n + 1; ++v)
        if (s.values[at(v)] > value)
            ++count;
    return count;
}

// point = a x p + b x q, coordinate by coordinate.
void combine(std::vector<double>& point, double a, const std::vector<double>& p, double b,
             const std::vector<double>& q, int n)
{
    for (int k = 1; k <= n; ++k)
        point[at(k)] = a * p[at(k)] + b * q[at(k)];
}

// Every vertex but the best moves halfway towards it and is evaluated.
void reduceTowardsBest(Application& app, SimplexState& s, int n)
{
    const std::vector<double> best = s.vertices[at(s.bestVertex)];
    for (int v = 1; v <= n + 1; ++v) {
        if (v == s.bestVertex)
            continue;
        std::vector<double>& vertex = s.vertices[at(v)];
        for (int k = 1; k <= n; ++k)
            vertex[at(k)] = (vertex[at(k)] - best[at(k)]) * 0.5 + best[at(k)];
        s.values[at(v)] = evaluateSimplexPoint(app, vertex);
    }
}

// Contraction of the current worst vertex towards the centroid; failing that, reduction.
void contractOrReduce(Application& app, SimplexState& s, int n)
{
    const bool reflected = s.lastAction == simplexAction::reflection;
    combine(s.reflectPoint, 0.5, s.vertices[at(s.worstVertex)], 0.5, s.vertices[at(n + 2)], n);
    const double contracted = evaluateSimplexPoint(app, s.reflectPoint);
    if (contracted < s.values[at(s.worstVertex)]) {
        replaceWorst(s, s.reflectPoint, contracted);
        s.lastAction = reflected ? simplexAction::reflectionContraction : simplexAction::contraction;
        return;
    }
    s.lastAction = reflected ? simplexAction::reflectionReduction : simplexAction::reduction;
    reduceTowardsBest(app, s, n);
}

// ---- The run ----------------------------------------------------------------------------------

struct RunControl {
    int terminalCountdown = 0;
    int fileCountdown = 0;
    bool done = false;
    bool forceDisplay = false;
    SimplexEnd end = SimplexEnd::Verified;
};

void stopRun(Application& app, RunControl& run, SimplexEnd end)
{
    run.done = true;
    run.forceDisplay = true;
    run.end = end;
    setPanel(app, 1, oneMomentText);
    clearPanels(app, 2, lastTransientPanel);
}

double bestValue(const SimplexState& s)
{
    return s.values[at(s.bestVertex)];
}

double worstValue(const SimplexState& s)
{
    return s.values[at(s.worstVertex)];
}

InitialSimplex initialSimplex(const Application& app)
{
    const SimplexState& s = app.minimization.simplex;
    return {s.values[1], worstValue(s), bestValue(s), freeParameterRows(app.algorithm, s.vertices[1])};
}

// Shows after iteration 1 and then after every frequency iterations; 0 never.
bool countDown(int& countdown, int frequency)
{
    if (frequency != 0 && countdown == frequency) {
        countdown = 1;
        return true;
    }
    if (countdown > 0)
        ++countdown;
    return false;
}

void showAndWriteProgress(Application& app, RunControl& run)
{
    const MinimizerOptions& options = app.algorithm.options;
    if (countDown(run.terminalCountdown, options.terminalFrequency))
        showProgress(app, currentSimplexProgress(app));
    if (countDown(run.fileCountdown, options.fileFrequency))
        writeProgress(app, currentSimplexProgress(app));
}

void askAtMaxCalls(Application& app, RunControl& run)
{
    const Answer answer =
        app.ui().showMessage("Maximum number of function calls reached, do you want to continue?",
                             messageTitle, Buttons::YesNo, Icon::Question);
    if (answer == Answer::Yes)
        app.minimization.counters.callCount = 0; // NF starts again at 1
    else
        stopRun(app, run, SimplexEnd::StoppedAtMaxCalls);
}

void reportDivisionByZero(Application& app)
{
    app.ui().showMessage("A function value of zero has caused a division by zero error.\n"
                         "Reset the tolerance to ABSolute or otherwise correct model",
                         "Simplex error", Buttons::OK, Icon::CriticalInformation);
    clearPanels(app, 1, lastTransientPanel);
}

// The convergence test on the spread of the vertex values; false when the run must end at once.
bool testConvergence(Application& app, RunControl& run)
{
    const SimplexState& s = app.minimization.simplex;
    const double tolerance = app.algorithm.options.convergenceTolerance;
    const double spread = std::fabs(worstValue(s) - bestValue(s));
    bool converged = false;
    if (tolerance >= 0.0) {
        converged = spread < tolerance;
    } else {
        if (bestValue(s) == 0.0) {
            reportDivisionByZero(app);
            run.end = SimplexEnd::DivisionByZero;
            return false;
        }
        converged = spread / std::fabs(bestValue(s)) < std::fabs(tolerance);
    }
    if (converged && verifyConvergence(app) == Verification::Verified) {
        run.done = true;
        run.end = SimplexEnd::Verified;
    }
    return true;
}

void answerProfileInterrupt(Application& app, RunControl& run)
{
    UserInterface& ui = app.ui();
    if (ui.showMessage("Interrupt received. Do you want to quit the ML procedure?", interruptTitle,
                       Buttons::YesNo, Icon::Question) == Answer::Yes) {
        run.done = true;
        run.forceDisplay = true;
        run.end = SimplexEnd::Interrupted;
        app.minimization.simplex.profileSkipRequested = true;
        return;
    }
    if (ui.showMessage("Do you want to continue starting with the NEXT point?", interruptTitle,
                       Buttons::YesNo, Icon::Question, DefaultButton::Second) == Answer::Yes) {
        run.done = true; // this point ends, the profile goes on
        run.forceDisplay = false;
        run.end = SimplexEnd::Interrupted;
        return;
    }
    run.forceDisplay = true;
}

void answerInterrupt(Application& app, RunControl& run)
{
    app.minimization.interruptRequested = false;
    if (SimplexWindow* window = simplexWindow(app))
        window->setStopEnabled(true);
    app.mainWindow.clearPanel(statusBar::messages, 1);
    if (app.session.profileRunning) {
        answerProfileInterrupt(app, run);
        return;
    }
    if (app.ui().showMessage("Interrupt received. Do you want to quit minimizing?", interruptTitle,
                             Buttons::YesNo, Icon::Question) == Answer::Yes)
        stopRun(app, run, SimplexEnd::Interrupted);
    else
        run.forceDisplay = false;
}

// Progress asked for outside the regular countdown, unless it was just shown.
void forcedDisplay(Application& app, RunControl& run)
{
    if (!run.forceDisplay)
        return;
    if (run.terminalCountdown > 1 && app.algorithm.options.terminalFrequency != 0)
        showProgress(app, currentSimplexProgress(app));
    run.forceDisplay = false;
}

// The full vector the model receives for a point in free coordinates.
const std::vector<double>& composedVector(Application& app, const std::vector<double>& coordinates)
{
    composeTrialVector(app.algorithm, coordinates, fusePinning(app.session));
    return app.algorithm.trialVector;
}

// A refused or abandoned simplex is not kept for the next run.
void abandonSimplex(Application& app, const std::string& text)
{
    app.session.simplexBuilt = false;
    clearPanels(app, 1, lastTransientPanel);
    app.ui().showMessage(text, messageTitle, Buttons::OK, Icon::Exclamation);
}

void refuseNonFiniteStart(Application& app)
{
    const std::string failure = objectiveFailureText(app);
    const std::vector<double>& vector = composedVector(app, app.minimization.simplex.vertices[1]);
    abandonSimplex(app, nonFiniteStartText(app.algorithm, vector, failure));
}

void stopNonFiniteSimplex(Application& app)
{
    const SimplexState& s = app.minimization.simplex;
    const std::vector<double>& vector = composedVector(app, s.vertices[at(s.bestVertex)]);
    abandonSimplex(app, nonFiniteSimplexText(app.algorithm, vector));
}

// A fresh simplex: the button's fresh-run caption, the building text, then the evaluations.
bool buildFreshSimplex(Application& app)
{
    const int n = app.algorithm.freeCount;
    SimplexWindow& window = openSimplexWindow(app, n);
    window.setStopEnabled(true);
    window.setStopCaption(SimplexWindow::freshRunStopCaption);
    startNewSimplex(app.minimization.simplex, app.algorithm);
    setPanel(app, 1, "Building initial simplex...");
    app.mainWindow.clearPanel(statusBar::messages, 2);
    if (!app.yieldToInterface())
        return false;
    app.session.simplexBuilt = true;
    return buildInitialSimplex(app);
}

void writeBestVertexBack(Application& app)
{
    const SimplexState& s = app.minimization.simplex;
    AlgorithmData& data = app.algorithm;
    for (int k = 1; k <= data.freeCount; ++k)
        data.paramValues[at(data.freeIndex[at(k)])] = s.vertices[at(s.bestVertex)][at(k)];
}

// One pass of the loop; false when the run ends without writing the best vertex back.
bool iterate(Application& app, RunControl& run)
{
    SimplexState& s = app.minimization.simplex;
    RunCounters& counters = app.minimization.counters;
    simplexStep(app);
    if (app.ended()) {
        run.end = SimplexEnd::ProgramEnded;
        return false;
    }
    rankSimplex(s, app.algorithm.freeCount);
    ++counters.iterationCount;
    if (!std::isfinite(bestValue(s))) {
        stopNonFiniteSimplex(app);
        run.end = SimplexEnd::NonFiniteSimplex;
        return false;
    }
    showAndWriteProgress(app, run); // yields during a profile
    if (app.ended()) {
        run.end = SimplexEnd::ProgramEnded;
        return false;
    }
    run.done = false;
    if (counters.callCount > app.algorithm.options.maxCalls)
        askAtMaxCalls(app, run);
    if (!run.done && !testConvergence(app, run))
        return false;
    if (!app.yieldToInterface()) {
        run.end = SimplexEnd::ProgramEnded;
        return false;
    }
    if (app.minimization.interruptRequested)
        answerInterrupt(app, run);
    forcedDisplay(app, run);
    return true;
}

void discardDerivativeWork(Application& app)
{
    // The covariance calculator's arrays join these once it exists.
    app.modelWorkspace.gradientVector.assign(1, 0.0);
    app.modelWorkspace.curvatureMatrix.assign(1, std::vector<double>(1, 0.0));
}

} // namespace

double rankedObjective(double value)
{
    return isFiniteObjective(value) ? value : std::numeric_limits<double>::infinity();
}

double evaluateSimplexPoint(Application& app, const std::vector<double>& coordinates)
{
    composeTrialVector(app.algorithm, coordinates, fusePinning(app.session));
    return rankedObjective(evaluateCounted(app, app.algorithm.trialVector));
}

void rankSimplex(SimplexState& s, int n)
{
    s.bestVertex = 1;
    s.worstVertex = 1;
    for (int v = 2; v <= n + 1; ++v) {
        if (s.values[at(v)] < bestValue(s))
            s.bestVertex = v;
        else if (s.values[at(v)] > worstValue(s))
            s.worstVertex = v;
    }
    std::vector<double>& centroid = s.vertices[at(n + 2)];
    for (int k = 1; k <= n; ++k) {
        double sum = 0.0;
        for (int v = 1; v <= n + 1; ++v)
            sum += s.vertices[at(v)][at(k)];
        centroid[at(k)] = (sum - s.vertices[at(s.worstVertex)][at(k)]) / n;
    }
}

bool buildInitialSimplex(Application& app)
{
    SimplexState& s = app.minimization.simplex;
    const AlgorithmData& data = app.algorithm;
    const int n = data.freeCount;
    s.values[1] = evaluateSimplexPoint(app, s.vertices[1]);
    if (!std::isfinite(s.values[1]))
        return false;
    for (int v = 2; v <= n + 1; ++v) {
        s.vertices[at(v)] = s.vertices[1];
        s.vertices[at(v)][at(v - 1)] += data.freeSteps[at(v - 1)];
        s.values[at(v)] = evaluateSimplexPoint(app, s.vertices[at(v)]);
    }
    rankSimplex(s, n);
    return true;
}

void simplexStep(Application& app)
{
    SimplexState& s = app.minimization.simplex;
    const int n = app.algorithm.freeCount;
    const std::vector<double>& centroid = s.vertices[at(n + 2)];

    combine(s.reflectPoint, 2.0, centroid, -1.0, s.vertices[at(s.worstVertex)], n);
    const double reflected = evaluateSimplexPoint(app, s.reflectPoint);
    s.improvedCount = countWorseThan(s, n, reflected);
    s.lastAction = simplexAction::reflection;

    if (s.improvedCount == n + 1) {
        combine(s.expandPoint, 2.0, s.reflectPoint, -1.0, centroid, n);
        const double extended = evaluateSimplexPoint(app, s.expandPoint);
        if (extended >= reflected) {
            replaceWorst(s, s.reflectPoint, reflected);
        } else {
            replaceWorst(s, s.expandPoint, extended);
            s.lastAction = simplexAction::extension;
        }
        return;
    }
    if (s.improvedCount > 1) {
        replaceWorst(s, s.reflectPoint, reflected);
        return;
    }
    if (s.improvedCount == 1)
        replaceWorst(s, s.reflectPoint, reflected);
    else
        s.lastAction.clear();
    contractOrReduce(app, s, n);
}

SimplexProgress currentSimplexProgress(const Application& app)
{
    const SimplexState& s = app.minimization.simplex;
    const AlgorithmData& data = app.algorithm;
    SimplexProgress progress;
    progress.counters = app.minimization.counters;
    progress.improvedCount = s.improvedCount;
    progress.lastAction = s.lastAction;
    progress.bestValue = bestValue(s);
    progress.worstValue = worstValue(s);
    progress.tolerance = data.options.convergenceTolerance;
    progress.bestVertex = freeParameterRows(data, s.vertices[at(s.bestVertex)]);
    if (app.session.profileRunning) {
        const auto pinned = at(app.session.pinnedParam);
        const double pinnedValue = pinned < data.paramValues.size() ? data.paramValues[pinned] : 0.0;
        progress.profile =
            ProfilePosition{s.profilePoint, s.profilePointCount, app.session.pinnedParam, pinnedValue};
    }
    return progress;
}

std::string nonFiniteStartText(const AlgorithmData& data, const std::vector<double>& vector,
                               const std::string& failure)
{
    return "The objective function has no finite value at the starting point (" + failure +
           "), so the Simplex cannot start.\n\nParameter values:\n\n" + parameterValueLines(data, vector);
}

std::string nonFiniteSimplexText(const AlgorithmData& data, const std::vector<double>& vector)
{
    return "The objective function has no finite value at any vertex of the simplex, so the Simplex "
           "stops.\n\nParameter values of the best vertex:\n\n" +
           parameterValueLines(data, vector);
}

SimplexEnd runSimplex(Application& app)
{
    SimplexState& s = app.minimization.simplex;
    RunCounters& counters = app.minimization.counters;
    const MinimizerOptions& options = app.algorithm.options;
    const int n = app.algorithm.freeCount;

    SimplexWindow& window = openSimplexWindow(app, n);
    window.setInitialText("");
    window.setProgressText("");
    counters.callCount = 0;
    // A simplex of another dimension cannot be continued, whatever the flag says.
    if ((!app.session.simplexBuilt || !simplexFits(s, n)) && !buildFreshSimplex(app)) {
        if (app.ended())
            return SimplexEnd::ProgramEnded;
        refuseNonFiniteStart(app);
        return SimplexEnd::NonFiniteStart;
    }
    if (app.ended())
        return SimplexEnd::ProgramEnded;

    showInitialSimplex(app, initialSimplex(app));
    if (app.ended())
        return SimplexEnd::ProgramEnded;
    RunControl run;
    run.terminalCountdown = options.terminalFrequency;
    run.fileCountdown = options.fileFrequency;
    counters.iterationCount = 0;
    counters.restartCount = 0;
    do {
        if (!iterate(app, run))
            return run.end;
    } while (!run.done);

    writeBestVertexBack(app);
    clearPanels(app, 1, lastTransientPanel);
    return run.end;
}

void cmdSimplex_Click(Application& app)
{
    app.minimization.simplexRunning = true;
    setToolCommandsEnabled(app, false);
    app.startToolCommand(ToolStart::CloseAll);
    buildFuseGroups(app.algorithm);
    buildFreeIndex(app.algorithm);
    if (app.algorithm.freeCount == 0) {
        restoreMainMenu(app);
        app.ui().showMessage("All step sizes are zero", "There is nothing to do!", Buttons::OK,
                             Icon::Exclamation);
        app.minimization.simplexRunning = false;
        return;
    }
    if (!app.session.simplexBuilt)
        discardDerivativeWork(app);
    app.session.covarianceAvailable = false;
    if (runSimplex(app) == SimplexEnd::ProgramEnded)
        return;
    restoreMainMenu(app);
    app.minimization.simplexRunning = false;
}

void installSimplex(Application& app)
{
    app.registerCommand(menuButton::simplex, [&app] { cmdSimplex_Click(app); });
}

} // namespace orvanta
