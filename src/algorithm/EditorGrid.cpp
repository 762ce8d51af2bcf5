#include "algorithm/EditorGrid.h"

#include "algorithm/AlgorithmData.h"
#include "text/NumberText.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace orvanta {

namespace {

constexpr double changeThreshold = 1E-10;

// The lock that leaves a column unfilled, or 0 for the columns no lock touches.
int lockOfColumn(int column)
{
    switch (column) {
    case gridColumn::value:
        return 1;
    case gridColumn::step:
        return 2;
    case gridColumn::fuse:
        return 3;
    default:
        return 0;
    }
}

template <typename T> T elementOr(const std::vector<T>& array, int index, const T& fallback)
{
    return index >= 0 && static_cast<std::size_t>(index) < array.size()
               ? array[static_cast<std::size_t>(index)]
               : fallback;
}

CellRole roleOfNumber(double value)
{
    return value != 0.0 ? CellRole::Set : CellRole::Zero;
}

GridCell headingCell(int column)
{
    const CellAlignment alignment =
        column == gridColumn::description ? CellAlignment::Left : CellAlignment::Centre;
    return {EditorGrid::headings()[static_cast<std::size_t>(column)], alignment, CellRole::Plain};
}

// The cell as the data make it, before the changed and editing marks.
GridCell dataCell(const AlgorithmData& data, int row, int column)
{
    switch (column) {
    case gridColumn::parameter:
        return {numberText(row), CellAlignment::Centre, CellRole::Plain};
    case gridColumn::value: {
        const double value = elementOr(data.paramValues, row, 0.0);
        return {gridNumberText(value), CellAlignment::Right, roleOfNumber(value)};
    }
    case gridColumn::step: {
        const double step = elementOr(data.paramSteps, row, 0.0);
        return {gridNumberText(step), CellAlignment::Right, roleOfNumber(step)};
    }
    case gridColumn::fuse: {
        const std::string code = elementOr(data.fuseCodes, row, unfusedCode);
        return {code, CellAlignment::Centre, code == unfusedCode ? CellRole::Zero : CellRole::Set};
    }
    default:
        return {elementOr(data.paramDescriptions, row, std::string()), CellAlignment::Left, CellRole::Plain};
    }
}

} // namespace

CellColours coloursOf(CellRole role)
{
    switch (role) {
    case CellRole::Set:
    case CellRole::RankedByQaicc:
        return {paletteColour::blue, std::nullopt};
    case CellRole::Changed:
    case CellRole::Unranked:
        return {paletteColour::lightRed, std::nullopt};
    case CellRole::RankedByAicc:
        return {paletteColour::green, std::nullopt};
    case CellRole::Editing:
        return {paletteColour::green, paletteColour::white};
    case CellRole::Heading:
        return {paletteColour::black, paletteColour::lightGrey};
    case CellRole::Plain:
    case CellRole::Zero:
        break;
    }
    return {paletteColour::black, std::nullopt};
}

std::string gridNumberText(double value)
{
    return value == 0.0 ? std::string("0") : formatNumber(value, "0.0000E+00");
}

bool differsFromStored(double entered, double stored)
{
    return std::fabs(entered - stored) >= changeThreshold;
}

const std::array<std::string, gridColumn::count>& EditorGrid::headings()
{
    static const std::array<std::string, gridColumn::count> texts = {
        "Parameter", "Value", "Step", "Fuse", "Parameter description [null value; valid values]"};
    return texts;
}

int EditorGrid::columnWidth(int column)
{
    if (column == gridColumn::description)
        return gridWidth - (gridColumn::count - 1) * narrowColumnWidth;
    return narrowColumnWidth;
}

void EditorGrid::reset(int paramCount)
{
    changed_.assign(static_cast<std::size_t>(std::max(0, paramCount)) + 1, {});
    editingRow_ = 0;
}

GridCell EditorGrid::cell(const AlgorithmData& data, const EditorLocks& locks, int row, int column) const
{
    if (row == 0)
        return headingCell(column);
    GridCell cell = dataCell(data, row, column);
    if (const int lock = lockOfColumn(column); lock != 0 && locks[static_cast<std::size_t>(lock)])
        cell.text.clear();
    if (row == editingRow_)
        cell.role = CellRole::Editing;
    else if (changed(row, column))
        cell.role = CellRole::Changed;
    return cell;
}

void EditorGrid::markChanged(int row, int column)
{
    if (row > 0 && row < rowCount() && column >= 0 && column < gridColumn::count)
        changed_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = true;
}

bool EditorGrid::changed(int row, int column) const
{
    return row > 0 && row < rowCount() && column >= 0 && column < gridColumn::count &&
           changed_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

} // namespace orvanta
