#pragma once

// The ranking results file (.mms): the ranked models in fixed columns under a heading, and the
// averaging results when there are any. The program never reads it back.
//   line 1   the number of models (and the C-hat of a QAICc ranking)
//   line 2   the column heading
//   then     one line per model in ranked order: rank (6), -ln[L] (12), K (6), criterion,
//            difference and weight (12 each), two blanks, the algorithm file (40), two blanks,
//            the covariance file (40), two blanks, the notes as typed. Names are right-aligned
//            and cut to 40 characters; a value that has none reads "undefined".

#include "ranking/ModelRanking.h"

#include <optional>
#include <string>
#include <vector>

namespace orvanta {

// The file's text, lines ended by "\n"; averaging is the text of the averaging results box.
std::string rankingFileText(const std::vector<ModelEntry>& entries, double cHat,
                            const std::optional<std::string>& averaging);

} // namespace orvanta
