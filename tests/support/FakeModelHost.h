#pragma once

#include "app/SessionState.h"
#include "model/ModelHost.h"
#include "support/ScriptedUi.h"

#include <string>

namespace orvanta::testing {

// A model host for tests of the model alone: a scripted user interface, a session of its own
// and the summary window's text as a plain string.
class FakeModelHost : public ModelHost {
public:
    UserInterface& ui() override { return scriptedUi; }
    SessionState& session() override { return sessionState; }
    void appendToSummary(const std::string& text) override { summaryText += text; }
    bool programEnded() const override { return ended; }

    ScriptedUi scriptedUi;
    SessionState sessionState;
    std::string summaryText;
    bool ended = false; // the user has quit the program
};

} // namespace orvanta::testing
