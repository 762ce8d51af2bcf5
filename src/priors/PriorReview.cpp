#include "priors/PriorReview.h"

#include "app/Application.h"
#include "priors/PriorEvaluation.h"
#include "text/NumberText.h"
#include "ui/ReportWindow.h"

#include <cmath>
#include <cstddef>

namespace orvanta {

namespace {

const char* const reviewIntroduction =
    "Note: Here is a chance to review the likelihood of your current parameter estimates relative to \n"
    "your Bayesian prior distributions.\n"
    "\n"
    "A -ln[likelihood] value of zero applies when your maximum-likelihood estimate for a parameter \n"
    "occurs at the most likely value of your chosen prior distribution for that parameter.  If the \n"
    "values shown here are quite large (i.e., parameter estimates are much less likely than the most \n"
    "likely prior value), then you might wish to reconsider your prior assumptions.  You should also \n"
    "check, and be suspicious of, estimates lying against a left or right boundary of a \n"
    "steep cliff distribution or the uniform-bounded distribution.\n"
    "\n"
    "You should also formally evaluate the overlap of the prior probability distribution \n"
    "of each parameter with the posterior distribution for that parameter, e.g., the (perhaps) \n"
    "Gaussian confidence region from a covariance analysis.  This overlap is a measure of the \n"
    "probability that the parameter estimate can reasonably be associated with both distributions. \n"
    "Depending on sample size, and if the distributions are nearly Gaussian, then you can try a \n"
    "t-test or a z-test using the moments of the distributions.  If the distributions do not \n"
    "significantly overlap, then you might want to reconsider your prior distribution.  Cumulative \n"
    "and attenuated probability plots for prior distributions can be saved in *.pdp files.\n"
    "\n";

std::string likelihoodColumns(double negLogL)
{
    return " a prior -ln[L] of " + padToWidth(formatNumber(negLogL, "##0.00"), 8) +
           " and a prior likelihood of " + padToWidth(formatNumber(std::exp(-negLogL), "0.000000"), 8);
}

} // namespace

std::string priorReviewText(Application& app, const std::vector<double>& values)
{
    const int paramCount = app.algorithm.paramCount;
    const double covScale = app.session.covScale;
    evaluatePriors(app.priors, values, covScale, app.priorResults);

    std::string text = reviewIntroduction;
    double total = 0.0;
    for (int p = 1; p <= paramCount && static_cast<std::size_t>(p) < app.priors.size(); ++p) {
        const auto at = static_cast<std::size_t>(p);
        if (app.priors[at].typeCode == "U")
            continue;
        const double negLogL = covScale * app.priorResults.priorTerm[at];
        total += negLogL;
        const double value = at < values.size() ? values[at] : 0.0;
        text += "Parameter " + padToWidth(formatNumber(p, "##0"), 3) + " at " +
                padToWidth(formatNumber(value, "0.000E+00"), 10) + " has" + likelihoodColumns(negLogL) + "\n";
    }
    text += "\n           The entire model has" + likelihoodColumns(total) + "\n";
    return text;
}

void showPriorReview(Application& app, const std::vector<double>& values)
{
    app.openReportWindow("frmReviewPriors").setText(priorReviewText(app, values));
}

} // namespace orvanta
