#include "minimize/AxialVerification.h"

#include "SimplexFixture.h"

namespace orvanta {
namespace {

using testing::SimplexSession;

// Parameters 1 and 3 free (steps 1 and 2), parameter 2 frozen at 9; a simplex set by hand with
// its best vertex at (0, 0). Probes go 0.1 x step to either side.
class AxialVerification : public SimplexSession {
protected:
    AxialVerification()
    {
        setParameters({{0.0, 1.0, "~~", "Alpha"}, {9.0, 0.0, "~~", "Frozen"}, {0.0, 2.0, "~~", "Gamma"}});
        buildFuseGroups(app.algorithm);
        buildFreeIndex(app.algorithm);
    }

    double objectiveAt(double x1, double x3) const { return model.objective({0.0, x1, 9.0, x3}); }

    // Vertices 1..3 as given, valued by the model's objective without counting, then ranked.
    void setSimplex(std::vector<std::pair<double, double>> vertices)
    {
        SimplexState& s = app.minimization.simplex;
        s.vertices.assign(5, std::vector<double>(3, 0.0));
        s.values.assign(4, 0.0);
        for (std::size_t v = 1; v <= 3; ++v) {
            s.vertices[v] = {0.0, vertices[v - 1].first, vertices[v - 1].second};
            s.values[v] = objectiveAt(vertices[v - 1].first, vertices[v - 1].second);
        }
        rankSimplex(s, 2);
        app.minimization.counters = {};
    }

    // The probed points (x1, x3) in call order.
    std::vector<std::pair<double, double>> probedPoints(std::size_t count) const
    {
        std::vector<std::pair<double, double>> points;
        for (std::size_t i = 0; i < count && i < model.calls.size(); ++i)
            points.emplace_back(model.calls[i].vector[1], model.calls[i].vector[3]);
        return points;
    }

    const std::string failureText = "Last failure of convergence verification caused by parameter # ";
};

TEST(AxialThreshold, AbsoluteIsTheToleranceRelativeScalesWithTheMinimumsMagnitude)
{
    struct Case {
        double tolerance;
        double fmin;
        double threshold;
    };
    const Case cases[] = {
        {1e-3, 250.0, 1e-3},   {0.0, 250.0, 0.0}, {-1e-3, 250.0, 0.25},
        {-1e-3, -250.0, 0.25}, {-1e-3, 0.0, 0.0}, {2.0, -5.0, 2.0},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(axialThreshold(c.tolerance, c.fmin), c.threshold) << c.tolerance << " " << c.fmin;
}

TEST(AxialProbeText, CountsTheProbesOfBothSides)
{
    EXPECT_EQ(axialProbeText(1, 2), "Axial function call 1 of 4");
    EXPECT_EQ(axialProbeText(37, 600), "Axial function call 37 of 1200");
}

TEST_F(AxialVerification, StopsAtTheFirstBetterProbeAndNamesItsParameter)
{
    struct Case {
        const char* name;
        std::function<double(const std::vector<double>&)> objective;
        std::vector<std::pair<double, double>> probes; // up to and including the failing one
        int parameter;
        std::pair<double, double> betterPoint;
    };
    const Case cases[] = {
        {"x1 up",
         [](const std::vector<double>& v) { return (v[1] - 1) * (v[1] - 1) + (v[3] - 1) * (v[3] - 1); },
         {{0.1, 0.0}},
         1,
         {0.1, 0.0}},
        {"x1 down",
         [](const std::vector<double>& v) { return (v[1] + 1) * (v[1] + 1) + (v[3] - 1) * (v[3] - 1); },
         {{0.1, 0.0}, {-0.1, 0.0}},
         1,
         {-0.1, 0.0}},
        {"x3 up",
         [](const std::vector<double>& v) { return v[1] * v[1] + (v[3] - 1) * (v[3] - 1); },
         {{0.1, 0.0}, {-0.1, 0.0}, {0.0, 0.2}},
         3,
         {0.0, 0.2}},
        {"x3 down",
         [](const std::vector<double>& v) { return v[1] * v[1] + (v[3] + 1) * (v[3] + 1); },
         {{0.1, 0.0}, {-0.1, 0.0}, {0.0, 0.2}, {0.0, -0.2}},
         3,
         {0.0, -0.2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        model.objective = c.objective;
        model.calls.clear();
        setSimplex({{0.0, 0.0}, {3.0, 0.0}, {0.0, 4.0}});
        ASSERT_EQ(simplex().bestVertex, 1);
        EXPECT_EQ(verifyConvergence(app), Verification::Restarted);
        const std::size_t probeCount = c.probes.size();
        ASSERT_EQ(model.calls.size(), probeCount + 3); // the probes, then the three rebuilt vertices
        const auto probed = probedPoints(probeCount);
        for (std::size_t i = 0; i < probeCount; ++i) {
            EXPECT_DOUBLE_EQ(probed[i].first, c.probes[i].first) << i;
            EXPECT_DOUBLE_EQ(probed[i].second, c.probes[i].second) << i;
            EXPECT_EQ(model.calls[i].vector[2], 9.0);
        }
        EXPECT_EQ(panel(3), failureText + std::to_string(c.parameter));
        EXPECT_DOUBLE_EQ(simplex().reflectPoint[1], c.betterPoint.first);
        EXPECT_DOUBLE_EQ(simplex().reflectPoint[2], c.betterPoint.second);
        EXPECT_EQ(app.minimization.counters.restartCount, 1);
    }
    EXPECT_TRUE(ui.messages().empty());
}

TEST_F(AxialVerification, ARestartRebuildsTheSimplexAroundTheBetterPoint)
{
    model.objective = [](const std::vector<double>& v) { return v[1] * v[1] + (v[3] - 1) * (v[3] - 1); };
    std::vector<std::string> probePanels;
    model.duringCall = [&] { probePanels.push_back(panel(2)); };
    setSimplex({{0.0, 0.0}, {1.0, 0.0}, {0.0, 2.0}});
    ASSERT_EQ(simplex().bestVertex, 1);

    EXPECT_EQ(verifyConvergence(app), Verification::Restarted);

    // Vertex 1 at the better point; the others keep their coordinates but one, moved by 0.1 x step.
    const auto& v = simplex().vertices;
    EXPECT_DOUBLE_EQ(v[1][1], 0.0);
    EXPECT_DOUBLE_EQ(v[1][2], 0.2);
    EXPECT_DOUBLE_EQ(v[2][1], 1.1);
    EXPECT_DOUBLE_EQ(v[2][2], 0.0);
    EXPECT_DOUBLE_EQ(v[3][1], 0.0);
    EXPECT_DOUBLE_EQ(v[3][2], 2.2);
    EXPECT_DOUBLE_EQ(simplex().values[1], 0.64);
    EXPECT_DOUBLE_EQ(simplex().values[2], 2.21);
    EXPECT_DOUBLE_EQ(simplex().values[3], 1.44);
    EXPECT_EQ(simplex().bestVertex, 1);
    EXPECT_EQ(simplex().worstVertex, 2);

    // Three probes and three rebuilt vertices, each counted.
    EXPECT_EQ(callCodes(), (std::vector<std::int32_t>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(app.minimization.counters.callCount, 6);
    EXPECT_EQ(probePanels[0], "");
    EXPECT_EQ(probePanels[1], "Axial function call 1 of 4");
    EXPECT_EQ(probePanels[2], "Axial function call 2 of 4");
    EXPECT_EQ(panel(1), "");
    EXPECT_EQ(panel(2), " ");
    EXPECT_EQ(panel(3), failureText + "3");
    EXPECT_EQ(panel(4), "");
}

TEST_F(AxialVerification, ABestVertexOtherThanTheFirstKeepsTheFailingProbesDisplacement)
{
    model.objective = [](const std::vector<double>& v) { return v[1] * v[1] + (v[3] - 1) * (v[3] - 1); };
    setSimplex({{1.0, 0.0}, {0.0, 0.0}, {0.5, 2.0}});
    ASSERT_EQ(simplex().bestVertex, 2);

    EXPECT_EQ(verifyConvergence(app), Verification::Restarted);

    const auto& v = simplex().vertices;
    EXPECT_DOUBLE_EQ(v[1][1], 0.0); // the better point
    EXPECT_DOUBLE_EQ(v[1][2], 0.2);
    EXPECT_DOUBLE_EQ(v[2][1], 0.1); // the old best, probe displacement kept, then moved along x1
    EXPECT_DOUBLE_EQ(v[2][2], 0.2);
    EXPECT_DOUBLE_EQ(v[3][1], 0.5);
    EXPECT_DOUBLE_EQ(v[3][2], 2.2);
}

TEST_F(AxialVerification, FromTheSecondRestartOnPanelFourWarnsOfATuningProblem)
{
    model.objective = [](const std::vector<double>& v) { return v[1] * v[1] + (v[3] - 1) * (v[3] - 1); };
    setSimplex({{0.0, 0.0}, {1.0, 0.0}, {0.0, 2.0}});
    EXPECT_EQ(verifyConvergence(app), Verification::Restarted);
    EXPECT_EQ(panel(4), "");
    EXPECT_EQ(verifyConvergence(app), Verification::Restarted);
    EXPECT_EQ(app.minimization.counters.restartCount, 2);
    EXPECT_EQ(panel(4), "Multiple restarts indicate a tuning problem!");
    EXPECT_DOUBLE_EQ(simplex().vertices[1][2], 0.4);
}

TEST_F(AxialVerification, AProbeMustBeatTheMinimumByMoreThanTheTolerance)
{
    // The upward probe of parameter 3 improves the minimum by 1e-4.
    struct Case {
        double floor;
        double tolerance;
        Verification outcome;
    };
    const Case cases[] = {
        {0.0, 1e-3, Verification::Verified},     {0.0, 1e-5, Verification::Restarted},
        {0.0, 0.0, Verification::Restarted},     {10.0, -1e-4, Verification::Verified},
        {10.0, -1e-6, Verification::Restarted},  {-10.0, -1e-4, Verification::Verified},
        {-10.0, -1e-6, Verification::Restarted},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.floor) + " " + std::to_string(c.tolerance));
        model.objective = [floor = c.floor](const std::vector<double>& v) {
            return floor + v[1] * v[1] + v[3] * v[3] - 0.2005 * v[3];
        };
        app.algorithm.options.convergenceTolerance = c.tolerance;
        setSimplex({{0.0, 0.0}, {1.0, 0.0}, {0.0, 2.0}});
        if (c.outcome == Verification::Verified)
            ui.answer(Answer::OK);
        EXPECT_EQ(verifyConvergence(app), c.outcome);
    }
}

TEST_F(AxialVerification, AVerifiedMinimumIsShownLoggedAndAnnounced)
{
    openLog();
    app.algorithm.options.fileFrequency = 1;
    app.minimization.interruptRequested = true;
    model.objective = [](const std::vector<double>& v) { return 3.0 + v[1] * v[1] + v[3] * v[3]; };
    setSimplex({{0.0, 0.0}, {1.0, 0.0}, {0.0, 2.0}});
    app.minimization.counters.iterationCount = 12;
    for (int p = 1; p <= 4; ++p)
        app.mainWindow.setPanel(statusBar::messages, p, "busy");
    ui.answer(Answer::OK);

    EXPECT_EQ(verifyConvergence(app), Verification::Verified);

    ASSERT_NE(window(), nullptr);
    EXPECT_EQ(window()->progressText(),
              "\n"
              "Minimum of 3. found at these 2 adjusted parameter values:\n"
              "\n"
              "    001)  0.0000000E+00  ~~  Alpha\n"
              "    003)  0.0000000E+00  ~~  Gamma\n"
              "\n"
              "This result required 12 iterations, 4 function calls, and 0 restarts\n");
    EXPECT_EQ(logText(), withCrLf("\n\n"
                                  "Minimum of 3. found at these 2 adjusted parameter values:\n"
                                  "\n"
                                  "    001)  0.0000000E+00    003)  0.0000000E+00\n"
                                  "\n"
                                  "This result required 12 iterations, 4 function calls, and 0 restarts\n"
                                  "\n"));
    ASSERT_EQ(ui.messages().size(), 1u);
    const auto message = ui.messages()[0];
    EXPECT_EQ(message.text, "Minimum found using Simplex!");
    EXPECT_EQ(message.title, "Simplex minimum");
    EXPECT_EQ(message.buttons, Buttons::OK);
    EXPECT_EQ(message.icon, Icon::CriticalInformation);
    EXPECT_FALSE(app.minimization.interruptRequested);
    for (int p = 1; p <= 4; ++p)
        EXPECT_EQ(panel(p), "") << p;
    // Every probe went back: the best vertex is where it was.
    EXPECT_EQ(simplex().vertices[1], (std::vector<double>{0.0, 0.0, 0.0}));
    EXPECT_EQ(callCodes(), (std::vector<std::int32_t>{1, 2, 3, 4}));
}

TEST_F(AxialVerification, AVerifiedMinimumProducesThePriorReviewWhilePriorsAreActive)
{
    int reviews = 0;
    app.priorHooks.produceReview = [&](const std::vector<double>&) { ++reviews; };
    model.objective = [](const std::vector<double>& v) { return v[1] * v[1] + v[3] * v[3]; };
    for (const bool active : {false, true}) {
        app.session.priorsActive = active;
        setSimplex({{0.0, 0.0}, {1.0, 0.0}, {0.0, 2.0}});
        ui.answer(Answer::OK);
        EXPECT_EQ(verifyConvergence(app), Verification::Verified);
        EXPECT_EQ(reviews, active ? 1 : 0);
    }
}

TEST_F(AxialVerification, DuringAProfileAVerifiedMinimumEndsSilently)
{
    openLog();
    app.algorithm.options.fileFrequency = 1;
    app.session.profileRunning = true;
    model.objective = [](const std::vector<double>& v) { return v[1] * v[1] + v[3] * v[3]; };
    openSimplexWindow(app, 2).setProgressText("earlier progress");
    setSimplex({{0.0, 0.0}, {1.0, 0.0}, {0.0, 2.0}});

    EXPECT_EQ(verifyConvergence(app), Verification::Verified);

    EXPECT_EQ(window()->progressText(), "earlier progress");
    EXPECT_EQ(logText(), "");
    EXPECT_TRUE(ui.messages().empty());
    EXPECT_EQ(model.calls.size(), 4u);
}

} // namespace
} // namespace orvanta
