#pragma once

#include "ui/CommandButton.h"
#include "ui/Window.h"

#include <memory>
#include <string>

namespace orvanta {

// One of the small information windows: a read-only text and an "OK" button. While one is
// open the main window takes no input.
class InfoWindow : public Window {
public:
    InfoWindow(std::string name, std::string caption, std::string textBoxName, std::string text);

    const std::string& textBoxName() const { return textBoxName_; }
    const std::string& text() const { return text_; }
    const CommandButton& okButton() const { return okButton_; }

    bool standsAlone() const override { return true; }

private:
    std::string textBoxName_;
    std::string text_;
    CommandButton okButton_{"cmdOK", "OK", "", 0, true};
};

std::unique_ptr<InfoWindow> makeDefaultsWindow(); // "frmDefaults"
std::unique_ptr<InfoWindow> makeWisdomWindow();   // "frmWisdom"
std::unique_ptr<InfoWindow> makeCreditsWindow();  // "frmCredits"

// The texts, exposed for the tests.
std::string defaultNamesText();
std::string wisdomText();
std::string creditsText();

// "frmHelp": a text box that other windows fill, placed at Left 1000, Top 1000, Width 10000,
// Height 7500; its text box is the window less 120 twips each way and never wraps lines.
class HelpWindow : public Window {
public:
    static constexpr const char* windowName = "frmHelp";
    static constexpr int textBoxMargin = 120;
    static constexpr int rightMargin = 28000;

    HelpWindow();

    const std::string& text() const { return text_; }
    void setText(std::string text);

private:
    std::string text_;
};

} // namespace orvanta
