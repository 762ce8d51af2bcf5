// The grid advice of the covariance command, on hand-made grid results.

#include "batch/CovarianceAdvice.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace orvanta {
namespace {

constexpr double notPositiveDefinite = -1.0;

// A run of two free parameters whose grid g has the standard errors ses[g] (notPositiveDefinite
// for a grid whose Hessian was not positive definite) and the given factors.
CovarianceRun runWith(const std::array<std::array<double, 2>, 3>& ses,
                      std::array<double, 4> factors = {0.0, 1.0, 0.1, 0.01})
{
    CovarianceRun run;
    run.covParamOf = {0, 1, 3};
    run.gridFactors = factors;
    for (std::size_t g = 1; g <= 3; ++g) {
        GridResults& grid = run.grids[g];
        grid.reset(2);
        if (ses[g - 1][0] == notPositiveDefinite)
            continue;
        grid.determinant = 1.0;
        grid.standardError = {-1.0, ses[g - 1][0], ses[g - 1][1]};
    }
    return run;
}

TEST(CovarianceAdviceTest, RecommendsTheCoarsestGridThatAgreesWithTheNextFinerOne)
{
    const double no = notPositiveDefinite;
    const struct {
        const char* what;
        std::array<std::array<double, 2>, 3> ses;
        std::array<double, 4> factors;
        std::optional<int> recommended;
    } cases[] = {
        {"all agree", {{{1.0, 2.0}, {1.05, 2.0}, {1.0, 2.1}}}, {0, 1, 0.1, 0.01}, 1},
        {"coarse grid off", {{{2.0, 2.0}, {1.0, 2.0}, {1.05, 2.1}}}, {0, 1, 0.1, 0.01}, 2},
        {"exactly 10 %", {{{11.0, 2.0}, {10.0, 2.0}, {no, no}}}, {0, 1, 0.1, 0.01}, 1},
        {"coarse grid not positive definite", {{{no, no}, {1.0, 2.0}, {1.0, 2.05}}}, {0, 1, 0.1, 0.01}, 2},
        {"middle grid not positive definite: next finer is grid 3",
         {{{1.0, 2.0}, {no, no}, {1.0, 2.05}}},
         {0, 1, 0.1, 0.01},
         1},
        {"only one positive definite", {{{no, no}, {1.0, 2.0}, {no, no}}}, {0, 1, 0.1, 0.01}, std::nullopt},
        {"none positive definite", {{{no, no}, {no, no}, {no, no}}}, {0, 1, 0.1, 0.01}, std::nullopt},
        {"no neighbours agree", {{{1.0, 2.0}, {1.0, 3.0}, {1.5, 3.0}}}, {0, 1, 0.1, 0.01}, std::nullopt},
        {"factors not in order: grid 2 coarsest, then 3, then 1",
         {{{1.0, 9.0}, {1.0, 2.0}, {1.0, 2.1}}},
         {0, 0.01, 1, 0.1},
         2},
        {"a zero SE against a positive one", {{{0.0, 2.0}, {1.0, 2.0}, {1.0, 2.0}}}, {0, 1, 0.1, 0.01}, 2},
    };
    for (const auto& c : cases)
        EXPECT_EQ(adviseGrid(runWith(c.ses, c.factors)).recommendedGrid, c.recommended) << c.what;
}

TEST(CovarianceAdviceTest, ListsTheLargestRelativeDifferenceOfEveryPairOfPositiveDefiniteGrids)
{
    // p1: 1 vs 1.25 differs by 0.25 / 1; p3: 4 vs 3 by 1 / 3. Grid 2 is left out.
    const GridAdvice advice =
        adviseGrid(runWith({{{1.0, 4.0}, {notPositiveDefinite, notPositiveDefinite}, {1.25, 3.0}}}));
    ASSERT_EQ(advice.agreements.size(), 1u);
    EXPECT_EQ(advice.agreements[0].gridA, 1);
    EXPECT_EQ(advice.agreements[0].gridB, 3);
    EXPECT_DOUBLE_EQ(advice.agreements[0].largestRelativeDifference, 1.0 / 3.0);

    const GridAdvice three = adviseGrid(runWith({{{1.0, 2.0}, {1.0, 2.0}, {1.0, -2.0}}}));
    ASSERT_EQ(three.agreements.size(), 3u);
    for (const GridAgreement& agreement : three.agreements)
        EXPECT_EQ(agreement.largestRelativeDifference, 0.0); // signs set aside

    const double nan = std::numeric_limits<double>::quiet_NaN();
    const GridAdvice notFinite = adviseGrid(runWith({{{nan, 2.0}, {1.0, 2.0}, {1.0, 2.0}}}));
    EXPECT_TRUE(std::isinf(notFinite.agreements[0].largestRelativeDifference));
    EXPECT_EQ(notFinite.recommendedGrid, 2);
}

} // namespace
} // namespace orvanta
