#include "GuiFixture.h"

#include "app/MainMenu.h"
#include "gui/Twips.h"
#include "model/InitializationWindow.h"
#include "support/TempDir.h"

#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <string>
#include <vector>

namespace orvanta::gui::testing {
namespace {

using orvanta::testing::TempDir;

// Midpoints in columns 1-7, frequencies in columns 9-12: cells of width 5 from size 0.
const char* const frequencyRecords = "    2.5    3\n"
                                     "    7.5    5\n"
                                     "   12.5    2\n";
// Set, initial size, increment, start day, end day in columns 1-6, 8-13, 15-20, 22-27, 29-34.
const char* const incrementRecords = "     1   20.5    8.2    100    465\n"
                                     "     2   35.0    4.1    120    480\n";

const char* const windowName = "frmInitialize";

class InitializationWindowViewTest : public GuiTest {
protected:
    // "Initialize model" on the main menu, as the user presses it.
    void openWindow()
    {
        button(menuButton::initialize)->click();
        deleteClosedViews();
    }

    QPushButton* button(const char* name) const { return find<QPushButton>(name); }
    QRadioButton* option(const char* name) const { return find<QRadioButton>(name); }
    QLineEdit* firstCell() const { return find<QLineEdit>("txtFirst"); }
    std::string text(const char* labelName) const { return find<QLabel>(labelName)->text().toStdString(); }

    std::string dataFile(const std::string& name, const std::string& bytes) const
    {
        const std::string path = dir.file(name);
        orvanta::testing::writeFileBytes(path, bytes);
        return path;
    }

    void chooseFiles(const std::string& frequencies, const std::string& increments)
    {
        ui.pickFile(frequencies).pickFile(increments);
        button("cmdFrequency")->click();
        button("cmdIncrement")->click();
    }

    void typeFirstCell(const char* entry) const
    {
        firstCell()->selectAll();
        QTest::keyClicks(firstCell(), QString::fromLatin1(entry));
    }

    // What Qt sends the box when the focus moves on to another control of the window.
    void leaveFirstCell(Qt::FocusReason reason) const
    {
        QFocusEvent focusOut(QEvent::FocusOut, reason);
        QCoreApplication::sendEvent(firstCell(), &focusOut);
    }

    // The window is gone, and the main menu is shown again and can be used.
    void expectClosedWithTheMainMenuBack()
    {
        EXPECT_FALSE(app.desktop.isOpen(windowName));
        EXPECT_EQ(subWindow(windowName), nullptr);
        QMdiSubWindow* menu = subWindow("frmMenu");
        ASSERT_NE(menu, nullptr);
        EXPECT_TRUE(menu->isVisible());
        EXPECT_TRUE(menu->isEnabled());
    }

    TempDir dir;
};

TEST_F(InitializationWindowViewTest, InitializeModelOpensTheWindowInItsStartState)
{
    openWindow();

    QMdiSubWindow* frame = subWindow(windowName);
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(frame->windowTitle(), "Initialize Tarnfield model");
    EXPECT_EQ(mainWindow().windowTitle(), "Steady-state size frequency and growth increment analysis");
    EXPECT_EQ(subWindow("frmMenu"), nullptr);
    const TwipScale scale(*frame);
    EXPECT_EQ(frame->pos(), QPoint(scale.x(4250), scale.y(1000)));

    EXPECT_EQ(text("lblFrequency"), "Frequency data file:");
    EXPECT_EQ(text("lblFrequencyPath"), "");
    EXPECT_EQ(text("lblIncrement"), "Increment data file:");
    EXPECT_EQ(text("lblIncrementPath"), "");
    EXPECT_EQ(text("lblFirst"), "First frequency cell evaluated:");
    EXPECT_EQ(text("LabelLike"), "Note: the objective function is -2 ln[likelihood]");
    EXPECT_EQ(button("cmdFrequency")->text(), "Load &Frequencies");
    EXPECT_EQ(button("cmdIncrement")->text(), "Load &Increments");
    EXPECT_EQ(button("cmdOK")->text(), "OK");
    EXPECT_EQ(button("cmdCancel")->text(), "&Cancel");

    EXPECT_FALSE(firstCell()->isEnabled());
    EXPECT_EQ(firstCell()->text(), "1");
    const auto* frameBox = find<QGroupBox>("FraIncDist");
    ASSERT_NE(frameBox, nullptr);
    EXPECT_EQ(frameBox->title(), "Choose increment error distribution:");
    for (const char* name : {"optGamma", "optGaussian"}) {
        EXPECT_FALSE(option(name)->isEnabled()) << name;
        EXPECT_FALSE(option(name)->isChecked()) << name;
    }
    EXPECT_EQ(option("optGamma")->text(), "Gamma (b>=0)");
    EXPECT_EQ(option("optGamma")->toolTip(),
              "A gamma distribution will, by definition, constrain expected increments to be > 0");
    EXPECT_EQ(option("optGaussian")->text(), "Gaussian (iff b=0)");
    EXPECT_EQ(
        option("optGaussian")->toolTip(),
        "A normal distribution is truncated so expected increments stay > 0 as size approaches L-infinity");

    const auto* frequencyFormat = find<QPlainTextEdit>("frmtFreqs");
    const auto* incrementFormat = find<QPlainTextEdit>("frmtIncs");
    ASSERT_NE(frequencyFormat, nullptr);
    ASSERT_NE(incrementFormat, nullptr);
    EXPECT_TRUE(frequencyFormat->isReadOnly());
    EXPECT_TRUE(incrementFormat->isReadOnly());
    EXPECT_EQ(frequencyFormat->toPlainText().toStdString(), InitializationWindow::frequencyFormatText());
    EXPECT_EQ(incrementFormat->toPlainText().toStdString(), InitializationWindow::incrementFormatText());
}

TEST_F(InitializationWindowViewTest, TabOrderFollowsTheTabIndexes)
{
    openWindow();
    const std::vector<std::string> expected = {"cmdFrequency", "cmdIncrement", "txtFirst", "cmdOK",
                                               "cmdCancel"};

    std::vector<std::string> chain;
    QWidget* w = button("cmdFrequency");
    for (int steps = 0; steps < 100 && chain.size() < expected.size(); ++steps, w = w->nextInFocusChain())
        if (w->focusPolicy() & Qt::TabFocus)
            chain.push_back(w->objectName().toStdString());
    EXPECT_EQ(chain, expected);
}

TEST_F(InitializationWindowViewTest, ChosenFilesShowTheirPathsAndEnableTheirControls)
{
    openWindow();

    ui.pickFile("/data/lengths.dat");
    button("cmdFrequency")->click();
    EXPECT_EQ(text("lblFrequencyPath"), "/data/lengths.dat");
    EXPECT_TRUE(firstCell()->isEnabled());
    EXPECT_FALSE(option("optGaussian")->isEnabled());

    ui.cancelFile();
    button("cmdIncrement")->click();
    EXPECT_EQ(text("lblIncrementPath"), "");
    EXPECT_FALSE(find<QGroupBox>("FraIncDist")->isEnabled());

    ui.pickFile("/data/tags.dat");
    button("cmdIncrement")->click();
    EXPECT_EQ(text("lblIncrementPath"), "/data/tags.dat");
    EXPECT_TRUE(find<QGroupBox>("FraIncDist")->isEnabled());
    EXPECT_TRUE(option("optGamma")->isEnabled());
    EXPECT_TRUE(option("optGaussian")->isChecked());
    EXPECT_FALSE(option("optGamma")->isChecked());

    option("optGamma")->click();
    EXPECT_TRUE(option("optGamma")->isChecked());
    EXPECT_FALSE(option("optGaussian")->isChecked());
    // Clicking the selected option keeps it selected.
    option("optGamma")->click();
    EXPECT_TRUE(option("optGamma")->isChecked());

    ASSERT_EQ(ui.shown().size(), 3u);
    EXPECT_EQ(ui.shown()[0].file.title, "Load frequency data file");
    EXPECT_EQ(ui.shown()[2].file.title, "Load increment data file");
}

TEST_F(InitializationWindowViewTest, OkWithBothFilesReachesTheInitializedStage)
{
    openWindow();
    const std::string frequencies = dataFile("lengths.dat", frequencyRecords);
    const std::string increments = dataFile("tags.dat", incrementRecords);
    chooseFiles(frequencies, increments);
    typeFirstCell("2");
    option("optGamma")->click();

    button("cmdOK")->click();
    deleteClosedViews();

    ASSERT_NO_FATAL_FAILURE(expectClosedWithTheMainMenuBack());
    EXPECT_TRUE(button(menuButton::loadAlg)->isEnabled());
    EXPECT_EQ(text("stbMain0_1"), "Frequency file: " + frequencies);
    EXPECT_EQ(text("stbMain0_2"), "Increment file: " + increments);
    EXPECT_TRUE(ui.messages().empty());

    // The program's own model read what the window handed it.
    const ModelState& state = session.model().state();
    EXPECT_EQ(state.frequencies.cellCount, 3);
    EXPECT_EQ(state.frequencies.firstCell, 2);
    EXPECT_DOUBLE_EQ(state.frequencies.N, 7.0); // cell 1 is left out
    EXPECT_DOUBLE_EQ(state.frequencies.cellWidth, 5.0);
    EXPECT_EQ(state.increments.recordCount, 2);
    EXPECT_EQ(state.incrementErrorType, IncrementErrorType::Gamma);
}

TEST_F(InitializationWindowViewTest, NonIntegerFirstCellIsRefusedResetAndFocusedAgain)
{
    openWindow();
    ui.pickFile("/data/lengths.dat");
    button("cmdFrequency")->click();
    typeFirstCell("abc");
    EXPECT_EQ(firstCell()->text(), "abc");

    ui.answer(Answer::OK);
    button("cmdOK")->setFocus();
    leaveFirstCell(Qt::TabFocusReason);

    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, "First frequency cell must be an integer");
    EXPECT_EQ(ui.messages()[0].title, "Initialize");
    EXPECT_EQ(ui.messages()[0].icon, Icon::Exclamation);
    EXPECT_EQ(firstCell()->text(), "1");
    EXPECT_EQ(subWindow(windowName)->focusWidget(), firstCell());
}

TEST_F(InitializationWindowViewTest, FocusTakenByAnotherWindowDoesNotCheckTheFirstCell)
{
    openWindow();
    ui.pickFile("/data/lengths.dat");
    button("cmdFrequency")->click();
    typeFirstCell("abc");

    // E.g. a message box of the engine or another application.
    leaveFirstCell(Qt::ActiveWindowFocusReason);

    EXPECT_TRUE(ui.messages().empty());
    EXPECT_EQ(firstCell()->text(), "abc");
}

TEST_F(InitializationWindowViewTest, OkClickedWhileLeavingABadFirstCellShowsOneMessage)
{
    openWindow();
    ui.pickFile(dataFile("lengths.dat", frequencyRecords));
    button("cmdFrequency")->click();
    typeFirstCell("0");

    ui.answer(Answer::OK);
    // Qt's order for a click on "OK" while the box has the focus.
    leaveFirstCell(Qt::MouseFocusReason);
    button("cmdOK")->click();

    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, "First frequency cell must be positive");
}

TEST_F(InitializationWindowViewTest, CancelClosesTheWindowAndBringsBackTheMainMenu)
{
    openWindow();
    button("cmdCancel")->click();
    deleteClosedViews();

    ASSERT_NO_FATAL_FAILURE(expectClosedWithTheMainMenuBack());
    EXPECT_TRUE(button(menuButton::initialize)->isEnabled());
    EXPECT_FALSE(button(menuButton::loadAlg)->isEnabled());
    EXPECT_FALSE(app.session.initializeAlready);
}

TEST_F(InitializationWindowViewTest, TitleBarCloseClosesTheEngineWindow)
{
    openWindow();
    subWindow(windowName)->close();
    deleteClosedViews();

    EXPECT_FALSE(app.desktop.isOpen(windowName));
    EXPECT_EQ(subWindow(windowName), nullptr);
}

TEST_F(InitializationWindowViewTest, WindowTakesNoInputAndStaysOpenWhileTheFilesAreRead)
{
    openWindow();
    chooseFiles(dataFile("lengths.dat", frequencyRecords), dataFile("tags.dat", incrementRecords));
    int yieldsWhileOpen = 0;
    // Reading lets the interface run once per increment record: the user tries to close.
    ui.onYield = [&] {
        QMdiSubWindow* frame = subWindow(windowName);
        ASSERT_NE(frame, nullptr);
        EXPECT_FALSE(frame->isEnabled());
        frame->close();
        yieldsWhileOpen += app.desktop.isOpen(windowName) ? 1 : 0;
    };

    button("cmdOK")->click();
    ui.onYield = nullptr;

    EXPECT_EQ(yieldsWhileOpen, 2);
    EXPECT_TRUE(app.session.initializeAlready);
    EXPECT_FALSE(app.desktop.isOpen(windowName));
}

} // namespace
} // namespace orvanta::gui::testing
