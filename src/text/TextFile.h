#pragma once

#include <string>

namespace orvanta {

// The file operations a save needs, so that tests can make a save fail half way.
class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Creates or replaces path with bytes; false when it could not be written completely.
    virtual bool writeNew(const std::string& path, const std::string& bytes) = 0;
    // Moves from over to, replacing to; false on failure.
    virtual bool replace(const std::string& from, const std::string& to) = 0;
    virtual void remove(const std::string& path) = 0;
    virtual bool exists(const std::string& path) const = 0;
};

// The operating system's files.
FileSystem& realFileSystem();

// Converts line ends to carriage return and line feed, as the system's text files have them.
std::string withCrLf(const std::string& text);

// Writes text (line ends as CR LF) to path through a temporary file in the same folder that is
// renamed into place, so that a failed save never damages the file that was there before.
// Returns false when the file could not be written; the previous file is then untouched.
bool saveTextFile(const std::string& path, const std::string& text, FileSystem& files = realFileSystem());

// The same for bytes written as they are (pictures and the like).
bool saveFileBytes(const std::string& path, const std::string& bytes, FileSystem& files = realFileSystem());

// Why a file cannot be written at path ("it is a folder", "the folder ... does not exist", "no
// file can be created in its folder"), found by creating and removing a file beside it; empty
// when it can. Nothing at path itself is touched.
std::string unwritableFileReason(const std::string& path, FileSystem& files = realFileSystem());

// Whether two paths name the same file, existing or not (links and "." and ".." resolved), so
// that nothing is written over a file that is read.
bool sameFile(const std::string& a, const std::string& b);

} // namespace orvanta
