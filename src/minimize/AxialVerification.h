#pragma once

// The Simplex's check of its own convergence: each free parameter of the best vertex is probed
// a reduced step (stepReductionFraction x its step) up and then down. The first probe that
// beats the minimum by more than the tolerance stops the search and rebuilds the simplex around
// the better point (a restart); when no probe does, the minimum is verified and reported.

#include <string>

namespace orvanta {

class Application;

enum class Verification { Verified, Restarted };

// How much better than the minimum fmin a probe must be: the tolerance itself when it is
// absolute (>= 0), |tolerance| x |fmin| when it is relative.
double axialThreshold(double tolerance, double fmin);

// Status panel 2 while probing: "Axial function call k of 2n".
std::string axialProbeText(int probe, int freeCount);

// Called by runSimplex with the simplex ranked. Verified: the result is in the window, the log
// and a message (silently during a likelihood profile). Restarted: the simplex was rebuilt
// around the better point and ranked, and the restart counted.
Verification verifyConvergence(Application& app);

} // namespace orvanta
