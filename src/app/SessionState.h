#pragma once

#include <string>

namespace orvanta {

// The state all tools share for the whole run. Flags that the design keeps as "on"/"off"
// texts are booleans here, used the same way everywhere.
struct SessionState {
    bool initializeAlready = false;   // the model has been initialized since start-up
    std::string algorithmFileName;    // empty: no algorithm data
    std::string priorsFileName;       // empty: no priors file

    bool covarianceAvailable = false; // covariance results of the current fit exist
    bool covarianceRunning = false;
    bool profileRunning = false;      // likelihood profiles are being calculated
    bool bayesRunning = false;        // the posterior integration is running
    bool profileInterrupt = false;    // the user asked to interrupt the profiles
    bool bayesInterrupt = false;      // the user asked to interrupt the integration
    bool priorsActive = false;        // the prior penalty is added to the objective
    bool priorsFromMenu = false;      // the priors flow was started by the main menu
    bool priorsFromRanking = false;   // the priors flow was started by the ranking window
    bool rankingOpen = false;
    bool editorClosed = false;        // the algorithm editor has closed since it was opened
    bool simplexBuilt = false;        // a simplex survives from the last Simplex run

    bool optimisticCovariance = false; // the covariances were computed the optimistic way
    double stepProportion = 0.0;      // turns a value into a step size in the algorithm editor
    std::string algorithmBaseName;    // the algorithm file's name without folder and extension

    std::string modelTitle;
    std::string reportText;           // where a tool assembles a report before showing it
};

} // namespace orvanta
