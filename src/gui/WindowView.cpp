#include "gui/WindowView.h"

#include "app/Application.h"
#include "gui/Twips.h"

#include <QLayout>
#include <QMdiSubWindow>

namespace orvanta::gui {

namespace {

bool sameGeometry(const TwipGeometry& a, const TwipGeometry& b)
{
    return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
}

// Layouts keep the size hints they computed until they are activated again, which a hidden
// window never is; nested layouts need invalidating one by one.
void invalidateAll(QLayout& layout)
{
    for (int i = 0; i < layout.count(); ++i) {
        QLayoutItem* item = layout.itemAt(i);
        if (QLayout* nested = item->layout())
            invalidateAll(*nested);
        else
            item->invalidate();
    }
    layout.invalidate();
}

} // namespace

WindowView::WindowView(Window& model, Application& app, QWidget* parent)
    : QWidget(parent), model_(&model), app_(app)
{
    subscription_ = model.subscribe([this] { refresh(); });
}

WindowView::~WindowView()
{
    detach();
}

void WindowView::detach()
{
    if (model_)
        model_->unsubscribe(subscription_);
    model_ = nullptr;
}

QWidget& WindowView::frame()
{
    if (!isWindow())
        if (auto* subWindow = qobject_cast<QMdiSubWindow*>(parentWidget()))
            return *subWindow;
    return *this;
}

void WindowView::refresh()
{
    if (!model_)
        return;
    QWidget& f = frame();
    f.setWindowTitle(qs(model_->caption()));
    f.setEnabled(model_->enabled());
    // Content first: the design size of a window depends on what it shows.
    refreshContent();
    if (!appliedGeometry_ || !sameGeometry(*appliedGeometry_, model_->geometry()))
        applyGeometry(model_->geometry());
    f.setVisible(model_->visible());
}

void WindowView::closeRequested()
{
    if (model_)
        app_.desktop.close(model_->name());
}

QSize WindowView::designFrameSize()
{
    if (layout())
        invalidateAll(*layout());
    return frame().sizeHint();
}

void WindowView::applyGeometry(const TwipGeometry& geometry)
{
    QWidget& f = frame();
    const TwipScale scale(f);
    QSize size = appliedGeometry_ ? f.size() : designFrameSize();
    if (geometry.width)
        size.setWidth(scale.x(*geometry.width));
    if (geometry.height)
        size.setHeight(scale.y(*geometry.height));
    f.resize(size);
    if (geometry.left || geometry.top) {
        QPoint position = f.pos();
        if (geometry.left)
            position.setX(scale.x(*geometry.left));
        if (geometry.top)
            position.setY(scale.y(*geometry.top));
        f.move(position);
    } else if (!appliedGeometry_ && f.isWindow() && f.parentWidget()) {
        // A window of its own without a design position opens over the middle of its owner.
        QRect placed(QPoint(), size);
        placed.moveCenter(f.parentWidget()->window()->geometry().center());
        f.move(placed.topLeft());
    }
    appliedGeometry_ = geometry;
    layoutContent(!laidOut_);
    laidOut_ = true;
}

void WindowView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // Resizes before the model's geometry was applied come from setting the view up.
    if (laidOut_)
        layoutContent(false);
}

} // namespace orvanta::gui
