#pragma once

#include "ui/UserInterface.h"

#include <functional>
#include <iosfwd>
#include <map>
#include <string>
#include <utility>

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
    void answerPromptsTitled(const std::string& title, std::string text)
    {
        scriptedTexts_[title] = std::move(text);
    }

    // Once a command watches its run, each message line goes to sink instead of the stream.
    void sendMessagesTo(std::function<void(const std::string& line)> sink) { sink_ = std::move(sink); }
    // Questions (boxes with more than an OK button) are answered without showing their texts.
    void hideQuestions() { questionsHidden_ = true; }
    // Called whenever the engine yields to the interface, as a window would repaint.
    void onPendingEvents(std::function<void()> hook) { pendingEventsHook_ = std::move(hook); }

    Answer showMessage(const std::string& text, const std::string& title, Buttons buttons, Icon icon,
                       DefaultButton defaultButton) override;
    std::string askText(const std::string& prompt, const std::string& title,
                        const std::string& defaultText) override;
    std::optional<std::string> chooseFile(const FileDialogRequest& request) override;
    void processPendingEvents() override
    {
        if (pendingEventsHook_)
            pendingEventsHook_();
    }
    void beep() override {}

private:
    void show(const std::string& title, const std::string& text);

    std::ostream& messages_;
    std::map<std::string, Answer> scriptedAnswers_;    // by title
    std::map<std::string, std::string> scriptedTexts_; // by title
    std::function<void(const std::string& line)> sink_;
    std::function<void()> pendingEventsHook_;
    bool questionsHidden_ = false;
};

} // namespace orvanta
