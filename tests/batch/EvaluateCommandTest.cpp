#include "BatchRun.h"
#include "batch/CommandLine.h"

#include "algorithm/AlgorithmFile.h"
#include "app/Application.h"
#include "model/InitializationWindow.h"
#include "model/TarnfieldModel.h"
#include "support/FakeClock.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"
#include "text/TextFile.h"

#include <gtest/gtest.h>

#include <map>

namespace orvanta {
namespace {

using testing::BatchRun;
using testing::printedValues;
using testing::readFileBytes;
using testing::runBatchWith;
using testing::TempDir;
using testing::writeFileBytes;

const char* const frequencyLines = "    2.5    3\n    7.5   10\n   12.5   25\n   17.5   30\n   22.5   20\n"
                                   "   27.5    8\n   32.5    2\n";
const char* const incrementLines = "     1   10.0    8.0    100    465\n     1   20.0    4.0    120    480\n"
                                   "     2   15.0    6.5     90    455\n";
const char* const typicalParams = "35,3,0.4,0.05,0,0,0,0,5,0.8,0,0,0,0,0,0,0,-999,-999,-999";

class EvaluateCommand : public ::testing::Test {
protected:
    EvaluateCommand()
    {
        writeFileBytes(frequencyFile, frequencyLines);
        writeFileBytes(incrementFile, incrementLines);
    }

    // The objective as the windowed program reaches it: the initialization window with its
    // file dialogs, then one evaluation of the parameter set.
    double objectiveThroughTheWindows(const std::string& params)
    {
        testing::ScriptedUi ui;
        testing::FakeClock clock;
        Application app(ui, clock, realFileSystem());
        TarnfieldModel model(app.modelHost());
        installInitialization(app, model);
        app.start();
        app.mainMenuButtonClicked("cmdInitialize");
        auto* window = app.desktop.find<InitializationWindow>(InitializationWindow::windowName);
        ui.pickFile(frequencyFile).pickFile(incrementFile);
        window->cmdFrequency_Click();
        window->cmdIncrement_Click();
        window->cmdOK_Click();
        EXPECT_TRUE(app.session.initializeAlready);
        const std::vector<std::string> texts = splitAtCommas(params);
        for (size_t i = 0; i < texts.size(); ++i)
            app.algorithm.paramValues[i + 1] = std::stod(texts[i]);
        applyFuseGroups(app.algorithm, app.algorithm.paramValues);
        callModel(model, app.algorithm, app.modelWorkspace, app.algorithm.paramValues, 1);
        return app.modelWorkspace.objectiveValue;
    }

    TempDir dir;
    std::string frequencyFile = dir.file("freq.dat");
    std::string incrementFile = dir.file("inc.dat");
};

TEST_F(EvaluateCommand, PrintsTheSameObjectiveAsTheWindowedProgram)
{
    const BatchRun run = runBatchWith(
        {"evaluate", "--freq", frequencyFile, "--inc", incrementFile, "--params", typicalParams});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto values = printedValues(run.out);
    EXPECT_EQ(values.at("objective"), fullPrecision(objectiveThroughTheWindows(typicalParams)));
    const double parts = std::stod(values.at("increment_part")) + std::stod(values.at("frequency_part"));
    EXPECT_DOUBLE_EQ(std::stod(values.at("objective")), parts + std::stod(values.at("penalty")));
    EXPECT_EQ(run.out.find("objective "), 0u);
}

TEST_F(EvaluateCommand, PrintsTheCleanedParameters)
{
    const BatchRun run = runBatchWith({"evaluate", "--inc", incrementFile, "--params",
                                  "35,-3,0.4,0.05,0,0,0,0,5,0,0,0,0,0,0,0,0,-1.5,-999,-7"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(printedValues(run.out).at("params"), "35,3,0.40000000000000002,0.050000000000000003,0,0,0,0,5,0,0,0,0,"
                                                   "0,0,0,0,-1.5,-999,7");
}

TEST_F(EvaluateCommand, BadInputExitsWithStatusTwoAndOneClearLine)
{
    struct Case {
        std::vector<std::string> args;
        std::string named; // what the message must name
    };
    const Case cases[] = {
        {{"evaluate", "--freq", dir.file("missing.dat"), "--params", typicalParams}, "missing.dat"},
        {{"evaluate", "--freq", frequencyFile, "--params", "1,2,3"}, "20 values"},
        {{"evaluate", "--freq", frequencyFile, "--params", "35,3,x,0,0,0,0,0,0,0,0,0,0,0,0,0,0,-999,-999,-999"},
         "'x'"},
        {{"evaluate", "--params", typicalParams}, "--freq"},
        {{"evaluate", "--freq", frequencyFile}, "--params"},
        {{"evaluate", "--freq", frequencyFile, "--errors", "poisson", "--params", typicalParams}, "poisson"},
        {{"evaluate", "--freq", frequencyFile, "--first-cell", "0", "--params", typicalParams}, "positive"},
        {{"evaluate", "--freq", frequencyFile, "--bogus", "1", "--params", typicalParams}, "--bogus"},
    };
    for (const Case& c : cases) {
        const BatchRun run = runBatchWith(c.args);
        EXPECT_EQ(run.status, 2) << run.err;
        EXPECT_NE(run.err.find(c.named), std::string::npos) << run.err;
        EXPECT_TRUE(run.out.empty());
    }
}

TEST_F(EvaluateCommand, AMidpointErrorNamesTheProblem)
{
    writeFileBytes(frequencyFile, "    1.0    3\n    2.0   10\n    3.0    4\n");
    const BatchRun run = runBatchWith({"evaluate", "--freq", frequencyFile, "--params", typicalParams});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("Inconsistency in midpoint interval 1"), std::string::npos) << run.err;
}

TEST_F(EvaluateCommand, ANonFiniteObjectiveExitsWithStatusThreeAfterPrinting)
{
    // Size-at-age selectivity with a zero SD cannot be evaluated.
    const BatchRun run = runBatchWith({"evaluate", "--inc", incrementFile, "--params",
                                  "35,3,0.4,0.05,0,0,0,0,5,0,0,0,0,0,0,0,0,0.5,30,0"});
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(printedValues(run.out).at("objective"), "NaN");
    EXPECT_NE(run.err.find("not finite"), std::string::npos) << run.err;
}

// An algorithm file for the model's twenty parameters holding values (a comma-separated list)
// and the given fuse codes (parameter number -> code).
std::string writeAlgorithmFileOf(const std::string& path, const std::string& values,
                                 const std::map<int, std::string>& codes = {})
{
    AlgorithmData data;
    data.paramCount = modelParamCount;
    resetAlgorithmData(data);
    const std::vector<std::string> texts = splitAtCommas(values);
    for (size_t i = 0; i < texts.size(); ++i) {
        data.paramValues[i + 1] = std::stod(texts[i]);
        data.paramSteps[i + 1] = 0.1;
    }
    for (const auto& [param, code] : codes)
        data.fuseCodes[static_cast<size_t>(param)] = code;
    EXPECT_TRUE(writeAlgorithmFile(path, data));
    return path;
}

// evaluate with both data files and the parameter values from option ("--params" or "--alg").
BatchRun evaluateWithBothFiles(const TempDir& dir, const std::string& option, const std::string& value)
{
    return runBatchWith(
        {"evaluate", "--freq", dir.file("freq.dat"), "--inc", dir.file("inc.dat"), option, value});
}

TEST_F(EvaluateCommand, AnAlgorithmFileGivesTheSameObjectiveAsItsValues)
{
    const std::string alg = writeAlgorithmFileOf(dir.file("fit.alg"), typicalParams);
    const BatchRun fromFile = evaluateWithBothFiles(dir, "--alg", alg);
    const BatchRun fromList = evaluateWithBothFiles(dir, "--params", typicalParams);
    ASSERT_EQ(fromFile.status, 0) << fromFile.err;
    ASSERT_EQ(fromList.status, 0) << fromList.err;
    EXPECT_EQ(fromFile.out, fromList.out);
}

TEST_F(EvaluateCommand, TheFuseGroupsOfAnAlgorithmFileAreApplied)
{
    // Parameters 3 and 4 share the code "K": parameter 4 takes the value of its leader, 3.
    const std::string alg = writeAlgorithmFileOf(dir.file("linked.alg"), typicalParams, {{3, "K"}, {4, "K"}});
    const std::string leaderValues = "35,3,0.4,0.4,0,0,0,0,5,0.8,0,0,0,0,0,0,0,-999,-999,-999";
    const auto linked = printedValues(evaluateWithBothFiles(dir, "--alg", alg).out);
    const auto expected = printedValues(evaluateWithBothFiles(dir, "--params", leaderValues).out);
    const auto unlinked = printedValues(evaluateWithBothFiles(dir, "--params", typicalParams).out);
    ASSERT_EQ(linked.count("objective"), 1u);
    EXPECT_EQ(linked.at("params"), expected.at("params"));
    EXPECT_EQ(linked.at("objective"), expected.at("objective"));
    EXPECT_NE(linked.at("objective"), unlinked.at("objective"))
        << "the link must make a difference for this test to mean anything";
}

TEST_F(EvaluateCommand, ARefusedAlgorithmFileExitsWithStatusTwoAndTheReadersMessage)
{
    std::string badlyFormatted = readFileBytes(writeAlgorithmFileOf(dir.file("good.alg"), typicalParams));
    badlyFormatted.replace(badlyFormatted.find("3.0000000E+00"), 13, "three        ");
    writeFileBytes(dir.file("bad.alg"), badlyFormatted);
    writeFileBytes(dir.file("three.alg"), "             3  Number of parameters\r\n");

    struct Case {
        std::vector<std::string> args;
        std::string named;
    };
    const Case cases[] = {
        {{"evaluate", "--freq", frequencyFile, "--alg", dir.file("bad.alg")}, "badly formatted"},
        {{"evaluate", "--freq", frequencyFile, "--alg", dir.file("three.alg")},
         "has 3 parameters, but your model specifies 20"},
        {{"evaluate", "--freq", frequencyFile, "--alg", dir.file("missing.alg")}, "cannot be opened"},
        {{"evaluate", "--freq", frequencyFile, "--alg", dir.file("good.alg"), "--params", typicalParams},
         "--alg"},
    };
    for (const Case& c : cases) {
        const BatchRun run = runBatchWith(c.args);
        EXPECT_EQ(run.status, 2) << run.err;
        EXPECT_NE(run.err.find(c.named), std::string::npos) << run.err;
        EXPECT_TRUE(run.out.empty()) << run.out;
    }
}

TEST(BatchProgram, HelpVersionAndUnknownCommands)
{
    EXPECT_EQ(runBatchWith({"--help"}).status, 0);
    EXPECT_NE(runBatchWith({"--help"}).out.find("evaluate"), std::string::npos);
    EXPECT_EQ(runBatchWith({"--version"}).out.rfind("orvanta-batch ", 0), 0u);
    EXPECT_EQ(runBatchWith({"frobnicate"}).status, 2);
    EXPECT_EQ(runBatchWith({}).status, 2);
}

TEST(FullPrecision, SeventeenSignificantDigitsAndReadableSpecialValues)
{
    EXPECT_EQ(fullPrecision(0.1), "0.10000000000000001");
    EXPECT_EQ(fullPrecision(35.0), "35");
    EXPECT_EQ(fullPrecision(-2.0 / 3.0), "-0.66666666666666663");
    EXPECT_EQ(fullPrecision(std::numeric_limits<double>::infinity()), "Infinity");
}

} // namespace
} // namespace orvanta
