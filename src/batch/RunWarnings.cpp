#include "batch/RunWarnings.h"

#include <algorithm>
#include <cctype>
#include <ostream>
#include <sstream>

namespace orvanta {

namespace {

// The model's line for an increment record ignored because its increment d <= 0 while the
// measurement error is zero; it comes once per such record and evaluation.
bool isIgnoredRecordLine(const std::string& line)
{
    return line.rfind("Warning regarding data input: increment #", 0) == 0 &&
           line.find("record ignored") != std::string::npos;
}

// The line with every number replaced by '#'.
std::string numbersMasked(const std::string& line)
{
    std::string key;
    for (size_t i = 0; i < line.size(); ++i) {
        const bool digit = std::isdigit(static_cast<unsigned char>(line[i])) != 0;
        if (!digit) {
            key += line[i];
            continue;
        }
        while (i + 1 < line.size() &&
               (std::isdigit(static_cast<unsigned char>(line[i + 1])) != 0 || line[i + 1] == '.'))
            ++i;
        key += '#';
    }
    return key;
}

} // namespace

void RunWarnings::setIncrementRecords(int ignorable, int total)
{
    ignorableRecords_ = ignorable;
    totalRecords_ = total;
}

void RunWarnings::take(const std::string& text)
{
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            takeLine(line);
    }
}

std::string RunWarnings::shownText(const std::string& line) const
{
    if (!isIgnoredRecordLine(line) || ignorableRecords_ <= 0)
        return line;
    return std::to_string(ignorableRecords_) + " of " + std::to_string(totalRecords_) +
           " increment records are ignored: d <= 0 with no measurement error (p9 = 0)";
}

void RunWarnings::takeLine(const std::string& line)
{
    if (line.front() == ' ') {
        if (lastLineWasNew_)
            err_ << line << "\n";
        return;
    }
    const std::string key = numbersMasked(line);
    const auto same = [&key](const Warning& warning) { return warning.key == key; };
    const auto seen = std::find_if(warnings_.begin(), warnings_.end(), same);
    lastLineWasNew_ = seen == warnings_.end();
    if (!lastLineWasNew_) {
        ++seen->count;
        seen->numbersDiffer = seen->numbersDiffer || seen->firstLine != line;
        return;
    }
    warnings_.push_back({key, shownText(line), 1, false, line});
    err_ << warnings_.back().shown << "\n";
}

void RunWarnings::finish()
{
    for (const Warning& warning : warnings_) {
        if (isIgnoredRecordLine(warning.firstLine) && ignorableRecords_ > 0) {
            // One line per ignored record and evaluation.
            const int evaluations = warning.count / ignorableRecords_;
            if (evaluations > 1)
                err_ << warning.shown << " (in " << evaluations << " evaluations)\n";
            continue;
        }
        if (warning.count < 2)
            continue;
        err_ << warning.shown << " (shown " << warning.count << " times"
             << (warning.numbersDiffer ? ", with other numbers" : "") << ")\n";
    }
}

} // namespace orvanta
