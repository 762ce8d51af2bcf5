// Reading a saved covariance report back by line and column, and the refusals that keep a
// shifted or incomplete file from giving wrong standard errors.

#include "uncertainty/CovarianceFile.h"

#include "CovarianceReportFixture.h"
#include "support/TempDir.h"
#include "text/TextFile.h"
#include "ui/ReportWindow.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orvanta {
namespace {

using testing::linesOf;
using testing::SmallRun;

const std::string path = "/data/fit.cov";

// The report as a save writes it: the saved-name line, an empty line, then the report.
std::string savedOnce(const std::string& report)
{
    return std::string(savedNameLine) + path + "\n\n" + report;
}

std::string joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

CovarianceFileReading parse(const std::string& text, int paramCount = 3)
{
    return parseCovarianceFile(text, path, paramCount);
}

// The reading is refused with a message naming the file and containing reason.
void expectRefused(const CovarianceFileReading& reading, const std::string& reason)
{
    ASSERT_FALSE(reading.ok());
    EXPECT_TRUE(reading.error.starts_with("The covariance file '" + path + "' cannot be used: "))
        << reading.error;
    EXPECT_NE(reading.error.find(reason), std::string::npos) << reading.error;
}

TEST(CovarianceFile, ReadsBackTheValuesAndStandardErrorsThatWereSaved)
{
    const SmallRun small;
    // The file as the display window writes it, with CR LF line ends.
    const CovarianceFileReading reading = parse(withCrLf(savedOnce(small.text())));
    ASSERT_TRUE(reading.ok()) << reading.error;
    const CovarianceFile& file = *reading.file;
    EXPECT_EQ(file.path, path);
    EXPECT_EQ(file.estimates, (std::vector<double>{0, 3.0, 8.0, 1.0}));
    EXPECT_EQ(file.steps, (std::vector<double>{0, 0.1, 0.0, 0.05}));
    EXPECT_EQ(file.table.freeParams, (std::vector<int>{0, 1, 3}));
    EXPECT_EQ(file.table.standardError(1, 1), 1.0);
    EXPECT_EQ(file.table.standardError(1, 3), 0.25);
    EXPECT_EQ(file.table.standardError(2, 1), 2.0);
    EXPECT_EQ(file.table.standardError(2, 3), 0.4);
    EXPECT_EQ(file.table.standardError(3, 3), -1.0);
    EXPECT_FALSE(file.table.standardError(1, 2).has_value()) << "parameter 2 is fixed";

    // LF and CR line ends read the same.
    const std::string lf = savedOnce(small.text());
    std::string cr = lf;
    for (char& c : cr)
        if (c == '\n')
            c = '\r';
    for (const std::string& text : {lf, cr}) {
        const CovarianceFileReading other = parse(text);
        ASSERT_TRUE(other.ok()) << other.error;
        EXPECT_EQ(other.file->table.standardErrors, file.table.standardErrors);
    }
}

TEST(CovarianceFile, GivesTheStandardErrorsOfACalculatedGridByParameter)
{
    const CovarianceFileReading reading = parse(savedOnce(SmallRun().text()));
    ASSERT_TRUE(reading.ok());
    std::string error;
    const auto errors = gridStandardErrors(*reading.file, 2, {1, 3}, error);
    ASSERT_TRUE(errors.has_value()) << error;
    EXPECT_EQ(*errors, (std::vector<double>{0, 2.0, 0, 0.4}));
    EXPECT_TRUE(error.empty());
}

TEST(CovarianceFile, RefusesAGridThatWasNotCalculatedAndAParameterWithoutStandardError)
{
    const CovarianceFileReading reading = parse(savedOnce(SmallRun().text()));
    ASSERT_TRUE(reading.ok());
    std::string error;
    EXPECT_FALSE(gridStandardErrors(*reading.file, 3, {1, 3}, error).has_value());
    EXPECT_EQ(error, "The covariance file '" + path +
                         "' cannot be used: grid 3 was not calculated (its standard errors are -1).");
    EXPECT_FALSE(gridStandardErrors(*reading.file, 1, {1, 2, 3}, error).has_value());
    EXPECT_EQ(error, "The covariance file '" + path + "' cannot be used: parameter 2 has no standard error.");
}

TEST(CovarianceFile, RefusesAFileSavedMoreThanOnce)
{
    // A second save stacks another saved-name line and empty line above the first.
    const std::string twice =
        std::string(savedNameLine) + "/data/again.cov\n\n" + savedOnce(SmallRun().text());
    expectRefused(parse(twice), "it was saved more than once");
}

TEST(CovarianceFile, RefusesAFileCutShortAnywhere)
{
    const std::vector<std::string> lines = linesOf(savedOnce(SmallRun().text()));
    // Cut after the saved-name line, in the parameter lines, before and in the standard errors.
    for (const std::size_t kept : {1u, 5u, 8u, 21u, 22u, 23u, 24u}) {
        SCOPED_TRACE(kept);
        const std::vector<std::string> cut(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(kept));
        expectRefused(parse(joined(cut)), "it is cut short: it ends at line " + std::to_string(kept));
    }
    expectRefused(parse(""), "it is cut short: it ends at line 0");
}

TEST(CovarianceFile, RefusesAFreeParameterWithoutItsStandardErrorLine)
{
    std::vector<std::string> lines = linesOf(savedOnce(SmallRun().text()));
    ASSERT_EQ(lines[23].substr(0, 3), "  3");
    lines.erase(lines.begin() + 23); // the standard errors of parameter 3
    expectRefused(parse(joined(lines)), "free parameter 3 (its step is not 0) has no standard-error line");
}

TEST(CovarianceFile, RefusesAnotherParameterCountOrAMisplacedLine)
{
    const std::string text = savedOnce(SmallRun().text());
    expectRefused(parse(text, 2), "line 7 is not empty: the file holds more parameters than the model's 2");
    expectRefused(parse(text, 4), "line 8 is not the line of parameter 4");

    std::vector<std::string> lines = linesOf(text);
    lines[2] = "Covariance report";
    expectRefused(parse(joined(lines)), "line 3 is not the heading of a covariance report");
    expectRefused(parse(text.substr(2)), "it does not begin with the line");
}

TEST(CovarianceFile, RefusesFieldsThatAreNotNumbers)
{
    std::vector<std::string> lines = linesOf(savedOnce(SmallRun().text()));
    std::string& standardErrors = lines[22]; // line 23: parameter 1
    standardErrors.replace(42, 14, "          junk");
    expectRefused(parse(joined(lines)),
                  "line 23: the standard error of parameter 1 on grid 2 is not a number");

    lines = linesOf(savedOnce(SmallRun().text()));
    lines[4].replace(6, 14, "      NaN     ");
    expectRefused(parse(joined(lines)), "line 5: the value or step of parameter 1 is not a number");
}

TEST(CovarianceFile, ReadsFromDiskAndRefusesWhatCannotBeRead)
{
    testing::TempDir dir;
    const std::string saved = dir.file("fit.cov");
    ASSERT_TRUE(saveTextFile(saved, std::string(savedNameLine) + saved + "\n\n" + SmallRun().text()));
    const CovarianceFileReading reading = readCovarianceFile(saved, 3);
    ASSERT_TRUE(reading.ok()) << reading.error;
    EXPECT_EQ(reading.file->table.standardError(2, 3), 0.4);

    const CovarianceFileReading missing = readCovarianceFile(dir.file("none.cov"), 3);
    EXPECT_EQ(missing.error,
              "The covariance file '" + dir.file("none.cov") + "' cannot be used: it cannot be opened.");
    EXPECT_NE(readCovarianceFile(dir.path().string(), 3).error.find("it is a folder"), std::string::npos);
}

TEST(StandardErrorTable, OfACovarianceRunAnswersAsTheFileDoes)
{
    const SmallRun small;
    const StandardErrorTable table = standardErrorTable(small.run);
    EXPECT_EQ(table.standardError(2, 3), 0.4);
    EXPECT_EQ(standardErrorsByParameter(table, 1, 3), (std::vector<double>{0, 1.0, 0, 0.25}));
    EXPECT_FALSE(standardErrorProblem(table, 1, {1, 3}).has_value());
    EXPECT_EQ(standardErrorProblem(table, 3, {3}), "grid 3 was not calculated (its standard errors are -1)");

    // A negative standard error (a negative variance carries its sign) gives no step either.
    SmallRun negative;
    negative.run.grids[1].standardError[2] = -0.3;
    EXPECT_EQ(standardErrorProblem(standardErrorTable(negative.run), 1, {1, 3}),
              "the standard error of parameter 3 on grid 1 is not a positive number");
}

} // namespace
} // namespace orvanta
