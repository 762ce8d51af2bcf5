#pragma once

// What the pictures of the prior windows start from: a ready session of the model's twenty
// parameters with their descriptions and every prior uniform-unbounded.

#include "algorithm/AlgorithmData.h"
#include "app/Application.h"
#include "model/TarnfieldModel.h"

namespace orvanta::gui::testing {

inline void prepareModelPriors(Application& app)
{
    app.session.initializeAlready = true;
    app.session.algorithmFileName = "/home/user/fits/03051407.alg";
    app.algorithm.paramCount = 20;
    resetAlgorithmData(app.algorithm);
    app.algorithm.paramDescriptions = TarnfieldModel::parameterDescriptions();
    app.priors.assign(21, PriorSpec{});
}

} // namespace orvanta::gui::testing
