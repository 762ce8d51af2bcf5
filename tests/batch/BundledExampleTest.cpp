#include "BatchRun.h"

#include "app/Application.h"
#include "app/Tools.h"
#include "model/InitializationWindow.h"
#include "model/TarnfieldModel.h"
#include "support/FakeClock.h"
#include "support/ScriptedUi.h"
#include "text/NumberText.h"
#include "text/TextFile.h"
#include "ui/ReportWindow.h"

#include <gtest/gtest.h>

#include <sstream>

namespace orvanta {
namespace {

const std::string examples = ORVANTA_EXAMPLES_DIR;
const std::string lengths = examples + "/tarnfield-lengths.dat";
const std::string tags = examples + "/tarnfield-tags.dat";
const std::string algorithm = examples + "/tarnfield.alg";

// The bundled example as a user meets it: initialized in the window, algorithm data loaded, then
// "&1 Function call"; and the same through the command-line program.
TEST(BundledExample, OneFunctionCallReportsTheObjectiveThatBatchEvaluatePrints)
{
    testing::ScriptedUi ui;
    testing::FakeClock clock;
    Application app(ui, clock, realFileSystem());
    TarnfieldModel model(app.modelHost());
    installTools(app, model);
    app.start();

    app.mainMenuButtonClicked("cmdInitialize");
    auto* window = app.desktop.find<InitializationWindow>(InitializationWindow::windowName);
    ASSERT_NE(window, nullptr);
    ui.pickFile(lengths).pickFile(tags);
    window->cmdFrequency_Click();
    window->cmdIncrement_Click();
    window->cmdOK_Click();
    ASSERT_TRUE(app.session.initializeAlready);

    ui.answer(Answer::Yes).pickFile(algorithm);
    app.mainMenuButtonClicked("cmdLoadAlg");
    ASSERT_EQ(app.session.algorithmFileName, algorithm);

    app.mainMenuButtonClicked("cmdOneFunction");
    const auto* report = app.desktop.find<ReportWindow>("frmOneFunction");
    ASSERT_NE(report, nullptr);
    const double windowObjective = app.modelWorkspace.objectiveValue;

    const testing::BatchRun run =
        testing::runBatchWith({"evaluate", "--freq", lengths, "--inc", tags, "--alg", algorithm});
    ASSERT_EQ(run.status, 0) << run.err;
    std::istringstream printed(run.out);
    std::string name, value;
    printed >> name >> value;
    ASSERT_EQ(name, "objective");
    EXPECT_EQ(std::stod(value), windowObjective);
    EXPECT_NE(report->text().find("Current minimum of " + formatNumber(std::stod(value), "####0.#####") +
                                  " found at the following parameter values: "),
              std::string::npos)
        << report->text();
}

} // namespace
} // namespace orvanta
