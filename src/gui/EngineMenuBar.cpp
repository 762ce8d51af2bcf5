#include "gui/EngineMenuBar.h"

#include "app/MainWindow.h"
#include "gui/SubWindowArrangement.h"
#include "gui/WindowView.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace orvanta::gui {

EngineMenuBar::EngineMenuBar(QWidget& parent, const std::string& objectName, QMdiArea& childWindows,
                             std::function<void(const std::string&)> chosen)
    : bar_(new QMenuBar(&parent)), childWindows_(childWindows), chosen_(std::move(chosen))
{
    bar_->setObjectName(qs(objectName));
    bar_->setNativeMenuBar(false); // the window's own menus, inside it
}

QAction* EngineMenuBar::action(const std::string& name) const
{
    const auto it = actions_.find(name);
    return it == actions_.end() ? nullptr : it->second;
}

QAction* EngineMenuBar::makeAction(const MenuEntry& entry, QWidget& owner)
{
    auto* action = new QAction(qs(entry.caption), &owner);
    action->setObjectName(qs(entry.name));
    const std::string name = entry.name;
    QObject::connect(action, &QAction::triggered, bar_, [this, name] { entryChosen(name); });
    actions_[name] = action;
    return action;
}

void EngineMenuBar::addItems(QMenu& menu, const std::vector<MenuEntry>& items)
{
    for (const MenuEntry& item : items) {
        if (item.separator) {
            menu.addSeparator();
        } else if (item.items.empty()) {
            menu.addAction(makeAction(item, menu));
        } else {
            QMenu* inner = menu.addMenu(qs(item.caption));
            inner->setObjectName(qs(item.name));
            actions_[item.name] = inner->menuAction();
            addItems(*inner, item.items);
        }
    }
}

void EngineMenuBar::build(const std::vector<MenuEntry>& entries)
{
    for (const MenuEntry& entry : entries) {
        if (entry.items.empty()) {
            bar_->addAction(makeAction(entry, *bar_));
            continue;
        }
        QMenu* menu = bar_->addMenu(qs(entry.caption));
        menu->setObjectName(qs(entry.name));
        actions_[entry.name] = menu->menuAction();
        addItems(*menu, entry.items);
    }
}

void EngineMenuBar::refresh(const std::vector<MenuEntry>& entries)
{
    for (const MenuEntry& entry : entries) {
        if (QAction* a = action(entry.name)) {
            a->setEnabled(entry.enabled);
            a->setVisible(entry.visible);
        }
        refresh(entry.items);
    }
}

void EngineMenuBar::entryChosen(const std::string& name)
{
    if (const std::optional<Arrangement> arrangement = arrangementOf(name))
        arrangeSubWindows(childWindows_, *arrangement);
    else
        chosen_(name);
}

} // namespace orvanta::gui
