#include "ranking/RankingWindow.h"

#include "algorithm/AlgorithmCommands.h"
#include "algorithm/AlgorithmData.h"
#include "algorithm/AlgorithmEditor.h"
#include "app/Application.h"
#include "app/MainMenu.h"
#include "minimize/ObjectiveEvaluation.h"
#include "priors/PriorsFlow.h"
#include "ranking/RankingFile.h"
#include "text/NumberText.h"
#include "text/TextFile.h"
#include "ui/ReportWindow.h"
#include "ui/UserInterface.h"
#include "uncertainty/CovarianceCalculator.h"

#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace orvanta {

namespace {

std::vector<CommandButton> rankingButtons()
{
    using namespace rankingControl;
    return {
        {loadAlg, "&Load Algorithm Data",
         "Loads or creates a file that contains parameter estimates and other info used by the minimization "
         "algorithms",
         0, true},
        {editAlg, "&Edit Algorithm Data", "Allows you to edit the current algorithm data", 1, true},
        {saveAlg, "&Save Algorithm Data",
         "Allows you to save the algorithm data (Try to keep the file name <20 characters)", 2, true},
        {bayesian, "Set &Bayesian priors",
         "Assigns prior probabilities to the parameters of the currently open algorithm file", 3, true},
        {aicc, "Calculate model AICc",
         "Calculates the AICc for the currently open, and perhaps edited, algorithm file", 4, true},
        {qaicc, "Calculate QAICc",
         "Calculates the AICc for the currently open, and perhaps edited, algorithm file", 5, true},
        {rank, "&Rank competing models",
         "Ranks competing models in ascending order of their AICc values (Note: All AICc values must be "
         "positive)",
         6, false},
        {average, "&Average across models",
         "Averages parameter estimates and SEs over all models using their associated covariance file and "
         "according to their AIC weight (Wt)",
         7, false},
        {saveRank, "&Save ranking and averaging results",
         "Saves the results of the ranking and/or averaging exercise in a *.mms file", 8, false},
        {finish, "&Finish", "Quits the ranking exercise", 9, true},
    };
}

std::vector<RankingWindow::Label> rankingLabels()
{
    return {
        {rankingControl::averageLabel, "Averaging results >", false},
        {"lblRankModels",
         "Add competing models by sequentially loading or editing their associated algorithm files"},
        {"lblAction", "Choose 'Calculate AICc' to (re-)calculate AICc for the currently open algorithm file"},
        {"lblCovariance",
         "(Note: Competitors to be ranked must have mutually associated algorithm and covariance files)"},
        {"lblCovar",
         "Double-click a selected model's 'Covariance file name' cell to change the covariance file"},
        {"lblNotes", "Double-click a selected model's 'Notes' cell to annotate that model"},
        {"lblDelete", "Double-click a selected model's 'Ramdom/Ranked' cell to delete that model"},
    };
}

constexpr std::array<int, rankColumn::count> columnWidths = {800, 1000, 400,  1000, 800,
                                                             800, 1600, 1600, 1600, 9700};

std::size_t at(int index)
{
    return static_cast<std::size_t>(index);
}

// covarianceProbe: whether the named file can be opened for reading.
bool canOpenForReading(const std::string& path)
{
    if (path.empty())
        return false;
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
        return false;
    std::ifstream in(path, std::ios::binary);
    return static_cast<bool>(in);
}

std::string optionalText(const std::optional<double>& value, const char* pattern)
{
    return value ? formatNumber(*value, pattern) : std::string(rankingText::undefined);
}

std::string headingText(int column, Criterion criterion)
{
    const bool q = criterion == Criterion::QAICc;
    switch (column) {
    case rankColumn::negLogL:
        return "-ln[L]";
    case rankColumn::K:
        return "K";
    case rankColumn::criterion:
        return q ? "QAICc" : "AICc";
    case rankColumn::delta:
        return q ? "dQAICc" : "dAICc";
    case rankColumn::weight:
        return q ? "QAIC Wt" : "AIC Wt";
    case rankColumn::algorithmFile:
        return "Algorithm file name";
    case rankColumn::covarianceFile:
        return "Covariance file name";
    case rankColumn::priorsFile:
        return "Priors file name";
    case rankColumn::notes:
        return "Notes:";
    default:
        return {};
    }
}

bool holdsNumber(int column)
{
    return column >= rankColumn::negLogL && column <= rankColumn::weight;
}

} // namespace

// Marks the window busy while a handler runs: the user's other actions (which the interface lets
// through while the calculation yields) are ignored meanwhile.
class RankingWindow::BusyScope {
public:
    explicit BusyScope(RankingWindow& window) : window_(window) { window_.busy_ = true; }
    ~BusyScope() { window_.busy_ = false; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    RankingWindow& window_;
};

RankingWindow::RankingWindow(Application& app, std::string dataFileStem)
    : Window(windowName, rankingText::caption), app_(app), dataFileStem_(std::move(dataFileStem)),
      buttons_(rankingButtons()), labels_(rankingLabels())
{
}

// ---------------------------------------------------------------------------------------------
// Controls

const CommandButton& RankingWindow::button(const std::string& name) const
{
    for (const CommandButton& b : buttons_)
        if (b.name == name)
            return b;
    throw std::out_of_range("no button " + name + " in the ranking window");
}

CommandButton& RankingWindow::buttonRef(const std::string& name)
{
    return const_cast<CommandButton&>(static_cast<const RankingWindow&>(*this).button(name));
}

const RankingWindow::Label& RankingWindow::label(const std::string& name) const
{
    for (const Label& l : labels_)
        if (l.name == name)
            return l;
    throw std::out_of_range("no label " + name + " in the ranking window");
}

void RankingWindow::setButtonEnabled(const std::string& name, bool enabled)
{
    buttonRef(name).enabled = enabled;
    notifyChanged();
}

void RankingWindow::requestFocus(std::string control)
{
    focusRequest_.control = std::move(control);
    ++focusRequest_.serial;
    notifyChanged();
}

void RankingWindow::showAveragingResults(std::string text)
{
    averagingDone_ = !text.empty();
    averageText_ = std::move(text);
    for (Label& l : labels_)
        if (l.name == rankingControl::averageLabel)
            l.enabled = averagingDone_;
    notifyChanged();
}

void RankingWindow::clearAveragingResults()
{
    showAveragingResults({});
}

void RankingWindow::markUnranked()
{
    makeRankingStale(entries_);
    listRanked_ = false;
    notifyChanged();
}

// What every change of the list leaves: ranking, averaging and saving wait for a new ranking.
void RankingWindow::afterListChange()
{
    setButtonEnabled(rankingControl::saveRank, false);
    setButtonEnabled(rankingControl::average, false);
    setButtonEnabled(rankingControl::rank, entries_.size() > 1);
    clearAveragingResults();
}

// Without algorithm data (a load that failed half way drops them) there is nothing to evaluate,
// edit or save.
void RankingWindow::refreshAlgorithmButtons()
{
    const bool haveData = !app_.session.algorithmFileName.empty();
    for (const char* name : {rankingControl::aicc, rankingControl::editAlg, rankingControl::saveAlg})
        setButtonEnabled(name, haveData);
}

void RankingWindow::setCHat(double cHat)
{
    cHat_ = cHat;
    cHatBox_.text = "C-hat: " + formatNumber(cHat, "0.000");
    cHatBox_.colour = cHat != 1.0 ? paletteColour::blue : paletteColour::green;
    notifyChanged();
}

// ---------------------------------------------------------------------------------------------
// The grid

int RankingWindow::rowCount() const
{
    return 1 + std::max<int>(1, static_cast<int>(entries_.size()));
}

int RankingWindow::columnWidth(int column)
{
    return column >= 0 && column < rankColumn::count ? columnWidths[at(column)] : 0;
}

CellRole RankingWindow::textRole() const
{
    if (!listRanked_)
        return CellRole::Unranked;
    return criterion() == Criterion::QAICc ? CellRole::RankedByQaicc : CellRole::RankedByAicc;
}

bool RankingWindow::isModelRow(int row) const
{
    return row >= 1 && row <= static_cast<int>(entries_.size());
}

GridCell RankingWindow::cell(int row, int column) const
{
    if (row == 0) {
        if (column == rankColumn::label)
            return {listRanked_ ? "Ranked" : "Random", CellAlignment::Centre, textRole(), true};
        return {headingText(column, criterion()),
                holdsNumber(column) ? CellAlignment::Centre : CellAlignment::Left, CellRole::Heading};
    }
    if (!isModelRow(row))
        return {{}, CellAlignment::Left, textRole()};
    return modelCell(row, column);
}

GridCell RankingWindow::modelCell(int row, int column) const
{
    const ModelEntry& e = entries_[at(row - 1)];
    const Criterion c = criterion();
    GridCell shown{{}, holdsNumber(column) ? CellAlignment::Centre : CellAlignment::Left, textRole()};
    switch (column) {
    case rankColumn::label:
        shown.text = rowLabel(row, e.entryNumber);
        break;
    case rankColumn::negLogL:
        shown.text = formatNumber(e.negLogL, "0.0000E+00");
        break;
    case rankColumn::K:
        shown.text = numberText(e.K);
        break;
    case rankColumn::criterion:
        shown.text = optionalText(e.criterion(c), "0.0000E+00");
        break;
    case rankColumn::delta:
        shown.text = optionalText(e.delta(c), "####0.00");
        break;
    case rankColumn::weight:
        shown.text = optionalText(e.weight(c), "0.000000");
        break;
    case rankColumn::algorithmFile:
        shown.text = e.algorithmFile;
        break;
    case rankColumn::covarianceFile:
        shown.text = e.covarianceFile;
        break;
    case rankColumn::priorsFile:
        shown.text = e.priorsFile;
        break;
    case rankColumn::notes:
        shown.text = e.notes;
        break;
    default:
        break;
    }
    return shown;
}

// ---------------------------------------------------------------------------------------------
// Opening and the criteria

void RankingWindow::runOpening()
{
    BusyScope busy(*this);
    app_.mainWindow.setMenuEnabled("mnuApplication", false);
    app_.session.rankingOpen = true;
    setCHat(1.0);
    entries_.clear();
    listRanked_ = false;
    setButtonEnabled(rankingControl::saveRank, false);
    setButtonEnabled(rankingControl::average, false);
    clearAveragingResults();
    addCurrentModel();
    requestFocus(rankingControl::loadAlg);
}

void RankingWindow::cmdAICc_Click()
{
    if (busy_ || !button(rankingControl::aicc).enabled)
        return;
    BusyScope busy(*this);
    addCurrentModel();
}

// The objective of the current algorithm data, with its prior penalty (call code 1).
double RankingWindow::evaluateCurrentData()
{
    AlgorithmData& data = app_.algorithm;
    buildFuseGroups(data);
    buildFreeIndex(data);
    return evaluateObjective(app_, data.paramValues, callCode::firstEvaluation);
}

void RankingWindow::addCurrentModel()
{
    if (entries_.size() >= static_cast<std::size_t>(maxRankedModels)) {
        app_.ui().showMessage(rankingText::limitMessage, rankingText::limitTitle, Buttons::OK, Icon::None);
        return;
    }
    app_.mainWindow.setPanel(statusBar::messages, 1, rankingText::constantPanel);
    double objective = evaluateCurrentData();
    if (app_.ended())
        return;
    if (entries_.empty()) {
        setVisible(false);
        const std::optional<double> constant = askObjectiveConstant(app_);
        if (!constant)
            return;
        setVisible(true);
        const double previousScale = app_.session.covScale;
        setCovScale(app_.session, 1.0 / *constant);
        // The prior penalty is covScale times the priors' -ln[L]: under a new scale it is
        // evaluated again, so that -ln[L] holds the priors at the scale it is divided by.
        if (app_.session.priorsActive && app_.session.covScale != previousScale) {
            objective = evaluateCurrentData();
            if (app_.ended())
                return;
        }
    }
    entries_.push_back(makeEntry(objective));
    markUnranked();
    if (cHat_ > 1.0)
        askCHat();
    afterListChange();
    app_.mainWindow.clearPanel(statusBar::messages, 1);
    requestFocus(rankingControl::loadAlg);
}

ModelEntry RankingWindow::makeEntry(double objective) const
{
    const SessionState& session = app_.session;
    ModelEntry entry;
    entry.entryNumber = static_cast<std::int16_t>(entries_.size() + 1);
    entry.K = static_cast<std::int16_t>(app_.algorithm.freeCount);
    entry.n = app_.modelWorkspace.qaiccCount;
    entry.negLogL = objective / session.covScale;
    if (!isFiniteObjective(objective))
        entry.objectiveProblem = objectiveFailureText(app_);
    entry.aicc = aiccOf(entry.negLogL, entry.K, entry.n);
    if (cHat_ != 1.0)
        entry.qaicc = qaiccOf(entry.negLogL, entry.K, entry.n, cHat_);

    entry.algorithmFile = nameWithoutFolder(session.algorithmFileName);
    entry.algorithmFolder = folderOf(session.algorithmFileName);
    entry.covarianceFile = derivedCovarianceName(entry.algorithmFile);
    entry.covariancePath = entry.algorithmFolder + entry.covarianceFile;
    if (!canOpenForReading(entry.covariancePath)) {
        entry.covarianceFile = rankingText::noCovarianceFound;
        entry.covariancePath.clear();
    }
    entry.priorsFile = session.priorsFileName.empty() ? rankingText::noPriorsLoaded
                                                      : nameWithoutFolder(session.priorsFileName);
    return entry;
}

void RankingWindow::cmdQAICc_Click()
{
    if (busy_)
        return;
    BusyScope busy(*this);
    askCHat();
    afterListChange();
    app_.mainWindow.clearPanel(statusBar::messages, 1);
    requestFocus(rankingControl::loadAlg);
}

void RankingWindow::askCHat()
{
    double value = 1.0;
    while (true) {
        const std::string answer =
            app_.ui().askText(rankingText::cHatPrompt, rankingText::cHatTitle, numberText(cHat_));
        // An empty answer (or Cancel) is 1; an infinite C-hat is asked again like one below 1.
        value = answer.empty() ? 1.0 : leadingNumber(answer);
        if ((value >= 1.0 && std::isfinite(value)) || app_.ended())
            break;
    }
    if (app_.ended())
        return;
    setCHat(value);
    recomputeCriteria();
    markUnranked();
}

void RankingWindow::recomputeCriteria()
{
    for (ModelEntry& e : entries_) {
        if (criterion() == Criterion::QAICc)
            e.qaicc = qaiccOf(e.negLogL, e.K, e.n, cHat_);
        else
            e.aicc = aiccOf(e.negLogL, e.K, e.n);
    }
    notifyChanged();
}

// ---------------------------------------------------------------------------------------------
// Ranking and averaging

void RankingWindow::cmdRank_Click()
{
    if (busy_ || !button(rankingControl::rank).enabled)
        return;
    BusyScope busy(*this);
    const int ranked = rankEntries(entries_, criterion());
    listRanked_ = true;
    setButtonEnabled(rankingControl::saveRank, true);
    requestFocus(rankingControl::aicc);
    setButtonEnabled(rankingControl::average, averagingPossible());
    clearAveragingResults();
    if (ranked < static_cast<int>(entries_.size()))
        reportUnrankable(ranked);
}

bool RankingWindow::averagingPossible() const
{
    if (entries_.size() < 2)
        return false;
    for (const ModelEntry& e : entries_)
        if (!e.hasCovarianceFile() || !e.weight(criterion()))
            return false;
    return true;
}

// Models without a criterion value are listed last, without a difference or weight; the user
// is told which and why.
void RankingWindow::reportUnrankable(int ranked)
{
    const Criterion c = criterion();
    std::string text = "These models cannot be ranked by " + criterionName(c) +
                       ": they are listed last, without a difference or weight.\n";
    for (std::size_t k = at(ranked); k < entries_.size(); ++k) {
        const ModelEntry& e = entries_[k];
        text += "\nModel " + numberText(static_cast<long long>(k + 1)) + " (entry " +
                numberText(e.entryNumber) + ", " + e.algorithmFile + "): " + noCriterionReason(e, c);
    }
    text += "\n\nTo average the other models, delete these (double-click their first cell) and rank again.";
    app_.ui().showMessage(text, rankingText::notRankedTitle, Buttons::OK, Icon::Exclamation);
}

void RankingWindow::cmdAverage_Click()
{
    if (busy_ || !button(rankingControl::average).enabled)
        return;
    BusyScope busy(*this);
    for (const ModelEntry& e : entries_) {
        if (!e.hasCovarianceFile()) {
            app_.ui().showMessage(rankingText::missingCovarianceMessage, rankingText::averagingTitle,
                                  Buttons::OK, Icon::None);
            setButtonEnabled(rankingControl::average, false);
            return;
        }
    }
    std::vector<AveragedModel> models;
    const int paramCount = app_.algorithm.paramCount;
    for (std::size_t q = 0; q < entries_.size(); ++q) {
        const ModelEntry& e = entries_[q];
        CovarianceFileReading reading = readCovarianceFile(e.covariancePath, paramCount);
        if (!reading.ok()) {
            clearAveragingResults();
            app_.ui().showMessage("Model " + numberText(static_cast<long long>(q + 1)) + " (entry " +
                                      numberText(e.entryNumber) + ", " + e.algorithmFile +
                                      "): no averages were calculated.\n\n" + reading.error,
                                  rankingText::averagingTitle, Buttons::OK, Icon::Exclamation);
            return;
        }
        models.push_back({e.weight(criterion()).value_or(0.0), std::move(*reading.file)});
    }
    averages_ = averageModels(models, paramCount, cHat_);
    requestFocus(rankingControl::aicc);
    showAveragingResults(averagingText(averages_));
}

// ---------------------------------------------------------------------------------------------
// The grid's double-click

void RankingWindow::grdRank_DblClick(int row, int column)
{
    // The heading and an empty row hold nothing to act on.
    if (busy_ || !isModelRow(row))
        return;
    BusyScope busy(*this);
    if (column == rankColumn::label) {
        entries_.erase(entries_.begin() + (row - 1));
        markUnranked();
    } else if (column == rankColumn::covarianceFile) {
        const std::string answer =
            app_.ui().askText(rankingText::covariancePrompt, rankingText::covarianceTitle,
                              entries_[at(row - 1)].covarianceFile);
        associateCovarianceFile(row, answer);
    } else if (column == rankColumn::notes) {
        setNotes(row, app_.ui().askText(rankingText::notesPrompt, rankingText::notesTitle,
                                        rankingText::notesDefault));
    }
    setButtonEnabled(rankingControl::average, false);
    setButtonEnabled(rankingControl::saveRank, false);
    setButtonEnabled(rankingControl::rank, entries_.size() > 1);
    clearAveragingResults();
}

void RankingWindow::associateCovarianceFile(int row, const std::string& name)
{
    if (!isModelRow(row))
        return;
    ModelEntry& e = entries_[at(row - 1)];
    const bool found = canOpenForReading(name);
    e.covarianceFile = found ? name : rankingText::noSuchFile;
    e.covariancePath = found ? name : std::string();
    notifyChanged();
}

void RankingWindow::setNotes(int row, std::string notes)
{
    if (!isModelRow(row))
        return;
    entries_[at(row - 1)].notes = std::move(notes);
    notifyChanged();
}

// ---------------------------------------------------------------------------------------------
// The algorithm data and the priors

void RankingWindow::buttonClicked(const std::string& name)
{
    using namespace rankingControl;
    if (name == loadAlg)
        cmdLoadAlg_Click();
    else if (name == editAlg)
        cmdEditAlg_Click();
    else if (name == saveAlg)
        cmdSaveAlg_Click();
    else if (name == bayesian)
        cmdBayesian_Click();
    else if (name == aicc)
        cmdAICc_Click();
    else if (name == qaicc)
        cmdQAICc_Click();
    else if (name == rank)
        cmdRank_Click();
    else if (name == average)
        cmdAverage_Click();
    else if (name == saveRank)
        cmdSaveRank_Click();
    else if (name == finish)
        cmdFinish_Click();
}

void RankingWindow::cmdLoadAlg_Click()
{
    if (busy_)
        return;
    BusyScope busy(*this);
    clearAveragingResults();
    const std::optional<std::string> path =
        app_.ui().chooseFile(openAlgorithmRequest(app_.session.algorithmFileName));
    if (!path)
        return;
    const bool loaded = loadAlgorithmFromFile(app_, *path);
    refreshAlgorithmButtons();
    if (!loaded)
        return;
    app_.session.simplexBuilt = false;
    app_.mainWindow.setPanel(statusBar::algorithm, 1, algorithmPanelPrefix + app_.session.algorithmBaseName);
    requestFocus(rankingControl::aicc);
}

void RankingWindow::cmdEditAlg_Click()
{
    if (busy_ || !button(rankingControl::editAlg).enabled)
        return;
    clearAveragingResults();
    // The editor shows this window again when it closes.
    setVisible(false);
    openAlgorithmEditor(app_, EditorOpener::Ranking, optionPanelLocks());
}

void RankingWindow::cmdSaveAlg_Click()
{
    if (busy_ || !button(rankingControl::saveAlg).enabled)
        return;
    BusyScope busy(*this);
    clearAveragingResults();
    saveAlgorithmFile(app_, dataFileStem_, AlgorithmSaver::RankingWindow);
    requestFocus(rankingControl::aicc);
}

void RankingWindow::cmdBayesian_Click()
{
    if (busy_)
        return;
    clearAveragingResults();
    setVisible(false);
    openLoadPriorsWindow(app_, PriorsCaller::Ranking);
}

void RankingWindow::showAgain()
{
    setVisible(true);
    app_.desktop.raise(windowName);
    refreshAlgorithmButtons();
    requestFocus(rankingControl::aicc);
}

// ---------------------------------------------------------------------------------------------
// Saving and closing

std::string RankingWindow::rankingFileText() const
{
    return orvanta::rankingFileText(entries_, cHat_,
                                    averagingDone_ ? std::optional(averageText_) : std::nullopt);
}

bool RankingWindow::Save_Ranks()
{
    FileDialogRequest request;
    request.mode = FileDialogMode::Save;
    request.title = rankingText::saveDialogTitle;
    request.filter = fileFilter(rankingText::saveFilterEntry);
    request.filterIndex = 2;
    request.defaultName = dateTimeName(app_.clock(), rankingText::fileExtension);
    const std::optional<std::string> path = app_.ui().chooseFile(request);
    if (!path)
        return false;
    if (!saveTextFile(*path, rankingFileText(), app_.files())) {
        reportSaveFailure(app_.ui(), *path);
        return false;
    }
    requestFocus(rankingControl::aicc);
    return true;
}

void RankingWindow::cmdSaveRank_Click()
{
    if (busy_ || !button(rankingControl::saveRank).enabled)
        return;
    BusyScope busy(*this);
    Save_Ranks();
}

void RankingWindow::cmdFinish_Click()
{
    if (busy_)
        return;
    {
        BusyScope busy(*this);
        if (listRanked_ &&
            app_.ui().showMessage(rankingText::saveQuestion, rankingText::saveQuestionTitle, Buttons::YesNo,
                                  Icon::Question, DefaultButton::Second) == Answer::Yes)
            Save_Ranks();
    }
    Application& app = app_;
    app.session.rankingOpen = false;
    app.desktop.close(windowName); // destroys this window
    if (app.ended())
        return;
    app.showMainMenu();
    app.endToolCommand();
}

void RankingWindow::closeRequested()
{
    cmdFinish_Click();
}

// ---------------------------------------------------------------------------------------------

RankingWindow* findRankingWindow(Application& app)
{
    return app.desktop.find<RankingWindow>(RankingWindow::windowName);
}

void openRankingWindow(Application& app, const std::string& dataFileStem)
{
    if (RankingWindow* open = findRankingWindow(app)) {
        open->showAgain();
        return;
    }
    app.startToolCommand(ToolStart::MainMenuOnly);
    auto& window =
        static_cast<RankingWindow&>(app.desktop.open(std::make_unique<RankingWindow>(app, dataFileStem)));
    window.runOpening();
}

void installRanking(Application& app, std::function<std::string()> dataFileStem)
{
    app.registerCommand(menuButton::rank, [&app, dataFileStem = std::move(dataFileStem)] {
        openRankingWindow(app, dataFileStem());
    });
    app.hooks.showRankingWindow = [&app] {
        if (RankingWindow* window = findRankingWindow(app))
            window->showAgain();
    };
}

} // namespace orvanta
