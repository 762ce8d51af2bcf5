#pragma once

// "frmEditVS": the algorithm editor's dialog that changes all values (and their step sizes) in
// one pass, the step-size proportionality constant, or every fuse code. The editor takes no
// input while it is open; every button closes it before doing its work.

#include "ui/CommandButton.h"
#include "ui/Window.h"

#include <string>
#include <vector>

namespace orvanta {

class Application;

class EditValuesDialog : public Window {
public:
    static constexpr const char* windowName = "frmEditVS";
    static constexpr const char* noteText =
        "Note: If a parameter value is set to zero then the step size is set at the chosen proportionality "
        "constant";

    explicit EditValuesDialog(Application& app);

    bool standsAlone() const override { return true; }

    // In tab order.
    const std::vector<CommandButton>& buttons() const { return buttons_; }
    const std::string& note() const { return note_; } // lblNote

    // What the view forwards; each ends with this dialog closed (destroyed).
    void cmdProp_Click();
    void cmdFree_Click();
    void cmdNoProp_Click();
    void Change_Fraction_Click();
    void cmdUnFuse_Click();
    void buttonClicked(const std::string& name);
    void closeRequested(); // the title-bar close

private:
    Application& app_;
    std::vector<CommandButton> buttons_;
    std::string note_ = noteText;
};

// Opens the dialog over the editor, which takes no input until the dialog closes.
void openEditValuesDialog(Application& app);

} // namespace orvanta
