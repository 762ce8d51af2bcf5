#include "model/SelectionIntegral.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace orvanta {
namespace {

double normalDensity(double x, double mean, double sd)
{
    const double z = (x - mean) / sd;
    return std::exp(-0.5 * z * z) / (sd * std::sqrt(2.0 * std::numbers::pi));
}

double phi(double z)
{
    return 0.5 * std::erfc(-z / std::sqrt(2.0));
}

// A record's integrand: a normal density of the increment times a normal selection curve.
struct Integrand {
    double mean = 50.0;
    double sd = 0.5;
    double selMean = 40.0;
    double selSd = 5.0;

    double operator()(double x) const { return normalDensity(x, mean, sd) * phi((x - selMean) / selSd); }

    // Steps from the density's SD and the selection curve's, as the model takes them.
    SelectionPanels panels(double stepSd, double upper = 150.0) const
    {
        return {0.001, std::min(stepSd / 5.0, selSd / 5.0), selMean + 5.0 * selSd, stepSd / 5.0, upper};
    }

    IntegrandExtent extent(double sds = 40.0) const
    {
        return {std::max(mean - sds * sd, selMean - sds * selSd), mean + sds * sd, std::min(sd, selSd)};
    }

    // Integral of N(x; mean, sd^2) Phi((x - selMean) / selSd) over all x.
    double exact() const { return phi((mean - selMean) / std::sqrt(sd * sd + selSd * selSd)); }
};

// Limits that leave only the integration within the extent.
constexpr PanelLimits windowOnly{0.0, plainIntegrandLimits.extent};

// The integration as it is given: x from 0.001 by the step of its run, Simpson's panels, a stop
// once the sum reaches 0.999999.
double givenIntegration(const SelectionPanels& p, const Integrand& f, long long& panels)
{
    double x = p.start;
    double atX = f(x);
    double A = 0.0;
    panels = 0;
    while (x < p.upper) {
        const double h = x <= p.fineUntil ? p.fineStep : p.coarseStep;
        const double atNext = f(x + h);
        A += (atX + 4.0 * f(x + h / 2.0) + atNext) * h / 6.0;
        x += h;
        atX = atNext;
        ++panels;
        if (A >= 0.999999)
            break;
    }
    return A;
}

TEST(SelectionIntegral, WithinThePanelLimitIsTheGivenIntegrationBitForBit)
{
    struct Case {
        const char* what;
        Integrand f;
        double stepSd;
    };
    const Case cases[] = {
        {"narrow density, fine steps below the selection curve", {50.0, 0.5, 40.0, 5.0}, 0.5},
        {"narrow selection curve", {30.0, 8.0, 35.0, 0.2}, 8.0},
        {"selection curve 1 everywhere: stops at 0.999999", {30.0, 3.0, -20.0, 1.0}, 3.0},
    };
    for (const Case& c : cases) {
        long long givenPanels = 0;
        const double given = givenIntegration(c.f.panels(c.stepSd), c.f, givenPanels);
        const SelectionIntegral A = integrateSelection(c.f.panels(c.stepSd), c.f.extent(), c.f);
        EXPECT_FALSE(A.failed()) << c.what;
        EXPECT_EQ(A.area, given) << c.what;
        EXPECT_EQ(A.panels, givenPanels) << c.what;
        EXPECT_NEAR(A.area, c.f.exact(), 1e-5) << c.what;
    }
}

TEST(SelectionIntegral, BeyondThePanelLimitOnlyTheExtentIsIntegratedToTheSameValue)
{
    // The same integrals with the limit at 0 panels: only the extent is integrated. The last
    // one starts at 0.001 and stops at 0.999999 either way.
    struct Case {
        Integrand f;
        bool fewerPanels;
    };
    const Case cases[] = {
        {{50.0, 0.5, 40.0, 5.0}, true}, {{30.0, 8.0, 35.0, 0.2}, true}, {{30.0, 3.0, -20.0, 1.0}, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "density " << c.f.mean << " sd " << c.f.sd);
        long long givenPanels = 0;
        const double given = givenIntegration(c.f.panels(c.f.sd), c.f, givenPanels);
        const SelectionIntegral A = integrateSelection(c.f.panels(c.f.sd), c.f.extent(), c.f, windowOnly);
        EXPECT_FALSE(A.failed());
        EXPECT_NEAR(A.area, given, 1e-12 * given);
        if (c.fewerPanels)
            EXPECT_LT(A.panels, givenPanels / 2);
        else
            EXPECT_EQ(A.panels, givenPanels);
    }
}

// The panel ends at which an integration evaluates its integrand: the first point, then each
// panel's right end before its midpoint.
std::vector<double> panelEnds(const SelectionPanels& p, const IntegrandExtent& extent, const Integrand& f,
                              const PanelLimits& limits)
{
    std::vector<double> calls;
    integrateSelection(
        p, extent,
        [&](double x) {
            calls.push_back(x);
            return f(x);
        },
        limits);
    std::vector<double> ends;
    for (std::size_t i = 0; i < calls.size(); ++i)
        if (i == 0 || i % 2 == 1)
            ends.push_back(calls[i]);
    return ends;
}

TEST(SelectionIntegral, PanelEndsLieOnTheGridOfTheFullIntegration)
{
    // An extent that begins among the fine panels (step 0.2 up to 45) and ends among the coarse
    // ones (step 0.4).
    const Integrand f{42.0, 2.0, 40.0, 1.0};
    const SelectionPanels p = f.panels(f.sd, 60.0);
    const std::vector<double> fullEnds = panelEnds(p, f.extent(), f, plainIntegrandLimits);
    const std::vector<double> windowEnds = panelEnds(p, f.extent(8.0), f, windowOnly);
    ASSERT_GT(windowEnds.size(), 50u);
    EXPECT_LT(windowEnds.size(), fullEnds.size() / 2);
    EXPECT_GT(windowEnds.front(), 31.0); // the panels below the extent (from 32) are left out
    EXPECT_LT(windowEnds.front(), 32.0);
    EXPECT_GT(windowEnds.back(), 58.0); // and those above it (from 58)
    EXPECT_LT(windowEnds.back(), 59.0);
    for (const double x : windowEnds) {
        const auto nearest = std::min_element(fullEnds.begin(), fullEnds.end(), [x](double a, double b) {
            return std::fabs(a - x) < std::fabs(b - x);
        });
        EXPECT_NEAR(*nearest, x, 1e-11) << "panel end " << x;
    }
}

TEST(SelectionIntegral, AStepFarFinerThanTheIntegrandJoinsWholePanels)
{
    // A density of SD 1e-3 whose step comes from an SD of 1e-6: 110 / 2e-7 = 5.5e8 panels in
    // full, and still 4e5 within 40 SDs of the density; joined to a fifth of its SD, about 400.
    Integrand f{0.2, 1e-3, 0.0, 365.0};
    const SelectionIntegral A = integrateSelection(f.panels(1e-6, 110.0), f.extent(), f);
    EXPECT_FALSE(A.failed());
    EXPECT_LE(A.panels, 500);
    EXPECT_NEAR(A.area, f.exact(), 1e-12);
}

TEST(SelectionIntegral, AnExtentTooWideForItsStepKeepsToItsLimitOfPanels)
{
    // A step of 2e-7 over an extent of 20 that varies on no known scale: 1e8 panels, joined to
    // keep within 1000. The integrand is smooth, so Simpson's rule still finds its value.
    const Integrand f{50.0, 2.0, 40.0, 5.0};
    const SelectionIntegral A = integrateSelection(f.panels(1e-6), {40.0, 60.0, 0.0}, f, {1000.0, 1000.0});
    EXPECT_FALSE(A.failed());
    EXPECT_LE(A.panels, 1001);
    EXPECT_GE(A.panels, 900);
    EXPECT_NEAR(A.area, f.exact(), 1e-5); // the extent leaves the density beyond 5 SDs out
}

TEST(SelectionIntegral, IntegrationsThatCannotBeDoneFailInsteadOfRunningOn)
{
    const Integrand f;
    struct Case {
        const char* what;
        SelectionPanels panels;
        IntegrandExtent extent;
    };
    const Case cases[] = {
        {"a zero step", {0.001, 0.0, 65.0, 0.0, 150.0}, f.extent()},
        {"a NaN step", {0.001, NAN, 65.0, NAN, 150.0}, f.extent()},
        {"no finite extent", f.panels(1e-9), {-INFINITY, 60.0, 0.0}},
        {"no end above", {0.001, 0.1, 65.0, 0.1, INFINITY}, {NAN, NAN, 0.0}},
    };
    for (const Case& c : cases) {
        const SelectionIntegral A = integrateSelection(c.panels, c.extent, f);
        EXPECT_TRUE(A.failed()) << c.what;
        EXPECT_LE(A.panels, 1) << c.what;
    }
}

TEST(SelectionIntegral, FullPanelCountCountsBothRuns)
{
    EXPECT_EQ(fullPanelCount({0.0, 0.5, 9.9, 2.0, 30.0}), 20.0 + 10.0); // fine to 10, coarse to 30
    EXPECT_EQ(fullPanelCount({0.0, 0.5, 50.0, 2.0, 30.0}), 60.0);       // all fine
    EXPECT_EQ(fullPanelCount({0.0, 0.5, -1.0, 2.0, 30.0}), 15.0);       // all coarse
    EXPECT_TRUE(std::isinf(fullPanelCount({0.0, 0.0, 50.0, 2.0, 30.0})));
    EXPECT_TRUE(std::isnan(fullPanelCount({0.0, 0.5, 9.9, 2.0, NAN})));
}

} // namespace
} // namespace orvanta
