#pragma once

// The Marquardt minimizer's check of its own convergence: every parameter with a non-zero step
// is probed a reduced step (stepReductionFraction x its step) up and then down from the working
// point. Unlike the Simplex's search, every probe is made; among the probes that beat the
// minimum by more than the tolerance the lowest wins, and the working point moves one reduced
// step along that single parameter. Probes are evaluated with NF = 1 and do not count as calls.

#include <vector>

namespace orvanta {

class Application;

// Whether a probe value beats the minimum f0 by more than the tolerance: absolute (> 0) on the
// difference, relative (< 0) on the difference divided by f0. A tolerance of 0 never fails a
// probe, and neither does a value that is not finite.
bool probeBeatsMinimum(double probe, double f0, double tolerance);

struct MarquardtVerification {
    bool verified = true;
    int failingParameter = 0; // signed: + for the up probe, - for the down probe; 0 when verified
};

// point: the full-length working vector (1..paramCount), equal to paramValues on entry. On a
// failure point and paramValues move to the best probe and f0 is lowered to its value. The fuse
// groups are applied to point before returning. Once the program has ended it returns at its
// next yield, leaving point and f0 as they are; the caller asks Application::ended().
MarquardtVerification verifyMarquardt(Application& app, std::vector<double>& point, double& f0);

} // namespace orvanta
