#include "priors/PriorsFile.h"

#include "PriorTestSupport.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <limits>
#include <string>
#include <vector>

namespace orvanta {
namespace {

using testing::prior;

std::vector<PriorSpec> defaultPriors(int paramCount)
{
    return std::vector<PriorSpec>(static_cast<std::size_t>(paramCount) + 1, PriorSpec{});
}

// The lines of a text without their "\n" ends.
std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

TEST(PriorsFile, DefaultPriorsReadBackExactly)
{
    const std::vector<PriorSpec> priors = defaultPriors(12);
    const PriorsFileReading reading = readPriorsText(priorsFileText(priors, 12), 12);
    ASSERT_FALSE(reading.failed());
    EXPECT_EQ(reading.priors, priors);
    EXPECT_EQ(reading.priors[3].firstTermMean, 1e-100);
    EXPECT_EQ(reading.priors[3].secondTermMean.text(), "Unused");
}

TEST(PriorsFile, DefaultLineHasItsFixedColumns)
{
    const std::vector<std::string> lines = linesOf(priorsFileText(defaultPriors(12), 12));
    ASSERT_EQ(lines.size(), 13u);
    EXPECT_EQ(lines[0], "12");
    EXPECT_EQ(lines[3], "  3   U 1.000E-100 1.000E-100     Unused     Unused   Uniform - unbounded");
}

TEST(PriorsFile, NegativeTermsKeepTheirElevenColumns)
{
    std::vector<PriorSpec> priors = defaultPriors(1);
    priors[1] = prior("N", -12.34, 0.5678);
    const std::string line = linesOf(priorsFileText(priors, 1))[1];
    EXPECT_EQ(line, "  1   N-1.234E+001 5.678E-001     Unused     Unused   Gaussian or Normal");
    EXPECT_EQ(line.substr(7, 11), "-1.234E+001");
    EXPECT_EQ(line.substr(18, 11), " 5.678E-001");
}

TEST(PriorsFile, EveryTypeWithNegativeAndPositiveTermsRoundTrips)
{
    const std::vector<PriorSpec> table = {
        PriorSpec{},
        prior("N", -12.34, 0.5678),
        prior("N", 88.2, 3),
        prior("E", 3, 3),
        prior("G", 4, 2),
        prior("B", 0.5, 0.1),
        prior("L", 2.5, 0.25),
        prior("S", -3, 0),
        prior("S", 0.001234, 1e-5),
        prior("D", -1234, 20),
        prior("D", 5e+120, 1e-300),
        prior("T", -5, 0, PriorTerm(10.25), PriorTerm(1.5)),
        prior("T", -20, 0.5, PriorTerm(-7.125), PriorTerm(0.0)),
    };
    const int paramCount = static_cast<int>(table.size());
    std::vector<PriorSpec> priors = {PriorSpec{}};
    priors.insert(priors.end(), table.begin(), table.end());

    const std::string text = priorsFileText(priors, paramCount);
    for (const std::string& line : linesOf(text))
        if (line.size() > 2) // every parameter line: the display name starts in column 55
            EXPECT_EQ(line.find_first_not_of(' ', 51), 54u) << line;
    const PriorsFileReading reading = readPriorsText(text, paramCount);
    ASSERT_FALSE(reading.failed());
    EXPECT_EQ(reading.priors, priors);
}

TEST(PriorsFile, TermsAtTheEdgesOfTheRangeOfDoubleReadBackAsWritten)
{
    const double infinity = std::numeric_limits<double>::infinity();
    EXPECT_EQ(priorTermField(infinity), " 1.000E+999");
    EXPECT_EQ(priorTermField(-infinity), "-1.000E+999");
    EXPECT_EQ(priorTermField(1.7976e308), " 1.797E+308") << "not rounded up beyond the range";
    EXPECT_EQ(priorTermField(-1.7976e308), "-1.797E+308");

    // A hand-edited file whose terms lie beyond the range: written back, it reads the same.
    const std::string edited = "1\n  1   N 1.800E+308-5.000E+400\n";
    const PriorsFileReading first = readPriorsText(edited, 1);
    ASSERT_FALSE(first.failed());
    EXPECT_EQ(first.priors[1].firstTermMean, infinity);
    const std::string written = priorsFileText(first.priors, 1);
    EXPECT_EQ(priorsFileText(readPriorsText(written, 1).priors, 1), written);
}

TEST(PriorsFile, TypeLettersAreReadAsUpperCase)
{
    const std::string text = "2\r\n  1   n 1.000E+001 2.000E+000     Unused     Unused   x\r\n"
                             "  2   t-1.000E+000 0.000E+000 5.000E+000 1.000E+000   y\r\n";
    const PriorsFileReading reading = readPriorsText(text, 2);
    ASSERT_FALSE(reading.failed());
    EXPECT_EQ(reading.priors[1], prior("N", 10, 2));
    EXPECT_EQ(reading.priors[2], prior("T", -1, 0, PriorTerm(5.0), PriorTerm(1.0)));
}

TEST(PriorsFile, ReadsLineFeedCarriageReturnAndBothAlike)
{
    const std::string lines[] = {"2", "  1   N 1.000E+001 2.000E+000     Unused     Unused",
                                 "  2   E 3.000E+000 3.000E+000     Unused     Unused"};
    for (const std::string end : {"\n", "\r", "\r\n"}) {
        const PriorsFileReading reading = readPriorsText(lines[0] + end + lines[1] + end + lines[2], 2);
        ASSERT_FALSE(reading.failed()) << "line end " << end.size();
        EXPECT_EQ(reading.priors[1], prior("N", 10, 2));
        EXPECT_EQ(reading.priors[2], prior("E", 3, 3));
    }
}

TEST(PriorsFile, CountOtherThanTheModelsIsTold)
{
    const PriorsFileReading reading = readPriorsText(priorsFileText(defaultPriors(11), 11), 12);
    EXPECT_EQ(reading.problem, PriorsFileProblem::CountMismatch);
    EXPECT_EQ(reading.fileCount, 11.0);
    EXPECT_TRUE(reading.priors.empty());

    EXPECT_EQ(readPriorsText("", 2).problem, PriorsFileProblem::CountMismatch);
    EXPECT_EQ(readPriorsText("\x7f"
                             "ELF\x02\x01",
                             2)
                  .fileCount,
              0.0);
    EXPECT_EQ(readPriorsText("1e999\n", 2).problem, PriorsFileProblem::CountMismatch);
}

TEST(PriorsFile, FileThatEndsBeforeItsLastParameterIsNotRead)
{
    const std::string text = "3\n  1   N 1.000E+001 2.000E+000     Unused     Unused\n"
                             "  2   N 1.000E+001 2.000E+000     Unused     Unused\n";
    const PriorsFileReading reading = readPriorsText(text, 3);
    EXPECT_EQ(reading.problem, PriorsFileProblem::TooFewLines);
    EXPECT_EQ(reading.missingLine, 4);
    EXPECT_TRUE(reading.priors.empty()) << "nothing half read";
    EXPECT_EQ(tooFewLinesText(reading),
              "ends before line 4, but its first line announces 3 parameters, one line each");
}

TEST(PriorsFile, ShortLinesGiveEmptyTermsAndBlankLinesCount)
{
    const PriorsFileReading reading = readPriorsText("3\n  1   N 5\n\n  3   S-2.000E+000\n", 3);
    ASSERT_FALSE(reading.failed());
    EXPECT_EQ(reading.priors[1].typeCode, "N");
    EXPECT_EQ(reading.priors[1].firstTermMean, 5.0);
    EXPECT_EQ(reading.priors[1].firstTermSD, 0.0);
    EXPECT_EQ(reading.priors[1].secondTermMean.text(), "");
    EXPECT_EQ(reading.priors[2].typeCode, "");
    EXPECT_EQ(reading.priors[3].firstTermMean, -2.0);
}

TEST(PriorsFile, AnEmptyTypeCodeIsWrittenAsABlankSoTheColumnsStay)
{
    std::vector<PriorSpec> priors = defaultPriors(1);
    priors[1] = prior("", 1, 2);
    const std::string line = linesOf(priorsFileText(priors, 1))[1];
    EXPECT_EQ(line.substr(0, 18), "  1     1.000E+000");
}

TEST(PriorsFile, ResetToUniformSizesThePriors)
{
    std::vector<PriorSpec> priors = {PriorSpec{}, prior("N", 1, 2)};
    resetPriorsToUniform(priors, 3);
    EXPECT_EQ(priors, defaultPriors(3));
}

TEST(PriorsFile, BaseNameDropsFolderAndExtension)
{
    EXPECT_EQ(baseNameOf("/data/fits/cod.pri", "old"), "cod");
    EXPECT_EQ(baseNameOf("C:\\fits\\haddock.pri", "old"), "haddock");
    EXPECT_EQ(baseNameOf("a/b\\c.pri", "old"), "c");
    EXPECT_EQ(baseNameOf("03051407.pri", "old"), "old") << "no folder keeps the previous name";
    EXPECT_EQ(baseNameOf("/x/.pri", "old"), "");
}

TEST(PriorsFile, BytesOfAFolderOrOfAnEndlessFileAreNotRead)
{
    testing::TempDir dir;
    EXPECT_FALSE(readPriorsFileBytes(dir.path().string()));
    EXPECT_FALSE(readPriorsFileBytes(dir.file("missing.pri")));
    testing::writeFileBytes(dir.file("huge.pri"), std::string((std::size_t{1} << 20) + 1, ' '));
    EXPECT_FALSE(readPriorsFileBytes(dir.file("huge.pri")));
    testing::writeFileBytes(dir.file("ok.pri"), "1\r\n");
    EXPECT_EQ(readPriorsFileBytes(dir.file("ok.pri")), "1\r\n");
}

} // namespace
} // namespace orvanta
