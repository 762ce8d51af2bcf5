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
    TwipGeometry g;
    g.left = left;
    g.top = top;
    g.width = width;
    return g;
}

std::vector<ReportWindowSpec> makeSpecs()
{
    std::vector<ReportWindowSpec> specs;

    ReportWindowSpec summary;
    summary.name = "frmSummary";
    summary.caption = "Tarnfield model output";
    summary.textBoxName = "rtbOut";
    summary.saveButton = saveButton("cmdSaveSummary", "Save summary as...");
    summary.dialogTitle = "Save summary in...";
    summary.secondFilterEntry = "Output files (*.ovo)|*.ovo";
    summary.fixedDefaultName = "Tarnfield_Results.ovo";
    summary.rightMargin = 128000;
    summary.saveButtonWidthLess = 120;
    specs.push_back(summary);

    ReportWindowSpec oneFunction;
    oneFunction.name = "frmOneFunction";
    oneFunction.caption = "One function call";
    oneFunction.textBoxName = "rtbOneFunction";
    oneFunction.openingGeometry = geometry(500, 500, 14000);
    specs.push_back(oneFunction);

    ReportWindowSpec maxLike;
    maxLike.name = "frmMaxLike";
    maxLike.caption = "Maximum likelihood statistics";
    maxLike.textBoxName = "rtbMaxLike";
    maxLike.saveButton = saveButton("cmdSaveML", "&Save maximum-likelihood data as...");
    maxLike.dialogTitle = "Save maximum-likelihood values in...";
    maxLike.secondFilterEntry = "Max-like files (*.mlc)|*.mlc";
    maxLike.dateTimeExtension = ".mlc";
    specs.push_back(maxLike);

    ReportWindowSpec bayesian;
    bayesian.name = "frmBayesian";
    bayesian.caption = "Bayesian statistics";
    bayesian.textBoxName = "rtbBayesian";
    bayesian.saveButton = saveButton("cmdSaveBayesian", "&Save Bayesian posterior distribution data as...");
    bayesian.dialogTitle = "Save Bayesian posterior values in...";
    bayesian.secondFilterEntry = "Bayesian posterior files (*.pos)|*.pos";
    bayesian.dateTimeExtension = ".pos";
    specs.push_back(bayesian);

    ReportWindowSpec priorDists;
    priorDists.name = "frmPriorDists";
    priorDists.caption = "Prior distribution statistics";
    priorDists.textBoxName = "rtbPriorDists";
    priorDists.saveButton = saveButton("cmdSavePriorDists", "&Save Bayesian prior distribution data as...");
    priorDists.dialogTitle = "Save Bayesian prior values in...";
    priorDists.secondFilterEntry = "Bayesian prior distribution files (*.pdp)|*.pdp";
    priorDists.dateTimeExtension = ".pdp";
    specs.push_back(priorDists);

    ReportWindowSpec review;
    review.name = "frmReviewPriors";
    review.caption = "Review priors ";
    review.textBoxName = "rtbReviewPriors";
    review.saveButton = saveButton("cmdSaveReview", "Save review of prior distribution likelihoods as...");
    review.dialogTitle = "Save review in...";
    review.secondFilterEntry = "Review priors files (*.rvp)|*.rvp";
    review.dateTimeExtension = ".rvp";
    review.openingGeometry = geometry(std::nullopt, std::nullopt, 12495);
    specs.push_back(review);

    return specs;
}

} // namespace

ReportLayout layoutReportWindow(const ReportWindowSpec& spec, int width, int height, int buttonHeight,
                                bool opening)
{
    ReportLayout layout;
    layout.textWidth = std::max(0, width - reportTextWidthLess);
    layout.buttonWidth = std::max(0, width - spec.saveButtonWidthLess);
    const int buttonSpace = spec.saveButton ? buttonHeight : 0;
    const int textHeight = height - reportTextHeightLess - buttonSpace;
    if (textHeight > 0)
        layout.textHeight = textHeight;
    else if (opening)
        layout.textHeight = 0;
    return layout;
}

ReportWindow::ReportWindow(ReportWindowSpec spec) : Window(spec.name, spec.caption), spec_(std::move(spec))
{
    setGeometry(spec_.openingGeometry);
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
    request.title = spec_.dialogTitle;
    request.filter = fileFilter(spec_.secondFilterEntry);
    request.defaultName = spec_.fixedDefaultName.empty() ? dateTimeName(clock, spec_.dateTimeExtension)
                                                         : spec_.fixedDefaultName;
    const std::optional<std::string> path = ui.chooseFile(request);
    if (!path)
        return false;
    setText(savedNameLine + *path + "\n\n" + text_);
    if (!saveTextFile(*path, text_, files)) {
        reportSaveFailure(ui, *path);
        return false;
    }
    return true;
}

const std::vector<ReportWindowSpec>& reportWindowSpecs()
{
    static const std::vector<ReportWindowSpec> specs = makeSpecs();
    return specs;
}

const ReportWindowSpec& reportWindowSpec(const std::string& name)
{
    for (const ReportWindowSpec& spec : reportWindowSpecs())
        if (spec.name == name)
            return spec;
    throw std::out_of_range("no report window " + name);
}

std::unique_ptr<ReportWindow> makeReportWindow(const std::string& name)
{
    return std::make_unique<ReportWindow>(reportWindowSpec(name));
}

void reportSaveFailure(UserInterface& ui, const std::string& path)
{
    ui.showMessage("The file " + path +
                       " could not be written.\n\nNothing was saved; a file that was there before is unchanged.",
                   "File not saved", Buttons::OK, Icon::Exclamation);
}

} // namespace orvanta
