#pragma once

// Pieces the views of the two minimizer windows share.

#include "gui/ControlBinding.h"
#include "minimize/SimplexWindow.h"
#include "ui/CommandButton.h"

#include <QRect>

#include <string>

class QPushButton;
class QTextEdit;
class QWidget;

namespace orvanta::gui {

class TwipScale;

// A read-only progress box in the reports' fixed-pitch font at pointSize.
QTextEdit* makeProgressBox(const char* objectName, int pointSize, QWidget* parent);

// Replaces the box's text only when it changed, so that an unchanged text keeps its scrolling.
void showProgressText(QTextEdit& box, const std::string& text);

// A push button that does not take the Return key from the text boxes, already showing the
// engine button's caption, tool tip and enabled state.
QPushButton* makeCommandButton(const CommandButton& button, QWidget* parent);

// A rectangle of the engine in pixels, kept inside the client area of width x height pixels.
QRect pixelRect(const TwipScale& scale, const TwipRect& rect, int clientWidth, int clientHeight);

} // namespace orvanta::gui
