#pragma once

#include "gui/WindowView.h"

#include <map>
#include <string>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace orvanta {
class RankingWindow;
}

namespace orvanta::gui {

class MainWindowView;

// "frmRank": the command buttons in a column on the left with the C-hat box, the labels, the
// grid grdRank in the engine's colours and the averaging results box. Clicks, double-clicks on
// the grid and the close box go to the engine.
class RankingWindowView : public WindowView {
    Q_OBJECT
public:
    RankingWindowView(RankingWindow& window, Application& app);

    QTableWidget& grid() const { return *grid_; }
    QPushButton* button(const std::string& name) const;

    void closeRequested() override;

protected:
    void refreshContent() override;
    QSize designFrameSize() override;

private:
    RankingWindow* ranking() const;
    void createGrid();
    void arrange();
    void refreshGrid(const RankingWindow& window);
    void widenColumn(int column, const std::string& text, bool bold);
    // Runs an action of the engine window; closing actions destroy it on the way.
    template <typename Action> void forward(Action action);

    std::map<std::string, QPushButton*> buttons_;
    std::map<std::string, QLabel*> labels_;
    QLineEdit* cHat_ = nullptr;
    QTableWidget* grid_ = nullptr;
    QPlainTextEdit* average_ = nullptr;
    int focusSerial_ = 0; // the engine's last focus request that was followed
};

// The view of the ranking window, for DesktopView::addViewFactory.
WindowView* makeRankingWindowView(Window& window, Application& app, MainWindowView& mainWindow);

} // namespace orvanta::gui
