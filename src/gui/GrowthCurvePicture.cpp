#include "gui/GrowthCurvePicture.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <iterator>

namespace orvanta::gui {

QPixmap growthCurvePicture(QSize size, qreal devicePixelRatio)
{
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);

    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area(0.5, 0.5, size.width() - 1.0, size.height() - 1.0);
    painter.setPen(QPen(QColor(0x8a, 0xa4, 0xb8), 1.0));
    painter.setBrush(QColor(0xf4, 0xf8, 0xfb));
    painter.drawRoundedRect(area, 6, 6);

    // Plot area with axes.
    const QRectF plot = area.adjusted(12, 10, -8, -12);
    painter.setPen(QPen(QColor(0x55, 0x66, 0x77), 1.2));
    painter.drawLine(plot.bottomLeft(), plot.topLeft());
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());

    // Von Bertalanffy growth: size = lInf * (1 - exp(-k * age)).
    const double lInf = 0.88;
    const double k = 0.45;
    auto toPoint = [&](double age, double length) {
        return QPointF(plot.left() + age / 8.0 * plot.width(), plot.bottom() - length * plot.height());
    };
    QPainterPath curve;
    for (int step = 0; step <= 80; ++step) {
        const double age = step / 10.0;
        const QPointF p = toPoint(age, lInf * (1.0 - std::exp(-k * age)));
        step == 0 ? curve.moveTo(p) : curve.lineTo(p);
    }
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0x1f, 0x6f, 0x8b), 2.2, Qt::SolidLine, Qt::RoundCap));
    painter.drawPath(curve);

    // Measured sizes scattered about the curve.
    const double ages[] = {0.6, 1.3, 2.0, 2.6, 3.4, 4.1, 5.0, 5.8, 6.7, 7.4};
    const double offsets[] = {0.05, -0.06, 0.04, -0.03, 0.06, -0.05, 0.03, -0.04, 0.05, -0.02};
    painter.setPen(QPen(QColor(0x9c, 0x4a, 0x1a), 1.0));
    painter.setBrush(QColor(0xf0, 0x8c, 0x3c));
    const qreal radius = std::max(2.0, size.width() / 40.0);
    for (size_t i = 0; i < std::size(ages); ++i)
        painter.drawEllipse(toPoint(ages[i], lInf * (1.0 - std::exp(-k * ages[i])) + offsets[i]), radius,
                            radius);
    return pixmap;
}

} // namespace orvanta::gui
