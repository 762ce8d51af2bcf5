#include "batch/WholeNumberOption.h"

#include "batch/CommandLine.h"
#include "text/NumberText.h"

#include <cmath>
#include <ostream>

namespace orvanta {

std::optional<int> wholeNumber(const std::string& text, int lowest, int highest)
{
    const Converted<double> number = textToDouble(text);
    if (!number || number.value() != std::floor(number.value()) || number.value() < lowest ||
        number.value() > highest)
        return std::nullopt;
    return static_cast<int>(number.value());
}

bool readWholeNumber(const CommandLine& line, const char* name, int lowest, int highest, int& value,
                     const std::string& commandName, std::ostream& err)
{
    const auto text = line.value(name);
    if (!text)
        return true;
    const std::optional<int> number = wholeNumber(*text, lowest, highest);
    if (!number) {
        err << commandName << ": " << name << " must be a whole number from " << lowest << " to " << highest
            << ", not '" << *text << "'\n";
        return false;
    }
    value = *number;
    return true;
}

} // namespace orvanta
