#include "GuiFixture.h"

#include "app/InfoWindows.h"

#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>

namespace orvanta::gui::testing {
namespace {

struct InfoCase {
    const char* menuEntry;
    const char* window;
    const char* caption;
    const char* textBox;
    std::string (*text)();
};

void PrintTo(const InfoCase& c, std::ostream* os)
{
    *os << c.window;
}

class InfoWindowViewTest : public GuiTest, public ::testing::WithParamInterface<InfoCase> {
protected:
    QWidget* openFromMenu()
    {
        mainWindow().action(GetParam().menuEntry)->trigger();
        return find(GetParam().window);
    }
    bool mainWindowTakesInput() const
    {
        return mainWindow().menuBar()->isEnabled() && mainWindow().mdiArea().isEnabled();
    }
};

TEST_P(InfoWindowViewTest, OpensAsAWindowOfItsOwnWithCaptionAndText)
{
    QWidget* window = openFromMenu();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isWindow());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), GetParam().caption);

    const auto* text = window->findChild<QPlainTextEdit*>(GetParam().textBox);
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(text->isReadOnly());
    EXPECT_EQ(text->toPlainText().toStdString(), GetParam().text());
    EXPECT_NE(window->findChild<QPushButton*>("cmdOK"), nullptr);
}

TEST_P(InfoWindowViewTest, MainWindowTakesNoInputWhileItIsOpen)
{
    QWidget* window = openFromMenu();
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(app.mainWindow.enabled());
    EXPECT_FALSE(mainWindowTakesInput());
    EXPECT_TRUE(window->isEnabled());
    EXPECT_TRUE(window->findChild<QPushButton*>("cmdOK")->isEnabled());
    // Closing the main window is refused without a question.
    EXPECT_FALSE(mainWindow().close());
    EXPECT_TRUE(ui.messages().empty());
}

TEST_P(InfoWindowViewTest, OkClosesItAndTheMainWindowTakesInputAgain)
{
    QWidget* window = openFromMenu();
    ASSERT_NE(window, nullptr);
    window->findChild<QPushButton*>("cmdOK")->click();
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(app.desktop.isOpen(GetParam().window));
    EXPECT_TRUE(app.mainWindow.enabled());
    EXPECT_TRUE(mainWindowTakesInput());
    deleteClosedViews();
    EXPECT_EQ(find(GetParam().window), nullptr);
}

TEST_P(InfoWindowViewTest, TitleBarCloseCountsAsOk)
{
    QWidget* window = openFromMenu();
    ASSERT_NE(window, nullptr);
    window->close();
    EXPECT_FALSE(app.desktop.isOpen(GetParam().window));
    EXPECT_TRUE(mainWindowTakesInput());
}

INSTANTIATE_TEST_SUITE_P(
    SmallWindows, InfoWindowViewTest,
    ::testing::Values(InfoCase{"mnuDefaultNames", "frmDefaults", "Default names and values etc.",
                               "txtDefaultNames", &defaultNamesText},
                      InfoCase{"mnuWisdom", "frmWisdom", "Patience and wisdom lead to satisfying results",
                               "txtWisdom", &wisdomText},
                      InfoCase{"mnuCredits", "frmCredits", "Thanks everyone", "txtCredits", &creditsText}),
    [](const ::testing::TestParamInfo<InfoCase>& info) { return std::string(info.param.window); });

} // namespace
} // namespace orvanta::gui::testing
