#include "priors/PriorReview.h"

#include "PriorTestSupport.h"
#include "minimize/OneFunctionCall.h"
#include "minimize/SimplexFixture.h"
#include "priors/PriorTools.h"
#include "ui/ReportWindow.h"

#include <gtest/gtest.h>

#include <string>

namespace orvanta {
namespace {

using testing::prior;

const std::string reviewIntroduction =
    "Note: Here is a chance to review the likelihood of your current parameter estimates relative to \n"
    "your Bayesian prior distributions.\n\n";

// Two parameters fitted by the Simplex to a quadratic bowl around (100, 3); the priors
// subsystem and the one-function call are installed.
class PriorReview : public testing::SimplexSession {
protected:
    PriorReview()
    {
        installPriors(app);
        installOneFunctionCall(app);
        setParameters({{100.0, 1.0, "~~", "L-infinity"}, {3.0, 0.5, "~~", "K"}});
        app.algorithm.options.convergenceTolerance = 1e-12;
        app.algorithm.options.maxCalls = 100000;
        app.priors = {PriorSpec{}, PriorSpec{}, PriorSpec{}};
        model.objective = testing::bowl({0, 100.0, 3.0});
    }

    const ReportWindow* review() const { return app.desktop.find<ReportWindow>("frmReviewPriors"); }
};

TEST_F(PriorReview, WithoutAPriorListsOnlyTheModelsTotal)
{
    const std::string text = priorReviewText(app, app.algorithm.paramValues);
    EXPECT_EQ(text.rfind(reviewIntroduction, 0), 0u);
    const std::string ending =
        "and attenuated probability plots for prior distributions can be saved in *.pdp "
        "files.\n\n\n           The entire model has a prior -ln[L] of     0.00 and a prior "
        "likelihood of 1.000000\n";
    EXPECT_TRUE(text.ends_with(ending)) << text;
}

TEST_F(PriorReview, ListsEachPriorAtTheCurrentValues)
{
    app.priors[2] = prior("N", 1, 2);
    app.algorithm.paramValues[2] = 5; // 0.5 ((5 - 1) / 2)^2 = 2, times covScale 0.5
    app.session.covScale = 0.5;
    app.priorResults.priorTerm = {0, 0, 99}; // a term left by an evaluation elsewhere
    const std::string text = priorReviewText(app, app.algorithm.paramValues);
    EXPECT_TRUE(
        text.ends_with("files.\n\n"
                       "Parameter   2 at  5.000E+00 has a prior -ln[L] of     1.00 and a prior likelihood of "
                       "0.367879\n\n"
                       "           The entire model has a prior -ln[L] of     1.00 and a prior likelihood of "
                       "0.367879\n"))
        << text;
}

TEST_F(PriorReview, FollowsTheOneFunctionCallWhilePriorsAreInForce)
{
    app.priors[1] = prior("N", 100, 10);
    app.session.covScale = 1;
    runOneFunctionCall(app);
    EXPECT_EQ(review(), nullptr) << "priors not in force";

    app.session.priorsActive = true;
    runOneFunctionCall(app);
    ASSERT_NE(review(), nullptr);
    EXPECT_EQ(review()->caption(), "Review priors ");
    EXPECT_NE(review()->text().find("Parameter   1 at  1.000E+02 has a prior -ln[L] of     0.00"),
              std::string::npos);
}

// The objective (x - 100)^2 + (y - 3)^2 with a Gaussian prior of mean 90 and SD 1 on x, scaled
// by covScale = 0.5, adds 0.5 x 0.5 (x - 90)^2. The sum is least where
// 2 (x - 100) + 0.5 (x - 90) = 0, at x = (2 x 100 + 0.5 x 90) / 2.5 = 98, with a prior -ln[L] of
// 0.25 x 8^2 = 16 there; y stays at 3.
TEST_F(PriorReview, TightGaussianPriorMovesTheFitAsThePenaltyPredicts)
{
    app.priors[1] = prior("N", 90, 1);
    app.session.covScale = 0.5;
    app.session.priorsActive = true;
    ui.answer(Answer::OK);
    pressSimplex();

    EXPECT_NEAR(app.algorithm.paramValues[1], 98.0, 1e-4);
    EXPECT_NEAR(app.algorithm.paramValues[2], 3.0, 1e-4);
    ASSERT_NE(review(), nullptr);
    EXPECT_NE(review()->text().find("Parameter   1 at  9.800E+01 has a prior -ln[L] of    16.00 and a prior "
                                    "likelihood of 0.000000\n"),
              std::string::npos)
        << review()->text();
}

} // namespace
} // namespace orvanta
