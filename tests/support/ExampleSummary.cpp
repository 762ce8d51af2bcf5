#include "support/ExampleSummary.h"

#include "app/Application.h"
#include "app/MainMenu.h"
#include "model/InitializationWindow.h"
#include "model/TarnfieldModel.h"
#include "support/ScriptedUi.h"

#include <gtest/gtest.h>

namespace orvanta::testing {

void summarizeBundledExample(Application& app, TarnfieldModel& model, ScriptedUi& ui,
                             const std::string& examplesDir, const std::string& simulations)
{
    InitializationRequest request;
    request.frequencyFile = examplesDir + "/tarnfield-lengths.dat";
    request.incrementFile = examplesDir + "/tarnfield-tags.dat";
    initializeModel(app, model, request);
    ASSERT_TRUE(app.session.initializeAlready);
    ui.answer(Answer::Yes).pickFile(examplesDir + "/tarnfield.alg");
    app.mainMenuButtonClicked(menuButton::loadAlg);
    // No plots; the simulations; frequency table and test; increment table and test; the end.
    ui.answer(Answer::No).type(simulations);
    ui.answer(Answer::Yes).answer(Answer::Yes).answer(Answer::Yes).answer(Answer::Yes);
    ui.answer(Answer::OK);
    app.mainMenuButtonClicked(menuButton::userSummary);
}

} // namespace orvanta::testing
