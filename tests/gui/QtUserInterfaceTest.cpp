#include "gui/QtUserInterface.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>

namespace orvanta::gui {
namespace {

QStringList buttonTexts(const QMessageBox& box)
{
    QList<QAbstractButton*> buttons = box.buttons();
    // As laid out on screen, left to right.
    std::sort(buttons.begin(), buttons.end(), [](auto* a, auto* b) { return a->x() < b->x(); });
    QStringList texts;
    for (const QAbstractButton* b : buttons)
        texts << b->text();
    return texts;
}

QAbstractButton* buttonWithText(const QMessageBox& box, const QString& text)
{
    for (QAbstractButton* b : box.buttons())
        if (b->text() == text)
            return b;
    return nullptr;
}

TEST(MessageBox, ShowsTextTitleAndIconExactly)
{
    const auto box = makeMessageBox("Do you want to quit Orvanta?", "Exit Orvanta", Buttons::YesNo,
                                    Icon::Question, DefaultButton::Second);
    EXPECT_EQ(box->text(), "Do you want to quit Orvanta?");
    EXPECT_EQ(box->windowTitle(), "Exit Orvanta");
    EXPECT_EQ(box->icon(), QMessageBox::Question);
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    EXPECT_EQ(makeMessageBox("x", "t", Buttons::OK, Icon::Exclamation, DefaultButton::First)->icon(),
              QMessageBox::Warning);
    EXPECT_EQ(makeMessageBox("x", "t", Buttons::OK, Icon::Critical, DefaultButton::First)->icon(),
              QMessageBox::Critical);
    // "Minimum found using Simplex!" is good news: no red critical icon.
    EXPECT_EQ(makeMessageBox("x", "t", Buttons::OK, Icon::CriticalInformation, DefaultButton::First)->icon(),
              QMessageBox::Information);
    EXPECT_EQ(makeMessageBox("x", "t", Buttons::OK, Icon::None, DefaultButton::First)->icon(),
              QMessageBox::NoIcon);
}

// The box is wide enough for its title beside the title bar's buttons, and for its longest line.
TEST(MessageBox, IsWideEnoughForItsTitleAndLongestLine)
{
    const std::string title = "What about algorithm data?";
    const std::string line = "Algorithm data will be lost during this initialization, so save them first if you need them.";
    for (const auto& [text, widest] : {std::pair{std::string("Save algorithm data?"), title},
                                       std::pair{"Short\n" + line + "\nShort", line}}) {
        const auto box = makeMessageBox(text, title, Buttons::YesNo, Icon::Question, DefaultButton::First);
        box->show();
        const QFontMetrics metrics(box->font());
        EXPECT_GE(box->width(), metrics.horizontalAdvance(QString::fromStdString(widest))) << widest;
        const auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        ASSERT_NE(label, nullptr);
        EXPECT_LE(label->height(), 4 * metrics.lineSpacing()) << "the longest line was wrapped";
    }
}

TEST(MessageBox, ButtonsAppearInTheirOrderWithTheNamedDefault)
{
    const auto yesNoCancel =
        makeMessageBox("Save?", "Initialize", Buttons::YesNoCancel, Icon::Exclamation, DefaultButton::First);
    yesNoCancel->show();
    EXPECT_EQ(buttonTexts(*yesNoCancel), QStringList({"&Yes", "&No", "Cancel"}));
    EXPECT_EQ(yesNoCancel->defaultButton()->text(), "&Yes");

    const auto yesNo = makeMessageBox("Quit?", "Exit", Buttons::YesNo, Icon::Question, DefaultButton::Second);
    yesNo->show();
    EXPECT_EQ(buttonTexts(*yesNo), QStringList({"&Yes", "&No"}));
    EXPECT_EQ(yesNo->defaultButton()->text(), "&No");

    const auto ok = makeMessageBox("Done", "Note", Buttons::OK, Icon::Information, DefaultButton::First);
    EXPECT_EQ(buttonTexts(*ok), QStringList({"OK"}));
}

TEST(MessageBox, ClickedButtonIsTheAnswer)
{
    const auto box =
        makeMessageBox("Save?", "Initialize", Buttons::YesNoCancel, Icon::Exclamation, DefaultButton::First);
    box->show();
    buttonWithText(*box, "&No")->click();
    EXPECT_FALSE(box->isVisible());
    EXPECT_EQ(answerOf(*box), Answer::No);
}

TEST(MessageBox, ClosingCountsAsCancelOrOk)
{
    const auto withCancel =
        makeMessageBox("Save?", "Initialize", Buttons::YesNoCancel, Icon::Exclamation, DefaultButton::First);
    withCancel->show();
    EXPECT_TRUE(withCancel->close());
    EXPECT_EQ(answerOf(*withCancel), Answer::Cancel);

    const auto okOnly = makeMessageBox("Done", "Note", Buttons::OK, Icon::Information, DefaultButton::First);
    okOnly->show();
    EXPECT_TRUE(okOnly->close());
    EXPECT_EQ(answerOf(*okOnly), Answer::OK);
}

TEST(MessageBox, YesNoBoxCannotBeClosedOrEscapedWithoutAnAnswer)
{
    const auto box = makeMessageBox("Quit?", "Exit", Buttons::YesNo, Icon::Question, DefaultButton::Second);
    EXPECT_FALSE(box->windowFlags().testFlag(Qt::WindowCloseButtonHint));
    box->show();

    EXPECT_FALSE(box->close());
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(box.get(), &escape);
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->clickedButton(), nullptr);

    buttonWithText(*box, "&Yes")->click();
    EXPECT_EQ(answerOf(*box), Answer::Yes);
}

TEST(MessageBox, EscapeAnswersCancel)
{
    const auto box =
        makeMessageBox("Save?", "Initialize", Buttons::YesNoCancel, Icon::Exclamation, DefaultButton::First);
    box->show();
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(box.get(), &escape);
    EXPECT_FALSE(box->isVisible());
    EXPECT_EQ(answerOf(*box), Answer::Cancel);
}

TEST(FileFilter, KeepsTheDescriptionsAndMatchesEveryFileForAllFiles)
{
    EXPECT_EQ(nameFilters("All files (*.*)|*.*|Output files (*.ovo)|*.ovo"),
              QStringList({"All files (*.*) (*)", "Output files (*.ovo) (*.ovo)"}));
    EXPECT_EQ(nameFilters("Text (*.txt;*.dat)|*.txt;*.dat"),
              QStringList({"Text (*.txt;*.dat) (*.txt *.dat)"}));
    EXPECT_TRUE(nameFilters("").isEmpty());
}

FileDialogRequest summaryRequest()
{
    FileDialogRequest request;
    request.mode = FileDialogMode::Save;
    request.title = "Save summary in...";
    request.filter = "All files (*.*)|*.*|Output files (*.ovo)|*.ovo";
    request.filterIndex = 2;
    request.defaultName = "Tarnfield_Results.ovo";
    return request;
}

TEST(FileDialog, ShowsTitleFiltersAndDefaultName)
{
    const auto dialog = makeFileDialog(summaryRequest());
    EXPECT_EQ(dialog->windowTitle(), "Save summary in...");
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_FALSE(dialog->testOption(QFileDialog::DontConfirmOverwrite));

    const auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
    ASSERT_NE(types, nullptr);
    ASSERT_EQ(types->count(), 2);
    EXPECT_EQ(types->itemText(0), "All files (*.*)");
    EXPECT_EQ(types->itemText(1), "Output files (*.ovo)");
    EXPECT_EQ(types->currentIndex(), 1);
    EXPECT_EQ(dialog->findChild<QFileSystemModel*>()->nameFilters(), QStringList({"*.ovo"}));

    const auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->text(), "Tarnfield_Results.ovo");
}

TEST(FileDialog, OpenModeAndFirstFilter)
{
    FileDialogRequest request = summaryRequest();
    request.mode = FileDialogMode::Open;
    request.filterIndex = 1;
    request.defaultName.clear();
    const auto dialog = makeFileDialog(request);
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFile);
    // "All files" lists every file, with or without a dot in its name.
    const auto* files = dialog->findChild<QFileSystemModel*>();
    ASSERT_NE(files, nullptr);
    EXPECT_EQ(files->nameFilters(), QStringList({"*"}));
}

// Runs action on the modal dialog once its event loop has started.
template <typename Dialog, typename Action> void whenModal(Action action)
{
    QTimer::singleShot(0, [action] {
        if (auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget()))
            action(*dialog);
    });
}

TEST(QtUserInterface, ShowMessageAnswersWithTheClickedButton)
{
    QtUserInterface ui;
    whenModal<QMessageBox>([](QMessageBox& box) { buttonWithText(box, "&No")->click(); });
    EXPECT_EQ(
        ui.showMessage("Save?", "Initialize", Buttons::YesNoCancel, Icon::Exclamation, DefaultButton::First),
        Answer::No);
}

TEST(QtUserInterface, AskTextReturnsTheTypedTextOrNothingWhenCancelled)
{
    QtUserInterface ui;
    whenModal<QInputDialog>([](QInputDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Title");
        EXPECT_EQ(dialog.labelText(), "Name of the fit:");
        EXPECT_EQ(dialog.textValue(), "fit 1");
        dialog.setTextValue(" fit 2 ");
        dialog.accept();
    });
    EXPECT_EQ(ui.askText("Name of the fit:", "Title", "fit 1"), " fit 2 ");

    whenModal<QInputDialog>([](QInputDialog& dialog) {
        dialog.setTextValue("typed");
        dialog.reject();
    });
    EXPECT_EQ(ui.askText("Name of the fit:", "Title", "fit 1"), "");
}

TEST(FileDialog, ChosenFileIsThePath)
{
    orvanta::testing::TempDir dir;
    const std::string path = dir.file("fit.ovo");
    QtUserInterface ui;
    whenModal<QFileDialog>([path](QFileDialog& dialog) {
        dialog.selectFile(QString::fromStdString(path));
        QMetaObject::invokeMethod(&dialog, "accept");
    });
    EXPECT_EQ(ui.chooseFile(summaryRequest()), path);
}

// A name typed without an extension is saved with the chosen filter's; "All files" adds none.
TEST(FileDialog, ATypedNameWithoutExtensionGetsTheFiltersExtension)
{
    orvanta::testing::TempDir dir;
    QtUserInterface ui;
    struct Case {
        int filterIndex;
        int switchedTo; // the type the user picks in the dialog; 0: none
        const char* saved;
    };
    for (const Case c : {Case{2, 0, "fit.ovo"}, Case{1, 0, "fit"}, Case{2, 1, "fit"}, Case{1, 2, "fit.ovo"}}) {
        FileDialogRequest request = summaryRequest();
        request.filterIndex = c.filterIndex;
        whenModal<QFileDialog>([&dir, c](QFileDialog& dialog) {
            if (c.switchedTo != 0) {
                // What choosing a type with the mouse does.
                auto* types = dialog.findChild<QComboBox*>("fileTypeCombo");
                types->setCurrentIndex(c.switchedTo - 1);
                emit types->activated(c.switchedTo - 1);
                emit types->textActivated(types->currentText());
            }
            dialog.selectFile(QString::fromStdString(dir.file("fit")));
            QMetaObject::invokeMethod(&dialog, "accept");
        });
        EXPECT_EQ(ui.chooseFile(request), dir.file(c.saved)) << c.filterIndex << " " << c.switchedTo;
    }
}

TEST(FileDialog, CancelGivesNoPath)
{
    QtUserInterface ui;
    whenModal<QFileDialog>([](QFileDialog& dialog) { dialog.reject(); });
    EXPECT_EQ(ui.chooseFile(summaryRequest()), std::nullopt);
}

TEST(PendingEvents, RunAtMostOncePerInterval)
{
    using namespace std::chrono_literals;
    QtUserInterface::SteadyClock::time_point now{};
    QtUserInterface ui([&now] { return now; });
    int ran = 0;
    const auto post = [&ran] {
        QMetaObject::invokeMethod(
            qApp, [&ran] { ++ran; }, Qt::QueuedConnection);
    };

    post();
    ui.processPendingEvents();
    EXPECT_EQ(ran, 1);

    post();
    now += 10ms;
    ui.processPendingEvents();
    EXPECT_EQ(ran, 1);

    now += 6ms;
    ui.processPendingEvents();
    EXPECT_EQ(ran, 2);
}

} // namespace
} // namespace orvanta::gui
