#include "uncertainty/CovarianceReport.h"

#include "CovarianceReportFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace orvanta {
namespace {

using testing::linesOf;
using testing::SmallRun;

bool contains(const std::vector<std::string>& lines, const std::string& wanted)
{
    for (const std::string& line : lines)
        if (line == wanted)
            return true;
    return false;
}

// The probabilities are those of a t distribution with 999 degrees of freedom, independently
// integrated to 1e-9 and rounded as reported: P(T < z) = 0.9986166 (z = 3), 0.9771147 (2),
// 0.9330348 (1.5), 0.8412237 (1), 0.9937106 (2.5), 0.9999660 (4), 0.5 (0).
TEST(CovarianceReport, NumericalLayoutCharacterForCharacter)
{
    const std::string expected =
        "Parameter values, step sizes, link codes, and definitions for numerically calculated covariances:\n"
        "\n"
        " 001)  3.0000000E+00   1.0000000E-01  ~~  mean of L-infinity\n"
        " 002)  8.0000000E+00   0.0000000E+00  ~~  SD of L-infinity\n"
        " 003)  1.0000000E+00   5.0000000E-02  ~~  mean of k\n"
        "\n"
        "Reliable numerical covariance results should be similar among three grids with quite different grid "
        "factors\n"
        "\n"
        "Covariance constant: 2\n"
        "\n"
        "                               Grid #1           Grid #2           Grid #3\n"
        "\n"
        "Factors:              1) 1.0000000E+00  2) 1.0000000E-01  3) 1.0000000E-02\n"
        "\n"
        "Likelihood function value summary:\n"
        "   Mean:                 2.0800000E+02     2.0080000E+02     2.0000800E+02\n"
        "   Std Dev:              1.0000000E+01     1.0000000E+00     1.0000000E-02\n"
        "   Coef of Var:              0.0480769         0.0049801         0.0000500\n"
        "\n"
        "Par#                               Standard errors of the estimates\n"
        "  1                      1.0000000E+00     2.0000000E+00    -1.0000000E+00\n"
        "  3                      2.5000000E-01     4.0000000E-01    -1.0000000E+00\n"
        "\n"
        "Par#               Probabilities that the estimates do not differ from 0, then 1\n"
        "  1                     0.0028  0.0458    0.1340  0.3176   -1.0000 -1.0000\n"
        "  3                    <0.0001  1.0000    0.0126  1.0000   -1.0000 -1.0000\n"
        "\n"
        "Par#,Par#                                   Correlations\n"
        "  1    3                     0.4000000        -0.5000000        -1.0000000\n"
        "\n"
        "Par#,Par#                                   Covariances\n"
        "  1    1                 1.0000000E+00     4.0000000E+00    -1.0000000E+00\n"
        "  1    3                 1.0000000E-01    -4.0000000E-01    -1.0000000E+00\n"
        "  3    3                 6.2500000E-02     1.6000000E-01    -1.0000000E+00\n"
        "\n"
        "                                            Determinants\n"
        "Covariance Matrix:       5.2500000E-02     4.8000000E-01    -1.0000000E+00\n"
        "Correlation Matrix:      8.4000000E-01     7.5000000E-01    -1.0000000E+00\n";
    EXPECT_EQ(SmallRun().text(), expected);
}

TEST(CovarianceReport, AnalyticalRunsShowTheCentreObjectiveAndNoGridSpread)
{
    SmallRun small;
    small.run.derivativeMode = CovarianceMode::Analytical;
    small.run.gridFactors = {0, 0, 0, 0};
    const std::vector<std::string> lines = linesOf(small.text());
    EXPECT_EQ(
        lines.at(0),
        "Parameter values, step sizes, link codes, and definitions for analytically calculated covariances:");
    EXPECT_EQ(lines.at(6),
              "Analytical covariance results are redundant for all grids; likelihood function value "
              "summary is meaningless");
    EXPECT_EQ(lines.at(12), "Factors:              1) 0.0000000E+00  2) 0.0000000E+00  3) 0.0000000E+00");
    EXPECT_EQ(lines.at(15), "   Mean:                 2.0000000E+02     2.0000000E+02     2.0000000E+02");
    EXPECT_EQ(lines.at(16), "   Std Dev:             -1.0000000E+00    -1.0000000E+00    -1.0000000E+00");
    EXPECT_EQ(lines.at(17), "   Coef of Var:             -1.0000000        -1.0000000        -1.0000000");
}

TEST(CovarianceReport, OptimisticRunsEndWithTheNoteInsteadOfTheMatrices)
{
    SmallRun small;
    small.run.optimisticSEs = true;
    small.setGrid(1, {{1.0, 0.0}, {0.0, 0.0625}});
    small.setGrid(2, {{4.0, 0.0}, {0.0, 0.16}});
    const std::vector<std::string> lines = linesOf(small.text());
    const std::vector<std::string> tail(lines.end() - 6, lines.end());
    const std::vector<std::string> expected = {
        "",
        "Note: The above SE estimates are optimistic (under-estimated) conditional estimates",
        "",
        "                                            Determinants",
        "Covariance Matrix:       6.2500000E-02     6.4000000E-01    -1.0000000E+00",
        "Correlation Matrix:      1.0000000E+00     1.0000000E+00    -1.0000000E+00"};
    EXPECT_EQ(tail, expected);
    EXPECT_EQ(lines.at(lines.size() - 7).substr(0, 3), "  3"); // the last probability line
    EXPECT_FALSE(contains(lines, "Par#,Par#                                   Correlations"));
}

TEST(CovarianceReport, OneFreeParameterHasNoCorrelationRowsAndOneCovarianceRow)
{
    SmallRun small;
    small.run.centreSteps = {0, 0.1, 0.0, 0.0};
    small.run.covParamOf = {0, 1};
    for (std::size_t g = 1; g <= 3; ++g) {
        small.run.grids[g].reset(1);
        small.run.grids[g].standardError[1] = 0.5;
        small.run.grids[g].covariance[1][1] = 0.25;
    }
    const std::vector<std::string> lines = linesOf(small.text());
    std::size_t correlations = 0;
    while (lines.at(correlations) != "Par#,Par#                                   Correlations")
        ++correlations;
    EXPECT_EQ(lines.at(correlations + 1), "");
    EXPECT_EQ(lines.at(correlations + 2), "Par#,Par#                                   Covariances");
    EXPECT_EQ(lines.at(correlations + 3),
              "  1    1                 2.5000000E-01     2.5000000E-01     2.5000000E-01");
    EXPECT_EQ(lines.at(correlations + 4), "");
}

TEST(CovarianceReport, AnInterruptedGridShowsMinusOneInEveryColumn)
{
    SmallRun small;
    small.run.gridAverage[2] = -1.0;
    small.run.gridStdDev[2] = -1.0;
    small.run.grids[2].reset(2);
    const std::vector<std::string> lines = linesOf(small.text());
    // Grid 2's field of every table line: columns 39..56 (18 characters after 20 + 18).
    const std::string sci = "    -1.0000000E+00";
    EXPECT_EQ(lines.at(15).substr(38, 18), sci);                  // mean
    EXPECT_EQ(lines.at(16).substr(38, 18), sci);                  // standard deviation
    EXPECT_EQ(lines.at(17).substr(38, 18), "        -1.0000000"); // coefficient of variation
    EXPECT_EQ(lines.at(20).substr(38, 18), sci);                  // standard errors
    EXPECT_EQ(lines.at(21).substr(38, 18), sci);
    EXPECT_EQ(lines.at(24).substr(38, 18), "   -1.0000 -1.0000"); // probabilities
    EXPECT_EQ(lines.at(25).substr(38, 18), "   -1.0000 -1.0000");
    EXPECT_EQ(lines.at(28).substr(38, 18), "        -1.0000000"); // correlation
    for (std::size_t row = 31; row <= 33; ++row)                  // covariances
        EXPECT_EQ(lines.at(row).substr(38, 18), sci);
    EXPECT_EQ(lines.at(36).substr(38, 18), sci); // both determinants
    EXPECT_EQ(lines.at(37).substr(38, 18), sci);
}

TEST(CovarianceReport, ZeroStandardErrorProductGivesCorrelationMinusOne)
{
    SmallRun small;
    small.run.grids[1].standardError[2] = 0.0;
    const std::vector<std::string> lines = linesOf(small.text());
    EXPECT_EQ(lines.at(28).substr(8, 30), "                    -1.0000000");
}

TEST(CovarianceReport, LetsTheCallerRunAfterEveryTableRow)
{
    SmallRun small;
    int rows = 0;
    (void)covarianceReportText(small.run, small.algorithm, small.covScale, [&rows] { ++rows; });
    // 3 parameter lines, 2 standard-error and 2 probability lines, 1 correlation, 3 covariances.
    EXPECT_EQ(rows, 3 + 2 + 2 + 1 + 3);
}

TEST(CovarianceCoefficientOfVariation, IsMinusOneWhereTheRatioHasNoMeaning)
{
    EXPECT_DOUBLE_EQ(gridCoefficientOfVariation(-200.0, 5.0), 0.025);
    EXPECT_EQ(gridCoefficientOfVariation(0.0, 5.0), -1.0);
    EXPECT_EQ(gridCoefficientOfVariation(0.0, 0.0), -1.0);
    EXPECT_EQ(gridCoefficientOfVariation(1e-310, 1e10), -1.0);
}

TEST(TwoSidedPValue, MatchesTheTDistributionRoundedAsReported)
{
    struct Case {
        float z;
        const char* text;
    };
    // References as in the layout test; 1.96 gives 2 (1 - 0.9749) = 0.0502.
    const Case cases[] = {{0.0F, "1.0000"},    {1.0F, "0.3176"},   {1.96F, "0.0502"},
                          {3.0F, "0.0028"},    {3.5F, "0.0004"},   {4.0F, "<0.0001"},
                          {19.99F, "<0.0001"}, {20.0F, "<0.0001"}, {1e30F, "<0.0001"}};
    for (const Case& c : cases)
        EXPECT_EQ(probabilityText(twoSidedPValue(c.z)), c.text) << "z = " << c.z;
    EXPECT_DOUBLE_EQ(*twoSidedPValue(0.0F), 1.0);
}

TEST(TwoSidedPValue, UndefinedRatiosAreShownAsSuch)
{
    EXPECT_EQ(probabilityText(twoSidedPValue(std::nanf(""))), "NaN");
    EXPECT_EQ(probabilityText(twoSidedPValue(std::numeric_limits<float>::infinity())), "<0.0001");
}

} // namespace
} // namespace orvanta
