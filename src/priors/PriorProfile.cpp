#include "priors/PriorProfile.h"

#include "app/Application.h"
#include "minimize/ProgressText.h"
#include "plots/DistributionPlotWindow.h"
#include "priors/PriorEvaluation.h"
#include "priors/PriorProblem.h"
#include "priors/PriorShape.h"
#include "priors/PriorSpec.h"
#include "text/NumberText.h"
#include "ui/ReportWindow.h"
#include "ui/UserInterface.h"
#include "uncertainty/DistributionProfile.h"
#include "uncertainty/DistributionReport.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace orvanta {

namespace {

constexpr double noPointYet = 1e100; // the smallest -ln[L] before the first point
constexpr double stepOfNoWidth = 0.1;

std::size_t at(int index)
{
    return static_cast<std::size_t>(index);
}

// ---- The domain -------------------------------------------------------------------------------

// n points centre + (i - c) step, c = (n - 1) / 2 + 1.
PriorProfileDomain centredPoints(double centre, double step, int n)
{
    PriorProfileDomain domain;
    domain.step = step;
    domain.points.assign(at(n) + 1, 0.0);
    const int c = (n - 1) / 2 + 1;
    for (int i = 1; i <= n; ++i)
        domain.points[at(i)] = centre + (i - c) * step;
    return domain;
}

// The domain moved to start at first: the n points first + (i - 1) F / (n - 1), F the last
// point of the domain before the move.
void startDomainAt(PriorProfileDomain& domain, double first, int n)
{
    const double F = domain.points[at(n)];
    for (int i = 1; i <= n; ++i)
        domain.points[at(i)] = (i - 1) * F / (n - 1) + first;
    domain.step = F / (n - 1);
}

double nonZeroStep(double step)
{
    return step == 0.0 ? stepOfNoWidth : step;
}

PriorProfileDomain domainOf(const PriorShape& shape, int n)
{
    const double M = shape.mean;
    const double s = shape.sd;
    const double halfWidth = (n - 1) / 2.0; // c'
    switch (shape.type) {
    case PriorType::Gaussian:
        return centredPoints(M, 10.0 * s / (n - 1), n);
    case PriorType::Gamma:
    case PriorType::LnNormal: {
        PriorProfileDomain domain = centredPoints(M, 10.0 * s / (n - 1), n);
        if (domain.points[1] < priorSupportLow)
            startDomainAt(domain, priorSupportLow, n);
        return domain;
    }
    case PriorType::Exponential: {
        PriorProfileDomain domain = centredPoints(0.0, 20.0 * std::fabs(M) / (n - 1), n);
        startDomainAt(domain, 0.0, n); // from 0 to 10 means
        return domain;
    }
    case PriorType::Beta: {
        PriorProfileDomain domain = centredPoints(0.5, 1.0 / (n - 1), n);
        domain.points[1] = priorSupportLow;
        domain.points[at(n)] = priorSupportHigh;
        return domain;
    }
    case PriorType::LeftCliff:
    case PriorType::RightCliff:
        // A hard foot spreads the points by the foot's magnitude: a negative foot must not turn
        // the step, and with it the points, backwards.
        return centredPoints(M, nonZeroStep(s > 0.0 ? 3.0 * s / halfWidth : std::fabs(M) / halfWidth), n);
    case PriorType::UniformBounded: {
        const double left = M - 3.0 * s;
        const double right = shape.rightFoot + 3.0 * shape.rightSD;
        return centredPoints((left + right) / 2.0, nonZeroStep(std::fabs(right - left) / (n - 1)), n);
    }
    default:
        return {};
    }
}

bool risingFiniteValues(const PriorProfileDomain& domain, int n)
{
    if (!(std::isfinite(domain.step) && domain.step > 0.0) || domain.points.size() != at(n) + 1)
        return false;
    for (int i = 1; i <= n; ++i)
        if (!std::isfinite(domain.points[at(i)]) ||
            (i > 1 && !(domain.points[at(i)] > domain.points[at(i - 1)])))
            return false;
    return true;
}

bool usablePointCount(int n)
{
    return n >= 3 && n <= largestPriorProfilePointCount && n % 2 == 1;
}

// ---- Refusals ---------------------------------------------------------------------------------

bool isUniformUnbounded(const PriorSpec& prior)
{
    return priorType(prior.typeCode) == PriorType::UniformUnbounded;
}

std::string namedPrior(const PriorSpec& prior, int param)
{
    const std::string_view name = priorTypeName(prior.typeCode);
    return (name.empty() ? std::string("The prior") : "The " + std::string(name) + " prior") +
           " of parameter " + numberText(param);
}

// Why the prior itself cannot be profiled, whatever the number of points; empty when it can.
std::string refusalOfPrior(const PriorSpec& prior, int param)
{
    if (isUniformUnbounded(prior))
        return uniformUnboundedNotPlotted;
    const std::string problem = priorProblem(prior);
    if (problem.empty())
        return {};
    const PriorShape shape = priorShape(prior);
    const bool noWidth = shape.fault == PriorFault::ZeroSD || shape.fault == PriorFault::ZeroMean;
    return namedPrior(prior, param) + " cannot be profiled: " + problem +
           (noWidth ? ", and with it the profile's domain would have no width." : ".");
}

std::string refusalOfDomain(const PriorSpec& prior, int param, int n)
{
    return namedPrior(prior, param) + " cannot be profiled with " + numberText(n) +
           " points: its terms give no domain of that many distinct finite values.";
}

// ---- The dialogue -----------------------------------------------------------------------------

std::string introductionText()
{
    return "This routine will create a series of plots to evaluate prior distributions.\n"
           "If the prior distribution is uniform-unbounded (U) no plots will be generated.\n"
           "First choose the parameter to be profiled, then the number of data points.\n"
           "This routine uses the moments (mean and SD) to set the domain of the parameter.";
}

std::string plotListText()
{
    return "Choose plot 1 to get a likelihood profile plot. \n"
           "Choose plot 2 to get a Bayesian prior distribution. \n"
           "Choose plot 3 to get a mode-centered confidence region plot. \n"
           "Choose plot 4 to get a mean-centered confidence region plot. \n"
           "Choose plot 5 to get a left to right ascending cumulative plot. \n"
           "Choose plot 6 to get a left to right descending cumulative plot. \n"
           "Choose plot 7 to get a mode-centered Gaussian distribution plot. ";
}

// The whole number an answer gives (leadingNumber, halves to even), when it lies in
// lowest..highest.
std::optional<int> wholeNumberIn(const std::string& answer, int lowest, int highest)
{
    const double number = std::nearbyint(leadingNumber(answer));
    if (!(number >= lowest && number <= highest))
        return std::nullopt;
    return static_cast<int>(number);
}

class PriorProfileDialogue {
public:
    PriorProfileDialogue(Application& app, int defaultParam)
        : app_(app), ui_(app.ui()), defaultParam_(defaultParam > 1 ? defaultParam : 1)
    {
    }

    void run()
    {
        while (!app_.ended()) {
            if (ui_.showMessage(introductionText(), priorProfileTitle, Buttons::OKCancel,
                                Icon::Information) != Answer::OK ||
                app_.ended())
                return;
            ui_.showMessage(plotListText(), priorProfileTitle, Buttons::OK, Icon::Information);
            const std::optional<int> param = askParameter();
            if (!param)
                continue;
            const PriorSpec& prior = app_.priors[at(*param)];
            if (refused(refusalOfPrior(prior, *param)))
                continue;
            const std::optional<int> n = askPointCount();
            if (!n)
                continue;
            if (!priorProfileDomain(prior, *n)) {
                refused(refusalOfDomain(prior, *param, *n));
                continue;
            }
            if (calculate(*param, *n))
                present(*param);
            return;
        }
    }

private:
    // Shows a refusal, when there is one; true when there was.
    bool refused(const std::string& refusal)
    {
        if (refusal.empty())
            return false;
        ui_.showMessage(refusal, priorProfileTitle, Buttons::OK, Icon::Exclamation);
        return true;
    }

    // Asks until the answer is a parameter; nothing for an empty answer (back to the start).
    std::optional<int> askParameter()
    {
        const int count = std::min<int>(app_.algorithm.paramCount, static_cast<int>(app_.priors.size()) - 1);
        const std::string prompt = "Choose the parameter number to be profiled.\n(0 < parameter # <= " +
                                   numberText(app_.algorithm.paramCount) + ")";
        while (!app_.ended()) {
            const std::string answer = ui_.askText(prompt, priorProfileTitle, numberText(defaultParam_));
            if (answer.empty() || app_.ended())
                return std::nullopt;
            if (const std::optional<int> param = wholeNumberIn(answer, 1, count))
                return param;
        }
        return std::nullopt;
    }

    std::optional<int> askPointCount()
    {
        while (!app_.ended()) {
            const std::string answer =
                ui_.askText("Choose the number of x-y data points per plot.\n(0 <= # points <= 1001)",
                            priorProfileTitle, "101");
            if (answer.empty() || app_.ended())
                return std::nullopt;
            if (const std::optional<int> typed = wholeNumberIn(answer, 0, largestPriorProfilePointCount))
                return priorProfilePointCount(*typed);
        }
        return std::nullopt;
    }

    // The points, with their progress on the status bar; false once the program has ended.
    bool calculate(int param, int n)
    {
        StoredDistribution& stored = app_.distribution;
        stored.tool = DistributionTool::PriorProfile;
        stored.parameter = param;
        return calculatePriorProfile(
            app_.priors, param, n, stored.profile, [this, param, n](int i, double x) {
                app_.mainWindow.setPanel(statusBar::messages, 1,
                                         profileStatusText({i, n, param, x}, 1, "0.0000E+00"));
                return app_.yieldToInterface();
            });
    }

    void present(int param)
    {
        DistributionProfile& d = app_.distribution.profile;
        ui_.beep();
        computeDistributionStatistics(d);
        openDistributionPlot(d, param, DistributionSource::PriorProfile, app_.desktop, ui_,
                             [this] { return app_.ended(); });
        if (app_.ended())
            return;
        app_.session.reportText = priorProfileReport(d);
        app_.openReportWindow("frmPriorDists").setText(app_.session.reportText);
    }

    Application& app_;
    UserInterface& ui_;
    int defaultParam_;
};

} // namespace

int priorProfilePointCount(int typed)
{
    if (typed == 0)
        return 101;
    if (typed < 3)
        return 3;
    return typed % 2 == 0 ? typed + 1 : typed;
}

std::optional<PriorProfileDomain> priorProfileDomain(const PriorSpec& prior, int n)
{
    const PriorShape shape = priorShape(prior);
    if (!usablePointCount(n) || shape.fault != PriorFault::None || shape.type == PriorType::UniformUnbounded)
        return std::nullopt;
    PriorProfileDomain domain = domainOf(shape, n);
    if (!risingFiniteValues(domain, n))
        return std::nullopt;
    return domain;
}

std::string priorProfileRefusal(const PriorSpec& prior, int param, int n)
{
    if (std::string refusal = refusalOfPrior(prior, param); !refusal.empty())
        return refusal;
    return priorProfileDomain(prior, n) ? std::string() : refusalOfDomain(prior, param, n);
}

bool calculatePriorProfile(const std::vector<PriorSpec>& priors, int param, int n, DistributionProfile& d,
                           const std::function<bool(int i, double x)>& atPoint)
{
    if (param < 1 || at(param) >= priors.size())
        return false;
    const std::optional<PriorProfileDomain> domain = priorProfileDomain(priors[at(param)], n);
    if (!domain)
        return false;
    d.reset(n);
    d.pointStep = domain->step;
    std::vector<double> vector(priors.size(), 0.0);
    PriorResults results;
    double best = noPointYet;
    for (int i = 1; i <= n; ++i) {
        const double x = domain->points[at(i)];
        d.pointValues[at(i)] = x;
        if (atPoint && !atPoint(i, x)) {
            d.reset(0);
            return false;
        }
        vector[at(param)] = x;
        // The prior's own -ln[L]: covScale does not enter a preview of the prior.
        evaluatePriors(priors, vector, 0.0, results);
        d.negLogL[at(i)] = results.priorTerm[at(param)];
        if (d.negLogL[at(i)] < best) {
            best = d.negLogL[at(i)];
            d.modeIndex = i;
            d.modeValue = x;
        }
    }
    return true;
}

std::string priorProfileReport(const DistributionProfile& profile)
{
    return writeDistributionReport(profile, priorProfileHeading, DistributionColumns::Cumulative);
}

void runPriorProfile(Application& app, int defaultParam)
{
    app.session.profileRunning = true;
    PriorProfileDialogue(app, defaultParam).run();
    app.session.profileRunning = false;
}

} // namespace orvanta
