#include "app/MainWindow.h"

namespace orvanta {

namespace {

MenuEntry command(std::string name, std::string caption, std::string shortcut = {})
{
    MenuEntry e;
    e.name = std::move(name);
    e.caption = std::move(caption);
    e.shortcut = std::move(shortcut);
    return e;
}

MenuEntry separator()
{
    MenuEntry e;
    e.separator = true;
    return e;
}

MenuEntry menu(std::string name, std::string caption, std::vector<MenuEntry> items, bool visible = true)
{
    MenuEntry e = command(std::move(name), std::move(caption));
    e.items = std::move(items);
    e.visible = visible;
    return e;
}

std::vector<MenuEntry> designMenus()
{
    MenuEntry window = menu("mnuWindow", "&Window",
                            {command("mnuCascade", "&Cascade", "Ctrl+C"),
                             command("mnuTileHorizontal", "Tile &Horizontal", "Ctrl+H"),
                             command("mnuTileVertical", "Tile &Vertical", "Ctrl+V"),
                             command("mnuArrangeIcons", "&Arrange Icons")});
    window.listsWindows = true;
    return {
        menu("mnuApplication", "&Application",
             {command("mnuMenu", "Main &menu", "Ctrl+M"), separator(), command("mnuExit", "E&xit", "Ctrl+X")}),
        // The trailing blank tells the two interrupt menus apart.
        menu("mnuBayesianInt", "&Interrupt ", {command("mnuInterruptBayes", "I&nterrupt calculations", "Ctrl+N")},
             false),
        menu("mnuMLInt", "&Interrupt", {command("mnuInterruptML", "&Interrupt calculations", "Ctrl+I")}, false),
        window,
        command("mnuDefaultNames", "&Defaults etc."),
        command("mnuWisdom", "&Wisdom"),
        menu("mnuAbout", "&About", {command("mnuCredits", "&Credits")}),
    };
}

const std::string noText;

} // namespace

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

MenuEntry* MainWindowModel::findMenuEntry(const std::string& name)
{
    for (MenuEntry& top : menus_) {
        if (top.name == name)
            return &top;
        for (MenuEntry& item : top.items)
            if (item.name == name)
                return &item;
    }
    return nullptr;
}

const MenuEntry* MainWindowModel::findMenu(const std::string& name) const
{
    return const_cast<MainWindowModel*>(this)->findMenuEntry(name);
}

void MainWindowModel::setMenuVisible(const std::string& name, bool visible)
{
    if (MenuEntry* e = findMenuEntry(name)) {
        e->visible = visible;
        changed();
    }
}

void MainWindowModel::setMenuEnabled(const std::string& name, bool enabled)
{
    if (MenuEntry* e = findMenuEntry(name)) {
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
