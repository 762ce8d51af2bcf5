#include "algorithm/AlgorithmData.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace orvanta {
namespace {

const std::string un = unfusedCode;
const double nan = std::numeric_limits<double>::quiet_NaN();

// Test lists are written from parameter 1 on; the arrays carry an unused element 0 in front.
template <typename T>
std::vector<T> numberedFromOne(std::vector<T> items, T unused)
{
    items.insert(items.begin(), unused);
    return items;
}

template <typename T>
std::vector<T> fromParameterOne(const std::vector<T>& array)
{
    return {array.begin() + 1, array.end()};
}

AlgorithmData makeData(const std::vector<double>& values, const std::vector<double>& steps,
                       const std::vector<std::string>& codes)
{
    AlgorithmData data;
    data.paramCount = static_cast<std::int16_t>(values.size());
    data.paramValues = numberedFromOne(values, 0.0);
    data.paramSteps = numberedFromOne(steps, 0.0);
    data.fuseCodes = numberedFromOne(codes, un);
    data.paramDescriptions.assign(values.size() + 1, "");
    return data;
}

// The parameter numbers of the free-parameter index, in index order.
std::vector<int> freeParameters(const AlgorithmData& data)
{
    std::vector<int> params;
    for (int k = 1; k <= data.freeCount; ++k)
        params.push_back(data.freeIndex[static_cast<std::size_t>(k)]);
    return params;
}

// ---------------------------------------------------------------------------------------------
// resetAlgorithmData

TEST(ResetAlgorithmData, SizesArraysClearsParametersAndRestoresDefaultOptions)
{
    AlgorithmData data;
    data.paramCount = 3;
    data.paramValues = {0.0, 9.0};
    data.paramSteps.assign(10, 2.5);
    data.fuseCodes = {un, "A", "A", "B", "B", "C"};
    data.paramDescriptions = {"", "Asymptotic size", "Growth rate"};
    data.options = {-0.5, 12, 3, 7, "other.ovl", 0.4};

    resetAlgorithmData(data);

    EXPECT_EQ(data.paramValues, std::vector<double>(4, 0.0));
    EXPECT_EQ(data.paramSteps, std::vector<double>(4, 0.0));
    EXPECT_EQ(data.fuseCodes, std::vector<std::string>(4, un));
    EXPECT_EQ(data.paramDescriptions,
              (std::vector<std::string>{"", "Asymptotic size", "Growth rate", ""}));
    EXPECT_EQ(data.options.convergenceTolerance, 1E-06);
    EXPECT_EQ(data.options.maxCalls, 9999);
    EXPECT_EQ(data.options.terminalFrequency, 10);
    EXPECT_EQ(data.options.fileFrequency, 0);
    EXPECT_EQ(data.options.logFileName, "minimize.ovl");
    EXPECT_EQ(data.options.stepReductionFraction, 0.1);
}

TEST(ResetAlgorithmData, ForgetsTheGroupsAndIndexOfTheOldParameterSet)
{
    AlgorithmData data = makeData({1, 2, 3}, {0.1, 0.2, 0.3}, {"A", "A", un});
    buildFuseGroups(data);
    buildFreeIndex(data);
    ASSERT_EQ(data.groupCount(), 1);
    ASSERT_EQ(data.freeCount, 2);

    resetAlgorithmData(data);

    EXPECT_EQ(data.groupCount(), 0);
    EXPECT_EQ(data.freeCount, 0);
}

// ---------------------------------------------------------------------------------------------
// buildFuseGroups and buildFreeIndex

struct GroupRow {
    std::string code;
    int memberCount;
    double value;
};

struct FuseCase {
    const char* name;
    std::vector<double> values;
    std::vector<double> steps;
    std::vector<std::string> codes;
    std::vector<double> expectedValues;
    std::vector<double> expectedSteps;
    std::vector<std::string> expectedCodes;
    std::vector<GroupRow> expectedRows;
    std::vector<int> expectedFree;
};

const FuseCase fuseCases[] = {
    {"a code borne by one parameter lapses, its row stays",
     {1, 2, 3}, {0.1, 0.2, 0.3}, {un, "B", un},
     {1, 2, 3}, {0.1, 0.2, 0.3}, {un, un, un},
     {{"B", 1, 2}}, {1, 2, 3}},
    {"followers of a group take the lowest-numbered member's value and step 0",
     {11, 12, 13, 14, 15, 16, 17, 18, 19}, {0, 0, 0.5, 0, 0, 0, 0.2, 0, 0},
     {un, un, "A", un, un, un, "A", un, "A"},
     {11, 12, 13, 14, 15, 16, 13, 18, 13}, {0, 0, 0.5, 0, 0, 0, 0, 0, 0},
     {un, un, "A", un, un, un, "A", un, "A"},
     {{"A", 3, 13}}, {3}},
    {"a frozen leader freezes its whole group",
     {4, 5, 6, 7}, {0.1, 0, 0.3, 0.4}, {un, "C", "C", un},
     {4, 5, 5, 7}, {0.1, 0, 0, 0.4}, {un, "C", "C", un},
     {{"C", 2, 5}}, {1, 4}},
    {"with only followers stepping nothing is free",
     {1, 2, 3}, {0, 0.5, 0}, {"D", "D", un},
     {1, 1, 3}, {0, 0, 0}, {"D", "D", un},
     {{"D", 2, 1}}, {}},
    {"A and AA are different groups",
     {1, 2, 3, 4}, {0.1, 0.2, 0.3, 0.4}, {"A", "AA", "A", "AA"},
     {1, 2, 1, 2}, {0.1, 0.2, 0, 0}, {"A", "AA", "A", "AA"},
     {{"A", 2, 1}, {"AA", 2, 2}}, {1, 2}},
    {"codes differing only in case are different groups",
     {1, 2, 3}, {0.1, 0.2, 0.3}, {"B", "b", "B"},
     {1, 2, 1}, {0.1, 0.2, 0}, {"B", un, "B"},
     {{"B", 2, 1}, {"b", 1, 2}}, {1, 2}},
    {"a step of either sign makes a parameter free",
     {1, 2, 3, 4, 5}, {0, -0.1, 0.2, 0, 1E-300}, {un, un, un, un, un},
     {1, 2, 3, 4, 5}, {0, -0.1, 0.2, 0, 1E-300}, {un, un, un, un, un},
     {}, {2, 3, 5}},
};

TEST(BuildFuseGroups, NormalizesParametersAndBuildsTheTable)
{
    for (const FuseCase& fuseCase : fuseCases) {
        SCOPED_TRACE(fuseCase.name);
        AlgorithmData data = makeData(fuseCase.values, fuseCase.steps, fuseCase.codes);

        buildFuseGroups(data);

        EXPECT_EQ(fromParameterOne(data.paramValues), fuseCase.expectedValues);
        EXPECT_EQ(fromParameterOne(data.paramSteps), fuseCase.expectedSteps);
        EXPECT_EQ(fromParameterOne(data.fuseCodes), fuseCase.expectedCodes);
        ASSERT_EQ(data.fuseGroups.size(), fuseCase.expectedRows.size());
        for (std::size_t row = 0; row < data.fuseGroups.size(); ++row) {
            EXPECT_EQ(data.fuseGroups[row].groupCode, fuseCase.expectedRows[row].code);
            EXPECT_EQ(data.fuseGroups[row].memberCount, fuseCase.expectedRows[row].memberCount);
            EXPECT_EQ(data.fuseGroups[row].groupValue, fuseCase.expectedRows[row].value);
        }
    }
}

TEST(BuildFreeIndex, ListsExactlyTheParametersWithAStepAfterFusing)
{
    for (const FuseCase& fuseCase : fuseCases) {
        SCOPED_TRACE(fuseCase.name);
        AlgorithmData data = makeData(fuseCase.values, fuseCase.steps, fuseCase.codes);
        buildFuseGroups(data);

        buildFreeIndex(data);

        EXPECT_EQ(freeParameters(data), fuseCase.expectedFree);
        for (int k = 1; k <= data.freeCount; ++k) {
            const auto position = static_cast<std::size_t>(k);
            const auto param = static_cast<std::size_t>(data.freeIndex[position]);
            EXPECT_EQ(data.freeValues[position], data.paramValues[param]);
            EXPECT_EQ(data.freeSteps[position], data.paramSteps[param]);
        }
    }
}

TEST(BuildFreeIndex, ClearsProfileResultsAndSizesArraysEvenWithNothingFree)
{
    AlgorithmData data = makeData({1, 2, 3, 4}, {0, 0, 0, 0}, {un, un, un, un});
    data.profileResultsValid = true;
    data.freeCount = 3;

    buildFreeIndex(data);

    EXPECT_FALSE(data.profileResultsValid);
    EXPECT_EQ(data.freeCount, 0);
    EXPECT_GE(data.freeIndex.size(), 5u);
    EXPECT_GE(data.freeValues.size(), 5u);
    EXPECT_GE(data.freeSteps.size(), 5u);
}

// Random parameter sets: after the two rebuilds every stated invariant holds.
TEST(BuildFreeIndex, InvariantsHoldForRandomParameterSets)
{
    std::mt19937 random(20260305);
    const std::vector<double> stepChoices = {0.0, 0.1, -0.2};
    const std::vector<std::string> codeChoices = {un, un, "A", "B", "AA"};
    auto pick = [&random](const auto& choices) {
        std::uniform_int_distribution<std::size_t> index(0, choices.size() - 1);
        return choices[index(random)];
    };

    for (int trial = 0; trial < 300; ++trial) {
        const int count = std::uniform_int_distribution<int>(1, 30)(random);
        std::vector<double> values, steps;
        std::vector<std::string> codes;
        for (int i = 1; i <= count; ++i) {
            values.push_back(i * 1.25);
            steps.push_back(pick(stepChoices));
            codes.push_back(pick(codeChoices));
        }
        AlgorithmData data = makeData(values, steps, codes);
        buildFuseGroups(data);
        buildFreeIndex(data);
        SCOPED_TRACE("trial " + std::to_string(trial));

        std::vector<int> expectedFree;
        for (int i = 1; i <= count; ++i) {
            const auto param = static_cast<std::size_t>(i);
            if (data.paramSteps[param] != 0.0)
                expectedFree.push_back(i);
            if (data.fuseCodes[param] == un)
                continue;
            int leader = 0, bearers = 0;
            for (int j = 1; j <= count; ++j) {
                if (data.fuseCodes[static_cast<std::size_t>(j)] != data.fuseCodes[param])
                    continue;
                ++bearers;
                if (leader == 0)
                    leader = j;
            }
            EXPECT_GE(bearers, 2) << "parameter " << i;
            EXPECT_EQ(data.paramValues[param], data.paramValues[static_cast<std::size_t>(leader)]);
            if (i != leader) {
                EXPECT_EQ(data.paramSteps[param], 0.0) << "follower " << i;
            }
        }
        EXPECT_EQ(freeParameters(data), expectedFree);
        for (int k = 1; k <= data.freeCount; ++k) {
            const int param = data.freeIndex[static_cast<std::size_t>(k)];
            EXPECT_GE(param, k);
            if (k > 1) {
                EXPECT_GT(param, data.freeIndex[static_cast<std::size_t>(k - 1)]);
            }
        }
    }
}

// ---------------------------------------------------------------------------------------------
// applyFuseGroups

// Group A on 2, 4, 6, 8 and group B on 3, 9; everything fused starts with a step.
AlgorithmData twoGroupData()
{
    AlgorithmData data = makeData({1, 2, 3, 4, 5, 6, 7, 8, 9}, std::vector<double>(9, 0.1),
                                  {un, "A", "B", "A", un, "A", un, "A", "B"});
    buildFuseGroups(data);
    return data;
}

TEST(ApplyFuseGroups, FollowersTakeTheLeaderValueOfTheVectorAndLoseTheirStep)
{
    AlgorithmData data = twoGroupData();
    data.paramSteps[6] = 0.7; // a follower given a step after the groups were built
    std::vector<double> vector = numberedFromOne<double>({10, 20, 30, 40, 50, 60, 70, 80, 90}, 0.0);

    applyFuseGroups(data, vector);

    EXPECT_EQ(fromParameterOne(vector),
              (std::vector<double>{10, 20, 30, 20, 50, 20, 70, 20, 30}));
    EXPECT_EQ(data.paramSteps[6], 0.0);
    EXPECT_EQ(data.paramSteps[2], 0.1);
    EXPECT_EQ(data.paramSteps[3], 0.1);
    EXPECT_EQ(data.paramSteps[5], 0.1);
}

TEST(ApplyFuseGroups, LeavesCodesWithoutATableRowAlone)
{
    AlgorithmData data = twoGroupData();
    data.fuseCodes[5] = "Z";
    data.fuseCodes[7] = "Z";
    std::vector<double> vector = numberedFromOne<double>({10, 20, 30, 40, 50, 60, 70, 80, 90}, 0.0);

    applyFuseGroups(data, vector);

    EXPECT_EQ(vector[5], 50);
    EXPECT_EQ(vector[7], 70);
    EXPECT_EQ(data.paramSteps[7], 0.1);
}

TEST(ApplyFuseGroups, NotANumberInALeaderPassesToItsFollowersOnly)
{
    AlgorithmData data = makeData({nan, 2, 3, 4}, {0.1, 0.1, 0.1, 0.1}, {"A", un, "A", un});
    buildFuseGroups(data);
    EXPECT_TRUE(std::isnan(data.paramValues[3]));

    std::vector<double> vector = numberedFromOne<double>({nan, 20, 30, 40}, 0.0);
    applyFuseGroups(data, vector);

    EXPECT_TRUE(std::isnan(vector[1]));
    EXPECT_TRUE(std::isnan(vector[3]));
    EXPECT_EQ(vector[2], 20);
    EXPECT_EQ(vector[4], 40);
}

struct PinningCase {
    const char* name;
    FusePinning pinning;
    std::vector<double> expected;
};

TEST(ApplyFuseGroups, PinnedMemberSetsTheValueForTheMembersAfterIt)
{
    const PinningCase cases[] = {
        {"pinned follower: earlier members keep the leader's value, later ones take the pin",
         {true, 6}, {10, 20, 30, 20, 50, 60, 70, 60, 30}},
        {"pinned last member keeps its own value only",
         {true, 8}, {10, 20, 30, 20, 50, 20, 70, 80, 30}},
        {"pinned leader behaves as ordinarily", {true, 2}, {10, 20, 30, 20, 50, 20, 70, 20, 30}},
        {"pinning an unfused parameter changes no group",
         {true, 5}, {10, 20, 30, 20, 50, 20, 70, 20, 30}},
        {"inactive pinning behaves as ordinarily",
         {false, 6}, {10, 20, 30, 20, 50, 20, 70, 20, 30}},
        {"the pin acts in its own group only", {true, 9}, {10, 20, 30, 20, 50, 20, 70, 20, 90}},
    };
    for (const PinningCase& pinningCase : cases) {
        SCOPED_TRACE(pinningCase.name);
        AlgorithmData data = twoGroupData();
        std::vector<double> vector =
            numberedFromOne<double>({10, 20, 30, 40, 50, 60, 70, 80, 90}, 0.0);

        applyFuseGroups(data, vector, pinningCase.pinning);

        EXPECT_EQ(fromParameterOne(vector), pinningCase.expected);
    }
}

TEST(ApplyFuseGroups, PinnedMemberWithAStepFollowsItsLeader)
{
    AlgorithmData data = twoGroupData();
    data.paramSteps[6] = 0.3;
    std::vector<double> vector = numberedFromOne<double>({10, 20, 30, 40, 50, 60, 70, 80, 90}, 0.0);

    applyFuseGroups(data, vector, {true, 6});

    EXPECT_EQ(vector[6], 20);
    EXPECT_EQ(vector[8], 20);
    EXPECT_EQ(data.paramSteps[6], 0.0);
}

TEST(ApplyFuseGroups, RepeatedCallsStartEachGroupAfresh)
{
    AlgorithmData data = twoGroupData();
    std::vector<double> first = numberedFromOne<double>({1, 2, 3, 4, 5, 6, 7, 8, 9}, 0.0);
    applyFuseGroups(data, first, {true, 6});

    std::vector<double> second = numberedFromOne<double>({10, 20, 30, 40, 50, 60, 70, 80, 90}, 0.0);
    applyFuseGroups(data, second);

    EXPECT_EQ(fromParameterOne(second),
              (std::vector<double>{10, 20, 30, 20, 50, 20, 70, 20, 30}));
}

// ---------------------------------------------------------------------------------------------
// composeTrialVector

// Free 1, 3 and 6; parameter 4 follows 1 and parameter 5 follows 3.
AlgorithmData composeData()
{
    AlgorithmData data = makeData({1, 2, 3, 4, 5, 6}, {0.1, 0, 0.2, 0.4, 0, 0.3},
                                  {"A", un, "B", "A", "B", un});
    buildFuseGroups(data);
    buildFreeIndex(data);
    return data;
}

TEST(ComposeTrialVector, FrozenFromValuesFreeFromCoordinatesFollowersFromTheirLeader)
{
    AlgorithmData data = composeData();
    ASSERT_EQ(freeParameters(data), (std::vector<int>{1, 3, 6}));
    const std::vector<double> valuesBefore = data.paramValues;

    composeTrialVector(data, numberedFromOne<double>({10, 30, 60}, 0.0));

    EXPECT_EQ(fromParameterOne(data.trialVector), (std::vector<double>{10, 2, 30, 10, 30, 60}));
    EXPECT_EQ(data.paramValues, valuesBefore);
}

TEST(ComposeTrialVector, EachCallStartsFromTheCurrentValues)
{
    AlgorithmData data = composeData();
    composeTrialVector(data, numberedFromOne<double>({10, 30, 60}, 0.0));
    data.paramValues[2] = 7;

    composeTrialVector(data, numberedFromOne<double>({-1, -3, -6}, 0.0));

    EXPECT_EQ(fromParameterOne(data.trialVector), (std::vector<double>{-1, 7, -3, -1, -3, -6}));
}

TEST(ComposeTrialVector, PassesThePinningToTheFuseGroups)
{
    // A profile fixes follower 4 at a profile point; follower 5 comes after it.
    AlgorithmData data = makeData({1, 2, 3, 4, 5}, {0.1, 0.2, 0, 0, 0}, {"A", un, un, "A", "A"});
    buildFuseGroups(data);
    buildFreeIndex(data);
    data.paramValues[4] = 8.5;

    composeTrialVector(data, numberedFromOne<double>({1.5, 2.5}, 0.0), {true, 4});

    EXPECT_EQ(fromParameterOne(data.trialVector), (std::vector<double>{1.5, 2.5, 3, 8.5, 8.5}));
}

TEST(ComposeTrialVector, MissingCoordinatesAndForeignIndicesKeepTheValues)
{
    AlgorithmData data = composeData();
    data.freeIndex[2] = 99;

    composeTrialVector(data, numberedFromOne<double>({10, 30}, 0.0));

    EXPECT_EQ(fromParameterOne(data.trialVector), (std::vector<double>{10, 2, 3, 10, 3, 6}));
}

// ---------------------------------------------------------------------------------------------
// storedTolerance

TEST(StoredTolerance, RaisesSmallNonZeroMagnitudesKeepingTheSign)
{
    const struct {
        double typed;
        double stored;
    } cases[] = {
        {0.0, 0.0},       {-0.0, 0.0},     {5E-07, 1E-06},   {-5E-07, -1E-06}, {1E-300, 1E-06},
        {-1E-300, -1E-06}, {1E-06, 1E-06}, {-1E-06, -1E-06}, {2E-03, 2E-03},   {-0.5, -0.5},
    };
    for (const auto& toleranceCase : cases) {
        SCOPED_TRACE(toleranceCase.typed);
        const double stored = storedTolerance(toleranceCase.typed);
        EXPECT_EQ(stored, toleranceCase.stored);
        EXPECT_EQ(std::signbit(stored), std::signbit(toleranceCase.stored));
    }
}

// ---------------------------------------------------------------------------------------------
// Arrays that do not match paramCount

TEST(AlgorithmDataSizing, EntryPointsLengthenShortArraysInsteadOfReadingPastThem)
{
    AlgorithmData data;
    data.paramCount = 4;
    data.paramValues = {0.0, 3.0};
    data.fuseCodes = {un, "A", un, "A"};

    buildFuseGroups(data);
    buildFreeIndex(data);
    composeTrialVector(data, {});
    std::vector<double> shortVector = {0.0, 6.0};
    applyFuseGroups(data, shortVector);

    EXPECT_EQ(fromParameterOne(data.paramValues), (std::vector<double>{3, 0, 3, 0}));
    EXPECT_EQ(fromParameterOne(data.paramSteps), (std::vector<double>{0, 0, 0, 0}));
    EXPECT_EQ(data.fuseCodes[4], un);
    EXPECT_EQ(data.freeCount, 0);
    EXPECT_EQ(fromParameterOne(data.trialVector), (std::vector<double>{3, 0, 3, 0}));
    EXPECT_EQ(fromParameterOne(shortVector), (std::vector<double>{6, 0, 6, 0}));
}

TEST(AlgorithmDataSizing, NegativeCountMeansNoParameters)
{
    AlgorithmData data;
    data.paramCount = -3;

    resetAlgorithmData(data);
    buildFuseGroups(data);
    buildFreeIndex(data);
    composeTrialVector(data, {});

    EXPECT_EQ(data.paramValues.size(), 1u);
    EXPECT_EQ(data.groupCount(), 0);
    EXPECT_EQ(data.freeCount, 0);
    EXPECT_EQ(data.trialVector.size(), 1u);
}

TEST(AlgorithmDataSizing, ApplyWorksOnATableBuiltElsewhere)
{
    AlgorithmData data = makeData({1, 2, 3}, {0.1, 0.1, 0.1}, {"Q", un, "Q"});
    data.fuseGroups = {{"Q", 2, 1.0}};
    std::vector<double> vector = numberedFromOne<double>({4, 5, 6}, 0.0);

    applyFuseGroups(data, vector);

    EXPECT_EQ(fromParameterOne(vector), (std::vector<double>{4, 5, 4}));
    EXPECT_EQ(data.paramSteps[3], 0.0);
}

} // namespace
} // namespace orvanta
