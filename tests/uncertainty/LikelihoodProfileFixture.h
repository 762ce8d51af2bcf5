#pragma once

// A session ready for likelihood profiles: the Simplex session's hand-made model and parameter
// set, the evaluation command installed, and helpers that script the dialogue. At every yield a
// waiting algorithm editor is closed and an open distribution plot window is closed with "&Done",
// unless a test wants otherwise.

#include "algorithm/AlgorithmEditor.h"
#include "minimize/SimplexFixture.h"
#include "plots/DistributionPlotWindow.h"
#include "ui/ReportWindow.h"
#include "uncertainty/EvaluationWindow.h"
#include "uncertainty/LikelihoodProfile.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace orvanta::testing {

// The answers of a profile run from the first message to the editor's closing message.
struct ProfileAnswers {
    std::string constant = "0.5";
    std::string parameter = "1";
    std::string points = "5";
    bool simplex = true;
    std::optional<std::string> grid; // the covariance-grid prompt, asked while covariances exist
};

class ProfileSession : public SimplexSession {
protected:
    ProfileSession()
    {
        installParameterEvaluation(app);
        ui.onYield = [this] { yielded(); };
        app.algorithm.options.maxCalls = 100000;
    }

    // "E&valuate single model parameter estimates", then "&Maximium likelihood (ML) ...".
    void pressEvaluate() { app.mainMenuButtonClicked(menuButton::parEstimate); }
    EvaluationWindow* evaluationWindow() const
    {
        return app.desktop.find<EvaluationWindow>(EvaluationWindow::windowName);
    }
    void runProfile()
    {
        pressEvaluate();
        ASSERT_NE(evaluationWindow(), nullptr);
        evaluationWindow()->cmdML_Click();
    }

    // The answers up to the editor's closing message.
    void scriptUpToEditor(const ProfileAnswers& answers = {})
    {
        ui.answer(Answer::OK);  // the list of plots
        ui.answer(Answer::Yes); // continue
        ui.type(answers.constant);
        ui.type(answers.parameter);
        ui.type(answers.points);
        ui.answer(answers.simplex ? Answer::Yes : Answer::No);
        if (answers.grid)
            ui.type(*answers.grid);
        ui.answer(Answer::OK); // "Algorithm data, if changed, have been updated"
    }
    // A whole run that ends with the reminder after the editor.
    void scriptProfile(const ProfileAnswers& answers = {})
    {
        scriptUpToEditor(answers);
        ui.answer(Answer::OK); // "A friendly reminder"
    }

    void yielded()
    {
        if (AlgorithmEditor* editor = app.desktop.find<AlgorithmEditor>(AlgorithmEditor::windowName)) {
            if (inEditor)
                inEditor();
            editor->cmdFinish_Click();
        }
        if (auto* plot = app.desktop.find<DistributionPlotWindow>(distributionPlot::windowName)) {
            ++plotsShown;
            plotPointCount = plot->pointCount();
            plot->cmdDone_Click();
        }
        if (duringRun)
            duringRun();
    }

    const DistributionProfile& record() const { return app.distribution.profile; }
    ReportWindow* report() const { return app.desktop.find<ReportWindow>("frmMaxLike"); }
    std::string reportText() const { return report() ? report()->text() : std::string(); }
    bool mainMenuShown() const { return app.mainMenu() != nullptr && app.mainMenu()->visible(); }
    bool menuVisible(const char* name) const { return app.mainWindow.findMenu(name)->visible; }
    bool applicationMenuEnabled() const { return app.mainWindow.findMenu("mnuApplication")->enabled; }
    std::string remainingPanel(int number) const
    {
        return app.mainWindow.panelText(statusBar::remaining, number);
    }

    // Model calls with call code 1: the profile's evaluations of its points.
    std::vector<FakeModel::Call> pointEvaluations() const
    {
        std::vector<FakeModel::Call> found;
        for (const FakeModel::Call& call : model.calls)
            if (call.nf == callCode::firstEvaluation)
                found.push_back(call);
        return found;
    }

    // Every ending: flags, menus and bars back, the main menu shown.
    void expectEnded() const
    {
        EXPECT_FALSE(app.session.profileRunning);
        EXPECT_EQ(app.session.pinnedParam, 0);
        EXPECT_FALSE(menuVisible("mnuMLInt"));
        EXPECT_FALSE(app.mainWindow.statusBar(statusBar::remaining).visible);
        EXPECT_TRUE(mainMenuShown());
        EXPECT_TRUE(applicationMenuEnabled());
        EXPECT_EQ(panel(1), "");
    }

    std::function<void()> inEditor;
    std::function<void()> duringRun;
    int plotsShown = 0;
    int plotPointCount = 0;
};

} // namespace orvanta::testing
