#include "minimize/MarquardtMinimizer.h"

#include "SimplexFixture.h"
#include "minimize/MarquardtVerification.h"
#include "minimize/MarquardtWindow.h"
#include "uncertainty/MatrixRoutines.h"

#include <algorithm>
#include <cmath>

namespace orvanta {
namespace {

using testing::bowl;
using testing::FakeModel;
using testing::infinity;
using testing::nan;
using testing::SimplexSession;
using testing::TestParameter;

const char* const title = "Marquardt minimization";

class MarquardtSession : public SimplexSession {
protected:
    MarquardtSession() { installMarquardt(app); }

    void pressMarquardt() { app.mainMenuButtonClicked(menuButton::marquardt); }

    // Numerical derivatives, no derivative listing.
    void answerNumericalWithoutListing() { ui.answer(Answer::No).answer(Answer::OK).answer(Answer::No); }
    // Yes for analytical or No for numerical derivatives, then the derivative listing.
    void answerWithListing(Answer derivativeMode)
    {
        ui.answer(derivativeMode).answer(Answer::OK).answer(Answer::Yes);
    }

    MarquardtWindow* marquardtWindow() const
    {
        return app.desktop.find<MarquardtWindow>(MarquardtWindow::windowName);
    }

    // Presses the window's "&Interrupt" at the first yield where it can be pressed, once
    // acceptedFirst iterations have been accepted.
    void pressStopAtTheFirstChance(int acceptedFirst = 0)
    {
        pressed = false;
        ui.onYield = [this, acceptedFirst] {
            MarquardtWindow* window = marquardtWindow();
            if (!pressed && app.minimization.counters.iterationCount >= acceptedFirst && window &&
                window->stopButton().button.enabled) {
                window->cmdStop_Click();
                pressed = true;
            }
        };
    }

    bool pressed = false;

    // A derivative pause: the listing is in the window and its buttons wait to be pressed.
    bool pausing() const
    {
        const MarquardtWindow* window = marquardtWindow();
        return window && !app.minimization.resumeRequested && window->iterationButton().visible &&
               panel(1).empty();
    }

    // Presses one of the pause buttons at every pause, keeping the window's text.
    void pressAtEveryPause(void (MarquardtWindow::*button)())
    {
        ui.onYield = [this, button] {
            if (!pausing())
                return;
            ++pauses;
            textsDuringPauses.push_back(marquardtWindow()->text());
            (marquardtWindow()->*button)();
        };
    }

    int pauses = 0;
    std::vector<std::string> textsDuringPauses;

    // Whether the model is being asked by an axial probe or the last evaluation: an uncounted
    // call after the start.
    bool uncountedCallAfterTheStart() const
    {
        return model.calls.back().nf == 1 && app.minimization.counters.callCount > 1;
    }

    int callsWithCode(std::int32_t nf) const
    {
        return static_cast<int>(std::count_if(model.calls.begin(), model.calls.end(),
                                              [nf](const FakeModel::Call& call) { return call.nf == nf; }));
    }

    bool messageShown(const std::string& text) const
    {
        for (const auto& message : ui.messages())
            if (message.text == text)
                return true;
        return false;
    }

    const std::vector<double>& values() const { return app.algorithm.paramValues; }
    MinimizerOptions& options() { return app.algorithm.options; }
};

// ---- The questions ----------------------------------------------------------------------------

TEST_F(MarquardtSession, CancellingTheFirstQuestionEndsWithTheMainMenuBack)
{
    setParameters({{1.0, 1.0}});
    ui.answer(Answer::Cancel);
    pressMarquardt();

    const auto messages = ui.messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, derivativeModeQuestion());
    EXPECT_EQ(messages[0].title, title);
    EXPECT_EQ(messages[0].buttons, Buttons::YesNoCancel);
    EXPECT_EQ(messages[0].icon, Icon::Question);
    EXPECT_TRUE(model.calls.empty());
    EXPECT_NE(app.mainMenu(), nullptr);
    EXPECT_FALSE(app.minimization.marquardtRunning);
}

TEST(MarquardtQuestions, ReadLineByLine)
{
    const std::string mode = derivativeModeQuestion();
    EXPECT_EQ(mode.substr(0, mode.find('\n')),
              "Note: You must provide derivatives for calculating gradients and building the Hessian matrix.");
    EXPECT_NE(mode.find("\n\nDO NOT USE ANALYTICAL DERIVATIVES IN CONJUNCTION WITH BAYESIAN PRIOR DISTRIBUTIONS!\n"
                        "            THE PRIOR DISTRIBUTION FOR ALL PARAMETERS MUST BE UNIFORM-UNBOUNDED!\n\n"),
              std::string::npos);
    const std::string listing = showDerivativesQuestion();
    EXPECT_NE(listing.find("\n           or 'Continue' to skip over the derivatives output.\n"
                           "If 'No', then partial derivatives will not be displayed.\n"),
              std::string::npos);
    EXPECT_EQ(giveUpText().substr(0, 15), "Consider that:\n");
    EXPECT_NE(giveUpText().find("\n      (6) the model, or its implementation, is flawed"), std::string::npos);
}

TEST_F(MarquardtSession, AnalyticalChoiceIsConfirmedAndAsksAboutTheListing)
{
    setParameters({{1.0, 1.0}});
    ui.answer(Answer::Yes).answer(Answer::OK).answer(Answer::Yes);
    chooseMarquardtOptions(app);

    const auto messages = ui.messages();
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[1].text, "You have chosen ANALYTICAL derivatives - it's like choosing Coke");
    EXPECT_EQ(messages[1].icon, Icon::None);
    EXPECT_EQ(messages[2].text, showDerivativesQuestion());
    EXPECT_EQ(messages[2].buttons, Buttons::YesNo);
    EXPECT_EQ(app.minimization.derivativeMode, DerivativeMode::Analytical);
    EXPECT_TRUE(app.minimization.showDerivatives);
}

TEST_F(MarquardtSession, NoFreeParameterIsNothingToDo)
{
    setParameters({{1.0, 0.0}});
    answerNumericalWithoutListing();
    ui.answer(Answer::OK);
    pressMarquardt();

    const auto messages = ui.messages();
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_EQ(messages[1].text, "You have chosen NUMERICAL derivatives - it's like choosing Pepsi");
    EXPECT_EQ(messages[3].text, "All step sizes are zero");
    EXPECT_EQ(messages[3].title, "There is nothing to do!");
    EXPECT_TRUE(model.calls.empty());
}

// ---- Runs -------------------------------------------------------------------------------------

TEST_F(MarquardtSession, QuadraticReachesItsMinimumInOneAcceptedStepThenConverges)
{
    setParameters({{4.0, 1.0}, {3.0, 1.0}});
    model.objective = bowl({0.0, 1.0, -2.0});
    options().convergenceTolerance = 1e-4;
    app.session.simplexBuilt = true;
    app.session.covarianceAvailable = true;
    answerNumericalWithoutListing();
    ui.answer(Answer::OK);
    pressMarquardt();

    // Call 1 the start, 2..7 the derivative probes, 8 the first Newton step: the exact Newton
    // step shortened only by the damping 1 / (1 + 0.001).
    ASSERT_GE(model.calls.size(), 8u);
    const FakeModel::Call& firstStep = model.calls[7];
    EXPECT_EQ(firstStep.nf, 8);
    EXPECT_NEAR(firstStep.vector[1], 1.0 + 3.0 * (1.0 - 1.0 / 1.001), 1e-9);
    EXPECT_NEAR(firstStep.vector[2], -2.0 + 5.0 * (1.0 - 1.0 / 1.001), 1e-9);

    EXPECT_EQ(app.minimization.counters.iterationCount, 2);
    EXPECT_NEAR(values()[1], 1.0, 1e-6);
    EXPECT_NEAR(values()[2], -2.0, 1e-6);
    const auto messages = ui.messages();
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_EQ(messages[3].text, "Minimum found using Marquardt!");
    EXPECT_EQ(messages[3].title, "Marquardt minimum");
    // Four axial probes and the final evaluation, all uncounted.
    EXPECT_EQ(callsWithCode(1), 1 + 5);
    EXPECT_EQ(model.calls.back().nf, 1);
    EXPECT_FALSE(app.session.simplexBuilt);
    EXPECT_FALSE(app.session.covarianceAvailable);
    EXPECT_FALSE(app.minimization.marquardtRunning);
    EXPECT_EQ(app.mainMenu(), nullptr); // back when the window is closed
    ASSERT_NE(marquardtWindow(), nullptr);
    app.desktop.close(MarquardtWindow::windowName);
    EXPECT_NE(app.mainMenu(), nullptr);
}

TEST_F(MarquardtSession, TiesAreAcceptedAndMaxCallsIterationsStopTheRun)
{
    setParameters({{1.0, 1.0}});
    model.objective = bowl({0.0, 1.0});
    options().convergenceTolerance = 0.0; // never converges
    options().maxCalls = 3;
    answerNumericalWithoutListing();
    ui.answer(Answer::OK);
    pressMarquardt();

    EXPECT_EQ(app.minimization.counters.iterationCount, 3);
    const auto messages = ui.messages();
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_EQ(messages[3].text, "Maximum number of iterations reached or an interrupt was received");
    EXPECT_EQ(messages[3].title, "Marquart minimization stopped");
    EXPECT_EQ(values()[1], 1.0);
}

// A relative change cannot be measured against a last value of 0; only an unchanged value counts
// as converged there, and the axial search then decides.
TEST_F(MarquardtSession, RelativeToleranceAtAMinimumOfZeroConvergesOnAnUnchangedValue)
{
    setParameters({{1.0, 1.0}});
    model.objective = bowl({0.0, 1.0});
    options().convergenceTolerance = -1e-6;
    answerNumericalWithoutListing();
    ui.answer(Answer::OK);
    pressMarquardt();

    EXPECT_EQ(app.minimization.counters.iterationCount, 1);
    EXPECT_TRUE(messageShown("Minimum found using Marquardt!"));
    EXPECT_EQ(values()[1], 1.0);
}

TEST_F(MarquardtSession, InterruptAnsweredYesStopsAtTheNextAcceptedIteration)
{
    setParameters({{4.0, 1.0}});
    model.objective = bowl({0.0, 1.0});
    options().convergenceTolerance = 0.0;
    pressStopAtTheFirstChance();
    answerNumericalWithoutListing();
    ui.answer(Answer::Yes).answer(Answer::OK);
    pressMarquardt();

    const auto messages = ui.messages();
    ASSERT_EQ(messages.size(), 5u);
    EXPECT_EQ(messages[3].text, "Interrupt received. Do you want to quit minimizing?");
    EXPECT_EQ(messages[3].title, "Marquardt interrupt");
    EXPECT_EQ(messages[4].title, "Marquart minimization stopped");
    EXPECT_EQ(app.minimization.counters.iterationCount, 1);
    EXPECT_NEAR(values()[1], 1.0 + 3.0 * (1.0 - 1.0 / 1.001), 1e-9);
}

TEST_F(MarquardtSession, InterruptAnsweredNoGoesOnToTheVerifiedMinimum)
{
    setParameters({{4.0, 1.0}});
    model.objective = bowl({0.0, 1.0});
    options().convergenceTolerance = 1e-4;
    pressStopAtTheFirstChance();
    answerNumericalWithoutListing();
    ui.answer(Answer::No).answer(Answer::OK);
    pressMarquardt();

    EXPECT_TRUE(pressed);
    EXPECT_TRUE(messageShown("Minimum found using Marquardt!"));
    EXPECT_NEAR(values()[1], 1.0, 1e-6);
}

TEST_F(MarquardtSession, TwentyFiveRejectedTrialsVerifyTheLastPointAndGiveUp)
{
    setParameters({{4.0, 1.0}});
    const auto base = bowl({0.0, 1.0});
    // From the fifth accepted iteration on every counted call lies 1 above the bowl, so no step
    // from that point can be accepted; the uncounted axial probes see the bowl itself.
    model.objective = [this, base](const std::vector<double>& v) {
        const bool trapped = app.minimization.counters.iterationCount >= 5 && model.calls.back().nf > 1;
        return base(v) + (trapped ? 1.0 : 0.0);
    };
    options().convergenceTolerance = 0.0;
    answerNumericalWithoutListing();
    ui.answer(Answer::OK);
    pressMarquardt();

    EXPECT_EQ(app.minimization.counters.iterationCount, 5);
    // The start, six derivative computations of two calls, five accepted and 25 rejected trials.
    EXPECT_EQ(app.minimization.counters.callCount, 1 + 6 * 2 + 5 + trialLimit);
    EXPECT_EQ(callsWithCode(1), 1 + 2); // the start and the two axial probes
    const auto messages = ui.messages();
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_EQ(messages[3].title, "Marquardt quits in frustration");
    EXPECT_EQ(messages[3].text, giveUpText());
    EXPECT_EQ(marquardtWindow(), nullptr);
    EXPECT_NEAR(values()[1], 1.0, 1e-6);
}

TEST_F(MarquardtSession, ParameterWithoutEffectFailsTheDecomposition)
{
    setParameters({{4.0, 1.0}, {2.0, 1.0}});
    model.objective = bowl({0.0, 1.0}); // parameter 2 is dead
    answerNumericalWithoutListing();
    ui.answer(Answer::OK);
    pressMarquardt();

    const auto messages = ui.messages();
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_EQ(messages[3].title, decompositionFailureTitle(2));
    EXPECT_EQ(messages[3].text, decompositionFailureText(DerivativeMode::Numerical));
    EXPECT_EQ(app.minimization.counters.callCount, 1 + 6); // no trial was made
    EXPECT_EQ(marquardtWindow(), nullptr);
    EXPECT_EQ(values()[1], 4.0);
}

TEST_F(MarquardtSession, StartWithoutFiniteObjectiveIsRefused)
{
    setParameters({{4.0, 1.0, "~~", "Growth"}});
    model.objective = [](const std::vector<double>&) { return nan; };
    model.failure = "log of a negative number";
    answerNumericalWithoutListing();
    ui.answer(Answer::OK);
    pressMarquardt();

    const auto messages = ui.messages();
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_NE(messages[3].text.find("log of a negative number"), std::string::npos);
    EXPECT_NE(messages[3].text.find(parameterLine(1, 4.0, "~~", "Growth")), std::string::npos);
    EXPECT_EQ(model.calls.size(), 1u);
    EXPECT_EQ(values()[1], 4.0);
}

TEST_F(MarquardtSession, StepsIntoAnUndefinedRegionAreNeverAccepted)
{
    setParameters({{0.0, 1.0}});
    model.objective = [](const std::vector<double>& v) { return v[1] < 2.0 ? (v[1] - 3.0) * (v[1] - 3.0) : nan; };
    options().convergenceTolerance = 0.0;
    options().maxCalls = 2;
    answerNumericalWithoutListing();
    ui.answer(Answer::OK);
    pressMarquardt();

    int undefined = 0;
    for (const FakeModel::Call& call : model.calls)
        undefined += call.vector[1] >= 2.0 ? 1 : 0;
    EXPECT_GT(undefined, 0); // the full Newton step lands beyond 2
    EXPECT_EQ(app.minimization.counters.iterationCount, 2);
    EXPECT_LT(values()[1], 2.0);
    EXPECT_GT(values()[1], 0.0);
    EXPECT_EQ(ui.messages().back().title, "Marquart minimization stopped");
}

TEST_F(MarquardtSession, UndefinedDerivativeProbeEndsTheRunNamingTheParameter)
{
    setParameters({{7.0, 0.0}, {1.999, 1.0}});
    model.objective = [](const std::vector<double>& v) { return v[2] < 2.0 ? (v[2] - 3.0) * (v[2] - 3.0) : nan; };
    answerNumericalWithoutListing();
    ui.answer(Answer::OK);
    pressMarquardt();

    const auto messages = ui.messages();
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_NE(messages[3].text.find("parameter # 2"), std::string::npos);
    EXPECT_EQ(messages[3].title, title);
    EXPECT_EQ(values()[2], 1.999);
}

TEST_F(MarquardtSession, AnalyticalDerivativesComeFromTheModelAndAreListedAsSuch)
{
    setParameters({{4.0, 1.0}});
    model.objective = bowl({0.0, 1.0});
    // The gradient of (v - 1)^2 with twice its curvature, so that each Newton step goes half the
    // way to the minimum.
    model.supplyDerivatives = [this](std::vector<double>& gradient, std::vector<std::vector<double>>& curvature) {
        gradient[1] = 2.0 * (model.calls.back().vector[1] - 1.0);
        curvature[1][1] = 4.0;
    };
    options().convergenceTolerance = 1e-6;
    answerWithListing(Answer::Yes);
    ui.answer(Answer::OK);
    pressAtEveryPause(&MarquardtWindow::cmdContinue_Click);
    pressMarquardt();

    // No numerical probe: call 2 is already the first trial, half the damped Newton step away.
    ASSERT_GE(model.calls.size(), 3u);
    EXPECT_EQ(model.calls[1].nf, callCode::analyticalDerivatives);
    EXPECT_EQ(model.calls[2].nf, 2);
    EXPECT_NEAR(model.calls[2].vector[1], 4.0 - 6.0 / (4.0 * 1.001), 1e-12);
    // Asked at the start and after every accepted iteration but the converged last one.
    EXPECT_EQ(callsWithCode(callCode::analyticalDerivatives), app.minimization.counters.iterationCount);
    EXPECT_TRUE(messageShown("Minimum found using Marquardt!"));
    EXPECT_NEAR(values()[1], 1.0, 1e-3);
    ASSERT_EQ(pauses, 1);
    EXPECT_NE(textsDuringPauses[0].find("Analytical 1st derivative wrt Parameter      001)"), std::string::npos);
}

// Only the first request tells whether the model supplies derivatives at all: a zero curvature
// at a later point is the model's answer there, not a missing implementation.
TEST_F(MarquardtSession, AZeroCurvatureAfterTheFirstRequestIsTakenAsTheModelGivesIt)
{
    setParameters({{4.0, 1.0}});
    model.objective = bowl({0.0, 1.0});
    int requests = 0;
    model.supplyDerivatives = [&](std::vector<double>& gradient, std::vector<std::vector<double>>& curvature) {
        gradient[1] = 2.0 * (model.calls.back().vector[1] - 1.0);
        curvature[1][1] = ++requests == 1 ? 2.0 : 0.0;
    };
    options().convergenceTolerance = 1e-6;
    ui.answer(Answer::Yes).answer(Answer::OK).answer(Answer::No); // analytical, no listing
    ui.answer(Answer::OK); // the zero curvature cannot be decomposed
    pressMarquardt();

    EXPECT_EQ(requests, 2);
    EXPECT_EQ(app.minimization.counters.iterationCount, 1);
    EXPECT_FALSE(messageShown("Sorry, analytical derivatives seem not to have been provided"));
    EXPECT_EQ(ui.messages().back().title, decompositionFailureTitle(1));
}

TEST_F(MarquardtSession, DerivativePausesFollowThePauseButtonPressed)
{
    struct Case {
        const char* button;
        void (MarquardtWindow::*press)();
        bool pauseAtEveryIteration;
    };
    const Case cases[] = {
        {"&Next iteration", &MarquardtWindow::cmdIteration_Click, true},
        {"&Continue", &MarquardtWindow::cmdContinue_Click, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        pauses = 0;
        textsDuringPauses.clear();
        setParameters({{4.0, 1.0}, {3.0, 1.0}});
        model.objective = bowl({0.0, 1.0, -2.0});
        options().convergenceTolerance = 1e-4;
        answerWithListing(Answer::No);
        ui.answer(Answer::OK);
        pressAtEveryPause(c.press);
        pressMarquardt();

        const int iterations = app.minimization.counters.iterationCount;
        ASSERT_GE(iterations, 2);
        EXPECT_EQ(pauses, c.pauseAtEveryIteration ? iterations : 1);
        for (const std::string& text : textsDuringPauses)
            EXPECT_NE(text.find("Numerical 2nd derivative wrt Parameters 001,002)"), std::string::npos);
        EXPECT_TRUE(messageShown("Minimum found using Marquardt!"));
        EXPECT_NEAR(values()[2], -2.0, 1e-6);
        app.desktop.close(MarquardtWindow::windowName); // brings the main menu back
    }
}

TEST_F(MarquardtSession, AnOpenLogGetsARecordForEveryAcceptedIterationAndTheResult)
{
    setParameters({{4.0, 1.0}, {3.0, 1.0}});
    model.objective = bowl({0.0, 1.0, -2.0});
    options().convergenceTolerance = 1e-4;
    openLog();
    options().fileFrequency = 5; // Marquardt writes at every accepted iteration whatever it is
    answerNumericalWithoutListing();
    ui.answer(Answer::OK);
    pressMarquardt();

    const std::string log = logText();
    const int iterations = app.minimization.counters.iterationCount;
    ASSERT_GE(iterations, 2);
    int records = 0;
    for (std::size_t at = log.find("Current Min> "); at != std::string::npos; at = log.find("Current Min> ", at + 1))
        ++records;
    EXPECT_EQ(records, iterations);
    const std::string ending = "after " + std::to_string(iterations) + " iterations and " +
                               std::to_string(app.minimization.counters.callCount) + " function calls\r\n\r\n";
    ASSERT_GE(log.size(), ending.size());
    EXPECT_EQ(log.substr(log.size() - ending.size()), ending);
    EXPECT_NE(log.find("Minimum of "), std::string::npos);
}

TEST_F(MarquardtSession, LambdaBeyondItsLimitGivesUpBeforeTheTrialLimit)
{
    setParameters({{4.0, 1.0}});
    const auto base = bowl({0.0, 1.0});
    // After the start and the first derivatives (calls 1 to 3) every trial lies far above the
    // start: each is rejected and lambda grows tenfold until it passes 1E+20, which it does
    // before the trial limit when it starts from its initial value.
    model.objective = [this, base](const std::vector<double>& v) {
        return base(v) + (model.calls.back().nf > 3 ? 1000.0 : 0.0);
    };
    answerNumericalWithoutListing();
    ui.answer(Answer::OK);
    pressMarquardt();

    const int rejected = app.minimization.counters.callCount - 3;
    EXPECT_GT(rejected, 20);
    EXPECT_LT(rejected, trialLimit);
    EXPECT_EQ(callsWithCode(1), 1); // the start only: no verification
    EXPECT_EQ(ui.messages().back().title, "Marquardt quits in frustration");
    EXPECT_EQ(marquardtWindow(), nullptr);
    EXPECT_EQ(values()[1], 4.0);
}

TEST_F(MarquardtSession, FiveFailedVerificationsGiveUp)
{
    setParameters({{4.0, 1.0}});
    const auto base = bowl({0.0, 1.0});
    // Every uncounted call after the start lowers the objective by 1 from then on: each axial
    // probe beats the minimum, and the steps from the better probe are accepted as usual.
    model.objective = [this, base](const std::vector<double>& v) { return base(v) - (callsWithCode(1) - 1); };
    options().convergenceTolerance = 1e-3;
    answerNumericalWithoutListing();
    ui.answer(Answer::OK);
    pressMarquardt();

    EXPECT_EQ(callsWithCode(1), 1 + verificationLimit * 2); // the start, then two probes a time
    EXPECT_EQ(ui.messages().back().title, "Marquardt quits in frustration");
    EXPECT_EQ(marquardtWindow(), nullptr);
}

// An interrupt answered Yes takes effect at the next verification that fails: the run ends there
// without a further message. A verification after the trial limit also closes the window.
TEST_F(MarquardtSession, QuittingEndsTheRunAtAFailedVerification)
{
    using Objective = std::function<double(const std::vector<double>&)>;
    struct Case {
        const char* what;
        double start;
        Objective objective;
        int trappedFrom;        // accepted iterations after which every trial fails; 0: never
        int pressAfterAccepted; // the interrupt is pressed once this many iterations are accepted
        bool windowClosed;
    };
    // The bowl's first step changes the objective by 0.25, below the tolerance. Newton steps on
    // the quartic go two thirds of the way each, so its iterations do not converge; with lambda
    // down to 1E-06 after three of them the trial limit comes before lambda's.
    const Case cases[] = {
        {"converged iteration", 1.5, bowl({0.0, 1.0}), 0, 0, false},
        {"trial limit", 4.0, [](const std::vector<double>& v) { return std::pow(v[1] - 1.0, 4); }, 3, 3, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        setParameters({{c.start, 1.0}});
        // Every axial probe beats the minimum by 1, more than the tolerance.
        model.objective = [this, c](const std::vector<double>& v) {
            if (uncountedCallAfterTheStart())
                return c.objective(v) - 1.0;
            const bool trapped = c.trappedFrom > 0 && app.minimization.counters.iterationCount >= c.trappedFrom;
            return c.objective(v) + (trapped ? 1000.0 : 0.0);
        };
        options().convergenceTolerance = 0.5;
        pressStopAtTheFirstChance(c.pressAfterAccepted);
        const int uncountedBefore = callsWithCode(1);
        answerNumericalWithoutListing();
        ui.answer(Answer::Yes);
        pressMarquardt();
        ui.onYield = nullptr;

        EXPECT_EQ(ui.messages().back().text, "Interrupt received. Do you want to quit minimizing?");
        EXPECT_EQ(callsWithCode(1) - uncountedBefore, 1 + 2); // the start and one verification
        EXPECT_EQ(marquardtWindow() == nullptr, c.windowClosed);
        EXPECT_FALSE(app.minimization.marquardtRunning);
        app.desktop.close(MarquardtWindow::windowName);
        app.showMainMenu();
    }
}

class MarquardtProfileInterrupt : public MarquardtSession {
protected:
    MarquardtEnd runInterruptedProfilePoint()
    {
        setParameters({{4.0, 1.0}});
        model.objective = bowl({0.0, 1.0});
        options().convergenceTolerance = 0.0;
        app.session.profileRunning = true;
        app.minimization.derivativeMode = DerivativeMode::Numerical;
        pressStopAtTheFirstChance();
        buildFuseGroups(app.algorithm);
        buildFreeIndex(app.algorithm);
        return runMarquardt(app);
    }
};

TEST_F(MarquardtProfileInterrupt, QuittingTheProcedureSkipsTheRemainingPoints)
{
    ui.answer(Answer::Yes);
    EXPECT_EQ(runInterruptedProfilePoint(), MarquardtEnd::ProfileInterrupted);
    const auto messages = ui.messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Interrupt received. Do you want to quit the ML procedure?");
    EXPECT_TRUE(app.minimization.simplex.profileSkipRequested);
    EXPECT_EQ(model.calls.size(), 1u); // ended before any derivative
}

TEST_F(MarquardtProfileInterrupt, NextPointEndsOnlyThisPoint)
{
    ui.answer(Answer::No).answer(Answer::Yes);
    EXPECT_EQ(runInterruptedProfilePoint(), MarquardtEnd::ProfileInterrupted);
    const auto messages = ui.messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].text, "Do you want to continue starting with the NEXT point?");
    EXPECT_EQ(messages[1].defaultButton, DefaultButton::Second);
    EXPECT_FALSE(app.minimization.simplex.profileSkipRequested);
}

// ---- The axial verification -------------------------------------------------------------------

TEST(ProbeBeatsMinimum, FollowsTheToleranceKind)
{
    EXPECT_TRUE(probeBeatsMinimum(0.5, 1.0, 0.1));
    EXPECT_FALSE(probeBeatsMinimum(0.95, 1.0, 0.1));
    EXPECT_FALSE(probeBeatsMinimum(0.0, 1.0, 0.0)); // 0 never fails a probe
    EXPECT_TRUE(probeBeatsMinimum(0.5, 1.0, -0.1));
    EXPECT_FALSE(probeBeatsMinimum(0.95, 1.0, -0.1));
    EXPECT_TRUE(probeBeatsMinimum(-1.0, 0.0, -0.1));
    EXPECT_FALSE(probeBeatsMinimum(nan, 1.0, 0.1));
    EXPECT_FALSE(probeBeatsMinimum(-infinity, 1.0, 0.1));
}

TEST_F(MarquardtSession, VerificationMovesOnlyAlongTheLowestFailingProbe)
{
    setParameters({{0.0, 1.0}, {0.0, 1.0}});
    // Both parameters fail downhill; parameter 2's down probe is the lower.
    model.objective = [](const std::vector<double>& v) { return 10.0 + v[1] + 3.0 * v[2]; };
    options().convergenceTolerance = 0.01;
    buildFuseGroups(app.algorithm);
    buildFreeIndex(app.algorithm);
    std::vector<double> point = values();
    double f0 = 10.0;
    const MarquardtVerification result = verifyMarquardt(app, point, f0);

    EXPECT_FALSE(result.verified);
    EXPECT_EQ(result.failingParameter, -2);
    EXPECT_EQ(point[1], 0.0);
    EXPECT_DOUBLE_EQ(point[2], -0.1);
    EXPECT_DOUBLE_EQ(values()[2], -0.1);
    EXPECT_DOUBLE_EQ(f0, 9.7);
    EXPECT_EQ(panel(4), "Last failure of convergence verification caused by parameter # 2");
    EXPECT_EQ(callsWithCode(1), 4);
}

} // namespace
} // namespace orvanta
