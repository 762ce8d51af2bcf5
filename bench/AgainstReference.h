#pragma once

// Times a new path against the path it replaced, in the same run: each iteration runs both, the
// new one first, so that both see the same machine. The benchmark reports the new path's time
// (manual time) with the counters referenceMs (the old path's time per iteration) and speedup
// (old time / new time).

#include <benchmark/benchmark.h>

#include <chrono>

namespace orvanta {

template <typename NewPath, typename ReferencePath>
void timeAgainstReference(benchmark::State& state, NewPath newPath, ReferencePath referencePath)
{
    using Clock = std::chrono::steady_clock;
    double newSeconds = 0.0;
    double referenceSeconds = 0.0;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        newPath();
        const Clock::time_point middle = Clock::now();
        referencePath();
        const Clock::time_point end = Clock::now();
        const double seconds = std::chrono::duration<double>(middle - start).count();
        state.SetIterationTime(seconds);
        newSeconds += seconds;
        referenceSeconds += std::chrono::duration<double>(end - middle).count();
    }
    const auto iterations = static_cast<double>(state.iterations());
    state.counters["referenceMs"] = 1000.0 * referenceSeconds / iterations;
    state.counters["speedup"] = referenceSeconds / newSeconds;
}

} // namespace orvanta
