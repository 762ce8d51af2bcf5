#pragma once

#include <fstream>
#include <string>

namespace orvanta {

// The minimization log: one text file open for output from the editor's "&Open" to its
// "&Close" (or the end of the program), into which the minimizers write progress records.
// Records are plain text with "\n" line ends; the file gets carriage return and line feed.
class MinimizationLog {
public:
    // Opens path for output, replacing its content; false when it cannot be created (the log
    // stays closed). An open log is closed first.
    bool open(const std::string& path);
    void close();
    bool isOpen() const { return file_.is_open(); }
    const std::string& path() const { return path_; }

    // Appends text; the file is flushed so that a crash or a kill keeps what was written. False
    // when the text could not be written (a full disk); the log stays open, for the caller to
    // tell the user and close it.
    bool write(const std::string& text);

private:
    std::ofstream file_;
    std::string path_;
};

} // namespace orvanta
