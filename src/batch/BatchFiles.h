#pragma once

// The files one batch command reads and writes, checked together before the command opens
// anything for writing, so that a refused run leaves every file as it was: every input can be
// read, no output names an input or another output, and every output can be created. Each
// command names its files here once its options are known, however it reads its command line.

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace orvanta {

// An output that may replace one of the inputs when the user says so by a flag.
struct InputReplacement {
    std::string inputOption; // the option naming the input, such as "--alg"
    std::string flag;        // the flag that allows it, such as "--overwrite-input"
    bool allowed = false;    // the flag was given
};

class BatchFiles {
public:
    explicit BatchFiles(std::string commandName) : commandName_(std::move(commandName)) {}

    // A file the command reads, named by option; an empty path names no file.
    void reads(const std::string& option, const std::string& path);
    // A file the command reads if it can, telling the user itself when it cannot: not checked
    // as an input, but no output may name it.
    void mayRead(const std::string& option, const std::string& path);
    // A file the command writes, named by option; an empty path names no file.
    void writes(const std::string& option, const std::string& path,
                std::optional<InputReplacement> replacement = std::nullopt);

    // False, with one line led by the command's name to err, at the first problem.
    bool check(std::ostream& err) const;

private:
    struct NamedFile {
        std::string option;
        std::string path;
        std::optional<InputReplacement> replacement;
        bool checked = true; // an input that must be readable
    };

    std::optional<std::string> inputProblem(const NamedFile& input) const;
    std::optional<std::string> outputProblem(const NamedFile& output) const;
    std::optional<std::string> clashBetweenOutputs() const;

    std::string commandName_;
    std::vector<NamedFile> inputs_;
    std::vector<NamedFile> outputs_;
};

} // namespace orvanta
