#pragma once

// What the commands that make a distribution of one parameter (profile, posterior, prior-profile)
// share: their
// whole-number options, the covariance file their steps may come from, the parameter number, and
// the distribution plot they draw.

#include "plots/DistributionPlotWindow.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace orvanta {

class Application;
class CommandLine;
struct DistributionProfile;

// A whole number from lowest to highest written in text; nothing otherwise.
std::optional<int> wholeNumber(const std::string& text, int lowest, int highest);

// The option name's value as such a number into value (left as it is when the option is not
// given); false, after one line on err, for anything else.
bool readWholeNumber(const CommandLine& line, const std::string& commandName, const char* name, int lowest,
                     int highest, int& value, std::ostream& err);

// --steps-from FILE.cov and --grid G, which go together.
struct StepsSource {
    std::optional<std::string> file;
    int grid = 0;
};
std::optional<StepsSource> readStepsSource(const CommandLine& line, const std::string& commandName,
                                           std::ostream& err);

// The standard errors of the source's grid for the free parameters of app, by parameter number;
// empty without --steps-from. False, after one line on err naming the file, when the file or its
// grid cannot serve.
bool readSourceStandardErrors(const Application& app, const StepsSource& source,
                              const std::string& commandName, std::vector<double>& standardErrors,
                              std::ostream& err);

// --alg FILE and --param P, which every such command needs; what names the command's calculation
// ("profile", "integrate") in the line on err when one is missing.
bool readAlgorithmAndParameter(const CommandLine& line, const std::string& commandName,
                               const std::string& what, std::string& algorithmFile,
                               std::string& parameterText, std::ostream& err);

// --param P, once the parameter count is known.
std::optional<int> readParameterNumber(const std::string& text, int paramCount,
                                       const std::string& commandName, std::ostream& err);

// Saves text as the report window windowName's save writes it to path; false, after one line on
// err, when it cannot be written.
bool writeReportFile(const std::string& windowName, const std::string& text, const std::string& path,
                     const std::string& commandName, std::ostream& err);

// The record drawn as the window draws it after a Clear: curve 2, then curve 1, lines and points;
// written as SVG to path. False, after one line on err, when it cannot be written.
bool writeDistributionPlot(const DistributionProfile& profile, int parameter, DistributionSource source,
                           const std::string& path, const std::string& commandName, std::ostream& err);

// What a command writes of the distribution it calculated: the report (to reportFile as the
// window reportWindow saves it, or else to out) under its heading, and the picture of its plot.
struct DistributionOutput {
    const char* reportWindow = "";
    const char* heading = "";
    DistributionSource source = DistributionSource::LikelihoodProfile;
    std::optional<std::string> reportFile;
    std::optional<std::string> pictureFile;
};

// Computes the statistics of app's distribution and writes them as output says; false, after one
// line on err, when a file cannot be written.
bool writeDistributionOutput(Application& app, const DistributionOutput& output, const std::string& commandName,
                             std::ostream& out, std::ostream& err);

} // namespace orvanta
