#include "priors/PriorEvaluation.h"

#include "priors/NormalCdf.h"
#include "priors/PriorShape.h"
#include "priors/PriorSpec.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace orvanta {

namespace {

double square(double value)
{
    return value * value;
}

double wall(double distance)
{
    return priorWallFactor * square(distance);
}

// A soft or hard lower bound at foot.
double leftFoot(double x, double foot, double sd)
{
    if (sd == 0.0)
        return x < foot ? wall(x - foot) : 0.0;
    const double z = (x - foot) / sd;
    const double p = normalCdf(z);
    return p > 0.0 ? -std::log(p) : priorWallFactor * square(z);
}

// A soft or hard upper bound at foot.
double rightFoot(double x, double foot, double sd)
{
    if (sd == 0.0)
        return x > foot ? wall(x - foot) : 0.0;
    const double z = (x - foot) / sd;
    const double q = 1.0 - normalCdf(z);
    return q > 0.0 ? -std::log(q) : priorWallFactor * square(z);
}

double exponentialTerm(const PriorShape& shape, double x)
{
    return x <= 0.0 ? priorWallFactor * square(x) : x / shape.mean;
}

double gammaTerm(const PriorShape& shape, double x)
{
    if (x < priorSupportLow)
        return wall(x - priorSupportLow);
    return ((1.0 - shape.a) * std::log(x) + x / shape.b) - shape.modeTerm;
}

double lnNormalTerm(const PriorShape& shape, double x)
{
    if (x < priorSupportLow)
        return wall(x - priorSupportLow);
    const double u = shape.a;
    const double v = shape.b;
    return (std::log(x) + 0.5 * square((std::log(x) - u) / v)) - shape.modeTerm;
}

double betaTerm(const PriorShape& shape, double x)
{
    if (x < priorSupportLow)
        return wall(x - priorSupportLow);
    if (x > priorSupportHigh)
        return wall(x - priorSupportHigh);
    return ((1.0 - shape.a) * std::log(x) + (1.0 - shape.b) * std::log(1.0 - x)) - shape.modeTerm;
}

double uniformBoundedTerm(const PriorShape& shape, double x)
{
    if (shape.rightSD == 0.0 && x > shape.rightFoot)
        return wall(x - shape.rightFoot);
    return leftFoot(x, shape.mean, shape.sd) + rightFoot(x, shape.rightFoot, shape.rightSD);
}

} // namespace

double priorTermAt(const PriorShape& shape, double x)
{
    if (shape.fault == PriorFault::UnknownType)
        return 0.0;
    if (shape.fault != PriorFault::None)
        return std::numeric_limits<double>::quiet_NaN();
    switch (shape.type) {
    case PriorType::Gaussian:
        return 0.5 * square((x - shape.mean) / shape.sd);
    case PriorType::Exponential:
        return exponentialTerm(shape, x);
    case PriorType::Gamma:
        return gammaTerm(shape, x);
    case PriorType::LnNormal:
        return lnNormalTerm(shape, x);
    case PriorType::Beta:
        return betaTerm(shape, x);
    case PriorType::LeftCliff:
        return leftFoot(x, shape.mean, shape.sd);
    case PriorType::RightCliff:
        return rightFoot(x, shape.mean, shape.sd);
    case PriorType::UniformBounded:
        return uniformBoundedTerm(shape, x);
    case PriorType::UniformUnbounded:
    case PriorType::None:
        break;
    }
    return 0.0;
}

void evaluatePriors(const std::vector<PriorSpec>& priors, const std::vector<double>& x, double covScale,
                    PriorResults& out)
{
    if (out.priorTerm.size() != priors.size())
        out.priorTerm.assign(priors.size(), 0.0);
    const std::size_t evaluated = std::min(priors.size(), x.size());
    double sum = 0.0;
    for (std::size_t i = 1; i < priors.size(); ++i) {
        out.priorTerm[i] = i < evaluated ? priorTermAt(priorShape(priors[i]), x[i]) : 0.0;
        sum += out.priorTerm[i];
    }
    out.priorPenalty = covScale * sum;
}

} // namespace orvanta
