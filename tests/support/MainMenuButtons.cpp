#include "support/MainMenuButtons.h"

namespace orvanta::testing {

std::set<std::string> allButtons(const MainMenuWindow& menu)
{
    std::set<std::string> names;
    for (const CommandButton& b : menu.buttons())
        names.insert(b.name);
    return names;
}

std::set<std::string> enabledButtons(const MainMenuWindow& menu)
{
    std::set<std::string> names;
    for (const CommandButton& b : menu.buttons())
        if (b.enabled)
            names.insert(b.name);
    return names;
}

} // namespace orvanta::testing
