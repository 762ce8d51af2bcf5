#include "batch/ImportCommand.h"

#include "batch/BatchFiles.h"
#include "batch/BatchProgram.h"
#include "batch/CommandLine.h"
#include "batch/DataFileImport.h"
#include "batch/PriorsOption.h"
#include "text/TextFile.h"

#include <fstream>
#include <iterator>
#include <optional>
#include <ostream>
#include <set>
#include <sstream>

namespace orvanta {

namespace {

constexpr const char* commandName = "orvanta-batch import";

// A CSV table of more is no table of at most 2000 records or 250 cells.
constexpr std::streamoff largestCsvFile = 64 * 1024 * 1024;

struct ImportOptions {
    bool increments = false;
    std::string csvFile;
    std::string outputFile;
    double scale = 1.0;
    FrequencyColumns frequencyColumns;
    IncrementColumns incrementColumns;
};

bool requireValue(const CommandLine& line, const std::string& name, std::string& value, std::ostream& err)
{
    const auto given = line.value(name);
    if (!given) {
        err << commandName << ": give " << name << "\n";
        return false;
    }
    value = *given;
    return true;
}

bool readColumns(const CommandLine& line, ImportOptions& options, std::ostream& err)
{
    if (!options.increments)
        return requireValue(line, "--midpoint", options.frequencyColumns.midpoint, err) &&
               requireValue(line, "--frequency", options.frequencyColumns.frequency, err);
    IncrementColumns& columns = options.incrementColumns;
    columns.set = line.value("--set");
    columns.fromDates = line.flag("--from-dates");
    return requireValue(line, "--initial-size", columns.initialSize, err) &&
           requireValue(line, "--increment", columns.increment, err) &&
           requireValue(line, "--start-day", columns.startDay, err) &&
           requireValue(line, "--end-day", columns.endDay, err);
}

std::optional<ImportOptions> readOptions(const std::vector<std::string>& args, std::ostream& err)
{
    if (args.empty() || (args.front() != "frequencies" && args.front() != "increments")) {
        err << commandName << ": say what to import: import frequencies ... or import increments ...\n";
        return std::nullopt;
    }
    ImportOptions options;
    options.increments = args.front() == "increments";
    const std::set<std::string> valueOptions =
        options.increments
            ? std::set<std::string>{"--csv",          "--out",       "--scale",     "--set",
                                    "--initial-size", "--increment", "--start-day", "--end-day"}
            : std::set<std::string>{"--csv", "--out", "--scale", "--midpoint", "--frequency"};
    const std::set<std::string> flags =
        options.increments ? std::set<std::string>{"--from-dates"} : std::set<std::string>{};
    CommandLine line;
    if (!line.parse(std::vector<std::string>(args.begin() + 1, args.end()), valueOptions, flags)) {
        err << commandName << " " << args.front() << ": " << line.error() << "\n";
        return std::nullopt;
    }
    if (!requireValue(line, "--csv", options.csvFile, err) ||
        !requireValue(line, "--out", options.outputFile, err) || !readColumns(line, options, err))
        return std::nullopt;
    if (const auto scale = line.value("--scale")) {
        const std::optional<double> value = positiveNumberOption(*scale, "--scale", commandName, err);
        if (!value)
            return std::nullopt;
        options.scale = *value;
    }
    return options;
}

std::optional<std::string> readCsvFile(const std::string& path, std::ostream& err)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (in && in.tellg() > largestCsvFile) {
        err << commandName << ": the CSV file '" << path << "' is too large for a data table\n";
        return std::nullopt;
    }
    in.seekg(0);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (!in) {
        err << commandName << ": the CSV file '" << path << "' could not be read\n";
        return std::nullopt;
    }
    return bytes.str();
}

} // namespace

int runImportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const std::optional<ImportOptions> options = readOptions(args, err);
    if (!options)
        return batchExit::badInput;
    BatchFiles files(commandName);
    files.reads("--csv", options->csvFile);
    files.writes("--out", options->outputFile);
    if (!files.check(err))
        return batchExit::badInput;
    const std::optional<std::string> bytes = readCsvFile(options->csvFile, err);
    if (!bytes)
        return batchExit::badInput;

    const auto table = parseCsv(*bytes);
    if (const auto* problem = std::get_if<std::string>(&table)) {
        err << commandName << ": the CSV file '" << options->csvFile << "': " << *problem << "\n";
        return batchExit::badInput;
    }
    const auto imported =
        options->increments
            ? importIncrements(std::get<CsvTable>(table), options->incrementColumns, options->scale)
            : importFrequencies(std::get<CsvTable>(table), options->frequencyColumns, options->scale);
    if (const auto* problem = std::get_if<std::string>(&imported)) {
        err << commandName << ": the CSV file '" << options->csvFile << "', " << *problem
            << "; nothing written\n";
        return batchExit::badInput;
    }
    const ImportedFile& file = std::get<ImportedFile>(imported);
    if (!saveTextFile(options->outputFile, file.text)) {
        err << commandName << ": the data file '" << options->outputFile << "' cannot be written\n";
        return batchExit::badInput;
    }
    out << (options->increments ? "increment_file " : "frequency_file ") << options->outputFile << "\n";
    if (options->increments) {
        out << "increment_records " << file.lines << "\n";
    } else {
        out << "frequency_cells " << file.lines << "\n";
        out << "empty_cells_added " << file.emptyCellsAdded << "\n";
    }
    return batchExit::success;
}

} // namespace orvanta
