#include "ranking/RankingFile.h"

#include "text/NumberText.h"

namespace orvanta {

namespace {

constexpr const char* aiccHeading =
    " Model     -nln[L] #Prms        AICc       dAICc      AIC Wt                 "
    "           Algorithm file                           Covariance file  Notes>";
constexpr const char* qaiccHeading =
    " Model     -nln[L] #Prms       QAICc      dQAICc     QAIC Wt                 "
    "           Algorithm file                           Covariance file  Notes>";

std::string field(const std::optional<double>& value, const char* pattern, int width)
{
    return padToWidth(value ? formatNumber(*value, pattern) : std::string(rankingText::undefined), width);
}

std::string entryLine(int rank, const ModelEntry& entry, Criterion criterion)
{
    return padToWidth(formatNumber(rank, "####0"), 6) +
           padToWidth(formatNumber(entry.negLogL, "0.0000E+00"), 12) +
           padToWidth(formatNumber(entry.K, "####0"), 6) +
           field(entry.criterion(criterion), "0.0000E+00", 12) +
           field(entry.delta(criterion), "0.0000E+00", 12) + field(entry.weight(criterion), "0.00000", 12) +
           "  " + padToWidth(entry.algorithmFile, 40) + "  " + padToWidth(entry.covarianceFile, 40) + "  " +
           entry.notes + "\n";
}

} // namespace

std::string rankingFileText(const std::vector<ModelEntry>& entries, double cHat,
                            const std::optional<std::string>& averaging)
{
    const Criterion criterion = criterionFor(cHat);
    std::string text = padToWidth(formatNumber(static_cast<double>(entries.size()), "####0"), 6) +
                       " < Number of models ranked";
    if (criterion == Criterion::QAICc)
        text += "; C-hat for QAICc calculation: " + formatNumber(cHat, "0.000");
    text += "\n";
    text += std::string(criterion == Criterion::AICc ? aiccHeading : qaiccHeading) + "\n";
    for (std::size_t j = 0; j < entries.size(); ++j)
        text += entryLine(static_cast<int>(j) + 1, entries[j], criterion);
    if (averaging)
        text += "\n" + *averaging + "\n";
    return text;
}

} // namespace orvanta
