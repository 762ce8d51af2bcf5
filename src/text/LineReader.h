#pragma once

// The one way the system reads text, from a file or from memory: line by line, with "\n",
// "\r\n" and a lone "\r" alike as line ends, so that files from every kind of machine read the
// same. Reading a file never throws: a file that cannot be opened or read, or a line that has
// no end within longestLine characters (a device such as /dev/zero, or no text file at all),
// stops the reading with a reason the caller shows to the user.

#include <cstddef>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace orvanta {

// The longest line a reader waits for: 1 MiB. Lines that long are kept whole unless the
// caller asks for less; a line with no end within it stops the reading.
inline constexpr std::size_t longestLine = std::size_t{1} << 20;

// Why path cannot be opened for reading, completing "could not be read: " ("there is no such
// file", "it is a folder", "it could not be opened (Permission denied)"); empty when it can.
std::string unreadableFileReason(const std::string& path);

class LineReader {
public:
    // The lines of text in memory.
    explicit LineReader(std::string_view text);
    // The lines of the file at path; problem() tells when it cannot be opened.
    static LineReader openFile(const std::string& path);

    LineReader(LineReader&&) noexcept;
    LineReader& operator=(LineReader&&) noexcept;
    ~LineReader();

    // The next line without its line end, cut to its first keep characters; nothing at the end
    // of the text or once a problem has stopped the reading. The text after the last line end
    // is a line of its own when it is not empty.
    std::optional<std::string> next(std::size_t keep = longestLine);

    // Nothing follows the last line read (true as well once a problem has stopped the reading).
    bool atEnd();

    // Empty while the reading goes well; otherwise why it stopped, completing "could not be
    // read: " like unreadableFileReason.
    const std::string& problem() const { return problem_; }
    bool failed() const { return !problem_.empty(); }

    // Lines returned so far.
    int lineCount() const { return lineCount_; }

private:
    struct FileCloser {
        void operator()(std::FILE* file) const;
    };

    LineReader() = default;
    // Makes at least one unread byte available; false at the end of the input or on a problem.
    bool fill();
    void fail(std::string reason);

    std::unique_ptr<std::FILE, FileCloser> file_; // none for text in memory
    std::string buffer_;                          // the bytes read from the file
    std::string_view unread_;                     // what is left of the text or of buffer_
    bool skipLineFeed_ = false;                   // the last line ended with "\r"
    int lineCount_ = 0;
    std::string problem_;
};

} // namespace orvanta
