#include "BatchRun.h"

#include "model/DataFiles.h"
#include "model/DataSimulator.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"
#include "text/TextFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

namespace orvanta {
namespace {

using testing::BatchRun;
using testing::printedValues;
using testing::readFileBytes;
using testing::runBatchWith;
using testing::TempDir;

// L-infinity 120 +- 8, k 0.35 +- 0.06 with an annual cycle, 5 % measurement SE, z 0.5, F 0.3
// from size 70, frequency sample selected around 40 +- 10.
const char* const trueParams = "120,8,0.35,0.06,0.03,200,0,0,5,0.5,0,70,250,0.3,40,10,0,-999,-999,-999";
const char* const wrongLinf = "90,8,0.35,0.06,0.03,200,0,0,5,0.5,0,70,250,0.3,40,10,0,-999,-999,-999";
const char* const wrongK = "120,8,0.2,0.06,0.03,200,0,0,5,0.5,0,70,250,0.3,40,10,0,-999,-999,-999";

class SimulateCommand : public ::testing::Test {
protected:
    // orvanta-batch simulate: both files, 1500 animals and 150 tag records at the true values.
    BatchRun simulate(const std::string& seed)
    {
        return simulateWith(
            {"--params", trueParams, "--freq", frequencyFile, "--inc", incrementFile, "--seed", seed},
            "--freq-count 1500 --cell-width 2 --inc-count 150 --release-size-min 40");
    }

    // orvanta-batch simulate with args, then the words of options.
    BatchRun simulateWith(std::vector<std::string> args, const std::string& options)
    {
        args.insert(args.begin(), "simulate");
        std::istringstream words(options);
        for (std::string word; words >> word;)
            args.push_back(word);
        return runBatchWith(args);
    }

    double objective(const std::string& params, const std::string& part = "objective")
    {
        const BatchRun run =
            runBatchWith({"evaluate", "--freq", frequencyFile, "--inc", incrementFile, "--params", params});
        EXPECT_EQ(run.status, 0) << run.err;
        return std::stod(printedValues(run.out).at(part));
    }

    TempDir dir;
    std::string frequencyFile = dir.file("lengths.dat");
    std::string incrementFile = dir.file("tags.dat");
};

TEST_F(SimulateCommand, WritesFilesThatTheModelReadsWithTheRequestedCounts)
{
    const BatchRun run = simulate("17");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.err.empty()) << run.err;
    const auto values = printedValues(run.out);
    EXPECT_EQ(values.at("seed"), "17");
    EXPECT_EQ(values.at("frequency_file"), frequencyFile);
    EXPECT_EQ(values.at("frequency_animals"), "1500");
    EXPECT_EQ(values.at("increment_records"), "150");
    EXPECT_EQ(values.at("increment_kind"), "tag-recapture");

    InitializationRequest request;
    request.frequencyFile = frequencyFile;
    request.incrementFile = incrementFile;
    testing::ScriptedUi ui;
    const auto result = readModelData(request, ui);
    ASSERT_TRUE(std::holds_alternative<ModelData>(result));
    const ModelData& data = std::get<ModelData>(result);
    EXPECT_EQ(data.frequencies.N, 1500.0);
    EXPECT_EQ(data.frequencies.cellCount, std::stoi(values.at("frequency_cells")));
    EXPECT_DOUBLE_EQ(data.frequencies.cellWidth, 2.0);
    EXPECT_EQ(data.increments.recordCount, 150);
    EXPECT_NE(readFileBytes(incrementFile).find("\r\n"), std::string::npos)
        << "text files end lines in CR LF";
}

TEST_F(SimulateCommand, TheSeedAloneDecidesTheFiles)
{
    ASSERT_EQ(simulate("5").status, 0);
    const std::string frequencies = readFileBytes(frequencyFile);
    const std::string increments = readFileBytes(incrementFile);
    ASSERT_EQ(simulate("5").status, 0);
    EXPECT_EQ(readFileBytes(frequencyFile), frequencies);
    EXPECT_EQ(readFileBytes(incrementFile), increments);
    ASSERT_EQ(simulate("6").status, 0);
    EXPECT_NE(readFileBytes(frequencyFile), frequencies);
    EXPECT_NE(readFileBytes(incrementFile), increments);
}

TEST_F(SimulateCommand, WritesWhatTheEngineSimulates)
{
    const BatchRun run = simulateWith({"--params", trueParams, "--inc", incrementFile},
                                      "--inc-count 40 --release-sizes uniform --release-size-min 30 "
                                      "--release-size-max 100 --release-day-min 5 --release-day-max 500 "
                                      "--liberty-min 90 --liberty-max 400");
    ASSERT_EQ(run.status, 0) << run.err;
    SimulationRequest request;
    request.params = {0, 120, 8,   0.35, 0.06, 0.03, 200, 0,    0,    5,   0.5,
                      0, 70,  250, 0.3,  40,   10,   0,   -999, -999, -999};
    request.seed = 1; // the default
    request.increments = IncrementSampleRequest{40, 5, 500, 90, 400, ReleaseSizes::Uniform, 30, 100, {}, {}};
    const auto result = simulateData(request);
    ASSERT_TRUE(std::holds_alternative<SimulatedData>(result));
    EXPECT_EQ(readFileBytes(incrementFile), withCrLf(std::get<SimulatedData>(result).incrementText));
}

TEST_F(SimulateCommand, TheTrueValuesFitBetterThanWrongOnes)
{
    const BatchRun run = simulate("2024");
    ASSERT_EQ(run.status, 0) << run.err;
    const double atTruth = objective(trueParams);
    EXPECT_LT(atTruth, objective(wrongLinf));
    EXPECT_LT(atTruth, objective(wrongK));
    // The doubled multinomial deviance at the true values is of the order of the number of cells.
    const double cells = std::stod(printedValues(run.out).at("frequency_cells"));
    EXPECT_LT(objective(trueParams, "frequency_part"), 2.0 * cells);
}

TEST_F(SimulateCommand, SizeAtAgeRecordsWhenT0IsSet)
{
    const std::string withT0 = "120,8,0.35,0.06,0,0,0,0,5,0.5,0,0,0,0,0,0,0,-0.2,-999,-999";
    const BatchRun run = simulateWith({"--params", withT0, "--inc", incrementFile},
                                      "--inc-count 60 --age-min 1 --age-max 12 --seed 3");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(printedValues(run.out).at("increment_kind"), "size-at-age");
    EXPECT_EQ(printedValues(run.out).count("frequency_file"), 0u);
    EXPECT_FALSE(std::filesystem::exists(frequencyFile));
    InitializationRequest request;
    request.incrementFile = incrementFile;
    testing::ScriptedUi ui;
    const auto result = readModelData(request, ui);
    ASSERT_TRUE(std::holds_alternative<ModelData>(result));
    const IncrementData& data = std::get<ModelData>(result).increments;
    ASSERT_EQ(data.recordCount, 60);
    for (int i = 1; i <= data.recordCount; ++i) {
        const IncrementRecord& record = data.records[static_cast<size_t>(i)];
        EXPECT_EQ(record.initialSize, 0.0);
        EXPECT_EQ(record.startDay, 0.0);
        EXPECT_TRUE(record.endDay >= 1.0 && record.endDay <= 12.0) << record.endDay;
    }
}

TEST_F(SimulateCommand, BadInputExitsWithStatusTwoAndOneClearLineAndWritesNothing)
{
    struct Case {
        std::vector<std::string> args;
        std::string named; // what the message must name
    };
    const std::string sizeAtAge = "120,8,0.35,0.06,0,0,0,0,5,0.5,0,0,0,0,0,0,0,0,-999,-999";
    const std::string f = frequencyFile;
    const std::string i = incrementFile;
    const Case cases[] = {
        {{"simulate", "--freq", f}, "--params"},
        {{"simulate", "--freq", f, "--params", "1,2,3"}, "20 values"},
        {{"simulate", "--freq", f, "--params", "120,8,x,0,0,0,0,0,0,0.5,0,0,0,0,0,0,0,-999,-999,-999"},
         "'x'"},
        {{"simulate", "--params", trueParams}, "--freq"},
        {{"simulate", "--params", trueParams, "--inc", i, "--cell-width", "2"}, "--cell-width needs --freq"},
        {{"simulate", "--params", trueParams, "--freq", f, "--liberty-min", "10"},
         "--liberty-min needs --inc"},
        {{"simulate", "--params", sizeAtAge, "--inc", i, "--liberty-min", "10"}, "size-at-age"},
        {{"simulate", "--params", trueParams, "--inc", i, "--age-min", "1", "--age-max", "3"}, "t0"},
        {{"simulate", "--params", trueParams, "--freq", f, "--seed", "-1"}, "--seed"},
        {{"simulate", "--params", trueParams, "--freq", f, "--seed", "12x"}, "'12x'"},
        {{"simulate", "--params", trueParams, "--freq", f, "--freq-count", "2.5"}, "whole number"},
        {{"simulate", "--params", trueParams, "--freq", f, "--cell-width", "wide"}, "'wide'"},
        {{"simulate", "--params", trueParams, "--inc", i, "--release-sizes", "random"}, "steady or uniform"},
        {{"simulate", "--params", trueParams, "--freq", f, "--bogus", "1"}, "--bogus"},
        {{"simulate", "--params", trueParams, "--freq", f, "--cell-width", "0.5"}, "cell width"},
        {{"simulate", "--params", trueParams, "--inc", i, "--inc-count", "2001"}, "2000"},
        {{"simulate", "--params", "120,8,0.35,0.06,0,0,0,0,5,0,0,0,0,0,0,0,0,-999,-999,-999", "--freq", f},
         "p10"},
        {{"simulate", "--params", trueParams, "--freq", f, "--inc", ""}, "--inc needs a file name"},
    };
    for (const Case& c : cases) {
        const BatchRun run = runBatchWith(c.args);
        EXPECT_EQ(run.status, 2) << c.named;
        EXPECT_NE(run.err.find(c.named), std::string::npos) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_TRUE(run.out.empty()) << run.out;
        EXPECT_FALSE(std::filesystem::exists(f) || std::filesystem::exists(i)) << c.named;
    }
}

TEST_F(SimulateCommand, AFileThatCannotBeWrittenIsNamed)
{
    const std::string unwritable = dir.file("no-such-folder/lengths.dat");
    const BatchRun run = runBatchWith({"simulate", "--params", trueParams, "--freq", unwritable});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("--freq '" + unwritable + "' cannot be written"), std::string::npos) << run.err;
    EXPECT_TRUE(run.out.empty()) << "refused before anything is simulated";
}

TEST(SimulateUsage, TheHelpDescribesTheCommandAndItsOptions)
{
    const std::string help = runBatchWith({"--help"}).out;
    for (const char* name :
         {"simulate", "--seed", "--freq-count", "--cell-width", "--inc-count", "--liberty-min",
          "--liberty-max", "--release-sizes", "--release-size-min", "--age-min"})
        EXPECT_NE(help.find(name), std::string::npos) << name;
}

} // namespace
} // namespace orvanta
