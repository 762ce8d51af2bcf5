#include "priors/PriorEntry.h"

#include "priors/PriorProblem.h"
#include "text/NumberText.h"
#include "ui/UserInterface.h"

#include <cmath>
#include <cstddef>
#include <vector>

namespace orvanta {

namespace {

// The sharp s (character 223 of the Windows-1252 code page) stands in for the Greek beta.
const char* const betaLetter = "\xC3\x9F";

// A prompt is its text, the parameter number and an ending.
struct Prompt {
    const char* text;
    const char* ending = "";
};

struct EntryDesign {
    PriorType type;
    const char* title;
    std::vector<Prompt> prompts;
};

const std::vector<EntryDesign>& entryDesigns()
{
    static const std::vector<EntryDesign> designs = {
        {PriorType::Gaussian,
         "Gaussian (i.e., Normal)",
         {{"Choose mean of parameter #"}, {"Choose SD of parameter #"}}},
        {PriorType::Gamma,
         "Gamma",
         {{"Choose mean (> 0) of parameter #"}, {"Choose SD (0 < SD < Mean) of parameter #"}}},
        {PriorType::Exponential,
         "Exponential",
         {{"For the exponential distribution the instantaneous decay rate is equal to the reciprocal of both "
           "the "
           "mean and the SD\n\nChoose the mean (and thus SD) of parameter #"}}},
        {PriorType::LnNormal,
         "Ln-normal",
         {{"Choose mean (> 0) of parameter #"}, {"Choose SD (> 0) of parameter #"}}},
        {PriorType::Beta,
         "Beta",
         {{"Choose mean (0 < mean < 1) of parameter #"}, {"Choose SD (> 0) of parameter #"}}},
        {PriorType::LeftCliff,
         "Left-side cliff",
         {{"Choose left foot of parameter #"}, {"Choose SD @ the left foot of parameter #"}}},
        {PriorType::RightCliff,
         "Right-side cliff",
         {{"Choose right foot of parameter #"}, {"Choose SD @ the right foot of parameter #"}}},
        {PriorType::UniformBounded,
         "Uniform-bounded",
         {{"Choose left foot of parameter #"},
          {"Choose SD @ the left foot of parameter #"},
          {"Choose right foot of parameter #", ", it must exceed left foot."},
          {"Choose SD @ the right foot of parameter #"}}},
        {PriorType::UniformUnbounded, "Uniform-unbounded", {}},
    };
    return designs;
}

const EntryDesign* designOf(PriorType type)
{
    for (const EntryDesign& design : entryDesigns())
        if (design.type == type)
            return &design;
    return nullptr;
}

// The answers to every prompt in turn; nothing as soon as one is empty.
std::optional<std::vector<std::string>> askAll(UserInterface& ui, const EntryDesign& design, int param)
{
    std::vector<std::string> answers;
    for (const Prompt& prompt : design.prompts) {
        std::string answer = ui.askText(prompt.text + numberText(param) + prompt.ending, design.title, "");
        if (answer.empty())
            return std::nullopt;
        answers.push_back(std::move(answer));
    }
    return answers;
}

std::vector<double> leadingNumbers(const std::vector<std::string>& answers)
{
    std::vector<double> numbers;
    for (const std::string& answer : answers)
        numbers.push_back(leadingNumber(answer));
    return numbers;
}

// The acceptance test of the type on the leading numbers of the answers.
bool accepted(PriorType type, const std::vector<double>& n)
{
    switch (type) {
    case PriorType::Gamma:
        return n[1] < n[0] && n[0] != 0.0 && n[1] != 0.0;
    case PriorType::LnNormal:
        return n[0] != 0.0 && n[1] != 0.0;
    case PriorType::Beta:
        return n[0] > 0.0 && n[0] < 1.0 && n[1] != 0.0;
    case PriorType::UniformBounded:
        return n[2] > n[0];
    default:
        return true;
    }
}

std::string shapeText(double value)
{
    return formatNumber(value, "####0.####");
}

// Tells the user the beta's shape values; true when both are above 0.
bool betaShapesAccepted(UserInterface& ui, const std::vector<double>& n)
{
    const BetaShapes shapes = betaShapes(n[0], n[1]);
    std::string text;
    if (shapes.a <= 0.0)
        text = std::string("An unacceptable (< 0) value for 'a' of ") + betaLetter +
               " (a,b) is: " + shapeText(shapes.a);
    else if (shapes.b <= 0.0)
        text = std::string("An unacceptable (< 0) value for 'b' of ") + betaLetter +
               " (a,b) is: " + shapeText(shapes.b);
    else
        text = std::string("The corresponding values for 'a' & 'b' of ") + betaLetter +
               " (a,b) are: " + shapeText(shapes.a) + " & " + shapeText(shapes.b);
    ui.showMessage(text, "Beta", Buttons::OK, Icon::Information);
    return shapes.a > 0.0 && shapes.b > 0.0;
}

// The values of the answers in full; nothing, after telling the user, when one is no number.
std::optional<std::vector<double>> fullNumbers(UserInterface& ui, const EntryDesign& design, int param,
                                               const std::vector<std::string>& answers)
{
    std::vector<double> values;
    for (const std::string& answer : answers) {
        const Converted<double> value = textToDouble(answer);
        if (!value) {
            ui.showMessage("'" + answer + "' is not a number, so the prior of parameter #" +
                               numberText(param) + " has not been changed.",
                           design.title, Buttons::OK, Icon::Exclamation);
            return std::nullopt;
        }
        values.push_back(value.value());
    }
    return values;
}

PriorSpec storedPrior(PriorType type, const std::vector<double>& v)
{
    PriorSpec prior;
    prior.typeCode = std::string(1, priorTypeCodes[static_cast<std::size_t>(type)]);
    switch (type) {
    case PriorType::Gaussian:
    case PriorType::LeftCliff:
    case PriorType::RightCliff:
        prior.firstTermMean = v[0];
        prior.firstTermSD = std::fabs(v[1]);
        break;
    case PriorType::Exponential:
        prior.firstTermMean = prior.firstTermSD = std::fabs(v[0]);
        break;
    case PriorType::Gamma:
    case PriorType::LnNormal:
    case PriorType::Beta:
        prior.firstTermMean = std::fabs(v[0]);
        prior.firstTermSD = std::fabs(v[1]);
        break;
    case PriorType::UniformBounded:
        prior.firstTermMean = v[0];
        prior.firstTermSD = std::fabs(v[1]);
        prior.secondTermMean = PriorTerm(v[2]);
        prior.secondTermSD = PriorTerm(std::fabs(v[3]));
        break;
    default:
        return PriorSpec{};
    }
    return prior;
}

} // namespace

std::string priorEntryTitle(PriorType type)
{
    const EntryDesign* design = designOf(type);
    return design ? design->title : std::string();
}

BetaShapes betaShapes(double mean, double sd)
{
    const double m = std::fabs(mean);
    const double s = std::fabs(sd);
    const double common = (m - m * m - s * s) / (s * s);
    return {m * common, (1.0 - m) * common};
}

std::optional<PriorSpec> askPriorEntry(UserInterface& ui, PriorType type, int param)
{
    const EntryDesign* design = designOf(type);
    if (!design)
        return std::nullopt;
    std::optional<std::vector<std::string>> answers;
    do {
        answers = askAll(ui, *design, param);
        if (!answers)
            return std::nullopt;
        // The feet of the uniform-bounded type are asked for until the right one lies beyond.
    } while (type == PriorType::UniformBounded && !accepted(type, leadingNumbers(*answers)));

    const std::vector<double> tested = leadingNumbers(*answers);
    if (!accepted(type, tested))
        return std::nullopt;
    if (type == PriorType::Beta && !betaShapesAccepted(ui, tested))
        return std::nullopt;
    const std::optional<std::vector<double>> values = fullNumbers(ui, *design, param, *answers);
    if (!values)
        return std::nullopt;
    PriorSpec prior = storedPrior(type, *values);
    if (const std::string problem = priorProblemSentence(prior, param); !problem.empty()) {
        ui.showMessage(problem + "\n\nIt has not been stored.", design->title, Buttons::OK,
                       Icon::Exclamation);
        return std::nullopt;
    }
    return prior;
}

} // namespace orvanta
