// The prior penalty runs once per objective evaluation, so it must not touch the heap. This file
// replaces the global allocation functions for the whole test program; they count only while a
// test asks them to, so the other tests of the program are not affected.

#include "priors/PriorEvaluation.h"

#include "PriorTestSupport.h"
#include "app/Application.h"
#include "priors/PriorTools.h"
#include "support/FakeClock.h"
#include "support/ScriptedUi.h"
#include "text/TextFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <vector>

namespace {

bool countingAllocations = false;
long allocationCount = 0;

} // namespace

void* operator new(std::size_t size)
{
    if (countingAllocations)
        ++allocationCount;
    if (void* memory = std::malloc(size == 0 ? 1 : size))
        return memory;
    throw std::bad_alloc();
}

void operator delete(void* memory) noexcept
{
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept
{
    std::free(memory);
}

namespace orvanta {
namespace {

using testing::prior;

// Counts the allocations made while it lives.
class AllocationCounter {
public:
    AllocationCounter()
    {
        allocationCount = 0;
        countingAllocations = true;
    }
    ~AllocationCounter() { countingAllocations = false; }
    long count() const { return allocationCount; }
};

// Every type, including the walls, the soft feet and a prior without a finite value.
std::vector<PriorSpec> everyType()
{
    return {PriorSpec{},          prior("U", 0, 0), prior("T", 0, 1, 10.0, 0.0),
            prior("N", 3, 2),     prior("E", 4, 4), prior("G", 4, 2),
            prior("B", 0.3, 0.1), prior("S", 5, 1), prior("D", 5, 0),
            prior("L", 2, 1),     prior("N", 3, 0), prior("X", 0, 0)};
}

TEST(PriorAllocation, TheCounterSeesAnAllocation)
{
    AllocationCounter counter;
    auto* probe = new std::vector<double>(3);
    delete probe;
    EXPECT_GE(counter.count(), 1);
}

TEST(PriorAllocation, EvaluatingSizedResultsAllocatesNothing)
{
    const std::vector<PriorSpec> priors = everyType();
    PriorResults results;
    results.priorTerm.assign(priors.size(), 0.0);
    const std::vector<std::vector<double>> points = {std::vector<double>(priors.size(), -1.0),
                                                     std::vector<double>(priors.size(), 0.5),
                                                     std::vector<double>(priors.size(), 11.0)};

    AllocationCounter counter;
    for (const std::vector<double>& x : points)
        evaluatePriors(priors, x, 0.5, results);
    EXPECT_EQ(counter.count(), 0);
}

TEST(PriorAllocation, ThePenaltyHookAllocatesNothingOnceTheResultsAreSized)
{
    testing::ScriptedUi ui;
    testing::FakeClock clock;
    Application app{ui, clock, realFileSystem()};
    installPriors(app);
    app.priors = everyType();
    app.session.covScale = 0.5;
    const std::vector<double> x(app.priors.size(), 2.0);
    app.priorHooks.penalty(x); // the first evaluation sizes the results

    AllocationCounter counter;
    for (int i = 0; i < 100; ++i)
        app.priorHooks.penalty(x);
    EXPECT_EQ(counter.count(), 0);
}

} // namespace
} // namespace orvanta
