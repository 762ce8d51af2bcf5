// Pictures of the windows for a look by eye. Runs only when ORVANTA_SCREENSHOT_DIR names the
// folder to write them to, e.g.
//   ORVANTA_SCREENSHOT_DIR=/tmp/orvanta-shots QT_QPA_PLATFORM=offscreen test_gui
//   --gtest_filter='Screenshots*'
#include "GuiFixture.h"

#include "app/InfoWindows.h"
#include "app/MainMenu.h"
#include "model/InitializationWindow.h"
#include "ui/ReportWindow.h"

#include <QDir>
#include <QPixmap>

#include <cstdlib>

namespace orvanta::gui::testing {
namespace {

const char* const sampleSummary =
    "Tarnfield Size Frequency and Growth Increment Model\n"
    "\n"
    "Objective function (-2 ln[L]):      1234.5678\n"
    "Number of observations:               412\n"
    "\n"
    " No.  Parameter                        Value        Step  Fuse\n"
    "   1  L-infinity (mean)             88.2000      1.0000   ~~\n"
    "   2  K (mean)                       0.4500      0.0100   ~~\n"
    "   3  SD of L-infinity               6.1000      0.5000   ~~\n"
    "   4  SD of K                        0.0500      0.0000   ~~\n"
    "   5  Natural mortality              0.2200      0.0200   A\n"
    "   6  Fishing mortality              0.3100      0.0200   A\n"
    "\n"
    "  Size   Observed   Predicted   Chi-square contribution (a long line that runs past the window edge)\n"
    "  10.0        4        3.812        0.0093\n"
    "  20.0       17       18.204        0.0797\n"
    "  30.0       41       39.660        0.0453\n";

const char* const sampleHelp =
    "Prior distribution types\n"
    "\n"
    "Code  Name                      Term 1          Term 2          Term 3          Term 4\n"
    " U    Uniform (unbounded)       *               *               *               *\n"
    " T    Uniform (truncated)       lower bound     upper bound     *               *\n"
    " N    Normal                    mean            SD              lower bound     upper bound\n"
    " E    Exponential               mean            *               lower bound     upper bound\n"
    " G    Gamma                     shape           scale           lower bound     upper bound\n";

class Screenshots : public GuiTest {
protected:
    void SetUp() override
    {
        const char* dir = std::getenv("ORVANTA_SCREENSHOT_DIR");
        if (!dir || !*dir)
            GTEST_SKIP() << "ORVANTA_SCREENSHOT_DIR is not set";
        folder_ = QString::fromLocal8Bit(dir);
        ASSERT_TRUE(QDir().mkpath(folder_));
        mainWindow().resize(1180, 860);
        QCoreApplication::processEvents();
    }

    void save(QWidget& widget, const QString& name)
    {
        QCoreApplication::processEvents();
        const QString path = folder_ + '/' + name + ".png";
        EXPECT_TRUE(widget.grab().save(path)) << path.toStdString();
    }

    void saveInfoWindow(const char* menuEntry, const char* window)
    {
        mainWindow().action(menuEntry)->trigger();
        QWidget* view = find(window);
        ASSERT_NE(view, nullptr);
        save(*view, window);
        app.infoWindowClosed(window);
        deleteClosedViews();
    }

private:
    QString folder_;
};

TEST_F(Screenshots, MainWindowWithTheMainMenu)
{
    save(mainWindow(), "frmMain-frmMenu");
    save(*subWindow("frmMenu"), "frmMenu");
}

TEST_F(Screenshots, InformationWindows)
{
    saveInfoWindow("mnuDefaultNames", "frmDefaults");
    saveInfoWindow("mnuWisdom", "frmWisdom");
    saveInfoWindow("mnuCredits", "frmCredits");
}

TEST_F(Screenshots, HelpWindow)
{
    auto& help = static_cast<HelpWindow&>(app.desktop.open(std::make_unique<HelpWindow>()));
    help.setText(sampleHelp);
    save(*subWindow("frmHelp"), "frmHelp");
}

TEST_F(Screenshots, ReportWindow)
{
    app.startToolCommand(ToolStart::CloseAll);
    app.openReportWindow("frmSummary").setText(sampleSummary);
    app.mainWindow.setPanel(statusBar::files, 1, "Frequency file: /home/user/data/lengths.dat");
    app.mainWindow.setPanel(statusBar::files, 2, "Increment file: /home/user/data/tags.dat");
    app.mainWindow.setPanel(statusBar::algorithm, 1, "Algorithm file: /home/user/fits/03051407.alg");
    save(*subWindow("frmSummary"), "frmSummary");
    save(mainWindow(), "frmMain-frmSummary");
}

TEST_F(Screenshots, InitializationWindow)
{
    app.mainMenuButtonClicked(menuButton::initialize);
    auto* window = app.desktop.find<InitializationWindow>(InitializationWindow::windowName);
    ASSERT_NE(window, nullptr);
    save(*subWindow("frmInitialize"), "frmInitialize-start");
    // A path too long for the window, and both options enabled.
    ui.pickFile("/home/user/data/length-frequencies-of-the-southern-survey-area-1998-2003.dat")
        .pickFile("/home/user/data/tags.dat");
    window->cmdFrequency_Click();
    window->cmdIncrement_Click();
    save(*subWindow("frmInitialize"), "frmInitialize");
    save(mainWindow(), "frmMain-frmInitialize");
}

} // namespace
} // namespace orvanta::gui::testing
