#pragma once

#include <QMainWindow>

#include <map>
#include <string>
#include <vector>

class QAction;
class QHBoxLayout;
class QLabel;
class QMdiArea;
class QMenu;
class QStatusBar;

namespace orvanta {
class Application;
struct MenuEntry;
} // namespace orvanta

namespace orvanta::gui {

// "frmMain": the multiple-document frame with the engine's menu bar and its six status bars.
// Menu entries go to the engine, except the window arrangements, which only move windows.
class MainWindowView : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindowView(Application& app);
    ~MainWindowView() override;

    QMdiArea& mdiArea() const { return *mdiArea_; }

    // The menu entry or menu of that name (a menu's own action for menus).
    QAction* action(const std::string& name) const;

    // Fills the window list of the "&Window" menu; runs whenever the menu opens.
    void listChildWindows();

    void refresh();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void addEntry(QMenu& menu, const MenuEntry& entry);
    QWidget* buildStatusBars();
    void menuChosen(const std::string& name);
    void refreshMenus();
    void refreshStatusBars();

    Application& app_;
    int subscription_ = 0;
    QMdiArea* mdiArea_ = nullptr;
    std::map<std::string, QAction*> actions_;
    QMenu* windowMenu_ = nullptr;
    std::vector<QAction*> windowListActions_;
    std::vector<QStatusBar*> statusBars_;
    std::vector<QHBoxLayout*> panelLayouts_;
    std::vector<std::vector<QLabel*>> panels_;
};

} // namespace orvanta::gui
