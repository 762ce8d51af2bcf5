#include "batch/CsvTable.h"

#include <csv.h>

#include <algorithm>
#include <charconv>

namespace orvanta {

namespace {

// What libcsv's callbacks build.
struct CsvCollector {
    CsvTable table;
    CsvRow row;
    bool headerRead = false;
    int line = 1; // the line being fed to the parser

    void field(const char* text, std::size_t size)
    {
        if (row.fields.empty())
            row.line = line;
        row.fields.emplace_back(text == nullptr ? "" : std::string(text, size));
    }

    void endRecord()
    {
        const bool empty = std::all_of(row.fields.begin(), row.fields.end(),
                                       [](const std::string& field) { return field.empty(); });
        if (!headerRead) {
            table.header = std::move(row.fields);
            headerRead = true;
        } else if (!empty) {
            table.rows.push_back(std::move(row));
        }
        row = CsvRow{};
    }
};

void fieldCallback(void* text, std::size_t size, void* collector)
{
    static_cast<CsvCollector*>(collector)->field(static_cast<const char*>(text), size);
}

void recordCallback(int /*terminator*/, void* collector)
{
    static_cast<CsvCollector*>(collector)->endRecord();
}

// The parser, freed however the parse ends.
class CsvParser {
public:
    CsvParser() { ok_ = csv_init(&parser_, CSV_STRICT | CSV_STRICT_FINI) == 0; }
    ~CsvParser() { csv_free(&parser_); }
    CsvParser(const CsvParser&) = delete;
    CsvParser& operator=(const CsvParser&) = delete;

    bool ok() const { return ok_; }
    csv_parser* get() { return &parser_; }

private:
    csv_parser parser_{};
    bool ok_ = false;
};

std::string problemAt(int line, CsvParser& parser)
{
    return "it is not valid CSV at line " + std::to_string(line) + " (" +
           csv_strerror(csv_error(parser.get())) +
           ", such as a quote inside an unquoted field or a quoted "
           "field not closed)";
}

} // namespace

std::variant<CsvTable, std::string> parseCsv(const std::string& text)
{
    CsvParser parser;
    if (!parser.ok())
        return std::string("the CSV parser could not be started");
    CsvCollector collector;
    std::size_t start = 0;
    // A byte-order mark in front of the header is no part of its first name.
    if (text.rfind("\xEF\xBB\xBF", 0) == 0)
        start = 3;
    // Fed line by line, so that every record knows the line it starts on.
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        else
            end += text.compare(end, 2, "\r\n") == 0 ? 2 : 1;
        const std::size_t length = end - start;
        if (csv_parse(parser.get(), text.data() + start, length, fieldCallback, recordCallback, &collector) !=
            length)
            return problemAt(collector.line, parser);
        ++collector.line;
        start = end;
    }
    if (csv_fini(parser.get(), fieldCallback, recordCallback, &collector) != 0)
        return problemAt(collector.line - 1, parser);
    if (!collector.headerRead)
        return std::string("it holds no header line naming the columns");
    return std::move(collector.table);
}

std::optional<std::size_t> findColumn(const CsvTable& table, const std::string& name)
{
    std::size_t number = 0;
    const char* end = name.data() + name.size();
    const auto [ptr, ec] = std::from_chars(name.data(), end, number);
    if (!name.empty() && ec == std::errc() && ptr == end)
        return number >= 1 && number <= table.header.size() ? std::optional<std::size_t>(number - 1)
                                                            : std::nullopt;
    const auto it = std::find(table.header.begin(), table.header.end(), name);
    if (it == table.header.end())
        return std::nullopt;
    return static_cast<std::size_t>(it - table.header.begin());
}

} // namespace orvanta
