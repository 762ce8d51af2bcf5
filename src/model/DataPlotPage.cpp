#include "model/DataPlotPage.h"

#include <cstddef>

namespace orvanta {

DataPlotPage DataPlotPage::sized(int series, int records)
{
    DataPlotPage page;
    page.seriesCount = series;
    const auto seriesSlots = static_cast<std::size_t>(series) + 1;
    page.seriesNames.assign(seriesSlots, std::string());
    page.seriesMin.assign(seriesSlots, 0.0);
    page.seriesMax.assign(seriesSlots, 0.0);
    page.seriesValues.assign(static_cast<std::size_t>(records) + 1,
                             std::vector<double>(seriesSlots, noValue));
    page.firstRecord = 1;
    page.lastRecord = records;
    return page;
}

double DataPlotPage::value(int record, int series) const
{
    if (record < 0 || series < 0 || static_cast<std::size_t>(record) >= seriesValues.size())
        return noValue;
    const std::vector<double>& row = seriesValues[static_cast<std::size_t>(record)];
    return static_cast<std::size_t>(series) < row.size() ? row[static_cast<std::size_t>(series)] : noValue;
}

void DataPlotPage::setValue(int record, int series, double value)
{
    if (record < 0 || series < 0)
        return;
    if (static_cast<std::size_t>(record) >= seriesValues.size())
        seriesValues.resize(static_cast<std::size_t>(record) + 1);
    std::vector<double>& row = seriesValues[static_cast<std::size_t>(record)];
    if (static_cast<std::size_t>(series) >= row.size())
        row.resize(static_cast<std::size_t>(series) + 1, noValue);
    row[static_cast<std::size_t>(series)] = value;
}

double DataPlotPage::indexLabel(int record) const
{
    if (lastRecord == firstRecord)
        return indexFirstLabel;
    return indexFirstLabel +
           (indexLastLabel - indexFirstLabel) * (record - firstRecord) / (lastRecord - firstRecord);
}

} // namespace orvanta
