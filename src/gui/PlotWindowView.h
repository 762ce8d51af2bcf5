#pragma once

#include "gui/WindowView.h"

#include <map>
#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace orvanta {
class PlotWindow;
}

namespace orvanta::gui {

class MainWindowView;

// The drawing surface of a plot window: paints the window's picture scaled to the widget, so a
// resized window still shows the whole plot.
class PlotGraphWidget : public QWidget {
public:
    PlotGraphWidget(const PlotWindow& window, QWidget* parent);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const PlotWindow& window_;
};

// The view of any plot window: the graph on the left, the window's controls in columns beside
// it (frames as group boxes), and "Save &picture..." under the last column. It renders the
// engine's control states and forwards clicks, double clicks, typing and the close box.
class PlotWindowView : public WindowView {
    Q_OBJECT
public:
    PlotWindowView(PlotWindow& window, Application& app);

    PlotGraphWidget& graph() const { return *graph_; }
    QPushButton& savePictureButton() const { return *savePicture_; }

    void closeRequested() override;

protected:
    void refreshContent() override;
    QSize designFrameSize() override;

private:
    PlotWindow* plot() const;
    QWidget* makeControl(const std::string& name);

    PlotGraphWidget* graph_ = nullptr;
    QPushButton* savePicture_ = nullptr;
    std::map<std::string, QWidget*> widgets_; // by control name
};

// The view of a plot window, or nullptr for another window.
WindowView* makePlotWindowView(Window& window, Application& app, MainWindowView& mainWindow);

} // namespace orvanta::gui
