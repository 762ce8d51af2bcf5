// The ranking window through the scripted user: opening, the criteria, ranking, C-hat, the
// double-clicks, averaging, saving and closing. The hand-made model reports no observation count
// unless a test says so, so that AICc is twice -ln[L], the objective itself under the constant 0.5.

#include "RankingSession.h"

#include "algorithm/AlgorithmEditor.h"
#include "algorithm/AlgorithmFile.h"
#include "priors/PriorTools.h"
#include "priors/PriorsFlow.h"
#include "support/FailingFileSystem.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

namespace orvanta {
namespace {

using testing::QuadraticFit;
using testing::Interaction;
using testing::writeCovarianceFileOfTool;

class Ranking : public testing::RankingSession {};

TEST_F(Ranking, OpeningEntersTheLoadedModelAfterAskingTheConstantWithTheWindowHidden)
{
    std::vector<bool> shownWhileAsking;
    ui.onYield = [this, &shownWhileAsking] {
        if (window())
            shownWhileAsking.push_back(window()->visible());
    };
    RankingWindow& w = open();
    EXPECT_EQ(shownWhileAsking, std::vector<bool>{false});
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].title, "Enter constant");
    EXPECT_EQ(app.session.covScale, 2.0);

    EXPECT_TRUE(w.visible());
    EXPECT_EQ(w.caption(), "Model selection, ranking and averaging");
    EXPECT_EQ(app.mainMenu(), nullptr);
    EXPECT_FALSE(applicationMenuEnabled());
    EXPECT_TRUE(app.session.rankingOpen);
    EXPECT_EQ(model.calls.size(), 1u);
    EXPECT_EQ(model.calls[0].nf, 1);

    ASSERT_EQ(w.entries().size(), 1u);
    const ModelEntry& e = w.entries()[0];
    EXPECT_EQ(e.entryNumber, 1);
    EXPECT_EQ(e.negLogL, 50.0);
    EXPECT_EQ(e.K, 2);
    EXPECT_EQ(e.aicc, 100.0) << "no observation count: AICc = 2 -ln[L] exactly";
    const std::vector<std::string> row = {"   1)    1",
                                          "5.0000E+01",
                                          "2",
                                          "1.0000E+02",
                                          "undefined",
                                          "undefined",
                                          "m1.alg",
                                          "No covariance file found",
                                          "No Priors loaded",
                                          ""};
    for (int column = 0; column < rankColumn::count; ++column)
        EXPECT_EQ(w.cell(1, column).text, row[static_cast<std::size_t>(column)]) << column;

    EXPECT_EQ(w.cell(0, 0).text, "Random");
    EXPECT_TRUE(w.cell(0, 0).bold);
    EXPECT_EQ(w.cell(0, 0).role, CellRole::Unranked);
    EXPECT_EQ(w.cell(1, 3).role, CellRole::Unranked);
    EXPECT_EQ(w.cell(0, 3).role, CellRole::Heading);
    EXPECT_EQ(w.cHatBox().text, "C-hat: 1.000");
    EXPECT_EQ(w.cHatBox().colour, paletteColour::green);
    EXPECT_FALSE(buttonEnabled(rankingControl::rank));
    EXPECT_FALSE(buttonEnabled(rankingControl::average));
    EXPECT_FALSE(buttonEnabled(rankingControl::saveRank));
    EXPECT_FALSE(w.label(rankingControl::averageLabel).enabled);
    EXPECT_EQ(w.focusRequest().control, rankingControl::loadAlg);
    EXPECT_EQ(app.mainWindow.panelText(statusBar::messages, 1), "");
}

TEST_F(Ranking, TheGridAndControlsAsDesigned)
{
    RankingWindow& w = open();
    const std::vector<std::string> headings = {"Random",
                                               "-ln[L]",
                                               "K",
                                               "AICc",
                                               "dAICc",
                                               "AIC Wt",
                                               "Algorithm file name",
                                               "Covariance file name",
                                               "Priors file name",
                                               "Notes:"};
    const std::vector<int> widths = {800, 1000, 400, 1000, 800, 800, 1600, 1600, 1600, 9700};
    for (int column = 0; column < rankColumn::count; ++column) {
        EXPECT_EQ(w.cell(0, column).text, headings[static_cast<std::size_t>(column)]);
        EXPECT_EQ(RankingWindow::columnWidth(column), widths[static_cast<std::size_t>(column)]);
    }
    EXPECT_EQ(w.cell(1, 1).alignment, CellAlignment::Centre);
    EXPECT_EQ(w.cell(1, 6).alignment, CellAlignment::Left);

    std::vector<std::string> captions;
    for (const CommandButton& b : w.buttons())
        captions.push_back(b.caption);
    EXPECT_EQ(captions, (std::vector<std::string>{"&Load Algorithm Data", "&Edit Algorithm Data",
                                                  "&Save Algorithm Data", "Set &Bayesian priors",
                                                  "Calculate model AICc", "Calculate QAICc",
                                                  "&Rank competing models", "&Average across models",
                                                  "&Save ranking and averaging results", "&Finish"}));
    EXPECT_EQ(w.button(rankingControl::rank).toolTip,
              "Ranks competing models in ascending order of their AICc values (Note: All AICc values must be "
              "positive)");
    EXPECT_EQ(w.label("lblDelete").text,
              "Double-click a selected model's 'Ramdom/Ranked' cell to delete that model");
    EXPECT_EQ(w.label(rankingControl::averageLabel).text, "Averaging results >");
}

TEST_F(Ranking, ThreeModelsRankWithTheirDifferencesAndWeights)
{
    RankingWindow& w = openWith({110.0, 100.0, 102.0});
    EXPECT_TRUE(buttonEnabled(rankingControl::rank));
    w.cmdRank_Click();
    EXPECT_EQ(entryNumbers(), (std::vector<int>{2, 3, 1}));
    EXPECT_EQ(cellText(0, 0), "Ranked");
    EXPECT_EQ(w.cell(1, 1).role, CellRole::RankedByAicc);
    EXPECT_EQ(cellText(1, 0), "   1)    2");
    EXPECT_EQ(cellText(3, 0), "   3)    1");
    EXPECT_EQ(cellText(1, 4), "0.00");
    EXPECT_EQ(cellText(2, 4), "2.00");
    EXPECT_EQ(cellText(3, 4), "10.00");
    EXPECT_EQ(cellText(1, 5), "0.727475");
    EXPECT_EQ(cellText(2, 5), "0.267623");
    EXPECT_EQ(cellText(3, 5), "0.004902");
    EXPECT_TRUE(buttonEnabled(rankingControl::saveRank));
    EXPECT_FALSE(buttonEnabled(rankingControl::average)) << "no covariance files";
    EXPECT_EQ(w.focusRequest().control, rankingControl::aicc);

    // A new model makes the ranking stale.
    w.cmdAICc_Click();
    EXPECT_EQ(cellText(0, 0), "Random");
    EXPECT_EQ(w.cell(1, 1).role, CellRole::Unranked);
    EXPECT_EQ(cellText(1, 4), "undefined");
    EXPECT_EQ(cellText(2, 5), "undefined");
    EXPECT_EQ(cellText(4, 0), "   4)    4");
    EXPECT_FALSE(buttonEnabled(rankingControl::saveRank));
}

TEST_F(Ranking, EqualCriteriaKeepTheirOrderWithEqualWeights)
{
    RankingWindow& w = openWith({104.0, 100.0, 100.0});
    w.cmdRank_Click();
    EXPECT_EQ(entryNumbers(), (std::vector<int>{2, 3, 1}));
    EXPECT_EQ(cellText(1, 4), "0.00");
    EXPECT_EQ(cellText(2, 4), "0.00");
    EXPECT_EQ(cellText(1, 5), cellText(2, 5));
}

TEST_F(Ranking, CHatSwitchesToQaiccAndBack)
{
    RankingWindow& w = openWith({100.0, 104.0});
    ui.type("2");
    w.cmdQAICc_Click();
    EXPECT_EQ(ui.shown().back().text,
              "Input a value for C-hat (1 or greater) to correct for unexplained overdispersion:");
    EXPECT_EQ(ui.shown().back().title, "Overdispersion correction");
    EXPECT_EQ(ui.shown().back().defaultText, "1");
    EXPECT_EQ(w.cHatBox().text, "C-hat: 2.000");
    EXPECT_EQ(w.cHatBox().colour, paletteColour::blue);
    EXPECT_EQ(cellText(0, 3), "QAICc");
    EXPECT_EQ(cellText(0, 4), "dQAICc");
    EXPECT_EQ(cellText(0, 5), "QAIC Wt");
    EXPECT_EQ(cellText(2, 3), "5.2000E+01") << "2 -ln[L] / C-hat = 104 / 2";

    w.cmdRank_Click();
    EXPECT_EQ(w.cell(1, 1).role, CellRole::RankedByQaicc);
    EXPECT_EQ(cellText(2, 4), "2.00");
    EXPECT_FALSE(w.entries()[1].deltaAicc.has_value());

    // A new model under C-hat 2 asks for C-hat again, with 2 proposed.
    ui.type("2");
    w.cmdAICc_Click();
    EXPECT_EQ(ui.shown().back().defaultText, "2");
    EXPECT_EQ(cellText(3, 3), "5.2000E+01");

    // 1 switches back, recomputing AICc; values below 1, infinite or without a number are asked again.
    ui.type("0.5").type("abc").type("1e999").type("1");
    w.cmdQAICc_Click();
    EXPECT_EQ(w.cHatBox().text, "C-hat: 1.000");
    EXPECT_EQ(w.cHatBox().colour, paletteColour::green);
    EXPECT_EQ(cellText(0, 3), "AICc");
    EXPECT_EQ(cellText(0, 4), "dAICc");
    EXPECT_EQ(cellText(0, 5), "AIC Wt");
    EXPECT_EQ(cellText(2, 3), "1.0400E+02");
    EXPECT_EQ(cellText(0, 0), "Random");
    EXPECT_EQ(cellText(1, 4), "undefined");

    // An empty answer (or Cancel) sets C-hat to 1.
    ui.type("2.5");
    w.cmdQAICc_Click();
    ui.type("");
    w.cmdQAICc_Click();
    EXPECT_EQ(w.cHat(), 1.0);
    EXPECT_EQ(cellText(0, 3), "AICc");
}

TEST_F(Ranking, TheObservationCountOfTheModelGivesTheParameterTerm)
{
    model.qaiccCount = 13;
    RankingWindow& w = open();
    // 100 + 2 K n / (n - K - 1) = 100 + 2 x 2 x 13 / 10
    EXPECT_DOUBLE_EQ(*w.entries()[0].aicc, 105.2);
    EXPECT_EQ(cellText(1, 3), "1.0520E+02");
}

TEST_F(Ranking, ModelsWithoutACriterionValueAreListedAndReportedNotRanked)
{
    model.qaiccCount = 13;
    RankingWindow& w = openWith({100.0, 90.0});
    // n - K - 1 = 0 for the third model, and the fourth has no finite objective.
    useModel("m3.alg", 80.0, {0.5, 0.1, 0.3});
    app.algorithm.paramCount = 3;
    model.qaiccCount = 4;
    w.cmdAICc_Click();
    model.qaiccCount = 13;
    useModel("m4.alg", std::nan(""));
    model.failure = "the logarithm of a negative number";
    w.cmdAICc_Click();
    EXPECT_EQ(cellText(3, 3), "undefined");
    EXPECT_EQ(cellText(4, 1), "NaN");

    ui.answer(Answer::OK);
    w.cmdRank_Click();
    EXPECT_EQ(entryNumbers(), (std::vector<int>{2, 1, 3, 4}));
    const Interaction& message = ui.shown().back();
    EXPECT_EQ(message.title, "Models not ranked");
    EXPECT_EQ(message.icon, Icon::Exclamation);
    EXPECT_EQ(
        message.text,
        "These models cannot be ranked by AICc: they are listed last, without a difference or weight.\n"
        "\nModel 3 (entry 3, m3.alg): its AICc has no value, since n - K - 1 = 0 (n = 4 observations, K = "
        "3 parameters)"
        "\nModel 4 (entry 4, m4.alg): its objective is not finite (the logarithm of a negative number)"
        "\n\nTo average the other models, delete these (double-click their first cell) and rank again.");
    EXPECT_EQ(cellText(1, 4), "0.00");
    EXPECT_EQ(cellText(3, 4), "undefined");
    EXPECT_EQ(cellText(4, 5), "undefined");
    EXPECT_DOUBLE_EQ(*w.entries()[0].aicWeight + *w.entries()[1].aicWeight, 1.0);
    EXPECT_TRUE(buttonEnabled(rankingControl::saveRank));
    EXPECT_FALSE(buttonEnabled(rankingControl::average));
}

TEST_F(Ranking, DeletingTheOnlyModelLeavesTwoGridRows)
{
    RankingWindow& w = open();
    EXPECT_EQ(w.rowCount(), 2);
    w.grdRank_DblClick(1, rankColumn::label);
    EXPECT_TRUE(w.entries().empty());
    EXPECT_EQ(w.rowCount(), 2);
    EXPECT_EQ(cellText(1, 0), "");
    EXPECT_EQ(cellText(0, 0), "Random");
    EXPECT_FALSE(buttonEnabled(rankingControl::rank));
}

TEST_F(Ranking, DeletingAModelMovesTheOthersUpAndMakesTheRankingStale)
{
    RankingWindow& w = openWith({100.0, 102.0, 104.0});
    w.cmdRank_Click();
    w.grdRank_DblClick(2, rankColumn::label);
    EXPECT_EQ(entryNumbers(), (std::vector<int>{1, 3}));
    EXPECT_EQ(cellText(2, 0), "   2)    3");
    EXPECT_EQ(cellText(0, 0), "Random");
    EXPECT_EQ(cellText(1, 5), "undefined");
    EXPECT_TRUE(buttonEnabled(rankingControl::rank));
    EXPECT_FALSE(buttonEnabled(rankingControl::saveRank));
}

TEST_F(Ranking, TheHundredthModelIsRefused)
{
    RankingWindow& w = open();
    for (int i = 2; i <= 99; ++i)
        w.cmdAICc_Click();
    ASSERT_EQ(w.entries().size(), 99u);
    EXPECT_EQ(cellText(99, 0), " 99)  99");
    ui.answer(Answer::OK);
    w.cmdAICc_Click();
    EXPECT_EQ(w.entries().size(), 99u);
    const Interaction& message = ui.shown().back();
    EXPECT_EQ(message.text, "Sorry, no more than 99 models can be ranked");
    EXPECT_EQ(message.title, "Model limit reached");
    EXPECT_EQ(message.buttons, Buttons::OK);
    EXPECT_EQ(message.icon, Icon::None);
    EXPECT_EQ(model.calls.size(), 99u) << "the 100th is not evaluated";
}

TEST_F(Ranking, ADoubleClickOnTheHeadingDoesNothing)
{
    RankingWindow& w = openWith({100.0, 102.0});
    w.cmdRank_Click();
    const std::size_t shown = ui.shown().size();
    for (int column = 0; column < rankColumn::count; ++column)
        w.grdRank_DblClick(0, column);
    EXPECT_EQ(ui.shown().size(), shown);
    EXPECT_EQ(cellText(0, 0), "Ranked");
    EXPECT_EQ(w.entries().size(), 2u);
    EXPECT_TRUE(buttonEnabled(rankingControl::saveRank));
}

TEST_F(Ranking, NotesAndOtherCellsOfAModelRow)
{
    RankingWindow& w = openWith({100.0, 102.0});
    w.cmdRank_Click();
    ui.type("with the annual cycle in k");
    w.grdRank_DblClick(1, rankColumn::notes);
    const Interaction& asked = ui.shown().back();
    EXPECT_EQ(asked.text, "Enter your annotations concerning the selected model");
    EXPECT_EQ(asked.title, "Model notes");
    EXPECT_EQ(asked.defaultText, "Add your notation here");
    EXPECT_EQ(cellText(1, 9), "with the annual cycle in k");
    EXPECT_EQ(w.entries()[0].notes, "with the annual cycle in k");
    EXPECT_FALSE(buttonEnabled(rankingControl::saveRank)) << "after any double-click on a model";
    EXPECT_TRUE(buttonEnabled(rankingControl::rank));

    // A cell without an action asks nothing; Cancel on the notes empties them.
    w.grdRank_DblClick(1, rankColumn::K);
    ui.type("");
    w.grdRank_DblClick(1, rankColumn::notes);
    EXPECT_EQ(cellText(1, 9), "");
}

TEST_F(Ranking, TheCovarianceFileIsLookedForInTheAlgorithmFilesFolderAndTypedNamesAsTyped)
{
    writeCovarianceFileOfTool(dir.file("m2.cov"), {});
    RankingWindow& w = openWith({100.0, 102.0});
    EXPECT_EQ(cellText(1, 7), "No covariance file found");
    EXPECT_EQ(cellText(2, 7), "m2.cov") << "found beside m2.alg, not in the working folder";
    EXPECT_EQ(w.entries()[1].covariancePath, dir.file("m2.cov"));

    ui.type(dir.file("elsewhere.cov"));
    w.grdRank_DblClick(1, rankColumn::covarianceFile);
    EXPECT_EQ(ui.shown().back().text, "Please input the desired covariance file name");
    EXPECT_EQ(ui.shown().back().title, "Choose an associated covariance file");
    EXPECT_EQ(ui.shown().back().defaultText, "No covariance file found");
    EXPECT_EQ(cellText(1, 7), "No such file exists");

    ui.type(dir.file("m2.cov"));
    w.grdRank_DblClick(1, rankColumn::covarianceFile);
    EXPECT_EQ(cellText(1, 7), dir.file("m2.cov"));
    EXPECT_EQ(w.entries()[0].covariancePath, dir.file("m2.cov"));

    // A folder is no file.
    ui.type(dir.path().string());
    w.grdRank_DblClick(2, rankColumn::covarianceFile);
    EXPECT_EQ(cellText(2, 7), "No such file exists");
}

TEST_F(Ranking, AnAlgorithmFileWithoutAFolderStillFillsItsRow)
{
    open();
    app.session.algorithmFileName = "plain.alg";
    app.session.priorsFileName = "/data/priors/growth.pri";
    window()->cmdAICc_Click();
    EXPECT_EQ(cellText(2, 6), "plain.alg");
    EXPECT_EQ(cellText(2, 7), "No covariance file found");
    EXPECT_EQ(cellText(2, 8), "growth.pri");
    EXPECT_EQ(cellText(2, 1), "5.0000E+01");
}

// Models 1 and 2 with AICc 100 and 100 + 2 ln 3: weights 3/4 and 1/4.
class Averaging : public Ranking {
protected:
    RankingWindow& rankTwoModels(const QuadraticFit& first, const QuadraticFit& second)
    {
        writeCovarianceFileOfTool(dir.file("m1.cov"), first);
        writeCovarianceFileOfTool(dir.file("m2.cov"), second);
        RankingWindow& w = openWith({100.0, 100.0 + 2.0 * std::log(3.0)});
        w.cmdRank_Click();
        return w;
    }

    static QuadraticFit quadraticFit(double estimate, double se)
    {
        QuadraticFit s;
        s.values = {estimate, 1.0, 5.0};
        s.standardErrors = {se, 0.5, 0.0};
        return s;
    }
};

TEST_F(Averaging, EstimatesAndErrorsOfFilesWrittenByTheCovarianceTool)
{
    RankingWindow& w = rankTwoModels(quadraticFit(10.0, 2.0), quadraticFit(14.0, 4.0));
    ASSERT_TRUE(buttonEnabled(rankingControl::average));
    EXPECT_NEAR(*w.entries()[0].aicWeight, 0.75, 1e-15);
    w.cmdAverage_Click();
    ASSERT_TRUE(w.averagingDone());
    const ModelAverages& a = w.averages();
    EXPECT_NEAR(a.average[1], 11.0, 1e-12);
    EXPECT_NEAR(a.average[2], 1.0, 1e-12);
    EXPECT_EQ(a.average[3], 5.0) << "a fixed parameter's value is averaged too";
    // 0.75 sqrt(4 + 1) + 0.25 sqrt(16 + 9) on every grid: the files hold 8 significant digits.
    for (int g = 1; g <= gridCount; ++g) {
        EXPECT_NEAR(a.standardError[static_cast<std::size_t>(g)][1], 0.75 * std::sqrt(5.0) + 1.25, 1e-6);
        EXPECT_NEAR(a.standardError[static_cast<std::size_t>(g)][2], 0.5, 1e-7);
        EXPECT_EQ(a.standardError[static_cast<std::size_t>(g)][3], 0.0);
    }
    EXPECT_EQ(w.averageText(), averagingText(a));
    EXPECT_NE(
        w.averageText().find("          1       1.1000E+01      2.9271E+00      2.9271E+00      2.9271E+00"),
        std::string::npos)
        << w.averageText();
    EXPECT_TRUE(w.label(rankingControl::averageLabel).enabled);
    EXPECT_EQ(w.focusRequest().control, rankingControl::aicc);

    // Any other action clears the results.
    ui.type("note");
    w.grdRank_DblClick(1, rankColumn::notes);
    EXPECT_FALSE(w.averagingDone());
    EXPECT_EQ(w.averageText(), "");
    EXPECT_FALSE(w.label(rankingControl::averageLabel).enabled);
}

TEST_F(Averaging, AGridThatOneModelDidNotCalculateIsMinusOneForEveryParameter)
{
    QuadraticFit failing = quadraticFit(14.0, 4.0);
    failing.grid3Fails = true;
    RankingWindow& w = rankTwoModels(quadraticFit(10.0, 2.0), failing);
    w.cmdAverage_Click();
    ASSERT_TRUE(w.averagingDone());
    for (int p = 1; p <= 3; ++p)
        EXPECT_EQ(w.averages().standardError[3][static_cast<std::size_t>(p)], -1.0);
    EXPECT_NEAR(w.averages().standardError[2][1], 0.75 * std::sqrt(5.0) + 1.25, 1e-6);
}

TEST_F(Averaging, AFileGoneOrCutShortIsToldWithoutAveragedNumbers)
{
    RankingWindow& w = rankTwoModels(quadraticFit(10.0, 2.0), quadraticFit(14.0, 4.0));
    std::filesystem::remove(dir.file("m2.cov"));
    ui.answer(Answer::OK);
    w.cmdAverage_Click();
    EXPECT_FALSE(w.averagingDone());
    EXPECT_EQ(w.averageText(), "");
    const Interaction& gone = ui.shown().back();
    EXPECT_EQ(gone.title, "Can't average models");
    EXPECT_EQ(gone.icon, Icon::Exclamation);
    EXPECT_EQ(gone.text, "Model 2 (entry 2, m2.alg): no averages were calculated.\n\nThe covariance file '" +
                             dir.file("m2.cov") + "' cannot be used: it cannot be opened.");

    // Cut after the heading of the standard errors.
    const std::string text = testing::readFileBytes(dir.file("m1.cov"));
    const std::size_t heading = text.find("Standard errors of the estimates");
    testing::writeFileBytes(dir.file("m2.cov"), text.substr(0, text.find('\n', heading) + 1));
    ui.answer(Answer::OK);
    w.cmdAverage_Click();
    EXPECT_FALSE(w.averagingDone());
    EXPECT_NE(ui.shown().back().text.find("it is cut short"), std::string::npos) << ui.shown().back().text;

    // Put back, the file averages again.
    writeCovarianceFileOfTool(dir.file("m2.cov"), quadraticFit(14.0, 4.0));
    w.cmdAverage_Click();
    EXPECT_TRUE(w.averagingDone());
}

TEST_F(Averaging, AModelWithoutACovarianceFileKeepsAveragingDisabled)
{
    writeCovarianceFileOfTool(dir.file("m1.cov"), quadraticFit(10.0, 2.0));
    RankingWindow& w = openWith({100.0, 101.0});
    w.cmdRank_Click();
    EXPECT_FALSE(buttonEnabled(rankingControl::average));
    w.cmdAverage_Click();
    EXPECT_FALSE(w.averagingDone());
}

TEST_F(Averaging, TheRankingFileHoldsTheAveragingResults)
{
    RankingWindow& w = rankTwoModels(quadraticFit(10.0, 2.0), quadraticFit(14.0, 4.0));
    w.cmdAverage_Click();
    const std::string path = dir.file("ranks.mms");
    ui.pickFile(path);
    EXPECT_TRUE(w.Save_Ranks());
    const std::string written = testing::readFileBytes(path);
    EXPECT_EQ(written, withCrLf(w.rankingFileText()));
    EXPECT_NE(written.find("\r\n\r\nParameter estimates and their SEs"), std::string::npos);
    EXPECT_TRUE(written.ends_with("\r\n\r\n"));
}

TEST_F(Ranking, SaveRanksAsksForAFileAndWritesTheList)
{
    clock.set({2024, 2, 1, 9, 5, 0});
    RankingWindow& w = openWith({100.0, 102.0, 110.0});
    w.cmdRank_Click();
    const std::string path = dir.file("ranks.mms");
    ui.pickFile(path);
    w.cmdSaveRank_Click();
    const FileDialogRequest& dialog = ui.shown().back().file;
    EXPECT_EQ(dialog.mode, FileDialogMode::Save);
    EXPECT_EQ(dialog.title, "Save model ranking results in...");
    EXPECT_EQ(dialog.filter, "All files (*.*)|*.*|Multi-model statistics files (*.mms)|*.mms");
    EXPECT_EQ(dialog.filterIndex, 2);
    EXPECT_EQ(dialog.defaultName, "02010905.mms");
    const std::string written = testing::readFileBytes(path);
    EXPECT_TRUE(written.starts_with("     3 < Number of models ranked\r\n Model     -nln[L]"));
    EXPECT_NE(written.find("\r\n     3  5.5000E+01     2  1.1000E+02  1.0000E+01     0.00490  "),
              std::string::npos)
        << written;

    ui.cancelFile();
    w.cmdSaveRank_Click();
    EXPECT_EQ(testing::readFileBytes(path), written);
}

TEST_F(Ranking, AFailedSaveLeavesThePreviousFile)
{
    RankingWindow& w = openWith({100.0, 102.0});
    w.cmdRank_Click();
    const std::string path = dir.file("ranks.mms");
    testing::writeFileBytes(path, "previous");
    testing::FailingFileSystem failing;
    files.target = &failing;
    ui.pickFile(path).answer(Answer::OK);
    EXPECT_FALSE(w.Save_Ranks());
    EXPECT_EQ(testing::readFileBytes(path), "previous");
    EXPECT_EQ(ui.shown().back().title, "File not saved");
}

TEST_F(Ranking, ClosingARankedListOffersToSaveWithNoAsTheDefault)
{
    RankingWindow& w = openWith({100.0, 102.0});
    w.cmdRank_Click();
    const std::string path = dir.file("closing.mms");
    ui.answer(Answer::Yes).pickFile(path);
    w.cmdFinish_Click();
    const Interaction& question = ui.shown()[ui.shown().size() - 2];
    EXPECT_EQ(question.text, "Do you want to save ranking results?");
    EXPECT_EQ(question.title, "What about ranking results!");
    EXPECT_EQ(question.buttons, Buttons::YesNo);
    EXPECT_EQ(question.icon, Icon::Question);
    EXPECT_EQ(question.defaultButton, DefaultButton::Second);
    EXPECT_FALSE(testing::readFileBytes(path).empty());
    EXPECT_EQ(window(), nullptr);
    EXPECT_FALSE(app.session.rankingOpen);
    EXPECT_NE(app.mainMenu(), nullptr);
    EXPECT_TRUE(applicationMenuEnabled());
}

TEST_F(Ranking, ClosingAnUnrankedListAsksNothing)
{
    openWith({100.0, 102.0});
    const std::size_t shown = ui.shown().size();
    window()->closeRequested();
    EXPECT_EQ(ui.shown().size(), shown);
    EXPECT_EQ(window(), nullptr);
    EXPECT_NE(app.mainMenu(), nullptr);
}

TEST_F(Ranking, EditingReturnsToTheWindowWithTheOptionPanelLocked)
{
    RankingWindow& w = openWith({100.0, 102.0});
    w.cmdRank_Click();
    w.cmdEditAlg_Click();
    EXPECT_FALSE(w.visible());
    auto* editor = app.desktop.find<AlgorithmEditor>(AlgorithmEditor::windowName);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(app.session.editorOpenedFrom, EditorOpener::Ranking);
    for (int lock = 1; lock <= 9; ++lock)
        EXPECT_EQ(app.session.editorLocks[static_cast<std::size_t>(lock)], lock >= 4) << lock;
    ui.answer(Answer::OK);
    editor->cmdFinish_Click();
    EXPECT_TRUE(w.visible());
    EXPECT_EQ(w.focusRequest().control, rankingControl::aicc);
    EXPECT_EQ(w.entries().size(), 2u) << "a changed model enters the list only through AICc";
    EXPECT_EQ(cellText(0, 0), "Ranked");
}

TEST_F(Ranking, PriorsReturnToTheWindow)
{
    installPriors(app);
    RankingWindow& w = open();
    w.cmdBayesian_Click();
    EXPECT_FALSE(w.visible());
    EXPECT_TRUE(app.session.priorsFromRanking);
    ASSERT_TRUE(app.desktop.isOpen(LoadPriorsWindow::windowName));
    loadPriorsButtonClicked(app, loadPriorsButton::cancel);
    EXPECT_TRUE(w.visible());
    EXPECT_FALSE(app.session.priorsFromRanking);
    EXPECT_EQ(w.focusRequest().control, rankingControl::aicc);
    EXPECT_EQ(app.mainMenu(), nullptr);
}

TEST_F(Ranking, APriorPenaltyIsTakenAtTheScaleOfTheConstant)
{
    // The penalty is covScale times the priors' -ln[L] (here 3): the first model is evaluated
    // again once the constant has set covScale.
    app.session.priorsActive = true;
    app.priorHooks.penalty = [this](const std::vector<double>&) { return app.session.covScale * 3.0; };
    RankingWindow& w = open();
    EXPECT_EQ(model.calls.size(), 2u);
    EXPECT_EQ(w.entries()[0].negLogL, 50.0 + 3.0);
    w.cmdAICc_Click();
    EXPECT_EQ(model.calls.size(), 3u);
    EXPECT_EQ(w.entries()[1].negLogL, 53.0);
}

TEST_F(Ranking, LoadingAnAlgorithmFileChangesNoModelOfTheList)
{
    RankingWindow& w = open();
    AlgorithmData other = app.algorithm;
    other.paramValues[1] = 12.5;
    const std::string path = dir.file("other.alg");
    ASSERT_TRUE(writeAlgorithmFile(path, other));
    app.session.simplexBuilt = true;
    ui.pickFile(path);
    w.cmdLoadAlg_Click();
    const FileDialogRequest& dialog = ui.shown().back().file;
    EXPECT_EQ(dialog.title, "Open algorithm data file");
    EXPECT_EQ(dialog.filter, "All files (*.*)|*.*|Algorithm files (*.alg)|*.alg");
    EXPECT_EQ(dialog.defaultName, dir.file("m1.alg"));
    EXPECT_EQ(app.session.algorithmFileName, path);
    EXPECT_EQ(app.algorithm.paramValues[1], 12.5);
    EXPECT_FALSE(app.session.simplexBuilt);
    EXPECT_EQ(app.mainWindow.panelText(statusBar::algorithm, 1), "Algorithm file: other");
    EXPECT_EQ(w.entries().size(), 1u);
    EXPECT_EQ(w.focusRequest().control, rankingControl::aicc);

    w.cmdAICc_Click();
    EXPECT_EQ(cellText(2, 6), "other.alg");
}

TEST_F(Ranking, AFileForAnotherModelIsRefusedAndTheDataStay)
{
    RankingWindow& w = open();
    const std::string path = dir.file("wrong.alg");
    testing::writeFileBytes(path, "             5  Number of parameters\r\n");
    ui.pickFile(path).answer(Answer::OK);
    w.cmdLoadAlg_Click();
    EXPECT_EQ(ui.shown().back().title, "Algorithm file - information input failed");
    EXPECT_EQ(app.session.algorithmFileName, dir.file("m1.alg"));
    EXPECT_TRUE(buttonEnabled(rankingControl::aicc));
}

TEST_F(Ranking, AFileRefusedHalfWayLeavesNoAlgorithmDataToEnter)
{
    RankingWindow& w = open();
    // The second parameter line holds no number: the first was stored before the refusal.
    AlgorithmData data = app.algorithm;
    const std::string good = dir.file("good.alg");
    ASSERT_TRUE(writeAlgorithmFile(good, data));
    std::string text = testing::readFileBytes(good);
    const std::size_t second = text.find("\r\n", text.find("\r\n") + 2) + 2;
    text.replace(second, 14, "   not a value");
    const std::string broken = dir.file("broken.alg");
    testing::writeFileBytes(broken, text);
    ui.pickFile(broken).answer(Answer::OK);
    w.cmdLoadAlg_Click();
    EXPECT_EQ(app.session.algorithmFileName, "");
    EXPECT_FALSE(buttonEnabled(rankingControl::aicc));
    EXPECT_FALSE(buttonEnabled(rankingControl::editAlg));
    EXPECT_FALSE(buttonEnabled(rankingControl::saveAlg));
    w.cmdAICc_Click();
    EXPECT_EQ(w.entries().size(), 1u);

    ui.pickFile(good);
    w.cmdLoadAlg_Click();
    EXPECT_TRUE(buttonEnabled(rankingControl::aicc));
    w.cmdAICc_Click();
    EXPECT_EQ(cellText(2, 6), "good.alg");
}

TEST_F(Ranking, SavingTheAlgorithmDataFromTheWindow)
{
    RankingWindow& w = open();
    const std::string path = dir.file("saved.alg");
    ui.pickFile(path);
    w.cmdSaveAlg_Click();
    const FileDialogRequest& dialog = ui.shown().back().file;
    EXPECT_EQ(dialog.title, "Save algorithm data in...");
    EXPECT_EQ(dialog.filterIndex, 2);
    EXPECT_EQ(dialog.filter,
              "All files (*.*)|*.*|Algorithm files (*.alg)|*.alg|Named for data file (lengths.*)|lengths.*");
    EXPECT_NE(testing::readFileBytes(path).find("  Value, step then link for: parameter 1"),
              std::string::npos);
    EXPECT_EQ(app.mainWindow.panelText(statusBar::algorithm, 1), "Algorithm file: saved");
    EXPECT_EQ(w.focusRequest().control, rankingControl::aicc);
}

TEST_F(Ranking, NothingMoreIsShownOnceTheProgramHasEnded)
{
    // The user quits while the first model is evaluated.
    ui.answer(Answer::Yes).answer(Answer::No);
    model.duringCall = [this] {
        if (!app.ended())
            app.quit();
    };
    app.mainMenuButtonClicked(menuButton::rank);
    ASSERT_TRUE(app.ended());
    EXPECT_EQ(ui.shown().size(), 2u) << "no constant is asked";
    ASSERT_NE(window(), nullptr);
    EXPECT_TRUE(window()->entries().empty());
}

} // namespace
} // namespace orvanta
