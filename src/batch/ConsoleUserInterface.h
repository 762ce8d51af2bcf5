#pragma once

#include "ui/UserInterface.h"

#include <iosfwd>
#include <map>
#include <string>

namespace orvanta {

// The user interface of the command-line program: nobody is there to answer, so every message
// is written to the error stream and answered with the box's default button (OK for an OK box),
// input boxes are answered empty and file dialogs are cancelled.
//
// A command can script answers: after answerQuestionsTitled(title, answer), every question
// (a Yes/No or Yes/No/Cancel box) with that title gets answer instead of its default button,
// as long as the box offers it. OK boxes are never scripted: they only inform.
class ConsoleUserInterface : public UserInterface {
public:
    explicit ConsoleUserInterface(std::ostream& messages) : messages_(messages) {}

    void answerQuestionsTitled(const std::string& title, Answer answer) { scriptedAnswers_[title] = answer; }
    // Every input box with that title is answered with text instead of empty text.
    void answerPromptsTitled(const std::string& title, std::string text) { scriptedTexts_[title] = std::move(text); }

    Answer showMessage(const std::string& text, const std::string& title, Buttons buttons, Icon icon,
                       DefaultButton defaultButton) override;
    std::string askText(const std::string& prompt, const std::string& title,
                        const std::string& defaultText) override;
    std::optional<std::string> chooseFile(const FileDialogRequest& request) override;
    void processPendingEvents() override {}
    void beep() override {}

private:
    std::ostream& messages_;
    std::map<std::string, Answer> scriptedAnswers_; // by title
    std::map<std::string, std::string> scriptedTexts_; // by title
};

} // namespace orvanta
