#include "model/ChiSquare.h"

#include "model/DataSimulator.h"
#include "support/FakeModelHost.h"
#include "text/NumberText.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orvanta {
namespace {

using testing::FakeModelHost;

ChiSquareInput cells(std::vector<double> observed, std::vector<double> expected, double N)
{
    ChiSquareInput input;
    input.firstCell = 1;
    input.lastCell = static_cast<int>(observed.size());
    observed.insert(observed.begin(), 0.0);
    expected.insert(expected.begin(), 0.0);
    input.observed = observed;
    input.expected = expected;
    input.N = N;
    return input;
}

ChiSquareResult run(const ChiSquareInput& input, double nSims, std::uint64_t seed = 1)
{
    SimulationRandom random(seed);
    const auto result = runSimulatedChiSquare(input, nSims, random, [](double) { return true; });
    EXPECT_TRUE(result.has_value());
    return result.value_or(ChiSquareResult{});
}

TEST(ChiSquare, StatisticEqualToTheObservedOneIsNotCounted)
{
    // One cell: every sample puts all 5 individuals there, so X_s = X = 0 every time.
    const ChiSquareResult r = run(cells({5}, {5}, 5), 20);
    EXPECT_EQ(r.X, 0.0);
    EXPECT_EQ(r.above, 0.0);
    EXPECT_EQ(r.p, 0.0);
    EXPECT_EQ(r.SE, 0.0);
    EXPECT_FALSE(r.sd.has_value()); // all statistics equal: "Undefined"
}

TEST(ChiSquare, LastCellTakesTheRemainderOfN)
{
    // Expected counts add up to 2.0001 of N = 10: about 8 of every 10 draws land in cell 2.
    const ChiSquareResult r = run(cells({2, 8}, {2, 0.0001}, 10), 200);
    EXPECT_GT(r.minimum, 1000.0);
    EXPECT_GT(r.mean, 1e5);
}

TEST(ChiSquare, NoDrawReachesTheLastCellWhenTheEarlierOnesHoldN)
{
    // C(1) = 20 >= N = 10: every draw lands in cell 1, so n = (10, 0) and X_s = 100/20 + 25/5 = 10.
    const ChiSquareResult r = run(cells({20, 5}, {20, 5}, 10), 30);
    EXPECT_EQ(r.minimum, 10.0);
    EXPECT_EQ(r.maximum, 10.0);
    EXPECT_EQ(r.mean, 10.0);
    EXPECT_EQ(r.above, 30.0); // X = 0
    EXPECT_EQ(r.p, 1.0);
}

TEST(ChiSquare, OneSimulationHasNoSdAndAWholeP)
{
    const ChiSquareResult r = run(cells({3, 7, 10}, {5, 5, 10}, 20), 1);
    EXPECT_FALSE(r.sd.has_value());
    EXPECT_TRUE(r.p == 0.0 || r.p == 1.0);
    EXPECT_EQ(r.SE, 0.0);
    const std::string text = chiSquareReportLines(r);
    EXPECT_NE(text.find("Simulated chi-square> n: 1; Mean:"), std::string::npos);
    EXPECT_NE(text.find("; SD:Undefined; Minimum:"), std::string::npos);
    EXPECT_NE(text.find("; SE cumulative p[chi-square]: 0.000"), std::string::npos);
}

TEST(ChiSquare, ReportLinesAndP)
{
    // X = (3-5)^2/5 + (7-5)^2/5 = 1.6
    const ChiSquareResult r = run(cells({3, 7, 10}, {5, 5, 10}, 20), 400, 9);
    EXPECT_DOUBLE_EQ(r.X, 1.6);
    EXPECT_DOUBLE_EQ(r.p, r.above / 400.0);
    EXPECT_DOUBLE_EQ(r.SE, std::sqrt(r.p * (1.0 - r.p) / 399.0));
    // A statistic with two degrees of freedom: mean near 2, P(X > 1.6) near exp(-0.8) = 0.45.
    EXPECT_NEAR(r.mean, 2.0, 0.4);
    EXPECT_NEAR(r.p, 0.45, 0.1);
    const std::string text = chiSquareReportLines(r);
    const std::string expectedStart =
        "The following chi-square test is based on Hope, A. C. A. 1968. A simplified Monte Carlo "
        "significance test "
        "procedure. J. R. Stat. Soc. B 30: 582-598\nYou can reject this model if the cumulative "
        "p[chi-square] is "
        "outside your acceptance range (e.g., 0.025 < p < 0.975)\nSimulated chi-square> n: 400; Mean:";
    EXPECT_EQ(text.substr(0, expectedStart.size()), expectedStart);
    EXPECT_NE(
        text.find("\nObserved chi-square> 1.600; Cumulative p[chi-square]: " + formatNumber(r.p, "0.000") +
                  "; SE cumulative p[chi-square]: " + formatNumber(r.SE, "0.000")),
        std::string::npos);
    EXPECT_NE(text.back(), '\n');
}

TEST(ChiSquare, CellsExpectedEmptyAreLeftOutAndObservationsThereWarn)
{
    FakeModelHost host;
    host.scriptedUi.answer(Answer::OK);
    const ChiSquareInput input = cells({2, 3, 5}, {0, 4, 6}, 10);
    const auto text = simulatedChiSquare(input, 5, "Gamma distribution: very unlikely observation(s)", host);
    ASSERT_TRUE(text.has_value());
    const auto messages = host.scriptedUi.messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].title, "Gamma distribution: very unlikely observation(s)");
    EXPECT_EQ(messages[0].text,
              "At least one frequency cell with an observed value > 0 has a predicted value of "
              "0.\nTherefore the chi-square probability is seriously overestimated. Don't trust it!");
    EXPECT_EQ(messages[0].icon, Icon::Information);
    // X over cells 2 and 3 only.
    EXPECT_NE(text->find("Observed chi-square> 0.417;"), std::string::npos);
}

TEST(ChiSquare, ShowsEachSimulationAndYields)
{
    FakeModelHost host;
    const auto text = simulatedChiSquare(cells({3, 7}, {5, 5}, 10), 3, "t", host);
    ASSERT_TRUE(text.has_value());
    const std::vector<std::string> expected = {"Chi-square: Calculating simulation # 1 of 3",
                                               "Chi-square: Calculating simulation # 2 of 3",
                                               "Chi-square: Calculating simulation # 3 of 3", ""};
    EXPECT_EQ(host.progress, expected);
    EXPECT_EQ(host.scriptedUi.yieldCount(), 4);
    EXPECT_EQ(host.seed, 2u);
}

TEST(ChiSquare, StopsAtTheNextYieldOnceTheProgramHasEnded)
{
    FakeModelHost host;
    host.scriptedUi.onYield = [&host] { host.ended = true; };
    EXPECT_FALSE(simulatedChiSquare(cells({3, 7}, {5, 5}, 10), 1000, "t", host).has_value());
    EXPECT_EQ(host.scriptedUi.yieldCount(), 1);
    EXPECT_EQ(host.progress.size(), 1u);
}

TEST(ChiSquare, LargeSamplesCountWithoutWrapping)
{
    // N = 70000 in two cells: a 16-bit count would wrap above 32767.
    const ChiSquareResult r = run(cells({35000, 35000}, {35000, 35000}, 70000), 5);
    EXPECT_LT(r.maximum, 30.0);
}

} // namespace
} // namespace orvanta
