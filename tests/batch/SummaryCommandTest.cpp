#include "BatchRun.h"

#include "app/Application.h"
#include "app/Tools.h"
#include "model/TarnfieldModel.h"
#include "support/ExampleSummary.h"
#include "support/FakeClock.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"
#include "text/TextFile.h"
#include "ui/ReportWindow.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace orvanta {
namespace {

using testing::BatchRun;
using testing::readFileBytes;
using testing::runBatchWith;
using testing::TempDir;

const std::string examples = ORVANTA_EXAMPLES_DIR;
const std::string lengths = examples + "/tarnfield-lengths.dat";
const std::string tags = examples + "/tarnfield-tags.dat";
const std::string algorithm = examples + "/tarnfield.alg";

BatchRun summary(std::vector<std::string> extra)
{
    std::vector<std::string> args{"summary", "--freq", lengths, "--inc", tags, "--alg", algorithm};
    args.insert(args.end(), extra.begin(), extra.end());
    return runBatchWith(args);
}

// The windowed program: initialize, load the algorithm file, "Res&ults Summary" with every
// table and test, then "Save summary as...".
struct WindowedSummary {
    testing::ScriptedUi ui;
    testing::FakeClock clock;
    Application app{ui, clock, realFileSystem()};
    TarnfieldModel model{app.modelHost()};
    std::uint64_t seed = 5;

    WindowedSummary()
    {
        installTools(app, model);
        app.start();
        app.hooks.chiSquareSeed = [this] { return seed++; };
    }

    void summarizeAndSave(const std::string& path)
    {
        testing::summarizeBundledExample(app, model, ui, examples, "30");
        auto* window = app.desktop.find<ReportWindow>("frmSummary");
        ASSERT_NE(window, nullptr);
        ui.pickFile(path);
        ASSERT_TRUE(window->save(ui, clock, realFileSystem()));
    }
};

TEST(SummaryCommand, WritesTheFileTheSummaryWindowSaves)
{
    TempDir dir;
    const std::string path = dir.file("fit.ovo");
    WindowedSummary windows;
    windows.summarizeAndSave(path);
    const std::string fromWindows = readFileBytes(path);
    std::filesystem::remove(path);

    const BatchRun run = summary({"--sims", "30", "--seed", "5", "--frequency-table", "--increment-table",
                                  "--chi-square", "--out", path});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(readFileBytes(path), fromWindows);
    EXPECT_EQ(fromWindows.rfind(std::string(savedNameLine) + path + "\r\n\r\n", 0), 0u);
    EXPECT_NE(fromWindows.find("Chi-square diagnostic for frequency data:"), std::string::npos);
    EXPECT_NE(fromWindows.find("Evaluation of truncated Gaussian error predictions:"), std::string::npos);
    EXPECT_NE(fromWindows.find("Increment data:"), std::string::npos);
    EXPECT_NE(fromWindows.find("Size frequency data:"), std::string::npos);
}

TEST(SummaryCommand, WithoutOutTheReportGoesToStandardOutput)
{
    const BatchRun run = summary({});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.rfind(TarnfieldModel::documentationText(), 0), 0u);
    EXPECT_EQ(run.out.find("Size frequency data:"), std::string::npos);
    EXPECT_EQ(run.out.find("Chi-square"), std::string::npos);
    EXPECT_NE(run.out.find("The OF minimum is: "), std::string::npos);
    EXPECT_NE(run.out.find("The algorithm data file name is:\n" + algorithm + "\n"), std::string::npos);
}

TEST(SummaryCommand, TheSeedFixesTheChiSquareTests)
{
    const std::vector<std::string> options = {"--sims", "20", "--chi-square"};
    auto withSeed = [&](const char* seed) {
        std::vector<std::string> args = options;
        args.insert(args.end(), {"--seed", seed});
        return summary(args);
    };
    const BatchRun first = withSeed("11");
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(withSeed("11").out, first.out);
    EXPECT_NE(withSeed("12").out, first.out);
}

TEST(SummaryCommand, PlotsAreWrittenPageByPageAsSvg)
{
    TempDir dir;
    const std::string folder = dir.file("plots");
    const BatchRun run = summary({"--plots", folder});
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<std::string> pages;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        pages.push_back(entry.path().filename().string());
    std::sort(pages.begin(), pages.end());
    ASSERT_GE(pages.size(), 2u);
    EXPECT_EQ(pages.front(), "page-01.svg");
    const std::string last = readFileBytes(folder + "/" + pages.back());
    EXPECT_EQ(last.rfind("<?xml", 0), 0u);
    EXPECT_NE(last.find("<circle"), std::string::npos);
    EXPECT_NE(last.find("stroke=\"#008000\""), std::string::npos); // the second series, in green
    EXPECT_NE(last.find("Y-Max ="), std::string::npos);
}

TEST(SummaryCommand, BadOptionsExitWithTwo)
{
    TempDir dir;
    const std::vector<std::vector<std::string>> cases = {
        {"--sims", "-3"}, {"--sims", "many"}, {"--seed", "-1"}, {"--out", algorithm}, {"--unknown"},
    };
    for (const auto& extra : cases) {
        const BatchRun run = summary(extra);
        EXPECT_EQ(run.status, 2) << extra.front();
        EXPECT_NE(run.err.find("orvanta-batch summary"), std::string::npos) << run.err;
    }
    EXPECT_EQ(runBatchWith({"summary", "--freq", lengths}).status, 2); // no --alg
}

TEST(SummaryCommand, ANonFiniteObjectiveExitsWithThree)
{
    TempDir dir;
    // Size-at-age selectivity with a zero SD divides by zero.
    std::string text = readFileBytes(algorithm);
    const std::string t0 = "-9.9900000E+02   0.0000000E+00  ~~  Value, step then link for t0";
    text.replace(text.find(t0), t0.size(),
                 " 5.0000000E-01   0.0000000E+00  ~~  Value, step then link for t0");
    const std::string sd =
        "-9.9900000E+02   0.0000000E+00  ~~  Value, step then link for SD of Gaussian selectivity "
        "for size-at-age";
    text.replace(
        text.find(sd), sd.size(),
        " 0.0000000E+00   0.0000000E+00  ~~  Value, step then link for SD of Gaussian selectivity for "
        "size-at-age");
    const std::string mean = "-9.9900000E+02   0.0000000E+00  ~~  Value, step then link for mean of Gaussian "
                             "selectivity for size-at-age";
    text.replace(
        text.find(mean), mean.size(),
        " 3.0000000E+01   0.0000000E+00  ~~  Value, step then link for mean of Gaussian selectivity for "
        "size-at-age");
    const std::string path = dir.file("bad.alg");
    ASSERT_TRUE(saveFileBytes(path, text));
    const BatchRun run = runBatchWith({"summary", "--inc", tags, "--alg", path, "--out", dir.file("x.ovo")});
    EXPECT_EQ(run.status, 3) << run.err;
    EXPECT_FALSE(std::filesystem::exists(dir.file("x.ovo")));
}

} // namespace
} // namespace orvanta
