#include "BatchRun.h"
#include "BundledExampleFiles.h"

#include "algorithm/AlgorithmData.h"
#include "algorithm/AlgorithmFile.h"
#include "app/Application.h"
#include "app/Tools.h"
#include "batch/CommandLine.h"
#include "model/InitializationWindow.h"
#include "model/TarnfieldModel.h"
#include "support/ExampleModels.h"
#include "support/FakeClock.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"
#include "text/TextFile.h"
#include "ui/ReportWindow.h"
#include "uncertainty/CovarianceCalculator.h"
#include "uncertainty/CovarianceDisplayWindow.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace orvanta {
namespace {

using testing::BatchRun;
using testing::printedValues;
using testing::readFileBytes;
using testing::runBatchWith;
using testing::TempDir;

using testing::lengths;
using testing::tags;

class CovarianceCommand : public ::testing::Test {
protected:
    // The bundled algorithm file at the true values, free only where steps says so.
    void writeAlgorithm(const std::map<int, double>& steps, const std::map<int, double>& changes = {})
    {
        testing::writeExampleAlgorithm(algorithmFile, steps, changes);
    }

    BatchRun covariance(std::vector<std::string> extra)
    {
        std::vector<std::string> args{"covariance", "--freq", lengths, "--inc", tags, "--alg", algorithmFile};
        args.insert(args.end(), extra.begin(), extra.end());
        return runBatchWith(args);
    }

    TempDir dir;
    std::string algorithmFile = dir.file("centre.alg");
    std::string covFile = dir.file("centre.cov");
};

// The windowed program on the bundled example: initialize, load an algorithm file, calculate,
// then "Display results on &screen" and "Save &covariance results as...".
struct WindowedSession : testing::WindowedExample {
    void saveCovariance(const std::string& algorithmFile, const CovarianceSettings& settings,
                        const std::string& path)
    {
        loadExample(algorithmFile);
        buildFreeIndex(app.algorithm);

        ASSERT_TRUE(runNumericalCovariance(app, settings));
        showCovarianceDisplay(app);
        auto* display = app.desktop.find<CovarianceDisplayWindow>(CovarianceDisplayWindow::windowName);
        ASSERT_NE(display, nullptr);
        display->cmdScreen_Click();
        ui.pickFile(path);
        display->cmdFile_Click();
    }
};

TEST_F(CovarianceCommand, WritesTheFileTheDisplayWindowSaves)
{
    writeAlgorithm({{1, 5.0}, {3, 0.03}});
    WindowedSession windows;
    windows.saveCovariance(algorithmFile, CovarianceSettings{{0, 1.0, 0.1, 0.01}, 0.5, false}, covFile);
    const CovarianceRun& calculated = windows.app.covariance;
    const std::string fromWindows = readFileBytes(covFile);
    std::filesystem::remove(covFile);

    const BatchRun run = covariance({"--constant", "0.5", "--out", covFile});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readFileBytes(covFile), fromWindows);
    EXPECT_EQ(fromWindows.rfind(std::string(savedNameLine) + covFile + "\r\n\r\n", 0), 0u);

    // The printed standard errors are the calculated ones, to the last digit.
    const auto printed = printedValues(run.out);
    EXPECT_EQ(printed.at("centre_objective"), fullPrecision(calculated.centreObjective));
    for (std::size_t g = 1; g <= 3; ++g) {
        EXPECT_EQ(printed.at("grid" + std::to_string(g)), "positive_definite");
        for (std::size_t a = 1; a <= 2; ++a) {
            const std::string name =
                "se" + std::to_string(g) + "_p" + std::to_string(calculated.covParamOf[a]);
            EXPECT_EQ(printed.at(name), fullPrecision(calculated.grids[g].standardError[a])) << name;
            EXPECT_GT(std::stod(printed.at(name)), 0.0);
        }
    }
}

TEST_F(CovarianceCommand, FactorsAndTheOptimisticChoiceReachTheReport)
{
    writeAlgorithm({{1, 5.0}, {3, 0.03}});
    const BatchRun run =
        covariance({"--constant", "0.5", "--factors", "2,0.5,0.05", "--optimistic", "--out", covFile});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string file = readFileBytes(covFile);
    EXPECT_NE(file.find("\r\nFactors:              1) 2.0000000E+00  2) 5.0000000E-01  3) 5.0000000E-02\r\n"),
              std::string::npos);
    EXPECT_NE(
        file.find(
            "\r\nNote: The above SE estimates are optimistic (under-estimated) conditional estimates\r\n"),
        std::string::npos);
    EXPECT_NE(file.find("\r\nCovariance constant: 0.5\r\n"), std::string::npos);
}

TEST_F(CovarianceCommand, AGridWithoutAPositiveDefiniteHessianExitsWithOne)
{
    // The size-frequency selectivity means nothing to tagging data: its row of the Hessian is 0.
    writeAlgorithm({{1, 5.0}, {15, 4.0}});
    const BatchRun run = runBatchWith(
        {"covariance", "--inc", tags, "--alg", algorithmFile, "--constant", "0.5", "--out", covFile});
    EXPECT_EQ(run.status, 1) << run.err;
    const auto printed = printedValues(run.out);
    EXPECT_EQ(printed.at("grid1"), "not_positive_definite");
    EXPECT_EQ(printed.at("se1_p15"), "-1");
    EXPECT_NE(readFileBytes(covFile).find("Standard errors of the estimates"), std::string::npos);
}

TEST_F(CovarianceCommand, AfterASimplexFitAGridIsRecommended)
{
    // The fit leaves its starting steps in the file it writes, as the covariance grids' base.
    writeAlgorithm({{1, 5.0}, {2, 1.0}, {3, 0.03}, {10, 0.05}}, {{1, 115.0}, {3, 0.3}});
    const std::string fitted = dir.file("fitted.alg");
    const BatchRun fit = runBatchWith({"fit", "--method", "simplex", "--freq", lengths, "--inc", tags,
                                       "--alg", algorithmFile, "--out", fitted});
    ASSERT_EQ(fit.status, 0) << fit.err;

    const BatchRun run =
        runBatchWith({"covariance", "--freq", lengths, "--inc", tags, "--alg", fitted, "--constant", "0.5"});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    const auto printed = printedValues(run.out);
    const std::string grid = printed.at("recommended_grid");
    ASSERT_NE(grid, "none") << run.out;
    // The recommended grid agrees with the next finer one within 10 %.
    const std::string finer = std::to_string(std::stoi(grid) + 1);
    ASSERT_TRUE(printed.count("agreement_g" + grid + "_g" + finer)) << run.out;
    EXPECT_LE(std::stod(printed.at("agreement_g" + grid + "_g" + finer)), 0.1);
}

TEST_F(CovarianceCommand, ANonFiniteCentreExitsWithThree)
{
    // Size-at-age selectivity with a zero SD cannot be evaluated.
    writeAlgorithm({{1, 5.0}}, {{18, 0.5}, {19, 30.0}, {20, 0.0}});
    const BatchRun run = runBatchWith(
        {"covariance", "--inc", tags, "--alg", algorithmFile, "--constant", "0.5", "--out", covFile});
    EXPECT_EQ(run.status, 3) << run.err;
    EXPECT_NE(run.err.find("not finite"), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(covFile));
}

TEST_F(CovarianceCommand, BadOptionsExitWithTwo)
{
    writeAlgorithm({{1, 5.0}});
    struct Case {
        std::vector<std::string> args;
        const char* named; // what the message must mention
    };
    const Case cases[] = {
        {{"--constant", "0.5", "--bogus", "1"}, "--bogus"},
        {{}, "--constant"},
        {{"--constant", "0"}, "--constant"},
        {{"--constant", "-2"}, "--constant"},
        {{"--constant", "half"}, "--constant"},
        {{"--constant", "1e999"}, "--constant"},
        {{"--constant", "0.5", "--factors", "1,0.1"}, "--factors"},
        {{"--constant", "0.5", "--factors", "1,0,0.01"}, "grid factor 2"},
        {{"--constant", "0.5", "--factors", "1,0.1,x"}, "grid factor 3"},
        {{"--constant", "0.5", "--out", "ALG"}, "input file"},
        {{"--constant", "0.5", "--out", tags}, "input file"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = c.args;
        for (std::string& arg : args)
            if (arg == "ALG")
                arg = algorithmFile;
        const BatchRun run = covariance(args);
        EXPECT_EQ(run.status, 2) << run.err;
        EXPECT_NE(run.err.find(c.named), std::string::npos) << run.err;
        EXPECT_TRUE(run.out.empty());
    }
    EXPECT_EQ(runBatchWith({"covariance", "--inc", tags, "--constant", "0.5"}).status, 2); // no --alg

    writeAlgorithm({});
    const BatchRun frozen = covariance({"--constant", "0.5"});
    EXPECT_EQ(frozen.status, 2);
    EXPECT_NE(frozen.err.find("all step sizes are zero"), std::string::npos) << frozen.err;
}

} // namespace
} // namespace orvanta
