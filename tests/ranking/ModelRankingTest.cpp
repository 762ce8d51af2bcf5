// The criteria, the ranking with its differences and Akaike weights, and the grid's row labels.

#include "ranking/ModelRanking.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace orvanta {
namespace {

// Entries numbered 1, 2, ... whose AICc are the values given (nothing: no value).
std::vector<ModelEntry> entriesWithAicc(const std::vector<std::optional<double>>& values)
{
    std::vector<ModelEntry> entries;
    for (const std::optional<double>& value : values) {
        ModelEntry e;
        e.entryNumber = static_cast<std::int16_t>(entries.size() + 1);
        e.aicc = value;
        entries.push_back(e);
    }
    return entries;
}

std::vector<int> entryNumbers(const std::vector<ModelEntry>& entries)
{
    std::vector<int> numbers;
    for (const ModelEntry& e : entries)
        numbers.push_back(e.entryNumber);
    return numbers;
}

TEST(ModelRanking, ParameterTermOfTheSmallSampleCorrection)
{
    struct Case {
        int K;
        std::int32_t n;
        std::optional<double> term;
    };
    const Case cases[] = {
        {3, 0, 0.0},                  // a model that reports no count: no parameter term
        {2, 13, 2.0 * 2 * 13 / 10.0}, // n - K - 1 = 10
        {7, 1650, 2.0 * 7 * 1650 / 1642.0},
        {0, 5, 0.0},           // no estimated parameter
        {4, 5, std::nullopt},  // n - K - 1 = 0
        {6, 5, std::nullopt},  // fewer observations than parameters
        {2, -3, std::nullopt}, // a count below 0 is no count
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "K " << c.K << ", n " << c.n);
        EXPECT_EQ(parameterTerm(c.K, c.n), c.term);
    }
}

TEST(ModelRanking, CriteriaFromTheNegativeLogLikelihood)
{
    // n = 0: AICc is twice -ln[L] exactly.
    EXPECT_EQ(aiccOf(50.125, 5, 0), 100.25);
    // 2 x 40 + 2 x 2 x 13 / 10
    EXPECT_DOUBLE_EQ(*aiccOf(40.0, 2, 13), 85.2);
    // QAICc divides -ln[L] by C-hat only: 2 x 40 / 2.5 + 5.2
    EXPECT_DOUBLE_EQ(*qaiccOf(40.0, 2, 13, 2.5), 37.2);
    EXPECT_FALSE(aiccOf(40.0, 12, 13).has_value());
    EXPECT_FALSE(aiccOf(std::numeric_limits<double>::quiet_NaN(), 2, 0).has_value());
    EXPECT_FALSE(qaiccOf(std::numeric_limits<double>::infinity(), 2, 0, 2.0).has_value());
}

TEST(ModelRanking, DifferencesAndWeightsOfThreeModels)
{
    // Listed out of order: 110, 100, 102.
    std::vector<ModelEntry> entries = entriesWithAicc({110.0, 100.0, 102.0});
    EXPECT_EQ(rankEntries(entries, Criterion::AICc), 3);
    EXPECT_EQ(entryNumbers(entries), (std::vector<int>{2, 3, 1}));
    EXPECT_EQ(entries[0].deltaAicc, 0.0);
    EXPECT_EQ(entries[1].deltaAicc, 2.0);
    EXPECT_EQ(entries[2].deltaAicc, 10.0);
    // exp(-delta / 2) over their sum 1 + e^-1 + e^-5.
    const double sum = 1.0 + std::exp(-1.0) + std::exp(-5.0);
    EXPECT_DOUBLE_EQ(*entries[0].aicWeight, 1.0 / sum);
    EXPECT_DOUBLE_EQ(*entries[1].aicWeight, std::exp(-1.0) / sum);
    EXPECT_DOUBLE_EQ(*entries[2].aicWeight, std::exp(-5.0) / sum);
    EXPECT_NEAR(*entries[0].aicWeight, 0.73, 0.005);
    EXPECT_NEAR(*entries[1].aicWeight, 0.27, 0.005);
    EXPECT_NEAR(*entries[2].aicWeight, 0.005, 0.0005);
    EXPECT_FALSE(entries[0].deltaQaicc.has_value()) << "only the pair of the criterion is filled";
}

TEST(ModelRanking, EqualCriteriaKeepTheirOrderWithEqualWeights)
{
    std::vector<ModelEntry> entries = entriesWithAicc({104.0, 100.0, 104.0, 100.0});
    rankEntries(entries, Criterion::AICc);
    EXPECT_EQ(entryNumbers(entries), (std::vector<int>{2, 4, 1, 3}));
    EXPECT_EQ(entries[0].deltaAicc, 0.0);
    EXPECT_EQ(entries[1].deltaAicc, 0.0);
    EXPECT_EQ(entries[0].aicWeight, entries[1].aicWeight);
    EXPECT_EQ(entries[2].aicWeight, entries[3].aicWeight);
}

TEST(ModelRanking, ValuesOfZeroAndBelowRankLikeAnyOther)
{
    // Increment likelihoods of continuous data can make -ln[L] negative; only differences count.
    std::vector<ModelEntry> entries = entriesWithAicc({-3.0, 0.0, -5.0, 1e120});
    EXPECT_EQ(rankEntries(entries, Criterion::AICc), 4);
    EXPECT_EQ(entryNumbers(entries), (std::vector<int>{3, 1, 2, 4}));
    EXPECT_EQ(entries[1].deltaAicc, 2.0);
    EXPECT_EQ(entries[2].deltaAicc, 5.0);
    EXPECT_EQ(entries[3].aicWeight, 0.0) << "a huge difference weighs nothing, without overflow";
    double sum = 0.0;
    for (const ModelEntry& e : entries)
        sum += *e.aicWeight;
    EXPECT_DOUBLE_EQ(sum, 1.0);
}

TEST(ModelRanking, ModelsWithoutAValueAreListedLastUnranked)
{
    std::vector<ModelEntry> entries = entriesWithAicc({std::nullopt, 102.0, std::nullopt, 100.0});
    EXPECT_EQ(rankEntries(entries, Criterion::AICc), 2);
    EXPECT_EQ(entryNumbers(entries), (std::vector<int>{4, 2, 1, 3}));
    EXPECT_DOUBLE_EQ(*entries[0].aicWeight + *entries[1].aicWeight, 1.0);
    EXPECT_FALSE(entries[2].deltaAicc.has_value());
    EXPECT_FALSE(entries[3].aicWeight.has_value());
}

TEST(ModelRanking, RankingByQaiccUsesTheQaiccValues)
{
    std::vector<ModelEntry> entries = entriesWithAicc({100.0, 110.0});
    entries[0].qaicc = 60.0;
    entries[1].qaicc = 50.0;
    rankEntries(entries, Criterion::QAICc);
    EXPECT_EQ(entryNumbers(entries), (std::vector<int>{2, 1}));
    EXPECT_EQ(entries[1].deltaQaicc, 10.0);
    EXPECT_FALSE(entries[1].deltaAicc.has_value());

    makeRankingStale(entries);
    EXPECT_FALSE(entries[1].deltaQaicc.has_value());
    EXPECT_FALSE(entries[0].qaicWeight.has_value());
}

TEST(ModelRanking, RowLabels)
{
    EXPECT_EQ(rowLabel(3, 12), "   3)  12");
    EXPECT_EQ(rowLabel(12, 3), " 12)    3");
    EXPECT_EQ(rowLabel(1, 1), "   1)    1");
    EXPECT_EQ(rowLabel(99, 99), " 99)  99");
}

TEST(ModelRanking, WhyAModelHasNoCriterionValue)
{
    ModelEntry e;
    e.K = 7;
    e.n = 8;
    e.negLogL = 10.0;
    EXPECT_EQ(noCriterionReason(e, Criterion::AICc),
              "its AICc has no value, since n - K - 1 = 0 (n = 8 observations, K = 7 parameters)");
    e.objectiveProblem = "the logarithm of a negative number";
    EXPECT_EQ(noCriterionReason(e, Criterion::QAICc),
              "its objective is not finite (the logarithm of a negative number)");
}

TEST(ModelRanking, FileNames)
{
    EXPECT_EQ(nameWithoutFolder("/data/fits/growth.alg"), "growth.alg");
    EXPECT_EQ(nameWithoutFolder("C:\\fits\\growth.alg"), "growth.alg");
    EXPECT_EQ(nameWithoutFolder("growth.alg"), "growth.alg");
    EXPECT_EQ(folderOf("/data/fits/growth.alg"), "/data/fits/");
    EXPECT_EQ(folderOf("growth.alg"), "");
    EXPECT_EQ(derivedCovarianceName("growth.alg"), "growth.cov");
    EXPECT_EQ(derivedCovarianceName("x.al"), ".cov");
}

} // namespace
} // namespace orvanta
