// The command line every batch command reads, and the usage each command shows on --help.

#include "batch/CommandLine.h"
#include "BatchRun.h"

#include <gtest/gtest.h>

namespace orvanta {
namespace {

using testing::runBatchWith;

const std::set<std::string> valueOptions{"--alg", "--out", "--params"};
const std::set<std::string> flags{"--verbose"};

TEST(CommandLineTest, ReadsValuesAndFlags)
{
    CommandLine line;
    ASSERT_TRUE(
        line.parse({"--alg", "a.alg", "--verbose", "--params", "-1,2.5", "--out=b.alg"}, valueOptions, flags))
        << line.error();
    EXPECT_EQ(line.value("--alg"), "a.alg");
    EXPECT_EQ(line.value("--params"), "-1,2.5"); // a negative number is a value, not an option
    EXPECT_EQ(line.value("--out"), "b.alg");
    EXPECT_TRUE(line.flag("--verbose"));
    EXPECT_FALSE(line.value("--missing").has_value());
}

TEST(CommandLineTest, RefusesWhatItCannotRead)
{
    const struct {
        std::vector<std::string> args;
        std::string error;
    } cases[] = {
        {{"--alg", "a", "--bogus", "1"}, "unknown option '--bogus'"},
        {{"stray"}, "unknown option 'stray'"},
        {{"--out", "x", "--alg"}, "option --alg needs a value"},
        {{"--alg", "a", "--alg", "b"}, "option --alg is given twice"},
        {{"--help"}, "unknown option '--help'"}, // answered by the program before the command reads
    };
    for (const auto& c : cases) {
        CommandLine line;
        EXPECT_FALSE(line.parse(c.args, valueOptions, flags)) << c.error;
        EXPECT_EQ(line.error(), c.error);
    }
}

TEST(CommandLineTest, EveryCommandShowsItsOwnUsage)
{
    for (const std::string command :
         {"evaluate", "fit", "covariance", "summary", "profile", "rank", "simulate", "import"}) {
        for (const std::vector<std::string>& args : {std::vector<std::string>{command, "--help"},
                                                     {command, "--alg", "x.alg", "-h"},
                                                     {"help", command}}) {
            const testing::BatchRun run = runBatchWith(args);
            EXPECT_EQ(run.status, 0) << command;
            EXPECT_EQ(run.out.rfind("Usage: orvanta-batch " + command + " ", 0), 0u) << run.out;
            EXPECT_NE(run.out.find("Exit status:"), std::string::npos) << command;
            EXPECT_EQ(run.out.find("\nCommands:"), std::string::npos) << command; // not the whole text
            EXPECT_EQ(run.err, "");
        }
    }
}

TEST(CommandLineTest, TheUsageOfOneCommandEndsBeforeTheNext)
{
    const testing::BatchRun profile = runBatchWith({"profile", "--help"});
    EXPECT_NE(profile.out.find("--steps-from FILE.cov"), std::string::npos);
    EXPECT_EQ(profile.out.find("rank ["), std::string::npos);
    EXPECT_EQ(profile.out.find("\n\n\n"), std::string::npos);
}

TEST(CommandLineTest, HelpForAnUnknownCommandIsTheWholeText)
{
    const testing::BatchRun help = runBatchWith({"help", "nothing"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("\nCommands:"), std::string::npos);
    const testing::BatchRun unknown = runBatchWith({"nothing", "--help"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.err.find("unknown command 'nothing'"), std::string::npos);
}

} // namespace
} // namespace orvanta
