// The covariance display window as the user meets it after a run: opening, collating the report
// into the calculations window, saving .cov files and finishing.

#include "uncertainty/CovarianceDisplayWindow.h"

#include "CovarianceReportFixture.h"
#include "app/Application.h"
#include "app/MainMenu.h"
#include "support/DesktopRecorder.h"
#include "support/FailingFileSystem.h"
#include "support/FakeClock.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"
#include "text/NumberText.h"
#include "text/TextFile.h"
#include "ui/ReportWindow.h"
#include "uncertainty/CovarianceCalculationsWindow.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <string>
#include <vector>

namespace orvanta::testing {
namespace {

class CovarianceDisplay : public ::testing::Test {
protected:
    explicit CovarianceDisplay(FileSystem& files = realFileSystem()) : app(ui, clock, files)
    {
        app.start();
        app.desktop.setObserver(&recorder);
        SmallRun small;
        app.algorithm = small.algorithm;
        app.covariance = small.run;
        app.session.covScale = small.covScale;
        app.session.algorithmBaseName = "tarnfield";
        report = small.text();
    }

    // The state a run leaves: the account in the calculations window, the menu closed.
    void finishRun(bool justFinished = true)
    {
        app.startToolCommand(ToolStart::CloseAll);
        openCovarianceCalculationsWindow(app).append("Now calculating -ln[likelihood] on grid #1\n");
        app.covariance.lastRunJustFinished = justFinished;
        app.mainWindow.setPanel(statusBar::messages, 1, "Hessian function call    6 of    6");
        showCovarianceDisplay(app);
    }

    CovarianceDisplayWindow& display()
    {
        auto* window = app.desktop.find<CovarianceDisplayWindow>(CovarianceDisplayWindow::windowName);
        EXPECT_NE(window, nullptr);
        return *window;
    }
    CovarianceCalculationsWindow* calculations() { return findCovarianceCalculationsWindow(app); }
    std::string panel1() const { return app.mainWindow.panelText(statusBar::messages, 1); }
    bool applicationMenuEnabled() const { return app.mainWindow.findMenu("mnuApplication")->enabled; }

    // What a .cov file saved under path holds for the report text.
    static std::string savedFile(const std::string& path, const std::string& text)
    {
        return withCrLf(savedNameLine + path + "\n\n" + text);
    }

    ScriptedUi ui;
    FakeClock clock;
    Application app;
    DesktopRecorder recorder;
    TempDir dir;
    std::string report;
};

TEST_F(CovarianceDisplay, OpensBesideTheAccountWithOnlyTheReportButtonsReady)
{
    finishRun();
    const CovarianceDisplayWindow& window = display();
    EXPECT_EQ(window.caption(), "Covariance data");
    EXPECT_EQ(window.geometry().left, 11000);
    EXPECT_EQ(window.geometry().top, 1200);
    EXPECT_EQ(window.labelText(), "Calculation completed. Do you wish to:");
    EXPECT_EQ(window.screenButton().caption, "Display results on &screen");
    EXPECT_TRUE(window.screenButton().enabled);
    EXPECT_EQ(window.fileButton().caption, "Save &covariance results as...");
    EXPECT_EQ(window.fileButton().toolTip, "Saves the (possibly edited) covariance output");
    EXPECT_FALSE(window.fileButton().enabled);
    EXPECT_EQ(window.finishButton().caption, "&Finish display");
    EXPECT_EQ(std::string(CovarianceDisplayWindow::initialFocus), "cmdScreen");
    // The pieces of the explanation join without separators: check the joins and the ends.
    for (const char* join :
         {"three grids, then the model's", "'close-to-linear' and the uncertainty",
          "can be considered to be represented", "probably inaccurate", "This problem tends",
          "central limit theorem", "option 'Evaluate estimates'", "or Bayesian utilities"})
        EXPECT_NE(window.explanation().find(join), std::string::npos) << join;
    EXPECT_EQ(window.explanation().rfind("If the results for numerically calculated SEs etc.", 0), 0u);
    EXPECT_EQ(window.explanation().substr(window.explanation().size() - 34),
              "to evaluate parameter uncertainty.");
    EXPECT_EQ(app.mainMenu(), nullptr);
    EXPECT_EQ(panel1(), "");
    EXPECT_EQ(recorder.raised.back(), CovarianceDisplayWindow::windowName);
}

TEST_F(CovarianceDisplay, ReopenedResultsAskWithoutTheCompletionNote)
{
    finishRun(false);
    EXPECT_EQ(display().labelText(), "Do you wish to:");
}

TEST_F(CovarianceDisplay, CollatingReplacesTheAccountWithTheReport)
{
    finishRun();
    std::vector<std::string> panelsWhileCollating;
    ui.onYield = [this, &panelsWhileCollating] {
        panelsWhileCollating.push_back(panel1());
        EXPECT_FALSE(display().screenButton().enabled);
    };
    display().cmdScreen_Click();

    EXPECT_EQ(calculations()->text(), report);
    EXPECT_EQ(
        calculations()->stopButton().caption,
        "To save these results [restore or minimize this form then] choose 'Save covariance results as...'");
    EXPECT_EQ(ui.yieldCount(), 11); // one per table row
    EXPECT_EQ(panelsWhileCollating.front(), "Please be patient while covariance output is collated...");
    EXPECT_EQ(panel1(), "");
    EXPECT_TRUE(display().screenButton().enabled);
    EXPECT_TRUE(display().fileButton().enabled);
    EXPECT_EQ(recorder.raised.back(), CovarianceDisplayWindow::windowName);
}

TEST_F(CovarianceDisplay, TheSaveHintButtonBringsTheDisplayForward)
{
    finishRun();
    display().cmdScreen_Click();
    recorder.raised.clear();
    calculations()->cmdStop_Click();
    EXPECT_EQ(recorder.raised, std::vector<std::string>{CovarianceDisplayWindow::windowName});
}

TEST_F(CovarianceDisplay, SaveOffersTheCovarianceFiltersAndWritesTheHeadedReport)
{
    finishRun();
    display().cmdScreen_Click();
    const std::string path = dir.file("fit.cov");
    ui.pickFile(path);
    display().cmdFile_Click();

    const FileDialogRequest& request = ui.shown().back().file;
    EXPECT_EQ(request.mode, FileDialogMode::Save);
    EXPECT_EQ(request.title, "Save covariance data in...");
    EXPECT_EQ(request.filter, "All files (*.*)|*.*|Covariance files (*.cov)|*.cov|"
                              "Named for algorithm file (tarnfield.*)|tarnfield.*");
    EXPECT_EQ(request.filterIndex, 3);
    EXPECT_EQ(request.defaultName, ".cov");
    EXPECT_EQ(readFileBytes(path), savedFile(path, report));
    EXPECT_EQ(calculations()->text(), savedNameLine + path + "\n\n" + report);
}

// Model averaging reads a saved file by position: after 4 lines one line per model parameter
// with its value in characters 7-20; 15 lines further one line per free parameter with its
// number in characters 1-3 and the standard errors of grids 1-3 in the 14 characters from
// columns 25, 43 and 61.
TEST_F(CovarianceDisplay, ASavedFileReadsBackAsPrinted)
{
    finishRun();
    display().cmdScreen_Click();
    const std::string path = dir.file("fit.cov");
    ui.pickFile(path);
    display().cmdFile_Click();

    std::vector<std::string> lines;
    const std::string bytes = readFileBytes(path);
    for (std::size_t start = 0, end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(bytes.substr(start, end - start));

    const CovarianceRun& run = app.covariance;
    std::size_t line = 4;
    for (std::size_t p = 1; p <= 3; ++p, ++line)
        EXPECT_EQ(leadingNumber(lines.at(line).substr(6, 14)), run.centreValues[p]) << p;
    line += 15;
    for (std::size_t a = 1; a <= 2; ++a, ++line) {
        EXPECT_EQ(leadingNumber(lines.at(line).substr(0, 3)), run.covParamOf[a]);
        for (std::size_t g = 1; g <= 3; ++g)
            EXPECT_EQ(leadingNumber(lines.at(line).substr(24 + 18 * (g - 1), 14)),
                      run.grids[g].standardError[a])
                << "grid " << g << ", position " << a;
    }
}

TEST_F(CovarianceDisplay, SavingTwiceStacksTwoSavedNameLines)
{
    finishRun();
    display().cmdScreen_Click();
    const std::string first = dir.file("a.cov");
    const std::string second = dir.file("b.cov");
    ui.pickFile(first).pickFile(second);
    display().cmdFile_Click();
    display().cmdFile_Click();

    EXPECT_EQ(readFileBytes(first), savedFile(first, report));
    EXPECT_EQ(readFileBytes(second), savedFile(second, savedNameLine + first + "\n\n" + report));
}

TEST_F(CovarianceDisplay, CancelledSaveChangesNothing)
{
    finishRun();
    display().cmdScreen_Click();
    ui.cancelFile();
    display().cmdFile_Click();
    EXPECT_EQ(calculations()->text(), report);
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
    EXPECT_TRUE(ui.messages().empty());
}

TEST_F(CovarianceDisplay, CollatingAgainDiscardsEditsAndSavedNames)
{
    finishRun();
    display().cmdScreen_Click();
    ui.pickFile(dir.file("a.cov"));
    display().cmdFile_Click();
    calculations()->takeEditedText("edited");
    display().cmdScreen_Click();
    EXPECT_EQ(calculations()->text(), report);
}

TEST_F(CovarianceDisplay, ClosingTheCalculationsWindowLeavesNothingToSave)
{
    finishRun();
    display().cmdScreen_Click();
    app.desktop.close(CovarianceCalculationsWindow::windowName);
    EXPECT_FALSE(display().fileButton().enabled);

    // The report can be collated again into a new window.
    display().cmdScreen_Click();
    ASSERT_NE(calculations(), nullptr);
    EXPECT_EQ(calculations()->text(), report);
    EXPECT_TRUE(display().fileButton().enabled);
}

TEST_F(CovarianceDisplay, FinishingClosesBothWindowsAndBringsTheMenuBack)
{
    for (const bool byButton : {true, false}) {
        finishRun();
        display().cmdScreen_Click();
        app.mainWindow.setPanel(statusBar::messages, 1, "left over");
        if (byButton)
            display().cmdFinish_Click();
        else
            app.desktop.close(CovarianceDisplayWindow::windowName); // the title-bar button
        EXPECT_FALSE(app.desktop.isOpen(CovarianceDisplayWindow::windowName));
        EXPECT_EQ(calculations(), nullptr);
        ASSERT_NE(app.mainMenu(), nullptr);
        EXPECT_TRUE(app.mainMenu()->visible());
        EXPECT_TRUE(applicationMenuEnabled());
        EXPECT_EQ(panel1(), "");
    }
}

TEST_F(CovarianceDisplay, FinishingWhileCollatingLeavesNoWindowBehind)
{
    finishRun();
    ui.onYield = [this] {
        if (app.desktop.isOpen(CovarianceDisplayWindow::windowName))
            display().cmdFinish_Click();
    };
    display().cmdScreen_Click();
    EXPECT_FALSE(app.desktop.isOpen(CovarianceDisplayWindow::windowName));
    EXPECT_EQ(calculations(), nullptr);
    EXPECT_NE(app.mainMenu(), nullptr);
}

class CovarianceDisplayOnAFullDisk : public CovarianceDisplay {
protected:
    CovarianceDisplayOnAFullDisk() : CovarianceDisplay(failing) {}
    static FailingFileSystem failing;
};
FailingFileSystem CovarianceDisplayOnAFullDisk::failing;

TEST_F(CovarianceDisplayOnAFullDisk, AFailedWriteKeepsTheOldFileAndTellsTheUser)
{
    finishRun();
    display().cmdScreen_Click();
    const std::string path = dir.file("old.cov");
    writeFileBytes(path, "earlier results");
    ui.pickFile(path).answer(Answer::OK);
    display().cmdFile_Click();

    EXPECT_EQ(readFileBytes(path), "earlier results");
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_NE(ui.messages()[0].text.find(path), std::string::npos);
}

} // namespace
} // namespace orvanta::testing
