#pragma once

#include <cstdint>

namespace orvanta {

// Where the Marquardt minimizer takes its derivatives from; None when the user cancelled the
// question.
enum class DerivativeMode { None, Numerical, Analytical };

// The counters of the current minimization run. callCount is the number of counted function
// calls and is handed to MODEL as the call code.
struct RunCounters {
    std::int32_t iterationCount = 0;
    std::int32_t callCount = 0;
    std::int16_t restartCount = 0;
};

// What the minimizers and their windows share: the windows' buttons set the flags and the runs
// poll them. It lives outside the windows because a run goes on when its window is closed.
struct MinimizationState {
    RunCounters counters;
    bool simplexRunning = false;     // a Simplex command runs (the design's minimizerRunning)
    bool interruptRequested = false; // the Simplex window's "&Interrupt" was pressed
    bool marquardtRunning = false;   // a Marquardt command runs
    bool marquardtInterrupt = false; // the Marquardt window's "&Interrupt" was pressed
    bool resumeRequested = true;     // ends a derivative pause
    bool showDerivatives = false;    // list the derivatives and pause after each iteration
    DerivativeMode derivativeMode = DerivativeMode::None;
};

} // namespace orvanta
