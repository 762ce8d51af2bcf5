#pragma once

#include "PriorTestSupport.h"
#include "app/Application.h"
#include "app/MainMenu.h"
#include "minimize/FakeModel.h"
#include "priors/PriorEditor.h"
#include "priors/PriorTools.h"
#include "priors/PriorsFlow.h"
#include "support/FakeClock.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"
#include "text/TextFile.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <stdexcept>
#include <string>

namespace orvanta::testing {

// A ready session of twelve parameters with every prior uniform-unbounded, the priors subsystem
// installed and the main menu open, talking to a scripted user.
class PriorsSession : public ::testing::Test {
protected:
    static constexpr int paramCount = 12;

    PriorsSession()
    {
        installPriors(app);
        app.start();
        app.session.initializeAlready = true;
        app.session.algorithmFileName = "fit.alg";
        app.algorithm.paramCount = paramCount;
        resetAlgorithmData(app.algorithm);
        for (int i = 1; i <= paramCount; ++i)
            app.algorithm.paramDescriptions[static_cast<std::size_t>(i)] = "Parameter " + std::to_string(i);
        app.priors.assign(paramCount + 1, PriorSpec{});
        app.setModel(&model);
        app.closeMainMenu();
        app.showMainMenu();
    }

    PriorSpec& priorOf(int param) { return app.priors[static_cast<std::size_t>(param)]; }

    LoadPriorsWindow* loadWindow() const
    {
        return app.desktop.find<LoadPriorsWindow>(LoadPriorsWindow::windowName);
    }
    PriorEditor* editor() const { return app.desktop.find<PriorEditor>(PriorEditor::windowName); }
    bool mainMenuShown() const { return app.mainMenu() && app.mainMenu()->visible(); }
    bool applicationMenuEnabled() const { return app.mainWindow.findMenu("mnuApplication")->enabled; }
    const std::string& priorsPanel() const { return app.mainWindow.panelText(statusBar::algorithm, 2); }

    // "Set &Bayesian priors" on the main menu, then a button of the load window.
    void startFlow() { app.mainMenuButtonClicked(menuButton::bayesian); }
    void press(const char* button) { loadPriorsButtonClicked(app, button); }

    // The editor through the set flow (some prior set) or the question answered Yes.
    PriorEditor& openEditor()
    {
        startFlow();
        if (!anyPriorSet(app.priors, paramCount))
            ui.answer(Answer::Yes);
        press(loadPriorsButton::set);
        if (!editor())
            throw std::runtime_error("the editor did not open");
        return *editor();
    }

    std::string writePriorsFileAt(const std::string& name, const std::string& text)
    {
        const std::string path = dir.file(name);
        writeFileBytes(path, text);
        return path;
    }

    ScriptedUi ui;
    FakeClock clock;
    Application app{ui, clock, realFileSystem()};
    FakeModel model;
    TempDir dir;
};

} // namespace orvanta::testing
