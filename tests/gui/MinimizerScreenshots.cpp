// Pictures of the minimizer windows for a look by eye. Like Screenshots.cpp, they run only when
// ORVANTA_SCREENSHOT_DIR names the folder to write them to, e.g.
//   ORVANTA_SCREENSHOT_DIR=/tmp/orvanta-shots QT_QPA_PLATFORM=offscreen test_gui
//   --gtest_filter='MinimizerScreenshots*'
#include "ScreenshotFixture.h"

#include "minimize/MarquardtWindow.h"
#include "minimize/ProgressText.h"
#include "minimize/SimplexWindow.h"
#include "model/TarnfieldModel.h"

namespace orvanta::gui::testing {
namespace {

// Eight free parameters of the model with plausible values.
std::vector<ParameterRow> sampleRows()
{
    const auto& descriptions = TarnfieldModel::parameterDescriptions();
    const int numbers[] = {1, 2, 3, 4, 9, 10, 14, 15};
    const double values[] = {88.2, 6.1, 0.45, 0.05, 4.5, 0.22, 0.31, 52.0};
    std::vector<ParameterRow> rows;
    for (std::size_t k = 0; k < 8; ++k)
        rows.push_back(
            {numbers[k], values[k], k == 5 ? "A" : "~~", descriptions[static_cast<std::size_t>(numbers[k])]});
    return rows;
}

class MinimizerScreenshots : public ScreenshotTest {
protected:
    void prepareWindows() override { app.startToolCommand(ToolStart::CloseAll); }
};

TEST_F(MinimizerScreenshots, SimplexWindow)
{
    InitialSimplex initial{2461.83125, 2470.5, 2459.0625, sampleRows()};
    const SimplexProgress progress{.counters = {148, 297, 1},
                                   .improvedCount = 8,
                                   .lastAction = "Reflection-Contraction",
                                   .bestValue = 2398.41877,
                                   .worstValue = 2398.42011,
                                   .tolerance = 1E-06,
                                   .bestVertex = sampleRows()};

    SimplexWindow& window = openSimplexWindow(app, 8);
    window.setStopCaption(SimplexWindow::freshRunStopCaption);
    window.setInitialText(initialSimplexText(initial));
    window.setProgressText(simplexProgressText(progress, 1));
    app.mainWindow.setPanel(statusBar::messages, 1, "Verifying convergence by performing an axial search");
    app.mainWindow.setPanel(statusBar::messages, 2, "Axial function call    3 of   16");
    save(*subWindow("frmSimplex"), "frmSimplex");
    save(mainWindow(), "frmMain-frmSimplex");
}

TEST_F(MinimizerScreenshots, MarquardtWindowDuringADerivativePause)
{
    MarquardtProgress progress{.counters = {6, 131, 0},
                               .currentValue = 2398.41902,
                               .lastValue = 2398.47733,
                               .tolerance = -1E-05,
                               .accepted = sampleRows()};
    progress.derivatives.gradient.assign(9, 0.0);
    progress.derivatives.hessian.assign(9, std::vector<double>(9, 0.0));
    for (std::size_t t = 1; t <= 8; ++t) {
        progress.derivatives.gradient[t] = 0.0125 * static_cast<double>(t) - 0.05;
        for (std::size_t j = t; j <= 8; ++j)
            progress.derivatives.hessian[t][j] =
                t == j ? 150.0 / static_cast<double>(t) : -2.5 / static_cast<double>(j);
    }

    MarquardtWindow& window = openMarquardtWindow(app, 8);
    window.setStopCaption(SimplexWindow::freshRunStopCaption);
    window.setText(marquardtProgressText(progress) +
                   derivativeListing(progress.accepted, progress.derivatives));
    window.setPauseButtonsShown(true);
    save(*subWindow("frmMarquardt"), "frmMarquardt");
    save(mainWindow(), "frmMain-frmMarquardt");
}

} // namespace
} // namespace orvanta::gui::testing
