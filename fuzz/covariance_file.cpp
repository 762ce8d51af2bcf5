// libFuzzer harness of the covariance-file reader: any bytes, read as the .cov file of the
// Tarnfield model's 20 parameters, must give either a refusal with a message or a file whose
// tables agree with one another; nothing may crash, hang or read out of bounds.

#include "uncertainty/CovarianceFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace {

constexpr int paramCount = 20;

void require(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace orvanta;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const CovarianceFileReading reading = parseCovarianceFile(text, "fuzz.cov", paramCount);
    require(reading.ok() != !reading.error.empty());
    if (!reading.ok())
        return 0;
    const CovarianceFile& file = *reading.file;
    require(file.estimates.size() == paramCount + 1 && file.steps.size() == paramCount + 1);
    const StandardErrorTable& table = file.table;
    std::vector<int> params;
    for (int a = 1; a <= table.freeCount(); ++a) {
        const int p = table.freeParams[static_cast<std::size_t>(a)];
        require(p >= 1 && p <= paramCount && file.steps[static_cast<std::size_t>(p)] != 0.0);
        params.push_back(p);
    }
    for (int g = 1; g <= gridCount; ++g) {
        require(table.standardErrors[static_cast<std::size_t>(g)].size() == params.size() + 1);
        std::string error;
        const auto errors = gridStandardErrors(file, g, params, error);
        require(errors.has_value() == error.empty());
        if (errors)
            for (const int p : params)
                require((*errors)[static_cast<std::size_t>(p)] > 0.0);
    }
    return 0;
}
