#pragma once

// What the two tools of the evaluation window, the likelihood profile and the posterior
// integration, share around their calculations: holding the evaluated parameter fixed while they
// run, offering the stored distribution again, taking steps from a covariance grid, their first
// message and the reminder at their end.

#include "uncertainty/DistributionProfile.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace orvanta {

class Application;

// While a run holds it, parameter p is fixed (step 0) and pinned at its own value inside its fuse
// group, and running (the tool's session flag) is on. At the end its value and step are put back,
// and so they are before the quit flow offers to save the algorithm data; a simplex of the run's
// points is not continued.
class ParameterHold {
public:
    ParameterHold(Application& app, int parameter, bool& running);
    ParameterHold(const ParameterHold&) = delete;
    ParameterHold& operator=(const ParameterHold&) = delete;
    ~ParameterHold();

    double value() const { return value_; }
    double step() const { return step_; }

private:
    void restore();

    Application& app_;
    std::size_t p_;
    double value_;
    double step_;
};

// Whether the stored record holds a distribution of that tool to offer again: still valid, with
// points whose first and last values differ.
bool storedDistributionOffered(const Application& app, DistributionTool tool);

// Runs show with the stored distribution's parameter at step 0, its step put back afterwards.
void withStoredParameterFixed(Application& app, const std::function<void()>& show);

// The answer to "Base step sizes on SD's from covariance grid 1, 2, 3, No or Quit?".
struct CovarianceGridChoice {
    bool quit = false;
    // The standard errors of the chosen grid by parameter number (1..paramCount); empty when the
    // steps are kept.
    std::vector<double> standardErrors;
};

// How the question takes answers other than 1, 2, 3, N, n, Q and q.
enum class OtherGridAnswers {
    AskAgain,  // the profile: asked again, an empty answer quits
    KeepSteps, // the posterior: the steps stay as they are
};

// Asks the question (trimmed answers) until it has a usable one. A grid whose standard errors
// cannot serve every parameter in params is refused with a message naming the reason, and the
// question is asked again. Quit once the program has ended.
CovarianceGridChoice askCovarianceGrid(Application& app, const std::string& prompt, const std::string& title,
                                       OtherGridAnswers others, const std::vector<int>& params);

// The first message of both tools: the seven plots, plot 2 as the tool names it.
std::string plotListText(const std::string& plot2);

// The stored record marked as the tool's and offered again until the free parameters change.
void markStoredDistribution(Application& app, DistributionTool tool);

// "Your algorithm file may have been automatically edited" ("A friendly reminder").
void remindOfEditedAlgorithmFile(Application& app);

} // namespace orvanta
