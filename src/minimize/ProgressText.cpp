#include "minimize/ProgressText.h"

#include "algorithm/AlgorithmData.h"
#include "app/Application.h"
#include "minimize/MarquardtWindow.h"
#include "minimize/SimplexWindow.h"
#include "text/NumberText.h"
#include "ui/UserInterface.h"

#include <cmath>
#include <cstddef>

namespace orvanta {

namespace {

const char* const valuePattern = "####0.#####";
const char* const paddedValuePattern = "####0.#####     ";
const char* const numberPattern = "    000) ";
const char* const coordinatePattern = "0.0000000E+00";
const char* const collatingText = "Please be patient while derivative output is collated";
constexpr int pairsPerLine = 4;
constexpr int lastTransientPanel = 4;

template <typename T> T valueAt(const std::vector<T>& array, std::size_t index)
{
    return index < array.size() ? array[index] : T{};
}

std::string value(double v)
{
    return formatNumber(v, valuePattern);
}

std::string paddedValue(double v)
{
    return formatNumber(v, paddedValuePattern);
}

std::string coordinate(double v)
{
    return padToWidth(formatNumber(v, coordinatePattern), 14);
}

std::string simplexCountsText(const RunCounters& counters)
{
    return numberText(counters.iterationCount) + " iterations, " + numberText(counters.callCount) +
           " function calls, and " + numberText(counters.restartCount) + " restarts";
}

std::string marquardtCountsText(const RunCounters& counters)
{
    return numberText(counters.iterationCount) + " iterations and " + numberText(counters.callCount) +
           " function calls";
}

std::string freeCountText(const std::vector<ParameterRow>& rows)
{
    return numberText(rows.size());
}

std::string improvedLine(const SimplexProgress& progress)
{
    return "Number of function values (parameter vectors) improved: " +
           formatNumber(progress.improvedCount, "#0") + "; Action accepted: " + progress.lastAction;
}

std::string simplexValuesLine(const SimplexProgress& p)
{
    return "Current: Min> " + paddedValue(p.bestValue) + " Max> " + paddedValue(p.worstValue) +
           toleranceMeasure(p.worstValue, p.bestValue, p.bestValue, p.tolerance);
}

std::string marquardtValuesLine(const MarquardtProgress& p)
{
    return "Current Min> " + paddedValue(p.currentValue) + " Last Min> " + paddedValue(p.lastValue) +
           toleranceMeasure(p.currentValue, p.lastValue, p.lastValue, p.tolerance);
}

std::string initialSimplexLine(const InitialSimplex& s)
{
    return "Initial Simplex: Starting function value> " + value(s.firstValue) + " Max> " +
           value(s.worstValue) + " Min> " + value(s.bestValue);
}

std::string minimumLine(double minimum, const std::vector<ParameterRow>& rows)
{
    return "Minimum of " + value(minimum) + " found at these " + freeCountText(rows) +
           " adjusted parameter values:";
}

std::string currentMinimumLine(const std::vector<ParameterRow>& rows)
{
    return "Current minimum found at these " + freeCountText(rows) + " adjusted parameter values:";
}

double hessianAt(const SavedDerivatives& derivatives, std::size_t t, std::size_t j)
{
    return t < derivatives.hessian.size() ? valueAt(derivatives.hessian[t], j) : 0.0;
}

const char* derivativeKind(DerivativeMode mode)
{
    return mode == DerivativeMode::Analytical ? "Analytical" : "Numerical";
}

void clearPanels(Application& app, std::initializer_list<int> panels)
{
    for (int panel : panels)
        app.mainWindow.clearPanel(statusBar::messages, panel);
}

void clearAllPanels(Application& app)
{
    for (int panel = 1; panel <= lastTransientPanel; ++panel)
        app.mainWindow.clearPanel(statusBar::messages, panel);
}

int freeCountOf(const std::vector<ParameterRow>& rows)
{
    return static_cast<int>(rows.size());
}

void showProfilePosition(Application& app, const std::optional<ProfilePosition>& profile, int freeCount,
                         const char* pattern)
{
    app.mainWindow.setPanel(statusBar::messages, 1,
                            profileStatusText(profile.value_or(ProfilePosition{}), freeCount, pattern));
}

std::function<void()> letEventsRun(Application& app)
{
    return [&app] { app.ui().processPendingEvents(); };
}

// Lets interface events run until a button of the Marquardt window, or its closing, resumes, or
// the program ends.
void waitForResume(Application& app)
{
    while (!app.minimization.resumeRequested && !app.ended())
        app.ui().waitForEvents();
}

// The derivative listing, built while panel 1 asks the user to be patient.
std::string collatedListing(Application& app, const MarquardtProgress& progress)
{
    app.mainWindow.setPanel(statusBar::messages, 1, collatingText);
    std::string listing = derivativeListing(progress.accepted, progress.derivatives, letEventsRun(app));
    app.mainWindow.clearPanel(statusBar::messages, 1);
    return listing;
}

// The progress with the derivative listing, then a pause until the user resumes. The window is
// looked up anew after events ran, since the user may have closed it.
void showDerivativesAndPause(Application& app, const MarquardtProgress& progress)
{
    const int freeCount = freeCountOf(progress.accepted);
    app.mainWindow.setPanel(statusBar::messages, 1, collatingText);
    app.minimization.resumeRequested = false;
    openMarquardtWindow(app, freeCount).setPauseButtonsShown(true);
    std::string text = marquardtProgressText(progress) +
                       derivativeListing(progress.accepted, progress.derivatives, letEventsRun(app));
    openMarquardtWindow(app, freeCount).setText(std::move(text));
    app.mainWindow.clearPanel(statusBar::messages, 1);
    waitForResume(app);
}

} // namespace

std::vector<ParameterRow> freeParameterRows(const AlgorithmData& data, const std::vector<double>& coordinates)
{
    std::vector<ParameterRow> rows;
    for (std::int32_t k = 1; k <= data.freeCount; ++k) {
        const int number = valueAt(data.freeIndex, static_cast<std::size_t>(k));
        const auto param = static_cast<std::size_t>(number);
        rows.push_back({number, valueAt(coordinates, static_cast<std::size_t>(k)),
                        valueAt(data.fuseCodes, param), valueAt(data.paramDescriptions, param)});
    }
    return rows;
}

std::vector<double> parameterVector(AlgorithmData& data, const std::vector<ParameterRow>& rows)
{
    std::vector<double> vector = data.paramValues;
    for (const ParameterRow& row : rows)
        if (row.number > 0 && static_cast<std::size_t>(row.number) < vector.size())
            vector[static_cast<std::size_t>(row.number)] = row.value;
    applyFuseGroups(data, vector);
    return vector;
}

std::string parameterLine(int number, double value, const std::string& fuseCode,
                          const std::string& description)
{
    return formatNumber(number, numberPattern) + coordinate(value) + " " + padToWidth(fuseCode, 3) + "  " +
           description + "\n";
}

std::string parameterLines(const std::vector<ParameterRow>& rows)
{
    std::string text;
    for (const ParameterRow& row : rows)
        text += parameterLine(row.number, row.value, row.fuseCode, row.description);
    return text;
}

std::string parameterPairs(const std::vector<ParameterRow>& rows)
{
    std::string text;
    for (std::size_t k = 1; k <= rows.size(); ++k) {
        const ParameterRow& row = rows[k - 1];
        text += formatNumber(row.number, numberPattern) + coordinate(row.value);
        if (k % pairsPerLine == 0)
            text += "\n";
    }
    return text;
}

std::string toleranceMeasure(double a, double b, double d, double tolerance)
{
    if (tolerance >= 0.0)
        return " Abs TC> " + formatNumber(std::fabs(a - b), "0.0000E+00");
    return " Rel TC> " + formatNumber(std::fabs((a - b) / d), "0.0000E+00");
}

std::string profileStatusText(const ProfilePosition& position, std::int32_t freeCount, const char* pattern)
{
    std::string text = "Calculating profile point " + formatNumber(position.point, "##0") + " of " +
                       formatNumber(position.pointCount, "##0") + ",";
    if (freeCount != 0)
        text += " Value of parameter # " + numberText(position.pinnedParam) +
                " which is being profiled is: " + formatNumber(position.pinnedValue, pattern);
    return text;
}

// ---- Simplex texts ----------------------------------------------------------------------------

std::string initialSimplexText(const InitialSimplex& simplex)
{
    return "\n" + initialSimplexLine(simplex) + "\n\n" + "Initial parameter values:\n\n" +
           parameterLines(simplex.firstVertex);
}

std::string initialSimplexRecord(const InitialSimplex& simplex)
{
    return "\n\nInitial parameter values:\n\n" + parameterPairs(simplex.firstVertex) + "\n\n" +
           initialSimplexLine(simplex) + "\n";
}

std::string simplexProgressText(const SimplexProgress& progress, std::int16_t terminalFrequency)
{
    std::string text = "\nNote: " + simplexCountsText(progress.counters) + "\n\n";
    text += simplexValuesLine(progress) + "\n\n";
    if (terminalFrequency == 1)
        text += improvedLine(progress) + "\n\n";
    text += currentMinimumLine(progress.bestVertex) + "\n\n";
    return text + parameterLines(progress.bestVertex) + "\n";
}

std::string simplexProgressRecord(const SimplexProgress& progress, std::int16_t fileFrequency)
{
    std::string text = "\nNote: " + simplexCountsText(progress.counters) + "\n";
    if (fileFrequency == 1)
        text += improvedLine(progress) + "\n";
    text += "\n" + currentMinimumLine(progress.bestVertex) + " \n\n";
    text += parameterPairs(progress.bestVertex) + "\n\n";
    return text + simplexValuesLine(progress) + "\n\n";
}

std::string simplexResultText(const SimplexProgress& progress)
{
    return "\n" + minimumLine(progress.bestValue, progress.bestVertex) + "\n\n" +
           parameterLines(progress.bestVertex) + "\nThis result required " +
           simplexCountsText(progress.counters) + "\n";
}

std::string simplexResultRecord(const SimplexProgress& progress)
{
    return "\n\n" + minimumLine(progress.bestValue, progress.bestVertex) + "\n\n" +
           parameterPairs(progress.bestVertex) + "\n\nThis result required " +
           simplexCountsText(progress.counters) + "\n\n";
}

// ---- Marquardt texts --------------------------------------------------------------------------

std::string derivativeListing(const std::vector<ParameterRow>& rows, const SavedDerivatives& derivatives,
                              const std::function<void()>& afterLine)
{
    const std::string kind = derivativeKind(derivatives.mode);
    std::string text =
        "\n1st & 2nd partial derivatives of the objective function wrt to the previous parameter "
        "estimates:\n\n";
    for (std::size_t t = 1; t <= rows.size(); ++t) {
        text += kind + " 1st derivative wrt Parameter      " + formatNumber(rows[t - 1].number, "000)") +
                padToWidth(formatNumber(valueAt(derivatives.gradient, t), "0.00000E+00"), 13) + "\n";
        for (std::size_t j = t; j <= rows.size(); ++j) {
            text += kind + " 2nd derivative wrt Parameters " + formatNumber(rows[t - 1].number, "000") + "," +
                    formatNumber(rows[j - 1].number, "000)") +
                    padToWidth(formatNumber(hessianAt(derivatives, t, j), "0.00000E+00"), 13) + "\n";
            if (afterLine)
                afterLine();
        }
    }
    return text;
}

std::string marquardtProgressText(const MarquardtProgress& progress)
{
    return "\nNote: " + marquardtCountsText(progress.counters) + "\n\n" + marquardtValuesLine(progress) +
           "\n\n" + currentMinimumLine(progress.accepted) + " \n\n" + parameterLines(progress.accepted) +
           "\n";
}

std::string marquardtProgressRecord(const MarquardtProgress& progress)
{
    return "\nNote: " + marquardtCountsText(progress.counters) + "\n\n" +
           currentMinimumLine(progress.accepted) + " \n\n" + parameterPairs(progress.accepted) + "\n\n" +
           marquardtValuesLine(progress) + "\n\n";
}

std::string marquardtResultText(const MarquardtProgress& progress)
{
    return "\n" + minimumLine(progress.currentValue, progress.accepted) + "\n\n" +
           parameterLines(progress.accepted) + "\nThis result required " +
           marquardtCountsText(progress.counters) + "\n";
}

std::string marquardtResultRecord(const MarquardtProgress& progress)
{
    return minimumLine(progress.currentValue, progress.accepted) + "\n\n" +
           parameterPairs(progress.accepted) + "\n\nafter " + marquardtCountsText(progress.counters) + "\n\n";
}

// ---- The displays -----------------------------------------------------------------------------

namespace {

// A log record. A log that cannot take it (a full disk) is closed and the user told once; the
// run goes on without it.
void writeLogRecord(Application& app, const std::string& record)
{
    if (app.minimizationLog.write(record))
        return;
    const std::string name = app.minimizationLog.path();
    app.minimizationLog.close();
    app.algorithm.options.fileFrequency = 0;
    app.ui().showMessage("The log file " + name + " could not be written (the disk may be full).\n\n" +
                             "It has been closed; the minimization goes on without it.",
                         "Log file management", Buttons::OK, Icon::Exclamation);
}

} // namespace

void showInitialSimplex(Application& app, const InitialSimplex& simplex)
{
    app.mainWindow.clearPanel(statusBar::messages, 1);
    app.ui().processPendingEvents();
    const MinimizerOptions& options = app.algorithm.options;
    if (options.fileFrequency != 0)
        writeLogRecord(app, initialSimplexRecord(simplex));
    if (options.terminalFrequency != 0)
        openSimplexWindow(app, freeCountOf(simplex.firstVertex)).setInitialText(initialSimplexText(simplex));
}

void showProgress(Application& app, const SimplexProgress& progress)
{
    const int freeCount = freeCountOf(progress.bestVertex);
    openSimplexWindow(app, freeCount)
        .setProgressText(simplexProgressText(progress, app.algorithm.options.terminalFrequency));
    if (app.session.profileRunning) {
        showProfilePosition(app, progress.profile, freeCount, "0.00000E+00");
        app.ui().processPendingEvents();
    }
}

void writeProgress(Application& app, const SimplexProgress& progress)
{
    writeLogRecord(app, simplexProgressRecord(progress, app.algorithm.options.fileFrequency));
}

void writeSimplexResult(Application& app, const SimplexProgress& progress)
{
    writeLogRecord(app, simplexResultRecord(progress));
}

void showMarquardtProgress(Application& app, const MarquardtProgress& progress)
{
    clearPanels(app, {1, 3});
    const int freeCount = freeCountOf(progress.accepted);
    const MinimizationState& state = app.minimization;
    if (state.showDerivatives && !app.session.profileRunning && !state.marquardtInterrupt) {
        showDerivativesAndPause(app, progress);
    } else {
        MarquardtWindow& window = openMarquardtWindow(app, freeCount);
        window.setPauseButtonsShown(false);
        window.setText(marquardtProgressText(progress));
    }
    if (app.session.profileRunning)
        showProfilePosition(app, progress.profile, freeCount, "0.0000E+00");
}

void writeMarquardtProgress(Application& app, const MarquardtProgress& progress)
{
    writeLogRecord(app, marquardtProgressRecord(progress));
}

void showMarquardtResult(Application& app, const MarquardtProgress& progress)
{
    clearPanels(app, {1, 3});
    MinimizationState& state = app.minimization;
    std::string text = marquardtResultText(progress);
    if (state.showDerivatives && !state.marquardtInterrupt)
        text += "\n" + collatedListing(app, progress);
    MarquardtWindow& window = openMarquardtWindow(app, freeCountOf(progress.accepted));
    window.setText(std::move(text));
    state.resumeRequested = true;
    state.showDerivatives = false;
    window.setPauseButtonsShown(false);

    app.ui().showMessage("Minimum found using Marquardt!", "Marquardt minimum", Buttons::OK,
                         Icon::Information);
    state.marquardtInterrupt = false;
    clearAllPanels(app);
    if (app.session.priorsActive && app.priorHooks.produceReview)
        app.priorHooks.produceReview(parameterVector(app.algorithm, progress.accepted));
}

void writeMarquardtResult(Application& app, const MarquardtProgress& progress)
{
    writeLogRecord(app, marquardtResultRecord(progress));
}

std::string parameterValueLines(const AlgorithmData& data, const std::vector<double>& vector)
{
    std::string text;
    for (int i = 1; i <= data.paramCount; ++i) {
        const auto p = static_cast<std::size_t>(i);
        text += parameterLine(i, p < vector.size() ? vector[p] : 0.0,
                              p < data.fuseCodes.size() ? data.fuseCodes[p] : std::string(),
                              p < data.paramDescriptions.size() ? data.paramDescriptions[p] : std::string());
    }
    return text;
}

} // namespace orvanta
