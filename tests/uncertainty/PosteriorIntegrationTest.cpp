// Bayesian posterior integration through the evaluation window: the dialogue with its restarts
// and refusals, the sums over the grid against closed forms, the prior's weight, interrupts and
// cuts, the reuse of a stored posterior, the guards against overflow and non-finite objectives,
// and what every ending leaves.

#include "LikelihoodProfileFixture.h"

#include "plots/BivariatePlotWindow.h"
#include "support/QuitDuringRun.h"
#include "support/TextLines.h"
#include "text/NumberText.h"
#include "uncertainty/DistributionReport.h"
#include "uncertainty/GridFile.h"
#include "uncertainty/PosteriorIntegration.h"

#include <cmath>
#include <string>

namespace orvanta::testing {
namespace {

constexpr const char* title = "Bayesian parameter estimate evaluation";

// -2 ln L of a bivariate normal pair (a, b): means 1 and 2, SDs 1 and 0.5, correlation 0.6.
constexpr double rho = 0.6;
double correlatedPair(const std::vector<double>& v)
{
    const double za = (v[1] - 1.0) / 1.0;
    const double zb = (v[2] - 2.0) / 0.5;
    return (za * za - 2.0 * rho * za * zb + zb * zb) / (1.0 - rho * rho);
}

// The answers of a posterior run up to the editor's closing message.
struct PosteriorAnswers {
    std::string constant = "0.5";
    std::string parameter = "1";
    std::string points = "5";
    std::optional<std::string> gridPoints = "5"; // asked while another parameter is free
    std::optional<std::string> grid;             // the covariance-grid prompt
};

class PosteriorIntegration : public ProfileSession {
protected:
    PosteriorIntegration()
    {
        installPosteriorIntegration(app);
        setParameters({{1.0, 0.5, "~~", "a"}, {2.0, 0.25, "~~", "b"}});
        model.objective = correlatedPair;
        duringRun = [this] {
            if (auto* plot = app.desktop.find<BivariatePlotWindow>(bivariatePlot::windowName)) {
                ++bivariatePlotsShown;
                plot->cmdDone_Click();
            }
            if (duringPosterior)
                duringPosterior();
        };
    }

    void runPosterior()
    {
        pressEvaluate();
        ASSERT_NE(evaluationWindow(), nullptr);
        evaluationWindow()->cmdBP_Click();
    }

    void scriptUpToEditor(const PosteriorAnswers& answers = {})
    {
        ui.answer(Answer::OK);  // the list of plots
        ui.answer(Answer::Yes); // continue
        ui.type(answers.constant).type(answers.parameter).type(answers.points);
        if (answers.gridPoints)
            ui.type(*answers.gridPoints);
        if (answers.grid)
            ui.type(*answers.grid);
        ui.answer(Answer::OK); // "Algorithm data, if changed, have been updated"
    }
    // A whole run with one grid parameter: no bivariate plot, the reminder.
    void scriptPosterior(const PosteriorAnswers& answers = {}, bool bivariateQuestion = true)
    {
        scriptUpToEditor(answers);
        if (bivariateQuestion)
            ui.answer(Answer::No);
        ui.answer(Answer::OK); // "A friendly reminder"
    }

    ReportWindow* posteriorReport() const { return app.desktop.find<ReportWindow>("frmBayesian"); }
    bool barVisible(int bar) const { return app.mainWindow.statusBar(bar).visible; }

    void expectPosteriorEnded() const
    {
        EXPECT_FALSE(app.session.bayesRunning);
        EXPECT_FALSE(app.session.bayesInterrupt);
        EXPECT_EQ(app.session.pinnedParam, 0);
        EXPECT_FALSE(menuVisible("mnuBayesianInt"));
        for (const char* menu : {"mnuWindow", "mnuAbout", "mnuWisdom", "mnuDefaultNames"})
            EXPECT_TRUE(menuVisible(menu)) << menu;
        for (const int bar : {statusBar::bayesProgress, statusBar::bayesGrid, statusBar::remaining})
            EXPECT_FALSE(barVisible(bar)) << bar;
        EXPECT_TRUE(mainMenuShown());
        EXPECT_TRUE(applicationMenuEnabled());
        EXPECT_EQ(panel(1), "");
    }

    void fixSecond() { app.algorithm.paramSteps[2] = 0.0; }

    std::function<void()> duringPosterior;
    int bivariatePlotsShown = 0;
};

TEST_F(PosteriorIntegration, AsksItsQuestionsInOrderAndSumsTheGridForEveryPoint)
{
    bool shownWhileRunning = false;
    std::vector<std::string> panels;
    duringPosterior = [&] {
        if (!app.session.bayesRunning || app.algorithm.paramSteps[1] != 0.0)
            return;
        shownWhileRunning = menuVisible("mnuBayesianInt") && !menuVisible("mnuWindow") &&
                            !menuVisible("mnuAbout") && barVisible(statusBar::bayesGrid) &&
                            barVisible(statusBar::bayesProgress) && !mainMenuShown();
        panels.push_back(panel(1));
    };
    scriptPosterior({.points = "3", .gridPoints = "3"});
    runPosterior();

    const std::vector<Interaction> messages = ui.messages();
    ASSERT_EQ(messages.size(), 5u);
    EXPECT_EQ(messages[0].title, title);
    EXPECT_TRUE(messages[0].text.find("Choose plot 2 to get a Bayesian posterior distribution. \n") !=
                std::string::npos);
    EXPECT_TRUE(messages[0].text.ends_with(
        "mode-centered Gaussian distribution plot.\n\nIf only two variables are evaluated a bivarate pdf "
        "plot is also generated"));
    EXPECT_TRUE(messages[1].text.starts_with("First choose the parameter to be evaluated, then the number of "
                                             "grid points. You may then wisely edit the mid-range"));
    EXPECT_TRUE(messages[1].text.ends_with("in your algorithm data file.\n\nDo you want to continue?"));
    EXPECT_EQ(messages[3].title, "Bivariate plot");
    EXPECT_EQ(messages[3].text, "Do you want to view a bivariate plot of parameters 1 and 2?");
    EXPECT_EQ(messages[4].title, "A friendly reminder");

    const std::vector<Interaction> asked = ui.prompts();
    ASSERT_EQ(asked.size(), 4u);
    EXPECT_EQ(asked[1].text, "Choose the parameter number to be evaluated or Quit: \n0 < parameter # <= 2");
    EXPECT_EQ(asked[2].text,
              "Choose the number of data points for profile parameter:\n0 <= # points <= 1001");
    EXPECT_EQ(asked[2].defaultText, "25");
    EXPECT_EQ(asked[3].text, "Choose the number of data points for grid parameter:\n0 <= # points <= 1001");

    // The centre, then 3 x 3 grid points, b running fastest.
    const std::vector<FakeModel::Call> calls = pointEvaluations();
    ASSERT_EQ(calls.size(), 10u);
    EXPECT_EQ(calls[0].vector[1], 1.0);
    EXPECT_EQ(calls[0].vector[2], 2.0);
    const double yC = correlatedPair(calls[0].vector) / 2.0;
    for (int i = 1; i <= 3; ++i) {
        double sum = 0.0;
        for (int j = 1; j <= 3; ++j) {
            const std::vector<double>& v = calls[static_cast<std::size_t>(3 * (i - 1) + j)].vector;
            EXPECT_EQ(v[1], 1.0 + 0.5 * (i - 2));
            EXPECT_EQ(v[2], 2.0 + 0.25 * (j - 2));
            sum += std::exp(-(correlatedPair(v) / 2.0 - yC));
        }
        EXPECT_EQ(app.distribution.bivariate.profileValues[static_cast<std::size_t>(i)], 1.0 + 0.5 * (i - 2));
        EXPECT_GT(sum, 0.0);
    }
    EXPECT_EQ(record().modeIndex, 2);
    EXPECT_TRUE(shownWhileRunning);
    ASSERT_FALSE(panels.empty());
    EXPECT_EQ(panels.front(), "Value of parameter being profiled: 5.0000E-01 (point 1 of 3)");
    EXPECT_EQ(panel(1), "") << "cleared at the end";
    EXPECT_EQ(plotsShown, 1);
    ASSERT_NE(posteriorReport(), nullptr);
    EXPECT_EQ(posteriorReport()->text(), writeDistributionReport(record(), posteriorHeading));
    EXPECT_EQ(app.distribution.tool, DistributionTool::BayesianPosterior);
    EXPECT_EQ(app.algorithm.paramValues[1], 1.0);
    EXPECT_EQ(app.algorithm.paramSteps[1], 0.5);
    EXPECT_EQ(app.algorithm.paramValues[2], 2.0) << "the parameter set changes only in p";
    EXPECT_EQ(ui.beepCount(), 1);
    expectPosteriorEnded();
}

TEST_F(PosteriorIntegration, TheSumsAreExpOfMinusYMinusTheCentreExactly)
{
    scriptPosterior({.points = "3", .gridPoints = "3"});
    runPosterior();
    const std::vector<FakeModel::Call> calls = pointEvaluations();
    ASSERT_EQ(calls.size(), 10u);
    const double yC = correlatedPair(calls[0].vector) / 2.0;
    std::vector<double> raw(4, 0.0);
    for (int i = 1; i <= 3; ++i) {
        double sum = 0.0;
        for (int j = 1; j <= 3; ++j)
            sum += std::exp(
                -(correlatedPair(calls[static_cast<std::size_t>(3 * (i - 1) + j)].vector) / 2.0 - yC));
        raw[static_cast<std::size_t>(i)] = -std::log(sum);
        EXPECT_EQ(
            app.distribution.bivariate.density(i, 2),
            std::exp(-(correlatedPair(calls[static_cast<std::size_t>(3 * (i - 1) + 2)].vector) / 2.0 - yC)));
    }
    // The statistics leave -ln[L] relative to the mode (point 2).
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(record().negLogL[static_cast<std::size_t>(i)], raw[static_cast<std::size_t>(i)] - raw[2])
            << i;
}

TEST_F(PosteriorIntegration, TheMarginalAndTheJointDensityMatchTheBivariateNormal)
{
    app.algorithm.paramSteps[1] = 8.0 / 24.0;       // a: plus and minus 4 SD
    app.algorithm.paramSteps[2] = 7.0 * 0.5 / 24.0; // b: plus and minus 3.5 SD
    scriptUpToEditor({.points = "25", .gridPoints = "25"});
    ui.answer(Answer::Yes);            // the bivariate plot
    ui.pickFile(dir.file("pair.grd")); // saveGridFile
    ui.answer(Answer::OK);             // the reminder
    runPosterior();

    EXPECT_EQ(bivariatePlotsShown, 1);
    EXPECT_EQ(pointEvaluations().size(), 1u + 25u * 25u);
    EXPECT_NEAR(record().meanValue, 1.0, 1e-3);
    EXPECT_NEAR(record().estimatedSE, 1.0, 2e-3) << "the marginal is cut at 4 SD";

    const BivariateDensity& joint = app.distribution.bivariate;
    BivariatePlotWindow plot(joint, [] {});
    const std::string corr = plot.graphCaption("lblCorr").caption;
    ASSERT_TRUE(corr.starts_with("       r = ")) << corr;
    EXPECT_NEAR(std::stod(corr.substr(11)), rho, 0.02);
    EXPECT_EQ(joint.maxDensity, 1.0) << "the peak is the starting point";
    EXPECT_EQ(joint.peakProfileValue, 1.0);
    EXPECT_EQ(joint.peakGridValue, 2.0);

    // The grid file: N x M lines, the grid values cycling for every profile value.
    const std::string text = readFileBytes(dir.file("pair.grd"));
    EXPECT_EQ(text, withCrLf(gridFileText(joint)));
    const std::vector<std::string> lines = linesOf(gridFileText(joint));
    ASSERT_EQ(lines.size(), 2u + 625u);
    EXPECT_EQ(lines[0], "Bivariate plot data for parameters 1 and 2 ");
    EXPECT_EQ(lines[1], "        X_Coord,        Y_Coord,  Prob_Density");
    for (std::size_t line = 2; line < lines.size(); ++line) {
        const int i = static_cast<int>((line - 2) / 25) + 1;
        const int j = static_cast<int>((line - 2) % 25) + 1;
        EXPECT_EQ(lines[line],
                  formatNumber(joint.profileValues[static_cast<std::size_t>(i)], "    0.0000E+000") +
                      formatNumber(joint.gridValues[static_cast<std::size_t>(j)], "     0.0000E+000") +
                      formatNumber(joint.density(i, j), "    0.0000E+000"));
    }
    // The first grid value after the last profile value (5, no sign: 15 characters).
    EXPECT_EQ(lines[2 + 24 * 25].substr(15, 16),
              formatNumber(2.0 - 12 * 7.0 * 0.5 / 24.0, "     0.0000E+000"));
}

TEST_F(PosteriorIntegration, AQuadraticPriorMovesTheMeanAsTheHandCalculationPredicts)
{
    // Likelihood a ~ N(1, 1); prior a ~ N(3, 1) as a penalty of covScale x its -ln[L]. The
    // posterior is N(2, 1/2): mean 2, SE 0.7071. Counting the prior twice would give 7/3.
    fixSecond();
    model.objective = [](const std::vector<double>& v) { return (v[1] - 1.0) * (v[1] - 1.0); };
    app.session.priorsActive = true;
    app.priorHooks.penalty = [this](const std::vector<double>& v) {
        return app.session.covScale * (v[1] - 3.0) * (v[1] - 3.0) / 2.0;
    };
    app.algorithm.paramValues[1] = 2.0;
    app.algorithm.paramSteps[1] = 8.0 * std::sqrt(0.5) / 40.0;
    scriptPosterior({.points = "41", .gridPoints = std::nullopt}, false);
    runPosterior();
    EXPECT_NEAR(record().meanValue, 2.0, 1e-6);
    EXPECT_NEAR(record().estimatedSE, std::sqrt(0.5), 1e-3);
    EXPECT_NEAR(record().modeValue, 2.0, 1e-12);
}

TEST_F(PosteriorIntegration, WithNoGridParameterItEqualsAProfileWithoutMinimizations)
{
    fixSecond();
    scriptPosterior({.points = "7", .gridPoints = std::nullopt}, false);
    runPosterior();
    const DistributionProfile posterior = record();
    const std::size_t posteriorCalls = model.calls.size();
    EXPECT_EQ(posteriorCalls, 7u) << "no centre evaluation without a grid";
    EXPECT_EQ(app.distribution.tool, DistributionTool::BayesianPosterior);

    app.algorithm.profileResultsValid = false;
    ui.answer(Answer::OK).answer(Answer::Yes).type("0.5").type("1").type("7").answer(Answer::Yes);
    ui.answer(Answer::OK).answer(Answer::OK);
    pressEvaluate();
    evaluationWindow()->cmdML_Click();
    EXPECT_EQ(model.calls.size() - posteriorCalls, 7u);
    EXPECT_EQ(record().pointValues, posterior.pointValues);
    EXPECT_EQ(record().negLogL, posterior.negLogL);
    EXPECT_EQ(record().meanValue, posterior.meanValue);
}

TEST_F(PosteriorIntegration, OutOfRangeAnswersRestartTheDialogueFromTheConstant)
{
    fixSecond();
    ui.answer(Answer::OK).answer(Answer::Yes);
    ui.type("0.5").type("3");                              // no parameter 3: restart
    ui.type("0.5").type("1").type("0");                    // 0 profile points: restart (unlike the profile)
    ui.type("0.5").type("1").type("").type("x").type("2"); // empty and non-numeric asked again; 2 -> 3
    ui.answer(Answer::OK).answer(Answer::OK);
    runPosterior();
    const std::vector<Interaction> asked = ui.prompts();
    ASSERT_EQ(asked.size(), 10u);
    EXPECT_EQ(asked[0].title, "Enter constant");
    EXPECT_EQ(asked[2].title, "Enter constant");
    EXPECT_EQ(asked[5].title, "Enter constant");
    EXPECT_EQ(record().pointCount, 3);

    // With another parameter free, an empty grid answer restarts too.
    app.algorithm.paramSteps[2] = 0.25;
    app.algorithm.profileResultsValid = false;
    ui.answer(Answer::OK).answer(Answer::Yes);
    ui.type("0.5").type("1").type("4").type("");
    ui.type("0.5").type("1").type("4").type("1002");
    ui.type("0.5").type("1").type("4").type("2");
    ui.answer(Answer::OK).answer(Answer::No).answer(Answer::OK);
    runPosterior();
    EXPECT_EQ(record().pointCount, 5);
    EXPECT_EQ(app.distribution.bivariate.gridCount, 3);
    expectPosteriorEnded();
}

TEST_F(PosteriorIntegration, TheCallLimitAccepts25x25SquaredAndRefuses25x25Cubed)
{
    EXPECT_EQ(posteriorCallCount(25, 25, 2), 15625.0);
    EXPECT_EQ(posteriorCallCount(25, 25, 3), 390625.0);

    setParameters({{1.0, 0.5}, {2.0, 0.25}, {3.0, 0.25}, {4.0, 0.25}});
    model.objective = bowl({0, 1, 2, 3, 4});
    ui.answer(Answer::OK).answer(Answer::Yes).type("0.5").type("1").type("25").type("25");
    ui.answer(Answer::OK); // "Too many function calls": before the editor, no reminder
    runPosterior();
    const Interaction refusal = ui.messages().back();
    EXPECT_EQ(refusal.title, "Too many function calls");
    EXPECT_EQ(refusal.text,
              "Required number of function calls exceeds the maximum allowed of 32767.\nCorrect "
              "this by reducing the number of free parameters or the grid resolution");
    EXPECT_EQ(refusal.icon, Icon::Exclamation);
    EXPECT_TRUE(model.calls.empty());
    expectPosteriorEnded();

    // Two grid parameters of 25 points: accepted.
    app.algorithm.paramSteps[4] = 0.0;
    scriptPosterior({.points = "25", .gridPoints = "25"}, false);
    runPosterior();
    EXPECT_EQ(pointEvaluations().size(), 1u + 25u * 625u);
    EXPECT_NE(posteriorReport(), nullptr);
}

TEST_F(PosteriorIntegration, MoreThanSixGridParametersAreRefused)
{
    setParameters({{1, 1}, {1, 1}, {1, 1}, {1, 1}, {1, 1}, {1, 1}, {1, 1}, {1, 1}});
    model.objective = bowl({0, 1, 1, 1, 1, 1, 1, 1, 1});
    // 3 x 3^7 = 6561 calls pass the limit; seven grid parameters do not.
    scriptUpToEditor({.points = "3", .gridPoints = "3"});
    ui.answer(Answer::OK).answer(Answer::OK);
    runPosterior();
    const Interaction refusal = ui.messages()[ui.messages().size() - 2];
    EXPECT_EQ(refusal.title, "Problem with setup");
    EXPECT_EQ(refusal.text, "Too many free parameters - maximum is 6");
    EXPECT_TRUE(model.calls.empty());
    EXPECT_EQ(app.algorithm.paramSteps[1], 1.0);
    expectPosteriorEnded();
}

TEST_F(PosteriorIntegration, AZeroStepAfterTheEditorIsRefused)
{
    inEditor = [this] { app.algorithm.paramSteps[1] = 0.0; };
    scriptUpToEditor();
    ui.answer(Answer::OK).answer(Answer::OK);
    runPosterior();
    const Interaction refusal = ui.messages()[ui.messages().size() - 2];
    EXPECT_EQ(refusal.title, "Problem with setup");
    EXPECT_EQ(refusal.text, "The parameter chosen has a step size of zero; please try again");
    EXPECT_TRUE(model.calls.empty());
    EXPECT_EQ(posteriorReport(), nullptr);
    expectPosteriorEnded();
}

TEST_F(PosteriorIntegration, TheStoredPosteriorIsOfferedAgain)
{
    scriptPosterior({.points = "3", .gridPoints = "3"});
    runPosterior();
    const std::string first = posteriorReport()->text();
    const std::size_t calls = model.calls.size();
    app.desktop.close("frmBayesian");

    ui.answer(Answer::OK).answer(Answer::Yes).answer(Answer::No); // the previous plots
    ui.answer(Answer::No);                                        // no bivariate plot
    runPosterior();
    const std::vector<Interaction> messages = ui.messages();
    EXPECT_EQ(
        messages[messages.size() - 2].text,
        "Do you want to perform integrations now?\n\nChoosing 'NO' will give you the previous BP plots");
    EXPECT_EQ(model.calls.size(), calls);
    EXPECT_EQ(posteriorReport()->text(), first);
    EXPECT_EQ(plotsShown, 2);
    EXPECT_EQ(app.algorithm.paramSteps[1], 0.5);
    expectPosteriorEnded();
}

TEST_F(PosteriorIntegration, AnInterruptAtTheOuterOrAnInnerLevelCutsTwoPointsBack)
{
    struct Case {
        int interruptAtCall; // grid evaluations of 3 per point, after the centre
        int kept;
    };
    // An interrupt found at point i keeps i - 2 points: during the last grid point of point 7 it is
    // found at the profile level after it (5 kept); during the second of point 8, at the grid level
    // before its third (6 kept).
    for (const Case& c : {Case{1 + 7 * 3, 5}, Case{1 + 7 * 3 + 2, 6}}) {
        SCOPED_TRACE(c.interruptAtCall);
        model.calls.clear();
        app.algorithm.profileResultsValid = false;
        model.duringCall = [this, c] {
            if (static_cast<int>(model.calls.size()) == c.interruptAtCall)
                app.menuCommand("mnuInterruptBayes");
        };
        scriptUpToEditor({.points = "9", .gridPoints = "3"});
        ui.answer(Answer::Yes); // quit
        ui.answer(Answer::No);  // the bivariate plot
        ui.answer(Answer::OK);  // the reminder
        runPosterior();
        const std::vector<Interaction> messages = ui.messages();
        const Interaction& question = messages[messages.size() - 3];
        EXPECT_EQ(question.title, "Bayesian calculations");
        EXPECT_EQ(question.text, "Interrupt received.  Quit calculations?");
        EXPECT_EQ(static_cast<int>(model.calls.size()), c.interruptAtCall) << "nothing after the cut";
        EXPECT_EQ(record().pointCount, c.kept);
        EXPECT_NE(posteriorReport(), nullptr);
        expectPosteriorEnded();
    }
}

TEST_F(PosteriorIntegration, AFarBetterGridPointRescalesInsteadOfOverflowing)
{
    // The start lies 2000 units of -ln[L] above the minimum: exp(2000) overflows a double.
    model.objective = [](const std::vector<double>& v) {
        return (v[1] - 1.0) * (v[1] - 1.0) + 4000.0 * v[2] * v[2];
    };
    app.algorithm.paramValues[2] = 1.0;
    app.algorithm.paramSteps[2] = 0.5; // b = 0 at grid point 1 of 5
    app.algorithm.paramSteps[1] = 0.25;
    scriptPosterior({.points = "25", .gridPoints = "5"});
    runPosterior();
    ASSERT_NE(posteriorReport(), nullptr);
    for (int i = 1; i <= 25; ++i)
        EXPECT_TRUE(std::isfinite(record().negLogL[static_cast<std::size_t>(i)])) << i;
    // The marginal of a is the likelihood's a ~ N(1, 1), b's grid the same at every a.
    EXPECT_NEAR(record().meanValue, 1.0, 1e-9);
    EXPECT_NEAR(record().estimatedSE, 1.0, 2e-2);
    const BivariateDensity& joint = app.distribution.bivariate;
    EXPECT_TRUE(std::isfinite(joint.maxDensity));
    EXPECT_EQ(joint.peakProfileValue, 1.0);
    EXPECT_EQ(joint.peakGridValue, 0.0);
    // Rescaled together: the density at the peak over one beside it as the objective says.
    EXPECT_NEAR(joint.density(13, 1) / joint.density(12, 1), std::exp(0.25 * 0.25 / 2.0), 1e-12);
}

TEST_F(PosteriorIntegration, GridPointsWithoutAFiniteObjectiveCountAsZeroDensityAndAreReported)
{
    model.objective = [](const std::vector<double>& v) {
        return v[2] > 2.3 ? std::nan("") : correlatedPair(v);
    };
    scriptUpToEditor({.points = "3", .gridPoints = "5"});
    ui.answer(Answer::OK); // the count
    ui.answer(Answer::No).answer(Answer::OK);
    runPosterior();
    const std::vector<Interaction> messages = ui.messages();
    const Interaction& told = messages[messages.size() - 3];
    EXPECT_EQ(told.text, "The objective function has no finite value at 3 of the 15 points evaluated. They "
                         "are taken as a density of 0.");
    for (int i = 1; i <= 3; ++i) {
        EXPECT_TRUE(std::isfinite(record().negLogL[static_cast<std::size_t>(i)]));
        EXPECT_EQ(app.distribution.bivariate.density(i, 5), 0.0);
    }
    EXPECT_NE(posteriorReport(), nullptr);
}

TEST_F(PosteriorIntegration, ACentreWithoutAFiniteObjectiveEndsTheRunNamingTheValues)
{
    model.objective = [](const std::vector<double>&) { return std::numeric_limits<double>::infinity(); };
    scriptUpToEditor();
    ui.answer(Answer::OK).answer(Answer::OK);
    runPosterior();
    const Interaction told = ui.messages()[ui.messages().size() - 2];
    EXPECT_EQ(told.title, "Problem with setup");
    EXPECT_TRUE(told.text.starts_with("The objective function has no finite value at the starting parameter "
                                      "values (#1 = 1.0000E+00, #2 = 2.0000E+00): "))
        << told.text;
    EXPECT_EQ(model.calls.size(), 1u);
    EXPECT_EQ(posteriorReport(), nullptr);
    expectPosteriorEnded();
}

TEST_F(PosteriorIntegration, StepsFromACovarianceGridSpanTheGridAndTheProfile)
{
    AlgorithmData& data = app.algorithm;
    buildFreeIndex(data);
    setPosteriorSteps(data, {0.0, 0.3, 0.6}, {.parameter = 1, .pointCount = 9, .gridPointCount = 5});
    EXPECT_EQ(data.paramSteps[1], 8.0 * 0.3 / 8.0);
    EXPECT_EQ(data.paramSteps[2], 7.0 * 0.6 / 4.0);
}

TEST_F(PosteriorIntegration, StopsAtItsNextYieldOnceTheProgramHasEnded)
{
    scriptUpToEditor({.points = "5", .gridPoints = "5"});
    QuitDuringRun quit(ui, app);
    bool armed = false;
    duringPosterior = [&] {
        if (!armed && app.session.bayesRunning && app.algorithm.paramSteps[1] == 0.0 &&
            model.calls.size() > 3) {
            armed = true;
            quit.atYield(1);
        }
    };
    runPosterior();
    ASSERT_TRUE(quit.quitHappened());
    EXPECT_EQ(quit.shownAfterQuit(), 0u);
    EXPECT_LE(quit.yieldsAfterQuit(), 0);
    EXPECT_EQ(app.algorithm.paramValues[1], 1.0) << "put back before the save question";
}

} // namespace
} // namespace orvanta::testing
