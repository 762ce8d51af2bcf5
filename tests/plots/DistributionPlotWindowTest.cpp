// The distribution plot window on its primitive list: curves, ranges, reference lines, the 95%
// line, the labels and their placement, the check boxes and Clear.

#include "plots/DistributionPlotWindow.h"

#include "plots/SvgWriter.h"
#include "support/ScriptedUi.h"
#include "text/NumberText.h"
#include "ui/Desktop.h"
#include "uncertainty/DistributionProfile.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace orvanta {
namespace {

using Kind = PlotPrimitive::Kind;

// A record over xs with -ln[L] ys, its statistics computed.
DistributionProfile recordOf(const std::vector<double>& xs, const std::vector<double>& ys)
{
    DistributionProfile d;
    const int n = static_cast<int>(xs.size());
    d.reset(n);
    d.pointStep = n > 1 ? xs[1] - xs[0] : 1.0;
    double best = 1e100;
    for (int i = 1; i <= n; ++i) {
        d.pointValues[static_cast<std::size_t>(i)] = xs[static_cast<std::size_t>(i - 1)];
        d.negLogL[static_cast<std::size_t>(i)] = ys[static_cast<std::size_t>(i - 1)];
        if (ys[static_cast<std::size_t>(i - 1)] < best) {
            best = ys[static_cast<std::size_t>(i - 1)];
            d.modeIndex = i;
            d.modeValue = xs[static_cast<std::size_t>(i - 1)];
        }
    }
    computeDistributionStatistics(d);
    return d;
}

class DistributionPlot : public ::testing::Test {
protected:
    DistributionPlotWindow& open(const DistributionProfile& d,
                                 DistributionSource source = DistributionSource::LikelihoodProfile)
    {
        window = std::make_unique<DistributionPlotWindow>(d, 3, source, [this] { ++closes; });
        return *window;
    }

    void plot(int curve)
    {
        window->listClicked("listVar", curve - 1);
        window->cmdPlot_Click();
    }

    std::vector<PlotPrimitive> drawn(Kind kind) const { return window->graph().primitivesOf(kind); }
    std::vector<PlotPrimitive> linesIn(int colour, LineStyle style = LineStyle::Solid) const
    {
        std::vector<PlotPrimitive> found;
        for (const PlotPrimitive& p : drawn(Kind::Line))
            if (p.colour == colour && p.style == style)
                found.push_back(p);
        return found;
    }
    // The black solid lines are the grid marks.
    std::vector<PlotPrimitive> dottedLines() const { return linesIn(0, LineStyle::Dotted); }
    std::string caption(const char* name) const { return window->graphCaption(name).caption; }

    std::unique_ptr<DistributionPlotWindow> window;
    int closes = 0;
};

// Ten points from -0.5 to 4 (x = 0 and x = 1 inside) around a mode at 1.5.
DistributionProfile tenPoints()
{
    return recordOf({-0.5, 0, 0.5, 1, 1.5, 2, 2.5, 3, 3.5, 4},
                    {2, 1.125, 0.5, 0.125, 0, 0.125, 0.5, 1.125, 2, 3.125});
}

TEST_F(DistributionPlot, OpensWithTheSevenCurvesListedAndACleanGraph)
{
    const DistributionProfile d = tenPoints();
    DistributionPlotWindow& w = open(d);
    EXPECT_EQ(w.name(), "frmDistPlot");
    EXPECT_EQ(w.caption(), "Distribution plots");
    EXPECT_EQ(w.control("listVar").caption, "Variable to plot:");
    EXPECT_EQ(w.control("listVar").items,
              (std::vector<std::string>{"Parameter Likelihood Profile", "Parameter Confidence Distribution",
                                        "Confidence Region on mode", "Confidence Region on mean",
                                        "Cumulative L to R Distribution", "Attenuated L to R Distribution",
                                        "Gaussian Probability Distribution"}));
    EXPECT_EQ(w.control("listVar").selected, 0);
    EXPECT_EQ(w.control("Check_Line").caption, "Draw lines");
    EXPECT_EQ(w.control("Check_Line").frame, "Plot Options:");
    EXPECT_TRUE(w.control("Check_Line").checked);
    EXPECT_TRUE(w.control("Check_Scatter").checked);
    EXPECT_FALSE(w.control("Check_Drop").checked);
    EXPECT_EQ(w.control("cmdPlot").caption, "&Plot it!");
    EXPECT_EQ(w.control("cmdClear").caption, "Cl&ear");
    EXPECT_EQ(w.control("cmdDone").caption, "&Done");
    EXPECT_EQ(w.xLabel(), "Values for parameter # 3");
    // The curves as the record holds them; curve 6 is one minus the cumulative.
    EXPECT_EQ(w.curve(1), d.negLogL);
    EXPECT_EQ(w.curve(2), d.pdf);
    EXPECT_EQ(w.curve(7), d.normalPdf);
    for (int i = 1; i <= 10; ++i)
        EXPECT_EQ(w.curve(6)[static_cast<std::size_t>(i)], 1.0 - d.cumulative[static_cast<std::size_t>(i)]);

    // The grid marks: ten ticks on each axis, nothing else.
    EXPECT_EQ(drawn(Kind::Line).size(), 20u);
    EXPECT_EQ(drawn(Kind::Line)[0],
              (PlotPrimitive{Kind::Line, 720, 480, 820, 480, 0, 0, LineStyle::Solid, ""}));
    EXPECT_EQ(drawn(Kind::Line)[19],
              (PlotPrimitive{Kind::Line, 1368, 6720, 1368, 6620, 0, 0, LineStyle::Solid, ""}));
}

TEST_F(DistributionPlot, CurveTwoIsNamedByTheToolThatMadeTheRecord)
{
    EXPECT_EQ(distributionCurveNames(DistributionSource::LikelihoodProfile)[2],
              "Parameter Confidence Distribution");
    EXPECT_EQ(distributionCurveNames(DistributionSource::Posterior)[2], "Bayesian Posterior Distribution");
    EXPECT_EQ(distributionCurveNames(DistributionSource::PriorProfile)[2], "Bayesian Prior Distribution");
    open(tenPoints(), DistributionSource::PriorProfile);
    plot(2);
    EXPECT_EQ(caption("lblVar"), "Y: Bayesian Prior Distribution\nX: Values for parameter # 3");
}

TEST_F(DistributionPlot, DrawsTheCurveInItsColourWithLinesAndPointsOnARangeContainingZero)
{
    open(recordOf({2, 3, 4}, {1, 0, 4}));
    plot(1); // -ln[L] relative to the mode: 1, 0, 4, on the range 0..4
    const std::vector<PlotPrimitive> lines = linesIn(2);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0],
              (PlotPrimitive{Kind::Line, 720, 6720 - 1560, 3960, 6720, 0, 2, LineStyle::Solid, ""}));
    EXPECT_EQ(lines[1], (PlotPrimitive{Kind::Line, 3960, 6720, 7200, 480, 0, 2, LineStyle::Solid, ""}));
    const std::vector<PlotPrimitive> points = drawn(Kind::Circle);
    ASSERT_EQ(points.size(), 3u);
    EXPECT_EQ(points[2], (PlotPrimitive{Kind::Circle, 7200, 480, 0, 0, 30, 2, LineStyle::Solid, ""}));
    EXPECT_EQ(caption("lblGraphMax"), "Max =  4.0\nMin =  0.0");
    EXPECT_EQ(caption("lblXStart"), "2.0");
    EXPECT_EQ(caption("lblXEnd"), "4.0");
    EXPECT_EQ(caption("lblVar"), "Y: Parameter Likelihood Profile\nX: Values for parameter # 3");
    EXPECT_TRUE(dottedLines().empty()) << "neither 0 nor 1 lies inside 2..4";
    EXPECT_EQ(caption("lblVerticalLine"), "");

    const int colours[] = {0, 2, 3, 5, 12, 13, 14, 4};
    for (int curve = 2; curve <= 7; ++curve) {
        window->cmdClear_Click();
        plot(curve);
        EXPECT_EQ(drawn(Kind::Circle).front().colour, colours[curve]) << curve;
    }
}

TEST_F(DistributionPlot, ACurveOfZerosIsDrawnOnMinusOneToOne)
{
    // A flat profile: -ln[L] is 0 everywhere once relative to the mode.
    open(recordOf({2, 3, 4}, {5, 5, 5}));
    plot(1);
    EXPECT_EQ(caption("lblGraphMax"), "Max =  1.0\nMin =  -1.0");
    for (const PlotPrimitive& p : drawn(Kind::Circle))
        EXPECT_EQ(p.y1, 3600.0);
}

TEST_F(DistributionPlot, ReferenceLinesMarkZeroAndOneInsideTheProfile)
{
    open(tenPoints()); // -0.5 .. 4: X(0) = 720 + 0.5 x 1440, X(1) = 720 + 1.5 x 1440
    plot(1);
    const std::vector<PlotPrimitive> references = dottedLines();
    ASSERT_EQ(references.size(), 2u);
    EXPECT_EQ(references[0], (PlotPrimitive{Kind::Line, 1440, 480, 1440, 6720, 0, 0, LineStyle::Dotted, ""}));
    EXPECT_EQ(references[1], (PlotPrimitive{Kind::Line, 2880, 480, 2880, 6720, 0, 0, LineStyle::Dotted, ""}));
    EXPECT_EQ(caption("lblVerticalLine"), "Left vertical line locates 0\nRight vertical line locates 1");

    open(recordOf({-1, 0.5, 0.75}, {1, 0, 1}));
    plot(1);
    EXPECT_EQ(dottedLines().size(), 1u);
    EXPECT_EQ(caption("lblVerticalLine"), "Note: Vertical line locates 0");
    open(recordOf({0.5, 1, 1.5}, {1, 0, 1}));
    plot(1);
    EXPECT_EQ(dottedLines().size(), 1u);
    EXPECT_EQ(caption("lblVerticalLine"), "Note: Vertical line locates 1");
}

TEST_F(DistributionPlot, ConfidenceAndCumulativeCurvesCarryThe95PercentLine)
{
    open(recordOf({2, 3, 4, 5, 6}, {2, 0.5, 0, 0.5, 2}));
    for (int curve = 3; curve <= 6; ++curve) {
        window->cmdClear_Click();
        plot(curve);
        const std::vector<PlotPrimitive> dotted = dottedLines();
        ASSERT_EQ(dotted.size(), 1u) << curve;
        EXPECT_EQ(dotted[0], (PlotPrimitive{Kind::Line, 720, 792, 7200, 792, 0, 0, LineStyle::Dotted, ""}));
        EXPECT_EQ(caption("lblConfidenceInterval"), "< 95% CI >");
    }
    for (int curve : {1, 2, 7}) {
        window->cmdClear_Click();
        plot(curve);
        EXPECT_TRUE(dottedLines().empty()) << curve;
        EXPECT_EQ(caption("lblConfidenceInterval"), "");
    }
}

TEST_F(DistributionPlot, CurveTwoShowsTheEstimatesBesideTheGraph)
{
    const DistributionProfile d = recordOf({2, 3, 4, 5, 6}, {2, 0.5, 0, 0.25, 1});
    open(d);
    plot(2);
    EXPECT_EQ(caption("lblPlotInfo"),
              "ML Estimate: \nEV Estimate:\nEstimated Diff:\nPercent Diff:\nEstimated SE:");
    EXPECT_EQ(caption("lblPlotInfoValues"),
              formatNumber(d.modeValue, "0.000E+00") + "\n" + formatNumber(d.meanValue, "0.000E+00") + "\n" +
                  formatNumber(d.modeMinusMean, "0.000E+00") + "\n" +
                  formatNumber(100 * d.modeMinusMean / d.meanValue, "0.000E+00") + "\n" +
                  formatNumber(d.estimatedSE, "0.000E+00"));
    // The values stand 50 twips right of the names (15 characters wide).
    const double namesLeft = window->graphCaption("lblPlotInfo").left;
    EXPECT_EQ(window->graphCaption("lblPlotInfoValues").left, namesLeft + 15 * textCharacterWidth + 50);
    plot(1);
    EXPECT_NE(caption("lblPlotInfo"), "") << "curve 1 leaves the estimates of curve 2";
}

TEST_F(DistributionPlot, EstimatesThatWouldReachBeyondTheGraphMoveLeftByTheOvershoot)
{
    // Values near 1E+100 are written with three exponent digits: "-1.000E+100" is 11 characters.
    DistributionProfile d = recordOf({-3e100, -2e100, -1e100}, {2, 0, 1});
    open(d);
    plot(2);
    const double namesWidth = 15 * textCharacterWidth;
    const double valuesWidth = textWidth(caption("lblPlotInfoValues"));
    const double unmoved = 5400 + namesWidth + 50;
    const double overshoot = unmoved + valuesWidth - distributionPlot::graphWidth;
    ASSERT_GT(overshoot, 0.0);
    EXPECT_EQ(window->graphCaption("lblPlotInfo").left, 5400 - overshoot - 150);
    EXPECT_EQ(window->graphCaption("lblPlotInfoValues").left, unmoved - overshoot - 150);
    EXPECT_LE(window->graphCaption("lblPlotInfoValues").left + valuesWidth, distributionPlot::graphWidth);
}

TEST_F(DistributionPlot, AMeanOfZeroShowsThePercentDifferenceAsUndefined)
{
    open(recordOf({-1, 0, 1}, {1, 0, 1}));
    plot(2);
    EXPECT_NE(caption("lblPlotInfoValues").find("\nundefined\n"), std::string::npos)
        << caption("lblPlotInfoValues");
}

TEST_F(DistributionPlot, CheckBoxRulesAndDropLines)
{
    open(recordOf({2, 3, 4}, {1, 0, 4}));
    window->checkBoxClicked("Check_Drop", true);
    EXPECT_FALSE(window->control("Check_Line").checked);
    EXPECT_FALSE(window->control("Check_Scatter").checked);
    plot(1);
    EXPECT_EQ(drawn(Kind::Circle).size(), 3u) << "points are drawn with drop lines";
    const std::vector<PlotPrimitive> drops = linesIn(2);
    ASSERT_EQ(drops.size(), 3u) << "no connecting lines, one drop per point";
    EXPECT_EQ(drops[0], (PlotPrimitive{Kind::Line, 720, 5160, 720, 6720, 0, 2, LineStyle::Solid, ""}));

    window->checkBoxClicked("Check_Line", true);
    EXPECT_FALSE(window->control("Check_Drop").checked);
    window->checkBoxClicked("Check_Drop", true);
    window->checkBoxClicked("Check_Scatter", true);
    EXPECT_FALSE(window->control("Check_Drop").checked);
    EXPECT_FALSE(window->control("Check_Line").checked) << "ticking points leaves lines as they were";

    window->checkBoxClicked("Check_Scatter", false);
    window->cmdClear_Click();
    plot(1);
    EXPECT_TRUE(drawn(Kind::Circle).empty());
    EXPECT_TRUE(linesIn(2).empty()) << "nothing ticked draws nothing but the labels";
}

TEST_F(DistributionPlot, CurvesOverlayUntilClearWhichResetsTheCaptions)
{
    open(tenPoints());
    plot(2);
    plot(7);
    EXPECT_EQ(linesIn(3).size(), 9u);
    EXPECT_EQ(linesIn(4).size(), 9u);
    EXPECT_EQ(caption("lblVar"), "Y: Gaussian Probability Distribution\nX: Values for parameter # 3");
    window->cmdClear_Click();
    EXPECT_EQ(drawn(Kind::Line).size(), 20u) << "the grid marks alone";
    EXPECT_TRUE(drawn(Kind::Circle).empty());
    for (const char* name : {"lblXEnd", "lblXStart", "lblPlotInfo", "lblPlotInfoValues", "lblGraphMax",
                             "lblVerticalLine", "lblVar", "lblConfidenceInterval"})
        EXPECT_EQ(caption(name), "") << name;
    EXPECT_EQ(window->graphCaption("lblXEnd").left, 7000.0);
    EXPECT_EQ(window->graphCaption("lblXStart").left, 520.0);

    // A double click on the list draws too.
    window->listDoubleClicked("listVar", 0);
    EXPECT_EQ(linesIn(2).size(), 9u);
}

TEST_F(DistributionPlot, AProfileOfNoWidthDrawsNothing)
{
    DistributionProfile d = recordOf({2, 3, 4}, {1, 0, 1});
    d.pointValues[3] = 2.0;
    open(d);
    plot(1);
    EXPECT_EQ(drawn(Kind::Line).size(), 20u);
    EXPECT_TRUE(drawn(Kind::Circle).empty());
    EXPECT_EQ(caption("lblGraphMax"), "");
}

TEST_F(DistributionPlot, DoneAndTheCloseBoxCloseTheWindow)
{
    open(tenPoints());
    window->cmdDone_Click();
    window->closeRequested();
    EXPECT_EQ(closes, 2);
}

TEST(OpenDistributionPlot, IsModalUntilTheUserClosesIt)
{
    const DistributionProfile d = tenPoints();
    Desktop desktop;
    testing::ScriptedUi ui;
    int yields = 0;
    ui.onYield = [&] {
        ++yields;
        auto* window = desktop.find<DistributionPlotWindow>(distributionPlot::windowName);
        ASSERT_NE(window, nullptr);
        if (yields == 2)
            window->cmdDone_Click();
    };
    openDistributionPlot(d, 1, DistributionSource::LikelihoodProfile, desktop, ui, {});
    EXPECT_EQ(yields, 2);
    EXPECT_FALSE(desktop.isOpen(distributionPlot::windowName));

    // The program ends while it is open: the window is closed and the opener goes on.
    bool ended = false;
    ui.onYield = [&] { ended = true; };
    openDistributionPlot(d, 1, DistributionSource::LikelihoodProfile, desktop, ui, [&] { return ended; });
    EXPECT_FALSE(desktop.isOpen(distributionPlot::windowName));
}

TEST(DistributionPlotPicture, HoldsTheCaptionsAsTextsForTheSvg)
{
    const DistributionProfile d = tenPoints();
    DistributionPlotWindow window(d, 1, DistributionSource::LikelihoodProfile, [] {});
    window.listClicked("listVar", 1);
    window.cmdPlot_Click();
    const std::string svg = writeSvg(window.picture());
    EXPECT_NE(svg.find(">ML Estimate: </text>"), std::string::npos);
    EXPECT_NE(svg.find(">Y: Parameter Confidence Distribution</text>"), std::string::npos);
}

} // namespace
} // namespace orvanta
