#include "minimize/SimplexMinimizer.h"

#include "SimplexFixture.h"
#include "text/NumberText.h"

#include <algorithm>
#include <regex>
#include <set>

namespace orvanta {
namespace {

using testing::bowl;
using testing::infinity;
using testing::nan;
using testing::SimplexSession;
using testing::TestParameter;

const char* const minimumMessage = "Minimum found using Simplex!";

// ---- The moves and the ranking ------------------------------------------------------------------

TEST(RankSimplex, TiesKeepTheLowerNumberedVertexInBothRoles)
{
    struct Case {
        std::vector<double> values; // vertices 1..3
        int best;
        int worst;
    };
    const Case cases[] = {
        {{5, 5, 5}, 1, 1},
        {{3, 1, 1}, 2, 1},
        {{1, 4, 4}, 1, 2},
        {{2, 2, 1}, 3, 1},
        {{4, 1, 4}, 2, 1},
        {{infinity, infinity, 0}, 3, 1},
        {{1, infinity, infinity}, 1, 2},
    };
    for (const Case& c : cases) {
        SimplexState s;
        s.vertices = {{}, {0, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0, 0, 0}};
        s.values = {0, c.values[0], c.values[1], c.values[2]};
        rankSimplex(s, 2);
        EXPECT_EQ(s.bestVertex, c.best) << c.values[0] << " " << c.values[1] << " " << c.values[2];
        EXPECT_EQ(s.worstVertex, c.worst) << c.values[0] << " " << c.values[1] << " " << c.values[2];
    }
}

TEST(RankSimplex, TheCentroidAveragesAllVerticesButTheWorst)
{
    SimplexState s;
    s.vertices = {{}, {0, 2, 4}, {0, 6, -2}, {0, 1, 1}, {0, 0, 0}};
    s.values = {0, 3, 9, 1};
    rankSimplex(s, 2);
    EXPECT_EQ(s.worstVertex, 2);
    EXPECT_DOUBLE_EQ(s.vertices[4][1], 1.5);
    EXPECT_DOUBLE_EQ(s.vertices[4][2], 2.5);
}

TEST(RankedObjective, EveryNonFiniteValueRanksAsPlusInfinity)
{
    EXPECT_EQ(rankedObjective(nan), infinity);
    EXPECT_EQ(rankedObjective(-infinity), infinity);
    EXPECT_EQ(rankedObjective(infinity), infinity);
    EXPECT_EQ(rankedObjective(-3.5), -3.5);
}

// One free parameter (number 2), the frozen parameter 1 at 7.
class SimplexRun : public SimplexSession {
protected:
    SimplexRun()
    {
        setParameters({{7.0, 0.0, "~~", "Recruitment"}, {0.0, 1.0, "~~", "Growth"}});
        model.objective = bowl({0.0, 7.0, 1.0});
    }

    std::vector<double> growthValues() const
    {
        std::vector<double> values;
        for (const auto& call : model.calls)
            values.push_back(call.vector[2]);
        return values;
    }
};

// A simplex of one free parameter: each move with the value that makes it happen.
TEST_F(SimplexRun, EachMoveIsNamedAndCountsItsCalls)
{
    struct Case {
        const char* name;
        std::function<double(double)> objective; // of parameter 2
        const char* action;
        std::int16_t improved;
        std::vector<double> points; // parameter 2 at the calls of the step
        std::vector<double> vertices;
    };
    // Start: vertex 1 at 0, vertex 2 at 1 (the better), so the worst is reflected to 2.
    const Case cases[] = {
        {"extension", [](double x) { return -x; }, simplexAction::extension, 2, {2, 3}, {3, 1}},
        {"extension not better than reflection",
         [](double x) { return x <= 1 ? -x : -2.0; },
         simplexAction::reflection,
         2,
         {2, 3},
         {2, 1}},
        {"contraction",
         [](double x) { return (x - 1) * (x - 1); },
         simplexAction::contraction,
         0,
         {2, 0.5},
         {0.5, 1}},
        {"reflection-contraction",
         [](double x) { return x == 2 ? 0.5 : (x - 1.25) * (x - 1.25) * 4; },
         simplexAction::reflectionContraction,
         1,
         {2, 1.5},
         {1.5, 1}},
        {"reduction",
         [](double x) { return x == 0.5 ? 5.0 : (x - 1) * (x - 1); },
         simplexAction::reduction,
         0,
         {2, 0.5, 0.5},
         {0.5, 1}},
        {"reflection-reduction",
         [](double x) {
             return x == 0 ? 2.0 : x == 1 ? 0.0 : x == 2 ? 1.0 : 3.0;
         },
         simplexAction::reflectionReduction,
         1,
         {2, 1.5, 1.5},
         {1.5, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        model.objective = [f = c.objective](const std::vector<double>& v) { return f(v[2]); };
        app.algorithm.paramValues[2] = 0.0;
        buildFuseGroups(app.algorithm);
        buildFreeIndex(app.algorithm);
        SimplexState& s = app.minimization.simplex;
        s.vertices.assign(4, {0.0, 0.0});
        s.values.assign(3, 0.0);
        s.reflectPoint.assign(2, 0.0);
        s.expandPoint.assign(2, 0.0);
        ASSERT_TRUE(buildInitialSimplex(app));
        ASSERT_EQ(s.bestVertex, 2);
        model.calls.clear();
        app.minimization.counters.callCount = 0;

        simplexStep(app);

        EXPECT_EQ(s.lastAction, c.action);
        EXPECT_EQ(std::string(s.lastAction).size(), 22u);
        EXPECT_EQ(s.improvedCount, c.improved);
        EXPECT_EQ(growthValues(), c.points);
        EXPECT_EQ(app.minimization.counters.callCount, static_cast<std::int32_t>(c.points.size()));
        EXPECT_DOUBLE_EQ(s.vertices[1][1], c.vertices[0]);
        EXPECT_DOUBLE_EQ(s.vertices[2][1], c.vertices[1]);
    }
}

// ---- A small run, text by text ------------------------------------------------------------------

// f = (x - 1)^2 from x = 0 with step 1 and an absolute tolerance of 0.1: the initial simplex
// {0: 1, 1: 0}; iteration 1 reflects 0 to 2 (1, no improvement) and contracts to 0.5 (0.25);
// iteration 2 reflects 0.5 to 1.5 (0.25) and contracts to 0.75 (0.0625), a spread below 0.1;
// the probes at 1.1 and 0.9 verify the minimum 0 at 1.
class SmallRun : public SimplexRun {
protected:
    SmallRun()
    {
        app.algorithm.options.convergenceTolerance = 0.1;
        app.algorithm.options.terminalFrequency = 1;
    }
};

TEST_F(SmallRun, ShowsLogsAndAnnouncesEachStage)
{
    openLog();
    app.algorithm.options.fileFrequency = 1;
    std::vector<std::string> panelsAtCalls;
    model.duringCall = [&] { panelsAtCalls.push_back(panel(1) + "|" + panel(2)); };
    std::vector<std::string> progressAtYields;
    std::vector<std::string> panelOneAtYields;
    ui.onYield = [&] {
        progressAtYields.push_back(window() ? window()->progressText() : "no window");
        panelOneAtYields.push_back(panel(1));
    };
    ui.answer(Answer::OK);

    pressSimplex();

    EXPECT_EQ(callCodes(), (std::vector<std::int32_t>{1, 2, 3, 4, 5, 6, 7, 8}));
    const std::vector<double> points = growthValues();
    ASSERT_EQ(points.size(), 8u);
    const std::vector<double> expected = {0, 1, 2, 0.5, 1.5, 0.75, 1.1, 0.9};
    for (std::size_t i = 0; i < 8; ++i)
        EXPECT_NEAR(points[i], expected[i], 1e-15) << i;
    for (const auto& call : model.calls)
        EXPECT_EQ(call.vector[1], 7.0); // the frozen parameter

    const std::string building = "Building initial simplex...";
    const std::string verifying = "Verifying convergence by performing an axial search";
    EXPECT_EQ(panelsAtCalls,
              (std::vector<std::string>{building + "|", building + "|", "|", "|", "|", "|", verifying + "|",
                                        verifying + "|Axial function call 1 of 2"}));
    EXPECT_EQ(panelOneAtYields, (std::vector<std::string>{building, "", "", ""}));

    ASSERT_NE(window(), nullptr);
    EXPECT_EQ(window()->stopButton().caption, "&Interrupt this minimization");
    EXPECT_EQ(window()->initialText(), "\n"
                                       "Initial Simplex: Starting function value> 1. Max> 1. Min> 0.\n"
                                       "\n"
                                       "Initial parameter values:\n"
                                       "\n"
                                       "    002)  0.0000000E+00  ~~  Growth\n");
    ASSERT_EQ(progressAtYields.size(), 4u);
    EXPECT_EQ(progressAtYields[2],
              "\n"
              "Note: 1 iterations, 4 function calls, and 0 restarts\n"
              "\n"
              "Current: Min> 0.      Max> 0.25      Abs TC> 2.5000E-01\n"
              "\n"
              "Number of function values (parameter vectors) improved: 0; Action accepted: "
              "Contraction           \n"
              "\n"
              "Current minimum found at these 1 adjusted parameter values:\n"
              "\n"
              "    002)  1.0000000E+00  ~~  Growth\n"
              "\n");
    EXPECT_EQ(window()->progressText(),
              "\n"
              "Minimum of 0. found at these 1 adjusted parameter values:\n"
              "\n"
              "    002)  1.0000000E+00  ~~  Growth\n"
              "\n"
              "This result required 2 iterations, 8 function calls, and 0 restarts\n");

    const std::string progressRecord =
        "Number of function values (parameter vectors) improved: 0; Action accepted: "
        "Contraction           \n"
        "\n"
        "Current minimum found at these 1 adjusted parameter values: \n"
        "\n"
        "    002)  1.0000000E+00\n"
        "\n";
    EXPECT_EQ(logText(), withCrLf("\n\n"
                                  "Initial parameter values:\n"
                                  "\n"
                                  "    002)  0.0000000E+00\n"
                                  "\n"
                                  "Initial Simplex: Starting function value> 1. Max> 1. Min> 0.\n"
                                  "\n"
                                  "Note: 1 iterations, 4 function calls, and 0 restarts\n" +
                                  progressRecord +
                                  "Current: Min> 0.      Max> 0.25      Abs TC> 2.5000E-01\n"
                                  "\n"
                                  "\n"
                                  "Note: 2 iterations, 6 function calls, and 0 restarts\n" +
                                  progressRecord +
                                  "Current: Min> 0.      Max> 0.0625      Abs TC> 6.2500E-02\n"
                                  "\n"
                                  "\n\n"
                                  "Minimum of 0. found at these 1 adjusted parameter values:\n"
                                  "\n"
                                  "    002)  1.0000000E+00\n"
                                  "\n"
                                  "This result required 2 iterations, 8 function calls, and 0 restarts\n"
                                  "\n"));

    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, minimumMessage);
    EXPECT_EQ(ui.messages()[0].title, "Simplex minimum");
    EXPECT_EQ(ui.messages()[0].icon, Icon::CriticalInformation);
    for (int p = 1; p <= 4; ++p)
        EXPECT_EQ(panel(p), "") << p;
}

TEST_F(SmallRun, WritesTheBestVertexBackAndRestoresTheMainMenu)
{
    app.session.covarianceAvailable = true;
    app.modelWorkspace.gradientVector.assign(20, 1.0);
    ui.answer(Answer::OK);
    pressSimplex();

    EXPECT_EQ(app.algorithm.paramValues, (std::vector<double>{0.0, 7.0, 1.0}));
    EXPECT_FALSE(app.session.covarianceAvailable);
    EXPECT_TRUE(app.session.simplexBuilt);
    EXPECT_LE(app.modelWorkspace.gradientVector.size(), 1u);
    EXPECT_FALSE(app.minimization.simplexRunning);
    ASSERT_NE(app.mainMenu(), nullptr);
    EXPECT_TRUE(app.mainMenu()->button(menuButton::simplex).enabled);
    EXPECT_TRUE(app.mainWindow.findMenu("mnuApplication")->enabled);
    // The window stays until the user closes it; then nothing more happens.
    ASSERT_NE(window(), nullptr);
    app.desktop.close(SimplexWindow::windowName);
    EXPECT_NE(app.mainMenu(), nullptr);
}

TEST_F(SmallRun, TheMenuIsClosedAndTheCommandsDisabledWhileItRuns)
{
    bool menuOpen = true;
    bool applicationEnabled = true;
    bool running = false;
    model.duringCall = [&] {
        menuOpen = app.mainMenu() != nullptr;
        applicationEnabled = app.mainWindow.findMenu("mnuApplication")->enabled;
        running = app.minimization.simplexRunning;
    };
    ui.answer(Answer::OK);
    pressSimplex();
    EXPECT_FALSE(menuOpen);
    EXPECT_FALSE(applicationEnabled);
    EXPECT_TRUE(running);
}

TEST_F(SmallRun, ASecondRunContinuesFromTheSurvivingSimplex)
{
    ui.answer(Answer::OK);
    pressSimplex();
    model.calls.clear();

    // Stored: vertex 1 at 0.75 (0.0625), vertex 2 at 1 (0). Reflection to 1.25 (0.0625, no
    // improvement), contraction to 0.875 (0.015625), verified by the probes at 1.1 and 0.9.
    ui.answer(Answer::OK);
    pressSimplex();

    EXPECT_EQ(callCodes(), (std::vector<std::int32_t>{1, 2, 3, 4}));
    const std::vector<double> points = growthValues();
    ASSERT_EQ(points.size(), 4u);
    EXPECT_DOUBLE_EQ(points[0], 1.25);
    EXPECT_DOUBLE_EQ(points[1], 0.875);
    ASSERT_NE(window(), nullptr);
    EXPECT_EQ(window()->stopButton().caption, "&Interrupt");
    EXPECT_EQ(window()->initialText(),
              "\n"
              "Initial Simplex: Starting function value> 0.0625 Max> 0.0625 Min> 0.\n"
              "\n"
              "Initial parameter values:\n"
              "\n"
              "    002)  7.5000000E-01  ~~  Growth\n");
    EXPECT_NE(
        window()->progressText().find("This result required 1 iterations, 4 function calls, and 0 restarts"),
        std::string::npos);
}

TEST_F(SmallRun, WhateverClearsSimplexBuiltMakesTheNextRunStartAfresh)
{
    ui.answer(Answer::OK);
    pressSimplex();
    model.calls.clear();
    app.session.simplexBuilt = false; // as loading algorithm data does

    ui.answer(Answer::OK);
    pressSimplex();

    const std::vector<double> points = growthValues();
    ASSERT_GE(points.size(), 2u);
    EXPECT_EQ(points[0], 1.0); // paramValues as the first run left it
    EXPECT_EQ(points[1], 2.0);
    EXPECT_EQ(window()->stopButton().caption, "&Interrupt this minimization");
}

TEST_F(SmallRun, ASimplexOfAnotherDimensionIsNotContinued)
{
    ui.answer(Answer::OK);
    pressSimplex();
    model.calls.clear();
    app.algorithm.paramSteps[1] = 1.0; // now two free parameters, flag left on

    ui.answer(Answer::OK);
    pressSimplex();

    ASSERT_GE(model.calls.size(), 3u);
    EXPECT_EQ(model.calls[0].vector, (std::vector<double>{0.0, 7.0, 1.0}));
    EXPECT_EQ(model.calls[1].vector, (std::vector<double>{0.0, 8.0, 1.0}));
    EXPECT_EQ(model.calls[2].vector, (std::vector<double>{0.0, 7.0, 2.0}));
}

// ---- Convergence --------------------------------------------------------------------------------

TEST_F(SimplexSession, ConvergesToTheKnownMinimum)
{
    using Objective = std::function<double(const std::vector<double>&)>;
    struct Case {
        const char* name;
        std::vector<TestParameter> parameters;
        Objective objective;
        std::vector<double> minimum; // paramValues expected, 1..paramCount
        double minimumValue;
    };
    const Objective rosenbrock = [](const std::vector<double>& v) {
        return (1 - v[1]) * (1 - v[1]) + 100 * (v[2] - v[1] * v[1]) * (v[2] - v[1] * v[1]);
    };
    const std::vector<Case> cases = {
        {"bowl", {{0, 1}, {0, 1}}, bowl({0, 3, -2}, 5), {0, 3, -2}, 5},
        {"bowl with a frozen parameter",
         {{0, 1}, {2, 0}, {0, 0.5}},
         bowl({0, 1, 2, -4}, -1),
         {0, 1, 2, -4},
         -1},
        {"negative steps", {{10, -1}, {10, -2}}, bowl({0, 2, 5}), {0, 2, 5}, 0},
        {"Rosenbrock", {{-1.2, 0.5}, {1, 0.5}}, rosenbrock, {0, 1, 1}, 0},
    };
    app.algorithm.options.convergenceTolerance = 1e-10;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        setParameters({});
        for (const TestParameter& p : c.parameters) {
            app.algorithm.paramValues.push_back(p.value);
            app.algorithm.paramSteps.push_back(p.step);
            app.algorithm.fuseCodes.push_back("~~");
            app.algorithm.paramDescriptions.push_back("p");
        }
        app.algorithm.paramCount = static_cast<std::int16_t>(c.parameters.size());
        app.session.simplexBuilt = false;
        model.objective = c.objective;
        ui.answer(Answer::OK);

        pressSimplex();

        ASSERT_EQ(ui.messages().back().text, minimumMessage);
        for (std::size_t i = 1; i < c.minimum.size(); ++i)
            EXPECT_NEAR(app.algorithm.paramValues[i], c.minimum[i], 1e-3) << i;
        EXPECT_NEAR(model.objective(app.algorithm.paramValues), c.minimumValue, 1e-8);
    }
}

TEST_F(SimplexSession, FusedFollowersTakeTheirLeadersTrialValue)
{
    setParameters({{0, 1, "A"}, {5, 0.5, "A"}, {0, 1}});
    model.objective = [](const std::vector<double>& v) {
        return (v[1] + v[2] - 4) * (v[1] + v[2] - 4) + (v[3] - 1) * (v[3] - 1);
    };
    app.algorithm.options.convergenceTolerance = 1e-10;
    ui.answer(Answer::OK);
    pressSimplex();
    ASSERT_GT(model.calls.size(), 10u);
    for (const auto& call : model.calls)
        EXPECT_EQ(call.vector[2], call.vector[1]);
    EXPECT_EQ(app.algorithm.freeCount, 2);
    EXPECT_NEAR(app.algorithm.paramValues[1], 2.0, 1e-3);
    EXPECT_NEAR(app.algorithm.paramValues[3], 1.0, 1e-3);
}

TEST_F(SimplexSession, OnAPlateauTheTiesKeepTheFirstVertex)
{
    setParameters({{0, 1}, {0, 1}});
    model.objective = [](const std::vector<double>&) { return 4.0; };
    ui.answer(Answer::OK);
    pressSimplex();

    // Every vertex ties, so vertex 1 is both best and worst: it is the one reflected, through the
    // centroid (0.5, 0.5) of the other two.
    ASSERT_GE(model.calls.size(), 4u);
    EXPECT_EQ(model.calls[3].vector, (std::vector<double>{0.0, 1.0, 1.0}));
    EXPECT_EQ(simplex().bestVertex, 1);
    EXPECT_EQ(app.algorithm.paramValues, (std::vector<double>{0.0, 0.0, 0.0}));
    EXPECT_EQ(ui.messages().back().text, minimumMessage);
    EXPECT_EQ(
        window()->progressText().rfind("\nMinimum of 4. found at these 2 adjusted parameter values:", 0), 0u);
}

TEST_F(SimplexSession, ABetterAxialPointRestartsTheRunAndNamesItsParameter)
{
    // f = (x - 5)^2 from 0 with step 0.01: after one extension the spread (0.1992) is below the
    // tolerance 0.25, but the probe a whole unit up (fraction 100) is far better.
    setParameters({{7, 0, "~~", "Recruitment"}, {0, 0.01, "~~", "Growth"}});
    model.objective = bowl({0, 7, 5});
    app.algorithm.options.convergenceTolerance = 0.25;
    app.algorithm.options.stepReductionFraction = 100;
    std::set<std::string> panelThree;
    ui.onYield = [&] { panelThree.insert(panel(3)); };
    ui.answer(Answer::OK);

    pressSimplex();

    ASSERT_GE(model.calls.size(), 7u);
    EXPECT_DOUBLE_EQ(model.calls[4].vector[2], 1.03); // the failing probe
    EXPECT_DOUBLE_EQ(model.calls[5].vector[2], 1.03); // vertex 1 of the rebuilt simplex
    EXPECT_DOUBLE_EQ(model.calls[6].vector[2], 1.01);
    EXPECT_TRUE(panelThree.count("Last failure of convergence verification caused by parameter # 2"));
    EXPECT_GE(app.minimization.counters.restartCount, 1);
    EXPECT_EQ(ui.messages().back().text, minimumMessage);
    const std::string restarts = numberText(app.minimization.counters.restartCount) + " restarts\n";
    EXPECT_EQ(window()->progressText().substr(window()->progressText().size() - restarts.size()), restarts);
    EXPECT_NEAR(app.algorithm.paramValues[2], 5.0, 0.6);
}

// ---- Frequencies --------------------------------------------------------------------------------

// A run that never converges (tolerance 0) and is stopped at the first maxCalls question.
class EndlessRun : public SimplexRun {
protected:
    EndlessRun()
    {
        app.algorithm.options.convergenceTolerance = 0.0;
        app.algorithm.options.maxCalls = 40;
    }

    static int iterationsNoted(const std::string& text)
    {
        static const std::regex note("^\nNote: (\\d+) iterations");
        std::smatch match;
        return std::regex_search(text, match, note) ? std::stoi(match[1]) : 0;
    }
};

TEST_F(EndlessRun, ProgressIsShownAfterTheFirstIterationAndThenEveryTerminalFrequency)
{
    struct Case {
        std::int16_t frequency;
        std::vector<int> shown; // iterations whose progress the window showed at their yield
    };
    const Case cases[] = {
        {1, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20}},
        {3, {1, 4, 7, 10, 13, 16, 19}},
        {7, {1, 8, 15}},
        {0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frequency);
        app.algorithm.options.terminalFrequency = c.frequency;
        app.algorithm.paramValues[2] = 0.0;
        app.session.simplexBuilt = false;
        std::vector<int> shown;
        int lastIteration = 0;
        ui.onYield = [&] {
            const int iteration = app.minimization.counters.iterationCount;
            if (window() && iteration > 0 && iterationsNoted(window()->progressText()) == iteration)
                shown.push_back(iteration);
            lastIteration = std::max(lastIteration, iteration);
        };
        ui.answer(Answer::No);
        pressSimplex();
        // Two calls per iteration (reflection, contraction) after the two of the initial simplex:
        // iteration 20 passes 40.
        ASSERT_EQ(lastIteration, 20);
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(window()->initialText().empty(), c.frequency == 0);
        // Stopping shows the last iteration unless it was just shown.
        EXPECT_EQ(iterationsNoted(window()->progressText()), c.frequency == 0 ? 0 : 20);
    }
}

TEST_F(EndlessRun, ARecordIsLoggedAfterTheFirstIterationAndThenEveryFileFrequency)
{
    struct Case {
        std::int16_t frequency;
        std::vector<int> logged;
    };
    const Case cases[] = {{5, {1, 6, 11, 16}}, {10, {1, 11}}, {0, {}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frequency);
        openLog();
        app.algorithm.options.fileFrequency = c.frequency;
        app.algorithm.paramValues[2] = 0.0;
        app.session.simplexBuilt = false;
        ui.answer(Answer::No);
        pressSimplex();
        app.minimizationLog.close();

        const std::string log = logText();
        std::vector<int> logged;
        static const std::regex note("\r\nNote: (\\d+) iterations");
        for (auto it = std::sregex_iterator(log.begin(), log.end(), note); it != std::sregex_iterator(); ++it)
            logged.push_back(std::stoi((*it)[1]));
        EXPECT_EQ(logged, c.logged);
        EXPECT_EQ(log.find("Initial parameter values:") != std::string::npos, c.frequency != 0);
    }
}

// ---- maxCalls -----------------------------------------------------------------------------------

TEST_F(EndlessRun, AtMaxCallsTheUserStopsOrGoesOnWithTheCountFromZero)
{
    struct Case {
        std::vector<Answer> answers;
    };
    const Case cases[] = {
        {{Answer::No}}, {{Answer::Yes, Answer::No}}, {{Answer::Yes, Answer::Yes, Answer::No}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answers.size());
        app.algorithm.paramValues[2] = 0.0;
        app.session.simplexBuilt = false;
        model.calls.clear();
        const std::size_t messagesBefore = ui.messages().size();
        std::string panelOneAfterNo;
        ui.onYield = [&] { panelOneAfterNo = panel(1); };
        for (Answer a : c.answers)
            ui.answer(a);

        pressSimplex();

        const auto messages = ui.messages();
        ASSERT_EQ(messages.size() - messagesBefore, c.answers.size());
        for (std::size_t i = messagesBefore; i < messages.size(); ++i) {
            EXPECT_EQ(messages[i].text, "Maximum number of function calls reached, do you want to continue?");
            EXPECT_EQ(messages[i].title, "Simplex minimization");
            EXPECT_EQ(messages[i].buttons, Buttons::YesNo);
            EXPECT_EQ(messages[i].icon, Icon::Question);
        }
        // Each answer Yes starts the call codes again at 1; each stretch passes maxCalls.
        std::vector<std::int32_t> stretchEnds;
        const std::vector<std::int32_t> codes = callCodes();
        for (std::size_t i = 0; i < codes.size(); ++i) {
            if (i + 1 == codes.size() || codes[i + 1] == 1)
                stretchEnds.push_back(codes[i]);
            if (i + 1 < codes.size() && codes[i + 1] != 1) {
                EXPECT_EQ(codes[i + 1], codes[i] + 1);
            }
        }
        ASSERT_EQ(stretchEnds.size(), c.answers.size());
        for (std::int32_t end : stretchEnds) {
            EXPECT_GT(end, 40);
            EXPECT_LE(end, 42);
        }
        EXPECT_EQ(panelOneAfterNo, "One moment please...");
        // Unverified, the best vertex is written back.
        const SimplexState& s = simplex();
        EXPECT_EQ(app.algorithm.paramValues[2], s.vertices[static_cast<std::size_t>(s.bestVertex)][1]);
        EXPECT_NEAR(app.algorithm.paramValues[2], 1.0, 1e-6);
    }
}

// ---- Interrupts ---------------------------------------------------------------------------------

// A two-parameter bowl that takes many iterations; the stop button is pressed at the yield of
// iteration 3.
class InterruptedRun : public SimplexSession {
protected:
    InterruptedRun()
    {
        setParameters({{0, 1}, {0, 1}});
        model.objective = bowl({0, 3, -2});
        app.algorithm.options.convergenceTolerance = 1e-10;
        ui.onYield = [this] {
            if (!pressed && app.minimization.counters.iterationCount == 3 && window()) {
                pressed = true;
                window()->cmdStop_Click();
                buttonEnabledAfterPress = window()->stopButton().enabled;
                panelOneAfterPress = panel(1);
            }
        };
    }

    std::vector<std::string> messageTexts() const
    {
        std::vector<std::string> texts;
        for (const auto& m : ui.messages())
            texts.push_back(m.text);
        return texts;
    }

    bool pressed = false;
    bool buttonEnabledAfterPress = true;
    std::string panelOneAfterPress;
};

const char* const quitMinimizing = "Interrupt received. Do you want to quit minimizing?";
const char* const quitProfile = "Interrupt received. Do you want to quit the ML procedure?";
const char* const nextPoint = "Do you want to continue starting with the NEXT point?";

TEST_F(InterruptedRun, TheStopButtonAsksWhetherToQuit)
{
    struct Case {
        Answer answer;
        bool stops;
    };
    for (const Case c : {Case{Answer::Yes, true}, Case{Answer::No, false}}) {
        SCOPED_TRACE(c.stops);
        pressed = false;
        app.algorithm.paramValues = {0, 0, 0};
        app.session.simplexBuilt = false;
        const std::size_t before = ui.messages().size();
        ui.answer(c.answer);
        if (!c.stops)
            ui.answer(Answer::OK);

        pressSimplex();

        ASSERT_TRUE(pressed);
        EXPECT_FALSE(buttonEnabledAfterPress);
        EXPECT_EQ(panelOneAfterPress, "Interrupt pending...");
        const auto messages = ui.messages();
        ASSERT_GT(messages.size(), before);
        EXPECT_EQ(messages[before].text, quitMinimizing);
        EXPECT_EQ(messages[before].title, "Simplex interrupt");
        EXPECT_EQ(messages[before].buttons, Buttons::YesNo);
        EXPECT_EQ(messages[before].icon, Icon::Question);
        EXPECT_EQ(messages.back().text, c.stops ? quitMinimizing : minimumMessage);
        EXPECT_EQ(app.minimization.counters.iterationCount > 3, !c.stops);
        EXPECT_FALSE(app.minimization.interruptRequested);
        EXPECT_TRUE(window()->stopButton().enabled);
        const SimplexState& s = simplex();
        EXPECT_EQ(app.algorithm.paramValues[1], s.vertices[static_cast<std::size_t>(s.bestVertex)][1]);
        EXPECT_EQ(app.algorithm.paramValues[2], s.vertices[static_cast<std::size_t>(s.bestVertex)][2]);
    }
}

TEST_F(InterruptedRun, DuringAProfileTheUserQuitsTheProfileThePointOrNeither)
{
    struct Case {
        std::vector<Answer> answers;
        std::vector<std::string> questions;
        SimplexEnd end;
        bool skipProfile;
    };
    const Case cases[] = {
        {{Answer::Yes}, {quitProfile}, SimplexEnd::Interrupted, true},
        {{Answer::No, Answer::Yes}, {quitProfile, nextPoint}, SimplexEnd::Interrupted, false},
        {{Answer::No, Answer::No}, {quitProfile, nextPoint}, SimplexEnd::Verified, false},
    };
    app.session.profileRunning = true;
    app.session.pinnedParam = 2;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.questions.size());
        pressed = false;
        app.algorithm.paramValues = {0, 0, 0};
        app.session.simplexBuilt = false;
        app.minimization.simplex.profileSkipRequested = false;
        const std::size_t before = ui.messages().size();
        for (Answer a : c.answers)
            ui.answer(a);

        EXPECT_EQ(runDirectly(), c.end);

        const auto messages = ui.messages();
        ASSERT_EQ(messages.size() - before, c.questions.size()); // no minimum message in a profile
        for (std::size_t i = 0; i < c.questions.size(); ++i)
            EXPECT_EQ(messages[before + i].text, c.questions[i]);
        if (c.questions.size() == 2) {
            EXPECT_EQ(messages[before + 1].defaultButton, DefaultButton::Second);
        }
        EXPECT_EQ(app.minimization.simplex.profileSkipRequested, c.skipProfile);
    }
}

// ---- Failures -----------------------------------------------------------------------------------

TEST_F(SimplexRun, ARelativeToleranceAtAMinimumOfZeroIsADivisionByZero)
{
    app.algorithm.options.convergenceTolerance = -1e-3; // vertex 2 of the first simplex is exactly 0
    ui.answer(Answer::OK);
    pressSimplex();

    ASSERT_EQ(ui.messages().size(), 1u);
    const auto message = ui.messages()[0];
    EXPECT_EQ(message.text, "A function value of zero has caused a division by zero error.\n"
                            "Reset the tolerance to ABSolute or otherwise correct model");
    EXPECT_EQ(message.title, "Simplex error");
    EXPECT_EQ(message.buttons, Buttons::OK);
    EXPECT_EQ(message.icon, Icon::CriticalInformation);
    EXPECT_EQ(app.algorithm.paramValues, (std::vector<double>{0.0, 7.0, 0.0}));
    EXPECT_EQ(model.calls.size(), 4u); // the initial simplex and one iteration
    for (int p = 1; p <= 4; ++p)
        EXPECT_EQ(panel(p), "") << p;
    EXPECT_NE(app.mainMenu(), nullptr);
}

TEST_F(SimplexRun, ARelativeToleranceConvergesAwayFromZero)
{
    model.objective = bowl({0.0, 7.0, 1.0}, 2.0);
    app.algorithm.options.convergenceTolerance = -1e-9;
    ui.answer(Answer::OK);
    pressSimplex();
    EXPECT_EQ(ui.messages().back().text, minimumMessage);
    EXPECT_NEAR(app.algorithm.paramValues[2], 1.0, 1e-3);
}

TEST_F(SimplexSession, WithEveryStepZeroThereIsNothingToDo)
{
    setParameters({{1, 0}, {2, 0, "A"}, {3, 5, "A"}}); // the follower's step goes with the fusion
    ui.answer(Answer::OK);
    pressSimplex();

    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, "All step sizes are zero");
    EXPECT_EQ(ui.messages()[0].title, "There is nothing to do!");
    EXPECT_EQ(ui.messages()[0].icon, Icon::Exclamation);
    EXPECT_TRUE(model.calls.empty());
    EXPECT_EQ(window(), nullptr);
    EXPECT_NE(app.mainMenu(), nullptr);
    EXPECT_TRUE(app.mainMenu()->button(menuButton::simplex).enabled);
    EXPECT_TRUE(app.mainWindow.findMenu("mnuApplication")->enabled);
    EXPECT_FALSE(app.minimization.simplexRunning);
}

// f = (x - 3)^2 below x = 2 and no finite value from 2 on: the simplex climbs to the edge but
// never takes a point beyond it.
TEST_F(SimplexRun, ANonFiniteRegionIsNeverAccepted)
{
    app.algorithm.options.convergenceTolerance = 1e-9;
    for (const double bad : {nan, infinity, -infinity}) {
        SCOPED_TRACE(bad);
        model.objective = [bad](const std::vector<double>& v) {
            return v[2] < 2.0 ? (v[2] - 3) * (v[2] - 3) : bad;
        };
        app.algorithm.paramValues[2] = 0.0;
        app.session.simplexBuilt = false;
        model.calls.clear();
        ui.answer(Answer::OK);

        pressSimplex();

        EXPECT_EQ(ui.messages().back().text, minimumMessage);
        const auto probedBeyond = std::count_if(model.calls.begin(), model.calls.end(),
                                                [](const auto& call) { return call.vector[2] >= 2.0; });
        EXPECT_GT(probedBeyond, 0);
        for (std::size_t v = 1; v <= 2; ++v) {
            EXPECT_LT(simplex().vertices[v][1], 2.0);
            EXPECT_TRUE(std::isfinite(simplex().values[v]));
        }
        EXPECT_LT(app.algorithm.paramValues[2], 2.0);
        EXPECT_GT(app.algorithm.paramValues[2], 1.9); // the axial probes push it to the edge
    }
}

TEST_F(SimplexRun, ANonFiniteStartIsRefusedWithTheParameterValues)
{
    model.objective = [](const std::vector<double>&) { return nan; };
    model.failure = "the growth variance is negative";
    app.session.simplexBuilt = true; // even a stored simplex of another size is not trusted
    ui.answer(Answer::OK);
    pressSimplex();

    ASSERT_EQ(ui.messages().size(), 1u);
    const auto message = ui.messages()[0];
    EXPECT_EQ(message.text, "The objective function has no finite value at the starting point (the growth "
                            "variance is negative), so the Simplex cannot start.\n"
                            "\n"
                            "Parameter values:\n"
                            "\n"
                            "    001)  7.0000000E+00  ~~  Recruitment\n"
                            "    002)  0.0000000E+00  ~~  Growth\n");
    EXPECT_EQ(message.title, "Simplex minimization");
    EXPECT_EQ(message.icon, Icon::Exclamation);
    EXPECT_EQ(model.calls.size(), 1u);
    EXPECT_EQ(app.algorithm.paramValues, (std::vector<double>{0.0, 7.0, 0.0}));
    EXPECT_FALSE(app.session.simplexBuilt);
    for (int p = 1; p <= 4; ++p)
        EXPECT_EQ(panel(p), "") << p;
    EXPECT_NE(app.mainMenu(), nullptr);
}

TEST_F(SimplexRun, ASimplexWithoutAnyFiniteVertexStopsNamingTheBestVertex)
{
    // As in the restart test: the probe at 1.03 fails the verification; from the rebuilt simplex
    // (calls 6 and 7) on the model has no finite value any more.
    model.objective = [this](const std::vector<double>& v) {
        return model.calls.size() >= 6 ? nan : (v[2] - 5) * (v[2] - 5);
    };
    app.algorithm.paramSteps[2] = 0.01;
    app.algorithm.options.convergenceTolerance = 0.25;
    app.algorithm.options.stepReductionFraction = 100;
    ui.answer(Answer::OK);
    pressSimplex();

    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text,
              "The objective function has no finite value at any vertex of the simplex, so "
              "the Simplex stops.\n"
              "\n"
              "Parameter values of the best vertex:\n"
              "\n"
              "    001)  7.0000000E+00  ~~  Recruitment\n"
              "    002)  1.0300000E+00  ~~  Growth\n");
    EXPECT_EQ(model.calls.size(), 10u); // then one iteration: reflection, contraction, reduction
    EXPECT_EQ(app.algorithm.paramValues, (std::vector<double>{0.0, 7.0, 0.0}));
    EXPECT_FALSE(app.session.simplexBuilt);
}

} // namespace
} // namespace orvanta
