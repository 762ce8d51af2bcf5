// The view of the covariance calculations window "frmCovData", and its picture.

#include "GuiFixture.h"
#include "ScreenshotFixture.h"

#include "gui/CovarianceCalculationsWindowView.h"
#include "gui/Twips.h"
#include "uncertainty/CovarianceCalculationsWindow.h"

#include <QFontInfo>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>

namespace orvanta::gui::testing {
namespace {

CovarianceCalculationsWindowView* calculationsView(QMdiSubWindow* frame)
{
    return frame ? qobject_cast<CovarianceCalculationsWindowView*>(frame->widget()) : nullptr;
}

class CovarianceCalculationsView : public GuiTest {
protected:
    CovarianceCalculationsView() { app.startToolCommand(ToolStart::CloseAll); }
};

TEST_F(CovarianceCalculationsView, ShowsTheButtonAboveAFixedPitchTextAtTheDesignPlace)
{
    CovarianceCalculationsWindow& window = openCovarianceCalculationsWindow(app);
    window.append("\nNow calculating -ln[likelihood] on grid #1\n");
    QMdiSubWindow* frame = subWindow("frmCovData");
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->windowTitle(), "Covariance calculations");
    const TwipScale scale(*frame);
    EXPECT_EQ(frame->pos(), scale.point(100, 500));
    EXPECT_EQ(frame->width(), scale.x(15000));

    auto* view = calculationsView(frame);
    ASSERT_NE(view, nullptr);
    const QPushButton& stop = view->stopButton();
    EXPECT_EQ(stop.objectName(), "cmdStop");
    EXPECT_EQ(stop.text(), "&Interrupt these calculations");
    EXPECT_EQ(stop.pos(), QPoint(0, 0));
    EXPECT_EQ(stop.width(), view->width());

    const QTextEdit& text = view->textBox();
    EXPECT_EQ(text.objectName(), "rtbCovData");
    EXPECT_EQ(text.font().family(), "Courier New");
    EXPECT_TRUE(QFontInfo(text.font()).fixedPitch());
    EXPECT_EQ(text.y(), stop.height());
    EXPECT_GT(text.height(), 0);
    EXPECT_LE(text.geometry().bottom(), view->height());
    EXPECT_EQ(text.toPlainText(), "\nNow calculating -ln[likelihood] on grid #1\n");

    // The account grows at its end.
    window.append("Average: 1.0000000E+01; Standard deviation: 0.0000000E+00\n");
    EXPECT_EQ(text.toPlainText().toStdString(), window.text());
}

TEST_F(CovarianceCalculationsView, ButtonAndEditsReachTheEngine)
{
    CovarianceCalculationsWindow& window = openCovarianceCalculationsWindow(app);
    auto* view = calculationsView(subWindow("frmCovData"));
    ASSERT_NE(view, nullptr);

    QTest::mouseClick(&view->stopButton(), Qt::LeftButton);
    EXPECT_TRUE(app.covariance.interruptRequested);
    EXPECT_FALSE(view->stopButton().isEnabled());

    int displays = 0;
    window.onShowDisplay = [&displays] { ++displays; };
    window.replaceText("report");
    window.showSaveHint();
    EXPECT_EQ(view->stopButton().text().toStdString(), CovarianceCalculationsWindow::saveHintCaption);
    QTest::mouseClick(&view->stopButton(), Qt::LeftButton);
    EXPECT_EQ(displays, 1);

    view->textBox().setPlainText("edited report");
    EXPECT_EQ(window.text(), "edited report");
}

class CovarianceCalculationsScreenshot : public ScreenshotTest {
protected:
    void prepareWindows() override { app.startToolCommand(ToolStart::CloseAll); }
};

TEST_F(CovarianceCalculationsScreenshot, RunningAccount)
{
    CovarianceCalculationsWindow& window = openCovarianceCalculationsWindow(app);
    window.append("\nNow calculating -ln[likelihood] on grid #1\n"
                  "Average: 2.4023186E+03; Standard deviation: 4.1275403E+00\n"
                  "Now calculating Hessian matrix #1\n"
                  "Now inverting Hessian matrix #1\n"
                  "Determinant of covariance matrix: 3.5140877E-14\n\n"
                  "\nNow calculating -ln[likelihood] on grid #2\n");
    app.mainWindow.setPanel(statusBar::messages, 1, "Hessian function call 17 of 72");
    app.mainWindow.setPanel(statusBar::messages, 2,
                            "Estimated time remaining for all three grids (m:s): 2:05");
    save(*subWindow("frmCovData"), "frmCovData");
    save(mainWindow(), "frmMain-frmCovData");
}

} // namespace
} // namespace orvanta::gui::testing
