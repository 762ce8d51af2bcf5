// orvanta-batch profile: the same report and picture as the windows, the printed mode and
// likelihood-ratio interval, steps from a covariance file, and its exit statuses.

#include "BatchRun.h"
#include "BundledExampleFiles.h"
#include "DistributionPicture.h"

#include "algorithm/AlgorithmData.h"
#include "algorithm/AlgorithmEditor.h"
#include "algorithm/AlgorithmFile.h"
#include "app/Application.h"
#include "app/MainMenu.h"
#include "app/Tools.h"
#include "batch/BatchEngine.h"
#include "model/InitializationWindow.h"
#include "model/TarnfieldModel.h"
#include "plots/DistributionPlotWindow.h"
#include "support/FakeClock.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"
#include "text/NumberText.h"
#include "text/TextFile.h"
#include "ui/ReportWindow.h"
#include "uncertainty/EvaluationWindow.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
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
using testing::writeFileBytes;

using testing::lengths;
using testing::tags;

class ProfileCommand : public ::testing::Test {
protected:
    // The bundled algorithm file at the true values, free only where steps says so.
    void writeAlgorithm(const std::map<int, double>& steps, const std::map<int, double>& changes = {})
    {
        testing::writeExampleAlgorithm(algorithmFile, steps, changes);
    }

    BatchRun profile(std::vector<std::string> extra)
    {
        std::vector<std::string> args{"profile", "--freq", lengths, "--inc", tags, "--alg", algorithmFile};
        args.insert(args.end(), extra.begin(), extra.end());
        return runBatchWith(args);
    }

    TempDir dir;
    std::string algorithmFile = dir.file("centre.alg");
    std::string reportFile = dir.file("profile.mlc");
    std::string pictureFile = dir.file("profile.svg");
};

// The windowed program on the bundled example: the profile of L-infinity (5 points, k re-minimized
// with the Simplex), with the plot window's curves 2 and 1 saved as a picture and the report
// saved from its window.
struct WindowedProfile : testing::WindowedExample {
    void run(const std::string& algorithmFile, const std::string& picture, const std::string& report)
    {
        loadExample(algorithmFile);
        ui.onYield = [this] {
            if (auto* editor = app.desktop.find<AlgorithmEditor>(AlgorithmEditor::windowName))
                editor->cmdFinish_Click();
            if (auto* plot = app.desktop.find<DistributionPlotWindow>(distributionPlot::windowName))
                testing::saveDistributionPicture(*plot, ui, clock);
        };
        ui.answer(Answer::OK).answer(Answer::Yes).type("0.5").type("1").type("5").answer(Answer::Yes);
        ui.answer(Answer::OK).pickFile(picture).answer(Answer::OK);
        app.mainMenuButtonClicked(menuButton::parEstimate);
        app.desktop.find<EvaluationWindow>(EvaluationWindow::windowName)->cmdML_Click();

        auto* window = app.desktop.find<ReportWindow>("frmMaxLike");
        ASSERT_NE(window, nullptr);
        ui.pickFile(report);
        ASSERT_TRUE(window->save(ui, clock, realFileSystem()));
    }
};

TEST_F(ProfileCommand, WritesTheReportAndPictureTheWindowsSave)
{
    writeAlgorithm({{1, 5.0}, {3, 0.03}});
    WindowedProfile windows;
    windows.run(algorithmFile, pictureFile, reportFile);
    const std::string report = readFileBytes(reportFile);
    const std::string picture = readFileBytes(pictureFile);
    ASSERT_FALSE(picture.empty());
    std::filesystem::remove(reportFile);
    std::filesystem::remove(pictureFile);

    const BatchRun run = profile(
        {"--param", "1", "--points", "5", "--constant", "0.5", "--out", reportFile, "--plot", pictureFile});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readFileBytes(reportFile), report);
    EXPECT_EQ(readFileBytes(pictureFile), picture);
    EXPECT_TRUE(report.starts_with(std::string(savedNameLine) + reportFile +
                                   "\r\n\r\nMaximum-likelihood confidence distribution data\r\n"));

    // The printed lines come from the same profile: its mode and where -ln[L] rises by 1.92.
    const auto printed = printedValues(run.out);
    EXPECT_EQ(printed.at("points"), "5");
    const double mode = std::stod(printed.at("mode"));
    EXPECT_NE(report.find("\r\nMax Likelihood: " + padToWidth(formatNumber(mode, "0.0000E+000   "), 15)),
              std::string::npos);
    const double lower = std::stod(printed.at("lr95_lower"));
    const double upper = std::stod(printed.at("lr95_upper"));
    EXPECT_GT(lower, 110.0);
    EXPECT_LT(lower, mode);
    EXPECT_GT(upper, mode);
    EXPECT_LT(upper, 130.0);
}

TEST_F(ProfileCommand, PrintsTheReportAndTheIntervalWithoutOut)
{
    // L-infinity alone, 9 points 2.5 apart: -ln[L] rises well above 1.92 on both sides.
    writeAlgorithm({{1, 2.5}});
    const BatchRun run = profile({"--param", "1", "--points", "9", "--constant", "0.5"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.out.starts_with("Maximum-likelihood confidence distribution data\n\n"));
    const auto printed = printedValues(run.out.substr(run.out.find("\npoints ")));
    EXPECT_EQ(printed.at("points"), "9");
    const double lower = std::stod(printed.at("lr95_lower"));
    const double upper = std::stod(printed.at("lr95_upper"));
    const double mode = std::stod(printed.at("mode"));
    EXPECT_LT(lower, mode);
    EXPECT_GT(upper, mode);
    EXPECT_GT(lower, 110.0);
    EXPECT_LT(upper, 130.0);
}

TEST_F(ProfileCommand, StepsComeFromACalculatedGridOfACovarianceFile)
{
    writeAlgorithm({{1, 5.0}, {3, 0.03}});
    const std::string covFile = dir.file("centre.cov");
    const BatchRun covariance = runBatchWith({"covariance", "--freq", lengths, "--inc", tags, "--alg",
                                              algorithmFile, "--constant", "0.5", "--out", covFile});
    ASSERT_EQ(covariance.status, 0) << covariance.err;
    const double se = std::stod(printedValues(covariance.out).at("se3_p1"));

    const BatchRun run = profile({"--param", "1", "--points", "5", "--constant", "0.5", "--steps-from",
                                  covFile, "--grid", "3", "--out", reportFile});
    ASSERT_EQ(run.status, 0) << run.err;
    // Five points 8 SE / 4 apart around 120: the first at 120 - 4 SE.
    const std::string report = readFileBytes(reportFile);
    const std::string firstValue = padToWidth(formatNumber(120.0 - 2 * (8 * se / 4), "0.0000E+000   "), 15);
    EXPECT_NE(report.find("\r\n    1    " + firstValue), std::string::npos) << report;

    // A second save stacks its saved-name line: refused, the file named.
    writeFileBytes(covFile, std::string(savedNameLine) + "again.cov\r\n\r\n" + readFileBytes(covFile));
    const BatchRun twice =
        profile({"--param", "1", "--constant", "0.5", "--steps-from", covFile, "--grid", "3"});
    EXPECT_EQ(twice.status, 2);
    EXPECT_NE(
        twice.err.find("The covariance file '" + covFile + "' cannot be used: it was saved more than once"),
        std::string::npos)
        << twice.err;
    EXPECT_TRUE(twice.out.empty());
}

TEST_F(ProfileCommand, AGridNotCalculatedIsRefused)
{
    // A tag-only fit leaves the frequency selectivity without curvature: no grid is calculated.
    writeAlgorithm({{1, 5.0}, {15, 4.0}});
    const std::string covFile = dir.file("flat.cov");
    const BatchRun covariance = runBatchWith(
        {"covariance", "--inc", tags, "--alg", algorithmFile, "--constant", "0.5", "--out", covFile});
    ASSERT_EQ(covariance.status, 1);
    const BatchRun run = runBatchWith({"profile", "--inc", tags, "--alg", algorithmFile, "--param", "1",
                                       "--constant", "0.5", "--steps-from", covFile, "--grid", "1"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("grid 1 was not calculated (its standard errors are -1)"), std::string::npos)
        << run.err;
}

TEST_F(ProfileCommand, AnIntervalOpenOnBothSidesExitsWithOne)
{
    writeAlgorithm({{1, 0.01}});
    const BatchRun run = profile({"--param", "1", "--points", "3", "--constant", "0.5"});
    EXPECT_EQ(run.status, 1) << run.err;
    const auto printed = printedValues(run.out.substr(run.out.find("\npoints ")));
    EXPECT_EQ(printed.at("lr95_lower"), "open");
    EXPECT_EQ(printed.at("lr95_upper"), "open");
}

TEST_F(ProfileCommand, ANonFiniteStartExitsWithThree)
{
    // Size-at-age selectivity with a zero SD cannot be evaluated.
    writeAlgorithm({{1, 5.0}}, {{18, 0.5}, {19, 30.0}, {20, 0.0}});
    const BatchRun run = runBatchWith({"profile", "--inc", tags, "--alg", algorithmFile, "--param", "1",
                                       "--constant", "0.5", "--out", reportFile});
    EXPECT_EQ(run.status, 3) << run.err;
    EXPECT_NE(run.err.find("not finite at the start"), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(reportFile));
}

TEST_F(ProfileCommand, BadInputExitsWithTwoAndOneClearLine)
{
    writeAlgorithm({{1, 5.0}});
    struct Case {
        std::vector<std::string> args;
        const char* named;
    };
    const Case cases[] = {
        {{"--constant", "0.5"}, "--param"},
        {{"--param", "1"}, "--constant"},
        {{"--param", "0", "--constant", "0.5"}, "--param must be a parameter number from 1 to 20"},
        {{"--param", "21", "--constant", "0.5"}, "--param"},
        {{"--param", "1.5", "--constant", "0.5"}, "--param"},
        {{"--param", "2", "--constant", "0.5"}, "parameter 2 has a step size of zero"},
        {{"--param", "1", "--constant", "0"}, "--constant"},
        {{"--param", "1", "--constant", "0.5", "--points", "1002"}, "--points"},
        {{"--param", "1", "--constant", "0.5", "--points", "-1"}, "--points"},
        {{"--param", "1", "--constant", "0.5", "--points", "x"}, "--points"},
        {{"--param", "1", "--constant", "0.5", "--method", "newton"}, "--method"},
        {{"--param", "1", "--constant", "0.5", "--grid", "2"}, "--steps-from"},
        {{"--param", "1", "--constant", "0.5", "--steps-from", "none.cov", "--grid", "4"}, "--grid"},
        {{"--param", "1", "--constant", "0.5", "--steps-from", "none.cov", "--grid", "1"},
         "cannot be opened"},
        {{"--param", "1", "--constant", "0.5", "--out", "ALG"}, "input file"},
        {{"--param", "1", "--constant", "0.5", "--plot", "ALG"}, "--plot names the input file"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = c.args;
        for (std::string& arg : args)
            if (arg == "ALG")
                arg = algorithmFile;
        const BatchRun run = profile(args);
        EXPECT_EQ(run.status, 2) << c.named;
        EXPECT_NE(run.err.find(c.named), std::string::npos) << run.err;
        EXPECT_TRUE(run.out.empty()) << c.named;
    }
    EXPECT_NE(readFileBytes(algorithmFile).find("Number of parameters"), std::string::npos)
        << "never written";
}

TEST_F(ProfileCommand, PointAnswersAreRoundedAsTheWindowRoundsThem)
{
    writeAlgorithm({{1, 2.5}});
    for (const auto& [typed, points] :
         std::vector<std::pair<const char*, const char*>>{{"2", "3"}, {"4", "5"}}) {
        const BatchRun run =
            profile({"--param", "1", "--points", typed, "--constant", "0.5", "--out", reportFile});
        EXPECT_EQ(printedValues(run.out).at("points"), points) << typed;
    }
}

TEST(BatchMessages, EachDistinctMessageIsWrittenOnceWithItsCount)
{
    std::ostringstream err;
    writeMessagesOnce(
        "Simplex minimum: found\nMarquardt: gave up\nSimplex minimum: found\nSimplex minimum: found\n", err);
    EXPECT_EQ(err.str(), "Simplex minimum: found (shown 3 times)\nMarquardt: gave up\n");
}

TEST(ProfileUsage, TheHelpDescribesTheCommand)
{
    const BatchRun run = runBatchWith({"--help"});
    EXPECT_NE(run.out.find("  profile [--freq FILE]"), std::string::npos);
    EXPECT_NE(run.out.find("--steps-from FILE.cov"), std::string::npos);
}

} // namespace
} // namespace orvanta
