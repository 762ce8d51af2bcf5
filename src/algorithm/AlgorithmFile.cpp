#include "algorithm/AlgorithmFile.h"

#include "text/LineReader.h"
#include "text/NumberText.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace orvanta {

namespace {

constexpr const char* realPattern = "0.0000000E+00";
constexpr const char* countPattern = "###0";
constexpr const char* wholePattern = "####0";

// Field widths: the first column of every line, the step and the fuse code.
constexpr int firstWidth = 14;
constexpr int stepWidth = 16;
constexpr int codeWidth = 4;

std::string realField(double value, int width)
{
    return padToWidth(formatNumber(value, realPattern), width);
}

std::string wholeField(double value, const char* pattern)
{
    return padToWidth(formatNumber(value, pattern), firstWidth);
}

// Element i of a per-parameter array, or fallback when the array is too short for it.
template <typename T> const T& entry(const std::vector<T>& array, int i, const T& fallback)
{
    const auto index = static_cast<std::size_t>(i);
    return index < array.size() ? array[index] : fallback;
}

std::string parameterLine(const AlgorithmData& data, int i, ParameterLabel label)
{
    static const std::string noDescription;
    return realField(entry(data.paramValues, i, 0.0), firstWidth) +
           realField(entry(data.paramSteps, i, 0.0), stepWidth) +
           padToWidth(entry(data.fuseCodes, i, unfusedCode), codeWidth) +
           (label == ParameterLabel::MultiModel ? multiModelParameterLabel : mainMenuParameterLabel) +
           entry(data.paramDescriptions, i, noDescription);
}

std::string optionLines(const MinimizerOptions& options)
{
    return realField(options.convergenceTolerance, firstWidth) + "  Simplex limit (+ for ABS, - for REL)\n" +
           wholeField(static_cast<double>(options.maxCalls), wholePattern) +
           "  Maximum # of function calls (simplex) or iterations (Marquardt)\n" +
           wholeField(options.terminalFrequency, wholePattern) + "  Terminal output frequency\n" +
           wholeField(options.fileFrequency, wholePattern) + "  File output frequency\n" +
           padToWidth(options.logFileName, firstWidth) + "  Name of output file\n" +
           realField(options.stepReductionFraction, firstWidth) + "  Step size reduction fraction\n";
}

// Characters first..first + count - 1 of line (counted from 1), as far as the line has them.
std::string_view columns(std::string_view line, std::size_t first, std::size_t count)
{
    return first - 1 < line.size() ? line.substr(first - 1, count) : std::string_view();
}

bool isBlank(std::string_view line)
{
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

bool isControlCharacter(char c)
{
    const auto code = static_cast<unsigned char>(c);
    return code < 0x20 || code == 0x7f;
}

bool isCapital(char c)
{
    return c >= 'A' && c <= 'Z';
}

// Columns 33-34 of a parameter line: anything but one or two letters means unfused.
std::string fuseCodeFrom(std::string_view field)
{
    const std::size_t first = field.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return unfusedCode;
    field = field.substr(first, field.find_last_not_of(' ') - first + 1);
    std::string code(field);
    for (char& c : code)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    if (!isCapital(code.front()) || !isCapital(code.back()))
        return unfusedCode;
    return code;
}

double roundHalfToEven(double value)
{
    const bool half = std::fabs(value - std::trunc(value)) == 0.5;
    return half ? 2.0 * std::round(value / 2.0) : std::round(value);
}

// Like textToInt16, but for the 32-bit range of maxCalls.
Converted<std::int32_t> textToInt32(std::string_view text)
{
    const Converted<double> number = textToDouble(text);
    if (!number)
        return Converted<std::int32_t>::failure(number.error());
    const double rounded = roundHalfToEven(number.value());
    if (rounded < -2147483648.0 || rounded > 2147483647.0)
        return Converted<std::int32_t>::failure(ConversionError::Overflow);
    return Converted<std::int32_t>::success(static_cast<std::int32_t>(rounded));
}

// Reads the lines after the count into the data. Every value is stored as soon as it is read,
// so a later error leaves the earlier values in place.
class BodyReader {
public:
    BodyReader(LineReader& lines, AlgorithmData& data, AlgorithmFileReading& reading)
        : lines_(lines), data_(data), reading_(reading)
    {
    }

    // False at the first field that cannot be read.
    bool parameterLine(int i)
    {
        const std::optional<std::string> line = lines_.next();
        // Shorter than 33 characters: there are no fuse code columns to test.
        if (!line || line->size() < 33)
            return false;
        const auto param = static_cast<std::size_t>(i);
        return store(textToDouble(columns(*line, 1, 14)), data_.paramValues[param]) &&
               store(textToDouble(columns(*line, 17, 14)), data_.paramSteps[param]) &&
               store(Converted<std::string>::success(fuseCodeFrom(columns(*line, 33, 2))),
                     data_.fuseCodes[param]);
    }

    bool optionLines()
    {
        MinimizerOptions& options = data_.options;
        double tolerance = 0.0;
        if (!readField(textToDouble, tolerance))
            return false;
        options.convergenceTolerance = storedTolerance(tolerance);
        return readField(textToInt32, options.maxCalls) &&
               readField(textToInt16, options.terminalFrequency) &&
               readField(textToInt16, options.fileFrequency) && readField(asItStands, options.logFileName) &&
               readField(textToDouble, options.stepReductionFraction);
    }

private:
    // The log file name keeps the leading blanks of its right alignment.
    static Converted<std::string> asItStands(std::string_view text)
    {
        return Converted<std::string>::success(withoutControlCharacters(text));
    }

    // Converts columns 1-14 of the next line into target; false past the end of the file or
    // when the text does not convert.
    template <typename Convert, typename Target> bool readField(Convert convert, Target& target)
    {
        const std::optional<std::string> line = lines_.next();
        return line && store(convert(columns(*line, 1, 14)), target);
    }

    template <typename T, typename Target> bool store(const Converted<T>& value, Target& target)
    {
        if (!value)
            return false;
        target = value.value();
        reading_.dataChanged = true;
        return true;
    }

    LineReader& lines_;
    AlgorithmData& data_;
    AlgorithmFileReading& reading_;
};

// Makes the parameter arrays hold 1..paramCount, keeping what they hold.
void sizeParameterArrays(AlgorithmData& data)
{
    const auto size = static_cast<std::size_t>(std::max<int>(0, data.paramCount)) + 1;
    data.paramValues.resize(size, 0.0);
    data.paramSteps.resize(size, 0.0);
    data.fuseCodes.resize(size, unfusedCode);
}

} // namespace

std::string withoutControlCharacters(std::string_view text)
{
    std::string kept;
    for (char c : text)
        if (!isControlCharacter(c))
            kept += c;
    return kept;
}

std::string shortenedLogFileName(const std::string& given)
{
    const std::string name = withoutControlCharacters(given);
    if (name.size() <= logFileNameWidth)
        return name;
    const std::string last = name.substr(name.size() - logFileNameWidth);
    const std::size_t separator = last.find_last_of("\\/");
    return separator == std::string::npos ? last : last.substr(separator + 1);
}

std::string algorithmFileText(AlgorithmData& data, ParameterLabel label)
{
    data.options.logFileName = shortenedLogFileName(data.options.logFileName);
    std::string text = wholeField(data.paramCount, countPattern) + "  Number of parameters\n";
    for (int i = 1; i <= data.paramCount; ++i)
        text += parameterLine(data, i, label) + "\n";
    return text + optionLines(data.options);
}

bool writeAlgorithmFile(const std::string& path, AlgorithmData& data, ParameterLabel label, FileSystem& files)
{
    return saveTextFile(path, algorithmFileText(data, label), files);
}

AlgorithmFileReading readAlgorithmText(std::string_view text, AlgorithmData& data)
{
    LineReader lines(text);
    return readAlgorithmLines(lines, data);
}

AlgorithmFileReading readAlgorithmLines(LineReader& lines, AlgorithmData& data)
{
    AlgorithmFileReading reading;
    const auto stopped = [&] {
        if (lines.failed()) {
            reading.problem = AlgorithmFileProblem::Unreadable;
            reading.readProblem = lines.problem();
        } else {
            reading.problem =
                lines.atEnd() ? AlgorithmFileProblem::TooFewLines : AlgorithmFileProblem::BadlyFormatted;
        }
        return reading;
    };

    const std::optional<std::string> first = lines.next();
    if (!first)
        return stopped();
    const Converted<std::int16_t> count = textToInt16(columns(*first, 1, 14));
    if (!count)
        return stopped();
    reading.fileParamCount = count.value();
    if (count.value() != data.paramCount) {
        reading.problem = AlgorithmFileProblem::CountMismatch;
        return reading;
    }

    sizeParameterArrays(data);
    BodyReader body(lines, data, reading);
    for (int i = 1; i <= data.paramCount; ++i)
        if (!body.parameterLine(i))
            return stopped();
    if (!body.optionLines())
        return stopped();

    // Every expected line has been read: any further line that is not blank is one too many,
    // and the first one decides (the rest of a file that never ends is not waited for).
    while (const std::optional<std::string> line = lines.next()) {
        if (!isBlank(*line)) {
            reading.problem = AlgorithmFileProblem::TooManyLines;
            return reading;
        }
    }
    if (lines.failed())
        return stopped();
    data.options.fileFrequency = 0;
    return reading;
}

std::string algorithmFileProblemText(const AlgorithmFileReading& reading, const std::string& fileName,
                                     std::int16_t paramCount)
{
    switch (reading.problem) {
    case AlgorithmFileProblem::None:
        return {};
    case AlgorithmFileProblem::CountMismatch:
        return "Algorithm file  " + fileName + "  has " + numberText(reading.fileParamCount) +
               " parameters, but your model specifies " + numberText(paramCount);
    case AlgorithmFileProblem::TooManyLines:
        return "Algorithm file seems to have too many lines of information - better check it!";
    case AlgorithmFileProblem::BadlyFormatted:
        return "Algorithm file seems to have inappropriate, badly formatted, or missing, information - "
               "better check it!";
    case AlgorithmFileProblem::TooFewLines:
        return "Algorithm file seems to have too few lines of information - better check it!";
    case AlgorithmFileProblem::Unreadable:
        return "Algorithm file  " + fileName + "  could not be read: " + reading.readProblem;
    }
    return {};
}

} // namespace orvanta
