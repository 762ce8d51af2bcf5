#include "batch/CommandLine.h"

#include <charconv>
#include <cmath>

namespace orvanta {

bool CommandLine::parse(const std::vector<std::string>& args, const std::set<std::string>& valueOptions,
                        const std::set<std::string>& flags)
{
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        if (flags.count(name) != 0) {
            flags_.insert(name);
            continue;
        }
        if (valueOptions.count(name) == 0) {
            error_ = "unknown option '" + name + "'";
            return false;
        }
        if (i + 1 >= args.size()) {
            error_ = "option " + name + " needs a value";
            return false;
        }
        if (!values_.emplace(name, args[i + 1]).second) {
            error_ = "option " + name + " is given twice";
            return false;
        }
        ++i;
    }
    return true;
}

std::optional<std::string> CommandLine::value(const std::string& name) const
{
    const auto it = values_.find(name);
    if (it == values_.end())
        return std::nullopt;
    return it->second;
}

std::vector<std::string> splitAtCommas(const std::string& text)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t comma = text.find(',', start);
        parts.push_back(text.substr(start, comma - start));
        if (comma == std::string::npos)
            return parts;
        start = comma + 1;
    }
}

std::optional<std::uint64_t> seedValue(const std::string& text)
{
    std::uint64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

std::string fullPrecision(double value)
{
    if (std::isnan(value))
        return "NaN";
    if (std::isinf(value))
        return value > 0 ? "Infinity" : "-Infinity";
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 17);
    return std::string(buffer, result.ptr);
}

} // namespace orvanta
