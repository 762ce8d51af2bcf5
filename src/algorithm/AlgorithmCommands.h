#pragma once

// The main menu's "&Load algorithm data" and "&Save algorithm data", the save behind the quit
// flow (Save_Alg), and the reading of an algorithm file into the session with its messages.

#include "algorithm/AlgorithmFile.h"
#include "ui/UserInterface.h"

#include <string>
#include <string_view>

namespace orvanta {

class Application;
class TarnfieldModel;

inline constexpr const char* loadQuestionTitle = "Load algorithm data";
inline constexpr const char* loadQuestionText =
    "Load an existing algorithm data file?\n\n     Choose NO for default values";
inline constexpr const char* openDialogTitle = "Open algorithm data file";
inline constexpr const char* saveDialogTitle = "Save algorithm data in...";
inline constexpr const char* algorithmFilterEntry = "Algorithm files (*.alg)|*.alg";
inline constexpr const char* defaultsTitle = "Default Algorithm Values";
inline constexpr const char* problemReadingTitle = "Problem Reading Algorithm File!";
inline constexpr const char* problemReadingText =
    "Be suspicious that your algorithm file is not properly formatted";
inline constexpr const char* algorithmPanelPrefix = "Algorithm file: ";

// The file name without its folder ("\" or "/") and without its last four characters (".alg").
std::string algorithmBaseName(const std::string& path);

// The stem of the save dialog's "Named for data file" entry: the name of the frequency data
// file without folder and extension, else that of the increment file, else empty.
std::string dataFileStem(const std::string& frequencyFile, const std::string& incrementFile);

// The save dialog's three entries: all files, algorithm files, files named for the data file.
std::string saveAlgorithmFilter(const std::string& stem);

// Reads lines, those of the file named by app.session.algorithmFileName, into app.algorithm. A
// refused file is told to the user (the main menu hidden while the message is up; a file that
// could not be opened or read gets "Problem Reading Algorithm File!") and "&Initialize model"
// and "&Load algorithm data" are enabled; when the file had already overwritten some of the
// data, the session also loses its algorithm data (no file name, the tools disabled) until a
// load succeeds.
AlgorithmFileReading readAlgorithmFile(Application& app, LineReader& lines);

// The open dialog of the algorithm loads: algorithm files preselected, defaultName proposed.
FileDialogRequest openAlgorithmRequest(const std::string& defaultName);

// "&Load algorithm data": an existing file or the defaults, then the ready stage.
void loadAlgorithmData(Application& app);

// "&Save algorithm data": the main menu's commands are disabled while Save_Alg runs.
void saveAlgorithmCommand(Application& app, const std::string& stem);

// Which window saves the algorithm data. The ranking window's save writes its own parameter
// label, preselects the algorithm files' filter and shows the base name on the status bar.
enum class AlgorithmSaver { MainMenu, RankingWindow };

// Save_Alg: asks for a file (named for the date and time when the data have no name yet) and
// writes the algorithm data to it. A failed write is told to the user and leaves the previous
// file and the file name as they were. True when the file was written.
bool saveAlgorithmFile(Application& app, const std::string& stem,
                       AlgorithmSaver saver = AlgorithmSaver::MainMenu);

// Reads the algorithm file at path as the loads do (its name becomes algorithmFileName): a file
// that cannot be opened or is refused is told to the user. True when its data were taken.
bool loadAlgorithmFromFile(Application& app, const std::string& path);

// Registers "cmdLoadAlg" and "cmdSaveAlg" and the shell's save hooks; the save dialog names
// its third entry for the model's data file.
void installAlgorithmFile(Application& app, const TarnfieldModel& model);

} // namespace orvanta
