#include "uncertainty/PosteriorIntegration.h"

#include "algorithm/AlgorithmData.h"
#include "algorithm/AlgorithmEditor.h"
#include "app/Application.h"
#include "minimize/ObjectiveEvaluation.h"
#include "minimize/ProgressText.h"
#include "model/ModelRoutine.h"
#include "plots/BivariatePlotWindow.h"
#include "plots/DistributionPlotWindow.h"
#include "text/NumberText.h"
#include "ui/Clock.h"
#include "ui/ReportWindow.h"
#include "ui/UserInterface.h"
#include "uncertainty/CovarianceCalculator.h"
#include "uncertainty/CovarianceFile.h"
#include "uncertainty/DistributionReport.h"
#include "uncertainty/DistributionRun.h"
#include "uncertainty/EvaluationWindow.h"
#include "uncertainty/GridFile.h"
#include "uncertainty/LikelihoodProfile.h"

#include <cmath>
#include <cstddef>
#include <cstdio>
#include <new>
#include <optional>
#include <stdexcept>
#include <utility>

namespace orvanta {

namespace {

constexpr double noPointYet = 1e100; // the best -ln[L] before the first point
constexpr int largestPointCount = 1001;
// The largest exponent a term may have before the reference moves: exp(700) is about 1e304,
// so that even a sum of 32767 such terms stays finite.
constexpr double largestExponent = 700.0;
constexpr const char* interruptTitle = "Bayesian calculations";
constexpr const char* setupTitle = "Problem with setup";
// The menus hidden while the integration runs, and its interrupt menu shown.
constexpr const char* hiddenMenus[] = {"mnuWindow", "mnuAbout", "mnuWisdom", "mnuDefaultNames"};
constexpr const char* interruptMenu = "mnuBayesianInt";

std::size_t at(int index)
{
    return static_cast<std::size_t>(index);
}

// ---- Texts ------------------------------------------------------------------------------------

std::string continueQuestion()
{
    return "First choose the parameter to be evaluated, then the number of grid points. "
           "You may then wisely edit the mid-range parameter value and the step size "
           "for that parameter and those (maximum = 6) over which probabilities will be integrated. "
           "For a one dimensional example, if you choose 101 grid points then grid point 1 will be "
           "the parameter value - 50 * the step size, grid point 51 will be the point parameter value, "
           "and grid point 101 will be the parameter value + 50 * the step size. "
           "Parameters with a step size of zero will not be integrated into the BP distribution. "
           "We suggest you first build a covariance matrix for parameters with non-zero step sizes "
           "and thus let the statistical machinery determine approximate values for the step sizes. "
           "Be warned, however, that this choice will automatically change the values for step sizes "
           "in your algorithm data file.\n\nDo you want to continue?";
}

std::string twoDigits(int value)
{
    char text[8];
    std::snprintf(text, sizeof text, "%02d", value);
    return text;
}

// The time of day as the status bars show it, "hh:mm:ss".
std::string clockTimeText(const Clock& clock)
{
    const LocalDateTime now = clock.now();
    return twoDigits(now.hour) + ":" + twoDigits(now.minute) + ":" + twoDigits(now.second);
}

std::string centreProblemText(const Application& app, const std::vector<double>& values)
{
    std::string text = "The objective function has no finite value at the starting parameter values (";
    const AlgorithmData& data = app.algorithm;
    for (int p = 1; p <= data.paramCount && at(p) < values.size(); ++p)
        text += (p > 1 ? ", " : "") + std::string("#") + numberText(p) + " = " +
                formatNumber(values[at(p)], "0.0000E+00");
    return text + "): " + objectiveFailureText(app) + ". The integration cannot start.";
}

// ---- Status bars ------------------------------------------------------------------------------

void setMessagePanel(Application& app, std::string text)
{
    app.mainWindow.setPanel(statusBar::messages, 1, std::move(text));
}

void clearBar(Application& app, int bar)
{
    const int panels = static_cast<int>(app.mainWindow.statusBar(bar).panels.size());
    for (int panel = 1; panel <= panels; ++panel)
        app.mainWindow.clearPanel(bar, panel);
}

// The three progress bars and the menus of a running integration, or the ordinary ones.
void showRunningBars(Application& app, bool running, bool grid)
{
    for (const int bar : {statusBar::bayesProgress, statusBar::bayesGrid, statusBar::remaining})
        clearBar(app, bar);
    app.mainWindow.setStatusBarVisible(statusBar::bayesProgress, running);
    app.mainWindow.setStatusBarVisible(statusBar::remaining, running);
    app.mainWindow.setStatusBarVisible(statusBar::bayesGrid, running && grid);
    app.mainWindow.setMenuVisible(interruptMenu, running);
    for (const char* menu : hiddenMenus)
        app.mainWindow.setMenuVisible(menu, !running);
}

// ---- The calculation --------------------------------------------------------------------------

// How a loop level ends.
enum class LevelEnd { Done, Quit, ProgramEnded };

class PosteriorCalculation {
public:
    PosteriorCalculation(Application& app, const PosteriorSettings& settings)
        : app_(app), settings_(settings), d_(app.distribution.profile), joint_(app.distribution.bivariate)
    {
    }

    PosteriorOutcome run()
    {
        ParameterHold hold(app_, settings_.parameter, app_.session.bayesRunning);
        buildFuseGroups(app_.algorithm);
        buildFreeIndex(app_.algorithm);
        gridParams_ = freeParameters(app_.algorithm);
        outcome_.gridParameterCount = static_cast<int>(gridParams_.size());
        const int k = outcome_.gridParameterCount;
        if (k > largestGridParameterCount)
            return ended(PosteriorEnd::TooManyParameters);
        if (k >= 1 && settings_.gridPointCount < 3)
            return ended(PosteriorEnd::NoGridPoints);
        if (posteriorCallCount(settings_.pointCount, settings_.gridPointCount, k) > largestPosteriorCalls)
            return ended(PosteriorEnd::TooManyCalls);
        if (k >= 1 && !centreIsFinite())
            return ended(PosteriorEnd::CentreNotFinite);
        if (k == 1 && !allocateJoint())
            return ended(PosteriorEnd::AllocationFailed);
        if (k != 1)
            joint_ = BivariateDensity{}; // a stored posterior offers no joint density of another run
        setUp(k);
        const LevelEnd end = profileLoop(hold);
        if (end == LevelEnd::ProgramEnded)
            return ended(PosteriorEnd::ProgramEnded);
        finish(hold, k);
        return ended(n_ == settings_.pointCount ? PosteriorEnd::Complete : PosteriorEnd::Cut);
    }

private:
    PosteriorOutcome ended(PosteriorEnd end)
    {
        outcome_.end = end;
        return outcome_;
    }

    bool centreIsFinite()
    {
        std::vector<double> vector = app_.algorithm.paramValues;
        const std::vector<double> values = vector;
        const double objective = evaluateObjective(app_, vector, callCode::firstEvaluation);
        const double y = objective / app_.session.covScale;
        if (isFiniteObjective(objective) && std::isfinite(y)) {
            centre_ = y;
            reference_ = y;
            return true;
        }
        outcome_.centreProblem = centreProblemText(app_, values);
        return false;
    }

    bool allocateJoint()
    {
        try {
            joint_.allocate(settings_.parameter, gridParams_.front(), settings_.pointCount,
                            settings_.gridPointCount);
            return true;
        } catch (const std::bad_alloc&) {
        } catch (const std::length_error&) {
        }
        joint_ = BivariateDensity{};
        return false;
    }

    void setUp(int k)
    {
        StoredDistribution& stored = app_.distribution;
        stored.tool = DistributionTool::BayesianPosterior;
        stored.parameter = settings_.parameter;
        n_ = settings_.pointCount;
        d_.reset(n_);
        totalCalls_ = static_cast<long long>(posteriorCallCount(n_, settings_.gridPointCount, k));
        showRunningBars(app_, true, k >= 1);
        start_ = app_.clock().seconds();
    }

    // The profile points; the cut sets n_.
    LevelEnd profileLoop(const ParameterHold& hold)
    {
        const int p = settings_.parameter;
        const int mid = (settings_.pointCount - 1) / 2 + 1;
        double best = noPointYet;
        for (int i = 1; i <= n_; ++i) {
            const double value = hold.value() - (mid - i) * hold.step();
            app_.algorithm.paramValues[at(p)] = value;
            d_.pointValues[at(i)] = value;
            LevelEnd end = LevelEnd::Done;
            if (gridParams_.empty())
                end = singlePoint(i, value);
            else
                end = gridPoint(i, value);
            if (end == LevelEnd::Done)
                end = interruptAnswered();
            if (end == LevelEnd::ProgramEnded)
                return end;
            if (end == LevelEnd::Quit) {
                n_ = i - 2;
                break;
            }
            if (d_.negLogL[at(i)] < best) {
                best = d_.negLogL[at(i)];
                d_.modeIndex = i;
                d_.modeValue = value;
            }
        }
        return LevelEnd::Done;
    }

    // No grid parameter: the point's own -ln[L], as a profile without minimizations has it.
    LevelEnd singlePoint(int i, double value)
    {
        setMessagePanel(app_, profileStatusText({i, n_, settings_.parameter, value}, 1, "0.0000E+00"));
        if (!app_.yieldToInterface())
            return LevelEnd::ProgramEnded;
        std::vector<double> vector = app_.algorithm.paramValues;
        const double y = evaluate(vector);
        d_.negLogL[at(i)] = std::isfinite(y) ? y : noLikelihood;
        return showProgress() ? LevelEnd::Done : LevelEnd::ProgramEnded;
    }

    // The point's grid, summed; its -ln[L] on the starting point's scale.
    LevelEnd gridPoint(int i, double value)
    {
        setMessagePanel(app_, "Value of parameter being profiled: " + formatNumber(value, "0.0000E+00") +
                                  " (point " + formatNumber(i, "##0") + " of " +
                                  formatNumber(settings_.pointCount, "##0") + ")");
        if (i == 1) {
            app_.mainWindow.setPanel(statusBar::bayesProgress, 1,
                                     numberText(static_cast<double>(totalCalls_)) +
                                         " function calls required");
            app_.mainWindow.setPanel(statusBar::bayesProgress, 2,
                                     "Started at " + clockTimeText(app_.clock()));
            app_.mainWindow.setPanel(statusBar::bayesProgress, 3,
                                     "Integrating probabilities for profile parameter #" +
                                         numberText(settings_.parameter));
        }
        sum_ = 0.0;
        profileIndex_ = i;
        trialValues_ = app_.algorithm.paramValues;
        const LevelEnd end = gridLevel(1);
        if (end != LevelEnd::Done)
            return end;
        d_.negLogL[at(i)] = sum_ != 0.0 ? -std::log(sum_) + (reference_ - centre_) : noLikelihood;
        return LevelEnd::Done;
    }

    // Grid parameter l (1..k) through its M values, the levels below it inside.
    LevelEnd gridLevel(int level)
    {
        const int k = static_cast<int>(gridParams_.size());
        const int m = settings_.gridPointCount;
        const int mid = (m - 1) / 2 + 1;
        const int q = gridParams_[at(level - 1)];
        const double centre = app_.algorithm.paramValues[at(q)];
        const double step = app_.algorithm.paramSteps[at(q)];
        for (int j = 1; j <= m; ++j) {
            const double value = centre - (mid - j) * step;
            trialValues_[at(q)] = value;
            app_.mainWindow.setPanel(statusBar::bayesGrid, level,
                                     "Parameter #" + formatNumber(q, "#0") + " (point " +
                                         formatNumber(j, "##0") + " of " + formatNumber(m, "##0") + ")");
            if (!app_.yieldToInterface())
                return LevelEnd::ProgramEnded;
            if (const LevelEnd answered = interruptAnswered(); answered != LevelEnd::Done)
                return answered;
            if (level < k) {
                if (const LevelEnd inner = gridLevel(level + 1); inner != LevelEnd::Done)
                    return inner;
                continue;
            }
            addGridPoint(j, value);
            if (!showProgress())
                return LevelEnd::ProgramEnded;
        }
        return LevelEnd::Done;
    }

    void addGridPoint(int j, double gridValue)
    {
        std::vector<double> vector = trialValues_;
        const double y = evaluate(vector);
        double term = 0.0;
        if (std::isfinite(y)) {
            if (-(y - reference_) > largestExponent)
                moveReference(y);
            term = std::exp(-(y - reference_));
        }
        sum_ += term;
        if (joint_.empty() || gridParams_.size() != 1)
            return;
        joint_.density(profileIndex_, j) = term;
        joint_.profileValues[at(profileIndex_)] = app_.algorithm.paramValues[at(settings_.parameter)];
        joint_.gridValues[at(j)] = gridValue;
        if (term > joint_.maxDensity) {
            joint_.maxDensity = term;
            joint_.peakProfileValue = joint_.profileValues[at(profileIndex_)];
            joint_.peakGridValue = gridValue;
        }
    }

    // A term of y would overflow: the sums so far and the joint densities are rescaled to the
    // reference y, which makes that term 1.
    void moveReference(double y)
    {
        const double factor = std::exp(y - reference_);
        sum_ *= factor;
        // Every stored density shares the reference (an empty joint density has none).
        for (double& density : joint_.densities)
            density *= factor;
        joint_.maxDensity *= factor;
        reference_ = y;
    }

    // y = (objective + prior penalty) / covScale at vector (call code 1); NaN, counted, when
    // there is no finite value.
    double evaluate(std::vector<double>& vector)
    {
        const double objective = evaluateObjective(app_, vector, callCode::firstEvaluation);
        ++outcome_.calls;
        const double y = objective / app_.session.covScale;
        if (isFiniteObjective(objective) && std::isfinite(y))
            return y;
        ++outcome_.nonFinitePoints;
        return std::nan("");
    }

    // The remaining calls and time; false once the program has ended.
    bool showProgress()
    {
        const long long remaining = totalCalls_ - outcome_.calls;
        app_.mainWindow.setPanel(statusBar::remaining, 1,
                                 "Function calls remaining: " +
                                     signedNumberText(static_cast<double>(remaining)));
        app_.mainWindow.setPanel(statusBar::remaining, 2,
                                 "Estimated time remaining (m:s): " +
                                     remainingTimeText(app_.clock().seconds() - start_,
                                                       static_cast<double>(outcome_.calls),
                                                       static_cast<double>(remaining)));
        if (settings_.onProgress) {
            const double elapsed = app_.clock().seconds() - start_;
            settings_.onProgress(outcome_.calls, totalCalls_,
                                 elapsed / static_cast<double>(outcome_.calls) *
                                     static_cast<double>(remaining));
        }
        return app_.yieldToInterface();
    }

    // The interrupt menu's request, answered: Quit when the user stops the integration.
    LevelEnd interruptAnswered()
    {
        if (!app_.session.bayesInterrupt)
            return LevelEnd::Done;
        app_.session.bayesInterrupt = false;
        const Answer answer = app_.ui().showMessage("Interrupt received.  Quit calculations?", interruptTitle,
                                                    Buttons::YesNo, Icon::Question);
        if (app_.ended())
            return LevelEnd::ProgramEnded;
        return answer == Answer::Yes ? LevelEnd::Quit : LevelEnd::Done;
    }

    void finish(const ParameterHold& hold, int k)
    {
        if (k >= 1)
            setMessagePanel(app_, "Integrations completed at " + clockTimeText(app_.clock()));
        if (n_ < 3) {
            d_.pointCount = 0;
            return;
        }
        d_.pointCount = n_;
        d_.pointStep = std::fabs(hold.step());
        if (hold.step() < 0.0)
            reverseDistributionPoints(d_);
        app_.ui().beep();
    }

    Application& app_;
    const PosteriorSettings& settings_;
    DistributionProfile& d_;
    BivariateDensity& joint_;
    PosteriorOutcome outcome_;
    std::vector<int> gridParams_;
    std::vector<double> trialValues_;
    int n_ = 0;
    int profileIndex_ = 0;
    long long totalCalls_ = 0;
    double start_ = 0.0;
    double centre_ = 0.0;    // y_C
    double reference_ = 0.0; // the y whose term is 1: y_C unless a far better point moved it
    double sum_ = 0.0;
};

// ---- The dialogue -----------------------------------------------------------------------------

enum class DialogueEnd {
    Early,         // before any posterior was made or shown: the stored record is left as it was
    RecordTouched, // a posterior was calculated (perhaps cut to nothing) or the stored one shown
    ProgramEnded,
};

// What an answer to one of the dialogue's prompts does.
enum class Step { Next, Restart, End };

class PosteriorDialogue {
public:
    explicit PosteriorDialogue(Application& app) : app_(app), ui_(app.ui()) {}

    DialogueEnd run()
    {
        ui_.showMessage(plotListText("a Bayesian posterior distribution") +
                            "\n\nIf only two variables are evaluated a bivarate pdf plot is also generated",
                        posteriorTitle, Buttons::OK, Icon::Information);
        if (ui_.showMessage(continueQuestion(), posteriorTitle, Buttons::YesNo, Icon::Question) !=
            Answer::Yes)
            return DialogueEnd::Early;
        if (storedPosteriorOffered() && !integrateAgain())
            return showStoredPosterior();
        while (true) {
            const std::optional<DialogueEnd> end = settingsAndRun();
            if (end)
                return *end;
        }
    }

    bool editorWasOpened = false;

private:
    // Steps 5 to 12 once; nothing when the dialogue starts again.
    std::optional<DialogueEnd> settingsAndRun()
    {
        const Step answered = askSettings();
        if (answered == Step::Restart)
            return std::nullopt;
        if (answered == Step::End)
            return app_.ended() ? DialogueEnd::ProgramEnded : DialogueEnd::Early;
        if (tooManyCalls()) {
            ui_.showMessage(tooManyCallsText(), "Too many function calls", Buttons::OK, Icon::Exclamation);
            return DialogueEnd::Early;
        }
        if (!stepsFromCovariances())
            return app_.ended() ? DialogueEnd::ProgramEnded : DialogueEnd::Early;
        editAlgorithmDataAndWait(app_, noEditorLocks());
        editorWasOpened = true;
        if (app_.ended())
            return DialogueEnd::ProgramEnded;
        if (app_.algorithm.paramSteps[at(settings_.parameter)] == 0.0) {
            ui_.showMessage("The parameter chosen has a step size of zero; please try again", setupTitle,
                            Buttons::OK, Icon::Exclamation);
            return DialogueEnd::Early;
        }
        const PosteriorOutcome outcome = calculatePosterior(app_, settings_);
        switch (outcome.end) {
        case PosteriorEnd::ProgramEnded:
            return DialogueEnd::ProgramEnded;
        case PosteriorEnd::AllocationFailed:
            ui_.showMessage("Bivariate array is probably too large; reduce grid size", "Error message",
                            Buttons::OK, Icon::Information);
            return std::nullopt;
        case PosteriorEnd::TooManyParameters:
            ui_.showMessage("Too many free parameters - maximum is 6", setupTitle, Buttons::OK,
                            Icon::Exclamation);
            return DialogueEnd::Early;
        case PosteriorEnd::TooManyCalls:
            ui_.showMessage(tooManyCallsText(), "Too many function calls", Buttons::OK, Icon::Exclamation);
            return DialogueEnd::Early;
        case PosteriorEnd::NoGridPoints:
            ui_.showMessage(noGridPointsText(), setupTitle, Buttons::OK, Icon::Exclamation);
            return DialogueEnd::Early;
        case PosteriorEnd::CentreNotFinite:
            ui_.showMessage(outcome.centreProblem, setupTitle, Buttons::OK, Icon::Exclamation);
            return DialogueEnd::Early;
        case PosteriorEnd::Complete:
        case PosteriorEnd::Cut:
            break;
        }
        if (outcome.nonFinitePoints > 0)
            ui_.showMessage(nonFinitePointsText(outcome.nonFinitePoints, outcome.calls), posteriorTitle,
                            Buttons::OK, Icon::Exclamation);
        if (app_.ended())
            return DialogueEnd::ProgramEnded;
        return present(outcome.gridParameterCount);
    }

    bool storedPosteriorOffered() const
    {
        return storedDistributionOffered(app_, DistributionTool::BayesianPosterior);
    }

    bool integrateAgain()
    {
        return ui_.showMessage("Do you want to perform integrations now?\n\nChoosing 'NO' will give you the "
                               "previous BP plots",
                               posteriorTitle, Buttons::YesNo, Icon::Question) == Answer::Yes;
    }

    // The stored posterior shown again; its parameter's step is 0 meanwhile.
    DialogueEnd showStoredPosterior()
    {
        const BivariateDensity& joint = app_.distribution.bivariate;
        const bool pair = !joint.empty() && joint.profileParam == app_.distribution.parameter;
        DialogueEnd end = DialogueEnd::RecordTouched;
        withStoredParameterFixed(app_, [&] { end = present(pair ? 1 : 0); });
        return end;
    }

    DialogueEnd present(int gridParameterCount)
    {
        if (distributionToShow(app_))
            presentPosterior(app_, gridParameterCount);
        return app_.ended() ? DialogueEnd::ProgramEnded : DialogueEnd::RecordTouched;
    }

    Step askSettings()
    {
        buildFuseGroups(app_.algorithm);
        buildFreeIndex(app_.algorithm);
        const std::optional<double> constant = askObjectiveConstant(app_);
        if (!constant)
            return Step::End;
        setCovScale(app_.session, 1.0 / *constant);
        if (const Step step = askParameter(); step != Step::Next)
            return step;
        if (const Step step = askProfilePoints(); step != Step::Next)
            return step;
        settings_.gridPointCount = 0;
        if (otherFreeParameters() == 0)
            return Step::Next;
        return askGridPoints();
    }

    Step askParameter()
    {
        const int count = app_.algorithm.paramCount;
        const std::string answer = ui_.askText("Choose the parameter number to be evaluated or Quit: \n0 < "
                                               "parameter # <= " +
                                                   numberText(count),
                                               posteriorTitle, "");
        if (answer.empty() || app_.ended())
            return Step::End;
        const Converted<std::int16_t> number = textToInt16(answer);
        if (!number || number.value() < 1 || number.value() > count)
            return Step::Restart;
        settings_.parameter = number.value();
        return Step::Next;
    }

    Step askProfilePoints()
    {
        while (true) {
            const std::string answer =
                ui_.askText("Choose the number of data points for profile parameter:\n0 <= # points <= 1001",
                            posteriorTitle, "25");
            if (app_.ended())
                return Step::End;
            const Converted<std::int16_t> number = textToInt16(answer);
            if (answer.empty() || !number)
                continue;
            if (number.value() < 1 || number.value() > largestPointCount)
                return Step::Restart;
            settings_.pointCount = posteriorPointCount(number.value());
            return Step::Next;
        }
    }

    Step askGridPoints()
    {
        const std::string answer =
            ui_.askText("Choose the number of data points for grid parameter:\n0 <= # points <= 1001",
                        posteriorTitle, "25");
        if (app_.ended())
            return Step::End;
        const Converted<std::int16_t> number = textToInt16(answer);
        if (!number || number.value() < 1 || number.value() > largestPointCount)
            return Step::Restart;
        settings_.gridPointCount = posteriorPointCount(number.value());
        return Step::Next;
    }

    // The free parameters other than p, as the index stands now.
    int otherFreeParameters() const
    {
        int count = 0;
        for (const int q : freeParameters(app_.algorithm))
            count += q != settings_.parameter ? 1 : 0;
        return count;
    }

    bool tooManyCalls() const
    {
        return posteriorCallCount(settings_.pointCount, settings_.gridPointCount, otherFreeParameters()) >
               largestPosteriorCalls;
    }

    // The steps of a covariance grid, when the user wants them; false when the user quits.
    bool stepsFromCovariances()
    {
        if (!app_.session.covarianceAvailable)
            return true;
        const CovarianceGridChoice choice =
            askCovarianceGrid(app_, "Base step sizes on SD's from covariance grid 1, 2, 3, No or Quit?",
                              posteriorTitle, OtherGridAnswers::KeepSteps, freeParameters(app_.algorithm));
        if (!choice.standardErrors.empty())
            setPosteriorSteps(app_.algorithm, choice.standardErrors, settings_);
        return !choice.quit;
    }

    Application& app_;
    UserInterface& ui_;
    PosteriorSettings settings_;
};

// What every ending does: the stored record marked when this run made or showed it, the flags,
// menus and status bars back, the main menu shown, and the reminder after an edit.
void endPosteriorRun(Application& app, DialogueEnd end, bool editorWasOpened)
{
    if (end == DialogueEnd::RecordTouched)
        markStoredDistribution(app, DistributionTool::BayesianPosterior);
    app.session.bayesRunning = false;
    app.session.bayesInterrupt = false;
    app.showMainMenu();
    showRunningBars(app, false, false);
    app.mainWindow.clearPanel(statusBar::messages, 1);
    if (editorWasOpened)
        remindOfEditedAlgorithmFile(app);
}

} // namespace

int posteriorPointCount(int typed)
{
    if (typed < 3)
        return 3;
    return typed % 2 == 0 ? typed + 1 : typed;
}

double posteriorCallCount(int pointCount, int gridPointCount, int gridParameterCount)
{
    return static_cast<double>(pointCount) *
           std::pow(static_cast<double>(gridPointCount), static_cast<double>(gridParameterCount));
}

void setPosteriorSteps(AlgorithmData& data, const std::vector<double>& standardErrors,
                       const PosteriorSettings& settings)
{
    const auto p = at(settings.parameter);
    for (const int q : freeParameters(data))
        if (at(q) < standardErrors.size() && at(q) < data.paramSteps.size() && settings.gridPointCount > 1)
            data.paramSteps[at(q)] = 7.0 * standardErrors[at(q)] / (settings.gridPointCount - 1);
    if (p < standardErrors.size() && p < data.paramSteps.size() && data.paramSteps[p] != 0.0)
        data.paramSteps[p] = 8.0 * standardErrors[p] / (settings.pointCount - 1);
}

std::string tooManyCallsText()
{
    return "Required number of function calls exceeds the maximum allowed of 32767.\nCorrect this by "
           "reducing "
           "the number of free parameters or the grid resolution";
}

std::string noGridPointsText()
{
    return "Parameters other than the one evaluated were freed after the number of grid points was "
           "chosen; please try again";
}

std::string nonFinitePointsText(long long count, long long calls)
{
    return "The objective function has no finite value at " + numberText(count) + " of the " +
           numberText(calls) + " points evaluated. They are taken as a density of 0.";
}

PosteriorOutcome calculatePosterior(Application& app, const PosteriorSettings& settings)
{
    const AlgorithmData& data = app.algorithm;
    const bool usable = settings.parameter >= 1 && settings.parameter <= data.paramCount &&
                        at(settings.parameter) < data.paramValues.size() &&
                        at(settings.parameter) < data.paramSteps.size() && settings.pointCount >= 3 &&
                        settings.pointCount <= largestPointCount &&
                        settings.gridPointCount <= largestPointCount;
    if (!usable) {
        app.distribution.profile.reset(0);
        PosteriorOutcome nothing;
        nothing.end = PosteriorEnd::Cut;
        return nothing;
    }
    return PosteriorCalculation(app, settings).run();
}

void presentPosterior(Application& app, int gridParameterCount)
{
    DistributionProfile& d = app.distribution.profile;
    computeDistributionStatistics(d);
    const auto programEnded = [&app] { return app.ended(); };
    openDistributionPlot(d, app.distribution.parameter, DistributionSource::Posterior, app.desktop, app.ui(),
                         programEnded);
    if (app.ended())
        return;
    const BivariateDensity& joint = app.distribution.bivariate;
    if (gridParameterCount == 1 && !joint.empty()) {
        const std::string question = "Do you want to view a bivariate plot of parameters " +
                                     numberText(joint.profileParam) + " and " + numberText(joint.gridParam) +
                                     "?";
        if (app.ui().showMessage(question, "Bivariate plot", Buttons::YesNo, Icon::Question) == Answer::Yes) {
            openBivariatePlot(joint, app.desktop, app.ui(), programEnded);
            if (app.ended())
                return;
            saveGridFile(joint, app.ui(), app.files());
            if (app.ended())
                return;
        }
    }
    app.session.reportText = writeDistributionReport(d, posteriorHeading);
    app.openReportWindow("frmBayesian").setText(app.session.reportText);
}

void runPosteriorIntegration(Application& app)
{
    app.session.bayesRunning = true;
    PosteriorDialogue dialogue(app);
    const DialogueEnd end = dialogue.run();
    if (end == DialogueEnd::ProgramEnded)
        return;
    endPosteriorRun(app, end, dialogue.editorWasOpened);
}

void installPosteriorIntegration(Application& app)
{
    app.registerCommand(EvaluationWindow::posteriorCommand, [&app] { runPosteriorIntegration(app); });
}

} // namespace orvanta
