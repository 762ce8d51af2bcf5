#include "model/IncrementDiagnostic.h"

#include "model/ChiSquare.h"
#include "model/IncrementLikelihood.h"
#include "model/ModelHost.h"
#include "model/ModelParameters.h"
#include "model/NumericalRoutines.h"
#include "text/NumberText.h"
#include "ui/UserInterface.h"

#include <cmath>
#include <cstddef>

namespace orvanta {

namespace {

constexpr int gridLow = -98; // D(-98) and D(-97) stay 0: the Simpson sums start from them
constexpr int gridHigh = 96;
constexpr int gridFirstPoint = -96;
constexpr double gridStepsPerSd = 16.0;
constexpr double simpsonFactor = 0.125 / 6.0; // (two steps of 1/16) / 6

const char* const explanationLines[] = {
    " This next frequency distribution of increment SD's evaluates model fit.",
    " The first column of expected increment SDs demonstrates a Gaussian distribution of errors.",
    " The second column either convolves measurement error into the truncated error distribution",
    " and reports this modified Gaussian distribution, or else it reports a gamma distribution.",
    " A chi-square test is then used to evaluate model fit over 0.5 SD cells.",
    " The test against the purely Gaussian distribution is simply for comparison since neither",
    " truncation of the Gaussian distribution of errors, nor size selectivity, are considered.",
    " The test against the truncated Gaussian distribution with or without measurement error",
    " is the appropriate test if a Gaussian distribution of errors was chosen.  If you chose a gamma",
    " distribution of errors, or b > 0, then compare the observed SDs to the gamma distribution of errors.",
    " The expected frequencies are scaled to sum to the # of observations.",
    " This sum might not exactly equal the reported sum due to numerical inaccuracies.",
    " Use your best judgement regarding this test if these sums differ markedly.",
    " Usually the difference is less than 1% and is thus probably acceptable.",
    " If a size-at-age selectivity curve was estimated, then it is taken into consideration.",
};

std::size_t gridIndex(int j)
{
    return static_cast<std::size_t>(j - gridLow);
}

std::string countColumn(double count)
{
    return padToWidth(formatNumber(std::floor(count + 0.01), "###0"), 13);
}

std::string expectationColumn(double value)
{
    return padToWidth(formatNumber(value, "#####0.000"), 13);
}

std::string introduction(bool gamma)
{
    std::string text = "\nChi-square diagnostic for increment data:\n";
    text +=
        "\n Note: Due to the risk of numerical inaccuracies, be suspicious of values for the expected value\n"
        "        of L-infinity, and the variance of L-infinity, when the observed initial size is more than\n"
        "        3 SD (Parameter # 2) greater than the Mean of L (Parameter # 1).\n";
    text += "\n";
    for (const char* line : explanationLines)
        text += std::string(line) + "\n";
    text += "\n The chi-square tests are invalid if the # outside range is greater than zero.\n\n";
    text += gamma
                ? " The error distribution for the growth increments is gamma\n"
                : " The error distribution for the growth increments is Gaussian (truncated if necessary)\n";
    return text;
}

std::string frequencyTable(bool gamma, const CellCounts& r, const CellCounts& g, double gSum,
                           const ModelExpectation& model, int nInc)
{
    std::string text = "\n SD Frequency Data:\n\n";
    text += gamma ? "                                    Gaussian        Gamma\n"
                  : "                                    Gaussian    Truncated\n";
    text += "                       Observed     Expected     Expected\n";
    text += "                SD    Frequency    Frequency    Frequency\n";
    text += "\n";
    for (int c = 1; c <= residualCells; ++c) {
        const auto cell = static_cast<std::size_t>(c);
        text += padToWidth(formatNumber((c - 12) / 2.0 - 0.25, "###0.00"), 18) + countColumn(r[cell]) +
                expectationColumn(g[cell]) + expectationColumn(model.m[cell]) + "\n";
    }
    text += "\n     Outside Range" + countColumn(r[0]) + expectationColumn(0.0) +
            expectationColumn(model.m[0]) + "\n\n";
    text += "     # of Inc Recs" + padToWidth(formatNumber(nInc, "###0"), 13) + expectationColumn(gSum) +
            expectationColumn(model.T) + "\n\n";
    if (!(model.T > 0.0))
        text += " The error model's expected frequencies could not be scaled: their unscaled total is 0.\n\n";
    return text;
}

ChiSquareInput residualTest(const CellCounts& r, const CellCounts& expected, int nInc)
{
    ChiSquareInput input;
    input.firstCell = 1;
    input.lastCell = residualCells;
    input.observed.assign(r.begin(), r.end());
    input.expected.assign(expected.begin(), expected.end());
    input.N = nInc;
    return input;
}

} // namespace

int residualCell(double residual)
{
    const double cell = std::floor(2.0 * residual + 12.001) + 1.0;
    return cell >= 1.0 && cell <= residualCells ? static_cast<int>(cell) : 0;
}

CellCounts normalExpectation(int nInc, double& gSum)
{
    CellCounts g{};
    gSum = 0.0;
    for (int c = 1; c <= residualCells; ++c) {
        g[static_cast<std::size_t>(c)] = nInc * normalProbability((c - 13) / 2.0, (c - 12) / 2.0);
        gSum += g[static_cast<std::size_t>(c)];
    }
    return g;
}

std::optional<ModelExpectation> incrementErrorCells(const ModelState& state, ModelHost& host)
{
    std::vector<double> p = state.bestParams;
    cleanModelParameters(p);
    const ModelParameters params = deriveModelParameters(p);
    const int nInc = state.increments.recordCount;

    std::vector<double> D(gridIndex(gridHigh) + 1, 0.0);
    const auto beforeRecord = [&](int i) {
        host.showProgress("Calculating error for increment " + numberText(i) + " of " + numberText(nInc));
        host.ui().processPendingEvents();
        return !host.programEnded();
    };
    const auto addRecord = [&](const RecordDensity& record) {
        for (int j = gridFirstPoint; j <= gridHigh; ++j) {
            const double x = record.meanIncrement + (j / gridStepsPerSd) * record.sd;
            D[gridIndex(j)] += record.density(x) * record.sd;
        }
    };
    const RecordDensityResult done = forEachRecordDensity(state, params, p, host, beforeRecord, addRecord);
    if (done == RecordDensityResult::Stopped)
        return std::nullopt;

    ModelExpectation expectation;
    if (done == RecordDensityResult::Done) {
        std::vector<double> S(D.size(), 0.0);
        for (int j = gridFirstPoint; j <= gridHigh; j += 2)
            S[gridIndex(j)] =
                S[gridIndex(j - 2)] +
                (D[gridIndex(j - 2)] + 4.0 * D[gridIndex(j - 1)] + D[gridIndex(j)]) * simpsonFactor;
        for (int c = 1; c <= residualCells; ++c)
            expectation.m[static_cast<std::size_t>(c)] = S[gridIndex(8 * c - 96)] - S[gridIndex(8 * c - 104)];
        expectation.T = S[gridIndex(gridHigh)];
        if (expectation.T > 0.0) {
            for (double& m : expectation.m)
                m = m * nInc / expectation.T;
        } else {
            expectation.m.fill(0.0); // nothing to scale: the table says so
        }
    }
    host.showProgress("");
    host.ui().processPendingEvents();
    if (host.programEnded())
        return std::nullopt;
    return expectation;
}

std::optional<std::string> incrementChiSquareDiagnostic(const ModelState& state, const CellCounts& r,
                                                        double nSims, ModelHost& host)
{
    const bool gamma = state.incrementErrorType == IncrementErrorType::Gamma || state.bestParams.at(17) > 0.0;
    const int nInc = state.increments.recordCount;
    std::string text = introduction(gamma);
    const std::optional<ModelExpectation> model = incrementErrorCells(state, host);
    if (!model)
        return std::nullopt;
    double gSum = 0.0;
    const CellCounts g = normalExpectation(nInc, gSum);
    text += frequencyTable(gamma, r, g, gSum, *model, nInc);

    const std::string warningTitle = gamma ? "Gamma distribution: very unlikely observation(s)"
                                           : "Gaussian distribution: very unlikely observation(s)";
    text += "Evaluation of Gaussian error predictions:\n\n";
    const std::optional<std::string> normalTest =
        simulatedChiSquare(residualTest(r, g, nInc), nSims, warningTitle, host);
    if (!normalTest)
        return std::nullopt;
    text += *normalTest;
    text += gamma ? "\n\nEvaluation of gamma error predictions:\n\n"
                  : "\n\nEvaluation of truncated Gaussian error predictions:\n\n";
    if (!(model->T > 0.0))
        return text + "Not calculated: the error model expects no residual in any cell.";
    const std::optional<std::string> modelTest =
        simulatedChiSquare(residualTest(r, model->m, nInc), nSims, warningTitle, host);
    if (!modelTest)
        return std::nullopt;
    return text + *modelTest;
}

} // namespace orvanta
