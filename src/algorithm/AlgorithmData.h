#pragma once

// The parameter set the minimizers work on: values, step sizes and fuse (link) codes of every
// model parameter, the minimizer options, and the structures derived from them before every
// tool runs (fuse groups, free-parameter index, trial vector).
//
// Arrays are numbered from 1 like the parameters themselves; element 0 exists and is unused.
// The functions below never read past the end of an array: a parameter array shorter than
// paramCount + 1 is first lengthened (new values and steps 0, new codes "~~"), and a negative
// paramCount counts as 0.

#include <cstdint>
#include <string>
#include <vector>

namespace orvanta {

// The code of an unfused parameter.
inline const std::string unfusedCode = "~~";

struct MinimizerOptions {
    // Tolerance of the convergence tests: >= 0 absolute, < 0 relative of magnitude |value|.
    double convergenceTolerance = 1E-06;
    std::int32_t maxCalls = 9999;          // Simplex calls, Marquardt iterations
    std::int16_t terminalFrequency = 10;   // progress display every this many iterations; 0 never
    std::int16_t fileFrequency = 0;        // log record every this many iterations; 0 never
    std::string logFileName = "minimize.ovl";
    double stepReductionFraction = 0.1;    // share of each step used by the axial verification
};

// The smallest magnitude a non-zero tolerance may have.
inline constexpr double minimumToleranceMagnitude = 1E-06;

// The tolerance that is stored for a typed or loaded value: magnitudes below 1E-06 become
// sign(value) x 1E-06, so 0 stays 0.
double storedTolerance(double value);

// One row of the fuse-group table: parameters sharing groupCode always hold one value.
struct FuseGroup {
    std::string groupCode;
    std::int16_t memberCount = 0;
    double groupValue = 0.0; // the leader's value (the member with the lowest number)
};

// While a likelihood profile or the posterior integration runs, the pinned parameter keeps
// its own value inside its fuse group (followers after it take that value).
struct FusePinning {
    bool active = false;
    int pinnedParam = 0;
};

struct AlgorithmData {
    std::int16_t paramCount = 0;
    std::vector<double> paramValues;             // 1..paramCount
    std::vector<double> paramSteps;              // 1..paramCount; 0 freezes a parameter
    std::vector<std::string> fuseCodes;          // 1..paramCount; "~~" or one or two letters
    std::vector<std::string> paramDescriptions;  // 1..paramCount; written by the model
    MinimizerOptions options;

    // Derived structures, rebuilt by every tool before it runs.
    std::vector<FuseGroup> fuseGroups;   // 0-based rows in order of first appearance
    std::int32_t freeCount = 0;
    std::vector<std::int16_t> freeIndex; // 1..freeCount, strictly ascending parameter numbers
    std::vector<double> freeValues;      // 1..freeCount
    std::vector<double> freeSteps;       // 1..freeCount
    std::vector<double> trialVector;     // 1..paramCount: the vector handed to the model
    bool profileResultsValid = false;    // stored profile or posterior results may be reused

    // Working space of applyFuseGroups, one entry per fuse-group row: whether the row's first
    // member has been met and the value it holds. Sized by buildFuseGroups so that the call
    // made before every model evaluation allocates nothing.
    std::vector<char> fuseRowSeen;
    std::vector<double> fuseRowHeld;

    std::int16_t groupCount() const { return static_cast<std::int16_t>(fuseGroups.size()); }
};

// Sizes the parameter arrays to paramCount and sets values and steps to 0, codes to "~~" and
// the options to their defaults. Descriptions keep their texts (they belong to the model).
// The fuse groups are emptied and freeCount set to 0 until the next rebuild.
void resetAlgorithmData(AlgorithmData& data);

// Rebuilds the fuse groups from fuseCodes: followers get step 0 and their leader's value, and a
// code borne by one parameter only becomes "~~".
void buildFuseGroups(AlgorithmData& data);

// Gives the fused followers in vector (1..paramCount) their leader's value and step 0 in
// paramSteps; codes without a row in fuseGroups are left alone. Allocates nothing once
// buildFuseGroups has run and vector holds paramCount + 1 elements (a shorter one is
// lengthened with zeros).
void applyFuseGroups(AlgorithmData& data, std::vector<double>& vector, FusePinning pinning = {});

// Rebuilds freeCount, freeIndex, freeValues and freeSteps (sized to paramCount + 1, unused
// entries 0) from the non-zero steps, and clears profileResultsValid.
void buildFreeIndex(AlgorithmData& data);

// trialVector = paramValues with free position k replaced by coordinates[k] (1..freeCount,
// element 0 unused), then the fuse groups applied. A position without a coordinate, or whose
// freeIndex entry is no parameter number, keeps paramValues.
void composeTrialVector(AlgorithmData& data, const std::vector<double>& coordinates,
                        FusePinning pinning = {});

} // namespace orvanta
