#pragma once

// Runs orvanta-batch inside the test and reads what it prints.

#include "batch/BatchProgram.h"

#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace orvanta::testing {

// What one run of the batch program printed and returned.
struct BatchRun {
    int status;
    std::string out;
    std::string err;
};

inline BatchRun runBatchWith(const std::vector<std::string>& args)
{
    std::ostringstream out, err;
    const int status = runBatch(args, out, err);
    return {status, out.str(), err.str()};
}

// The "name value" lines the batch program prints, by name; what follows the value on its
// line (a comment) is left out.
inline std::map<std::string, std::string> printedValues(const std::string& out)
{
    std::map<std::string, std::string> values;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string name, value;
        if (words >> name >> value)
            values[name] = value;
    }
    return values;
}

} // namespace orvanta::testing
