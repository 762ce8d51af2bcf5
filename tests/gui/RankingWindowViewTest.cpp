// The Qt view of the ranking window on the bundled example: its controls, the grid in the
// engine's colours, double-clicks and buttons forwarded, and a picture of a ranked and averaged
// list.

#include "GuiFixture.h"
#include "ScreenshotFixture.h"

#include "algorithm/EditorGrid.h"
#include "app/MainMenu.h"
#include "gui/ClassicPalette.h"
#include "ranking/RankingWindow.h"
#include "support/ExampleModels.h"
#include "support/TempDir.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>

namespace orvanta::gui::testing {
namespace {

const std::string examples = ORVANTA_EXAMPLES_DIR;

// The bundled example's data initialized, and three competing models near its true values:
// without the annual cycle in k, with it, and with cycles in k and L.
template <typename Base> class RankingFixture : public Base {
protected:
    void initializeExample()
    {
        orvanta::testing::initializeBundledExample(this->app, this->session.model(), examples);
        orvanta::testing::writeExampleModel(examples, noCycle, {{{1, 2.0}, {3, 0.02}}, {{5, 0.0}, {6, 0.0}}});
        orvanta::testing::writeExampleModel(examples, cycleK, {{{1, 2.0}, {3, 0.02}, {5, 0.01}}, {}});
        orvanta::testing::writeExampleModel(
            examples, cyclesKL, {{{1, 2.0}, {3, 0.02}, {5, 0.01}, {7, 0.1}}, {{7, 0.2}, {8, 100.0}}});
    }

    RankingWindow& openWith(const std::vector<std::string>& models)
    {
        this->ui.answer(Answer::Yes).pickFile(models.front());
        this->app.mainMenuButtonClicked(menuButton::loadAlg);
        this->ui.type("0.5");
        this->template find<QPushButton>(menuButton::rank)->click();
        this->deleteClosedViews();
        RankingWindow& w = *findRankingWindow(this->app);
        for (std::size_t i = 1; i < models.size(); ++i) {
            this->ui.pickFile(models[i]);
            button(rankingControl::loadAlg)->click();
            button(rankingControl::aicc)->click();
        }
        return w;
    }

    QPushButton* button(const char* name) const
    {
        QWidget* view = this->subWindow(RankingWindow::windowName);
        return view ? view->findChild<QPushButton*>(QString::fromLatin1(name)) : nullptr;
    }
    QTableWidget* grid() const { return this->template find<QTableWidget>(rankingControl::grid); }

    void doubleClickCell(int row, int column) const
    {
        QTableWidgetItem* item = grid()->item(row - 1, column);
        grid()->scrollToItem(item);
        const QPoint centre = grid()->visualItemRect(item).center();
        // The view takes a double-click on the cell that was pressed first.
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {}, centre);
    }

    orvanta::testing::TempDir dir;
    std::string noCycle = dir.file("no-cycle.alg");
    std::string cycleK = dir.file("cycle-k.alg");
    std::string cyclesKL = dir.file("cycles-k-L.alg");
};

class RankingView : public RankingFixture<GuiTest> {
protected:
    RankingView() { initializeExample(); }
};

TEST_F(RankingView, ShowsTheWindowWithItsControlsAndTheGridInTheEnginesColours)
{
    RankingWindow& w = openWith({noCycle, cycleK});
    QWidget* frame = subWindow(RankingWindow::windowName);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->windowTitle(), "Model selection, ranking and averaging");
    for (const CommandButton& b : w.buttons()) {
        QPushButton* shown = button(b.name.c_str());
        ASSERT_NE(shown, nullptr) << b.name;
        EXPECT_EQ(shown->text().toStdString(), b.caption);
        EXPECT_EQ(shown->toolTip().toStdString(), b.toolTip);
        EXPECT_EQ(shown->isEnabled(), b.enabled) << b.name;
    }
    EXPECT_EQ(find<QLineEdit>(rankingControl::cHatBox)->text(), "C-hat: 1.000");
    EXPECT_EQ(find<QLabel>("lblDelete")->text(),
              "Double-click a selected model's 'Ramdom/Ranked' cell to delete that model");

    ASSERT_EQ(grid()->rowCount(), 2);
    EXPECT_EQ(grid()->horizontalHeaderItem(0)->text(), "Random");
    EXPECT_TRUE(grid()->horizontalHeaderItem(0)->font().bold());
    EXPECT_EQ(grid()->horizontalHeaderItem(3)->text(), "AICc");
    EXPECT_EQ(grid()->horizontalHeaderItem(3)->background().color(),
              classicPaletteColour(paletteColour::lightGrey));
    EXPECT_EQ(grid()->item(0, 0)->text(), "   1)    1");
    EXPECT_EQ(grid()->item(1, 6)->text(), "cycle-k.alg");
    EXPECT_EQ(grid()->item(0, 1)->foreground().color(), classicPaletteColour(paletteColour::lightRed));
    EXPECT_EQ(grid()->item(0, 1)->textAlignment(), static_cast<int>(Qt::AlignCenter));

    button(rankingControl::rank)->click();
    EXPECT_EQ(grid()->horizontalHeaderItem(0)->text(), "Ranked");
    EXPECT_EQ(grid()->item(0, 1)->foreground().color(), classicPaletteColour(paletteColour::green));
    EXPECT_TRUE(button(rankingControl::saveRank)->isEnabled());
}

TEST_F(RankingView, DoubleClicksReachTheEngineAndTheHeadingDoesNothing)
{
    RankingWindow& w = openWith({noCycle, cycleK});
    button(rankingControl::rank)->click();
    grid()->horizontalHeader()->sectionDoubleClicked(0);
    EXPECT_EQ(w.entries().size(), 2u);
    EXPECT_TRUE(w.listRanked());

    ui.type("first fit");
    doubleClickCell(1, rankColumn::notes);
    EXPECT_EQ(grid()->item(0, rankColumn::notes)->text(), "first fit");

    doubleClickCell(2, rankColumn::label);
    EXPECT_EQ(w.entries().size(), 1u);
    EXPECT_EQ(grid()->rowCount(), 1);
    EXPECT_EQ(grid()->horizontalHeaderItem(0)->text(), "Random");
}

TEST_F(RankingView, TheCloseBoxFinishesAndTheMainMenuReturns)
{
    openWith({noCycle, cycleK});
    subWindow(RankingWindow::windowName)->close();
    deleteClosedViews();
    EXPECT_EQ(subWindow(RankingWindow::windowName), nullptr);
    EXPECT_EQ(findRankingWindow(app), nullptr);
    EXPECT_NE(subWindow("frmMenu"), nullptr);
}

class RankingScreenshot : public RankingFixture<ScreenshotTest> {
protected:
    void prepareWindows() override { initializeExample(); }
};

TEST_F(RankingScreenshot, RankedAndAveraged)
{
    orvanta::testing::writeExampleCovarianceFile(examples, noCycle, dir.file("no-cycle.cov"));
    orvanta::testing::writeExampleCovarianceFile(examples, cycleK, dir.file("cycle-k.cov"));
    orvanta::testing::writeExampleCovarianceFile(examples, cyclesKL, dir.file("cycles-k-L.cov"));
    RankingWindow& w = openWith({noCycle, cycleK, cyclesKL});
    save(*subWindow(RankingWindow::windowName), "frmRank-random");
    ui.type("growth without annual cycle");
    doubleClickCell(1, rankColumn::notes);
    ui.type("annual cycle in k");
    doubleClickCell(2, rankColumn::notes);
    button(rankingControl::rank)->click();
    button(rankingControl::average)->click();
    ASSERT_TRUE(w.averagingDone());
    EXPECT_FALSE(find<QPlainTextEdit>(rankingControl::averageBox)->toPlainText().isEmpty());
    grid()->scrollToItem(grid()->item(0, 0));
    save(*subWindow(RankingWindow::windowName), "frmRank");
    save(mainWindow(), "frmMain-frmRank");
}

} // namespace
} // namespace orvanta::gui::testing
