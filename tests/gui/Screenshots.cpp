// Pictures of the windows for a look by eye. Runs only when ORVANTA_SCREENSHOT_DIR names the
// folder to write them to, e.g.
//   ORVANTA_SCREENSHOT_DIR=/tmp/orvanta-shots QT_QPA_PLATFORM=offscreen test_gui
//   --gtest_filter='Screenshots*'
#include "ModelPriorsSession.h"
#include "ScreenshotFixture.h"

#include "gui/QtUserInterface.h"

#include "algorithm/AlgorithmData.h"
#include "algorithm/AlgorithmEditor.h"
#include "app/InfoWindows.h"
#include "app/MainMenu.h"
#include "model/InitializationWindow.h"
#include "model/TarnfieldModel.h"
#include "priors/PriorEditor.h"
#include "priors/PriorsFlow.h"
#include "text/NumberText.h"
#include "ui/ReportWindow.h"

#include <QMessageBox>

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

class Screenshots : public ScreenshotTest {
protected:
    void saveInfoWindow(const char* menuEntry, const char* window)
    {
        mainWindow().action(menuEntry)->trigger();
        QWidget* view = find(window);
        ASSERT_NE(view, nullptr);
        save(*view, window);
        app.infoWindowClosed(window);
        deleteClosedViews();
    }
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

TEST_F(Screenshots, AlgorithmEditor)
{
    app.session.initializeAlready = true;
    app.session.algorithmFileName = "/home/user/fits/03051407.alg";
    app.algorithm.paramCount = 20;
    resetAlgorithmData(app.algorithm);
    app.algorithm.paramDescriptions = TarnfieldModel::parameterDescriptions();
    const double values[] = {0, 88.2, 6.1, 0.45, 0.05, 0.2, 120, 0, 0, 4.5, 0.22, 0.31};
    for (int i = 1; i <= 11; ++i)
        app.algorithm.paramValues[static_cast<std::size_t>(i)] = values[i];
    for (int i : {1, 2, 3, 5, 10})
        app.algorithm.paramSteps[static_cast<std::size_t>(i)] = values[i] / 10;
    app.algorithm.fuseCodes[10] = "A";
    app.algorithm.fuseCodes[11] = "A";
    app.closeMainMenu();
    app.showMainMenu();
    app.mainMenuButtonClicked(menuButton::editAlg);
    auto* editor = app.desktop.find<AlgorithmEditor>(AlgorithmEditor::windowName);
    ASSERT_NE(editor, nullptr);
    save(*subWindow("frmAlgo"), "frmAlgo-start");

    // Changed cells in light red.
    editor->grdVS_DblClick(4, gridColumn::step);
    editor->setCellEditorText("0.01");
    editor->txtValue_LostFocus();
    editor->grdVS_DblClick(12, gridColumn::fuse);
    editor->setCellEditorText("b");
    editor->txtValue_LostFocus();

    // A step sequence on row 3, pictured while its question is up.
    const int editedRow = 3;
    const int subscription = editor->subscribe([&] {
        if (editor->editingRow() == editedRow)
            save(*subWindow("frmAlgo"), "frmAlgo");
    });
    for (int i = 1; i < editedRow; ++i)
        ui.type(numberText(app.algorithm.paramSteps[static_cast<std::size_t>(i)]));
    ui.type("");
    editor->grdVS_DblClick(0, gridColumn::step);
    editor->unsubscribe(subscription);

    // An open cell editor over a value.
    editor->grdVS_DblClick(6, gridColumn::value);
    save(*subWindow("frmAlgo"), "frmAlgo-cell-editor");
    save(mainWindow(), "frmMain-frmAlgo");

    editor->menuChosen("mnuValues");
    QWidget* dialog = find("frmEditVS");
    ASSERT_NE(dialog, nullptr);
    save(*dialog, "frmEditVS");
}

// The load-priors window, and the prior editor with entered priors and a marked row.
TEST_F(Screenshots, PriorWindows)
{
    prepareModelPriors(app);
    app.session.priorsFileName = "/home/user/fits/cod.pri";
    app.priors[2] = PriorSpec{"G", 6, 2, {}, {}};
    app.priors[10] = PriorSpec{"S", 0, 0, {}, {}};
    app.closeMainMenu();
    app.showMainMenu();
    app.mainMenuButtonClicked(menuButton::bayesian);
    save(*subWindow("frmLoadPriors"), "frmLoadPriors");
    save(mainWindow(), "frmMain-frmLoadPriors");

    loadPriorsButtonClicked(app, loadPriorsButton::set);
    auto* editor = app.desktop.find<PriorEditor>(PriorEditor::windowName);
    ASSERT_NE(editor, nullptr);
    save(*subWindow("frmSetPriors"), "frmSetPriors-start");

    // Entered priors in light red: a Gaussian L-infinity and a uniform-bounded SD of k.
    editor->grdSetPriors_Click(2);
    ui.type("88.2").type("5");
    editor->menuChosen("mnuN");
    editor->grdSetPriors_Click(5);
    ui.type("0").type("0").type("0.2").type("0.01");
    editor->menuChosen("mnuT");
    // The marked row, the left-side cliff of natural mortality.
    editor->grdSetPriors_Click(11);
    save(*subWindow("frmSetPriors"), "frmSetPriors");
    save(mainWindow(), "frmMain-frmSetPriors");
}

// The status bars during a covariance run, and message boxes with long titles and lines.
TEST_F(Screenshots, StatusBarsAndMessageBoxes)
{
    mainWindow().resize(1600, 1000);
    app.mainWindow.setPanel(statusBar::files, 1, "Frequency file: /home/user/data/tarnfield-lengths.dat");
    app.mainWindow.setPanel(statusBar::files, 2, "Increment file: /home/user/data/tarnfield-tags.dat");
    app.mainWindow.setPanel(statusBar::messages, 1, "Hessian function call 12 of 56");
    app.mainWindow.setPanel(statusBar::messages, 2, "Estimated time remaining for all three grids (m:s): 2:05");
    app.mainWindow.setPanel(statusBar::messages, 3,
                            "Working to improve estimates. Objective function for trial # 3, is :  1.57704E+03");
    save(mainWindow(), "frmMain-status-bars");

    struct Box {
        const char* name;
        const char* text;
        const char* title;
        Icon icon;
    };
    const Box boxes[] = {
        {"msgbox-simplex-minimum", "Minimum found using Simplex!", "Simplex minimum", Icon::CriticalInformation},
        {"msgbox-long-title", "Save algorithm data?", "What about algorithm data?", Icon::Question},
        {"msgbox-long-line",
         "Algorithm data will be lost during this initialization.\n\n  Do you need to save current algorithm data?",
         "Initialize", Icon::Exclamation},
    };
    for (const Box& b : boxes) {
        const auto box = makeMessageBox(b.text, b.title, Buttons::YesNo, b.icon, DefaultButton::First);
        box->show();
        save(*box, b.name);
    }
}

} // namespace
} // namespace orvanta::gui::testing
