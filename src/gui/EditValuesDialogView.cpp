#include "gui/EditValuesDialogView.h"

#include "algorithm/EditValuesDialog.h"
#include "gui/ControlBinding.h"
#include "gui/MainWindowView.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace orvanta::gui {

EditValuesDialogView::EditValuesDialogView(EditValuesDialog& dialog, Application& app, QWidget* mainWindow)
    : WindowView(dialog, app, mainWindow)
{
    // A window of its own above the main window; like a modal dialog, it holds the rest back.
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
    setWindowModality(Qt::ApplicationModal);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 14);
    layout->setSpacing(8);
    for (const CommandButton& model : dialog.buttons()) {
        QPushButton* button = makePushButton(model.name, this);
        const std::string name = model.name;
        connect(button, &QPushButton::clicked, this, [this, name] {
            // The dialog is gone once the engine has handled the click.
            if (EditValuesDialog* d = this->dialog())
                d->buttonClicked(name);
        });
        buttons_[name] = button;
        layout->addWidget(button);
    }
    note_ = new QLabel(this);
    note_->setObjectName(QStringLiteral("lblNote"));
    note_->setTextFormat(Qt::PlainText);
    note_->setWordWrap(true);
    layout->addSpacing(6);
    layout->addWidget(note_);
    if (!dialog.buttons().empty())
        button(dialog.buttons().front().name)->setFocus();
}

EditValuesDialog* EditValuesDialogView::dialog() const
{
    return static_cast<EditValuesDialog*>(model());
}

QPushButton* EditValuesDialogView::button(const std::string& name) const
{
    const auto it = buttons_.find(name);
    return it == buttons_.end() ? nullptr : it->second;
}

void EditValuesDialogView::refreshContent()
{
    const EditValuesDialog& d = *dialog();
    for (const CommandButton& model : d.buttons()) {
        QPushButton* b = button(model.name);
        b->setText(qs(model.caption));
        b->setToolTip(qs(model.toolTip));
        b->setEnabled(model.enabled);
    }
    note_->setText(qs(d.note()));
}

void EditValuesDialogView::closeRequested()
{
    if (EditValuesDialog* d = dialog())
        d->closeRequested();
}

void EditValuesDialogView::closeEvent(QCloseEvent* event)
{
    // The engine closes the window.
    event->ignore();
    closeRequested();
}

WindowView* makeEditValuesDialogView(Window& window, Application& app, MainWindowView& mainWindow)
{
    if (auto* model = dynamic_cast<EditValuesDialog*>(&window))
        return new EditValuesDialogView(*model, app, &mainWindow);
    return nullptr;
}

} // namespace orvanta::gui
