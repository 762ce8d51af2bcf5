#include "model/IncrementDiagnostic.h"

#include "SummaryFixture.h"
#include "model/NumericalRoutines.h"
#include "text/NumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

namespace orvanta {
namespace {

using testing::SummaryTest;

TEST(ResidualCells, HalfSdCellsFromMinusSixToSix)
{
    const std::pair<double, int> cases[] = {
        {-6.0, 1}, {-5.9, 1},  {-5.5, 2},  {-0.01, 12}, {0.0, 13},         {0.49, 13},   {5.99, 24},
        {6.0, 0},  {-6.01, 0}, {1e300, 0}, {-1e300, 0}, {std::nan(""), 0}, {INFINITY, 0}};
    for (const auto& [residual, cell] : cases)
        EXPECT_EQ(residualCell(residual), cell) << residual;
}

TEST(NormalExpectation, SumsToTheNormalMassWithinSixSd)
{
    double gSum = 0.0;
    const CellCounts g = normalExpectation(200, gSum);
    EXPECT_EQ(g[0], 0.0);
    EXPECT_NEAR(gSum, 200.0 * std::erf(6.0 / std::sqrt(2.0)), 200.0 * 2e-7);
    EXPECT_NEAR(g[13], 200.0 * (0.5 * std::erf(0.5 / std::sqrt(2.0))), 200.0 * 2e-7);
    EXPECT_NEAR(g[1], g[24], 200.0 * 2e-7);
}

class IncrementDiagnostics : public SummaryTest {
protected:
    IncrementDiagnostics()
    {
        incrementsOnly();
        values[9] = 0; // no measurement error
    }
};

TEST_F(IncrementDiagnostics, UntruncatedGaussianModelExpectsTheNormalCells)
{
    // Initial sizes far below L-infinity: no truncation at 0, so every record's residual is
    // standard normal under the model and m(c) must equal g(c) up to the quadrature.
    model.state().increments.records[2].initialSize = 15.0;
    call(1);
    const auto expectation = incrementErrorCells(model.state(), host);
    ASSERT_TRUE(expectation.has_value());
    double gSum = 0.0;
    const CellCounts g = normalExpectation(3, gSum);
    for (int c = 1; c <= residualCells; ++c)
        EXPECT_NEAR(expectation->m[c], g[c], 1e-6) << c;
    EXPECT_EQ(expectation->m[0], 0.0);
    // T: three unit masses less what lies beyond 6 SD and the first step's share.
    EXPECT_NEAR(expectation->T, 3.0, 1e-6);
    const double sum = std::accumulate(expectation->m.begin() + 1, expectation->m.end(), 0.0);
    EXPECT_LT(sum, 3.0);
    EXPECT_GT(sum, 3.0 - 1e-7);
}

TEST_F(IncrementDiagnostics, ShowsEachRecordAndStopsOnceTheProgramHasEnded)
{
    call(1);
    const auto expectation = incrementErrorCells(model.state(), host);
    ASSERT_TRUE(expectation.has_value());
    const std::vector<std::string> expected = {"Calculating error for increment 1 of 3",
                                               "Calculating error for increment 2 of 3",
                                               "Calculating error for increment 3 of 3", ""};
    EXPECT_EQ(host.progress, expected);

    host.progress.clear();
    ui.onYield = [this] { host.ended = true; };
    EXPECT_FALSE(incrementErrorCells(model.state(), host).has_value());
    EXPECT_EQ(host.progress.size(), 1u);
}

TEST_F(IncrementDiagnostics, GammaWithNoMassInTheLowestCellsWarnsForTheModelTestOnly)
{
    model.state().incrementErrorType = IncrementErrorType::Gamma;
    values[2] = 15; // a wide L-infinity: shape about 6, no increment below -2.6 SD
    call(1);
    CellCounts r{};
    r[1] = 1; // a residual between -6 and -5.5 SD
    r[13] = 2;
    ui.answer(Answer::OK);
    const auto text = incrementChiSquareDiagnostic(model.state(), r, 4, host);
    ASSERT_TRUE(text.has_value());
    const auto messages = ui.messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].title, "Gamma distribution: very unlikely observation(s)");
    EXPECT_NE(text->find("                                    Gaussian        Gamma\n"), std::string::npos);
    EXPECT_NE(text->find("\n             -5.75            1        0.000        0.000\n"), std::string::npos);
    EXPECT_NE(text->find("Evaluation of gamma error predictions:\n\nThe following"), std::string::npos);
    EXPECT_NE(text->find(" The error distribution for the growth increments is gamma\n"), std::string::npos);
}

TEST_F(IncrementDiagnostics, TextLayout)
{
    call(1);
    CellCounts r{};
    r[0] = 1;
    r[12] = 1;
    r[14] = 1;
    const auto text = incrementChiSquareDiagnostic(model.state(), r, 2, host);
    ASSERT_TRUE(text.has_value());
    const std::string start =
        "\nChi-square diagnostic for increment data:\n\n Note: Due to the risk of numerical inaccuracies, be "
        "suspicious of values for the expected value\n        of L-infinity, and the variance of L-infinity, "
        "when "
        "the observed initial size is more than\n        3 SD (Parameter # 2) greater than the Mean of L "
        "(Parameter # 1).\n\n This next frequency distribution of increment SD's evaluates model fit.\n";
    EXPECT_EQ(text->substr(0, start.size()), start);
    EXPECT_NE(
        text->find(" If a size-at-age selectivity curve was estimated, then it is taken into consideration.\n"
                   "\n The chi-square tests are invalid if the # outside range is greater than zero.\n\n"
                   " The error distribution for the growth increments is Gaussian (truncated if necessary)\n"
                   "\n SD Frequency Data:\n\n"
                   "                                    Gaussian    Truncated\n"
                   "                       Observed     Expected     Expected\n"
                   "                SD    Frequency    Frequency    Frequency\n\n"
                   "             -5.75            0        0.000        0.000\n"),
        std::string::npos);
    double gSum = 0.0;
    const CellCounts g = normalExpectation(3, gSum);
    EXPECT_NE(
        text->find("\n             -0.25            1" + padToWidth(formatNumber(g[12], "#####0.000"), 13)),
        std::string::npos);
    EXPECT_NE(text->find("\n\n     Outside Range            1        0.000        0.000\n\n     # of Inc Recs"
                         "            3" +
                         padToWidth(formatNumber(gSum, "#####0.000"), 13)),
              std::string::npos);
    EXPECT_NE(text->find("\n\nEvaluation of Gaussian error predictions:\n\nThe following chi-square test"),
              std::string::npos);
    EXPECT_NE(text->find("\n\nEvaluation of truncated Gaussian error predictions:\n\nThe following"),
              std::string::npos);
    EXPECT_NE(text->back(), '\n');
}

TEST_F(IncrementDiagnostics, ModelThatCannotBePredictedSaysSoInsteadOfDividingByZero)
{
    // Size-at-age selectivity with a zero SD: no record can be predicted, T = 0.
    values[18] = 0.5;
    values[19] = 30;
    values[20] = 0;
    call(1);
    CellCounts r{};
    r[13] = 3;
    const auto text = incrementChiSquareDiagnostic(model.state(), r, 2, host);
    ASSERT_TRUE(text.has_value());
    EXPECT_NE(
        text->find(" The error model's expected frequencies could not be scaled: their unscaled total is 0."),
        std::string::npos);
    EXPECT_NE(
        text->find("Evaluation of truncated Gaussian error predictions:\n\nNot calculated: the error model "
                   "expects no residual in any cell."),
        std::string::npos);
    EXPECT_EQ(text->find("nan"), std::string::npos);
    EXPECT_EQ(text->find("NaN"), std::string::npos);
}

} // namespace
} // namespace orvanta
