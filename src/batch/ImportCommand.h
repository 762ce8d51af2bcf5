#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace orvanta {

// orvanta-batch import frequencies --csv FILE --midpoint COL --frequency COL [--scale F] --out FILE
// orvanta-batch import increments --csv FILE [--set COL] --initial-size COL --increment COL
//                                 --start-day COL --end-day COL [--scale F] [--from-dates] --out FILE
// Writes the size-frequency or increment data file of a CSV table (see DataFileImport.h).
// Exit status: 0 file written, 2 bad input (nothing written).
int runImportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace orvanta
