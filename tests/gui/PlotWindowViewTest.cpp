// The plot window's Qt view: it renders the engine's controls, forwards the user's actions and
// paints the primitive list scaled to the widget; pictures of the summary and its plot pages.
//   ORVANTA_SCREENSHOT_DIR=/tmp/orvanta-shots QT_QPA_PLATFORM=offscreen test_gui
//   --gtest_filter='SummaryScreenshots*'
#include "ScreenshotFixture.h"

#include "gui/PlotPainter.h"
#include "gui/PlotWindowView.h"
#include "model/ResultsSummary.h"
#include "model/TarnfieldModel.h"
#include "plots/DataPlotWindow.h"
#include "support/ExampleSummary.h"
#include "support/TempDir.h"
#include "ui/ReportWindow.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QTest>

namespace orvanta::gui::testing {
namespace {

const std::string examples = ORVANTA_EXAMPLES_DIR;

DataPlotPage samplePage()
{
    DataPlotPage page = DataPlotPage::sized(2, 5);
    page.pageLabel = " 1";
    page.indexName = "Data Record Index";
    page.seriesNames[1] = "Observed";
    page.seriesNames[2] = "Predicted";
    const double observed[] = {0, 3, 5, 4, 8, 7};
    for (int a = 1; a <= 5; ++a) {
        page.setValue(a, 1, observed[a]);
        page.setValue(a, 2, a * 1.5);
    }
    page.indexFirstLabel = 1;
    page.indexLastLabel = 5;
    return page;
}

class PlotWindowViewTest : public GuiTest {
protected:
    DataPlotWindow& openPage(DataPlotPage page)
    {
        auto window =
            std::make_unique<DataPlotWindow>(std::move(page), [this] { app.desktop.close("frmXYPlot"); });
        DataPlotWindow& opened = *window;
        app.desktop.open(std::move(window));
        QCoreApplication::processEvents();
        return opened;
    }
};

TEST_F(PlotWindowViewTest, ControlsFollowTheEngineAndForwardTheUsersActions)
{
    DataPlotWindow& window = openPage(samplePage());
    auto* plot = find<QPushButton>("cmdPlot");
    ASSERT_NE(plot, nullptr);
    EXPECT_EQ(plot->text(), "&Plot it!");
    auto* xmin = find<QLineEdit>("txtXmin");
    ASSERT_NE(xmin, nullptr);
    EXPECT_EQ(xmin->text(), "1 (1)");
    EXPECT_FALSE(xmin->isEnabled());
    auto* xList = find<QListWidget>("listXVar");
    ASSERT_NE(xList, nullptr);
    EXPECT_EQ(xList->count(), 3);
    EXPECT_EQ(find<QLabel>("lblGraphPage")->text(), "Page:   1");

    QTest::mouseClick(plot, Qt::LeftButton);
    EXPECT_EQ(window.plotCount(), 1);

    auto* drop = find<QCheckBox>("Check_Drop");
    drop->click();
    EXPECT_TRUE(window.control("Check_Drop").checked);
    EXPECT_FALSE(find<QCheckBox>("Check_Scatter")->isChecked());

    // A double click in the Y list draws.
    auto* yList = find<QListWidget>("listYVar");
    emit yList->itemDoubleClicked(yList->item(1));
    EXPECT_EQ(window.plotCount(), 2);
    EXPECT_EQ(window.control("listYVar").selected, 1);

    // Typing reaches the range boxes.
    auto* ymax = find<QLineEdit>("txtYmax");
    ymax->clear();
    QTest::keyClicks(ymax, "20");
    EXPECT_EQ(window.control("txtYmax").text, "20");
}

TEST_F(PlotWindowViewTest, TheCloseBoxActsAsNextPage)
{
    openPage(samplePage());
    subWindow("frmXYPlot")->close();
    EXPECT_FALSE(app.desktop.isOpen("frmXYPlot"));
}

TEST_F(PlotWindowViewTest, PaintingScalesTheWholePictureIntoTheWidget)
{
    PlotSurface surface(7200, 7200);
    surface.filledBox(6800, 6800, 7200, 7200, 12); // the bottom right corner, light red
    const PlotPicture picture = makePicture(surface, {});
    for (int side : {60, 300}) {
        QImage image(side, side, QImage::Format_RGB32);
        image.fill(Qt::black);
        QPainter painter(&image);
        paintPicture(painter, picture, QRectF(0, 0, side, side));
        painter.end();
        EXPECT_EQ(image.pixelColor(side - 2, side - 2), QColor(0xFF, 0, 0)) << side;
        EXPECT_EQ(image.pixelColor(side / 2, side / 2), QColor(Qt::white)) << side;
    }
}

TEST_F(PlotWindowViewTest, SavePictureWritesPngOrSvg)
{
    DataPlotWindow& window = openPage(samplePage());
    window.cmdPlot_Click();
    orvanta::testing::TempDir dir;
    const std::string png = dir.file("plot.png");
    const std::string svg = dir.file("plot.svg");
    ui.pickFile(png).pickFile(svg);
    auto* save = find<QPushButton>("cmdSavePicture");
    ASSERT_NE(save, nullptr);
    QTest::mouseClick(save, Qt::LeftButton);
    QTest::mouseClick(save, Qt::LeftButton);
    EXPECT_EQ(ui.shown()[0].file.title, "Save picture as...");
    EXPECT_EQ(ui.shown()[0].file.defaultName, "03051407.png");
    EXPECT_EQ(orvanta::testing::readFileBytes(png).substr(0, 4), "\x89PNG");
    EXPECT_NE(orvanta::testing::readFileBytes(svg).find("<circle"), std::string::npos);
    QImage image;
    ASSERT_TRUE(image.load(QString::fromStdString(png)));
    EXPECT_EQ(image.width(), 790); // 7900 twips at 144 dpi
}

// Pictures of the summary of the bundled example and of its plot pages.
class SummaryScreenshots : public ScreenshotTest {
protected:
    void prepareWindows() override
    {
        orvanta::testing::summarizeBundledExample(app, session.model(), ui, examples, "50");
    }

    void savePage(const DataPlotPage& page, const QString& name)
    {
        auto window = std::make_unique<DataPlotWindow>(page, [this] { app.desktop.close("frmXYPlot"); });
        DataPlotWindow& opened = *window;
        app.desktop.open(std::move(window));
        drawDefaultPlots(opened);
        QMdiSubWindow* frame = subWindow("frmXYPlot");
        ASSERT_NE(frame, nullptr);
        save(*frame, name);
        frame->resize(frame->width() * 2 / 3, frame->height() * 2 / 3);
        save(*frame, name + "-small");
        app.desktop.close("frmXYPlot");
        deleteClosedViews();
    }
};

TEST_F(SummaryScreenshots, SummaryWindowAndPlotPages)
{
    QMdiSubWindow* summary = subWindow("frmSummary");
    ASSERT_NE(summary, nullptr);
    summary->resize(1100, 700);
    save(*summary, "frmSummary");
    const std::vector<DataPlotPage> pages = dataPlotPages(session.model().state());
    ASSERT_GE(pages.size(), 2u);
    savePage(pages.front(), "frmXYPlot-increments");
    savePage(pages.back(), "frmXYPlot-frequencies");
}

} // namespace
} // namespace orvanta::gui::testing
