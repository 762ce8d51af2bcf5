#include "ui/UserInterface.h"

#include "ui/Clock.h"

#include <cstdio>
#include <vector>

namespace orvanta {

std::string fileFilter(const std::string& ownEntry)
{
    return "All files (*.*)|*.*|" + ownEntry;
}

std::string filterExtension(const std::string& filter, int filterIndex)
{
    // Entries are "description|pattern" pairs joined by "|": the pattern of entry i is part 2i.
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t bar = filter.find('|'); bar != std::string::npos; bar = filter.find('|', start)) {
        parts.push_back(filter.substr(start, bar - start));
        start = bar + 1;
    }
    parts.push_back(filter.substr(start));
    const auto patternIndex = static_cast<std::size_t>(2 * filterIndex - 1);
    if (filterIndex < 1 || patternIndex >= parts.size())
        return {};
    const std::string& pattern = parts[patternIndex];
    if (pattern.size() < 3 || pattern.compare(0, 2, "*.") != 0)
        return {};
    std::string extension = pattern.substr(2);
    if (extension.find_first_of("*?;. ") != std::string::npos)
        return {};
    return extension;
}

std::string dateTimeName(const Clock& clock, const std::string& extension)
{
    const LocalDateTime t = clock.now();
    char digits[16];
    std::snprintf(digits, sizeof digits, "%02d%02d%02d%02d", t.month % 100, t.day % 100,
                  t.hour % 100, t.minute % 100);
    return digits + extension;
}

} // namespace orvanta
