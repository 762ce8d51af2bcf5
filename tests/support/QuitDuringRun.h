#pragma once

#include "app/Application.h"
#include "support/ScriptedUi.h"

#include <cstddef>

namespace orvanta::testing {

// The user closes the main window while a calculation yields, answers Yes to quitting and No to
// saving the algorithm data. What was shown and asked up to then (the quit questions included)
// is remembered, so that a test can tell that nothing more was.
class QuitDuringRun {
public:
    QuitDuringRun(ScriptedUi& ui, Application& app) : ui_(ui), app_(app) {}

    // Quits at the given yield (counted from 1 at the first yield after this call).
    void atYield(int yield)
    {
        quitAt_ = ui_.yieldCount() + yield;
        ui_.onYield = [this] {
            if (ui_.yieldCount() != quitAt_)
                return;
            ui_.answer(Answer::Yes).answer(Answer::No);
            app_.mainWindowCloseRequested();
            shownAtQuit_ = ui_.shown().size();
            yieldsAtQuit_ = ui_.yieldCount();
        };
    }

    bool quitHappened() const { return app_.ended(); }
    // Everything shown after the quit flow's questions; empty when the run stopped in time.
    std::size_t shownAfterQuit() const { return ui_.shown().size() - shownAtQuit_; }
    int yieldsAfterQuit() const { return ui_.yieldCount() - yieldsAtQuit_; }

private:
    ScriptedUi& ui_;
    Application& app_;
    int quitAt_ = 0;
    std::size_t shownAtQuit_ = 0;
    int yieldsAtQuit_ = 0;
};

} // namespace orvanta::testing
