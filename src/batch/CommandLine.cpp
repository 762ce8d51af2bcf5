#include "batch/CommandLine.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <charconv>
#include <cmath>

namespace orvanta {

namespace {

// The option a CLI11 argument-count error names: its message starts with "--name: ".
std::string optionNamedBy(const CLI::ParseError& error)
{
    const std::string text = error.what();
    return text.substr(0, text.find(':'));
}

} // namespace

bool CommandLine::parse(const std::vector<std::string>& args, const std::set<std::string>& valueOptions,
                        const std::set<std::string>& flags)
{
    CLI::App app;
    app.set_help_flag(); // "COMMAND --help" is answered before a command reads its options
    app.allow_extras();  // collected, so that the first unknown word is named as before
    std::map<std::string, std::vector<std::string>> given;
    for (const std::string& name : valueOptions)
        app.add_option(name, given[name])
            ->expected(1)
            ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
            ->allow_extra_args(false);
    for (const std::string& name : flags)
        app.add_flag(name);

    // CLI11 takes the words last first.
    std::vector<std::string> words(args.rbegin(), args.rend());
    try {
        app.parse(words);
    } catch (const CLI::ArgumentMismatch& error) {
        error_ = "option " + optionNamedBy(error) + " needs a value";
        return false;
    } catch (const CLI::ParseError& error) {
        error_ = error.what();
        return false;
    }
    const std::vector<std::string> unknown = app.remaining();
    if (!unknown.empty()) {
        error_ = "unknown option '" + unknown.front() + "'";
        return false;
    }
    for (const auto& [name, values] : given) {
        if (values.size() > 1) {
            error_ = "option " + name + " is given twice";
            return false;
        }
        if (values.size() == 1)
            values_.emplace(name, values.front());
    }
    for (const std::string& name : flags)
        if (app.get_option(name)->count() != 0)
            flags_.insert(name);
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
