#pragma once

// A table read from comma-separated values (RFC 4180: fields in double quotes may hold commas,
// quotes doubled and line breaks; lines end in LF, CR LF or CR), parsed by libcsv. The first
// record is the header that names the columns.

#include <cstddef>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace orvanta {

struct CsvRow {
    int line = 0; // the line of the file on which the record starts, from 1
    std::vector<std::string> fields;
};

struct CsvTable {
    std::vector<std::string> header;
    std::vector<CsvRow> rows; // the records after the header; records of empty fields left out
};

// The table in text, or why it is not valid CSV (with the line where that shows).
std::variant<CsvTable, std::string> parseCsv(const std::string& text);

// The column (from 0) that names: a header name, or a column number from 1 written in digits;
// nothing when the table has no such column.
std::optional<std::size_t> findColumn(const CsvTable& table, const std::string& name);

} // namespace orvanta
