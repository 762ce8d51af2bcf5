#include "ui/ReportWindow.h"

#include "text/TextFile.h"
#include "ui/UserInterface.h"

#include <algorithm>
#include <stdexcept>

namespace orvanta {

namespace {

const char* saveToolTip = "Saves the (possibly edited) output appearing in the textbox below";

CommandButton saveButton(const char* name, const char* caption)
{
    return {name, caption, saveToolTip, 0, true};
}

TwipGeometry geometry(std::optional<int> left, std::optional<int> top, std::optional<int> width)
{
    return {left, top, width, std::nullopt};
}

// A report window with only its names and caption; the others add to it.
ReportWindowDesign plainReportWindow(const char* name, const char* caption, const char* textBoxName)
{
    ReportWindowDesign window;
    window.name = name;
    window.caption = caption;
    window.textBoxName = textBoxName;
    return window;
}

// A report saved by its own button, under a default name of the date, the time and an extension.
struct DatedReport {
    const char* name;
    const char* caption;
    const char* textBoxName;
    const char* buttonName;
    const char* buttonCaption;
    const char* dialogTitle;
    const char* filterEntry;
    const char* extension;
    std::optional<int> openingWidth;
};

constexpr DatedReport datedReports[] = {
    {"frmMaxLike", "Maximum likelihood statistics", "rtbMaxLike", "cmdSaveML",
     "&Save maximum-likelihood data as...", "Save maximum-likelihood values in...",
     "Max-like files (*.mlc)|*.mlc", ".mlc", std::nullopt},
    {"frmBayesian", "Bayesian statistics", "rtbBayesian", "cmdSaveBayesian",
     "&Save Bayesian posterior distribution data as...", "Save Bayesian posterior values in...",
     "Bayesian posterior files (*.pos)|*.pos", ".pos", std::nullopt},
    {"frmPriorDists", "Prior distribution statistics", "rtbPriorDists", "cmdSavePriorDists",
     "&Save Bayesian prior distribution data as...", "Save Bayesian prior values in...",
     "Bayesian prior distribution files (*.pdp)|*.pdp", ".pdp", std::nullopt},
    {"frmReviewPriors", "Review priors ", "rtbReviewPriors", "cmdSaveReview",
     "Save review of prior distribution likelihoods as...", "Save review in...",
     "Review priors files (*.rvp)|*.rvp", ".rvp", 12495},
};

ReportWindowDesign datedReportWindow(const DatedReport& report)
{
    ReportWindowDesign window = plainReportWindow(report.name, report.caption, report.textBoxName);
    window.saveButton = saveButton(report.buttonName, report.buttonCaption);
    window.dialogTitle = report.dialogTitle;
    window.secondFilterEntry = report.filterEntry;
    window.dateTimeExtension = report.extension;
    window.openingGeometry = geometry(std::nullopt, std::nullopt, report.openingWidth);
    return window;
}

std::vector<ReportWindowDesign> makeReportWindows()
{
    ReportWindowDesign summary = plainReportWindow("frmSummary", "Tarnfield model output", "rtbOut");
    summary.saveButton = saveButton("cmdSaveSummary", "Save summary as...");
    summary.dialogTitle = "Save summary in...";
    summary.secondFilterEntry = "Output files (*.ovo)|*.ovo";
    summary.fixedDefaultName = "Tarnfield_Results.ovo";
    summary.rightMargin = 128000;
    summary.saveButtonWidthLess = 120;

    ReportWindowDesign oneFunction = plainReportWindow("frmOneFunction", "One function call", "rtbOneFunction");
    oneFunction.openingGeometry = geometry(500, 500, 14000);

    std::vector<ReportWindowDesign> windows = {summary, oneFunction};
    for (const DatedReport& report : datedReports)
        windows.push_back(datedReportWindow(report));
    return windows;
}

} // namespace

ReportLayout layoutReportWindow(const ReportWindowDesign& design, int width, int height, int buttonHeight,
                                bool opening)
{
    ReportLayout layout;
    layout.textWidth = std::max(0, width - reportTextWidthLess);
    layout.buttonWidth = std::max(0, width - design.saveButtonWidthLess);
    const int buttonSpace = design.saveButton ? buttonHeight : 0;
    const int textHeight = height - reportTextHeightLess - buttonSpace;
    if (textHeight > 0)
        layout.textHeight = textHeight;
    else if (opening)
        layout.textHeight = 0;
    return layout;
}

ReportWindow::ReportWindow(ReportWindowDesign design) : Window(design.name, design.caption), design_(std::move(design))
{
    setGeometry(design_.openingGeometry);
}

void ReportWindow::setText(std::string text)
{
    text_ = std::move(text);
    notifyChanged();
}

bool ReportWindow::save(UserInterface& ui, const Clock& clock, FileSystem& files)
{
    FileDialogRequest request;
    request.mode = FileDialogMode::Save;
    request.title = design_.dialogTitle;
    request.filter = fileFilter(design_.secondFilterEntry);
    request.defaultName = design_.fixedDefaultName.empty() ? dateTimeName(clock, design_.dateTimeExtension)
                                                         : design_.fixedDefaultName;
    const std::optional<std::string> path = ui.chooseFile(request);
    if (!path)
        return false;
    if (!saveAs(*path, files)) {
        reportSaveFailure(ui, *path);
        return false;
    }
    return true;
}

bool ReportWindow::saveAs(const std::string& path, FileSystem& files)
{
    setText(savedNameLine + path + "\n\n" + text_);
    return saveTextFile(path, text_, files);
}

const std::vector<ReportWindowDesign>& reportWindowDesigns()
{
    static const std::vector<ReportWindowDesign> designs = makeReportWindows();
    return designs;
}

const ReportWindowDesign& reportWindowDesign(const std::string& name)
{
    for (const ReportWindowDesign& design : reportWindowDesigns())
        if (design.name == name)
            return design;
    throw std::out_of_range("no report window " + name);
}

std::unique_ptr<ReportWindow> makeReportWindow(const std::string& name)
{
    return std::make_unique<ReportWindow>(reportWindowDesign(name));
}

void reportSaveFailure(UserInterface& ui, const std::string& path)
{
    ui.showMessage("The file " + path +
                       " could not be written.\n\nNothing was saved; a file that was there before is unchanged.",
                   "File not saved", Buttons::OK, Icon::Exclamation);
}

} // namespace orvanta
