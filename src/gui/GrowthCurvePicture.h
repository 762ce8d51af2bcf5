#pragma once

#include <QPixmap>

namespace orvanta::gui {

// The main menu's decorative picture and the program's icon: a von Bertalanffy growth curve
// through a few measured sizes.
QPixmap growthCurvePicture(QSize size, qreal devicePixelRatio);

} // namespace orvanta::gui
