#pragma once

// The prior distribution of each parameter: its type code, its terms and the table of the nine
// types with their display names.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace orvanta {

// A numeric term holding this value has not been set; displays show it as "*".
inline constexpr double unsetPriorTerm = 1e-100;
// What a second term holds for every type but the uniform-bounded one.
inline constexpr std::string_view unusedPriorTerm = "Unused";

inline bool isUnsetPriorTerm(double value)
{
    return value == unsetPriorTerm;
}

// A second term: a number for the uniform-bounded type, the text "Unused" for the others. A
// hand-edited priors file may put any text here; text that reads wholly as a number (surrounding
// blanks allowed) is kept as that number, so a term read back from a file is what was written.
class PriorTerm {
public:
    PriorTerm() : value_(std::string(unusedPriorTerm)) {}
    PriorTerm(double number) : value_(number) {}
    PriorTerm(std::string_view text);
    PriorTerm(const char* text) : PriorTerm(std::string_view(text)) {}

    bool isNumber() const { return std::holds_alternative<double>(value_); }
    // The number, or nothing for a text.
    std::optional<double> number() const;
    // The text, or empty text for a number.
    std::string_view text() const;

    friend bool operator==(const PriorTerm&, const PriorTerm&) = default;

private:
    std::variant<double, std::string> value_;
};

// The prior of one parameter. The defaults are the uniform-unbounded prior: no prior at all.
struct PriorSpec {
    std::string typeCode = "U";            // one upper-case letter, see priorTypeCodes
    double firstTermMean = unsetPriorTerm; // mean, a cliff's foot, or the left foot
    double firstTermSD = unsetPriorTerm;   // SD, or the SD at that foot
    PriorTerm secondTermMean;              // the right foot of the uniform-bounded type
    PriorTerm secondTermSD;                // the SD at the right foot

    friend bool operator==(const PriorSpec&, const PriorSpec&) = default;
};

// The nine types by index 1..9 (index 0 is no type): the code letters and the display names
// that the priors file and the prior editor show.
inline constexpr std::string_view priorTypeCodes = " UTNEGBSDL";
inline constexpr std::array<std::string_view, 10> priorTypeNames = {
    "",     "Uniform - unbounded", "Uniform - bounded", "Gaussian or Normal", "Exponential", "Gamma",
    "Beta", "Left-side cliff",     "Right-side cliff",  "Ln-normal",
};

// The types in the order of that table.
enum class PriorType {
    None,
    UniformUnbounded, // U
    UniformBounded,   // T
    Gaussian,         // N
    Exponential,      // E
    Gamma,            // G
    Beta,             // B
    LeftCliff,        // S
    RightCliff,       // D
    LnNormal,         // L
};

// The index 1..9 of a type code, 0 for a code that names no type.
int priorTypeIndex(std::string_view typeCode);
PriorType priorType(std::string_view typeCode);
// The display name of a type code, empty for a code that names no type.
std::string_view priorTypeName(std::string_view typeCode);

// Whether some parameter 1..paramCount has a prior other than uniform-unbounded.
bool anyPriorSet(const std::vector<PriorSpec>& priors, int paramCount);

} // namespace orvanta
