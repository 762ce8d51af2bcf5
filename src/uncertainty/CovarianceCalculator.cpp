#include "uncertainty/CovarianceCalculator.h"

#include "algorithm/AlgorithmData.h"
#include "algorithm/AlgorithmEditor.h"
#include "app/Application.h"
#include "app/MainMenu.h"
#include "minimize/MarquardtDerivatives.h"
#include "minimize/ObjectiveEvaluation.h"
#include "minimize/ProgressText.h"
#include "model/ModelRoutine.h"
#include "text/NumberText.h"
#include "ui/Clock.h"
#include "ui/UserInterface.h"
#include "uncertainty/CovarianceCalculationsWindow.h"
#include "uncertainty/CovarianceDisplayWindow.h"
#include "uncertainty/MatrixRoutines.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace orvanta {

namespace {

constexpr const char* resultPattern = "0.0000000E+00";
constexpr const char* factorPattern = "0.000E+00";
constexpr const char* interruptTitle = "Covariance calculations";
constexpr const char* optimisticTitle = "Calculate optimistic SEs only?";

std::size_t at(int index)
{
    return static_cast<std::size_t>(index);
}

// ---- Texts ------------------------------------------------------------------------------------

std::string derivativeQuestion()
{
    return "Do you want to calculate covariances analytically or numerically?"
           "  Numerical covariances are provided automatically, whereas for analytical covariances you "
           "must have provided analytical"
           " derivatives in your model code (i.e., in that section of Sub MODEL() accessed when NF=-2)."
           "\n\n"
           "WARNING: Analytical covariances will fail if Bayesian prior probabilities contribute to the "
           "likelihood function."
           "\n\n"
           "DO NOT USE ANALYTICAL COVARIANCES IN CONJUNCTION WITH BAYESIAN PRIOR DISTRIBUTIONS!"
           "\n"
           "               THE PRIOR DISTRIBUTION FOR ALL PARAMETERS MUST BE UNIFORM-UNBOUNDED!"
           "\n\n"
           "Choose 'Yes' if you have provided ANALYTICAL derivatives; else 'No' to calculate covariances "
           "NUMERICALLY";
}

std::string numericalExplanation()
{
    return "A covariance matrix is calculated by inverting the numerically calculated"
           " Hessian matrix of second partial derivatives of the likelihood function."
           "  Three grids are used to calculate the derivatives.  Each grid is formed"
           " using the current parameter values and (non-zero) step sizes. Three scale"
           " factors are required. The initial steps will be multiplied by these scale"
           " factors to adjust the size of the grid."
           "\n\n"
           "When interpreting the three grid results under the multinormal assumption,"
           " the standard deviations of the -ln[likelihood] should span a range from"
           " near zero for the smallest step to about 5 for the largest step."
           "  This should reassure the user that the multinormal assumption holds over"
           " the entire posterior distributions of the parameters if the model is parsimonious,"
           " 'close-to linear', and there are no extraordinarily high correlations."
           "\n\n"
           "You can now edit the parameter values and step sizes (if so desired);"
           " realizing that for meaningful results you might have to carefully choose step sizes."
           "\n";
}

std::string optimisticQuestion()
{
    return "Choose the quicker option to calculate under-estimated conditional SEs?\n"
           "Each SE estimate assumes the SE of all other parameters to be zero (0).\n"
           "(This is not recommended for final analyses, but can be a time-efficient way \n"
           "to rapidly assess relative parameter uncertainty in preliminary analyses).";
}

// " 1) f1     2) f2     3) f3" after the label that precedes it.
std::string factorList(const std::array<double, 4>& factors)
{
    return " 1) " + formatNumber(factors[1], factorPattern) + "     2) " +
           formatNumber(factors[2], factorPattern) + "     3) " + formatNumber(factors[3], factorPattern);
}

std::string factorPrompt(int grid, const std::array<double, 4>& factors)
{
    return "Default grid factor for Grid " + numberText(grid) + " :\n\n Currently:  " + factorList(factors) +
           "\n\nValue must be positive for all factors";
}

std::string notPositiveDefiniteText(int parameter)
{
    return "Sorry, this Hessian matrix is not positive-definite; a valid covariance matrix cannot be "
           "created.\n"
           "\n"
           "Possible reasons: (1) you're not at a tight enough global minimum, or you're at a local minimum\n"
           "                  (2) your model contains statistically dead parameters, i.e., the -ln[L] versus "
           "a "
           "parameter is flat\n"
           "                  (3) there is at least one parameter pair that is very highly correlated (e.g., "
           "ABS(rho) > 0.99)\n"
           "                  (4) the likelihood profile is dramatically asymmetrical, perhaps due to a "
           "penalty "
           "function\n"
           "It might help you to know that the test for positive-definitiveness failed at parameter # " +
           numberText(parameter) + "\n\n";
}

// ---- Small helpers ----------------------------------------------------------------------------

void setPanel(Application& app, int panel, std::string text)
{
    app.mainWindow.setPanel(statusBar::messages, panel, std::move(text));
}

void clearPanel(Application& app, int panel)
{
    app.mainWindow.clearPanel(statusBar::messages, panel);
}

// Writes to the running account, opening the calculations window on its first line.
void account(Application& app, const std::string& text)
{
    openCovarianceCalculationsWindow(app).append(text);
}

// A typed factor or constant: the number when the whole text reads as a finite one, else 0.
double typedNumber(const std::string& text)
{
    if (!looksNumeric(text))
        return 0.0;
    const Converted<double> number = textToDouble(text);
    return number.ok() && std::isfinite(number.value()) ? number.value() : 0.0;
}

bool usableFactor(double factor)
{
    return std::isfinite(factor) && factor > 0.0;
}

// A constant above 0 whose reciprocal is a number too.
bool usableConstant(double constant)
{
    return std::isfinite(constant) && constant > 0.0 && std::isfinite(1.0 / constant);
}

long long callsPerGrid(int n)
{
    return static_cast<long long>(n) * (n + 1);
}

// ---- The free positions and the centre --------------------------------------------------------

// Every grid's results -1 for n free positions, and no grid summary.
void clearGridResults(CovarianceRun& run, int n)
{
    for (int g = 1; g <= gridCount; ++g) {
        run.grids[at(g)].reset(n);
        run.gridAverage[at(g)] = -1.0;
        run.gridStdDev[at(g)] = -1.0;
    }
}

void copyCentre(CovarianceRun& run, const AlgorithmData& data)
{
    const auto size = at(std::max<int>(data.paramCount, 0)) + 1;
    run.centreValues = data.paramValues;
    run.centreSteps = data.paramSteps;
    run.centreValues.resize(size, 0.0);
    run.centreSteps.resize(size, 0.0);
}

// A parameter is free here when its step is not 0; positions follow parameter order.
void buildFreePositions(CovarianceRun& run)
{
    const int paramCount = static_cast<int>(run.centreSteps.size()) - 1;
    run.covParamOf.assign(1, 0);
    run.covPositionOf.assign(at(paramCount) + 1, 0);
    for (int p = 1; p <= paramCount; ++p) {
        if (run.centreSteps[at(p)] == 0.0)
            continue;
        run.covParamOf.push_back(p);
        run.covPositionOf[at(p)] = run.freeCount();
    }
}

void refuseNoFreeParameter(Application& app)
{
    app.ui().showMessage("All step sizes are zero", "There is nothing to do!", Buttons::OK,
                         Icon::Exclamation);
}

void refuseNonFiniteCentre(Application& app)
{
    const std::string text = "The objective function has no finite value at the current parameter values (" +
                             objectiveFailureText(app) +
                             "), so no covariances can be calculated.\n\nParameter values:\n\n" +
                             parameterValueLines(app.algorithm, app.covariance.centreValues);
    app.ui().showMessage(text, covarianceCalculatorTitle, Buttons::OK, Icon::Exclamation);
}

// ---- One grid ---------------------------------------------------------------------------------

enum class GridOutcome { Evaluated, Interrupted, NonFinite, ProgramEnded };

// What a run works on: the Hessian (then its inverse) and the objective at every grid point.
class GridWork {
public:
    explicit GridWork(const CovarianceRun& run) : n_(run.freeCount())
    {
        matrix.setOrder(n_);
        pointValues_.assign(at(n_ + 1) * at(n_ + 1) * 2, 0.0);
        for (int p : run.covParamOf)
            parameterNumbers_.push_back(static_cast<std::int16_t>(p));
        trialValues = run.centreValues;
    }

    int n() const { return n_; }
    // V(a, b, k): the objective at the grid point of free positions a <= b, k = 1 plus, 2 minus.
    double& value(int a, int b, int k) { return pointValues_[(at(a) * at(n_ + 1) + at(b)) * 2 + at(k - 1)]; }
    MatrixCaller caller(UserInterface& ui) const
    {
        return {&ui, parameterNumbers_, DerivativeMode::Numerical};
    }

    MatrixWork matrix;
    std::vector<double> trialValues; // 1..paramCount

private:
    int n_;
    std::vector<double> pointValues_;
    std::vector<std::int16_t> parameterNumbers_;
};

// Count, sum and sum of squares of the differences from the centre objective.
struct GridSums {
    long long count = 0;
    double sum = 0.0;
    double sumOfSquares = 0.0;

    void add(double d)
    {
        ++count;
        sum += d;
        sumOfSquares += d * d;
    }
};

// Every number of the grid -1, as an interrupted or unusable grid leaves them.
void markGridNotCalculated(CovarianceRun& run, int g)
{
    run.gridAverage[at(g)] = -1.0;
    run.gridStdDev[at(g)] = -1.0;
    run.grids[at(g)].reset(run.freeCount());
}

// The objective at the point that moves free positions a and b (together) by s times their steps.
double gridPointValue(Application& app, GridWork& work, int a, int b, double s)
{
    const CovarianceRun& run = app.covariance;
    const auto p = at(run.covParamOf[at(a)]);
    const auto q = at(run.covParamOf[at(b)]);
    std::vector<double>& trial = work.trialValues;
    trial = run.centreValues;
    trial[p] += s * run.centreSteps[p];
    if (q != p)
        trial[q] += s * run.centreSteps[q];
    if (run.optimisticSEs && p != q)
        return run.centreObjective; // conditional SEs need no cross terms
    return evaluateObjective(app, trial, callCode::firstEvaluation);
}

// The user's answer to a pending interrupt: true when the grid is to be abandoned.
bool quitGridAnswered(Application& app)
{
    app.covariance.interruptRequested = false;
    if (CovarianceCalculationsWindow* window = findCovarianceCalculationsWindow(app))
        window->setStopEnabled(true);
    return app.ui().showMessage("Interrupt received. Do you want to quit calculating this grid?",
                                interruptTitle, Buttons::YesNo, Icon::Question) == Answer::Yes;
}

void reportNonFinitePoint(Application& app, int g, const std::vector<double>& trial)
{
    account(app, "The objective function has no finite value at a point of grid #" + numberText(g) + " (" +
                     objectiveFailureText(app) +
                     "), so this grid gives no results. Parameter values there:\n\n" +
                     parameterValueLines(app.algorithm, trial) + "\n");
}

void showRemainingTime(Application& app, int g, long long m, int n, double elapsed)
{
    const long long remainingCalls = (gridCount - g + 1) * callsPerGrid(n) - m;
    setPanel(app, 2,
             "Estimated time remaining for all three grids (m:s): " +
                 remainingTimeText(elapsed, static_cast<double>(m), static_cast<double>(remainingCalls)));
}

void summarizeGrid(Application& app, int g, const GridSums& sums)
{
    CovarianceRun& run = app.covariance;
    const double mean = sums.sum / static_cast<double>(sums.count);
    const double variance = sums.sumOfSquares / static_cast<double>(sums.count) - mean * mean;
    run.gridAverage[at(g)] = mean + run.centreObjective;
    // The signed square root; a variance of exactly 0 (all points equal) gives 0.
    run.gridStdDev[at(g)] = variance == 0.0 ? 0.0 : std::copysign(std::sqrt(std::fabs(variance)), variance);
    const double covScale = app.session.covScale;
    account(app,
            "Average: " + formatNumber(run.gridAverage[at(g)] / covScale, resultPattern) +
                "; Standard deviation: " + formatNumber(run.gridStdDev[at(g)] / covScale, resultPattern) +
                "\nNow calculating Hessian matrix #" + numberText(g) + "\n");
}

GridOutcome evaluateGrid(Application& app, GridWork& work, int g)
{
    CovarianceRun& run = app.covariance;
    const int n = work.n();
    const double h = run.gridFactors[at(g)];
    const int callsPerGridCount = static_cast<int>(callsPerGrid(n));
    account(app, "\nNow calculating -ln[likelihood] on grid #" + numberText(g) + "\n");
    const double start = app.clock().seconds();
    GridSums sums;
    long long m = 0;
    for (int a = 1; a <= n; ++a) {
        for (int b = a; b <= n; ++b) {
            for (int k = 1; k <= 2; ++k) {
                ++m;
                setPanel(app, 1, hessianCallText(static_cast<int>(m), callsPerGridCount));
                if (!app.yieldToInterface())
                    return GridOutcome::ProgramEnded;
                const double value = gridPointValue(app, work, a, b, k == 1 ? h : -h);
                if (app.ended())
                    return GridOutcome::ProgramEnded;
                if (run.interruptRequested && quitGridAnswered(app)) {
                    markGridNotCalculated(run, g);
                    return GridOutcome::Interrupted;
                }
                if (!isFiniteObjective(value)) {
                    reportNonFinitePoint(app, g, work.trialValues);
                    markGridNotCalculated(run, g);
                    return GridOutcome::NonFinite;
                }
                sums.add(value - run.centreObjective);
                work.value(a, b, k) = value;
                showRemainingTime(app, g, m, n, app.clock().seconds() - start);
                if (!app.yieldToInterface())
                    return GridOutcome::ProgramEnded;
            }
        }
    }
    summarizeGrid(app, g, sums);
    return GridOutcome::Evaluated;
}

void buildNumericalHessian(const CovarianceRun& run, GridWork& work, int g)
{
    WorkMatrix& H = work.matrix.workMatrix;
    const int n = work.n();
    H.setOrder(n);
    const double F0 = run.centreObjective;
    const double h = run.gridFactors[at(g)];
    auto step = [&run](int a) { return run.centreSteps[at(run.covParamOf[at(a)])]; };
    for (int a = 1; a <= n; ++a) {
        const double hs = h * step(a);
        H(a, a) = (work.value(a, a, 1) + work.value(a, a, 2) - 2.0 * F0) / (hs * hs);
    }
    if (run.optimisticSEs)
        return;
    for (int a = 1; a <= n; ++a) {
        for (int b = a + 1; b <= n; ++b) {
            H(a, b) = (work.value(a, b, 1) + work.value(a, b, 2) - work.value(a, a, 1) - work.value(a, a, 2) -
                       work.value(b, b, 1) - work.value(b, b, 2) + 2.0 * F0) /
                      (2.0 * h * h * step(a) * step(b));
            H(b, a) = H(a, b);
        }
    }
}

bool allFinite(const WorkMatrix& matrix)
{
    for (int row = 1; row <= matrix.order(); ++row)
        for (int column = 1; column <= matrix.order(); ++column)
            if (!std::isfinite(matrix(row, column)))
                return false;
    return true;
}

void storeCovariances(CovarianceRun& run, const WorkMatrix& C, int g)
{
    GridResults& results = run.grids[at(g)];
    const int n = C.order();
    results.varianceProduct = 1.0;
    for (int a = 1; a <= n; ++a) {
        const double variance = C(a, a);
        if (variance != 0.0)
            results.standardError[at(a)] = std::copysign(std::sqrt(std::fabs(variance)), variance);
        results.varianceProduct *= variance;
        for (int b = 1; b <= n; ++b)
            results.covariance[at(a)][at(b)] = C(a, b);
    }
}

void invertHessian(Application& app, GridWork& work, int g)
{
    CovarianceRun& run = app.covariance;
    const int n = work.n();
    run.grids[at(g)].reset(n);
    const MatrixCaller caller = work.caller(app.ui());
    const CholeskyResult test = choleskyTest(work.matrix, caller);
    if (!test.positiveDefinite) {
        account(app, notPositiveDefiniteText(test.failedParameter));
        return;
    }
    account(app, "Now inverting Hessian matrix #" + numberText(g) + "\n");
    const InversionResult inversion = invertWorkMatrix(work.matrix, caller);
    if (inversion.failed())
        return; // a positive-definite matrix has no zero row; kept for safety
    WorkMatrix& C = work.matrix.workMatrix;
    const double covScale = app.session.covScale;
    for (int a = 1; a <= n; ++a)
        for (int b = 1; b <= n; ++b)
            C(a, b) *= covScale;
    if (!allFinite(C) || !std::isfinite(inversion.inverseDeterminant)) {
        account(app, "The inverse of Hessian matrix #" + numberText(g) +
                         " holds values that are not finite numbers; no covariances for this grid.\n\n");
        return;
    }
    run.grids[at(g)].determinant = std::pow(covScale, n) * inversion.inverseDeterminant;
    account(app, "Determinant of covariance matrix: " +
                     formatNumber(run.grids[at(g)].determinant, resultPattern) + "\n\n");
    storeCovariances(run, C, g);
}

// ---- The runs ---------------------------------------------------------------------------------

// The calculations window of a new run: empty, its button ready to interrupt.
void startAccount(Application& app)
{
    app.covariance.interruptRequested = false;
    if (CovarianceCalculationsWindow* window = findCovarianceCalculationsWindow(app)) {
        window->replaceText({});
        window->showInterruptCaption();
        window->setStopEnabled(true);
    }
}

void setObjectiveConstant(Application& app, double constant)
{
    setCovScale(app.session, 1.0 / constant);
}

// The centre objective, telling the user when it is not finite.
bool evaluateCentre(Application& app)
{
    CovarianceRun& run = app.covariance;
    run.centreObjective = evaluateObjective(app, run.centreValues, callCode::firstEvaluation);
    if (isFiniteObjective(run.centreObjective) || app.ended())
        return true;
    clearPanel(app, 1);
    refuseNonFiniteCentre(app);
    return false;
}

// The centre was evaluated before the constant was asked for; with priors in force its penalty
// was scaled by the covScale of an earlier run. Every grid point is evaluated under the new
// covScale, so the centre must be too, or the Hessian gains a term that grows as 1 / step^2.
bool evaluateCentreUnderNewScale(Application& app)
{
    return !app.session.priorsActive || evaluateCentre(app);
}

void setOptimistic(Application& app, bool optimistic)
{
    app.covariance.optimisticSEs = optimistic;
    app.session.optimisticCovariance = optimistic;
}

void calculateAnalyticalGrids(Application& app)
{
    CovarianceRun& run = app.covariance;
    startAccount(app);
    GridWork work(run);
    const int n = work.n();
    for (int g = 1; g <= gridCount; ++g) {
        run.gridFactors[at(g)] = 0.0;
        zeroModelDerivatives(app.modelWorkspace, app.algorithm.paramCount);
        applyFuseGroups(app.algorithm, run.centreValues, fusePinning(app.session));
        if (ModelRoutine* model = app.model())
            callModel(*model, app.algorithm, app.modelWorkspace, run.centreValues,
                      callCode::analyticalDerivatives);
        if (app.ended())
            return;
        WorkMatrix& H = work.matrix.workMatrix;
        H.setOrder(n);
        for (int a = 1; a <= n; ++a)
            for (int b = 1; b <= n; ++b)
                H(a, b) = modelCurvature(app.modelWorkspace, run.covParamOf[at(a)], run.covParamOf[at(b)]);
        invertHessian(app, work, g);
    }
}

void finishRun(Application& app)
{
    app.covariance.lastRunJustFinished = true;
    app.session.covarianceAvailable = true;
}

// ---- The dialogue -----------------------------------------------------------------------------

// The three factor prompts; false when one is answered empty.
bool askGridFactors(Application& app)
{
    std::array<double, 4>& factors = app.covariance.gridFactors;
    for (int g = 1; g <= gridCount; ++g) {
        const std::string answer =
            app.ui().askText(factorPrompt(g, factors), covarianceCalculatorTitle, numberText(factors[at(g)]));
        if (answer.empty())
            return false;
        if (const double factor = typedNumber(answer); usableFactor(factor))
            factors[at(g)] = factor;
    }
    return true;
}

bool confirmGridFactors(Application& app)
{
    return app.ui().showMessage("Are these default grid factors OK?\n\n" +
                                    factorList(app.covariance.gridFactors),
                                covarianceCalculatorTitle, Buttons::YesNo, Icon::Question) == Answer::Yes;
}

} // namespace

std::optional<double> askObjectiveConstant(Application& app)
{
    while (true) {
        clearPanel(app, 1);
        if (!app.yieldToInterface())
            return std::nullopt;
        const std::string answer = app.ui().askText(
            "Enter the constant WHICH WILL MAKE the objective function the -ln[likelihood]\n",
            objectiveConstantTitle, "");
        if (answer.empty())
            continue;
        if (const double constant = typedNumber(answer); usableConstant(constant))
            return constant;
        app.ui().showMessage(
            "Cannot accept a negative or zero constant; perhaps the degrees of freedom are zero or fewer",
            "Insufficient degrees of freedom", Buttons::OK, Icon::Exclamation);
    }
}

namespace {

bool askOptimisticSEs(Application& app)
{
    return app.ui().showMessage(optimisticQuestion(), optimisticTitle, Buttons::YesNo, Icon::Question,
                                DefaultButton::Second) == Answer::Yes;
}

// The explanation, the editor and the factors; false when the user ends the run.
bool setUpNumericalRun(Application& app)
{
    if (app.ui().showMessage(numericalExplanation(), covarianceCalculatorTitle, Buttons::OKCancel,
                             Icon::Information) == Answer::Cancel)
        return false;
    editAlgorithmDataAndWait(app, optionPanelLocks());
    app.session.editorLocks = noEditorLocks();
    if (app.ended())
        return false;
    app.covariance.gridFactors = CovarianceSettings{}.gridFactors;
    do {
        if (!askGridFactors(app))
            return false;
    } while (!confirmGridFactors(app));
    return true;
}

bool runNumericalDialogue(Application& app)
{
    if (!setUpNumericalRun(app))
        return false;
    setPanel(app, 1, "One moment please...");
    app.ui().processPendingEvents();
    if (!prepareCovarianceCentre(app))
        return false;
    const std::optional<double> constant = askObjectiveConstant(app);
    if (!constant)
        return false;
    const bool optimistic = askOptimisticSEs(app);
    return calculateNumericalGrids(app, *constant, optimistic);
}

bool runAnalyticalDialogue(Application& app)
{
    setPanel(app, 1, "One moment please while one function call is executed");
    app.ui().processPendingEvents();
    const bool prepared = prepareCovarianceCentre(app);
    clearPanel(app, 1);
    if (!prepared)
        return false;
    const std::optional<double> constant = askObjectiveConstant(app);
    if (!constant)
        return false;
    setObjectiveConstant(app, *constant);
    if (!evaluateCentreUnderNewScale(app))
        return false;
    setOptimistic(app, askOptimisticSEs(app));
    setPanel(app, 1, "Calculating covariances, one moment please...");
    app.ui().processPendingEvents();
    calculateAnalyticalGrids(app);
    clearPanel(app, 1);
    return true;
}

} // namespace

std::string minutesSecondsText(long long seconds)
{
    const long long minutes = seconds / 60;
    const long long rest = seconds - 60 * minutes;
    return numberText(minutes) + ":" + (rest < 10 ? "0" : "") + numberText(rest);
}

std::string remainingTimeText(double elapsedSeconds, double done, double remaining)
{
    // A clock that jumps must not make the estimate unprintable.
    double seconds = elapsedSeconds / done * remaining;
    seconds = std::isfinite(seconds) ? std::clamp(seconds, 0.0, 1e12) : 0.0;
    return minutesSecondsText(static_cast<long long>(std::nearbyint(seconds)));
}

bool prepareCovarianceCentre(Application& app)
{
    CovarianceRun& run = app.covariance;
    buildFuseGroups(app.algorithm);
    copyCentre(run, app.algorithm);
    buildFreePositions(run);
    clearGridResults(run, run.freeCount());
    if (run.freeCount() == 0) {
        clearPanel(app, 1);
        refuseNoFreeParameter(app);
        return false;
    }
    return evaluateCentre(app);
}

bool calculateNumericalGrids(Application& app, double objectiveConstant, bool optimisticSEs)
{
    CovarianceRun& run = app.covariance;
    setObjectiveConstant(app, objectiveConstant);
    if (!evaluateCentreUnderNewScale(app))
        return false;
    setOptimistic(app, optimisticSEs);
    startAccount(app);
    GridWork work(run);
    for (int g = 1; g <= gridCount; ++g) {
        const GridOutcome outcome = evaluateGrid(app, work, g);
        if (outcome == GridOutcome::ProgramEnded)
            return false;
        if (outcome != GridOutcome::Evaluated)
            continue;
        buildNumericalHessian(run, work, g);
        invertHessian(app, work, g);
    }
    clearPanel(app, 1);
    clearPanel(app, 2);
    return true;
}

bool runNumericalCovariance(Application& app, const CovarianceSettings& settings)
{
    CovarianceRun& run = app.covariance;
    const bool usable = usableFactor(settings.gridFactors[1]) && usableFactor(settings.gridFactors[2]) &&
                        usableFactor(settings.gridFactors[3]) && usableConstant(settings.objectiveConstant);
    if (!usable) {
        app.ui().showMessage("The grid factors and the constant must be positive numbers",
                             covarianceCalculatorTitle, Buttons::OK, Icon::Exclamation);
        return false;
    }
    run.derivativeMode = CovarianceMode::Numerical;
    run.gridFactors = settings.gridFactors;
    if (!prepareCovarianceCentre(app) ||
        !calculateNumericalGrids(app, settings.objectiveConstant, settings.optimisticSEs))
        return false;
    finishRun(app);
    return true;
}

void runCovarianceCalculator(Application& app)
{
    CovarianceRun& run = app.covariance;
    app.session.covarianceRunning = true;
    const Answer mode = app.ui().showMessage(derivativeQuestion(), covarianceCalculatorTitle,
                                             Buttons::YesNoCancel, Icon::Question);
    bool calculated = false;
    if (mode != Answer::Cancel) {
        run.derivativeMode = mode == Answer::Yes ? CovarianceMode::Analytical : CovarianceMode::Numerical;
        calculated = mode == Answer::Yes ? runAnalyticalDialogue(app) : runNumericalDialogue(app);
    }
    app.session.covarianceRunning = false;
    if (app.ended())
        return;
    if (!calculated) {
        app.showMainMenu();
        return;
    }
    finishRun(app);
    showCovarianceDisplay(app);
}

void cmdCovariance_Click(Application& app)
{
    if (MainMenuWindow* menu = app.mainMenu())
        menu->setToolCommandsEnabled(false);
    app.startToolCommand(ToolStart::CloseAll);
    if (app.session.covarianceAvailable &&
        app.ui().showMessage("View the last set of calculated covariance results?", "Covariance",
                             Buttons::YesNo, Icon::Question) == Answer::Yes) {
        app.covariance.lastRunJustFinished = false;
        showCovarianceDisplay(app);
        return;
    }
    // A run that ends early leaves nothing to view.
    app.session.covarianceAvailable = false;
    clearGridResults(app.covariance, 0);
    runCovarianceCalculator(app);
    if (!app.ended())
        app.endToolCommand();
}

void installCovarianceCommand(Application& app)
{
    app.registerCommand(menuButton::covariance, [&app] { cmdCovariance_Click(app); });
}

} // namespace orvanta
