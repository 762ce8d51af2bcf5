#include "GuiFixture.h"

#include "app/InfoWindows.h"
#include "gui/SubWindowArrangement.h"
#include "ui/ReportWindow.h"

#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

#include <algorithm>

namespace orvanta::gui::testing {
namespace {

using orvanta::testing::Interaction;

struct ExpectedEntry {
    const char* name;
    const char* caption;
    const char* shortcut;
};

class MainWindowViewTest : public GuiTest {};

TEST_F(MainWindowViewTest, IsNamedFrmMainAndFollowsTheEngineCaption)
{
    EXPECT_EQ(mainWindow().objectName(), "frmMain");
    EXPECT_EQ(mainWindow().windowTitle(), "Orvanta");

    app.mainWindow.setCaption("Steady-state size frequency and growth increment analysis");
    EXPECT_EQ(mainWindow().windowTitle(), "Steady-state size frequency and growth increment analysis");
}

TEST_F(MainWindowViewTest, MenuBarShowsTheMenusInOrderWithTheirCaptions)
{
    const ExpectedEntry expected[] = {
        {"mnuApplication", "&Application", ""},
        {"mnuBayesianInt", "&Interrupt ", ""},
        {"mnuMLInt", "&Interrupt", ""},
        {"mnuWindow", "&Window", ""},
        {"mnuDefaultNames", "&Defaults etc.", ""},
        {"mnuWisdom", "&Wisdom", ""},
        {"mnuAbout", "&About", ""},
    };
    const QList<QAction*> bar = mainWindow().menuBar()->actions();
    ASSERT_EQ(bar.size(), static_cast<qsizetype>(std::size(expected)));
    for (qsizetype i = 0; i < bar.size(); ++i) {
        const ExpectedEntry& entry = expected[i];
        EXPECT_EQ(bar[i], mainWindow().action(entry.name)) << entry.name;
        EXPECT_EQ(bar[i]->text(), entry.caption) << entry.name;
    }
    // Commands on the bar itself have no menu; the others open one.
    EXPECT_EQ(mainWindow().action("mnuWisdom")->menu(), nullptr);
    EXPECT_NE(mainWindow().action("mnuAbout")->menu(), nullptr);
}

TEST_F(MainWindowViewTest, MenuItemsHaveTheirCaptionsAndShortcuts)
{
    const ExpectedEntry expected[] = {
        {"mnuMenu", "Main &menu", "Ctrl+M"},
        {"mnuExit", "E&xit", "Ctrl+X"},
        {"mnuInterruptBayes", "I&nterrupt calculations", "Ctrl+N"},
        {"mnuInterruptML", "&Interrupt calculations", "Ctrl+I"},
        {"mnuCascade", "&Cascade", "Ctrl+C"},
        {"mnuTileHorizontal", "Tile &Horizontal", "Ctrl+H"},
        {"mnuTileVertical", "Tile &Vertical", "Ctrl+V"},
        {"mnuArrangeIcons", "&Arrange Icons", ""},
        {"mnuCredits", "&Credits", ""},
    };
    for (const ExpectedEntry& entry : expected) {
        const QAction* action = mainWindow().action(entry.name);
        ASSERT_NE(action, nullptr) << entry.name;
        EXPECT_EQ(action->objectName(), entry.name);
        EXPECT_EQ(action->text(), entry.caption) << entry.name;
        EXPECT_EQ(action->shortcut(), QKeySequence(QString::fromLatin1(entry.shortcut))) << entry.name;
    }
    // "&Application" has a separator between "Main &menu" and "E&xit".
    const QList<QAction*> items = find<QMenu>("mnuApplication")->actions();
    ASSERT_EQ(items.size(), 3);
    EXPECT_TRUE(items[1]->isSeparator());
}

TEST_F(MainWindowViewTest, InterruptMenusAreHiddenUntilTheEngineShowsThem)
{
    EXPECT_FALSE(mainWindow().action("mnuBayesianInt")->isVisible());
    EXPECT_FALSE(mainWindow().action("mnuMLInt")->isVisible());
    EXPECT_TRUE(mainWindow().action("mnuApplication")->isVisible());

    app.mainWindow.setMenuVisible("mnuMLInt", true);
    EXPECT_TRUE(mainWindow().action("mnuMLInt")->isVisible());
    EXPECT_FALSE(mainWindow().action("mnuBayesianInt")->isVisible());
}

TEST_F(MainWindowViewTest, MenuEntriesGoToTheEngine)
{
    app.mainWindow.setMenuVisible("mnuMLInt", true);
    mainWindow().action("mnuInterruptML")->trigger();
    EXPECT_TRUE(app.session.profileInterrupt);
    EXPECT_FALSE(app.session.bayesInterrupt);

    app.closeMainMenu();
    deleteClosedViews();
    ASSERT_EQ(subWindow("frmMenu"), nullptr);
    mainWindow().action("mnuMenu")->trigger();
    ASSERT_NE(subWindow("frmMenu"), nullptr);
    EXPECT_TRUE(subWindow("frmMenu")->isVisible());
}

TEST_F(MainWindowViewTest, DisabledApplicationMenuFollowsTheEngine)
{
    app.startToolCommand(ToolStart::CloseAll);
    EXPECT_FALSE(mainWindow().action("mnuApplication")->isEnabled());
    app.endToolCommand();
    EXPECT_TRUE(mainWindow().action("mnuApplication")->isEnabled());
}

TEST_F(MainWindowViewTest, SixStatusBarsWithTheirPanels)
{
    const int panelCounts[] = {2, 2, 3, 6, 2, 5};
    for (int bar = 0; bar < 6; ++bar) {
        const std::string name = "stbMain" + std::to_string(bar);
        const auto* row = find<QStatusBar>(name.c_str());
        ASSERT_NE(row, nullptr) << name;
        const QList<QLabel*> panels = row->findChildren<QLabel*>();
        EXPECT_EQ(panels.size(), panelCounts[bar]) << name;
        for (int panel = 1; panel <= panelCounts[bar]; ++panel) {
            const std::string panelName = name + "_" + std::to_string(panel);
            EXPECT_NE(row->findChild<QLabel*>(QString::fromStdString(panelName)), nullptr) << panelName;
        }
        // The progress bars show only while the calculations that fill them run.
        EXPECT_EQ(row->isVisible(), bar < 2 || bar == 5) << name;
    }
}

TEST_F(MainWindowViewTest, StatusPanelsShowTheEngineText)
{
    app.mainWindow.setPanel(statusBar::algorithm, 1, "Algorithm file: /data/fit.alg");
    app.mainWindow.setPanel(statusBar::messages, 5, "Interrupt pending...");
    EXPECT_EQ(find<QLabel>("stbMain1_1")->text(), "Algorithm file: /data/fit.alg");
    EXPECT_EQ(find<QLabel>("stbMain5_5")->text(), "Interrupt pending...");

    app.mainWindow.clearPanel(statusBar::algorithm, 1);
    EXPECT_EQ(find<QLabel>("stbMain1_1")->text(), "");

    app.mainWindow.setStatusBarVisible(statusBar::remaining, true);
    EXPECT_TRUE(find<QStatusBar>("stbMain4")->isVisible());
}

// Panels share their row by the length of their texts: on a wide screen a long text is shown
// whole beside short ones, and every panel's tool tip holds its whole text.
TEST_F(MainWindowViewTest, StatusPanelsTakeRoomForTheirTexts)
{
    mainWindow().resize(1600, 1000);
    const std::string longText = "Estimated time remaining for all three grids (m:s): 2:05";
    app.mainWindow.setPanel(statusBar::messages, 1, "Hessian function call 12 of 56");
    app.mainWindow.setPanel(statusBar::messages, 2, longText);
    QCoreApplication::processEvents();

    const QLabel* panel = find<QLabel>("stbMain5_2");
    EXPECT_GE(panel->contentsRect().width(), panel->fontMetrics().horizontalAdvance(QString::fromStdString(longText)));
    EXPECT_EQ(panel->toolTip().toStdString(), longText);
    EXPECT_GT(panel->width(), find<QLabel>("stbMain5_3")->width());
}

TEST_F(MainWindowViewTest, ClosingAnsweredNoKeepsTheWindowOpen)
{
    ui.answer(Answer::No);
    EXPECT_FALSE(mainWindow().close());
    EXPECT_TRUE(mainWindow().isVisible());
    EXPECT_EQ(endProcessCalls, 0);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].title, "Exit Orvanta");
    EXPECT_EQ(ui.messages()[0].defaultButton, DefaultButton::Second);
}

TEST_F(MainWindowViewTest, ClosingAnsweredYesEndsTheProgram)
{
    ui.answer(Answer::Yes).answer(Answer::No);
    EXPECT_TRUE(mainWindow().close());
    EXPECT_FALSE(mainWindow().isVisible());
    EXPECT_EQ(endProcessCalls, 1);
    ASSERT_EQ(ui.messages().size(), 2u);
    EXPECT_EQ(ui.messages()[1].title, "What about algorithm data?");
}

TEST_F(MainWindowViewTest, WindowMenuListsTheChildWindowsAndActivatesOne)
{
    app.openReportWindow("frmMaxLike");
    auto* windowMenu = find<QMenu>("mnuWindow");
    emit windowMenu->aboutToShow();

    QList<QAction*> listed;
    for (QAction* a : windowMenu->actions())
        if (a->text().startsWith('&') && a->text().at(1).isDigit())
            listed << a;
    ASSERT_EQ(listed.size(), 2);
    EXPECT_EQ(listed[0]->text(), "&1 Main menu");
    EXPECT_EQ(listed[1]->text(), "&2 Maximum likelihood statistics");

    listed[0]->trigger();
    EXPECT_EQ(mainWindow().mdiArea().activeSubWindow(), subWindow("frmMenu"));

    // Listing again replaces the list rather than adding to it.
    emit windowMenu->aboutToShow();
    const QList<QAction*> relisted = windowMenu->actions();
    const auto count = std::count_if(relisted.begin(), relisted.end(),
                                     [](QAction* a) { return a->text().startsWith("&1 "); });
    EXPECT_EQ(count, 1);
}

class ArrangementTest : public GuiTest {
protected:
    void SetUp() override
    {
        mainWindow().resize(1000, 800);
        app.openReportWindow("frmMaxLike");
        app.openReportWindow("frmBayesian");
        QCoreApplication::processEvents();
    }
    QList<QMdiSubWindow*> windows() const
    {
        return mainWindow().mdiArea().subWindowList(QMdiArea::CreationOrder);
    }
    QRect space() const { return mainWindow().mdiArea().viewport()->rect(); }
};

TEST_F(ArrangementTest, TileHorizontalStacksFullWidthWindows)
{
    mainWindow().action("mnuTileHorizontal")->trigger();
    const QList<QMdiSubWindow*> tiled = windows();
    ASSERT_EQ(tiled.size(), 3);
    int top = 0;
    for (const QMdiSubWindow* w : tiled) {
        EXPECT_EQ(w->x(), 0);
        EXPECT_EQ(w->width(), space().width());
        EXPECT_EQ(w->y(), top);
        top += w->height();
    }
    EXPECT_EQ(top, space().height());
}

TEST_F(ArrangementTest, TileVerticalPutsFullHeightWindowsSideBySide)
{
    mainWindow().action("mnuTileVertical")->trigger();
    int left = 0;
    for (const QMdiSubWindow* w : windows()) {
        EXPECT_EQ(w->y(), 0);
        EXPECT_EQ(w->height(), space().height());
        EXPECT_EQ(w->x(), left);
        left += w->width();
    }
    EXPECT_EQ(left, space().width());
}

TEST_F(ArrangementTest, ArrangeIconsLinesMinimizedWindowsAlongTheBottom)
{
    windows()[1]->showMinimized();
    windows()[2]->showMinimized();
    mainWindow().action("mnuArrangeIcons")->trigger();
    const QMdiSubWindow* first = windows()[1];
    const QMdiSubWindow* second = windows()[2];
    EXPECT_EQ(first->geometry().bottom(), space().bottom());
    EXPECT_EQ(second->geometry().bottom(), space().bottom());
    EXPECT_EQ(first->x(), 0);
    EXPECT_EQ(second->x(), first->width());
}

TEST(ArrangementNames, OnlyTheWindowMenuEntriesArrange)
{
    EXPECT_EQ(arrangementOf("mnuCascade"), Arrangement::Cascade);
    EXPECT_EQ(arrangementOf("mnuTileHorizontal"), Arrangement::TileHorizontal);
    EXPECT_EQ(arrangementOf("mnuTileVertical"), Arrangement::TileVertical);
    EXPECT_EQ(arrangementOf("mnuArrangeIcons"), Arrangement::ArrangeIcons);
    EXPECT_EQ(arrangementOf("mnuExit"), std::nullopt);
}

} // namespace
} // namespace orvanta::gui::testing
