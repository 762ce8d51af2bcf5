#include "gui/LoadPriorsWindowView.h"

#include "gui/ControlBinding.h"
#include "priors/PriorsFlow.h"

#include <QPushButton>
#include <QVBoxLayout>

namespace orvanta::gui {

LoadPriorsWindowView::LoadPriorsWindowView(LoadPriorsWindow& window, Application& app)
    : WindowView(window, app)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 14);
    layout->setSpacing(8);
    QPushButton* previous = nullptr;
    // The buttons stand in their tab order.
    for (const CommandButton& design : window.buttons()) {
        QPushButton* button = makePushButton(design.name, this);
        const std::string name = design.name;
        connect(button, &QPushButton::clicked, this, [this, name] {
            if (this->model())
                loadPriorsButtonClicked(this->app(), name);
        });
        layout->addWidget(button);
        if (previous)
            setTabOrder(previous, button);
        previous = button;
        buttons_[name] = button;
    }
    layout->addStretch(1);
}

QPushButton* LoadPriorsWindowView::button(const std::string& name) const
{
    const auto it = buttons_.find(name);
    return it == buttons_.end() ? nullptr : it->second;
}

void LoadPriorsWindowView::closeRequested()
{
    if (model())
        loadPriorsCloseRequested(app());
}

void LoadPriorsWindowView::refreshContent()
{
    for (const CommandButton& shown : static_cast<const LoadPriorsWindow*>(model())->buttons()) {
        QPushButton* b = button(shown.name);
        showCommandButton(*b, shown);
        fitButtonToCaption(*b);
    }
}

WindowView* makeLoadPriorsWindowView(Window& window, Application& app, MainWindowView& /*mainWindow*/)
{
    if (auto* model = dynamic_cast<LoadPriorsWindow*>(&window))
        return new LoadPriorsWindowView(*model, app);
    return nullptr;
}

} // namespace orvanta::gui
