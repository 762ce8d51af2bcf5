#pragma once

// The bundled example initialized in a GUI test's session, its parameters at their fitted values
// and free only where steps says so, covScale 2 (the model's objective is -2 ln L).

#include "algorithm/AlgorithmData.h"
#include "app/Application.h"
#include "model/InitializationWindow.h"
#include "model/TarnfieldModel.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace orvanta::gui::testing {

inline void loadBundledExampleNearFit(Application& app, TarnfieldModel& model,
                                      const std::map<int, double>& steps)
{
    const std::string examples = ORVANTA_EXAMPLES_DIR;
    InitializationRequest request;
    request.frequencyFile = examples + "/tarnfield-lengths.dat";
    request.incrementFile = examples + "/tarnfield-tags.dat";
    initializeModel(app, model, request);
    ASSERT_TRUE(app.session.initializeAlready);
    AlgorithmData& data = app.algorithm;
    const double fitted[] = {0, 118.9, 9.88, 0.3607, 0.0527, 0,    0, 0,    0,    3,   0.5,
                             0, 70,    250,  0.282,  43.6,   7.41, 0, -999, -999, -999};
    for (int p = 1; p <= data.paramCount; ++p) {
        const auto step = steps.find(p);
        data.paramValues[static_cast<std::size_t>(p)] = fitted[p];
        data.paramSteps[static_cast<std::size_t>(p)] = step == steps.end() ? 0.0 : step->second;
        data.fuseCodes[static_cast<std::size_t>(p)] = unfusedCode;
    }
    buildFuseGroups(data);
    setCovScale(app.session, 2.0);
}

} // namespace orvanta::gui::testing
