#include "minimize/MarquardtMinimizer.h"

#include "algorithm/AlgorithmData.h"
#include "app/Application.h"
#include "app/MainMenu.h"
#include "minimize/MarquardtDerivatives.h"
#include "minimize/MarquardtVerification.h"
#include "minimize/MarquardtWindow.h"
#include "minimize/ObjectiveEvaluation.h"
#include "minimize/SimplexMinimizer.h"
#include "text/NumberText.h"
#include "ui/UserInterface.h"
#include "uncertainty/MatrixRoutines.h"

#include <cmath>
#include <cstddef>
#include <optional>

namespace orvanta {

namespace {

constexpr const char* messageTitle = "Marquardt minimization";
constexpr const char* interruptTitle = "Marquardt interrupt";
constexpr const char* derivativesText = "Calculating derivatives, one moment please...";
constexpr const char* verifyingText = "Verifying convergence by performing an axial search";
constexpr const char* rejectedText = "Convergence rejected";
constexpr std::int32_t uncountedCall = 1;
constexpr int lastTransientPanel = 4;

std::size_t at(int index)
{
    return static_cast<std::size_t>(index);
}

void setToolCommandsEnabled(Application& app, bool enabled)
{
    if (MainMenuWindow* menu = app.mainMenu())
        menu->setToolCommandsEnabled(enabled);
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

MarquardtWindow* marquardtWindow(Application& app)
{
    return app.desktop.find<MarquardtWindow>(MarquardtWindow::windowName);
}

void setStopEnabled(Application& app, bool enabled)
{
    if (MarquardtWindow* window = marquardtWindow(app))
        window->setStopEnabled(enabled);
}

void unloadWindow(Application& app)
{
    if (marquardtWindow(app))
        app.desktop.close(MarquardtWindow::windowName);
}

// ---- The run --------------------------------------------------------------------------------

struct MarquardtRun {
    explicit MarquardtRun(Application& application) : app(application), n(application.algorithm.freeCount) {}

    Application& app;
    int n;
    std::vector<double> point; // marquardtPoint: the trial point, full length
    double F = 0.0;
    double Flast = 0.0;
    double lambda = initialLambda;
    int trialNumber = 0;
    int verifyCount = 0;
    int derivativeRequests = 0;
    bool quitRequested = false;
    bool derivedThisPass = false;
    MatrixWork matrix;
    DerivativeWork derivatives;
    SavedDerivatives saved;
    std::vector<double> solution; // [1..n]: the gradient, then the step
    std::optional<MarquardtEnd> end;
};

const AlgorithmData& dataOf(const MarquardtRun& run)
{
    return run.app.algorithm;
}

// paramValues and freeValues take the free coordinates of the trial point.
void takeTrialPoint(MarquardtRun& run)
{
    AlgorithmData& data = run.app.algorithm;
    for (int t = 1; t <= run.n; ++t) {
        const auto parameter = at(data.freeIndex[at(t)]);
        data.paramValues[parameter] = run.point[parameter];
        data.freeValues[at(t)] = run.point[parameter];
    }
}

std::optional<ProfilePosition> profilePosition(const Application& app)
{
    if (!app.session.profileRunning)
        return std::nullopt;
    const AlgorithmData& data = app.algorithm;
    const SimplexState& s = app.minimization.simplex;
    const auto pinned = at(app.session.pinnedParam);
    const double pinnedValue = pinned < data.paramValues.size() ? data.paramValues[pinned] : 0.0;
    return ProfilePosition{s.profilePoint, s.profilePointCount, app.session.pinnedParam, pinnedValue};
}

MarquardtProgress progressOf(const MarquardtRun& run, double current)
{
    const AlgorithmData& data = dataOf(run);
    MarquardtProgress progress;
    progress.counters = run.app.minimization.counters;
    progress.currentValue = current;
    progress.lastValue = run.Flast;
    progress.tolerance = data.options.convergenceTolerance;
    progress.accepted = freeParameterRows(data, data.freeValues);
    progress.derivatives = run.saved;
    progress.profile = profilePosition(run.app);
    return progress;
}

void saveDerivatives(MarquardtRun& run)
{
    const WorkMatrix& hessian = run.matrix.workMatrix;
    run.saved.mode = run.app.minimization.derivativeMode;
    run.saved.gradient.assign(at(run.n) + 1, 0.0);
    run.saved.hessian.assign(at(run.n) + 1, std::vector<double>(at(run.n) + 1, 0.0));
    for (int t = 1; t <= run.n; ++t) {
        run.saved.gradient[at(t)] = run.derivatives.gradient[at(t)];
        for (int j = t; j <= run.n; ++j)
            run.saved.hessian[at(t)][at(j)] = hessian(t, j);
    }
}

// ---- Ends -------------------------------------------------------------------------------------

// The user quit the program during the run: it ends at once, showing nothing more.
bool endedByQuit(MarquardtRun& run)
{
    if (!run.app.ended())
        return false;
    run.end = MarquardtEnd::ProgramEnded;
    return true;
}

void giveUp(MarquardtRun& run)
{
    clearPanels(run.app, 1, 1);
    clearPanels(run.app, 3, 3);
    run.app.ui().showMessage(giveUpText(), "Marquardt quits in frustration", Buttons::OK, Icon::Information);
    unloadWindow(run.app);
    run.end = MarquardtEnd::GaveUp;
}

void stopRun(MarquardtRun& run)
{
    setStopEnabled(run.app, true);
    clearPanels(run.app, 2, 3);
    run.app.ui().showMessage("Maximum number of iterations reached or an interrupt was received",
                             "Marquart minimization stopped", Buttons::OK, Icon::Information);
    run.end = MarquardtEnd::Stopped;
}

std::string movedParameters(const DerivativeOutcome& outcome)
{
    std::string text = "parameter # " + numberText(outcome.rowParameter);
    if (outcome.columnParameter != 0 && outcome.columnParameter != outcome.rowParameter)
        text += " and parameter # " + numberText(outcome.columnParameter);
    return text;
}

std::string nonFiniteDerivativeText(const Application& app, const DerivativeOutcome& outcome)
{
    const std::string ending = ", so Marquardt stops at the last accepted point.";
    switch (outcome.status) {
    case DerivativeStatus::NonFiniteProbe:
        return "The objective function has no finite value (" + objectiveFailureText(app) +
               ") at the derivative probe that moves " + movedParameters(outcome) + ending;
    case DerivativeStatus::NonFiniteDerivative:
        if (outcome.column == 0)
            return "The first derivative wrt parameter # " + numberText(outcome.rowParameter) + " is " +
                   numberText(outcome.value) + ending;
        return "The second derivative wrt " + movedParameters(outcome) + " is " + numberText(outcome.value) +
               ending;
    default:
        return "The objective function has no finite value at the last accepted point" + ending;
    }
}

// computeDerivatives around paramValues with F0 = Flast; false (the run ended) on a failure.
bool derive(MarquardtRun& run)
{
    Application& app = run.app;
    const DerivativeRequest request = run.derivativeRequests++ == 0 ? DerivativeRequest::First
                                                                    : DerivativeRequest::Later;
    const DerivativeOutcome outcome = computeDerivatives(app, run.Flast, app.minimization.derivativeMode, request,
                                                         run.matrix.workMatrix, run.derivatives);
    run.derivedThisPass = true;
    if (endedByQuit(run))
        return false;
    if (outcome.computed())
        return true;
    if (!outcome.derivativesPresent()) {
        showMissingDerivatives(app.ui());
        run.end = MarquardtEnd::DerivativesMissing;
        return false;
    }
    app.ui().showMessage(nonFiniteDerivativeText(app, outcome), messageTitle, Buttons::OK, Icon::Exclamation);
    run.end = MarquardtEnd::NonFiniteDerivatives;
    return false;
}

// After a verification that moved the point: derivatives anew from the moved point.
bool restartFromVerifiedPoint(MarquardtRun& run)
{
    setPanel(run.app, 1, rejectedText);
    setPanel(run.app, 3, derivativesText);
    run.lambda = initialLambda;
    run.trialNumber = 0;
    takeTrialPoint(run);
    return derive(run);
}

MarquardtVerification verify(MarquardtRun& run)
{
    setPanel(run.app, 1, verifyingText);
    const MarquardtVerification result = verifyMarquardt(run.app, run.point, run.Flast);
    ++run.verifyCount;
    return result;
}

// ---- The steps --------------------------------------------------------------------------------

bool converged(double F, double Flast, double tolerance)
{
    if (tolerance > 0.0)
        return std::fabs(Flast - F) < tolerance;
    if (tolerance < 0.0)
        // Relative to a last value of exactly 0 only an unchanged value has converged.
        return Flast == 0.0 ? F == Flast : std::fabs((Flast - F) / Flast) <= std::fabs(tolerance);
    return false;
}

void showAcceptedIteration(MarquardtRun& run)
{
    Application& app = run.app;
    const MarquardtProgress progress = progressOf(run, run.F);
    showMarquardtProgress(app, progress);
    app.ui().processPendingEvents();
    if (app.algorithm.options.fileFrequency > 0)
        writeMarquardtProgress(app, progress);
}

// A converged accepted iteration: verified, given up, ended, or restarted from the better probe.
bool verifyConvergence(MarquardtRun& run)
{
    const MarquardtVerification result = verify(run);
    if (endedByQuit(run))
        return false;
    if (result.verified) {
        run.end = MarquardtEnd::Verified;
        return false;
    }
    if (run.verifyCount >= verificationLimit) {
        giveUp(run);
        return false;
    }
    if (run.quitRequested) {
        run.end = MarquardtEnd::Stopped;
        return false;
    }
    return restartFromVerifiedPoint(run);
}

// The trial did not increase the objective; false when the run ends.
bool acceptTrial(MarquardtRun& run)
{
    Application& app = run.app;
    ++app.minimization.counters.iterationCount;
    run.trialNumber = 0;
    takeTrialPoint(run);
    showAcceptedIteration(run);
    if (endedByQuit(run))
        return false;
    if (converged(run.F, run.Flast, app.algorithm.options.convergenceTolerance))
        return verifyConvergence(run);
    if (run.quitRequested || app.minimization.counters.iterationCount == app.algorithm.options.maxCalls) {
        stopRun(run);
        return false;
    }
    run.Flast = run.F;
    setPanel(app, 3, derivativesText);
    if (!derive(run))
        return false;
    run.lambda *= 0.1;
    return true;
}

// workMatrix with its diagonal magnitudes scaled by (1 + lambda); false when lambda is too large.
bool dampDiagonal(MarquardtRun& run)
{
    WorkMatrix& m = run.matrix.workMatrix;
    for (int i = 1; i <= run.n; ++i) {
        if (run.lambda > largestLambda)
            return false;
        // After a rejected trial this scales the factors of the last decomposition, not the
        // derivatives: they are recomputed only at a new point.
        m(i, i) = std::fabs(m(i, i)) * (run.lambda + 1.0);
    }
    return true;
}

MatrixCaller matrixCaller(MarquardtRun& run)
{
    MatrixCaller caller;
    caller.ui = &run.app.ui();
    caller.parameterNumbers = dataOf(run).freeIndex;
    caller.derivativeMode = run.app.minimization.derivativeMode;
    return caller;
}

// The damped Newton step from freeValues into the trial point; false when the run ends.
bool solveForStep(MarquardtRun& run)
{
    if (run.derivedThisPass) {
        saveDerivatives(run);
        run.derivedThisPass = false;
    }
    if (!dampDiagonal(run)) {
        giveUp(run);
        return false;
    }
    const MatrixCaller caller = matrixCaller(run);
    run.solution.assign(run.derivatives.gradient.begin(), run.derivatives.gradient.begin() + run.n + 1);
    if (luDecompose(run.matrix, caller).failed()) {
        unloadWindow(run.app);
        run.end = MarquardtEnd::DecompositionFailed;
        return false;
    }
    luSolveColumn(run.matrix, run.solution, caller);
    const AlgorithmData& data = dataOf(run);
    for (int t = 1; t <= run.n; ++t)
        run.point[at(data.freeIndex[at(t)])] = data.freeValues[at(t)] - run.solution[at(t)];
    return true;
}

// After trialLimit rejected trials: back to the last accepted point and verify it. A verified
// point still gives up, since no step from it could be found.
bool verifyAfterTrialLimit(MarquardtRun& run)
{
    run.point = run.app.algorithm.paramValues;
    const MarquardtVerification result = verify(run);
    if (endedByQuit(run))
        return false;
    if (result.verified || run.verifyCount >= verificationLimit) {
        giveUp(run);
        return false;
    }
    if (run.quitRequested) {
        unloadWindow(run.app);
        run.end = MarquardtEnd::Stopped;
        return false;
    }
    return restartFromVerifiedPoint(run);
}

// Reached after every derivative computation, rejection and acceptance; false when the run ends.
bool newtonStep(MarquardtRun& run)
{
    for (;;) {
        if (!solveForStep(run))
            return false;
        if (run.trialNumber < trialLimit) {
            ++run.trialNumber;
            return true;
        }
        if (!verifyAfterTrialLimit(run))
            return false;
    }
}

// ---- Interrupts -------------------------------------------------------------------------------

void answerProfileInterrupt(MarquardtRun& run)
{
    UserInterface& ui = run.app.ui();
    if (ui.showMessage("Interrupt received. Do you want to quit the ML procedure?", interruptTitle,
                       Buttons::YesNo, Icon::Question) == Answer::Yes) {
        run.app.minimization.simplex.profileSkipRequested = true;
        run.end = MarquardtEnd::ProfileInterrupted;
        return;
    }
    if (ui.showMessage("Do you want to continue starting with the NEXT point?", interruptTitle, Buttons::YesNo,
                       Icon::Question, DefaultButton::Second) == Answer::Yes) {
        run.end = MarquardtEnd::ProfileInterrupted;
        return;
    }
    run.quitRequested = false;
}

void answerInterrupt(MarquardtRun& run)
{
    Application& app = run.app;
    app.minimization.marquardtInterrupt = false;
    setStopEnabled(app, true);
    clearPanels(app, 2, 2);
    if (app.session.profileRunning) {
        answerProfileInterrupt(run);
        return;
    }
    run.quitRequested = app.ui().showMessage("Interrupt received. Do you want to quit minimizing?", interruptTitle,
                                             Buttons::YesNo, Icon::Question) == Answer::Yes;
    if (run.quitRequested)
        setPanel(app, 1, "Interrupt will occur once this iteration is complete");
}

// ---- The loop ---------------------------------------------------------------------------------

void announceTrial(MarquardtRun& run)
{
    setPanel(run.app, 3,
             "Working to improve estimates. Objective function for trial # " + numberText(run.trialNumber) +
                 ", is : " + formatNumber(run.F, " 0.00000E+00"));
    run.app.ui().processPendingEvents();
}

// One trial; false when the run ends.
bool trial(MarquardtRun& run)
{
    announceTrial(run);
    if (endedByQuit(run))
        return false;
    if (run.app.minimization.marquardtInterrupt)
        answerInterrupt(run);
    if (run.end)
        return false;
    if (run.trialNumber == 0) {
        run.lambda = initialLambda;
        setPanel(run.app, 3, derivativesText);
        if (!derive(run))
            return false;
    } else {
        run.F = rankedObjective(evaluateCounted(run.app, run.point));
        if (run.F > run.Flast)
            run.lambda *= 10.0;
        else if (!acceptTrial(run))
            return false;
    }
    return newtonStep(run);
}

bool startRun(MarquardtRun& run)
{
    Application& app = run.app;
    MarquardtWindow& window = openMarquardtWindow(app, run.n);
    window.setStopEnabled(false);
    window.setText("");
    setPanel(app, 1, "Initial function call, one moment please...");
    if (!app.yieldToInterface()) {
        run.end = MarquardtEnd::ProgramEnded;
        return false;
    }

    RunCounters& counters = app.minimization.counters;
    counters.callCount = 0;
    counters.iterationCount = 0;
    run.derivatives.derivativeIncrement = defaultDerivativeIncrement;
    run.matrix.setOrder(run.n);
    run.point = app.algorithm.paramValues;
    const double start = evaluateCounted(app, run.point);
    if (endedByQuit(run))
        return false;
    if (!isFiniteObjective(start)) {
        const std::string failure = objectiveFailureText(app);
        clearPanels(app, 1, lastTransientPanel);
        app.ui().showMessage(marquardtNonFiniteStartText(app.algorithm, run.point, failure), messageTitle,
                             Buttons::OK, Icon::Exclamation);
        run.end = MarquardtEnd::NonFiniteStart;
        return false;
    }
    run.F = start;
    run.Flast = start;
    return true;
}

void readyForTrials(MarquardtRun& run)
{
    Application& app = run.app;
    run.quitRequested = false;
    app.minimization.marquardtInterrupt = false;
    if (MarquardtWindow* window = marquardtWindow(app)) {
        window->setStopEnabled(true);
        window->setStopCaption("&Interrupt this minimization");
    }
    clearPanels(app, 1, 2);
}

// The verified minimum evaluated once more with NF = 1, then shown and written.
void reportVerifiedMinimum(MarquardtRun& run)
{
    Application& app = run.app;
    applyFuseGroups(app.algorithm, run.point, fusePinning(app.session));
    const double F = evaluateObjective(app, run.point, uncountedCall);
    setStopEnabled(app, false);
    if (app.session.profileRunning)
        return;
    const MarquardtProgress result = progressOf(run, F);
    showMarquardtResult(app, result);
    if (app.algorithm.options.fileFrequency > 0)
        writeMarquardtResult(app, result);
}

void restoreAfterRun(Application& app)
{
    app.endToolCommand();
    setToolCommandsEnabled(app, true);
    app.minimization.marquardtRunning = false;
}

} // namespace

std::string derivativeModeQuestion()
{
    return "Note: You must provide derivatives for calculating gradients and building the Hessian matrix.\n"
           "\n"
           "Numerical derivatives are provided automatically, whereas you must have provided analytical\n"
           "derivatives in your model code (i.e., in that section of Sub MODEL() accessed when NF=-2).\n"
           "\n"
           "WARNING: Analytical derivatives will fail if Bayesian prior probabilities contribute to the likelihood "
           "function.\n"
           "\n"
           "DO NOT USE ANALYTICAL DERIVATIVES IN CONJUNCTION WITH BAYESIAN PRIOR DISTRIBUTIONS!\n"
           "            THE PRIOR DISTRIBUTION FOR ALL PARAMETERS MUST BE UNIFORM-UNBOUNDED!\n"
           "\n"
           "Choose 'Yes' if you have provided ANALYTICAL derivatives; else 'No' to calculate NUMERICAL derivatives";
}

std::string showDerivativesQuestion()
{
    return "Do you want to see the partial derivatives of the likelihood function wrt the parameters at each "
           "iteration?\n"
           "\n"
           "If 'Yes', they will be displayed; then later choose 'Next iteration' to see the derivatives after the "
           "next iteration,\n"
           "           or 'Continue' to skip over the derivatives output.\n"
           "If 'No', then partial derivatives will not be displayed.\n"
           "\n"
           "Note: This is recommended and practical only for models with fewer than about a dozen parameters!\n"
           "           It is intended for use mainly during model building to verify the analytical derivative "
           "formulations.";
}

std::string giveUpText()
{
    return "Consider that:\n"
           "      (1) you're already at an acceptable minimum,\n"
           "      (2) at least one parameter is too near a boundary,\n"
           "      (3) at least one parameter is dead wrt the likelihood function,\n"
           "      (4) a penalty function is affecting performance of the derivatives or parameter improvements,\n"
           "      (5) there are numerical inaccuracies near the current minimum, or\n"
           "      (6) the model, or its implementation, is flawed";
}

std::string marquardtNonFiniteStartText(const AlgorithmData& data, const std::vector<double>& vector,
                                        const std::string& failure)
{
    return "The objective function has no finite value at the starting point (" + failure +
           "), so Marquardt cannot start.\n\nParameter values:\n\n" + parameterValueLines(data, vector);
}

void chooseMarquardtOptions(Application& app)
{
    MinimizationState& state = app.minimization;
    UserInterface& ui = app.ui();
    state.derivativeMode = DerivativeMode::None;
    const Answer mode = ui.showMessage(derivativeModeQuestion(), messageTitle, Buttons::YesNoCancel, Icon::Question);
    if (mode == Answer::Cancel)
        return;
    if (mode == Answer::Yes) {
        state.derivativeMode = DerivativeMode::Analytical;
        ui.showMessage("You have chosen ANALYTICAL derivatives - it's like choosing Coke", messageTitle, Buttons::OK,
                       Icon::None);
    } else {
        state.derivativeMode = DerivativeMode::Numerical;
        ui.showMessage("You have chosen NUMERICAL derivatives - it's like choosing Pepsi", messageTitle, Buttons::OK,
                       Icon::None);
    }
    state.showDerivatives =
        ui.showMessage(showDerivativesQuestion(), messageTitle, Buttons::YesNo, Icon::Question) == Answer::Yes;
}

MarquardtEnd runMarquardt(Application& app)
{
    MarquardtRun run(app);
    if (startRun(run)) {
        readyForTrials(run);
        while (trial(run)) {
        }
        if (run.end == MarquardtEnd::Verified)
            reportVerifiedMinimum(run);
    }
    if (run.end == MarquardtEnd::ProgramEnded)
        return MarquardtEnd::ProgramEnded;
    clearPanels(app, 1, lastTransientPanel);
    app.ui().processPendingEvents();
    return run.end.value_or(MarquardtEnd::Stopped);
}

void cmdMarquardt_Click(Application& app)
{
    app.minimization.marquardtRunning = true;
    setToolCommandsEnabled(app, false);
    app.startToolCommand(ToolStart::CloseAll);
    chooseMarquardtOptions(app);
    if (app.minimization.derivativeMode == DerivativeMode::None) {
        app.showMainMenu();
        app.endToolCommand();
        app.minimization.marquardtRunning = false;
        return;
    }
    buildFuseGroups(app.algorithm);
    buildFreeIndex(app.algorithm);
    if (app.algorithm.freeCount == 0) {
        app.showMainMenu();
        restoreAfterRun(app);
        app.ui().showMessage("All step sizes are zero", "There is nothing to do!", Buttons::OK, Icon::Exclamation);
        return;
    }
    app.session.covarianceAvailable = false;
    if (runMarquardt(app) == MarquardtEnd::ProgramEnded)
        return;
    app.session.simplexBuilt = false;
    restoreAfterRun(app);
}

void installMarquardt(Application& app)
{
    app.registerCommand(menuButton::marquardt, [&app] { cmdMarquardt_Click(app); });
}

} // namespace orvanta
