#include "ranking/ModelRanking.h"

#include "text/NumberText.h"

#include <algorithm>
#include <cmath>

namespace orvanta {

namespace {

std::optional<double> finiteOrNothing(double value)
{
    return std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

} // namespace

Criterion criterionFor(double cHat)
{
    return cHat != 1.0 ? Criterion::QAICc : Criterion::AICc;
}

std::optional<double> parameterTerm(int K, std::int32_t n)
{
    if (n == 0)
        return 0.0;
    const long long denominator = static_cast<long long>(n) - K - 1;
    if (n < 0 || denominator <= 0)
        return std::nullopt;
    return 2.0 * K * n / static_cast<double>(denominator);
}

std::optional<double> aiccOf(double negLogL, int K, std::int32_t n)
{
    const std::optional<double> term = parameterTerm(K, n);
    if (!term)
        return std::nullopt;
    return finiteOrNothing(2.0 * negLogL + *term);
}

std::optional<double> qaiccOf(double negLogL, int K, std::int32_t n, double cHat)
{
    const std::optional<double> term = parameterTerm(K, n);
    if (!term)
        return std::nullopt;
    return finiteOrNothing(*term + 2.0 * negLogL / cHat);
}

std::string noCriterionReason(const ModelEntry& entry, Criterion criterion)
{
    if (!entry.objectiveProblem.empty())
        return "its objective is not finite (" + entry.objectiveProblem + ")";
    if (!std::isfinite(entry.negLogL))
        return "its -ln[L] is not finite";
    if (!parameterTerm(entry.K, entry.n))
        return "its " + criterionName(criterion) + " has no value, since n - K - 1 = " +
               numberText(static_cast<long long>(entry.n) - entry.K - 1) + " (n = " + numberText(entry.n) +
               " observations, K = " + numberText(entry.K) + " parameters)";
    return "its " + criterionName(criterion) + " is not finite";
}

void makeRankingStale(std::vector<ModelEntry>& entries)
{
    for (ModelEntry& entry : entries)
        entry.deltaAicc = entry.aicWeight = entry.deltaQaicc = entry.qaicWeight = std::nullopt;
}

int rankEntries(std::vector<ModelEntry>& entries, Criterion criterion)
{
    // Models without a value go last; a stable sort keeps equal values in their order, as a
    // selection of the strictly smallest value, earliest first, would.
    const auto rankable =
        std::stable_partition(entries.begin(), entries.end(), [criterion](const ModelEntry& e) {
            return e.criterion(criterion).has_value();
        });
    std::stable_sort(entries.begin(), rankable, [criterion](const ModelEntry& a, const ModelEntry& b) {
        return *a.criterion(criterion) < *b.criterion(criterion);
    });
    const int ranked = static_cast<int>(rankable - entries.begin());

    std::vector<double> deltas;
    double sum = 0.0;
    for (int k = 0; k < ranked; ++k) {
        const double delta =
            k == 0 ? 0.0 : *entries[k].criterion(criterion) - *entries[0].criterion(criterion);
        deltas.push_back(delta);
        sum += std::exp(-0.5 * delta);
    }
    for (std::size_t k = 0; k < entries.size(); ++k) {
        ModelEntry& entry = entries[k];
        std::optional<double> delta, weight;
        if (k < deltas.size()) {
            delta = deltas[k];
            // The best model contributes exp(0) = 1, so the sum is never below 1.
            weight = std::exp(-0.5 * deltas[k]) / sum;
        }
        (criterion == Criterion::AICc ? entry.deltaAicc : entry.deltaQaicc) = delta;
        (criterion == Criterion::AICc ? entry.aicWeight : entry.qaicWeight) = weight;
    }
    return ranked;
}

std::string rowLabel(int row, int entryNumber)
{
    return std::string(row > 9 ? 1 : 3, ' ') + numberText(row) + ")" +
           std::string(entryNumber > 9 ? 2 : 4, ' ') + numberText(entryNumber);
}

std::string criterionName(Criterion criterion)
{
    return criterion == Criterion::AICc ? "AICc" : "QAICc";
}

std::string nameWithoutFolder(const std::string& path)
{
    const std::size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

std::string folderOf(const std::string& path)
{
    const std::size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

std::string derivedCovarianceName(const std::string& algorithmFile)
{
    const std::size_t keep = algorithmFile.size() > 4 ? algorithmFile.size() - 4 : 0;
    return algorithmFile.substr(0, keep) + ".cov";
}

} // namespace orvanta
