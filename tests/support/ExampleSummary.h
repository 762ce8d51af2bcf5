#pragma once

#include <string>

namespace orvanta {
class Application;
class TarnfieldModel;
} // namespace orvanta

namespace orvanta::testing {

class ScriptedUi;

// Initializes app with the bundled example's data files (in examplesDir), loads its algorithm
// file and runs "Res&ults Summary" as a user who wants no plots, simulations chi-square
// simulations, every table and every test. The summary window stays open.
void summarizeBundledExample(Application& app, TarnfieldModel& model, ScriptedUi& ui,
                             const std::string& examplesDir, const std::string& simulations);

} // namespace orvanta::testing
