#pragma once

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
int runBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace orvanta
