#pragma once

#include <optional>
#include <string>

namespace orvanta {

class Clock;

// The answer of a message box.
enum class Answer { OK, Yes, No, Cancel };

// The button sets a message box can have.
enum class Buttons { OK, OKCancel, YesNo, YesNoCancel };

// Icons of a message box. CriticalInformation is the combination of the critical and the
// information bits that two of the Simplex's messages use.
enum class Icon { None, Information, Exclamation, Question, Critical, CriticalInformation };

// Which button of the set has the focus when the box opens.
enum class DefaultButton { First, Second, Third };

enum class FileDialogMode { Open, Save };

// A file dialog's filter: entries "description|pattern" joined by "|", e.g.
// "All files (*.*)|*.*|Data files (*.dat)|*.dat". filterIndex is 1-based.
struct FileDialogRequest {
    FileDialogMode mode = FileDialogMode::Open;
    std::string title;
    std::string filter;
    int filterIndex = 2;
    std::string defaultName;
};

// Every question, prompt and file dialog of the system goes through this interface, so that
// the engine never touches a widget. The Qt program implements it with real dialogs; tests
// implement it with a script of answers.
class UserInterface {
public:
    virtual ~UserInterface() = default;

    // A modal message box. Closing the box counts as Cancel when it has a Cancel button and
    // as OK for the OK-only box; a Yes/No box cannot be closed without an answer.
    virtual Answer showMessage(const std::string& text, const std::string& title, Buttons buttons,
                               Icon icon, DefaultButton defaultButton = DefaultButton::First) = 0;

    // A modal input box with one line prefilled with defaultText. OK returns the text as
    // typed, Cancel returns empty text: callers cannot tell the two apart.
    virtual std::string askText(const std::string& prompt, const std::string& title,
                                const std::string& defaultText = {}) = 0;

    // An open or save dialog; nullopt when the user cancels. A save dialog asks before
    // overwriting an existing file.
    virtual std::optional<std::string> chooseFile(const FileDialogRequest& request) = 0;

    // Lets pending interface events run from inside a long calculation, so that interrupt
    // buttons and menus can set their flags. Implementations throttle it.
    virtual void processPendingEvents() = 0;

    // Waits for the user: runs interface events, sleeping until at least one arrives. Loops that
    // wait for a button (a pause, an editor being closed) call this instead of spinning.
    virtual void waitForEvents() { processPendingEvents(); }

    // A short sound at the end of long calculations.
    virtual void beep() = 0;
};

// "All files (*.*)|*.*|" followed by the tool's own entry, as every dialog of the system offers.
std::string fileFilter(const std::string& ownEntry);

// The extension of entry filterIndex (1-based) of a filter, when its pattern names one: "alg"
// for "*.alg"; empty for "*.*", for several patterns and for an index outside the filter.
std::string filterExtension(const std::string& filter, int filterIndex);

// The default name of a new file: month, day, hour and minute as two digits each, then the
// extension (".alg" and the like), e.g. 0305 1407 -> "03051407.alg".
std::string dateTimeName(const Clock& clock, const std::string& extension);

} // namespace orvanta
