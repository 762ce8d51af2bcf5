#include "gui/HelpWindowView.h"

#include "app/InfoWindows.h"
#include "gui/ReportWindowView.h"
#include "gui/Twips.h"

#include <QTextEdit>

#include <algorithm>

namespace orvanta::gui {

HelpWindowView::HelpWindowView(HelpWindow& window, Application& app) : WindowView(window, app)
{
    text_ = new QTextEdit(this);
    text_->setObjectName(QStringLiteral("rtbHelp"));
    text_->setReadOnly(true);
    text_->setAcceptRichText(false);
    text_->setFont(courierFont());
    setRightMargin(*text_, HelpWindow::rightMargin);
}

void HelpWindowView::refreshContent()
{
    const QString text = qs(static_cast<const HelpWindow*>(model())->text());
    if (text_->toPlainText() != text)
        text_->setPlainText(text);
}

void HelpWindowView::layoutContent(bool /*opening*/)
{
    const TwipScale scale(*this);
    const QWidget& f = frame();
    const int margin = HelpWindow::textBoxMargin;
    // The design sizes the box from the whole window; it is kept inside the client area.
    const int widthTwips = std::max(0, scale.twipsX(f.width()) - margin);
    const int heightTwips = std::max(0, scale.twipsY(f.height()) - margin);
    text_->setGeometry(0, 0, std::min(scale.x(widthTwips), width()),
                       std::min(scale.y(heightTwips), height()));
}

} // namespace orvanta::gui
