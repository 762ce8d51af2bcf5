#pragma once

#include "gui/WindowView.h"

#include <QFont>

class QPushButton;
class QTextEdit;

namespace orvanta {
class ReportWindow;
}

namespace orvanta::gui {

// The reports' font: "Courier New" or the fixed-pitch font the system offers in its place, so
// that report columns line up.
QFont courierFont();

// Lets text wrap at a right margin given in twips, or at the box's width when there is none.
void setRightMargin(QTextEdit& textBox, const std::optional<int>& rightMarginTwips);

// A text report that the user may edit and, in most report windows, save. The save button sits
// at the top left above the text box; both follow the window's size as the engine lays them out.
class ReportWindowView : public WindowView {
    Q_OBJECT
public:
    ReportWindowView(ReportWindow& window, Application& app);

    QTextEdit& textBox() const { return *text_; }
    QPushButton* saveButton() const { return save_; }

protected:
    void refreshContent() override;
    void layoutContent(bool opening) override;
    QSize designFrameSize() override;

private:
    ReportWindow* report() const;
    void save();
    void textEdited();

    QTextEdit* text_ = nullptr;
    QPushButton* save_ = nullptr;
    bool showingModelText_ = false;
};

} // namespace orvanta::gui
