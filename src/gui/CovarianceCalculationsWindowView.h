#pragma once

#include "gui/WindowView.h"

class QPushButton;
class QTextEdit;

namespace orvanta {
class CovarianceCalculationsWindow;
}

namespace orvanta::gui {

class MainWindowView;

// "frmCovData": the button across the top (interrupt, later the save hint) above the running
// account or the collated report, in Courier New so that the report's columns line up. The user
// may edit the text; the edits go to the engine window, which saves them.
class CovarianceCalculationsWindowView : public WindowView {
    Q_OBJECT
public:
    CovarianceCalculationsWindowView(CovarianceCalculationsWindow& window, Application& app);

    QPushButton& stopButton() const { return *stop_; }
    QTextEdit& textBox() const { return *text_; }

protected:
    void refreshContent() override;
    void layoutContent(bool opening) override;
    QSize designFrameSize() override;

private:
    CovarianceCalculationsWindow* calculations() const;
    void showText(const std::string& text);
    void textEdited();

    QPushButton* stop_ = nullptr;
    QTextEdit* text_ = nullptr;
    bool showingModelText_ = false;
};

// The view of frmCovData, or nullptr for another window.
WindowView* makeCovarianceCalculationsWindowView(Window& window, Application& app,
                                                 MainWindowView& mainWindow);

} // namespace orvanta::gui
