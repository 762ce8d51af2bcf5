// The view of the covariance display window "frmCovDisplay", and its picture beside the
// collated report.

#include "GuiFixture.h"
#include "ScreenshotFixture.h"

#include "gui/CovarianceDisplayWindowView.h"
#include "gui/Twips.h"
#include "uncertainty/CovarianceCalculationsWindow.h"
#include "uncertainty/CovarianceDisplayWindow.h"
#include "uncertainty/CovarianceReportFixture.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace orvanta::gui::testing {
namespace {

// The state a covariance run leaves behind, with the display window just opened.
void finishCovarianceRun(Application& app)
{
    app.startToolCommand(ToolStart::CloseAll);
    const orvanta::testing::SmallRun small;
    app.algorithm = small.algorithm;
    app.covariance = small.run;
    app.covariance.lastRunJustFinished = true;
    app.session.covScale = small.covScale;
    openCovarianceCalculationsWindow(app).append("\nNow calculating -ln[likelihood] on grid #1\n");
    showCovarianceDisplay(app);
}

class CovarianceDisplayView : public GuiTest {
protected:
    CovarianceDisplayView() { finishCovarianceRun(app); }

    CovarianceDisplayWindowView* view() const
    {
        QMdiSubWindow* frame = subWindow("frmCovDisplay");
        return frame ? qobject_cast<CovarianceDisplayWindowView*>(frame->widget()) : nullptr;
    }
};

TEST_F(CovarianceDisplayView, ShowsTheQuestionTheExplanationAndThreeButtons)
{
    QMdiSubWindow* frame = subWindow("frmCovDisplay");
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->windowTitle(), "Covariance data");
    EXPECT_EQ(frame->pos(), TwipScale(*frame).point(11000, 1200));
    ASSERT_NE(view(), nullptr);

    EXPECT_EQ(view()->label().objectName(), "lblCovDisplay");
    EXPECT_EQ(view()->label().text(), "Calculation completed. Do you wish to:");
    EXPECT_EQ(view()->explanationBox().objectName(), "txtExplain");
    EXPECT_TRUE(view()->explanationBox().isReadOnly());
    EXPECT_EQ(view()->explanationBox().toPlainText().toStdString(), CovarianceDisplayWindow::explanationText);
    EXPECT_EQ(view()->screenButton().objectName(), "cmdScreen");
    EXPECT_EQ(view()->screenButton().text(), "Display results on &screen");
    EXPECT_EQ(view()->fileButton().objectName(), "cmdFile");
    EXPECT_EQ(view()->fileButton().toolTip(), "Saves the (possibly edited) covariance output");
    EXPECT_FALSE(view()->fileButton().isEnabled());
    EXPECT_EQ(view()->finishButton().objectName(), "cmdFinish");
    EXPECT_EQ(view()->finishButton().text(), "&Finish display");
    EXPECT_EQ(frame->focusWidget(), &view()->screenButton());
}

TEST_F(CovarianceDisplayView, ButtonsReachTheEngine)
{
    QTest::mouseClick(&view()->screenButton(), Qt::LeftButton);
    const auto* calculations = findCovarianceCalculationsWindow(app);
    ASSERT_NE(calculations, nullptr);
    EXPECT_EQ(calculations->text().rfind("Parameter values, step sizes", 0), 0u);
    EXPECT_TRUE(view()->fileButton().isEnabled());

    QTest::mouseClick(&view()->finishButton(), Qt::LeftButton);
    deleteClosedViews();
    EXPECT_EQ(subWindow("frmCovDisplay"), nullptr);
    EXPECT_EQ(subWindow("frmCovData"), nullptr);
    EXPECT_NE(subWindow("frmMenu"), nullptr);
}

class CovarianceDisplayScreenshots : public ScreenshotTest {
protected:
    void prepareWindows() override { finishCovarianceRun(app); }
};

TEST_F(CovarianceDisplayScreenshots, DisplayWindowBesideTheCollatedReport)
{
    save(*subWindow("frmCovDisplay"), "frmCovDisplay");
    auto* display = app.desktop.find<CovarianceDisplayWindow>(CovarianceDisplayWindow::windowName);
    ASSERT_NE(display, nullptr);
    display->cmdScreen_Click();
    save(mainWindow(), "frmMain-frmCovDisplay");
}

} // namespace
} // namespace orvanta::gui::testing
