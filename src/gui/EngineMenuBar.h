#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

class QAction;
class QMdiArea;
class QMenu;
class QMenuBar;
class QWidget;

namespace orvanta {
struct MenuEntry;
}

namespace orvanta::gui {

// A child window's own menu bar, built from the engine's menu entries: menus, submenus at any
// depth, separators and commands on the bar itself. A chosen command goes to the engine through
// chosen(name), except the "&Window" arrangements, which it carries out on the main window's
// child windows.
class EngineMenuBar {
public:
    EngineMenuBar(QWidget& parent, const std::string& objectName, QMdiArea& childWindows,
                  std::function<void(const std::string& name)> chosen);

    QMenuBar& bar() const { return *bar_; }
    // The action of an entry (a menu's own action for a menu); nullptr for an unknown name.
    QAction* action(const std::string& name) const;

    void build(const std::vector<MenuEntry>& entries);
    // The entries' enabled and visible states.
    void refresh(const std::vector<MenuEntry>& entries);

private:
    void addItems(QMenu& menu, const std::vector<MenuEntry>& items);
    QAction* makeAction(const MenuEntry& entry, QWidget& owner);
    void entryChosen(const std::string& name);

    QMenuBar* bar_;
    QMdiArea& childWindows_;
    std::function<void(const std::string&)> chosen_;
    std::map<std::string, QAction*> actions_;
};

} // namespace orvanta::gui
