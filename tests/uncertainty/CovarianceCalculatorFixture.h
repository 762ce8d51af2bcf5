#pragma once

// A session ready for the covariance calculator: the Simplex session's hand-made model and
// parameter set, the covariance command installed, and helpers that script the dialogue.

#include "algorithm/AlgorithmEditor.h"
#include "minimize/SimplexFixture.h"
#include "uncertainty/CovarianceCalculationsWindow.h"
#include "uncertainty/CovarianceCalculator.h"
#include "uncertainty/CovarianceDisplayWindow.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orvanta::testing {

// The answers of a numerical run, from the first question to the optimistic question.
struct NumericalAnswers {
    std::vector<std::string> factors{"1", "0.1", "0.01"};
    std::string constant = "1";
    bool optimistic = false;
};

// F(x) = F0 + sum over i, j of (x_i - c_i) A(i, j) (x_j - c_j) for the parameters 1..c.size()-1
// (A symmetric, 1-based; row and column 0 unused). Its Hessian is 2A.
inline std::function<double(const std::vector<double>&)>
quadratic(std::vector<double> centre, std::vector<std::vector<double>> A, double F0)
{
    return [centre = std::move(centre), A = std::move(A), F0](const std::vector<double>& x) {
        double sum = F0;
        for (std::size_t i = 1; i < centre.size(); ++i)
            for (std::size_t j = 1; j < centre.size(); ++j)
                sum += (x[i] - centre[i]) * A[i][j] * (x[j] - centre[j]);
        return sum;
    };
}

class CovarianceSession : public SimplexSession {
protected:
    CovarianceSession()
    {
        installCovarianceCommand(app);
        // Waiting for the editor: the user closes it at once, unless a test wants otherwise.
        ui.onYield = [this] { yielded(); };
    }

    // The main menu's "&Single model covariances".
    void pressCovariance() { app.mainMenuButtonClicked(menuButton::covariance); }

    // Scripts every answer of a numerical run up to the calculation.
    void scriptNumericalRun(const NumericalAnswers& answers = {})
    {
        ui.answer(Answer::No); // numerically
        ui.answer(Answer::OK); // the explanation
        ui.answer(Answer::OK); // the editor's closing message
        for (const std::string& factor : answers.factors)
            ui.type(factor);
        ui.answer(Answer::Yes); // the factors are OK
        ui.type(answers.constant);
        ui.answer(answers.optimistic ? Answer::Yes : Answer::No);
    }

    // Called at every yield: closes a waiting editor, then runs the test's own action.
    void yielded()
    {
        if (AlgorithmEditor* editor = app.desktop.find<AlgorithmEditor>(AlgorithmEditor::windowName)) {
            locksWhileEditing = app.session.editorLocks;
            runningWhileEditing = app.session.covarianceRunning;
            editor->cmdFinish_Click();
        }
        panelsSeen.push_back({panel(1), panel(2)});
        if (duringRun)
            duringRun();
    }

    CovarianceCalculationsWindow* calculations() const
    {
        return app.desktop.find<CovarianceCalculationsWindow>(CovarianceCalculationsWindow::windowName);
    }
    std::string account() const { return calculations() ? calculations()->text() : std::string(); }
    const GridResults& grid(int g) const { return app.covariance.grids[static_cast<std::size_t>(g)]; }

    // Model calls made for the grids: every call after the centre's.
    std::size_t gridCalls() const { return model.calls.empty() ? 0 : model.calls.size() - 1; }

    // Every result of a grid's inversion is -1 for n free positions.
    void expectResultsNotCalculated(int g, int n) const
    {
        const GridResults& r = grid(g);
        EXPECT_EQ(r.determinant, -1.0);
        EXPECT_EQ(r.varianceProduct, -1.0);
        ASSERT_EQ(r.standardError.size(), static_cast<std::size_t>(n + 1));
        for (int a = 1; a <= n; ++a) {
            EXPECT_EQ(r.standardError[static_cast<std::size_t>(a)], -1.0);
            for (int b = 1; b <= n; ++b)
                EXPECT_EQ(r.covariance[static_cast<std::size_t>(a)][static_cast<std::size_t>(b)], -1.0);
        }
    }

    // Every number of a grid is -1, its summary included: the grid was not evaluated.
    void expectNotCalculated(int g, int n) const
    {
        expectResultsNotCalculated(g, n);
        EXPECT_EQ(app.covariance.gridAverage[static_cast<std::size_t>(g)], -1.0);
        EXPECT_EQ(app.covariance.gridStdDev[static_cast<std::size_t>(g)], -1.0);
    }

    std::function<void()> duringRun;
    std::vector<std::pair<std::string, std::string>> panelsSeen; // panels 1 and 2 at every yield
    EditorLocks locksWhileEditing{};
    bool runningWhileEditing = false;
};

} // namespace orvanta::testing
