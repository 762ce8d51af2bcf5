#include "uncertainty/MatrixRoutines.h"

#include "support/ScriptedUi.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <string>
#include <vector>

namespace orvanta {
namespace {

using testing::ScriptedUi;

using Rows = std::vector<std::vector<double>>;

// The work arrays of order rows.size() holding rows (given 0-based, stored 1-based).
MatrixWork workFor(const Rows& rows)
{
    MatrixWork work;
    const int n = static_cast<int>(rows.size());
    work.setOrder(n);
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j)
            work.workMatrix(i, j) = rows[static_cast<std::size_t>(i - 1)][static_cast<std::size_t>(j - 1)];
    return work;
}

Rows rowsOf(const WorkMatrix& matrix)
{
    Rows rows(static_cast<std::size_t>(matrix.order()));
    for (int i = 1; i <= matrix.order(); ++i)
        for (int j = 1; j <= matrix.order(); ++j)
            rows[static_cast<std::size_t>(i - 1)].push_back(matrix(i, j));
    return rows;
}

std::vector<std::uint64_t> bitsOf(const WorkMatrix& matrix)
{
    std::vector<std::uint64_t> bits;
    for (int i = 1; i <= matrix.order(); ++i)
        for (int j = 1; j <= matrix.order(); ++j)
            bits.push_back(std::bit_cast<std::uint64_t>(matrix(i, j)));
    return bits;
}

// P A rebuilt from the factors: L U with the recorded row exchanges undone in reverse order.
Rows rebuiltFromFactors(const MatrixWork& work)
{
    const int n = work.order();
    Rows product(static_cast<std::size_t>(n), std::vector<double>(static_cast<std::size_t>(n), 0.0));
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j) {
            double sum = 0.0;
            for (int k = 1; k <= std::min(i, j); ++k) {
                const double lower = k == i ? 1.0 : work.workMatrix(i, k);
                sum += lower * work.workMatrix(k, j);
            }
            product[static_cast<std::size_t>(i - 1)][static_cast<std::size_t>(j - 1)] = sum;
        }
    }
    for (int j = n; j >= 1; --j) {
        const int swapped = work.pivotIndex[static_cast<std::size_t>(j)];
        std::swap(product[static_cast<std::size_t>(j - 1)], product[static_cast<std::size_t>(swapped - 1)]);
    }
    return product;
}

void expectRowsNear(const Rows& actual, const Rows& expected, double relativeTolerance)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        for (std::size_t j = 0; j < expected[i].size(); ++j)
            EXPECT_NEAR(actual[i][j], expected[i][j], relativeTolerance * std::max(1.0, std::fabs(expected[i][j])))
                << "element (" << i + 1 << ", " << j + 1 << ")";
}

Rows hilbert(int n)
{
    Rows rows(static_cast<std::size_t>(n));
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j)
            rows[static_cast<std::size_t>(i - 1)].push_back(1.0 / (i + j - 1));
    return rows;
}

// The exact inverse of the Hilbert matrix of order 4 (integers) and its determinant 1/6048000.
const Rows hilbert4Inverse = {
    {16, -120, 240, -140},
    {-120, 1200, -2700, 1680},
    {240, -2700, 6480, -4200},
    {-140, 1680, -4200, 2800},
};
constexpr double hilbert4Determinant = 1.0 / 6048000.0;

// A hand-computed case: det = -1, inverse = adjugate / det.
const Rows handMatrix = {{2, 1, 1}, {1, 3, 2}, {1, 0, 0}};
const Rows handInverse = {{0, 0, 1}, {-2, 1, 3}, {3, -1, -5}};

// A caller that lends a user interface and nothing else.
MatrixCaller yieldingTo(ScriptedUi& ui)
{
    MatrixCaller caller;
    caller.ui = &ui;
    return caller;
}

// ---- WorkMatrix ---------------------------------------------------------------------------

TEST(WorkMatrix, CountsFromOneAndSetsEveryElementToZeroWithTheOrder)
{
    WorkMatrix matrix(3);
    matrix(1, 1) = 4.0;
    matrix(3, 2) = -1.5;
    EXPECT_EQ(matrix.order(), 3);
    EXPECT_EQ(matrix(3, 2), -1.5);
    matrix.setOrder(2);
    EXPECT_EQ(rowsOf(matrix), (Rows{{0, 0}, {0, 0}}));
    matrix.setIdentity();
    EXPECT_EQ(rowsOf(matrix), (Rows{{1, 0}, {0, 1}}));
    matrix.setOrder(-4);
    EXPECT_EQ(matrix.order(), 0);
}

TEST(WorkMatrix, AllocatesOnlyWhenTheOrderGrowsBeyondEveryEarlierOrder)
{
    WorkMatrix matrix(4);
    const double* storage = &matrix(1, 1);
    for (const int order : {2, 4, 1, 3}) {
        matrix.setOrder(order);
        EXPECT_EQ(&matrix(1, 1), storage) << "order " << order;
    }
    WorkMatrix other(3);
    other(3, 3) = 9.0;
    matrix.assign(other);
    EXPECT_EQ(&matrix(1, 1), storage);
    EXPECT_EQ(matrix(3, 3), 9.0);
    matrix.setOrder(6);
    EXPECT_EQ(matrix.order(), 6);
    EXPECT_EQ(matrix(6, 6), 0.0);
}

TEST(WorkMatrix, SwapsWholeRows)
{
    MatrixWork work = workFor({{1, 2, 3}, {4, 5, 6}, {7, 8, 9}});
    work.workMatrix.swapRows(1, 3);
    EXPECT_EQ(rowsOf(work.workMatrix), (Rows{{7, 8, 9}, {4, 5, 6}, {1, 2, 3}}));
}

// ---- luDecompose --------------------------------------------------------------------------

TEST(LuDecompose, OrderOneSucceedsForAnyNonZeroElementAndInvertsToItsReciprocal)
{
    for (const double a : {4.0, -0.5, 3.0, 1e-300, -7e250}) {
        MatrixWork work = workFor({{a}});
        const InversionResult result = invertWorkMatrix(work);
        ASSERT_FALSE(result.failed()) << a;
        EXPECT_EQ(work.workMatrix(1, 1), 1.0 / a);
        EXPECT_EQ(result.inverseDeterminant, 1.0 / a);
        EXPECT_EQ(work.inverseDeterminant, 1.0 / a);
    }
}

TEST(LuDecompose, FactorsReproduceTheRowPermutedInput)
{
    const Rows cases[] = {
        handMatrix,
        hilbert(4),
        {{0, 2, -1, 4}, {3, -1, 2, 0.5}, {1e-3, 7, 1, -2}, {5, 5, 5, 1}},
        {{1e6, 2, 3}, {4e-6, 5e-6, 1e-5}, {7, 8e3, 9}},
    };
    for (const Rows& input : cases) {
        MatrixWork work = workFor(input);
        ASSERT_FALSE(luDecompose(work).failed());
        expectRowsNear(rebuiltFromFactors(work), input, 1e-12);
    }
}

TEST(LuDecompose, WeighsPivotCandidatesByTheReciprocalOfTheirRowsLargestElement)
{
    // Unscaled, 10 beats 1; scaled, 10 / 10000 loses to 1 / 1: row 2 is the pivot.
    MatrixWork work = workFor({{10, 10000}, {1, 1}});
    ASSERT_FALSE(luDecompose(work).failed());
    EXPECT_EQ(work.pivotIndex[1], 2);
    EXPECT_EQ(work.permutationSign, -1.0);
    // The exchanged-in row takes the scale of the row it displaced; position 1 keeps its own.
    EXPECT_EQ(work.rowScale[1], 1.0 / 10000.0);
    EXPECT_EQ(work.rowScale[2], 1.0 / 10000.0);
    EXPECT_EQ(rowsOf(work.workMatrix), (Rows{{1, 1}, {10, 10000.0 - 10.0}}));
}

TEST(LuDecompose, AmongEqualMeritsTheLaterRowBecomesThePivot)
{
    struct Case {
        const char* what;
        Rows input;
        std::vector<int> pivots; // pivotIndex 1..n
        double sign;
    };
    const Case cases[] = {
        {"two rows of merit 1 in column 1", {{1, 0.5}, {1, -0.5}}, {2, 2}, -1.0},
        {"rows 2 and 3 tie above row 1", {{1, 4, 0}, {2, 1, 0}, {-2, 0, 1}}, {3, 3, 3}, 1.0},
        {"equal merits of differently scaled rows", {{3, 6, 0}, {1, 0, 2}, {0, 1, 1}}, {2, 3, 3}, 1.0},
        {"a tie in column 2 only", {{4, 1, 1}, {0, 2, 1}, {0, -2, 1}}, {1, 3, 3}, -1.0},
    };
    for (const Case& c : cases) {
        MatrixWork work = workFor(c.input);
        ASSERT_FALSE(luDecompose(work).failed()) << c.what;
        for (std::size_t j = 1; j <= c.pivots.size(); ++j)
            EXPECT_EQ(work.pivotIndex[j], c.pivots[j - 1]) << c.what << ", column " << j;
        EXPECT_EQ(work.permutationSign, c.sign) << c.what;
        expectRowsNear(rebuiltFromFactors(work), c.input, 1e-15);
    }
}

TEST(LuDecompose, AZeroRowFailsThereNamingItsParameterInTheTitle)
{
    struct Case {
        Rows input;
        int zeroRow;
        DerivativeMode mode;
        const char* text;
    };
    const char* numerical = "Look for statistically dead model parameters";
    const char* analytical = "Look for statistically dead parameters and/or suspect your analytical derivatives";
    const Case cases[] = {
        {{{0, 0}, {1, 2}}, 1, DerivativeMode::Numerical, numerical},
        {{{1, 2, 3}, {-4, 5, 6}, {0, 0, 0}}, 3, DerivativeMode::Analytical, analytical},
        {{{1, 2, 3}, {0, -0.0, 0}, {0, 0, 0}}, 2, DerivativeMode::None, numerical},
    };
    // Free positions 1, 2, 3 stand for parameters 4, 7 and 12.
    const std::vector<std::int16_t> parameterNumbers = {0, 4, 7, 12};
    for (const Case& c : cases) {
        ScriptedUi ui;
        ui.answer(Answer::OK);
        MatrixWork work = workFor(c.input);
        const std::vector<std::uint64_t> before = bitsOf(work.workMatrix);

        const DecompositionResult result = luDecompose(work, {&ui, parameterNumbers, c.mode});

        EXPECT_EQ(result.status, DecompositionStatus::ZeroRow);
        EXPECT_EQ(result.failedRow, c.zeroRow);
        const int parameter = parameterNumbers[static_cast<std::size_t>(c.zeroRow)];
        EXPECT_EQ(result.failedParameter, parameter);
        ASSERT_EQ(ui.messages().size(), 1u);
        EXPECT_EQ(ui.messages()[0].title, "Matrix decompositon failure at parameter #" + std::to_string(parameter) + "!");
        EXPECT_EQ(ui.messages()[0].text, c.text);
        EXPECT_EQ(ui.messages()[0].buttons, Buttons::OK);
        EXPECT_EQ(ui.messages()[0].icon, Icon::Exclamation);
        EXPECT_EQ(bitsOf(work.workMatrix), before); // nothing eliminated yet
        for (int i = 1; i < c.zeroRow; ++i) {
            double big = 0.0;
            for (double element : c.input[static_cast<std::size_t>(i - 1)])
                big = std::max(big, std::fabs(element));
            EXPECT_EQ(work.rowScale[static_cast<std::size_t>(i)], 1.0 / big) << "row " << i;
        }
    }
}

TEST(LuDecompose, WithoutParameterNumbersOrUserInterfaceTheRowNamesItselfAndNothingIsShown)
{
    MatrixWork work = workFor({{1, 1}, {0, 0}});
    const DecompositionResult result = luDecompose(work);
    EXPECT_TRUE(result.failed());
    EXPECT_EQ(result.failedRow, 2);
    EXPECT_EQ(result.failedParameter, 2);
}

TEST(LuDecompose, LetsInterfaceEventsRunOncePerRowAndOncePerColumn)
{
    ScriptedUi ui;
    MatrixWork work = workFor(handMatrix);
    ASSERT_FALSE(luDecompose(work, yieldingTo(ui)).failed());
    EXPECT_EQ(ui.yieldCount(), 6);

    std::vector<double> b = {0, 1, 2, 3};
    luSolveColumn(work, b, yieldingTo(ui));
    EXPECT_EQ(ui.yieldCount(), 6 + 6); // once per row in each pass
}

// ---- luSolveColumn ------------------------------------------------------------------------

TEST(LuSolveColumn, SolvesForKnownSolutions)
{
    struct Case {
        std::vector<double> solution;
    };
    const Case cases[] = {{{1, -2, 3}}, {{0, 0, 1}}, {{0, 0, 0}}, {{-0.5, 0, 0}}, {{0.1, 0.2, 0.3}}};
    for (const Case& c : cases) {
        // b = A x from the hand matrix.
        std::vector<double> b = {0, 0, 0, 0};
        for (std::size_t i = 0; i < 3; ++i)
            for (std::size_t j = 0; j < 3; ++j)
                b[i + 1] += handMatrix[i][j] * c.solution[j];
        MatrixWork work = workFor(handMatrix);
        ASSERT_FALSE(luDecompose(work).failed());
        luSolveColumn(work, b);
        for (std::size_t i = 0; i < 3; ++i)
            EXPECT_NEAR(b[i + 1], c.solution[i], 1e-14 * std::max(1.0, std::fabs(c.solution[i]))) << i + 1;
    }
}

TEST(LuSolveColumn, SolvesOneColumnOfARightHandSideMatrixAndLeavesTheOthers)
{
    MatrixWork work = workFor(hilbert(4));
    ASSERT_FALSE(luDecompose(work).failed());
    WorkMatrix rhs(4);
    for (int i = 1; i <= 4; ++i) {
        rhs(i, 1) = -1.0;
        rhs(i, 3) = 2.0;
        rhs(i, 4) = 5.0;
        // Column 2: H times the first column of the exact inverse is the first unit vector.
        rhs(i, 2) = i == 1 ? 1.0 : 0.0;
    }
    luSolveColumn(work, rhs, 2);
    for (int i = 1; i <= 4; ++i) {
        const double exact = hilbert4Inverse[static_cast<std::size_t>(i - 1)][0];
        EXPECT_NEAR(rhs(i, 2), exact, 1e-10 * std::fabs(exact)) << i;
        EXPECT_EQ(rhs(i, 1), -1.0);
        EXPECT_EQ(rhs(i, 3), 2.0);
        EXPECT_EQ(rhs(i, 4), 5.0);
    }
}

// ---- invertWorkMatrix ---------------------------------------------------------------------

TEST(InvertWorkMatrix, MatchesKnownInversesAndDeterminants)
{
    struct Case {
        const char* what;
        Rows input;
        Rows inverse;
        double inverseDeterminant;
        double tolerance; // relative
    };
    const Case cases[] = {
        {"Hilbert matrix of order 4", hilbert(4), hilbert4Inverse, 1.0 / hilbert4Determinant, 1e-10},
        {"hand-computed 3 x 3", handMatrix, handInverse, -1.0, 1e-15},
        {"diagonal", {{2, 0, 0}, {0, -4, 0}, {0, 0, 0.5}}, {{0.5, 0, 0}, {0, -0.25, 0}, {0, 0, 2}}, -0.25, 0.0},
        {"odd exchange", {{0, 1}, {1, 0}}, {{0, 1}, {1, 0}}, -1.0, 0.0},
        {"cyclic (even) exchange", {{0, 1, 0}, {0, 0, 1}, {1, 0, 0}}, {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}}, 1.0, 0.0},
    };
    for (const Case& c : cases) {
        MatrixWork work = workFor(c.input);
        const InversionResult result = invertWorkMatrix(work);
        ASSERT_FALSE(result.failed()) << c.what;
        SCOPED_TRACE(c.what);
        expectRowsNear(rowsOf(work.workMatrix), c.inverse, c.tolerance);
        EXPECT_NEAR(result.inverseDeterminant, c.inverseDeterminant, c.tolerance * std::fabs(c.inverseDeterminant));
        EXPECT_EQ(work.inverseDeterminant, result.inverseDeterminant);
    }
}

TEST(InvertWorkMatrix, ASingularMatrixWithoutZeroRowsIsInvertedThroughTheTinyPivot)
{
    ScriptedUi ui; // no answer scripted: a message would fail the test
    const Rows twoEqualRows = {{1, 2}, {1, 2}};
    MatrixWork work = workFor(twoEqualRows);

    const InversionResult result = invertWorkMatrix(work, yieldingTo(ui));

    ASSERT_FALSE(result.failed());
    EXPECT_TRUE(ui.messages().empty());
    // Equal merits: row 2 is the pivot; the second pivot eliminates to exactly 0.
    EXPECT_EQ(work.pivotIndex[1], 2);
    EXPECT_EQ(result.inverseDeterminant, -1.0 / 1.0 / tinyPivot);
    for (int i = 1; i <= 2; ++i)
        for (int j = 1; j <= 2; ++j)
            EXPECT_GE(std::fabs(work.workMatrix(i, j)), 1e19) << i << ", " << j;
}

TEST(InvertWorkMatrix, AZeroRowEndsEarlyWithTheMessageAndNoInverse)
{
    ScriptedUi ui;
    ui.answer(Answer::OK);
    const std::vector<std::int16_t> parameterNumbers = {0, 3, 9};
    MatrixWork work = workFor({{1, 2}, {0, 0}});
    work.inverseDeterminant = 42.0;

    const InversionResult result = invertWorkMatrix(work, {&ui, parameterNumbers, DerivativeMode::Numerical});

    EXPECT_TRUE(result.failed());
    EXPECT_EQ(result.decomposition.failedParameter, 9);
    EXPECT_EQ(work.inverseDeterminant, 42.0);
    EXPECT_EQ(rowsOf(work.workMatrix), (Rows{{1, 2}, {0, 0}}));
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].title, "Matrix decompositon failure at parameter #9!");
}

TEST(InvertWorkMatrix, ReusesItsStorageForSmallerOrders)
{
    MatrixWork work;
    work.setOrder(4);
    const double* storage = &work.workMatrix(1, 1);
    work.setOrder(3);
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j)
            work.workMatrix(i, j) = handMatrix[static_cast<std::size_t>(i - 1)][static_cast<std::size_t>(j - 1)];
    ASSERT_FALSE(invertWorkMatrix(work).failed());
    EXPECT_EQ(&work.workMatrix(1, 1), storage);
    expectRowsNear(rowsOf(work.workMatrix), handInverse, 1e-15);
}

// ---- choleskyTest -------------------------------------------------------------------------

TEST(CholeskyTest, APositiveDefiniteMatrixPassesAndIsLeftBitForBit)
{
    const Rows cases[] = {
        hilbert(4),
        {{4, -0.0, 2}, {-0.0, 9, -3}, {2, -3, 6}}, // negative zeros must survive too
        {{1e-300}},
    };
    for (const Rows& input : cases) {
        MatrixWork work = workFor(input);
        const std::vector<std::uint64_t> before = bitsOf(work.workMatrix);
        const CholeskyResult result = choleskyTest(work);
        EXPECT_TRUE(result.positiveDefinite);
        EXPECT_EQ(result.failedPosition, 0);
        EXPECT_EQ(bitsOf(work.workMatrix), before);
    }
}

TEST(CholeskyTest, TheDiagonalHoldsTheSquareRootsOfThePivots)
{
    // [[4, 2], [2, 5]] = G G' with G = [[2, 0], [1, 2]].
    MatrixWork work = workFor({{4, 2}, {2, 5}});
    ASSERT_TRUE(choleskyTest(work).positiveDefinite);
    EXPECT_EQ(work.choleskyDiagonal[1], 2.0);
    EXPECT_EQ(work.choleskyDiagonal[2], 2.0);
    EXPECT_EQ(work.choleskyScratch(2, 1), 1.0);
}

TEST(CholeskyTest, FailsAtTheFirstLeadingMinorThatIsNotPositiveAndNamesItsParameter)
{
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        const char* what;
        Rows input;
        int position;
    };
    const Case cases[] = {
        {"zero first element", {{0, 1}, {1, 4}}, 1},
        {"negative first element", {{-2, 0, 0}, {0, 1, 0}, {0, 0, 1}}, 1},
        {"negative second minor", {{1, 2}, {2, 1}}, 2},
        {"zero third minor", {{1, 1, 1}, {1, 2, 2}, {1, 2, 2}}, 3},
        {"not a number on the diagonal", {{1, 0}, {0, nan}}, 2},
    };
    const std::vector<std::int16_t> parameterNumbers = {0, 2, 5, 6};
    for (const Case& c : cases) {
        MatrixWork work = workFor(c.input);
        const std::vector<std::uint64_t> before = bitsOf(work.workMatrix);
        const CholeskyResult result = choleskyTest(work, {nullptr, parameterNumbers, DerivativeMode::Numerical});
        EXPECT_FALSE(result.positiveDefinite) << c.what;
        EXPECT_EQ(result.failedPosition, c.position) << c.what;
        EXPECT_EQ(result.failedParameter, parameterNumbers[static_cast<std::size_t>(c.position)]) << c.what;
        EXPECT_EQ(bitsOf(work.workMatrix), before) << c.what;
    }
}

// ---- The failure message ------------------------------------------------------------------

TEST(DecompositionFailureMessage, TitleHasTheNumberWithoutALeadingBlankAndTextFollowsTheMode)
{
    struct Case {
        int parameter;
        DerivativeMode mode;
        const char* title;
        const char* text;
    };
    const Case cases[] = {
        {1, DerivativeMode::Numerical, "Matrix decompositon failure at parameter #1!",
         "Look for statistically dead model parameters"},
        {27, DerivativeMode::Analytical, "Matrix decompositon failure at parameter #27!",
         "Look for statistically dead parameters and/or suspect your analytical derivatives"},
    };
    for (const Case& c : cases) {
        ScriptedUi ui;
        ui.answer(Answer::OK);
        showDecompositionFailure(ui, c.parameter, c.mode);
        ASSERT_EQ(ui.messages().size(), 1u);
        EXPECT_EQ(ui.messages()[0].title, c.title);
        EXPECT_EQ(ui.messages()[0].text, c.text);
        EXPECT_EQ(decompositionFailureTitle(c.parameter), c.title);
        EXPECT_EQ(decompositionFailureText(c.mode), c.text);
    }
}

} // namespace
} // namespace orvanta
