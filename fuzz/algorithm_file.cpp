// The algorithm file reader on any bytes, as text and as a file: both readings agree, and a
// file that is taken is written back as a file that reads again to the very same text.

#include "FuzzSupport.h"

#include "algorithm/AlgorithmFile.h"
#include "model/ModelState.h"

namespace {

// Algorithm data of the model's twenty parameters at their defaults.
orvanta::AlgorithmData modelData()
{
    orvanta::AlgorithmData data;
    data.paramCount = orvanta::modelParamCount;
    orvanta::resetAlgorithmData(data);
    data.paramDescriptions.assign(static_cast<std::size_t>(data.paramCount) + 1, "a parameter");
    return data;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace orvanta;
    const std::string_view bytes = fuzz::bytesOf(data, size);
    AlgorithmData fromText = modelData();
    const AlgorithmFileReading textReading = readAlgorithmText(bytes, fromText);

    AlgorithmData fromFile = modelData();
    LineReader file = LineReader::openFile(fuzz::writeInputFile("algorithm", bytes));
    const AlgorithmFileReading fileReading = readAlgorithmLines(file, fromFile);
    ORVANTA_FUZZ_CHECK(fileReading.problem == textReading.problem);
    ORVANTA_FUZZ_CHECK(fileReading.dataChanged == textReading.dataChanged);
    if (textReading.failed()) {
        ORVANTA_FUZZ_CHECK(!algorithmFileProblemText(textReading, "fuzz.alg", modelParamCount).empty());
        return 0;
    }
    const std::string written = algorithmFileText(fromText);
    ORVANTA_FUZZ_CHECK(algorithmFileText(fromFile) == written);

    AlgorithmData again = modelData();
    const AlgorithmFileReading reread = readAlgorithmText(written, again);
    ORVANTA_FUZZ_CHECK(!reread.failed());
    ORVANTA_FUZZ_CHECK(algorithmFileText(again) == written);
    return 0;
}
