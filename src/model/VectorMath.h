#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// Vector arithmetic chosen at run time for the processor: the instruction sets the vectorised
// model code is compiled for, and the exponential and logarithm of many values at once.

namespace orvanta {

// The instruction sets compiled in that this processor runs, best first; the last is portable
// code that runs everywhere.
struct InstructionSet {
    std::int64_t id = 0;
    std::string name;
};
std::vector<InstructionSet> availableInstructionSets();

// Restricts the vectorised code to one instruction set (tests and benchmarks); id 0 lifts the
// restriction.
void restrictInstructionSet(std::int64_t id);

// The name of the instruction set the vectorised code runs on now.
std::string activeInstructionSet();

// e^v and ln v for every element v, in place, by the vector functions of the instruction set
// (within 1 ulp, not always the correctly rounded value the C library mostly gives). Every
// element's result depends on its value and the instruction set only, not on its neighbours.
void expInPlace(std::span<double> values);
void logInPlace(std::span<double> values);

} // namespace orvanta
