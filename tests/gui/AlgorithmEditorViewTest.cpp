#include "GuiFixture.h"

#include "algorithm/AlgorithmData.h"
#include "algorithm/AlgorithmEditor.h"
#include "algorithm/EditValuesDialog.h"
#include "app/MainMenu.h"
#include "gui/AlgorithmEditorView.h"
#include "gui/ClassicPalette.h"
#include "gui/Twips.h"
#include "model/TarnfieldModel.h"

#include <QAction>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

namespace orvanta::gui::testing {
namespace {

class AlgorithmEditorViewTest : public GuiTest {
protected:
    AlgorithmEditorViewTest()
    {
        app.session.initializeAlready = true;
        app.session.algorithmFileName = "x.alg";
        app.algorithm.paramCount = 20;
        resetAlgorithmData(app.algorithm);
        app.algorithm.paramDescriptions = TarnfieldModel::parameterDescriptions();
        app.algorithm.paramValues[1] = 88.2;
        app.algorithm.paramSteps[1] = 1.0;
        app.algorithm.paramValues[3] = 0.45;
        app.closeMainMenu();
        deleteClosedViews();
        app.showMainMenu();
    }

    void openEditor()
    {
        find<QPushButton>(menuButton::editAlg)->click();
        deleteClosedViews();
    }

    AlgorithmEditor* editor() const { return app.desktop.find<AlgorithmEditor>(AlgorithmEditor::windowName); }
    QTableWidget* grid() const { return find<QTableWidget>("grdVS"); }
    QTableWidgetItem* item(int parameter, int column) const { return grid()->item(parameter - 1, column); }

    void doubleClickCell(int parameter, int column) const
    {
        QWidget* viewport = grid()->viewport();
        const QPoint centre = grid()->visualItemRect(item(parameter, column)).center();
        // The view takes a double-click on the cell that was pressed first.
        QTest::mouseClick(viewport, Qt::LeftButton, {}, centre);
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, centre);
    }

    // What Qt sends a box when the focus moves on to another control of the window.
    static void leave(QWidget* box)
    {
        QFocusEvent focusOut(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(box, &focusOut);
    }
};

TEST_F(AlgorithmEditorViewTest, OpensAtItsDesignPlaceWithTheMainMenuHidden)
{
    openEditor();
    QMdiSubWindow* frame = subWindow("frmAlgo");
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(frame->windowTitle(), "Algorithm data file name is:  x.alg");
    const TwipScale scale(*frame);
    EXPECT_EQ(frame->pos(), QPoint(scale.x(500), scale.y(1500)));
    EXPECT_EQ(frame->width(), scale.x(14250));
    EXPECT_EQ(mainWindow().mdiArea().activeSubWindow(), frame);
    ASSERT_NE(subWindow("frmMenu"), nullptr);
    EXPECT_FALSE(subWindow("frmMenu")->isVisible());
    EXPECT_EQ(frame->focusWidget(), find<QPushButton>("cmdFinish"));
}

TEST_F(AlgorithmEditorViewTest, GridShowsTheEngineCellsInTheirColours)
{
    openEditor();
    ASSERT_EQ(grid()->rowCount(), 20);
    ASSERT_EQ(grid()->columnCount(), 5);
    EXPECT_EQ(grid()->horizontalHeaderItem(4)->text(), "Parameter description [null value; valid values]");
    EXPECT_EQ(item(1, gridColumn::value)->text(), "8.8200E+01");
    EXPECT_EQ(item(2, gridColumn::value)->text(), "0");
    EXPECT_EQ(item(1, gridColumn::description)->text().toStdString(),
              TarnfieldModel::parameterDescriptions()[1]);
    EXPECT_EQ(item(1, gridColumn::value)->foreground().color(), classicPaletteColour(1));
    EXPECT_EQ(item(2, gridColumn::value)->foreground().color(), classicPaletteColour(0));
    // The value and step columns have room for any number in the grid's font.
    const int numberWidth = grid()->fontMetrics().horizontalAdvance("-8.8888E-88");
    for (int column : {gridColumn::value, gridColumn::step})
        EXPECT_GT(grid()->columnWidth(column), numberWidth) << column;
}

TEST_F(AlgorithmEditorViewTest, DoubleClickedCellIsEditedInABoxOverIt)
{
    openEditor();
    app.session.simplexBuilt = true;
    doubleClickCell(2, gridColumn::value);
    EXPECT_FALSE(app.session.simplexBuilt);
    QLineEdit& box = static_cast<AlgorithmEditorView*>(session.desktop().viewOf(*editor()))->cellEditor();
    EXPECT_TRUE(editor()->cellEditor().active);
    ASSERT_TRUE(box.isVisible());
    EXPECT_EQ(box.objectName(), "txtValue");
    EXPECT_EQ(box.toolTip(), "New value");
    EXPECT_EQ(box.geometry(), grid()->visualItemRect(item(2, gridColumn::value)));
    EXPECT_EQ(box.text(), "0");

    box.selectAll();
    QTest::keyClicks(&box, "2.5");
    leave(&box);
    EXPECT_DOUBLE_EQ(app.algorithm.paramValues[2], 2.5);
    EXPECT_DOUBLE_EQ(app.algorithm.paramSteps[2], 0.25);
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(item(2, gridColumn::value)->text(), "2.5000E+00");
    EXPECT_EQ(item(2, gridColumn::value)->foreground().color(), classicPaletteColour(12));
    EXPECT_EQ(item(2, gridColumn::step)->foreground().color(), classicPaletteColour(12));
}

TEST_F(AlgorithmEditorViewTest, DoubleClickedHeadingEditsTheWholeColumn)
{
    openEditor();
    ui.type("0.5").type("");
    const int stepSection = gridColumn::step;
    QHeaderView* header = grid()->horizontalHeader();
    const QPoint centre(header->sectionViewportPosition(stepSection) + header->sectionSize(stepSection) / 2,
                        header->height() / 2);
    QTest::mouseDClick(header->viewport(), Qt::LeftButton, {}, centre);
    ASSERT_EQ(ui.shown().size(), 2u);
    EXPECT_EQ(ui.shown()[0].title, "Edit all step sizes");
    EXPECT_EQ(item(1, gridColumn::step)->text(), "5.0000E-01");
    EXPECT_EQ(item(1, gridColumn::step)->foreground().color(), classicPaletteColour(12));
}

TEST_F(AlgorithmEditorViewTest, RefusedOptionEntryShowsTheStoredValueAgain)
{
    openEditor();
    auto* box = find<QLineEdit>("txtTerminalFreq");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), "10");
    box->selectAll();
    QTest::keyClicks(box, "-5");
    ui.answer(Answer::OK);
    leave(box);
    EXPECT_EQ(ui.messages().back().text, "Frequency must be positive");
    EXPECT_EQ(box->text(), "10");
}

TEST_F(AlgorithmEditorViewTest, ValuesMenuOpensTheDialogAndItsButtonsWork)
{
    app.algorithm.fuseCodes[4] = "A";
    app.algorithm.fuseCodes[5] = "A";
    openEditor();
    static_cast<AlgorithmEditorView*>(session.desktop().viewOf(*editor()))->action("mnuValues")->trigger();
    auto* dialogView = find<QWidget>("frmEditVS");
    ASSERT_NE(dialogView, nullptr);
    EXPECT_TRUE(dialogView->isWindow());
    EXPECT_EQ(dialogView->windowTitle(), "Edit all parameters");
    EXPECT_FALSE(subWindow("frmAlgo")->isEnabled());
    auto* unfuse = dialogView->findChild<QPushButton*>("cmdUnFuse");
    ASSERT_NE(unfuse, nullptr);
    EXPECT_EQ(unfuse->text(), "Unfuse all values");
    unfuse->click();
    deleteClosedViews();
    EXPECT_EQ(find<QWidget>("frmEditVS"), nullptr);
    EXPECT_TRUE(subWindow("frmAlgo")->isEnabled());
    EXPECT_EQ(item(4, gridColumn::fuse)->text(), "~~");
    EXPECT_EQ(item(4, gridColumn::fuse)->foreground().color(), classicPaletteColour(12));
}

TEST_F(AlgorithmEditorViewTest, LockedOptionPanelTakesNoInput)
{
    app.startToolCommand(ToolStart::HideMainMenu);
    openAlgorithmEditor(app, EditorOpener::Ranking, optionPanelLocks());
    for (const char* name :
         {"txtAbsRel", "txtMaxFunctions", "txtTerminalFreq", "txtFileFreq", "txtReduction"}) {
        auto* box = find<QLineEdit>(name);
        ASSERT_NE(box, nullptr) << name;
        EXPECT_FALSE(box->isEnabled()) << name;
        EXPECT_TRUE(box->text().isEmpty()) << name;
    }
    EXPECT_FALSE(find<QGroupBox>("fraLog")->isEnabled());
    EXPECT_FALSE(find<QPushButton>("cmdOpenLog")->isEnabled());
}

TEST_F(AlgorithmEditorViewTest, FinishingClosesTheEditorAndShowsTheMainMenu)
{
    openEditor();
    ui.answer(Answer::OK);
    find<QPushButton>("cmdFinish")->click();
    deleteClosedViews();
    EXPECT_EQ(subWindow("frmAlgo"), nullptr);
    EXPECT_EQ(ui.messages().back().title, "Just so you know");
    ASSERT_NE(subWindow("frmMenu"), nullptr);
    EXPECT_TRUE(subWindow("frmMenu")->isVisible());
}

TEST_F(AlgorithmEditorViewTest, TitleBarCloseFinishesTheEditingToo)
{
    openEditor();
    ui.answer(Answer::OK);
    subWindow("frmAlgo")->close();
    deleteClosedViews();
    EXPECT_EQ(subWindow("frmAlgo"), nullptr);
    EXPECT_TRUE(app.session.editorClosed);
}

} // namespace
} // namespace orvanta::gui::testing
