#include "minimize/MarquardtDerivatives.h"

#include "FakeModel.h"
#include "app/Application.h"
#include "support/FakeClock.h"
#include "support/ScriptedUi.h"
#include "text/TextFile.h"
#include "uncertainty/MatrixRoutines.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace orvanta {
namespace {

using testing::FakeClock;
using testing::FakeModel;
using testing::ScriptedUi;

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double infinity = std::numeric_limits<double>::infinity();
constexpr double epsilon = std::numeric_limits<double>::epsilon();

// Five parameters: 1 (value 2), 3 (value 0) and 5 (value 250) are free; 2 is frozen at 5; 4 is
// fused to 1 and so follows it. Free positions 1, 2, 3 are parameters 1, 3, 5.
class MarquardtDerivatives : public ::testing::Test {
protected:
    MarquardtDerivatives()
    {
        AlgorithmData& data = app.algorithm;
        data.paramCount = 5;
        data.paramValues = {0, 2.0, 5.0, 0.0, 7.0, 250.0};
        data.paramSteps = {0, 0.1, 0.0, 1.0, 0.2, 1.0};
        data.fuseCodes = {"", "A", "~~", "~~", "A", "~~"};
        data.paramDescriptions = {"", "a", "b", "c", "d", "e"};
        buildFuseGroups(data);
        buildFreeIndex(data);
        app.setModel(&model);
        model.objective = quadratic;
    }

    // Quadratic in the free parameters x = (v1, v3, v5); v4 follows v1 and v2 is frozen at 5.
    static double quadratic(const std::vector<double>& v)
    {
        return 1.5 * v[1] * v[1] + 0.5 * v[1] * v[3] + 2.0 * v[3] * v[3] - 0.25 * v[3] * v[5] +
               0.01 * v[5] * v[5] + v[1] + 3.0 * v[3] - 0.5 * v[5] + v[2] * v[1] + 2.0 * v[4];
    }

    // Its exact derivatives with respect to the free parameters at v (d/dv1 includes v4 = v1).
    static std::vector<double> exactGradient(const std::vector<double>& v)
    {
        return {0, 3.0 * v[1] + 0.5 * v[3] + 1.0 + v[2] + 2.0, 0.5 * v[1] + 4.0 * v[3] + 3.0 - 0.25 * v[5],
                -0.25 * v[3] + 0.02 * v[5] - 0.5};
    }
    static constexpr double exactHessian[4][4] = {
        {0, 0, 0, 0}, {0, 3.0, 0.5, 0.0}, {0, 0.5, 4.0, -0.25}, {0, 0.0, -0.25, 0.02}};

    double centreValue() { return quadratic(app.algorithm.paramValues); }

    DerivativeOutcome numerical(double F0) { return numericalDerivatives(app, F0, matrix, work); }

    ScriptedUi ui;
    FakeClock clock;
    Application app{ui, clock, realFileSystem()};
    FakeModel model;
    WorkMatrix matrix;
    DerivativeWork work;
};

// The increments of free positions 1..3, as the rule gives them.
std::vector<double> expectedIncrements()
{
    return {0, 0.001 * 2.0, 0.001, 0.001 * 250.0};
}

// The (side, i, j) of each probe of three free positions, in the order they are made.
struct Probe {
    int side;
    int i;
    int j;
};
std::vector<Probe> probeOrder(int n)
{
    std::vector<Probe> order;
    for (int i = 1; i <= n; ++i)
        for (int j = i; j <= n; ++j)
            for (int side = 1; side <= 2; ++side)
                order.push_back({side, i, j});
    return order;
}

// ---- Increments ---------------------------------------------------------------------------

TEST(DerivativeStep, IsRelativeToANonZeroValueWithItsSignAndAbsoluteAtZero)
{
    struct Case {
        double value;
        double step;
    };
    const Case cases[] = {{0.0, 0.001}, {-0.0, 0.001}, {250.0, 0.25}, {-4.0, -0.004}, {1e-30, 1e-33}};
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(derivativeStep(0.001, c.value), c.step) << c.value;
    EXPECT_EQ(derivativeStep(0.001, 0.0), 0.001);
    EXPECT_LT(derivativeStep(0.001, -4.0), 0.0);
}

// ---- Numerical derivatives ----------------------------------------------------------------

TEST_F(MarquardtDerivatives, QuadraticObjectiveGivesItsExactGradientAndHessianUpToRounding)
{
    const double F0 = centreValue();
    ASSERT_TRUE(numerical(F0).computed());
    ASSERT_EQ(matrix.order(), 3);

    // Rounding of objective values near |F| enters the differences; divided by the increments.
    const std::vector<double> h = expectedIncrements();
    const double scale = 64.0 * epsilon * std::max(1.0, std::fabs(F0)) * 4.0;
    const std::vector<double> gradient = exactGradient(app.algorithm.paramValues);
    for (int i = 1; i <= 3; ++i) {
        EXPECT_NEAR(work.gradient[i], gradient[i], scale / std::fabs(h[i])) << "gradient " << i;
        for (int j = 1; j <= 3; ++j)
            EXPECT_NEAR(matrix(i, j), exactHessian[i][j], scale / std::fabs(h[i] * h[j])) << i << ", " << j;
    }
}

TEST_F(MarquardtDerivatives, TheMatrixIsExactlySymmetric)
{
    model.objective = [](const std::vector<double>& v) {
        return std::exp(0.3 * v[1]) * std::cos(v[3]) + v[1] * v[5] * v[3] + std::log(v[5]);
    };
    ASSERT_TRUE(numerical(model.objective(app.algorithm.paramValues)).computed());
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j)
            EXPECT_EQ(matrix(i, j), matrix(j, i)) << i << ", " << j;
}

TEST_F(MarquardtDerivatives, TheGradientIsACentralDifferenceWithTheRelativeIncrement)
{
    // f = v1^3: (f(x + h) - f(x - h)) / 2h = 3x^2 + h^2 and the second difference is exactly 6x,
    // so the gradient exceeds 12 by h^2 = (0.001 x 2)^2, not by the square of the step size 0.1.
    model.objective = [](const std::vector<double>& v) { return v[1] * v[1] * v[1]; };
    ASSERT_TRUE(numerical(8.0).computed());
    const double h = 0.001 * 2.0;
    EXPECT_NEAR(work.gradient[1] - 12.0, h * h, 1e-9);
    EXPECT_NEAR(matrix(1, 1), 12.0, 1e-6);
    EXPECT_EQ(work.increments[1], h);
}

TEST_F(MarquardtDerivatives, ProbesMoveOneCoordinateOnTheDiagonalAndTwoTogetherOffIt)
{
    ASSERT_TRUE(numerical(centreValue()).computed());
    const std::vector<Probe> order = probeOrder(3);
    ASSERT_EQ(model.calls.size(), order.size());

    const std::vector<double> h = expectedIncrements();
    const int parameterOf[] = {0, 1, 3, 5};
    const double freeValues[] = {0, 2.0, 0.0, 250.0};
    for (std::size_t call = 0; call < order.size(); ++call) {
        const Probe& p = order[call];
        const double sign = p.side == 1 ? 1.0 : -1.0;
        std::vector<double> expected = {0, 2.0, 5.0, 0.0, 2.0, 250.0};
        expected[parameterOf[p.i]] = freeValues[p.i] + sign * h[p.i];
        if (p.j != p.i)
            expected[parameterOf[p.j]] = freeValues[p.j] + sign * h[p.j];
        expected[4] = expected[1]; // the follower moves with its leader
        EXPECT_EQ(model.calls[call].vector, expected) << "probe " << call + 1;
    }
    // The edge cases: a zero value probed at plus and minus 0.001, 250 at plus and minus 0.25.
    EXPECT_EQ(model.calls[6].vector[3], 0.001);
    EXPECT_EQ(model.calls[7].vector[3], -0.001);
    EXPECT_EQ(model.calls[10].vector[5], 250.25);
    EXPECT_EQ(model.calls[11].vector[5], 249.75);
}

TEST_F(MarquardtDerivatives, TheRawTableHoldsEachProbesObjectiveBySideAndPair)
{
    const double F0 = centreValue();
    ASSERT_TRUE(numerical(F0).computed());
    const std::vector<Probe> order = probeOrder(3);
    ASSERT_EQ(work.rawValues.order(), 3);
    for (std::size_t call = 0; call < order.size(); ++call) {
        const Probe& p = order[call];
        EXPECT_EQ(work.rawValues(p.side, p.i, p.j), quadratic(model.calls[call].vector)) << "probe " << call + 1;
    }
    // The second derivatives come from the table exactly as the formulas combine it.
    const auto D = [&](int s, int i, int j) { return work.rawValues(s, i, j) - F0; };
    const std::vector<double> h = expectedIncrements();
    EXPECT_EQ(matrix(2, 2), (D(1, 2, 2) + D(2, 2, 2)) / (h[2] * h[2]));
    EXPECT_EQ(matrix(1, 3),
              (D(1, 1, 3) + D(2, 1, 3) - D(1, 1, 1) - D(2, 1, 1) - D(1, 3, 3) - D(2, 3, 3)) / (2.0 * h[1] * h[3]));
    EXPECT_EQ(work.gradient[3], (work.rawValues(1, 3, 3) - work.rawValues(2, 3, 3)) / (2.0 * h[3]));
}

TEST_F(MarquardtDerivatives, CostsNTimesNPlusOneCountedCallsOfTheFreeParametersOnly)
{
    struct Case {
        std::vector<double> steps; // parameters 1..5; 4 is always a follower
        int freeCount;
        std::int32_t startCount;
    };
    const Case cases[] = {
        {{0, 0.0, 0.0, 0.0, 0.0, 1.0}, 1, 0},
        {{0, 0.1, 0.0, 1.0, 0.0, 0.0}, 2, 7},
        {{0, 0.1, 0.0, 1.0, 0.2, 1.0}, 3, 100},
        {{0, 0.1, 0.3, 1.0, 0.2, 1.0}, 4, 1},
    };
    for (const Case& c : cases) {
        model.calls.clear();
        app.algorithm.paramSteps = c.steps;
        buildFuseGroups(app.algorithm);
        buildFreeIndex(app.algorithm);
        ASSERT_EQ(app.algorithm.freeCount, c.freeCount);
        app.minimization.counters.callCount = c.startCount;

        ASSERT_TRUE(numerical(centreValue()).computed());

        const int cost = c.freeCount * (c.freeCount + 1);
        EXPECT_EQ(app.minimization.counters.callCount, c.startCount + cost);
        ASSERT_EQ(model.calls.size(), static_cast<std::size_t>(cost));
        for (int k = 0; k < cost; ++k)
            EXPECT_EQ(model.calls[static_cast<std::size_t>(k)].nf, c.startCount + k + 1);
        EXPECT_EQ(matrix.order(), c.freeCount);
        // Frozen parameter 2 and follower 4 (when not free themselves) never move off their values.
        for (const FakeModel::Call& call : model.calls) {
            if (c.steps[2] == 0.0) {
                EXPECT_EQ(call.vector[2], 5.0);
            }
            EXPECT_EQ(call.vector[4], call.vector[1]);
        }
    }
}

TEST_F(MarquardtDerivatives, OneFreeParameterCostsTwoCallsAndFillsAOneByOneMatrix)
{
    app.algorithm.paramSteps = {0, 0.0, 0.0, 0.0, 0.0, 1.0};
    buildFuseGroups(app.algorithm);
    buildFreeIndex(app.algorithm);
    matrix.setOrder(3); // left from an earlier, larger computation
    ASSERT_TRUE(numerical(centreValue()).computed());
    EXPECT_EQ(model.calls.size(), 2u);
    EXPECT_EQ(matrix.order(), 1);
    EXPECT_NEAR(matrix(1, 1), 0.02, 1e-9);
    EXPECT_NEAR(work.gradient[1], exactGradient(app.algorithm.paramValues)[3], 1e-10);
}

TEST_F(MarquardtDerivatives, OutsideAProfileStatusPanelOneCountsTheCallsAndEventsRun)
{
    std::vector<std::string> panels;
    model.duringCall = [&] { panels.push_back(app.mainWindow.panelText(statusBar::messages, 1)); };
    ASSERT_TRUE(numerical(centreValue()).computed());
    ASSERT_EQ(panels.size(), 12u);
    EXPECT_EQ(panels[0], "Hessian function call 1 of 12");
    EXPECT_EQ(panels[11], "Hessian function call 12 of 12");
    EXPECT_EQ(ui.yieldCount(), 12 + 3); // one per call, one per row of second derivatives
}

TEST_F(MarquardtDerivatives, DuringAProfileOnlyTheRowsOfSecondDerivativesLetEventsRun)
{
    app.session.profileRunning = true;
    app.mainWindow.setPanel(statusBar::messages, 1, "profile point 3");
    ASSERT_TRUE(numerical(centreValue()).computed());
    EXPECT_EQ(app.mainWindow.panelText(statusBar::messages, 1), "profile point 3");
    EXPECT_EQ(ui.yieldCount(), 3);
    EXPECT_EQ(model.calls.size(), 12u);
}

TEST(HessianCallText, WritesBothNumbersWithoutPadding)
{
    EXPECT_EQ(hessianCallText(1, 2), "Hessian function call 1 of 2");
    EXPECT_EQ(hessianCallText(420, 10100), "Hessian function call 420 of 10100");
}

TEST_F(MarquardtDerivatives, ANonFiniteProbeEndsTheComputationNamingItsParameters)
{
    struct Case {
        std::size_t badCall; // 1-based
        double badValue;
        int side;
        int row;
        int column;
        int rowParameter;
        int columnParameter;
    };
    const Case cases[] = {
        {1, nan, 1, 1, 1, 1, 1},
        {4, infinity, 2, 1, 2, 1, 3},
        {6, -infinity, 2, 1, 3, 1, 5},
        {9, nan, 1, 2, 3, 3, 5},
        {12, infinity, 2, 3, 3, 5, 5},
    };
    for (const Case& c : cases) {
        model.calls.clear();
        app.minimization.counters.callCount = 0;
        model.objective = [&](const std::vector<double>& v) {
            return model.calls.size() == c.badCall ? c.badValue : quadratic(v);
        };
        const DerivativeOutcome outcome = numerical(centreValue());
        SCOPED_TRACE("bad call " + std::to_string(c.badCall));
        EXPECT_EQ(outcome.status, DerivativeStatus::NonFiniteProbe);
        EXPECT_FALSE(outcome.computed());
        EXPECT_EQ(outcome.side, c.side);
        EXPECT_EQ(outcome.row, c.row);
        EXPECT_EQ(outcome.column, c.column);
        EXPECT_EQ(outcome.rowParameter, c.rowParameter);
        EXPECT_EQ(outcome.columnParameter, c.columnParameter);
        EXPECT_EQ(std::isnan(outcome.value), std::isnan(c.badValue));
        EXPECT_EQ(model.calls.size(), c.badCall);
        EXPECT_EQ(app.minimization.counters.callCount, static_cast<std::int32_t>(c.badCall));
    }
}

TEST_F(MarquardtDerivatives, ANonFiniteCentreValueMakesNoProbe)
{
    for (const double F0 : {nan, infinity, -infinity}) {
        const DerivativeOutcome outcome = numerical(F0);
        EXPECT_EQ(outcome.status, DerivativeStatus::NonFiniteCentre);
        EXPECT_TRUE(model.calls.empty());
    }
}

TEST_F(MarquardtDerivatives, FiniteProbesWhoseDifferencesOverflowAreReportedNotPassedOn)
{
    // Probes of parameter 1 at plus and minus 1.7E308: their difference is infinite.
    model.objective = [](const std::vector<double>& v) {
        return v[1] > 2.0 ? 1.7e308 : v[1] < 2.0 ? -1.7e308 : 0.0;
    };
    const DerivativeOutcome outcome = numerical(0.0);
    EXPECT_EQ(outcome.status, DerivativeStatus::NonFiniteDerivative);
    EXPECT_EQ(outcome.row, 1);
    EXPECT_EQ(outcome.column, 0); // the gradient
    EXPECT_EQ(outcome.rowParameter, 1);
    EXPECT_TRUE(std::isinf(outcome.value));
}

TEST_F(MarquardtDerivatives, ThePriorPenaltyEntersEveryProbe)
{
    app.session.priorsActive = true;
    app.priorHooks.penalty = [](const std::vector<double>& v) { return 10.0 * v[3] * v[3]; };
    const double F0 = centreValue(); // the penalty is 0 at v3 = 0
    ASSERT_TRUE(numerical(F0).computed());
    EXPECT_NEAR(matrix(2, 2), exactHessian[2][2] + 20.0, 1e-4);
}

// ---- Analytical derivatives ---------------------------------------------------------------

// Gradient 10 p and curvature 100 p + q for parameters p, q: every element tells where it came from.
void supplyNumberedDerivatives(std::vector<double>& gradient, std::vector<std::vector<double>>& curvature)
{
    for (std::size_t p = 1; p < gradient.size(); ++p) {
        gradient[p] = 10.0 * static_cast<double>(p);
        for (std::size_t q = 1; q < curvature[p].size(); ++q)
            curvature[p][q] = 100.0 * static_cast<double>(p) + static_cast<double>(q);
    }
}

TEST_F(MarquardtDerivatives, AnalyticalDerivativesAreTheModelsEntriesOfTheFreeParameters)
{
    model.supplyDerivatives = supplyNumberedDerivatives;
    app.minimization.counters.callCount = 17;
    app.algorithm.paramValues[4] = 99.0; // the follower is brought to its leader before the call
    int penaltyCalls = 0;
    app.session.priorsActive = true;
    app.priorHooks.penalty = [&](const std::vector<double>&) { return ++penaltyCalls; };

    const DerivativeOutcome outcome = analyticalDerivatives(app, DerivativeRequest::First, matrix, work);

    ASSERT_TRUE(outcome.computed());
    EXPECT_TRUE(outcome.derivativesPresent());
    ASSERT_EQ(model.calls.size(), 1u);
    EXPECT_EQ(model.calls[0].nf, -2);
    EXPECT_EQ(model.calls[0].vector, (std::vector<double>{0, 2.0, 5.0, 0.0, 2.0, 250.0}));
    EXPECT_EQ(app.minimization.counters.callCount, 17);
    EXPECT_EQ(penaltyCalls, 0);
    EXPECT_EQ(ui.yieldCount(), 1);

    const int parameterOf[] = {0, 1, 3, 5};
    ASSERT_EQ(matrix.order(), 3);
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(work.gradient[i], 10.0 * parameterOf[i]);
        for (int j = 1; j <= 3; ++j)
            EXPECT_EQ(matrix(i, j), 100.0 * parameterOf[i] + parameterOf[j]) << i << ", " << j;
    }
}

TEST_F(MarquardtDerivatives, MissingAnalyticalDerivativesAreDetectedOnTheFreePairsAtOrAboveTheDiagonal)
{
    using Supply = std::function<void(std::vector<double>&, std::vector<std::vector<double>>&)>;
    struct Case {
        const char* what;
        Supply supply;
        bool present;
    };
    const Case cases[] = {
        {"nothing written", Supply{}, false},
        {"only a gradient", [](auto& g, auto&) { g[1] = 3.0; }, false},
        {"only a frozen parameter's curvature", [](auto&, auto& c) { c[2][2] = 4.0; }, false},
        {"only below the diagonal of the free pairs", [](auto&, auto& c) { c[5][1] = 4.0; }, false},
        {"one free diagonal element", [](auto&, auto& c) { c[3][3] = 4.0; }, true},
        {"one free pair above the diagonal", [](auto&, auto& c) { c[1][5] = -1e-300; }, true},
    };
    for (const Case& c : cases) {
        model.supplyDerivatives = c.supply;
        const DerivativeOutcome outcome = computeDerivatives(app, 0.0, DerivativeMode::Analytical, DerivativeRequest::First, matrix, work);
        EXPECT_EQ(outcome.derivativesPresent(), c.present) << c.what;
        EXPECT_EQ(outcome.status == DerivativeStatus::Missing, !c.present) << c.what;
    }
}

TEST_F(MarquardtDerivatives, EveryRequestReadsOnlyWhatTheModelWroteForIt)
{
    int requests = 0;
    model.supplyDerivatives = [&](auto& gradient, auto& curvature) {
        if (++requests == 1)
            supplyNumberedDerivatives(gradient, curvature);
    };
    EXPECT_TRUE(analyticalDerivatives(app, DerivativeRequest::First, matrix, work).derivativesPresent());
    EXPECT_FALSE(analyticalDerivatives(app, DerivativeRequest::First, matrix, work).derivativesPresent());
}

TEST_F(MarquardtDerivatives, NonFiniteAnalyticalDerivativesAreReported)
{
    model.supplyDerivatives = [](auto& gradient, auto& curvature) {
        supplyNumberedDerivatives(gradient, curvature);
        curvature[3][5] = nan;
    };
    const DerivativeOutcome outcome = analyticalDerivatives(app, DerivativeRequest::First, matrix, work);
    EXPECT_EQ(outcome.status, DerivativeStatus::NonFiniteDerivative);
    EXPECT_EQ(outcome.row, 2);
    EXPECT_EQ(outcome.column, 3);
    EXPECT_EQ(outcome.rowParameter, 3);
    EXPECT_EQ(outcome.columnParameter, 5);
}

TEST_F(MarquardtDerivatives, TheMissingDerivativesMessage)
{
    ui.answer(Answer::OK);
    showMissingDerivatives(ui);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, "Sorry, analytical derivatives seem not to have been provided");
    EXPECT_EQ(ui.messages()[0].title, "Analytical derivatives missing");
    EXPECT_EQ(ui.messages()[0].buttons, Buttons::OK);
    EXPECT_EQ(ui.messages()[0].icon, Icon::Information);
}

TEST_F(MarquardtDerivatives, TheModeChoosesTheKindOfDerivatives)
{
    struct Case {
        DerivativeMode mode;
        std::size_t calls;
        std::int32_t firstNf;
    };
    const Case cases[] = {
        {DerivativeMode::Analytical, 1, -2},
        {DerivativeMode::Numerical, 12, 1},
        {DerivativeMode::None, 12, 1},
    };
    model.supplyDerivatives = supplyNumberedDerivatives;
    for (const Case& c : cases) {
        model.calls.clear();
        app.minimization.counters.callCount = 0;
        ASSERT_TRUE(computeDerivatives(app, centreValue(), c.mode, DerivativeRequest::First, matrix, work).computed());
        ASSERT_EQ(model.calls.size(), c.calls);
        EXPECT_EQ(model.calls[0].nf, c.firstNf);
    }
}

TEST_F(MarquardtDerivatives, TheSecondDerivativesFeedTheDecompositionInPlace)
{
    // The Newton step of the quadratic from its own point reaches the exact minimum.
    MatrixWork linear;
    linear.setOrder(3);
    ASSERT_TRUE(numerical(centreValue()).computed());
    linear.workMatrix.assign(matrix);
    ASSERT_FALSE(luDecompose(linear).failed());
    std::vector<double> step = work.gradient;
    luSolveColumn(linear, step);

    std::vector<double> minimum = app.algorithm.paramValues;
    const int parameterOf[] = {0, 1, 3, 5};
    for (int t = 1; t <= 3; ++t)
        minimum[parameterOf[t]] -= step[t];
    minimum[4] = minimum[1];
    const std::vector<double> gradient = exactGradient(minimum);
    for (int t = 1; t <= 3; ++t)
        EXPECT_NEAR(gradient[t], 0.0, 1e-6) << t;
}

} // namespace
} // namespace orvanta
