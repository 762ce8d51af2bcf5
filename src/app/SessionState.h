#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace orvanta {

// Which window opened the algorithm editor; closing the editor shows it again. A tool that
// opens the editor in the middle of its own run records none.
enum class EditorOpener { None, MainMenu, Ranking };

// The algorithm editor's locks 1..9 (element 0 unused): a set lock leaves its part of the
// editor unfilled or disabled.
using EditorLocks = std::array<bool, 10>;

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
    std::int16_t pinnedParam = 0;     // held at its own value by a running profile or integration
    bool profileInterrupt = false;    // the user asked to interrupt the profiles
    bool bayesInterrupt = false;      // the user asked to interrupt the integration
    bool priorsActive = false;        // the prior penalty is added to the objective
    bool priorsFromMenu = false;      // the priors flow was started by the main menu
    bool priorsFromRanking = false;   // the priors flow was started by the ranking window
    bool rankingOpen = false;
    bool editorClosed = false;        // the algorithm editor has closed since it was opened
    bool simplexBuilt = false;        // a simplex survives from the last Simplex run

    bool optimisticCovariance = false; // the covariances were computed the optimistic way
    double covScale = 0.0;            // 1 / the constant that makes the objective -ln[likelihood]
    double stepProportion = 0.0;      // turns a value into a step size in the algorithm editor
    EditorLocks editorLocks{};        // parts of the algorithm editor left unfilled or disabled
    EditorOpener editorOpenedFrom = EditorOpener::None;
    std::string algorithmBaseName;    // the algorithm file's name without folder and extension
    std::string priorsBaseName;       // the priors file's name as the prior editor shows it

    std::string modelTitle;
    std::string reportText;           // where a tool assembles a report before showing it
};

// Every tool that sets covScale goes through here. While priors are in force the objective holds
// covScale x the prior sum, so a simplex kept from the last run holds vertex values under the old
// scale: it is not continued.
inline void setCovScale(SessionState& session, double covScale)
{
    if (session.priorsActive && covScale != session.covScale)
        session.simplexBuilt = false;
    session.covScale = covScale;
}

} // namespace orvanta
