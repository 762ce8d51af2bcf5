#include "batch/RankCommand.h"

#include "algorithm/AlgorithmCommands.h"
#include "batch/BatchEngine.h"
#include "batch/BatchFiles.h"
#include "batch/BatchProgram.h"
#include "batch/CommandLine.h"
#include "batch/PriorsOption.h"
#include "ranking/RankingWindow.h"
#include "text/NumberText.h"
#include "text/TextFile.h"
#include "uncertainty/CovarianceCalculator.h"

#include <cmath>
#include <optional>
#include <ostream>
#include <set>

namespace orvanta {

namespace {

constexpr const char* commandName = "orvanta-batch rank";

// One competing model: its algorithm file with the options that follow it.
struct CompetingModel {
    std::string algorithmFile;
    std::optional<std::string> covarianceFile;
    std::optional<std::string> notes;
};

struct RankOptions {
    InitializationRequest request;
    std::vector<CompetingModel> models;
    std::string constantText;
    std::string cHatText = "1";
    double cHat = 1.0;
    bool average = false;
    std::optional<std::string> outputFile; // full path, as a save dialog gives it
    PriorsOption priors;
};

const std::set<std::string>& commandValueOptions()
{
    static const std::set<std::string> names = [] {
        std::set<std::string> all = dataOptionNames();
        all.insert({"--c-hat", "--out"});
        all.insert(priorsValueOptions().begin(), priorsValueOptions().end());
        return all;
    }();
    return names;
}

// Takes the options of each model (--alg and the --cov and --notes after it) out of args in their
// order; the command's other options, each with its value, are left in rest.
bool splitModelOptions(const std::vector<std::string>& args, std::vector<CompetingModel>& models,
                       std::vector<std::string>& rest, std::ostream& err)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        const bool modelOption = word == "--alg" || word == "--cov" || word == "--notes";
        if (!modelOption) {
            rest.push_back(word);
            if (commandValueOptions().count(word) != 0 && i + 1 < args.size())
                rest.push_back(args[++i]);
            continue;
        }
        if (i + 1 >= args.size()) {
            err << commandName << ": " << word << " needs a value\n";
            return false;
        }
        const std::string& value = args[++i];
        if (word == "--alg") {
            models.push_back({value, std::nullopt, std::nullopt});
            continue;
        }
        if (models.empty()) {
            err << commandName << ": " << word << " belongs after the --alg FILE of its model\n";
            return false;
        }
        std::optional<std::string>& slot =
            word == "--cov" ? models.back().covarianceFile : models.back().notes;
        if (slot) {
            err << commandName << ": " << word << " is given twice for '" << models.back().algorithmFile
                << "'\n";
            return false;
        }
        slot = value;
    }
    return true;
}

bool readModels(const std::vector<CompetingModel>& models, std::ostream& err)
{
    if (models.size() < 2) {
        err << commandName << ": give at least two competing models (--alg FILE for each)\n";
        return false;
    }
    if (models.size() > static_cast<std::size_t>(maxRankedModels)) {
        err << commandName << ": no more than " << maxRankedModels << " models can be ranked\n";
        return false;
    }
    return true;
}

bool readConstant(const CommandLine& line, RankOptions& options, std::ostream& err)
{
    const auto text = line.value("--constant");
    if (!text) {
        err << commandName
            << ": give the constant that makes the objective the -ln[likelihood] (--constant C, e.g. 0.5 for "
               "-2 ln L)\n";
        return false;
    }
    if (!positiveNumberOption(*text, "--constant", commandName, err))
        return false;
    options.constantText = *text;
    return true;
}

bool readCHat(const CommandLine& line, RankOptions& options, std::ostream& err)
{
    const auto text = line.value("--c-hat");
    if (!text)
        return true;
    const Converted<double> value = textToDouble(*text);
    if (!value || !std::isfinite(value.value()) || value.value() < 1.0) {
        err << commandName << ": --c-hat must be a number of 1 or more, not '" << *text << "'\n";
        return false;
    }
    options.cHatText = *text;
    options.cHat = value.value();
    return true;
}

// Every file the run reads and writes, checked before the run. A covariance file that cannot be
// opened is the window's to note, as "No such file exists".
bool checkFiles(const RankOptions& options, std::ostream& err)
{
    BatchFiles files(commandName);
    nameDataFiles(files, options.request);
    files.reads("--priors", options.priors.file.value_or(""));
    for (const CompetingModel& model : options.models) {
        files.reads("--alg", model.algorithmFile);
        files.mayRead("--cov", model.covarianceFile.value_or(""));
    }
    files.writes("--out", options.outputFile.value_or(""));
    return files.check(err);
}

std::optional<RankOptions> readOptions(const std::vector<std::string>& args, std::ostream& err)
{
    RankOptions options;
    std::vector<std::string> rest;
    if (!splitModelOptions(args, options.models, rest, err) || !readModels(options.models, err))
        return std::nullopt;
    CommandLine line;
    if (!line.parse(rest, commandValueOptions(), {"--average"})) {
        err << commandName << ": " << line.error() << "\n";
        return std::nullopt;
    }
    const std::optional<InitializationRequest> request = readDataOptions(line, commandName, err);
    if (!request)
        return std::nullopt;
    options.request = *request;
    options.average = line.flag("--average");
    const std::optional<PriorsOption> priors = readPriorsOption(line, ConstantUse::OwnUse, commandName, err);
    if (!priors)
        return std::nullopt;
    options.priors = *priors;
    if (!readConstant(line, options, err) || !readCHat(line, options, err))
        return std::nullopt;
    options.outputFile = outputFilePath(line);
    return options;
}

// The answers the user types in the window: the constant for the first model, the C-hat.
void scriptAnswers(ConsoleUserInterface& ui, const RankOptions& options)
{
    ui.answerPromptsTitled(objectiveConstantTitle, options.constantText);
    ui.answerPromptsTitled(rankingText::cHatTitle, options.cHatText);
}

// Writes the messages the engine has shown since the last call.
class MessageRelay {
public:
    MessageRelay(BatchEngine& engine, std::ostream& err) : engine_(engine), err_(err) {}
    void operator()()
    {
        const std::string all = engine_.messages.str();
        err_ << all.substr(std::min(shown_, all.size()));
        shown_ = all.size();
    }

private:
    BatchEngine& engine_;
    std::ostream& err_;
    std::size_t shown_ = 0;
};

// A double-click on a cell of the model's row whose question is answered with answer.
void doubleClick(BatchEngine& engine, RankingWindow& window, int row, int column, const char* title,
                 const std::string& answer)
{
    engine.ui.answerPromptsTitled(title, answer);
    window.grdRank_DblClick(row, column);
}

// Enters the models as the window's "Calculate model AICc" does. Returns the exit status of a
// failure, or nothing when every model was entered.
std::optional<int> enterModels(BatchEngine& engine, const RankOptions& options, RankingWindow*& window,
                               MessageRelay& relayMessages, std::ostream& err)
{
    Application& app = engine.app;
    for (std::size_t i = 0; i < options.models.size(); ++i) {
        const CompetingModel& model = options.models[i];
        if (!loadAlgorithmFile(engine, model.algorithmFile, commandName, err))
            return batchExit::badInput;
        if (i == 0) {
            openRankingWindow(app,
                              dataFileStem(options.request.frequencyFile, options.request.incrementFile));
            window = findRankingWindow(app);
        } else {
            window->cmdAICc_Click();
        }
        if (!window || window->entries().size() != i + 1) {
            relayMessages();
            err << commandName << ": the model of '" << model.algorithmFile << "' was not entered\n";
            return batchExit::badInput;
        }
        const int row = static_cast<int>(i) + 1;
        const ModelEntry& entry = window->entries().back();
        if (!entry.objectiveProblem.empty()) {
            relayMessages();
            err << commandName << ": the objective of '" << model.algorithmFile
                << "' is not finite: " << entry.objectiveProblem << "\n";
            return batchExit::notFinite;
        }
        if (model.covarianceFile)
            doubleClick(engine, *window, row, rankColumn::covarianceFile, rankingText::covarianceTitle,
                        *model.covarianceFile);
        if (model.notes)
            doubleClick(engine, *window, row, rankColumn::notes, rankingText::notesTitle, *model.notes);
    }
    return std::nullopt;
}

std::string printed(const std::optional<double>& value)
{
    return value ? fullPrecision(*value) : std::string(rankingText::undefined);
}

void printRanking(const RankingWindow& window, std::ostream& out)
{
    const Criterion c = window.criterion();
    out << "rank entry neg_log_l K " << criterionName(c) << " delta weight algorithm_file\n";
    int rank = 0;
    for (const ModelEntry& e : window.entries()) {
        ++rank;
        out << (e.weight(c) ? numberText(rank) : std::string("-")) << " " << e.entryNumber << " "
            << fullPrecision(e.negLogL) << " " << e.K << " " << printed(e.criterion(c)) << " "
            << printed(e.delta(c)) << " " << printed(e.weight(c)) << " " << e.algorithmFile << "\n";
    }
}

void printAverages(const ModelAverages& averages, std::ostream& out)
{
    out << "param average se_grid1 se_grid2 se_grid3\n";
    for (int p = 1; p <= averages.paramCount; ++p) {
        const auto at = static_cast<std::size_t>(p);
        out << p << " " << fullPrecision(averages.average[at]);
        for (int g = 1; g <= gridCount; ++g)
            out << " " << fullPrecision(averages.standardError[static_cast<std::size_t>(g)][at]);
        out << "\n";
    }
}

bool everyModelRanked(const RankingWindow& window)
{
    for (const ModelEntry& e : window.entries())
        if (!e.weight(window.criterion()))
            return false;
    return true;
}

// Averages as "&Average across models" does; the exit status of a failure, or nothing.
std::optional<int> average(RankingWindow& window, std::ostream& err)
{
    if (!everyModelRanked(window)) {
        err << commandName << ": the models cannot be averaged while some are not ranked\n";
        return batchExit::incomplete;
    }
    bool missing = false;
    for (const ModelEntry& e : window.entries())
        if (!e.hasCovarianceFile()) {
            if (!missing)
                err << commandName << ": " << rankingText::missingCovarianceMessage << "\n";
            err << commandName << ": " << e.algorithmFile << ": " << e.covarianceFile << "\n";
            missing = true;
        }
    if (missing)
        return batchExit::incomplete;
    window.cmdAverage_Click();
    if (!window.averagingDone())
        return batchExit::badInput;
    return std::nullopt;
}

} // namespace

int runRankCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const std::optional<RankOptions> options = readOptions(args, err);
    if (!options || !checkFiles(*options, err))
        return batchExit::badInput;
    BatchEngine engine;
    if (!initializeFromData(engine, options->request, commandName, err) ||
        !applyPriorsOption(engine, options->priors, commandName, err))
        return batchExit::badInput;
    scriptAnswers(engine.ui, *options);
    MessageRelay relayMessages(engine, err);

    RankingWindow* window = nullptr;
    if (const std::optional<int> failed = enterModels(engine, *options, window, relayMessages, err))
        return *failed;
    if (options->cHat != 1.0)
        window->cmdQAICc_Click();
    window->cmdRank_Click();
    relayMessages();
    int status = everyModelRanked(*window) ? batchExit::success : batchExit::incomplete;
    if (options->average) {
        const std::optional<int> failed = average(*window, err);
        relayMessages();
        if (failed && status == batchExit::success)
            status = *failed;
    }

    printRanking(*window, out);
    if (window->averagingDone())
        printAverages(window->averages(), out);
    if (options->outputFile && !saveTextFile(*options->outputFile, window->rankingFileText())) {
        err << commandName << ": the ranking file '" << *options->outputFile << "' cannot be written\n";
        return batchExit::badInput;
    }
    return status;
}

} // namespace orvanta
