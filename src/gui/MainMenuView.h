#pragma once

#include "gui/WindowView.h"

#include <map>
#include <string>

class QLabel;
class QPushButton;

namespace orvanta {
class MainMenuWindow;
}

namespace orvanta::gui {

// "frmMenu": the welcome text, the model's title, a picture and the thirteen tool buttons.
// A click goes to the engine, which decides whether the button may act.
class MainMenuView : public WindowView {
    Q_OBJECT
public:
    MainMenuView(MainMenuWindow& window, Application& app);

    QPushButton* button(const std::string& name) const;

protected:
    void refreshContent() override;

private:
    void createButtons(const MainMenuWindow& window);
    void arrange();
    void setTabOrderByIndex(const MainMenuWindow& window);

    std::map<std::string, QPushButton*> buttons_;
    QLabel* welcome_ = nullptr;
    QLabel* modelName_ = nullptr;
    QLabel* picture_ = nullptr;
    QLabel* minimizeWith_ = nullptr;
    std::string focusButton_; // the engine's last focus request
};

} // namespace orvanta::gui
