#include "uncertainty/DistributionReport.h"

#include "text/NumberText.h"
#include "uncertainty/DistributionProfile.h"

#include <cstddef>

namespace orvanta {

namespace {

constexpr const char* numberPattern = "0.0000E+000   ";
constexpr int fieldWidth = 15;

std::string field(double value)
{
    return padToWidth(formatNumber(value, numberPattern), fieldWidth);
}

std::string columnHeader(DistributionColumns columns)
{
    if (columns == DistributionColumns::Cumulative)
        return "  Point       Value         -ln[L]           PDF        Cumulative     Attenuated     Normal "
               "PDF";
    return "  Point       Value         -ln[L]           PDF        CI on mode     CI on mean     Normal PDF";
}

std::string pointLine(const DistributionProfile& d, int i, DistributionColumns columns)
{
    const auto a = static_cast<std::size_t>(i);
    const bool cumulative = columns == DistributionColumns::Cumulative;
    const double fourth = cumulative ? d.cumulative[a] : d.ciOnMode[a];
    const double fifth = cumulative ? 1.0 - d.cumulative[a] : d.ciOnMean[a];
    return padToWidth(formatNumber(i, "##0"), 5) + "    " + field(d.pointValues[a]) + field(d.negLogL[a]) +
           field(d.pdf[a]) + field(fourth) + field(fifth) + field(d.normalPdf[a]) + "\n";
}

} // namespace

std::string writeDistributionReport(const DistributionProfile& d, const std::string& heading,
                                    DistributionColumns columns)
{
    std::string text = heading + "\n\n" + columnHeader(columns) + "\n";
    for (int i = 1; i <= d.pointCount; ++i)
        text += pointLine(d, i, columns);
    const std::string percent =
        percentDiffDefined(d) ? field(percentDiff(d)) : padToWidth(undefinedPercentText, fieldWidth);
    text += "\n";
    text += "Max Likelihood: " + field(d.modeValue) + "\n";
    text += "Expected Value: " + field(d.meanValue) + "\n";
    text += "Estimated Diff: " + field(d.modeMinusMean) + "\n";
    text += "Percent Diff:   " + percent + "\n";
    text += "Estimated SE:   " + field(d.estimatedSE) + "\n";
    return text;
}

} // namespace orvanta
