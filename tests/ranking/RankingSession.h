#pragma once

// A ready session of three parameters with the ranking installed, a model made by hand whose
// objective each test sets, and covariance files written by the covariance tool itself.

#include "algorithm/AlgorithmData.h"
#include "app/Application.h"
#include "app/MainMenu.h"
#include "minimize/FakeModel.h"
#include "ranking/RankingWindow.h"
#include "support/FakeClock.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"
#include "text/TextFile.h"
#include "uncertainty/CovarianceCalculator.h"
#include "uncertainty/CovarianceDisplayWindow.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

namespace orvanta::testing {

inline constexpr int rankingParamCount = 3;

inline void setAlgorithmData(AlgorithmData& data, const std::vector<double>& values,
                             const std::vector<double>& steps)
{
    data.paramCount = rankingParamCount;
    resetAlgorithmData(data);
    for (int i = 1; i <= rankingParamCount; ++i) {
        data.paramValues[static_cast<std::size_t>(i)] = values[static_cast<std::size_t>(i - 1)];
        data.paramSteps[static_cast<std::size_t>(i)] = steps[static_cast<std::size_t>(i - 1)];
        data.paramDescriptions[static_cast<std::size_t>(i)] = "parameter " + std::to_string(i);
    }
}

// What a covariance file written by the covariance tool is to hold: the values (the estimates)
// and steps of the three parameters and the standard error of each free one on every grid.
struct QuadraticFit {
    std::vector<double> values{10.0, 1.0, 5.0};
    std::vector<double> steps{0.5, 0.1, 0.0};
    std::vector<double> standardErrors{2.0, 0.5, 0.0};
    bool grid3Fails = false; // the objective has no finite value on the smallest grid
};

// Runs the covariance tool of a session of its own on a quadratic objective whose standard errors
// are those of shape (constant 0.5: covScale 2, se = 1 / sqrt(a) for F = F0 + a (x - c)^2) and
// saves its report as the display window does.
inline void writeCovarianceFileOfTool(const std::string& path, const QuadraticFit& shape)
{
    ScriptedUi ui;
    FakeClock clock;
    Application app(ui, clock, realFileSystem());
    FakeModel model;
    app.start();
    app.setModel(&model);
    app.session.initializeAlready = true;
    app.session.algorithmFileName = "model.alg";
    setAlgorithmData(app.algorithm, shape.values, shape.steps);
    model.objective = [shape](const std::vector<double>& x) {
        double f = 100.0;
        for (std::size_t i = 0; i < shape.values.size(); ++i) {
            if (shape.steps[i] == 0.0)
                continue;
            const double d = x[i + 1] - shape.values[i];
            if (shape.grid3Fails && d != 0.0 && std::fabs(d) < 0.05 * shape.steps[i])
                return std::numeric_limits<double>::quiet_NaN();
            f += d * d / (shape.standardErrors[i] * shape.standardErrors[i]);
        }
        return f;
    };
    CovarianceSettings settings;
    settings.objectiveConstant = 0.5;
    if (!runNumericalCovariance(app, settings))
        throw std::runtime_error("the covariance run failed");
    showCovarianceDisplay(app);
    app.desktop.find<CovarianceDisplayWindow>(CovarianceDisplayWindow::windowName)->cmdScreen_Click();
    if (!writeCovarianceFile(app, path))
        throw std::runtime_error("the covariance file was not written");
}

// The files of the operating system, or of another file system a test switches to.
class FileSystemSwitch : public FileSystem {
public:
    bool writeNew(const std::string& path, const std::string& bytes) override
    {
        return target->writeNew(path, bytes);
    }
    bool replace(const std::string& from, const std::string& to) override
    {
        return target->replace(from, to);
    }
    void remove(const std::string& path) override { target->remove(path); }
    bool exists(const std::string& path) const override { return target->exists(path); }

    FileSystem* target = &realFileSystem();
};

class RankingSession : public ::testing::Test {
protected:
    RankingSession()
    {
        installRanking(app, [] { return std::string("lengths"); });
        app.start();
        app.setModel(&model);
        app.session.initializeAlready = true;
        model.objective = [this](const std::vector<double>&) { return objective; };
        useModel("m1.alg", 100.0);
        app.closeMainMenu();
        app.showMainMenu(); // with the ready stage's buttons
    }

    // The current algorithm data become those of the file name (in the test folder) with the
    // given objective; steps of 0.5, 0.1 and 0 (K = 2) unless given.
    void useModel(const std::string& name, double value, std::vector<double> steps = {0.5, 0.1, 0.0})
    {
        app.session.algorithmFileName = dir.file(name);
        setAlgorithmData(app.algorithm, {10.0, 1.0, 5.0}, steps);
        objective = value;
    }

    // "&Multi-model statistics" on the main menu, the constant answered 0.5 (-ln[L] = objective / 2).
    RankingWindow& open()
    {
        ui.type("0.5");
        app.mainMenuButtonClicked(menuButton::rank);
        if (!window())
            throw std::runtime_error("the ranking window did not open");
        return *window();
    }

    // Opens the window with models of these objectives (AICc = objective while the model reports
    // no observation count), named m1.alg, m2.alg, ...
    RankingWindow& openWith(const std::vector<double>& objectives)
    {
        useModel("m1.alg", objectives.front());
        RankingWindow& w = open();
        for (std::size_t i = 1; i < objectives.size(); ++i) {
            useModel("m" + std::to_string(i + 1) + ".alg", objectives[i]);
            w.cmdAICc_Click();
        }
        return w;
    }

    RankingWindow* window() const { return app.desktop.find<RankingWindow>(RankingWindow::windowName); }
    std::string cellText(int row, int column) const { return window()->cell(row, column).text; }
    std::vector<int> entryNumbers() const
    {
        std::vector<int> numbers;
        for (const ModelEntry& e : window()->entries())
            numbers.push_back(e.entryNumber);
        return numbers;
    }
    bool buttonEnabled(const char* name) const { return window()->button(name).enabled; }
    bool applicationMenuEnabled() const { return app.mainWindow.findMenu("mnuApplication")->enabled; }

    ScriptedUi ui;
    FakeClock clock;
    FileSystemSwitch files;
    Application app{ui, clock, files};
    FakeModel model;
    TempDir dir;
    double objective = 100.0;
};

} // namespace orvanta::testing
