#include "model/TarnfieldModel.h"

#include "model/ModelParameters.h"
#include "support/FakeModelHost.h"
#include "support/SmallModelData.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orvanta {
namespace {

using testing::FakeModelHost;

// A model with a few frequency cells and increment records put in place directly.
class Tarnfield : public ::testing::Test {
protected:
    Tarnfield()
    {
        values.assign(modelParamCapacity + 1, 0.0);
        FrequencyData& f = model.state().frequencies;
        testing::addSixFrequencyCells(f);
        IncrementData& inc = model.state().increments;
        inc.records.push_back({1, 20.0, 8.0, 100, 465});
        inc.records.push_back({1, 35.0, 4.0, 120, 480});
        inc.recordCount = 2;
        model.state().recordResults.assign(3, RecordResult{});
        model.state().analysisType = AnalysisType::Both;
    }

    // Typical values: L-infinity 60 +- 5, k 0.4 +- 0.05, mortality 0.8, 5 % measurement error.
    void setTypicalValues()
    {
        values[1] = 60;
        values[2] = 5;
        values[3] = 0.4;
        values[4] = 0.05;
        values[9] = 5;
        values[10] = 0.8;
        values[18] = values[19] = values[20] = notUsed;
    }

    double call(int NF)
    {
        double objective = 0.0;
        callModel(NF, objective);
        return objective;
    }

    void callModel(int NF, double& objective)
    {
        model.MODEL({objective, values, steps, descriptions, codes, paramCount, NF, observations, gradient,
                     curvature, qaicc});
    }

    FakeModelHost host;
    TarnfieldModel model{host};
    std::vector<double> values;
    std::vector<double> steps = std::vector<double>(21, 0.0);
    std::vector<std::string> descriptions = std::vector<std::string>(21);
    std::vector<std::string> codes = std::vector<std::string>(21, "~~");
    std::int32_t paramCount = 20;
    std::int32_t observations = 7;
    std::vector<double> gradient = std::vector<double>(21, 0.5);
    std::vector<std::vector<double>> curvature = std::vector<std::vector<double>>(3, std::vector<double>(3, 0.25));
    std::int32_t qaicc = 9;
};

TEST_F(Tarnfield, UnsupportedCallCodesChangeNothing)
{
    setTypicalValues();
    values[3] = -0.4;
    const auto before = values;
    double objective = 123.0;
    for (int NF : {-2, -5}) {
        callModel(NF, objective);
        EXPECT_EQ(objective, 123.0);
        EXPECT_EQ(values, before);
        EXPECT_EQ(gradient, std::vector<double>(21, 0.5));
        EXPECT_EQ(observations, 7);
        EXPECT_EQ(qaicc, 9);
        EXPECT_EQ(paramCount, 20);
    }
}

// The model yields once per growth class and once per increment record. Once the user has quit,
// the evaluation stops at its next yield, whichever part it is in; the result is not a number and
// never becomes the best evaluation.
TEST_F(Tarnfield, AnEvaluationStopsAtItsNextYieldOnceTheProgramHasEnded)
{
    setTypicalValues();
    call(1);
    const int yieldsOfAWholeEvaluation = host.scriptedUi.yieldCount();
    const double best = model.state().bestObjective;
    const int incrementYields = model.state().increments.recordCount;
    for (const int endAt : {1, yieldsOfAWholeEvaluation - incrementYields + 1}) {
        SCOPED_TRACE(endAt);
        host.ended = false;
        const int before = host.scriptedUi.yieldCount();
        host.scriptedUi.onYield = [&] {
            if (host.scriptedUi.yieldCount() - before == endAt)
                host.ended = true;
        };
        EXPECT_TRUE(std::isnan(call(2)));
        EXPECT_EQ(host.scriptedUi.yieldCount() - before, endAt);
        EXPECT_EQ(model.state().bestObjective, best);
    }
}

TEST_F(Tarnfield, EvaluationCleansTheParametersInPlace)
{
    setTypicalValues();
    values[3] = -0.2;
    values[18] = -1.5;
    values[19] = -999;
    values[20] = -5;
    call(1);
    EXPECT_EQ(values[3], 0.2);
    EXPECT_EQ(values[18], -1.5);
    EXPECT_EQ(values[19], -999);
    EXPECT_EQ(values[20], 5);
}

TEST_F(Tarnfield, DeterministicLinfBelowTheLargestObservedSizeIsPenalized)
{
    setTypicalValues();
    values[2] = 0;
    values[1] = 40; // the last non-empty cell's midpoint is 45
    const double objective = call(1);
    const ModelState& s = model.state();
    EXPECT_EQ(s.penalty, 25.0 * 1e12);
    EXPECT_EQ(objective, 2.0 * (s.incrementPart + s.frequencyPart) + 25.0 * 1e12);
    EXPECT_EQ(s.bestObjective, objective);
    EXPECT_EQ(s.bestIncrementPart2 + s.bestFrequencyPart2, 2.0 * (s.incrementPart + s.frequencyPart));
}

TEST_F(Tarnfield, LinfAboveTheLargestObservedSizeHasNoPenalty)
{
    setTypicalValues();
    values[2] = 0;
    values[1] = 46;
    call(1);
    EXPECT_EQ(model.state().penalty, 0.0);
}

TEST_F(Tarnfield, OnlyABetterRunningEvaluationReplacesTheBest)
{
    setTypicalValues();
    const double best = call(1);
    const auto bestParams = model.state().bestParams;

    values[1] = 90; // a much worse fit
    const double worse = call(7);
    ASSERT_GT(worse, best);
    EXPECT_EQ(model.state().bestObjective, best);
    EXPECT_EQ(model.state().bestParams, bestParams);

    call(1);
    EXPECT_EQ(model.state().bestObjective, worse);
    EXPECT_EQ(model.state().bestParams[1], 90);
}

TEST_F(Tarnfield, SizeDependentGrowthSwitchesToGammaErrorsForTheRestOfTheRun)
{
    setTypicalValues();
    values[17] = 0.001;
    call(1);
    EXPECT_EQ(model.state().incrementErrorType, IncrementErrorType::Gamma);
    values[17] = 0;
    call(2);
    EXPECT_EQ(model.state().incrementErrorType, IncrementErrorType::Gamma);
}

TEST_F(Tarnfield, EachAnalysisTypeLeavesTheOtherPartAtZero)
{
    setTypicalValues();
    model.state().analysisType = AnalysisType::Increments;
    const double incrementsOnly = call(1);
    EXPECT_EQ(model.state().frequencyPart, 0.0);
    EXPECT_EQ(incrementsOnly, 2.0 * model.state().incrementPart);

    model.state().analysisType = AnalysisType::SizeFrequency;
    const double frequenciesOnly = call(1);
    EXPECT_EQ(model.state().incrementPart, 0.0);
    EXPECT_EQ(frequenciesOnly, 2.0 * model.state().frequencyPart);

    model.state().analysisType = AnalysisType::Both;
    EXPECT_EQ(call(1), incrementsOnly + frequenciesOnly);
}

// The ranking's AICc takes n from the model: the results summary's n = N + nInc, so that both
// report the same AICc for the same fit. Six cells holding 105 animals and two increment records.
TEST_F(Tarnfield, AnEvaluationReportsTheObservationCountOfTheSummaryForTheRanking)
{
    setTypicalValues();
    call(1);
    EXPECT_EQ(qaicc, 107);
    EXPECT_EQ(observations, 7) << "the covariance scale's count is not touched";

    model.state().analysisType = AnalysisType::Increments;
    model.state().frequencies.N = 0.0;
    call(2);
    EXPECT_EQ(qaicc, 2);

    // Frequencies need not be whole numbers; the count is rounded.
    model.state().frequencies.N = 104.6;
    call(2);
    EXPECT_EQ(qaicc, 107);
}

TEST_F(Tarnfield, AnInvalidOperationGivesANonFiniteObjectiveThatNeverBecomesTheBest)
{
    setTypicalValues();
    const double good = call(1);
    // Size-at-age selectivity with a zero SD divides by zero.
    values[18] = 0.5;
    values[19] = 30;
    values[20] = 0;
    model.state().analysisType = AnalysisType::Increments;
    const double failed = call(2);
    EXPECT_FALSE(std::isfinite(failed));
    EXPECT_FALSE(model.state().arithmeticFailure.empty());
    EXPECT_EQ(model.state().bestObjective, good);
}

TEST(TarnfieldTexts, ParameterTableAndDocumentation)
{
    const auto& d = TarnfieldModel::parameterDescriptions();
    ASSERT_EQ(d.size(), 21u);
    EXPECT_EQ(d[1], "mean of L-infinity (at max of annual cycle) [0]");
    EXPECT_EQ(d[10], "instantaneous natural mortality [0; 1 if estimating k/Z or b/Z]");
    EXPECT_EQ(d[18], "t0 (estimated only if analyzing size-at-age (years) data as increments) [-999]");
    EXPECT_EQ(d[20], "SD of Gaussian selectivity for size-at-age data only [-999]");

    const std::string doc = TarnfieldModel::documentationText();
    size_t lines = 0;
    for (char c : doc)
        lines += c == '\n' ? 1 : 0;
    EXPECT_EQ(lines, 35u);
    EXPECT_EQ(doc.rfind("This model analyzes size frequency or growth increment data, or both combined.\n", 0), 0u);
    EXPECT_NE(doc.find("size limits for fishing \ncan be chosen."), std::string::npos);
    EXPECT_NE(doc.find("is: '###### ###### ###### ###### ######'\n\n"), std::string::npos);
}

} // namespace
} // namespace orvanta
