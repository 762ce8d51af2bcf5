#include "GuiFixture.h"

#include "app/InfoWindows.h"
#include "gui/HelpWindowView.h"
#include "gui/Twips.h"

#include <QTextEdit>

namespace orvanta::gui::testing {
namespace {

class HelpWindowViewTest : public GuiTest {
protected:
    HelpWindow& openHelp()
    {
        mainWindow().resize(1200, 900);
        auto& window = static_cast<HelpWindow&>(app.desktop.open(std::make_unique<HelpWindow>()));
        QCoreApplication::processEvents();
        return window;
    }
};

TEST_F(HelpWindowViewTest, OpensAtItsTwipGeometryConvertedWithTheScreenResolution)
{
    openHelp();
    QMdiSubWindow* frame = subWindow("frmHelp");
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->windowTitle(), "Help");
    const int dpiX = frame->logicalDpiX();
    const int dpiY = frame->logicalDpiY();
    const auto px = [](int twips, int dpi) { return qRound(twips * dpi / 1440.0); };
    EXPECT_EQ(frame->geometry(), QRect(px(1000, dpiX), px(1000, dpiY), px(10000, dpiX), px(7500, dpiY)));
}

TEST_F(HelpWindowViewTest, TextBoxIsTheWindowLessItsMarginKeptInsideTheClientArea)
{
    openHelp();
    QMdiSubWindow* frame = subWindow("frmHelp");
    const auto* text = frame->findChild<QTextEdit*>("rtbHelp");
    ASSERT_NE(text, nullptr);
    const TwipScale scale(*frame);
    const QWidget* client = frame->widget();
    EXPECT_EQ(text->pos(), QPoint(0, 0));
    EXPECT_EQ(text->width(), std::min(scale.x(10000 - 120), client->width()));
    EXPECT_EQ(text->height(), std::min(scale.y(7500 - 120), client->height()));

    frame->resize(400, 300);
    EXPECT_EQ(text->width(), std::min(scale.x(scale.twipsX(400) - 120), client->width()));
    EXPECT_LT(text->height(), 300);
}

TEST_F(HelpWindowViewTest, ShowsTheTextWithoutWrappingLongLines)
{
    HelpWindow& window = openHelp();
    const std::string line(300, 'x');
    window.setText("Prior types\n" + line);
    const auto* text = subWindow("frmHelp")->findChild<QTextEdit*>("rtbHelp");
    EXPECT_EQ(text->toPlainText().toStdString(), "Prior types\n" + line);
    EXPECT_EQ(text->lineWrapMode(), QTextEdit::FixedPixelWidth);
    EXPECT_EQ(text->lineWrapColumnOrWidth(), TwipScale(*text).x(HelpWindow::rightMargin));
}

TEST(Twips, ConvertWithTheLogicalResolution)
{
    EXPECT_EQ(twipsToPixels(1440, 96), 96);
    EXPECT_EQ(twipsToPixels(3000, 96), 200);
    EXPECT_EQ(twipsToPixels(3000, 120), 250);
    EXPECT_EQ(twipsToPixels(100, 96), 7); // 6.67 rounds to 7
    EXPECT_EQ(pixelsToTwips(200, 96), 3000);
    const TwipScale scale(96, 144);
    EXPECT_EQ(scale.point(1440, 1440), QPoint(96, 144));
    EXPECT_EQ(scale.twipsY(144), 1440);
}

} // namespace
} // namespace orvanta::gui::testing
