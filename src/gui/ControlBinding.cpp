#include "gui/ControlBinding.h"

#include "gui/WindowView.h"

#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace orvanta::gui {

namespace {

constexpr int captionPadding = 24; // pixels around a button caption

} // namespace

QLabel* makePlainLabel(const std::string& name, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(qs(name));
    label->setTextFormat(Qt::PlainText);
    return label;
}

QPushButton* makePushButton(const std::string& name, QWidget* parent)
{
    auto* button = new QPushButton(parent);
    button->setObjectName(qs(name));
    button->setAutoDefault(false);
    return button;
}

void showCommandButton(QPushButton& widget, const CommandButton& button)
{
    widget.setText(qs(button.caption));
    widget.setToolTip(qs(button.toolTip));
    widget.setEnabled(button.enabled);
}

void fitButtonToCaption(QPushButton& button, int minimumWidth)
{
    button.setMinimumWidth(std::max(minimumWidth, button.sizeHint().width() + captionPadding));
}

void showBoxText(QLineEdit& box, const std::string& text, bool enabled)
{
    if (box.text().toStdString() != text)
        box.setText(qs(text));
    box.setEnabled(enabled);
}

void showFrame(QGroupBox& frame, const std::string& caption, bool enabled)
{
    frame.setTitle(qs(caption));
    frame.setEnabled(enabled);
}

void followFocusRequest(QWidget& view, const std::string& control, int serial, int& followedSerial)
{
    if (serial == followedSerial)
        return;
    followedSerial = serial;
    if (auto* widget = view.findChild<QWidget*>(qs(control)))
        widget->setFocus(Qt::OtherFocusReason);
}

void FocusLossLineEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    const Qt::FocusReason reason = event->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && lostFocus)
        lostFocus();
}

} // namespace orvanta::gui
