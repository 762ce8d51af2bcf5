#include "gui/MarquardtWindowView.h"

#include "gui/MinimizerViewParts.h"
#include "gui/Twips.h"
#include "minimize/MarquardtWindow.h"

#include <QPushButton>
#include <QTextEdit>

#include <algorithm>

namespace orvanta::gui {

MarquardtWindowView::MarquardtWindowView(MarquardtWindow& window, Application& app) : WindowView(window, app)
{
    text_ = makeProgressBox("rtbMarquardt", window.fontSize(), this);
    stop_ = makeCommandButton(window.stopButton().button, this);
    iteration_ = makeCommandButton(window.iterationButton().button, this);
    continue_ = makeCommandButton(window.continueButton().button, this);
    // The pause buttons lie over the text box.
    iteration_->raise();
    continue_->raise();
    connect(stop_, &QPushButton::clicked, this, [this] { forward(&MarquardtWindow::cmdStop_Click); });
    connect(iteration_, &QPushButton::clicked, this,
            [this] { forward(&MarquardtWindow::cmdIteration_Click); });
    connect(continue_, &QPushButton::clicked, this, [this] { forward(&MarquardtWindow::cmdContinue_Click); });
}

MarquardtWindow* MarquardtWindowView::marquardt() const
{
    return static_cast<MarquardtWindow*>(model());
}

void MarquardtWindowView::forward(void (MarquardtWindow::*click)())
{
    if (MarquardtWindow* w = marquardt())
        (w->*click)();
}

void MarquardtWindowView::refreshContent()
{
    const MarquardtWindow* w = marquardt();
    showCommandButton(*stop_, w->stopButton().button);
    showCommandButton(*iteration_, w->iterationButton().button);
    showCommandButton(*continue_, w->continueButton().button);
    iteration_->setVisible(w->iterationButton().visible);
    continue_->setVisible(w->continueButton().visible);
    showProgressText(*text_, w->text());
}

void MarquardtWindowView::layoutContent(bool /*opening*/)
{
    const MarquardtWindow* w = marquardt();
    if (!w)
        return;
    const TwipScale scale(*this);
    const QWidget& f = frame();
    const int buttonHeight = stop_->sizeHint().height();
    const MarquardtLayout layout =
        layoutMarquardtWindow(scale.twipsX(f.width()), scale.twipsY(f.height()), scale.twipsY(buttonHeight));
    // The engine measures the whole window; the controls are kept inside the client area.
    stop_->setGeometry(0, 0, std::min(scale.x(layout.stopButton.width), width()), buttonHeight);
    text_->setGeometry(pixelRect(scale, layout.textBox, width(), height()));
    iteration_->setGeometry(pixelRect(scale, w->iterationButton().place, width(), height()));
    continue_->setGeometry(pixelRect(scale, w->continueButton().place, width(), height()));
}

QSize MarquardtWindowView::designFrameSize()
{
    return TwipScale(*this).size(MarquardtWindow::designWidth, MarquardtWindow::designHeight);
}

WindowView* makeMarquardtWindowView(Window& window, Application& app, MainWindowView& /*mainWindow*/)
{
    if (auto* model = dynamic_cast<MarquardtWindow*>(&window))
        return new MarquardtWindowView(*model, app);
    return nullptr;
}

} // namespace orvanta::gui
