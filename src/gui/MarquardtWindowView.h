#pragma once

#include "gui/WindowView.h"

class QPushButton;
class QTextEdit;

namespace orvanta {
class MarquardtWindow;
}

namespace orvanta::gui {

class MainWindowView;

// "frmMarquardt": the stop button across the top, the progress box below it, and the two
// pause buttons over the box's right-hand side while a derivative pause waits.
class MarquardtWindowView : public WindowView {
    Q_OBJECT
public:
    MarquardtWindowView(MarquardtWindow& window, Application& app);

    QPushButton& stopButton() const { return *stop_; }
    QPushButton& iterationButton() const { return *iteration_; }
    QPushButton& continueButton() const { return *continue_; }
    QTextEdit& textBox() const { return *text_; }

protected:
    void refreshContent() override;
    void layoutContent(bool opening) override;
    QSize designFrameSize() override;

private:
    MarquardtWindow* marquardt() const;
    void forward(void (MarquardtWindow::*click)());

    QPushButton* stop_ = nullptr;
    QPushButton* iteration_ = nullptr;
    QPushButton* continue_ = nullptr;
    QTextEdit* text_ = nullptr;
};

// The view of frmMarquardt, or nullptr for another window.
WindowView* makeMarquardtWindowView(Window& window, Application& app, MainWindowView& mainWindow);

} // namespace orvanta::gui
