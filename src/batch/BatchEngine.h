#pragma once

// What the batch commands share: the engine with every tool installed behind a console user
// interface, and the reading of the data options and of an algorithm file.

#include "app/Application.h"
#include "batch/ConsoleUserInterface.h"
#include "model/InitializationWindow.h"
#include "model/TarnfieldModel.h"
#include "ui/Clock.h"

#include <iosfwd>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace orvanta {

class BatchFiles;
class CommandLine;
class RunWarnings;

// The engine as a batch command runs it: the messages its user interface collects, the
// application with every tool installed and started, and the model.
struct BatchEngine {
    BatchEngine();
    BatchEngine(const BatchEngine&) = delete;
    BatchEngine& operator=(const BatchEngine&) = delete;

    std::ostringstream messages;
    ConsoleUserInterface ui{messages};
    SystemClock clock;
    Application app;
    TarnfieldModel model;
};

// The options that name the data: --freq, --inc, --first-cell and --errors.
const std::set<std::string>& dataOptionNames();

// Reads the data options; on a problem writes one line, led by commandName, to err.
std::optional<InitializationRequest> readDataOptions(const CommandLine& line, const std::string& commandName,
                                                     std::ostream& err);

// Names the data files of request as the command's inputs.
void nameDataFiles(BatchFiles& files, const InitializationRequest& request);

// Initializes the model from the data files as the initialization window does; false, with
// the engine's messages written to err, when the files were not read.
bool initializeFromData(BatchEngine& engine, const InitializationRequest& request,
                        const std::string& commandName, std::ostream& err);

// The full path of --out, as a save dialog gives it (the report files name it in their heading);
// nothing without --out. BatchFiles checks it against the inputs.
std::optional<std::string> outputFilePath(const CommandLine& line);

// Reads the algorithm file into the parameter set as "&Load algorithm data" does and builds
// its fuse groups; on a problem writes the reader's message (or why the file could not be
// read) to err.
bool loadAlgorithmFile(BatchEngine& engine, const std::string& path, const std::string& commandName,
                       std::ostream& err);

// Reads --constant, the C that makes the objective -ln[likelihood] = C x objective: a number
// above 0 whose reciprocal (covScale) is a number too; on a problem writes one line to err.
std::optional<double> readObjectiveConstant(const CommandLine& line, const std::string& commandName,
                                            std::ostream& err);

// From here on the engine's messages (those collected so far first) and the warnings the model
// appends to the summary window go to warnings as they come, and questions the batch answers are
// not shown unless verbose.
void watchRun(BatchEngine& engine, RunWarnings& warnings, bool verbose);

// Takes the warnings still in the summary window and stops watching; RunWarnings::finish then
// prints the totals of the warnings that recurred.
void stopWatching(BatchEngine& engine, RunWarnings& warnings);

// Writes the engine's messages to err, each distinct line once and in the order first shown,
// followed by " (shown N times)" when it was shown more than once.
void writeMessagesOnce(const std::string& messages, std::ostream& err);

} // namespace orvanta
