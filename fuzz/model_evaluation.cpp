// One model evaluation, as `orvanta-batch evaluate` runs it, on small fuzzed data files and
// parameter values: it ends (scripts/fuzz.sh gives each input 20 seconds), with exit status 0
// and a finite objective, 2 for refused input, or 3 for an objective that is not finite.
//
// Input: byte 0 chooses the files (bits 0-1: both, frequencies only, increments only), the
// increment errors (bit 2: gamma) and the first cell (bits 3-7: 1 to 32). Then one byte per
// parameter 1..20: below 240 a value from a table of typical and extreme values, else the next
// eight bytes as a double. The rest is the frequency file, then after a byte 0xFF the
// increment file.

#include "FuzzSupport.h"

#include "batch/BatchProgram.h"
#include "batch/CommandLine.h"
#include "model/ModelState.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

const double typicalValues[] = {0,    1,    -1,      0.5,  2,    3,     5,      10,    20,   35,
                                50,   100,  120,     250,  365,  -999,  1e-6,   1e-3,  0.05, 0.3,
                                0.35, 1000, 1e6,     -0.5, -10,  1e-12, 1e12,   0.999, 200,  45,
                                8,    70,   -1776.5, 0.06, 0.03, 1e300, -1e300, 2000,  0.01, 7};
constexpr std::uint8_t rawDouble = 240;

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::uint8_t byte() { return position_ < size_ ? data_[position_++] : 0; }

    double parameter()
    {
        const std::uint8_t code = byte();
        if (code < rawDouble)
            return typicalValues[code % std::size(typicalValues)];
        std::uint8_t bytes[sizeof(double)];
        for (std::uint8_t& b : bytes)
            b = byte();
        double value = 0.0;
        std::memcpy(&value, bytes, sizeof value);
        return std::isfinite(value) ? value : 0.0; // the command line takes finite numbers only
    }

    std::string_view rest() const
    {
        return position_ < size_ ? orvanta::fuzz::bytesOf(data_ + position_, size_ - position_)
                                 : std::string_view();
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace orvanta;
    Input input(data, size);
    const std::uint8_t choices = input.byte();
    std::string params;
    for (int i = 1; i <= modelParamCount; ++i)
        params += (i > 1 ? "," : "") + fullPrecision(input.parameter());

    const std::string_view files = input.rest();
    const std::size_t split = std::min(files.find('\xff'), files.size());
    std::vector<std::string> args = {"evaluate",
                                     "--params",
                                     params,
                                     "--first-cell",
                                     std::to_string(1 + (choices >> 3)),
                                     "--errors",
                                     (choices & 4) ? "gamma" : "gaussian"};
    if ((choices & 3) != 2)
        args.insert(args.end(), {"--freq", fuzz::writeInputFile("frequencies", files.substr(0, split))});
    if ((choices & 3) != 1)
        args.insert(
            args.end(),
            {"--inc", fuzz::writeInputFile("increments", files.substr(std::min(split + 1, files.size())))});

    std::ostringstream out, err;
    const int status = runBatch(args, out, err);
    ORVANTA_FUZZ_CHECK(status == batchExit::success || status == batchExit::badInput ||
                       status == batchExit::notFinite);
    ORVANTA_FUZZ_CHECK(err.str().find("unexpected error") == std::string::npos);
    if (status == batchExit::success) {
        std::istringstream printed(out.str());
        std::string name;
        double objective = NAN;
        printed >> name >> objective;
        ORVANTA_FUZZ_CHECK(name == "objective" && std::isfinite(objective));
    }
    return 0;
}
