#include "algorithm/AlgorithmCommands.h"

#include "app/Application.h"
#include "app/MainMenu.h"
#include "model/TarnfieldModel.h"
#include "ui/ReportWindow.h"
#include "ui/UserInterface.h"

#include <optional>

namespace orvanta {

namespace {

constexpr const char* dateTimeExtension = ".alg";

struct AlgorithmFileNames {
    std::string fileName;
    std::string baseName;
};

AlgorithmFileNames currentNames(const SessionState& session)
{
    return {session.algorithmFileName, session.algorithmBaseName};
}

void setNames(SessionState& session, const AlgorithmFileNames& names)
{
    session.algorithmFileName = names.fileName;
    session.algorithmBaseName = names.baseName;
}

void setFileName(SessionState& session, const std::string& path)
{
    setNames(session, {path, algorithmBaseName(path)});
}

void giveDateTimeName(Application& app)
{
    setFileName(app.session, dateTimeName(app.clock(), dateTimeExtension));
}

// The name after the last folder separator.
std::string withoutFolder(const std::string& path)
{
    const std::size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

// Every main-menu command but "&Quit", which is always enabled.
void setToolCommandsEnabled(Application& app, bool enabled)
{
    if (MainMenuWindow* menu = app.mainMenu())
        menu->setToolCommandsEnabled(enabled);
}

void enableInitializeAndLoad(Application& app)
{
    if (MainMenuWindow* menu = app.mainMenu()) {
        menu->setButtonEnabled(menuButton::initialize, true);
        menu->setButtonEnabled(menuButton::loadAlg, true);
    }
}

void showWithMainMenuHidden(Application& app, const std::string& text)
{
    MainMenuWindow* menu = app.mainMenu();
    const bool hide = menu && menu->visible();
    if (hide)
        menu->setVisible(false);
    app.ui().showMessage(text, algorithmFileProblemTitle, Buttons::OK, Icon::Information);
    if (MainMenuWindow* shown = app.mainMenu(); hide && shown)
        shown->setVisible(true);
}

// Partly overwritten data are no algorithm data: back to the stage without them, so that no
// tool works on them until a load succeeds.
void dropAlgorithmData(Application& app)
{
    setNames(app.session, {});
    app.session.simplexBuilt = false;
    app.mainWindow.clearPanel(statusBar::algorithm, 1);
    if (MainMenuWindow* menu = app.mainMenu())
        menu->applyStage(app.session);
}

void tellProblemReading(Application& app)
{
    app.ui().showMessage(problemReadingText, problemReadingTitle, Buttons::OK, Icon::Critical);
}

} // namespace

bool loadAlgorithmFromFile(Application& app, const std::string& path)
{
    const AlgorithmFileNames previous = currentNames(app.session);
    setFileName(app.session, path);
    LineReader lines = LineReader::openFile(path);
    const AlgorithmFileReading reading = readAlgorithmFile(app, lines);
    if (!reading.failed())
        return true;
    // The data are as they were: so is their name.
    if (!reading.dataChanged)
        setNames(app.session, previous);
    return false;
}

namespace {

void takeDefaults(Application& app)
{
    resetAlgorithmData(app.algorithm);
    giveDateTimeName(app);
    app.ui().showMessage(
        "                     Algorithm data set to default values.\n\nAlgorithm file given the "
        "date-time based name: " +
            app.session.algorithmFileName,
        defaultsTitle, Buttons::OK, Icon::Information);
}

void enterReadyStage(Application& app)
{
    // The next Simplex starts from a new simplex.
    app.session.simplexBuilt = false;
    app.mainWindow.setPanel(statusBar::algorithm, 1, algorithmPanelPrefix + app.session.algorithmFileName);
    app.ui().processPendingEvents();
    setToolCommandsEnabled(app, true);
    if (MainMenuWindow* menu = app.mainMenu()) {
        menu->setFocusButton(menuButton::editAlg);
        menu->setButtonCaption(menuButton::userSummary, resultsSummaryCaption, resultsSummaryToolTip);
    }
}

} // namespace

std::string algorithmBaseName(const std::string& path)
{
    const std::string name = withoutFolder(path);
    return name.size() > 4 ? name.substr(0, name.size() - 4) : std::string();
}

std::string dataFileStem(const std::string& frequencyFile, const std::string& incrementFile)
{
    const std::string name = withoutFolder(frequencyFile.empty() ? incrementFile : frequencyFile);
    const std::size_t dot = name.find_last_of('.');
    // A name that starts with its only dot has no extension to drop.
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

std::string saveAlgorithmFilter(const std::string& stem)
{
    return fileFilter(std::string(algorithmFilterEntry) + "|Named for data file (" + stem + ".*)|" + stem +
                      ".*");
}

AlgorithmFileReading readAlgorithmFile(Application& app, LineReader& lines)
{
    const AlgorithmFileReading reading = readAlgorithmLines(lines, app.algorithm);
    if (!reading.failed())
        return reading;
    if (reading.problem == AlgorithmFileProblem::Unreadable)
        tellProblemReading(app);
    else
        showWithMainMenuHidden(
            app, algorithmFileProblemText(reading, app.session.algorithmFileName, app.algorithm.paramCount));
    if (reading.dataChanged)
        dropAlgorithmData(app);
    enableInitializeAndLoad(app);
    return reading;
}

FileDialogRequest openAlgorithmRequest(const std::string& defaultName)
{
    FileDialogRequest request;
    request.mode = FileDialogMode::Open;
    request.title = openDialogTitle;
    request.filter = fileFilter(algorithmFilterEntry);
    request.filterIndex = 2;
    request.defaultName = defaultName;
    return request;
}

void loadAlgorithmData(Application& app)
{
    app.startToolCommand(ToolStart::OutputWindowsOnly);
    const Answer answer =
        app.ui().showMessage(loadQuestionText, loadQuestionTitle, Buttons::YesNoCancel, Icon::Question);
    if (answer == Answer::Cancel)
        return;
    if (answer == Answer::No) {
        takeDefaults(app);
        enterReadyStage(app);
        return;
    }

    const std::optional<std::string> path =
        app.ui().chooseFile(openAlgorithmRequest(app.session.algorithmFileName));
    if (!path) {
        enableInitializeAndLoad(app);
        return;
    }
    if (loadAlgorithmFromFile(app, *path))
        enterReadyStage(app);
}

void saveAlgorithmCommand(Application& app, const std::string& stem)
{
    app.startToolCommand(ToolStart::OutputWindowsOnly);
    setToolCommandsEnabled(app, false);
    saveAlgorithmFile(app, stem);
    setToolCommandsEnabled(app, true);
}

bool saveAlgorithmFile(Application& app, const std::string& stem, AlgorithmSaver saver)
{
    if (app.session.algorithmFileName.empty())
        giveDateTimeName(app);

    const bool fromRanking = saver == AlgorithmSaver::RankingWindow;
    FileDialogRequest request;
    request.mode = FileDialogMode::Save;
    request.title = saveDialogTitle;
    request.filter = saveAlgorithmFilter(stem);
    request.filterIndex = fromRanking ? 2 : 3;
    request.defaultName = app.session.algorithmFileName;
    const std::optional<std::string> path = app.ui().chooseFile(request);
    if (!path)
        return false;

    const ParameterLabel label = fromRanking ? ParameterLabel::MultiModel : ParameterLabel::MainMenu;
    if (!writeAlgorithmFile(*path, app.algorithm, label, app.files())) {
        reportSaveFailure(app.ui(), *path);
        return false;
    }
    setFileName(app.session, *path);
    app.mainWindow.setPanel(
        statusBar::algorithm, 1,
        algorithmPanelPrefix + (fromRanking ? app.session.algorithmBaseName : app.session.algorithmFileName));
    return true;
}

void installAlgorithmFile(Application& app, const TarnfieldModel& model)
{
    const auto stem = [&model] {
        return dataFileStem(model.state().frequencyFile, model.state().incrementFile);
    };
    app.registerCommand(menuButton::loadAlg, [&app] { loadAlgorithmData(app); });
    app.registerCommand(menuButton::saveAlg, [&app, stem] { saveAlgorithmCommand(app, stem()); });
    app.hooks.saveAlgorithmCommand = [&app, stem] { saveAlgorithmCommand(app, stem()); };
    app.hooks.saveAlgorithmFile = [&app, stem] { saveAlgorithmFile(app, stem()); };
}

} // namespace orvanta
