#include "gui/InfoWindowView.h"

#include "app/Application.h"
#include "app/InfoWindows.h"
#include "gui/Twips.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace orvanta::gui {

namespace {
constexpr int designWidth = 10500; // twips
constexpr int designHeight = 8400;
} // namespace

InfoWindowView::InfoWindowView(InfoWindow& window, Application& app, QWidget* mainWindow)
    : WindowView(window, app, mainWindow)
{
    // A window of its own that stays above the main window it belongs to.
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);

    text_ = new QPlainTextEdit(this);
    text_->setObjectName(qs(window.textBoxName()));
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::WidgetWidth);

    ok_ = new QPushButton(qs(window.okButton().caption), this);
    ok_->setObjectName(qs(window.okButton().name));
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, [this] { closeRequested(); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_, 1);
    layout->addLayout(buttons);
    ok_->setFocus();
}

void InfoWindowView::closeRequested()
{
    if (model())
        app().infoWindowClosed(model()->name());
}

void InfoWindowView::refreshContent()
{
    const auto* window = static_cast<const InfoWindow*>(model());
    const QString text = qs(window->text());
    if (text_->toPlainText() != text)
        text_->setPlainText(text);
}

QSize InfoWindowView::designFrameSize()
{
    return TwipScale(*this).size(designWidth, designHeight);
}

void InfoWindowView::closeEvent(QCloseEvent* event)
{
    // The engine closes the window; the title-bar button counts as "OK".
    event->ignore();
    closeRequested();
}

} // namespace orvanta::gui
