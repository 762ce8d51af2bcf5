#include "minimize/ProgressText.h"

#include "algorithm/AlgorithmData.h"

#include <gtest/gtest.h>

#include <limits>

namespace orvanta {
namespace {

// Six free parameters with values of both signs and several magnitudes.
std::vector<ParameterRow> sixRows()
{
    return {
        {1, 1.0, "~~", "L-infinity"}, {3, -0.25, "A", "K (mean)"},   {4, 12.5, "~~", "SD of L-infinity"},
        {7, 0.001, "AB", "Sigma"},    {9, 300.0, "~~", "Mortality"}, {12, -7.0, "~~", "Selectivity"},
    };
}

// The pairs of sixRows(), as the pairs layout writes them.
const std::string pair1 = "    001)  1.0000000E+00";
const std::string pair3 = "    003) -2.5000000E-01";
const std::string pair4 = "    004)  1.2500000E+01";
const std::string pair7 = "    007)  1.0000000E-03";
const std::string pair9 = "    009)  3.0000000E+02";
const std::string pair12 = "    012) -7.0000000E+00";

// The parameter lines of sixRows().
const std::string sixLines = "    001)  1.0000000E+00  ~~  L-infinity\n"
                             "    003) -2.5000000E-01   A  K (mean)\n"
                             "    004)  1.2500000E+01  ~~  SD of L-infinity\n"
                             "    007)  1.0000000E-03  AB  Sigma\n"
                             "    009)  3.0000000E+02  ~~  Mortality\n"
                             "    012) -7.0000000E+00  ~~  Selectivity\n";

SimplexProgress simplexProgress()
{
    return {.counters = {12, 40, 1},
            .improvedCount = 3,
            .lastAction = "Reflection            ",
            .bestValue = 10.5,
            .worstValue = 10.75,
            .tolerance = 1E-06,
            .bestVertex = sixRows()};
}

MarquardtProgress marquardtProgress()
{
    return {.counters = {4, 57, 0},
            .currentValue = 8.0,
            .lastValue = 10.0,
            .tolerance = 1E-06,
            .accepted = sixRows()};
}

TEST(ParameterLayouts, AParameterLineHasNumberValueCodeAndDescription)
{
    EXPECT_EQ(parameterLine(7, 88.2, "~~", "L-infinity"), "    007)  8.8200000E+01  ~~  L-infinity\n");
    EXPECT_EQ(parameterLine(12, -0.5, "A", "K"), "    012) -5.0000000E-01   A  K\n");
    EXPECT_EQ(parameterLines(sixRows()), sixLines);
}

TEST(ParameterLayouts, PairsGoFourToALineAndLeaveTheLastLineOpen)
{
    struct Case {
        std::size_t count;
        std::string expected;
    };
    const Case cases[] = {
        {0, ""},
        {1, pair1},
        {3, pair1 + pair3 + pair4},
        {4, pair1 + pair3 + pair4 + pair7 + "\n"},
        {6, pair1 + pair3 + pair4 + pair7 + "\n" + pair9 + pair12},
    };
    for (const Case& c : cases) {
        std::vector<ParameterRow> rows = sixRows();
        rows.resize(c.count);
        EXPECT_EQ(parameterPairs(rows), c.expected) << c.count << " pairs";
    }
}

TEST(ParameterLayouts, FreeRowsFollowTheFreeIndex)
{
    AlgorithmData data;
    data.paramCount = 4;
    data.paramValues = {0, 1.0, 2.0, 3.0, 4.0};
    data.paramSteps = {0, 0.5, 0.0, 0.1, 0.0};
    data.fuseCodes = {"", "~~", "~~", "B", "~~"};
    data.paramDescriptions = {"", "a", "b", "c", "d"};
    buildFreeIndex(data);
    const std::vector<ParameterRow> rows = freeParameterRows(data, {0, 1.5, 3.5});
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].number, 1);
    EXPECT_EQ(rows[0].value, 1.5);
    EXPECT_EQ(rows[0].description, "a");
    EXPECT_EQ(rows[1].number, 3);
    EXPECT_EQ(rows[1].value, 3.5);
    EXPECT_EQ(rows[1].fuseCode, "B");
}

TEST(ToleranceMeasure, AbsoluteOrRelativeByTheToleranceSign)
{
    struct Case {
        double a, b, d, tolerance;
        const char* expected;
    };
    const Case cases[] = {
        {12.5, 10.0, 10.0, 1E-06, " Abs TC> 2.5000E+00"},
        {12.5, 10.0, 10.0, 0.0, " Abs TC> 2.5000E+00"},
        {10.0, 12.5, 10.0, 0.5, " Abs TC> 2.5000E+00"},
        {12.5, 10.0, 10.0, -1E-04, " Rel TC> 2.5000E-01"},
        {-12.5, -10.0, -10.0, -1E-04, " Rel TC> 2.5000E-01"},
        {8.0, 10.0, 10.0, -1E-06, " Rel TC> 2.0000E-01"},
        {12.5, 0.0, 0.0, -1E-06, " Rel TC> Infinity"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(toleranceMeasure(c.a, c.b, c.d, c.tolerance), c.expected)
            << c.a << " " << c.b << " " << c.d << " " << c.tolerance;
}

TEST(ProfileStatus, NamesThePointAndThePinnedValueWhenParametersAreFree)
{
    const ProfilePosition position{3, 21, 5, 0.125};
    EXPECT_EQ(
        profileStatusText(position, 4, "0.00000E+00"),
        "Calculating profile point 3 of 21, Value of parameter # 5 which is being profiled is: 1.25000E-01");
    EXPECT_EQ(
        profileStatusText(position, 4, "0.0000E+00"),
        "Calculating profile point 3 of 21, Value of parameter # 5 which is being profiled is: 1.2500E-01");
    EXPECT_EQ(profileStatusText(position, 0, "0.0000E+00"), "Calculating profile point 3 of 21,");
}

TEST(SimplexTexts, InitialSimplexInTheWindowAndInTheLog)
{
    InitialSimplex simplex;
    simplex.firstValue = 1234.5;
    simplex.worstValue = 1300.0;
    simplex.bestValue = 1200.125;
    simplex.firstVertex = sixRows();
    const std::string line = "Initial Simplex: Starting function value> 1234.5 Max> 1300. Min> 1200.125";

    EXPECT_EQ(initialSimplexText(simplex), "\n" + line + "\n\nInitial parameter values:\n\n" + sixLines);
    EXPECT_EQ(initialSimplexRecord(simplex), "\n\nInitial parameter values:\n\n" + pair1 + pair3 + pair4 +
                                                 pair7 + "\n" + pair9 + pair12 + "\n\n" + line + "\n");
}

TEST(SimplexTexts, ProgressNamesTheAcceptedMoveOnlyWhenShownAfterEveryIteration)
{
    const std::string head = "\nNote: 12 iterations, 40 function calls, and 1 restarts\n\n"
                             "Current: Min> 10.5      Max> 10.75      Abs TC> 2.5000E-01\n\n";
    const std::string move = "Number of function values (parameter vectors) improved: 3; Action accepted: "
                             "Reflection            \n\n";
    const std::string tail =
        "Current minimum found at these 6 adjusted parameter values:\n\n" + sixLines + "\n";

    EXPECT_EQ(simplexProgressText(simplexProgress(), 1), head + move + tail);
    EXPECT_EQ(simplexProgressText(simplexProgress(), 2), head + tail);
    EXPECT_EQ(simplexProgressText(simplexProgress(), 10), head + tail);
}

TEST(SimplexTexts, ProgressRecordListsSixParametersAsFourPairsAndTwoPairs)
{
    const std::string note = "\nNote: 12 iterations, 40 function calls, and 1 restarts\n";
    const std::string move = "Number of function values (parameter vectors) improved: 3; Action accepted: "
                             "Reflection            \n";
    const std::string rest = "\nCurrent minimum found at these 6 adjusted parameter values: \n\n" + pair1 +
                             pair3 + pair4 + pair7 + "\n" + pair9 + pair12 + "\n\n" +
                             "Current: Min> 10.5      Max> 10.75      Abs TC> 2.5000E-01\n\n";

    EXPECT_EQ(simplexProgressRecord(simplexProgress(), 1), note + move + rest);
    EXPECT_EQ(simplexProgressRecord(simplexProgress(), 2), note + rest);
}

TEST(SimplexTexts, ProgressWithARelativeToleranceDividesByTheBestValue)
{
    SimplexProgress progress = simplexProgress();
    progress.tolerance = -1E-04;
    progress.bestValue = 10.0;
    progress.worstValue = 12.5;
    const std::string text = simplexProgressText(progress, 2);
    EXPECT_NE(text.find("\nCurrent: Min> 10.      Max> 12.5      Rel TC> 2.5000E-01\n"), std::string::npos);
}

TEST(SimplexTexts, ResultInTheWindowAndInTheLog)
{
    SimplexProgress progress = simplexProgress();
    progress.bestValue = 1200.125;
    const std::string minimum = "Minimum of 1200.125 found at these 6 adjusted parameter values:";
    const std::string required = "This result required 12 iterations, 40 function calls, and 1 restarts";
    EXPECT_EQ(simplexResultText(progress), "\n" + minimum + "\n\n" + sixLines + "\n" + required + "\n");
    EXPECT_EQ(simplexResultRecord(progress), "\n\n" + minimum + "\n\n" + pair1 + pair3 + pair4 + pair7 +
                                                 "\n" + pair9 + pair12 + "\n\n" + required + "\n\n");
}

TEST(MarquardtTexts, ProgressInTheWindowAndInTheLog)
{
    const std::string values = "Current Min> 8.      Last Min> 10.      Abs TC> 2.0000E+00";
    EXPECT_EQ(marquardtProgressText(marquardtProgress()),
              "\nNote: 4 iterations and 57 function calls\n\n" + values +
                  "\n\nCurrent minimum found at these 6 adjusted parameter values: \n\n" + sixLines + "\n");
    EXPECT_EQ(marquardtProgressRecord(marquardtProgress()),
              "\nNote: 4 iterations and 57 function calls\n\n"
              "Current minimum found at these 6 adjusted parameter values: \n\n" +
                  pair1 + pair3 + pair4 + pair7 + "\n" + pair9 + pair12 + "\n\n" + values + "\n\n");
}

TEST(MarquardtTexts, ProgressWithARelativeToleranceDividesByTheLastValue)
{
    MarquardtProgress progress = marquardtProgress();
    progress.tolerance = -1E-06;
    EXPECT_NE(marquardtProgressText(progress).find("Last Min> 10.      Rel TC> 2.0000E-01\n"),
              std::string::npos);
}

TEST(MarquardtTexts, ResultInTheWindowAndInTheLog)
{
    MarquardtProgress progress = marquardtProgress();
    progress.currentValue = 7.75;
    EXPECT_EQ(marquardtResultText(progress),
              "\nMinimum of 7.75 found at these 6 adjusted parameter values:\n\n" + sixLines +
                  "\nThis result required 4 iterations and 57 function calls\n");
    EXPECT_EQ(marquardtResultRecord(progress),
              "Minimum of 7.75 found at these 6 adjusted parameter values:\n\n" + pair1 + pair3 + pair4 +
                  pair7 + "\n" + pair9 + pair12 + "\n\nafter 4 iterations and 57 function calls\n\n");
}

TEST(MarquardtTexts, DerivativeListingHasOneFirstAndTheUpperSecondDerivativesPerParameter)
{
    const std::vector<ParameterRow> rows = {{2, 0.0, "~~", "b"}, {5, 0.0, "~~", "e"}};
    SavedDerivatives derivatives;
    derivatives.gradient = {0, 1.5, -0.25};
    derivatives.hessian = {{}, {0, 2.0, -0.5}, {0, 99.0, 4.0}}; // [2][1] is not listed
    const std::string header = "\n1st & 2nd partial derivatives of the objective function wrt to the "
                               "previous parameter estimates:\n\n";

    struct Case {
        DerivativeMode mode;
        std::string kind;
    };
    for (const Case& c :
         {Case{DerivativeMode::Numerical, "Numerical"}, Case{DerivativeMode::Analytical, "Analytical"}}) {
        derivatives.mode = c.mode;
        int linesAfter = 0;
        const std::string listing = derivativeListing(rows, derivatives, [&] { ++linesAfter; });
        EXPECT_EQ(listing, header + c.kind + " 1st derivative wrt Parameter      002)  1.50000E+00\n" +
                               c.kind + " 2nd derivative wrt Parameters 002,002)  2.00000E+00\n" + c.kind +
                               " 2nd derivative wrt Parameters 002,005) -5.00000E-01\n" + c.kind +
                               " 1st derivative wrt Parameter      005) -2.50000E-01\n" + c.kind +
                               " 2nd derivative wrt Parameters 005,005)  4.00000E+00\n");
        EXPECT_EQ(linesAfter, 3);
    }
}

TEST(MarquardtTexts, NonFiniteValuesAreWrittenAsWords)
{
    MarquardtProgress progress = marquardtProgress();
    progress.currentValue = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(marquardtResultText(progress).rfind("\nMinimum of NaN found at these 6", 0), 0u);
}

} // namespace
} // namespace orvanta
