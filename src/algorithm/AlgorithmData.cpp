#include "algorithm/AlgorithmData.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace orvanta {

namespace {

// The number of parameters the loops run over; a negative count means none.
int parameterCount(const AlgorithmData& data)
{
    return std::max(0, static_cast<int>(data.paramCount));
}

template <typename T>
void lengthenTo(std::vector<T>& array, std::size_t size, const T& fill)
{
    if (array.size() < size)
        array.resize(size, fill);
}

// Makes values, steps and codes hold elements 0..paramCount, so that no loop reads past them.
void fitParameterArrays(AlgorithmData& data)
{
    const auto size = static_cast<std::size_t>(parameterCount(data)) + 1;
    lengthenTo(data.paramValues, size, 0.0);
    lengthenTo(data.paramSteps, size, 0.0);
    lengthenTo(data.fuseCodes, size, unfusedCode);
}

// The row of fuseGroups bearing code, or -1. Rows are few, so a linear search is quickest.
int findFuseRow(const std::vector<FuseGroup>& groups, const std::string& code)
{
    for (std::size_t row = 0; row < groups.size(); ++row)
        if (groups[row].groupCode == code)
            return static_cast<int>(row);
    return -1;
}

// Lets a leader's code lapse when nobody shares it; the row itself stays in the table.
void unfuseLoneLeaders(AlgorithmData& data, const std::vector<int>& leaderOfRow)
{
    for (std::size_t row = 0; row < data.fuseGroups.size(); ++row)
        if (data.fuseGroups[row].memberCount == 1)
            data.fuseCodes[static_cast<std::size_t>(leaderOfRow[row])] = unfusedCode;
}

// The per-row working space of applyFuseGroups, cleared for a new pass. Grows only when the
// table was changed without buildFuseGroups.
void clearFuseRowScratch(AlgorithmData& data)
{
    const std::size_t rows = data.fuseGroups.size();
    lengthenTo(data.fuseRowSeen, rows, char{0});
    lengthenTo(data.fuseRowHeld, rows, 0.0);
    std::fill_n(data.fuseRowSeen.begin(), rows, char{0});
}

bool isPinnedMember(const AlgorithmData& data, FusePinning pinning, int param)
{
    return pinning.active && param == pinning.pinnedParam &&
           data.paramSteps[static_cast<std::size_t>(param)] == 0.0;
}

} // namespace

double storedTolerance(double value)
{
    if (value == 0.0)
        return 0.0;
    if (std::fabs(value) < minimumToleranceMagnitude)
        return std::copysign(minimumToleranceMagnitude, value);
    return value;
}

void resetAlgorithmData(AlgorithmData& data)
{
    const auto size = static_cast<std::size_t>(parameterCount(data)) + 1;
    data.paramValues.assign(size, 0.0);
    data.paramSteps.assign(size, 0.0);
    data.fuseCodes.assign(size, unfusedCode);
    data.paramDescriptions.resize(size);
    data.options = MinimizerOptions{};

    // The derived structures described the old parameter set.
    data.fuseGroups.clear();
    data.freeCount = 0;
}

void buildFuseGroups(AlgorithmData& data)
{
    fitParameterArrays(data);
    data.fuseGroups.clear();
    std::vector<int> leaderOfRow;

    const int count = parameterCount(data);
    for (int i = 1; i <= count; ++i) {
        const auto param = static_cast<std::size_t>(i);
        const std::string& code = data.fuseCodes[param];
        if (code == unfusedCode)
            continue;
        const int row = findFuseRow(data.fuseGroups, code);
        if (row < 0) {
            data.fuseGroups.push_back({code, 1, data.paramValues[param]});
            leaderOfRow.push_back(i);
            continue;
        }
        FuseGroup& group = data.fuseGroups[static_cast<std::size_t>(row)];
        ++group.memberCount;
        data.paramSteps[param] = 0.0;
        data.paramValues[param] = group.groupValue;
    }

    unfuseLoneLeaders(data, leaderOfRow);
    data.fuseRowSeen.assign(data.fuseGroups.size(), char{0});
    data.fuseRowHeld.assign(data.fuseGroups.size(), 0.0);
}

void applyFuseGroups(AlgorithmData& data, std::vector<double>& vector, FusePinning pinning)
{
    fitParameterArrays(data);
    const int count = parameterCount(data);
    lengthenTo(vector, static_cast<std::size_t>(count) + 1, 0.0);
    clearFuseRowScratch(data);

    for (int i = 1; i <= count; ++i) {
        const auto param = static_cast<std::size_t>(i);
        const std::string& code = data.fuseCodes[param];
        if (code == unfusedCode)
            continue;
        const int found = findFuseRow(data.fuseGroups, code);
        if (found < 0)
            continue;
        const auto row = static_cast<std::size_t>(found);
        // The first member met (the leader) and a pinned member both set the group's value.
        if (!data.fuseRowSeen[row] || isPinnedMember(data, pinning, i)) {
            data.fuseRowHeld[row] = vector[param];
            data.fuseRowSeen[row] = 1;
        } else {
            vector[param] = data.fuseRowHeld[row];
            data.paramSteps[param] = 0.0;
        }
    }
}

void buildFreeIndex(AlgorithmData& data)
{
    fitParameterArrays(data);
    const int count = parameterCount(data);
    const auto size = static_cast<std::size_t>(count) + 1;
    data.freeIndex.assign(size, 0);
    data.freeValues.assign(size, 0.0);
    data.freeSteps.assign(size, 0.0);

    std::size_t k = 0;
    for (int i = 1; i <= count; ++i) {
        const auto param = static_cast<std::size_t>(i);
        if (data.paramSteps[param] == 0.0)
            continue;
        ++k;
        data.freeIndex[k] = static_cast<std::int16_t>(i);
        data.freeValues[k] = data.paramValues[param];
        data.freeSteps[k] = data.paramSteps[param];
    }
    data.freeCount = static_cast<std::int32_t>(k);
    data.profileResultsValid = false;
}

void composeTrialVector(AlgorithmData& data, const std::vector<double>& coordinates,
                        FusePinning pinning)
{
    fitParameterArrays(data);
    const int count = parameterCount(data);
    const auto size = static_cast<std::size_t>(count) + 1;
    data.trialVector.resize(size);
    std::copy_n(data.paramValues.begin(), size, data.trialVector.begin());

    // Only positions that have both a freeIndex entry and a coordinate are placed.
    const auto placeable = std::min(data.freeIndex.size(), coordinates.size());
    const auto last = std::min(static_cast<std::ptrdiff_t>(data.freeCount),
                               static_cast<std::ptrdiff_t>(placeable) - 1);
    for (std::ptrdiff_t k = 1; k <= last; ++k) {
        const auto position = static_cast<std::size_t>(k);
        const int param = data.freeIndex[position];
        if (param >= 1 && param <= count)
            data.trialVector[static_cast<std::size_t>(param)] = coordinates[position];
    }

    applyFuseGroups(data, data.trialVector, pinning);
}

} // namespace orvanta
