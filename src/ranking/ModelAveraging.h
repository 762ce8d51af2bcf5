#pragma once

// Model averaging: the estimates and standard errors of the ranked models, read back from their
// covariance files, combined with the models' Akaike weights w_q (QAIC weights under C-hat > 1):
//     avg(p)      = sum over q of w_q est(p, q)
//     seAvg(p, g) = sum over q of w_q sqrt(C-hat se(p, q, g)^2 + (est(p, q) - avg(p))^2)
// the unconditional standard error, in which each model's sampling variance (inflated by C-hat)
// and the distance of its estimate from the average both count. A parameter a model holds fixed
// (no standard-error line in its file) has se = 0 there. A grid that some model did not calculate
// (-1 in its file) cannot be averaged: seAvg is -1 for every parameter on it. The weights sum
// to 1, so avg is formed as est(p, 1) + sum over q of w_q (est(p, q) - est(p, 1)): a value that
// every model shares comes out exactly, without the rounding remainder of the weights.
// Reference: K. P. Burnham and D. R. Anderson, Model Selection and Multimodel Inference, 2nd ed.,
// Springer, 2002, section 4.3.2 (equation 4.9).

#include "uncertainty/CovarianceFile.h"
#include "uncertainty/CovarianceResults.h"

#include <array>
#include <string>
#include <vector>

namespace orvanta {

// One ranked model as the averaging takes it.
struct AveragedModel {
    double weight = 0.0;
    CovarianceFile file; // read for the model's parameter count
};

struct ModelAverages {
    int paramCount = 0;
    std::vector<double> average;                                  // 1..paramCount
    std::array<std::vector<double>, gridCount + 1> standardError; // [grid 1..3][1..paramCount]
    std::array<bool, gridCount + 1> missing{};                    // [grid 1..3]: some model has -1
};

ModelAverages averageModels(const std::vector<AveragedModel>& models, int paramCount, double cHat);

// The text of the averaging results box "txtAverage", lines ended by "\n".
std::string averagingText(const ModelAverages& averages);

} // namespace orvanta
