// The covariance calculator on the model itself, fitted to tag-recapture data simulated at the
// bundled example's true values (examples/README.md): near a well-determined minimum the
// likelihood is close to quadratic, so the three grids must agree.

#include "algorithm/AlgorithmData.h"
#include "app/Application.h"
#include "minimize/SimplexMinimizer.h"
#include "model/DataSimulator.h"
#include "model/InitializationWindow.h"
#include "model/TarnfieldModel.h"
#include "support/FakeClock.h"
#include "support/TempDir.h"
#include "text/TextFile.h"
#include "ui/UserInterface.h"
#include "uncertainty/CovarianceCalculationsWindow.h"
#include "uncertainty/CovarianceCalculator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <variant>

namespace orvanta::testing {
namespace {

const std::vector<double> trueParams = {0, 120, 8,   0.35, 0.06, 0.03, 200, 0,    0,    3,   0.5,
                                        0, 70,  250, 0.3,  45,   8,    0,   -999, -999, -999};

// Nobody answers: the Simplex's call-limit question is answered No (stop), notices are taken.
class UnattendedUi : public UserInterface {
public:
    Answer showMessage(const std::string&, const std::string&, Buttons buttons, Icon, DefaultButton) override
    {
        return buttons == Buttons::YesNo ? Answer::No : Answer::OK;
    }
    std::string askText(const std::string&, const std::string&, const std::string&) override { return {}; }
    std::optional<std::string> chooseFile(const FileDialogRequest&) override { return std::nullopt; }
    void processPendingEvents() override {}
    void beep() override {}
};

// Tags of steady-state animals released at 40 to 110 mm, fitted for the mean and SD of
// L-infinity and of k from the true values (the other parameters held at theirs).
class SimulatedTags : public ::testing::Test {
protected:
    SimulatedTags() { app.setModel(&model); }

    bool loadTags(int records, std::uint64_t seed)
    {
        SimulationRequest request;
        request.params = trueParams;
        request.seed = seed;
        IncrementSampleRequest tags;
        tags.recordCount = records;
        tags.releaseDayMin = 1;
        tags.releaseDayMax = 730;
        tags.libertyMinDays = 60;
        tags.libertyMaxDays = 900;
        tags.releaseSizeMin = 40;
        tags.releaseSizeMax = 110;
        request.increments = tags;
        const auto simulated = simulateData(request);
        if (!std::holds_alternative<SimulatedData>(simulated))
            return false;
        const std::string path = dir.file("tags.dat");
        if (!saveTextFile(path, std::get<SimulatedData>(simulated).incrementText))
            return false;
        InitializationRequest files;
        files.incrementFile = path;
        initializeModel(app, model, files);
        return app.session.initializeAlready;
    }

    void startAtTruth()
    {
        AlgorithmData& data = app.algorithm;
        data.paramValues = trueParams;
        data.paramSteps.assign(trueParams.size(), 0.0);
        data.paramSteps[1] = 1.0;
        data.paramSteps[2] = 0.5;
        data.paramSteps[3] = 0.01;
        data.paramSteps[4] = 0.005;
        data.fuseCodes.assign(trueParams.size(), unfusedCode);
        data.options.convergenceTolerance = 1e-6;
    }

    // The maximum-likelihood estimates, starting from the truth.
    void fit()
    {
        startAtTruth();
        buildFuseGroups(app.algorithm);
        buildFreeIndex(app.algorithm);
        app.session.simplexBuilt = false;
        runSimplex(app);
    }

    // The objective is twice the negative log-likelihood.
    void calculateCovariances()
    {
        CovarianceSettings settings;
        settings.objectiveConstant = 0.5;
        ASSERT_TRUE(runNumericalCovariance(app, settings));
    }

    double standardError(int g, int a) const
    {
        return app.covariance.grids[static_cast<std::size_t>(g)].standardError[static_cast<std::size_t>(a)];
    }

    UnattendedUi ui;
    FakeClock clock;
    Application app{ui, clock, realFileSystem()};
    TarnfieldModel model{app.modelHost()};
    TempDir dir;
};

TEST_F(SimulatedTags, ThreeGridsAgreeAtTheMinimum)
{
    ASSERT_TRUE(loadTags(200, 31));
    fit();
    calculateCovariances();

    for (int a = 1; a <= 4; ++a) {
        SCOPED_TRACE("free position " + std::to_string(a));
        ASSERT_GT(standardError(3, a), 0.0);
        // The model integrates over L-infinity and k numerically, so even the smallest grid sees
        // its discretization as a few per cent of curvature; within that the grids agree.
        EXPECT_NEAR(standardError(1, a) / standardError(3, a), 1.0, 0.1);
        EXPECT_NEAR(standardError(2, a) / standardError(3, a), 1.0, 0.1);
    }
    // The grids' spread of -ln[L] grows with their width, from near 0 on the smallest.
    const auto& sd = app.covariance.gridStdDev;
    EXPECT_GT(sd[1], sd[2]);
    EXPECT_GT(sd[2], sd[3]);
    EXPECT_LT(sd[3] * 2.0, 1e-3);
}

// The standard errors against the spread of the estimates over refits of fresh data sets. Too
// slow for every run; run with --gtest_also_run_disabled_tests to print the comparison.
TEST_F(SimulatedTags, DISABLED_StandardErrorsMatchTheSpreadOfRefits)
{
    constexpr int replicates = 40;
    constexpr int records = 300;
    std::vector<std::vector<double>> estimates(5);
    std::vector<std::vector<double>> errors(5);
    int withoutErrors = 0;
    for (int r = 0; r < replicates; ++r) {
        ASSERT_TRUE(loadTags(records, 1000 + static_cast<std::uint64_t>(r)));
        fit();
        for (std::size_t a = 1; a <= 4; ++a)
            estimates[a].push_back(app.algorithm.paramValues[a]);
        calculateCovariances();
        if (standardError(2, 1) <= 0.0) {
            ++withoutErrors; // the Hessian was not positive-definite
            continue;
        }
        for (int a = 1; a <= 4; ++a)
            errors[static_cast<std::size_t>(a)].push_back(standardError(2, a));
    }
    auto mean = [](const std::vector<double>& v) {
        double sum = 0.0;
        for (double x : v)
            sum += x;
        return sum / static_cast<double>(v.size());
    };
    std::printf("%d replicates of %d tags; %d without standard errors\n", replicates, records, withoutErrors);
    for (std::size_t a = 1; a <= 4; ++a) {
        const double m = mean(estimates[a]);
        double squares = 0.0;
        for (double e : estimates[a])
            squares += (e - m) * (e - m);
        const double sd = std::sqrt(squares / (replicates - 1));
        std::printf(
            "parameter %zu: true %.4g, mean estimate %.4g, SD of estimates %.4g, mean SE (grid 2) %.4g, "
            "ratio %.3f\n",
            a, trueParams[a], m, sd, mean(errors[a]), mean(errors[a]) / sd);
        // With 40 replicates the SD itself is uncertain by about 11 %; the SD of k sits near its
        // bound of 0, where the likelihood is far from quadratic, so only a coarse agreement holds.
        EXPECT_GT(mean(errors[a]) / sd, 0.5);
        EXPECT_LT(mean(errors[a]) / sd, 2.0);
    }
}

} // namespace
} // namespace orvanta::testing
