// The frequency data file reader on any bytes: it takes the file or refuses it with a message,
// and what it takes stays within the model's capacity.

#include "FuzzSupport.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace orvanta;
    InitializationRequest request;
    request.frequencyFile = fuzz::writeInputFile("frequencies", fuzz::bytesOf(data, size));
    const std::optional<ModelData> model = fuzz::readDataFiles(request);
    if (!model)
        return 0;
    const FrequencyData& f = model->frequencies;
    ORVANTA_FUZZ_CHECK(f.cellCount >= 1 && f.cellCount <= maxCells);
    ORVANTA_FUZZ_CHECK(f.lastNonZeroCell >= 0 && f.lastNonZeroCell <= f.cellCount);
    ORVANTA_FUZZ_CHECK(std::isfinite(f.cellWidth) && f.cellWidth >= 0.0);
    ORVANTA_FUZZ_CHECK(!(f.N < 0.0)); // N may overflow to infinity, but never turns negative
    return 0;
}
