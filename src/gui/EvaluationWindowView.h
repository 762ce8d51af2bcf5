#pragma once

#include "gui/WindowView.h"

#include <map>
#include <string>

class QLabel;
class QPushButton;

namespace orvanta {
class EvaluationWindow;
}

namespace orvanta::gui {

class MainWindowView;

// "frmParEvals": the choice of a maximum-likelihood profile or a Bayesian posterior for one
// parameter, with the notes on what the results mean, and "&Cancel".
class EvaluationWindowView : public WindowView {
    Q_OBJECT
public:
    EvaluationWindowView(EvaluationWindow& window, Application& app);

    QLabel* label(const std::string& name) const;
    QPushButton* button(const std::string& name) const;

protected:
    void refreshContent() override;
    QSize designFrameSize() override;

private:
    EvaluationWindow* evaluation() const;

    std::map<std::string, QLabel*> labels_;
    std::map<std::string, QPushButton*> buttons_;
};

// The view of frmParEvals, or nullptr for another window.
WindowView* makeEvaluationWindowView(Window& window, Application& app, MainWindowView& mainWindow);

} // namespace orvanta::gui
