#pragma once

#include "gui/WindowView.h"

class QPlainTextEdit;
class QPushButton;

namespace orvanta {
class InfoWindow;
}

namespace orvanta::gui {

// "frmDefaults", "frmWisdom", "frmCredits": a read-only text and "OK". The window stands on its
// own beside the main window, which takes no input while it is open.
class InfoWindowView : public WindowView {
    Q_OBJECT
public:
    InfoWindowView(InfoWindow& window, Application& app, QWidget* mainWindow);

    void closeRequested() override;

protected:
    void refreshContent() override;
    QSize designFrameSize() override;
    void closeEvent(QCloseEvent* event) override;

private:
    QPlainTextEdit* text_ = nullptr;
    QPushButton* ok_ = nullptr;
};

} // namespace orvanta::gui
