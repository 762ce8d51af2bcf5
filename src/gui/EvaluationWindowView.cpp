#include "gui/EvaluationWindowView.h"

#include "gui/ControlBinding.h"
#include "gui/Twips.h"
#include "uncertainty/EvaluationWindow.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace orvanta::gui {

namespace {
constexpr int designWidth = 6600; // twips
constexpr int designHeight = 4200;
} // namespace

EvaluationWindowView::EvaluationWindowView(EvaluationWindow& window, Application& app)
    : WindowView(window, app)
{
    auto* layout = new QVBoxLayout(this);
    for (const auto& [name, text] : window.labels()) {
        QLabel* label = makePlainLabel(name, this);
        label->setWordWrap(true);
        labels_[name] = label;
        layout->addWidget(label);
        if (name == "lblChoice") {
            // The two choices and Cancel follow the question; the notes come after them.
            for (const CommandButton& b : window.buttons()) {
                QPushButton* button = makePushButton(b.name, this);
                buttons_[b.name] = button;
                layout->addWidget(button);
                const std::string buttonName = b.name;
                connect(button, &QPushButton::clicked, this, [this, buttonName] {
                    EvaluationWindow* w = evaluation();
                    if (!w)
                        return;
                    if (buttonName == "cmdML")
                        w->cmdML_Click();
                    else if (buttonName == "cmdBP")
                        w->cmdBP_Click();
                    else
                        w->cmdCancel_Click();
                });
            }
            layout->addSpacing(8);
        }
    }
    layout->addStretch(1);
}

EvaluationWindow* EvaluationWindowView::evaluation() const
{
    return static_cast<EvaluationWindow*>(model());
}

QLabel* EvaluationWindowView::label(const std::string& name) const
{
    const auto it = labels_.find(name);
    return it == labels_.end() ? nullptr : it->second;
}

QPushButton* EvaluationWindowView::button(const std::string& name) const
{
    const auto it = buttons_.find(name);
    return it == buttons_.end() ? nullptr : it->second;
}

void EvaluationWindowView::refreshContent()
{
    const EvaluationWindow* w = evaluation();
    for (const auto& [name, text] : w->labels())
        if (QLabel* l = label(name))
            l->setText(qs(text));
    for (const CommandButton& b : w->buttons())
        if (QPushButton* widget = button(b.name))
            showCommandButton(*widget, b);
}

QSize EvaluationWindowView::designFrameSize()
{
    return TwipScale(*this).size(designWidth, designHeight);
}

WindowView* makeEvaluationWindowView(Window& window, Application& app, MainWindowView& /*mainWindow*/)
{
    if (auto* model = dynamic_cast<EvaluationWindow*>(&window))
        return new EvaluationWindowView(*model, app);
    return nullptr;
}

} // namespace orvanta::gui
