#include "GuiFixture.h"

#include "app/MainMenu.h"
#include "gui/GrowthCurvePicture.h"
#include "gui/MainMenuView.h"
#include "gui/Twips.h"

#include <QLabel>
#include <QPushButton>

#include <algorithm>
#include <vector>

namespace orvanta::gui::testing {
namespace {

class MainMenuViewTest : public GuiTest {
protected:
    QPushButton* button(const std::string& name) const { return find<QPushButton>(name.c_str()); }
    MainMenuWindow& menu() const { return *app.mainMenu(); }
};

TEST_F(MainMenuViewTest, OpensInsideTheMainWindowAtItsDesignPosition)
{
    QMdiSubWindow* frame = subWindow("frmMenu");
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->windowTitle(), "Main menu");
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(frame->mdiArea(), &mainWindow().mdiArea());
    const TwipScale scale(*frame);
    EXPECT_EQ(frame->pos(), QPoint(scale.x(3000), scale.y(2000)));
    EXPECT_EQ(mainWindow().mdiArea().activeSubWindow(), frame);
}

TEST_F(MainMenuViewTest, ShowsTheWelcomeTheModelTitleAndThePicture)
{
    EXPECT_EQ(find<QLabel>("lblWelcome")->text().toStdString(), MainMenuWindow::welcomeText);
    EXPECT_EQ(find<QLabel>("lblModelName")->text().toStdString(), menu().modelName());
    EXPECT_FALSE(menu().modelName().empty());
    const QLabel* picture = find<QLabel>("imgHandshake");
    ASSERT_NE(picture, nullptr);
    EXPECT_FALSE(picture->pixmap().isNull());
    const auto labels = subWindow("frmMenu")->findChildren<QLabel*>();
    EXPECT_TRUE(std::any_of(labels.begin(), labels.end(),
                            [](const QLabel* l) { return l->text() == "Minimize with..."; }));
}

TEST_F(MainMenuViewTest, ButtonsShowTheEngineCaptionsToolTipsAndStates)
{
    ASSERT_EQ(menu().buttons().size(), 13u);
    for (const CommandButton& model : menu().buttons()) {
        const QPushButton* b = button(model.name);
        ASSERT_NE(b, nullptr) << model.name;
        EXPECT_EQ(b->text().toStdString(), model.caption) << model.name;
        EXPECT_EQ(b->toolTip().toStdString(), model.toolTip) << model.name;
        const bool startsEnabled = model.name == menuButton::initialize || model.name == menuButton::quit;
        EXPECT_EQ(b->isEnabled(), startsEnabled) << model.name;
    }
    EXPECT_EQ(button(menuButton::editAlg)->text(), "&Edit  algorithm data");
}

TEST_F(MainMenuViewTest, TabOrderFollowsTheTabIndexes)
{
    std::vector<CommandButton> byTab = menu().buttons();
    std::sort(byTab.begin(), byTab.end(),
              [](const auto& a, const auto& b) { return a.tabIndex < b.tabIndex; });

    std::vector<std::string> chain;
    QWidget* w = button(byTab.front().name);
    for (size_t steps = 0; steps < 200 && chain.size() < byTab.size(); ++steps, w = w->nextInFocusChain())
        if (auto* b = qobject_cast<QPushButton*>(w))
            chain.push_back(b->objectName().toStdString());

    std::vector<std::string> expected;
    for (const CommandButton& b : byTab)
        expected.push_back(b.name);
    EXPECT_EQ(chain, expected);
    EXPECT_EQ(expected.front(), menuButton::initialize);
    EXPECT_EQ(expected.back(), menuButton::rank);
}

TEST_F(MainMenuViewTest, FollowsButtonChangesOfTheEngine)
{
    menu().setButtonCaption(menuButton::userSummary, resultsSummaryCaption, resultsSummaryToolTip);
    menu().setButtonEnabled(menuButton::userSummary, true);
    EXPECT_EQ(button(menuButton::userSummary)->text(), resultsSummaryCaption);
    EXPECT_EQ(button(menuButton::userSummary)->toolTip(), resultsSummaryToolTip);
    EXPECT_TRUE(button(menuButton::userSummary)->isEnabled());
}

TEST_F(MainMenuViewTest, ReopenedMenuOfAReadySessionEnablesEveryButton)
{
    app.session.initializeAlready = true;
    app.session.algorithmFileName = "fit.alg";
    app.closeMainMenu();
    deleteClosedViews();
    app.showMainMenu();
    for (const CommandButton& model : menu().buttons())
        EXPECT_TRUE(button(model.name)->isEnabled()) << model.name;
}

TEST_F(MainMenuViewTest, ClickedButtonGoesToTheEngine)
{
    ui.answer(Answer::No);
    button(menuButton::quit)->click();
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, "Do you want to quit Orvanta?");
}

TEST_F(MainMenuViewTest, TitleBarCloseClosesTheEngineWindow)
{
    subWindow("frmMenu")->close();
    EXPECT_FALSE(app.desktop.isOpen("frmMenu"));
    deleteClosedViews();
    EXPECT_EQ(subWindow("frmMenu"), nullptr);
    EXPECT_TRUE(mainWindow().mdiArea().subWindowList().isEmpty());
}

TEST_F(MainMenuViewTest, HiddenMenuHidesItsFrame)
{
    app.startToolCommand(ToolStart::HideMainMenu);
    EXPECT_TRUE(app.desktop.isOpen("frmMenu"));
    EXPECT_FALSE(subWindow("frmMenu")->isVisible());
    app.showMainMenu();
    EXPECT_TRUE(subWindow("frmMenu")->isVisible());
}

TEST(GrowthCurvePicture, DrawsOnATransparentBackground)
{
    const QImage image = growthCurvePicture(QSize(112, 84), 1.0).toImage();
    EXPECT_EQ(image.size(), QSize(112, 84));
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0); // the rounded corner
    // The curve passes through the middle of the plot in a colour of its own.
    int drawn = 0;
    for (int y = 0; y < image.height(); ++y)
        drawn += image.pixelColor(56, y).blue() > image.pixelColor(56, y).red() + 60 ? 1 : 0;
    EXPECT_GT(drawn, 0);
}

} // namespace
} // namespace orvanta::gui::testing
