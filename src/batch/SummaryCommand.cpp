#include "batch/SummaryCommand.h"

#include "batch/BatchEngine.h"
#include "batch/BatchFiles.h"
#include "batch/BatchProgram.h"
#include "batch/CommandLine.h"
#include "batch/PriorsOption.h"
#include "plots/DataPlotWindow.h"
#include "plots/SvgWriter.h"
#include "text/NumberText.h"
#include "text/TextFile.h"
#include "ui/ReportWindow.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <ostream>
#include <set>

namespace orvanta {

namespace {

constexpr const char* commandName = "orvanta-batch summary";

struct SummaryOptions {
    InitializationRequest request;
    std::string algorithmFile;
    std::string simulations = "0";
    std::uint64_t seed = 1;
    bool frequencyTable = false;
    bool incrementTable = false;
    bool chiSquare = false;
    std::optional<std::string> outputFile; // full path, as a save dialog gives it
    std::optional<std::string> plotFolder;
    PriorsOption priors;
};

bool readSimulations(const CommandLine& line, SummaryOptions& options, std::ostream& err)
{
    const auto text = line.value("--sims");
    if (!text)
        return true;
    const Converted<double> value = textToDouble(*text);
    if (!value || !std::isfinite(value.value()) || value.value() < 0.0) {
        err << commandName << ": --sims must be a number of 0 or more, not '" << *text << "'\n";
        return false;
    }
    options.simulations = *text;
    return true;
}

bool readSeed(const CommandLine& line, SummaryOptions& options, std::ostream& err)
{
    const auto text = line.value("--seed");
    if (!text)
        return true;
    const std::optional<std::uint64_t> seed = seedValue(*text);
    if (!seed) {
        err << commandName << ": --seed must be a whole number from 0 to 18446744073709551615, not '" << *text
            << "'\n";
        return false;
    }
    options.seed = *seed;
    return true;
}

bool readFiles(const CommandLine& line, SummaryOptions& options, std::ostream& err)
{
    const auto in = line.value("--alg");
    if (!in) {
        err << commandName << ": give the algorithm file whose values are summarized (--alg FILE)\n";
        return false;
    }
    options.algorithmFile = *in;
    options.plotFolder = line.value("--plots");
    options.outputFile = outputFilePath(line);
    return true;
}

std::optional<SummaryOptions> readOptions(const std::vector<std::string>& args, std::ostream& err)
{
    std::set<std::string> valueOptions = dataOptionNames();
    valueOptions.insert({"--alg", "--sims", "--seed", "--out", "--plots"});
    valueOptions.insert(priorsValueOptions().begin(), priorsValueOptions().end());
    CommandLine line;
    if (!line.parse(args, valueOptions,
                    {"--frequency-table", "--increment-table", "--chi-square", reviewFlag})) {
        err << commandName << ": " << line.error() << "\n";
        return std::nullopt;
    }
    const std::optional<InitializationRequest> request = readDataOptions(line, commandName, err);
    if (!request)
        return std::nullopt;
    SummaryOptions options;
    options.request = *request;
    options.frequencyTable = line.flag("--frequency-table");
    options.incrementTable = line.flag("--increment-table");
    options.chiSquare = line.flag("--chi-square");
    if (!readFiles(line, options, err) || !readSimulations(line, options, err) ||
        !readSeed(line, options, err))
        return std::nullopt;
    const std::optional<PriorsOption> priors =
        readPriorsOption(line, ConstantUse::PriorsOnly, commandName, err);
    if (!priors)
        return std::nullopt;
    options.priors = *priors;
    return options;
}

Answer yesOrNo(bool yes)
{
    return yes ? Answer::Yes : Answer::No;
}

// The answers a user gives in the summary's dialogue.
void scriptAnswers(ConsoleUserInterface& ui, const SummaryOptions& options)
{
    ui.answerQuestionsTitled("Model results", yesOrNo(options.plotFolder.has_value()));
    ui.answerPromptsTitled("More simulations improve chi-square estimate", options.simulations);
    ui.answerQuestionsTitled("Frequency Summary", yesOrNo(options.frequencyTable));
    ui.answerQuestionsTitled("Increment Summary", yesOrNo(options.incrementTable));
    ui.answerQuestionsTitled("Frequency Chi-square", yesOrNo(options.chiSquare));
    ui.answerQuestionsTitled("Increment Chi-square", yesOrNo(options.chiSquare));
}

std::string pageFileName(int page)
{
    char name[32];
    std::snprintf(name, sizeof name, "page-%02d.svg", page);
    return name;
}

// Draws each page with the default plots and writes it as the next SVG file of the folder.
struct PlotWriter {
    std::filesystem::path folder;
    int pages = 0;
    bool failed = false;
    std::string failure;

    bool operator()(const DataPlotPage& page)
    {
        DataPlotWindow window(page, [] {});
        drawDefaultPlots(window);
        const std::filesystem::path path = folder / pageFileName(++pages);
        if (!failed && !saveFileBytes(path.string(), writeSvg(window.picture()))) {
            failed = true;
            failure = path.string();
        }
        return true;
    }
};

// Every file the run reads and writes, checked before the run.
bool checkFiles(const SummaryOptions& options, std::ostream& err)
{
    BatchFiles files(commandName);
    nameDataFiles(files, options.request);
    files.reads("--alg", options.algorithmFile);
    files.reads("--priors", options.priors.file.value_or(""));
    files.writes("--out", options.outputFile.value_or(""));
    return files.check(err);
}

bool preparePlotFolder(const std::string& folder, std::ostream& err)
{
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (!std::filesystem::is_directory(folder, error)) {
        err << commandName << ": the plot folder '" << folder << "' cannot be made\n";
        return false;
    }
    return true;
}

} // namespace

int runSummaryCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const std::optional<SummaryOptions> options = readOptions(args, err);
    if (!options || !checkFiles(*options, err))
        return batchExit::badInput;
    if (options->plotFolder && !preparePlotFolder(*options->plotFolder, err))
        return batchExit::badInput;
    BatchEngine engine;
    if (!initializeFromData(engine, options->request, commandName, err) ||
        !loadAlgorithmFile(engine, options->algorithmFile, commandName, err) ||
        !applyPriorsOption(engine, options->priors, commandName, err))
        return batchExit::badInput;

    Application& app = engine.app;
    scriptAnswers(engine.ui, *options);
    std::uint64_t nextSeed = options->seed;
    app.hooks.chiSquareSeed = [&nextSeed] { return nextSeed++; };
    PlotWriter plots;
    plots.folder = options->plotFolder.value_or("");
    app.hooks.showDataPlotPage = [&plots](const DataPlotPage& page) { return plots(page); };

    app.singleModelResults();
    err << engine.messages.str();
    if (!std::isfinite(engine.model.state().bestObjective)) {
        const std::string& why = engine.model.state().arithmeticFailure;
        err << commandName << ": the objective is not finite" << (why.empty() ? "" : ": " + why) << "\n";
        return batchExit::notFinite;
    }
    if (plots.failed) {
        err << commandName << ": the picture '" << plots.failure << "' cannot be written\n";
        return batchExit::badInput;
    }
    auto* summary = app.desktop.find<ReportWindow>("frmSummary");
    if (!summary) {
        err << commandName << ": no summary was produced\n";
        return batchExit::badInput;
    }
    if (!options->outputFile) {
        out << summary->text();
    } else if (!summary->saveAs(*options->outputFile, realFileSystem())) {
        err << commandName << ": the summary file '" << *options->outputFile << "' cannot be written\n";
        return batchExit::badInput;
    }
    printPriorsResults(app, options->priors, app.algorithm.paramValues, out);
    return batchExit::success;
}

} // namespace orvanta
