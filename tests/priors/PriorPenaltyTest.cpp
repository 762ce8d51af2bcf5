#include "priors/PriorTools.h"

#include "PriorTestSupport.h"
#include "app/Application.h"
#include "minimize/FakeModel.h"
#include "minimize/ObjectiveEvaluation.h"
#include "support/FakeClock.h"
#include "support/ScriptedUi.h"
#include "text/TextFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace orvanta {
namespace {

using testing::prior;

// Two free parameters with a Gaussian prior on the first; the model's objective is the sum of
// the values and it cleans the first value to its magnitude, as a real model may.
class PriorPenalty : public ::testing::Test {
protected:
    PriorPenalty()
    {
        AlgorithmData& data = app.algorithm;
        data.paramCount = 2;
        data.paramValues = {0, 5.0, 7.0};
        data.paramSteps = {0, 0.1, 0.1};
        data.fuseCodes = {"", "~~", "~~"};
        data.paramDescriptions = {"", "a", "b"};
        buildFuseGroups(data);
        buildFreeIndex(data);
        app.setModel(&model);
        model.objective = [](const std::vector<double>& v) { return v[1] + v[2]; };
        model.rewrite = [](std::vector<double>& v) { v[1] = std::fabs(v[1]); };
        installPriors(app);
        app.priors = {PriorSpec{}, prior("N", 1, 2), PriorSpec{}};
    }

    double evaluateAt(double first)
    {
        std::vector<double> vector = {0, first, 7.0};
        return evaluateObjective(app, vector, 1);
    }

    testing::ScriptedUi ui;
    testing::FakeClock clock;
    Application app{ui, clock, realFileSystem()};
    testing::FakeModel model;
};

TEST_F(PriorPenalty, IsAddedOnlyWhilePriorsAreActive)
{
    app.session.covScale = 1.0;
    EXPECT_EQ(evaluateAt(5.0), 12.0);
    EXPECT_TRUE(app.priorResults.priorTerm.empty()) << "no prior was evaluated";

    app.session.priorsActive = true;
    // The term of x = 5 with mean 1 and SD 2: 0.5 ((5 - 1) / 2)^2 = 2.
    EXPECT_EQ(evaluateAt(5.0), 12.0 + 2.0);
    EXPECT_EQ(app.priorResults.priorTerm, (std::vector<double>{0, 2.0, 0}));
}

TEST_F(PriorPenalty, IsScaledByCovScaleAndTakenAtTheVectorTheModelLeft)
{
    app.session.priorsActive = true;
    struct Case {
        double covScale;
        double objective;
    };
    const Case cases[] = {{0.0, 12.0}, {0.5, 13.0}, {3.0, 18.0}};
    for (const Case& c : cases) {
        app.session.covScale = c.covScale;
        EXPECT_EQ(evaluateAt(-5.0), c.objective) << c.covScale;
        EXPECT_EQ(app.priorResults.priorTerm[1], 2.0) << "computed even when covScale is 0";
        EXPECT_EQ(app.priorResults.priorPenalty, c.covScale * 2.0);
    }
}

TEST_F(PriorPenalty, APriorWithoutAFiniteValueGivesNoFiniteObjective)
{
    app.session.priorsActive = true;
    app.session.covScale = 1.0;
    app.priors[2] = prior("G", 4, 5);
    const double objective = evaluateAt(5.0);
    EXPECT_FALSE(isFiniteObjective(objective));
    EXPECT_EQ(objectiveFailureText(app),
              "The Gamma prior of parameter 2 cannot be used: its SD must be above 0 and below its mean.");
}

} // namespace
} // namespace orvanta
