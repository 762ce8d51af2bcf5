#include "batch/DataFileImport.h"

#include "model/ModelState.h"
#include "text/NumberText.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

namespace orvanta {

namespace {

// The columns the data file readers read.
constexpr int midpointWidth = 7;
constexpr int frequencyWidth = 4;
constexpr int incrementFieldWidth = 6;
constexpr double largestFrequency = 9999.0;
constexpr double widthTolerance = 0.001;        // the frequency reader's: 0.1% of the cell width
constexpr double firstMidpointTolerance = 1e-6; // the frequency reader's, for the first midpoint

// Why a table cannot become a data file; apart from std::string, so that a variant can hold both.
struct Refusal {
    std::string text;
};

Refusal atLine(const CsvRow& row, const std::string& what)
{
    return {"line " + std::to_string(row.line) + ": " + what};
}

std::string trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// One column of the table, found by name or number.
struct Column {
    std::size_t index;
    std::string what; // "the midpoint", as messages name its values
};

std::variant<Column, Refusal> column(const CsvTable& table, const std::string& name, const std::string& what)
{
    if (const std::optional<std::size_t> index = findColumn(table, name))
        return Column{*index, what};
    std::string names;
    for (const std::string& header : table.header)
        names += (names.empty() ? "" : ", ") + header;
    return Refusal{"the CSV file has no column '" + name + "' (" + what + "); its columns are " + names +
                   ", or give a column number from 1"};
}

std::string fieldOf(const CsvRow& row, const Column& column)
{
    return column.index < row.fields.size() ? trimmed(row.fields[column.index]) : std::string();
}

std::variant<double, Refusal> numberIn(const CsvRow& row, const Column& column)
{
    const std::string text = fieldOf(row, column);
    if (text.empty())
        return atLine(row, column.what + " is missing");
    const char* begin = text.data() + (text.front() == '+' ? 1 : 0);
    const char* end = text.data() + text.size();
    double value = 0.0;
    const auto [ptr, ec] = std::from_chars(begin, end, value);
    if (ec != std::errc() || ptr != end || !std::isfinite(value))
        return atLine(row, column.what + " '" + text + "' is not a number");
    return value;
}

// The value as its field writes it, or the refusal naming the line.
std::variant<std::string, Refusal> fieldFor(const CsvRow& row, const Column& column, double value, int width)
{
    if (const std::optional<std::string> text = fieldText(value, width))
        return *text;
    return atLine(row, column.what + " " + numberText(value) + " does not fit the " + std::to_string(width) +
                           " columns of its field");
}

std::string fixedLine(const std::vector<std::pair<std::string, int>>& fields)
{
    std::string line;
    for (const auto& [text, width] : fields)
        line += (line.empty() ? "" : " ") + padToWidth(text, width);
    return line + "\n";
}

// ---- Frequencies ----------------------------------------------------------------------------

struct Cell {
    const CsvRow* row;
    std::string midpointText;
    double midpoint; // as written
    std::string frequencyText;
};

std::variant<Cell, Refusal> readCell(const CsvRow& row, const Column& midpoint, const Column& frequency,
                                     double scale)
{
    const auto mid = numberIn(row, midpoint);
    if (const auto* refusal = std::get_if<Refusal>(&mid))
        return *refusal;
    const auto count = numberIn(row, frequency);
    if (const auto* refusal = std::get_if<Refusal>(&count))
        return *refusal;
    const double n = std::get<double>(count);
    if (n < 0.0)
        return atLine(row, "negative frequency " + numberText(n));
    if (n > largestFrequency)
        return atLine(row, "frequency " + numberText(n) + " is above 9999, the largest its field holds");
    const auto midText = fieldFor(row, midpoint, std::get<double>(mid) * scale, midpointWidth);
    if (const auto* refusal = std::get_if<Refusal>(&midText))
        return *refusal;
    const auto countText = fieldFor(row, frequency, n, frequencyWidth);
    if (const auto* refusal = std::get_if<Refusal>(&countText))
        return *refusal;
    const std::string& written = std::get<std::string>(midText);
    return Cell{&row, written, leadingNumber(written), std::get<std::string>(countText)};
}

// The cells' width, the same between every two midpoints as the reader requires.
std::variant<double, Refusal> cellWidth(const std::vector<Cell>& cells)
{
    const double width = cells.size() == 1 ? 2.0 * cells[0].midpoint : cells[1].midpoint - cells[0].midpoint;
    if (!(width > 0.0))
        return atLine(*cells[cells.size() == 1 ? 0 : 1].row,
                      "the midpoints must increase by one cell width from line to line");
    for (std::size_t c = 1; c < cells.size(); ++c)
        if (std::fabs(cells[c].midpoint - cells[c - 1].midpoint - width) > widthTolerance * width)
            return atLine(*cells[c].row, "midpoint " + cells[c].midpointText + " is not one cell width (" +
                                             numberText(width) +
                                             ") above the one before it; the midpoints must be of one width");
    return width;
}

// The empty cells below the first midpoint, so that the cells start at size 0.
std::variant<int, Refusal> cellsBelow(const Cell& first, double width)
{
    const double below = (first.midpoint - width / 2.0) / width;
    const double whole = std::round(below);
    if (below < -firstMidpointTolerance || std::fabs(below - whole) * width > firstMidpointTolerance)
        return atLine(*first.row, "the first midpoint " + first.midpointText +
                                      " is not in the middle of a cell of width " + numberText(width) +
                                      " counted from size 0");
    if (whole >= maxCells)
        return atLine(*first.row, "the first midpoint " + first.midpointText + " lies beyond cell " +
                                      std::to_string(maxCells) + ", the last the file holds");
    return static_cast<int>(whole);
}

// The midpoints as written, checked as the frequency reader checks them: a width rounded to the
// decimals of the midpoints' columns could still miss its tolerances.
std::optional<Refusal> writtenMidpointsProblem(const std::vector<Cell>& cells)
{
    if (cells.size() < 2)
        return std::nullopt;
    double width = cells[1].midpoint - cells[0].midpoint;
    if (std::fabs(cells[0].midpoint - width / 2.0) > firstMidpointTolerance)
        return atLine(*cells[1].row, "the midpoints cannot be written in " + std::to_string(midpointWidth) +
                                         " columns with cells starting exactly at size 0");
    for (std::size_t c = 2; c < cells.size(); ++c) {
        const double next = cells[c].midpoint - cells[c - 1].midpoint;
        if (std::fabs(width - next) > widthTolerance * next)
            return atLine(*cells[c].row, "midpoint " + cells[c].midpointText +
                                             " as written is not one cell width above the one before it");
        width = next;
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> fieldText(double value, int width)
{
    if (!std::isfinite(value) || std::fabs(value) >= 1e15)
        return std::nullopt;
    for (int decimals = width; decimals >= 0; --decimals) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
        std::string text = buffer;
        if (static_cast<int>(text.size()) > width)
            continue;
        if (text.find('.') != std::string::npos) {
            text.erase(text.find_last_not_of('0') + 1);
            if (text.back() == '.')
                text.pop_back();
        }
        if (text == "-0")
            text = "0";
        return text;
    }
    return std::nullopt;
}

std::variant<ImportedFile, std::string> importFrequencies(const CsvTable& table,
                                                          const FrequencyColumns& columns, double scale)
{
    const auto midpoint = column(table, columns.midpoint, "the midpoint");
    if (const auto* refusal = std::get_if<Refusal>(&midpoint))
        return refusal->text;
    const auto frequency = column(table, columns.frequency, "the frequency");
    if (const auto* refusal = std::get_if<Refusal>(&frequency))
        return refusal->text;
    if (table.rows.empty())
        return std::string("the CSV file holds no lines below its header");

    std::vector<Cell> cells;
    for (const CsvRow& row : table.rows) {
        if (cells.size() == static_cast<std::size_t>(maxCells))
            return atLine(row, "more than " + std::to_string(maxCells) + " cells, the most the file holds")
                .text;
        auto cell = readCell(row, std::get<Column>(midpoint), std::get<Column>(frequency), scale);
        if (const auto* refusal = std::get_if<Refusal>(&cell))
            return refusal->text;
        cells.push_back(std::move(std::get<Cell>(cell)));
    }
    const auto width = cellWidth(cells);
    if (const auto* refusal = std::get_if<Refusal>(&width))
        return refusal->text;
    const auto below = cellsBelow(cells.front(), std::get<double>(width));
    if (const auto* refusal = std::get_if<Refusal>(&below))
        return refusal->text;
    const int empty = std::get<int>(below);
    if (empty + static_cast<int>(cells.size()) > maxCells)
        return atLine(*cells[static_cast<std::size_t>(maxCells - empty)].row,
                      "with the " + std::to_string(empty) +
                          " empty cells below the first midpoint, more than " + std::to_string(maxCells) +
                          " cells, the most the file holds")
            .text;

    std::vector<Cell> emptyCells;
    for (int c = 1; c <= empty; ++c) {
        const std::optional<std::string> text =
            fieldText(static_cast<double>(2 * c - 1) * std::get<double>(width) / 2.0, midpointWidth);
        emptyCells.push_back(
            {&table.rows.front(), text.value_or("0"), leadingNumber(text.value_or("0")), "0"});
    }
    cells.insert(cells.begin(), emptyCells.begin(), emptyCells.end());
    if (auto refusal = writtenMidpointsProblem(cells))
        return refusal->text;

    ImportedFile file;
    for (const Cell& cell : cells)
        file.text += fixedLine({{cell.midpointText, midpointWidth}, {cell.frequencyText, frequencyWidth}});
    file.lines = static_cast<int>(cells.size());
    file.emptyCellsAdded = empty;
    return file;
}

// ---- Increments -----------------------------------------------------------------------------

namespace {

using Date = std::chrono::year_month_day;

std::variant<Date, Refusal> dateIn(const CsvRow& row, const Column& column)
{
    const std::string text = fieldOf(row, column);
    int year = 0;
    unsigned month = 0, day = 0;
    char dash1 = 0, dash2 = 0;
    int consumed = 0;
    const int read =
        std::sscanf(text.c_str(), "%4d%c%2u%c%2u%n", &year, &dash1, &month, &dash2, &day, &consumed);
    const Date date{std::chrono::year{year}, std::chrono::month{month}, std::chrono::day{day}};
    if (read != 5 || dash1 != '-' || dash2 != '-' || consumed != static_cast<int>(text.size()) || !date.ok())
        return atLine(row, column.what + " '" + text + "' is not a date written YYYY-MM-DD");
    return date;
}

struct IncrementTable {
    std::optional<Column> set;
    Column initialSize, increment, startDay, endDay;
};

std::variant<IncrementTable, Refusal> incrementColumns(const CsvTable& table, const IncrementColumns& columns)
{
    const bool dates = columns.fromDates;
    std::vector<std::variant<Column, Refusal>> found{
        column(table, columns.initialSize, "the size at release"),
        column(table, columns.increment, "the increment"),
        column(table, columns.startDay, dates ? "the release date" : "the release day"),
        column(table, columns.endDay, dates ? "the recapture date" : "the recapture day")};
    if (columns.set)
        found.push_back(column(table, *columns.set, "the set number"));
    for (const auto& result : found)
        if (const auto* refusal = std::get_if<Refusal>(&result))
            return *refusal;
    IncrementTable t{std::nullopt, std::get<Column>(found[0]), std::get<Column>(found[1]),
                     std::get<Column>(found[2]), std::get<Column>(found[3])};
    if (columns.set)
        t.set = std::get<Column>(found[4]);
    return t;
}

// The release and recapture days and the set number of a record.
struct RecordDays {
    double startDay;
    double endDay;
    std::optional<double> set; // from the release year
};

// Days from 31 December of the year before firstYear; sets count years from 1 for firstYear.
std::variant<RecordDays, Refusal> daysFromDates(const CsvRow& row, const IncrementTable& t, int firstYear)
{
    const auto start = dateIn(row, t.startDay);
    if (const auto* refusal = std::get_if<Refusal>(&start))
        return *refusal;
    const auto end = dateIn(row, t.endDay);
    if (const auto* refusal = std::get_if<Refusal>(&end))
        return *refusal;
    using namespace std::chrono;
    const sys_days dayZero{year{firstYear - 1} / December / 31};
    const Date release = std::get<Date>(start);
    return RecordDays{static_cast<double>((sys_days{release} - dayZero).count()),
                      static_cast<double>((sys_days{std::get<Date>(end)} - dayZero).count()),
                      static_cast<double>(static_cast<int>(release.year()) - firstYear + 1)};
}

std::variant<RecordDays, Refusal> daysFromNumbers(const CsvRow& row, const IncrementTable& t)
{
    const auto start = numberIn(row, t.startDay);
    if (const auto* refusal = std::get_if<Refusal>(&start))
        return *refusal;
    const auto end = numberIn(row, t.endDay);
    if (const auto* refusal = std::get_if<Refusal>(&end))
        return *refusal;
    return RecordDays{std::get<double>(start), std::get<double>(end), std::nullopt};
}

// The year of the first release among the rows' release dates.
std::variant<int, Refusal> firstReleaseYear(const CsvTable& table, const IncrementTable& t)
{
    int first = 0;
    for (const CsvRow& row : table.rows) {
        const auto date = dateIn(row, t.startDay);
        if (const auto* refusal = std::get_if<Refusal>(&date))
            return *refusal;
        const int year = static_cast<int>(std::get<Date>(date).year());
        first = first == 0 ? year : std::min(first, year);
    }
    return first;
}

std::variant<std::string, Refusal> recordLine(const CsvRow& row, const IncrementTable& t,
                                              const RecordDays& days, double scale)
{
    double set = 0.0;
    if (t.set) {
        const auto number = numberIn(row, *t.set);
        if (const auto* refusal = std::get_if<Refusal>(&number))
            return *refusal;
        set = std::get<double>(number);
    } else {
        set = days.set.value_or(0.0);
    }
    if (!(set >= 0.0 && set <= maxSetNumber))
        return atLine(row,
                      "set number " + numberText(set) + " is not within 0.." + std::to_string(maxSetNumber));
    const auto size = numberIn(row, t.initialSize);
    if (const auto* refusal = std::get_if<Refusal>(&size))
        return *refusal;
    const auto increment = numberIn(row, t.increment);
    if (const auto* refusal = std::get_if<Refusal>(&increment))
        return *refusal;

    const Column setColumn = t.set.value_or(Column{0, "the set number"});
    const std::pair<const Column*, double> values[] = {{&setColumn, set},
                                                       {&t.initialSize, std::get<double>(size) * scale},
                                                       {&t.increment, std::get<double>(increment) * scale},
                                                       {&t.startDay, days.startDay},
                                                       {&t.endDay, days.endDay}};
    std::vector<std::pair<std::string, int>> fields;
    for (const auto& [column, value] : values) {
        const auto text = fieldFor(row, *column, value, incrementFieldWidth);
        if (const auto* refusal = std::get_if<Refusal>(&text))
            return *refusal;
        fields.emplace_back(std::get<std::string>(text), incrementFieldWidth);
    }
    return fixedLine(fields);
}

} // namespace

std::variant<ImportedFile, std::string> importIncrements(const CsvTable& table,
                                                         const IncrementColumns& columns, double scale)
{
    if (!columns.set && !columns.fromDates)
        return std::string(
            "give the set number column (--set), or --from-dates to number the sets by release year");
    const auto found = incrementColumns(table, columns);
    if (const auto* refusal = std::get_if<Refusal>(&found))
        return refusal->text;
    const IncrementTable& t = std::get<IncrementTable>(found);
    if (table.rows.empty())
        return std::string("the CSV file holds no lines below its header");
    if (table.rows.size() > static_cast<std::size_t>(maxRecords))
        return atLine(table.rows[static_cast<std::size_t>(maxRecords)],
                      "more than " + std::to_string(maxRecords) + " records, the most the file holds")
            .text;
    int firstYear = 0;
    if (columns.fromDates) {
        const auto year = firstReleaseYear(table, t);
        if (const auto* refusal = std::get_if<Refusal>(&year))
            return refusal->text;
        firstYear = std::get<int>(year);
    }

    ImportedFile file;
    for (const CsvRow& row : table.rows) {
        const auto days = columns.fromDates ? daysFromDates(row, t, firstYear) : daysFromNumbers(row, t);
        if (const auto* refusal = std::get_if<Refusal>(&days))
            return refusal->text;
        const auto line = recordLine(row, t, std::get<RecordDays>(days), scale);
        if (const auto* refusal = std::get_if<Refusal>(&line))
            return refusal->text;
        file.text += std::get<std::string>(line);
        ++file.lines;
    }
    return file;
}

} // namespace orvanta
