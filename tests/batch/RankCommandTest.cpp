// orvanta-batch rank on the bundled example: the same ranking, averages and .mms file as the
// ranking window, and the command's refusals.

#include "BatchRun.h"

#include "app/Application.h"
#include "app/Tools.h"
#include "batch/CommandLine.h"
#include "model/TarnfieldModel.h"
#include "ranking/RankingWindow.h"
#include "support/ExampleModels.h"
#include "support/FakeClock.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"
#include "support/TextLines.h"
#include "text/TextFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace orvanta {
namespace {

using testing::BatchRun;
using testing::linesOf;
using testing::readFileBytes;
using testing::runBatchWith;
using testing::TempDir;
using testing::writeExampleCovarianceFile;
using testing::writeExampleModel;

const std::string examples = ORVANTA_EXAMPLES_DIR;
const std::string lengths = examples + "/tarnfield-lengths.dat";
const std::string tags = examples + "/tarnfield-tags.dat";

// Three competing models of the bundled example near its true values: growth without the annual
// cycle in k, with it, and with cycles in k and L. Their covariance files come from the
// covariance command; the third's under a name of its own.
class RankCommand : public ::testing::Test {
protected:
    RankCommand()
    {
        writeExampleModel(examples, noCycle, {{{1, 2.0}, {3, 0.02}}, {{5, 0.0}, {6, 0.0}}});
        writeExampleModel(examples, cycleK, {{{1, 2.0}, {3, 0.02}, {5, 0.01}}, {}});
        writeExampleModel(examples, cyclesKL,
                          {{{1, 2.0}, {3, 0.02}, {5, 0.01}, {7, 0.1}}, {{7, 0.2}, {8, 100.0}}});
    }

    void writeCovariance(const std::string& algorithm, const std::string& path)
    {
        writeExampleCovarianceFile(examples, algorithm, path);
    }

    void writeAllCovariances()
    {
        writeCovariance(noCycle, dir.file("no-cycle.cov"));
        writeCovariance(cycleK, dir.file("cycle-k.cov"));
        writeCovariance(cyclesKL, thirdCovariance);
    }

    BatchRun rank(std::vector<std::string> extra)
    {
        std::vector<std::string> args{"rank", "--freq", lengths, "--inc", tags};
        args.insert(args.end(), extra.begin(), extra.end());
        return runBatchWith(args);
    }

    // The three models with the options that follow each --alg.
    std::vector<std::string> threeModels() const
    {
        return {"--alg",  noCycle, "--notes",      "growth without annual cycle", "--alg", cycleK, "--alg",
                cyclesKL, "--cov", thirdCovariance};
    }

    TempDir dir;
    std::string noCycle = dir.file("no-cycle.alg");
    std::string cycleK = dir.file("cycle-k.alg");
    std::string cyclesKL = dir.file("cycles-k-L.alg");
    std::string thirdCovariance = dir.file("third model.cov");
};

// The windowed program: initialize, load the first algorithm file, "&Multi-model statistics",
// then each further model loaded and entered in the ranking window.
struct WindowedRanking : testing::ScriptedProgram {
    WindowedRanking() { testing::initializeBundledExample(app, model, examples); }

    RankingWindow& open(const std::string& firstModel)
    {
        ui.answer(Answer::Yes).pickFile(firstModel);
        app.mainMenuButtonClicked("cmdLoadAlg");
        ui.type("0.5");
        app.mainMenuButtonClicked("cmdRank");
        return *findRankingWindow(app);
    }

    void add(RankingWindow& window, const std::string& algorithmFile)
    {
        ui.pickFile(algorithmFile);
        window.cmdLoadAlg_Click();
        window.cmdAICc_Click();
    }
};

TEST_F(RankCommand, RanksAveragesAndSavesAsTheRankingWindowDoes)
{
    writeAllCovariances();
    const std::string batchFile = dir.file("batch.mms");
    std::vector<std::string> args = threeModels();
    args.insert(args.end(), {"--constant", "0.5", "--average", "--out", batchFile});
    const BatchRun run = rank(args);
    ASSERT_EQ(run.status, 0) << run.err;

    WindowedRanking windowed;
    RankingWindow& window = windowed.open(noCycle);
    windowed.ui.type("growth without annual cycle");
    window.grdRank_DblClick(1, rankColumn::notes);
    windowed.add(window, cycleK);
    windowed.add(window, cyclesKL);
    windowed.ui.type(thirdCovariance);
    window.grdRank_DblClick(3, rankColumn::covarianceFile);
    window.cmdRank_Click();
    window.cmdAverage_Click();
    ASSERT_TRUE(window.averagingDone());
    const std::string windowFile = dir.file("window.mms");
    windowed.ui.pickFile(windowFile);
    ASSERT_TRUE(window.Save_Ranks());

    EXPECT_EQ(readFileBytes(batchFile), readFileBytes(windowFile));
    EXPECT_NE(readFileBytes(batchFile).find("growth without annual cycle"), std::string::npos);

    // The printed table is the window's list, to the last digit.
    const std::vector<std::string> printed = linesOf(run.out);
    ASSERT_EQ(printed.size(), 1u + 3u + 1u + modelParamCount);
    EXPECT_EQ(printed[0], "rank entry neg_log_l K AICc delta weight algorithm_file");
    for (std::size_t k = 0; k < 3; ++k) {
        const ModelEntry& e = window.entries()[k];
        EXPECT_EQ(printed[k + 1], std::to_string(k + 1) + " " + std::to_string(e.entryNumber) + " " +
                                      fullPrecision(e.negLogL) + " " + std::to_string(e.K) + " " +
                                      fullPrecision(*e.aicc) + " " + fullPrecision(*e.deltaAicc) + " " +
                                      fullPrecision(*e.aicWeight) + " " + e.algorithmFile);
    }
    EXPECT_EQ(printed[4], "param average se_grid1 se_grid2 se_grid3");
    EXPECT_EQ(printed[5].substr(0, 2), "1 ");
    // n = N + nInc of the bundled example (1500 animals, 150 records), as its summary counts it.
    EXPECT_EQ(window.entries()[0].n, 1650);
}

TEST_F(RankCommand, CHatRanksByQaicc)
{
    const std::string file = dir.file("q.mms");
    const BatchRun run =
        rank({"--alg", noCycle, "--alg", cycleK, "--constant", "0.5", "--c-hat", "2.5", "--out", file});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(linesOf(run.out)[0], "rank entry neg_log_l K QAICc delta weight algorithm_file");
    const std::vector<std::string> written = linesOf(readFileBytes(file));
    EXPECT_EQ(written[0], "     2 < Number of models ranked; C-hat for QAICc calculation: 2.500\r");
    EXPECT_TRUE(written[1].starts_with(" Model     -nln[L] #Prms       QAICc"));
}

TEST_F(RankCommand, AveragingWithAMissingCovarianceFileEndsWithStatusOne)
{
    writeCovariance(noCycle, dir.file("no-cycle.cov"));
    const BatchRun run = rank({"--alg", noCycle, "--alg", cycleK, "--constant", "0.5", "--average"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("Sorry, the covariance file is missing for at least one ranked model"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("cycle-k.alg: No covariance file found"), std::string::npos) << run.err;
    EXPECT_EQ(linesOf(run.out).size(), 3u) << "the ranking is printed, no averages";

    const BatchRun typed = rank(
        {"--alg", noCycle, "--alg", cycleK, "--cov", dir.file("none.cov"), "--constant", "0.5", "--average"});
    EXPECT_EQ(typed.status, 1);
    EXPECT_NE(typed.err.find("cycle-k.alg: No such file exists"), std::string::npos) << typed.err;
}

TEST_F(RankCommand, AnUnusableCovarianceFileIsBadInput)
{
    writeCovariance(noCycle, dir.file("no-cycle.cov"));
    testing::writeFileBytes(dir.file("cycle-k.cov"), "Originally saved with the file name: x\r\n");
    const BatchRun run = rank({"--alg", noCycle, "--alg", cycleK, "--constant", "0.5", "--average"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("it is cut short"), std::string::npos) << run.err;
}

TEST_F(RankCommand, AModelWhoseObjectiveIsNotFinite)
{
    // Size-at-age selectivity with a zero SD on tagging data has no finite likelihood.
    const std::string broken = dir.file("broken.alg");
    writeExampleModel(examples, broken, {{{1, 2.0}}, {{18, 0.5}, {19, 30.0}, {20, 0.0}}});
    const BatchRun run = rank({"--alg", noCycle, "--alg", broken, "--constant", "0.5"});
    EXPECT_EQ(run.status, 3) << run.err;
    EXPECT_NE(run.err.find("the objective of '" + broken + "' is not finite"), std::string::npos) << run.err;
    EXPECT_TRUE(run.out.empty());
}

TEST_F(RankCommand, BadInput)
{
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const std::vector<Case> cases = {
        {{"--alg", noCycle, "--constant", "0.5"}, "give at least two competing models"},
        {{"--cov", "a.cov", "--alg", noCycle, "--alg", cycleK, "--constant", "0.5"},
         "--cov belongs after the --alg FILE of its model"},
        {{"--alg", noCycle, "--notes", "a", "--notes", "b", "--alg", cycleK, "--constant", "0.5"},
         "--notes is given twice"},
        {{"--alg", noCycle, "--alg", cycleK}, "give the constant"},
        {{"--alg", noCycle, "--alg", cycleK, "--constant", "0"}, "--constant must be a number above 0"},
        {{"--alg", noCycle, "--alg", cycleK, "--constant", "0.5", "--c-hat", "0.9"},
         "--c-hat must be a number of 1 or more"},
        {{"--alg", noCycle, "--alg", cycleK, "--constant", "0.5", "--c-hat", "inf"},
         "--c-hat must be a number of 1 or more"},
        {{"--alg", noCycle, "--alg", cycleK, "--constant", "0.5", "--out", noCycle},
         "--out names the input file"},
        {{"--alg", noCycle, "--alg", cycleK, "--cov", dir.file("new.cov"), "--constant", "0.5", "--out",
          dir.file("new.cov")},
         "--out names the input file"},
        {{"--alg", noCycle, "--alg", dir.file("missing.alg"), "--constant", "0.5"}, "cannot be opened"},
        {{"--alg", noCycle, "--alg"}, "--alg needs a value"},
        {{"--alg", noCycle, "--alg", cycleK, "--constant", "0.5", "--bogus", "1"}, "--bogus"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        const BatchRun run = rank(c.args);
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_TRUE(run.out.empty());
    }
}

} // namespace
} // namespace orvanta
