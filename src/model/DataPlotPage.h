#pragma once

// One page of data and prediction plots: a small table of records by series, filled by the
// results summary for each page (the records of one tagging set, or the frequency cells).

#include <string>
#include <vector>

namespace orvanta {

// Marks a missing value in seriesValues.
inline constexpr double noValue = 1e-100;

struct DataPlotPage {
    std::string pageLabel; // shown after "Page:  " (not when empty)
    std::string indexName; // the index variable, first entry of the X list
    int seriesCount = 0;
    std::vector<std::string> seriesNames; // 1..seriesCount
    // seriesValues[record][series] for records firstRecord..lastRecord and series
    // 1..seriesCount; noValue where a value is missing.
    std::vector<std::vector<double>> seriesValues;
    // The caller's scaling, presetting the range boxes; 0 in both lets the data set the range.
    std::vector<double> seriesMin; // 1..seriesCount
    std::vector<double> seriesMax;
    int firstRecord = 1;
    int lastRecord = 1;
    double indexFirstLabel = 0.0; // the index variable at firstRecord
    double indexLastLabel = 0.0;  // ... and at lastRecord; linear in between

    // A page of count series over records 1..records, every value missing.
    static DataPlotPage sized(int series, int records);

    // The value of a record and series; noValue for records and series the page does not hold.
    double value(int record, int series) const;
    void setValue(int record, int series, double value);
    bool present(int record, int series) const { return value(record, series) != noValue; }

    // The index variable's value at record a.
    double indexLabel(int record) const;
};

} // namespace orvanta
