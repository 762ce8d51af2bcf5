#pragma once

#include <string>

namespace orvanta {

// A command button as a window shows it.
struct CommandButton {
    std::string name;     // design name, e.g. "cmdOK"
    std::string caption;  // with "&" before the access key
    std::string toolTip;
    int tabIndex = 0;
    bool enabled = true;
};

} // namespace orvanta
