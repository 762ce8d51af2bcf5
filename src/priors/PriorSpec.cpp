#include "priors/PriorSpec.h"

#include "text/NumberText.h"

#include <algorithm>

namespace orvanta {

PriorTerm::PriorTerm(std::string_view text) : value_(std::string(text))
{
    if (const Converted<double> number = textToDouble(text))
        value_ = number.value();
}

std::optional<double> PriorTerm::number() const
{
    if (const double* number = std::get_if<double>(&value_))
        return *number;
    return std::nullopt;
}

std::string_view PriorTerm::text() const
{
    if (const std::string* text = std::get_if<std::string>(&value_))
        return *text;
    return {};
}

int priorTypeIndex(std::string_view typeCode)
{
    if (typeCode.size() != 1 || typeCode[0] == ' ')
        return 0;
    const std::size_t index = priorTypeCodes.find(typeCode[0]);
    return index == std::string_view::npos ? 0 : static_cast<int>(index);
}

PriorType priorType(std::string_view typeCode)
{
    return static_cast<PriorType>(priorTypeIndex(typeCode));
}

std::string_view priorTypeName(std::string_view typeCode)
{
    return priorTypeNames[static_cast<std::size_t>(priorTypeIndex(typeCode))];
}

bool anyPriorSet(const std::vector<PriorSpec>& priors, int paramCount)
{
    const int last = std::min(paramCount, static_cast<int>(priors.size()) - 1);
    for (int i = 1; i <= last; ++i)
        if (priors[static_cast<std::size_t>(i)].typeCode != "U")
            return true;
    return false;
}

} // namespace orvanta
