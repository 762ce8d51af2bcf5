#include "model/DataSimulator.h"

#include "model/DataFiles.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"
#include "text/TextFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <iterator>
#include <map>
#include <numeric>
#include <string>
#include <tuple>
#include <vector>

namespace orvanta {
namespace {

using testing::ScriptedUi;
using testing::TempDir;

// p1..p20 at indices 1..20 with every feature switched off, then the given values.
std::vector<double> params(const std::map<int, double>& values)
{
    std::vector<double> p(modelParamCount + 1, 0.0);
    p[18] = p[19] = p[20] = notUsed;
    for (const auto& [index, value] : values)
        p[static_cast<size_t>(index)] = value;
    return p;
}

// A fished population: L-infinity 120 +- 8, k 0.35 +- 0.06, 5 % measurement SE, z 0.5,
// F 0.3 from size 70, frequency sample selected around 40 +- 10.
std::vector<double> fishedPopulation()
{
    const double values[] = {120, 8,  0.35, 0.06, 0,  0,  0, 0,    5,    0.5,
                             0,   70, 250,  0.3,  40, 10, 0, -999, -999, -999};
    std::vector<double> p(1, 0.0);
    p.insert(p.end(), std::begin(values), std::end(values));
    return p;
}

SimulationRequest request(std::vector<double> p, std::uint64_t seed = 11, int fish = 500, int records = 100)
{
    SimulationRequest r;
    r.params = std::move(p);
    r.seed = seed;
    if (fish > 0)
        r.frequencies = FrequencySampleRequest{fish, 2.0};
    if (records > 0) {
        r.increments = IncrementSampleRequest{};
        r.increments->recordCount = records;
    }
    return r;
}

SimulatedData simulated(const SimulationRequest& r)
{
    auto result = simulateData(r);
    if (const auto* refusal = std::get_if<SimulationRefusal>(&result)) {
        ADD_FAILURE() << "refused: " << refusal->text;
        return {};
    }
    return std::get<SimulatedData>(std::move(result));
}

std::string refusal(const SimulationRequest& r)
{
    const auto result = simulateData(r);
    if (const auto* refused = std::get_if<SimulationRefusal>(&result))
        return refused->text;
    ADD_FAILURE() << "simulated although it should have been refused";
    return {};
}

// The simulated files as the model reads them.
class SimulatedFiles : public ::testing::Test {
protected:
    ModelData readBack(const SimulatedData& data)
    {
        InitializationRequest r;
        if (!data.frequencyText.empty()) {
            r.frequencyFile = dir.file("freq.dat");
            EXPECT_TRUE(saveTextFile(r.frequencyFile, data.frequencyText));
        }
        if (!data.incrementText.empty()) {
            r.incrementFile = dir.file("inc.dat");
            EXPECT_TRUE(saveTextFile(r.incrementFile, data.incrementText));
        }
        auto result = readModelData(r, ui);
        if (const auto* problem = std::get_if<DataFileProblem>(&result)) {
            ADD_FAILURE() << problem->title << ": " << problem->text;
            return {};
        }
        return std::get<ModelData>(std::move(result));
    }

    std::vector<IncrementRecord> records(const SimulatedData& data)
    {
        const IncrementData increments = readBack(data).increments;
        return {increments.records.begin() + 1, increments.records.end()};
    }

    TempDir dir;
    ScriptedUi ui;
};

// Share of the sample in cells 1..c (sizes below c times the width).
double shareBelow(const FrequencyData& f, int c)
{
    double below = 0.0;
    for (int cell = 1; cell <= std::min(c, f.cellCount); ++cell)
        below += f.observed[static_cast<size_t>(cell)];
    return below / f.N;
}

// ---------------------------------------------------------------------------------------------
// Reproducibility and the file formats

TEST(DataSimulator, TheSameSeedGivesTheSameFilesAndAnotherSeedOthers)
{
    const SimulatedData first = simulated(request(fishedPopulation(), 5));
    const SimulatedData again = simulated(request(fishedPopulation(), 5));
    const SimulatedData other = simulated(request(fishedPopulation(), 6));
    EXPECT_EQ(first.frequencyText, again.frequencyText);
    EXPECT_EQ(first.incrementText, again.incrementText);
    EXPECT_NE(first.frequencyText, other.frequencyText);
    EXPECT_NE(first.incrementText, other.incrementText);
}

TEST(DataSimulator, EachFileIsTheSameWhetherOrNotTheOtherIsAskedFor)
{
    const SimulatedData both = simulated(request(fishedPopulation(), 5, 300, 50));
    EXPECT_EQ(simulated(request(fishedPopulation(), 5, 300, 0)).frequencyText, both.frequencyText);
    EXPECT_EQ(simulated(request(fishedPopulation(), 5, 0, 50)).incrementText, both.incrementText);
}

TEST(DataSimulator, FixedColumnLines)
{
    const SimulatedData data = simulated(request(fishedPopulation(), 5, 300, 50));
    // Midpoint in columns 1-7, a blank, the frequency in columns 9-12.
    EXPECT_EQ(data.frequencyText.substr(0, 13), "      1    0\n");
    // Five six-column fields separated by blanks.
    const std::string firstLine = data.incrementText.substr(0, data.incrementText.find('\n'));
    ASSERT_EQ(firstLine.size(), 34u);
    for (size_t blank : {6u, 13u, 20u, 27u})
        EXPECT_EQ(firstLine[blank], ' ') << firstLine;
    EXPECT_EQ(firstLine.substr(0, 6), "     1");
}

TEST_F(SimulatedFiles, ReadBackWithTheRequestedCounts)
{
    SimulationRequest r = request(fishedPopulation(), 21, 1500, 150);
    r.frequencies->cellWidth = 2.5; // midpoints 1.25, 3.75, ...
    const SimulatedData data = simulated(r);
    const ModelData model = readBack(data);
    EXPECT_TRUE(ui.messages().empty());
    EXPECT_EQ(model.analysisType, AnalysisType::Both);
    EXPECT_EQ(model.frequencies.N, 1500.0);
    EXPECT_EQ(model.frequencies.cellCount, data.cellCount);
    EXPECT_DOUBLE_EQ(model.frequencies.cellWidth, 2.5);
    EXPECT_DOUBLE_EQ(model.frequencies.midpoint[1], 1.25);
    EXPECT_GT(model.frequencies.observed[static_cast<size_t>(data.cellCount)], 0.0)
        << "the last cell is not empty";
    EXPECT_EQ(model.increments.recordCount, 150);
}

TEST_F(SimulatedFiles, TagRecordsAreSortedAndStayInTheirRanges)
{
    SimulationRequest r = request(fishedPopulation(), 8, 0, 400);
    IncrementSampleRequest& inc = *r.increments;
    inc.releaseDayMin = 10;
    inc.releaseDayMax = 800;
    inc.libertyMinDays = 60;
    inc.libertyMaxDays = 400;
    inc.releaseSizeMin = 40;
    inc.releaseSizeMax = 100;
    const std::vector<IncrementRecord> all = records(simulated(r));
    ASSERT_EQ(all.size(), 400u);
    std::map<double, int> perSet;
    for (size_t i = 0; i < all.size(); ++i) {
        const IncrementRecord& x = all[i];
        EXPECT_GE(x.startDay, 10);
        EXPECT_LE(x.startDay, 800);
        EXPECT_GE(x.endDay - x.startDay, 60);
        EXPECT_LE(x.endDay - x.startDay, 400);
        EXPECT_GE(x.initialSize, 40);
        EXPECT_LE(x.initialSize, 100);
        EXPECT_EQ(x.setNumber, std::floor((x.startDay - 1) / 365) + 1) << "the year of release";
        ++perSet[x.setNumber];
        if (i > 0) {
            const IncrementRecord& y = all[i - 1];
            EXPECT_LE(std::tie(y.setNumber, y.initialSize, y.increment),
                      std::tie(x.setNumber, x.initialSize, x.increment));
        }
    }
    EXPECT_EQ(perSet.size(), 3u) << "release days 10..800 span three years";
}

TEST_F(SimulatedFiles, UniformReleaseSizesCoverTheirRange)
{
    SimulationRequest r = request(fishedPopulation(), 8, 0, 600);
    r.increments->releaseSizes = ReleaseSizes::Uniform;
    r.increments->releaseSizeMin = 20;
    r.increments->releaseSizeMax = 140;
    int below50 = 0;
    for (const IncrementRecord& x : records(simulated(r))) {
        EXPECT_GE(x.initialSize, 20);
        EXPECT_LE(x.initialSize, 140);
        below50 += x.initialSize < 50 ? 1 : 0;
    }
    // A quarter of the range: 150 expected, SD about 11.
    EXPECT_NEAR(below50, 150, 50);
}

// ---------------------------------------------------------------------------------------------
// Growth

TEST_F(SimulatedFiles, DeterministicGrowthGivesVonBertalanffyIncrements)
{
    // No variation between animals, no measurement error, no cycles.
    const double linf = 80.0;
    const double k = 0.4;
    SimulationRequest r = request(params({{1, linf}, {3, k}, {10, 0.5}}), 3, 0, 200);
    const std::vector<IncrementRecord> all = records(simulated(r));
    ASSERT_EQ(all.size(), 200u);
    for (const IncrementRecord& x : all) {
        const double years = (x.endDay - x.startDay) / 365.0;
        const double expected = (linf - x.initialSize) * (1.0 - std::exp(-k * years));
        EXPECT_NEAR(x.increment, expected, 0.005 + 1e-9) << "two decimals are written";
    }
}

TEST_F(SimulatedFiles, SizeDependentGrowthFollowsTheGrowthLaw)
{
    // L(t) = Linf k (1 - e^-ct) / (k + b Linf e^-ct), c = k + b Linf. An animal of size l1 is at
    // age t1 with e^-c t1 = k (Linf - l1) / (Linf (k + b l1)); it grows to L(t1 + dt).
    const double linf = 90.0;
    const double k = 0.2;
    const double b = 0.004;
    const double c = k + b * linf;
    const auto L = [&](double t) {
        const double e = std::exp(-c * t);
        return linf * k * (1.0 - e) / (k + b * linf * e);
    };
    SimulationRequest r = request(params({{1, linf}, {3, k}, {10, 0.5}, {17, b}}), 4, 0, 200);
    for (const IncrementRecord& x : records(simulated(r))) {
        const double t1 = -std::log(k * (linf - x.initialSize) / (linf * (k + b * x.initialSize))) / c;
        const double years = (x.endDay - x.startDay) / 365.0;
        EXPECT_NEAR(x.increment, L(t1 + years) - x.initialSize, 0.005 + 1e-9);
    }
}

TEST_F(SimulatedFiles, AnnualCyclesActAsTheModelPredictsThem)
{
    // Increment = (Linf - p7 + cycleL - l1)(1 - exp(-k dt - cycleK)), cycles the changes of
    // a sin(2 pi (day - day of maximum) / 365) between release and recapture.
    const double linf = 80.0, k = 0.4, aK = 0.05, dayK = 100, aL = 3, dayL = 250;
    SimulationRequest r =
        request(params({{1, linf}, {3, k}, {5, aK}, {6, dayK}, {7, aL}, {8, dayL}, {10, 0.5}}), 4, 0, 100);
    r.increments->releaseSizeMax = 60;
    const double w = 2.0 * std::acos(-1.0) / 365.0;
    for (const IncrementRecord& x : records(simulated(r))) {
        const double cycleK = aK * (std::sin(w * (x.endDay - dayK)) - std::sin(w * (x.startDay - dayK)));
        const double cycleL = aL * (std::sin(w * (x.endDay - dayL)) - std::sin(w * (x.startDay - dayL)));
        const double years = (x.endDay - x.startDay) / 365.0;
        const double expected = (linf - aL + cycleL - x.initialSize) * (1.0 - std::exp(-k * years - cycleK));
        EXPECT_NEAR(x.increment, expected, 0.005 + 1e-9);
    }
}

TEST_F(SimulatedFiles, SizesAtOldAgesScatterAroundLInfinity)
{
    // At ages 25..40 with k 0.35 +- 0.06 the mean shortfall below an animal's own L-infinity,
    // E[exp(-k age)], is below 1e-4.
    SimulationRequest r =
        request(params({{1, 120}, {2, 8}, {3, 0.35}, {4, 0.06}, {9, 2}, {18, 0}}), 9, 0, 2000);
    r.increments->ageMin = 25;
    r.increments->ageMax = 40;
    const std::vector<IncrementRecord> all = records(simulated(r));
    ASSERT_EQ(all.size(), 2000u);
    double sum = 0.0, squares = 0.0;
    for (const IncrementRecord& x : all) {
        EXPECT_EQ(x.initialSize, 0.0);
        EXPECT_EQ(x.startDay, 0.0);
        EXPECT_GE(x.endDay, 25.0);
        EXPECT_LE(x.endDay, 40.0);
        sum += x.increment;
        squares += x.increment * x.increment;
    }
    const double mean = sum / 2000.0;
    const double sd = std::sqrt(squares / 2000.0 - mean * mean);
    EXPECT_NEAR(mean, 120.0, 1.0); // standard error about 0.19
    // SD of L-infinity and of a 2 % measurement error at 120: sqrt(8^2 + 2.4^2) = 8.35.
    EXPECT_NEAR(sd, 8.35, 0.8);
}

TEST_F(SimulatedFiles, SizeAtAgeUsesT0AndItsSelectivity)
{
    const double linf = 100.0, k = 0.3, t0 = -0.5;
    SimulationRequest r = request(params({{1, linf}, {3, k}, {10, 0.5}, {18, t0}}), 2, 0, 300);
    for (const IncrementRecord& x : records(simulated(r))) {
        EXPECT_GT(x.endDay, 0.0);
        EXPECT_NEAR(x.increment, linf * (1.0 - std::exp(-k * (x.endDay - t0))), 0.005 + 1e-9);
    }
    // Selected around size 60 +- 2: hardly any record below 54.
    SimulationRequest selected =
        request(params({{1, linf}, {3, k}, {10, 0.5}, {18, t0}, {19, 60}, {20, 2}}), 2, 0, 300);
    int small = 0;
    for (const IncrementRecord& x : records(simulated(selected)))
        small += x.increment < 54.0 ? 1 : 0;
    EXPECT_LE(small, 3); // Phi(-3) of those below 54 at most
}

// ---------------------------------------------------------------------------------------------
// The steady state

TEST_F(SimulatedFiles, UnfishedSizesFollowTheExactSteadyState)
{
    // One growth type and constant mortality: ages are Exponential(z), so
    // P(size < x) = 1 - (1 - x / Linf)^(z / k).
    const double linf = 100.0, k = 0.3, z = 0.5;
    SimulationRequest r = request(params({{1, linf}, {3, k}, {10, z}}), 31, 9999, 0);
    r.frequencies->cellWidth = 1.0;
    const FrequencyData f = readBack(simulated(r)).frequencies;
    for (int x : {10, 30, 60, 90})
        EXPECT_NEAR(shareBelow(f, x), 1.0 - std::pow(1.0 - x / linf, z / k), 0.015) << "size " << x;
}

TEST_F(SimulatedFiles, FishingSteepensTheSizeDistributionInsideTheWindow)
{
    // One growth type reaches size x at age t(x) with exp(-z t(x)) = (1 - x / Linf)^(z / k), and
    // the fishing window [a, 250] at t(a). Survival is exp(-z s) before t(a) and
    // exp(-z t(a) - (z + F)(s - t(a))) after, so with A = exp(-z t(a)) the share of the living
    // older than t is [(exp(-z t) - A) / z + A / (z + F)] / E before t(a) and
    // exp(-z t(a) - (z + F)(t - t(a))) / (z + F) / E after, E = (1 - A) / z + A / (z + F).
    const double linf = 100.0, k = 0.3, z = 0.5, F = 0.6, a = 50.0;
    SimulationRequest r =
        request(params({{1, linf}, {3, k}, {10, z}, {12, a}, {13, 250}, {14, F}}), 32, 9999, 0);
    r.frequencies->cellWidth = 1.0;
    const FrequencyData f = readBack(simulated(r)).frequencies;
    const auto survivalTo = [&](double x, double rate) { return std::pow(1.0 - x / linf, rate / k); };
    const double A = survivalTo(a, z);
    const double E = (1.0 - A) / z + A / (z + F);
    for (int x : {20, 50, 70, 90}) {
        const double older = x <= a ? (survivalTo(x, z) - A) / z + A / (z + F)
                                    : A * (survivalTo(x, z + F) / survivalTo(a, z + F)) / (z + F);
        EXPECT_NEAR(shareBelow(f, x), 1.0 - older / E, 0.015) << "size " << x;
    }
}

// P(size < x) of the steady state by quadrature, independent of the sampler: L-infinity on 201
// points over +- 5 SD with normal weights, time in steps of 0.01 years, survival from the
// trapezoidal integral of the hazard, each animal weighted by its time alive. After 80 years
// (exp(-80 k) of the growth left) the size is L-infinity and the hazard constant, so the time
// still alive is survival / hazard(L-infinity).
std::vector<double> steadyStateShares(double linfMean, double linfSd, double k, double z, double zSize,
                                      double F, double fishLow, double fishHigh,
                                      const std::vector<double>& sizes)
{
    const auto hazard = [&](double x) {
        return z * std::exp(-zSize * x) + (fishLow <= x && x <= fishHigh ? F : 0.0);
    };
    const double dt = 0.01;
    const int steps = 8000;
    double total = 0.0;
    std::vector<double> below(sizes.size(), 0.0);
    const auto add = [&](double alive, double size) {
        total += alive;
        for (size_t j = 0; j < sizes.size(); ++j)
            below[j] += size < sizes[j] ? alive : 0.0;
    };
    for (int i = 0; i <= 200; ++i) {
        const double u = -5.0 + i / 20.0;
        const double linf = linfMean + linfSd * u;
        const double weight = std::exp(-u * u / 2.0);
        double H = 0.0, size = 0.0, survival = 1.0;
        for (int step = 1; step <= steps; ++step) {
            const double nextSize = linf * (1.0 - std::exp(-k * step * dt));
            H += dt * (hazard(size) + hazard(nextSize)) / 2.0;
            const double nextSurvival = std::exp(-H);
            add(weight * dt * (survival + nextSurvival) / 2.0, (size + nextSize) / 2.0);
            size = nextSize;
            survival = nextSurvival;
        }
        add(weight * survival / hazard(linf), linf);
    }
    for (double& share : below)
        share /= total;
    return below;
}

TEST_F(SimulatedFiles, SizeDependentMortalityAndVaryingLInfinityMatchTheSteadyStateByQuadrature)
{
    // Mortality falling with size makes large, long-lived types more frequent among the living.
    const double linf = 100.0, sd = 15.0, k = 0.3, z = 1.0, zSize = 0.03, F = 0.5, low = 60.0, high = 90.0;
    SimulationRequest r =
        request(params({{1, linf}, {2, sd}, {3, k}, {10, z}, {11, zSize}, {12, low}, {13, high}, {14, F}}),
                33, 9999, 0);
    r.frequencies->cellWidth = 1.0;
    const FrequencyData f = readBack(simulated(r)).frequencies;
    const std::vector<double> sizes = {20, 50, 70, 90, 100, 110};
    const std::vector<double> expected = steadyStateShares(linf, sd, k, z, zSize, F, low, high, sizes);
    for (size_t j = 0; j < sizes.size(); ++j)
        EXPECT_NEAR(shareBelow(f, static_cast<int>(sizes[j])), expected[j], 0.015) << "size " << sizes[j];
}

TEST_F(SimulatedFiles, TheFrequencyModeLiesBelowLInfinity)
{
    const FrequencyData f = readBack(simulated(request(fishedPopulation(), 12, 1500, 0))).frequencies;
    int mode = 1;
    for (int c = 1; c <= f.cellCount; ++c)
        if (f.observed[static_cast<size_t>(c)] > f.observed[static_cast<size_t>(mode)])
            mode = c;
    EXPECT_LT(f.midpoint[static_cast<size_t>(mode)], 120.0);
    EXPECT_GT(f.midpoint[static_cast<size_t>(mode)], 40.0) << "selected around 40 +- 10, fished from 70";
}

TEST_F(SimulatedFiles, SelectivityRemovesSmallAnimals)
{
    std::vector<double> p = params({{1, 100}, {3, 0.3}, {10, 0.5}, {15, 60}, {16, 5}});
    SimulationRequest r = request(p, 14, 2000, 0);
    const FrequencyData selected = readBack(simulated(r)).frequencies;
    EXPECT_LE(shareBelow(selected, 20), 0.002) << "Phi(-4) below size 40";
    p[15] = 0.0; // unselected, as the model: both p15 and p16 must be non-zero
    const FrequencyData all = readBack(simulated(request(p, 14, 2000, 0))).frequencies;
    EXPECT_GT(shareBelow(all, 20), 0.5);
}

TEST_F(SimulatedFiles, MeasurementErrorCarriesSizesBeyondLInfinity)
{
    std::vector<double> p = params({{1, 100}, {3, 0.3}, {10, 0.2}});
    SimulationRequest r = request(p, 15, 3000, 0);
    r.frequencies->cellWidth = 1.0;
    EXPECT_LE(simulated(r).cellCount, 100) << "true sizes stay below L-infinity";
    r.params[9] = 5.0;
    EXPECT_GT(simulated(r).cellCount, 100);
}

// ---------------------------------------------------------------------------------------------
// Refusals

TEST(DataSimulator, RefusesImpossibleSettingsWithAReason)
{
    struct Case {
        std::string what;
        SimulationRequest request;
        std::string named;
    };
    const auto with = [](std::map<int, double> values) {
        std::vector<double> p = fishedPopulation();
        for (const auto& [i, v] : values)
            p[static_cast<size_t>(i)] = v;
        return request(p);
    };
    std::vector<Case> cases = {
        {"L-infinity mean 0", with({{1, 0}}), "p1 (mean of L-infinity"},
        {"negative SD", with({{2, -1}}), "p2 (SD of L-infinity) must not be negative"},
        {"k mean 0", with({{3, 0}}), "p3"},
        {"L-infinity beyond 250", with({{1, 240}, {2, 5}}), "250 units"},
        {"measurement SE 20 %", with({{9, 20}}), "p9"},
        {"empty fishing window", with({{12, 90}, {13, 80}}), "fishing window"},
        {"no mortality", with({{10, 0}, {14, 0}}), "steady-state population"},
        {"size-at-age selectivity SD 0", with({{18, 0}, {19, 50}, {20, 0}}), "p20"},
        {"nothing asked", request(fishedPopulation(), 1, 0, 0), "ask for"},
        {"not twenty values", SimulationRequest{{0, 1, 2}, 1, FrequencySampleRequest{}, {}}, "20"},
    };
    struct Change {
        std::string what;
        std::function<void(SimulationRequest&)> apply;
        std::string named;
    };
    const Change changes[] = {
        {"no animals", [](SimulationRequest& x) { x.frequencies->fishCount = 0; }, "1 to 9999"},
        {"cell width below 1", [](SimulationRequest& x) { x.frequencies->cellWidth = 0.5; }, "cell width"},
        {"cell width of thirds", [](SimulationRequest& x) { x.frequencies->cellWidth = 4.0 / 3.0; },
         "hundredths"},
        {"more records than 2000", [](SimulationRequest& x) { x.increments->recordCount = 2001; },
         "1 to 2000"},
        {"no records", [](SimulationRequest& x) { x.increments->recordCount = 0; }, "1 to 2000"},
        {"no time at liberty", [](SimulationRequest& x) { x.increments->libertyMinDays = 0; }, "liberty"},
        {"release days backwards", [](SimulationRequest& x) { x.increments->releaseDayMin = 400; },
         "release days"},
        {"days beyond six columns", [](SimulationRequest& x) { x.increments->releaseDayMax = 999500; },
         "999999"},
        {"ages with tag records", [](SimulationRequest& x) { x.increments->ageMin = 2; }, "t0"},
        {"release sizes beyond every animal",
         [](SimulationRequest& x) { x.increments->releaseSizeMin = 161; }, "no animal"},
        {"uniform without a largest size",
         [](SimulationRequest& x) { x.increments->releaseSizes = ReleaseSizes::Uniform; },
         "largest release size"},
        {"uniform sizes too large",
         [](SimulationRequest& x) {
             x.increments->releaseSizes = ReleaseSizes::Uniform;
             x.increments->releaseSizeMax = 152; // p1 + 4 p2
         },
         "152"},
    };
    for (const Change& change : changes) {
        SimulationRequest changed = request(fishedPopulation());
        change.apply(changed);
        cases.push_back({change.what, changed, change.named});
    }
    // More cells than 250 units hold: L-infinity up to 240, 5 SE of 5 % beyond it.
    SimulationRequest wide = request(params({{1, 200}, {2, 8}, {3, 0.3}, {9, 5}, {10, 0.5}}));
    cases.push_back({"more cells than 250 units", wide, "cells of width 2"});
    SimulationRequest ages = request(params({{1, 100}, {3, 0.3}, {10, 0.5}, {18, 1.0}}), 1, 0, 10);
    ages.increments->ageMin = 0.5;
    ages.increments->ageMax = 5;
    cases.push_back({"ages below t0", ages, "ages must run from above 1"});
    // A selectivity that keeps nobody exhausts the work allowed.
    SimulationRequest unselectable = with({{15, 240}, {16, 1}});
    unselectable.frequencies->fishCount = 1; // the work allowed grows with the animals asked for
    cases.push_back({"selectivity beyond every animal", unselectable, "work limit"});
    for (const Case& c : cases) {
        const std::string text = refusal(c.request);
        EXPECT_NE(text.find(c.named), std::string::npos) << c.what << ": " << text;
    }
}

// ---------------------------------------------------------------------------------------------
// Random variates

struct Moments {
    double mean = 0.0;
    double variance = 0.0;
};

template <typename Draw> Moments moments(int n, Draw draw)
{
    double sum = 0.0, squares = 0.0;
    for (int i = 0; i < n; ++i) {
        const double x = draw();
        sum += x;
        squares += x * x;
    }
    const double mean = sum / n;
    return {mean, squares / n - mean * mean};
}

TEST(SimulationRandom, VariatesHaveTheirMeansAndVariances)
{
    SimulationRandom random(2024);
    const int n = 200000;
    const Moments normal = moments(n, [&] { return random.normal(); });
    EXPECT_NEAR(normal.mean, 0.0, 0.01);
    EXPECT_NEAR(normal.variance, 1.0, 0.015);
    const Moments exponential = moments(n, [&] { return random.exponential(2.0); });
    EXPECT_NEAR(exponential.mean, 0.5, 0.005);
    EXPECT_NEAR(exponential.variance, 0.25, 0.01);
    for (double shape : {0.5, 3.0, 30.0}) {
        const Moments gamma = moments(n, [&] { return random.gamma(shape); });
        EXPECT_NEAR(gamma.mean / shape, 1.0, 0.015) << "shape " << shape;
        EXPECT_NEAR(gamma.variance / shape, 1.0, 0.04) << "shape " << shape;
    }
}

TEST(SimulationRandom, TruncatedNormalsStayInRangeWithTheRightMean)
{
    // E[Z | 2 < Z < 3] = (phi(2) - phi(3)) / (Phi(3) - Phi(2)) = 2.3156...
    const auto phi = [](double x) { return std::exp(-x * x / 2.0) / std::sqrt(2.0 * std::acos(-1.0)); };
    const auto Phi = [](double x) { return 0.5 * std::erfc(-x / std::sqrt(2.0)); };
    const double tailMean = (phi(2.0) - phi(3.0)) / (Phi(3.0) - Phi(2.0));
    SimulationRandom random(7);
    double upper = 0.0, lower = 0.0, centre = 0.0;
    const int n = 50000;
    for (int i = 0; i < n; ++i) {
        const double u = random.truncatedNormal(2.0, 3.0);
        const double l = random.truncatedNormal(-3.0, -2.0);
        const double c = random.truncatedNormal(-1.0, 1.0);
        ASSERT_TRUE(u >= 2.0 && u <= 3.0 && l >= -3.0 && l <= -2.0 && c >= -1.0 && c <= 1.0);
        upper += u;
        lower += l;
        centre += c;
    }
    EXPECT_NEAR(upper / n, tailMean, 0.005);
    EXPECT_NEAR(lower / n, -tailMean, 0.005);
    EXPECT_NEAR(centre / n, 0.0, 0.01);
}

TEST(SimulationRandom, UniformsAndWholeNumbersCoverTheirRanges)
{
    SimulationRandom random(99);
    std::map<long long, int> counts;
    for (int i = 0; i < 30000; ++i) {
        const double u = random.uniform();
        ASSERT_TRUE(u > 0.0 && u < 1.0);
        ++counts[random.uniformInteger(1, 3)];
    }
    ASSERT_EQ(counts.size(), 3u);
    EXPECT_EQ(counts.begin()->first, 1);
    EXPECT_EQ(counts.rbegin()->first, 3);
    for (const auto& [value, count] : counts)
        EXPECT_NEAR(count, 10000, 400) << value;
}

TEST(SimulationRandom, TheStreamIsFixedBySeedAlone)
{
    // The first outputs of std::mt19937_64 are fixed by the C++ standard; the uniform is their top
    // 53 bits centred in their step, so the value is the same with every standard library.
    SimulationRandom random(5489);
    std::mt19937_64 reference(5489);
    EXPECT_EQ(random.uniform(), (static_cast<double>(reference() >> 11) + 0.5) / 9007199254740992.0);
    SimulationRandom a(42), b(42), c(43);
    EXPECT_EQ(a.normal(), b.normal());
    EXPECT_EQ(a.gamma(2.5), b.gamma(2.5));
    EXPECT_NE(SimulationRandom(42).uniform(), c.uniform());
}

} // namespace
} // namespace orvanta
