#pragma once

// The covariance display window "frmCovDisplay": what to do with the results of the last
// covariance run. It collates the covariance report into the calculations window "frmCovData",
// saves that window's (possibly edited) text as a .cov file, and finishes, which closes both
// windows and brings the main menu back.

#include "ui/CommandButton.h"
#include "ui/UserInterface.h"
#include "ui/Window.h"

#include <string>

namespace orvanta {

class Application;

class CovarianceDisplayWindow : public Window {
public:
    static constexpr const char* windowName = "frmCovDisplay";
    static constexpr const char* captionText = "Covariance data";
    static constexpr const char* labelName = "lblCovDisplay";
    static constexpr const char* explanationBoxName = "txtExplain";
    static constexpr const char* justFinishedLabel = "Calculation completed. Do you wish to:";
    static constexpr const char* reopenedLabel = "Do you wish to:";
    static const std::string explanationText;

    static constexpr int designLeft = 11000; // twips
    static constexpr int designTop = 1200;

    CovarianceDisplayWindow(Application& app, bool runJustFinished);

    const std::string& labelText() const { return label_; }            // lblCovDisplay
    const std::string& explanation() const { return explanationText; } // txtExplain, read-only
    const CommandButton& screenButton() const { return screen_; }      // cmdScreen
    const CommandButton& fileButton() const { return file_; }          // cmdFile
    const CommandButton& finishButton() const { return finish_; }      // cmdFinish
    // The control that has the keyboard focus when the window opens.
    static constexpr const char* initialFocus = "cmdScreen";

    void setScreenEnabled(bool enabled);
    void setFileEnabled(bool enabled);

    // Collates the report into the calculations window; pressed again, it rebuilds the report
    // from the stored results, discarding edits and saved-name lines.
    void cmdScreen_Click();
    // Saves the calculations window's text as a .cov file.
    void cmdFile_Click();
    // Closes this window and the calculations window and shows the main menu.
    void cmdFinish_Click();

private:
    Application& app_;
    std::string label_;
    CommandButton screen_{"cmdScreen", "Display results on &screen", "", 0, true};
    CommandButton file_{"cmdFile", "Save &covariance results as...",
                        "Saves the (possibly edited) covariance output", 1, false};
    CommandButton finish_{"cmdFinish", "&Finish display", "", 2, true};
};

// Opens the display window in front (or brings the open one to the front): it closes the main
// menu, shows "Calculation completed..." when app.covariance.lastRunJustFinished, and clears
// status panel 1. Closing it closes the calculations window, shows the main menu, enables
// "&Application" and clears status panel 1.
void showCovarianceDisplay(Application& app);

// Builds the covariance report from app.covariance and puts it into the calculations window
// (opened when closed), whose button then carries the save hint. Shows progress in status
// panel 1 and lets the interface run after every table row.
void collateCovarianceReport(Application& app);

// The save dialog of the display window: title, filters (the third named for the algorithm
// file's base name, and preselected) and the default name ".cov".
FileDialogRequest covarianceSaveRequest(const std::string& algorithmBaseName);

// Asks for a file and writes the calculations window's text to it (writeCovarianceFile).
// False when cancelled (nothing changes) or not written (the user is told).
bool saveCovarianceFile(Application& app);

// Puts "Originally saved with the file name: " path and an empty line in front of the
// calculations window's text and writes the whole text to path (CR LF line ends, replacing the
// file only once it is completely written). False when there is no calculations window or the
// file could not be written; the caller tells the user.
bool writeCovarianceFile(Application& app, const std::string& path);

} // namespace orvanta
