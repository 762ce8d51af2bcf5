#pragma once

// The algorithm file (".alg"): one AlgorithmData as fixed-column text that people can read and
// edit. Line 1 holds the parameter count, then one line per parameter (value in columns 1-14,
// step in 15-30, fuse code in 31-34, a comment), then the six minimizer options in columns
// 1-14, each followed by a comment. The program reads only the columns, never the comments.

#include "algorithm/AlgorithmData.h"
#include "text/LineReader.h"
#include "text/TextFile.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace orvanta {

// The comment in front of each parameter's description; the multi-model window writes its own.
enum class ParameterLabel { MainMenu, MultiModel };
inline constexpr const char* mainMenuParameterLabel = "  Value, step then link for ";
inline constexpr const char* multiModelParameterLabel = "  Value, step then link for: ";

// The widest log file name the file has room for.
inline constexpr std::size_t logFileNameWidth = 14;

// text without its control characters (line ends, tabs and the like), which have no place in a
// file name and would break the line that holds it.
std::string withoutControlCharacters(std::string_view text);

// logFileName as the file holds it: without control characters, a name of up to 14 characters
// whole; a longer one loses its folders when a "\" or "/" lies among its last 14 characters,
// else keeps its last 14.
std::string shortenedLogFileName(const std::string& name);

// The whole file, lines ended by "\n". Shortens data's logFileName in place first, so that the
// data say what the file says.
std::string algorithmFileText(AlgorithmData& data, ParameterLabel label = ParameterLabel::MainMenu);

// Writes algorithmFileText to path with CR LF line ends through a temporary file, so that a
// failed write leaves a previous file untouched. False when the file could not be written.
bool writeAlgorithmFile(const std::string& path, AlgorithmData& data,
                        ParameterLabel label = ParameterLabel::MainMenu,
                        FileSystem& files = realFileSystem());

// Why a file was refused.
enum class AlgorithmFileProblem {
    None,
    CountMismatch,  // written for another number of parameters; nothing was stored
    TooManyLines,   // more non-empty lines than the count calls for
    BadlyFormatted, // a field is no number, or a parameter line has no fuse code columns
    TooFewLines,    // the file ended before the last option line
    Unreadable,     // the file could not be opened or read to its end (readProblem says why)
};

struct AlgorithmFileReading {
    AlgorithmFileProblem problem = AlgorithmFileProblem::None;
    std::int16_t fileParamCount = 0; // the count on line 1, when it could be read
    // Some value was stored before the problem: the data are partly overwritten.
    bool dataChanged = false;
    std::string readProblem; // why an Unreadable file could not be read

    bool failed() const { return problem != AlgorithmFileProblem::None; }
};

// Reads the file's text (LF, CR LF or CR line ends) into data, whose paramCount the file must match.
// Stops at the first field that cannot be read; the values stored before it stay stored. A
// conversion error counts as too few lines when it happens on the file's last line, and as
// badly formatted otherwise. The tolerance is stored with the 1E-06 floor, and fileFrequency is
// 0 after a successful read, since no log file is open then. Control characters in the log
// file name's columns are dropped.
AlgorithmFileReading readAlgorithmText(std::string_view text, AlgorithmData& data);
// The same from lines read one by one, such as those of a file (LineReader::openFile). A
// reading that the file stops (it cannot be opened or read, or a line has no end) is Unreadable.
AlgorithmFileReading readAlgorithmLines(LineReader& lines, AlgorithmData& data);

inline constexpr const char* algorithmFileProblemTitle = "Algorithm file - information input failed";

// The message that tells the user why the file named fileName was refused.
std::string algorithmFileProblemText(const AlgorithmFileReading& reading, const std::string& fileName,
                                     std::int16_t paramCount);

} // namespace orvanta
