#include "support/ExampleModels.h"

#include "algorithm/AlgorithmCommands.h"
#include "algorithm/AlgorithmData.h"
#include "algorithm/AlgorithmFile.h"
#include "app/Application.h"
#include "app/Tools.h"
#include "model/DataFiles.h"
#include "model/InitializationWindow.h"
#include "model/TarnfieldModel.h"
#include "support/FakeClock.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"
#include "text/TextFile.h"
#include "uncertainty/CovarianceCalculator.h"
#include "uncertainty/CovarianceDisplayWindow.h"

#include <gtest/gtest.h>

#include <variant>

namespace orvanta::testing {

namespace {

// The bundled example's true values (examples/README.md), near which the fit's minimum lies.
const double trueValues[] = {0, 120, 8,   0.35, 0.06, 0.03, 200, 0,    0,    3,   0.5,
                             0, 70,  250, 0.3,  45,   8,    0,   -999, -999, -999};

} // namespace

ScriptedProgram::ScriptedProgram()
{
    installTools(app, model);
    app.start();
}

void initializeBundledExample(Application& app, TarnfieldModel& model, const std::string& examplesDir)
{
    InitializationRequest request;
    request.frequencyFile = examplesDir + "/tarnfield-lengths.dat";
    request.incrementFile = examplesDir + "/tarnfield-tags.dat";
    initializeModel(app, model, request);
    ASSERT_TRUE(app.session.initializeAlready);
}

ModelData readBundledExampleData(const std::string& examplesDir)
{
    InitializationRequest request;
    request.frequencyFile = examplesDir + "/tarnfield-lengths.dat";
    request.incrementFile = examplesDir + "/tarnfield-tags.dat";
    ScriptedUi ui;
    auto data = readModelData(request, ui);
    EXPECT_TRUE(std::holds_alternative<ModelData>(data));
    const auto* read = std::get_if<ModelData>(&data);
    return read != nullptr ? *read : ModelData{};
}

std::vector<double> bundledExampleValues(const std::string& examplesDir)
{
    AlgorithmData data;
    data.paramCount = modelParamCount;
    resetAlgorithmData(data);
    EXPECT_FALSE(readAlgorithmText(readFileBytes(examplesDir + "/tarnfield.alg"), data).failed());
    return data.paramValues;
}

void writeExampleModel(const std::string& examplesDir, const std::string& path, const ExampleModel& model)
{
    AlgorithmData data;
    data.paramCount = modelParamCount;
    resetAlgorithmData(data);
    ASSERT_FALSE(readAlgorithmText(readFileBytes(examplesDir + "/tarnfield.alg"), data).failed());
    for (int p = 1; p <= modelParamCount; ++p) {
        data.paramValues[static_cast<std::size_t>(p)] = trueValues[p];
        data.paramSteps[static_cast<std::size_t>(p)] = 0.0;
    }
    for (const auto& [p, step] : model.steps)
        data.paramSteps[static_cast<std::size_t>(p)] = step;
    for (const auto& [p, value] : model.values)
        data.paramValues[static_cast<std::size_t>(p)] = value;
    ASSERT_TRUE(writeAlgorithmFile(path, data));
}

void writeExampleCovarianceFile(const std::string& examplesDir, const std::string& algorithmPath,
                                const std::string& path)
{
    ScriptedProgram program;
    Application& app = program.app;
    initializeBundledExample(app, program.model, examplesDir);
    ASSERT_TRUE(loadAlgorithmFromFile(app, algorithmPath));

    CovarianceSettings settings;
    settings.objectiveConstant = 0.5;
    ASSERT_TRUE(runNumericalCovariance(app, settings));
    showCovarianceDisplay(app);
    auto* display = app.desktop.find<CovarianceDisplayWindow>(CovarianceDisplayWindow::windowName);
    ASSERT_NE(display, nullptr);
    display->cmdScreen_Click();
    ASSERT_TRUE(writeCovarianceFile(app, path));
}

} // namespace orvanta::testing
