#pragma once

// The priors file (".pri"): the prior of every parameter as fixed-column text that people can
// read and edit. Line 1 holds the parameter count; then one line per parameter i:
//     columns  1-3   i (signedNumberText, right-aligned)
//     columns  4-6   blanks
//     column   7     the type code
//     columns  8-18  firstTermMean     " 0.000E+000" (a negative value "-0.000E+000")
//     columns 19-29  firstTermSD       likewise
//     columns 30-40  secondTermMean    likewise, or its text ("Unused") right-aligned
//     columns 41-51  secondTermSD      likewise
//     columns 52-54  blanks
//     column  55 on  the type's display name, for the reader's eyes only
// The pattern's leading blank leaves no room for a minus sign, so negative numbers are written
// without it: every number keeps its eleven columns and reads back with its sign. Numbers keep
// four significant digits; a number beyond the range of double, as a hand-edited file may hold,
// is kept as one, so that a file written reads back as it was written.

#include "priors/PriorSpec.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvanta {

// The priors of parameters 1..paramCount back to uniform-unbounded (the vector is sized for
// them when it is shorter).
void resetPriorsToUniform(std::vector<PriorSpec>& priors, int paramCount);

// The eleven columns of one term.
std::string priorTermField(double value);
std::string priorTermField(const PriorTerm& term);

// The whole file for parameters 1..paramCount, lines ended by "\n" (written as CR LF).
std::string priorsFileText(const std::vector<PriorSpec>& priors, int paramCount);

// Why the text of a priors file was not taken.
enum class PriorsFileProblem {
    None,
    CountMismatch, // line 1 names another number of parameters than the model has
    TooFewLines,   // the file ends before the line of its last parameter
};

struct PriorsFileReading {
    PriorsFileProblem problem = PriorsFileProblem::None;
    double fileCount = 0.0;        // the count on line 1, rounded to a whole number
    int missingLine = 0;           // TooFewLines: the first line the file lacks
    std::vector<PriorSpec> priors; // 1..paramCount when the reading succeeded

    bool failed() const { return problem != PriorsFileProblem::None; }
};

// Reads the text of a priors file (CR LF, LF or CR line ends) for a model of paramCount
// parameters: the count is the first number of line 1; of every parameter line the upper-cased
// character in column 7 is the type code, the first terms are the numbers at the start of their
// columns (0 where there is none) and the second terms the text of their columns without the
// blanks around it. Missing columns of a short line give empty text. Lines after the last
// parameter's are not read.
PriorsFileReading readPriorsText(std::string_view text, int paramCount);

// What is wrong with a file that ends too early, completing its name: "ends before line 8, but
// its first line announces 12 parameters, one line each".
std::string tooFewLinesText(const PriorsFileReading& reading);

// The bytes of a priors file; nothing when it cannot be read, is a folder or is far longer than
// any priors file (a device that never ends, say).
std::optional<std::string> readPriorsFileBytes(const std::string& path);

// The name shown on the status bar: the text after the last "/" or "\" of path, less its last
// four characters (the extension with its dot). A path with neither separator leaves
// previousBaseName as it was.
std::string baseNameOf(const std::string& path, const std::string& previousBaseName);

} // namespace orvanta
