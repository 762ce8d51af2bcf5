#pragma once

// The Simplex minimizer: a downhill simplex search in the space of the free parameters with
// reflection, extension, contraction and reduction moves, a convergence test on the spread of
// the vertex values and a verification of every convergence by axial search
// (AxialVerification.h). The main menu's "Simple&x" runs it; the likelihood profiles call
// runSimplex at each profile point.
//
// Non-finite objectives: a NaN or an infinity (of either sign) from the model ranks as worse
// than any finite value. Every value is stored and compared as +infinity, so such a point is
// never accepted as an improvement, never counted as improved upon, and the spread stays
// infinite (no convergence) while any vertex lacks a finite value; the maxCalls question bounds
// such a run. A starting point without a finite value refuses the run, and a simplex whose every
// vertex lacks one ends it; both say so with the parameter values that produced it, leave
// paramValues as they were and discard the simplex (simplexBuilt off).

#include "minimize/ProgressText.h"

#include <string>
#include <vector>

namespace orvanta {

class Application;
struct SimplexState;

// The names of the moves, each exactly 22 characters.
namespace simplexAction {
inline constexpr const char* reflection = "Reflection            ";
inline constexpr const char* extension = "Extension             ";
inline constexpr const char* contraction = "Contraction           ";
inline constexpr const char* reflectionContraction = "Reflection-Contraction";
inline constexpr const char* reduction = "Reduction             ";
inline constexpr const char* reflectionReduction = "Reflection-Reduction  ";
} // namespace simplexAction

// How a run ended.
enum class SimplexEnd {
    Verified,          // the axial search verified the minimum
    StoppedAtMaxCalls, // the user declined to go on after maxCalls function calls
    Interrupted,       // an interrupt answered Yes (or, in a profile, "next point")
    DivisionByZero,    // relative tolerance with a best value of exactly 0
    NonFiniteStart,    // the starting point has no finite objective
    NonFiniteSimplex,  // no vertex has a finite objective
    ProgramEnded,      // the user quit the program during the run
};

// A value as the simplex ranks it: non-finite values become +infinity.
double rankedObjective(double value);

// One counted evaluation at a point in free coordinates (1..freeCount): composeTrialVector,
// callCount + 1, evaluateObjective with NF = callCount. Returns the ranked value.
double evaluateSimplexPoint(Application& app, const std::vector<double>& coordinates);

// Best and worst vertex of 1..n+1 (ties keep the lower-numbered vertex in both roles) and the
// centroid of all but the worst in vertex n+2.
void rankSimplex(SimplexState& simplex, int n);

// Vertex 1 at freeValues, vertex v one step from it along free coordinate v-1; all evaluated,
// then ranked. Stops after vertex 1 and returns false when that has no finite value.
bool buildInitialSimplex(Application& app);

// One iteration: reflection, then extension, contraction or reduction.
void simplexStep(Application& app);

// The run's state as the progress texts show it.
SimplexProgress currentSimplexProgress(const Application& app);

// The texts of the two non-finite refusals: why, then every parameter of the evaluated vector.
std::string nonFiniteStartText(const AlgorithmData& data, const std::vector<double>& vector,
                               const std::string& failure);
std::string nonFiniteSimplexText(const AlgorithmData& data, const std::vector<double>& vector);

// The minimization itself. On return paramValues holds the best vertex at the freeIndex
// positions, except after a division by zero or a non-finite refusal, which leave it alone.
// Needs the fuse groups and the free index built and freeCount above 0.
SimplexEnd runSimplex(Application& app);

// "Simple&x" on the main menu.
void cmdSimplex_Click(Application& app);

// Registers the command with the main menu.
void installSimplex(Application& app);

} // namespace orvanta
