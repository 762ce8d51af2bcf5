#include "model/GrowthClassKernel.h"
#include "model/VectorMath.h"

#include "model/FrequencyLikelihood.h"
#include "model/ModelParameters.h"
#include "model/ModelState.h"
#include "support/ExampleModels.h"
#include "support/FakeModelHost.h"
#include "support/SmallModelData.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

// The vectorised frequency part against the scalar reference kernel: bit for bit the same
// densities, predictions, deviance, failure texts, messages and yields, on every instruction set
// this processor runs.

namespace orvanta {
namespace {

using testing::FakeModelHost;

const std::string examplesDir = ORVANTA_EXAMPLES_DIR;

struct Evaluation {
    double G = 0.0;
    SizeArray u{};
    CellArray predicted{};
    std::string failure;
    int yields = 0;
    std::size_t messages = 0;
};

// Whether the evaluation tells the user that sizes are cut at 250 units.
bool sizeCut(const ModelParameters& m)
{
    const double largest =
        m.varLinf > varLinfFloor ? std::floor(m.Linf + 5.0 * std::sqrt(m.varLinf)) : std::floor(m.Linf);
    return largest > maxSize;
}

Evaluation evaluate(const FrequencyData& data, const ModelParameters& m, FrequencyKernel kernel)
{
    FakeModelHost host;
    if (sizeCut(m))
        host.scriptedUi.answer(Answer::OK);
    ModelState state;
    state.frequencies = data;
    Evaluation e;
    e.G = frequencyPart(state, m, host, kernel);
    e.u = state.unitDensity;
    e.predicted = state.predicted;
    e.failure = state.arithmeticFailure;
    e.yields = host.scriptedUi.yieldCount();
    e.messages = host.scriptedUi.messages().size();
    return e;
}

std::uint64_t bits(double value)
{
    return std::bit_cast<std::uint64_t>(value);
}

template <std::size_t size>
void expectSameBits(const std::array<double, size>& vectorised, const std::array<double, size>& reference,
                    const char* what)
{
    for (std::size_t i = 0; i < size; ++i)
        ASSERT_EQ(bits(vectorised[i]), bits(reference[i]))
            << what << "[" << i << "]: " << vectorised[i] << " against " << reference[i];
}

void expectSameEvaluation(const FrequencyData& data, const ModelParameters& m)
{
    const Evaluation reference = evaluate(data, m, FrequencyKernel::ScalarReference);
    const Evaluation vectorised = evaluate(data, m, FrequencyKernel::Vectorised);
    EXPECT_EQ(bits(vectorised.G), bits(reference.G)) << vectorised.G << " against " << reference.G;
    expectSameBits(vectorised.u, reference.u, "u");
    expectSameBits(vectorised.predicted, reference.predicted, "predicted");
    EXPECT_EQ(vectorised.failure, reference.failure);
    EXPECT_EQ(vectorised.yields, reference.yields);
    EXPECT_EQ(vectorised.messages, reference.messages);
}

// Runs check once on every instruction set, the kernel restricted to it; lifts the restriction.
template <typename Check> void onEveryInstructionSet(const Check& check)
{
    const std::vector<InstructionSet> sets = availableInstructionSets();
    ASSERT_FALSE(sets.empty());
    for (const InstructionSet& set : sets) {
        SCOPED_TRACE(set.name);
        restrictInstructionSet(set.id);
        EXPECT_EQ(activeInstructionSet(), set.name);
        check();
    }
    restrictInstructionSet(0);
}

// The bundled example's frequencies and the values of its algorithm file.
struct BundledExample {
    FrequencyData frequencies;
    ModelParameters params;
};

BundledExample bundledExample()
{
    std::vector<double> p = testing::bundledExampleValues(examplesDir);
    cleanModelParameters(p);
    return {testing::readBundledExampleData(examplesDir).frequencies, deriveModelParameters(p)};
}

// 250 unit cells holding a hump of counts, as the heavy evaluations have.
FrequencyData unitCells250()
{
    FrequencyData data;
    data.cellWidth = 1.0;
    data.cellCount = maxCells;
    for (int c = 1; c <= maxCells; ++c) {
        data.midpoint[c] = c - 0.5;
        data.observed[c] = std::round(60.0 * std::exp(-std::pow((c - 110.0) / 45.0, 2)));
        data.N += data.observed[c];
    }
    return data;
}

FrequencyData sixCellsOfWidth10()
{
    FrequencyData data;
    testing::addSixFrequencyCells(data);
    return data;
}

// Parameters anywhere in their useful ranges: L-infinity up to 300 (classes cut at 250), either
// variance at its floor or not, measurement error, fishing and selectivity each on or off, b 0
// or positive.
ModelParameters randomParameters(std::mt19937_64& random)
{
    const auto uniform = [&](double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random);
    };
    const auto chance = [&] { return uniform(0.0, 1.0) < 0.5; };
    ModelParameters m;
    m.Linf = uniform(5.0, 300.0);
    m.varLinf = chance() ? varLinfFloor : std::pow(uniform(0.5, 30.0), 2);
    m.k = uniform(0.05, 1.2);
    m.vark = chance() ? varkFloor : std::pow(uniform(0.01, 0.3) * m.k, 2);
    m.measVar = chance() ? 0.0 : std::pow(uniform(0.5, 8.0), 2);
    m.z = uniform(0.05, 2.0);
    m.zSize = chance() ? 0.0 : uniform(0.0, 0.01);
    if (chance()) {
        m.fishLow = uniform(0.0, 150.0);
        m.fishHigh = m.fishLow + uniform(0.0, 150.0);
        m.F = uniform(0.0, 1.0);
    }
    if (chance()) {
        m.selMean = uniform(5.0, 120.0);
        m.selVar = std::pow(uniform(1.0, 30.0), 2);
    }
    m.b = chance() ? 0.0 : uniform(0.0, 0.005);
    return m;
}

TEST(GrowthClassKernel, OffersTheBaselineAndEveryInstructionSetOfThisProcessor)
{
    const std::vector<InstructionSet> sets = availableInstructionSets();
    ASSERT_FALSE(sets.empty());
    EXPECT_EQ(activeInstructionSet(), sets.front().name); // the best runs unless restricted
    const std::string baseline = sets.back().name;        // the portable code is always there
    EXPECT_TRUE(baseline == "SCALAR" || baseline == "EMU128") << baseline;
}

TEST(GrowthClassKernel, BundledExampleIsBitForBitTheScalarOne)
{
    const BundledExample example = bundledExample();
    ASSERT_GT(example.frequencies.cellCount, 0);
    onEveryInstructionSet([&] { expectSameEvaluation(example.frequencies, example.params); });
}

TEST(GrowthClassKernel, HeavyEvaluationsAreBitForBitTheScalarOnes)
{
    // Both variances varying over 250 unit cells, with measurement error, fishing, selectivity
    // and b > 0; the second has its classes cut at 250.
    ModelParameters typical;
    typical.Linf = 170.0;
    typical.varLinf = 14.0 * 14.0;
    typical.k = 0.25;
    typical.vark = 0.05 * 0.05;
    typical.measVar = 16.0;
    typical.z = 0.9;
    typical.zSize = 0.002;
    typical.fishLow = 60.0;
    typical.fishHigh = 200.0;
    typical.F = 0.3;
    typical.selMean = 40.0;
    typical.selVar = 144.0;
    typical.b = 0.0005;
    ModelParameters largest = typical;
    largest.Linf = 200.0;
    largest.varLinf = 50.0 * 50.0;
    largest.k = 0.3;
    largest.vark = 0.08 * 0.08;
    onEveryInstructionSet([&] {
        expectSameEvaluation(unitCells250(), typical);
        expectSameEvaluation(unitCells250(), largest);
    });
}

TEST(GrowthClassKernel, RandomParametersAreBitForBitTheScalarOnes)
{
    std::mt19937_64 random(18);
    std::vector<ModelParameters> parameters;
    for (int i = 0; i < 30; ++i)
        parameters.push_back(randomParameters(random));
    const std::vector<FrequencyData> dataSets{unitCells250(), sixCellsOfWidth10(),
                                              bundledExample().frequencies};
    onEveryInstructionSet([&] {
        for (std::size_t i = 0; i < parameters.size(); ++i) {
            SCOPED_TRACE(::testing::Message() << "parameter vector " << i);
            expectSameEvaluation(dataSets[i % dataSets.size()], parameters[i]);
        }
    });
}

TEST(GrowthClassKernel, FailuresAreTheScalarOnes)
{
    // A whole-number fixed L-infinity, L below 1, and a class whose density overflows.
    ModelParameters whole;
    whole.Linf = 60.0;
    whole.k = 0.3;
    whole.z = 0.5;
    ModelParameters tiny = whole;
    tiny.Linf = 0.6;
    ModelParameters overflowing = whole;
    overflowing.Linf = 240.0;
    overflowing.k = 0.001;
    overflowing.z = 40.0;
    overflowing.zSize = -0.05;
    EXPECT_NE(evaluate(unitCells250(), overflowing, FrequencyKernel::ScalarReference).failure, "");
    onEveryInstructionSet([&] {
        for (const ModelParameters& m : {whole, tiny, overflowing})
            expectSameEvaluation(unitCells250(), m);
    });
}

} // namespace
} // namespace orvanta
