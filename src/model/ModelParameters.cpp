#include "model/ModelParameters.h"

#include <algorithm>
#include <cmath>

namespace orvanta {

namespace {

double atLeast(double value, double floor)
{
    // A NaN stays NaN, so that a broken parameter shows in the objective.
    return value < floor ? floor : value;
}

} // namespace

void cleanModelParameters(std::vector<double>& p)
{
    if (p.size() < 21)
        p.resize(21, 0.0);
    for (int i = 1; i <= 17; ++i)
        p[i] = std::fabs(p[i]);
    for (int i : {19, 20})
        if (p[i] < 0.0 && p[i] != -999.0)
            p[i] = std::fabs(p[i]);
}

ModelParameters deriveModelParameters(const std::vector<double>& p)
{
    ModelParameters m;
    m.Linf = atLeast(p[1], linfFloor);
    m.varLinf = atLeast(p[2] * p[2], varLinfFloor);
    m.k = atLeast(p[3], kFloor);
    m.vark = atLeast(p[4] * p[4], varkFloor);
    m.measVar = p[9] * p[9];
    m.z = p[10];
    m.zSize = p[11];
    m.fishLow = p[12];
    m.fishHigh = p[13];
    m.F = p[14];
    m.selMean = p[15];
    m.selVar = p[16] * p[16];
    m.b = p[17];
    return m;
}

} // namespace orvanta
