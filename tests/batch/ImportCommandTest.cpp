// orvanta-batch import: CSV tables of a tagging study and of a length-frequency sample become
// data files that the initialization reads as they were meant; a table that would not survive
// the fixed columns is refused with its line named, and nothing is written.

#include "BatchRun.h"
#include "BundledExampleFiles.h"

#include "support/TempDir.h"
#include "text/TextFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace orvanta {
namespace {

using testing::BatchRun;
using testing::printedValues;
using testing::readFileBytes;
using testing::runBatchWith;
using testing::TempDir;

// A tagging study as published: sizes in cm, dates of release and recapture, a record at
// liberty for 0 days, negative increments (measurement error), a quoted field and CR LF ends.
const char* const taggingCsv = "tag,\"length, cm\",growth_cm,released,recaptured\r\n"
                               "A1,45.2,3.1,2019-03-02,2019-09-30\r\n"
                               "A2,\"51.0\",-0.4,2019-12-31,2020-02-10\r\n"
                               "A3,60.25,0,2020-01-15,2020-01-15\r\n"
                               "A4,38.0,12.77,2019-01-01,2021-01-01\r\n";

// A length-frequency sample in cm classes of 0.5 cm from 10.25 cm up, with an empty class.
const char* const lengthCsv = "class_mid_cm;ignored,count\n"
                              "10.25,2\n"
                              "10.75,7\n"
                              "11.25,0\n"
                              "11.75,\"3\"\n";

class ImportCommand : public ::testing::Test {
protected:
    std::string csv(const std::string& name, const std::string& text)
    {
        const std::string path = dir.file(name);
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    // orvanta-batch evaluate of the data file at the bundled example's values.
    BatchRun evaluate(const std::string& option, const std::string& file)
    {
        const std::string alg = dir.file("example.alg");
        testing::writeExampleAlgorithm(alg, {});
        return runBatchWith({"evaluate", option, file, "--alg", alg});
    }

    TempDir dir;
    std::string out = dir.file("imported.dat");
};

TEST_F(ImportCommand, ATaggingStudyInCentimetresWithDatesBecomesAnIncrementFile)
{
    const BatchRun run =
        runBatchWith({"import", "increments", "--csv", csv("tags.csv", taggingCsv), "--initial-size",
                      "length, cm", "--increment", "3", "--start-day", "released", "--end-day", "recaptured",
                      "--scale", "10", "--from-dates", "--out", out});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(printedValues(run.out).at("increment_records"), "4");
    // Days from 31 December 2018 (the first release is in 2019); sets count the release years.
    EXPECT_EQ(readFileBytes(out), "     1    452     31     61    273\r\n"
                                  "     1    510     -4    365    406\r\n"
                                  "     2  602.5      0    380    380\r\n"
                                  "     1    380  127.7      1    732\r\n");
    const BatchRun evaluated = evaluate("--inc", out);
    EXPECT_EQ(evaluated.status, 0) << evaluated.err;
    EXPECT_TRUE(std::isfinite(std::stod(printedValues(evaluated.out).at("objective"))));
}

TEST_F(ImportCommand, DayNumbersAndSetColumnsAreTakenAsTheyAre)
{
    const std::string table = "set,L,dL,t1,t2\n3,45.123456,1.5,10,400.5\n0,1234.5,-2,0,0\n";
    const BatchRun run = runBatchWith({"import", "increments", "--csv", csv("days.csv", table), "--set",
                                       "set", "--initial-size", "L", "--increment", "dL", "--start-day", "4",
                                       "--end-day", "5", "--out", out});
    ASSERT_EQ(run.status, 0) << run.err;
    // As many decimals as six columns hold.
    EXPECT_EQ(readFileBytes(out), "     3 45.123    1.5     10  400.5\r\n"
                                  "     0 1234.5     -2      0      0\r\n");
    EXPECT_EQ(evaluate("--inc", out).status, 0);
}

TEST_F(ImportCommand, ALengthFrequencySampleStartsItsCellsAtSizeZero)
{
    const BatchRun run =
        runBatchWith({"import", "frequencies", "--csv", csv("lengths.csv", lengthCsv), "--midpoint", "1",
                      "--frequency", "count", "--scale", "10", "--out", out});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto printed = printedValues(run.out);
    EXPECT_EQ(printed.at("frequency_cells"), "24");
    EXPECT_EQ(printed.at("empty_cells_added"), "20");
    const std::string file = readFileBytes(out);
    EXPECT_EQ(file.rfind("    2.5    0\r\n    7.5    0\r\n", 0), 0u) << file;
    EXPECT_NE(file.find("   97.5    0\r\n  102.5    2\r\n  107.5    7\r\n  112.5    0\r\n  117.5    3\r\n"),
              std::string::npos)
        << file;
    const BatchRun evaluated = evaluate("--freq", out);
    EXPECT_EQ(evaluated.status, 0) << evaluated.err;
}

TEST_F(ImportCommand, RefusesWhatTheColumnsCannotHoldNamingTheLine)
{
    std::string manyCells = "m,f\n";
    for (int c = 0; c < 251; ++c)
        manyCells += std::to_string(2 * c + 1) + ",1\n";
    std::string manyRecords = "s,L,d,t1,t2\n";
    for (int r = 0; r < 2001; ++r)
        manyRecords += "1,50,2,1,100\n";
    const std::vector<std::string> frequencies{"frequencies", "--midpoint", "1", "--frequency", "2"};
    const std::vector<std::string> increments{"increments", "--set",       "1", "--initial-size",
                                              "2",          "--increment", "3", "--start-day",
                                              "4",          "--end-day",   "5"};
    const struct {
        const char* what;
        std::vector<std::string> kind;
        std::string table;
        std::string message;
    } cases[] = {
        {"frequency above 9999", frequencies, "m,f\n1,5\n3,10000\n", "line 3: frequency 10000 is above 9999"},
        {"negative frequency", frequencies, "m,f\n1,5\n3,-2\n", "line 3: negative frequency -2"},
        {"midpoint too wide", frequencies, "m,f\n5000000,1\n15000000,1\n",
         "line 3: the midpoint 15000000 does not fit the 7 columns"},
        {"more than 250 cells", frequencies, manyCells, "line 252: more than 250 cells"},
        {"midpoints not of one width", frequencies, "m,f\n1,1\n3,1\n7,1\n",
         "line 4: midpoint 7 is not one cell width (2) above the one before it"},
        {"cells not from size 0", frequencies, "m,f\n2,1\n4,1\n",
         "line 2: the first midpoint 2 is not in the middle"},
        {"not a number", frequencies, "m,f\n1,five\n", "line 2: the frequency 'five' is not a number"},
        {"no such column",
         {"frequencies", "--midpoint", "mid", "--frequency", "2"},
         "m,f\n1,1\n",
         "no column 'mid'"},
        {"size too wide", increments, "s,L,d,t1,t2\n1,1234567,2,1,100\n",
         "line 2: the size at release 1234567 does not fit the 6 columns"},
        {"set beyond 2000", increments, "s,L,d,t1,t2\n1,50,2,1,100\n2001,50,2,1,100\n",
         "line 3: set number 2001 is not within 0..2000"},
        {"more than 2000 records", increments, manyRecords, "line 2002: more than 2000 records"},
        {"missing value", increments, "s,L,d,t1,t2\n1,50,,1,100\n", "line 2: the increment is missing"},
        {"quote not closed", increments, "s,L,d,t1,t2\n1,\"50,2,1,100\n", "not valid CSV"},
        {"not a date",
         {"increments", "--initial-size", "2", "--increment", "3", "--start-day", "4", "--end-day", "5",
          "--from-dates"},
         "s,L,d,t1,t2\n1,50,2,2019-02-30,2019-05-01\n",
         "line 2: the release date '2019-02-30' is not a date written YYYY-MM-DD"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args{"import"};
        args.insert(args.end(), c.kind.begin(), c.kind.end());
        args.insert(args.end(), {"--csv", csv("table.csv", c.table), "--out", out});
        const BatchRun run = runBatchWith(args);
        EXPECT_EQ(run.status, 2) << c.what;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.what << ": " << run.err;
        EXPECT_FALSE(std::filesystem::exists(out)) << c.what;
        EXPECT_TRUE(run.out.empty()) << c.what;
    }
}

TEST_F(ImportCommand, BadOptionsExitWithTwo)
{
    const std::string table = csv("t.csv", "m,f\n1,1\n");
    const struct {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {{"import"}, "say what to import"},
        {{"import", "lengths", "--csv", table}, "say what to import"},
        {{"import", "frequencies", "--csv", table, "--frequency", "2", "--out", out}, "give --midpoint"},
        {{"import", "frequencies", "--csv", table, "--midpoint", "1", "--frequency", "2", "--out", out,
          "--scale", "0"},
         "--scale"},
        {{"import", "frequencies", "--csv", table, "--midpoint", "1", "--frequency", "2", "--out", table},
         "input file"},
        {{"import", "increments", "--csv", table, "--initial-size", "1", "--increment", "1", "--start-day",
          "1", "--end-day", "1", "--out", out},
         "--set"},
        {{"import", "frequencies", "--csv", table, "--midpoint", "1", "--frequency", "2", "--out", out,
          "--from-dates"},
         "unknown option '--from-dates'"},
    };
    for (const auto& c : cases) {
        const BatchRun run = runBatchWith(c.args);
        EXPECT_EQ(run.status, 2) << c.message;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(out));
    }
}

TEST_F(ImportCommand, TheBundledExamplesTablesBecomeItsDataFiles)
{
    // examples/*.csv hold the bundled data in cm, with release and recapture dates.
    const BatchRun lengths =
        runBatchWith({"import", "frequencies", "--csv", testing::examples + "/tarnfield-lengths.csv",
                      "--midpoint", "length_cm", "--frequency", "count", "--scale", "10", "--out", out});
    ASSERT_EQ(lengths.status, 0) << lengths.err;
    EXPECT_EQ(readFileBytes(out), readFileBytes(testing::lengths));

    const std::string tags = dir.file("tags.dat");
    const BatchRun increments = runBatchWith(
        {"import", "increments", "--csv", testing::examples + "/tarnfield-tags.csv", "--initial-size",
         "release_length_cm", "--increment", "growth_cm", "--start-day", "release_date", "--end-day",
         "recapture_date", "--from-dates", "--scale", "10", "--out", tags});
    ASSERT_EQ(increments.status, 0) << increments.err;
    // The same numbers; the bundled file writes two decimals where the import needs fewer.
    std::istringstream imported(readFileBytes(tags)), bundled(readFileBytes(testing::tags));
    int records = 0;
    for (std::string a, b; std::getline(imported, a) && std::getline(bundled, b); ++records) {
        std::istringstream fieldsA(a), fieldsB(b);
        for (double x = 0, y = 0; fieldsA >> x && fieldsB >> y;)
            EXPECT_EQ(x, y) << a << " | " << b;
    }
    EXPECT_EQ(records, 150);
}

} // namespace
} // namespace orvanta
