#include "uncertainty/DistributionProfile.h"

#include <cmath>
#include <cstddef>
#include <utility>

namespace orvanta {

namespace {

std::size_t at(int index)
{
    return static_cast<std::size_t>(index);
}

// The Simpson weight of one double panel, (h x 2) / 6.
double panelWeight(double h)
{
    return (h * 2.0) / 6.0;
}

// pdf(i) + 4 pdf(i+1) + pdf(i+2) for any values f.
double simpsonSum(const std::vector<double>& f, int i)
{
    return f[at(i)] + 4.0 * f[at(i + 1)] + f[at(i + 2)];
}

void makeRelativeToMode(DistributionProfile& d)
{
    const int m = d.modeIndex;
    for (int i = 1; i <= d.pointCount; ++i)
        if (i != m)
            d.negLogL[at(i)] -= d.negLogL[at(m)];
    d.negLogL[at(m)] = 0.0;
}

// Mean and SE from the unnormalised density in pdf; returns its integral A.
double estimateMoments(DistributionProfile& d)
{
    const std::vector<double>& x = d.pointValues;
    const std::vector<double>& f = d.pdf;
    const double w = panelWeight(d.pointStep);
    double A = 0.0;
    double M1 = 0.0;
    double M2 = 0.0;
    for (int i = 1; i <= d.pointCount - 2; i += 2) {
        const auto a = at(i);
        A += simpsonSum(f, i) * w;
        M1 += (x[a] * f[a] + 4.0 * x[a + 1] * f[a + 1] + x[a + 2] * f[a + 2]) * w;
        M2 +=
            (x[a] * x[a] * f[a] + 4.0 * x[a + 1] * x[a + 1] * f[a + 1] + x[a + 2] * x[a + 2] * f[a + 2]) * w;
    }
    if (A > 0.0) {
        d.meanValue = M1 / A;
        const double variance = M2 / A - d.meanValue * d.meanValue;
        d.estimatedSE = variance >= 0.0 ? std::sqrt(variance) : 0.0;
    }
    return A;
}

// Normalises pdf, fills normalPdf and returns the point nearest the mean (the earliest on ties).
int normalizeAndFindMeanPoint(DistributionProfile& d, double A)
{
    const std::vector<double>& x = d.pointValues;
    const double twoPi = 8.0 * std::atan(1.0);
    const double mean = d.meanValue;
    const double se = d.estimatedSE;
    int nearest = 1;
    for (int i = 1; i <= d.pointCount; ++i) {
        const auto a = at(i);
        if (std::fabs(x[a] - mean) < std::fabs(x[at(nearest)] - mean))
            nearest = i;
        if (A > 0.0)
            d.pdf[a] = d.pdf[a] / A;
        if (se > 0.0)
            d.normalPdf[a] =
                std::exp(-(x[a] - mean) * (x[a] - mean) / (2.0 * se * se)) / (std::sqrt(twoPi) * se);
    }
    return nearest;
}

double cappedAtOne(double value)
{
    return value > 1.0 ? 1.0 : value;
}

void accumulate(DistributionProfile& d)
{
    std::vector<double>& c = d.cumulative;
    const std::vector<double>& f = d.pdf;
    const double h = d.pointStep;
    const double w = panelWeight(h);
    c[0] = 0.0;
    c[1] = cappedAtOne(f[1] * h);
    for (int i = 1; i <= d.pointCount - 2; i += 2) {
        const auto a = at(i);
        c[a + 2] = cappedAtOne(c[a] + simpsonSum(f, i) * w);
        if (i == 1)
            c[2] = cappedAtOne(c[1] + f[2] * h);
        else
            c[a + 1] = cappedAtOne(c[a - 1] + simpsonSum(f, i - 1) * w);
    }
}

// The confidence level of every point relative to the point centre; all zero when the centre
// is the first point.
void confidenceAbout(const DistributionProfile& d, int centre, std::vector<double>& level)
{
    if (centre == 1)
        return;
    const std::vector<double>& c = d.cumulative;
    const double below = c[at(centre)];
    const double above = 1.0 - below;
    for (int i = 1; i <= d.pointCount; ++i) {
        const auto a = at(i);
        if (i <= centre && below > 0.0)
            level[a] = (below - c[a]) / below;
        else if (i > centre && above > 0.0)
            level[a] = (c[a] - below) / above;
    }
}

bool usable(const DistributionProfile& d)
{
    const auto size = at(d.pointCount) + 1;
    return d.pointCount >= 1 && d.modeIndex >= 1 && d.modeIndex <= d.pointCount &&
           d.pointValues.size() >= size && d.negLogL.size() >= size && d.pdf.size() >= size &&
           d.cumulative.size() >= size && d.ciOnMode.size() >= size && d.ciOnMean.size() >= size &&
           d.normalPdf.size() >= size;
}

} // namespace

void DistributionProfile::reset(int n)
{
    pointCount = n > 0 ? n : 0;
    const auto size = at(pointCount) + 1;
    for (std::vector<double>* array :
         {&pointValues, &negLogL, &pdf, &cumulative, &ciOnMode, &ciOnMean, &normalPdf})
        array->assign(size, 0.0);
    pointStep = 0.0;
    modeIndex = 0;
    modeValue = 0.0;
    meanValue = 0.0;
    estimatedSE = 0.0;
    modeMinusMean = 0.0;
}

void computeDistributionStatistics(DistributionProfile& d)
{
    if (!usable(d))
        return;
    makeRelativeToMode(d);
    for (int i = 1; i <= d.pointCount; ++i)
        d.pdf[at(i)] = std::exp(-d.negLogL[at(i)]);
    const double A = estimateMoments(d);
    const int meanPoint = normalizeAndFindMeanPoint(d, A);
    accumulate(d);
    confidenceAbout(d, d.modeIndex, d.ciOnMode);
    confidenceAbout(d, meanPoint, d.ciOnMean);
    d.modeMinusMean = d.modeValue - d.meanValue;
}

bool percentDiffDefined(const DistributionProfile& profile)
{
    return profile.meanValue != 0.0;
}

double percentDiff(const DistributionProfile& profile)
{
    return 100.0 * profile.modeMinusMean / profile.meanValue;
}

void reverseDistributionPoints(DistributionProfile& d)
{
    const int n = d.pointCount;
    for (int i = 1; i <= n / 2; ++i) {
        std::swap(d.pointValues[static_cast<std::size_t>(i)],
                  d.pointValues[static_cast<std::size_t>(n + 1 - i)]);
        std::swap(d.negLogL[static_cast<std::size_t>(i)], d.negLogL[static_cast<std::size_t>(n + 1 - i)]);
    }
    d.modeIndex = n + 1 - d.modeIndex;
}

} // namespace orvanta
