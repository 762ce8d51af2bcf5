#pragma once

#include "ui/UserInterface.h"

#include <QPointer>
#include <QStringList>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class QFileDialog;
class QMessageBox;
class QWidget;

namespace orvanta::gui {

// A filter "description|pattern|description|pattern" as Qt name filters. Each description is
// kept exactly as written (the dialog hides Qt's own pattern list); "*.*" becomes "*" so that
// "All files" also matches names without a dot.
QStringList nameFilters(const std::string& filter);

// The message box showMessage shows, set up but not yet opened: the buttons in the order
// OK, Yes No, Yes No Cancel; closing it answers Cancel or OK, and a Yes/No box cannot be
// closed or escaped without an answer.
std::unique_ptr<QMessageBox> makeMessageBox(const std::string& text, const std::string& title,
                                            Buttons buttons, Icon icon, DefaultButton defaultButton,
                                            QWidget* parent = nullptr);

// The answer of a box made by makeMessageBox, once it has been closed.
Answer answerOf(const QMessageBox& box);

// The file dialog chooseFile shows, set up but not yet opened.
std::unique_ptr<QFileDialog> makeFileDialog(const FileDialogRequest& request, QWidget* parent = nullptr);

// Real dialogs for the engine's questions, prompts and file choices.
class QtUserInterface final : public UserInterface {
public:
    using SteadyClock = std::chrono::steady_clock;
    using Now = std::function<SteadyClock::time_point()>;

    // Pending events run at most this often from inside a calculation.
    static constexpr std::chrono::milliseconds eventInterval{15};

    explicit QtUserInterface(Now now = &SteadyClock::now);

    // The window the dialogs belong to; without one they belong to the active window.
    void setDialogParent(QWidget* parent) { dialogParent_ = parent; }

    Answer showMessage(const std::string& text, const std::string& title, Buttons buttons, Icon icon,
                       DefaultButton defaultButton) override;
    std::string askText(const std::string& prompt, const std::string& title,
                        const std::string& defaultText) override;
    std::optional<std::string> chooseFile(const FileDialogRequest& request) override;
    void processPendingEvents() override;
    void waitForEvents() override;
    void beep() override;

private:
    QWidget* dialogParent() const;

    QPointer<QWidget> dialogParent_;
    Now now_;
    std::optional<SteadyClock::time_point> lastEventRun_;
};

} // namespace orvanta::gui
