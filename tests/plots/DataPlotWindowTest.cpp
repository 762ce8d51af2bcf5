#include "plots/DataPlotWindow.h"

#include "support/ScriptedUi.h"
#include "ui/Desktop.h"

#include <gtest/gtest.h>

namespace orvanta {
namespace {

using Kind = PlotPrimitive::Kind;

// A page of series over records 1..n (rows of values, one column per series).
DataPlotPage pageOf(const std::vector<std::vector<double>>& rows, double firstLabel = 1.0,
                    double lastLabel = 0.0)
{
    const int n = static_cast<int>(rows.size());
    const int series = static_cast<int>(rows.front().size());
    DataPlotPage page = DataPlotPage::sized(series, n);
    page.pageLabel = " 1";
    page.indexName = "Data Record Index";
    for (int s = 1; s <= series; ++s)
        page.seriesNames[s] = "series " + std::to_string(s);
    for (int a = 1; a <= n; ++a)
        for (int s = 1; s <= series; ++s)
            page.setValue(a, s, rows[a - 1][s - 1]);
    page.indexFirstLabel = firstLabel;
    page.indexLastLabel = lastLabel == 0.0 ? n : lastLabel;
    return page;
}

class DataPlot : public ::testing::Test {
protected:
    DataPlotWindow& open(DataPlotPage page)
    {
        window = std::make_unique<DataPlotWindow>(std::move(page), [this] { ++closes; });
        return *window;
    }

    std::vector<PlotPrimitive> drawn(Kind kind) const { return window->graph().primitivesOf(kind); }

    // The lines drawn in a colour (the grid marks are black).
    std::vector<PlotPrimitive> linesIn(int colour) const
    {
        std::vector<PlotPrimitive> found;
        for (const PlotPrimitive& p : drawn(Kind::Line))
            if (p.colour == colour)
                found.push_back(p);
        return found;
    }

    std::string caption(const char* name) const { return window->graphCaption(name).caption; }

    void tick(const char* box) { window->checkBoxClicked(box, true); }
    void selectX(int entry) { window->listClicked("listXVar", entry); }
    void selectY(int entry) { window->listClicked("listYVar", entry); }
    void type(const char* box, const char* text) { window->textEdited(box, text); }

    std::unique_ptr<DataPlotWindow> window;
    int closes = 0;
};

TEST_F(DataPlot, LoadingFillsTheListsAndClears)
{
    DataPlotWindow& w = open(pageOf({{1, 2}, {2, 4}, {3, 6}}, 12.5, 32.5));
    EXPECT_EQ(w.caption(), "Data and prediction plots");
    EXPECT_EQ(w.control("lblGraphPage").caption, "Page:   1");
    EXPECT_EQ(w.control("listXVar").items,
              (std::vector<std::string>{"Data Record Index", "series 1", "series 2"}));
    EXPECT_EQ(w.control("listYVar").items, (std::vector<std::string>{"series 1", "series 2"}));
    EXPECT_EQ(w.control("listXVar").selected, 0);
    EXPECT_TRUE(w.control("Check_Line").checked);
    EXPECT_TRUE(w.control("Check_Scatter").checked);
    EXPECT_FALSE(w.control("Check_Drop").checked);
    // Index mode: the X boxes show record and label and are disabled, one-way lines too.
    EXPECT_EQ(w.control("txtXmin").text, "1 (12.5)");
    EXPECT_EQ(w.control("txtXmax").text, "3 (32.5)");
    EXPECT_FALSE(w.control("txtXmin").enabled);
    EXPECT_FALSE(w.control("Check_Line_LtoR").enabled);
    EXPECT_TRUE(w.control("Check_Drop").enabled);
    // Grid marks: 10 ticks on each axis.
    ASSERT_EQ(drawn(Kind::Line).size(), 20u);
    EXPECT_EQ(drawn(Kind::Line)[1],
              (PlotPrimitive{Kind::Line, 7200, 6720, 7200, 6620, 0, 0, LineStyle::Solid, ""}));
    EXPECT_EQ(w.plotCount(), 0);
    EXPECT_EQ(w.gridToggle(8), -1);
}

TEST_F(DataPlot, ConstantSeriesIsDrawnOnMinusOneToOne)
{
    DataPlotWindow& w = open(pageOf({{0}, {0}, {0}}));
    w.cmdPlot_Click();
    EXPECT_EQ(caption("lblGraphMax"), "Y-Max =   1\nY-Min =  -1");
    const auto circles = drawn(Kind::Circle);
    ASSERT_EQ(circles.size(), 3u);
    EXPECT_EQ(circles[0].y1, 3600.0); // Y(0) on -1..1
    EXPECT_EQ(circles[2].x1, 7200.0);
    EXPECT_EQ(circles[0].radius, 30.0);
    EXPECT_EQ(circles[0].colour, 1);
    // The boxes keep their text; the dashed zero line is drawn.
    EXPECT_EQ(w.control("txtYmax").text, "0");
    EXPECT_EQ(caption("lblYZero"), "Horizontal dashed line shows Y=0");
    EXPECT_EQ(caption("lblXStart"), "1");
    EXPECT_EQ(caption("lblXEnd"), "3");
}

TEST_F(DataPlot, SeriesModeRanges)
{
    struct Case {
        double x;
        const char* boxes; // both X boxes; empty: as the list left them (0)
        const char* caption;
        double circleX;
    };
    const Case cases[] = {
        {5, "", "X-Max =   5\nX-Min =   0", 7200},
        {5, "5", "X-Max =   5.5\nX-Min =   4.5", 3960},
        {-2, "-2", "X-Max =  -2.2\nX-Min =  -1.8", 3960},
    };
    for (const Case& c : cases) {
        DataPlotWindow& w = open(pageOf({{c.x, 1}, {c.x, 2}, {c.x, 3}}));
        selectX(1);
        selectY(1);
        w.cmdClear_Click(); // empty X boxes: the page's scaling, 0 and 0
        if (*c.boxes) {
            type("txtXmin", c.boxes);
            type("txtXmax", c.boxes);
        }
        w.cmdPlot_Click();
        EXPECT_EQ(caption("lblXMaxMin"), c.caption) << c.x << " " << c.boxes;
        ASSERT_FALSE(drawn(Kind::Circle).empty());
        EXPECT_NEAR(drawn(Kind::Circle)[0].x1, c.circleX, 1e-9) << c.x << " " << c.boxes;
        EXPECT_EQ(caption("lblGraphMax"), "");
    }
    // The widened range is written back into the boxes.
    EXPECT_EQ(window->control("txtXmax").text, "-2.2");
    EXPECT_EQ(window->control("txtXmin").text, "-1.8");
}

TEST_F(DataPlot, MissingValuesBreakTheLine)
{
    DataPlotWindow& w = open(pageOf({{1}, {2}, {noValue}, {4}, {5}}));
    w.cmdPlot_Click();
    const auto lines = linesIn(1);
    ASSERT_EQ(lines.size(), 2u);
    // 1 -> 2, then 4 -> 5: records 2 and 4 have no segment to or from record 3.
    EXPECT_EQ(lines[0].x1, 720.0);
    EXPECT_EQ(lines[0].x2, 720.0 + 6480.0 / 4);
    EXPECT_EQ(lines[1].x1, 720.0 + 3 * 6480.0 / 4);
    EXPECT_EQ(drawn(Kind::Circle).size(), 4u);
}

TEST_F(DataPlot, RightwardLinesSkipStepsBack)
{
    DataPlotWindow& w = open(pageOf({{1, 1}, {3, 2}, {2, 3}, {4, 4}, {4, 5}}));
    selectX(1);
    selectY(1);
    w.cmdClear_Click();
    tick("Check_Line_LtoR");
    EXPECT_FALSE(w.control("Check_Line").checked);
    w.cmdPlot_Click();
    const auto X = [](double x) { return 720.0 + (x - 0.0) * 6480.0 / 4.0; };
    const auto lines = linesIn(1);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].x1, X(1));
    EXPECT_EQ(lines[0].x2, X(3));
    EXPECT_EQ(lines[1].x1, X(2)); // the step back moved the pen only
    EXPECT_EQ(lines[1].x2, X(4));
    EXPECT_EQ(lines[2].x1, X(4)); // equal x values are connected
    EXPECT_EQ(lines[2].x2, X(4));

    tick("Check_Line_RtoL");
    EXPECT_FALSE(w.control("Check_Line_LtoR").checked);
    w.cmdPlot_Click();
    const auto leftward = linesIn(2);
    ASSERT_EQ(leftward.size(), 2u);
    EXPECT_EQ(leftward[0].x1, X(3));
    EXPECT_EQ(leftward[0].x2, X(2));
    EXPECT_EQ(leftward[1].x2, X(4));
}

TEST_F(DataPlot, GridTogglesDrawAndEraseAndCountAsPlots)
{
    DataPlotWindow& w = open(pageOf({{1}, {2}, {3}}));
    tick("Check_8X8");
    EXPECT_FALSE(w.control("Check_Line").checked);
    EXPECT_FALSE(w.control("Check_Scatter").checked);
    w.cmdPlot_Click();
    const auto dotted = [this](int colour) {
        int count = 0;
        for (const PlotPrimitive& p : drawn(Kind::Line))
            count += p.style == LineStyle::Dotted && p.colour == colour;
        return count;
    };
    EXPECT_EQ(dotted(0), 14);
    EXPECT_EQ(w.gridToggle(8), 1);
    w.cmdPlot_Click();
    EXPECT_EQ(dotted(15), 14); // erased in white
    EXPECT_EQ(w.gridToggle(8), -1);
    EXPECT_EQ(w.plotCount(), 2);

    tick("Check_10X10");
    w.cmdPlot_Click();
    EXPECT_EQ(dotted(0), 14 + 18);
    // The next plot takes the fourth colour.
    tick("Check_Scatter");
    w.cmdPlot_Click();
    EXPECT_EQ(drawn(Kind::Circle).front().colour, 4);
}

TEST_F(DataPlot, DropLinesDrawCirclesTooAndTheDistributionOfX)
{
    DataPlotWindow& w = open(pageOf({{1}, {3}}, 10, 20));
    tick("Check_Drop");
    EXPECT_FALSE(w.control("Check_Scatter").checked);
    EXPECT_FALSE(w.control("Check_Line").checked);
    w.cmdPlot_Click();
    EXPECT_EQ(drawn(Kind::Circle).size(), 2u);
    const auto drops = linesIn(1);
    ASSERT_EQ(drops.size(), 2u);
    EXPECT_EQ(drops[1].y2, 6720.0);
    EXPECT_EQ(drops[1].x1, drops[1].x2);
    // Two points: no correlation lines; x weighted by y: mean (10 + 60) / 4 = 17.5, variance
    // (100 + 1200) / 4 - 17.5^2 = 18.75; index mode writes the mean with "#0.0000#".
    EXPECT_EQ(w.control("lblCorr").caption,
              "Distribution of X:\n      Mean = 17.5000\n      SD = 4.3301\n      Var = 18.7500");
}

TEST_F(DataPlot, PointsGiveCorrelationAndScatterOfY)
{
    DataPlotWindow& w = open(pageOf({{1}, {2}, {4}}));
    w.cmdPlot_Click();
    // x = 1, 2, 3; y = 1, 2, 4: r = 0.9820, s = sqrt(1 - r^2) / 1; mean 7/3, variance 7/3.
    EXPECT_EQ(w.control("lblCorr").caption,
              "r  = 0.9820\ns\xC2\xB0 = 0.1890\n\nScatter of Y:\n      Mean = 2.3333\n"
              "      SD = 1.5275\n      Var = 2.3333");
}

TEST_F(DataPlot, ColoursCycleThroughFifteenCodesWithoutWhite)
{
    DataPlotWindow& w = open(pageOf({{1}, {2}}));
    std::vector<int> colours;
    for (int i = 0; i < 16; ++i) {
        w.cmdPlot_Click();
        colours.push_back(drawn(Kind::Circle).back().colour);
    }
    EXPECT_EQ(colours, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 0, 1}));
    w.cmdClear_Click();
    EXPECT_EQ(w.plotCount(), 0);
    EXPECT_EQ(w.graph().primitives().front().kind, Kind::Clear);
    w.cmdPlot_Click();
    EXPECT_EQ(drawn(Kind::Circle).back().colour, 1);
}

TEST_F(DataPlot, OneRecordGetsASecondBeyondTheData)
{
    DataPlotWindow& w = open(pageOf({{2}}, 7.5, 7.5));
    w.cmdPlot_Click();
    EXPECT_EQ(w.page().lastRecord, 2);
    EXPECT_EQ(caption("lblXEnd"), "8.5");
    ASSERT_EQ(drawn(Kind::Circle).size(), 1u);
    EXPECT_EQ(drawn(Kind::Circle)[0].x1, 720.0);
}

TEST_F(DataPlot, SelectingAYSeriesFillsOnlyEmptyBoxes)
{
    DataPlotPage page = pageOf({{1, 10}, {2, 20}});
    page.seriesMin = {0, 0.5, 5};
    page.seriesMax = {0, 2.5, 1.0 / 3.0};
    DataPlotWindow& w = open(page);
    EXPECT_EQ(w.control("txtYmin").text, "0.5");
    type("txtYmin", "");
    selectY(1);
    EXPECT_EQ(w.control("txtYmin").text, "5");
    EXPECT_EQ(w.control("txtYmax").text, "2.5");
    w.cmdClear_Click();
    EXPECT_EQ(w.control("txtYmax").text, "0.333333"); // boxed: six decimals
}

TEST_F(DataPlot, NextPageAndTheCloseBoxCloseQuitAlsoStopsThePages)
{
    DataPlotWindow& w = open(pageOf({{1}}));
    w.cmdNext_Page_Click();
    EXPECT_EQ(closes, 1);
    w.closeRequested();
    EXPECT_EQ(closes, 2);
    EXPECT_TRUE(w.plotPagesWanted());
    w.cmdCancel_Click();
    EXPECT_EQ(closes, 3);
    EXPECT_FALSE(w.plotPagesWanted());
}

TEST(OpenDataPlotPage, WaitsUntilTheUserClosesThePage)
{
    Desktop desktop;
    testing::ScriptedUi ui;
    int yields = 0;
    bool sawWindow = false;
    ui.onYield = [&] {
        ++yields;
        auto* w = desktop.find<DataPlotWindow>("frmXYPlot");
        sawWindow = w != nullptr;
        if (w && yields == 3)
            w->cmdNext_Page_Click();
    };
    EXPECT_TRUE(openDataPlotPage(pageOf({{1}, {2}}), desktop, ui, [] { return false; }));
    EXPECT_TRUE(sawWindow);
    EXPECT_EQ(yields, 3);
    EXPECT_FALSE(desktop.isOpen("frmXYPlot"));

    ui.onYield = [&] { desktop.find<DataPlotWindow>("frmXYPlot")->cmdCancel_Click(); };
    EXPECT_FALSE(openDataPlotPage(pageOf({{1}, {2}}), desktop, ui, [] { return false; }));

    bool ended = false;
    ui.onYield = [&] { ended = true; };
    EXPECT_FALSE(openDataPlotPage(pageOf({{1}, {2}}), desktop, ui, [&] { return ended; }));
    EXPECT_FALSE(desktop.isOpen("frmXYPlot"));
}

TEST(DefaultPlots, EverySeriesInIndexModeWithLinesAndPoints)
{
    DataPlotWindow w(pageOf({{1, 5}, {2, 6}, {3, 7}}), [] {});
    drawDefaultPlots(w);
    EXPECT_EQ(w.plotCount(), 2);
    int circles[16] = {};
    for (const PlotPrimitive& p : w.graph().primitivesOf(Kind::Circle))
        ++circles[p.colour];
    EXPECT_EQ(circles[1], 3);
    EXPECT_EQ(circles[2], 3);
    const auto texts = w.graph().primitivesOf(Kind::Text);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].text, "Page:   1");
    EXPECT_EQ(texts[1].text, "series 1");
    EXPECT_EQ(texts[1].colour, 1);
    EXPECT_EQ(texts[2].text, "series 2");
    EXPECT_EQ(texts[2].colour, 2);
}

} // namespace
} // namespace orvanta
