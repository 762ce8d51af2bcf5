#pragma once

#include "app/SessionState.h"
#include "model/DataPlotPage.h"
#include "model/ModelHost.h"
#include "support/ScriptedUi.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace orvanta::testing {

// A model host for tests of the model alone: a scripted user interface, a session of its own,
// the summary window's text as a plain string, the message panel's texts as they were shown,
// the plot pages the summary asked to show, and chi-square seeds counting up from seed.
class FakeModelHost : public ModelHost {
public:
    UserInterface& ui() override { return scriptedUi; }
    SessionState& session() override { return sessionState; }
    void appendToSummary(const std::string& text) override { summaryText += text; }
    bool programEnded() const override { return ended; }
    void showSummary(const std::string& text) override
    {
        summaryText = text;
        ++summaryShows;
    }
    void showProgress(const std::string& text) override { progress.push_back(text); }
    bool showDataPlotPage(const DataPlotPage& page) override
    {
        pages.push_back(page);
        return onPage ? onPage(page) : true;
    }
    std::uint64_t chiSquareSeed() override { return seed++; }

    ScriptedUi scriptedUi;
    SessionState sessionState;
    std::string summaryText;
    int summaryShows = 0;
    std::vector<std::string> progress;
    std::vector<DataPlotPage> pages;
    std::function<bool(const DataPlotPage&)> onPage; // empty: every page wants the next one
    std::uint64_t seed = 1;
    bool ended = false; // the user has quit the program
};

} // namespace orvanta::testing
