// The priors file reader on any bytes: it never fails but by telling why, a file it takes is
// written back as a file that reads again to the very same text, and every prior it reads can be
// judged and evaluated without a fault.

#include "priors/PriorEvaluation.h"
#include "priors/PriorProblem.h"
#include "priors/PriorsFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

// A broken promise: told, then the process aborts, which libFuzzer keeps as a finding.
void check(bool condition, const char* what)
{
    if (condition)
        return;
    std::fprintf(stderr, "priors_file: check failed: %s\n", what);
    std::abort();
}

void readAndWriteBack(std::string_view bytes, int paramCount)
{
    using namespace orvanta;
    const PriorsFileReading reading = readPriorsText(bytes, paramCount);
    if (reading.problem == PriorsFileProblem::CountMismatch) {
        check(reading.fileCount != paramCount, "a mismatch names another count");
        check(reading.priors.empty(), "nothing is read after a mismatch");
        return;
    }
    if (reading.problem == PriorsFileProblem::TooFewLines) {
        check(reading.missingLine >= 2 && reading.missingLine <= paramCount + 1,
              "the missing line is a parameter's");
        check(reading.priors.empty(), "nothing is half read");
        check(!tooFewLinesText(reading).empty(), "the problem is told");
        return;
    }
    check(reading.priors.size() == static_cast<std::size_t>(paramCount) + 1, "every parameter has a prior");
    for (int i = 1; i <= paramCount; ++i)
        check(reading.priors[static_cast<std::size_t>(i)].typeCode.size() <= 1, "a type code is one letter");

    const std::string written = priorsFileText(reading.priors, paramCount);
    const PriorsFileReading again = readPriorsText(written, paramCount);
    check(!again.failed(), "a written file reads again");
    check(priorsFileText(again.priors, paramCount) == written, "a written file reads back as written");

    // Judged, and evaluated at a few points, as the open flow and the penalty do.
    priorsProblem(reading.priors, paramCount);
    PriorResults results;
    for (const double x : {-1e6, -1.0, 0.0, 1e-7, 0.5, 1.0, 3.0, 1e6}) {
        const std::vector<double> vector(static_cast<std::size_t>(paramCount) + 1, x);
        evaluatePriors(reading.priors, vector, 0.5, results);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // The model's twenty parameters, and a count the input's first line may well name.
    readAndWriteBack(bytes, 20);
    readAndWriteBack(bytes, static_cast<int>(size % 4));
    return 0;
}
