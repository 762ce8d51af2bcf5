#include "text/NumberText.h"

#include <benchmark/benchmark.h>

#include <array>
#include <string_view>

namespace {

// Patterns of the kinds the reports use most: fixed with trailing "#", scientific, literal
// columns.
constexpr std::array<std::string_view, 4> patterns = {"####0.#####", "0.0000E+00", "    000) ",
                                                      "#####0.0000000"};
constexpr std::array<double, 4> values = {3.14159265358979, -1234.5, 0.00012, 7.0};

void formatNumberByPattern(benchmark::State& state)
{
    const std::string_view pattern = patterns[static_cast<std::size_t>(state.range(0))];
    state.SetLabel(std::string(pattern));
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(orvanta::formatNumber(values[next], pattern));
        next = (next + 1) % values.size();
    }
}
BENCHMARK(formatNumberByPattern)->DenseRange(0, static_cast<int>(patterns.size()) - 1);

// Extreme magnitudes have the longest exact decimal expansions.
void formatNumberExtremeMagnitudes(benchmark::State& state)
{
    constexpr std::array<double, 2> extremes = {1e300, 4.9e-324};
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(orvanta::formatNumber(extremes[next], "0.0000E+00"));
        next = (next + 1) % extremes.size();
    }
}
BENCHMARK(formatNumberExtremeMagnitudes);

void numberTextOfDoubles(benchmark::State& state)
{
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(orvanta::numberText(values[next]));
        next = (next + 1) % values.size();
    }
}
BENCHMARK(numberTextOfDoubles);

} // namespace
