#include "gui/MinimizerViewParts.h"

#include "gui/ControlBinding.h"
#include "gui/ReportWindowView.h"
#include "gui/Twips.h"
#include "gui/WindowView.h"

#include <QPushButton>
#include <QTextEdit>

#include <algorithm>

namespace orvanta::gui {

QTextEdit* makeProgressBox(const char* objectName, int pointSize, QWidget* parent)
{
    auto* box = new QTextEdit(parent);
    box->setObjectName(QLatin1String(objectName));
    box->setReadOnly(true);
    box->setAcceptRichText(false);
    QFont font = courierFont();
    font.setPointSize(pointSize);
    box->setFont(font);
    return box;
}

void showProgressText(QTextEdit& box, const std::string& text)
{
    const QString shown = qs(text);
    if (box.toPlainText() != shown)
        box.setPlainText(shown);
}

QPushButton* makeCommandButton(const CommandButton& button, QWidget* parent)
{
    QPushButton* widget = makePushButton(button.name, parent);
    showCommandButton(*widget, button);
    return widget;
}

QRect pixelRect(const TwipScale& scale, const TwipRect& rect, int clientWidth, int clientHeight)
{
    const int left = scale.x(rect.left);
    const int top = scale.y(rect.top);
    const int width = std::max(0, std::min(scale.x(rect.width), clientWidth - left));
    const int height = std::max(0, std::min(scale.y(rect.height), clientHeight - top));
    return {left, top, width, height};
}

} // namespace orvanta::gui
