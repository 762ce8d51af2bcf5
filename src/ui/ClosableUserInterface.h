#pragma once

#include "ui/UserInterface.h"

namespace orvanta {

// The interface the engine talks through for the whole run: it forwards to the real one until
// the program ends. From then on nothing is shown and no event runs, whichever calculation is
// still unwinding: a message box answers as its close box would (Cancel where there is one,
// OK for the OK box, No for a Yes/No box), an input box gives empty text and a file dialog is
// cancelled.
class ClosableUserInterface final : public UserInterface {
public:
    explicit ClosableUserInterface(UserInterface& real) : real_(real) {}

    void close() { closed_ = true; }
    void reopen() { closed_ = false; }
    bool closed() const { return closed_; }

    Answer showMessage(const std::string& text, const std::string& title, Buttons buttons, Icon icon,
                       DefaultButton defaultButton) override;
    std::string askText(const std::string& prompt, const std::string& title,
                        const std::string& defaultText) override;
    std::optional<std::string> chooseFile(const FileDialogRequest& request) override;
    void processPendingEvents() override;
    void waitForEvents() override;
    void beep() override;

private:
    UserInterface& real_;
    bool closed_ = false;
};

} // namespace orvanta
