#include "gui/QtUserInterface.h"

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSpacerItem>

#include <algorithm>
#include <vector>

namespace orvanta::gui {

namespace {

const char* const answerProperty = "orvantaAnswer";

QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}

QMessageBox::Icon qtIcon(Icon icon)
{
    switch (icon) {
    case Icon::None:
        return QMessageBox::NoIcon;
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::Exclamation:
        return QMessageBox::Warning;
    case Icon::Question:
        return QMessageBox::Question;
    case Icon::Critical:
        return QMessageBox::Critical;
    // The critical and information bits together announce good news ("Minimum found using
    // Simplex!") as often as errors; the red critical icon would alarm the user for nothing.
    case Icon::CriticalInformation:
        return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

std::vector<Answer> answersOf(Buttons buttons)
{
    switch (buttons) {
    case Buttons::OK:
        return {Answer::OK};
    case Buttons::OKCancel:
        return {Answer::OK, Answer::Cancel};
    case Buttons::YesNo:
        return {Answer::Yes, Answer::No};
    case Buttons::YesNoCancel:
        return {Answer::Yes, Answer::No, Answer::Cancel};
    }
    return {Answer::OK};
}

QString buttonText(Answer answer)
{
    switch (answer) {
    case Answer::OK:
        return QMessageBox::tr("OK");
    case Answer::Yes:
        return QMessageBox::tr("&Yes");
    case Answer::No:
        return QMessageBox::tr("&No");
    case Answer::Cancel:
        return QMessageBox::tr("Cancel");
    }
    return {};
}

int defaultIndex(DefaultButton button)
{
    switch (button) {
    case DefaultButton::First:
        return 0;
    case DefaultButton::Second:
        return 1;
    case DefaultButton::Third:
        return 2;
    }
    return 0;
}

QString qtPatterns(const std::string& pattern)
{
    QStringList patterns;
    for (const QString& p : qs(pattern).split(';', Qt::SkipEmptyParts)) {
        const QString trimmed = p.trimmed();
        patterns << (trimmed == QLatin1String("*.*") ? QStringLiteral("*") : trimmed);
    }
    return patterns.join(' ');
}

// Room for the window title beside the title bar's own buttons and icon.
constexpr int titleBarAllowance = 160;
// Room beside the text for the icon and the box's margins.
constexpr int textAllowance = 100;

// QMessageBox chooses its width from the text alone and wraps long lines early, so titles and
// long lines were cut. A spacer as wide as the title or the longest line, whichever is wider,
// makes the box that wide, up to most of the screen.
void widenToFit(QMessageBox& box, const std::string& text, const std::string& title)
{
    const QFontMetrics metrics(box.font());
    int longestLine = 0;
    for (const QString& line : qs(text).split('\n'))
        longestLine = std::max(longestLine, metrics.horizontalAdvance(line));
    int width = std::max(metrics.horizontalAdvance(qs(title)) + titleBarAllowance, longestLine + textAllowance);
    if (const QScreen* screen = box.screen())
        width = std::min(width, screen->availableGeometry().width() * 9 / 10);
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Expanding), grid->rowCount(), 0,
                      1, grid->columnCount());
}

// The 1-based position of the file type shown as shown: the dialog shows the descriptions
// without their pattern lists.
int shownFilterIndex(const QStringList& filters, const QString& shown)
{
    for (qsizetype i = 0; i < filters.size(); ++i)
        if (filters[i] == shown || filters[i].startsWith(shown + QStringLiteral(" (")))
            return static_cast<int>(i) + 1;
    return 0;
}

} // namespace

QStringList nameFilters(const std::string& filter)
{
    const QStringList parts = qs(filter).split('|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty() && parts[i + 1].isEmpty())
            continue;
        // Qt reads the patterns from the last parenthesis; the description before it is shown.
        filters << parts[i] + QStringLiteral(" (") + qtPatterns(parts[i + 1].toStdString()) + ')';
    }
    return filters;
}

std::unique_ptr<QMessageBox> makeMessageBox(const std::string& text, const std::string& title,
                                            Buttons buttons, Icon icon, DefaultButton defaultButton,
                                            QWidget* parent)
{
    auto box = std::make_unique<QMessageBox>(parent);
    box->setWindowTitle(qs(title));
    box->setTextFormat(Qt::PlainText);
    box->setText(qs(text));
    box->setIcon(qtIcon(icon));
    widenToFit(*box, text, title);

    // Buttons with an action role keep the order they are added in on every platform style.
    std::vector<QPushButton*> added;
    for (Answer answer : answersOf(buttons)) {
        QPushButton* button = box->addButton(buttonText(answer), QMessageBox::ActionRole);
        button->setProperty(answerProperty, static_cast<int>(answer));
        added.push_back(button);
    }
    const auto index = static_cast<size_t>(defaultIndex(defaultButton));
    box->setDefaultButton(added[index < added.size() ? index : 0]);

    if (buttons == Buttons::YesNo) {
        // No escape button and no close button: QMessageBox then ignores Escape and close
        // requests, so the user has to answer.
        box->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    } else {
        box->setEscapeButton(added.back()); // Cancel, or OK for the OK-only box
    }
    return box;
}

Answer answerOf(const QMessageBox& box)
{
    if (const QAbstractButton* clicked = box.clickedButton())
        return static_cast<Answer>(clicked->property(answerProperty).toInt());
    const QAbstractButton* escape = box.escapeButton();
    return escape ? static_cast<Answer>(escape->property(answerProperty).toInt()) : Answer::Cancel;
}

std::unique_ptr<QFileDialog> makeFileDialog(const FileDialogRequest& request, QWidget* parent)
{
    auto dialog = std::make_unique<QFileDialog>(parent, qs(request.title));
    // Qt's own dialog, because native ones may show the pattern lists beside the descriptions.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setOption(QFileDialog::HideNameFilterDetails);
    const bool save = request.mode == FileDialogMode::Save;
    dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);

    const QStringList filters = nameFilters(request.filter);
    dialog->setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
        dialog->selectNameFilter(filters[request.filterIndex - 1]);
    if (save) {
        // A name typed without an extension gets the chosen filter's, so that the file shows in
        // the open dialog of the same kind.
        const std::string filter = request.filter;
        dialog->setDefaultSuffix(qs(filterExtension(filter, request.filterIndex)));
        QObject::connect(dialog.get(), &QFileDialog::filterSelected, dialog.get(),
                         [dialog = dialog.get(), filter, filters](const QString& shown) {
                             dialog->setDefaultSuffix(qs(filterExtension(filter, shownFilterIndex(filters, shown))));
                         });
    }
    if (!request.defaultName.empty())
        dialog->selectFile(qs(request.defaultName));
    return dialog;
}

QtUserInterface::QtUserInterface(Now now) : now_(std::move(now)) {}

QWidget* QtUserInterface::dialogParent() const
{
    return dialogParent_ ? dialogParent_.data() : QApplication::activeWindow();
}

Answer QtUserInterface::showMessage(const std::string& text, const std::string& title, Buttons buttons,
                                    Icon icon, DefaultButton defaultButton)
{
    const auto box = makeMessageBox(text, title, buttons, icon, defaultButton, dialogParent());
    box->exec();
    return answerOf(*box);
}

std::string QtUserInterface::askText(const std::string& prompt, const std::string& title,
                                     const std::string& defaultText)
{
    QInputDialog dialog(dialogParent());
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(qs(title));
    dialog.setLabelText(qs(prompt));
    dialog.setTextValue(qs(defaultText));
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.textValue().toStdString();
}

std::optional<std::string> QtUserInterface::chooseFile(const FileDialogRequest& request)
{
    const auto dialog = makeFileDialog(request, dialogParent());
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return std::nullopt;
    return QFile::encodeName(dialog->selectedFiles().constFirst()).toStdString();
}

void QtUserInterface::processPendingEvents()
{
    // Calculations call this very often; running the event loop each time would slow them down.
    const SteadyClock::time_point now = now_();
    if (lastEventRun_ && now - *lastEventRun_ < eventInterval)
        return;
    lastEventRun_ = now;
    QCoreApplication::processEvents();
}

void QtUserInterface::waitForEvents()
{
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    lastEventRun_ = now_();
}

void QtUserInterface::beep()
{
    QApplication::beep();
}

} // namespace orvanta::gui
