// The calculations window "frmCovData" as the engine keeps it: its button's two roles, its
// closing, and where its controls go.

#include "app/Application.h"
#include "support/FakeClock.h"
#include "support/ScriptedUi.h"
#include "text/TextFile.h"
#include "uncertainty/CovarianceCalculationsWindow.h"

#include <gtest/gtest.h>

namespace orvanta::testing {
namespace {

class CalculationsWindow : public ::testing::Test {
protected:
    ScriptedUi ui;
    FakeClock clock;
    Application app{ui, clock, realFileSystem()};
};

TEST_F(CalculationsWindow, OpensOnceAtItsDesignPlace)
{
    CovarianceCalculationsWindow& window = openCovarianceCalculationsWindow(app);
    window.append("one\n");
    EXPECT_EQ(&openCovarianceCalculationsWindow(app), &window);
    EXPECT_EQ(window.text(), "one\n");
    EXPECT_EQ(window.name(), "frmCovData");
    EXPECT_EQ(window.caption(), "Covariance calculations");
    EXPECT_EQ(window.geometry().left, 100);
    EXPECT_EQ(window.geometry().top, 500);
    EXPECT_EQ(window.geometry().width, 15000);
    EXPECT_EQ(window.stopButton().caption, "&Interrupt these calculations");
}

// During a calculation the button asks for an interrupt and disables itself; after collation it
// carries the save hint and brings the display forward, however often it is pressed.
TEST_F(CalculationsWindow, ButtonInterruptsThenLeadsToTheDisplay)
{
    CovarianceCalculationsWindow& window = openCovarianceCalculationsWindow(app);
    int displays = 0;
    window.onShowDisplay = [&displays] { ++displays; };

    window.cmdStop_Click();
    EXPECT_TRUE(app.covariance.interruptRequested);
    EXPECT_FALSE(window.stopButton().enabled);
    EXPECT_EQ(displays, 0);

    window.showSaveHint();
    EXPECT_EQ(
        window.stopButton().caption,
        "To save these results [restore or minimize this form then] choose 'Save covariance results as...'");
    EXPECT_TRUE(window.stopButton().enabled);
    window.cmdStop_Click();
    window.cmdStop_Click();
    EXPECT_EQ(displays, 2);
}

TEST_F(CalculationsWindow, ClosingRestoresTheInterruptCaptionAndTellsTheDisplay)
{
    CovarianceCalculationsWindow& window = openCovarianceCalculationsWindow(app);
    window.showSaveHint();
    std::string captionWhenClosed;
    window.onClosed = [&] { captionWhenClosed = window.stopButton().caption; };
    app.desktop.close(CovarianceCalculationsWindow::windowName);
    EXPECT_EQ(captionWhenClosed, "&Interrupt these calculations");
    EXPECT_EQ(findCovarianceCalculationsWindow(app), nullptr);
}

// The text box fills the width less 120 twips and the height less the button and 400 twips; a
// height that would not be positive leaves the box's height alone.
TEST(CovarianceCalculationsLayout, TextBoxFollowsTheWindowSize)
{
    const CovarianceCalculationsLayout big = layoutCovarianceCalculationsWindow(15000, 8000, 360);
    EXPECT_EQ(big.buttonWidth, 15000);
    EXPECT_EQ(big.textTop, 360);
    EXPECT_EQ(big.textWidth, 14880);
    EXPECT_EQ(big.textHeight, 7240);

    const CovarianceCalculationsLayout small = layoutCovarianceCalculationsWindow(100, 700, 360);
    EXPECT_EQ(small.textWidth, 0);
    EXPECT_FALSE(small.textHeight.has_value());
}

} // namespace
} // namespace orvanta::testing
