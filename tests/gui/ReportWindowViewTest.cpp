#include "GuiFixture.h"

#include "gui/ReportWindowView.h"
#include "gui/Twips.h"
#include "support/TempDir.h"
#include "ui/ReportWindow.h"

#include <QFontInfo>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>

namespace orvanta::gui::testing {
namespace {

using orvanta::testing::Interaction;
using orvanta::testing::readFileBytes;
using orvanta::testing::TempDir;

const char* const reportText = "Parameter   Value\nLinf        88.20\nK            0.45\n";

class ReportWindowViewTest : public GuiTest {
protected:
    ReportWindow& openSummary()
    {
        ReportWindow& window = app.openReportWindow("frmSummary");
        window.setText(reportText);
        QCoreApplication::processEvents();
        return window;
    }
    QTextEdit* textBox(const char* window, const char* name) const
    {
        return subWindow(window)->findChild<QTextEdit*>(name);
    }

    TempDir dir;
};

TEST_F(ReportWindowViewTest, ShowsTheReportInAFixedPitchFontWithTheSaveButtonAbove)
{
    openSummary();
    QMdiSubWindow* frame = subWindow("frmSummary");
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->windowTitle(), "Tarnfield model output");
    const QTextEdit* text = textBox("frmSummary", "rtbOut");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->toPlainText(), reportText);
    EXPECT_EQ(text->font().family(), "Courier New");
    EXPECT_TRUE(QFontInfo(text->font()).fixedPitch());

    const auto* save = frame->findChild<QPushButton*>("cmdSaveSummary");
    ASSERT_NE(save, nullptr);
    EXPECT_EQ(save->text(), "Save summary as...");
    EXPECT_EQ(save->toolTip(), "Saves the (possibly edited) output appearing in the textbox below");
    EXPECT_EQ(save->pos(), QPoint(0, 0));
    EXPECT_EQ(text->y(), save->height());
}

TEST_F(ReportWindowViewTest, LayoutFollowsTheWindowSize)
{
    openSummary();
    QMdiSubWindow* frame = subWindow("frmSummary");
    frame->resize(700, 500);
    const TwipScale scale(*frame);
    const QWidget* client = frame->widget();
    const QTextEdit* text = textBox("frmSummary", "rtbOut");
    const auto* save = frame->findChild<QPushButton*>("cmdSaveSummary");
    const ReportLayout layout = layoutReportWindow(reportWindowDesign("frmSummary"), scale.twipsX(700),
                                                   scale.twipsY(500), scale.twipsY(save->height()), false);
    EXPECT_EQ(text->width(), std::min(scale.x(layout.textWidth), client->width()));
    EXPECT_EQ(text->height(), std::min(scale.y(*layout.textHeight), client->height() - save->height()));
    EXPECT_EQ(save->width(), std::min(scale.x(layout.buttonWidth), client->width()));

    // Too small for the text box: its height stays as it was.
    const int heightBefore = text->height();
    frame->resize(700, save->height() + 10);
    EXPECT_EQ(text->height(), heightBefore);
}

TEST_F(ReportWindowViewTest, SaveButtonSavesThroughTheEngineAndShowsTheAddedLine)
{
    openSummary();
    const std::string path = dir.file("fit.ovo");
    ui.pickFile(path);
    subWindow("frmSummary")->findChild<QPushButton*>("cmdSaveSummary")->click();

    ASSERT_EQ(ui.shown().size(), 1u);
    const Interaction& dialog = ui.shown()[0];
    EXPECT_EQ(dialog.file.mode, FileDialogMode::Save);
    EXPECT_EQ(dialog.file.title, "Save summary in...");
    EXPECT_EQ(dialog.file.defaultName, "Tarnfield_Results.ovo");

    const std::string expected = "Originally saved with the file name: " + path + "\n\n" + reportText;
    EXPECT_EQ(textBox("frmSummary", "rtbOut")->toPlainText().toStdString(), expected);
    EXPECT_EQ(readFileBytes(path), withCrLf(expected));
}

TEST_F(ReportWindowViewTest, TypedEditsAreWhatIsSaved)
{
    ReportWindow& window = openSummary();
    QTextEdit* text = textBox("frmSummary", "rtbOut");
    text->moveCursor(QTextCursor::End);
    QTest::keyClicks(text, "checked");
    EXPECT_EQ(window.text(), std::string(reportText) + "checked");

    const std::string path = dir.file("edited.ovo");
    ui.pickFile(path);
    subWindow("frmSummary")->findChild<QPushButton*>("cmdSaveSummary")->click();
    EXPECT_EQ(readFileBytes(path),
              withCrLf("Originally saved with the file name: " + path + "\n\n" + reportText + "checked"));
}

TEST_F(ReportWindowViewTest, CancelledSaveChangesNothing)
{
    openSummary();
    ui.cancelFile();
    subWindow("frmSummary")->findChild<QPushButton*>("cmdSaveSummary")->click();
    EXPECT_EQ(textBox("frmSummary", "rtbOut")->toPlainText(), reportText);
}

TEST_F(ReportWindowViewTest, SummaryKeepsLongLinesAndOtherReportsWrap)
{
    openSummary();
    const QTextEdit* summary = textBox("frmSummary", "rtbOut");
    EXPECT_EQ(summary->lineWrapMode(), QTextEdit::FixedPixelWidth);
    EXPECT_EQ(summary->lineWrapColumnOrWidth(), TwipScale(*summary).x(128000));

    app.openReportWindow("frmMaxLike");
    EXPECT_EQ(textBox("frmMaxLike", "rtbMaxLike")->lineWrapMode(), QTextEdit::WidgetWidth);
}

TEST_F(ReportWindowViewTest, WindowWithoutSaveButtonOpensAtItsDesignPlace)
{
    app.openReportWindow("frmOneFunction");
    QMdiSubWindow* frame = subWindow("frmOneFunction");
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->findChildren<QPushButton*>().size(), 0);
    const TwipScale scale(*frame);
    EXPECT_EQ(frame->pos(), scale.point(500, 500));
    EXPECT_EQ(frame->width(), scale.x(14000));
    EXPECT_EQ(textBox("frmOneFunction", "rtbOneFunction")->y(), 0);
}

TEST_F(ReportWindowViewTest, TitleBarCloseShowsTheMainMenuAgain)
{
    app.startToolCommand(ToolStart::CloseAll);
    openSummary();
    deleteClosedViews();
    ASSERT_EQ(subWindow("frmMenu"), nullptr);

    subWindow("frmSummary")->close();
    EXPECT_FALSE(app.desktop.isOpen("frmSummary"));
    deleteClosedViews();
    EXPECT_EQ(subWindow("frmSummary"), nullptr);
    ASSERT_NE(subWindow("frmMenu"), nullptr);
    EXPECT_TRUE(subWindow("frmMenu")->isVisible());
}

TEST_F(ReportWindowViewTest, EngineCloseRemovesTheView)
{
    openSummary();
    app.desktop.close("frmSummary");
    deleteClosedViews();
    EXPECT_EQ(subWindow("frmSummary"), nullptr);
}

} // namespace
} // namespace orvanta::gui::testing
