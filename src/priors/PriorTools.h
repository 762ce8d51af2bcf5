#pragma once

namespace orvanta {

class Application;

// Connects the priors subsystem to the tools: the prior penalty that evaluateObjective adds
// while priors are in force, evaluated into the application's prior results; the review of prior
// likelihoods after evaluations; the main menu's "Set &Bayesian priors"; and the priors save of
// the quit flow.
void installPriors(Application& app);

} // namespace orvanta
