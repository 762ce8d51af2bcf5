#include "gui/MainWindowView.h"

#include "app/Application.h"
#include "gui/GrowthCurvePicture.h"
#include "gui/SubWindowArrangement.h"
#include "gui/WindowView.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScreen>
#include <QHBoxLayout>
#include <QStatusBar>
#include <QVBoxLayout>

#include <algorithm>

namespace orvanta::gui {

namespace {

const QSize preferredSize(1180, 860);

QSize startSize()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return preferredSize;
    const QSize available = screen->availableGeometry().size() * 0.92;
    return preferredSize.boundedTo(available).expandedTo(QSize(640, 480));
}

// A panel's share of its row: its text's length, with a little room for an empty panel.
int panelStretch(const QString& text)
{
    constexpr int emptyPanelShare = 4;
    return std::max(static_cast<int>(text.size()), emptyPanelShare);
}

} // namespace

MainWindowView::MainWindowView(Application& app) : app_(app)
{
    setObjectName(QStringLiteral("frmMain"));
    // Child windows show their owner's icon in their title bars.
    setWindowIcon(QIcon(growthCurvePicture(QSize(64, 64), devicePixelRatioF())));
    mdiArea_ = new QMdiArea;
    mdiArea_->setObjectName(QStringLiteral("mdiArea"));
    mdiArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);

    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(mdiArea_, 1);
    layout->addWidget(buildStatusBars());
    setCentralWidget(central);

    buildMenus();
    resize(startSize());
    subscription_ = app_.mainWindow.subscribe([this] { refresh(); });
    refresh();
}

MainWindowView::~MainWindowView()
{
    app_.mainWindow.unsubscribe(subscription_);
}

QAction* MainWindowView::action(const std::string& name) const
{
    const auto it = actions_.find(name);
    return it == actions_.end() ? nullptr : it->second;
}

void MainWindowView::buildMenus()
{
    for (const MenuEntry& entry : app_.mainWindow.menus()) {
        if (entry.items.empty()) {
            // A command on the menu bar itself.
            QAction* command = menuBar()->addAction(qs(entry.caption));
            command->setObjectName(qs(entry.name));
            const std::string name = entry.name;
            connect(command, &QAction::triggered, this, [this, name] { menuChosen(name); });
            actions_[entry.name] = command;
            continue;
        }
        QMenu* menu = menuBar()->addMenu(qs(entry.caption));
        menu->setObjectName(qs(entry.name));
        actions_[entry.name] = menu->menuAction();
        for (const MenuEntry& item : entry.items)
            addEntry(*menu, item);
        if (entry.listsWindows) {
            windowMenu_ = menu;
            connect(menu, &QMenu::aboutToShow, this, &MainWindowView::listChildWindows);
        }
    }
}

void MainWindowView::addEntry(QMenu& menu, const MenuEntry& entry)
{
    if (entry.separator) {
        menu.addSeparator();
        return;
    }
    QAction* item = menu.addAction(qs(entry.caption));
    item->setObjectName(qs(entry.name));
    if (!entry.shortcut.empty())
        item->setShortcut(QKeySequence(qs(entry.shortcut)));
    const std::string name = entry.name;
    connect(item, &QAction::triggered, this, [this, name] { menuChosen(name); });
    actions_[entry.name] = item;
}

QWidget* MainWindowView::buildStatusBars()
{
    auto* rows = new QWidget;
    auto* layout = new QVBoxLayout(rows);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (const StatusBar& bar : app_.mainWindow.statusBars()) {
        auto* row = new QStatusBar;
        row->setObjectName(qs(bar.name));
        row->setSizeGripEnabled(false);
        // The panels share the row by the length of their texts (refreshStatusBars), so that a
        // long message is not cut while empty panels take room.
        auto* panelRow = new QWidget;
        auto* panelLayout = new QHBoxLayout(panelRow);
        panelLayout->setContentsMargins(0, 0, 0, 0);
        panelLayout->setSpacing(2);
        std::vector<QLabel*> labels;
        for (size_t panel = 1; panel <= bar.panels.size(); ++panel) {
            auto* label = new QLabel;
            label->setObjectName(qs(bar.name + "_" + std::to_string(panel)));
            label->setTextFormat(Qt::PlainText);
            label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            // Long file paths must not widen the window.
            label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
            label->setMinimumWidth(24);
            panelLayout->addWidget(label, 1);
            labels.push_back(label);
        }
        row->addWidget(panelRow, 1);
        layout->addWidget(row);
        statusBars_.push_back(row);
        panelLayouts_.push_back(panelLayout);
        panels_.push_back(std::move(labels));
    }
    return rows;
}

void MainWindowView::menuChosen(const std::string& name)
{
    if (const std::optional<Arrangement> arrangement = arrangementOf(name)) {
        arrangeSubWindows(*mdiArea_, *arrangement);
        return;
    }
    app_.menuCommand(name);
}

void MainWindowView::listChildWindows()
{
    for (QAction* entry : windowListActions_) {
        windowMenu_->removeAction(entry);
        entry->deleteLater();
    }
    windowListActions_.clear();

    const QList<QMdiSubWindow*> windows = mdiArea_->subWindowList(QMdiArea::CreationOrder);
    int number = 0;
    for (QMdiSubWindow* window : windows) {
        if (window->isHidden())
            continue;
        if (number == 0)
            windowListActions_.push_back(windowMenu_->addSeparator());
        ++number;
        QAction* entry =
            windowMenu_->addAction(QStringLiteral("&%1 %2").arg(number).arg(window->windowTitle()));
        entry->setCheckable(true);
        entry->setChecked(window == mdiArea_->activeSubWindow());
        connect(entry, &QAction::triggered, this, [this, subWindow = QPointer<QMdiSubWindow>(window)] {
            if (subWindow)
                mdiArea_->setActiveSubWindow(subWindow);
        });
        windowListActions_.push_back(entry);
    }
}

void MainWindowView::refresh()
{
    setWindowTitle(qs(app_.mainWindow.caption()));
    // The frame itself stays enabled so that the information windows it owns can be used.
    const bool enabled = app_.mainWindow.enabled();
    menuBar()->setEnabled(enabled);
    centralWidget()->setEnabled(enabled);
    refreshMenus();
    refreshStatusBars();
}

void MainWindowView::refreshMenus()
{
    const auto show = [this](const MenuEntry& entry) {
        if (QAction* a = action(entry.name)) {
            a->setVisible(entry.visible);
            a->setEnabled(entry.enabled);
        }
    };
    for (const MenuEntry& entry : app_.mainWindow.menus()) {
        show(entry);
        for (const MenuEntry& item : entry.items)
            show(item);
    }
}

void MainWindowView::refreshStatusBars()
{
    const auto& bars = app_.mainWindow.statusBars();
    for (size_t bar = 0; bar < bars.size(); ++bar) {
        statusBars_[bar]->setVisible(bars[bar].visible);
        for (size_t panel = 0; panel < bars[bar].panels.size(); ++panel) {
            const QString text = qs(bars[bar].panels[panel]);
            QLabel* label = panels_[bar][panel];
            label->setText(text);
            label->setToolTip(text); // the whole text, should the panel still be too narrow
            panelLayouts_[bar]->setStretch(static_cast<int>(panel), panelStretch(text));
        }
    }
}

void MainWindowView::closeEvent(QCloseEvent* event)
{
    // A window that takes no input cannot be closed either; otherwise the quit flow decides.
    if (!app_.mainWindow.enabled() || !app_.mainWindowCloseRequested()) {
        event->ignore();
        return;
    }
    event->accept();
}

} // namespace orvanta::gui
