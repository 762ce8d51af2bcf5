// Maximum-likelihood profiles through the evaluation window: the dialogue's questions and their
// repeat rules, the calculation, interrupts and cuts, the reuse of a stored profile, and what
// every ending leaves.

#include "LikelihoodProfileFixture.h"

#include "minimize/MarquardtWindow.h"
#include "priors/PriorTools.h"
#include "uncertainty/DistributionReport.h"

#include <cmath>
#include <string>

namespace orvanta::testing {
namespace {

constexpr const char* title = "ML parameter estimate evaluation";

// -2 ln L of two independent normal parameters, a about 1 and b about 2, each with SD 1:
// at constant 0.5, -ln[L] = (a - 1)^2 / 2 + (b - 2)^2 / 2 + 5; profiling a leaves (a - 1)^2 / 2.
double twoNormals(const std::vector<double>& v)
{
    return (v[1] - 1.0) * (v[1] - 1.0) + (v[2] - 2.0) * (v[2] - 2.0) + 10.0;
}

class LikelihoodProfile : public ProfileSession {
protected:
    LikelihoodProfile()
    {
        setParameters({{1.0, 0.5, "~~", "a"}, {1.5, 0.25, "~~", "b"}});
        model.objective = twoNormals;
    }

    // b fixed: nothing is minimized.
    void fixSecond() { app.algorithm.paramSteps[2] = 0.0; }
};

TEST_F(LikelihoodProfile, AsksItsQuestionsInOrderAndEndsWithPlotReportAndReminder)
{
    scriptProfile();
    runProfile();

    const std::vector<Interaction> messages = ui.messages();
    ASSERT_EQ(messages.size(), 5u);
    EXPECT_EQ(messages[0].title, title);
    EXPECT_EQ(messages[0].buttons, Buttons::OK);
    EXPECT_EQ(messages[0].icon, Icon::Information);
    EXPECT_EQ(messages[0].text,
              "This routine will create a series of plots, and if desired, save the x-y data. \n\n"
              "Choose plot 1 to get a likelihood profile plot. \n"
              "Choose plot 2 to get a confidence distribution at ML estimates. \n"
              "Choose plot 3 to get a mode-centered confidence region plot. \n"
              "Choose plot 4 to get a mean-centered confidence region plot. \n"
              "Choose plot 5 to get a left to right ascending cumulative plot. \n"
              "Choose plot 6 to get a left to right descending cumulative plot. \n"
              "Choose plot 7 to get a mode-centered Gaussian distribution plot.");
    EXPECT_EQ(messages[1].buttons, Buttons::YesNo);
    EXPECT_EQ(messages[1].icon, Icon::Question);
    EXPECT_TRUE(
        messages[1].text.starts_with("First choose the parameter to be profiled, then the number of data "
                                     "points. You may then wisely edit"));
    EXPECT_TRUE(messages[1].text.ends_with("in your algorithm data file.\n\nDo you want to continue?"));
    EXPECT_EQ(messages[2].text,
              "Choose 'Yes' to minimize with SIMPLEX\nChoose 'No' to minimize with MARQUARDT");
    EXPECT_EQ(messages[2].buttons, Buttons::YesNo);
    EXPECT_EQ(messages[3].title, editorText::finishedTitle);
    EXPECT_EQ(messages[4].title, "A friendly reminder");
    EXPECT_EQ(messages[4].text, "Your algorithm file may have been automatically edited");
    EXPECT_EQ(messages[4].icon, Icon::Exclamation);

    const std::vector<Interaction> asked = ui.prompts();
    ASSERT_EQ(asked.size(), 3u);
    EXPECT_EQ(asked[0].title, "Enter constant");
    EXPECT_EQ(asked[1].title, title);
    EXPECT_EQ(asked[1].text, "Choose the parameter number to be profiled:\n0 < parameter # <= 2");
    EXPECT_EQ(asked[1].defaultText, "");
    EXPECT_EQ(asked[2].text, "Choose the number of x-y data points per plot:\n0 <= # points <= 1001");
    EXPECT_EQ(asked[2].defaultText, "25");

    // Points 0, 0.5, 1, 1.5, 2 of a; b re-minimized to 2 at each: -ln[L] relative to the mode.
    EXPECT_EQ(app.session.covScale, 2.0);
    const DistributionProfile& d = record();
    ASSERT_EQ(d.pointCount, 5);
    EXPECT_EQ(d.pointValues, (std::vector<double>{0, 0.0, 0.5, 1.0, 1.5, 2.0}));
    const double expected[] = {0, 0.5, 0.125, 0.0, 0.125, 0.5};
    for (int i = 1; i <= 5; ++i)
        EXPECT_NEAR(d.negLogL[static_cast<std::size_t>(i)], expected[i], 1e-6) << i;
    EXPECT_EQ(d.modeIndex, 3);
    EXPECT_EQ(d.pointStep, 0.5);
    EXPECT_EQ(plotsShown, 1);
    EXPECT_EQ(plotPointCount, 5);
    EXPECT_EQ(reportText(), writeDistributionReport(d, maximumLikelihoodHeading));
    EXPECT_EQ(ui.beepCount(), 1);
    EXPECT_EQ(app.session.reportText, reportText());

    // The profiled parameter back at its value and step; b where the last minimization left it.
    EXPECT_EQ(app.algorithm.paramValues[1], 1.0);
    EXPECT_EQ(app.algorithm.paramSteps[1], 0.5);
    EXPECT_NEAR(app.algorithm.paramValues[2], 2.0, 1e-3);
    EXPECT_FALSE(app.session.covarianceAvailable);
    EXPECT_FALSE(app.session.simplexBuilt) << "the last point's simplex has the profiled parameter fixed";
    EXPECT_EQ(app.distribution.tool, DistributionTool::MaximumLikelihood);
    EXPECT_EQ(app.distribution.parameter, 1);
    EXPECT_TRUE(app.algorithm.profileResultsValid);
    expectEnded();
}

TEST_F(LikelihoodProfile, WithNoOtherFreeParameterMakesExactlyNEvaluationsAndNoMinimization)
{
    fixSecond();
    bool menuShownWhileRunning = false;
    std::vector<std::string> statusTexts;
    duringRun = [&] {
        if (app.session.profileRunning && app.algorithm.paramSteps[1] == 0.0) {
            menuShownWhileRunning = menuShownWhileRunning || menuVisible("mnuMLInt");
            statusTexts.push_back(panel(1));
        }
    };
    scriptProfile({.points = "7"});
    runProfile();

    const std::vector<FakeModel::Call> calls = pointEvaluations();
    ASSERT_EQ(model.calls.size(), 7u);
    ASSERT_EQ(calls.size(), 7u);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(calls[static_cast<std::size_t>(i)].vector[1], -0.5 + 0.5 * i);
        EXPECT_EQ(calls[static_cast<std::size_t>(i)].vector[2], 1.5);
    }
    EXPECT_EQ(window(), nullptr) << "no Simplex window";
    EXPECT_TRUE(menuShownWhileRunning) << "the interrupt menu is the only way to stop";
    ASSERT_FALSE(statusTexts.empty());
    EXPECT_EQ(
        statusTexts.front(),
        "Calculating profile point 1 of 7, Value of parameter # 1 which is being profiled is: -5.0000E-01");
    // -ln[L] = objective / covScale with b at 1.5: (a - 1)^2 / 2 + 0.125 + 5, relative to a = 1.
    EXPECT_NEAR(record().negLogL[1], 1.125, 1e-12);
    EXPECT_EQ(record().negLogL[4], 0.0);
    expectEnded();
}

TEST_F(LikelihoodProfile, ProgressShowsTheMinimizationsAndTimeRemaining)
{
    fixSecond();
    model.clock = &clock;
    model.callDuration = 25.0;
    std::vector<std::pair<std::string, std::string>> seen;
    duringRun = [&] {
        if (app.mainWindow.statusBar(statusBar::remaining).visible)
            seen.emplace_back(remainingPanel(1), remainingPanel(2));
    };
    scriptProfile({.points = "7"});
    runProfile();
    // After point 2: 50 seconds for 2 points, 5 to go: 125 seconds.
    const std::pair<std::string, std::string> expected{"Minimizations remaining:  5",
                                                       "Estimated time remaining (m:s): 2:05"};
    EXPECT_NE(std::find(seen.begin(), seen.end(), expected), seen.end());
    EXPECT_EQ(remainingPanel(1), "");
}

TEST_F(LikelihoodProfile, PointCountAnswersAreRoundedToAnOddNumberFrom3To1001)
{
    fixSecond();
    struct Case {
        const char* typed;
        int points;
    };
    for (const Case& c : {Case{"0", 25}, Case{"2", 3}, Case{"100", 101}, Case{"1001", 1001}, Case{"4", 5}}) {
        SCOPED_TRACE(c.typed);
        app.algorithm.profileResultsValid = false; // no reuse question
        scriptProfile({.points = c.typed});
        runProfile();
        EXPECT_EQ(record().pointCount, c.points);
    }
    // Empty, negative, too many and non-numeric answers are asked again.
    app.algorithm.profileResultsValid = false;
    ui.answer(Answer::OK).answer(Answer::Yes);
    ui.type("0.5").type("1");
    for (const char* refused : {"", "-1", "1002", "many"})
        ui.type(refused);
    ui.type("3").answer(Answer::Yes).answer(Answer::OK).answer(Answer::OK);
    const std::size_t promptsBefore = ui.prompts().size();
    runProfile();
    EXPECT_EQ(ui.prompts().size() - promptsBefore, 7u);
    EXPECT_EQ(record().pointCount, 3);
}

TEST_F(LikelihoodProfile, ParameterAnswersOutsideTheParametersAreAskedAgainAndEmptyEnds)
{
    ui.answer(Answer::OK).answer(Answer::Yes).type("0.5");
    for (const char* refused : {"x", "0", "3", "-1"})
        ui.type(refused);
    ui.type(""); // ends the run
    runProfile();
    EXPECT_EQ(ui.prompts().size(), 6u);
    EXPECT_TRUE(model.calls.empty());
    EXPECT_EQ(report(), nullptr);
    EXPECT_EQ(plotsShown, 0);
    EXPECT_EQ(ui.messages().size(), 2u) << "no reminder: the editor was not opened";
    expectEnded();
}

enum class EarlyEnd {
    NoToContinue,
    EmptyParameter,
    QuitAtCovarianceGrid,
    ZeroStepAfterEditor,
    MarquardtCancelled
};

class EarlyEnding : public LikelihoodProfile, public ::testing::WithParamInterface<EarlyEnd> {};

TEST_P(EarlyEnding, PerformsTheEndingAndLeavesTheStoredProfile)
{
    const auto upToMinimizer = [this](Answer minimizer) {
        ui.answer(Answer::OK).answer(Answer::Yes).type("0.5").type("1").type("5").answer(minimizer);
    };
    bool reminder = false;
    switch (GetParam()) {
    case EarlyEnd::NoToContinue:
        ui.answer(Answer::OK).answer(Answer::No);
        break;
    case EarlyEnd::EmptyParameter:
        ui.answer(Answer::OK).answer(Answer::Yes).type("0.5").type("");
        break;
    case EarlyEnd::QuitAtCovarianceGrid:
        app.session.covarianceAvailable = true;
        upToMinimizer(Answer::Yes);
        ui.type("Q");
        break;
    case EarlyEnd::ZeroStepAfterEditor:
        inEditor = [this] { app.algorithm.paramSteps[1] = 0.0; };
        upToMinimizer(Answer::Yes);
        ui.answer(Answer::OK).answer(Answer::OK).answer(Answer::OK);
        reminder = true;
        break;
    case EarlyEnd::MarquardtCancelled:
        upToMinimizer(Answer::No);
        ui.answer(Answer::OK).answer(Answer::Cancel).answer(Answer::OK);
        reminder = true;
        break;
    }
    runProfile();
    expectEnded();
    EXPECT_EQ(report(), nullptr);
    EXPECT_EQ(plotsShown, 0);
    EXPECT_TRUE(pointEvaluations().empty());
    EXPECT_EQ(app.algorithm.paramValues[1], 1.0);
    EXPECT_EQ(ui.messages().back().title == "A friendly reminder", reminder);
    EXPECT_EQ(ui.beepCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(LikelihoodProfile, EarlyEnding,
                         ::testing::Values(EarlyEnd::NoToContinue, EarlyEnd::EmptyParameter,
                                           EarlyEnd::QuitAtCovarianceGrid, EarlyEnd::ZeroStepAfterEditor,
                                           EarlyEnd::MarquardtCancelled));

TEST_F(LikelihoodProfile, AZeroStepAfterTheEditorIsRefusedWithItsMessage)
{
    inEditor = [this] { app.algorithm.paramSteps[1] = 0.0; };
    scriptProfile();
    ui.answer(Answer::OK); // one more: the refusal
    runProfile();
    const std::vector<Interaction> messages = ui.messages();
    ASSERT_GE(messages.size(), 2u);
    const Interaction& refusal = messages[messages.size() - 2];
    EXPECT_EQ(refusal.title, title);
    EXPECT_EQ(refusal.text, "The parameter chosen has a step size of zero; please try again");
    EXPECT_EQ(refusal.icon, Icon::Exclamation);
    expectEnded();
}

TEST_F(LikelihoodProfile, TheStoredProfileIsOfferedAgainWhileItIsValid)
{
    scriptProfile();
    runProfile();
    const std::string first = reportText();
    const std::size_t callsAfterFirst = model.calls.size();
    app.desktop.close("frmMaxLike");

    // No: the previous plots and report, without a calculation.
    ui.answer(Answer::OK).answer(Answer::Yes).answer(Answer::No);
    runProfile();
    const Interaction question = ui.messages().back();
    EXPECT_EQ(question.text,
              "Do you want to perform minimizations now?\n\nChoosing 'NO' will give you the previous "
              "ML plots");
    EXPECT_EQ(question.buttons, Buttons::YesNo);
    EXPECT_EQ(model.calls.size(), callsAfterFirst);
    EXPECT_EQ(plotsShown, 2);
    EXPECT_EQ(reportText(), first);
    EXPECT_EQ(app.algorithm.paramSteps[1], 0.5);
    expectEnded();

    // An early end of another run leaves the stored profile as it was: still offered.
    ui.answer(Answer::OK).answer(Answer::No);
    runProfile();
    ui.answer(Answer::OK).answer(Answer::Yes).answer(Answer::No);
    runProfile();
    EXPECT_EQ(plotsShown, 3);

    // Any rebuild of the free-parameter index (a minimization, the editor) makes it stale.
    buildFreeIndex(app.algorithm);
    ui.answer(Answer::OK).answer(Answer::No);
    runProfile();
    EXPECT_EQ(ui.messages().back().title, title) << "no reuse question";
    EXPECT_FALSE(app.algorithm.profileResultsValid) << "an early end does not make it valid again";

    // Nor is a posterior offered as a likelihood profile.
    app.algorithm.profileResultsValid = true;
    app.distribution.tool = DistributionTool::BayesianPosterior;
    ui.answer(Answer::OK).answer(Answer::No);
    runProfile();
    EXPECT_EQ(ui.messages().size(), 17u) << "two messages: no reuse question";
}

TEST_F(LikelihoodProfile, ANegativeStepGivesTheSameReportAsThePositiveOne)
{
    fixSecond();
    scriptProfile();
    runProfile();
    const std::string positive = reportText();
    const std::vector<double> values = record().pointValues;

    app.algorithm.paramSteps[1] = -0.5;
    app.algorithm.profileResultsValid = false;
    scriptProfile();
    runProfile();
    EXPECT_EQ(record().pointValues, values) << "increasing";
    EXPECT_EQ(record().pointStep, 0.5);
    EXPECT_EQ(reportText(), positive);
    EXPECT_EQ(app.algorithm.paramSteps[1], -0.5);
}

TEST_F(LikelihoodProfile, AnInterruptFromTheMenuCutsTheProfileTwoPointsBack)
{
    fixSecond();
    struct Case {
        int interruptedAt; // of 9 points, the mode at 5
        int kept;          // points after the cut; 0 below 3
        bool output;       // only when the mode is among them
    };
    for (const Case& c :
         {Case{2, 0, false}, Case{4, 0, false}, Case{6, 4, false}, Case{8, 6, true}, Case{9, 7, true}}) {
        SCOPED_TRACE(c.interruptedAt);
        plotsShown = 0;
        app.desktop.close("frmMaxLike");
        app.algorithm.profileResultsValid = false; // no reuse question
        model.calls.clear();
        const int beeps = ui.beepCount();
        model.duringCall = [this, c] {
            if (static_cast<int>(model.calls.size()) == c.interruptedAt)
                app.menuCommand("mnuInterruptML");
        };
        scriptUpToEditor({.points = "9"});
        ui.answer(Answer::Yes); // "Interrupt received.  Quit calculations?"
        ui.answer(Answer::OK);  // the reminder
        runProfile();
        EXPECT_EQ(model.calls.size(), static_cast<std::size_t>(c.interruptedAt)) << "no point after the cut";
        EXPECT_EQ(record().pointCount, c.kept);
        EXPECT_EQ(plotsShown, c.output ? 1 : 0);
        EXPECT_EQ(report() != nullptr, c.output);
        EXPECT_EQ(ui.beepCount() - beeps, c.kept >= 3 ? 1 : 0);
        if (c.output)
            EXPECT_EQ(plotPointCount, c.kept);
        const std::vector<Interaction> messages = ui.messages();
        const Interaction& question = messages[messages.size() - 2];
        EXPECT_EQ(question.title, "Maximum-likelihood calculations");
        EXPECT_EQ(question.text, "Interrupt received.  Quit calculations?");
        EXPECT_EQ(question.buttons, Buttons::YesNo);
        EXPECT_FALSE(app.session.profileInterrupt);
        expectEnded();
    }
}

TEST_F(LikelihoodProfile, AnsweringNoToTheInterruptGoesOn)
{
    fixSecond();
    model.duringCall = [this] {
        if (model.calls.size() == 2)
            app.menuCommand("mnuInterruptML");
    };
    scriptUpToEditor();
    ui.answer(Answer::No).answer(Answer::OK);
    runProfile();
    EXPECT_EQ(record().pointCount, 5);
    EXPECT_NE(report(), nullptr);
}

TEST_F(LikelihoodProfile, QuittingTheMLProcedureInsideASimplexRunCutsTheProfileAtThatPoint)
{
    duringRun = [this] {
        if (app.minimization.simplex.profilePoint == 6 && app.session.profileRunning)
            app.minimization.interruptRequested = true;
    };
    scriptUpToEditor({.points = "7"});
    ui.answer(Answer::Yes); // "Interrupt received. Do you want to quit the ML procedure?"
    ui.answer(Answer::OK);  // the reminder
    runProfile();
    const std::vector<Interaction> messages = ui.messages();
    EXPECT_EQ(messages[messages.size() - 2].text,
              "Interrupt received. Do you want to quit the ML procedure?");
    EXPECT_EQ(messages[messages.size() - 2].title, "Simplex interrupt");
    EXPECT_EQ(record().pointCount, 4) << "cut at point 6 keeps points 1 to 4, the mode among them";
    EXPECT_EQ(plotPointCount, 4);
    EXPECT_NE(report(), nullptr);
    EXPECT_EQ(app.algorithm.paramValues[1], 1.0);
    expectEnded();
}

TEST_F(LikelihoodProfile, ContinuingWithTheNextPointEndsOnlyThatMinimization)
{
    int interrupts = 0;
    duringRun = [this, &interrupts] {
        if (app.minimization.simplex.profilePoint == 2 && app.session.profileRunning &&
            !app.minimization.simplex.profileSkipRequested && interrupts == 0) {
            app.minimization.interruptRequested = true;
            ++interrupts;
        }
    };
    scriptUpToEditor();
    ui.answer(Answer::No).answer(Answer::Yes); // not the whole procedure; go on with the next point
    ui.answer(Answer::OK);
    runProfile();
    EXPECT_EQ(record().pointCount, 5);
    EXPECT_NE(report(), nullptr);
}

TEST_F(LikelihoodProfile, QuittingInsideAMarquardtRunCutsTheProfileToo)
{
    duringRun = [this] {
        if (app.minimization.simplex.profilePoint == 4 && app.session.profileRunning)
            app.minimization.marquardtInterrupt = true;
    };
    scriptUpToEditor({.points = "5", .simplex = false});
    // Marquardt's two questions at point 1 only: numerical derivatives, none shown.
    ui.answer(Answer::No).answer(Answer::OK).answer(Answer::No);
    ui.answer(Answer::Yes); // quit the ML procedure
    ui.answer(Answer::OK);  // the reminder
    runProfile();
    int derivativeQuestions = 0;
    for (const Interaction& m : ui.messages())
        derivativeQuestions += m.buttons == Buttons::YesNoCancel ? 1 : 0;
    EXPECT_EQ(derivativeQuestions, 1);
    EXPECT_EQ(record().pointCount, 0) << "cut at point 4 leaves 2 points: no output";
    EXPECT_EQ(report(), nullptr);
    expectEnded();
}

TEST_F(LikelihoodProfile, MarquardtReMinimizesEveryPoint)
{
    scriptUpToEditor({.simplex = false});
    ui.answer(Answer::No).answer(Answer::OK).answer(Answer::No);
    ui.answer(Answer::OK);
    runProfile();
    const double expected[] = {0, 0.5, 0.125, 0.0, 0.125, 0.5};
    for (int i = 1; i <= 5; ++i)
        EXPECT_NEAR(record().negLogL[static_cast<std::size_t>(i)], expected[i], 1e-6) << i;
    EXPECT_NE(app.desktop.find<MarquardtWindow>(MarquardtWindow::windowName), nullptr);
}

TEST_F(LikelihoodProfile, QuittingTheProgramStopsAtOnceAndSavesTheParameterAsItWas)
{
    double savedValue = 0.0;
    double savedStep = 0.0;
    app.hooks.saveAlgorithmFile = [&] {
        savedValue = app.algorithm.paramValues[1];
        savedStep = app.algorithm.paramSteps[1];
    };
    std::size_t shownAtQuit = 0;
    std::size_t callsAtQuit = 0;
    duringRun = [&] {
        if (app.minimization.simplex.profilePoint != 3 || app.ended() || !app.session.profileRunning)
            return;
        ui.answer(Answer::Yes).answer(Answer::Yes); // quit, save the algorithm data
        app.mainWindowCloseRequested();
        shownAtQuit = ui.shown().size();
        callsAtQuit = model.calls.size();
    };
    scriptUpToEditor();
    runProfile();
    ASSERT_TRUE(app.ended());
    EXPECT_EQ(savedValue, 1.0) << "the profiled parameter's own value, not point 3's";
    EXPECT_EQ(savedStep, 0.5);
    EXPECT_EQ(ui.shown().size(), shownAtQuit) << "nothing shown after the quit";
    EXPECT_EQ(model.calls.size(), callsAtQuit);
    EXPECT_EQ(report(), nullptr);
}

TEST_F(LikelihoodProfile, QuittingWhileNothingIsMinimizedStopsAtTheNextYield)
{
    fixSecond();
    std::size_t shownAtQuit = 0;
    duringRun = [&] {
        if (model.calls.size() != 4 || app.ended())
            return;
        ui.answer(Answer::Yes).answer(Answer::No); // quit, do not save
        app.mainWindowCloseRequested();
        shownAtQuit = ui.shown().size();
    };
    scriptUpToEditor({.points = "9"});
    runProfile();
    ASSERT_TRUE(app.ended());
    EXPECT_EQ(model.calls.size(), 4u);
    EXPECT_EQ(ui.shown().size(), shownAtQuit);
    EXPECT_EQ(app.algorithm.paramSteps[1], 0.5);
}

TEST_F(LikelihoodProfile, ThePriorCountsOnceInEachPoint)
{
    // Constant 0.5 and a Gaussian prior with mean 1.2 and SD 0.5 on a; b fixed. Each point's
    // -ln[L] is -ln(likelihood x prior) = (a - 1)^2 + 5 + 2 (a - 1.2)^2 by hand, from MODEL's
    // 2 (a - 1)^2 + 10 and the prior term 0.5 ((a - 1.2) / 0.5)^2.
    fixSecond();
    model.objective = [](const std::vector<double>& v) { return 2.0 * (v[1] - 1.0) * (v[1] - 1.0) + 10.0; };
    installPriors(app);
    app.priors.assign(3, PriorSpec{});
    app.priors[1] = PriorSpec{"N", 1.2, 0.5, {}, {}};
    app.session.priorsActive = true;
    app.algorithm.paramSteps[1] = 0.25;
    scriptProfile();
    runProfile();
    const auto byHand = [](double a) { return (a - 1.0) * (a - 1.0) + 5.0 + 2.0 * (a - 1.2) * (a - 1.2); };
    const DistributionProfile& d = record();
    ASSERT_EQ(d.pointCount, 5);
    EXPECT_EQ(d.modeIndex, 4) << "a = 1.25 is nearest the product's maximum at 1.1333";
    for (int i = 1; i <= 5; ++i) {
        const double a = d.pointValues[static_cast<std::size_t>(i)];
        EXPECT_NEAR(d.negLogL[static_cast<std::size_t>(i)], byHand(a) - byHand(1.25), 1e-12) << a;
    }
}

TEST_F(LikelihoodProfile, PointsWithoutAFiniteObjectiveHaveNoLikelihoodAndAreCounted)
{
    fixSecond();
    model.objective = [](const std::vector<double>& v) { return v[1] < 0.3 ? nan : twoNormals(v); };
    scriptUpToEditor({.points = "7"});
    ui.answer(Answer::OK); // the count of points without a value
    ui.answer(Answer::OK); // the reminder
    runProfile();
    const std::vector<Interaction> messages = ui.messages();
    const Interaction& told = messages[messages.size() - 2];
    EXPECT_EQ(told.title, title);
    EXPECT_EQ(told.icon, Icon::Exclamation);
    EXPECT_EQ(told.text,
              "The objective function has no finite value at 2 of the 7 profile points (the first where "
              "parameter # 1 is -5.0000E-01). Their -ln[L] is taken as 1E+20: a density of 0.");
    EXPECT_GT(record().negLogL[1], 1e19);
    EXPECT_EQ(record().pdf[1], 0.0);
    EXPECT_EQ(record().pdf[2], 0.0);
    EXPECT_GT(record().pdf[4], 0.0);
}

TEST_F(LikelihoodProfile, StepsFromACovarianceGridSpanFourStandardErrors)
{
    // Grid 1 not calculated, grid 2 with SEs 0.4 and 0.2.
    CovarianceRun& run = app.covariance;
    run.covParamOf = {0, 1, 2};
    run.covPositionOf = {0, 1, 2};
    for (int g = 1; g <= 3; ++g)
        run.grids[static_cast<std::size_t>(g)].reset(2);
    run.grids[2].standardError = {0, 0.4, 0.2};
    app.session.covarianceAvailable = true;

    ui.answer(Answer::OK).answer(Answer::Yes).type("0.5").type("1").type("5").answer(Answer::Yes);
    ui.type("1");          // refused: not calculated
    ui.answer(Answer::OK); // the refusal
    ui.type("4").type("2");
    ui.answer(Answer::OK).answer(Answer::OK);
    double stepWhileEditing = 0.0;
    inEditor = [&] { stepWhileEditing = app.algorithm.paramSteps[2]; };
    runProfile();

    const std::vector<Interaction> asked = ui.prompts();
    ASSERT_EQ(asked.size(), 6u);
    EXPECT_EQ(asked[3].text,
              "Base step sizes on SD's from covariance grid 1, 2, 3, No or Quit?\nPlease enter 1, 2, 3, "
              "N, or Q");
    EXPECT_EQ(asked[3].defaultText, "N");
    const Interaction refusal = ui.messages()[3];
    EXPECT_EQ(refusal.text,
              "The step sizes cannot be based on covariance grid 1: grid 1 was not calculated (its "
              "standard errors are -1).\n\nPlease enter another grid, N or Q.");
    // 8 SE / (n - 1): 0.8 for a, 0.4 for b.
    EXPECT_DOUBLE_EQ(stepWhileEditing, 0.4);
    EXPECT_DOUBLE_EQ(app.algorithm.paramSteps[1], 0.8);
    EXPECT_DOUBLE_EQ(record().pointStep, 0.8);
    EXPECT_DOUBLE_EQ(record().pointValues[1], 1.0 - 2 * 0.8);

    // N (or n) keeps the steps.
    app.session.covarianceAvailable = true;
    app.algorithm.profileResultsValid = false;
    scriptProfile({.grid = "n"});
    runProfile();
    EXPECT_DOUBLE_EQ(record().pointStep, 0.8);
}

TEST_F(LikelihoodProfile, ThePinnedParameterKeepsItsOwnValueInsideItsFuseGroup)
{
    // b fused to a: without the pinning b would take a's value and a would never vary.
    setParameters({{1.0, 0.5, "A", "a"}, {1.0, 0.0, "A", "b"}});
    int pinnedWhileRunning = 0;
    duringRun = [&] {
        if (app.session.profileRunning && app.algorithm.paramSteps[1] == 0.0)
            pinnedWhileRunning = app.session.pinnedParam;
    };
    scriptProfile();
    runProfile();
    EXPECT_EQ(pinnedWhileRunning, 1);
    const std::vector<FakeModel::Call> calls = pointEvaluations();
    ASSERT_EQ(calls.size(), 5u);
    EXPECT_EQ(calls[0].vector[1], 0.0);
    EXPECT_EQ(calls[0].vector[2], 0.0) << "the follower takes the pinned value";
    EXPECT_EQ(calls[4].vector[1], 2.0);
}

TEST_F(LikelihoodProfile, TheCalculationRefusesSettingsOutsideTheParametersAndPointCounts)
{
    app.session.covScale = 2.0;
    for (const ProfileSettings settings :
         {ProfileSettings{0, 5}, ProfileSettings{3, 5}, ProfileSettings{1, 1}, ProfileSettings{1, 1003}}) {
        EXPECT_EQ(calculateLikelihoodProfile(app, settings), ProfileEnd::Cut);
        EXPECT_EQ(record().pointCount, 0);
    }
    EXPECT_TRUE(model.calls.empty());
    EXPECT_EQ(app.algorithm.paramSteps[1], 0.5);
}

// ---- The evaluation window ----------------------------------------------------------------------

TEST_F(LikelihoodProfile, TheEvaluationWindowOpensInPlaceOfTheMainMenu)
{
    app.mainWindow.setMenuEnabled("mnuApplication", false);
    pressEvaluate();
    EvaluationWindow* w = evaluationWindow();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->caption(), "Evaluation of estimates");
    EXPECT_EQ(w->geometry().left, 3000);
    EXPECT_EQ(w->geometry().top, 1200);
    EXPECT_EQ(w->labels()[0],
              (std::pair<std::string, std::string>{"lblChoice", "For any free parameter you have "
                                                                "the choice to generate:"}));
    EXPECT_EQ(w->labels()[3].second, "Only the lowest ordinal linked parameter can be evaluated");
    EXPECT_EQ(w->buttons()[0].caption, "&Maximium likelihood (ML) confidence distributions");
    EXPECT_EQ(w->buttons()[1].caption, "&Bayesian posterior (BP) distributions");
    EXPECT_EQ(w->buttons()[2].caption, "&Cancel");
    EXPECT_EQ(app.mainMenu(), nullptr);
    EXPECT_TRUE(applicationMenuEnabled());

    w->cmdCancel_Click();
    EXPECT_EQ(evaluationWindow(), nullptr);
    EXPECT_TRUE(mainMenuShown());

    pressEvaluate();
    app.mainWindow.setMenuEnabled("mnuApplication", false);
    app.desktop.close(EvaluationWindow::windowName); // the close box
    EXPECT_TRUE(applicationMenuEnabled());
    EXPECT_EQ(app.mainMenu(), nullptr) << "Main menu is reached through the Application menu";
}

TEST_F(LikelihoodProfile, ThePosteriorButtonRunsThePosteriorToolOrSaysItIsNotAvailable)
{
    app.showMainMenu();
    pressEvaluate();
    ui.answer(Answer::OK);
    evaluationWindow()->cmdBP_Click();
    EXPECT_EQ(ui.messages().back().text,
              "The Bayesian posterior distributions are not available in this version of Orvanta.");
    EXPECT_TRUE(mainMenuShown());
    EXPECT_TRUE(applicationMenuEnabled());

    bool applicationEnabledDuringRun = true;
    app.registerCommand(EvaluationWindow::posteriorCommand,
                        [&] { applicationEnabledDuringRun = applicationMenuEnabled(); });
    pressEvaluate();
    evaluationWindow()->cmdBP_Click();
    EXPECT_FALSE(applicationEnabledDuringRun);
    EXPECT_TRUE(applicationMenuEnabled());
    EXPECT_EQ(evaluationWindow(), nullptr);
}

} // namespace
} // namespace orvanta::testing
