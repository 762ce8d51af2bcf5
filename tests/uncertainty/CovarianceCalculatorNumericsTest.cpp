// The numerical core of the covariance calculator: grid points, Hessian, inversion and the
// results each grid leaves, checked against quadratic objectives whose Hessian is known.

#include "CovarianceCalculatorFixture.h"
#include "priors/PriorSpec.h"
#include "priors/PriorTools.h"

#include <cmath>

namespace orvanta::testing {
namespace {

using Matrix = std::vector<std::vector<double>>;

// The inverse of a symmetric 3 x 3 matrix (1-based) by its adjugate, and its determinant.
Matrix inverse3(const Matrix& m, double& determinant)
{
    auto minor = [&m](int r1, int r2, int c1, int c2) {
        return m[static_cast<std::size_t>(r1)][static_cast<std::size_t>(c1)] *
                   m[static_cast<std::size_t>(r2)][static_cast<std::size_t>(c2)] -
               m[static_cast<std::size_t>(r1)][static_cast<std::size_t>(c2)] *
                   m[static_cast<std::size_t>(r2)][static_cast<std::size_t>(c1)];
    };
    determinant = m[1][1] * minor(2, 3, 2, 3) - m[1][2] * minor(2, 3, 1, 3) + m[1][3] * minor(2, 3, 1, 2);
    Matrix inv(4, std::vector<double>(4, 0.0));
    inv[1][1] = minor(2, 3, 2, 3) / determinant;
    inv[1][2] = -minor(1, 3, 2, 3) / determinant;
    inv[1][3] = minor(1, 2, 2, 3) / determinant;
    inv[2][2] = minor(1, 3, 1, 3) / determinant;
    inv[2][3] = -minor(1, 2, 1, 3) / determinant;
    inv[3][3] = minor(1, 2, 1, 2) / determinant;
    inv[2][1] = inv[1][2];
    inv[3][1] = inv[1][3];
    inv[3][2] = inv[2][3];
    return inv;
}

void expectNear(double actual, double expected, double relative)
{
    EXPECT_NEAR(actual, expected, std::fabs(expected) * relative) << "expected " << expected;
}

class CovarianceNumerics : public CovarianceSession {};

// Parameters 1, 3 and 4 free (positions 1..3), parameter 2 frozen; the objective is a quadratic
// with its minimum slightly off the centre. Central differences are exact for it, so every grid
// must give covScale x inverse(2A) up to rounding: with constant 0.5, covScale = 2 and the
// covariance matrix is inverse(A).
TEST_F(CovarianceNumerics, QuadraticObjectiveGivesItsExactCovarianceOnEveryGrid)
{
    setParameters({{1.5, 0.1}, {7.0, 0.0}, {-2.0, 0.2}, {3.0, 0.05}});
    const Matrix A = {{0, 0, 0, 0}, {0, 4.0, 1.0, 0.5}, {0, 1.0, 3.0, 0.2}, {0, 0.5, 0.2, 2.0}};
    // The quadratic in parameter numbers: position a is parameter {1, 3, 4}[a].
    Matrix inParameters(5, std::vector<double>(5, 0.0));
    const int parameterOf[] = {0, 1, 3, 4};
    for (int a = 1; a <= 3; ++a)
        for (int b = 1; b <= 3; ++b)
            inParameters[static_cast<std::size_t>(parameterOf[a])][static_cast<std::size_t>(parameterOf[b])] =
                A[static_cast<std::size_t>(a)][static_cast<std::size_t>(b)];
    model.objective = quadratic({0, 1.52, 7.0, -1.97, 3.01}, inParameters, 10.0);

    CovarianceSettings settings;
    settings.objectiveConstant = 0.5;
    ASSERT_TRUE(runNumericalCovariance(app, settings));

    double detA = 0.0;
    const Matrix expected = inverse3(A, detA);
    EXPECT_EQ(app.covariance.covParamOf, (std::vector<int>{0, 1, 3, 4}));
    EXPECT_EQ(app.session.covScale, 2.0);
    for (int g = 1; g <= 3; ++g) {
        SCOPED_TRACE("grid " + std::to_string(g));
        const GridResults& r = grid(g);
        for (std::size_t a = 1; a <= 3; ++a) {
            expectNear(r.standardError[a], std::sqrt(expected[a][a]), 1e-7);
            for (std::size_t b = 1; b <= 3; ++b)
                expectNear(r.covariance[a][b], expected[a][b], 1e-6);
        }
        expectNear(r.determinant, 1.0 / detA, 1e-6);
        expectNear(r.varianceProduct, expected[1][1] * expected[2][2] * expected[3][3], 1e-6);
    }
    EXPECT_TRUE(app.session.covarianceAvailable);
    EXPECT_TRUE(app.covariance.lastRunJustFinished);
}

// The points of one grid, in order: pairs p <= q of free parameters, plus then minus; a
// diagonal point moves one parameter, an off-diagonal point both together.
// With priors in force the objective holds covScale x the prior's -ln[L]. F = 10 + (x - 1)^2 with
// constant 0.5 gives -ln[L] curvature 1; a Gaussian prior of SD 2 adds 1/4: the exact SE is
// sqrt(1 / 1.25) = 0.894 on every grid, whichever covScale an earlier run left behind.
TEST_F(CovarianceNumerics, WithAGaussianPriorTheCentreIsEvaluatedUnderTheNewCovScale)
{
    enum class Path { Dialogue, NonInteractive };
    for (const Path path : {Path::Dialogue, Path::NonInteractive}) {
        SCOPED_TRACE(path == Path::Dialogue ? "dialogue" : "non-interactive");
        setParameters({{1.3, 0.2}});
        model.objective = quadratic({0, 1.0}, {{0, 0}, {0, 1.0}}, 10.0);
        installPriors(app);
        app.priors.assign(2, PriorSpec{});
        app.priors[1] = PriorSpec{"N", 0.5, 2.0};
        app.session.priorsActive = true;
        app.session.covScale = 1.0; // an earlier run's constant was 1
        if (path == Path::Dialogue) {
            scriptNumericalRun({{"1", "0.1", "0.01"}, "0.5", false});
            pressCovariance();
        } else {
            CovarianceSettings settings;
            settings.objectiveConstant = 0.5;
            ASSERT_TRUE(runNumericalCovariance(app, settings));
        }
        EXPECT_EQ(app.session.covScale, 2.0);
        for (int g = 1; g <= 3; ++g)
            expectNear(grid(g).standardError[1], std::sqrt(1.0 / 1.25), 1e-6);
        app.desktop.close(CovarianceDisplayWindow::windowName);
    }
}

// A simplex kept from a run under another covScale holds vertex values with the old prior
// penalty: a change of covScale while priors are in force discards it, and only then.
TEST_F(CovarianceNumerics, ANewCovScaleUnderPriorsDiscardsAKeptSimplex)
{
    struct Case {
        bool priorsActive;
        double newScale;
        bool kept;
    };
    const Case cases[] = {{true, 2.0, false}, {true, 1.0, true}, {false, 2.0, true}};
    for (const Case& c : cases) {
        app.session.priorsActive = c.priorsActive;
        app.session.covScale = 1.0;
        app.session.simplexBuilt = true;
        setCovScale(app.session, c.newScale);
        EXPECT_EQ(app.session.simplexBuilt, c.kept) << c.priorsActive << " " << c.newScale;
        EXPECT_EQ(app.session.covScale, c.newScale);
    }
}

TEST_F(CovarianceNumerics, GridPointsFollowThePairsAndSigns)
{
    setParameters({{1.0, 0.5}, {5.0, 0.0}, {2.0, 0.25}});
    model.objective = bowl({0, 0.0, 5.0, 0.0});
    CovarianceSettings settings;
    settings.gridFactors = {0, 2.0, 0.1, 0.01};
    ASSERT_TRUE(runNumericalCovariance(app, settings));

    ASSERT_EQ(model.calls.size(), 1u + 3u * 6u);
    const double h = 2.0;
    const std::vector<std::vector<double>> expected = {
        {0, 1.0, 5.0, 2.0},                      // the centre
        {0, 1.0 + h * 0.5, 5.0, 2.0},            // (1, 1) +
        {0, 1.0 - h * 0.5, 5.0, 2.0},            // (1, 1) -
        {0, 1.0 + h * 0.5, 5.0, 2.0 + h * 0.25}, // (1, 3) +
        {0, 1.0 - h * 0.5, 5.0, 2.0 - h * 0.25}, // (1, 3) -
        {0, 1.0, 5.0, 2.0 + h * 0.25},           // (3, 3) +
        {0, 1.0, 5.0, 2.0 - h * 0.25},           // (3, 3) -
    };
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(model.calls[i].vector, expected[i]) << "call " << i;
        EXPECT_EQ(model.calls[i].nf, callCode::firstEvaluation);
    }
}

// Followers of a fuse group take their leader's value at every grid point and are not free.
TEST_F(CovarianceNumerics, FusedFollowersMoveWithTheirLeader)
{
    setParameters({{1.0, 0.5, "A"}, {3.0, 0.7, "A"}});
    model.objective = bowl({0, 0.0, 0.0});
    ASSERT_TRUE(runNumericalCovariance(app, {}));

    EXPECT_EQ(app.covariance.freeCount(), 1);
    for (const FakeModel::Call& call : model.calls)
        EXPECT_EQ(call.vector[1], call.vector[2]);
    EXPECT_EQ(model.calls[1].vector[2], 1.5);
}

// With one free parameter every grid makes 2 calls and the matrix is 1 x 1. The two points lie
// equally high, so the grid's values are all equal and their standard deviation is 0.
TEST_F(CovarianceNumerics, OneFreeParameterMakesTwoCallsPerGridAndAOneByOneMatrix)
{
    setParameters({{2.0, 0.5}});
    model.objective = quadratic({0, 2.0}, {{0, 0}, {0, 8.0}}, 3.0);
    ASSERT_TRUE(runNumericalCovariance(app, {}));

    EXPECT_EQ(gridCalls(), 6u);
    const double factors[] = {0, 1.0, 0.1, 0.01};
    for (int g = 1; g <= 3; ++g) {
        SCOPED_TRACE("grid " + std::to_string(g));
        ASSERT_EQ(grid(g).covariance.size(), 2u);
        expectNear(grid(g).covariance[1][1], 1.0 / 16.0, 1e-9);
        expectNear(grid(g).determinant, 1.0 / 16.0, 1e-9);
        const double d = 8.0 * (factors[g] * 0.5) * (factors[g] * 0.5);
        expectNear(app.covariance.gridAverage[static_cast<std::size_t>(g)], 3.0 + d, 1e-12);
        EXPECT_EQ(app.covariance.gridStdDev[static_cast<std::size_t>(g)], 0.0);
    }
}

// Conditional SEs: only the 2n diagonal points are evaluated, the off-diagonal ones count as
// the centre (d = 0), the count shown still runs to n(n+1), and the matrix stays diagonal.
TEST_F(CovarianceNumerics, OptimisticSEsEvaluateOnlyTheDiagonalPoints)
{
    setParameters({{0.0, 1.0}, {0.0, 1.0}});
    const Matrix A = {{0, 0, 0}, {0, 2.0, 0.9}, {0, 0.9, 2.0}};
    model.objective = quadratic({0, 0.0, 0.0}, A, 5.0);
    CovarianceSettings settings;
    settings.optimisticSEs = true;
    ASSERT_TRUE(runNumericalCovariance(app, settings));

    EXPECT_EQ(gridCalls(), 3u * 4u);
    std::vector<std::string> counts;
    for (const auto& [first, second] : panelsSeen)
        if (first.rfind("Hessian function call", 0) == 0 && (counts.empty() || counts.back() != first))
            counts.push_back(first);
    ASSERT_EQ(counts.size(), 18u);
    EXPECT_EQ(counts[5], "Hessian function call 6 of 6");

    // Grid 1: the four diagonal points lie d = 2 above the centre, the two others count 0:
    // mean 4/3, variance 16/6 - 16/9 = 8/9.
    expectNear(app.covariance.gridAverage[1], 5.0 + 4.0 / 3.0, 1e-12);
    expectNear(app.covariance.gridStdDev[1], std::sqrt(8.0) / 3.0, 1e-12);
    for (int g = 1; g <= 3; ++g) {
        expectNear(grid(g).standardError[1], std::sqrt(1.0 / 4.0), 1e-7);
        EXPECT_EQ(grid(g).covariance[1][2], 0.0);
        expectNear(grid(g).varianceProduct, grid(g).determinant, 1e-12);
    }
    EXPECT_TRUE(app.session.optimisticCovariance);
}

// A saddle fails the positive-definiteness test at the parameter whose pivot is not positive:
// every grid keeps -1 and the account names the parameter.
TEST_F(CovarianceNumerics, HessianThatIsNotPositiveDefiniteNamesTheParameter)
{
    setParameters({{0.0, 0.0}, {0.0, 1.0}, {0.0, 1.0}});
    model.objective = [](const std::vector<double>& x) { return 100.0 + x[2] * x[2] - x[3] * x[3]; };
    ASSERT_TRUE(runNumericalCovariance(app, {}));

    for (int g = 1; g <= 3; ++g)
        expectResultsNotCalculated(g, 2);
    const std::string expectedLines =
        "Sorry, this Hessian matrix is not positive-definite; a valid covariance matrix cannot be "
        "created.\n\n"
        "Possible reasons: (1) you're not at a tight enough global minimum, or you're at a local minimum\n"
        "                  (2) your model contains statistically dead parameters, i.e., the -ln[L] versus a "
        "parameter is flat\n"
        "                  (3) there is at least one parameter pair that is very highly correlated (e.g., "
        "ABS(rho) > 0.99)\n"
        "                  (4) the likelihood profile is dramatically asymmetrical, perhaps due to a penalty "
        "function\n"
        "It might help you to know that the test for positive-definitiveness failed at parameter # 3\n\n";
    EXPECT_NE(account().find(expectedLines), std::string::npos) << account();
    EXPECT_EQ(account().find("Now inverting"), std::string::npos);
}

// The running account of a grid that is calculated.
TEST_F(CovarianceNumerics, AccountOfAGridShowsItsSummaryAndDeterminant)
{
    setParameters({{2.0, 0.5}});
    model.objective = quadratic({0, 2.0}, {{0, 0}, {0, 8.0}}, 3.0);
    CovarianceSettings settings;
    settings.objectiveConstant = 2.0;
    ASSERT_TRUE(runNumericalCovariance(app, settings));

    // Grid 1: d = 8 x 0.25 = 2, so the average is 5 and -ln[L] = 2 x 5; covariance 0.5 / 16.
    const std::string grid1 = "\nNow calculating -ln[likelihood] on grid #1\n"
                              "Average: 1.0000000E+01; Standard deviation: 0.0000000E+00\n"
                              "Now calculating Hessian matrix #1\n"
                              "Now inverting Hessian matrix #1\n"
                              "Determinant of covariance matrix: 3.1250000E-02\n\n"
                              "\nNow calculating -ln[likelihood] on grid #2\n";
    EXPECT_EQ(account().rfind(grid1, 0), 0u) << account();
    EXPECT_EQ(calculations()->caption(), "Covariance calculations");
}

// A point of a grid without a finite objective: that grid gives no results and says where, the
// others are calculated as usual.
TEST_F(CovarianceNumerics, NonFiniteObjectiveOnAGridLeavesThatGridUncalculated)
{
    setParameters({{1.0, 1.0}, {2.0, 1.0}});
    // Finite only within 0.5 of the centre: grid 1 (steps of 1) reaches beyond, grids 2 and 3 not.
    model.objective = [](const std::vector<double>& x) {
        const double r = std::fabs(x[1] - 1.0) + std::fabs(x[2] - 2.0);
        return r > 0.5 ? nan : 1.0 + (x[1] - 1.0) * (x[1] - 1.0) + (x[2] - 2.0) * (x[2] - 2.0);
    };
    model.failure = "the growth curve is undefined";
    ASSERT_TRUE(runNumericalCovariance(app, {}));

    expectNotCalculated(1, 2);
    EXPECT_EQ(gridCalls(), 1u + 2u * 6u); // grid 1 stops at its first point
    EXPECT_NE(
        account().find("The objective function has no finite value at a point of grid #1 (the growth curve "
                       "is undefined), so this grid gives no results. Parameter values there:\n\n" +
                       parameterValueLines(app.algorithm, {0, 2.0, 2.0})),
        std::string::npos)
        << account();
    for (int g = 2; g <= 3; ++g)
        expectNear(grid(g).covariance[1][1], 0.5, 1e-6);
}

// A centre without a finite objective: the user is told with the values, nothing is calculated.
TEST_F(CovarianceNumerics, NonFiniteCentreCalculatesNothing)
{
    setParameters({{1.0, 1.0}});
    model.objective = [](const std::vector<double>&) { return infinity; };
    model.failure = "an intermediate result overflowed";
    ui.answer(Answer::OK);
    EXPECT_FALSE(runNumericalCovariance(app, {}));

    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].title, "Covariance calculator");
    EXPECT_EQ(ui.messages()[0].icon, Icon::Exclamation);
    EXPECT_EQ(ui.messages()[0].text,
              "The objective function has no finite value at the current parameter values (an intermediate "
              "result overflowed), so no covariances can be calculated.\n\nParameter values:\n\n" +
                  parameterValueLines(app.algorithm, {0, 1.0}));
    EXPECT_EQ(model.calls.size(), 1u);
    EXPECT_EQ(calculations(), nullptr);
    EXPECT_FALSE(app.session.covarianceAvailable);
}

// Settings that would make the grid or the scale meaningless are refused before any call.
TEST_F(CovarianceNumerics, UnusableSettingsAreRefused)
{
    setParameters({{1.0, 1.0}});
    const struct {
        double factor2;
        double constant;
    } cases[] = {{0.0, 1.0}, {-0.1, 1.0}, {nan, 1.0}, {0.1, 0.0}, {0.1, infinity}, {0.1, 1e-320}};
    for (const auto& c : cases) {
        CovarianceSettings settings;
        settings.gridFactors[2] = c.factor2;
        settings.objectiveConstant = c.constant;
        ui.answer(Answer::OK);
        EXPECT_FALSE(runNumericalCovariance(app, settings)) << c.factor2 << " " << c.constant;
    }
    EXPECT_TRUE(model.calls.empty());
}

TEST(MinutesSecondsText, WritesTwoDigitSeconds)
{
    const struct {
        long long seconds;
        const char* text;
    } cases[] = {{125, "2:05"}, {60, "1:00"}, {0, "0:00"}, {59, "0:59"}, {3600, "60:00"}};
    for (const auto& c : cases)
        EXPECT_EQ(minutesSecondsText(c.seconds), c.text);
}

} // namespace
} // namespace orvanta::testing
