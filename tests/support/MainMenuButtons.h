#pragma once

#include "app/MainMenu.h"

#include <set>
#include <string>

namespace orvanta::testing {

// The names of all the main menu's buttons.
std::set<std::string> allButtons(const MainMenuWindow& menu);

// The names of the main menu's buttons the user can click.
std::set<std::string> enabledButtons(const MainMenuWindow& menu);

} // namespace orvanta::testing
