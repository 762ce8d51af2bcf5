#include "GuiFixture.h"

#include "algorithm/AlgorithmData.h"
#include "app/MainMenu.h"
#include "gui/ClassicPalette.h"
#include "gui/Twips.h"
#include "model/TarnfieldModel.h"
#include "priors/PriorEditor.h"
#include "priors/PriorsFlow.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

namespace orvanta::gui::testing {
namespace {

class PriorsViews : public GuiTest {
protected:
    PriorsViews()
    {
        app.session.initializeAlready = true;
        app.session.algorithmFileName = "x.alg";
        app.algorithm.paramCount = 20;
        resetAlgorithmData(app.algorithm);
        app.algorithm.paramDescriptions = TarnfieldModel::parameterDescriptions();
        app.priors.assign(21, PriorSpec{});
        app.priors[1].typeCode = "N";
        app.priors[1].firstTermMean = 100;
        app.priors[1].firstTermSD = 5;
        app.closeMainMenu();
        deleteClosedViews();
        app.showMainMenu();
    }

    void startFlow()
    {
        find<QPushButton>(menuButton::bayesian)->click();
        deleteClosedViews();
    }

    void openEditor()
    {
        startFlow();
        find<QPushButton>(loadPriorsButton::set)->click();
        deleteClosedViews();
    }

    PriorEditor* editor() const { return app.desktop.find<PriorEditor>(PriorEditor::windowName); }
    QTableWidget* grid() const { return find<QTableWidget>("grdSetPriors"); }

    void clickCell(int parameter, int column) const
    {
        const QPoint centre = grid()->visualItemRect(grid()->item(parameter - 1, column)).center();
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, centre);
    }
};

TEST_F(PriorsViews, LoadWindowShowsItsFourButtonsAndCancelReturns)
{
    startFlow();
    QMdiSubWindow* frame = subWindow("frmLoadPriors");
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->windowTitle(), "Load Bayesian priors");
    const TwipScale scale(*frame);
    EXPECT_EQ(frame->pos(), QPoint(scale.x(5800), scale.y(3000)));
    const auto buttons = frame->findChildren<QPushButton*>();
    ASSERT_EQ(buttons.size(), 4);
    EXPECT_EQ(find<QPushButton>(loadPriorsButton::open)->text(), "&Open an existing Bayesian Priors file");
    EXPECT_EQ(find<QPushButton>(loadPriorsButton::uniform)->text(),
              "Set &uniform-unbounded prior distributions");
    EXPECT_EQ(subWindow("frmMenu"), nullptr);

    find<QPushButton>(loadPriorsButton::cancel)->click();
    deleteClosedViews();
    EXPECT_EQ(subWindow("frmLoadPriors"), nullptr);
    ASSERT_NE(subWindow("frmMenu"), nullptr);
    EXPECT_TRUE(subWindow("frmMenu")->isVisible());
}

TEST_F(PriorsViews, TheLoadWindowsCloseBoxCancels)
{
    startFlow();
    subWindow("frmLoadPriors")->close();
    deleteClosedViews();
    EXPECT_EQ(app.desktop.find<LoadPriorsWindow>(LoadPriorsWindow::windowName), nullptr);
    EXPECT_TRUE(app.session.priorsActive);
}

TEST_F(PriorsViews, EditorShowsTheGridWithItsTwoHeadingRowsAndColours)
{
    openEditor();
    QMdiSubWindow* frame = subWindow("frmSetPriors");
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->windowTitle(), "Set prior distributions");
    const TwipScale scale(*frame);
    EXPECT_EQ(frame->pos(), QPoint(scale.x(1500), scale.y(2000)));
    EXPECT_EQ(find<QLabel>("Lbl1")->text(), "Select a parameter then choose an action from the menu bar");
    ASSERT_EQ(grid()->rowCount(), 20);
    EXPECT_EQ(grid()->horizontalHeaderItem(priorGridColumn::firstMean)->text(), "First term\nMean");
    EXPECT_EQ(grid()->horizontalHeaderItem(priorGridColumn::parameter)->text(), "\nParameter");
    EXPECT_EQ(grid()->item(0, priorGridColumn::type)->text(), "Gaussian or Normal");
    EXPECT_EQ(grid()->item(0, priorGridColumn::firstMean)->text(), "1.000E+002");
    EXPECT_EQ(grid()->item(0, priorGridColumn::type)->foreground().color(), classicPaletteColour(1));
    EXPECT_EQ(grid()->item(1, priorGridColumn::firstMean)->text(), "*");
    EXPECT_EQ(grid()->item(1, priorGridColumn::firstMean)->foreground().color(), classicPaletteColour(0));
    EXPECT_EQ(grid()->item(0, priorGridColumn::description)->textAlignment(),
              int(Qt::AlignLeft | Qt::AlignVCenter));
    EXPECT_GE(grid()->columnWidth(priorGridColumn::type), scale.x(1600));
}

TEST_F(PriorsViews, ClickMarksTheRowGreenAndHeadingsSelectTheFirst)
{
    openEditor();
    clickCell(3, priorGridColumn::description);
    EXPECT_EQ(editor()->selectedRow(), 4);
    EXPECT_EQ(grid()->item(2, priorGridColumn::firstSD)->foreground().color(), classicPaletteColour(2));
    EXPECT_EQ(grid()->item(2, priorGridColumn::firstSD)->background().color(), classicPaletteColour(15));
    EXPECT_EQ(grid()->item(2, priorGridColumn::secondMean)->foreground().color(), classicPaletteColour(0));

    QTest::mouseClick(grid()->horizontalHeader()->viewport(), Qt::LeftButton, {},
                      QPoint(grid()->columnViewportPosition(2) + 5, 5));
    EXPECT_EQ(editor()->selectedRow(), 2);
}

TEST_F(PriorsViews, EditorMenusNestAndEntriesReachTheEngine)
{
    openEditor();
    auto* bar = find<QMenuBar>("mnuSetPriors");
    ASSERT_NE(bar, nullptr);
    QStringList captions;
    for (QAction* action : bar->actions())
        captions << action->text();
    EXPECT_EQ(captions, (QStringList{"&Application", "&Edit prior distributions",
                                     "&Profile prior distributions", "&Save prior distributions", "&Window",
                                     "&Help with prior distributions", "&Finished"}));
    EXPECT_FALSE(find<QAction>("mnuMenu")->isEnabled());
    ASSERT_NE(find<QMenu>("mnuMeanSD"), nullptr);
    EXPECT_EQ(find<QMenu>("mnuMeanSD")->title(), "&Mean and SD");

    clickCell(2, priorGridColumn::type);
    ui.type("-3");
    find<QAction>("mnuE")->trigger();
    EXPECT_EQ(grid()->item(1, priorGridColumn::firstMean)->text(), "3.000E+000");
    EXPECT_EQ(grid()->item(1, priorGridColumn::firstSD)->foreground().color(), classicPaletteColour(12));

    find<QAction>("mnuHelpSetting")->trigger();
    deleteClosedViews();
    EXPECT_NE(subWindow("frmHelp"), nullptr);
}

TEST_F(PriorsViews, FinishingClosesTheEditorAndBringsTheMainMenuBack)
{
    openEditor();
    ui.answer(Answer::OK).answer(Answer::No).type("0.5");
    subWindow("frmSetPriors")->close(); // the close box finishes as "&Finished" does
    deleteClosedViews();
    EXPECT_EQ(subWindow("frmSetPriors"), nullptr);
    ASSERT_NE(subWindow("frmMenu"), nullptr);
    EXPECT_TRUE(subWindow("frmMenu")->isVisible());
    EXPECT_EQ(app.session.covScale, 2.0);
}

} // namespace
} // namespace orvanta::gui::testing
