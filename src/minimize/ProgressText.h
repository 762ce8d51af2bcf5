#pragma once

// What the minimizers show in their windows and write into the minimization log while they
// run. The text builders take every input explicitly and return the text with "\n" line ends
// (the log file gets carriage return and line feed); the operations below them put the texts
// into the windows, the status panels and the log.

#include "minimize/MinimizationState.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace orvanta {

class Application;
struct AlgorithmData;

// One free parameter as the texts list it.
struct ParameterRow {
    int number = 0;     // the parameter number (its freeIndex entry)
    double value = 0.0; // the coordinate shown
    std::string fuseCode;
    std::string description;
};

// paramValues with every row's value in the row's parameter, the fuse groups applied: the full
// parameter vector of a point shown in rows.
std::vector<double> parameterVector(AlgorithmData& data, const std::vector<ParameterRow>& rows);

// The rows of free positions 1..freeCount of data, valued by coordinates (1..freeCount).
std::vector<ParameterRow> freeParameterRows(const AlgorithmData& data,
                                            const std::vector<double>& coordinates);

// The parameter-line layout of the window texts: the number formatted "    000) ", the value
// formatted "0.0000000E+00" right-aligned in 14, a blank, the fuse code right-aligned in 3, two
// blanks, the description and a line end.
std::string parameterLine(int number, double value, const std::string& fuseCode,
                          const std::string& description);
std::string parameterLines(const std::vector<ParameterRow>& rows);
// One parameter line for every parameter 1..paramCount with its value in vector, as the
// minimizers' messages list a point.
std::string parameterValueLines(const AlgorithmData& data, const std::vector<double>& vector);

// The pairs layout of the log records: the number formatted "    000) " followed by the value
// formatted "0.0000000E+00" right-aligned in 14, four pairs to a line. A last line of one to
// three pairs is left open: the blank line that follows in every record ends it.
std::string parameterPairs(const std::vector<ParameterRow>& rows);

// The convergence measure shown beside the values: " Abs TC> " and |a - b| for a tolerance of 0
// or more, " Rel TC> " and |(a - b) / d| for a negative one, the value formatted "0.0000E+00".
std::string toleranceMeasure(double a, double b, double d, double tolerance);

// Where a running likelihood profile stands.
struct ProfilePosition {
    int point = 0; // the profile point being minimized, from 1
    int pointCount = 0;
    int pinnedParam = 0;    // the parameter being profiled
    double pinnedValue = 0; // its value at this point
};

// The status panel text of a profile point; the value part only with free parameters.
std::string profileStatusText(const ProfilePosition& position, std::int32_t freeCount,
                              const char* valuePattern);

// ---- Simplex --------------------------------------------------------------------------------

// The simplex as it starts a run.
struct InitialSimplex {
    double firstValue = 0.0; // F1, the value of vertex 1
    double worstValue = 0.0; // Fmax
    double bestValue = 0.0;  // Fmin
    std::vector<ParameterRow> firstVertex;
};

// A Simplex run after an iteration (or at its verified minimum).
struct SimplexProgress {
    RunCounters counters;
    std::int16_t improvedCount = 0;
    std::string lastAction;  // one of the six 22-character move names, or empty
    double bestValue = 0.0;  // Fb
    double worstValue = 0.0; // Fw
    double tolerance = 0.0;  // convergenceTolerance
    std::vector<ParameterRow> bestVertex;
    std::optional<ProfilePosition> profile; // set while a likelihood profile runs
};

std::string initialSimplexText(const InitialSimplex& simplex);   // rtbSimplexInitial
std::string initialSimplexRecord(const InitialSimplex& simplex); // the log
// rtbSimplex; the accepted move is named only when terminalFrequency is 1.
std::string simplexProgressText(const SimplexProgress& progress, std::int16_t terminalFrequency);
// The log; the accepted move is named only when fileFrequency is 1.
std::string simplexProgressRecord(const SimplexProgress& progress, std::int16_t fileFrequency);
// The verified minimum (bestValue) in rtbSimplex and in the log.
std::string simplexResultText(const SimplexProgress& progress);
std::string simplexResultRecord(const SimplexProgress& progress);

// ---- Marquardt ------------------------------------------------------------------------------

// The first and second derivatives as they were last computed, for the derivative listing.
struct SavedDerivatives {
    DerivativeMode mode = DerivativeMode::Numerical;
    std::vector<double> gradient;             // 1..freeCount
    std::vector<std::vector<double>> hessian; // [t][j] for 1 <= t <= j <= freeCount
};

// A Marquardt run after an accepted iteration (or at its verified minimum).
struct MarquardtProgress {
    RunCounters counters;
    double currentValue = 0.0; // F (the final value of a result)
    double lastValue = 0.0;    // Flast
    double tolerance = 0.0;    // convergenceTolerance
    std::vector<ParameterRow> accepted;
    SavedDerivatives derivatives;
    std::optional<ProfilePosition> profile; // set while a likelihood profile runs
};

// The derivative listing; afterLine runs after every second-derivative line.
std::string derivativeListing(const std::vector<ParameterRow>& rows, const SavedDerivatives& derivatives,
                              const std::function<void()>& afterLine = {});
std::string marquardtProgressText(const MarquardtProgress& progress);   // rtbMarquardt
std::string marquardtProgressRecord(const MarquardtProgress& progress); // the log
// The verified minimum in rtbMarquardt (the derivative listing not included) and in the log.
std::string marquardtResultText(const MarquardtProgress& progress);
std::string marquardtResultRecord(const MarquardtProgress& progress);

// ---- The displays ---------------------------------------------------------------------------
// They put the texts into the minimizer windows (opened again when the user has closed them),
// the transient status panels and the log. The write operations write whenever they are
// called: the minimizers call them only while fileFrequency is not 0.

void showInitialSimplex(Application& app, const InitialSimplex& simplex);
void showProgress(Application& app, const SimplexProgress& progress);
void writeProgress(Application& app, const SimplexProgress& progress);
void writeSimplexResult(Application& app, const SimplexProgress& progress);

// Pauses, when derivatives are shown, until a button of the window (or its closing) resumes.
void showMarquardtProgress(Application& app, const MarquardtProgress& progress);
void writeMarquardtProgress(Application& app, const MarquardtProgress& progress);
void showMarquardtResult(Application& app, const MarquardtProgress& progress);
void writeMarquardtResult(Application& app, const MarquardtProgress& progress);

} // namespace orvanta
