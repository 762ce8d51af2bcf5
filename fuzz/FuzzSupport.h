#pragma once

// What the harnesses share: the entry point libFuzzer calls (and the replay programs call on
// every corpus file), a check that stops the run at a broken promise, and files that hold an
// input for the readers that read from files.

#include "model/TarnfieldModel.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace orvanta::fuzz {

// A broken promise: told, then the process aborts, which libFuzzer keeps as a finding and a
// replay reports as a failed test.
#define ORVANTA_FUZZ_CHECK(condition)                                                                        \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);               \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (false)

inline std::string_view bytesOf(const std::uint8_t* data, std::size_t size)
{
    return {reinterpret_cast<const char*>(data), size};
}

// The data files of request read as initialization reads them; nothing when they are refused,
// after checking that the refusal says why.
std::optional<ModelData> readDataFiles(const InitializationRequest& request);

// A file of this process, named by role ("frequencies", "increments"), replaced with bytes on
// every call; all of them are removed when the process ends.
std::string writeInputFile(const std::string& role, std::string_view bytes);

} // namespace orvanta::fuzz
