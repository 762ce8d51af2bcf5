// The frequency data file reader on any bytes: it takes the file or refuses it with a message,
// and what it takes stays within the model's capacity.

#include "FuzzSupport.h"

#include "model/DataFiles.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace orvanta;
    InitializationRequest request;
    request.frequencyFile = fuzz::writeInputFile("frequencies", fuzz::bytesOf(data, size));
    fuzz::SilentUi ui;
    const auto result = readModelData(request, ui);
    if (const auto* problem = std::get_if<DataFileProblem>(&result)) {
        ORVANTA_FUZZ_CHECK(!problem->text.empty() && !problem->title.empty());
        return 0;
    }
    const FrequencyData& f = std::get<ModelData>(result).frequencies;
    ORVANTA_FUZZ_CHECK(f.cellCount >= 1 && f.cellCount <= maxCells);
    ORVANTA_FUZZ_CHECK(f.lastNonZeroCell >= 0 && f.lastNonZeroCell <= f.cellCount);
    ORVANTA_FUZZ_CHECK(std::isfinite(f.cellWidth) && f.cellWidth >= 0.0);
    ORVANTA_FUZZ_CHECK(!(f.N < 0.0)); // N may overflow to infinity, but never turns negative
    return 0;
}
