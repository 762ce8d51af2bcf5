#pragma once

// The scale of the prior penalty (covScale) as the prior editor prepares it when it closes. The
// penalty is covScale times the sum of the priors' -ln[L], so covScale must turn the objective
// into -ln[L] as well: for an objective that is -2 ln L it is 1/2.

namespace orvanta {

class Application;

enum class PenaltyScaleEnd {
    Set,
    Unchanged,              // the model reports a negative observation count
    TooFewDegreesOfFreedom, // the user was told; covScale is unchanged
    ProgramEnded,           // the user quit while the constant was asked for
};

// From the observation count the model reported at its last call:
//   0    the constant c that makes the objective -ln[L] is asked of the user; covScale = 1 / c;
//   > 0  with d = count - freeCount - 1 degrees of freedom, covScale = d / (2 F), where F is the
//        objective without priors at paramValues (fuse groups applied, call code 1). With d <= 0
//        the user is told and covScale stays; an F that is not above 0 (or not finite) gives no
//        usable scale, so the user is told so and asked for the constant instead;
//   < 0  covScale stays as it is.
PenaltyScaleEnd preparePenaltyScale(Application& app);

} // namespace orvanta
