#pragma once

// The Marquardt minimizer: a damped Newton search in the space of the free parameters. At each
// accepted point it takes the gradient and the Hessian of the objective (MarquardtDerivatives.h),
// multiplies the Hessian's diagonal magnitudes by (1 + lambda), solves for the step with the LU
// routines (MatrixRoutines.h) and accepts the step when the objective does not increase (ties
// are accepted). lambda shrinks tenfold after an accepted step and grows tenfold after a
// rejected one. Convergence is tested on the change of the objective between accepted
// iterations and verified by an axial search (MarquardtVerification.h). The main menu's
// "&Marquardt" runs it; the likelihood profiles call runMarquardt at each profile point.
//
// Non-finite objectives: a NaN or an infinity (of either sign) compares as +infinity, so a step
// into such a region is rejected like any other uphill step and never accepted. A starting point
// without a finite value refuses the run with the parameter values that produced it; derivatives
// that cannot be computed because a probe or a derivative is not finite end the run with a
// message naming the parameters involved. Every end leaves paramValues at the last accepted
// point.

#include "minimize/ProgressText.h"

#include <string>
#include <vector>

namespace orvanta {

class Application;
struct AlgorithmData;

// The damping factor at the start and after a rejected convergence.
inline constexpr double initialLambda = 0.001;
// Above this the damping has made the step meaningless and the run gives up.
inline constexpr double largestLambda = 1E+20;
// Consecutive rejected trials before the point is verified and the run gives up.
inline constexpr int trialLimit = 25;
// Axial verifications per run before the run gives up.
inline constexpr int verificationLimit = 5;

// How a run ended.
enum class MarquardtEnd {
    Verified,           // the axial search verified the minimum
    Stopped,            // maxCalls accepted iterations, or the user's interrupt
    GaveUp,             // lambda too large, too many trials or verifications
    DecompositionFailed,
    DerivativesMissing, // analytical derivatives asked for but not supplied by the model
    NonFiniteDerivatives,
    NonFiniteStart,
    ProfileInterrupted, // during a profile: this point (or the whole profile) abandoned
    ProgramEnded,       // the user quit the program during the run
};

// The two questions of "&Marquardt": derivative mode (None when cancelled) and showDerivatives.
void chooseMarquardtOptions(Application& app);

// The texts of those questions.
std::string derivativeModeQuestion();
std::string showDerivativesQuestion();
std::string giveUpText();

// The refusal of a start without a finite objective: why, then every parameter of vector.
std::string marquardtNonFiniteStartText(const AlgorithmData& data, const std::vector<double>& vector,
                                        const std::string& failure);

// The minimization itself, with the derivative mode of app.minimization. Needs the fuse groups
// and the free index built and freeCount above 0.
MarquardtEnd runMarquardt(Application& app);

// "&Marquardt" on the main menu.
void cmdMarquardt_Click(Application& app);

// Registers the command with the main menu.
void installMarquardt(Application& app);

} // namespace orvanta
