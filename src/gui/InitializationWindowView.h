#pragma once

#include "gui/WindowView.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace orvanta {
class InitializationWindow;
}

namespace orvanta::gui {

class MainWindowView;

// "frmInitialize": the data files, the first frequency cell and the increment error
// distribution of the model. Clicks, edits and leaving the first-cell box go to the engine,
// which decides what they do; the view shows the result.
class InitializationWindowView : public WindowView {
    Q_OBJECT
public:
    InitializationWindowView(InitializationWindow& window, Application& app);

    void closeRequested() override;

protected:
    void refreshContent() override;

private:
    InitializationWindow* window() const;
    void createControls(const InitializationWindow& window);
    void connectControls();
    void arrange();
    // Chains the controls by the engine's tab indexes; returns the first.
    QWidget* setTabOrderByIndex(const InitializationWindow& window);
    // Runs an action of the engine window; "OK" and "&Cancel" destroy it on the way.
    void forward(void (InitializationWindow::*action)());

    QLabel* frequencyLabel_ = nullptr;
    QLabel* frequencyPath_ = nullptr;
    QPushButton* frequencyButton_ = nullptr;
    QLabel* incrementLabel_ = nullptr;
    QLabel* incrementPath_ = nullptr;
    QPushButton* incrementButton_ = nullptr;
    QLabel* firstCellLabel_ = nullptr;
    QLineEdit* firstCellBox_ = nullptr;
    QGroupBox* distributionFrame_ = nullptr;
    QRadioButton* gammaOption_ = nullptr;
    QRadioButton* gaussianOption_ = nullptr;
    QLabel* likelihoodNote_ = nullptr;
    QPlainTextEdit* frequencyFormat_ = nullptr;
    QPlainTextEdit* incrementFormat_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    int focusSerial_ = 0; // the engine's last focus request that was followed
};

// The view of the initialization window, for DesktopView::addViewFactory.
WindowView* makeInitializationWindowView(Window& window, Application& app, MainWindowView& mainWindow);

} // namespace orvanta::gui
