// "Res&ults Summary" through the shell: the modal plot pages on the desktop, the summary window,
// the message panel and the clock-seeded chi-square tests.
#include "app/Application.h"

#include "app/MainMenu.h"
#include "model/TarnfieldModel.h"
#include "plots/DataPlotWindow.h"
#include "support/FakeClock.h"
#include "support/ScriptedUi.h"
#include "support/SmallModelData.h"
#include "text/TextFile.h"
#include "ui/ReportWindow.h"

#include <gtest/gtest.h>

#include <set>

namespace orvanta {
namespace {

class SummaryFlow : public ::testing::Test {
protected:
    SummaryFlow()
    {
        app.hooks.endProcess = [] {};
        app.setModel(&model);
        app.start();
        app.session.initializeAlready = true;
        app.session.algorithmFileName = "fit.alg";
        app.algorithm.paramCount = 20;
        resetAlgorithmData(app.algorithm);
        const double values[] = {0, 60, 5, 0.4, 0.05, 0, 0, 0,    0,    5,   0.8,
                                 0, 0,  0, 0,   0,    0, 0, -999, -999, -999};
        for (int i = 1; i <= 20; ++i)
            app.algorithm.paramValues[i] = values[i];
        app.algorithm.paramDescriptions = TarnfieldModel::parameterDescriptions();
        app.algorithm.paramSteps[1] = 1.0;

        ModelState& s = model.state();
        testing::addSixFrequencyCells(s.frequencies);
        s.increments.records.push_back({1, 20.0, 8.0, 100, 465});
        s.increments.records.push_back({1, 25.0, 7.0, 90, 400});
        s.increments.recordCount = 2;
        s.increments.highestSet = 1;
        s.increments.recordsPerSet[1] = 2;
        s.recordResults.assign(3, RecordResult{});
        s.analysisType = AnalysisType::Both;
        app.closeMainMenu();
        app.showMainMenu();
    }

    testing::ScriptedUi ui;
    testing::FakeClock clock;
    Application app{ui, clock, realFileSystem()};
    TarnfieldModel model{app.modelHost()};
};

TEST_F(SummaryFlow, PlotPagesAreModalWindowsThenTheSummaryWindowShowsTheReport)
{
    std::vector<std::string> pagesSeen;
    std::set<std::string> panelTexts;
    ui.onYield = [&] {
        panelTexts.insert(app.mainWindow.panelText(5, 1));
        if (auto* page = app.desktop.find<DataPlotWindow>("frmXYPlot")) {
            pagesSeen.push_back(page->control("lblGraphPage").caption);
            EXPECT_FALSE(app.mainWindow.findMenu("mnuApplication")->enabled);
            page->cmdNext_Page_Click();
        }
    };
    ui.answer(Answer::Yes)
        .type("3")
        .answer(Answer::Yes)
        .answer(Answer::Yes)
        .answer(Answer::No)
        .answer(Answer::Yes);
    ui.answer(Answer::OK);
    app.mainMenuButtonClicked(menuButton::userSummary);

    EXPECT_EQ(pagesSeen, (std::vector<std::string>{"Page:   1", "Page:   2"}));
    auto* summary = app.desktop.find<ReportWindow>("frmSummary");
    ASSERT_NE(summary, nullptr);
    EXPECT_EQ(summary->text(), app.session.reportText);
    EXPECT_NE(summary->text().find("Size frequency data:"), std::string::npos);
    EXPECT_NE(summary->text().find("Evaluation of truncated Gaussian error predictions:"), std::string::npos);
    EXPECT_TRUE(panelTexts.count("Chi-square: Calculating simulation # 3 of 3"));
    EXPECT_TRUE(panelTexts.count("Calculating error for increment 2 of 2"));
    EXPECT_EQ(app.mainWindow.panelText(5, 1), "");
    EXPECT_TRUE(app.mainWindow.findMenu("mnuApplication")->enabled);

    app.desktop.close("frmSummary");
    EXPECT_NE(app.mainMenu(), nullptr);
}

TEST_F(SummaryFlow, ChiSquareTestsAreSeededFromTheClock)
{
    const auto run = [this] {
        ui.answer(Answer::No)
            .type("10")
            .answer(Answer::No)
            .answer(Answer::Yes)
            .answer(Answer::No)
            .answer(Answer::No);
        ui.answer(Answer::OK);
        app.mainMenuButtonClicked(menuButton::userSummary);
        const std::string report = app.session.reportText;
        app.desktop.close("frmSummary");
        return report;
    };
    const std::string first = run();
    EXPECT_EQ(run(), first); // the clock stood still
    clock.advance(1.5);
    EXPECT_NE(run(), first);
}

TEST_F(SummaryFlow, QuittingWhileAPlotPageIsOpenEndsTheSummary)
{
    ui.onYield = [&] {
        if (app.desktop.isOpen("frmXYPlot") && !app.ended()) {
            ui.answer(Answer::Yes).answer(Answer::No);
            app.quit();
        }
    };
    ui.answer(Answer::Yes);
    app.mainMenuButtonClicked(menuButton::userSummary);
    EXPECT_TRUE(app.ended());
    EXPECT_FALSE(app.desktop.isOpen("frmXYPlot"));
    EXPECT_FALSE(app.desktop.isOpen("frmSummary"));
    // Plots question, then the two quit questions; nothing after.
    EXPECT_EQ(ui.shown().size(), 3u);
}

} // namespace
} // namespace orvanta
