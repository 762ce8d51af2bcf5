#include "model/IncrementLikelihood.h"

#include "model/ModelParameters.h"
#include "model/ModelState.h"
#include "model/VectorMath.h"
#include "support/ExampleModels.h"
#include "support/FakeModelHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// The lean arithmetic of the increment part against the reference arithmetic it replaced (every
// point of every grid and integral evaluated on its own by the C library): the records' results
// agree within 1e-12 relative (absolute below 1), on the bundled example, on generated tagging
// and size-at-age data under every error model, and on every instruction set.

namespace orvanta {
namespace {

using testing::FakeModelHost;

const std::string examplesDir = ORVANTA_EXAMPLES_DIR;
constexpr double tolerance = 1e-12;

// The parameter values p[1..20] with the model's derived quantities.
struct Parameters {
    std::vector<double> p = std::vector<double>(modelParamCount + 1, 0.0);

    ModelParameters derived() const
    {
        std::vector<double> cleaned = p;
        cleanModelParameters(cleaned);
        return deriveModelParameters(cleaned);
    }
};

struct Case {
    std::string name;
    IncrementData increments;
    IncrementErrorType errorType = IncrementErrorType::Gaussian;
    Parameters parameters;
};

struct Evaluation {
    double total = 0.0;
    std::vector<RecordResult> records;
    std::string failure;
};

Evaluation evaluate(const Case& c, IncrementArithmetic arithmetic)
{
    ModelState state;
    state.increments = c.increments;
    state.incrementErrorType = c.errorType;
    FakeModelHost host;
    std::vector<double> p = c.parameters.p;
    cleanModelParameters(p);
    Evaluation e;
    e.total = incrementPart(state, c.parameters.derived(), p, host, arithmetic);
    e.records = state.recordResults;
    e.failure = state.arithmeticFailure;
    return e;
}

// The largest relative change seen, over all cases and instruction sets, for the closing note.
double largestChange = 0.0;

void expectClose(double lean, double reference, const char* what, int record)
{
    const double change = std::fabs(lean - reference) / std::max(std::fabs(reference), 1.0);
    if (std::isfinite(change))
        largestChange = std::max(largestChange, change);
    EXPECT_TRUE(change <= tolerance || (std::isnan(lean) && std::isnan(reference)))
        << what << " of record " << record << ": " << lean << " against " << reference;
}

void expectAgreement(const Case& c)
{
    SCOPED_TRACE(c.name);
    const Evaluation reference = evaluate(c, IncrementArithmetic::Reference);
    const Evaluation lean = evaluate(c, IncrementArithmetic::Lean);
    ASSERT_EQ(lean.failure, reference.failure);
    ASSERT_TRUE(std::isfinite(reference.total));
    expectClose(lean.total, reference.total, "sum", 0);
    ASSERT_EQ(lean.records.size(), reference.records.size());
    for (std::size_t i = 1; i < reference.records.size(); ++i) {
        const RecordResult& l = lean.records[i];
        const RecordResult& r = reference.records[i];
        const int record = static_cast<int>(i);
        expectClose(l.recordNll, r.recordNll, "nll", record);
        expectClose(l.meanIncrement, r.meanIncrement, "mean increment", record);
        expectClose(l.incrementVariance, r.incrementVariance, "increment variance", record);
        expectClose(l.expectedLinf, r.expectedLinf, "E[L-infinity]", record);
        expectClose(l.expectedLinfSquare, r.expectedLinfSquare, "E[L-infinity^2]", record);
    }
}

// A fixed linear congruential sequence in [0, 1).
class UniformSequence {
public:
    double next()
    {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(state_ >> 11) * 0x1.0p-53;
    }

private:
    std::uint64_t state_ = 1811ULL;
};

// Tagging records of 20..110 units at large for 30..900 days around the growth of L-infinity
// 120, k 0.35; some increments zero or negative.
IncrementData taggingRecords(int count)
{
    UniformSequence uniform;
    IncrementData data;
    data.records.assign(1, IncrementRecord{});
    for (int i = 1; i <= count; ++i) {
        const double l1 = 20.0 + 90.0 * uniform.next();
        const double start = std::floor(365.0 * uniform.next());
        const double days = std::floor(30.0 + 870.0 * uniform.next());
        const double expected = (120.0 - l1) * (1.0 - std::exp(-0.35 * days / 365.0));
        const double d = expected * (0.6 + 0.8 * uniform.next()) - 1.0;
        data.records.push_back(IncrementRecord{1.0, l1, d, start, start + days});
    }
    data.recordCount = count;
    return data;
}

// Size-at-age records (t0 = 0): sizes at ages of 0.5..3 years, measured again 1..2 years later.
IncrementData sizeAtAgeRecords(int count)
{
    UniformSequence uniform;
    IncrementData data;
    data.records.assign(1, IncrementRecord{});
    for (int i = 1; i <= count; ++i) {
        const double age = 0.5 + 2.5 * uniform.next();
        const double later = age + 1.0 + uniform.next();
        const double l1 = 120.0 * (1.0 - std::exp(-0.35 * age)) * (0.8 + 0.4 * uniform.next());
        const double l2 = 120.0 * (1.0 - std::exp(-0.35 * later)) * (0.8 + 0.4 * uniform.next());
        data.records.push_back(IncrementRecord{1.0, l1, std::max(l2 - l1, 0.5), age, later});
    }
    data.recordCount = count;
    return data;
}

Parameters taggingParameters(double m, double b)
{
    Parameters parameters;
    std::vector<double>& p = parameters.p;
    p[1] = 120.0;
    p[2] = 15.0;
    p[3] = 0.35;
    p[4] = 0.08;
    p[5] = 0.01;
    p[6] = 120.0;
    p[7] = 3.0;
    p[8] = 200.0;
    p[9] = m;
    p[17] = b;
    p[18] = notUsed;
    p[19] = notUsed;
    p[20] = notUsed;
    return parameters;
}

std::vector<Case> generatedCases()
{
    std::vector<Case> cases;
    const IncrementData tagging = taggingRecords(150);
    for (const IncrementErrorType type : {IncrementErrorType::Gaussian, IncrementErrorType::Gamma})
        for (const double m : {0.0, 2.0})
            for (const double b : {0.0, 0.002}) {
                const std::string name =
                    std::string(type == IncrementErrorType::Gamma ? "gamma" : "Gaussian") + " m " +
                    std::to_string(m) + " b " + std::to_string(b);
                cases.push_back({name, tagging, type, taggingParameters(m, b)});
            }
    Case sizeAtAge{"size at age with selectivity", sizeAtAgeRecords(60), IncrementErrorType::Gaussian,
                   taggingParameters(2.0, 0.0)};
    sizeAtAge.parameters.p[18] = 0.0;
    sizeAtAge.parameters.p[19] = 30.0;
    sizeAtAge.parameters.p[20] = 8.0;
    cases.push_back(sizeAtAge);
    Case gammaSizeAtAge = sizeAtAge;
    gammaSizeAtAge.name = "size at age with selectivity, gamma errors, b > 0";
    gammaSizeAtAge.errorType = IncrementErrorType::Gamma;
    gammaSizeAtAge.parameters.p[17] = 0.001;
    cases.push_back(gammaSizeAtAge);
    return cases;
}

// The bundled example's tagging data at the values of its algorithm file, as it is and with
// size-dependent growth.
std::vector<Case> bundledCases()
{
    const ModelData data = testing::readBundledExampleData(examplesDir);
    Case example{"bundled example", data.increments, data.incrementErrorType, {}};
    example.parameters.p = testing::bundledExampleValues(examplesDir);
    Case sizeDependent = example;
    sizeDependent.name = "bundled example with b > 0";
    sizeDependent.parameters.p[17] = 0.002;
    return {example, sizeDependent};
}

TEST(LeanIncrementArithmetic, AgreesWithTheReferenceOnEveryDataSetAndInstructionSet)
{
    std::vector<Case> cases = bundledCases();
    ASSERT_EQ(cases.size(), 2U);
    ASSERT_GT(cases[0].increments.recordCount, 0);
    for (const Case& c : generatedCases())
        cases.push_back(c);
    for (const InstructionSet& set : availableInstructionSets()) {
        SCOPED_TRACE(set.name);
        restrictInstructionSet(set.id);
        for (const Case& c : cases)
            expectAgreement(c);
    }
    restrictInstructionSet(0);
    std::printf("Largest relative change of a record's result: %.3g\n", largestChange);
}

} // namespace
} // namespace orvanta
