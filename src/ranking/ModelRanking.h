#pragma once

// The competing models of the ranking window and how they are ranked.
//
// Each model enters with its negative log-likelihood -ln[L] = objective / covScale, its number
// of estimated parameters K and the observation count n its model reports. Its criteria are the
// small-sample corrected Akaike criterion and its quasi-likelihood form for overdispersed data,
// C-hat >= 1 being the overdispersion factor:
//     AICc  = 2 (-ln[L])         + 2 K n / (n - K - 1)
//     QAICc = 2 (-ln[L]) / C-hat + 2 K n / (n - K - 1)
// with n - K - 1 formed in integers. A model that reports n = 0 gets no parameter term at all;
// for 0 < n <= K + 1 the term is undefined (no data to spare for the parameters), and so is the
// criterion, as it is for a non-finite -ln[L].
//
// Ranking orders the models with a criterion value by ascending value, equal values keeping their
// order, and lists the others after them. With delta_k = v_k - v_1 the Akaike weight of model k is
// exp(-delta_k / 2) / sum over j of exp(-delta_j / 2): the weight of evidence that it is the
// best model of the set. Values of 0 or below rank like any other: only differences matter.
// Reference: K. P. Burnham and D. R. Anderson, Model Selection and Multimodel Inference, 2nd ed.,
// Springer, 2002, sections 2.4 to 2.6 (AICc, QAICc, Akaike weights).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvanta {

inline constexpr int maxRankedModels = 99;

namespace rankingText {
inline constexpr const char* undefined = "undefined";
inline constexpr const char* noCovarianceFound = "No covariance file found"; // automatic association
inline constexpr const char* noSuchFile = "No such file exists";             // typed association
inline constexpr const char* noPriorsLoaded = "No Priors loaded";
} // namespace rankingText

// The criterion the list is ranked by: QAICc while C-hat is not 1.
enum class Criterion { AICc, QAICc };

Criterion criterionFor(double cHat);

// One competing model of the list.
struct ModelEntry {
    std::int16_t entryNumber = 0; // its position when it was added; moves with it
    double negLogL = 0.0;         // modelNegLogL: objective / covScale
    std::int16_t K = 0;           // parameters estimated (free after the fuse groups)
    std::int32_t n = 0;           // the observation count its model reported
    std::optional<double> aicc;   // nothing: the criterion has no value
    std::optional<double> qaicc;  // defined once a C-hat other than 1 has been entered
    // Filled by a ranking; nothing ("undefined") whenever the list has changed since.
    std::optional<double> deltaAicc, aicWeight, deltaQaicc, qaicWeight;
    std::string algorithmFile;   // the algorithm file's name without its folder
    std::string algorithmFolder; // that folder with its closing separator, or empty
    std::string covarianceFile;  // the name shown and saved, or one of the two "missing" texts
    std::string covariancePath;  // where that file was found; empty when it is missing
    std::string priorsFile;      // the priors file's name without its folder, or "No Priors loaded"
    std::string notes;
    std::string objectiveProblem; // why the objective was not finite; empty when it was

    std::optional<double> criterion(Criterion c) const { return c == Criterion::AICc ? aicc : qaicc; }
    std::optional<double> delta(Criterion c) const { return c == Criterion::AICc ? deltaAicc : deltaQaicc; }
    std::optional<double> weight(Criterion c) const { return c == Criterion::AICc ? aicWeight : qaicWeight; }
    bool hasCovarianceFile() const { return !covariancePath.empty(); }
};

// 2 K n / (n - K - 1): 0 for n = 0; nothing when n < 0 or n - K - 1 <= 0 with n > 0.
std::optional<double> parameterTerm(int K, std::int32_t n);
std::optional<double> aiccOf(double negLogL, int K, std::int32_t n);
std::optional<double> qaiccOf(double negLogL, int K, std::int32_t n, double cHat);

// Why a model has no criterion value, completing "entry E (file): ".
std::string noCriterionReason(const ModelEntry& entry, Criterion criterion);

// Forgets the differences and weights of every entry.
void makeRankingStale(std::vector<ModelEntry>& entries);

// Orders entries by the criterion (those without a value last, each group in its order) and
// fills the differences and weights of the criterion's pair; the other pair is left alone.
// Returns how many entries were ranked (the first ones of the list).
int rankEntries(std::vector<ModelEntry>& entries, Criterion criterion);

// The grid's first cell of a model row: three blanks (one from row 10 on), the row number, ")",
// four blanks (two from entry 10 on), the entry number.
std::string rowLabel(int row, int entryNumber);

// The criterion's name in headings and messages: "AICc" or "QAICc".
std::string criterionName(Criterion criterion);

// The file name after the last "/" or "\", and the folder before it (with the separator).
std::string nameWithoutFolder(const std::string& path);
std::string folderOf(const std::string& path);

// The covariance file name derived from an algorithm file's name: the name less its last four
// characters (its extension), followed by ".cov".
std::string derivedCovarianceName(const std::string& algorithmFile);

} // namespace orvanta
