#include "batch/ConsoleUserInterface.h"

#include <ostream>

namespace orvanta {

namespace {

// The message as one line: line breaks become blanks, runs of blanks one blank.
std::string oneLine(const std::string& text)
{
    std::string line;
    for (char c : text) {
        const char shown = (c == '\n' || c == '\r') ? ' ' : c;
        if (shown == ' ' && (line.empty() || line.back() == ' '))
            continue;
        line += shown;
    }
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    return line;
}

Answer defaultAnswer(Buttons buttons, DefaultButton defaultButton)
{
    switch (buttons) {
    case Buttons::OK:
        return Answer::OK;
    case Buttons::OKCancel:
        return defaultButton == DefaultButton::First ? Answer::OK : Answer::Cancel;
    case Buttons::YesNo:
        return defaultButton == DefaultButton::First ? Answer::Yes : Answer::No;
    case Buttons::YesNoCancel:
        return defaultButton == DefaultButton::First    ? Answer::Yes
               : defaultButton == DefaultButton::Second ? Answer::No
                                                        : Answer::Cancel;
    }
    return Answer::Cancel;
}

// Whether a question box has a button for answer; an OK box only informs and is never scripted.
bool offers(Buttons buttons, Answer answer)
{
    switch (buttons) {
    case Buttons::OK:
        return false;
    case Buttons::OKCancel:
        return answer == Answer::OK || answer == Answer::Cancel;
    case Buttons::YesNo:
        return answer == Answer::Yes || answer == Answer::No;
    case Buttons::YesNoCancel:
        return answer == Answer::Yes || answer == Answer::No || answer == Answer::Cancel;
    }
    return false;
}

} // namespace

void ConsoleUserInterface::show(const std::string& title, const std::string& text)
{
    const std::string heading = oneLine(title);
    std::string line = oneLine(text);
    // A text that begins with its own title ("Fatal Error: ...") is not led by it twice.
    if (line.rfind(heading + ":", 0) != 0)
        line = heading + ": " + line;
    if (sink_)
        sink_(line);
    else
        messages_ << line << "\n";
}

Answer ConsoleUserInterface::showMessage(const std::string& text, const std::string& title, Buttons buttons,
                                         Icon /*icon*/, DefaultButton defaultButton)
{
    if (buttons == Buttons::OK || !questionsHidden_)
        show(title, text);
    const auto scripted = scriptedAnswers_.find(title);
    if (scripted != scriptedAnswers_.end() && offers(buttons, scripted->second))
        return scripted->second;
    return defaultAnswer(buttons, defaultButton);
}

std::string ConsoleUserInterface::askText(const std::string& /*prompt*/, const std::string& title,
                                          const std::string& /*defaultText*/)
{
    const auto scripted = scriptedTexts_.find(title);
    return scripted != scriptedTexts_.end() ? scripted->second : std::string();
}

std::optional<std::string> ConsoleUserInterface::chooseFile(const FileDialogRequest& /*request*/)
{
    return std::nullopt;
}

} // namespace orvanta
