#pragma once

#include "gui/WindowView.h"

class QPushButton;
class QTextEdit;

namespace orvanta {
class SimplexWindow;
}

namespace orvanta::gui {

class MainWindowView;

// "frmSimplex": the stop button across the top, the initial simplex in the upper box and the
// progress in the lower one, with a band between the boxes that moves their border when it is
// dragged.
class SimplexWindowView : public WindowView {
    Q_OBJECT
public:
    SimplexWindowView(SimplexWindow& window, Application& app);

    QPushButton& stopButton() const { return *stop_; }
    QTextEdit& initialBox() const { return *initial_; }
    QTextEdit& progressBox() const { return *progress_; }
    QWidget& splitterBand() const { return *splitter_; }

    // The band is never thinner than this, so that the pointer can find it at any resolution.
    static constexpr int minimumBandPixels = 5;

protected:
    void refreshContent() override;
    void layoutContent(bool opening) override;
    QSize designFrameSize() override;

private:
    SimplexWindow* simplex() const;
    void dragBorderTo(int y);

    QPushButton* stop_ = nullptr;
    QTextEdit* initial_ = nullptr;
    QTextEdit* progress_ = nullptr;
    QWidget* splitter_ = nullptr;
    int laidOutUpperHeight_ = 0;
};

// The view of frmSimplex, or nullptr for another window.
WindowView* makeSimplexWindowView(Window& window, Application& app, MainWindowView& mainWindow);

} // namespace orvanta::gui
