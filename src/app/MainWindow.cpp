#include "app/MainWindow.h"

namespace orvanta {

namespace {

MenuEntry menu(std::string name, std::string caption, std::vector<MenuEntry> items, bool visible = true)
{
    MenuEntry e = subMenu(std::move(name), std::move(caption), std::move(items));
    e.visible = visible;
    return e;
}

std::vector<MenuEntry> designMenus()
{
    MenuEntry window = menu("mnuWindow", "&Window",
                            {menuCommand("mnuCascade", "&Cascade", "Ctrl+C"),
                             menuCommand("mnuTileHorizontal", "Tile &Horizontal", "Ctrl+H"),
                             menuCommand("mnuTileVertical", "Tile &Vertical", "Ctrl+V"),
                             menuCommand("mnuArrangeIcons", "&Arrange Icons")});
    window.listsWindows = true;
    return {
        menu("mnuApplication", "&Application",
             {menuCommand("mnuMenu", "Main &menu", "Ctrl+M"), menuSeparator(),
              menuCommand("mnuExit", "E&xit", "Ctrl+X")}),
        // The trailing blank tells the two interrupt menus apart.
        menu("mnuBayesianInt", "&Interrupt ",
             {menuCommand("mnuInterruptBayes", "I&nterrupt calculations", "Ctrl+N")}, false),
        menu("mnuMLInt", "&Interrupt", {menuCommand("mnuInterruptML", "&Interrupt calculations", "Ctrl+I")},
             false),
        window,
        menuCommand("mnuDefaultNames", "&Defaults etc."),
        menuCommand("mnuWisdom", "&Wisdom"),
        menu("mnuAbout", "&About", {menuCommand("mnuCredits", "&Credits")}),
    };
}

const std::string noText;

} // namespace

MenuEntry menuCommand(std::string name, std::string caption, std::string shortcut)
{
    MenuEntry e;
    e.name = std::move(name);
    e.caption = std::move(caption);
    e.shortcut = std::move(shortcut);
    return e;
}

MenuEntry menuSeparator()
{
    MenuEntry e;
    e.separator = true;
    return e;
}

MenuEntry subMenu(std::string name, std::string caption, std::vector<MenuEntry> items)
{
    MenuEntry e = menuCommand(std::move(name), std::move(caption));
    e.items = std::move(items);
    return e;
}

MenuEntry windowArrangementMenu()
{
    return subMenu(
        "mnuWindow", "&Window",
        {menuCommand("mnuCascade", "&Cascade"), menuCommand("mnuTileHorizontal", "Tile &Horizontal"),
         menuCommand("mnuTileVertical", "Tile &Vertical"), menuCommand("mnuArrangeIcons", "&Arrange Icons")});
}

MenuEntry* findMenuEntry(std::vector<MenuEntry>& entries, const std::string& name)
{
    for (MenuEntry& entry : entries) {
        if (entry.name == name)
            return &entry;
        if (MenuEntry* inner = findMenuEntry(entry.items, name))
            return inner;
    }
    return nullptr;
}

const MenuEntry* findMenuEntry(const std::vector<MenuEntry>& entries, const std::string& name)
{
    return findMenuEntry(const_cast<std::vector<MenuEntry>&>(entries), name);
}

MainWindowModel::MainWindowModel() : menus_(designMenus())
{
    const int panelCounts[statusBarCount] = {2, 2, 3, 6, 2, 5};
    for (int bar = 0; bar < statusBarCount; ++bar) {
        statusBars_[bar].name = "stbMain" + std::to_string(bar);
        statusBars_[bar].panels.assign(panelCounts[bar], std::string());
        // The progress bars of the profiles and the posterior show only while those run.
        statusBars_[bar].visible = bar < 2 || bar == 5;
    }
}

void MainWindowModel::setCaption(std::string caption)
{
    caption_ = std::move(caption);
    changed();
}

void MainWindowModel::setEnabled(bool enabled)
{
    enabled_ = enabled;
    changed();
}

const MenuEntry* MainWindowModel::findMenu(const std::string& name) const
{
    return findMenuEntry(menus_, name);
}

void MainWindowModel::setMenuVisible(const std::string& name, bool visible)
{
    if (MenuEntry* e = findMenuEntry(menus_, name)) {
        e->visible = visible;
        changed();
    }
}

void MainWindowModel::setMenuEnabled(const std::string& name, bool enabled)
{
    if (MenuEntry* e = findMenuEntry(menus_, name)) {
        e->enabled = enabled;
        changed();
    }
}

const std::string& MainWindowModel::panelText(int bar, int panel) const
{
    if (bar < 0 || bar >= statusBarCount)
        return noText;
    const auto& panels = statusBars_[bar].panels;
    if (panel < 1 || panel > static_cast<int>(panels.size()))
        return noText;
    return panels[panel - 1];
}

void MainWindowModel::setPanel(int bar, int panel, std::string text)
{
    if (bar < 0 || bar >= statusBarCount)
        return;
    auto& panels = statusBars_[bar].panels;
    if (panel < 1 || panel > static_cast<int>(panels.size()))
        return;
    panels[panel - 1] = std::move(text);
    changed();
}

void MainWindowModel::clearPanel(int bar, int panel)
{
    setPanel(bar, panel, std::string());
}

void MainWindowModel::setStatusBarVisible(int bar, bool visible)
{
    if (bar < 0 || bar >= statusBarCount)
        return;
    statusBars_[bar].visible = visible;
    changed();
}

} // namespace orvanta
