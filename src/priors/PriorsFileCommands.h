#pragma once

// Reading a priors file into the session with its messages, and Save_Priors, the save behind a
// file dialog that the main menu (through the quit flow) and the prior editor both offer.

#include <string>

namespace orvanta {

class Application;

namespace priorsText {
inline constexpr const char* bayesInformationTitle = "Bayes information";
inline constexpr const char* openDialogTitle = "Load Bayesian Priors file";
inline constexpr const char* openFilterEntry = "Bayesian priors files (*.pri)|*.pri";
inline constexpr const char* saveDialogTitle = "Save Bayesian priors file in...";
inline constexpr const char* saveFilterEntry = "Bayesian prior files (*.pri)|*.pri";
inline constexpr const char* panelPrefix = "Bayesian priors file: ";
inline constexpr const char* fileExtension = ".pri";
} // namespace priorsText

enum class PriorsFileRead {
    Loaded,        // the priors are those of the file
    CountMismatch, // the file was written for another model: the priors are uniform-unbounded
    NotRead,       // the file could not be read, or ends too early: the priors are unchanged
};

// Reads the priors file at path into app.priors and tells the user how it went; the path becomes
// priorsFileName unless nothing was read. A count that differs from the model's resets every
// prior to uniform-unbounded and leaves priors out of force. A file that cannot be read, or ends
// before its last parameter, changes nothing. A loaded file hides the main menu window, puts the
// priors in force when any is not uniform-unbounded and warns of the first prior that has no
// finite -ln[L], so that the user can correct it in the editor.
PriorsFileRead readPriorsFile(Application& app, const std::string& path);

// Which window saves: they differ only in the name shown on the status bar.
enum class PriorsSaver {
    MainMenu,    // the full path
    PriorEditor, // the base name, which it keeps as priorsBaseName
};

// Save_Priors: asks for a file (proposing a name for the date and time when there is none yet)
// and writes the priors to it through a temporary file. A failed write is told to the user and
// leaves the previous file and the file name as they were. True when the file was written.
bool writePriorsFile(Application& app, PriorsSaver saver);

// "Bayesian priors file: " followed by name, on the status bar.
void showPriorsFileName(Application& app, const std::string& name);

} // namespace orvanta
