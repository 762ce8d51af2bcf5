#include "minimize/ObjectiveEvaluation.h"

#include "FakeModel.h"
#include "app/Application.h"
#include "support/FakeClock.h"
#include "support/ScriptedUi.h"
#include "text/TextFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace orvanta {
namespace {

using testing::FakeClock;
using testing::FakeModel;
using testing::ScriptedUi;

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double infinity = std::numeric_limits<double>::infinity();

// Four parameters; 2 and 4 share the code "A", so 4 follows 2.
class ObjectiveEvaluation : public ::testing::Test {
protected:
    ObjectiveEvaluation()
    {
        AlgorithmData& data = app.algorithm;
        data.paramCount = 4;
        data.paramValues = {0, 1.0, 2.0, 3.0, 4.0};
        data.paramSteps = {0, 0.1, 0.2, 0.0, 0.0};
        data.fuseCodes = {"", "~~", "A", "~~", "A"};
        data.paramDescriptions = {"", "a", "b", "c", "d"};
        buildFuseGroups(data);
        buildFreeIndex(data);
        app.setModel(&model);
        // The sum of the values, so that the result depends on the vector the model saw.
        model.objective = [](const std::vector<double>& v) { return v[1] + v[2] + v[3] + v[4]; };
    }

    ScriptedUi ui;
    FakeClock clock;
    Application app{ui, clock, realFileSystem()};
    FakeModel model;
};

TEST_F(ObjectiveEvaluation, AppliesTheFuseGroupsThenCallsTheModelWithTheCallCode)
{
    for (const std::int32_t nf : {1, 7, -1}) {
        model.calls.clear();
        std::vector<double> trial = {0, 1.5, 2.5, 3.5, 9.0};
        const double objective = evaluateObjective(app, trial, nf);
        ASSERT_EQ(model.calls.size(), 1u);
        EXPECT_EQ(model.calls[0].nf, nf);
        // The follower took its leader's value before the model saw the vector.
        EXPECT_EQ(model.calls[0].vector, (std::vector<double>{0, 1.5, 2.5, 3.5, 2.5}));
        EXPECT_EQ(trial[4], 2.5);
        EXPECT_EQ(objective, 1.5 + 2.5 + 3.5 + 2.5);
    }
}

TEST_F(ObjectiveEvaluation, KeepsWhatTheModelRewritesInTheVector)
{
    model.rewrite = [](std::vector<double>& v) { v[1] = std::fabs(v[1]); };
    std::vector<double> trial = {0, -1.5, 2.0, 3.0, 2.0};
    const double objective = evaluateObjective(app, trial, 1);
    EXPECT_EQ(trial[1], 1.5);
    EXPECT_EQ(objective, 1.5 + 2.0 + 3.0 + 2.0);
}

TEST_F(ObjectiveEvaluation, AddsThePriorPenaltyOfTheVectorAsTheModelLeftItOnlyWhilePriorsAreActive)
{
    std::vector<std::vector<double>> penalized;
    app.priorHooks.penalty = [&](const std::vector<double>& v) {
        penalized.push_back(v);
        return 10.0 * v[1];
    };
    model.rewrite = [](std::vector<double>& v) { v[1] = std::fabs(v[1]); };

    std::vector<double> trial = {0, -0.5, 2.0, 3.0, 2.0};
    EXPECT_EQ(evaluateObjective(app, trial, 1), 0.5 + 2.0 + 3.0 + 2.0);
    EXPECT_TRUE(penalized.empty());

    app.session.priorsActive = true;
    trial = {0, -0.5, 2.0, 3.0, 2.0};
    EXPECT_EQ(evaluateObjective(app, trial, 1), 0.5 + 2.0 + 3.0 + 2.0 + 5.0);
    ASSERT_EQ(penalized.size(), 1u);
    EXPECT_EQ(penalized[0][1], 0.5);
}

TEST_F(ObjectiveEvaluation, ActivePriorsWithoutThePriorsSubsystemAddNothing)
{
    app.session.priorsActive = true;
    std::vector<double> trial = {0, 1.0, 2.0, 3.0, 2.0};
    EXPECT_EQ(evaluateObjective(app, trial, 1), 8.0);
}

TEST_F(ObjectiveEvaluation, ARunningProfileOrIntegrationKeepsThePinnedFollowerAtItsOwnValue)
{
    struct Case {
        bool profileRunning;
        bool bayesRunning;
        double expectedFollower;
    };
    const Case cases[] = {
        {false, false, 2.5},
        {true, false, 9.0},
        {false, true, 9.0},
    };
    app.session.pinnedParam = 4;
    for (const Case& c : cases) {
        app.session.profileRunning = c.profileRunning;
        app.session.bayesRunning = c.bayesRunning;
        std::vector<double> trial = {0, 1.5, 2.5, 3.5, 9.0};
        evaluateObjective(app, trial, 1);
        EXPECT_EQ(model.calls.back().vector[4], c.expectedFollower)
            << "profile " << c.profileRunning << ", integration " << c.bayesRunning;
    }
}

TEST_F(ObjectiveEvaluation, CountedEvaluationsPassTheRunningCallCount)
{
    std::vector<double> trial = {0, 1.0, 2.0, 3.0, 2.0};
    evaluateCounted(app, trial);
    evaluateCounted(app, trial);
    evaluateCounted(app, trial);
    EXPECT_EQ(app.minimization.counters.callCount, 3);

    app.minimization.counters.callCount = 0; // a new run
    evaluateCounted(app, trial);
    ASSERT_EQ(model.calls.size(), 4u);
    EXPECT_EQ(model.calls[0].nf, 1);
    EXPECT_EQ(model.calls[1].nf, 2);
    EXPECT_EQ(model.calls[2].nf, 3);
    EXPECT_EQ(model.calls[3].nf, 1);
}

TEST_F(ObjectiveEvaluation, TheCallCountStopsAtItsLargestValue)
{
    constexpr std::int32_t largest = std::numeric_limits<std::int32_t>::max();
    app.minimization.counters.callCount = largest - 1;
    std::vector<double> trial = {0, 1.0, 2.0, 3.0, 2.0};
    evaluateCounted(app, trial);
    evaluateCounted(app, trial);
    EXPECT_EQ(model.calls[0].nf, largest);
    EXPECT_EQ(model.calls[1].nf, largest);
    EXPECT_EQ(app.minimization.counters.callCount, largest);
}

TEST_F(ObjectiveEvaluation, ANonFiniteObjectiveIsReturnedAsItIsWithItsReason)
{
    model.objective = [](const std::vector<double>&) { return nan; };
    model.failure = "increment record 3: k + annual cycle in k is not positive";
    app.session.priorsActive = true;
    app.priorHooks.penalty = [](const std::vector<double>&) { return 4.0; };
    std::vector<double> trial = {0, 1.0, 2.0, 3.0, 2.0};
    const double objective = evaluateObjective(app, trial, 1);
    EXPECT_TRUE(std::isnan(objective));
    EXPECT_FALSE(isFiniteObjective(objective));
    EXPECT_EQ(objectiveFailureText(app), "increment record 3: k + annual cycle in k is not positive");
}

TEST_F(ObjectiveEvaluation, TheReasonForANonFiniteObjectiveNamesThePartThatFailed)
{
    std::vector<double> trial = {0, 1.0, 2.0, 3.0, 2.0};

    // The model's value is finite; the penalty is not.
    app.session.priorsActive = true;
    app.priorHooks.penalty = [](const std::vector<double>&) { return infinity; };
    EXPECT_EQ(evaluateObjective(app, trial, 1), infinity);
    EXPECT_EQ(objectiveFailureText(app), "the prior penalty is not finite");

    // The model gives no value and no reason.
    app.session.priorsActive = false;
    model.objective = [](const std::vector<double>&) { return -infinity; };
    EXPECT_EQ(evaluateObjective(app, trial, 1), -infinity);
    EXPECT_EQ(objectiveFailureText(app), "an intermediate result overflowed or was undefined");
}

TEST_F(ObjectiveEvaluation, WithoutAModelTheObjectiveIsNaN)
{
    app.setModel(nullptr);
    std::vector<double> trial = {0, 1.0, 2.0, 3.0, 9.0};
    EXPECT_TRUE(std::isnan(evaluateObjective(app, trial, 1)));
    EXPECT_EQ(trial[4], 2.0); // the fuse groups were still applied
    EXPECT_EQ(objectiveFailureText(app), "no model is connected");
}

TEST(IsFiniteObjective, OnlyNumbersCount)
{
    struct Case {
        double value;
        bool finite;
    };
    const Case cases[] = {
        {0.0, true},  {-1234.5, true},   {std::numeric_limits<double>::max(), true},
        {nan, false}, {infinity, false}, {-infinity, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(isFiniteObjective(c.value), c.finite) << c.value;
}

} // namespace
} // namespace orvanta
