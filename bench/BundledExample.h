#pragma once

// The bundled example (examples/tarnfield-*.dat with tarnfield.alg) loaded into a batch engine,
// as the benchmarks of whole tool runs start from it.

#include "batch/BatchEngine.h"

#include <sstream>
#include <string>

namespace orvanta {

inline const std::string bundledExamplesDir = ORVANTA_EXAMPLES_DIR;

// The engine with the example's data and algorithm file, its free-parameter index built; false
// when a file was refused or nothing is free.
inline bool loadBundledExample(BatchEngine& engine)
{
    InitializationRequest request;
    request.frequencyFile = bundledExamplesDir + "/tarnfield-lengths.dat";
    request.incrementFile = bundledExamplesDir + "/tarnfield-tags.dat";
    std::ostringstream problems;
    if (!initializeFromData(engine, request, "bench", problems) ||
        !loadAlgorithmFile(engine, bundledExamplesDir + "/tarnfield.alg", "bench", problems))
        return false;
    buildFreeIndex(engine.app.algorithm);
    return engine.app.algorithm.freeCount > 0;
}

} // namespace orvanta
