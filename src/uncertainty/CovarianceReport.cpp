#include "uncertainty/CovarianceReport.h"

#include "algorithm/AlgorithmData.h"
#include "model/NumericalRoutines.h"
#include "text/NumberText.h"
#include "uncertainty/CovarianceResults.h"

#include <cmath>
#include <cstddef>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

namespace orvanta {

namespace {

constexpr const char* scientific = "0.0000000E+00";
constexpr const char* fixedPoint = "#####0.0000000";
constexpr const char* probabilityPattern = "#0.0000";
constexpr double notCalculated = -1.0;

// ---- p-value -------------------------------------------------------------------------------

constexpr double tailLimit = 20.0; // the integral starts here; from here on the tail is shown as "<0.0001"
constexpr int simpsonPanels = 4000;
constexpr double degreesOfFreedom = 999.0;
constexpr double kernelPower = -500.0; // -(degrees of freedom + 1) / 2

double tKernel(double x)
{
    return std::pow(1.0 + x * x / degreesOfFreedom, kernelPower);
}

double tNormalizingConstant()
{
    return std::exp(lnGamma(500.0) - lnGamma(499.5) -
                    std::log(std::sqrt(degreesOfFreedom * std::numbers::pi)));
}

// P(T < z) by Simpson's rule from -20.
double lowerTailProbability(double z)
{
    const double h = (z + tailLimit) / simpsonPanels;
    double sum = 0.0;
    for (int i = 1; i <= simpsonPanels; ++i) {
        const double x = -tailLimit + i * h;
        sum += (tKernel(x - h) + 4.0 * tKernel(x - h / 2.0) + tKernel(x)) * h / 6.0;
    }
    return sum * tNormalizingConstant();
}

// A ratio handed on in single precision; magnitudes beyond its range become infinite instead of
// an out-of-range conversion.
float singlePrecision(double value)
{
    if (std::fabs(value) > std::numeric_limits<float>::max())
        return value > 0 ? std::numeric_limits<float>::infinity() : -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

// ---- report lines --------------------------------------------------------------------------

std::string sci(double value, int width)
{
    return padToWidth(formatNumber(value, scientific), width);
}

std::string fixed(double value, int width)
{
    return padToWidth(formatNumber(value, fixedPoint), width);
}

std::string parameterNumber(int parameter, int width)
{
    return padToWidth(numberText(parameter), width);
}

// items[index], or fallback where the run holds no such element.
template <typename T> T at(const std::vector<T>& items, int index, const T& fallback)
{
    return index >= 0 && static_cast<std::size_t>(index) < items.size()
               ? items[static_cast<std::size_t>(index)]
               : fallback;
}

double at(const std::vector<double>& items, int index)
{
    return at(items, index, notCalculated);
}

bool analytical(const CovarianceRun& run)
{
    return run.derivativeMode == CovarianceMode::Analytical;
}

// The calculator marks a grid the user interrupted by -1 in both of its summary numbers.
bool interrupted(const CovarianceRun& run, int g)
{
    return run.gridAverage[g] == notCalculated && run.gridStdDev[g] == notCalculated;
}

double standardError(const CovarianceRun& run, int g, int a)
{
    return at(run.grids[g].standardError, a);
}

double covariance(const CovarianceRun& run, int g, int a, int b)
{
    static const std::vector<double> none;
    return at(at(run.grids[g].covariance, a, none), b);
}

// P0 (reference 0) or P1 (reference 1) of free position a on grid g.
std::string probabilityField(const CovarianceRun& run, int g, int a, double reference, int width)
{
    const double se = standardError(run, g, a);
    if (se == notCalculated)
        return padToWidth(formatNumber(notCalculated, probabilityPattern), width);
    const double value = at(run.centreValues, at(run.covParamOf, a, 0));
    return padToWidth(probabilityText(twoSidedPValue(singlePrecision(std::fabs((value - reference) / se)))),
                      width);
}

double correlation(const CovarianceRun& run, int g, int a, int b)
{
    const double product = standardError(run, g, a) * standardError(run, g, b);
    return product != 0.0 ? covariance(run, g, a, b) / product : notCalculated;
}

double correlationDeterminant(const GridResults& grid)
{
    if (grid.varianceProduct == 0.0 || grid.varianceProduct == notCalculated)
        return notCalculated;
    return grid.determinant / grid.varianceProduct;
}

// Builds the report line by line.
class ReportBuilder {
public:
    ReportBuilder(const CovarianceRun& run, const AlgorithmData& algorithm, double covScale,
                  const std::function<void()>& afterRow)
        : run_(run), algorithm_(algorithm), covScale_(covScale), afterRow_(afterRow), n_(run.freeCount())
    {
    }

    std::string build()
    {
        parameterTable();
        likelihoodSummary();
        standardErrors();
        probabilities();
        if (run_.optimisticSEs) {
            line();
            line("Note: The above SE estimates are optimistic (under-estimated) conditional estimates");
        } else {
            correlationsAndCovariances();
        }
        determinants();
        return text_;
    }

private:
    void line(const std::string& content = {}) { text_ += content + "\n"; }

    void row(const std::string& content)
    {
        line(content);
        if (afterRow_)
            afterRow_();
    }

    int paramOf(int a) const { return at(run_.covParamOf, a, 0); }

    void parameterTable()
    {
        line(analytical(run_) ? "Parameter values, step sizes, link codes, and definitions for analytically "
                                "calculated covariances:"
                              : "Parameter values, step sizes, link codes, and definitions for numerically "
                                "calculated covariances:");
        line();
        const int paramCount = static_cast<int>(run_.centreValues.size()) - 1;
        for (int p = 1; p <= paramCount; ++p)
            row(formatNumber(p, " 000) ") + sci(at(run_.centreValues, p), 14) +
                sci(at(run_.centreSteps, p), 16) + " " +
                padToWidth(at(algorithm_.fuseCodes, p, unfusedCode), 3) + "  " +
                at(algorithm_.paramDescriptions, p, std::string()));
        line();
    }

    void likelihoodSummary()
    {
        static const std::string analyticalNote = "Analytical covariance results are redundant for all "
                                                  "grids; likelihood function value summary is meaningless";
        static const std::string numericalNote = "Reliable numerical covariance results should be similar "
                                                 "among three grids with quite different grid factors";
        line(analytical(run_) ? analyticalNote : numericalNote);
        line();
        line("Covariance constant: " + numberText(1.0 / covScale_));
        line();
        line("                               Grid #1           Grid #2           Grid #3");
        line();
        const std::string factors = "Factors:              1) " + sci(run_.gridFactors[1], 13) + "  2) " +
                                    sci(run_.gridFactors[2], 13) + "  3) " + sci(run_.gridFactors[3], 13);
        line(factors);
        line();
        line("Likelihood function value summary:");
        std::string mean = "   Mean:            ";
        std::string stdDev = "   Std Dev:         ";
        std::string variation = "   Coef of Var:     ";
        for (int g = 1; g <= gridCount; ++g) {
            mean += sci(gridMean(g), 18);
            stdDev += sci(gridStdDev(g), 18);
            variation += fixed(gridVariation(g), 18);
        }
        line(mean);
        line(stdDev);
        line(variation);
        line();
    }

    double gridMean(int g) const
    {
        if (analytical(run_))
            return run_.centreObjective / covScale_;
        return interrupted(run_, g) ? notCalculated : run_.gridAverage[g] / covScale_;
    }

    double gridStdDev(int g) const
    {
        if (analytical(run_) || interrupted(run_, g))
            return notCalculated;
        return run_.gridStdDev[g] / covScale_;
    }

    double gridVariation(int g) const
    {
        if (analytical(run_) || interrupted(run_, g))
            return notCalculated;
        return gridCoefficientOfVariation(run_.gridAverage[g], run_.gridStdDev[g]);
    }

    void standardErrors()
    {
        line("Par#                               Standard errors of the estimates");
        const int widths[gridCount + 1] = {0, 35, 18, 18};
        for (int a = 1; a <= n_; ++a) {
            std::string content = parameterNumber(paramOf(a), 3);
            for (int g = 1; g <= gridCount; ++g)
                content += sci(standardError(run_, g, a), widths[g]);
            row(content);
        }
        line();
    }

    void probabilities()
    {
        line("Par#               Probabilities that the estimates do not differ from 0, then 1");
        for (int a = 1; a <= n_; ++a) {
            std::string content = parameterNumber(paramOf(a), 3) + std::string(17, ' ');
            for (int g = 1; g <= gridCount; ++g)
                content += probabilityField(run_, g, a, 0.0, 10) + probabilityField(run_, g, a, 1.0, 8);
            row(content);
        }
    }

    // One line per pair a < b (a <= b with the diagonal), each grid's value written by field.
    template <typename Field> void pairTable(const char* heading, bool withDiagonal, Field field)
    {
        line(heading);
        const int widths[gridCount + 1] = {0, 30, 18, 18};
        for (int a = 1; a <= n_; ++a)
            for (int b = withDiagonal ? a : a + 1; b <= n_; ++b) {
                std::string content = parameterNumber(paramOf(a), 3) + parameterNumber(paramOf(b), 5);
                for (int g = 1; g <= gridCount; ++g)
                    content += field(g, a, b, widths[g]);
                row(content);
            }
    }

    void correlationsAndCovariances()
    {
        line();
        pairTable(
            "Par#,Par#                                   Correlations", false,
            [this](int g, int a, int b, int width) { return fixed(correlation(run_, g, a, b), width); });
        line();
        pairTable("Par#,Par#                                   Covariances", true,
                  [this](int g, int a, int b, int width) { return sci(covariance(run_, g, a, b), width); });
    }

    void determinants()
    {
        line();
        line("                                            Determinants");
        std::string covarianceLine = "Covariance Matrix:  ";
        std::string correlationLine = "Correlation Matrix: ";
        for (int g = 1; g <= gridCount; ++g) {
            covarianceLine += sci(run_.grids[g].determinant, 18);
            correlationLine += sci(correlationDeterminant(run_.grids[g]), 18);
        }
        line(covarianceLine);
        line(correlationLine);
    }

    const CovarianceRun& run_;
    const AlgorithmData& algorithm_;
    double covScale_;
    const std::function<void()>& afterRow_;
    int n_;
    std::string text_;
};

} // namespace

std::optional<double> twoSidedPValue(float z)
{
    if (std::isnan(z))
        return std::numeric_limits<double>::quiet_NaN(); // shown as "NaN", never as a probability
    if (z >= tailLimit)
        return std::nullopt;
    const double lower = lowerTailProbability(z);
    const double rounded = std::floor(10000.0 * lower + 0.5) / 10000.0;
    // The upper tail as the report writes it, then doubled: no rounding noise from 1 - P.
    const double result = leadingNumber(formatNumber(1.0 - rounded, "0.0000")) * 2.0;
    if (result < 0.0001)
        return std::nullopt;
    return result;
}

std::string probabilityText(std::optional<double> probability)
{
    return probability ? formatNumber(*probability, probabilityPattern) : belowSmallestProbability;
}

double gridCoefficientOfVariation(double average, double stdDev)
{
    if (average == 0.0)
        return notCalculated;
    const double variation = std::fabs(stdDev / average);
    return std::isfinite(variation) ? variation : notCalculated;
}

std::string covarianceReportText(const CovarianceRun& run, const AlgorithmData& algorithm, double covScale,
                                 const std::function<void()>& afterRow)
{
    return ReportBuilder(run, algorithm, covScale, afterRow).build();
}

} // namespace orvanta
