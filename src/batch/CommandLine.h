#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace orvanta {

// The "--name value" options of one batch command. Every option takes a value unless it is
// named as a flag.
class CommandLine {
public:
    // Reads args (the words after the command's name); false with a message in error() when an
    // option is unknown, repeated or lacks its value.
    bool parse(const std::vector<std::string>& args, const std::set<std::string>& valueOptions,
               const std::set<std::string>& flags = {});

    std::optional<std::string> value(const std::string& name) const;
    bool flag(const std::string& name) const { return flags_.count(name) != 0; }
    const std::string& error() const { return error_; }

private:
    std::map<std::string, std::string> values_;
    std::set<std::string> flags_;
    std::string error_;
};

// Splits "a,b,c" at the commas.
std::vector<std::string> splitAtCommas(const std::string& text);

// A random seed: a whole number from 0 to 2^64 - 1 written in decimal digits; nothing otherwise.
std::optional<std::uint64_t> seedValue(const std::string& text);

// A number as the batch program prints it: 17 significant digits, "." as the decimal point.
std::string fullPrecision(double value);

} // namespace orvanta
