#pragma once

#include <cstdint>
#include <string>
#include <vector>

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

// The Simplex minimizer's simplex in free coordinates (arrays numbered from 1, element 0
// unused). It outlives a run while session.simplexBuilt stays true, so that the next run
// continues from it. Non-finite objectives are stored as +infinity (see SimplexMinimizer.h).
struct SimplexState {
    std::vector<std::vector<double>> vertices; // [v][k]: vertices 1..n+1, their centroid at n+2
    std::vector<double> values;                // objective at vertices 1..n+1
    int bestVertex = 1;
    int worstVertex = 1;
    std::vector<double> reflectPoint; // trial point of a move; the better axial point
    std::vector<double> expandPoint;
    std::string lastAction;         // the move accepted in the last iteration, or empty
    std::int16_t improvedCount = 0; // vertices worse than the last reflected point

    // Set by a running likelihood profile for the progress display; the run sets
    // profileSkipRequested when the user chooses to quit the whole profile.
    int profilePoint = 0;
    int profilePointCount = 0;
    bool profileSkipRequested = false;
};

// What the minimizers and their windows share: the windows' buttons set the flags and the runs
// poll them. It lives outside the windows because a run goes on when its window is closed.
struct MinimizationState {
    RunCounters counters;
    SimplexState simplex;
    bool simplexRunning = false;     // a Simplex command runs (the design's minimizerRunning)
    bool interruptRequested = false; // the Simplex window's "&Interrupt" was pressed
    bool marquardtRunning = false;   // a Marquardt command runs
    bool marquardtInterrupt = false; // the Marquardt window's "&Interrupt" was pressed
    bool resumeRequested = true;     // ends a derivative pause
    bool showDerivatives = false;    // list the derivatives and pause after each iteration
    DerivativeMode derivativeMode = DerivativeMode::None;
};

} // namespace orvanta
