#include "model/ResultsSummary.h"

#include "app/SessionState.h"
#include "model/ChiSquare.h"
#include "model/DataPlotPage.h"
#include "model/IncrementDiagnostic.h"
#include "model/ModelHost.h"
#include "model/NumericalRoutines.h"
#include "model/TarnfieldModel.h"
#include "text/NumberText.h"
#include "ui/UserInterface.h"

#include <cmath>
#include <cstddef>

namespace orvanta {

namespace {

constexpr const char* ofPattern = "0.0000E+00";
constexpr const char* aiccCitation = "Hurvich and Tsai 1989, Biometrika 76: 297-307";
constexpr const char* onePatientMoment = "One moment please...";

const char* const taggingHeader[] = {
    "      , Observed,          ,          ,   Variance,  Variance for,         ,            ,              ,"
    "          ,       ,    Start,      End,     Days",
    "      ,  Initial,  Observed,  Expected,   for True,   Measurement,    Total,    Expected,   Variance of,"
    "     SD of,       ,   Day of,   Day of,       at",
    "Record,     Size, Increment, Increment,  Increment,         Error, Variance,  L-infinity,    L-infinity,"
    "  Residual,  -2lnL,     Year,     Year,    Large",
};

const char* const sizeAtAgeHeader[] = {
    "      , Observed,          ,          ,   Variance,  Variance for,         ,            ,              ,"
    "          ,       ,         ,         ,    Years",
    "      ,  Initial,  Observed,  Expected,   for True,   Measurement,    Total,    Expected,   Variance of,"
    "     SD of,       ,  Initial,    Final,       of",
    "Record,     Size, Increment, Increment,  Increment,         Error, Variance,  L-infinity,    L-infinity,"
    "  Residual,  -2lnL,      Age,      Age,      Age",
};

bool hasFrequencies(AnalysisType type)
{
    return type != AnalysisType::Increments;
}

bool hasIncrements(AnalysisType type)
{
    return type != AnalysisType::SizeFrequency;
}

bool gammaErrors(const ModelState& state)
{
    return state.incrementErrorType == IncrementErrorType::Gamma;
}

std::string column(double value, const char* pattern, int width)
{
    return padToWidth(formatNumber(value, pattern), width);
}

// ---- Plot pages -------------------------------------------------------------------------

struct Extent {
    double min = 0.0;
    double max = 0.0;
    void include(double v)
    {
        min = std::min(min, v);
        max = std::max(max, v);
    }
};

DataPlotPage setPage(const ModelState& state, int set, const std::vector<int>& records)
{
    const int n = static_cast<int>(records.size());
    DataPlotPage page = DataPlotPage::sized(3, n);
    page.pageLabel = signedNumberText(set);
    page.indexName = "Data Record Index";
    page.seriesNames[1] = "Observed initial size for set " + numberText(set);
    page.seriesNames[2] = "Observed increment for set " + numberText(set) + "  ";
    page.seriesNames[3] = "Predicted increment for set " + numberText(set) + "  ";
    // Each range search starts from the file's first record.
    const IncrementRecord& first = state.increments.records[1];
    const double firstMean = state.recordResults.size() > 1 ? state.recordResults[1].meanIncrement : 0.0;
    Extent sizes{first.initialSize, first.initialSize};
    Extent increments{std::min(first.increment, firstMean), std::max(first.increment, firstMean)};
    for (int row = 1; row <= n; ++row) {
        const auto i = static_cast<std::size_t>(records[static_cast<std::size_t>(row - 1)]);
        const IncrementRecord& record = state.increments.records[i];
        const double mean = i < state.recordResults.size() ? state.recordResults[i].meanIncrement : 0.0;
        page.setValue(row, 1, record.initialSize);
        page.setValue(row, 2, record.increment);
        page.setValue(row, 3, mean);
        sizes.include(record.initialSize);
        increments.include(record.increment);
        increments.include(mean);
    }
    page.seriesMin = {0.0, sizes.min, increments.min, increments.min};
    page.seriesMax = {0.0, sizes.max, increments.max, increments.max};
    page.firstRecord = 1;
    page.lastRecord = n;
    page.indexFirstLabel = 1.0;
    page.indexLastLabel = n;
    return page;
}

// The first of 1, 1.6, 2, 3.2, 4, 5, 6.4, 8, 10, 16, ... that no value exceeds.
double frequencyScale(double largest)
{
    double scale = 1.0;
    for (int i = 1; scale < largest && std::isfinite(scale); ++i) {
        const int step = i % 8;
        scale *= step == 1 || step == 3 ? 1.6 : step == 6 ? 1.28 : 1.25;
    }
    return scale;
}

DataPlotPage frequencyPage(const ModelState& state)
{
    const FrequencyData& f = state.frequencies;
    DataPlotPage page = DataPlotPage::sized(2, f.cellCount);
    page.pageLabel = signedNumberText(state.increments.highestSet + 1.0);
    page.indexName = "Frequency cell midpoint";
    page.seriesNames[1] = "Observed aggregate frequencies     ";
    page.seriesNames[2] = "Predicted aggregate frequencies    ";
    double largest = 0.0;
    for (int c = 1; c <= f.cellCount; ++c) {
        const auto cell = static_cast<std::size_t>(c);
        page.setValue(c, 1, f.observed[cell]);
        page.setValue(c, 2, state.bestPredicted[cell]);
        largest = std::max({largest, f.observed[cell], state.bestPredicted[cell]});
    }
    const double scale = frequencyScale(largest);
    page.seriesMin = {0.0, 0.0, 0.0};
    page.seriesMax = {0.0, scale, scale};
    page.firstRecord = 1;
    page.lastRecord = f.cellCount;
    page.indexFirstLabel = f.midpoint[1];
    page.indexLastLabel = f.midpoint[static_cast<std::size_t>(f.cellCount)];
    return page;
}

// ---- The dialogue -----------------------------------------------------------------------

// Shows the pages one at a time while they are wanted. False when the program ended.
bool showPlotPages(const ModelState& state, ModelHost& host)
{
    const Answer answer = host.ui().showMessage("Choose 'Yes' to see increment and/or frequency plots then a "
                                                "summary\n\nChoose 'No' if you only want a "
                                                "summary",
                                                "Model results", Buttons::YesNo, Icon::Question);
    if (answer != Answer::Yes)
        return !host.programEnded();
    bool plotPagesWanted = true;
    for (const DataPlotPage& page : dataPlotPages(state)) {
        if (!plotPagesWanted)
            break;
        plotPagesWanted = host.showDataPlotPage(page);
        if (host.programEnded())
            return false;
    }
    return true;
}

// The number of simulations: asked again until it is 0 or more; an empty answer counts as 0.
// A fraction counts as its whole part (a simulation is run whole or not at all).
std::optional<double> askSimulationCount(ModelHost& host)
{
    while (!host.programEnded()) {
        std::string answer =
            host.ui().askText("Please enter the number of simulations for chi-square calculation:",
                              "More simulations improve chi-square estimate", "");
        if (answer.empty())
            answer = "0";
        const double count = leadingNumber(answer);
        if (count >= 0.0 && std::isfinite(count))
            return std::floor(count);
    }
    return std::nullopt;
}

bool yes(ModelHost& host, const char* text, const char* title)
{
    return host.ui().showMessage(text, title, Buttons::YesNo, Icon::Question) == Answer::Yes;
}

// ---- The report -------------------------------------------------------------------------

std::string analysisSentence(const ModelState& state)
{
    const std::string errors = gammaErrors(state)
                                   ? "; the error distribution of growth increments is gamma"
                                   : "; the error distribution of growth increments is Gaussian";
    switch (state.analysisType) {
    case AnalysisType::SizeFrequency:
        return "This is an analysis of size frequencies only";
    case AnalysisType::Increments:
        return "This is an analysis of growth increment data only" + errors;
    case AnalysisType::Both:
        break;
    }
    return "This is a combined analysis of growth increment data and size frequency data" + errors;
}

std::string dataAndFiles(const ModelState& state, const SessionState& session)
{
    const bool priors = !session.priorsFileName.empty();
    std::string text;
    if (priors)
        text += "\nImportant note: This analysis used Bayesian prior information\n";
    if (hasFrequencies(state.analysisType)) {
        const FrequencyData& f = state.frequencies;
        text += "\nAnalysis of size frequency data begins at cell # " + numberText(f.firstCell) + "\n";
        text += "The observed frequency of individuals is:        " + numberText(f.N) + "\n";
        text += "The size frequency interval is:                  " + numberText(f.cellWidth) + "\n";
        text += "\nThe size frequency data file name is:\n" + state.frequencyFile + "\n";
    }
    if (hasIncrements(state.analysisType)) {
        if (state.analysisType == AnalysisType::Increments)
            text += "\n";
        text += "The growth increment data file name is:\n" + state.incrementFile + "\n\n";
        text +=
            "The number of growth increment records is:       " + numberText(state.increments.recordCount) +
            "\n\n";
    }
    text += "The algorithm data file name is:\n" + session.algorithmFileName + "\n\n";
    if (priors)
        text += "The Bayesian prior information file name is:\n" + session.priorsFileName + "\n";
    return text;
}

std::string objectiveLines(const ModelState& state)
{
    if (state.analysisType == AnalysisType::Both)
        return "\nThe OF minimum is: " + formatNumber(state.bestObjective, ofPattern) +
               " where the size frequency OF = " + formatNumber(state.bestFrequencyPart2, ofPattern) +
               " and the increment OF = " + formatNumber(state.bestIncrementPart2, ofPattern) + "\n";
    return "\nThe objective function minimum is:               " +
           formatNumber(state.bestObjective, ofPattern) + "\n";
}

std::string parameterLines(const ModelState& state, const ModelArguments& args, int k, double n)
{
    const std::optional<double> value = aicc(state.bestObjective, k, n);
    std::string text = "The number of free parameters is:                  " + numberText(k) + "\n\n";
    text += std::string("The Akaike Information Criterion (AICc, ") + aiccCitation +
            ") is: " + (value ? formatNumber(*value, ofPattern) : std::string("undefined")) + "\n\n";
    text += "Note: Not necessarily all " + numberText(args.paramCount) +
            " parameters are active for this analysis.\n";
    text += "Note: All parameters except t0 are treated as positive numbers.\n\n";
    for (int i = 1; i <= args.paramCount; ++i) {
        const auto p = static_cast<std::size_t>(i);
        const double estimate = p < state.bestParams.size() ? state.bestParams[p] : 0.0;
        const std::string description = p < args.paramDescriptions.size() ? args.paramDescriptions[p] : "";
        text += "Parameter # " + padToWidth(formatNumber(i, "#0"), 2) +
                " estimate: " + padToWidth(formatNumber(estimate, "#####0.0000000 "), 18) + description +
                "\n";
    }
    return text;
}

std::string mainReport(const ModelState& state, const ModelArguments& args, const SessionState& session,
                       int k)
{
    std::string text = TarnfieldModel::documentationText();
    text += analysisSentence(state) + "\n";
    text += dataAndFiles(state, session);
    text += objectiveLines(state);
    if (hasFrequencies(state.analysisType))
        text += "\nThe value of the multinomial -2ln[L] (including the data constant) for the frequency data "
                "is: " +
                formatNumber(multinomialDeviance(state), ofPattern) + "\n\n";
    text += parameterLines(state, args, k, state.frequencies.N + state.increments.recordCount);
    return text;
}

std::string frequencyTable(const ModelState& state)
{
    const FrequencyData& f = state.frequencies;
    std::string text = "\nSize frequency data:\n\n";
    text += "            ,            ,            ,  Cumulative,  Cumulative,      Absolute\n";
    text += "            ,    Observed,    Expected,    Observed,    Expected,      Value of\n";
    text += "    Midpoint,   Frequency,   Frequency,        (CO),        (CE),         CO-CE\n";
    text += "\n";
    double CO = 0.0;
    double CE = 0.0;
    for (int c = 1; c <= f.cellCount; ++c) {
        const auto cell = static_cast<std::size_t>(c);
        if (c >= f.firstCell) {
            CO += f.observed[cell];
            CE += state.bestPredicted[cell];
        }
        text += column(f.midpoint[cell], "#####0.000", 12) + "," + column(f.observed[cell], "#####0.00", 12) +
                "," + column(state.bestPredicted[cell], "#####0.00", 12) + "," + column(CO, "#####0.00", 12) +
                "," + column(CE, "#####0.00", 12) + "," + column(std::fabs(CO - CE), "####0.00", 14) + "\n";
    }
    return text;
}

// The title of the warning about observations in cells expected to be empty.
std::string unlikelyObservationTitle(const ModelState& state, bool frequencyTest)
{
    // Size frequencies alone with b = 0 have no increment error distribution to name.
    if (frequencyTest && state.analysisType == AnalysisType::SizeFrequency &&
        !(state.bestParams.at(17) > 0.0))
        return "Very unlikely observation(s)";
    return gammaErrors(state) ? "Gamma distribution: very unlikely observation(s)"
                              : "Gaussian distribution: very unlikely observation(s)";
}

// The frequency tables and test. False when the program ended.
bool frequencySection(const ModelState& state, double nSims, std::string& report, ModelHost& host)
{
    host.showSummary(report);
    if (yes(host, "Do you want to view the frequency data?", "Frequency Summary"))
        report += frequencyTable(state);
    const FrequencyData& f = state.frequencies;
    if (nSims > 0.0 && f.N > 0.0 &&
        yes(host, "Do you want to view the frequency chi-square diagnostic?", "Frequency Chi-square")) {
        ChiSquareInput input;
        input.firstCell = f.firstCell;
        input.lastCell = f.cellCount;
        input.observed.assign(f.observed.begin(), f.observed.end());
        input.expected.assign(state.bestPredicted.begin(), state.bestPredicted.end());
        input.N = f.N;
        const std::optional<std::string> lines =
            simulatedChiSquare(input, nSims, unlikelyObservationTitle(state, true), host);
        if (!lines)
            return false;
        report += "\nChi-square diagnostic for frequency data:\n\n" + *lines + "\n";
    }
    host.showSummary(report);
    host.showProgress("");
    return !host.programEnded();
}

double measurementVariance(double m, double meanIncrement, double l1)
{
    if (m == 0.0)
        return 0.0;
    const double seEnd = m / 100.0 * (meanIncrement + l1);
    const double seStart = m / 100.0 * l1;
    return seEnd * seEnd + seStart * seStart;
}

std::string incrementRow(int i, const IncrementRecord& record, const RecordResult& result, double mv,
                         double totalVar, double residual)
{
    const std::string columns[] = {
        column(i, "0", 6),
        column(record.initialSize, "##0.00", 9),
        column(record.increment, "##0.00", 10),
        column(result.meanIncrement, "##0.00", 10),
        column(result.incrementVariance, "##0.00", 11),
        column(mv, "##0.00", 14),
        column(totalVar, "##0.00", 9),
        column(result.expectedLinf, "##0.00", 12),
        column(result.expectedLinfSquare - result.expectedLinf * result.expectedLinf, "##0.00", 14),
        column(residual, "##0.00", 10),
        column(2.0 * result.recordNll, "##0.00", 7),
        column(record.startDay, "###0", 9),
        column(record.endDay, "###0", 9),
        column(record.endDay - record.startDay, "###0", 9),
    };
    std::string row;
    for (const std::string& c : columns)
        row += (row.empty() ? "" : ",") + c;
    return row + "\n";
}

// The increment table (when shown) and the residual cells of every record. False when the
// program ended.
bool incrementTable(const ModelState& state, bool shown, std::string& report, CellCounts& r, ModelHost& host)
{
    r.fill(0.0);
    if (shown) {
        host.showProgress(onePatientMoment);
        report += "\nIncrement data:\n\n";
        const bool tagging = state.bestParams.at(18) == notUsed;
        for (const char* line : tagging ? taggingHeader : sizeAtAgeHeader)
            report += std::string(line) + "\n";
        report += "\n";
    }
    const double m = state.bestParams.at(9);
    const RecordResult none;
    for (int i = 1; i <= state.increments.recordCount; ++i) {
        const auto index = static_cast<std::size_t>(i);
        const IncrementRecord& record = state.increments.records[index];
        const RecordResult& result = index < state.recordResults.size() ? state.recordResults[index] : none;
        const double mv = measurementVariance(m, result.meanIncrement, record.initialSize);
        const double totalVar = result.incrementVariance + mv;
        const double residual = (record.increment - result.meanIncrement) / std::sqrt(totalVar);
        r[static_cast<std::size_t>(residualCell(residual))] += 1.0;
        if (shown)
            report += incrementRow(i, record, result, mv, totalVar, residual);
        host.ui().processPendingEvents();
        if (host.programEnded())
            return false;
    }
    return true;
}

// The increment tables and tests. False when the program ended.
bool incrementSection(const ModelState& state, double nSims, std::string& report, ModelHost& host)
{
    const int nInc = state.increments.recordCount;
    const bool shown = yes(host, "Do you want to view the increment data?", "Increment Summary") && nInc > 0;
    CellCounts r{};
    if (!incrementTable(state, shown, report, r, host))
        return false;
    if (nSims > 0.0 && nInc > 0 &&
        yes(host, "Do you want to view the increment chi-square diagnostic?", "Increment Chi-square")) {
        const std::optional<std::string> diagnostic = incrementChiSquareDiagnostic(state, r, nSims, host);
        if (!diagnostic)
            return false;
        report += *diagnostic;
    }
    return true;
}

} // namespace

std::vector<DataPlotPage> dataPlotPages(const ModelState& state)
{
    std::vector<DataPlotPage> pages;
    if (hasIncrements(state.analysisType) && state.increments.recordCount > 0) {
        const auto highest = static_cast<int>(std::min(state.increments.highestSet, double(maxSetNumber)));
        for (int set = 1; set <= highest; ++set) {
            std::vector<int> records;
            for (int i = 1; i <= state.increments.recordCount; ++i)
                if (std::nearbyint(state.increments.records[static_cast<std::size_t>(i)].setNumber) == set)
                    records.push_back(i);
            if (!records.empty())
                pages.push_back(setPage(state, set, records));
        }
    }
    if (hasFrequencies(state.analysisType) && state.frequencies.cellCount > 0)
        pages.push_back(frequencyPage(state));
    return pages;
}

int freeParameterCount(const ModelArguments& args)
{
    int k = 0;
    for (int i = 1; i <= args.paramCount && static_cast<std::size_t>(i) < args.paramSteps.size(); ++i)
        if (args.paramSteps[static_cast<std::size_t>(i)] != 0.0)
            ++k;
    return k;
}

std::optional<double> aicc(double objective, int k, double n)
{
    const double denominator = n - k - 1.0;
    if (!(denominator > 0.0))
        return std::nullopt;
    return objective + 2.0 * k * n / denominator;
}

double multinomialDeviance(const ModelState& state)
{
    const FrequencyData& f = state.frequencies;
    const double N = f.N;
    double constant = (N > 0.0 ? N * std::log(N) : 0.0) - lnGamma(N + 1.0);
    for (int c = 1; c <= f.cellCount; ++c) {
        const double o = f.observed[static_cast<std::size_t>(c)];
        if (o > 0.0)
            constant += lnGamma(o + 1.0) - o * std::log(o);
    }
    return state.bestFrequencyPart2 + 2.0 * constant;
}

void produceResultsSummary(ModelState& state, const ModelArguments& args, ModelHost& host)
{
    SessionState& session = host.session();
    session.reportText.clear();
    if (!showPlotPages(state, host))
        return;
    const int k = freeParameterCount(args);
    const std::optional<double> nSims = askSimulationCount(host);
    if (!nSims)
        return;
    host.showSummary(session.reportText);
    host.showProgress(onePatientMoment);

    std::string& report = session.reportText;
    report = mainReport(state, args, session, k);
    if (state.frequencies.N != 0.0 && hasFrequencies(state.analysisType) &&
        !frequencySection(state, *nSims, report, host))
        return;
    if (hasIncrements(state.analysisType) && !incrementSection(state, *nSims, report, host))
        return;
    host.showSummary(report);
    host.showProgress("");
    host.ui().showMessage("Summary complete", "Summary", Buttons::OK, Icon::Information);
}

} // namespace orvanta
