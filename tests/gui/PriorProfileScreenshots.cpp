// Pictures of a prior profile: the distribution plot window with the prior distribution and its
// -ln[L], its cumulative curve, and the report window "Prior distribution statistics".

#include "ModelPriorsSession.h"
#include "ScreenshotFixture.h"

#include "app/MainMenu.h"
#include "plots/DistributionPlotWindow.h"
#include "priors/PriorEditor.h"
#include "priors/PriorsFlow.h"

#include <QMdiSubWindow>

namespace orvanta::gui::testing {
namespace {

class PriorProfileScreenshots : public ScreenshotTest {};

TEST_F(PriorProfileScreenshots, DistributionPlotAndReportOfAGammaPrior)
{
    prepareModelPriors(app);
    // A gamma prior on k whose domain would start below 0: it starts at 1e-6.
    app.priors[3] = PriorSpec{"G", 0.35, 0.1, {}, {}};
    app.closeMainMenu();
    app.showMainMenu();
    app.mainMenuButtonClicked(menuButton::bayesian);
    loadPriorsButtonClicked(app, loadPriorsButton::set);
    auto* editor = app.desktop.find<PriorEditor>(PriorEditor::windowName);
    ASSERT_NE(editor, nullptr);
    editor->grdSetPriors_Click(4);

    int plotsSeen = 0;
    ui.onYield = [&] {
        auto* plot = app.desktop.find<DistributionPlotWindow>(distributionPlot::windowName);
        QMdiSubWindow* frame = subWindow(distributionPlot::windowName);
        if (!plot || !frame)
            return;
        ++plotsSeen;
        for (int curve : {2, 1}) {
            plot->listClicked("listVar", curve - 1);
            plot->cmdPlot_Click();
        }
        save(*frame, "frmDistPlot-prior");
        plot->cmdClear_Click();
        plot->listClicked("listVar", 4);
        plot->cmdPlot_Click();
        save(*frame, "frmDistPlot-prior-cumulative");
        plot->cmdDone_Click();
    };
    ui.answer(Answer::OK).answer(Answer::OK).type("3").type("101");
    editor->menuChosen("mnuProfile");
    EXPECT_EQ(plotsSeen, 1);
    deleteClosedViews();
    QMdiSubWindow* report = subWindow("frmPriorDists");
    ASSERT_NE(report, nullptr);
    save(*report, "frmPriorDists");
    save(mainWindow(), "frmMain-frmPriorDists");
}

} // namespace
} // namespace orvanta::gui::testing
