#include "gui/PlotPainter.h"

#include "gui/ClassicPalette.h"

#include <QBuffer>
#include <QFont>
#include <QPainter>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace orvanta::gui {

namespace {

constexpr double twipsPerInch = 1440.0;
constexpr double textHeightTwips = 160.0;  // 8 points
constexpr double lineSpacingTwips = 195.0; // as the SVG writer spaces lines

Qt::PenStyle penStyle(LineStyle style)
{
    switch (style) {
    case LineStyle::Dashed:
        return Qt::DashLine;
    case LineStyle::Dotted:
        return Qt::DotLine;
    case LineStyle::Solid:
        break;
    }
    return Qt::SolidLine;
}

QPen pen(int colour, LineStyle style = LineStyle::Solid)
{
    QPen p(classicPaletteColour(colour));
    p.setCosmetic(true);
    p.setWidth(1);
    p.setStyle(penStyle(style));
    return p;
}

void paintText(QPainter& painter, const PlotPrimitive& p, double scale, const QPointF& at)
{
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::Monospace);
    font.setPixelSize(std::max(6, static_cast<int>(std::lround(textHeightTwips * scale))));
    painter.setFont(font);
    painter.setPen(pen(p.colour));
    const double ascent = painter.fontMetrics().ascent();
    const QStringList lines = QString::fromStdString(p.text).split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i)
        painter.drawText(at + QPointF(0.0, ascent + i * lineSpacingTwips * scale), lines[i]);
}

} // namespace

void paintPicture(QPainter& painter, const PlotPicture& picture, const QRectF& target)
{
    if (picture.width <= 0.0 || picture.height <= 0.0)
        return;
    const double scale = std::min(target.width() / picture.width, target.height() / picture.height);
    const QPointF origin(target.left() + (target.width() - picture.width * scale) / 2.0,
                         target.top() + (target.height() - picture.height * scale) / 2.0);
    const auto at = [&](double x, double y) { return origin + QPointF(x * scale, y * scale); };

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    for (const PlotPrimitive& p : picture.primitives) {
        switch (p.kind) {
        case PlotPrimitive::Kind::Clear:
            painter.fillRect(QRectF(origin, QSizeF(picture.width * scale, picture.height * scale)),
                             Qt::white);
            break;
        case PlotPrimitive::Kind::Line:
            painter.setPen(pen(p.colour, p.style));
            painter.drawLine(at(p.x1, p.y1), at(p.x2, p.y2));
            break;
        case PlotPrimitive::Kind::Point:
            painter.setPen(pen(p.colour));
            painter.drawPoint(at(p.x1, p.y1));
            break;
        case PlotPrimitive::Kind::Circle: {
            const double r = std::max(1.5, p.radius * scale);
            painter.setPen(pen(p.colour));
            painter.setBrush(classicPaletteColour(p.colour));
            painter.drawEllipse(at(p.x1, p.y1), r, r);
            painter.setBrush(Qt::NoBrush);
            break;
        }
        case PlotPrimitive::Kind::Box:
            painter.setPen(pen(p.colour));
            painter.setBrush(classicPaletteColour(p.colour));
            painter.drawRect(QRectF(at(p.x1, p.y1), at(p.x2, p.y2)).normalized());
            painter.setBrush(Qt::NoBrush);
            break;
        case PlotPrimitive::Kind::Text:
            paintText(painter, p, scale, at(p.x1, p.y1));
            break;
        }
    }
    painter.restore();
}

QImage pictureImage(const PlotPicture& picture, int dotsPerInch)
{
    const QSize size(static_cast<int>(std::lround(picture.width * dotsPerInch / twipsPerInch)),
                     static_cast<int>(std::lround(picture.height * dotsPerInch / twipsPerInch)));
    QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    image.fill(Qt::white);
    const int dotsPerMetre = static_cast<int>(std::lround(dotsPerInch / 0.0254));
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    QPainter painter(&image);
    paintPicture(painter, picture, QRectF(QPointF(0, 0), QSizeF(image.size())));
    return image;
}

std::string pictureAsPng(const PlotPicture& picture)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    pictureImage(picture).save(&buffer, "PNG");
    return bytes.toStdString();
}

} // namespace orvanta::gui
