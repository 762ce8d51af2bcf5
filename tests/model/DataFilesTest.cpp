#include "model/DataFiles.h"

#include "support/ScriptedUi.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <numeric>
#include <string>
#include <vector>

namespace orvanta {
namespace {

using testing::ScriptedUi;
using testing::TempDir;

std::string rightAligned(const std::string& text, std::size_t width)
{
    return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

// One frequency line: midpoint in columns 1-7, a separator, the frequency in columns 9-12.
std::string frequencyLine(const std::string& midpoint, const std::string& frequency)
{
    return rightAligned(midpoint, 7) + "," + rightAligned(frequency, 4);
}

// One increment line: five six-column fields separated by one character.
std::string incrementLine(const std::vector<std::string>& fields)
{
    std::string line;
    for (const std::string& field : fields) {
        if (!line.empty())
            line += ',';
        line += rightAligned(field, 6);
    }
    return line;
}

std::string joined(const std::vector<std::string>& lines, const std::string& lineEnd = "\n")
{
    std::string text;
    for (const std::string& line : lines)
        text += line + lineEnd;
    return text;
}

// Frequency lines with the given midpoints and frequency 10 each.
std::vector<std::string> frequencyLines(const std::vector<double>& midpoints)
{
    std::vector<std::string> lines;
    for (double midpoint : midpoints) {
        char text[32];
        std::snprintf(text, sizeof text, "%g", midpoint);
        lines.push_back(frequencyLine(text, "10"));
    }
    return lines;
}

// Midpoints of count equal cells of width w that begin at size 0.
std::vector<double> cellMidpoints(int count, double w)
{
    std::vector<double> midpoints;
    for (int c = 1; c <= count; ++c)
        midpoints.push_back((c - 0.5) * w);
    return midpoints;
}

class DataFileReading : public ::testing::Test {
protected:
    std::string file(const std::string& name, const std::string& bytes)
    {
        const std::string path = dir.file(name);
        testing::writeFileBytes(path, bytes);
        return path;
    }

    InitializationRequest frequencies(const std::string& bytes, const std::string& firstCell = "1")
    {
        InitializationRequest request;
        request.frequencyFile = file("freq.dat", bytes);
        request.firstCellText = firstCell;
        return request;
    }

    InitializationRequest increments(const std::string& bytes,
                                     IncrementErrorType errorType = IncrementErrorType::Gaussian)
    {
        InitializationRequest request;
        request.incrementFile = file("inc.dat", bytes);
        request.errorType = errorType;
        return request;
    }

    ModelData read(const InitializationRequest& request)
    {
        auto result = readModelData(request, ui);
        if (const auto* problem = std::get_if<DataFileProblem>(&result)) {
            ADD_FAILURE() << "Unexpected problem: " << problem->title << ": " << problem->text;
            return {};
        }
        return std::get<ModelData>(std::move(result));
    }

    DataFileProblem problem(const InitializationRequest& request)
    {
        auto result = readModelData(request, ui);
        if (!std::holds_alternative<DataFileProblem>(result)) {
            ADD_FAILURE() << "The files were taken";
            return {};
        }
        return std::get<DataFileProblem>(result);
    }

    TempDir dir;
    ScriptedUi ui;
};

TEST_F(DataFileReading, EqualCellsFromZeroAreTakenWithoutAMessage)
{
    struct Case {
        std::vector<double> midpoints;
        double width;
    };
    const Case cases[] = {
        {{0.5, 1.5, 2.5}, 1.0},
        {{2.5, 7.5, 12.5, 17.504}, 17.504 - 12.5}, // width difference 0.004 against 0.1% of 5.004
        {cellMidpoints(250, 1.0), 1.0},
    };
    for (const Case& c : cases) {
        const ModelData data = read(frequencies(joined(frequencyLines(c.midpoints))));
        const int count = static_cast<int>(c.midpoints.size());
        EXPECT_EQ(data.frequencies.cellCount, count);
        EXPECT_DOUBLE_EQ(data.frequencies.cellWidth, c.width);
        EXPECT_EQ(data.frequencies.midpoint[static_cast<std::size_t>(count)], c.midpoints.back());
        EXPECT_EQ(data.frequencies.N, 10.0 * count);
        EXPECT_EQ(data.frequencies.lastNonZeroCell, count);
        EXPECT_EQ(data.analysisType, AnalysisType::SizeFrequency);
    }
    EXPECT_TRUE(ui.shown().empty());
}

TEST_F(DataFileReading, InconsistentMidpointsAreFatal)
{
    const std::string firstInterval = "Fatal Error: Inconsistency in midpoint interval 1";
    const auto nearRecord = [](const char* record) {
        return std::string("Inconsistency in frequency midpoint interval near record ") + record +
               ". Tolerance is 0.1%.";
    };
    std::vector<double> lateBreak = cellMidpoints(11, 2.0);
    lateBreak.push_back(lateBreak.back() + 2.5);
    struct Case {
        std::vector<double> midpoints;
        std::string text;
    };
    const Case cases[] = {
        {{1, 2, 3}, firstInterval},                 // cells of width 1 that do not begin at 0
        {{2.5, 7.5, 12.5, 17.51}, nearRecord("4")}, // 0.01 against 0.1% of 5.01
        {{0.5, 1.5, 1.0}, firstInterval},           // a negative width
        {{0.5, 1.5, 2.5, 3.6}, nearRecord("4")},
        {lateBreak, nearRecord("12")},
        {{0, 0, 0}, firstInterval}, // cells without width, as lines without numbers give
    };
    for (const Case& c : cases) {
        const DataFileProblem p = problem(frequencies(joined(frequencyLines(c.midpoints))));
        EXPECT_EQ(p.text, c.text) << "last midpoint " << c.midpoints.back();
        EXPECT_EQ(p.title, "Fatal Error");
        EXPECT_EQ(p.icon, Icon::Information);
    }
    EXPECT_TRUE(ui.shown().empty()) << "the caller shows the message";
}

TEST_F(DataFileReading, CellsBeforeTheFirstCellAreStoredAsZero)
{
    const std::vector<double> counts = {5, 7, 2, 4, 0};
    struct Case {
        std::string firstCellText;
        int firstCell;
    };
    // Fractions round halves to even; below 1 starts at cell 1; a number too large for a cell
    // number starts beyond every cell, so that N is 0.
    const Case cases[] = {
        {"1", 1}, {"3", 3}, {"2.5", 2}, {"3.5", 4}, {"0", 1}, {"", 1}, {"-2", 1}, {"40000", 32767},
    };
    std::vector<std::string> lines;
    for (std::size_t c = 0; c < counts.size(); ++c)
        lines.push_back(frequencyLine(std::to_string(c) + ".5", std::to_string(static_cast<int>(counts[c]))));
    for (const Case& c : cases) {
        const FrequencyData f = read(frequencies(joined(lines), c.firstCellText)).frequencies;
        EXPECT_EQ(f.firstCell, c.firstCell) << "'" << c.firstCellText << "'";
        double expectedN = 0.0;
        int expectedLast = 0;
        for (int cell = 1; cell <= static_cast<int>(counts.size()); ++cell) {
            const double stored = cell < c.firstCell ? 0.0 : counts[static_cast<std::size_t>(cell - 1)];
            EXPECT_EQ(f.observed[static_cast<std::size_t>(cell)], stored) << "cell " << cell;
            expectedN += stored;
            if (stored != 0.0)
                expectedLast = cell;
        }
        EXPECT_EQ(f.N, expectedN) << "'" << c.firstCellText << "'";
        EXPECT_EQ(f.lastNonZeroCell, expectedLast) << "'" << c.firstCellText << "'";
        EXPECT_EQ(f.cellCount, 5);
    }
}

TEST_F(DataFileReading, FirstCellThreeLeavesCellsOneAndTwoOutOfNAndTheLastNonZeroCell)
{
    const std::string bytes =
        joined({frequencyLine("0.5", "4"), frequencyLine("1.5", "9"), frequencyLine("2.5", "0")});
    const FrequencyData f = read(frequencies(bytes, "3")).frequencies;
    EXPECT_EQ(f.observed[1], 0.0);
    EXPECT_EQ(f.observed[2], 0.0);
    EXPECT_EQ(f.N, 0.0);
    EXPECT_EQ(f.lastNonZeroCell, 0);
    EXPECT_EQ(f.midpoint[2], 1.5) << "midpoints are stored for every cell";
}

TEST_F(DataFileReading, FractionalFrequenciesAreKept)
{
    const FrequencyData f =
        read(frequencies(joined({frequencyLine("2.5", "1.25"), frequencyLine("7.5", "3.5")}))).frequencies;
    EXPECT_EQ(f.observed[1], 1.25);
    EXPECT_EQ(f.N, 4.75);
}

TEST_F(DataFileReading, AnIncrementFileAloneGivesIncrementAnalysis)
{
    const std::string bytes = joined({
        incrementLine({"1", "20.5", "8.25", "100", "465"}),
        incrementLine({"1", "35", "4", "120", "480"}),
        incrementLine({"3", "0", "41.5", "0", "2.5"}),
    });
    const ModelData data = read(increments(bytes, IncrementErrorType::Gamma));

    EXPECT_EQ(data.analysisType, AnalysisType::Increments);
    EXPECT_EQ(data.incrementErrorType, IncrementErrorType::Gamma);
    EXPECT_EQ(data.frequencies.N, 0.0);
    EXPECT_EQ(data.frequencies.cellCount, 0);
    EXPECT_EQ(data.frequencyFile, "");
    EXPECT_EQ(data.incrementFile, dir.file("inc.dat"));

    const IncrementData& inc = data.increments;
    ASSERT_EQ(inc.recordCount, 3);
    ASSERT_EQ(inc.records.size(), 4u) << "record 0 is unused";
    EXPECT_EQ(inc.records[1].setNumber, 1.0);
    EXPECT_EQ(inc.records[1].initialSize, 20.5);
    EXPECT_EQ(inc.records[1].increment, 8.25);
    EXPECT_EQ(inc.records[1].startDay, 100.0);
    EXPECT_EQ(inc.records[1].endDay, 465.0);
    EXPECT_EQ(inc.records[3].increment, 41.5);
    EXPECT_EQ(inc.records[3].endDay, 2.5);
    EXPECT_EQ(inc.highestSet, 3.0);
    EXPECT_EQ(inc.recordsPerSet[1], 2);
    EXPECT_EQ(inc.recordsPerSet[2], 0);
    EXPECT_EQ(inc.recordsPerSet[3], 1);
    EXPECT_EQ(ui.yieldCount(), 3) << "one yield per increment record";
}

TEST_F(DataFileReading, AnalysisTypeAndErrorTypeFollowTheFilesGiven)
{
    const std::string frequencyBytes = joined(frequencyLines({0.5, 1.5}));
    const std::string incrementBytes = joined({incrementLine({"1", "20", "5", "100", "465"})});
    struct Case {
        bool frequency;
        bool increment;
        AnalysisType analysis;
        IncrementErrorType expectedError;
    };
    // The request asks for gamma errors each time; a frequency analysis keeps the default.
    const Case cases[] = {
        {true, false, AnalysisType::SizeFrequency, IncrementErrorType::Gaussian},
        {false, true, AnalysisType::Increments, IncrementErrorType::Gamma},
        {true, true, AnalysisType::Both, IncrementErrorType::Gamma},
    };
    for (const Case& c : cases) {
        InitializationRequest request;
        if (c.frequency)
            request.frequencyFile = file("freq.dat", frequencyBytes);
        if (c.increment)
            request.incrementFile = file("inc.dat", incrementBytes);
        request.errorType = IncrementErrorType::Gamma;
        const ModelData data = read(request);
        EXPECT_EQ(data.analysisType, c.analysis);
        EXPECT_EQ(data.incrementErrorType, c.expectedError);
        EXPECT_EQ(data.frequencies.cellCount, c.frequency ? 2 : 0);
        EXPECT_EQ(data.increments.recordCount, c.increment ? 1 : 0);
    }
}

TEST_F(DataFileReading, NoFileAtAllIsMissingInput)
{
    const DataFileProblem p = problem(InitializationRequest{});
    EXPECT_EQ(p.title, "Missing input");
    EXPECT_EQ(p.text, "Please specify the frequency file and/or increment file");
}

TEST_F(DataFileReading, ShortLinesGiveZeroForTheMissingFields)
{
    const FrequencyData f = read(frequencies(joined({"    0.5", "    1.5,  7", "    2.5, 3"}))).frequencies;
    EXPECT_EQ(f.observed[1], 0.0);
    EXPECT_EQ(f.observed[2], 7.0);
    EXPECT_EQ(f.observed[3], 3.0) << "a field cut short is read as far as it goes";

    const IncrementData inc = read(increments(joined({"     4,  12.5", "     5"}))).increments;
    ASSERT_EQ(inc.recordCount, 2);
    EXPECT_EQ(inc.records[1].setNumber, 4.0);
    EXPECT_EQ(inc.records[1].initialSize, 12.5);
    EXPECT_EQ(inc.records[1].increment, 0.0);
    EXPECT_EQ(inc.records[1].startDay, 0.0);
    EXPECT_EQ(inc.records[1].endDay, 0.0);
    EXPECT_EQ(inc.records[2].setNumber, 5.0);
    EXPECT_EQ(inc.records[2].initialSize, 0.0);
}

TEST_F(DataFileReading, TextAfterTheFieldsIsIgnored)
{
    const FrequencyData f =
        read(
            frequencies(joined({frequencyLine("0.5", "2") + " cell one", frequencyLine("1.5", "3") + "xyz"})))
            .frequencies;
    EXPECT_EQ(f.observed[1], 2.0);
    EXPECT_EQ(f.observed[2], 3.0);
}

TEST_F(DataFileReading, LinesBeyondTheCapacityAreIgnoredSilently)
{
    // The 251st line would be an inconsistent cell if it were read.
    std::vector<std::string> lines = frequencyLines(cellMidpoints(250, 1.0));
    lines.push_back(frequencyLine("900", "5"));
    const FrequencyData f = read(frequencies(joined(lines))).frequencies;
    EXPECT_EQ(f.cellCount, 250);
    EXPECT_EQ(f.N, 2500.0);

    std::vector<std::string> records(2000, incrementLine({"1", "20", "5", "100", "465"}));
    records.push_back(incrementLine({"2", "20", "5", "100", "465"}));
    const IncrementData inc = read(increments(joined(records))).increments;
    EXPECT_EQ(inc.recordCount, 2000);
    EXPECT_EQ(inc.recordsPerSet[1], 2000);
    EXPECT_EQ(inc.recordsPerSet[2], 0);
    EXPECT_EQ(inc.highestSet, 1.0);
    EXPECT_EQ(ui.yieldCount(), 2000);
    EXPECT_TRUE(ui.shown().empty());
}

TEST_F(DataFileReading, LineEndsAndTrailingBlankLinesAddNoRecords)
{
    const std::vector<std::string> lines = frequencyLines({0.5, 1.5, 2.5});
    const std::string lf = joined(lines);
    const std::string crlf = joined(lines, "\r\n");
    const std::string variants[] = {
        lf,
        crlf,
        lf.substr(0, lf.size() - 1), // no final line break
        crlf.substr(0, crlf.size() - 2),
        lf + "\n\n\n",
        crlf + "\r\n\r\n",
        lf + "   \n\t\n", // lines of blanks only
        lf + "\r",
    };
    for (const std::string& bytes : variants) {
        const FrequencyData f = read(frequencies(bytes)).frequencies;
        EXPECT_EQ(f.cellCount, 3) << ::testing::PrintToString(bytes);
        EXPECT_EQ(f.cellWidth, 1.0) << ::testing::PrintToString(bytes);
        EXPECT_EQ(f.N, 30.0) << ::testing::PrintToString(bytes);
    }
}

TEST_F(DataFileReading, AnEmptyLineBetweenRecordsIsARecordOfZeros)
{
    const std::string bytes = joined({incrementLine({"2", "20", "5", "100", "465"}), "",
                                      incrementLine({"2", "30", "4", "100", "465"}), "", ""});
    const IncrementData inc = read(increments(bytes)).increments;
    ASSERT_EQ(inc.recordCount, 3);
    EXPECT_EQ(inc.records[2].setNumber, 0.0);
    EXPECT_EQ(inc.records[2].initialSize, 0.0);
    EXPECT_EQ(inc.records[2].endDay, 0.0);
    EXPECT_EQ(inc.recordsPerSet[0], 1);
    EXPECT_EQ(inc.recordsPerSet[2], 2);

    // In a frequency file such a record is a cell at midpoint 0.
    const DataFileProblem p =
        problem(frequencies(joined({frequencyLine("0.5", "1"), "", frequencyLine("2.5", "1")})));
    EXPECT_EQ(p.text, "Fatal Error: Inconsistency in midpoint interval 1");
}

TEST_F(DataFileReading, AFileWithoutRecordsIsRefusedByName)
{
    // Taken, such a file would give an objective of 0 for any parameters: a fit of nothing.
    struct Case {
        bool frequencyFile;
        std::string bytes;
        std::string what;
    };
    const Case cases[] = {
        {true, "", "holds no frequency cells"},
        {true, "\r\n\n  \n", "holds no frequency cells"},
        {true, "midpoint,frequency\ncells follow\n", "holds no frequency cells"}, // no number at all
        {false, "", "holds no increment records"},
        {false, "\r\n\n", "holds no increment records"},
        {false, "set   size   increment\n", "holds no increment records"},
    };
    for (const Case& c : cases) {
        const InitializationRequest request = c.frequencyFile ? frequencies(c.bytes) : increments(c.bytes);
        const std::string& path = c.frequencyFile ? request.frequencyFile : request.incrementFile;
        const DataFileProblem p = problem(request);
        EXPECT_EQ(p.title, "Data file not read");
        EXPECT_EQ(p.icon, Icon::Exclamation);
        EXPECT_EQ(p.text, std::string("The ") + (c.frequencyFile ? "frequency" : "increment") +
                              " data file\n" + path + "\n" + c.what + ".")
            << ::testing::PrintToString(c.bytes);
        EXPECT_TRUE(p.unreadable);
    }
    if (std::filesystem::exists("/dev/null")) {
        InitializationRequest request;
        request.frequencyFile = "/dev/null";
        EXPECT_NE(problem(request).text.find("holds no frequency cells"), std::string::npos);
    }
}

TEST_F(DataFileReading, CarriageReturnsAloneEndLinesToo)
{
    const FrequencyData f = read(frequencies(joined(frequencyLines({0.5, 1.5, 2.5}), "\r"))).frequencies;
    EXPECT_EQ(f.cellCount, 3);
    EXPECT_EQ(f.N, 30.0);
    const IncrementData inc = read(increments(joined({incrementLine({"1", "20", "5", "100", "465"}),
                                                      incrementLine({"2", "30", "4", "100", "465"})},
                                                     "\r")))
                                  .increments;
    EXPECT_EQ(inc.recordCount, 2);
    EXPECT_EQ(inc.records[2].initialSize, 30.0);
}

TEST_F(DataFileReading, ABinaryFileIsRefusedAsNoText)
{
    std::string bytes = joined(frequencyLines({0.5, 1.5}));
    bytes += std::string("\x7f"
                         "ELF\x02\x01\x01\0\0\0",
                         10) +
             "\n";
    const DataFileProblem p = problem(frequencies(bytes));
    EXPECT_EQ(p.title, "Data file not read");
    EXPECT_NE(
        p.text.find("could not be read: it is not a text file (line 3 holds the control character of code "
                    "127)"),
        std::string::npos)
        << p.text;
    // Tabs, form feeds and text after the fields are no reason to refuse a file.
    const FrequencyData f = read(frequencies(joined({"    0.5\t   2", "    1.5,   3  \f",
                                                     frequencyLine("2.5", "1") + " \x01 label"})))
                                .frequencies;
    EXPECT_EQ(f.cellCount, 3);
}

TEST_F(DataFileReading, ALineWithoutAnEndWithinOneMebibyteStopsTheReading)
{
    const DataFileProblem p =
        problem(increments(incrementLine({"1", "20", "5", "100", "465"}) + std::string(2 << 20, ' ')));
    EXPECT_NE(p.text.find("could not be read: line 1 has no end within its first 1048576 characters"),
              std::string::npos)
        << p.text;
    if (std::filesystem::exists("/dev/zero")) {
        InitializationRequest request;
        request.frequencyFile = "/dev/zero";
        EXPECT_NE(problem(request).text.find("has no end"), std::string::npos);
    }
}

TEST_F(DataFileReading, ANegativeFrequencyIsRefusedNamingItsLine)
{
    std::vector<std::string> lines = frequencyLines(cellMidpoints(8, 1.0));
    lines[6] = frequencyLine("6.5", "-3");
    const DataFileProblem p = problem(frequencies(joined(lines)));
    EXPECT_EQ(p.title, "Fatal Error");
    EXPECT_EQ(p.text, "Negative frequency in line 7 of the frequency file");
}

TEST_F(DataFileReading, AMidpointTooLargeForADoubleIsRefused)
{
    const DataFileProblem p =
        problem(frequencies(joined({frequencyLine("0.5", "1"), frequencyLine("9e999", "1")})));
    EXPECT_EQ(p.title, "Fatal Error");
    EXPECT_EQ(p.text, "A number in line 2 of the frequency file is too large to be read");
}

TEST_F(DataFileReading, IncrementMeasurementsTooLargeForADoubleAreRefused)
{
    for (int field = 1; field < 5; ++field) {
        std::vector<std::string> fields = {"1", "20", "5", "100", "465"};
        fields[static_cast<std::size_t>(field)] = "-1e999";
        const DataFileProblem p = problem(
            increments(joined({incrementLine({"1", "20", "5", "100", "465"}), incrementLine(fields)})));
        EXPECT_EQ(p.text, "A number in line 2 of the increment file is too large to be read")
            << "field " << field;
    }
}

TEST_F(DataFileReading, SetNumbersOutsideTheCountedRangeKeepTheirRecordWithoutACount)
{
    struct Case {
        std::string text;
        int countedAs; // -1: no per-set count
    };
    const Case cases[] = {
        {"0", 0},       {"7", 7},       {"1.5", 2}, {"2.5", 2},  {"2000", 2000}, {"2000.4", 2000},
        {"2001", -1},   {"2000.6", -1}, {"-1", -1}, {"-0.4", 0}, {"1e300", -1},  {"9e999", -1},
        {"-9e999", -1}, {"NaN", 0},     {"Inf", 0}, {"abc", 0},
    };
    for (const Case& c : cases) {
        const IncrementData inc = read(increments(joined({incrementLine({"3", "20", "5", "100", "465"}),
                                                          incrementLine({c.text, "25", "6", "100", "465"})})))
                                      .increments;
        ASSERT_EQ(inc.recordCount, 2) << c.text;
        EXPECT_EQ(inc.records[2].initialSize, 25.0) << c.text;
        const int counted = std::accumulate(inc.recordsPerSet.begin(), inc.recordsPerSet.end(), 0);
        EXPECT_EQ(counted, c.countedAs < 0 ? 1 : 2) << c.text;
        EXPECT_EQ(inc.recordsPerSet[3], c.countedAs == 3 ? 2 : 1) << c.text;
        if (c.countedAs >= 0 && c.countedAs != 3)
            EXPECT_EQ(inc.recordsPerSet[static_cast<std::size_t>(c.countedAs)], 1) << c.text;
        // The highest set number stays within the counted sets.
        EXPECT_LE(inc.highestSet, static_cast<double>(maxSetNumber) + 0.5) << c.text;
        EXPECT_EQ(inc.highestSet, c.countedAs > 3 ? inc.records[2].setNumber : 3.0) << c.text;
    }
}

TEST_F(DataFileReading, AFileThatCannotBeReadIsNamedInTheMessage)
{
    const std::string missing = dir.file("missing.dat");
    const std::string folder = dir.path().string();
    struct Case {
        bool frequencyFile;
        std::string path;
        std::string kind;
        std::string reason;
    };
    const Case cases[] = {
        {true, missing, "frequency", "there is no such file"},
        {true, folder, "frequency", "it is a folder"},
        {false, missing, "increment", "there is no such file"},
        {false, folder, "increment", "it is a folder"},
    };
    for (const Case& c : cases) {
        InitializationRequest request;
        (c.frequencyFile ? request.frequencyFile : request.incrementFile) = c.path;
        const DataFileProblem p = problem(request);
        EXPECT_EQ(p.title, "Data file not read");
        EXPECT_EQ(p.icon, Icon::Exclamation);
        EXPECT_EQ(p.text, "The " + c.kind + " data file\n" + c.path + "\ncould not be read: " + c.reason + ".");
        EXPECT_TRUE(p.unreadable);
    }
}

TEST_F(DataFileReading, TheIncrementFileIsReadFirst)
{
    // Both files are unreadable: the increment file's problem is the one reported, and the
    // frequency file is never looked at.
    InitializationRequest request;
    request.frequencyFile = dir.file("no-frequencies.dat");
    request.incrementFile = dir.file("no-increments.dat");
    EXPECT_NE(problem(request).text.find("no-increments.dat"), std::string::npos);

    // A good increment file is read (with its yields) before a bad frequency file stops the reading.
    request.incrementFile = file("inc.dat", joined({incrementLine({"1", "20", "5", "100", "465"})}));
    EXPECT_NE(problem(request).text.find("no-frequencies.dat"), std::string::npos);
    EXPECT_EQ(ui.yieldCount(), 1);
}

} // namespace
} // namespace orvanta
