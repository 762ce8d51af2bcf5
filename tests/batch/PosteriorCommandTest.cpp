// orvanta-batch posterior: the same report, pictures and grid file as the windows, the printed
// statistics, a prior moving the mean on simulated data, and its exit statuses.

#include "BatchRun.h"
#include "BundledExampleFiles.h"

#include "algorithm/AlgorithmEditor.h"
#include "app/MainMenu.h"
#include "plots/BivariatePlotWindow.h"
#include "plots/DistributionPlotWindow.h"
#include "priors/PriorSpec.h"
#include "priors/PriorsFile.h"
#include "support/TempDir.h"
#include "text/TextFile.h"
#include "ui/ReportWindow.h"
#include "uncertainty/EvaluationWindow.h"
#include "uncertainty/GridFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace orvanta {
namespace {

using testing::BatchRun;
using testing::lengths;
using testing::printedValues;
using testing::readFileBytes;
using testing::runBatchWith;
using testing::tags;
using testing::TempDir;

class PosteriorCommand : public ::testing::Test {
protected:
    void writeAlgorithm(const std::map<int, double>& steps, const std::map<int, double>& changes = {})
    {
        testing::writeExampleAlgorithm(algorithmFile, steps, changes);
    }

    BatchRun posterior(std::vector<std::string> extra)
    {
        std::vector<std::string> args{"posterior", "--freq", lengths, "--inc", tags, "--alg", algorithmFile};
        args.insert(args.end(), extra.begin(), extra.end());
        return runBatchWith(args);
    }

    TempDir dir;
    std::string algorithmFile = dir.file("centre.alg");
    std::string reportFile = dir.file("posterior.pos");
    std::string pictureFile = dir.file("posterior.svg");
    std::string gridFile = dir.file("pair.grd");
    std::string bivariateFile = dir.file("pair.svg");
};

// The windowed program: the posterior of L-infinity over k, 5 x 5 points, the distribution plot's
// curves 2 and 1 saved, the bivariate plot viewed and saved, the grid file and the report saved.
struct WindowedPosterior : testing::WindowedExample {
    void run(const std::string& algorithmFile, const std::string& picture, const std::string& bivariate,
             const std::string& grid, const std::string& report)
    {
        loadExample(algorithmFile);
        const auto noPng = [](const PlotPicture&) { return std::string(); };
        ui.onYield = [&, this] {
            if (auto* editor = app.desktop.find<AlgorithmEditor>(AlgorithmEditor::windowName))
                editor->cmdFinish_Click();
            if (auto* plot = app.desktop.find<DistributionPlotWindow>(distributionPlot::windowName)) {
                plot->cmdClear_Click();
                for (int curve : {2, 1}) {
                    plot->listClicked("listVar", curve - 1);
                    plot->cmdPlot_Click();
                }
                savePlotPicture(*plot, ui, clock, realFileSystem(), noPng);
                plot->cmdDone_Click();
            }
            if (auto* pair = app.desktop.find<BivariatePlotWindow>(bivariatePlot::windowName)) {
                savePlotPicture(*pair, ui, clock, realFileSystem(), noPng);
                pair->cmdDone_Click();
            }
        };
        ui.answer(Answer::OK).answer(Answer::Yes).type("0.5").type("1").type("5").type("5");
        ui.answer(Answer::OK).pickFile(picture);
        ui.answer(Answer::Yes).pickFile(bivariate).pickFile(grid);
        ui.answer(Answer::OK);
        app.mainMenuButtonClicked(menuButton::parEstimate);
        app.desktop.find<EvaluationWindow>(EvaluationWindow::windowName)->cmdBP_Click();

        auto* window = app.desktop.find<ReportWindow>("frmBayesian");
        ASSERT_NE(window, nullptr);
        ui.pickFile(report);
        ASSERT_TRUE(window->save(ui, clock, realFileSystem()));
    }
};

TEST_F(PosteriorCommand, WritesTheReportPicturesAndGridFileTheWindowsSave)
{
    writeAlgorithm({{1, 2.5}, {3, 0.01}});
    WindowedPosterior windows;
    windows.run(algorithmFile, pictureFile, bivariateFile, gridFile, reportFile);
    std::map<std::string, std::string> saved;
    for (const std::string& file : {reportFile, pictureFile, bivariateFile, gridFile}) {
        saved[file] = readFileBytes(file);
        ASSERT_FALSE(saved[file].empty()) << file;
        std::filesystem::remove(file);
    }

    const BatchRun run =
        posterior({"--param", "1", "--points", "5", "--grid-points", "5", "--constant", "0.5", "--out",
                   reportFile, "--plot", pictureFile, "--bivariate-plot", bivariateFile, "--grd", gridFile});
    ASSERT_EQ(run.status, 0) << run.err;
    for (const auto& [file, bytes] : saved)
        EXPECT_EQ(readFileBytes(file), bytes) << file;
    EXPECT_TRUE(saved[reportFile].starts_with(std::string(savedNameLine) + reportFile +
                                              "\r\n\r\nBayesian posterior distribution data\r\n"));
    EXPECT_TRUE(saved[gridFile].starts_with("Bivariate plot data for parameters 1 and 3 \r\n"));
    EXPECT_EQ(std::count(saved[gridFile].begin(), saved[gridFile].end(), '\n'), 2 + 25);

    const auto printed = printedValues(run.out);
    EXPECT_EQ(printed.at("points"), "5");
    EXPECT_EQ(printed.at("grid_parameters"), "1");
    EXPECT_EQ(printed.at("calls"), "25");
    const double mean = std::stod(printed.at("mean"));
    EXPECT_GT(mean, 110.0);
    EXPECT_LT(mean, 130.0);
}

TEST_F(PosteriorCommand, APriorMovesTheMeanTowardsThePriorMean)
{
    // L-infinity alone over plus and minus 4 SE: the likelihood's posterior, then with a normal
    // prior of the same SE centred 2 SE higher: the mean moves half way, the SE shrinks by sqrt 2
    // (the likelihood is close to quadratic there).
    writeAlgorithm({{1, 0.5}});
    const BatchRun flat = posterior({"--param", "1", "--points", "101", "--constant", "0.5"});
    ASSERT_EQ(flat.status, 0) << flat.err;
    const auto without = printedValues(flat.out.substr(flat.out.find("\npoints ")));
    const double mean = std::stod(without.at("mean"));
    const double se = std::stod(without.at("se"));
    ASSERT_GT(se, 0.0);

    const std::string priorsFile = dir.file("linf.pri");
    std::vector<PriorSpec> priors(21, PriorSpec{});
    priors[1] = PriorSpec{"N", mean + 2 * se, se, {}, {}};
    testing::writeFileBytes(priorsFile, priorsFileText(priors, 20));
    const BatchRun withPrior =
        posterior({"--param", "1", "--points", "101", "--constant", "0.5", "--priors", priorsFile});
    ASSERT_EQ(withPrior.status, 0) << withPrior.err;
    const auto with = printedValues(withPrior.out.substr(withPrior.out.find("\npoints ")));
    EXPECT_NEAR(std::stod(with.at("mean")), mean + se, 0.1 * se);
    EXPECT_NEAR(std::stod(with.at("se")), se / std::sqrt(2.0), 0.05 * se);
}

TEST_F(PosteriorCommand, RefusedSetUpsExitWithTwo)
{
    struct Case {
        std::map<int, double> steps;
        std::vector<std::string> options;
        std::string said;
    };
    const std::vector<Case> cases = {
        {{{1, 2.5}, {2, 0.5}, {3, 0.01}, {4, 0.01}},
         {"--points", "25", "--grid-points", "25"},
         "exceeds the maximum"},
        {{{1, 0.0}, {3, 0.01}}, {}, "step size of zero"},
        {{{1, 2.5}, {2, 0.5}, {3, 0.01}},
         {"--points", "3", "--grid-points", "3", "--grd", "x.grd"},
         "exactly one grid parameter"},
        {{{1, 2.5}}, {"--points", "0"}, "--points must be a whole number from 1 to 1001"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.said);
        writeAlgorithm(c.steps);
        std::vector<std::string> options{"--param", "1", "--constant", "0.5"};
        options.insert(options.end(), c.options.begin(), c.options.end());
        for (std::string& option : options)
            if (option == "x.grd")
                option = gridFile;
        const BatchRun run = posterior(options);
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find(c.said), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(gridFile));
    }
}

TEST_F(PosteriorCommand, ACentreWithoutAFiniteObjectiveExitsWithThree)
{
    // Size-at-age selectivity with a zero SD cannot be evaluated.
    writeAlgorithm({{1, 5.0}, {3, 0.01}}, {{18, 0.5}, {19, 30.0}, {20, 0.0}});
    const BatchRun run =
        runBatchWith({"posterior", "--inc", tags, "--alg", algorithmFile, "--param", "1", "--points", "3",
                      "--grid-points", "3", "--constant", "0.5", "--out", reportFile});
    EXPECT_EQ(run.status, 3) << run.err;
    EXPECT_NE(run.err.find("no finite value at the starting parameter values (#1 = "), std::string::npos)
        << run.err;
    EXPECT_FALSE(std::filesystem::exists(reportFile));
}

} // namespace
} // namespace orvanta
