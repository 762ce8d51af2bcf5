// The CSV importer on any bytes: it refuses the table with a message or writes a data file that
// the data file readers take as it is, with every cell or record it wrote.

#include "FuzzSupport.h"

#include "batch/DataFileImport.h"

#include <variant>

namespace {

using namespace orvanta;

void checkFrequencies(const CsvTable& table, double scale)
{
    const auto imported = importFrequencies(table, {"1", "2"}, scale);
    if (const auto* refusal = std::get_if<std::string>(&imported)) {
        ORVANTA_FUZZ_CHECK(!refusal->empty());
        return;
    }
    const ImportedFile& file = std::get<ImportedFile>(imported);
    InitializationRequest request;
    request.frequencyFile = fuzz::writeInputFile("frequencies", file.text);
    const std::optional<ModelData> model = fuzz::readDataFiles(request);
    ORVANTA_FUZZ_CHECK(model.has_value());
    ORVANTA_FUZZ_CHECK(model->frequencies.cellCount == file.lines);
}

void checkIncrements(const CsvTable& table, bool fromDates, double scale)
{
    IncrementColumns columns{"1", "2", "3", "4", "5", fromDates};
    if (fromDates)
        columns.set.reset();
    const auto imported = importIncrements(table, columns, scale);
    if (const auto* refusal = std::get_if<std::string>(&imported)) {
        ORVANTA_FUZZ_CHECK(!refusal->empty());
        return;
    }
    const ImportedFile& file = std::get<ImportedFile>(imported);
    InitializationRequest request;
    request.incrementFile = fuzz::writeInputFile("increments", file.text);
    const std::optional<ModelData> model = fuzz::readDataFiles(request);
    ORVANTA_FUZZ_CHECK(model.has_value());
    ORVANTA_FUZZ_CHECK(model->increments.recordCount == file.lines);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto table = parseCsv(std::string(fuzz::bytesOf(data, size)));
    if (const auto* problem = std::get_if<std::string>(&table)) {
        ORVANTA_FUZZ_CHECK(!problem->empty());
        return 0;
    }
    for (const double scale : {1.0, 10.0}) {
        checkFrequencies(std::get<CsvTable>(table), scale);
        checkIncrements(std::get<CsvTable>(table), false, scale);
        checkIncrements(std::get<CsvTable>(table), true, scale);
    }
    return 0;
}
