// orvanta-batch prior-profile: the same report and picture as the prior editor's windows, the
// printed statistics and its exit statuses; --priors for profile and summary.

#include "BatchRun.h"
#include "BundledExampleFiles.h"
#include "DistributionPicture.h"

#include "plots/DistributionPlotWindow.h"
#include "priors/PriorEditor.h"
#include "priors/PriorsFile.h"
#include "support/TempDir.h"
#include "text/TextFile.h"
#include "ui/ReportWindow.h"

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
using testing::writeFileBytes;

using testing::lengths;
using testing::tags;

class PriorProfileCommand : public ::testing::Test {
protected:
    // A priors file for the model's twenty parameters, uniform-unbounded but where given.
    std::string priorsFile(const std::map<int, PriorSpec>& set, int paramCount = 20)
    {
        std::vector<PriorSpec> priors(static_cast<std::size_t>(paramCount) + 1, PriorSpec{});
        for (const auto& [param, prior] : set)
            priors[static_cast<std::size_t>(param)] = prior;
        const std::string path = dir.file("p" + std::to_string(++files) + ".pri");
        writeFileBytes(path, priorsFileText(priors, paramCount));
        return path;
    }

    TempDir dir;
    int files = 0;
    std::string reportFile = dir.file("prior.pdp");
    std::string pictureFile = dir.file("prior.svg");
};

const PriorSpec gaussianLInfinity{"N", 120, 5, {}, {}};

// The windowed program: the prior editor on the bundled example's parameters, the profile of
// parameter 1 with 21 points, the plot window's curves 2 and 1 saved as a picture and the report
// saved from its window.
struct WindowedPriorProfile : testing::WindowedExample {
    void run(const std::string& picture, const std::string& report)
    {
        testing::initializeBundledExample(app, model, testing::examples);
        app.priors[1] = gaussianLInfinity;
        PriorEditor& editor = openPriorEditor(app, true);
        ui.onYield = [this] {
            if (auto* plot = app.desktop.find<DistributionPlotWindow>(distributionPlot::windowName))
                testing::saveDistributionPicture(*plot, ui, clock);
        };
        ui.answer(Answer::OK).answer(Answer::OK).type("1").type("21");
        ui.pickFile(picture);
        editor.menuChosen("mnuProfile");
        auto* window = app.desktop.find<ReportWindow>("frmPriorDists");
        ASSERT_NE(window, nullptr);
        ui.pickFile(report);
        ASSERT_TRUE(window->save(ui, clock, realFileSystem()));
    }
};

TEST_F(PriorProfileCommand, WritesTheReportAndPictureTheWindowsSave)
{
    WindowedPriorProfile windows;
    windows.run(pictureFile, reportFile);
    const std::string report = readFileBytes(reportFile);
    const std::string picture = readFileBytes(pictureFile);
    ASSERT_FALSE(picture.empty());
    std::filesystem::remove(reportFile);
    std::filesystem::remove(pictureFile);

    const BatchRun run =
        runBatchWith({"prior-profile", "--priors", priorsFile({{1, gaussianLInfinity}}), "--param", "1",
                      "--points", "21", "--out", reportFile, "--plot", pictureFile});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readFileBytes(reportFile), report);
    EXPECT_EQ(readFileBytes(pictureFile), picture);
    EXPECT_TRUE(report.starts_with(std::string(savedNameLine) + reportFile +
                                   "\r\n\r\nBayesian prior distribution data\r\n\r\n  Point       Value   "));
    EXPECT_NE(picture.find("EV Estimate:"), std::string::npos) << "curve 2's information";
    EXPECT_NE(picture.find("Y: Parameter Likelihood Profile"), std::string::npos) << "curve 1 drawn last";

    const auto printed = printedValues(run.out);
    EXPECT_EQ(printed.at("points"), "21");
    EXPECT_EQ(std::stod(printed.at("mode")), 120.0);
    EXPECT_NEAR(std::stod(printed.at("mean")), 120.0, 1e-9);
    EXPECT_NEAR(std::stod(printed.at("se")), 5.0, 0.05);
}

TEST_F(PriorProfileCommand, PointsDefaultToAHundredAndOneAndRoundAsTheDialogueDoes)
{
    const std::string priors = priorsFile({{4, PriorSpec{"S", 0, 0, {}, {}}}});
    for (const auto& [given, expected] : std::vector<std::pair<std::string, std::string>>{
             {"", "101"}, {"0", "101"}, {"4", "5"}, {"1", "3"}}) {
        std::vector<std::string> args{"prior-profile", "--priors", priors, "--param", "4",
                                      "--out",         reportFile};
        if (!given.empty())
            args.insert(args.end(), {"--points", given});
        const BatchRun run = runBatchWith(args);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(printedValues(run.out).at("points"), expected) << given;
    }
}

TEST_F(PriorProfileCommand, BadInputAndRefusedPriorsExitWithTwo)
{
    const std::string gaussian = priorsFile({{1, gaussianLInfinity}});
    struct Case {
        const char* name;
        std::vector<std::string> args;
        const char* error;
    };
    const std::vector<Case> cases = {
        {"a uniform-unbounded prior",
         {"--priors", gaussian, "--param", "2", "--out", reportFile},
         "There is nothing to plot when the prior distribution is uniform-unbounded"},
        {"a file of another parameter count",
         {"--priors", priorsFile({{1, gaussianLInfinity}}, 12), "--param", "1", "--out", reportFile},
         "has 12 parameters, but the model has 20"},
        {"a prior without a width",
         {"--priors", priorsFile({{1, PriorSpec{"N", 5, 0, {}, {}}}}), "--param", "1", "--out", reportFile},
         "its SD must not be 0"},
        {"1002 points",
         {"--priors", gaussian, "--param", "1", "--points", "1002", "--out", reportFile},
         "--points must be a whole number from 0 to 1001"},
        {"parameter 21",
         {"--priors", gaussian, "--param", "21", "--out", reportFile},
         "--param must be a whole number from 1 to 20"},
        {"no report file", {"--priors", gaussian, "--param", "1"}, "give the priors file"},
        {"a missing priors file",
         {"--priors", dir.file("none.pri"), "--param", "1", "--out", reportFile},
         "none.pri"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args{"prior-profile"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const BatchRun run = runBatchWith(args);
        EXPECT_EQ(run.status, 2) << c.name;
        EXPECT_NE(run.err.find(c.error), std::string::npos) << c.name << ": " << run.err;
        EXPECT_FALSE(std::filesystem::exists(reportFile)) << c.name;
    }
}

TEST_F(PriorProfileCommand, ProfileAndSummaryTakePriors)
{
    const std::string algorithmFile = dir.file("centre.alg");
    testing::writeExampleAlgorithm(algorithmFile, {{1, 2.5}});
    // L-infinity 120 of the example; a prior at 130 with SD 5 adds 0.5 x 2^2 = 2 to -ln[L] there.
    const std::string priors = priorsFile({{1, PriorSpec{"N", 130, 5, {}, {}}}});
    const std::vector<std::string> profile{"profile", "--freq",      lengths,   "--inc", tags,
                                           "--alg",   algorithmFile, "--param", "1",     "--points",
                                           "5",       "--constant",  "0.5"};
    const BatchRun plain = runBatchWith(profile);
    ASSERT_EQ(plain.status, 0) << plain.err;
    std::vector<std::string> withPriors = profile;
    withPriors.insert(withPriors.end(), {"--priors", priors});
    const BatchRun run = runBatchWith(withPriors);
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string tail = run.out.substr(run.out.find("\npoints "));
    EXPECT_EQ(printedValues(tail).at("prior_penalty"), "4") << "covScale 2 x 2";
    // The points' -ln[L] before the statistics make it relative: the mode moves towards 130.
    EXPECT_GE(std::stod(printedValues(tail).at("mode")),
              std::stod(printedValues(plain.out.substr(plain.out.find("\npoints "))).at("mode")));

    const BatchRun summary =
        runBatchWith({"summary", "--freq", lengths, "--inc", tags, "--alg", algorithmFile, "--priors", priors,
                      "--constant", "0.5", "--review"});
    ASSERT_EQ(summary.status, 0) << summary.err;
    // The summary tells that priors were used, as the window's does, and names their file.
    EXPECT_NE(summary.out.find("Important note: This analysis used Bayesian prior information\n"),
              std::string::npos);
    EXPECT_NE(summary.out.find("The Bayesian prior information file name is:\n" + priors + "\n"),
              std::string::npos);
    const std::string after = summary.out.substr(summary.out.find("\nprior_penalty ") + 1);
    EXPECT_TRUE(after.starts_with("prior_penalty 4\n")) << after;
    EXPECT_NE(after.find("Parameter   1 at  1.200E+02 has a prior -ln[L] of     4.00"), std::string::npos)
        << after;

    const BatchRun noConstant = runBatchWith(
        {"summary", "--freq", lengths, "--inc", tags, "--alg", algorithmFile, "--priors", priors});
    EXPECT_EQ(noConstant.status, 2);
    EXPECT_NE(noConstant.err.find("--priors needs the constant"), std::string::npos) << noConstant.err;
}

} // namespace
} // namespace orvanta
