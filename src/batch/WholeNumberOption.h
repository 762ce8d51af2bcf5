#pragma once

// Options that take a whole number in a range, such as --points N and --param P.

#include <iosfwd>
#include <optional>
#include <string>

namespace orvanta {

class CommandLine;

// A whole number from lowest to highest written in text; nothing otherwise.
std::optional<int> wholeNumber(const std::string& text, int lowest, int highest);

// Sets value from the option name when it is given; false, after one line led by commandName on
// err, when it is not a whole number from lowest to highest.
bool readWholeNumber(const CommandLine& line, const char* name, int lowest, int highest, int& value,
                     const std::string& commandName, std::ostream& err);

} // namespace orvanta
