#include "ui/ReportWindow.h"

#include "support/FailingFileSystem.h"
#include "support/FakeClock.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"
#include "text/TextFile.h"

#include <gtest/gtest.h>

namespace orvanta {
namespace {

using testing::FakeClock;
using testing::readFileBytes;
using testing::ScriptedUi;
using testing::TempDir;

class ReportWindowSave : public ::testing::Test {
protected:
    ScriptedUi ui;
    FakeClock clock{{2026, 2, 1, 9, 5, 0}};
    TempDir dir;
};

TEST_F(ReportWindowSave, PutsTheSavedNameLineInFrontAndWritesTheWholeText)
{
    auto window = makeReportWindow("frmSummary");
    window->setText("line 1\nline 2\n");
    const std::string path = dir.file("fit.ovo");
    ui.pickFile(path);

    ASSERT_TRUE(window->save(ui, clock, realFileSystem()));

    const std::string expected = "Originally saved with the file name: " + path + "\n\nline 1\nline 2\n";
    EXPECT_EQ(window->text(), expected);
    EXPECT_EQ(readFileBytes(path), withCrLf(expected));
    const FileDialogRequest& request = ui.shown().at(0).file;
    EXPECT_EQ(request.mode, FileDialogMode::Save);
    EXPECT_EQ(request.title, "Save summary in...");
    EXPECT_EQ(request.filter, "All files (*.*)|*.*|Output files (*.ovo)|*.ovo");
    EXPECT_EQ(request.filterIndex, 2);
    EXPECT_EQ(request.defaultName, "Tarnfield_Results.ovo");
}

TEST_F(ReportWindowSave, SavingTwiceStacksTheNewerLineFirst)
{
    auto window = makeReportWindow("frmSummary");
    window->setText("report\n");
    const std::string first = dir.file("a.ovo");
    const std::string second = dir.file("b.ovo");
    ui.pickFile(first).pickFile(second);

    ASSERT_TRUE(window->save(ui, clock, realFileSystem()));
    ASSERT_TRUE(window->save(ui, clock, realFileSystem()));

    const std::string expected = std::string(savedNameLine) + second + "\n\n" + savedNameLine + first +
                                 "\n\nreport\n";
    EXPECT_EQ(window->text(), expected);
    EXPECT_EQ(readFileBytes(second), withCrLf(expected));
    EXPECT_EQ(readFileBytes(first), withCrLf(std::string(savedNameLine) + first + "\n\nreport\n"));
}

TEST_F(ReportWindowSave, CancelChangesNothing)
{
    auto window = makeReportWindow("frmMaxLike");
    window->setText("profile\n");
    ui.cancelFile();
    EXPECT_FALSE(window->save(ui, clock, realFileSystem()));
    EXPECT_EQ(window->text(), "profile\n");
    EXPECT_EQ(ui.messages().size(), 0u);
}

TEST_F(ReportWindowSave, ProposesADateTimeNameWhereTheWindowHasNoFixedName)
{
    auto window = makeReportWindow("frmMaxLike");
    ui.cancelFile();
    (void)window->save(ui, clock, realFileSystem());
    EXPECT_EQ(ui.shown().at(0).file.defaultName, "02010905.mlc");
    EXPECT_EQ(ui.shown().at(0).file.filter, "All files (*.*)|*.*|Max-like files (*.mlc)|*.mlc");
}

TEST_F(ReportWindowSave, AFailedWriteKeepsThePreviousFileAndTellsTheUser)
{
    const std::string path = dir.file("old.pos");
    testing::writeFileBytes(path, "earlier posterior");
    auto window = makeReportWindow("frmBayesian");
    window->setText("posterior\n");
    testing::FailingFileSystem failing;
    ui.pickFile(path).answer(Answer::OK);

    EXPECT_FALSE(window->save(ui, clock, failing));

    EXPECT_EQ(readFileBytes(path), "earlier posterior");
    EXPECT_EQ(window->text(), std::string(savedNameLine) + path + "\n\nposterior\n");
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].buttons, Buttons::OK);
    EXPECT_NE(ui.messages()[0].text.find(path), std::string::npos);
}

TEST(ReportWindowLayout, FitsTheTextBoxBelowTheButton)
{
    const ReportWindowDesign& summary = reportWindowDesign("frmSummary");
    const ReportLayout layout = layoutReportWindow(summary, 10000, 8000, 500, false);
    EXPECT_EQ(layout.textWidth, 9880);
    EXPECT_EQ(layout.textHeight, 8000 - 400 - 500);
    EXPECT_EQ(layout.buttonWidth, 9880);

    const ReportWindowDesign& maxLike = reportWindowDesign("frmMaxLike");
    EXPECT_EQ(layoutReportWindow(maxLike, 10000, 8000, 500, false).buttonWidth, 10000);
    const ReportWindowDesign& oneFunction = reportWindowDesign("frmOneFunction");
    EXPECT_EQ(layoutReportWindow(oneFunction, 10000, 8000, 500, false).textHeight, 8000 - 400);
}

TEST(ReportWindowLayout, ResizingBelowTheButtonAndMarginKeepsTheHeight)
{
    const ReportWindowDesign& summary = reportWindowDesign("frmSummary");
    EXPECT_FALSE(layoutReportWindow(summary, 10000, 900, 500, false).textHeight.has_value());
    EXPECT_FALSE(layoutReportWindow(summary, 10000, 899, 500, false).textHeight.has_value());
    EXPECT_EQ(layoutReportWindow(summary, 10000, 901, 500, false).textHeight, 1);
}

TEST(ReportWindowDesigns, CaptionsButtonsAndFilesOfEveryReportWindow)
{
    struct Row {
        const char* name;
        const char* caption;
        const char* textBox;
        const char* button;
        const char* filterEntry;
    };
    const Row rows[] = {
        {"frmSummary", "Tarnfield model output", "rtbOut", "Save summary as...", "Output files (*.ovo)|*.ovo"},
        {"frmOneFunction", "One function call", "rtbOneFunction", "", ""},
        {"frmMaxLike", "Maximum likelihood statistics", "rtbMaxLike", "&Save maximum-likelihood data as...",
         "Max-like files (*.mlc)|*.mlc"},
        {"frmBayesian", "Bayesian statistics", "rtbBayesian", "&Save Bayesian posterior distribution data as...",
         "Bayesian posterior files (*.pos)|*.pos"},
        {"frmPriorDists", "Prior distribution statistics", "rtbPriorDists",
         "&Save Bayesian prior distribution data as...", "Bayesian prior distribution files (*.pdp)|*.pdp"},
        {"frmReviewPriors", "Review priors ", "rtbReviewPriors",
         "Save review of prior distribution likelihoods as...", "Review priors files (*.rvp)|*.rvp"},
    };
    ASSERT_EQ(reportWindowDesigns().size(), std::size(rows));
    for (const Row& row : rows) {
        const ReportWindowDesign& design = reportWindowDesign(row.name);
        EXPECT_EQ(design.caption, row.caption);
        EXPECT_EQ(design.textBoxName, row.textBox);
        EXPECT_EQ(design.saveButton ? design.saveButton->caption : "", row.button) << row.name;
        EXPECT_EQ(design.secondFilterEntry, row.filterEntry);
        if (design.saveButton)
            EXPECT_EQ(design.saveButton->toolTip, "Saves the (possibly edited) output appearing in the textbox below");
    }
    EXPECT_EQ(reportWindowDesign("frmOneFunction").openingGeometry.width, 14000);
    EXPECT_EQ(reportWindowDesign("frmReviewPriors").openingGeometry.width, 12495);
}

} // namespace
} // namespace orvanta
