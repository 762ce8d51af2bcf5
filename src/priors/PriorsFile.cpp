#include "priors/PriorsFile.h"

#include "text/NumberText.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstddef>
#include <exception>
#include <filesystem>
#include <fstream>

namespace orvanta {

namespace {

constexpr std::size_t termWidth = 11;
constexpr std::size_t indexWidth = 3;
const char* const gap = "   ";

// Column ranges (0-based start, width) of a parameter line.
constexpr std::size_t typeColumn = 6;
constexpr std::size_t firstMeanColumn = 7;
constexpr std::size_t firstSDColumn = 18;
constexpr std::size_t secondMeanColumn = 29;
constexpr std::size_t secondSDColumn = 40;

// The largest number of four significant digits below the largest double.
constexpr double largestFourDigitTerm = 1.797e308;

// A priors file has a line of some 80 characters per parameter; anything much longer is not one.
constexpr std::size_t longestPriorsFile = std::size_t{1} << 20;

// The next line of text from position on, without its line end ("\n", "\r\n" or "\r");
// nothing once the text is used up.
std::optional<std::string_view> nextLine(std::string_view text, std::size_t& position)
{
    if (position >= text.size())
        return std::nullopt;
    const std::size_t end = std::min(text.find_first_of("\r\n", position), text.size());
    const std::string_view line = text.substr(position, end - position);
    position = end;
    if (position < text.size()) {
        const bool crLf = text[position] == '\r' && position + 1 < text.size() && text[position + 1] == '\n';
        position += crLf ? 2 : 1;
    }
    return line;
}

// The characters of line from start on, at most width of them; empty beyond its end.
std::string_view columns(std::string_view line, std::size_t start, std::size_t width)
{
    return start < line.size() ? line.substr(start, width) : std::string_view();
}

std::string_view trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string upperCaseCode(std::string_view field)
{
    std::string code(field);
    for (char& c : code)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return code;
}

PriorSpec readParameterLine(std::string_view line)
{
    PriorSpec prior;
    prior.typeCode = upperCaseCode(columns(line, typeColumn, 1));
    prior.firstTermMean = leadingNumber(columns(line, firstMeanColumn, termWidth));
    prior.firstTermSD = leadingNumber(columns(line, firstSDColumn, termWidth));
    prior.secondTermMean = PriorTerm(trimmed(columns(line, secondMeanColumn, termWidth)));
    prior.secondTermSD = PriorTerm(trimmed(columns(line, secondSDColumn, termWidth)));
    return prior;
}

// Exactly one character, so that the columns after it stay in place.
char typeCharacter(const std::string& typeCode)
{
    return typeCode.empty() ? ' ' : static_cast<char>(std::toupper(static_cast<unsigned char>(typeCode[0])));
}

std::string parameterLine(const PriorSpec& prior, int i)
{
    return padToWidth(signedNumberText(i), indexWidth) + gap + typeCharacter(prior.typeCode) +
           priorTermField(prior.firstTermMean) + priorTermField(prior.firstTermSD) +
           priorTermField(prior.secondTermMean) + priorTermField(prior.secondTermSD) + gap +
           std::string(priorTypeName(prior.typeCode));
}

} // namespace

void resetPriorsToUniform(std::vector<PriorSpec>& priors, int paramCount)
{
    const std::size_t needed = static_cast<std::size_t>(std::max(paramCount, 0)) + 1;
    if (priors.size() < needed)
        priors.resize(needed);
    for (std::size_t i = 1; i < needed; ++i)
        priors[i] = PriorSpec{};
}

std::string priorTermField(double value)
{
    const char* pattern = value < 0.0 ? "0.000E+000" : " 0.000E+000";
    // A term read from a number beyond the range of double is infinite: written as such a number,
    // it reads back the same. A finite term that four digits would round beyond the range is
    // written as the largest four-digit number that stays within it.
    if (!std::isfinite(value))
        return padToWidth(value < 0.0 ? "-1.000E+999" : " 1.000E+999", termWidth);
    std::string text = formatNumber(value, pattern);
    if (!std::isfinite(leadingNumber(text)))
        text = formatNumber(std::copysign(largestFourDigitTerm, value), pattern);
    return padToWidth(text, termWidth);
}

std::string priorTermField(const PriorTerm& term)
{
    if (const std::optional<double> number = term.number())
        return priorTermField(*number);
    return padToWidth(term.text(), termWidth);
}

std::string priorsFileText(const std::vector<PriorSpec>& priors, int paramCount)
{
    std::string text = formatNumber(paramCount, "#0") + "\n";
    for (int i = 1; i <= paramCount; ++i) {
        const auto at = static_cast<std::size_t>(i);
        text += parameterLine(at < priors.size() ? priors[at] : PriorSpec{}, i) + "\n";
    }
    return text;
}

PriorsFileReading readPriorsText(std::string_view text, int paramCount)
{
    PriorsFileReading reading;
    std::size_t position = 0;
    reading.fileCount = std::nearbyint(leadingNumber(nextLine(text, position).value_or("")));
    if (reading.fileCount != paramCount) {
        reading.problem = PriorsFileProblem::CountMismatch;
        return reading;
    }
    reading.priors.assign(static_cast<std::size_t>(std::max(paramCount, 0)) + 1, PriorSpec{});
    for (int i = 1; i <= paramCount; ++i) {
        const std::optional<std::string_view> line = nextLine(text, position);
        if (!line) {
            reading.problem = PriorsFileProblem::TooFewLines;
            reading.missingLine = i + 1;
            reading.priors.clear();
            return reading;
        }
        reading.priors[static_cast<std::size_t>(i)] = readParameterLine(*line);
    }
    return reading;
}

std::string tooFewLinesText(const PriorsFileReading& reading)
{
    return "ends before line " + numberText(reading.missingLine) + ", but its first line announces " +
           numberText(reading.fileCount) + " parameters, one line each";
}

std::optional<std::string> readPriorsFileBytes(const std::string& path)
{
    try {
        std::error_code ignored;
        if (std::filesystem::is_directory(path, ignored))
            return std::nullopt;
        std::ifstream in(path, std::ios::binary);
        if (!in)
            return std::nullopt;
        std::string bytes(longestPriorsFile + 1, '\0');
        in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (in.bad())
            return std::nullopt;
        bytes.resize(static_cast<std::size_t>(in.gcount()));
        if (bytes.size() > longestPriorsFile)
            return std::nullopt;
        return bytes;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::string baseNameOf(const std::string& path, const std::string& previousBaseName)
{
    const std::size_t separator = path.find_last_of("/\\");
    if (separator == std::string::npos)
        return previousBaseName;
    const std::string name = path.substr(separator + 1);
    return name.size() > 4 ? name.substr(0, name.size() - 4) : std::string();
}

} // namespace orvanta
