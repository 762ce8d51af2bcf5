#pragma once

#include "ui/Observable.h"

#include <array>
#include <string>
#include <vector>

namespace orvanta {

// One entry of the main window's menu bar: a menu with items, or a command on the bar itself.
struct MenuEntry {
    std::string name;     // design name, e.g. "mnuExit"
    std::string caption;  // with "&" before the access key
    std::string shortcut; // e.g. "Ctrl+X"; empty for none
    bool visible = true;
    bool enabled = true;
    bool separator = false;
    bool listsWindows = false;     // the menu lists the open child windows
    std::vector<MenuEntry> items;  // empty for a command
};

// Menus as a window's design lists them.
MenuEntry menuCommand(std::string name, std::string caption, std::string shortcut = {});
MenuEntry menuSeparator();
MenuEntry subMenu(std::string name, std::string caption, std::vector<MenuEntry> items);
// "&Window" with the four arrangements of the main window's child windows, as an editor's own
// menu bar offers it.
MenuEntry windowArrangementMenu();
// The entry of that name among entries and their items at any depth; nullptr when there is none.
MenuEntry* findMenuEntry(std::vector<MenuEntry>& entries, const std::string& name);
const MenuEntry* findMenuEntry(const std::vector<MenuEntry>& entries, const std::string& name);

// One status bar of text panels along the bottom of the main window.
struct StatusBar {
    std::string name;                 // "stbMain0" .. "stbMain5"
    std::vector<std::string> panels;  // panel n is panels[n - 1]
    bool visible = true;
};

inline constexpr int statusBarCount = 6;

// The main window: caption, menu bar and status bars.
class MainWindowModel : public Observable {
public:
    MainWindowModel();

    const std::string& caption() const { return caption_; }
    void setCaption(std::string caption);

    // While a small information window is open the main window takes no input.
    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled);

    const std::vector<MenuEntry>& menus() const { return menus_; }
    const MenuEntry* findMenu(const std::string& name) const;
    void setMenuVisible(const std::string& name, bool visible);
    void setMenuEnabled(const std::string& name, bool enabled);

    const std::array<StatusBar, statusBarCount>& statusBars() const { return statusBars_; }
    const StatusBar& statusBar(int bar) const { return statusBars_.at(bar); }
    // Panel numbers count from 1; a panel the bar does not have is ignored.
    const std::string& panelText(int bar, int panel) const;
    void setPanel(int bar, int panel, std::string text);
    void clearPanel(int bar, int panel);
    void setStatusBarVisible(int bar, bool visible);

private:
    std::string caption_ = "Orvanta";
    bool enabled_ = true;
    std::vector<MenuEntry> menus_;
    std::array<StatusBar, statusBarCount> statusBars_;
};

} // namespace orvanta
