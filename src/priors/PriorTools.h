#pragma once

namespace orvanta {

class Application;

// Connects the priors subsystem to the tools: the prior penalty that evaluateObjective adds
// while priors are in force, evaluated into the application's prior results.
void installPriors(Application& app);

} // namespace orvanta
