#pragma once

// --priors FILE.pri, shared by the batch commands that evaluate the objective: the priors file is
// read as the load-priors window reads it, the priors are in force when any is not
// uniform-unbounded, covScale = 1 / C is taken from --constant C (as the prior editor's closing
// sets it from the constant the user enters), and the penalty is added to every objective as the
// program's windows add it. A command takes the option in three calls: readPriorsOption with its
// other options, applyPriorsOption once the model is initialized, printPriorsResults with its
// results.

#include "priors/PriorSpec.h"

#include <iosfwd>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace orvanta {

class Application;
class CommandLine;
struct BatchEngine;

struct PriorsOption {
    std::optional<std::string> file; // --priors FILE
    std::optional<double> constant;  // --constant C
    bool review = false;             // --review: print the review of prior likelihoods
};

// How a command uses --constant.
enum class ConstantUse {
    PriorsOnly, // only with --priors, which requires it (evaluate, fit)
    OwnUse,     // the command reads and requires it anyway (covariance)
};

// The options to accept besides the command's own: --priors and --constant take a value;
// --review is a flag of the commands that print the review.
const std::set<std::string>& priorsValueOptions();
inline constexpr const char* reviewFlag = "--review";

// Reads --priors, --review and (for PriorsOnly) --constant. Nothing, after one line on err, when
// --priors lacks its constant or --constant or --review come without --priors.
std::optional<PriorsOption> readPriorsOption(const CommandLine& line, ConstantUse use,
                                             const std::string& commandName, std::ostream& err);

// The priors of a file for a model of paramCount parameters (1..paramCount), read as the
// load-priors window reads them. Nothing, after one line on err, for a file that cannot be read,
// names another parameter count, ends before its last parameter or holds a prior without a
// finite -ln[L].
std::optional<std::vector<PriorSpec>> readPriorsForModel(const std::string& path, int paramCount,
                                                         const std::string& commandName, std::ostream& err);

// After the model's initialization: the priors of the file in force, covScale = 1 / C. False,
// after one line on err, for a file that cannot be read, names another parameter count (no
// silent reset to uniform-unbounded), ends before its last parameter or holds a prior without a
// finite -ln[L]. Without --priors nothing changes.
bool applyPriorsOption(BatchEngine& engine, const PriorsOption& option, const std::string& commandName,
                       std::ostream& err);

// With --priors: "prior_penalty VALUE" at vector with its fuse groups applied (17 significant
// digits), then with --review the review of prior likelihoods there.
void printPriorsResults(Application& app, const PriorsOption& option, const std::vector<double>& vector,
                        std::ostream& out);

// A number above 0 given to an option; nothing, after one line on err, for anything else.
std::optional<double> positiveNumberOption(const std::string& text, const std::string& what,
                                           const std::string& commandName, std::ostream& err);

} // namespace orvanta
