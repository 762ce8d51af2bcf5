#include "uncertainty/LikelihoodProfile.h"

#include "algorithm/AlgorithmData.h"
#include "algorithm/AlgorithmEditor.h"
#include "app/Application.h"
#include "minimize/MarquardtMinimizer.h"
#include "minimize/ObjectiveEvaluation.h"
#include "minimize/ProgressText.h"
#include "minimize/SimplexMinimizer.h"
#include "model/ModelRoutine.h"
#include "plots/DistributionPlotWindow.h"
#include "text/NumberText.h"
#include "ui/Clock.h"
#include "ui/ReportWindow.h"
#include "ui/UserInterface.h"
#include "uncertainty/CovarianceCalculator.h"
#include "uncertainty/DistributionReport.h"
#include "uncertainty/DistributionRun.h"

#include <cmath>
#include <cstddef>
#include <utility>

namespace orvanta {

namespace {

constexpr double noPointYet = 1e100; // the best -ln[L] before the first point
constexpr int lastTransientPanel = 4;
constexpr int largestPointCount = 1001;

std::size_t at(int index)
{
    return static_cast<std::size_t>(index);
}

// ---- Texts ------------------------------------------------------------------------------------

std::string continueQuestion()
{
    return "First choose the parameter to be profiled, then the number of data points. "
           "You may then wisely edit the mid-range of the parameter value and the step size. "
           "For example, if you choose 101 profile points then profile point 1 will be the parameter "
           "value - 50 * the step size, profile point 51 will be the parameter value, and profile "
           "point 101 will be the parameter value + 50 * the step size. "
           "This routine is works best when the value of the parameter corresponds to the minimum. "
           "We suggest you first build a covariance matrix for parameters with non-zero step sizes "
           "and thus let the statistical machinery determine approximate values for the step sizes. "
           "Be warned, however, that this choice will automatically change the values for step sizes "
           "in your algorithm data file.\n\nDo you want to continue?";
}

std::string nonFinitePointsText(int count, int n, int parameter, double firstValue)
{
    return "The objective function has no finite value at " + numberText(count) + " of the " + numberText(n) +
           " profile points (the first where parameter # " + numberText(parameter) + " is " +
           formatNumber(firstValue, "0.0000E+00") + "). Their -ln[L] is taken as 1E+20: a density of 0.";
}

// ---- Status bars ------------------------------------------------------------------------------

void setPanel(Application& app, int panel, std::string text)
{
    app.mainWindow.setPanel(statusBar::messages, panel, std::move(text));
}

void showProgressBar(Application& app, bool visible)
{
    for (int panel = 1; panel <= 2; ++panel)
        app.mainWindow.clearPanel(statusBar::remaining, panel);
    app.mainWindow.setStatusBarVisible(statusBar::remaining, visible);
}

void showRemaining(Application& app, int i, int n, double elapsed)
{
    app.mainWindow.setPanel(statusBar::remaining, 1, "Minimizations remaining: " + signedNumberText(n - i));
    app.mainWindow.setPanel(
        statusBar::remaining, 2,
        "Estimated time remaining (m:s): " +
            remainingTimeText(elapsed, static_cast<double>(i), static_cast<double>(n - i)));
}

// ---- The calculation --------------------------------------------------------------------------

// What a profile holds while it runs beside its parameter: the minimizers run in profile mode.
class ProfileHold : public ParameterHold {
public:
    ProfileHold(Application& app, int parameter)
        : ParameterHold(app, parameter, app.session.profileRunning), minimization_(app.minimization)
    {
        minimization_.simplexRunning = true;
        minimization_.marquardtRunning = true;
    }
    ~ProfileHold()
    {
        minimization_.simplexRunning = false;
        minimization_.marquardtRunning = false;
    }

private:
    MinimizationState& minimization_;
};

enum class PointMinimization { Done, QuitProfile, Cancelled, ProgramEnded };

// Re-minimizes the other free parameters at point i, starting from where the previous point
// left them.
PointMinimization minimizeAtPoint(Application& app, ProfileMinimizer minimizer, int i, int n)
{
    app.session.covarianceAvailable = false;
    app.session.optimisticCovariance = false;
    app.covariance.optimisticSEs = false;
    // The simplex of the previous point holds values at another value of the fixed parameter.
    app.session.simplexBuilt = false;
    buildFreeIndex(app.algorithm);
    SimplexState& simplex = app.minimization.simplex;
    simplex.profilePoint = i;
    simplex.profilePointCount = n;
    simplex.profileSkipRequested = false;
    if (minimizer == ProfileMinimizer::Simplex) {
        if (runSimplex(app) == SimplexEnd::ProgramEnded)
            return PointMinimization::ProgramEnded;
    } else {
        if (i == 1) {
            chooseMarquardtOptions(app);
            if (app.ended())
                return PointMinimization::ProgramEnded;
            if (app.minimization.derivativeMode == DerivativeMode::None)
                return PointMinimization::Cancelled;
        }
        if (runMarquardt(app) == MarquardtEnd::ProgramEnded)
            return PointMinimization::ProgramEnded;
    }
    return simplex.profileSkipRequested ? PointMinimization::QuitProfile : PointMinimization::Done;
}

// The main window's interrupt, answered: true when the user quits the profile.
bool quitAtInterrupt(Application& app)
{
    if (!app.session.profileInterrupt)
        return false;
    app.session.profileInterrupt = false;
    return app.ui().showMessage("Interrupt received.  Quit calculations?", "Maximum-likelihood calculations",
                                Buttons::YesNo, Icon::Question) == Answer::Yes;
}

class ProfileCalculation {
public:
    ProfileCalculation(Application& app, const ProfileSettings& settings)
        : app_(app), settings_(settings), d_(app.distribution.profile)
    {
    }

    ProfileEnd run()
    {
        ProfileHold hold(app_, settings_.parameter);
        setUp();
        const std::optional<ProfileEnd> stopped = loop(hold);
        if (stopped)
            return *stopped;
        finish(hold);
        return n_ == settings_.pointCount ? ProfileEnd::Complete : ProfileEnd::Cut;
    }

private:
    void setUp()
    {
        StoredDistribution& stored = app_.distribution;
        stored.tool = DistributionTool::MaximumLikelihood;
        stored.parameter = settings_.parameter;
        n_ = settings_.pointCount;
        d_.reset(n_);
        start_ = app_.clock().seconds();
        showProgressBar(app_, true);
        buildFreeIndex(app_.algorithm);
        minimizing_ = app_.algorithm.freeCount > 0;
        if (!minimizing_)
            app_.mainWindow.setMenuVisible("mnuMLInt", true);
    }

    // The points; a value when the calculation stops without an end of its own.
    std::optional<ProfileEnd> loop(const ProfileHold& hold)
    {
        const int p = settings_.parameter;
        const int mid = (settings_.pointCount - 1) / 2 + 1;
        double best = noPointYet;
        for (int i = 1; i <= n_; ++i) {
            const double value = hold.value() - (mid - i) * hold.step();
            app_.algorithm.paramValues[at(p)] = value;
            d_.pointValues[at(i)] = value;
            bool quit = false;
            if (minimizing_) {
                const PointMinimization done = minimizeAtPoint(app_, settings_.minimizer, i, n_);
                if (done == PointMinimization::ProgramEnded)
                    return ProfileEnd::ProgramEnded;
                if (done == PointMinimization::Cancelled) {
                    d_.reset(0);
                    return ProfileEnd::MarquardtCancelled;
                }
                quit = done == PointMinimization::QuitProfile;
            } else {
                setPanel(app_, 1, profileStatusText({i, n_, p, value}, 1, "0.0000E+00"));
                if (!app_.yieldToInterface())
                    return ProfileEnd::ProgramEnded;
            }
            d_.negLogL[at(i)] = pointNegLogL(value);
            if (app_.ended())
                return ProfileEnd::ProgramEnded;
            quit = quitAtInterrupt(app_) || quit;
            if (app_.ended())
                return ProfileEnd::ProgramEnded;
            if (quit) {
                n_ = i - 2;
                break;
            }
            if (d_.negLogL[at(i)] < best) {
                best = d_.negLogL[at(i)];
                d_.modeIndex = i;
                d_.modeValue = value;
            }
            showRemaining(app_, i, n_, app_.clock().seconds() - start_);
            if (!app_.yieldToInterface())
                return ProfileEnd::ProgramEnded;
        }
        return std::nullopt;
    }

    // -ln[L] at the parameters as the point's minimization left them.
    double pointNegLogL(double value)
    {
        std::vector<double> vector = app_.algorithm.paramValues;
        const double objective = evaluateObjective(app_, vector, callCode::firstEvaluation);
        if (isFiniteObjective(objective) && std::isfinite(objective / app_.session.covScale))
            return objective / app_.session.covScale;
        if (nonFinitePoints_++ == 0)
            firstNonFiniteValue_ = value;
        return noLikelihood;
    }

    void finish(const ProfileHold& hold)
    {
        if (nonFinitePoints_ > 0)
            app_.ui().showMessage(nonFinitePointsText(nonFinitePoints_, settings_.pointCount,
                                                      settings_.parameter, firstNonFiniteValue_),
                                  profileTitle, Buttons::OK, Icon::Exclamation);
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
    const ProfileSettings& settings_;
    DistributionProfile& d_;
    int n_ = 0;
    double start_ = 0.0;
    bool minimizing_ = false;
    int nonFinitePoints_ = 0;
    double firstNonFiniteValue_ = 0.0;
};

// ---- The dialogue -----------------------------------------------------------------------------

// How the dialogue ended.
enum class DialogueEnd {
    Early,         // before any profile was made or shown: the stored record is left as it was
    RecordTouched, // a profile was calculated (perhaps cut to nothing) or the stored one shown
    ProgramEnded,
};

class ProfileDialogue {
public:
    explicit ProfileDialogue(Application& app) : app_(app), ui_(app.ui()) {}

    DialogueEnd run()
    {
        ui_.showMessage(plotListText("a confidence distribution at ML estimates"), profileTitle, Buttons::OK,
                        Icon::Information);
        if (ui_.showMessage(continueQuestion(), profileTitle, Buttons::YesNo, Icon::Question) != Answer::Yes)
            return DialogueEnd::Early;
        if (storedProfileOffered() && !minimizeAgain())
            return showStoredProfile();
        const std::optional<double> constant = askObjectiveConstant(app_);
        if (!constant)
            return DialogueEnd::ProgramEnded;
        setCovScale(app_.session, 1.0 / *constant);
        if (!askParameter() || !askPointCount())
            return DialogueEnd::Early;
        askMinimizer();
        if (!stepsFromCovariances())
            return DialogueEnd::Early;
        editAlgorithmDataAndWait(app_, noEditorLocks());
        editorWasOpened = true;
        if (app_.ended())
            return DialogueEnd::ProgramEnded;
        if (app_.algorithm.paramSteps[at(settings_.parameter)] == 0.0) {
            ui_.showMessage("The parameter chosen has a step size of zero; please try again", profileTitle,
                            Buttons::OK, Icon::Exclamation);
            return DialogueEnd::Early;
        }
        if (calculateLikelihoodProfile(app_, settings_) == ProfileEnd::ProgramEnded)
            return DialogueEnd::ProgramEnded;
        return present();
    }

    bool editorWasOpened = false;

private:
    bool storedProfileOffered() const
    {
        return storedDistributionOffered(app_, DistributionTool::MaximumLikelihood);
    }

    bool minimizeAgain()
    {
        return ui_.showMessage("Do you want to perform minimizations now?\n\nChoosing 'NO' will give you the "
                               "previous ML plots",
                               profileTitle, Buttons::YesNo, Icon::Question) == Answer::Yes;
    }

    // The stored profile shown again; its parameter's step is 0 meanwhile.
    DialogueEnd showStoredProfile()
    {
        DialogueEnd end = DialogueEnd::RecordTouched;
        withStoredParameterFixed(app_, [&] { end = present(); });
        return end;
    }

    DialogueEnd present()
    {
        if (distributionToShow(app_))
            presentLikelihoodProfile(app_);
        return app_.ended() ? DialogueEnd::ProgramEnded : DialogueEnd::RecordTouched;
    }

    bool askParameter()
    {
        const int count = app_.algorithm.paramCount;
        const std::string prompt =
            "Choose the parameter number to be profiled:\n0 < parameter # <= " + numberText(count);
        while (true) {
            const std::string answer = ui_.askText(prompt, profileTitle, "");
            if (answer.empty() || app_.ended())
                return false;
            const Converted<std::int16_t> number = textToInt16(answer);
            if (number && number.value() >= 1 && number.value() <= count) {
                settings_.parameter = number.value();
                return true;
            }
        }
    }

    bool askPointCount()
    {
        while (true) {
            const std::string answer = ui_.askText(
                "Choose the number of x-y data points per plot:\n0 <= # points <= 1001", profileTitle, "25");
            if (app_.ended())
                return false;
            const Converted<std::int16_t> number = textToInt16(answer);
            if (number && number.value() >= 0 && number.value() <= largestPointCount) {
                settings_.pointCount = profilePointCount(number.value());
                return true;
            }
        }
    }

    void askMinimizer()
    {
        settings_.minimizer =
            ui_.showMessage("Choose 'Yes' to minimize with SIMPLEX\nChoose 'No' to minimize "
                            "with MARQUARDT",
                            profileTitle, Buttons::YesNo, Icon::Question) == Answer::Yes
                ? ProfileMinimizer::Simplex
                : ProfileMinimizer::Marquardt;
    }

    // The steps of a covariance grid, when the user wants them; false when the user quits.
    bool stepsFromCovariances()
    {
        if (!app_.session.covarianceAvailable)
            return true;
        buildFuseGroups(app_.algorithm);
        buildFreeIndex(app_.algorithm);
        const CovarianceGridChoice choice =
            askCovarianceGrid(app_,
                              "Base step sizes on SD's from covariance grid 1, 2, 3, No or Quit?\nPlease "
                              "enter 1, 2, 3, N, or Q",
                              profileTitle, OtherGridAnswers::AskAgain, freeParameters(app_.algorithm));
        if (!choice.standardErrors.empty())
            setProfileSteps(app_.algorithm, choice.standardErrors, settings_.pointCount);
        return !choice.quit;
    }

    Application& app_;
    UserInterface& ui_;
    ProfileSettings settings_;
};

// What every ending does: the stored record marked when this run made or showed it, the flags,
// menus and status bars back, the main menu shown, and the reminder after an edit.
void endProfileRun(Application& app, DialogueEnd end, bool editorWasOpened)
{
    if (end == DialogueEnd::RecordTouched)
        markStoredDistribution(app, DistributionTool::MaximumLikelihood);
    app.session.profileRunning = false;
    app.session.profileInterrupt = false;
    app.mainWindow.setMenuVisible("mnuMLInt", false);
    app.showMainMenu();
    for (int panel = 1; panel <= lastTransientPanel; ++panel)
        app.mainWindow.clearPanel(statusBar::messages, panel);
    showProgressBar(app, false);
    if (editorWasOpened)
        remindOfEditedAlgorithmFile(app);
}

} // namespace

int profilePointCount(int typed)
{
    if (typed == 0)
        return 25;
    if (typed < 3)
        return 3;
    return typed % 2 == 0 ? typed + 1 : typed;
}

std::vector<int> freeParameters(const AlgorithmData& data)
{
    std::vector<int> params;
    for (int k = 1; k <= data.freeCount && at(k) < data.freeIndex.size(); ++k)
        params.push_back(data.freeIndex[at(k)]);
    return params;
}

void setProfileSteps(AlgorithmData& data, const std::vector<double>& standardErrors, int pointCount)
{
    for (const int p : freeParameters(data))
        if (at(p) < standardErrors.size() && at(p) < data.paramSteps.size())
            data.paramSteps[at(p)] = 8.0 * standardErrors[at(p)] / (pointCount - 1);
}

ProfileEnd calculateLikelihoodProfile(Application& app, const ProfileSettings& settings)
{
    const AlgorithmData& data = app.algorithm;
    const bool usable = settings.parameter >= 1 && settings.parameter <= data.paramCount &&
                        at(settings.parameter) < data.paramValues.size() &&
                        at(settings.parameter) < data.paramSteps.size() && settings.pointCount >= 3 &&
                        settings.pointCount <= largestPointCount;
    if (!usable) {
        app.distribution.profile.reset(0);
        return ProfileEnd::Cut;
    }
    return ProfileCalculation(app, settings).run();
}

LikelihoodRatioInterval likelihoodRatioInterval(const DistributionProfile& d, double rise)
{
    LikelihoodRatioInterval interval;
    const int m = d.modeIndex;
    if (m < 1 || m > d.pointCount)
        return interval;
    const std::vector<double>& x = d.pointValues;
    const std::vector<double>& y = d.negLogL;
    const double level = y[at(m)] + rise;
    // Between an inner point below the level and the next point outwards at or above it.
    const auto crossing = [&](int inner, int outer) {
        return x[at(inner)] +
               (x[at(outer)] - x[at(inner)]) * (level - y[at(inner)]) / (y[at(outer)] - y[at(inner)]);
    };
    for (int i = m - 1; i >= 1; --i)
        if (y[at(i)] >= level) {
            interval.lower = crossing(i + 1, i);
            break;
        }
    for (int i = m + 1; i <= d.pointCount; ++i)
        if (y[at(i)] >= level) {
            interval.upper = crossing(i - 1, i);
            break;
        }
    return interval;
}

bool distributionToShow(const Application& app)
{
    const DistributionProfile& d = app.distribution.profile;
    return d.pointCount >= 3 && d.modeIndex >= 1 && d.modeIndex <= d.pointCount;
}

void presentLikelihoodProfile(Application& app)
{
    DistributionProfile& d = app.distribution.profile;
    computeDistributionStatistics(d);
    openDistributionPlot(d, app.distribution.parameter, DistributionSource::LikelihoodProfile, app.desktop,
                         app.ui(), [&app] { return app.ended(); });
    if (app.ended())
        return;
    app.session.reportText = writeDistributionReport(d, maximumLikelihoodHeading);
    app.openReportWindow("frmMaxLike").setText(app.session.reportText);
}

void runLikelihoodProfile(Application& app)
{
    app.session.profileRunning = true;
    ProfileDialogue dialogue(app);
    const DialogueEnd end = dialogue.run();
    if (end == DialogueEnd::ProgramEnded)
        return;
    endProfileRun(app, end, dialogue.editorWasOpened);
}

} // namespace orvanta
