#pragma once

#include "gui/WindowView.h"

#include <map>
#include <string>

class QLabel;
class QPushButton;

namespace orvanta {
class EditValuesDialog;
}

namespace orvanta::gui {

class MainWindowView;

// "frmEditVS": a dialog over the algorithm editor with its five buttons and its note. A click
// goes to the engine, which closes the dialog before it asks its questions.
class EditValuesDialogView : public WindowView {
    Q_OBJECT
public:
    EditValuesDialogView(EditValuesDialog& dialog, Application& app, QWidget* mainWindow);

    QPushButton* button(const std::string& name) const;

    void closeRequested() override;

protected:
    void refreshContent() override;
    void closeEvent(QCloseEvent* event) override;

private:
    EditValuesDialog* dialog() const;

    std::map<std::string, QPushButton*> buttons_;
    QLabel* note_ = nullptr;
};

// The view of the dialog, for DesktopView::addViewFactory.
WindowView* makeEditValuesDialogView(Window& window, Application& app, MainWindowView& mainWindow);

} // namespace orvanta::gui
