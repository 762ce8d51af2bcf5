#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace orvanta {

// Exit statuses of orvanta-batch.
namespace batchExit {
inline constexpr int success = 0;
inline constexpr int incomplete = 1; // the run ended without the result it aimed at
inline constexpr int badInput = 2;
inline constexpr int notFinite = 3;  // the objective is NaN or infinite
} // namespace batchExit

// The command-line front end: runs the command named by args[0] and returns the exit status.
// No exception leaves it (see runToTheEnd).
int runBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The last resort around a whole run: an exception that escapes it is told in one line on err
// and ends the run with status 2 (bad input), instead of ending the process without a word.
int runToTheEnd(const std::function<int()>& run, std::ostream& err);

} // namespace orvanta
