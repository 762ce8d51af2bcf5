#pragma once

// Data files made from CSV tables: the size-frequency file (midpoint in columns 1-7, frequency
// in columns 9-12, one line per cell from size 0) and the increment file (set number, size at
// release, increment, release day and recapture day in columns 1-6, 8-13, 15-20, 22-27 and
// 29-34), written so that the data file readers take every value as it was meant. A value that
// would not survive its columns is refused, never cut.

#include "batch/CsvTable.h"

#include <optional>
#include <string>
#include <variant>

namespace orvanta {

// The columns to read, each by header name or number from 1.
struct FrequencyColumns {
    std::string midpoint;
    std::string frequency;
};

struct IncrementColumns {
    std::optional<std::string> set; // without it (only with fromDates), the year of release
    std::string initialSize;
    std::string increment;
    std::string startDay;
    std::string endDay;
    // The day columns hold release and recapture dates (YYYY-MM-DD); they become days from
    // 31 December of the year before the first release, and set numbers count release years
    // from 1 for the first year.
    bool fromDates = false;
};

struct ImportedFile {
    std::string text;        // lines end in "\n"
    int lines = 0;           // cells or records written
    int emptyCellsAdded = 0; // cells of frequency 0 written below the first midpoint of the CSV
};

// The file's text, or why the table cannot become one ("line N: ..." where a line is at fault).
// scale multiplies sizes (midpoints, sizes at release, increments), e.g. 10 for cm to mm.
std::variant<ImportedFile, std::string> importFrequencies(const CsvTable& table,
                                                          const FrequencyColumns& columns, double scale);
std::variant<ImportedFile, std::string> importIncrements(const CsvTable& table,
                                                         const IncrementColumns& columns, double scale);

// value as the widest text of at most width characters that holds it with as many decimals as
// fit (trailing zeros left out); nothing when its integer part does not fit or it is not finite.
std::optional<std::string> fieldText(double value, int width);

} // namespace orvanta
