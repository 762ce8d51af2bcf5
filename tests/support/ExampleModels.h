#pragma once

#include "app/Application.h"
#include "model/TarnfieldModel.h"
#include "support/FakeClock.h"
#include "support/ScriptedUi.h"
#include "text/TextFile.h"

#include <map>
#include <string>
#include <vector>

namespace orvanta::testing {

// The program's engine with the Tarnfield model and every tool installed, started, talking to a
// scripted user.
struct ScriptedProgram {
    ScriptedProgram();

    ScriptedUi ui;
    FakeClock clock;
    Application app{ui, clock, realFileSystem()};
    TarnfieldModel model{app.modelHost()};
};

// Initializes app with the bundled example's data files (in examplesDir), as the initialization
// window does with both files chosen.
void initializeBundledExample(Application& app, TarnfieldModel& model, const std::string& examplesDir);

// The bundled example's data files read as the initialization reads them, and the values of its
// algorithm file (p[1..20], not cleaned).
ModelData readBundledExampleData(const std::string& examplesDir);
std::vector<double> bundledExampleValues(const std::string& examplesDir);

// A competing model of the bundled example: the bundled algorithm file at the example's true
// values (examples/README.md) with the changes given, free only where steps says so.
struct ExampleModel {
    std::map<int, double> steps;  // parameter number -> step; every other step is 0
    std::map<int, double> values; // parameter number -> value in place of the true value
};

// Writes the model as the algorithm file path (.alg).
void writeExampleModel(const std::string& examplesDir, const std::string& path, const ExampleModel& model);

// Runs the covariance tool on the algorithm file at algorithmPath with the bundled example's data
// (numerical, default grid factors, constant 0.5) and saves the report at path as the covariance
// display window does.
void writeExampleCovarianceFile(const std::string& examplesDir, const std::string& algorithmPath,
                                const std::string& path);

} // namespace orvanta::testing
