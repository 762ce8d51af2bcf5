// Is the simulated chi-square test of the results summary right? Data sets simulated at known
// values and summarized at those same values must give p values spread evenly over 0..1; at
// clearly wrong values p must be near 0. The increment data are chosen so that the model's
// Gaussian error model is exact (k fixed, no measurement error, release sizes far below
// L-infinity), the frequency samples are small enough that the model's discretization of the
// steady state does not show.
#include "BatchRun.h"

#include "algorithm/AlgorithmData.h"
#include "algorithm/AlgorithmFile.h"
#include "model/ModelState.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace orvanta {
namespace {

using testing::readFileBytes;
using testing::runBatchWith;
using testing::TempDir;

const std::string examples = ORVANTA_EXAMPLES_DIR;
const std::vector<double> trueValues = {0, 120, 10,  0.35, 0, 0, 0, 0,    0,    0,   0.5,
                                        0, 70,  250, 0.2,  0, 0, 0, -999, -999, -999};

void writeAlgorithm(const std::string& path, const std::vector<double>& values)
{
    AlgorithmData data;
    data.paramCount = modelParamCount;
    resetAlgorithmData(data);
    ASSERT_FALSE(readAlgorithmText(readFileBytes(examples + "/tarnfield.alg"), data).failed());
    for (int p = 1; p <= modelParamCount; ++p) {
        data.paramValues[static_cast<std::size_t>(p)] = values[static_cast<std::size_t>(p)];
        data.paramSteps[static_cast<std::size_t>(p)] = p <= 3 ? 0.1 : 0.0;
    }
    ASSERT_TRUE(writeAlgorithmFile(path, data));
}

// The p values of the frequency test and of the two increment tests of one data set.
std::vector<double> pValues(TempDir& dir, int seed, const std::vector<double>& evaluatedAt)
{
    std::ostringstream params;
    for (int p = 1; p <= modelParamCount; ++p)
        params << (p > 1 ? "," : "") << trueValues[static_cast<std::size_t>(p)];
    const std::string freq = dir.file("f.dat");
    const std::string inc = dir.file("i.dat");
    const auto simulated = runBatchWith({"simulate",
                                         "--params",
                                         params.str(),
                                         "--seed",
                                         std::to_string(seed),
                                         "--freq",
                                         freq,
                                         "--freq-count",
                                         "500",
                                         "--cell-width",
                                         "2",
                                         "--inc",
                                         inc,
                                         "--inc-count",
                                         "150",
                                         "--release-sizes",
                                         "uniform",
                                         "--release-size-min",
                                         "20",
                                         "--release-size-max",
                                         "60"});
    EXPECT_EQ(simulated.status, 0) << simulated.err;
    const std::string alg = dir.file("e.alg");
    writeAlgorithm(alg, evaluatedAt);
    const auto summary = runBatchWith({"summary", "--freq", freq, "--inc", inc, "--alg", alg, "--sims", "100",
                                       "--chi-square", "--seed", std::to_string(1000 + seed)});
    EXPECT_EQ(summary.status, 0) << summary.err;
    std::vector<double> p;
    const std::regex pattern(R"(Cumulative p\[chi-square\]: ([0-9.]+))");
    for (auto it = std::sregex_iterator(summary.out.begin(), summary.out.end(), pattern);
         it != std::sregex_iterator(); ++it)
        p.push_back(std::stod((*it)[1]));
    EXPECT_EQ(p.size(), 3u);
    p.resize(3, -1.0);
    return p;
}

// The Kolmogorov-Smirnov distance between the p values and the uniform distribution.
double distanceFromUniform(std::vector<double> p)
{
    std::sort(p.begin(), p.end());
    const double n = static_cast<double>(p.size());
    double d = 0.0;
    for (std::size_t i = 0; i < p.size(); ++i)
        d = std::max({d, (static_cast<double>(i) + 1.0) / n - p[i], p[i] - static_cast<double>(i) / n});
    return d;
}

TEST(ChiSquareCalibration, PIsUniformAtTheTrueValuesAndNearZeroAtWrongOnes)
{
    TempDir dir;
    constexpr int dataSets = 60;
    std::vector<std::vector<double>> byTest(3);
    for (int seed = 1; seed <= dataSets; ++seed) {
        const std::vector<double> p = pValues(dir, seed, trueValues);
        for (std::size_t t = 0; t < 3; ++t)
            byTest[t].push_back(p[t]);
    }
    const double critical = 1.63 / std::sqrt(double(dataSets)); // 1 % level
    for (std::size_t t = 0; t < 3; ++t)
        EXPECT_LT(distanceFromUniform(byTest[t]), critical) << "test " << t;

    std::vector<double> wrong = trueValues;
    wrong[1] = 100; // L-infinity 100 +- 5 instead of 120 +- 10
    wrong[2] = 5;
    for (int seed = 1; seed <= 3; ++seed)
        for (double p : pValues(dir, seed, wrong))
            EXPECT_LE(p, 0.01) << seed;
}

} // namespace
} // namespace orvanta
