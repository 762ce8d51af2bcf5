#include "uncertainty/CovarianceFile.h"

#include "text/NumberText.h"
#include "ui/ReportWindow.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace orvanta {

namespace {

constexpr double notCalculated = -1.0;
constexpr const char* numericalHeading =
    "Parameter values, step sizes, link codes, and definitions for numerically calculated covariances:";
constexpr const char* analyticalHeading =
    "Parameter values, step sizes, link codes, and definitions for analytically calculated covariances:";
constexpr const char* standardErrorHeading =
    "Par#                               Standard errors of the estimates";
// Lines from the last parameter line to the standard-error heading, both excluded.
constexpr int linesBeforeStandardErrors = 14;
// First column (from 1) of the standard error of each grid, and the field width.
constexpr std::size_t standardErrorColumn[gridCount + 1] = {0, 25, 43, 61};
constexpr std::size_t numberWidth = 14;

std::size_t at(int index)
{
    return static_cast<std::size_t>(index);
}

std::vector<std::string> splitLines(std::string_view text)
{
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(std::move(line));
            line.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            continue;
        }
        line += c;
    }
    if (!line.empty())
        lines.push_back(std::move(line));
    return lines;
}

// Characters first .. first + width - 1 (counted from 1) of line; less or nothing when shorter.
std::string_view columns(const std::string& line, std::size_t first, std::size_t width)
{
    if (line.size() < first)
        return {};
    return std::string_view(line).substr(first - 1, width);
}

std::optional<double> finiteNumber(std::string_view field)
{
    const Converted<double> number = textToDouble(field);
    if (!number || !std::isfinite(number.value()))
        return std::nullopt;
    return number.value();
}

std::string describe(std::string_view field)
{
    std::string text(field);
    while (!text.empty() && text.front() == ' ')
        text.erase(text.begin());
    return "'" + text + "'";
}

// Walks the lines of one file, collecting the first problem met.
class Reader {
public:
    Reader(std::string_view text, const std::string& path, int paramCount)
        : lines_(splitLines(text)), path_(path), paramCount_(paramCount)
    {
    }

    CovarianceFileReading read()
    {
        CovarianceFile file;
        file.path = path_;
        file.paramCount = paramCount_;
        if (checkHeadings() && readParameterLines(file) && readStandardErrors(file))
            return {std::move(file), {}};
        return {std::nullopt, "The covariance file '" + path_ + "' cannot be used: " + problem_ + "."};
    }

private:
    // Line number (from 1), or nothing after noting that the file ends before it.
    const std::string* line(int number, const char* expected)
    {
        if (number >= 1 && at(number) <= lines_.size())
            return &lines_[at(number - 1)];
        problem_ = "it is cut short: it ends at line " + numberText(static_cast<long long>(lines_.size())) +
                   ", before " + expected + " (line " + numberText(number) + ")";
        return nullptr;
    }

    bool fail(std::string problem)
    {
        problem_ = std::move(problem);
        return false;
    }

    bool checkHeadings()
    {
        const std::string* first = line(1, "its saved-name line");
        if (!first)
            return false;
        if (!first->starts_with(savedNameLine))
            return fail(std::string("it does not begin with the line \"") + savedNameLine +
                        "\" of a saved covariance report");
        const std::string* third = line(3, "the heading of the report");
        if (!third)
            return false;
        if (third->starts_with(savedNameLine))
            return fail(
                "it was saved more than once: each save put one more \"Originally saved with the file "
                "name: \" line at its top, which moves every line that is read back");
        if (*third != numericalHeading && *third != analyticalHeading)
            return fail("line 3 is not the heading of a covariance report");
        return true;
    }

    bool readParameterLines(CovarianceFile& file)
    {
        file.estimates.assign(at(paramCount_) + 1, 0.0);
        file.steps.assign(at(paramCount_) + 1, 0.0);
        for (int p = 1; p <= paramCount_; ++p) {
            const int number = 4 + p;
            const std::string* text = line(number, "the parameter lines");
            if (!text)
                return false;
            const std::string where = "line " + numberText(number);
            if (!text->starts_with(formatNumber(p, " 000) ")))
                return fail(where + " is not the line of parameter " + numberText(p) + " (the file holds " +
                            "another number of parameters than the model's " + numberText(paramCount_) + ")");
            const auto value = finiteNumber(columns(*text, 7, numberWidth));
            const auto step = finiteNumber(columns(*text, 21, 16));
            if (!value || !step)
                return fail(where + ": the value or step of parameter " + numberText(p) + " is not a number");
            file.estimates[at(p)] = *value;
            file.steps[at(p)] = *step;
        }
        const std::string* after = line(5 + paramCount_, "the end of the parameter lines");
        if (!after)
            return false;
        if (!after->empty())
            return fail("line " + numberText(5 + paramCount_) +
                        " is not empty: the file holds more parameters " + "than the model's " +
                        numberText(paramCount_));
        return true;
    }

    bool readStandardErrors(CovarianceFile& file)
    {
        StandardErrorTable& table = file.table;
        table.freeParams.assign(1, 0);
        for (int g = 1; g <= gridCount; ++g)
            table.standardErrors[at(g)].assign(1, 0.0);
        const int headingLine = 5 + paramCount_ + linesBeforeStandardErrors;
        const std::string* heading = line(headingLine, "the heading of the standard errors");
        if (!heading)
            return false;
        if (!heading->starts_with(standardErrorHeading))
            return fail("line " + numberText(headingLine) + " is not the heading of the standard errors");
        for (int p = 1; p <= paramCount_; ++p) {
            if (file.steps[at(p)] == 0.0)
                continue;
            const int number = headingLine + table.freeCount() + 1;
            const std::string* text = line(number, "the standard errors");
            if (!text)
                return false;
            if (!readStandardErrorLine(*text, number, p, table))
                return false;
        }
        const int endLine = headingLine + table.freeCount() + 1;
        const std::string* end = line(endLine, "the end of the standard errors");
        if (!end)
            return false;
        if (!end->empty())
            return fail("line " + numberText(endLine) +
                        " lists a standard error of a parameter whose step is 0");
        return true;
    }

    bool readStandardErrorLine(const std::string& text, int number, int param, StandardErrorTable& table)
    {
        const std::string where = "line " + numberText(number);
        const auto listed = finiteNumber(columns(text, 1, 3));
        if (text.empty() || !listed || *listed != param)
            return fail(std::string("free parameter ") + numberText(param) +
                        " (its step is not 0) has no standard-error line; " + where + " reads " +
                        describe(columns(text, 1, 3)));
        table.freeParams.push_back(param);
        for (int g = 1; g <= gridCount; ++g) {
            const auto se = finiteNumber(columns(text, standardErrorColumn[g], numberWidth));
            if (!se)
                return fail(where + ": the standard error of parameter " + numberText(param) + " on grid " +
                            numberText(g) + " is not a number");
            table.standardErrors[at(g)].push_back(*se);
        }
        return true;
    }

    std::vector<std::string> lines_;
    const std::string& path_;
    int paramCount_;
    std::string problem_;
};

} // namespace

std::optional<double> StandardErrorTable::standardError(int grid, int param) const
{
    if (grid < 1 || grid > gridCount)
        return std::nullopt;
    const std::vector<double>& errors = standardErrors[at(grid)];
    for (int a = 1; a <= freeCount(); ++a)
        if (freeParams[at(a)] == param && at(a) < errors.size())
            return errors[at(a)];
    return std::nullopt;
}

StandardErrorTable standardErrorTable(const CovarianceRun& run)
{
    StandardErrorTable table;
    table.freeParams = run.covParamOf;
    if (table.freeParams.empty())
        table.freeParams.assign(1, 0);
    for (int g = 1; g <= gridCount; ++g)
        table.standardErrors[at(g)] = run.grids[at(g)].standardError;
    return table;
}

std::optional<std::string> standardErrorProblem(const StandardErrorTable& table, int grid,
                                                const std::vector<int>& params)
{
    for (const int p : params)
        if (!table.standardError(grid, p))
            return "parameter " + numberText(p) + " has no standard error";
    for (const int p : params)
        if (*table.standardError(grid, p) == notCalculated)
            return "grid " + numberText(grid) + " was not calculated (its standard errors are -1)";
    for (const int p : params)
        if (!(*table.standardError(grid, p) > 0.0))
            return "the standard error of parameter " + numberText(p) + " on grid " + numberText(grid) +
                   " is not a positive number";
    return std::nullopt;
}

std::vector<double> standardErrorsByParameter(const StandardErrorTable& table, int grid, int paramCount)
{
    std::vector<double> errors(at(paramCount > 0 ? paramCount : 0) + 1, 0.0);
    for (int a = 1; a <= table.freeCount(); ++a) {
        const int p = table.freeParams[at(a)];
        const std::optional<double> se = table.standardError(grid, p);
        if (p >= 1 && p <= paramCount && se)
            errors[at(p)] = *se;
    }
    return errors;
}

CovarianceFileReading parseCovarianceFile(std::string_view text, const std::string& path, int paramCount)
{
    return Reader(text, path, paramCount).read();
}

CovarianceFileReading readCovarianceFile(const std::string& path, int paramCount)
{
    const auto refuse = [&path](const std::string& why) {
        return CovarianceFileReading{std::nullopt,
                                     "The covariance file '" + path + "' cannot be used: " + why + "."};
    };
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
        return refuse("it is a folder");
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return refuse("it cannot be opened");
    std::string text;
    char buffer[65536];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        text.append(buffer, static_cast<std::size_t>(in.gcount()));
        if (text.size() > largestCovarianceFile)
            return refuse("it is far too long for a covariance report");
    }
    if (in.bad())
        return refuse("reading it stopped with an error");
    return parseCovarianceFile(text, path, paramCount);
}

std::optional<std::vector<double>> gridStandardErrors(const CovarianceFile& file, int grid,
                                                      const std::vector<int>& params, std::string& error)
{
    if (const std::optional<std::string> problem = standardErrorProblem(file.table, grid, params)) {
        error = "The covariance file '" + file.path + "' cannot be used: " + *problem + ".";
        return std::nullopt;
    }
    return standardErrorsByParameter(file.table, grid, file.paramCount);
}

} // namespace orvanta
