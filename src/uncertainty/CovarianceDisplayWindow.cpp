#include "uncertainty/CovarianceDisplayWindow.h"

#include "app/Application.h"
#include "text/TextFile.h"
#include "ui/ReportWindow.h"
#include "uncertainty/CovarianceCalculationsWindow.h"
#include "uncertainty/CovarianceReport.h"

namespace orvanta {

namespace {

constexpr const char* collatingText = "Please be patient while covariance output is collated...";
constexpr const char* saveDialogTitle = "Save covariance data in...";
constexpr const char* defaultFileName = ".cov";

CovarianceDisplayWindow* findDisplayWindow(Application& app)
{
    return app.desktop.find<CovarianceDisplayWindow>(CovarianceDisplayWindow::windowName);
}

// The calculations window's button brings this window forward once the report is collated,
// and closing the calculations window leaves nothing to save.
void connectCalculationsWindow(Application& app, CovarianceCalculationsWindow& calculations)
{
    calculations.onShowDisplay = [&app] { app.desktop.raise(CovarianceDisplayWindow::windowName); };
    calculations.onClosed = [&app] {
        if (CovarianceDisplayWindow* display = findDisplayWindow(app))
            display->setFileEnabled(false);
    };
}

void displayWindowClosed(Application& app)
{
    app.desktop.close(CovarianceCalculationsWindow::windowName);
    app.showMainMenu();
    app.endToolCommand();
    app.mainWindow.clearPanel(statusBar::messages, 1);
}

} // namespace

const std::string CovarianceDisplayWindow::explanationText =
    "If the results for numerically calculated SEs etc. are similar for all three grids,"
    " then the model's behaviour can be considered to be 'close-to-linear' and the"
    " uncertainty around the parameter estimates can be considered to be"
    " represented by a normal distribution.  Else the SEs etc. are probably"
    " inaccurate and parameter uncertainty is more difficult to interpret.  This"
    " problem tends to diminish as sample size increases and the central limit"
    " theorem starts to apply.  Alternatively, you can choose the option 'Evaluate"
    " estimates' from the Main Menu, then use maximum-likelihood or Bayesian"
    " utilities to evaluate parameter uncertainty.";

CovarianceDisplayWindow::CovarianceDisplayWindow(Application& app, bool runJustFinished)
    : Window(windowName, captionText), app_(app), label_(runJustFinished ? justFinishedLabel : reopenedLabel)
{
    setGeometry({designLeft, designTop, std::nullopt, std::nullopt});
}

void CovarianceDisplayWindow::setScreenEnabled(bool enabled)
{
    screen_.enabled = enabled;
    notifyChanged();
}

void CovarianceDisplayWindow::setFileEnabled(bool enabled)
{
    file_.enabled = enabled;
    notifyChanged();
}

void CovarianceDisplayWindow::cmdScreen_Click()
{
    if (!screen_.enabled)
        return;
    setScreenEnabled(false);
    // The user may close this window while the collation yields, which destroys it: from here
    // on only the application is reached, never a member.
    Application& app = app_;
    collateCovarianceReport(app);
    if (CovarianceDisplayWindow* display = findDisplayWindow(app))
        display->setFileEnabled(true);
}

void CovarianceDisplayWindow::cmdFile_Click()
{
    if (file_.enabled)
        saveCovarianceFile(app_);
}

void CovarianceDisplayWindow::cmdFinish_Click()
{
    app_.desktop.close(windowName);
}

void showCovarianceDisplay(Application& app)
{
    if (!findDisplayWindow(app)) {
        app.closeMainMenu();
        app.desktop.open(std::make_unique<CovarianceDisplayWindow>(app, app.covariance.lastRunJustFinished));
        app.desktop.onClose(CovarianceDisplayWindow::windowName, [&app] { displayWindowClosed(app); });
        if (CovarianceCalculationsWindow* calculations = findCovarianceCalculationsWindow(app))
            connectCalculationsWindow(app, *calculations);
        app.mainWindow.clearPanel(statusBar::messages, 1);
    }
    app.desktop.raise(CovarianceDisplayWindow::windowName);
}

void collateCovarianceReport(Application& app)
{
    const bool fromDisplayWindow = findDisplayWindow(app) != nullptr;
    CovarianceCalculationsWindow& calculations = openCovarianceCalculationsWindow(app);
    connectCalculationsWindow(app, calculations);
    calculations.showSaveHint();
    app.mainWindow.setPanel(statusBar::messages, 1, collatingText);

    const std::string report = covarianceReportText(app.covariance, app.algorithm, app.session.covScale,
                                                    [&app] { app.ui().processPendingEvents(); });

    app.mainWindow.clearPanel(statusBar::messages, 1);
    // Finishing the display while the interface ran has closed both windows: nothing to show.
    if (fromDisplayWindow && !findDisplayWindow(app))
        return;
    // The user may have closed the calculations window alone.
    CovarianceCalculationsWindow& shown = openCovarianceCalculationsWindow(app);
    connectCalculationsWindow(app, shown);
    shown.showSaveHint();
    shown.replaceText(report);
    if (CovarianceDisplayWindow* display = findDisplayWindow(app)) {
        display->setScreenEnabled(true);
        app.desktop.raise(CovarianceDisplayWindow::windowName);
    }
}

FileDialogRequest covarianceSaveRequest(const std::string& algorithmBaseName)
{
    FileDialogRequest request;
    request.mode = FileDialogMode::Save;
    request.title = saveDialogTitle;
    request.filter = fileFilter("Covariance files (*.cov)|*.cov|Named for algorithm file (" +
                                algorithmBaseName + ".*)|" + algorithmBaseName + ".*");
    request.filterIndex = 3;
    request.defaultName = defaultFileName;
    return request;
}

bool saveCovarianceFile(Application& app)
{
    const std::optional<std::string> path =
        app.ui().chooseFile(covarianceSaveRequest(app.session.algorithmBaseName));
    if (!path)
        return false;
    if (!writeCovarianceFile(app, *path)) {
        reportSaveFailure(app.ui(), *path);
        return false;
    }
    return true;
}

bool writeCovarianceFile(Application& app, const std::string& path)
{
    CovarianceCalculationsWindow* calculations = findCovarianceCalculationsWindow(app);
    if (!calculations)
        return false;
    calculations->replaceText(savedNameLine + path + "\n\n" + calculations->text());
    return saveTextFile(path, calculations->text(), app.files());
}

} // namespace orvanta
