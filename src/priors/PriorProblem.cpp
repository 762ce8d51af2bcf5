#include "priors/PriorProblem.h"

#include "priors/PriorShape.h"
#include "priors/PriorSpec.h"
#include "text/NumberText.h"

#include <algorithm>

namespace orvanta {

namespace {

std::string faultText(PriorFault fault, const PriorSpec& prior)
{
    switch (fault) {
    case PriorFault::None:
        return {};
    case PriorFault::UnknownType:
        return "its type code \"" + prior.typeCode + "\" is none of U, T, N, E, G, B, S, D and L";
    case PriorFault::NotFinite:
        return "its terms must be finite numbers";
    case PriorFault::ZeroSD:
        return "its SD must not be 0";
    case PriorFault::ZeroMean:
        return "its mean must not be 0";
    case PriorFault::GammaSDNotBelowMean:
        return "its SD must be above 0 and below its mean";
    case PriorFault::BetaMeanOutside:
        return "its mean must lie between 0 and 1";
    case PriorFault::BetaShape:
        return "its mean and SD give a beta shape 'a' or 'b' that is not above 0";
    case PriorFault::ExtremeShape:
        return "its SD is too small beside its mean for the shape of the distribution to be computed";
    case PriorFault::RightFootNotNumber:
        return "the right foot and its SD must be numbers";
    }
    return {};
}

} // namespace

std::string priorProblem(const PriorSpec& prior)
{
    return faultText(priorShape(prior).fault, prior);
}

std::string priorProblemSentence(const PriorSpec& prior, int param)
{
    const std::string problem = priorProblem(prior);
    if (problem.empty())
        return {};
    const std::string_view name = priorTypeName(prior.typeCode);
    const std::string named = name.empty() ? "The prior" : "The " + std::string(name) + " prior";
    return named + " of parameter " + numberText(param) + " cannot be used: " + problem + ".";
}

std::string priorsProblem(const std::vector<PriorSpec>& priors, int paramCount)
{
    const int last = std::min(paramCount, static_cast<int>(priors.size()) - 1);
    for (int i = 1; i <= last; ++i)
        if (std::string sentence = priorProblemSentence(priors[static_cast<std::size_t>(i)], i);
            !sentence.empty())
            return sentence;
    return {};
}

} // namespace orvanta
