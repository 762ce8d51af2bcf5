#pragma once

#include "ui/Desktop.h"

#include <string>
#include <vector>

namespace orvanta::testing {

// Records, by window name, which child windows were opened and which were brought to the front.
class DesktopRecorder : public DesktopObserver {
public:
    void windowOpened(Window& window) override { opened.push_back(window.name()); }
    void windowClosed(Window&) override {}
    void windowRaised(Window& window) override { raised.push_back(window.name()); }

    std::vector<std::string> opened;
    std::vector<std::string> raised;
};

} // namespace orvanta::testing
