#include "gui/SimplexWindowView.h"

#include "gui/MinimizerViewParts.h"
#include "gui/Twips.h"
#include "minimize/SimplexWindow.h"

#include <QMouseEvent>
#include <QPushButton>
#include <QTextEdit>

#include <algorithm>
#include <functional>

namespace orvanta::gui {

namespace {

// The band between the two boxes: the pointer turns into a splitter over it and a drag
// reports where the border should go, in the coordinates of the band's parent.
class SplitterBand final : public QWidget {
public:
    SplitterBand(std::function<void(int)> dragged, QWidget* parent)
        : QWidget(parent), dragged_(std::move(dragged))
    {
        setObjectName(QStringLiteral("splitterBand"));
        setCursor(Qt::SplitVCursor);
    }

protected:
    void mousePressEvent(QMouseEvent* event) override { dragTo(*event); }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        if (event->buttons() & Qt::LeftButton)
            dragTo(*event);
    }

private:
    void dragTo(const QMouseEvent& event) { dragged_(mapToParent(event.position().toPoint()).y()); }

    std::function<void(int)> dragged_;
};

} // namespace

SimplexWindowView::SimplexWindowView(SimplexWindow& window, Application& app) : WindowView(window, app)
{
    stop_ = makeCommandButton(window.stopButton(), this);
    connect(stop_, &QPushButton::clicked, this, [this] {
        if (SimplexWindow* w = simplex())
            w->cmdStop_Click();
    });
    initial_ = makeProgressBox("rtbSimplexInitial", window.fontSize(), this);
    progress_ = makeProgressBox("rtbSimplex", window.fontSize(), this);
    splitter_ = new SplitterBand([this](int y) { dragBorderTo(y); }, this);
    laidOutUpperHeight_ = window.upperBoxHeight();
}

SimplexWindow* SimplexWindowView::simplex() const
{
    return static_cast<SimplexWindow*>(model());
}

void SimplexWindowView::refreshContent()
{
    const SimplexWindow* w = simplex();
    showCommandButton(*stop_, w->stopButton());
    showProgressText(*initial_, w->initialText());
    showProgressText(*progress_, w->progressText());
    if (w->upperBoxHeight() != laidOutUpperHeight_)
        layoutContent(false);
}

void SimplexWindowView::layoutContent(bool /*opening*/)
{
    const SimplexWindow* w = simplex();
    if (!w)
        return;
    const TwipScale scale(*this);
    const QWidget& f = frame();
    const int buttonHeight = stop_->sizeHint().height();
    const SimplexLayout layout = layoutSimplexWindow(scale.twipsX(f.width()), scale.twipsY(f.height()),
                                                     scale.twipsY(buttonHeight), w->upperBoxHeight());
    laidOutUpperHeight_ = w->upperBoxHeight();

    // The engine measures the whole window; the controls are kept inside the client area.
    stop_->setGeometry(0, 0, std::min(scale.x(layout.stopButton.width), width()), buttonHeight);
    const QRect upper = pixelRect(scale, layout.upperBox, width(), height());
    initial_->setGeometry(upper);

    QRect band = pixelRect(scale, layout.splitter, width(), height());
    band.setHeight(std::max(band.height(), minimumBandPixels));
    splitter_->setGeometry(band);

    const QRect lower = pixelRect(scale, layout.lowerBox, width(), height());
    const int lowerTop = band.y() + band.height();
    const int lowerBottom = std::max(lowerTop, lower.y() + lower.height());
    progress_->setGeometry(lower.x(), lowerTop, lower.width(), lowerBottom - lowerTop);
}

void SimplexWindowView::dragBorderTo(int y)
{
    SimplexWindow* w = simplex();
    if (!w)
        return;
    const TwipScale scale(*this);
    w->dragSplitterTo(scale.twipsY(y), scale.twipsY(frame().height()),
                      scale.twipsY(stop_->sizeHint().height()));
}

QSize SimplexWindowView::designFrameSize()
{
    return TwipScale(*this).size(SimplexWindow::designWidth, SimplexWindow::designHeight);
}

WindowView* makeSimplexWindowView(Window& window, Application& app, MainWindowView& /*mainWindow*/)
{
    if (auto* model = dynamic_cast<SimplexWindow*>(&window))
        return new SimplexWindowView(*model, app);
    return nullptr;
}

} // namespace orvanta::gui
