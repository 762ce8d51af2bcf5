#pragma once

// The model's own state between calls, from one initialization to the next: the data read from
// the two data files, the last evaluation's results and the best evaluation so far.
// Arrays are numbered from 1 like the cells and records; element 0 is unused.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace orvanta {

inline constexpr int maxCells = 250;          // frequency cells and unit size intervals
inline constexpr int maxSize = 250;           // sizes range over 0..250 units
inline constexpr int maxRecords = 2000;       // increment records
inline constexpr int maxSetNumber = 2000;     // set numbers with a per-set count
inline constexpr int modelParamCount = 20;
inline constexpr int modelParamCapacity = 50; // the value and best-value arrays run 0..50
inline constexpr double notUsed = -999.0;     // t0 and the size-at-age selectivity switched off

using CellArray = std::array<double, maxCells + 1>;     // cells 1..250
using SizeArray = std::array<double, maxSize + 1>;      // unit intervals 0..250

struct FrequencyData {
    CellArray midpoint{};
    CellArray observed{};    // zero for cells before firstCell
    int cellCount = 0;       // cells read
    double N = 0.0;          // sum of the stored frequencies
    int lastNonZeroCell = 0; // 0 when every stored frequency is 0
    int firstCell = 1;
    double cellWidth = 0.0;
};

struct IncrementRecord {
    double setNumber = 0.0;
    double initialSize = 0.0;
    double increment = 0.0;
    double startDay = 0.0;
    double endDay = 0.0;
};

struct IncrementData {
    std::vector<IncrementRecord> records = std::vector<IncrementRecord>(1); // 1..recordCount
    int recordCount = 0;
    double highestSet = 0.0;
    std::array<int, maxSetNumber + 1> recordsPerSet{}; // by set number rounded to a whole number
};

// What the increment likelihood keeps of each record for the summary.
struct RecordResult {
    double timeAtLarge = 0.0;
    double expectedLinf = 0.0;
    double expectedLinfSquare = 0.0;
    double meanIncrement = 0.0;
    double incrementVariance = 0.0;
    double recordNll = 0.0;
    std::int64_t selectionPanels = 0; // Simpson panels of the record's size-at-age selectivity integral
};

enum class AnalysisType : char { SizeFrequency = 'S', Increments = 'I', Both = 'B' };
enum class IncrementErrorType : char { Gaussian = 'N', Gamma = 'G' };

// Everything initialization takes from the data files and the initialization window.
struct ModelData {
    FrequencyData frequencies;
    IncrementData increments;
    AnalysisType analysisType = AnalysisType::SizeFrequency;
    IncrementErrorType incrementErrorType = IncrementErrorType::Gaussian;
    std::string frequencyFile;
    std::string incrementFile;
};

// The data of the last initialization, then what the evaluations leave behind.
struct ModelState : ModelData {

    // The last evaluation.
    SizeArray unitDensity{};   // relative density of sizes in [x, x + 1), x = 0..250
    CellArray predicted{};     // expected cell frequencies, scaled to N
    std::vector<RecordResult> recordResults = std::vector<RecordResult>(1); // 1..recordCount
    double frequencyPart = 0.0;
    double incrementPart = 0.0;
    double penalty = 0.0;
    // Why the last evaluation has no finite value (an invalid operation met on the way);
    // empty when it has one.
    std::string arithmeticFailure;

    // The best evaluation since the last call with call code 1.
    double bestObjective = 0.0;
    std::vector<double> bestParams = std::vector<double>(modelParamCapacity + 1, 0.0);
    CellArray bestPredicted{};
    double bestIncrementPart2 = 0.0; // doubled, as the summary prints them
    double bestFrequencyPart2 = 0.0;
};

} // namespace orvanta
