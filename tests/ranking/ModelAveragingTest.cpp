// Weighted averages and unconditional standard errors of the ranked models' covariance files.

#include "ranking/ModelAveraging.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <string>
#include <vector>

namespace orvanta {
namespace {

struct FreeParameter {
    int param;
    double se1, se2, se3;
};

// A covariance file of two parameters with the estimates given and standard errors for the
// free parameters listed.
AveragedModel model(double weight, double estimate1, double estimate2,
                    std::initializer_list<FreeParameter> free)
{
    AveragedModel m;
    m.weight = weight;
    m.file.paramCount = 2;
    m.file.estimates = {0.0, estimate1, estimate2};
    m.file.table.freeParams = {0};
    for (int g = 1; g <= gridCount; ++g)
        m.file.table.standardErrors[static_cast<std::size_t>(g)] = {0.0};
    for (const FreeParameter& f : free) {
        m.file.table.freeParams.push_back(f.param);
        m.file.table.standardErrors[1].push_back(f.se1);
        m.file.table.standardErrors[2].push_back(f.se2);
        m.file.table.standardErrors[3].push_back(f.se3);
    }
    return m;
}

TEST(ModelAveraging, EstimatesAreWeightedByTheAkaikeWeights)
{
    const ModelAverages a = averageModels(
        {model(0.75, 10.0, 1.0, {{1, 1, 1, 1}}), model(0.25, 14.0, 3.0, {{1, 1, 1, 1}})}, 2, 1.0);
    EXPECT_DOUBLE_EQ(a.average[1], 11.0);
    EXPECT_DOUBLE_EQ(a.average[2], 1.5);
}

TEST(ModelAveraging, EqualEstimatesAverageTheirStandardErrors)
{
    // sqrt(C-hat se^2 + 0) weighted: 0.5 x 2 + 0.5 x 4.
    const ModelAverages a =
        averageModels({model(0.5, 7.0, 0.0, {{1, 2, 2, 2}}), model(0.5, 7.0, 0.0, {{1, 4, 4, 4}})}, 2, 1.0);
    for (int g = 1; g <= gridCount; ++g)
        EXPECT_DOUBLE_EQ(a.standardError[static_cast<std::size_t>(g)][1], 3.0);
}

TEST(ModelAveraging, TheUnconditionalErrorAddsTheSpreadOfTheEstimatesAndCHat)
{
    // Estimates 10 and 14 with weights 0.75 and 0.25 average 11: distances 1 and 3. With
    // C-hat 2 and standard errors 2 and 4: 0.75 sqrt(2 x 4 + 1) + 0.25 sqrt(2 x 16 + 9).
    const ModelAverages a = averageModels(
        {model(0.75, 10.0, 0.0, {{1, 2, 2, 2}}), model(0.25, 14.0, 0.0, {{1, 4, 4, 4}})}, 2, 2.0);
    EXPECT_DOUBLE_EQ(a.standardError[1][1], 0.75 * 3.0 + 0.25 * std::sqrt(41.0));
}

TEST(ModelAveraging, AGridThatOneModelDidNotCalculateIsMinusOneThroughout)
{
    const ModelAverages a = averageModels({model(0.5, 10.0, 2.0, {{1, 1, 2, 3}, {2, 1, 2, 3}}),
                                           model(0.5, 10.0, 2.0, {{1, 1, 2, -1}, {2, 1, 2, 3}})},
                                          2, 1.0);
    EXPECT_FALSE(a.missing[1]);
    EXPECT_FALSE(a.missing[2]);
    EXPECT_TRUE(a.missing[3]);
    EXPECT_DOUBLE_EQ(a.standardError[1][1], 1.0);
    EXPECT_DOUBLE_EQ(a.standardError[2][2], 2.0);
    EXPECT_EQ(a.standardError[3][1], -1.0);
    EXPECT_EQ(a.standardError[3][2], -1.0) << "also the parameter whose own errors were calculated";
}

TEST(ModelAveraging, AParameterFixedInOneModelContributesAStandardErrorOfZero)
{
    // Parameter 2 is free in the first model (SE 4) and fixed in the second: 0.5 x 4 + 0.5 x 0.
    const ModelAverages a = averageModels(
        {model(0.5, 10.0, 3.0, {{1, 1, 1, 1}, {2, 4, 4, 4}}), model(0.5, 10.0, 3.0, {{1, 1, 1, 1}})}, 2, 1.0);
    EXPECT_DOUBLE_EQ(a.standardError[1][2], 2.0);
}

TEST(ModelAveraging, AValueEveryModelSharesIsAveragedExactly)
{
    // Akaike weights of deltas 0, 2 and 10 do not sum to 1 exactly in doubles; a parameter fixed
    // at 0.5 in every model still averages to 0.5 with a standard error of exactly 0.
    const double sum = 1.0 + std::exp(-1.0) + std::exp(-5.0);
    const ModelAverages a = averageModels({model(1.0 / sum, 10.0, 0.5, {{1, 1, 1, 1}}),
                                           model(std::exp(-1.0) / sum, 12.0, 0.5, {{1, 1, 1, 1}}),
                                           model(std::exp(-5.0) / sum, 13.0, 0.5, {{1, 1, 1, 1}})},
                                          2, 1.0);
    EXPECT_EQ(a.average[2], 0.5);
    EXPECT_EQ(a.standardError[1][2], 0.0);
    EXPECT_DOUBLE_EQ(a.average[1], (10.0 + 12.0 * std::exp(-1.0) + 13.0 * std::exp(-5.0)) / sum);
}

TEST(ModelAveraging, TheResultsText)
{
    const ModelAverages a = averageModels(
        {model(0.75, 10.0, 0.5, {{1, 2, 2, -1}}), model(0.25, 14.0, 0.5, {{1, 2, 2, 2}, {2, 0.1, 0.1, 0.1}})},
        2, 1.0);
    EXPECT_EQ(averagingText(a),
              "Parameter estimates and their SEs resulting from averaging across all ranked models.\n"
              "Each model contributes to the reported averages according to its AIC Weight.\n"
              "SEs will report a value of -1 if any model is missing an estimate for SE.\n"
              "\n"
              "Parameter_#  Parameter_Value     SEs_Grid_#1     SEs_Grid_#2     SEs_Grid_#3\n"
              "          1       1.1000E+01      2.5784E+00      2.5784E+00     -1.0000E+00\n"
              "          2       5.0000E-01      2.5000E-02      2.5000E-02     -1.0000E+00\n");
}

} // namespace
} // namespace orvanta
