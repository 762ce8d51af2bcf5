#include "ui/ClosableUserInterface.h"

namespace orvanta {

namespace {

Answer closeBoxAnswer(Buttons buttons)
{
    switch (buttons) {
    case Buttons::OK:
        return Answer::OK;
    case Buttons::YesNo:
        return Answer::No;
    case Buttons::OKCancel:
    case Buttons::YesNoCancel:
        break;
    }
    return Answer::Cancel;
}

} // namespace

Answer ClosableUserInterface::showMessage(const std::string& text, const std::string& title, Buttons buttons,
                                          Icon icon, DefaultButton defaultButton)
{
    if (closed_)
        return closeBoxAnswer(buttons);
    return real_.showMessage(text, title, buttons, icon, defaultButton);
}

std::string ClosableUserInterface::askText(const std::string& prompt, const std::string& title,
                                           const std::string& defaultText)
{
    if (closed_)
        return {};
    return real_.askText(prompt, title, defaultText);
}

std::optional<std::string> ClosableUserInterface::chooseFile(const FileDialogRequest& request)
{
    if (closed_)
        return std::nullopt;
    return real_.chooseFile(request);
}

void ClosableUserInterface::processPendingEvents()
{
    if (!closed_)
        real_.processPendingEvents();
}

void ClosableUserInterface::waitForEvents()
{
    if (!closed_)
        real_.waitForEvents();
}

void ClosableUserInterface::beep()
{
    if (!closed_)
        real_.beep();
}

} // namespace orvanta
