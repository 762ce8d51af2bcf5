#include "batch/DistributionCommands.h"

#include "algorithm/AlgorithmData.h"
#include "app/Application.h"
#include "batch/CommandLine.h"
#include "plots/SvgWriter.h"
#include "text/NumberText.h"
#include "text/TextFile.h"
#include "ui/ReportWindow.h"
#include "uncertainty/CovarianceFile.h"
#include "uncertainty/CovarianceResults.h"
#include "uncertainty/DistributionReport.h"
#include "uncertainty/LikelihoodProfile.h"

#include <cmath>
#include <memory>
#include <ostream>
#include <utility>

namespace orvanta {

std::optional<int> wholeNumber(const std::string& text, int lowest, int highest)
{
    const Converted<double> number = textToDouble(text);
    if (!number || number.value() != std::floor(number.value()) || number.value() < lowest ||
        number.value() > highest)
        return std::nullopt;
    return static_cast<int>(number.value());
}

bool readWholeNumber(const CommandLine& line, const std::string& commandName, const char* name, int lowest,
                     int highest, int& value, std::ostream& err)
{
    const auto text = line.value(name);
    if (!text)
        return true;
    const std::optional<int> number = wholeNumber(*text, lowest, highest);
    if (!number) {
        err << commandName << ": " << name << " must be a whole number from " << lowest << " to " << highest
            << ", not '" << *text << "'\n";
        return false;
    }
    value = *number;
    return true;
}

std::optional<StepsSource> readStepsSource(const CommandLine& line, const std::string& commandName,
                                           std::ostream& err)
{
    StepsSource source;
    source.file = line.value("--steps-from");
    if (source.file.has_value() != line.value("--grid").has_value()) {
        err << commandName << ": --steps-from FILE.cov and --grid G go together\n";
        return std::nullopt;
    }
    if (!readWholeNumber(line, commandName, "--grid", 1, gridCount, source.grid, err))
        return std::nullopt;
    return source;
}

bool readSourceStandardErrors(const Application& app, const StepsSource& source,
                              const std::string& commandName, std::vector<double>& standardErrors,
                              std::ostream& err)
{
    standardErrors.clear();
    if (!source.file)
        return true;
    const AlgorithmData& data = app.algorithm;
    const CovarianceFileReading reading = readCovarianceFile(*source.file, data.paramCount);
    std::string problem = reading.error;
    if (reading.ok()) {
        if (auto errors = gridStandardErrors(*reading.file, source.grid, freeParameters(data), problem)) {
            standardErrors = std::move(*errors);
            return true;
        }
    }
    err << commandName << ": " << problem << "\n";
    return false;
}

bool readAlgorithmAndParameter(const CommandLine& line, const std::string& commandName,
                               const std::string& what, std::string& algorithmFile,
                               std::string& parameterText, std::ostream& err)
{
    const auto in = line.value("--alg");
    const auto parameter = line.value("--param");
    if (!in || !parameter) {
        err << commandName << ": give the algorithm file (--alg FILE) and the parameter to " << what
            << " (--param P)\n";
        return false;
    }
    algorithmFile = *in;
    parameterText = *parameter;
    return true;
}

std::optional<int> readParameterNumber(const std::string& text, int paramCount,
                                       const std::string& commandName, std::ostream& err)
{
    const std::optional<int> number = wholeNumber(text, 1, paramCount);
    if (!number)
        err << commandName << ": --param must be a parameter number from 1 to " << paramCount << ", not '"
            << text << "'\n";
    return number;
}

bool writeReportFile(const std::string& windowName, const std::string& text, const std::string& path,
                     const std::string& commandName, std::ostream& err)
{
    std::unique_ptr<ReportWindow> window = makeReportWindow(windowName);
    window->setText(text);
    if (window->saveAs(path, realFileSystem()))
        return true;
    err << commandName << ": the report file '" << path << "' cannot be written\n";
    return false;
}

bool writeDistributionPlot(const DistributionProfile& profile, int parameter, DistributionSource source,
                           const std::string& path, const std::string& commandName, std::ostream& err)
{
    DistributionPlotWindow window(profile, parameter, source, [] {});
    window.cmdClear_Click();
    for (const int curve : {2, 1}) {
        window.listClicked("listVar", curve - 1);
        window.cmdPlot_Click();
    }
    if (saveFileBytes(path, writeSvg(window.picture())))
        return true;
    err << commandName << ": the picture '" << path << "' cannot be written\n";
    return false;
}

bool writeDistributionOutput(Application& app, const DistributionOutput& output, const std::string& commandName,
                             std::ostream& out, std::ostream& err)
{
    DistributionProfile& d = app.distribution.profile;
    computeDistributionStatistics(d);
    const std::string report = writeDistributionReport(d, output.heading);
    if (output.reportFile) {
        if (!writeReportFile(output.reportWindow, report, *output.reportFile, commandName, err))
            return false;
    } else {
        out << report;
    }
    return !output.pictureFile ||
           writeDistributionPlot(d, app.distribution.parameter, output.source, *output.pictureFile, commandName, err);
}

} // namespace orvanta
