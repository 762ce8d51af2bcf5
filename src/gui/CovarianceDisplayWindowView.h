#pragma once

#include "gui/WindowView.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace orvanta {
class CovarianceDisplayWindow;
}

namespace orvanta::gui {

class MainWindowView;

// "frmCovDisplay": a question label, the explanation of how to read the three grids, and the
// buttons that collate the report, save it as a .cov file and finish.
class CovarianceDisplayWindowView : public WindowView {
    Q_OBJECT
public:
    CovarianceDisplayWindowView(CovarianceDisplayWindow& window, Application& app);

    QLabel& label() const { return *label_; }
    QPlainTextEdit& explanationBox() const { return *explain_; }
    QPushButton& screenButton() const { return *screen_; }
    QPushButton& fileButton() const { return *file_; }
    QPushButton& finishButton() const { return *finish_; }

protected:
    void refreshContent() override;
    QSize designFrameSize() override;

private:
    CovarianceDisplayWindow* display() const;

    QLabel* label_ = nullptr;
    QPlainTextEdit* explain_ = nullptr;
    QPushButton* screen_ = nullptr;
    QPushButton* file_ = nullptr;
    QPushButton* finish_ = nullptr;
};

// The view of frmCovDisplay, or nullptr for another window.
WindowView* makeCovarianceDisplayWindowView(Window& window, Application& app, MainWindowView& mainWindow);

} // namespace orvanta::gui
