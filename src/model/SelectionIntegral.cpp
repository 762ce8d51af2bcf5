#include "model/SelectionIntegral.h"

#include <algorithm>
#include <cmath>

namespace orvanta {

namespace {

constexpr double selectionCoverage = 0.999999;
constexpr double panelsPerSd = 5.0;
const char* const cannotAdvance = "the selectivity integral cannot advance (step not positive)";

// The full grid as two runs of equal panels: fine panels from start, then coarse panels from
// coarseFrom, the first panel end beyond fineUntil. Point n of a run is its first point plus n
// steps.
struct PanelGrid {
    explicit PanelGrid(const SelectionPanels& p)
        : start(p.start), fineStep(p.fineStep), coarseStep(p.coarseStep),
          fineCount(p.start <= p.fineUntil ? std::floor((p.fineUntil - p.start) / p.fineStep) + 1.0 : 0.0),
          coarseFrom(fineCount > 0.0 ? p.start + fineCount * p.fineStep : p.start)
    {
    }

    double start;
    double fineStep;
    double coarseStep;
    double fineCount; // fine panels before coarseFrom
    double coarseFrom;
};

// A point of the grid: its run and its number in the run.
struct GridPoint {
    bool fine = true;
    double index = 0.0; // a whole number

    double x(const PanelGrid& g) const
    {
        return fine ? g.start + index * g.fineStep : g.coarseFrom + index * g.coarseStep;
    }
};

// The grid point at or below x (the first one when x lies below the grid).
GridPoint pointAtOrBelow(const PanelGrid& g, double x)
{
    if (x < g.coarseFrom && g.fineCount > 0.0)
        return {true, std::max(0.0, std::floor((x - g.start) / g.fineStep))};
    return {false, std::max(0.0, std::floor((x - g.coarseFrom) / g.coarseStep))};
}

// How many panels of the given step make one panel no wider than a fifth of narrowestSd.
double joinedPanels(double step, double narrowestSd)
{
    return std::max(1.0, std::floor(narrowestSd / panelsPerSd / step));
}

// The number of panels from a to b (a <= b) when fineJoin and coarseJoin grid panels make one.
double joinedPanelCount(const PanelGrid& g, double a, double b, double fineJoin, double coarseJoin)
{
    const double fineEnd = std::fmin(b, g.coarseFrom);
    const double fine = fineEnd > a ? (fineEnd - a) / (g.fineStep * fineJoin) : 0.0;
    const double coarse =
        b > g.coarseFrom ? (b - std::fmax(a, g.coarseFrom)) / (g.coarseStep * coarseJoin) : 0.0;
    return std::ceil(fine) + std::ceil(coarse);
}

// Simpson's panel [x, next] of width h added to result; atX, f at x, becomes f at next.
void addPanel(SelectionIntegral& result, double x, double h, double next, double& atX,
              const std::function<double(double)>& integrand)
{
    // The panel's right end is the next panel's left end, the very same double.
    const double atNext = integrand(next);
    result.area += (atX + 4.0 * integrand(x + h / 2.0) + atNext) * h / 6.0;
    ++result.panels;
    atX = atNext;
}

// The integration as given: x advances by the step of the run it is in.
SelectionIntegral integrateInFull(const SelectionPanels& p, const std::function<double(double)>& integrand)
{
    SelectionIntegral result;
    double x = p.start;
    double atX = integrand(x);
    while (x < p.upper) {
        const double h = x <= p.fineUntil ? p.fineStep : p.coarseStep;
        const double next = x + h;
        if (!(next > x)) {
            result.failure = cannotAdvance;
            return result;
        }
        addPanel(result, x, h, next, atX, integrand);
        x = next;
        if (result.area >= selectionCoverage)
            break;
    }
    return result;
}

// The grid's panels that overlap the extent, joined where they are finer than it needs.
SelectionIntegral integrateWithin(const SelectionPanels& p, const IntegrandExtent& extent,
                                  const std::function<double(double)>& integrand, double panelLimit)
{
    SelectionIntegral result;
    if (!std::isfinite(extent.low) || !std::isfinite(extent.high)) {
        result.failure = "the selectivity integral has no finite range";
        return result;
    }
    const PanelGrid grid(p);
    const double end = std::fmin(p.upper, extent.high);
    GridPoint point = pointAtOrBelow(grid, extent.low);
    double x = point.x(grid);
    if (!std::isfinite(x)) { // a step of zero, or too small to count the panels below the extent
        result.failure = cannotAdvance;
        return result;
    }
    double fineJoin = joinedPanels(grid.fineStep, extent.narrowestSd);
    double coarseJoin = joinedPanels(grid.coarseStep, extent.narrowestSd);
    const double needed = joinedPanelCount(grid, x, end, fineJoin, coarseJoin);
    if (needed > panelLimit) {
        const double factor = std::ceil(needed / panelLimit);
        fineJoin *= factor;
        coarseJoin *= factor;
    }
    double atX = integrand(x);
    while (x < end && result.area < selectionCoverage) {
        if (static_cast<double>(result.panels) > 2.0 * panelLimit + 2.0) { // the count above was off
            result.failure = "the selectivity integral needs too many panels";
            return result;
        }
        GridPoint next = point;
        next.index += point.fine ? fineJoin : coarseJoin;
        if (point.fine && next.index >= grid.fineCount)
            next = {false, 0.0}; // the coarse run begins
        const double nextX = next.x(grid);
        if (!(nextX > x)) {
            result.failure = cannotAdvance;
            return result;
        }
        addPanel(result, x, nextX - x, nextX, atX, integrand);
        point = next;
        x = nextX;
    }
    return result;
}

} // namespace

double fullPanelCount(const SelectionPanels& p)
{
    if (std::isnan(p.upper))
        return p.upper;
    const PanelGrid grid(p);
    const double fine =
        p.upper < grid.coarseFrom ? std::ceil((p.upper - p.start) / p.fineStep) : grid.fineCount;
    const double coarse =
        p.upper > grid.coarseFrom ? std::ceil((p.upper - grid.coarseFrom) / p.coarseStep) : 0.0;
    return std::max(fine, 0.0) + coarse;
}

SelectionIntegral integrateSelection(const SelectionPanels& panels, const IntegrandExtent& extent,
                                     const std::function<double(double)>& integrand,
                                     const PanelLimits& limits)
{
    if (!(fullPanelCount(panels) > limits.full))
        return integrateInFull(panels, integrand);
    return integrateWithin(panels, extent, integrand, limits.extent);
}

} // namespace orvanta
