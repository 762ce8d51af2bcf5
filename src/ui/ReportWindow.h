#pragma once

#include "ui/CommandButton.h"
#include "ui/Window.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace orvanta {

class Clock;
class FileSystem;
class UserInterface;

// What sets one report window apart: its names, texts, dialog and default file name.
struct ReportWindowDesign {
    std::string name;        // e.g. "frmSummary"
    std::string caption;
    std::string textBoxName; // e.g. "rtbOut"
    std::optional<CommandButton> saveButton;
    std::string dialogTitle;
    std::string secondFilterEntry;   // e.g. "Output files (*.ovo)|*.ovo"
    std::string fixedDefaultName;    // used when not empty ...
    std::string dateTimeExtension;   // ... otherwise dateTimeName of this extension
    TwipGeometry openingGeometry;
    std::optional<int> rightMargin;  // twips; long lines are not wrapped before it
    int saveButtonWidthLess = 0;     // the save button is the window's width less this
};

// Twips between the window and its text box.
inline constexpr int reportTextWidthLess = 120;
inline constexpr int reportTextHeightLess = 400;

// The text box and button sizes of a report window of the given inner size, in twips.
struct ReportLayout {
    int textWidth = 0;
    std::optional<int> textHeight; // unset: keep the present height
    int buttonWidth = 0;
};
ReportLayout layoutReportWindow(const ReportWindowDesign& design, int width, int height, int buttonHeight,
                                bool opening);

inline constexpr const char* savedNameLine = "Originally saved with the file name: ";

// A child window holding one text report that the user may edit and, in most, save.
class ReportWindow : public Window {
public:
    explicit ReportWindow(ReportWindowDesign design);

    const ReportWindowDesign& design() const { return design_; }
    const std::string& text() const { return text_; }
    void setText(std::string text);
    // The user's edits, taken over from the text box without echoing them back.
    void takeEditedText(std::string text) { text_ = std::move(text); }

    // Asks for a file, puts the saved-name line and an empty line in front of the text and
    // writes it. False when cancelled or not written (the user is told of a write failure).
    bool save(UserInterface& ui, const Clock& clock, FileSystem& files);
    // The save behind the dialog: the saved-name line and an empty line in front of the text,
    // then the whole text written to path. False when it could not be written.
    bool saveAs(const std::string& path, FileSystem& files);

private:
    ReportWindowDesign design_;
    std::string text_;
};

// The report windows of the system.
const std::vector<ReportWindowDesign>& reportWindowDesigns();
const ReportWindowDesign& reportWindowDesign(const std::string& name);
std::unique_ptr<ReportWindow> makeReportWindow(const std::string& name);

// Tells the user that a file could not be written and that nothing was replaced.
void reportSaveFailure(UserInterface& ui, const std::string& path);

} // namespace orvanta
