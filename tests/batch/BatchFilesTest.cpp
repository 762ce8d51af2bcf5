#include "batch/BatchFiles.h"
#include "BatchRun.h"

#include "algorithm/AlgorithmData.h"
#include "algorithm/AlgorithmFile.h"
#include "model/ModelState.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace orvanta {
namespace {

using testing::BatchRun;
using testing::printedValues;
using testing::readFileBytes;
using testing::runBatchWith;
using testing::TempDir;
using testing::writeFileBytes;

const std::string examples = ORVANTA_EXAMPLES_DIR;
const char* const frequencyLines = "    2.5    3\n    7.5   10\n   12.5   25\n   17.5   30\n   22.5   20\n";
const char* const typicalParams = "35,3,0.4,0.05,0,0,0,0,5,0.8,0,0,0,0,0,0,0,-999,-999,-999";

// Every file a run could touch, with its content before the run, to show that a refused run
// leaves them all as they were.
class BatchFileGuards : public ::testing::Test {
protected:
    BatchFileGuards()
    {
        writeFileBytes(frequencyFile, frequencyLines);
        AlgorithmData data;
        data.paramCount = modelParamCount;
        resetAlgorithmData(data);
        EXPECT_FALSE(readAlgorithmText(readFileBytes(examples + "/tarnfield.alg"), data).failed());
        EXPECT_TRUE(writeAlgorithmFile(algorithmFile, data));
        for (double& step : data.paramSteps)
            step = 0.0;
        EXPECT_TRUE(writeAlgorithmFile(frozenFile, data));
        for (const std::string& file : {frequencyFile, algorithmFile, frozenFile})
            before.push_back(readFileBytes(file));
    }

    void expectFilesUntouched() const
    {
        const std::string files[] = {frequencyFile, algorithmFile, frozenFile};
        for (std::size_t i = 0; i < before.size(); ++i)
            EXPECT_EQ(readFileBytes(files[i]), before[i]) << files[i];
    }

    TempDir dir;
    std::string frequencyFile = dir.file("lengths.dat");
    std::string algorithmFile = dir.file("start.alg");
    std::string frozenFile = dir.file("frozen.alg"); // every step 0: nothing to fit
    std::vector<std::string> before;
};

TEST_F(BatchFileGuards, AnOutputThatNamesAnInputIsRefusedBeforeAnythingIsWritten)
{
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const std::string out = dir.file("out.alg");
    const Case cases[] = {
        {{"fit", "--method", "simplex", "--freq", frequencyFile, "--alg", algorithmFile, "--out", out,
          "--log", algorithmFile},
         "--log names the input file '" + algorithmFile + "' (--alg)"},
        {{"fit", "--method", "marquardt", "--freq", frequencyFile, "--alg", algorithmFile, "--out", out,
          "--log", dir.file("./lengths.dat")},
         "--log names the input file '" + frequencyFile + "' (--freq)"},
        {{"fit", "--method", "simplex", "--freq", frequencyFile, "--alg", algorithmFile, "--out",
          frequencyFile},
         "--out names the input file '" + frequencyFile + "' (--freq)"},
        {{"fit", "--method", "simplex", "--freq", frequencyFile, "--alg", algorithmFile, "--out",
          algorithmFile},
         "--out names the input file '" + algorithmFile + "' (--alg); give --overwrite-input to replace it"},
        {{"fit", "--method", "simplex", "--freq", frequencyFile, "--alg", algorithmFile, "--out", out,
          "--log", out},
         "--out and --log name the same file '" + out + "'"},
        {{"covariance", "--freq", frequencyFile, "--alg", algorithmFile, "--constant", "0.5", "--out",
          frequencyFile},
         "--out names the input file '" + frequencyFile + "' (--freq)"},
        {{"simulate", "--params", typicalParams, "--freq", out, "--inc", dir.file("sub/../out.alg")},
         "--freq and --inc name the same file '" + dir.file("sub/../out.alg") + "'"},
    };
    for (const Case& c : cases) {
        const BatchRun run = runBatchWith(c.args);
        EXPECT_EQ(run.status, 2) << c.message;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_TRUE(run.out.empty()) << run.out;
        expectFilesUntouched();
        EXPECT_FALSE(std::filesystem::exists(out)) << c.message;
    }
}

TEST_F(BatchFileGuards, ARefusedFitLeavesItsLogUnopened)
{
    // The log is opened, and so emptied, only once the run is sure to start.
    const std::string log = dir.file("fit.ovl");
    writeFileBytes(log, "an earlier log\r\n");
    const BatchRun run = runBatchWith({"fit", "--method", "simplex", "--freq", frequencyFile, "--alg",
                                       frozenFile, "--out", dir.file("out.alg"), "--log", log});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("all step sizes are zero"), std::string::npos) << run.err;
    EXPECT_EQ(readFileBytes(log), "an earlier log\r\n");
    expectFilesUntouched();
}

TEST_F(BatchFileGuards, OutputsThatCannotBeWrittenAreRefusedBeforeTheRun)
{
    const std::string nowhere = dir.file("no-such-folder/out");
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const Case cases[] = {
        {{"fit", "--method", "simplex", "--freq", frequencyFile, "--alg", algorithmFile, "--out", nowhere},
         "--out '" + nowhere + "' cannot be written: the folder " + dir.file("no-such-folder") +
             " does not exist"},
        {{"fit", "--method", "simplex", "--freq", frequencyFile, "--alg", algorithmFile, "--out",
          dir.file("out.alg"), "--log", dir.path().string()},
         "--log '" + dir.path().string() + "' cannot be written: it is a folder"},
        {{"covariance", "--freq", frequencyFile, "--alg", algorithmFile, "--constant", "0.5", "--out",
          nowhere},
         "--out '" + nowhere + "' cannot be written"},
    };
    for (const Case& c : cases) {
        const BatchRun run = runBatchWith(c.args);
        EXPECT_EQ(run.status, 2) << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_TRUE(run.out.empty()) << "refused before the run: " << run.out;
        EXPECT_EQ(run.err.find("Simplex"), std::string::npos) << run.err;
    }
    expectFilesUntouched();
}

TEST_F(BatchFileGuards, InputsThatCannotBeReadAreNamedWithoutACrash)
{
    const std::string folder = dir.path().string();
    const std::string missing = dir.file("missing.dat");
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const Case cases[] = {
        {{"evaluate", "--freq", frequencyFile, "--alg", folder},
         "--alg '" + folder + "' cannot be opened: it is a folder"},
        {{"fit", "--method", "simplex", "--freq", frequencyFile, "--alg", folder, "--out",
          dir.file("out.alg")},
         "--alg '" + folder + "' cannot be opened: it is a folder"},
        {{"covariance", "--freq", frequencyFile, "--alg", folder, "--constant", "0.5"}, "it is a folder"},
        {{"evaluate", "--freq", folder, "--params", typicalParams},
         "--freq '" + folder + "' cannot be opened: it is a folder"},
        {{"evaluate", "--inc", missing, "--params", typicalParams},
         "--inc '" + missing + "' cannot be opened: there is no such file"},
    };
    for (const Case& c : cases) {
        const BatchRun run = runBatchWith(c.args);
        EXPECT_EQ(run.status, 2) << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
}

TEST_F(BatchFileGuards, DataThatHoldNoRecordsOrAreNoTextAreRefusedByName)
{
    writeFileBytes(dir.file("empty.dat"), "");
    writeFileBytes(dir.file("junk.dat"), std::string("\x7f"
                                                     "ELF\x02\x01\x01\0\0\0\0\0\0\0\0\0\x03\0>\0",
                                                     20));
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const Case cases[] = {
        {{"evaluate", "--freq", dir.file("empty.dat"), "--params", typicalParams},
         "The frequency data file " + dir.file("empty.dat") + " holds no frequency cells"},
        {{"evaluate", "--inc", dir.file("empty.dat"), "--params", typicalParams},
         "The increment data file " + dir.file("empty.dat") + " holds no increment records"},
        {{"evaluate", "--inc", dir.file("junk.dat"), "--params", typicalParams},
         "The increment data file " + dir.file("junk.dat") + " could not be read: it is not a text file"},
        {{"evaluate", "--freq", "/dev/null", "--params", typicalParams}, "holds no frequency cells"},
        {{"evaluate", "--freq", "/dev/zero", "--params", typicalParams}, "has no end within its first"},
    };
    for (const Case& c : cases) {
        if (!std::filesystem::exists(c.args[2]))
            continue; // no /dev/null or /dev/zero here
        const BatchRun run = runBatchWith(c.args);
        EXPECT_EQ(run.status, 2) << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_TRUE(run.out.empty()) << "no objective for a failure: " << run.out;
    }
}

TEST_F(BatchFileGuards, EveryKindOfLineEndGivesTheSameObjective)
{
    std::string crOnly = frequencyLines;
    std::replace(crOnly.begin(), crOnly.end(), '\n', '\r');
    writeFileBytes(dir.file("cr.dat"), crOnly);
    const BatchRun lf = runBatchWith({"evaluate", "--freq", frequencyFile, "--params", typicalParams});
    const BatchRun cr = runBatchWith({"evaluate", "--freq", dir.file("cr.dat"), "--params", typicalParams});
    ASSERT_EQ(lf.status, 0) << lf.err;
    ASSERT_EQ(cr.status, 0) << cr.err;
    EXPECT_EQ(printedValues(cr.out).at("objective"), printedValues(lf.out).at("objective"));
}

TEST_F(BatchFileGuards, AMessageThatBeginsWithItsTitleIsNotLedByItTwice)
{
    writeFileBytes(frequencyFile, "    1.0    3\n    2.0   10\n    3.0    4\n");
    const BatchRun run = runBatchWith({"evaluate", "--freq", frequencyFile, "--params", typicalParams});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("Fatal Error: Inconsistency in midpoint interval 1"), std::string::npos)
        << run.err;
    EXPECT_EQ(run.err.find("Fatal Error: Fatal Error"), std::string::npos) << run.err;
}

TEST(BatchFiles, ChecksTheNamedFilesOnly)
{
    TempDir dir;
    writeFileBytes(dir.file("in.alg"), "x");
    BatchFiles files("orvanta-batch test");
    files.reads("--alg", dir.file("in.alg"));
    files.reads("--inc", ""); // no file
    files.writes("--out", dir.file("in.alg"), InputReplacement{"--alg", "--overwrite-input", true});
    files.writes("--log", "");
    std::ostringstream err;
    EXPECT_TRUE(files.check(err)) << err.str();
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(readFileBytes(dir.file("in.alg")), "x");
}

TEST(BatchProgram, AnExceptionThatEscapesARunEndsItWithOneLineAndStatusTwo)
{
    std::ostringstream err;
    EXPECT_EQ(runToTheEnd([]() -> int { throw std::runtime_error("out of luck"); }, err), 2);
    EXPECT_EQ(err.str(), "orvanta-batch: the run stopped on an unexpected error: out of luck\n");
    std::ostringstream other;
    EXPECT_EQ(runToTheEnd([]() -> int { throw 42; }, other), 2);
    EXPECT_EQ(other.str(), "orvanta-batch: the run stopped on an unexpected error\n");
    EXPECT_EQ(runToTheEnd([] { return 1; }, other), 1);
}

} // namespace
} // namespace orvanta
