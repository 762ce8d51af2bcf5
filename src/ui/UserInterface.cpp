#include "ui/UserInterface.h"

#include "ui/Clock.h"

#include <cstdio>

namespace orvanta {

std::string fileFilter(const std::string& ownEntry)
{
    return "All files (*.*)|*.*|" + ownEntry;
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
