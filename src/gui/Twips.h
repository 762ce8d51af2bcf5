#pragma once

#include <QPoint>
#include <QSize>
#include <QWidget>

#include <cmath>

namespace orvanta::gui {

inline constexpr int twipsPerInch = 1440;

// Positions and sizes in the engine are twips (1/1440 inch); on screen they become pixels at
// the screen's logical resolution, so a window keeps its physical size at any dpi setting.
inline int twipsToPixels(int twips, int logicalDpi)
{
    return static_cast<int>(std::lround(static_cast<double>(twips) * logicalDpi / twipsPerInch));
}

inline int pixelsToTwips(int pixels, int logicalDpi)
{
    return static_cast<int>(std::lround(static_cast<double>(pixels) * twipsPerInch / logicalDpi));
}

// The conversion for one widget's screen, horizontally and vertically.
class TwipScale {
public:
    TwipScale(int dpiX, int dpiY) : dpiX_(dpiX), dpiY_(dpiY) {}
    explicit TwipScale(const QWidget& widget) : TwipScale(widget.logicalDpiX(), widget.logicalDpiY()) {}

    int x(int twips) const { return twipsToPixels(twips, dpiX_); }
    int y(int twips) const { return twipsToPixels(twips, dpiY_); }
    QPoint point(int left, int top) const { return {x(left), y(top)}; }
    QSize size(int width, int height) const { return {x(width), y(height)}; }

    int twipsX(int pixels) const { return pixelsToTwips(pixels, dpiX_); }
    int twipsY(int pixels) const { return pixelsToTwips(pixels, dpiY_); }

private:
    int dpiX_;
    int dpiY_;
};

} // namespace orvanta::gui
