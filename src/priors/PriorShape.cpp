#include "priors/PriorShape.h"

#include <cmath>
#include <initializer_list>

namespace orvanta {

namespace {

double square(double value)
{
    return value * value;
}

bool allFinite(std::initializer_list<double> values)
{
    for (const double value : values)
        if (!std::isfinite(value))
            return false;
    return true;
}

PriorShape faulty(PriorShape shape, PriorFault fault)
{
    shape.fault = fault;
    return shape;
}

PriorShape gammaShape(PriorShape shape)
{
    if (!(shape.sd > 0.0 && shape.sd < shape.mean))
        return faulty(shape, PriorFault::GammaSDNotBelowMean);
    shape.a = square(shape.mean / shape.sd);
    shape.b = std::fabs(square(shape.sd) / shape.mean);
    const double mode = (shape.a - 1.0) * shape.b;
    if (!(shape.b > 0.0 && mode > 0.0 && allFinite({shape.a, shape.b, mode})))
        return faulty(shape, PriorFault::ExtremeShape);
    shape.modeTerm = (1.0 - shape.a) * std::log(mode) + mode / shape.b;
    return shape;
}

PriorShape lnNormalShape(PriorShape shape)
{
    if (shape.mean == 0.0)
        return faulty(shape, PriorFault::ZeroMean);
    if (shape.sd == 0.0)
        return faulty(shape, PriorFault::ZeroSD);
    const double M = shape.mean;
    const double v = std::sqrt(std::log(square(M) + square(shape.sd)) - 2.0 * std::log(M));
    const double u = std::log(M) - square(v) / 2.0;
    const double mode = std::exp(u - square(v));
    if (!(v > 0.0 && mode > 0.0 && allFinite({v, u, mode})))
        return faulty(shape, PriorFault::ExtremeShape);
    shape.a = u;
    shape.b = v;
    shape.modeTerm = std::log(mode) + 0.5 * square((std::log(mode) - u) / v);
    return shape;
}

PriorShape betaShape(PriorShape shape)
{
    const double M = shape.mean;
    if (!(M > 0.0 && M < 1.0))
        return faulty(shape, PriorFault::BetaMeanOutside);
    if (shape.sd == 0.0)
        return faulty(shape, PriorFault::ZeroSD);
    const double variance = square(shape.sd);
    if (variance == 0.0)
        return faulty(shape, PriorFault::ExtremeShape);
    const double spread = M - square(M) - variance;
    shape.a = M * spread / variance;
    shape.b = (1.0 - M) * spread / variance;
    if (!(shape.a > 0.0 && shape.b > 0.0))
        return faulty(shape, PriorFault::BetaShape);
    if (!allFinite({shape.a, shape.b}))
        return faulty(shape, PriorFault::ExtremeShape);
    const double mode = betaMode(shape.a, shape.b);
    shape.modeTerm = (1.0 - shape.a) * std::log(mode) + (1.0 - shape.b) * std::log(1.0 - mode);
    return shape;
}

PriorShape uniformBoundedShape(PriorShape shape, const PriorSpec& prior)
{
    const std::optional<double> rightFoot = prior.secondTermMean.number();
    const std::optional<double> rightSD = prior.secondTermSD.number();
    if (!rightFoot || !rightSD)
        return faulty(shape, PriorFault::RightFootNotNumber);
    shape.rightFoot = *rightFoot;
    shape.rightSD = std::fabs(*rightSD);
    if (!allFinite({shape.mean, shape.sd, shape.rightFoot, shape.rightSD}))
        return faulty(shape, PriorFault::NotFinite);
    return shape;
}

} // namespace

PriorShape priorShape(const PriorSpec& prior)
{
    PriorShape shape;
    shape.type = priorType(prior.typeCode);
    // Signed: the Gaussian mean and every foot. Magnitudes: everything else (see the header).
    const bool signedMean = shape.type == PriorType::Gaussian || shape.type == PriorType::LeftCliff ||
                            shape.type == PriorType::RightCliff || shape.type == PriorType::UniformBounded;
    shape.mean = signedMean ? prior.firstTermMean : std::fabs(prior.firstTermMean);
    shape.sd = std::fabs(prior.firstTermSD);

    switch (shape.type) {
    case PriorType::None:
        return faulty(shape, PriorFault::UnknownType);
    case PriorType::UniformUnbounded:
        return shape;
    case PriorType::UniformBounded:
        return uniformBoundedShape(shape, prior);
    case PriorType::Exponential:
        // Its SD is the mean again; only the mean is used.
        if (!std::isfinite(shape.mean))
            return faulty(shape, PriorFault::NotFinite);
        return shape.mean == 0.0 ? faulty(shape, PriorFault::ZeroMean) : shape;
    default:
        break;
    }

    if (!allFinite({shape.mean, shape.sd}))
        return faulty(shape, PriorFault::NotFinite);
    switch (shape.type) {
    case PriorType::Gaussian:
        return shape.sd == 0.0 ? faulty(shape, PriorFault::ZeroSD) : shape;
    case PriorType::Gamma:
        return gammaShape(shape);
    case PriorType::LnNormal:
        return lnNormalShape(shape);
    case PriorType::Beta:
        return betaShape(shape);
    default: // the cliffs: any foot, and an SD of 0 makes a hard wall
        return shape;
    }
}

double betaMode(double a, double b)
{
    const double numerator = 1.0 - a;
    const double denominator = 2.0 - a - b;
    double mode = 0.5;
    if (denominator != 0.0)
        mode = numerator / denominator;
    else if (numerator > 0.0)
        mode = priorSupportHigh;
    else if (numerator < 0.0)
        mode = priorSupportLow;
    if (mode < priorSupportLow)
        mode = priorSupportLow;
    if (mode > priorSupportHigh)
        mode = priorSupportHigh;
    return mode;
}

} // namespace orvanta
