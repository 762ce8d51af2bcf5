#include "model/DataFiles.h"

#include "text/LineReader.h"
#include "text/NumberText.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <string_view>

namespace orvanta {

namespace {

// Only the first 34 columns hold data; the rest of a line is label text, so a line is kept no
// longer than this however long it is in the file.
constexpr std::size_t keptLineLength = 64;

constexpr double midpointStartTolerance = 1e-6;
constexpr double widthTolerance = 0.001; // 0.1% of the cell width

const char* const fatalErrorTitle = "Fatal Error";
const char* const notReadTitle = "Data file not read";
const char* const firstIntervalText = "Fatal Error: Inconsistency in midpoint interval 1";

enum class FileKind { Frequency, Increment };

std::string kindName(FileKind kind)
{
    return kind == FileKind::Frequency ? "frequency" : "increment";
}

bool isBlankLine(const std::string& line)
{
    return std::all_of(line.begin(), line.end(), [](char c) { return c == ' ' || c == '\t'; });
}

// Collects the lines of a data file as records. Blank lines count only when a non-blank line
// follows them, so blank lines and line breaks at the end of a file add no records.
class RecordLines {
public:
    explicit RecordLines(int maxRecords) : maxRecords_(static_cast<std::size_t>(maxRecords)) {}

    bool full() const { return lines_.size() >= maxRecords_; }

    void add(std::string line)
    {
        if (isBlankLine(line)) {
            ++pendingBlankLines_;
            return;
        }
        for (; pendingBlankLines_ > 0 && !full(); --pendingBlankLines_)
            lines_.emplace_back();
        if (!full())
            lines_.push_back(std::move(line));
    }

    std::vector<std::string> take() { return std::move(lines_); }

private:
    std::size_t maxRecords_;
    std::size_t pendingBlankLines_ = 0;
    std::vector<std::string> lines_;
};

// A refused file is named; what that means for the model is added by the caller
// (initializationOutcome): the data read before stay in force.
DataFileProblem refusedFileProblem(FileKind kind, const std::string& path, const std::string& what)
{
    return {"The " + kindName(kind) + " data file\n" + path + "\n" + what + ".", notReadTitle, Icon::Exclamation,
            true};
}

DataFileProblem notReadProblem(FileKind kind, const std::string& path, const std::string& reason)
{
    return refusedFileProblem(kind, path, "could not be read: " + reason);
}

// The columns that hold a line's fields: 1-12 of a frequency line, 1-34 of an increment line.
std::size_t fieldColumns(FileKind kind)
{
    return kind == FileKind::Frequency ? 12 : 34;
}

// A character that no text file has among its fields: a control character other than tab,
// vertical tab, form feed and the old end-of-file mark. Such bytes mean a binary file.
bool isBinaryCharacter(char c)
{
    const auto code = static_cast<unsigned char>(c);
    return (code < 0x20 && c != '\t' && c != '\v' && c != '\f' && code != 0x1a) || code == 0x7f;
}

std::optional<unsigned> binaryCharacterIn(std::string_view fields)
{
    for (char c : fields)
        if (isBinaryCharacter(c))
            return static_cast<unsigned char>(c);
    return std::nullopt;
}

bool hasDigit(std::string_view fields)
{
    return std::any_of(fields.begin(), fields.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Reads up to maxRecords record lines of path. A problem when the file cannot be read or is
// no text, and when no line has a number among its fields: such a file holds no records, and
// taking it would make an evaluation of nothing look like a fit.
std::variant<std::vector<std::string>, DataFileProblem>
readRecordLines(FileKind kind, const std::string& path, int maxRecords)
{
    LineReader reader = LineReader::openFile(path);
    RecordLines records(maxRecords);
    bool anyNumber = false;
    while (!records.full()) {
        std::optional<std::string> line = reader.next(keptLineLength);
        if (!line)
            break;
        const std::string_view fields = std::string_view(*line).substr(0, fieldColumns(kind));
        if (const std::optional<unsigned> code = binaryCharacterIn(fields))
            return notReadProblem(kind, path,
                                  "it is not a text file (line " + numberText(reader.lineCount()) +
                                      " holds the control character of code " + numberText(*code) + ")");
        anyNumber = anyNumber || hasDigit(fields);
        records.add(std::move(*line));
    }
    if (reader.failed())
        return notReadProblem(kind, path, reader.problem());
    if (!anyNumber) {
        const char* what =
            kind == FileKind::Frequency ? "holds no frequency cells" : "holds no increment records";
        return refusedFileProblem(kind, path, what);
    }
    return records.take();
}

// Characters first..last (counted from 1) of line; shorter lines give less or nothing.
std::string_view columns(const std::string& line, std::size_t first, std::size_t last)
{
    if (line.size() < first)
        return {};
    return std::string_view(line).substr(first - 1, last - first + 1);
}

double fieldValue(const std::string& line, std::size_t first, std::size_t last)
{
    return leadingNumber(columns(line, first, last));
}

DataFileProblem fatalProblem(std::string text, Icon icon = Icon::Information)
{
    return {std::move(text), fatalErrorTitle, icon};
}

DataFileProblem tooLargeProblem(FileKind kind, int line)
{
    return fatalProblem("A number in line " + numberText(line) + " of the " + kindName(kind) +
                            " file is too large to be read",
                        Icon::Exclamation);
}

// The first cell that enters the likelihood. The window lets only numbers of 1 or more
// through; anything below 1 starts at cell 1, a number too large for a cell number starts
// beyond every cell.
int firstCellFrom(const std::string& text)
{
    const Converted<std::int16_t> cell = textToInt16(text);
    if (cell)
        return std::max(1, static_cast<int>(cell.value()));
    const Converted<double> number = textToDouble(text);
    return number && number.value() > 0.0 ? std::numeric_limits<std::int16_t>::max() : 1;
}

// The set number rounded to a whole number (halves to even), when it has a per-set count.
std::optional<int> countedSet(double setNumber)
{
    const double rounded = std::nearbyint(setNumber); // NaN and infinities fail the test below
    if (!(rounded >= 0.0 && rounded <= static_cast<double>(maxSetNumber)))
        return std::nullopt;
    return static_cast<int>(rounded);
}

// Adds one record. A set number outside 0..2000 keeps its record for the likelihood, but the
// record has no per-set count and does not raise the highest set number, so that loops over
// the sets 0..highestSet never leave recordsPerSet.
void addIncrementRecord(IncrementData& data, const IncrementRecord& record)
{
    data.records.push_back(record);
    ++data.recordCount;
    if (const std::optional<int> set = countedSet(record.setNumber)) {
        ++data.recordsPerSet[static_cast<std::size_t>(*set)];
        data.highestSet = std::max(data.highestSet, record.setNumber);
    }
}

std::optional<DataFileProblem> readIncrements(const std::string& path, UserInterface& ui, IncrementData& data)
{
    auto lines = readRecordLines(FileKind::Increment, path, maxRecords);
    if (auto* problem = std::get_if<DataFileProblem>(&lines))
        return *problem;

    int lineNumber = 0;
    for (const std::string& line : std::get<std::vector<std::string>>(lines)) {
        ++lineNumber;
        ui.processPendingEvents();
        IncrementRecord record;
        record.setNumber = fieldValue(line, 1, 6);
        record.initialSize = fieldValue(line, 8, 13);
        record.increment = fieldValue(line, 15, 20);
        record.startDay = fieldValue(line, 22, 27);
        record.endDay = fieldValue(line, 29, 34);
        // The set number only groups records (see addIncrementRecord); the others are computed with.
        for (double value : {record.initialSize, record.increment, record.startDay, record.endDay})
            if (!std::isfinite(value))
                return tooLargeProblem(FileKind::Increment, lineNumber);
        addIncrementRecord(data, record);
    }
    return std::nullopt;
}

// The midpoint checks of cell c (from 2 on), after its midpoint is stored.
std::optional<DataFileProblem> checkMidpoints(FrequencyData& data, int c)
{
    const auto at = [&](int cell) { return data.midpoint[static_cast<std::size_t>(cell)]; };
    const double previousWidth = data.cellWidth;
    data.cellWidth = at(c) - at(c - 1);
    // Cells begin at size 0; cells of no width (all midpoints 0, as lines without numbers
    // give) describe no sizes at all.
    if (c == 2 && (std::fabs(at(1) - data.cellWidth / 2.0) > midpointStartTolerance || data.cellWidth == 0.0))
        return fatalProblem(firstIntervalText);
    if (data.cellWidth < 0.0)
        return fatalProblem(firstIntervalText);
    if (c >= 3 && std::fabs(previousWidth - data.cellWidth) > widthTolerance * data.cellWidth)
        return fatalProblem("Inconsistency in frequency midpoint interval near record " + numberText(c) +
                            ". Tolerance is 0.1%.");
    return std::nullopt;
}

std::optional<DataFileProblem> readFrequencies(const std::string& path, int firstCell, FrequencyData& data)
{
    auto lines = readRecordLines(FileKind::Frequency, path, maxCells);
    if (auto* problem = std::get_if<DataFileProblem>(&lines))
        return *problem;

    data.firstCell = firstCell;
    int c = 0;
    for (const std::string& line : std::get<std::vector<std::string>>(lines)) {
        ++c;
        const double midpoint = fieldValue(line, 1, 7);
        const double frequency = fieldValue(line, 9, 12);
        if (!std::isfinite(midpoint) || !std::isfinite(frequency))
            return tooLargeProblem(FileKind::Frequency, c);
        if (frequency < 0.0)
            return fatalProblem("Negative frequency in line " + numberText(c) + " of the frequency file",
                                Icon::Exclamation);

        const auto cell = static_cast<std::size_t>(c);
        data.midpoint[cell] = midpoint;
        data.observed[cell] = c < firstCell ? 0.0 : frequency;
        if (c >= 2)
            if (auto problem = checkMidpoints(data, c))
                return problem;

        data.N += data.observed[cell];
        data.cellCount = c;
        if (data.observed[cell] != 0.0)
            data.lastNonZeroCell = c;
    }
    return std::nullopt;
}

AnalysisType analysisTypeFor(const InitializationRequest& request)
{
    if (!request.frequencyFile.empty() && !request.incrementFile.empty())
        return AnalysisType::Both;
    return request.frequencyFile.empty() ? AnalysisType::Increments : AnalysisType::SizeFrequency;
}

} // namespace

std::string initializationOutcome(bool initializedBefore)
{
    return initializedBefore ? "The data read at the last initialization remain in use."
                             : "The model has not been initialized.";
}

std::variant<ModelData, DataFileProblem> readModelData(const InitializationRequest& request,
                                                       UserInterface& ui)
{
    if (request.frequencyFile.empty() && request.incrementFile.empty())
        return DataFileProblem{"Please specify the frequency file and/or increment file", "Missing input",
                               Icon::Information};

    ModelData data;
    data.frequencyFile = request.frequencyFile;
    data.incrementFile = request.incrementFile;
    if (!request.incrementFile.empty())
        if (auto problem = readIncrements(request.incrementFile, ui, data.increments))
            return *problem;
    if (!request.frequencyFile.empty())
        if (auto problem = readFrequencies(request.frequencyFile, firstCellFrom(request.firstCellText),
                                           data.frequencies))
            return *problem;

    data.analysisType = analysisTypeFor(request);
    if (data.analysisType != AnalysisType::SizeFrequency)
        data.incrementErrorType = request.errorType;
    return data;
}

} // namespace orvanta
