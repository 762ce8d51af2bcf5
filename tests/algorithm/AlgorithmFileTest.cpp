#include "algorithm/AlgorithmFile.h"

#include "support/FailingFileSystem.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace orvanta {
namespace {

using testing::readFileBytes;
using testing::TempDir;
using testing::writeFileBytes;

std::string blanks(std::size_t count)
{
    return std::string(count, ' ');
}

// text right-aligned in width characters, as the file's columns hold it.
std::string rightAligned(const std::string& text, std::size_t width)
{
    return blanks(width - text.size()) + text;
}

// A parameter line: value in columns 1-14, step in 15-30, codeColumns in 31-34, a comment.
std::string parameterLine(const std::string& value, const std::string& step, const std::string& codeColumns)
{
    return rightAligned(value, 14) + rightAligned(step, 16) + rightAligned(codeColumns, 4) +
           "  Value, step then link for a parameter";
}

std::string optionLine(const std::string& value, const std::string& comment)
{
    return rightAligned(value, 14) + "  " + comment;
}

// A well-formed file of three parameters, one line per element.
std::vector<std::string> threeParameterLines()
{
    return {
        optionLine("3", "Number of parameters"),
        parameterLine("1.5000000E+01", "5.0000000E-01", "A"),
        parameterLine("-2.0000000E+00", "0.0000000E+00", "A"),
        parameterLine("3.0000000E-01", "1.0000000E-02", "~~"),
        optionLine("2.0000000E-05", "Simplex limit (+ for ABS, - for REL)"),
        optionLine("5000", "Maximum # of function calls (simplex) or iterations (Marquardt)"),
        optionLine("20", "Terminal output frequency"),
        optionLine("4", "File output frequency"),
        optionLine("fit.ovl", "Name of output file"),
        optionLine("2.5000000E-01", "Step size reduction fraction"),
    };
}

std::string withLineEnds(const std::vector<std::string>& lines, const std::string& lineEnd = "\r\n")
{
    std::string text;
    for (const std::string& line : lines)
        text += line + lineEnd;
    return text;
}

// Algorithm data of a model with count parameters, every value 9, step 1 and code "Z".
AlgorithmData modelData(std::int16_t count)
{
    AlgorithmData data;
    data.paramCount = count;
    const auto size = static_cast<std::size_t>(count) + 1;
    data.paramValues.assign(size, 9.0);
    data.paramSteps.assign(size, 1.0);
    data.fuseCodes.assign(size, "Z");
    data.paramDescriptions.assign(size, "described");
    data.options.convergenceTolerance = 0.5;
    data.options.maxCalls = 7;
    return data;
}

std::vector<std::string> linesOf(const std::string& bytes)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end = bytes.find("\r\n"); end != std::string::npos; end = bytes.find("\r\n", start)) {
        lines.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    EXPECT_EQ(start, bytes.size()) << "text after the last CR LF";
    return lines;
}

// ---------------------------------------------------------------------------------------------
// Writing

TEST(WriteAlgorithmFile, WritesTheFixedColumnsLabelsAndCrLfLineEnds)
{
    AlgorithmData data;
    data.paramCount = 2;
    data.paramValues = {0.0, 35.0, -0.000123456789};
    data.paramSteps = {0.0, 3.0, 0.0};
    data.fuseCodes = {"", "A", "~~"};
    data.paramDescriptions = {"", "L-infinity", "k"};
    data.options.convergenceTolerance = -1E-05;
    data.options.maxCalls = 20000;
    data.options.terminalFrequency = 10;
    data.options.fileFrequency = 0;
    data.options.logFileName = "minimize.ovl";
    data.options.stepReductionFraction = 0.1;

    TempDir dir;
    const std::string path = dir.file("fit.alg");
    ASSERT_TRUE(writeAlgorithmFile(path, data));

    const std::vector<std::string> expected = {
        blanks(13) + "2" + "  Number of parameters",
        " 3.5000000E+01" + blanks(3) + "3.0000000E+00" + blanks(3) + "A" +
            "  Value, step then link for L-infinity",
        "-1.2345679E-04" + blanks(3) + "0.0000000E+00" + blanks(2) + "~~" + "  Value, step then link for k",
        "-1.0000000E-05  Simplex limit (+ for ABS, - for REL)",
        blanks(9) + "20000" + "  Maximum # of function calls (simplex) or iterations (Marquardt)",
        blanks(12) + "10" + "  Terminal output frequency",
        blanks(13) + "0" + "  File output frequency",
        blanks(2) + "minimize.ovl" + "  Name of output file",
        " 1.0000000E-01  Step size reduction fraction",
    };
    EXPECT_EQ(linesOf(readFileBytes(path)), expected);
}

TEST(WriteAlgorithmFile, MultiModelVariantDiffersOnlyInTheParameterLabel)
{
    AlgorithmData data = modelData(2);
    const std::string mainMenuText = algorithmFileText(data, ParameterLabel::MainMenu);
    const std::string multiModelText = algorithmFileText(data, ParameterLabel::MultiModel);

    std::string expected = mainMenuText;
    for (std::size_t at = expected.find("link for "); at != std::string::npos;
         at = expected.find("link for ", at + 1))
        expected.replace(at, 9, "link for: ");
    EXPECT_EQ(multiModelText, expected);
    EXPECT_NE(multiModelText.find("  Value, step then link for: described\n"), std::string::npos);
}

TEST(WriteAlgorithmFile, HasParamCountPlusSevenLines)
{
    for (std::int16_t count : {0, 1, 20}) {
        AlgorithmData data = modelData(count);
        TempDir dir;
        ASSERT_TRUE(writeAlgorithmFile(dir.file("n.alg"), data));
        EXPECT_EQ(linesOf(readFileBytes(dir.file("n.alg"))).size(), static_cast<std::size_t>(count) + 7)
            << count << " parameters";
    }
}

TEST(ShortenedLogFileName, DropsControlCharacters)
{
    EXPECT_EQ(shortenedLogFileName("fit\r.ovl"), "fit.ovl");
    EXPECT_EQ(shortenedLogFileName(std::string("\t\0a.ovl\n", 8)), "a.ovl");
    EXPECT_EQ(withoutControlCharacters("  a b\x1f"), "  a b");
}

TEST(ShortenedLogFileName, KeepsShortNamesAndDropsFoldersOfLongOnes)
{
    struct Case {
        std::string name;
        std::string written;
    };
    const Case cases[] = {
        {"minimize.ovl", "minimize.ovl"},
        {"dir/fourteen.x", "dir/fourteen.x"},     // 14 characters: whole, folder included
        {"/home/user/logs/run1.ovl", "run1.ovl"}, // "/logs/run1.ovl" are the last 14
        {"C:\\Fits\\Shrimp\\minimize.ovl", "minimize.ovl"},
        {"/logs/averyveryverylongname.ovl", "rylongname.ovl"}, // no separator among the last 14
        {"logs/averyveryverylongname", "ryverylongname"},
        {"/somewhere/far/away/", ""}, // the separator is the last character
    };
    for (const Case& c : cases)
        EXPECT_EQ(shortenedLogFileName(c.name), c.written) << c.name;
}

TEST(WriteAlgorithmFile, StoresTheShortenedLogFileNameInTheData)
{
    AlgorithmData data = modelData(1);
    data.options.logFileName = "/var/tmp/orvanta/runs/minimize.ovl";
    TempDir dir;
    ASSERT_TRUE(writeAlgorithmFile(dir.file("fit.alg"), data));
    EXPECT_EQ(data.options.logFileName, "minimize.ovl");
    EXPECT_EQ(linesOf(readFileBytes(dir.file("fit.alg")))[6], "  minimize.ovl  Name of output file");
}

TEST(WriteAlgorithmFile, AFailedWriteLeavesThePreviousFileIntact)
{
    TempDir dir;
    const std::string path = dir.file("fit.alg");
    writeFileBytes(path, "previous content\r\n");
    AlgorithmData data = modelData(3);
    testing::FailingFileSystem failing;
    EXPECT_FALSE(writeAlgorithmFile(path, data, ParameterLabel::MainMenu, failing));
    EXPECT_EQ(readFileBytes(path), "previous content\r\n");
}

// ---------------------------------------------------------------------------------------------
// Reading

TEST(ReadAlgorithmFile, RoundTripKeepsEightSignificantDigitsCodesAndTheShortLogName)
{
    AlgorithmData written;
    written.paramCount = 5;
    written.paramValues = {0.0, 1234.56789123, -0.000987654321, 0.0, 6.02214076e23, -35.5};
    written.paramSteps = {0.0, 0.5, -1.23456789e-3, 0.0, 12.3456789, 0.0};
    written.fuseCodes = {"", "A", "~~", "AB", "A", "~"};
    written.paramDescriptions = {"", "one", "two", "three", "four", "five"};
    written.options.convergenceTolerance = -2.5e-4;
    written.options.maxCalls = 123456;
    written.options.terminalFrequency = 25;
    written.options.fileFrequency = 5;
    written.options.logFileName = "/var/tmp/runs/minimize.ovl";
    written.options.stepReductionFraction = 0.25;

    TempDir dir;
    ASSERT_TRUE(writeAlgorithmFile(dir.file("fit.alg"), written));
    AlgorithmData read = modelData(5);
    const AlgorithmFileReading reading = readAlgorithmText(readFileBytes(dir.file("fit.alg")), read);
    ASSERT_FALSE(reading.failed());

    for (int i = 1; i <= 5; ++i) {
        const auto p = static_cast<std::size_t>(i);
        EXPECT_NEAR(read.paramValues[p], written.paramValues[p], 5e-8 * std::fabs(written.paramValues[p]))
            << "value " << i;
        EXPECT_NEAR(read.paramSteps[p], written.paramSteps[p], 5e-8 * std::fabs(written.paramSteps[p]))
            << "step " << i;
    }
    EXPECT_EQ(read.fuseCodes, (std::vector<std::string>{"Z", "A", "~~", "AB", "A", "~~"}));
    EXPECT_EQ(read.options.convergenceTolerance, -2.5e-4);
    EXPECT_EQ(read.options.maxCalls, 123456);
    EXPECT_EQ(read.options.terminalFrequency, 25);
    EXPECT_EQ(read.options.logFileName, "  minimize.ovl");
    EXPECT_EQ(read.options.stepReductionFraction, 0.25);
    EXPECT_EQ(read.paramDescriptions[1], "described") << "descriptions belong to the model";
}

TEST(ReadAlgorithmFile, ReadsTheThreeParameterExample)
{
    AlgorithmData data = modelData(3);
    const AlgorithmFileReading reading = readAlgorithmText(withLineEnds(threeParameterLines()), data);
    ASSERT_FALSE(reading.failed());
    EXPECT_EQ(data.paramValues, (std::vector<double>{9.0, 15.0, -2.0, 0.3}));
    EXPECT_EQ(data.paramSteps, (std::vector<double>{1.0, 0.5, 0.0, 0.01}));
    EXPECT_EQ(data.fuseCodes, (std::vector<std::string>{"Z", "A", "A", "~~"}));
    EXPECT_EQ(data.options.convergenceTolerance, 2e-5);
    EXPECT_EQ(data.options.maxCalls, 5000);
    EXPECT_EQ(data.options.terminalFrequency, 20);
    EXPECT_EQ(data.options.logFileName, "       fit.ovl");
    EXPECT_EQ(data.options.stepReductionFraction, 0.25);
}

TEST(ReadAlgorithmFile, AcceptsLineFeedsAndCarriageReturnsAlone)
{
    AlgorithmData crLf = modelData(3);
    ASSERT_FALSE(readAlgorithmText(withLineEnds(threeParameterLines()), crLf).failed());
    for (const std::string lineEnd : {"\n", "\r"}) {
        AlgorithmData other = modelData(3);
        ASSERT_FALSE(readAlgorithmText(withLineEnds(threeParameterLines(), lineEnd), other).failed());
        EXPECT_EQ(other.paramValues, crLf.paramValues);
        EXPECT_EQ(other.fuseCodes, crLf.fuseCodes);
        EXPECT_EQ(other.options.logFileName, crLf.options.logFileName);
        EXPECT_EQ(other.options.stepReductionFraction, crLf.options.stepReductionFraction);
    }
}

TEST(ReadAlgorithmFile, ControlCharactersInTheLogNameAreDroppedSoTheFileWrittenBackReadsAgain)
{
    std::vector<std::string> lines = threeParameterLines();
    // Codes 1, 11, 127 and two NULs among the name's columns.
    lines[8] = optionLine(std::string("\1fit\13.ovl\177\0", 12), "Name of output file");
    AlgorithmData data = modelData(3);
    ASSERT_FALSE(readAlgorithmText(withLineEnds(lines), data).failed());
    EXPECT_EQ(data.options.logFileName, "  fit.ovl");

    // A name given elsewhere (the batch --log) with a line end in it is cleaned when written.
    data.options.logFileName = "run\r\nlog.ovl";
    const std::string written = algorithmFileText(data);
    EXPECT_EQ(data.options.logFileName, "runlog.ovl");
    AlgorithmData again = modelData(3);
    ASSERT_FALSE(readAlgorithmText(written, again).failed());
    EXPECT_EQ(algorithmFileText(again), written);
}

TEST(ReadAlgorithmFile, AFileThatStopsTheReadingIsUnreadable)
{
    TempDir dir;
    struct Case {
        std::string path;
        std::string readProblem;
        bool dataChanged;
    };
    std::vector<std::string> lines = threeParameterLines();
    lines[3] += std::string(longestLine, ' ');
    writeFileBytes(dir.file("long.alg"), withLineEnds(lines));
    const Case cases[] = {
        {dir.path().string(), "it is a folder", false},
        {dir.file("missing.alg"), "there is no such file", false},
        {dir.file("long.alg"), "line 4 has no end within its first 1048576 characters (1 MiB)", true},
    };
    for (const Case& c : cases) {
        AlgorithmData data = modelData(3);
        LineReader file = LineReader::openFile(c.path);
        const AlgorithmFileReading reading = readAlgorithmLines(file, data);
        EXPECT_EQ(reading.problem, AlgorithmFileProblem::Unreadable) << c.path;
        EXPECT_EQ(reading.readProblem, c.readProblem);
        EXPECT_EQ(reading.dataChanged, c.dataChanged) << c.path;
        EXPECT_EQ(algorithmFileProblemText(reading, c.path, 3),
                  "Algorithm file  " + c.path + "  could not be read: " + c.readProblem);
    }
}

TEST(ReadAlgorithmFile, AFileWithoutFinalLineEndIsComplete)
{
    std::string text = withLineEnds(threeParameterLines());
    text.resize(text.size() - 2);
    AlgorithmData data = modelData(3);
    EXPECT_FALSE(readAlgorithmText(text, data).failed());
    EXPECT_EQ(data.options.stepReductionFraction, 0.25);
}

TEST(ReadAlgorithmFile, FuseCodesAreOneOrTwoLettersInCapitalsElseUnfused)
{
    struct Case {
        std::string columns33and34;
        std::string code;
    };
    const Case cases[] = {
        {"ab", "AB"}, {"Ab", "AB"}, {"zz", "ZZ"}, {"AB", "AB"}, {" c", "C"},  {"c ", "C"},  {"A1", "~~"},
        {"1A", "~~"}, {"a1", "~~"}, {"~~", "~~"}, {" ~", "~~"}, {"  ", "~~"}, {"a-", "~~"}, {"-a", "~~"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> lines = threeParameterLines();
        lines[3] = parameterLine("3.0000000E-01", "1.0000000E-02", "  " + c.columns33and34);
        AlgorithmData data = modelData(3);
        ASSERT_FALSE(readAlgorithmText(withLineEnds(lines), data).failed()) << "'" << c.columns33and34 << "'";
        EXPECT_EQ(data.fuseCodes[3], c.code) << "'" << c.columns33and34 << "'";
    }
}

TEST(ReadAlgorithmFile, ALineOfThirtyThreeCharactersHasAOneCharacterCode)
{
    std::vector<std::string> lines = threeParameterLines();
    lines[1] = rightAligned("1.5000000E+01", 14) + rightAligned("5.0000000E-01", 16) + "  q";
    ASSERT_EQ(lines[1].size(), 33u);
    AlgorithmData data = modelData(3);
    ASSERT_FALSE(readAlgorithmText(withLineEnds(lines), data).failed());
    EXPECT_EQ(data.fuseCodes[1], "Q");
}

TEST(ReadAlgorithmFile, TrailingBlankLinesAreIgnored)
{
    for (const std::string trailing : {"\r\n", "\r\n\r\n\r\n", "   \r\n\r\n", "\n\t\n"}) {
        AlgorithmData data = modelData(3);
        EXPECT_FALSE(readAlgorithmText(withLineEnds(threeParameterLines()) + trailing, data).failed())
            << "trailing '" << trailing << "'";
    }
}

TEST(ReadAlgorithmFile, OneExtraNonEmptyLineIsTooMany)
{
    for (const std::string trailing : {"extra\r\n", "\r\n\r\nextra", "\r\n  x  \r\n\r\n"}) {
        AlgorithmData data = modelData(3);
        const AlgorithmFileReading reading =
            readAlgorithmText(withLineEnds(threeParameterLines()) + trailing, data);
        EXPECT_EQ(reading.problem, AlgorithmFileProblem::TooManyLines) << "trailing '" << trailing << "'";
        EXPECT_EQ(data.options.fileFrequency, 4) << "a refused file leaves what it stored";
    }
}

TEST(ReadAlgorithmFile, AShortFileHasTooFewLines)
{
    const std::vector<std::string> complete = threeParameterLines();
    for (std::size_t kept : {9u, 8u, 4u, 1u, 0u}) {
        const std::vector<std::string> lines(complete.begin(),
                                             complete.begin() + static_cast<std::ptrdiff_t>(kept));
        AlgorithmData data = modelData(3);
        EXPECT_EQ(readAlgorithmText(withLineEnds(lines), data).problem, AlgorithmFileProblem::TooFewLines)
            << kept << " lines";
    }
}

TEST(ReadAlgorithmFile, AFieldThatIsNoNumberIsBadlyFormatted)
{
    struct Case {
        std::size_t line; // 0-based
        std::string text;
        const char* why;
    };
    const Case cases[] = {
        {0, optionLine("three", "Number of parameters"), "count"},
        {0, optionLine("40000", "Number of parameters"), "count beyond 16 bits"},
        {1, parameterLine("abc", "5.0000000E-01", "A"), "value"},
        {1, parameterLine("", "5.0000000E-01", "A"), "blank value"},
        {2, parameterLine("-2.0000000E+00", "x", "A"), "step"},
        {2, parameterLine("-2.0000000E+00", "", "A"), "blank step"},
        {3, rightAligned("3.0000000E-01", 14) + rightAligned("1.0E-02", 16), "no code columns"},
        {3, "", "empty parameter line"},
        {4, optionLine("1E999", "Simplex limit"), "tolerance beyond double"},
        {5, optionLine("many", "Maximum # of function calls"), "maxCalls"},
        {5, optionLine("3000000000", "Maximum # of function calls"), "maxCalls beyond 32 bits"},
        {6, optionLine("40000", "Terminal output frequency"), "terminal frequency beyond 16 bits"},
        {7, optionLine("", "File output frequency"), "blank file frequency"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> lines = threeParameterLines();
        lines[c.line] = c.text;
        AlgorithmData data = modelData(3);
        EXPECT_EQ(readAlgorithmText(withLineEnds(lines), data).problem, AlgorithmFileProblem::BadlyFormatted)
            << c.why;
    }
}

TEST(ReadAlgorithmFile, AnErrorOnTheLastLineOfTheFileCountsAsTooFewLines)
{
    // The message depends on whether the file is at its end when the error happens.
    std::vector<std::string> lines = threeParameterLines();
    lines.back() = optionLine("tenth", "Step size reduction fraction");
    AlgorithmData atEnd = modelData(3);
    EXPECT_EQ(readAlgorithmText(withLineEnds(lines), atEnd).problem, AlgorithmFileProblem::TooFewLines);
    AlgorithmData blankLineAfter = modelData(3);
    EXPECT_EQ(readAlgorithmText(withLineEnds(lines) + "\r\n", blankLineAfter).problem,
              AlgorithmFileProblem::BadlyFormatted);
}

TEST(ReadAlgorithmFile, IntegersRoundHalvesToEven)
{
    struct Case {
        std::size_t line; // 0-based: 5 maxCalls, 6 terminal frequency
        std::string text;
        std::int32_t read;
    };
    const Case cases[] = {
        {5, "2.5", 2},      {5, "3.5", 4}, {5, "70000.5", 70000}, {5, "2147483647", 2147483647},
        {5, "-0.5", 0},     {6, "2.5", 2}, {6, "3.5", 4},         {6, "32767", 32767},
        {6, "1,234", 1234},
    };
    for (const Case& c : cases) {
        std::vector<std::string> lines = threeParameterLines();
        lines[c.line] = optionLine(c.text, "an integer option");
        AlgorithmData data = modelData(3);
        ASSERT_FALSE(readAlgorithmText(withLineEnds(lines), data).failed()) << c.text;
        const std::int32_t read = c.line == 5 ? data.options.maxCalls : data.options.terminalFrequency;
        EXPECT_EQ(read, c.read) << "line " << c.line + 1 << ": " << c.text;
    }
}

TEST(ReadAlgorithmFile, SmallTolerancesAreRaisedToTheFloorKeepingTheirSign)
{
    struct Case {
        std::string text;
        double stored;
    };
    const Case cases[] = {
        {"5.0000000E-07", 1E-06}, {"-5.0000000E-07", -1E-06}, {"0.0000000E+00", 0.0},
        {"1.0000000E-06", 1E-06}, {"-2.0000000E-05", -2E-05},
    };
    for (const Case& c : cases) {
        std::vector<std::string> lines = threeParameterLines();
        lines[4] = optionLine(c.text, "Simplex limit (+ for ABS, - for REL)");
        AlgorithmData data = modelData(3);
        ASSERT_FALSE(readAlgorithmText(withLineEnds(lines), data).failed()) << c.text;
        EXPECT_EQ(data.options.convergenceTolerance, c.stored) << c.text;
    }
}

TEST(ReadAlgorithmFile, FileFrequencyIsZeroAfterASuccessfulRead)
{
    AlgorithmData data = modelData(3);
    data.options.fileFrequency = 3;
    const std::string text = withLineEnds(threeParameterLines());
    ASSERT_NE(text.find(optionLine("4", "File output frequency")), std::string::npos);
    ASSERT_FALSE(readAlgorithmText(text, data).failed());
    EXPECT_EQ(data.options.fileFrequency, 0);
}

TEST(ReadAlgorithmFile, ACountMismatchChangesNothing)
{
    AlgorithmData data = modelData(20);
    const AlgorithmData before = data;
    const AlgorithmFileReading reading = readAlgorithmText(withLineEnds(threeParameterLines()), data);
    EXPECT_EQ(reading.problem, AlgorithmFileProblem::CountMismatch);
    EXPECT_EQ(reading.fileParamCount, 3);
    EXPECT_FALSE(reading.dataChanged);
    EXPECT_EQ(data.paramValues, before.paramValues);
    EXPECT_EQ(data.paramSteps, before.paramSteps);
    EXPECT_EQ(data.fuseCodes, before.fuseCodes);
    EXPECT_EQ(data.options.convergenceTolerance, before.options.convergenceTolerance);
    EXPECT_EQ(data.options.maxCalls, before.options.maxCalls);
}

TEST(ReadAlgorithmFile, AnErrorKeepsTheValuesStoredBeforeIt)
{
    std::vector<std::string> lines = threeParameterLines();
    lines[2] = parameterLine("-2.0000000E+00", "step", "A");
    AlgorithmData data = modelData(3);
    const AlgorithmFileReading reading = readAlgorithmText(withLineEnds(lines), data);

    EXPECT_EQ(reading.problem, AlgorithmFileProblem::BadlyFormatted);
    EXPECT_TRUE(reading.dataChanged);
    EXPECT_EQ(data.paramValues, (std::vector<double>{9.0, 15.0, -2.0, 9.0}));
    EXPECT_EQ(data.paramSteps, (std::vector<double>{1.0, 0.5, 1.0, 1.0}));
    EXPECT_EQ(data.fuseCodes, (std::vector<std::string>{"Z", "A", "Z", "Z"}));
    EXPECT_EQ(data.options.convergenceTolerance, 0.5);
}

TEST(ReadAlgorithmFile, SizesShortParameterArrays)
{
    AlgorithmData data;
    data.paramCount = 3;
    ASSERT_FALSE(readAlgorithmText(withLineEnds(threeParameterLines()), data).failed());
    EXPECT_EQ(data.paramValues, (std::vector<double>{0.0, 15.0, -2.0, 0.3}));
    EXPECT_EQ(data.fuseCodes.size(), 4u);
}

TEST(AlgorithmFileProblemText, NamesEachProblem)
{
    struct Case {
        AlgorithmFileProblem problem;
        std::string text;
    };
    const Case cases[] = {
        {AlgorithmFileProblem::CountMismatch,
         "Algorithm file  C:\\fits\\old.alg  has 3 parameters, but your model specifies 20"},
        {AlgorithmFileProblem::TooManyLines,
         "Algorithm file seems to have too many lines of information - better check it!"},
        {AlgorithmFileProblem::BadlyFormatted, "Algorithm file seems to have inappropriate, badly formatted, "
                                               "or missing, information - better check it!"},
        {AlgorithmFileProblem::TooFewLines,
         "Algorithm file seems to have too few lines of information - better check it!"},
    };
    for (const Case& c : cases) {
        AlgorithmFileReading reading;
        reading.problem = c.problem;
        reading.fileParamCount = 3;
        EXPECT_EQ(algorithmFileProblemText(reading, "C:\\fits\\old.alg", 20), c.text);
    }
    AlgorithmFileReading unreadable;
    unreadable.problem = AlgorithmFileProblem::Unreadable;
    unreadable.readProblem = "it is a folder";
    EXPECT_EQ(algorithmFileProblemText(unreadable, "/fits", 20),
              "Algorithm file  /fits  could not be read: it is a folder");
    EXPECT_STREQ(algorithmFileProblemTitle, "Algorithm file - information input failed");
}

} // namespace
} // namespace orvanta
