#pragma once

// The quantities both likelihood parts derive from the cleaned parameter values, with the
// floors that keep variances and rates away from zero.

#include <vector>

namespace orvanta {

inline constexpr double linfFloor = 0.001;
inline constexpr double varLinfFloor = 1e-6;
inline constexpr double kFloor = 1e-6;
inline constexpr double varkFloor = 1e-12;

struct ModelParameters {
    double Linf = linfFloor;       // mean of L-infinity, p1
    double varLinf = varLinfFloor; // p2 squared
    double k = kFloor;             // mean of k, p3
    double vark = varkFloor;       // p4 squared
    double measVar = 0.0;          // p9 squared
    double z = 0.0;                // natural mortality, p10
    double zSize = 0.0;            // size-dependent mortality coefficient, p11
    double fishLow = 0.0;          // fishing window, p12 and p13
    double fishHigh = 0.0;
    double F = 0.0;                // fishing mortality, p14
    double selMean = 0.0;          // Gaussian selectivity of the frequencies, p15
    double selVar = 0.0;           // p16 squared
    double b = 0.0;                // size dependence of k, p17

    bool varLinfAtFloor() const { return varLinf == varLinfFloor; }
    bool varkAtFloor() const { return vark == varkFloor; }
};

// Derives the shared quantities from cleaned values p[1..20].
ModelParameters deriveModelParameters(const std::vector<double>& p);

// Cleans values p[1..20] in place: 1..17 become their absolute values, 19 and 20 too when
// negative and not exactly -999; 18 (t0) stays as it is.
void cleanModelParameters(std::vector<double>& p);

} // namespace orvanta
