#pragma once

// The review of prior likelihoods: for every parameter whose prior is not uniform-unbounded, its
// prior -ln[L] (covScale times its term) and prior likelihood at the current parameter values,
// and the total of the whole model. Shown in "frmReviewPriors" after evaluations while priors
// are in force.

#include <string>
#include <vector>

namespace orvanta {

class Application;

// The priors evaluated at values (1..paramCount), so that every number belongs to the values
// listed (the last evaluation may have been at another point, an axial probe say), then the text.
std::string priorReviewText(Application& app, const std::vector<double>& values);

// The review at values in its report window "frmReviewPriors", opened or reused.
void showPriorReview(Application& app, const std::vector<double>& values);

} // namespace orvanta
