#include "batch/SimulateCommand.h"

#include "batch/BatchFiles.h"
#include "batch/BatchProgram.h"
#include "batch/CommandLine.h"
#include "model/DataSimulator.h"
#include "model/ModelState.h"
#include "text/NumberText.h"
#include "text/TextFile.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <ostream>
#include <set>

namespace orvanta {

namespace {

constexpr const char* commandName = "orvanta-batch simulate";
constexpr std::uint64_t defaultSeed = 1;

const std::set<std::string> frequencyOptions = {"--freq-count", "--cell-width"};
const std::set<std::string> tagOptions = {"--release-day-min", "--release-day-max", "--liberty-min",
                                          "--liberty-max",     "--release-sizes",   "--release-size-min",
                                          "--release-size-max"};
const std::set<std::string> ageOptions = {"--age-min", "--age-max"};

std::set<std::string> allOptions()
{
    std::set<std::string> names = {"--params", "--seed", "--freq", "--inc", "--inc-count"};
    for (const auto* group : {&frequencyOptions, &tagOptions, &ageOptions})
        names.insert(group->begin(), group->end());
    return names;
}

// Reads option values; keeps the first problem, after which every read gives its fallback.
class OptionReader {
public:
    explicit OptionReader(const CommandLine& line) : line_(line) {}

    std::optional<double> number(const std::string& name)
    {
        const auto text = line_.value(name);
        if (!text || failed())
            return std::nullopt;
        const Converted<double> value = textToDouble(*text);
        if (!value || !std::isfinite(value.value())) {
            fail(name + " '" + *text + "' is not a number");
            return std::nullopt;
        }
        return value.value();
    }

    double number(const std::string& name, double fallback) { return number(name).value_or(fallback); }

    int wholeNumber(const std::string& name, int fallback)
    {
        const std::optional<double> value = number(name);
        if (!value)
            return fallback;
        if (*value != std::floor(*value) || std::abs(*value) > std::numeric_limits<int>::max()) {
            fail(name + " must be a whole number, not '" + *line_.value(name) + "'");
            return fallback;
        }
        return static_cast<int>(*value);
    }

    std::uint64_t seed(const std::string& name, std::uint64_t fallback)
    {
        const auto text = line_.value(name);
        if (!text || failed())
            return fallback;
        const std::optional<std::uint64_t> value = seedValue(*text);
        if (!value) {
            fail(name + " must be a whole number from 0 to 18446744073709551615, not '" + *text + "'");
            return fallback;
        }
        return *value;
    }

    void fail(const std::string& problem)
    {
        if (!failed())
            problem_ = problem;
    }
    bool failed() const { return !problem_.empty(); }
    const std::string& problem() const { return problem_; }

private:
    const CommandLine& line_;
    std::string problem_;
};

std::optional<std::vector<double>> readParams(const CommandLine& line, OptionReader& reader)
{
    const auto params = line.value("--params");
    if (!params) {
        reader.fail("--params V1,V2,...,V20 is required");
        return std::nullopt;
    }
    const std::vector<std::string> texts = splitAtCommas(*params);
    if (texts.size() != static_cast<size_t>(modelParamCount)) {
        reader.fail("--params needs " + numberText(modelParamCount) + " values, not " +
                    numberText(texts.size()));
        return std::nullopt;
    }
    std::vector<double> values(1, 0.0);
    for (size_t i = 0; i < texts.size(); ++i) {
        const Converted<double> value = textToDouble(texts[i]);
        if (!value) {
            reader.fail("parameter " + numberText(i + 1) + " '" + texts[i] + "' is not a number");
            return std::nullopt;
        }
        values.push_back(value.value());
    }
    return values;
}

// The first option of the group that was given, if any.
std::optional<std::string> givenOption(const CommandLine& line, const std::set<std::string>& group)
{
    for (const std::string& name : group)
        if (line.value(name))
            return name;
    return std::nullopt;
}

FrequencySampleRequest readFrequencyRequest(OptionReader& reader)
{
    FrequencySampleRequest r;
    r.fishCount = reader.wholeNumber("--freq-count", r.fishCount);
    r.cellWidth = reader.number("--cell-width", r.cellWidth);
    return r;
}

ReleaseSizes readReleaseSizes(const CommandLine& line, OptionReader& reader)
{
    const std::string kind = line.value("--release-sizes").value_or("steady");
    if (kind != "steady" && kind != "uniform")
        reader.fail("--release-sizes must be steady or uniform, not '" + kind + "'");
    return kind == "uniform" ? ReleaseSizes::Uniform : ReleaseSizes::SteadyState;
}

IncrementSampleRequest readIncrementRequest(const CommandLine& line, OptionReader& reader)
{
    IncrementSampleRequest r;
    r.recordCount = reader.wholeNumber("--inc-count", r.recordCount);
    r.releaseDayMin = reader.wholeNumber("--release-day-min", r.releaseDayMin);
    r.releaseDayMax = reader.wholeNumber("--release-day-max", r.releaseDayMax);
    r.libertyMinDays = reader.wholeNumber("--liberty-min", r.libertyMinDays);
    r.libertyMaxDays = reader.wholeNumber("--liberty-max", r.libertyMaxDays);
    r.releaseSizes = readReleaseSizes(line, reader);
    r.releaseSizeMin = reader.number("--release-size-min", r.releaseSizeMin);
    r.releaseSizeMax = reader.number("--release-size-max");
    r.ageMin = reader.number("--age-min");
    r.ageMax = reader.number("--age-max");
    return r;
}

// Options that belong to a file or a kind of record that was not asked for.
void checkOptionGroups(const CommandLine& line, const std::vector<double>& params, OptionReader& reader)
{
    const bool frequencies = line.value("--freq").has_value();
    const bool increments = line.value("--inc").has_value();
    if (!frequencies && !increments)
        reader.fail("give a frequency file (--freq), an increment file (--inc) or both");
    if (const auto name = givenOption(line, frequencyOptions); name && !frequencies)
        reader.fail(*name + " needs --freq");
    if (const auto name = givenOption(line, tagOptions); name && !increments)
        reader.fail(*name + " needs --inc");
    if (const auto name = givenOption(line, ageOptions); name && !increments)
        reader.fail(*name + " needs --inc");
    if (line.value("--inc-count") && !increments)
        reader.fail("--inc-count needs --inc");
    const bool sizeAtAge = params.size() > 18 && params[18] != notUsed;
    if (const auto name = givenOption(line, tagOptions); name && sizeAtAge)
        reader.fail(*name +
                    " applies to tag-recapture records, but with t0 (p18) set the increment file holds "
                    "size-at-age records");
    if (const auto name = givenOption(line, ageOptions); name && !sizeAtAge)
        reader.fail(*name + " applies to size-at-age records, which need t0 (p18) set, not -999");
}

struct SimulateOptions {
    SimulationRequest request;
    std::string frequencyFile;
    std::string incrementFile;
};

// Reads the options; on a problem writes one line to err and returns nothing.
std::optional<SimulateOptions> readOptions(const std::vector<std::string>& args, std::ostream& err)
{
    CommandLine line;
    if (!line.parse(args, allOptions())) {
        err << commandName << ": " << line.error() << "\n";
        return std::nullopt;
    }
    OptionReader reader(line);
    SimulateOptions options;
    options.request.params = readParams(line, reader).value_or(std::vector<double>{});
    checkOptionGroups(line, options.request.params, reader);
    options.request.seed = reader.seed("--seed", defaultSeed);
    options.frequencyFile = line.value("--freq").value_or("");
    options.incrementFile = line.value("--inc").value_or("");
    if (line.value("--freq"))
        options.request.frequencies = readFrequencyRequest(reader);
    if (line.value("--inc"))
        options.request.increments = readIncrementRequest(line, reader);
    if (line.value("--freq") && options.frequencyFile.empty())
        reader.fail("--freq needs a file name");
    if (line.value("--inc") && options.incrementFile.empty())
        reader.fail("--inc needs a file name");
    if (reader.failed()) {
        err << commandName << ": " << reader.problem() << "\n";
        return std::nullopt;
    }
    return options;
}

bool saveOrSay(const std::string& path, const std::string& text, std::ostream& err)
{
    if (saveTextFile(path, text))
        return true;
    err << commandName << ": could not write '" << path << "'\n";
    return false;
}

void printSummary(const SimulateOptions& options, const SimulatedData& data, std::ostream& out)
{
    out << "seed " << options.request.seed << "\n";
    if (options.request.frequencies) {
        out << "frequency_file " << options.frequencyFile << "\n";
        out << "frequency_animals " << data.fishCount << "\n";
        out << "frequency_cells " << data.cellCount << "\n";
    }
    if (options.request.increments) {
        out << "increment_file " << options.incrementFile << "\n";
        out << "increment_records " << data.recordCount << "\n";
        out << "increment_kind " << (data.sizeAtAge ? "size-at-age" : "tag-recapture") << "\n";
    }
}

} // namespace

int runSimulateCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const std::optional<SimulateOptions> options = readOptions(args, err);
    if (!options)
        return batchExit::badInput;
    BatchFiles files(commandName);
    files.writes("--freq", options->frequencyFile);
    files.writes("--inc", options->incrementFile);
    if (!files.check(err))
        return batchExit::badInput;
    const std::variant<SimulatedData, SimulationRefusal> result = simulateData(options->request);
    if (const auto* refusal = std::get_if<SimulationRefusal>(&result)) {
        err << commandName << ": " << refusal->text << "\n";
        return batchExit::badInput;
    }
    const SimulatedData& data = std::get<SimulatedData>(result);
    if (options->request.frequencies && !saveOrSay(options->frequencyFile, data.frequencyText, err))
        return batchExit::badInput;
    if (options->request.increments && !saveOrSay(options->incrementFile, data.incrementText, err))
        return batchExit::badInput;
    printSummary(*options, data, out);
    return batchExit::success;
}

} // namespace orvanta
