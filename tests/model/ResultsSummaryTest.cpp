#include "model/ResultsSummary.h"

#include "SummaryFixture.h"
#include "text/NumberText.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orvanta {
namespace {

using testing::SummaryTest;

constexpr const char* aiccPrefix =
    "The Akaike Information Criterion (AICc, Hurvich and Tsai 1989, Biometrika 76: 297-307) is: ";

// The number at the end of a report line.
double trailingNumber(const std::string& line)
{
    return std::stod(line.substr(line.find_last_of(' ') + 1));
}

TEST_F(SummaryTest, FrequencyReportHasItsLinesInOrder)
{
    frequenciesOnly();
    ui.answer(Answer::No).type("").answer(Answer::No).answer(Answer::OK);
    const std::string report = summarize();
    const ModelState& s = model.state();

    ASSERT_EQ(report.rfind(TarnfieldModel::documentationText(), 0), 0u);
    const std::string rest = report.substr(TarnfieldModel::documentationText().size());
    const std::string objective = formatNumber(s.bestObjective, "0.0000E+00");
    const std::vector<std::string> expected = {
        "This is an analysis of size frequencies only",
        "",
        "Analysis of size frequency data begins at cell # 1",
        "The observed frequency of individuals is:        105",
        "The size frequency interval is:                  10",
        "",
        "The size frequency data file name is:",
        "/data/freq.dat",
        "The algorithm data file name is:",
        "/data/fit.alg",
        "",
        "",
        "The objective function minimum is:               " + objective,
        "",
    };
    const std::vector<std::string> got = lines(rest);
    ASSERT_GE(got.size(), expected.size() + 29);
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(got[i], expected[i]) << "line " << i;
    EXPECT_EQ(
        got[14].rfind("The value of the multinomial -2ln[L] (including the data constant) for the frequency "
                      "data is: ",
                      0),
        0u);
    EXPECT_EQ(got[15], "");
    EXPECT_EQ(got[16], "The number of free parameters is:                  5");
    EXPECT_EQ(got[17], "");
    EXPECT_EQ(got[18].rfind(aiccPrefix, 0), 0u);
    EXPECT_EQ(got[19], "");
    EXPECT_EQ(got[20], "Note: Not necessarily all 20 parameters are active for this analysis.");
    EXPECT_EQ(got[21], "Note: All parameters except t0 are treated as positive numbers.");
    EXPECT_EQ(got[22], "");
    EXPECT_EQ(got[23],
              "Parameter #  1 estimate:        60.0000000 mean of L-infinity (at max of annual cycle) [0]");
    EXPECT_EQ(got[25], "Parameter #  3 estimate:         0.4000000 mean of k (at max of annual cycle) [0]");
    EXPECT_EQ(got[40],
              "Parameter # 18 estimate:      -999.0000000 t0 (estimated only if analyzing size-at-age "
              "(years) data as increments) [-999]");
    EXPECT_EQ(got.size(), 43u);

    // The closing message, and the window shows the report.
    EXPECT_EQ(ui.messages().back().text, "Summary complete");
    EXPECT_EQ(ui.messages().back().title, "Summary");
    EXPECT_EQ(ui.messages().back().icon, Icon::Information);
    EXPECT_EQ(host.summaryText, report);
    EXPECT_EQ(host.progress.back(), "");
}

TEST_F(SummaryTest, MultinomialLineAddsTheDataConstant)
{
    frequenciesOnly();
    ui.answer(Answer::No).type("").answer(Answer::No).answer(Answer::OK);
    const std::string report = summarize();
    // By hand: N ln N - ln N! + sum of (ln o! - o ln o) over the cells 5, 20, 40, 30, 10.
    double constant = 105.0 * std::log(105.0) - std::lgamma(106.0);
    for (double o : {5.0, 20.0, 40.0, 30.0, 10.0})
        constant += std::lgamma(o + 1.0) - o * std::log(o);
    const double expected = model.state().bestFrequencyPart2 + 2.0 * constant;
    const double printed = trailingNumber(lineStarting(report, "The value of the multinomial"));
    EXPECT_NEAR(printed, expected, 1e-4 * std::fabs(expected));
}

TEST_F(SummaryTest, AiccCountsParametersWithStepsAndChangesWhenOneIsFixed)
{
    frequenciesOnly();
    ui.answer(Answer::No).type("").answer(Answer::No).answer(Answer::OK);
    const std::string free5 = lineStarting(summarize(), aiccPrefix);
    const double objective = model.state().bestObjective;
    // k = 5, n = 105 + 0 records.
    EXPECT_EQ(free5, aiccPrefix + formatNumber(objective + 2.0 * 5 * 105 / (105.0 - 5 - 1), "0.0000E+00"));

    steps[2] = 0; // fix the SD of L-infinity
    ui.answer(Answer::No).type("").answer(Answer::No).answer(Answer::OK);
    const std::string report = summarize();
    EXPECT_TRUE(hasLine(report, "The number of free parameters is:                  4"));
    EXPECT_EQ(lineStarting(report, aiccPrefix),
              aiccPrefix + formatNumber(objective + 2.0 * 4 * 105 / (105.0 - 4 - 1), "0.0000E+00"));
    EXPECT_NE(lineStarting(report, aiccPrefix), free5);
}

TEST_F(SummaryTest, AiccWithoutDegreesOfFreedomIsUndefined)
{
    incrementsOnly(); // n = 3 records, k = 5
    ui.answer(Answer::No).type("").answer(Answer::No).answer(Answer::OK);
    EXPECT_EQ(lineStarting(summarize(), aiccPrefix), std::string(aiccPrefix) + "undefined");
    EXPECT_EQ(aicc(10.0, 2, 3.0), std::nullopt);
    EXPECT_EQ(aicc(10.0, 2, 4.0), 10.0 + 2.0 * 2 * 4 / 1.0);
}

TEST_F(SummaryTest, CombinedReportHasTheCombinedObjectiveLineOnly)
{
    ui.answer(Answer::No).type("").answer(Answer::No).answer(Answer::No).answer(Answer::OK);
    const std::string report = summarize();
    const ModelState& s = model.state();
    EXPECT_TRUE(hasLine(report,
                        "This is a combined analysis of growth increment data and size frequency data; the "
                        "error distribution of growth increments is Gaussian"));
    EXPECT_TRUE(hasLine(
        report, "The OF minimum is: " + formatNumber(s.bestObjective, "0.0000E+00") +
                    " where the size frequency OF = " + formatNumber(s.bestFrequencyPart2, "0.0000E+00") +
                    " and the increment OF = " + formatNumber(s.bestIncrementPart2, "0.0000E+00")));
    EXPECT_EQ(lineStarting(report, "The objective function minimum is:"), "");
    EXPECT_NE(lineStarting(report, "The value of the multinomial"), "");
    // The increment file and count follow the frequency file; n = 105 + 3.
    EXPECT_NE(
        report.find("/data/freq.dat\nThe growth increment data file name is:\n/data/inc.dat\n\n"
                    "The number of growth increment records is:       3\n\nThe algorithm data file name is:"),
        std::string::npos);
    EXPECT_EQ(lineStarting(report, aiccPrefix),
              aiccPrefix + formatNumber(s.bestObjective + 2.0 * 5 * 108 / (108.0 - 5 - 1), "0.0000E+00"));
    // Questions in order: plots, simulations, frequency table, increment table, closing message.
    const auto shown = ui.shown();
    ASSERT_EQ(shown.size(), 5u);
    EXPECT_EQ(shown[0].title, "Model results");
    EXPECT_EQ(shown[0].text, "Choose 'Yes' to see increment and/or frequency plots then a summary\n\nChoose "
                             "'No' if you only want a summary");
    EXPECT_EQ(shown[1].title, "More simulations improve chi-square estimate");
    EXPECT_EQ(shown[1].text, "Please enter the number of simulations for chi-square calculation:");
    EXPECT_EQ(shown[2].title, "Frequency Summary");
    EXPECT_EQ(shown[3].title, "Increment Summary");
    EXPECT_EQ(shown[3].text, "Do you want to view the increment data?");
}

TEST_F(SummaryTest, IncrementsOnlyAsksNoFrequencyQuestionAndNamesGammaErrors)
{
    incrementsOnly();
    model.state().incrementErrorType = IncrementErrorType::Gamma;
    ui.answer(Answer::No).type("").answer(Answer::No).answer(Answer::OK);
    const std::string report = summarize();
    EXPECT_TRUE(hasLine(report,
                        "This is an analysis of growth increment data only; the error distribution of "
                        "growth increments is gamma"));
    EXPECT_EQ(lineStarting(report, "The value of the multinomial"), "");
    EXPECT_EQ(lineStarting(report, "Analysis of size frequency data"), "");
    for (const auto& message : ui.messages())
        EXPECT_NE(message.title, "Frequency Summary");
    // "I" puts an empty line before the increment file.
    EXPECT_NE(report.find("gamma\n\nThe growth increment data file name is:"), std::string::npos);
}

TEST_F(SummaryTest, FrequencyTableCumulatesFromTheFirstCell)
{
    frequenciesOnly();
    FrequencyData& f = model.state().frequencies;
    f.firstCell = 2;
    f.N -= f.observed[1];
    f.observed[1] = 0; // cells before the first one are read as 0
    ui.answer(Answer::No).type("").answer(Answer::Yes).answer(Answer::OK);
    const std::string report = summarize();
    const CellArray& e = model.state().bestPredicted;
    const std::string header =
        "\nSize frequency data:\n\n"
        "            ,            ,            ,  Cumulative,  Cumulative,      Absolute\n"
        "            ,    Observed,    Expected,    Observed,    Expected,      Value of\n"
        "    Midpoint,   Frequency,   Frequency,        (CO),        (CE),         CO-CE\n\n";
    ASSERT_NE(report.find(header), std::string::npos);
    const auto row = [](double mid, double o, double pred, double CO, double CE) {
        return padToWidth(formatNumber(mid, "#####0.000"), 12) + "," +
               padToWidth(formatNumber(o, "#####0.00"), 12) + "," +
               padToWidth(formatNumber(pred, "#####0.00"), 12) + "," +
               padToWidth(formatNumber(CO, "#####0.00"), 12) + "," +
               padToWidth(formatNumber(CE, "#####0.00"), 12) + "," +
               padToWidth(formatNumber(std::fabs(CO - CE), "####0.00"), 14);
    };
    EXPECT_TRUE(hasLine(report, row(5, 0, e[1], 0, 0)));
    EXPECT_TRUE(hasLine(report, row(15, 20, e[2], 20, e[2])));
    EXPECT_TRUE(hasLine(report, row(25, 40, e[3], 60, e[2] + e[3])));
    EXPECT_TRUE(hasLine(report, "       5.000,        0.00," +
                                    padToWidth(formatNumber(e[1], "#####0.00"), 12) +
                                    ",        0.00,        0.00,          0.00"));
    EXPECT_TRUE(hasLine(report, "Analysis of size frequency data begins at cell # 2"));
    EXPECT_EQ(report.substr(report.size() - 1), "\n");
}

TEST_F(SummaryTest, NegativeSimulationCountAsksAgainAndEmptyMeansNone)
{
    frequenciesOnly();
    ui.answer(Answer::No).type("-3").type("").answer(Answer::No).answer(Answer::OK);
    summarize();
    int prompts = 0;
    for (const auto& shown : ui.shown())
        prompts += shown.kind == testing::Interaction::Kind::Text;
    EXPECT_EQ(prompts, 2);
    // With no simulations no chi-square question is asked.
    for (const auto& message : ui.messages())
        EXPECT_NE(message.title, "Frequency Chi-square");
}

TEST_F(SummaryTest, PriorsAddTheirNoteAndFileName)
{
    frequenciesOnly();
    host.sessionState.priorsFileName = "/data/fit.pri";
    ui.answer(Answer::No).type("").answer(Answer::No).answer(Answer::OK);
    const std::string report = summarize();
    EXPECT_NE(
        report.find("frequencies only\n\nImportant note: This analysis used Bayesian prior information\n"),
        std::string::npos);
    EXPECT_NE(
        report.find("/data/fit.alg\n\nThe Bayesian prior information file name is:\n/data/fit.pri\n\nThe "
                    "objective"),
        std::string::npos);
}

TEST_F(SummaryTest, IncrementTableHeadersForTaggingAndSizeAtAge)
{
    incrementsOnly();
    ui.answer(Answer::No).type("").answer(Answer::Yes).answer(Answer::OK);
    const std::string tagging = summarize();
    EXPECT_TRUE(hasLine(tagging,
                        "Record,     Size, Increment, Increment,  Increment,         Error, Variance,  "
                        "L-infinity,    L-infinity,  Residual,  -2lnL,     Year,     Year,    Large"));
    const ModelState& s = model.state();
    const RecordResult& r = s.recordResults[1];
    const double mv = std::pow(0.05 * (r.meanIncrement + 20.0), 2) + std::pow(0.05 * 20.0, 2);
    const double residual = (8.0 - r.meanIncrement) / std::sqrt(r.incrementVariance + mv);
    const std::string row1 = lineStarting(tagging, "     1,");
    EXPECT_EQ(row1.substr(0, 28), "     1,    20.00,      8.00,");
    EXPECT_EQ(row1.substr(row1.size() - 48), padToWidth(formatNumber(residual, "##0.00"), 10) + "," +
                                                 padToWidth(formatNumber(2.0 * r.recordNll, "##0.00"), 7) +
                                                 ",      100,      465,      365");
    EXPECT_NE(lineStarting(tagging, "     3,"), "");
    EXPECT_EQ(lineStarting(tagging, "     4,"), "");

    values[18] = 0.5; // t0 set: size-at-age records
    ui.answer(Answer::No).type("").answer(Answer::Yes).answer(Answer::OK);
    const std::string sizeAtAge = summarize();
    EXPECT_TRUE(hasLine(sizeAtAge,
                        "      ,  Initial,  Observed,  Expected,   for True,   Measurement,    Total,    "
                        "Expected,   Variance of,     SD of,       ,  Initial,    Final,       of"));
    EXPECT_TRUE(hasLine(sizeAtAge,
                        "Record,     Size, Increment, Increment,  Increment,         Error, Variance,  "
                        "L-infinity,    L-infinity,  Residual,  -2lnL,      Age,      Age,      Age"));
}

TEST_F(SummaryTest, PlotPagesOnePerSetThenTheFrequencies)
{
    ui.answer(Answer::Yes).type("").answer(Answer::No).answer(Answer::No).answer(Answer::OK);
    summarize();
    ASSERT_EQ(host.pages.size(), 3u);
    const DataPlotPage& set1 = host.pages[0];
    EXPECT_EQ(set1.pageLabel, " 1");
    EXPECT_EQ(set1.indexName, "Data Record Index");
    EXPECT_EQ(set1.seriesNames[2], "Observed increment for set 1  ");
    EXPECT_EQ(set1.seriesNames[3], "Predicted increment for set 1  ");
    EXPECT_EQ(set1.lastRecord, 2); // records 1 and 3 of the file
    EXPECT_EQ(set1.value(2, 1), 25.0);
    EXPECT_EQ(set1.value(2, 3), model.state().recordResults[3].meanIncrement);
    EXPECT_EQ(set1.seriesMin[1], 20.0);
    EXPECT_EQ(set1.seriesMax[1], 25.0);
    const DataPlotPage& set2 = host.pages[1];
    EXPECT_EQ(set2.pageLabel, " 2");
    EXPECT_EQ(set2.lastRecord, 1);
    // The search starts from the file's first record (initial size 20) even for set 2.
    EXPECT_EQ(set2.seriesMin[1], 20.0);
    EXPECT_EQ(set2.seriesMax[1], 35.0);
    const DataPlotPage& frequencies = host.pages[2];
    EXPECT_EQ(frequencies.pageLabel, " 3");
    EXPECT_EQ(frequencies.indexName, "Frequency cell midpoint");
    EXPECT_EQ(frequencies.seriesNames[1], "Observed aggregate frequencies     ");
    EXPECT_EQ(frequencies.indexFirstLabel, 5.0);
    EXPECT_EQ(frequencies.indexLastLabel, 55.0);
    EXPECT_EQ(frequencies.seriesMax[1], 40.0); // 32 < 40 (the largest count) <= 40
    EXPECT_EQ(frequencies.seriesMin[2], 0.0);
}

TEST_F(SummaryTest, QuitPlotsSkipsTheRemainingPages)
{
    host.onPage = [](const DataPlotPage&) { return false; };
    ui.answer(Answer::Yes).type("").answer(Answer::No).answer(Answer::No).answer(Answer::OK);
    summarize();
    EXPECT_EQ(host.pages.size(), 1u);
}

TEST_F(SummaryTest, EndingTheProgramDuringThePlotsShowsNothingMore)
{
    host.onPage = [this](const DataPlotPage&) {
        host.ended = true;
        return false;
    };
    ui.answer(Answer::Yes);
    summarize();
    EXPECT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(host.summaryShows, 0);
}

TEST_F(SummaryTest, FrequencyScaleSteps)
{
    // 1, 1.6, 2, 3.2, 4, 5, 6.4, 8, 10, 16, 20: each group of eight steps multiplies by 10.
    frequenciesOnly();
    const double expected[][2] = {{0.5, 1}, {1.5, 1.6}, {3, 3.2}, {6, 6.4},
                                  {7, 8},   {9, 10},    {12, 16}, {100, 100}};
    for (const auto& [largest, scale] : expected) {
        model.state().frequencies.observed[2] = largest;
        model.state().bestPredicted.fill(0.0);
        for (int c : {1, 3, 4, 5, 6})
            model.state().frequencies.observed[c] = 0.0;
        const DataPlotPage page = dataPlotPages(model.state()).back();
        EXPECT_NEAR(page.seriesMax[1], scale, 1e-9) << largest;
    }
}

TEST_F(SummaryTest, ChiSquareReportIsReproducibleWithAFixedSeed)
{
    const auto run = [this](std::uint64_t seed) {
        host.seed = seed;
        ui.answer(Answer::No).type("25").answer(Answer::No).answer(Answer::Yes).answer(Answer::No);
        ui.answer(Answer::Yes).answer(Answer::OK);
        return summarize();
    };
    const std::string first = run(42);
    EXPECT_EQ(run(42), first);
    EXPECT_NE(
        first.find(
            "\nChi-square diagnostic for frequency data:\n\nThe following chi-square test is based on "),
        std::string::npos);
    EXPECT_NE(first.find("Simulated chi-square> n: 25; Mean:"), std::string::npos);
    EXPECT_NE(first.find("Evaluation of truncated Gaussian error predictions:"), std::string::npos);
    // Three tests, seeded 42, 43 and 44.
    EXPECT_EQ(host.seed, 45u);
    EXPECT_NE(run(7), first);
}

TEST_F(SummaryTest, ResidualsAreCountedWithoutTheTable)
{
    incrementsOnly();
    ui.answer(Answer::No).type("3").answer(Answer::No).answer(Answer::Yes).answer(Answer::OK);
    const std::string report = summarize();
    // The observed column of the SD table holds all three records.
    double counted = 0.0;
    bool inTable = false;
    for (const std::string& line : lines(report)) {
        if (line.rfind("                SD    Frequency", 0) == 0) {
            inTable = true;
            continue;
        }
        if (inTable && line.rfind("     # of Inc Recs", 0) == 0)
            break;
        if (inTable && line.size() >= 31)
            counted += std::stod(line.substr(18, 13));
    }
    EXPECT_EQ(counted, 3.0);
    EXPECT_EQ(lineStarting(report, "Increment data:"), "");
    EXPECT_NE(lineStarting(report, "     # of Inc Recs            3"), "");
}

TEST_F(SummaryTest, FractionalSimulationCountRunsItsWholePart)
{
    frequenciesOnly();
    ui.answer(Answer::No).type("2.7").answer(Answer::No).answer(Answer::Yes).answer(Answer::OK);
    const std::string report = summarize();
    EXPECT_NE(report.find("Simulated chi-square> n: 2; Mean:"), std::string::npos);
}

} // namespace
} // namespace orvanta
