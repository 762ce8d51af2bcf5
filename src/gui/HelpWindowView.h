#pragma once

#include "gui/WindowView.h"

class QTextEdit;

namespace orvanta {
class HelpWindow;
}

namespace orvanta::gui {

// "frmHelp": one text box that fills the window less a margin and never wraps its lines.
class HelpWindowView : public WindowView {
    Q_OBJECT
public:
    HelpWindowView(HelpWindow& window, Application& app);

    QTextEdit& textBox() const { return *text_; }

protected:
    void refreshContent() override;
    void layoutContent(bool opening) override;

private:
    QTextEdit* text_ = nullptr;
};

} // namespace orvanta::gui
