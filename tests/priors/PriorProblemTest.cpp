#include "priors/PriorProblem.h"

#include "PriorTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace orvanta {
namespace {

using testing::prior;
using testing::termAt;

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double infinity = std::numeric_limits<double>::infinity();

// Priors that the editor can store or a hand-edited file can hold, but that have no finite
// -ln[L]: each is refused with its reason, and an evaluation gives NaN rather than dividing by
// zero or taking the logarithm of a non-positive number.
TEST(PriorProblem, PriorsWithoutAFiniteValueAreNamedAndNeverEvaluated)
{
    struct Case {
        const char* what;
        PriorSpec distribution;
        const char* problem;
    };
    const Case cases[] = {
        {"Gaussian SD 0", prior("N", 3, 0), "its SD must not be 0"},
        {"exponential mean 0", prior("E", 0, 0), "its mean must not be 0"},
        {"gamma SD above its mean (a < 1)", prior("G", 4, 5), "its SD must be above 0 and below its mean"},
        {"gamma from two negative entries", prior("G", -4, -5), "its SD must be above 0 and below its mean"},
        {"gamma SD equal to its mean (a = 1)", prior("G", 4, 4), "its SD must be above 0 and below its mean"},
        {"gamma SD 0", prior("G", 4, 0), "its SD must be above 0 and below its mean"},
        {"ln-normal mean 0", prior("L", 0, 1), "its mean must not be 0"},
        {"ln-normal SD 0", prior("L", 2, 0), "its SD must not be 0"},
        {"beta mean 1.5", prior("B", 1.5, 0.1), "its mean must lie between 0 and 1"},
        {"beta SD 0", prior("B", 0.5, 0), "its SD must not be 0"},
        {"beta mean 0.5, SD 0.6", prior("B", 0.5, 0.6),
         "its mean and SD give a beta shape 'a' or 'b' that is not above 0"},
        {"beta SD whose square underflows", prior("B", 0.5, 1e-170),
         "its SD is too small beside its mean for the shape of the distribution to be computed"},
        {"gamma shape that overflows", prior("G", 1, 1e-160),
         "its SD is too small beside its mean for the shape of the distribution to be computed"},
        {"uniform-bounded with a text right foot", prior("T", 0, 0, "ten", 0.0),
         "the right foot and its SD must be numbers"},
        {"uniform-bounded with unused second terms", prior("T", 0, 0),
         "the right foot and its SD must be numbers"},
        {"Gaussian mean NaN", prior("N", nan, 1), "its terms must be finite numbers"},
        {"cliff foot infinite", prior("S", infinity, 1), "its terms must be finite numbers"},
        {"uniform-bounded right SD infinite", prior("T", 0, 0, 10.0, infinity),
         "its terms must be finite numbers"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(priorProblem(c.distribution), c.problem) << c.what;
        for (const double x : {-1.0, 0.0, 0.5, 3.0})
            EXPECT_TRUE(std::isnan(termAt(c.distribution, x))) << c.what << " at " << x;
    }
}

TEST(PriorProblem, PriorsWithAFiniteValueHaveNone)
{
    const PriorSpec cases[] = {
        PriorSpec{},
        prior("N", -3, 2),
        prior("N", 3, -2), // a negative SD from a file counts as its magnitude
        prior("E", 3, 3),
        prior("G", 4, 2),
        prior("L", 2, 1),
        prior("B", 0.5, 0.1),
        prior("B", 0.5, 0.4), // a = b = 0.28: no interior mode, but finite
        prior("S", -5, 0),
        prior("D", 5, 1),
        prior("T", 0, 0, 10.0, 0.0),
        prior("U", nan, nan), // uniform-unbounded uses no term
    };
    for (const PriorSpec& distribution : cases) {
        EXPECT_EQ(priorProblem(distribution), "")
            << distribution.typeCode << " " << distribution.firstTermMean << " " << distribution.firstTermSD;
        EXPECT_TRUE(std::isfinite(termAt(distribution, 0.3))) << distribution.typeCode;
    }
}

TEST(PriorProblem, AnUnknownTypeCodeIsNamedButContributesNothing)
{
    const PriorSpec distribution = prior("X", 1, 1);
    EXPECT_EQ(priorProblem(distribution), "its type code \"X\" is none of U, T, N, E, G, B, S, D and L");
    EXPECT_EQ(termAt(distribution, 2.0), 0.0);
}

TEST(PriorsProblem, NamesTheFirstParameterWhosePriorCannotBeUsed)
{
    std::vector<PriorSpec> priors = {PriorSpec{}, prior("N", 1, 1), prior("G", 4, 5), prior("E", 0, 0)};
    EXPECT_EQ(priorsProblem(priors, 3),
              "The Gamma prior of parameter 2 cannot be used: its SD must be above 0 and below its mean.");
    priors[2] = prior("?", 0, 0);
    EXPECT_EQ(priorsProblem(priors, 3), "The prior of parameter 2 cannot be used: its type code \"?\" is "
                                        "none of U, T, N, E, G, B, S, D and L.");
    priors[2] = PriorSpec{};
    EXPECT_EQ(priorsProblem(priors, 3),
              "The Exponential prior of parameter 3 cannot be used: its mean must not be 0.");
    EXPECT_EQ(priorsProblem(priors, 2), "") << "parameters beyond paramCount are not looked at";
    EXPECT_EQ(priorsProblem({}, 3), "");
}

} // namespace
} // namespace orvanta
