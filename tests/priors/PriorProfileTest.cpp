#include "PriorsSession.h"

#include "plots/DistributionPlotWindow.h"
#include "priors/PriorProfile.h"
#include "support/TextLines.h"
#include "ui/ReportWindow.h"
#include "uncertainty/DistributionProfile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace orvanta {
namespace {

using testing::Interaction;
using testing::prior;

constexpr const char* title = "Evaluation of prior distributions";

// The editor open on twelve parameters, with a distribution plot window that the user closes
// with "&Done" at the first yield it is open in.
class PriorProfileTest : public testing::PriorsSession {
protected:
    PriorProfileTest()
    {
        ui.onYield = [this] { yielded(); };
    }

    void yielded()
    {
        if (duringPoints)
            duringPoints();
        if (auto* plot = app.desktop.find<DistributionPlotWindow>(distributionPlot::windowName)) {
            ++plotsShown;
            plotCurve2 = plot->curveName(2);
            plotPoints = plot->pointCount();
            plot->cmdDone_Click();
        }
    }

    // "&Profile prior distributions" with the parameter's row selected: both messages, the
    // parameter and the answers to the point prompt.
    void profile(int param, std::vector<std::string> pointAnswers)
    {
        editor()->grdSetPriors_Click(param + 1);
        ui.answer(Answer::OK).answer(Answer::OK).type(std::to_string(param));
        for (std::string& answer : pointAnswers)
            ui.type(std::move(answer));
        editor()->menuChosen("mnuProfile");
    }

    const DistributionProfile& record() const { return app.distribution.profile; }
    double x(int i) const { return record().pointValues[static_cast<std::size_t>(i)]; }
    double y(int i) const { return record().negLogL[static_cast<std::size_t>(i)]; }
    ReportWindow* report() const { return app.desktop.find<ReportWindow>("frmPriorDists"); }

    std::function<void()> duringPoints;
    int plotsShown = 0;
    std::string plotCurve2;
    int plotPoints = 0;
};

TEST_F(PriorProfileTest, GaussianTenTwoWithAHundredAndOnePoints)
{
    priorOf(3) = prior("N", 10, 2);
    openEditor();
    profile(3, {"101"});

    const std::vector<Interaction> messages = ui.messages();
    ASSERT_GE(messages.size(), 2u);
    EXPECT_EQ(messages[0].text,
              "This routine will create a series of plots to evaluate prior distributions.\n"
              "If the prior distribution is uniform-unbounded (U) no plots will be generated.\n"
              "First choose the parameter to be profiled, then the number of data points.\n"
              "This routine uses the moments (mean and SD) to set the domain of the parameter.");
    EXPECT_EQ(messages[0].title, title);
    EXPECT_EQ(messages[0].buttons, Buttons::OKCancel);
    EXPECT_EQ(messages[0].icon, Icon::Information);
    EXPECT_EQ(messages[1].text, "Choose plot 1 to get a likelihood profile plot. \n"
                                "Choose plot 2 to get a Bayesian prior distribution. \n"
                                "Choose plot 3 to get a mode-centered confidence region plot. \n"
                                "Choose plot 4 to get a mean-centered confidence region plot. \n"
                                "Choose plot 5 to get a left to right ascending cumulative plot. \n"
                                "Choose plot 6 to get a left to right descending cumulative plot. \n"
                                "Choose plot 7 to get a mode-centered Gaussian distribution plot. ");
    EXPECT_EQ(messages[1].buttons, Buttons::OK);
    const std::vector<Interaction> prompts = ui.prompts();
    ASSERT_EQ(prompts.size(), 2u);
    EXPECT_EQ(prompts[0].text, "Choose the parameter number to be profiled.\n(0 < parameter # <= 12)");
    EXPECT_EQ(prompts[0].title, title);
    EXPECT_EQ(prompts[0].defaultText, "3") << "the editor's selected row";
    EXPECT_EQ(prompts[1].text, "Choose the number of x-y data points per plot.\n(0 <= # points <= 1001)");
    EXPECT_EQ(prompts[1].defaultText, "101");

    ASSERT_EQ(record().pointCount, 101);
    EXPECT_NEAR(record().pointStep, 0.2, 1e-15);
    EXPECT_NEAR(x(1), 0.0, 1e-12);
    EXPECT_DOUBLE_EQ(x(51), 10.0);
    EXPECT_NEAR(x(101), 20.0, 1e-12);
    EXPECT_EQ(record().modeIndex, 51);
    EXPECT_EQ(y(51), 0.0);
    EXPECT_NEAR(y(41), 0.5, 1e-12) << "one SD below the mean";
    EXPECT_NEAR(y(61), 0.5, 1e-12) << "one SD above the mean";
    EXPECT_NEAR(record().meanValue, 10.0, 1e-9);
    EXPECT_NEAR(record().estimatedSE, 2.0, 1e-3);
    EXPECT_EQ(app.distribution.tool, DistributionTool::PriorProfile);
    EXPECT_EQ(app.distribution.parameter, 3);

    EXPECT_EQ(ui.beepCount(), 1);
    EXPECT_EQ(plotsShown, 1);
    EXPECT_EQ(plotCurve2, "Bayesian Prior Distribution");
    EXPECT_EQ(plotPoints, 101);
    EXPECT_EQ(app.mainWindow.panelText(statusBar::messages, 1),
              "Calculating profile point 101 of 101, Value of parameter # 3 which is being profiled is: "
              "2.0000E+01");

    ASSERT_NE(report(), nullptr);
    EXPECT_EQ(report()->caption(), "Prior distribution statistics");
    EXPECT_EQ(report()->design().secondFilterEntry, "Bayesian prior distribution files (*.pdp)|*.pdp");
    const std::vector<std::string> lines = testing::linesOf(report()->text());
    ASSERT_EQ(lines.size(), 3u + 101u + 6u);
    EXPECT_EQ(lines[0], "Bayesian prior distribution data");
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(
        lines[2],
        "  Point       Value         -ln[L]           PDF        Cumulative     Attenuated     Normal PDF");
    // Point 51: the mean, half of the probability on either side.
    EXPECT_EQ(lines[3 + 50].substr(0, 39), "   51     1.0000E+001    0.0000E+000   ");
    EXPECT_EQ(lines[3 + 101 + 2], "Expected Value:  1.0000E+001   ");
    EXPECT_EQ(report()->text(), app.session.reportText);
    EXPECT_FALSE(app.session.profileRunning);
    EXPECT_NE(editor(), nullptr) << "the editor stays open";
}

TEST_F(PriorProfileTest, CumulativeAndAttenuatedColumnsAddUpToOne)
{
    priorOf(1) = prior("G", 4, 2);
    openEditor();
    profile(1, {"21"});
    const std::vector<std::string> lines = testing::linesOf(report()->text());
    ASSERT_EQ(lines.size(), 3u + 21u + 6u);
    for (int i = 1; i <= 21; ++i) {
        const std::string& line = lines[static_cast<std::size_t>(2 + i)];
        const double cumulative = std::stod(line.substr(54, 15));
        const double attenuated = std::stod(line.substr(69, 15));
        EXPECT_NEAR(cumulative + attenuated, 1.0, 1e-4) << line;
        EXPECT_NEAR(cumulative, record().cumulative[static_cast<std::size_t>(i)], 1e-4 * (1 + cumulative));
    }
}

// The domain of every type (101 points unless given).
struct DomainCase {
    const char* name;
    PriorSpec prior;
    int n;
    double first;
    double last;
    double step;
};

TEST(PriorProfileDomain, EveryTypeSpreadsItsPointsAsItsTermsSay)
{
    const DomainCase cases[] = {
        {"Gaussian: five SDs either side", prior("N", -3, 0.5), 101, -5.5, -0.5, 0.05},
        {"gamma inside: five SDs either side", prior("G", 20, 2), 11, 10, 30, 2},
        {"gamma from 1e-6 to the old last point", prior("G", 2, 1), 101, 1e-6, 7 + 1e-6, 0.07},
        {"ln-normal from 1e-6", prior("L", 1, 0.5), 5, 1e-6, 3.5 + 1e-6, 0.875},
        {"exponential: 0 to 10 means", prior("E", 3, 3), 101, 0, 30, 0.3},
        {"beta ends", prior("B", 0.3, 0.1), 101, 1e-6, 0.999999, 0.01},
        {"beta, three points", prior("B", 0.5, 0.1), 3, 1e-6, 0.999999, 0.5},
        {"left cliff, three SDs either side", prior("S", 2, 1), 101, -1, 5, 0.06},
        {"hard left cliff at 0: step 0.1", prior("S", 0, 0), 101, -5, 5, 0.1},
        {"hard right cliff at 4", prior("D", 4, 0), 101, 0, 8, 0.08},
        {"hard cliff with a negative foot runs upwards", prior("S", -4, 0), 101, -8, 0, 0.08},
        {"uniform-bounded: 3 SDs outside the feet", prior("T", 0, 1, PriorTerm(10.0), PriorTerm(2.0)), 101,
         -3, 16, 0.19},
        {"uniform-bounded with hard feet", prior("T", 0, 0, PriorTerm(10.0), PriorTerm(0.0)), 11, 0, 10, 1},
    };
    for (const DomainCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<PriorProfileDomain> domain = priorProfileDomain(c.prior, c.n);
        ASSERT_TRUE(domain.has_value());
        const std::vector<double>& x = domain->points;
        ASSERT_EQ(x.size(), static_cast<std::size_t>(c.n) + 1);
        EXPECT_NEAR(x[1], c.first, 1e-12);
        EXPECT_NEAR(x[static_cast<std::size_t>(c.n)], c.last, 1e-12);
        EXPECT_NEAR(domain->step, c.step, 1e-12);
        for (int i = 2; i <= c.n; ++i)
            EXPECT_GT(x[static_cast<std::size_t>(i)], x[static_cast<std::size_t>(i - 1)]);
    }
}

TEST(PriorProfileDomain, ANegativeHardFootGivesAPositiveArea)
{
    const std::vector<PriorSpec> priors = {PriorSpec{}, prior("S", -4, 0)};
    DistributionProfile d;
    ASSERT_TRUE(calculatePriorProfile(priors, 1, 101, d, {}));
    computeDistributionStatistics(d);
    EXPECT_GT(d.pointStep, 0.0);
    EXPECT_NEAR(d.cumulative[101], 1.0, 1e-9);
    EXPECT_GT(d.pdf[101], 0.0);
    EXPECT_EQ(d.pdf[1], 0.0) << "left of the wall";
}

TEST(PriorProfileDomain, PointCountsAsTheUserAnswers)
{
    EXPECT_EQ(priorProfilePointCount(4), 5);
    EXPECT_EQ(priorProfilePointCount(0), 101);
    EXPECT_EQ(priorProfilePointCount(1), 3);
    EXPECT_EQ(priorProfilePointCount(2), 3);
    EXPECT_EQ(priorProfilePointCount(3), 3);
    EXPECT_EQ(priorProfilePointCount(1000), 1001);
    EXPECT_EQ(priorProfilePointCount(1001), 1001);
}

TEST(PriorProfileDomain, PriorsWithoutAWidthOrFiniteTermsAreRefused)
{
    EXPECT_EQ(priorProfileRefusal(PriorSpec{}, 2, 101),
              "There is nothing to plot when the prior distribution is uniform-unbounded");
    EXPECT_EQ(
        priorProfileRefusal(prior("N", 5, 0), 2, 101),
        "The Gaussian or Normal prior of parameter 2 cannot be profiled: its SD must not be 0, and with it "
        "the profile's domain would have no width.");
    EXPECT_EQ(
        priorProfileRefusal(prior("E", 0, 0), 4, 101),
        "The Exponential prior of parameter 4 cannot be profiled: its mean must not be 0, and with it the "
        "profile's domain would have no width.");
    EXPECT_EQ(
        priorProfileRefusal(prior("N", 0, 1e308), 1, 101),
        "The Gaussian or Normal prior of parameter 1 cannot be profiled with 101 points: its terms give no "
        "domain of that many distinct finite values.");
    EXPECT_FALSE(priorProfileRefusal(prior("N", 1e10, 1e-10), 1, 101).empty()) << "points that coincide";
    EXPECT_EQ(priorProfileRefusal(prior("N", 10, 2), 1, 101), "");
    EXPECT_FALSE(priorProfileDomain(prior("N", 10, 2), 4)) << "an even count is never profiled";
    DistributionProfile untouched;
    untouched.reset(3);
    EXPECT_FALSE(calculatePriorProfile({PriorSpec{}, prior("N", 5, 0)}, 1, 101, untouched, {}));
    EXPECT_EQ(untouched.pointCount, 3) << "the record is left as it was";
}

TEST_F(PriorProfileTest, PointAnswersAreRoundedAndAskedAgainOutsideTheRange)
{
    priorOf(2) = prior("N", 0, 1);
    openEditor();
    profile(2, {"1002", "-1", "4"});
    EXPECT_EQ(ui.prompts().size(), 4u) << "1002 and -1 asked again";
    EXPECT_EQ(record().pointCount, 5);

    profile(2, {"0"});
    EXPECT_EQ(record().pointCount, 101);
    profile(2, {"6.5"});
    EXPECT_EQ(record().pointCount, 7) << "6.5 rounds to 6 (halves to even), then the next odd number";
}

TEST_F(PriorProfileTest, ParameterAnswersOutsideTheParametersAreAskedAgain)
{
    priorOf(3) = prior("N", 0, 1);
    openEditor();
    editor()->grdSetPriors_Click(0); // a heading row: parameter 1
    ui.answer(Answer::OK).answer(Answer::OK).type("0").type("13").type("2.6").type("3");
    editor()->menuChosen("mnuProfile");
    const std::vector<Interaction> prompts = ui.prompts();
    ASSERT_EQ(prompts.size(), 4u);
    EXPECT_EQ(prompts[0].defaultText, "1");
    EXPECT_EQ(app.distribution.parameter, 3) << "2.6 rounds to 3";
    EXPECT_EQ(record().pointCount, 3);
}

TEST_F(PriorProfileTest, RefusalsAndEmptyAnswersReturnToTheFirstMessage)
{
    priorOf(1) = prior("N", 5, 0); // as a hand-edited file may hold it
    priorOf(3) = prior("E", 2, 2);
    openEditor();
    app.distribution.profile.reset(0);
    ui.answer(Answer::OK).answer(Answer::OK).type("2"); // uniform-unbounded
    ui.answer(Answer::OK);
    ui.answer(Answer::OK).answer(Answer::OK).type("1"); // no width
    ui.answer(Answer::OK);
    ui.answer(Answer::OK).answer(Answer::OK).type("");           // empty parameter
    ui.answer(Answer::OK).answer(Answer::OK).type("3").type(""); // empty point count
    ui.answer(Answer::Cancel);
    editor()->menuChosen("mnuProfile");

    std::vector<Interaction> refusals;
    for (const Interaction& m : ui.messages())
        if (m.icon == Icon::Exclamation)
            refusals.push_back(m);
    ASSERT_EQ(refusals.size(), 2u);
    EXPECT_EQ(refusals[0].text, "There is nothing to plot when the prior distribution is uniform-unbounded");
    EXPECT_EQ(refusals[0].title, title);
    EXPECT_EQ(refusals[1].text, "The Gaussian or Normal prior of parameter 1 cannot be profiled: its SD must "
                                "not be 0, and with it the profile's domain would have no width.");
    EXPECT_EQ(ui.beepCount(), 0);
    EXPECT_EQ(plotsShown, 0);
    EXPECT_EQ(report(), nullptr);
    EXPECT_EQ(record().pointCount, 0);
    EXPECT_FALSE(app.session.profileRunning);
}

TEST_F(PriorProfileTest, TheEditorTakesNoEntryWhileTheProfileRuns)
{
    priorOf(1) = prior("N", 0, 1);
    openEditor();
    bool tried = false;
    duringPoints = [this, &tried] {
        if (app.session.profileRunning && editor() && !tried) {
            tried = true;
            editor()->menuChosen("mnuU");
            editor()->menuChosen("mnuFinish");
            editor()->closeRequested();
        }
    };
    profile(1, {"11"});
    EXPECT_TRUE(tried);
    EXPECT_EQ(priorOf(1).typeCode, "N");
    EXPECT_NE(editor(), nullptr);
    EXPECT_EQ(record().pointCount, 11);
}

TEST_F(PriorProfileTest, TheLoopStopsOnceTheProgramHasEnded)
{
    priorOf(1) = prior("N", 0, 1);
    openEditor();
    int yields = 0;
    std::size_t shownAtQuit = 0;
    duringPoints = [&] {
        if (++yields != 5)
            return;
        ui.answer(Answer::Yes).answer(Answer::No).answer(Answer::No);
        app.mainWindowCloseRequested();
        shownAtQuit = ui.shown().size();
    };
    profile(1, {"101"});
    ASSERT_TRUE(app.ended());
    EXPECT_EQ(yields, 5) << "no yield after the quit";
    EXPECT_EQ(ui.shown().size(), shownAtQuit) << "nothing shown after the quit";
    EXPECT_EQ(plotsShown, 0);
    EXPECT_EQ(report(), nullptr);
}

} // namespace
} // namespace orvanta
