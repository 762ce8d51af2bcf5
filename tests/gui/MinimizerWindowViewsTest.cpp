#include "GuiFixture.h"

#include "gui/MarquardtWindowView.h"
#include "gui/SimplexWindowView.h"
#include "gui/Twips.h"
#include "minimize/MarquardtWindow.h"
#include "minimize/SimplexWindow.h"

#include <QFontInfo>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>

namespace orvanta::gui::testing {
namespace {

class MinimizerWindowViews : public GuiTest {
protected:
    MinimizerWindowViews() { app.startToolCommand(ToolStart::CloseAll); }

    template <typename View> View* viewOf(const char* name) const
    {
        QMdiSubWindow* frame = subWindow(name);
        return frame ? qobject_cast<View*>(frame->widget()) : nullptr;
    }

    // A press, a move and a release of the left button, as a drag of the band delivers them.
    static void drag(QWidget& widget, QPoint from, QPoint to)
    {
        QMouseEvent press(QEvent::MouseButtonPress, from, widget.mapToGlobal(from), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&widget, &press);
        QMouseEvent move(QEvent::MouseMove, to, widget.mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(&widget, &move);
        QMouseEvent release(QEvent::MouseButtonRelease, to, widget.mapToGlobal(to), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&widget, &release);
    }
};

// ---- frmSimplex -------------------------------------------------------------------------------

TEST_F(MinimizerWindowViews, SimplexWindowShowsItsButtonAndTwoFixedPitchBoxesStacked)
{
    SimplexWindow& window = openSimplexWindow(app, 3);
    window.setInitialText("initial simplex");
    window.setProgressText("progress");
    QMdiSubWindow* frame = subWindow("frmSimplex");
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->windowTitle().toStdString(), SimplexWindow::captionText);
    const TwipScale scale(*frame);
    EXPECT_EQ(frame->pos(), scale.point(500, 500));
    EXPECT_EQ(frame->width(), scale.x(14000));

    const auto* view = viewOf<SimplexWindowView>("frmSimplex");
    ASSERT_NE(view, nullptr);
    const QPushButton& stop = view->stopButton();
    EXPECT_EQ(stop.objectName(), "cmdStop");
    EXPECT_EQ(stop.text(), "&Interrupt");
    EXPECT_EQ(stop.toolTip(), "Click here to interrupt the current minimization");
    EXPECT_EQ(stop.pos(), QPoint(0, 0));
    EXPECT_EQ(stop.width(), view->width());

    for (const QTextEdit* box : {&view->initialBox(), &view->progressBox()}) {
        EXPECT_EQ(box->font().family(), "Courier New");
        EXPECT_TRUE(QFontInfo(box->font()).fixedPitch());
        EXPECT_EQ(box->font().pointSize(), 10);
    }
    EXPECT_EQ(view->initialBox().objectName(), "rtbSimplexInitial");
    EXPECT_EQ(view->progressBox().objectName(), "rtbSimplex");
    EXPECT_EQ(view->initialBox().toPlainText(), "initial simplex");
    EXPECT_EQ(view->progressBox().toPlainText(), "progress");

    // Button, upper box, band and lower box follow each other down the window.
    EXPECT_EQ(view->initialBox().y(), stop.height());
    EXPECT_EQ(view->initialBox().height(), scale.y(3000));
    EXPECT_EQ(view->splitterBand().y(), view->initialBox().geometry().bottom() + 1);
    EXPECT_EQ(view->progressBox().y(), view->splitterBand().geometry().bottom() + 1);
    EXPECT_GT(view->progressBox().height(), 0);
    EXPECT_LE(view->progressBox().geometry().bottom(), view->height());
    EXPECT_EQ(view->splitterBand().cursor().shape(), Qt::SplitVCursor);
}

TEST_F(MinimizerWindowViews, ManyFreeParametersGetTheSmallerFont)
{
    openSimplexWindow(app, 26);
    const auto* view = viewOf<SimplexWindowView>("frmSimplex");
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->initialBox().font().pointSize(), 8);
    EXPECT_EQ(view->progressBox().font().pointSize(), 8);
}

TEST_F(MinimizerWindowViews, DraggingTheBandMovesTheBorderBetweenTheBoxes)
{
    SimplexWindow& window = openSimplexWindow(app, 3);
    auto* view = viewOf<SimplexWindowView>("frmSimplex");
    ASSERT_NE(view, nullptr);
    QWidget& band = view->splitterBand();
    const int lowerBottom = view->progressBox().geometry().bottom();
    const int upperBefore = view->initialBox().height();

    drag(band, QPoint(10, 1), QPoint(10, 61));
    EXPECT_GT(window.upperBoxHeight(), 3000);
    const TwipScale scale(*view);
    EXPECT_EQ(view->initialBox().height(), scale.y(window.upperBoxHeight()));
    EXPECT_GT(view->initialBox().height(), upperBefore + 50);
    EXPECT_EQ(view->splitterBand().y(), view->initialBox().geometry().bottom() + 1);
    EXPECT_EQ(view->progressBox().y(), view->splitterBand().geometry().bottom() + 1);
    EXPECT_EQ(view->progressBox().geometry().bottom(), lowerBottom);

    // Dragged far above the window's top, the upper box keeps its least height.
    drag(band, QPoint(10, 1), QPoint(10, -2000));
    EXPECT_EQ(window.upperBoxHeight(), SimplexWindow::minimumBoxHeight);
}

TEST_F(MinimizerWindowViews, SimplexStopButtonReachesTheEngine)
{
    SimplexWindow& window = openSimplexWindow(app, 3);
    auto* view = viewOf<SimplexWindowView>("frmSimplex");
    ASSERT_NE(view, nullptr);
    QTest::mouseClick(&view->stopButton(), Qt::LeftButton);
    EXPECT_TRUE(app.minimization.interruptRequested);
    EXPECT_FALSE(window.stopButton().enabled);
    EXPECT_FALSE(view->stopButton().isEnabled());
    EXPECT_EQ(app.mainWindow.panelText(statusBar::messages, 1), "Interrupt pending...");
}

TEST_F(MinimizerWindowViews, TitleBarCloseOfTheSimplexWindowShowsTheMainMenu)
{
    openSimplexWindow(app, 3);
    subWindow("frmSimplex")->close();
    EXPECT_FALSE(app.desktop.isOpen("frmSimplex"));
    deleteClosedViews();
    EXPECT_EQ(subWindow("frmSimplex"), nullptr);
    ASSERT_NE(subWindow("frmMenu"), nullptr);
}

// ---- frmMarquardt -----------------------------------------------------------------------------

TEST_F(MinimizerWindowViews, MarquardtWindowShowsTheStopButtonAboveTheTextAndHidesThePauseButtons)
{
    MarquardtWindow& window = openMarquardtWindow(app, 3);
    window.setText("progress");
    QMdiSubWindow* frame = subWindow("frmMarquardt");
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->windowTitle().toStdString(), MarquardtWindow::captionText);
    const auto* view = viewOf<MarquardtWindowView>("frmMarquardt");
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->stopButton().text(), "&Interrupt");
    EXPECT_EQ(view->iterationButton().text(), "&Next iteration");
    EXPECT_EQ(view->iterationButton().toolTip(), "Click to pause minimization after each iteration");
    EXPECT_EQ(view->continueButton().text(), "&Continue");
    EXPECT_EQ(view->continueButton().toolTip(),
              "Click to continue minimizing without pausing after each iteration");
    EXPECT_FALSE(view->iterationButton().isVisible());
    EXPECT_FALSE(view->continueButton().isVisible());
    EXPECT_EQ(view->textBox().objectName(), "rtbMarquardt");
    EXPECT_EQ(view->textBox().toPlainText(), "progress");
    EXPECT_EQ(view->textBox().font().family(), "Courier New");
    EXPECT_EQ(view->textBox().y(), view->stopButton().height());
}

TEST_F(MinimizerWindowViews, PauseButtonsAppearAtTheirPlacesAndResumeTheRun)
{
    MarquardtWindow& window = openMarquardtWindow(app, 3);
    auto* view = viewOf<MarquardtWindowView>("frmMarquardt");
    ASSERT_NE(view, nullptr);
    app.minimization.resumeRequested = false;
    app.minimization.showDerivatives = true;
    window.setPauseButtonsShown(true);
    const TwipScale scale(*view);
    for (const QPushButton* b : {&view->iterationButton(), &view->continueButton()}) {
        EXPECT_TRUE(b->isVisible());
        EXPECT_TRUE(b->isEnabled());
        EXPECT_EQ(b->x(), scale.x(11000));
    }
    EXPECT_EQ(view->iterationButton().y(), scale.y(800));
    EXPECT_EQ(view->continueButton().y(), scale.y(1400));

    QTest::mouseClick(&view->iterationButton(), Qt::LeftButton);
    EXPECT_TRUE(app.minimization.resumeRequested);
    EXPECT_TRUE(app.minimization.showDerivatives);
    EXPECT_FALSE(view->iterationButton().isVisible());
    EXPECT_FALSE(view->continueButton().isVisible());
}

TEST_F(MinimizerWindowViews, MarquardtStopButtonReachesTheEngine)
{
    MarquardtWindow& window = openMarquardtWindow(app, 3);
    auto* view = viewOf<MarquardtWindowView>("frmMarquardt");
    ASSERT_NE(view, nullptr);
    QTest::mouseClick(&view->stopButton(), Qt::LeftButton);
    EXPECT_TRUE(app.minimization.marquardtInterrupt);
    EXPECT_FALSE(window.stopButton().button.enabled);
    EXPECT_FALSE(view->stopButton().isEnabled());
    EXPECT_EQ(app.mainWindow.panelText(statusBar::messages, 2), "Interrupt pending...");
}

} // namespace
} // namespace orvanta::gui::testing
