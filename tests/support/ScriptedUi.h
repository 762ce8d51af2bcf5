#pragma once

#include "ui/UserInterface.h"

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace orvanta::testing {

// One thing the engine showed or asked.
struct Interaction {
    enum class Kind { Message, Text, File, Beep };
    Kind kind = Kind::Message;
    std::string text;  // message text or prompt
    std::string title; // title (file dialogs: the dialog title)
    Buttons buttons = Buttons::OK;
    Icon icon = Icon::None;
    DefaultButton defaultButton = DefaultButton::First;
    std::string defaultText;  // askText's prefilled text
    FileDialogRequest file;   // chooseFile's request
};

// A UserInterface that answers from a queue and records everything it is shown. A prompt with
// no scripted answer, or an answer of the wrong kind, fails the test; so does an answer left
// unused when the script is destroyed.
class ScriptedUi : public UserInterface {
public:
    ScriptedUi() = default;
    ScriptedUi(const ScriptedUi&) = delete;
    ScriptedUi& operator=(const ScriptedUi&) = delete;
    ~ScriptedUi() override;

    ScriptedUi& answer(Answer answer);            // the next message box
    ScriptedUi& type(std::string text);           // the next input box
    ScriptedUi& pickFile(std::string path);       // the next file dialog
    ScriptedUi& cancelFile();                     // the next file dialog is cancelled

    // Runs at every processPendingEvents call, e.g. to press an interrupt button.
    std::function<void()> onYield;

    const std::vector<Interaction>& shown() const { return shown_; }
    std::vector<Interaction> messages() const; // message boxes only
    std::vector<Interaction> prompts() const;  // input boxes only
    int pendingAnswers() const { return static_cast<int>(script_.size()); }
    int yieldCount() const { return yields_; }
    int beepCount() const;

    Answer showMessage(const std::string& text, const std::string& title, Buttons buttons, Icon icon,
                       DefaultButton defaultButton) override;
    std::string askText(const std::string& prompt, const std::string& title,
                        const std::string& defaultText) override;
    std::optional<std::string> chooseFile(const FileDialogRequest& request) override;
    void processPendingEvents() override;
    void beep() override;

private:
    struct Scripted {
        Interaction::Kind kind;
        Answer answer = Answer::OK;
        std::optional<std::string> text;
    };
    std::optional<Scripted> next(Interaction::Kind kind, const std::string& what);
    std::vector<Interaction> shownOf(Interaction::Kind kind) const;

    std::deque<Scripted> script_;
    std::vector<Interaction> shown_;
    int yields_ = 0;
};

} // namespace orvanta::testing
