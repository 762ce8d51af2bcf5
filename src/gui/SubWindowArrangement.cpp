#include "gui/SubWindowArrangement.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace orvanta::gui {

namespace {

QList<QMdiSubWindow*> shownWindows(const QMdiArea& area, bool minimized)
{
    QList<QMdiSubWindow*> result;
    for (QMdiSubWindow* window : area.subWindowList(QMdiArea::CreationOrder))
        if (!window->isHidden() && window->isMinimized() == minimized)
            result << window;
    return result;
}

// Splits length into count parts; the last takes what rounding leaves.
int partStart(int length, int count, int index)
{
    return static_cast<int>(static_cast<long long>(length) * index / count);
}

void tile(QMdiArea& area, bool stacked)
{
    const QList<QMdiSubWindow*> windows = shownWindows(area, false);
    const QRect space = area.viewport()->rect();
    const int count = static_cast<int>(windows.size());
    for (int i = 0; i < count; ++i) {
        QMdiSubWindow* window = windows[i];
        if (window->isMaximized())
            window->showNormal();
        if (stacked) {
            const int top = partStart(space.height(), count, i);
            window->setGeometry(0, top, space.width(), partStart(space.height(), count, i + 1) - top);
        } else {
            const int left = partStart(space.width(), count, i);
            window->setGeometry(left, 0, partStart(space.width(), count, i + 1) - left, space.height());
        }
    }
}

void lineUpIcons(QMdiArea& area)
{
    const QRect space = area.viewport()->rect();
    int left = 0;
    int bottom = space.height();
    for (QMdiSubWindow* window : shownWindows(area, true)) {
        const QSize size = window->size();
        if (left > 0 && left + size.width() > space.width()) {
            left = 0;
            bottom -= size.height();
        }
        window->move(left, bottom - size.height());
        left += size.width();
    }
}

} // namespace

std::optional<Arrangement> arrangementOf(const std::string& menuEntryName)
{
    if (menuEntryName == "mnuCascade")
        return Arrangement::Cascade;
    if (menuEntryName == "mnuTileHorizontal")
        return Arrangement::TileHorizontal;
    if (menuEntryName == "mnuTileVertical")
        return Arrangement::TileVertical;
    if (menuEntryName == "mnuArrangeIcons")
        return Arrangement::ArrangeIcons;
    return std::nullopt;
}

void arrangeSubWindows(QMdiArea& area, Arrangement arrangement)
{
    switch (arrangement) {
    case Arrangement::Cascade:
        area.cascadeSubWindows();
        break;
    case Arrangement::TileHorizontal:
        tile(area, true);
        break;
    case Arrangement::TileVertical:
        tile(area, false);
        break;
    case Arrangement::ArrangeIcons:
        lineUpIcons(area);
        break;
    }
}

} // namespace orvanta::gui
