#pragma once

// A session ready for the Simplex: a model made by hand, algorithm data set parameter by
// parameter, the Simplex command installed and the main menu open.

#include "FakeModel.h"
#include "app/Application.h"
#include "app/MainMenu.h"
#include "minimize/SimplexMinimizer.h"
#include "minimize/SimplexWindow.h"
#include "support/FakeClock.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"
#include "text/TextFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <limits>
#include <string>
#include <vector>

namespace orvanta::testing {

struct TestParameter {
    double value = 0.0;
    double step = 0.0;
    const char* fuseCode = "~~";
    const char* description = "";
};

inline constexpr double nan = std::numeric_limits<double>::quiet_NaN();
inline constexpr double infinity = std::numeric_limits<double>::infinity();

// sum of (v(i) - centre(i))^2 over i = 1..centre.size()-1, plus floor.
inline std::function<double(const std::vector<double>&)> bowl(std::vector<double> centre, double floor = 0.0)
{
    return [centre = std::move(centre), floor](const std::vector<double>& v) {
        double sum = floor;
        for (std::size_t i = 1; i < centre.size(); ++i)
            sum += (v[i] - centre[i]) * (v[i] - centre[i]);
        return sum;
    };
}

class SimplexSession : public ::testing::Test {
protected:
    SimplexSession()
    {
        installSimplex(app);
        app.start();
        app.setModel(&model);
        app.session.initializeAlready = true;
        app.session.algorithmFileName = "fit.alg";
        app.closeMainMenu();
        app.showMainMenu(); // with the ready stage's buttons
    }

    void setParameters(std::initializer_list<TestParameter> parameters)
    {
        AlgorithmData& data = app.algorithm;
        data.paramCount = static_cast<std::int16_t>(parameters.size());
        data.paramValues = {0.0};
        data.paramSteps = {0.0};
        data.fuseCodes = {""};
        data.paramDescriptions = {""};
        for (const TestParameter& p : parameters) {
            data.paramValues.push_back(p.value);
            data.paramSteps.push_back(p.step);
            data.fuseCodes.push_back(p.fuseCode);
            data.paramDescriptions.push_back(p.description);
        }
    }

    // The main menu's "Simple&x".
    void pressSimplex() { app.mainMenuButtonClicked(menuButton::simplex); }

    // runSimplex as the profiles call it, after the rebuilds every tool makes.
    SimplexEnd runDirectly()
    {
        buildFuseGroups(app.algorithm);
        buildFreeIndex(app.algorithm);
        return runSimplex(app);
    }

    SimplexWindow* window() const { return app.desktop.find<SimplexWindow>(SimplexWindow::windowName); }
    std::string panel(int number) const { return app.mainWindow.panelText(statusBar::messages, number); }
    const SimplexState& simplex() const { return app.minimization.simplex; }

    std::vector<std::int32_t> callCodes() const
    {
        std::vector<std::int32_t> codes;
        for (const FakeModel::Call& call : model.calls)
            codes.push_back(call.nf);
        return codes;
    }

    void openLog() { ASSERT_TRUE(app.minimizationLog.open(logPath)); }
    std::string logText() const { return readFileBytes(logPath); }

    ScriptedUi ui;
    FakeClock clock;
    Application app{ui, clock, realFileSystem()};
    FakeModel model;
    TempDir dir;
    std::string logPath = dir.file("minimize.ovl");
};

} // namespace orvanta::testing
