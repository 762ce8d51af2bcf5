#pragma once

// The grid "grdVS" of the algorithm editor: one heading row and one row per parameter with its
// number, value, step, fuse code and description. The grid computes what each cell shows from
// the algorithm data and remembers which cells were changed since the editor was opened and
// which row a sequence of questions is editing.

#include "app/SessionState.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace orvanta {

struct AlgorithmData;

namespace gridColumn {
inline constexpr int parameter = 0;
inline constexpr int value = 1;
inline constexpr int step = 2;
inline constexpr int fuse = 3;
inline constexpr int description = 4;
inline constexpr int count = 5;
} // namespace gridColumn

// What a cell's colours say about it.
enum class CellRole {
    Plain,   // headings, parameter numbers and descriptions: black
    Zero,    // a zero value or step, or the unfused code "~~": black
    Set,     // a non-zero value or step, or a fuse code: blue
    Changed, // changed since the editor was opened: light red
    Editing, // the row a sequence of questions is on: green on white
    // The ranking window's grid (RankingWindow.h).
    Heading,       // a heading cell: black on light grey
    Unranked,      // a model listed since the last ranking: light red
    RankedByAicc,  // ranked by AICc: green
    RankedByQaicc, // ranked by QAICc: blue
};

// Colours of the classic 16-colour palette by number.
namespace paletteColour {
inline constexpr int black = 0;
inline constexpr int blue = 1;
inline constexpr int green = 2;
inline constexpr int lightGrey = 7;
inline constexpr int grey = 8;
inline constexpr int lightRed = 12;
inline constexpr int white = 15;
} // namespace paletteColour

struct CellColours {
    int foreground = paletteColour::black;
    std::optional<int> background; // none: the grid's own background
};

CellColours coloursOf(CellRole role);

enum class CellAlignment { Left, Centre, Right };

struct GridCell {
    std::string text;
    CellAlignment alignment = CellAlignment::Left;
    CellRole role = CellRole::Plain;
    bool bold = false;
};

// A value or step as the grid shows it: "0" for exactly 0, otherwise pattern "0.0000E+00".
std::string gridNumberText(double value);

// Whether two values differ enough to count as a change (1E-10 or more).
bool differsFromStored(double entered, double stored);

class EditorGrid {
public:
    static constexpr int gridWidth = 9500;        // twips
    static constexpr int narrowColumnWidth = 850; // columns 0 to 3

    static const std::array<std::string, gridColumn::count>& headings();
    static int columnWidth(int column); // twips; the description takes the rest of the grid

    // Forgets every change and the editing row, for paramCount parameters.
    void reset(int paramCount);

    int rowCount() const { return static_cast<int>(changed_.size()); } // heading row included
    GridCell cell(const AlgorithmData& data, const EditorLocks& locks, int row, int column) const;

    void markChanged(int row, int column);
    bool changed(int row, int column) const;

    int editingRow() const { return editingRow_; } // 0: none
    void setEditingRow(int row) { editingRow_ = row; }

private:
    std::vector<std::array<bool, gridColumn::count>> changed_;
    int editingRow_ = 0;
};

} // namespace orvanta
