#pragma once

// The bundled example's files (examples/README.md) as the batch tests use them, and algorithm
// files made from its algorithm file.

#include "algorithm/AlgorithmData.h"
#include "algorithm/AlgorithmFile.h"
#include "app/Application.h"
#include "app/MainMenu.h"
#include "app/Tools.h"
#include "model/InitializationWindow.h"
#include "model/ModelState.h"
#include "model/TarnfieldModel.h"
#include "support/FakeClock.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"
#include "text/TextFile.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace orvanta::testing {

inline const std::string examples = ORVANTA_EXAMPLES_DIR;
inline const std::string lengths = examples + "/tarnfield-lengths.dat";
inline const std::string tags = examples + "/tarnfield-tags.dat";

// The bundled example's true values, near which the fit's minimum lies.
inline constexpr double trueValues[] = {0, 120, 8,   0.35, 0.06, 0.03, 200, 0,    0,    3,   0.5,
                                        0, 70,  250, 0.3,  45,   8,    0,   -999, -999, -999};

// The bundled algorithm file's options with the parameters at the true values, free only where
// steps says so and changed where changes says so, written to path.
inline void writeExampleAlgorithm(const std::string& path, const std::map<int, double>& steps,
                                  const std::map<int, double>& changes = {})
{
    AlgorithmData data;
    data.paramCount = modelParamCount;
    resetAlgorithmData(data);
    ASSERT_FALSE(readAlgorithmText(readFileBytes(examples + "/tarnfield.alg"), data).failed());
    for (int p = 1; p <= modelParamCount; ++p) {
        data.paramValues[static_cast<std::size_t>(p)] = trueValues[p];
        data.paramSteps[static_cast<std::size_t>(p)] = 0.0;
    }
    for (const auto& [p, step] : steps)
        data.paramSteps[static_cast<std::size_t>(p)] = step;
    for (const auto& [p, value] : changes)
        data.paramValues[static_cast<std::size_t>(p)] = value;
    ASSERT_TRUE(writeAlgorithmFile(path, data));
}

// The windowed program's engine with every tool installed, talking to a scripted user, to do on
// the bundled example what a batch command does.
struct WindowedExample {
    ScriptedUi ui;
    FakeClock clock;
    Application app{ui, clock, realFileSystem()};
    TarnfieldModel model{app.modelHost()};

    WindowedExample()
    {
        installTools(app, model);
        app.start();
    }

    // "&Initialize model" with both data files, then "&Load algorithm data" of algorithmFile.
    void loadExample(const std::string& algorithmFile)
    {
        InitializationRequest request;
        request.frequencyFile = lengths;
        request.incrementFile = tags;
        initializeModel(app, model, request);
        ASSERT_TRUE(app.session.initializeAlready);
        ui.answer(Answer::Yes).pickFile(algorithmFile);
        app.mainMenuButtonClicked(menuButton::loadAlg);
    }
};

} // namespace orvanta::testing
