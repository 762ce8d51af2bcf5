#include "gui/CovarianceCalculationsWindowView.h"

#include "gui/ControlBinding.h"
#include "gui/MinimizerViewParts.h"
#include "gui/ReportWindowView.h"
#include "gui/Twips.h"
#include "uncertainty/CovarianceCalculationsWindow.h"

#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextEdit>

#include <algorithm>

namespace orvanta::gui {

namespace {
constexpr int designHeight = 7800; // twips; the design gives only the width
} // namespace

CovarianceCalculationsWindowView::CovarianceCalculationsWindowView(CovarianceCalculationsWindow& window,
                                                                   Application& app)
    : WindowView(window, app)
{
    stop_ = makeCommandButton(window.stopButton(), this);
    connect(stop_, &QPushButton::clicked, this, [this] {
        if (CovarianceCalculationsWindow* w = calculations())
            w->cmdStop_Click();
    });
    text_ = new QTextEdit(this);
    text_->setObjectName(QLatin1String(CovarianceCalculationsWindow::textBoxName));
    text_->setAcceptRichText(false);
    text_->setFont(courierFont());
    text_->setLineWrapMode(QTextEdit::NoWrap); // report lines are wider than the window
    connect(text_, &QTextEdit::textChanged, this, &CovarianceCalculationsWindowView::textEdited);
}

CovarianceCalculationsWindow* CovarianceCalculationsWindowView::calculations() const
{
    return static_cast<CovarianceCalculationsWindow*>(model());
}

void CovarianceCalculationsWindowView::refreshContent()
{
    const CovarianceCalculationsWindow* w = calculations();
    showCommandButton(*stop_, w->stopButton());
    showText(w->text());
}

// A running account grows at its end: only the new part is added and scrolled into view, so a
// long account does not flicker. Any other change replaces the whole text.
void CovarianceCalculationsWindowView::showText(const std::string& text)
{
    const QString wanted = qs(text);
    const QString shown = text_->toPlainText();
    if (shown == wanted)
        return;
    showingModelText_ = true;
    if (!shown.isEmpty() && wanted.startsWith(shown)) {
        QTextCursor end(text_->document());
        end.movePosition(QTextCursor::End);
        end.insertText(wanted.mid(shown.size()));
        text_->verticalScrollBar()->setValue(text_->verticalScrollBar()->maximum());
    } else {
        text_->setPlainText(wanted);
    }
    showingModelText_ = false;
}

void CovarianceCalculationsWindowView::textEdited()
{
    if (!showingModelText_ && calculations())
        calculations()->takeEditedText(text_->toPlainText().toStdString());
}

void CovarianceCalculationsWindowView::layoutContent(bool /*opening*/)
{
    if (!calculations())
        return;
    const TwipScale scale(*this);
    const QWidget& f = frame();
    const int buttonHeight = stop_->sizeHint().height();
    const CovarianceCalculationsLayout layout = layoutCovarianceCalculationsWindow(
        scale.twipsX(f.width()), scale.twipsY(f.height()), scale.twipsY(buttonHeight));
    // The engine measures the whole window; the controls are kept inside the client area.
    stop_->setGeometry(0, 0, std::min(scale.x(layout.buttonWidth), width()), buttonHeight);
    const int textHeight =
        layout.textHeight ? std::min(scale.y(*layout.textHeight), height() - buttonHeight) : text_->height();
    text_->setGeometry(0, buttonHeight, std::min(scale.x(layout.textWidth), width()),
                       std::max(0, textHeight));
}

QSize CovarianceCalculationsWindowView::designFrameSize()
{
    return TwipScale(*this).size(CovarianceCalculationsWindow::designWidth, designHeight);
}

WindowView* makeCovarianceCalculationsWindowView(Window& window, Application& app,
                                                 MainWindowView& /*mainWindow*/)
{
    if (auto* model = dynamic_cast<CovarianceCalculationsWindow*>(&window))
        return new CovarianceCalculationsWindowView(*model, app);
    return nullptr;
}

} // namespace orvanta::gui
