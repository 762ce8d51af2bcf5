#include "batch/BatchEngine.h"

#include "algorithm/AlgorithmCommands.h"
#include "app/Tools.h"
#include "batch/BatchFiles.h"
#include "batch/CommandLine.h"
#include "batch/RunWarnings.h"
#include "text/LineReader.h"
#include "text/NumberText.h"
#include "text/TextFile.h"
#include "ui/ReportWindow.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <ostream>
#include <sstream>
#include <utility>

namespace orvanta {

BatchEngine::BatchEngine() : app(ui, clock, realFileSystem()), model(app.modelHost())
{
    installTools(app, model);
    app.start();
}

const std::set<std::string>& dataOptionNames()
{
    static const std::set<std::string> names{"--freq", "--inc", "--first-cell", "--errors"};
    return names;
}

std::optional<InitializationRequest> readDataOptions(const CommandLine& line, const std::string& commandName,
                                                     std::ostream& err)
{
    InitializationRequest request;
    request.frequencyFile = line.value("--freq").value_or("");
    request.incrementFile = line.value("--inc").value_or("");
    if (request.frequencyFile.empty() && request.incrementFile.empty()) {
        err << commandName << ": give a frequency file (--freq), an increment file (--inc) or both\n";
        return std::nullopt;
    }
    request.firstCellText = line.value("--first-cell").value_or("1");
    if (const auto problem = firstCellProblem(request.firstCellText)) {
        err << commandName << ": --first-cell '" << request.firstCellText << "': " << *problem << "\n";
        return std::nullopt;
    }
    const std::string errors = line.value("--errors").value_or("gaussian");
    if (errors != "gaussian" && errors != "gamma") {
        err << commandName << ": --errors must be gaussian or gamma, not '" << errors << "'\n";
        return std::nullopt;
    }
    request.errorType = errors == "gamma" ? IncrementErrorType::Gamma : IncrementErrorType::Gaussian;
    return request;
}

bool initializeFromData(BatchEngine& engine, const InitializationRequest& request,
                        const std::string& commandName, std::ostream& err)
{
    initializeModel(engine.app, engine.model, request);
    if (engine.app.session.initializeAlready)
        return true;
    err << commandName << ": the data files were not read: " << engine.messages.str();
    return false;
}

void nameDataFiles(BatchFiles& files, const InitializationRequest& request)
{
    files.reads("--freq", request.frequencyFile);
    files.reads("--inc", request.incrementFile);
}

std::optional<std::string> outputFilePath(const CommandLine& line)
{
    const auto out = line.value("--out");
    if (!out)
        return std::nullopt;
    return std::filesystem::absolute(*out).lexically_normal().string();
}

bool loadAlgorithmFile(BatchEngine& engine, const std::string& path, const std::string& commandName,
                       std::ostream& err)
{
    Application& app = engine.app;
    app.session.algorithmFileName = path;
    LineReader lines = LineReader::openFile(path);
    const AlgorithmFileReading reading = readAlgorithmFile(app, lines);
    if (reading.failed()) {
        err << commandName << ": the algorithm file '" << path << "' was not read: ";
        if (reading.problem == AlgorithmFileProblem::Unreadable)
            err << reading.readProblem << "\n";
        else
            err << engine.messages.str();
        return false;
    }
    buildFuseGroups(app.algorithm);
    return true;
}

std::optional<double> readObjectiveConstant(const CommandLine& line, const std::string& commandName,
                                            std::ostream& err)
{
    const auto text = line.value("--constant");
    if (!text) {
        err << commandName
            << ": give the constant that makes the objective the -ln[likelihood] (--constant C, e.g. 0.5 for "
               "-2 ln L)\n";
        return std::nullopt;
    }
    const Converted<double> value = textToDouble(*text);
    if (!value || !std::isfinite(value.value()) || value.value() <= 0.0 ||
        !std::isfinite(1.0 / value.value())) {
        err << commandName << ": --constant must be a number above 0, not '" << *text << "'\n";
        return std::nullopt;
    }
    return value.value();
}

namespace {

// The model appends its per-record warnings to the summary window on every evaluation; taken
// away as they come, they neither pile up nor are printed more than once.
void takeSummaryWarnings(BatchEngine& engine, RunWarnings& warnings)
{
    auto* summary = engine.app.desktop.find<ReportWindow>("frmSummary");
    if (summary == nullptr || summary->text().empty())
        return;
    warnings.take(summary->text());
    summary->setText("");
}

} // namespace

void watchRun(BatchEngine& engine, RunWarnings& warnings, bool verbose)
{
    const IncrementData& increments = engine.model.state().increments;
    int ignorable = 0;
    for (int i = 1; i <= increments.recordCount; ++i)
        if (increments.records[static_cast<std::size_t>(i)].increment <= 0.0)
            ++ignorable;
    warnings.setIncrementRecords(ignorable, increments.recordCount);
    if (!verbose)
        engine.ui.hideQuestions();
    warnings.take(engine.messages.str());
    engine.messages.str("");
    engine.ui.sendMessagesTo([&warnings](const std::string& line) { warnings.take(line); });
    engine.ui.onPendingEvents([&engine, &warnings] { takeSummaryWarnings(engine, warnings); });
}

void stopWatching(BatchEngine& engine, RunWarnings& warnings)
{
    takeSummaryWarnings(engine, warnings);
    engine.ui.sendMessagesTo(nullptr);
    engine.ui.onPendingEvents(nullptr);
}

void writeMessagesOnce(const std::string& messages, std::ostream& err)
{
    std::vector<std::pair<std::string, int>> lines;
    std::istringstream in(messages);
    for (std::string line; std::getline(in, line);) {
        const auto same = [&line](const std::pair<std::string, int>& entry) { return entry.first == line; };
        const auto seen = std::find_if(lines.begin(), lines.end(), same);
        if (seen != lines.end())
            ++seen->second;
        else
            lines.emplace_back(line, 1);
    }
    for (const auto& [line, count] : lines)
        err << line << (count > 1 ? " (shown " + std::to_string(count) + " times)" : std::string()) << "\n";
}

} // namespace orvanta
