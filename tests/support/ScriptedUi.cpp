#include "support/ScriptedUi.h"

#include <gtest/gtest.h>

namespace orvanta::testing {

namespace {
const char* kindName(Interaction::Kind kind)
{
    switch (kind) {
    case Interaction::Kind::Message: return "message box";
    case Interaction::Kind::Text: return "input box";
    case Interaction::Kind::File: return "file dialog";
    case Interaction::Kind::Beep: return "beep";
    }
    return "?";
}
} // namespace

ScriptedUi::~ScriptedUi()
{
    if (!script_.empty())
        ADD_FAILURE() << script_.size() << " scripted answer(s) were never asked for; the first is for a "
                      << kindName(script_.front().kind);
}

ScriptedUi& ScriptedUi::answer(Answer answer)
{
    script_.push_back({Interaction::Kind::Message, answer, std::nullopt});
    return *this;
}

ScriptedUi& ScriptedUi::type(std::string text)
{
    script_.push_back({Interaction::Kind::Text, Answer::OK, std::move(text)});
    return *this;
}

ScriptedUi& ScriptedUi::pickFile(std::string path)
{
    script_.push_back({Interaction::Kind::File, Answer::OK, std::move(path)});
    return *this;
}

ScriptedUi& ScriptedUi::cancelFile()
{
    script_.push_back({Interaction::Kind::File, Answer::Cancel, std::nullopt});
    return *this;
}

std::vector<Interaction> ScriptedUi::messages() const
{
    return shownOf(Interaction::Kind::Message);
}

std::vector<Interaction> ScriptedUi::prompts() const
{
    return shownOf(Interaction::Kind::Text);
}

std::vector<Interaction> ScriptedUi::shownOf(Interaction::Kind kind) const
{
    std::vector<Interaction> result;
    for (const Interaction& i : shown_)
        if (i.kind == kind)
            result.push_back(i);
    return result;
}

int ScriptedUi::beepCount() const
{
    int count = 0;
    for (const Interaction& i : shown_)
        count += i.kind == Interaction::Kind::Beep ? 1 : 0;
    return count;
}

std::optional<ScriptedUi::Scripted> ScriptedUi::next(Interaction::Kind kind, const std::string& what)
{
    if (script_.empty()) {
        ADD_FAILURE() << "Unexpected " << kindName(kind) << ": " << what;
        return std::nullopt;
    }
    Scripted s = script_.front();
    script_.pop_front();
    if (s.kind != kind) {
        ADD_FAILURE() << "Expected a " << kindName(s.kind) << " but got a " << kindName(kind) << ": "
                      << what;
        return std::nullopt;
    }
    return s;
}

Answer ScriptedUi::showMessage(const std::string& text, const std::string& title, Buttons buttons,
                               Icon icon, DefaultButton defaultButton)
{
    Interaction shown;
    shown.kind = Interaction::Kind::Message;
    shown.text = text;
    shown.title = title;
    shown.buttons = buttons;
    shown.icon = icon;
    shown.defaultButton = defaultButton;
    shown_.push_back(shown);
    const auto s = next(Interaction::Kind::Message, title + ": " + text);
    if (!s)
        return buttons == Buttons::YesNo ? Answer::No : buttons == Buttons::OK ? Answer::OK : Answer::Cancel;
    const bool fits = buttons == Buttons::OK         ? s->answer == Answer::OK
                      : buttons == Buttons::OKCancel ? s->answer == Answer::OK || s->answer == Answer::Cancel
                      : buttons == Buttons::YesNo    ? s->answer == Answer::Yes || s->answer == Answer::No
                                                     : s->answer != Answer::OK;
    EXPECT_TRUE(fits) << "Scripted answer does not fit the buttons of \"" << title << ": " << text << "\"";
    return s->answer;
}

std::string ScriptedUi::askText(const std::string& prompt, const std::string& title,
                                const std::string& defaultText)
{
    Interaction shown;
    shown.kind = Interaction::Kind::Text;
    shown.text = prompt;
    shown.title = title;
    shown.defaultText = defaultText;
    shown_.push_back(shown);
    const auto s = next(Interaction::Kind::Text, title + ": " + prompt);
    return s && s->text ? *s->text : std::string();
}

std::optional<std::string> ScriptedUi::chooseFile(const FileDialogRequest& request)
{
    Interaction shown;
    shown.kind = Interaction::Kind::File;
    shown.title = request.title;
    shown.file = request;
    shown_.push_back(shown);
    const auto s = next(Interaction::Kind::File, request.title);
    return s ? s->text : std::nullopt;
}

void ScriptedUi::processPendingEvents()
{
    ++yields_;
    if (onYield)
        onYield();
}

void ScriptedUi::beep()
{
    Interaction shown;
    shown.kind = Interaction::Kind::Beep;
    shown_.push_back(shown);
}

} // namespace orvanta::testing
