// The covariance calculator's dialogue as the user meets it through the main menu: questions,
// prompts and their repeat rules, the editor, interrupts, the analytical path and how a run
// ends.

#include "CovarianceCalculatorFixture.h"

#include "app/MainMenu.h"

#include <algorithm>
#include <cmath>

namespace orvanta::testing {
namespace {

constexpr const char* title = "Covariance calculator";

class CovarianceDialogue : public CovarianceSession {
protected:
    CovarianceDialogue()
    {
        setParameters({{1.0, 0.5}, {2.0, 0.25}});
        model.objective = bowl({0, 1.0, 2.0}, 10.0);
    }

    bool mainMenuShown() const { return app.mainMenu() != nullptr && app.mainMenu()->visible(); }
    bool applicationMenuEnabled() const { return app.mainWindow.findMenu("mnuApplication")->enabled; }
    bool displayShown() const { return app.desktop.isOpen(CovarianceDisplayWindow::windowName); }

    // The run ended early: the main menu back, nothing calculated or offered for viewing.
    void expectEndedEarly() const
    {
        EXPECT_TRUE(mainMenuShown());
        EXPECT_TRUE(applicationMenuEnabled());
        EXPECT_FALSE(app.session.covarianceAvailable);
        EXPECT_FALSE(app.session.covarianceRunning);
        EXPECT_FALSE(displayShown());
        EXPECT_EQ(calculations(), nullptr);
    }
};

TEST_F(CovarianceDialogue, NumericalRunAsksItsQuestionsInOrderAndEndsWithTheDisplay)
{
    scriptNumericalRun({{"1", "0.1", "0.01"}, "2", false});
    pressCovariance();

    const std::vector<Interaction> messages = ui.messages();
    ASSERT_EQ(messages.size(), 5u);
    EXPECT_EQ(messages[0].title, title);
    EXPECT_EQ(messages[0].buttons, Buttons::YesNoCancel);
    EXPECT_EQ(messages[0].icon, Icon::Question);
    EXPECT_EQ(messages[0].text,
              "Do you want to calculate covariances analytically or numerically?  Numerical covariances are "
              "provided automatically, whereas for analytical covariances you must have provided analytical "
              "derivatives in your model code (i.e., in that section of Sub MODEL() accessed when NF=-2).\n\n"
              "WARNING: Analytical covariances will fail if Bayesian prior probabilities contribute to the "
              "likelihood function.\n\nDO NOT USE ANALYTICAL COVARIANCES IN CONJUNCTION WITH BAYESIAN PRIOR "
              "DISTRIBUTIONS!\n               THE PRIOR DISTRIBUTION FOR ALL PARAMETERS MUST BE "
              "UNIFORM-UNBOUNDED!\n\nChoose 'Yes' if you have provided ANALYTICAL derivatives; else 'No' to "
              "calculate covariances NUMERICALLY");
    EXPECT_EQ(messages[1].title, title);
    EXPECT_EQ(messages[1].buttons, Buttons::OKCancel);
    EXPECT_EQ(messages[1].icon, Icon::Information);
    EXPECT_TRUE(messages[1].text.starts_with(
        "A covariance matrix is calculated by inverting the numerically calculated Hessian matrix of second "
        "partial derivatives of the likelihood function.  Three grids are used"));
    EXPECT_NE(messages[1].text.find("factors to adjust the size of the grid.\n\nWhen interpreting"),
              std::string::npos);
    EXPECT_NE(messages[1].text.find("extraordinarily high correlations.\n\nYou can now edit"),
              std::string::npos);
    EXPECT_TRUE(messages[1].text.ends_with("you might have to carefully choose step sizes.\n"));
    EXPECT_EQ(messages[2].title, editorText::finishedTitle);
    EXPECT_EQ(messages[3].text,
              "Are these default grid factors OK?\n\n 1) 1.000E+00     2) 1.000E-01     3) 1.000E-02");
    EXPECT_EQ(messages[3].buttons, Buttons::YesNo);
    EXPECT_EQ(messages[4].title, "Calculate optimistic SEs only?");
    EXPECT_EQ(messages[4].defaultButton, DefaultButton::Second);
    EXPECT_EQ(messages[4].text,
              "Choose the quicker option to calculate under-estimated conditional SEs?\n"
              "Each SE estimate assumes the SE of all other parameters to be zero (0).\n"
              "(This is not recommended for final analyses, but can be a time-efficient way \n"
              "to rapidly assess relative parameter uncertainty in preliminary analyses).");

    const std::vector<Interaction> asked = ui.prompts();
    ASSERT_EQ(asked.size(), 4u);
    EXPECT_EQ(asked[0].title, title);
    EXPECT_EQ(asked[0].defaultText, "1");
    EXPECT_EQ(asked[0].text, "Default grid factor for Grid 1 :\n\n Currently:   1) 1.000E+00     2) 1.000E-01"
                             "     3) 1.000E-02\n\nValue must be positive for all factors");
    EXPECT_EQ(asked[2].defaultText, "0.01");
    EXPECT_EQ(asked[3].title, "Enter constant");
    EXPECT_EQ(asked[3].defaultText, "");
    EXPECT_EQ(asked[3].text,
              "Enter the constant WHICH WILL MAKE the objective function the -ln[likelihood]\n");

    // The editor was open with its option panel locked while the run was on.
    EXPECT_EQ(locksWhileEditing, optionPanelLocks());
    EXPECT_TRUE(runningWhileEditing);
    EXPECT_EQ(app.session.editorLocks, noEditorLocks());

    EXPECT_EQ(gridCalls(), 18u);
    EXPECT_EQ(app.session.covScale, 0.5);
    EXPECT_EQ(app.covariance.derivativeMode, CovarianceMode::Numerical);
    EXPECT_TRUE(displayShown());
    EXPECT_TRUE(app.session.covarianceAvailable);
    EXPECT_FALSE(app.session.covarianceRunning);
    EXPECT_TRUE(app.covariance.lastRunJustFinished);
    EXPECT_TRUE(applicationMenuEnabled());
    EXPECT_EQ(panel(1), "");
    EXPECT_EQ(panel(2), "");
}

// Letters, negative numbers and 0 keep a factor; a positive number replaces it.
TEST_F(CovarianceDialogue, FactorAnswersThatAreNotPositiveKeepThePreviousValue)
{
    const struct {
        std::vector<std::string> answers;
        std::array<double, 4> factors;
    } cases[] = {
        {{"abc", "-0.5", "0"}, {0, 1.0, 0.1, 0.01}},
        {{"2", "0.5", "1E-3"}, {0, 2.0, 0.5, 0.001}},
        {{"1e999", " 3 ", "0.2x"}, {0, 1.0, 3.0, 0.01}},
    };
    for (const auto& c : cases) {
        scriptNumericalRun({c.answers, "1", false});
        pressCovariance();
        EXPECT_EQ(app.covariance.gridFactors, c.factors) << c.answers[0];
        app.desktop.close(CovarianceDisplayWindow::windowName);
        app.session.covarianceAvailable = false;
    }
}

// An empty answer (or Cancel) on any of the three prompts ends the run.
TEST_F(CovarianceDialogue, EmptyFactorAnswerEndsTheRun)
{
    for (std::size_t emptyAt = 0; emptyAt < 3; ++emptyAt) {
        ui.answer(Answer::No).answer(Answer::OK).answer(Answer::OK);
        for (std::size_t i = 0; i < emptyAt; ++i)
            ui.type("0.5");
        ui.type("");
        pressCovariance();
        SCOPED_TRACE("empty at prompt " + std::to_string(emptyAt + 1));
        EXPECT_TRUE(model.calls.empty());
        expectEndedEarly();
    }
}

// No to the confirmation asks for all three factors again, from the values just entered.
TEST_F(CovarianceDialogue, RejectedFactorsAreAskedAgainFromTheValuesJustEntered)
{
    ui.answer(Answer::No).answer(Answer::OK).answer(Answer::OK);
    ui.type("2").type("0.2").type("0.02").answer(Answer::No);
    ui.type("3").type("");
    pressCovariance();

    const std::vector<Interaction> asked = ui.prompts();
    ASSERT_EQ(asked.size(), 5u);
    EXPECT_EQ(asked[3].defaultText, "2");
    EXPECT_EQ(asked[3].text, "Default grid factor for Grid 1 :\n\n Currently:   1) 2.000E+00     2) 2.000E-01"
                             "     3) 2.000E-02\n\nValue must be positive for all factors");
    EXPECT_EQ(asked[4].defaultText, "0.2");
    EXPECT_EQ(asked[4].text, "Default grid factor for Grid 2 :\n\n Currently:   1) 3.000E+00     2) 2.000E-01"
                             "     3) 2.000E-02\n\nValue must be positive for all factors");
    // The empty answer of the second round ended the run.
    expectEndedEarly();
}

TEST_F(CovarianceDialogue, ConfirmedSecondRoundOfFactorsIsUsed)
{
    ui.answer(Answer::No).answer(Answer::OK).answer(Answer::OK);
    ui.type("2").type("0.2").type("0.02").answer(Answer::No);
    ui.type("3").type("x").type("0.03").answer(Answer::Yes);
    ui.type("1").answer(Answer::No);
    pressCovariance();

    EXPECT_EQ(app.covariance.gridFactors, (std::array<double, 4>{0, 3.0, 0.2, 0.03}));
    EXPECT_EQ(ui.messages()[3].text,
              "Are these default grid factors OK?\n\n 1) 2.000E+00     2) 2.000E-01     3) 2.000E-02");
}

// The constant prompt cannot be left without a positive value: an empty answer asks again
// silently, a number that is not positive is refused with a message.
TEST_F(CovarianceDialogue, ConstantIsAskedUntilItIsPositive)
{
    ui.answer(Answer::No).answer(Answer::OK).answer(Answer::OK);
    ui.type("1").type("0.1").type("0.01").answer(Answer::Yes);
    ui.type("");
    ui.type("0").answer(Answer::OK);
    ui.type("-3").answer(Answer::OK);
    ui.type("many").answer(Answer::OK);
    ui.type("4");
    ui.answer(Answer::No);
    pressCovariance();

    const std::vector<Interaction> shown = ui.shown();
    std::vector<std::string> afterFactors;
    bool constantAsked = false;
    for (const Interaction& i : shown) {
        constantAsked = constantAsked || i.title == "Enter constant";
        if (constantAsked)
            afterFactors.push_back(i.title);
    }
    const std::vector<std::string> expected = {"Enter constant",
                                               "Enter constant",
                                               "Insufficient degrees of freedom",
                                               "Enter constant",
                                               "Insufficient degrees of freedom",
                                               "Enter constant",
                                               "Insufficient degrees of freedom",
                                               "Enter constant",
                                               "Calculate optimistic SEs only?"};
    EXPECT_EQ(afterFactors, expected);
    const Interaction refusal = shown[shown.size() - 3];
    EXPECT_EQ(refusal.text,
              "Cannot accept a negative or zero constant; perhaps the degrees of freedom are zero or fewer");
    EXPECT_EQ(refusal.icon, Icon::Exclamation);
    EXPECT_EQ(refusal.buttons, Buttons::OK);
    EXPECT_EQ(app.session.covScale, 0.25);
}

// Cancel at the first question or at the explanation: back to the main menu, nothing changed.
TEST_F(CovarianceDialogue, CancelEndsTheRunBeforeAnyCalculation)
{
    for (int cancelAt = 0; cancelAt < 2; ++cancelAt) {
        if (cancelAt == 0)
            ui.answer(Answer::Cancel);
        else
            ui.answer(Answer::No).answer(Answer::Cancel);
        pressCovariance();
        SCOPED_TRACE(cancelAt);
        expectEndedEarly();
        EXPECT_TRUE(model.calls.empty());
        EXPECT_FALSE(app.desktop.isOpen(AlgorithmEditor::windowName));
    }
}

TEST_F(CovarianceDialogue, NoFreeParameterEndsTheRunWithAMessage)
{
    setParameters({{1.0, 0.0}, {2.0, 0.0}});
    ui.answer(Answer::No).answer(Answer::OK).answer(Answer::OK);
    ui.type("1").type("0.1").type("0.01").answer(Answer::Yes);
    ui.answer(Answer::OK);
    pressCovariance();

    const Interaction last = ui.messages().back();
    EXPECT_EQ(last.text, "All step sizes are zero");
    EXPECT_EQ(last.title, "There is nothing to do!");
    EXPECT_TRUE(model.calls.empty());
    expectEndedEarly();
}

// Results of an earlier run may be viewed again without calculating; No starts a new run.
TEST_F(CovarianceDialogue, LastResultsCanBeViewedAgain)
{
    scriptNumericalRun();
    pressCovariance();
    app.desktop.close(CovarianceDisplayWindow::windowName);
    const std::size_t callsOfFirstRun = model.calls.size();

    ui.answer(Answer::Yes);
    pressCovariance();
    const Interaction question = ui.messages().back();
    EXPECT_EQ(question.text, "View the last set of calculated covariance results?");
    EXPECT_EQ(question.title, "Covariance");
    EXPECT_EQ(question.buttons, Buttons::YesNo);
    EXPECT_EQ(question.icon, Icon::Question);
    EXPECT_TRUE(displayShown());
    EXPECT_FALSE(app.covariance.lastRunJustFinished);
    EXPECT_EQ(model.calls.size(), callsOfFirstRun);
    app.desktop.close(CovarianceDisplayWindow::windowName);

    ui.answer(Answer::No).answer(Answer::Cancel);
    pressCovariance();
    EXPECT_EQ(ui.messages().back().title, title);
    expectEndedEarly();
}

// Interrupting grid 2 and answering Yes skips that grid only; No goes on with it.
TEST_F(CovarianceDialogue, InterruptedGridIsSkippedAndTheOthersAreCalculated)
{
    for (const Answer answer : {Answer::Yes, Answer::No}) {
        model.calls.clear();
        bool pressed = false;
        bool disabledAfterClick = false;
        duringRun = [&] {
            if (!pressed && model.calls.size() == 1 + 6 + 3) {
                pressed = true;
                calculations()->cmdStop_Click();
                disabledAfterClick = !calculations()->stopButton().enabled;
            }
        };
        scriptNumericalRun();
        ui.answer(answer);
        pressCovariance();
        SCOPED_TRACE(answer == Answer::Yes ? "Yes" : "No");

        const Interaction question = ui.messages().back();
        EXPECT_EQ(question.text, "Interrupt received. Do you want to quit calculating this grid?");
        EXPECT_EQ(question.title, "Covariance calculations");
        EXPECT_EQ(question.buttons, Buttons::YesNo);
        EXPECT_TRUE(disabledAfterClick);
        EXPECT_TRUE(calculations()->stopButton().enabled);
        EXPECT_FALSE(app.covariance.interruptRequested);
        for (int g : {1, 3})
            EXPECT_NEAR(grid(g).covariance[1][1], 0.5, 1e-6);
        if (answer == Answer::Yes) {
            expectNotCalculated(2, 2);
            // The click after grid 2's third point is answered after its fourth.
            EXPECT_EQ(gridCalls(), 6u + 4u + 6u);
        } else {
            EXPECT_NEAR(grid(2).covariance[1][1], 0.5, 1e-6);
            EXPECT_EQ(gridCalls(), 18u);
        }
        duringRun = nullptr;
        app.desktop.close(CovarianceDisplayWindow::windowName);
        app.session.covarianceAvailable = false;
    }
}

// Quitting from the main window's close box during a grid: nothing more is evaluated or shown,
// and neither the display window nor the main menu comes back.
TEST_F(CovarianceDialogue, QuittingDuringAGridEndsTheRunAtOnce)
{
    std::size_t callsAtQuit = 0;
    std::size_t shownAtQuit = 0;
    duringRun = [&] {
        if (!app.ended() && model.calls.size() == 1 + 6 + 3) {
            ui.answer(Answer::Yes).answer(Answer::No);
            app.mainWindowCloseRequested();
            callsAtQuit = model.calls.size();
            shownAtQuit = ui.shown().size();
        }
    };
    scriptNumericalRun();
    pressCovariance();

    ASSERT_TRUE(app.ended());
    EXPECT_EQ(model.calls.size(), callsAtQuit);
    EXPECT_EQ(ui.shown().size(), shownAtQuit);
    EXPECT_FALSE(displayShown());
    EXPECT_EQ(app.mainMenu(), nullptr);
    EXPECT_FALSE(app.session.covarianceAvailable);
}

// The remaining time: elapsed time of the grid per call times the calls left in all grids.
// One free parameter makes 6 calls in all; after the first, 5 remain.
TEST_F(CovarianceDialogue, RemainingTimeIsShownInMinutesAndSeconds)
{
    setParameters({{1.0, 0.5}});
    model.objective = bowl({0, 1.0});
    model.clock = &clock;
    const struct {
        double secondsPerCall;
        const char* shown;
    } cases[] = {{25.0, "2:05"}, {12.0, "1:00"}};
    for (const auto& c : cases) {
        model.callDuration = c.secondsPerCall;
        panelsSeen.clear();
        ASSERT_TRUE(runNumericalCovariance(app, {}));
        const auto shown = std::find_if(panelsSeen.begin(), panelsSeen.end(),
                                        [](const auto& panels) { return !panels.second.empty(); });
        ASSERT_NE(shown, panelsSeen.end());
        EXPECT_EQ(shown->second,
                  std::string("Estimated time remaining for all three grids (m:s): ") + c.shown);
    }
}

// Analytical covariances come from the model's Hessian (call code -2), the same three times.
class CurvatureModel : public FakeModel {
public:
    void MODEL(ModelArguments args) override
    {
        FakeModel::MODEL(args);
        if (args.NF == callCode::analyticalDerivatives && supplies) {
            args.curvatureMatrix[1][1] = 4.0;
            args.curvatureMatrix[2][2] = 16.0;
            args.curvatureMatrix[1][2] = args.curvatureMatrix[2][1] = 2.0;
        }
    }
    bool supplies = true;
};

TEST_F(CovarianceDialogue, AnalyticalRunInvertsTheModelsHessianOnEveryGrid)
{
    for (const bool supplies : {true, false}) {
        CurvatureModel analytical;
        analytical.supplies = supplies;
        app.setModel(&analytical);
        ui.answer(Answer::Yes).type("1").answer(Answer::No);
        pressCovariance();
        SCOPED_TRACE(supplies ? "derivatives supplied" : "no derivatives");

        ASSERT_EQ(analytical.calls.size(), 4u);
        EXPECT_EQ(analytical.calls[0].nf, callCode::firstEvaluation);
        for (std::size_t i = 1; i < 4; ++i)
            EXPECT_EQ(analytical.calls[i].nf, callCode::analyticalDerivatives);
        EXPECT_EQ(app.covariance.derivativeMode, CovarianceMode::Analytical);
        EXPECT_EQ(app.covariance.gridFactors, (std::array<double, 4>{0, 0.0, 0.0, 0.0}));
        EXPECT_FALSE(app.desktop.isOpen(AlgorithmEditor::windowName));
        // Inverse of [[4, 2], [2, 16]]: [[16, -2], [-2, 4]] / 60.
        for (int g = 1; g <= 3; ++g) {
            if (supplies) {
                EXPECT_NEAR(grid(g).covariance[1][1], 16.0 / 60.0, 1e-15);
                EXPECT_NEAR(grid(g).covariance[1][2], -2.0 / 60.0, 1e-15);
                EXPECT_NEAR(grid(g).determinant, 1.0 / 60.0, 1e-15);
            } else {
                expectResultsNotCalculated(g, 2);
            }
        }
        const std::string failure = "failed at parameter # 1\n\n";
        std::size_t failures = 0;
        for (std::size_t at = account().find(failure); at != std::string::npos;
             at = account().find(failure, at + 1))
            ++failures;
        EXPECT_EQ(failures, supplies ? 0u : 3u);
        EXPECT_TRUE(displayShown());
        app.desktop.close(CovarianceDisplayWindow::windowName);
        app.desktop.close(CovarianceCalculationsWindow::windowName);
        app.session.covarianceAvailable = false;
        app.setModel(&model);
    }
}

} // namespace
} // namespace orvanta::testing
