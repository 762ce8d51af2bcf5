#pragma once

// Qt controls named after the engine's controls, and the engine's state shown in them: the
// pieces the views of the engine's windows share.

#include "ui/CommandButton.h"

#include <QLineEdit>

#include <functional>
#include <string>

class QFocusEvent;
class QGroupBox;
class QLabel;
class QPushButton;
class QWidget;

namespace orvanta::gui {

// A label with the engine control's name that shows its text as plain text.
QLabel* makePlainLabel(const std::string& name, QWidget* parent);

// A push button with the engine button's name that does not take the Return key from the
// text boxes.
QPushButton* makePushButton(const std::string& name, QWidget* parent);

// The engine button's caption, tool tip and enabled state.
void showCommandButton(QPushButton& widget, const CommandButton& button);

// Widens the button to leave some room around its caption (Qt's size hint leaves it tight),
// and to at least minimumWidth pixels.
void fitButtonToCaption(QPushButton& button, int minimumWidth = 0);

// Sets the box's text unless it already holds it, which keeps the cursor while the user types.
void showBoxText(QLineEdit& box, const std::string& text, bool enabled);

// The title and enabled state of a frame around other controls.
void showFrame(QGroupBox& frame, const std::string& caption, bool enabled);

// Puts the keyboard focus on the view's control of that name once for each new request of the
// engine; followedSerial keeps the serial of the last request followed.
void followFocusRequest(QWidget& view, const std::string& control, int serial, int& followedSerial);

// A text box that tells the engine when the user leaves it. Leaving is reported only after Qt
// has finished the focus change (so that the engine can hand the focus straight back), and not
// when a dialog, another application or a popup menu takes the focus.
class FocusLossLineEdit : public QLineEdit {
public:
    using QLineEdit::QLineEdit;

    std::function<void()> lostFocus;

protected:
    void focusOutEvent(QFocusEvent* event) override;
};

} // namespace orvanta::gui
