#pragma once

// The covariance report: the text that the calculations window shows once collated and that the
// .cov file holds. Model averaging reads the file back by line and column, so the layout below
// is fixed to the character:
//   - after 2 saved-name lines and 2 heading lines, one line per model parameter whose value
//     is characters 7 to 20;
//   - 15 lines further, one line per free parameter: its number in characters 1 to 3 and the
//     standard errors of grids 1, 2 and 3 in the 14 characters from columns 25, 43 and 61.
// -1 marks a number that was not calculated (an interrupted grid, a Hessian that was not
// positive-definite), written in its column's pattern.

#include <functional>
#include <optional>
#include <string>

namespace orvanta {

struct AlgorithmData;
struct CovarianceRun;

// Shown instead of a probability below 0.0001.
inline constexpr const char* belowSmallestProbability = "<0.0001";

// The two-sided probability of a Student t value at least z in magnitude with 999 degrees of
// freedom, i.e. 2 (1 - P(T < z)) for z >= 0, rounded to four decimals as reported:
//   P(T < z) = C * integral from -20 to z of (1 + x^2 / 999)^-500 dx,
//   C = exp(lnGamma(500) - lnGamma(499.5) - ln sqrt(999 pi)),
// the integral by composite Simpson's rule with 4000 panels of width (z + 20) / 4000 (each
// panel evaluated at its own three points). P is rounded to 4 decimals before 1 - P is taken,
// so results are multiples of 0.0002 (z = 0 gives 1, z = 1.96 gives 0.05).
// Empty when the result is below 0.0001 (z >= 20 or a rounded tail of 0): the report writes
// belowSmallestProbability. z comes in single precision, as the report has always computed it.
std::optional<double> twoSidedPValue(float z);

// The probability in the report's pattern "#0.0000", or "<0.0001" when it is empty.
std::string probabilityText(std::optional<double> probability);

// The report from its line 3 on (the window's text before any save), line ends "\n" (the .cov
// file gets CR LF when saved). run holds the calculator's results; algorithm supplies the link
// codes and descriptions; covScale = 1 / the covariance constant. afterRow, when given, runs
// after every table row, so that a caller can let the user interface breathe.
std::string covarianceReportText(const CovarianceRun& run, const AlgorithmData& algorithm, double covScale,
                                 const std::function<void()>& afterRow = {});

// The coefficient of variation of a grid's objective values, |sd / mean|. -1, like any number
// the report could not calculate, when the mean is exactly 0 or the ratio is not finite: the
// ratio then has no meaning, and 0 would read as a perfectly flat grid. (An interrupted grid
// shows -1 for its mean, standard deviation and coefficient of variation alike.)
double gridCoefficientOfVariation(double average, double stdDev);

} // namespace orvanta
