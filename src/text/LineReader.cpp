#include "text/LineReader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace orvanta {

namespace {

constexpr std::size_t chunkSize = 64 * 1024;

std::string withSystemReason(const char* what, int error)
{
    return error != 0 ? std::string(what) + " (" + std::strerror(error) + ")" : std::string(what);
}

} // namespace

std::string unreadableFileReason(const std::string& path)
{
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (!std::filesystem::exists(status))
        return "there is no such file";
    if (std::filesystem::is_directory(status))
        return "it is a folder";
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return withSystemReason("it could not be opened", errno);
    std::fclose(file);
    return {};
}

void LineReader::FileCloser::operator()(std::FILE* file) const
{
    std::fclose(file);
}

LineReader::LineReader(std::string_view text) : unread_(text) {}

LineReader LineReader::openFile(const std::string& path)
{
    LineReader reader;
    // A folder opens on some systems and fails only when it is read: refused by name first.
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        reader.fail("it is a folder");
        return reader;
    }
    errno = 0;
    reader.file_.reset(std::fopen(path.c_str(), "rb"));
    if (!reader.file_) {
        const int openError = errno;
        const std::string reason = unreadableFileReason(path);
        reader.fail(reason.empty() ? withSystemReason("it could not be opened", openError) : reason);
    }
    return reader;
}

LineReader::LineReader(LineReader&& other) noexcept
{
    *this = std::move(other);
}

LineReader& LineReader::operator=(LineReader&& other) noexcept
{
    if (this == &other)
        return *this;
    // unread_ may point into other's buffer, whose bytes can move with it (short strings).
    const bool intoBuffer = other.file_ != nullptr;
    const std::size_t offset =
        intoBuffer ? static_cast<std::size_t>(other.unread_.data() - other.buffer_.data()) : 0;
    const std::size_t size = other.unread_.size();
    file_ = std::move(other.file_);
    buffer_ = std::move(other.buffer_);
    unread_ = intoBuffer ? std::string_view(buffer_).substr(offset, size) : other.unread_;
    skipLineFeed_ = other.skipLineFeed_;
    lineCount_ = other.lineCount_;
    problem_ = std::move(other.problem_);
    other.unread_ = {};
    return *this;
}

LineReader::~LineReader() = default;

void LineReader::fail(std::string reason)
{
    problem_ = std::move(reason);
    unread_ = {};
    file_.reset();
}

bool LineReader::fill()
{
    if (!unread_.empty())
        return true;
    if (!file_ || failed())
        return false;
    buffer_.resize(chunkSize);
    errno = 0;
    const std::size_t got = std::fread(buffer_.data(), 1, buffer_.size(), file_.get());
    const int readError = errno;
    buffer_.resize(got);
    unread_ = buffer_;
    if (got > 0)
        return true;
    if (std::ferror(file_.get()))
        fail(withSystemReason("reading stopped with an error", readError));
    else
        file_.reset(); // the end of the file
    return false;
}

std::optional<std::string> LineReader::next(std::size_t keep)
{
    if (atEnd())
        return std::nullopt;
    std::string line;
    std::size_t length = 0;
    while (fill()) {
        const std::size_t end = unread_.find_first_of("\r\n");
        const std::size_t taken = std::min(end, unread_.size());
        if (line.size() < keep)
            line.append(unread_.substr(0, std::min(taken, keep - line.size())));
        length += taken;
        if (length > longestLine) {
            fail("line " + std::to_string(lineCount_ + 1) + " has no end within its first " +
                 std::to_string(longestLine) + " characters (1 MiB)");
            return std::nullopt;
        }
        if (end == std::string_view::npos) {
            unread_ = {};
            continue;
        }
        skipLineFeed_ = unread_[end] == '\r';
        unread_.remove_prefix(end + 1);
        ++lineCount_;
        return line;
    }
    if (failed())
        return std::nullopt;
    ++lineCount_; // the last line has no line end
    return line;
}

bool LineReader::atEnd()
{
    if (!fill())
        return true;
    if (skipLineFeed_ && unread_.front() == '\n') {
        unread_.remove_prefix(1);
        skipLineFeed_ = false;
        return !fill();
    }
    skipLineFeed_ = false;
    return false;
}

} // namespace orvanta
