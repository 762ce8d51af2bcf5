// The increment data file reader on any bytes: it takes the file or refuses it with a message,
// and what it takes stays within the model's capacity, with per-set counts that add up.

#include "FuzzSupport.h"

#include <cmath>
#include <numeric>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace orvanta;
    InitializationRequest request;
    request.incrementFile = fuzz::writeInputFile("increments", fuzz::bytesOf(data, size));
    const std::optional<ModelData> model = fuzz::readDataFiles(request);
    if (!model)
        return 0;
    const IncrementData& inc = model->increments;
    ORVANTA_FUZZ_CHECK(model->analysisType == AnalysisType::Increments);
    ORVANTA_FUZZ_CHECK(inc.recordCount >= 1 && inc.recordCount <= maxRecords);
    ORVANTA_FUZZ_CHECK(inc.records.size() == static_cast<std::size_t>(inc.recordCount) + 1);
    const int counted = std::accumulate(inc.recordsPerSet.begin(), inc.recordsPerSet.end(), 0);
    ORVANTA_FUZZ_CHECK(counted <= inc.recordCount);
    ORVANTA_FUZZ_CHECK(inc.highestSet >= 0.0 && inc.highestSet <= maxSetNumber + 0.5);
    for (int i = 1; i <= inc.recordCount; ++i) {
        const IncrementRecord& r = inc.records[static_cast<std::size_t>(i)];
        ORVANTA_FUZZ_CHECK(std::isfinite(r.initialSize) && std::isfinite(r.increment) &&
                           std::isfinite(r.startDay) && std::isfinite(r.endDay));
    }
    return 0;
}
