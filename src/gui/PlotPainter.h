#pragma once

#include "plots/PlotSurface.h"

#include <QImage>
#include <QRectF>

class QPainter;

namespace orvanta::gui {

// Paints a plot picture (twip coordinates) into target, scaled uniformly so that the whole
// picture fits and centred; lines are one device pixel wide, texts scale with the picture.
void paintPicture(QPainter& painter, const PlotPicture& picture, const QRectF& target);

// The picture as an image at dotsPerInch (the twip extent decides the size in pixels).
QImage pictureImage(const PlotPicture& picture, int dotsPerInch = 144);

// The picture as PNG bytes.
std::string pictureAsPng(const PlotPicture& picture);

} // namespace orvanta::gui
