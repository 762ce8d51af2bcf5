#include "model/DataSimulator.h"

#include "model/ModelState.h"
#include "model/NumericalRoutines.h"
#include "model/TarnfieldModel.h"
#include "text/NumberText.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <tuple>

namespace orvanta {

namespace {

constexpr double pi = std::numbers::pi;
constexpr double daysPerYear = 365.0;
constexpr double cycleFrequency = 2.0 * pi / daysPerYear; // one annual cycle per 365 days
constexpr double linfSpreadInSds = 5.0;     // the model's L-infinity classes span the mean +- 5 SD
constexpr double measurementCutInSds = 5.0; // the model's measurement convolution stops at 5 SD
constexpr double measurementReferenceSize = 100.0;
constexpr double maxMeasurementPercent = 20.0; // below it, sizes cut at 5 SE stay positive
constexpr double uniformReleaseLimitInSds = 4.0;
constexpr double selectivityFloorZ = -10.0; // the model's selectivity is Phi(x) - Phi(-10)
constexpr int maxFishCount = 9999;          // a cell's frequency has four columns
constexpr int maxDayField = 999999;         // a day has six columns
constexpr double maxAge = 999.99;           // an age with two decimals in six columns
constexpr double minCellWidth = 1.0;
constexpr int fieldWidth = 6;             // increment file fields
constexpr int midpointWidth = 7;          // frequency file columns 1-7
constexpr int frequencyWidth = 4;         // frequency file columns 9-12
constexpr long long workPerItem = 10'000; // draws and thinning events allowed per animal or record
constexpr long long workBase = 100'000;
constexpr double minimumRate = 1e-12; // k + cycleK is kept above it

// ---------------------------------------------------------------------------------------------
// Parameters

struct Parameters {
    double linfMean, linfSd, kMean, kSd;
    double kAmplitude, kDay, lAmplitude, lDay;
    double measurementPercent;
    double z, zSize, fishLow, fishHigh, F;
    double selMean, selSd, b;
    double t0, ageSelMean, ageSelSd;

    bool frequencySelectivity() const { return selMean != 0.0 && selSd != 0.0; }
    bool sizeAtAge() const { return t0 != notUsed; }
    bool ageSelectivity() const { return sizeAtAge() && ageSelMean != notUsed && ageSelSd != notUsed; }
    double linfHigh() const { return linfMean + linfSpreadInSds * linfSd; }
    bool fished(double size) const { return F > 0.0 && fishLow <= size && size <= fishHigh; }
};

Parameters namedParameters(const std::vector<double>& p)
{
    return {p[1],  p[2],  p[3],  p[4],  p[5],  p[6],  p[7],  p[8],  p[9],  p[10],
            p[11], p[12], p[13], p[14], p[15], p[16], p[17], p[18], p[19], p[20]};
}

// "p2 (SD of L-infinity)": the parameter's number and its description without the null value.
std::string parameterName(int i)
{
    const std::string& description = TarnfieldModel::parameterDescriptions()[static_cast<size_t>(i)];
    return "p" + numberText(i) + " (" + description.substr(0, description.find(" [")) + ")";
}

// ---------------------------------------------------------------------------------------------
// Refusals

using Problem = std::optional<std::string>;

Problem parameterProblem(const std::vector<double>& p)
{
    if (p.size() != static_cast<size_t>(modelParamCount) + 1)
        return "give " + numberText(modelParamCount) + " parameter values";
    for (int i = 1; i <= modelParamCount; ++i)
        if (!std::isfinite(p[static_cast<size_t>(i)]))
            return parameterName(i) + " must be a finite number";
    if (p[1] <= 0.0)
        return parameterName(1) + " must be positive";
    if (p[3] <= 0.0)
        return parameterName(3) + " must be positive";
    // The model uses the absolute values of p1..p17; a simulation takes them as meant.
    for (int i = 2; i <= 17; ++i)
        if (p[static_cast<size_t>(i)] < 0.0)
            return parameterName(i) + " must not be negative";
    const Parameters m = namedParameters(p);
    if (m.linfHigh() > maxSize)
        return "p1 + 5 p2 = " + numberText(m.linfHigh()) + ": L-infinity must stay within " +
               numberText(maxSize) + " units";
    if (m.measurementPercent >= maxMeasurementPercent)
        return parameterName(9) + " must be below " + numberText(maxMeasurementPercent) + " %";
    if (m.F > 0.0 && m.fishLow > m.fishHigh)
        return "the fishing window p12..p13 = " + numberText(m.fishLow) + ".." + numberText(m.fishHigh) +
               " is empty: the lower size limit is above the upper";
    for (int i : {19, 20})
        if (p[static_cast<size_t>(i)] < 0.0 && p[static_cast<size_t>(i)] != notUsed)
            return parameterName(i) + " must be -999 (not used) or not negative";
    if (m.ageSelectivity() && m.ageSelSd == 0.0)
        return parameterName(20) + " must be positive when p19 is set (or -999)";
    return std::nullopt;
}

// Without mortality an animal outside the fishing window never dies: there is no steady state.
Problem steadyStateProblem(const Parameters& m, const std::string& purpose)
{
    if (m.z <= 0.0)
        return purpose + " needs a steady-state population: " + parameterName(10) +
               " must be positive (without it animals outside the fishing window never die)";
    return std::nullopt;
}

double cellLimit(double width)
{
    return std::floor(maxSize / width + 1e-9);
}

Problem frequencyProblem(const Parameters& m, const FrequencySampleRequest& r)
{
    if (r.fishCount < 1 || r.fishCount > maxFishCount)
        return "the frequency sample must hold 1 to " + numberText(maxFishCount) + " animals, not " +
               numberText(r.fishCount);
    if (!(r.cellWidth >= minCellWidth) || r.cellWidth > maxSize)
        return "the cell width must be 1 to 250 units, not " + numberText(r.cellWidth);
    const double hundredths = r.cellWidth * 100.0;
    if (std::abs(hundredths - std::round(hundredths)) > 1e-6)
        return "the cell width must be a whole number of hundredths, not " + numberText(r.cellWidth);
    if (Problem problem = steadyStateProblem(m, "a size-frequency sample"))
        return problem;
    const double largest = m.linfHigh() * (1.0 + measurementCutInSds * m.measurementPercent / 100.0);
    const double cells = cellLimit(r.cellWidth);
    if (largest > cells * r.cellWidth)
        return "sizes up to " + numberText(largest) +
               " can be measured (L-infinity up to p1 + 5 p2 plus 5 measurement SEs), more than the " +
               numberText(cells) + " cells of width " + numberText(r.cellWidth) + " hold (up to " +
               numberText(cells * r.cellWidth) + "; sizes range over 0..250 units)";
    return std::nullopt;
}

Problem tagRecaptureProblem(const Parameters& m, const IncrementSampleRequest& r)
{
    if (r.ageMin || r.ageMax)
        return "ages apply to size-at-age records, which need t0 (p18) set, not -999";
    if (r.releaseDayMin < 0 || r.releaseDayMin > r.releaseDayMax)
        return "release days must run from a day >= 0 to a later or equal day, not " +
               numberText(r.releaseDayMin) + ".." + numberText(r.releaseDayMax);
    if (r.libertyMinDays < 1 || r.libertyMinDays > r.libertyMaxDays)
        return "days at liberty must run from at least 1 to a longer or equal time, not " +
               numberText(r.libertyMinDays) + ".." + numberText(r.libertyMaxDays);
    if (static_cast<long long>(r.releaseDayMax) + r.libertyMaxDays > maxDayField)
        return "recapture days beyond " + numberText(maxDayField) + " do not fit the increment file";
    if (r.releaseSizes == ReleaseSizes::SteadyState && r.releaseSizeMin >= m.linfHigh())
        return "no animal reaches the smallest release size " + numberText(r.releaseSizeMin) +
               " (L-infinity is at most p1 + 5 p2 = " + numberText(m.linfHigh()) + ")";
    const double sizeMax = r.releaseSizeMax.value_or(m.linfHigh());
    if (!(r.releaseSizeMin >= 0.0) || !(r.releaseSizeMin <= sizeMax))
        return "release sizes must run from a size >= 0 to a larger or equal size, not " +
               numberText(r.releaseSizeMin) + ".." + numberText(sizeMax);
    if (r.releaseSizes == ReleaseSizes::SteadyState)
        return steadyStateProblem(m, "release sizes from the population");
    if (!r.releaseSizeMax)
        return "uniform release sizes need the largest release size";
    const double limit = m.linfMean + uniformReleaseLimitInSds * m.linfSd;
    if (sizeMax >= limit)
        return "uniform release sizes must stay below " + numberText(limit) +
               (m.linfSd > 0.0 ? " (p1 + 4 p2; few animals grow larger)" : " (p1, the fixed L-infinity)");
    return std::nullopt;
}

Problem sizeAtAgeProblem(const Parameters& m, const IncrementSampleRequest& r)
{
    if (r.ageMin.has_value() != r.ageMax.has_value())
        return "give both the smallest and the largest age, or neither";
    if (!r.ageMin)
        return steadyStateProblem(m, "ages from the population");
    const double youngest = std::max(m.t0, 0.0);
    if (!(*r.ageMin > youngest) || !(*r.ageMin <= *r.ageMax) || !(*r.ageMax <= maxAge))
        return "ages must run from above " + numberText(youngest) +
               " (t0 and 0) to a larger or equal age of at most " + numberText(maxAge) + ", not " +
               numberText(*r.ageMin) + ".." + numberText(*r.ageMax);
    return std::nullopt;
}

Problem incrementProblem(const Parameters& m, const IncrementSampleRequest& r)
{
    if (r.recordCount < 1 || r.recordCount > maxRecords)
        return "the increment file must hold 1 to " + numberText(maxRecords) + " records, not " +
               numberText(r.recordCount);
    return m.sizeAtAge() ? sizeAtAgeProblem(m, r) : tagRecaptureProblem(m, r);
}

Problem requestProblem(const SimulationRequest& request)
{
    if (Problem problem = parameterProblem(request.params))
        return problem;
    if (!request.frequencies && !request.increments)
        return "ask for a size-frequency sample, increment records or both";
    const Parameters m = namedParameters(request.params);
    if (request.frequencies)
        if (Problem problem = frequencyProblem(m, *request.frequencies))
            return problem;
    if (request.increments)
        if (Problem problem = incrementProblem(m, *request.increments))
            return problem;
    return std::nullopt;
}

// ---------------------------------------------------------------------------------------------
// Animals and their growth

struct Animal {
    double linf = 0.0;
    double k = 0.0;
};

// L-infinity ~ Normal(p1, p2) within [max(p1 - 5 p2, 0, above), p1 + 5 p2]; k ~ Gamma with mean
// p3 and SD p4 (shape p3^2 / p4^2, scale p4^2 / p3).
Animal drawAnimal(const Parameters& m, SimulationRandom& random, double above = 0.0)
{
    Animal animal{m.linfMean, m.kMean};
    if (m.linfSd > 0.0) {
        const double low = std::max(-linfSpreadInSds, (above - m.linfMean) / m.linfSd);
        animal.linf = m.linfMean + m.linfSd * random.truncatedNormal(low, linfSpreadInSds);
    }
    if (m.kSd > 0.0) {
        const double shape = (m.kMean * m.kMean) / (m.kSd * m.kSd);
        animal.k = random.gamma(shape) * (m.kSd * m.kSd) / m.kMean;
    }
    return animal;
}

// Size after time t from size l under dL/dt = (k + b L)(linf - L). Separating the variables gives
// (k + b L) / (linf - L) = A exp(c t) with c = k + b linf and A its value at l; solved for L and
// written with q = exp(-c t) so that long times do not overflow. b = 0 is von Bertalanffy growth.
double grownSize(double l, double linf, double k, double b, double t)
{
    if (b == 0.0)
        return linf - (linf - l) * std::exp(-k * t);
    if (l >= linf)
        return l; // no growth at or above L-infinity (the model gives such a record no increment)
    const double q = std::exp(-(k + b * linf) * t);
    const double A = (k + b * l) / (linf - l);
    return (A * linf - k * q) / (b * q + A);
}

// The change of a sinusoidal annual cycle between two days.
double annualCycle(double amplitude, double dayOfMaximum, double startDay, double endDay)
{
    return amplitude * (std::sin(cycleFrequency * (endDay - dayOfMaximum)) -
                        std::sin(cycleFrequency * (startDay - dayOfMaximum)));
}

struct Interval {
    double startDay = 0.0;
    double endDay = 0.0;
    double years = 0.0; // the time the animal grows
};

// The true increment from l1 over the interval, with the cycles as the model predicts them: the
// cycle in k adds cycleK to k dt (b = 0) or to k (b > 0), the cycle in L replaces L-infinity by
// L-infinity - p7 + cycleL.
double trueIncrement(double l1, const Animal& animal, const Parameters& m, const Interval& interval)
{
    const double cycleK = annualCycle(m.kAmplitude, m.kDay, interval.startDay, interval.endDay);
    const double cycleL = annualCycle(m.lAmplitude, m.lDay, interval.startDay, interval.endDay);
    const double linf = animal.linf - m.lAmplitude + cycleL;
    if (m.b == 0.0)
        return (linf - l1) * (1.0 - std::exp(-animal.k * interval.years - cycleK));
    const double k = std::max(animal.k + cycleK, minimumRate);
    return grownSize(l1, linf, k, m.b, interval.years) - l1;
}

// Measured size: the true size plus Normal(0, (p9 / 100) size), cut at 5 SE.
double measured(double size, const Parameters& m, SimulationRandom& random)
{
    if (m.measurementPercent == 0.0)
        return size;
    const double se = m.measurementPercent / measurementReferenceSize * size;
    return size + se * random.truncatedNormal(-measurementCutInSds, measurementCutInSds);
}

// Kept with probability Phi((size - mean) / sd), Phi as the model computes it.
bool selected(double size, double mean, double sd, SimulationRandom& random)
{
    return random.uniform() < normalProbability(selectivityFloorZ, (size - mean) / sd);
}

// ---------------------------------------------------------------------------------------------
// The steady-state population

// Counts draws and thinning events so that a population that can hardly be sampled is refused
// instead of running for hours.
class WorkBudget {
public:
    explicit WorkBudget(int items) : limit_(workBase + workPerItem * items) {}
    bool spend() { return ++used_ <= limit_; }

private:
    long long limit_;
    long long used_ = 0;
};

struct Member {
    Animal animal;
    double age = 0.0;
    double size = 0.0;
};

class SteadyState {
public:
    SteadyState(const Parameters& m, SimulationRandom& random, WorkBudget& budget)
        : m_(m), random_(random), budget_(budget)
    {
    }

    // A random living animal; nothing when the work budget is spent.
    std::optional<Member> draw()
    {
        while (budget_.spend()) {
            const Animal animal = drawAnimal(m_, random_);
            // Cancels the factor h of the age draw, so that types are weighted by life expectancy.
            if (random_.uniform() >= std::exp(-m_.zSize * (m_.linfHigh() - animal.linf)))
                continue;
            const double lowestHazard = m_.z * std::exp(-m_.zSize * animal.linf);
            const double age = random_.exponential(lowestHazard);
            const std::optional<bool> alive = survives(animal, age, lowestHazard);
            if (!alive)
                return std::nullopt;
            if (*alive)
                return Member{animal, age, sizeAt(animal, age)};
        }
        return std::nullopt;
    }

private:
    double sizeAt(const Animal& animal, double age) const
    {
        return grownSize(0.0, animal.linf, animal.k, m_.b, age);
    }

    double hazard(double size) const
    {
        return m_.z * std::exp(-m_.zSize * size) + (m_.fished(size) ? m_.F : 0.0);
    }

    // Whether the excess hazard Z(L(t)) - lowestHazard has no event on [0, age]: events of the
    // bounding rate z + F - lowestHazard, each kept with probability excess / bound.
    std::optional<bool> survives(const Animal& animal, double age, double lowestHazard)
    {
        const double bound = m_.z + m_.F - lowestHazard;
        if (bound <= 0.0)
            return true;
        for (double t = random_.exponential(bound); t <= age; t += random_.exponential(bound)) {
            if (!budget_.spend())
                return std::nullopt;
            const double excess = hazard(sizeAt(animal, t)) - lowestHazard;
            if (random_.uniform() * bound < excess)
                return false;
        }
        return true;
    }

    const Parameters& m_;
    SimulationRandom& random_;
    WorkBudget& budget_;
};

const char* const budgetRefusal =
    "the steady state could not be sampled within the work limit: mortality at large sizes is "
    "almost zero (z exp(-zSize L)), or the selectivity or the size range keeps almost no animal";

// ---------------------------------------------------------------------------------------------
// Text fields

// The value by the first pattern whose text fits the width.
std::string fittingText(double value, int width, std::initializer_list<const char*> patterns)
{
    std::string text;
    for (const char* pattern : patterns) {
        text = formatNumber(value, pattern);
        if (static_cast<int>(text.size()) <= width)
            break;
    }
    return text;
}

// Two decimals where they fit in six columns.
std::string sizeText(double value)
{
    return fittingText(value, fieldWidth, {"0.00", "0.0", "0"});
}

double roundedToText(double value)
{
    return leadingNumber(sizeText(value));
}

// The decimals the midpoints of cells of this width need (at most three for whole hundredths).
const char* midpointPattern(double width)
{
    static constexpr std::array<const char*, 4> patterns = {"0", "0.0", "0.00", "0.000"};
    const double half = width / 2.0;
    double scale = 1.0;
    for (const char* pattern : patterns) {
        if (std::abs(half * scale - std::round(half * scale)) < 1e-6)
            return pattern;
        scale *= 10.0;
    }
    return patterns.back();
}

// ---------------------------------------------------------------------------------------------
// Random streams

// Two streams derived from one seed, so that each file is the same with or without the other;
// seeds are mixed by the SplitMix64 finalizer (Steele, Lea and Flood, OOPSLA 2014).

std::uint64_t splitMix64(std::uint64_t x)
{
    x += 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

enum class Stream : std::uint64_t { Frequencies = 1, Increments = 2 };

SimulationRandom streamRandom(std::uint64_t seed, Stream stream)
{
    return SimulationRandom(splitMix64(seed ^ splitMix64(static_cast<std::uint64_t>(stream))));
}

// ---------------------------------------------------------------------------------------------
// The size-frequency sample

std::string frequencyText(const std::vector<int>& counts, double width)
{
    const char* pattern = midpointPattern(width);
    std::string text;
    for (size_t c = 1; c < counts.size(); ++c) {
        const double midpoint = static_cast<double>(2 * c - 1) * width / 2.0;
        text += padToWidth(formatNumber(midpoint, pattern), midpointWidth) + " " +
                padToWidth(numberText(counts[c]), frequencyWidth) + "\n";
    }
    return text;
}

std::optional<std::string> simulateFrequencies(const Parameters& m, const FrequencySampleRequest& r,
                                               SimulationRandom& random, SimulatedData& data)
{
    WorkBudget budget(r.fishCount);
    SteadyState population(m, random, budget);
    const int cells = static_cast<int>(cellLimit(r.cellWidth));
    std::vector<int> counts(static_cast<size_t>(cells) + 1, 0);
    int largestCell = 0;
    for (int kept = 0; kept < r.fishCount;) {
        const std::optional<Member> member = population.draw();
        if (!member)
            return budgetRefusal;
        const double size = measured(member->size, m, random);
        if (m.frequencySelectivity() && !selected(size, m.selMean, m.selSd, random))
            continue;
        // Sizes stay below the last cell (checked before); min() only guards the boundary.
        const int cell = std::min(static_cast<int>(std::floor(size / r.cellWidth)) + 1, cells);
        ++counts[static_cast<size_t>(cell)];
        largestCell = std::max(largestCell, cell);
        ++kept;
    }
    counts.resize(static_cast<size_t>(largestCell) + 1);
    data.frequencyText = frequencyText(counts, r.cellWidth);
    data.cellCount = largestCell;
    data.fishCount = r.fishCount;
    return std::nullopt;
}

// ---------------------------------------------------------------------------------------------
// Increment records

struct Record {
    double set = 0.0;
    double initialSize = 0.0;
    double increment = 0.0;
    std::string line;
};

Record makeRecord(double set, double initialSize, const std::string& incrementText,
                  const std::string& startText, const std::string& endText)
{
    const std::string setText = numberText(set);
    const std::string sizeField = sizeText(initialSize);
    std::string line;
    for (const std::string* field : {&setText, &sizeField, &incrementText, &startText, &endText})
        line += (line.empty() ? "" : " ") + padToWidth(*field, fieldWidth);
    // The sort keys are the values as written.
    return {set, leadingNumber(sizeField), leadingNumber(incrementText), line};
}

std::string incrementText(std::vector<Record> records)
{
    std::stable_sort(records.begin(), records.end(), [](const Record& a, const Record& b) {
        return std::tie(a.set, a.initialSize, a.increment) < std::tie(b.set, b.initialSize, b.increment);
    });
    std::string text;
    for (const Record& record : records)
        text += record.line + "\n";
    return text;
}

struct Release {
    Animal animal;
    double size = 0.0;
};

class TagReleases {
public:
    TagReleases(const Parameters& m, const IncrementSampleRequest& r, SimulationRandom& random,
                WorkBudget& budget)
        : m_(m), r_(r), random_(random), budget_(budget), population_(m, random, budget),
          sizeMax_(r.releaseSizeMax.value_or(m.linfHigh()))
    {
    }

    std::optional<Release> draw()
    {
        if (r_.releaseSizes == ReleaseSizes::Uniform) {
            const double size = r_.releaseSizeMin + (sizeMax_ - r_.releaseSizeMin) * random_.uniform();
            return Release{drawAnimal(m_, random_, size), size};
        }
        while (budget_.spend()) {
            const std::optional<Member> member = population_.draw();
            if (!member)
                return std::nullopt;
            if (member->size >= r_.releaseSizeMin && member->size <= sizeMax_)
                return Release{member->animal, member->size};
        }
        return std::nullopt;
    }

private:
    const Parameters& m_;
    const IncrementSampleRequest& r_;
    SimulationRandom& random_;
    WorkBudget& budget_;
    SteadyState population_;
    double sizeMax_;
};

// Year of release: days 1..365 are set 1, 366..730 set 2, and day 0 counts with the first year.
double releaseSet(long long startDay)
{
    return static_cast<double>(std::max(startDay - 1, 0LL) / 365 + 1);
}

std::optional<std::string> simulateTagRecaptures(const Parameters& m, const IncrementSampleRequest& r,
                                                 SimulationRandom& random, std::vector<Record>& records)
{
    WorkBudget budget(r.recordCount);
    TagReleases releases(m, r, random, budget);
    while (static_cast<int>(records.size()) < r.recordCount) {
        const std::optional<Release> release = releases.draw();
        if (!release)
            return budgetRefusal;
        const double l1 = roundedToText(release->size);
        const long long start = random.uniformInteger(r.releaseDayMin, r.releaseDayMax);
        const long long liberty = random.uniformInteger(r.libertyMinDays, r.libertyMaxDays);
        const Interval interval{static_cast<double>(start), static_cast<double>(start + liberty),
                                static_cast<double>(liberty) / daysPerYear};
        const double l2 = l1 + trueIncrement(l1, release->animal, m, interval);
        // Both sizes are measured; the recorded release size is the true one (the model takes it
        // as known) and the recorded increment carries both errors.
        const double observed = measured(l2, m, random) - measured(l1, m, random);
        records.push_back(makeRecord(releaseSet(start), l1, sizeText(observed), numberText(start),
                                     numberText(start + liberty)));
    }
    return std::nullopt;
}

struct AgedAnimal {
    Animal animal;
    double age = 0.0;
};

std::optional<AgedAnimal> drawAgedAnimal(const Parameters& m, const IncrementSampleRequest& r,
                                         SimulationRandom& random, SteadyState& population)
{
    if (r.ageMin)
        return AgedAnimal{drawAnimal(m, random), *r.ageMin + (*r.ageMax - *r.ageMin) * random.uniform()};
    const std::optional<Member> member = population.draw();
    if (!member)
        return std::nullopt;
    return AgedAnimal{member->animal, member->age + m.t0};
}

std::optional<std::string> simulateSizesAtAge(const Parameters& m, const IncrementSampleRequest& r,
                                              SimulationRandom& random, std::vector<Record>& records)
{
    WorkBudget budget(r.recordCount);
    SteadyState population(m, random, budget);
    const double youngest = std::max(m.t0, 0.0);
    while (static_cast<int>(records.size()) < r.recordCount) {
        if (!budget.spend())
            return budgetRefusal;
        const std::optional<AgedAnimal> aged = drawAgedAnimal(m, r, random, population);
        if (!aged)
            return budgetRefusal;
        const double age = roundedToText(aged->age);
        if (age <= youngest || age > maxAge)
            continue; // grown from size 0 for no time, or an age the file cannot hold
        const double size = trueIncrement(0.0, aged->animal, m, Interval{0.0, age, age - m.t0});
        const double observed = measured(size, m, random);
        if (m.ageSelectivity() && !selected(observed, m.ageSelMean, m.ageSelSd, random))
            continue;
        records.push_back(makeRecord(1.0, 0.0, sizeText(observed), "0", sizeText(age)));
    }
    return std::nullopt;
}

std::optional<std::string> simulateIncrements(const Parameters& m, const IncrementSampleRequest& r,
                                              SimulationRandom& random, SimulatedData& data)
{
    std::vector<Record> records;
    const std::optional<std::string> refusal = m.sizeAtAge() ? simulateSizesAtAge(m, r, random, records)
                                                             : simulateTagRecaptures(m, r, random, records);
    if (refusal)
        return refusal;
    data.incrementText = incrementText(std::move(records));
    data.recordCount = r.recordCount;
    data.sizeAtAge = m.sizeAtAge();
    return std::nullopt;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// SimulationRandom

double SimulationRandom::uniform()
{
    constexpr double step = 1.0 / 9007199254740992.0; // 2^-53
    return (static_cast<double>(engine_() >> 11) + 0.5) * step;
}

long long SimulationRandom::uniformInteger(long long low, long long high)
{
    const double span = static_cast<double>(high - low + 1);
    return std::min(low + static_cast<long long>(std::floor(uniform() * span)), high);
}

double SimulationRandom::exponential(double rate)
{
    return -std::log(uniform()) / rate;
}

double SimulationRandom::normal()
{
    if (spareNormal_) {
        const double value = *spareNormal_;
        spareNormal_.reset();
        return value;
    }
    const double radius = std::sqrt(-2.0 * std::log(uniform()));
    const double angle = 2.0 * pi * uniform();
    spareNormal_ = radius * std::sin(angle);
    return radius * std::cos(angle);
}

double SimulationRandom::truncatedNormal(double low, double high)
{
    if (low > 0.5 || high < -0.5) {
        // Robert: x = a + Exponential(lambda) above a, kept with probability exp(-(x - lambda)^2 / 2);
        // the lower tail by symmetry.
        const bool upperTail = low > 0.5;
        const double a = upperTail ? low : -high;
        const double b = upperTail ? high : -low;
        const double lambda = (a + std::sqrt(a * a + 4.0)) / 2.0;
        for (;;) {
            const double x = a + exponential(lambda);
            if (x <= b && uniform() < std::exp(-(x - lambda) * (x - lambda) / 2.0))
                return upperTail ? x : -x;
        }
    }
    for (;;) {
        const double x = normal();
        if (x >= low && x <= high)
            return x;
    }
}

double SimulationRandom::gamma(double shape)
{
    if (shape < 1.0)
        return gamma(shape + 1.0) * std::pow(uniform(), 1.0 / shape);
    const double d = shape - 1.0 / 3.0;
    const double c = 1.0 / std::sqrt(9.0 * d);
    for (;;) {
        const double x = normal();
        double v = 1.0 + c * x;
        if (v <= 0.0)
            continue;
        v = v * v * v;
        const double u = uniform();
        if (u < 1.0 - 0.0331 * (x * x) * (x * x))
            return d * v;
        if (std::log(u) < 0.5 * x * x + d * (1.0 - v + std::log(v)))
            return d * v;
    }
}

// ---------------------------------------------------------------------------------------------

std::variant<SimulatedData, SimulationRefusal> simulateData(const SimulationRequest& request)
{
    if (const Problem problem = requestProblem(request))
        return SimulationRefusal{*problem};
    const Parameters m = namedParameters(request.params);
    SimulatedData data;
    if (request.frequencies) {
        SimulationRandom random = streamRandom(request.seed, Stream::Frequencies);
        if (const Problem problem = simulateFrequencies(m, *request.frequencies, random, data))
            return SimulationRefusal{*problem};
    }
    if (request.increments) {
        SimulationRandom random = streamRandom(request.seed, Stream::Increments);
        if (const Problem problem = simulateIncrements(m, *request.increments, random, data))
            return SimulationRefusal{*problem};
    }
    return data;
}

} // namespace orvanta
