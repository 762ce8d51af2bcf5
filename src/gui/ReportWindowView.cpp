#include "gui/ReportWindowView.h"

#include "app/Application.h"
#include "gui/Twips.h"
#include "ui/ReportWindow.h"

#include <QPushButton>
#include <QTextEdit>

#include <algorithm>

namespace orvanta::gui {

namespace {
constexpr int designWidth = 11500; // twips
constexpr int designHeight = 7800;
} // namespace

QFont courierFont()
{
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSize(9);
    return font;
}

void setRightMargin(QTextEdit& textBox, const std::optional<int>& rightMarginTwips)
{
    if (rightMarginTwips) {
        textBox.setLineWrapMode(QTextEdit::FixedPixelWidth);
        textBox.setLineWrapColumnOrWidth(TwipScale(textBox).x(*rightMarginTwips));
    } else {
        textBox.setLineWrapMode(QTextEdit::WidgetWidth);
    }
}

ReportWindowView::ReportWindowView(ReportWindow& window, Application& app) : WindowView(window, app)
{
    const ReportWindowDesign& design = window.design();
    text_ = new QTextEdit(this);
    text_->setObjectName(qs(design.textBoxName));
    text_->setAcceptRichText(false);
    text_->setFont(courierFont());
    setRightMargin(*text_, design.rightMargin);
    connect(text_, &QTextEdit::textChanged, this, &ReportWindowView::textEdited);

    if (design.saveButton) {
        save_ = new QPushButton(qs(design.saveButton->caption), this);
        save_->setObjectName(qs(design.saveButton->name));
        save_->setToolTip(qs(design.saveButton->toolTip));
        save_->setAutoDefault(false);
        connect(save_, &QPushButton::clicked, this, &ReportWindowView::save);
    }
}

ReportWindow* ReportWindowView::report() const
{
    return static_cast<ReportWindow*>(model());
}

void ReportWindowView::refreshContent()
{
    const QString text = qs(report()->text());
    if (text_->toPlainText() == text)
        return;
    showingModelText_ = true;
    text_->setPlainText(text);
    showingModelText_ = false;
}

void ReportWindowView::textEdited()
{
    if (!showingModelText_ && report())
        report()->takeEditedText(text_->toPlainText().toStdString());
}

void ReportWindowView::save()
{
    if (ReportWindow* window = report())
        window->save(app().ui(), app().clock(), app().files());
}

void ReportWindowView::layoutContent(bool opening)
{
    if (!report())
        return;
    const TwipScale scale(*this);
    const QWidget& f = frame();
    const int buttonHeight = save_ ? save_->sizeHint().height() : 0;
    const ReportLayout layout =
        layoutReportWindow(report()->design(), scale.twipsX(f.width()), scale.twipsY(f.height()),
                           scale.twipsY(buttonHeight), opening);
    // The engine measures the whole window; the controls are kept inside its client area.
    if (save_)
        save_->setGeometry(0, 0, std::min(scale.x(layout.buttonWidth), width()), buttonHeight);
    const int textHeight =
        layout.textHeight ? std::min(scale.y(*layout.textHeight), height() - buttonHeight) : text_->height();
    text_->setGeometry(0, buttonHeight, std::min(scale.x(layout.textWidth), width()), textHeight);
}

QSize ReportWindowView::designFrameSize()
{
    return TwipScale(*this).size(designWidth, designHeight);
}

} // namespace orvanta::gui
