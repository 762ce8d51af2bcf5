#pragma once

#include "model/ModelState.h"

namespace orvanta::testing {

// Six frequency cells of width 10 (midpoints 5..55) holding 5, 20, 40, 30, 10 and 0 animals:
// N = 105, the last non-empty cell is cell 5.
inline void addSixFrequencyCells(FrequencyData& f)
{
    const double counts[] = {0, 5, 20, 40, 30, 10, 0};
    for (int c = 1; c <= 6; ++c) {
        f.midpoint[c] = 10.0 * c - 5.0;
        f.observed[c] = counts[c];
        f.N += counts[c];
        if (counts[c] != 0)
            f.lastNonZeroCell = c;
    }
    f.cellCount = 6;
    f.cellWidth = 10.0;
}

} // namespace orvanta::testing
