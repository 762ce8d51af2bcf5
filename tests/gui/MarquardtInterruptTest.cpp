// A Marquardt fit started from the main menu's Qt view runs inside the button's click, with the
// real event loop let through at the engine's yields: the window must repaint while the fit runs
// and "&Interrupt" must reach the run promptly.

#include "algorithm/AlgorithmData.h"
#include "app/Application.h"
#include "gui/GuiSession.h"
#include "gui/MainWindowView.h"
#include "gui/QtUserInterface.h"
#include "minimize/FakeModel.h"
#include "support/FakeClock.h"
#include "support/ScriptedUi.h"
#include "text/TextFile.h"
#include "uncertainty/PosteriorIntegration.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <optional>
#include <set>
#include <thread>

namespace orvanta::gui::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Answers from the script, but lets Qt's events run at every yield as the program's own user
// interface does, and notes when each title was first shown.
class EventRunningUi : public orvanta::testing::ScriptedUi {
public:
    void processPendingEvents() override
    {
        ScriptedUi::processPendingEvents();
        qtEvents_.processPendingEvents();
    }

    Answer showMessage(const std::string& text, const std::string& title, Buttons buttons, Icon icon,
                       DefaultButton defaultButton) override
    {
        firstShown.try_emplace(title, Clock::now());
        return ScriptedUi::showMessage(text, title, buttons, icon, defaultButton);
    }

    std::map<std::string, Clock::time_point> firstShown;

private:
    QtUserInterface qtEvents_;
};

// Counts the paintings of the Marquardt text box and the texts it showed, up to a moment.
class TextBoxPaints : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !stopped) {
            if (const auto* box = qobject_cast<const QTextEdit*>(watched->parent());
                box && box->objectName() == "rtbMarquardt") {
                ++count;
                texts.insert(box->toPlainText());
            }
        }
        return false;
    }

    int count = 0;
    std::set<QString> texts;
    bool stopped = false;
};

class MarquardtInterrupt : public ::testing::Test {
protected:
    MarquardtInterrupt()
    {
        session.mainWindow().show();
        app.start();
        app.setModel(&model);
        app.session.initializeAlready = true;
        app.session.algorithmFileName = "fit.alg";
        setTwoFreeParameters();
        app.closeMainMenu();
        app.showMainMenu(); // with the ready stage's buttons
        // The closed menu's view goes once control would return to the event loop.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::instance()->installEventFilter(&paints);
    }

    ~MarquardtInterrupt() override { QCoreApplication::instance()->removeEventFilter(&paints); }

    void setTwoFreeParameters()
    {
        AlgorithmData& data = app.algorithm;
        data.paramCount = 2;
        data.paramValues = {0.0, 4.0, 3.0};
        data.paramSteps = {0.0, 1.0, 1.0};
        data.fuseCodes = {"", "~~", "~~"};
        data.paramDescriptions = {"", "a", "b"};
        // A tolerance of 0 never converges: the fit runs until it is interrupted, or at worst
        // until maxCalls iterations.
        data.options.convergenceTolerance = 0.0;
        data.options.maxCalls = 1000;
    }

    template <typename W> W* find(const char* objectName) const
    {
        return session.mainWindow().findChild<W*>(QString::fromLatin1(objectName));
    }

    // "&Interrupt" of the Marquardt window, pressed with the mouse.
    void pressInterrupt()
    {
        QMdiSubWindow* frame = find<QMdiSubWindow>("frmMarquardt");
        QPushButton* stop = frame ? frame->findChild<QPushButton*>("cmdStop") : nullptr;
        ASSERT_NE(stop, nullptr);
        ASSERT_TRUE(stop->isEnabled());
        paints.stopped = true;
        pressedAt = Clock::now();
        QTest::mouseClick(stop, Qt::LeftButton);
    }

    EventRunningUi ui;
    orvanta::testing::FakeClock clock;
    Application app{ui, clock, realFileSystem()};
    GuiSession session{app};
    orvanta::testing::FakeModel model;
    TextBoxPaints paints;
    std::optional<Clock::time_point> pressedAt;
};

TEST_F(MarquardtInterrupt, TheWindowRepaintsDuringTheFitAndTheInterruptIsAskedAtOnce)
{
    // A slow objective: a bowl at (1, -2) that takes 2 ms an evaluation.
    model.objective = [](const std::vector<double>& v) {
        return (v[1] - 1.0) * (v[1] - 1.0) + (v[2] + 2.0) * (v[2] + 2.0);
    };
    model.duringCall = [] { std::this_thread::sleep_for(2ms); };
    ui.answer(Answer::No).answer(Answer::OK).answer(Answer::No); // numerical, no derivative listing
    ui.answer(Answer::Yes);                                      // quit minimizing
    ui.answer(Answer::OK);                                       // stopped

    QTimer::singleShot(300ms, [this] { pressInterrupt(); });
    QPushButton* marquardt = find<QPushButton>("cmdMarquardt");
    ASSERT_NE(marquardt, nullptr);
    QTest::mouseClick(marquardt, Qt::LeftButton); // returns when the fit has ended

    ASSERT_TRUE(pressedAt.has_value()) << "the fit ended before the interrupt was pressed";
    ASSERT_EQ(ui.firstShown.count("Marquardt interrupt"), 1u);
    const auto waited = ui.firstShown["Marquardt interrupt"] - *pressedAt;
    EXPECT_LT(waited, 1s) << std::chrono::duration_cast<std::chrono::milliseconds>(waited).count() << " ms";
    EXPECT_EQ(ui.messages().back().title, "Marquart minimization stopped");

    // Painted again and again while the fit ran, with the progress text of several iterations.
    EXPECT_GE(paints.count, 3);
    EXPECT_GE(paints.texts.size(), 2u);
    EXPECT_GE(app.minimization.counters.iterationCount, 2);
}

// The main window's close box stays live during a fit. Quitting there ends the fit at its next
// yield: the click returns at once and nothing more is shown.
TEST_F(MarquardtInterrupt, QuittingFromTheCloseBoxEndsTheFitAtOnce)
{
    model.objective = [](const std::vector<double>& v) { return v[1] * v[1] + v[2] * v[2]; };
    model.duringCall = [] { std::this_thread::sleep_for(2ms); };
    int endProcessCalls = 0;
    app.hooks.endProcess = [&endProcessCalls] { ++endProcessCalls; };
    ui.answer(Answer::No).answer(Answer::OK).answer(Answer::No); // numerical, no derivative listing
    std::size_t callsAtQuit = 0;
    std::size_t shownAtQuit = 0;
    QTimer::singleShot(300ms, [&] {
        ui.answer(Answer::Yes).answer(Answer::No); // quit, do not save the algorithm data
        session.mainWindow().close();
        callsAtQuit = model.calls.size();
        shownAtQuit = ui.shown().size();
    });
    QPushButton* marquardt = find<QPushButton>("cmdMarquardt");
    ASSERT_NE(marquardt, nullptr);
    QTest::mouseClick(marquardt, Qt::LeftButton); // returns when the fit has ended

    ASSERT_TRUE(app.ended()) << "the fit ended before the main window was closed";
    EXPECT_EQ(endProcessCalls, 1);
    EXPECT_EQ(model.calls.size(), callsAtQuit);
    EXPECT_EQ(ui.shown().size(), shownAtQuit);
    EXPECT_EQ(ui.firstShown.count("Marquart minimization stopped"), 0u);
}

// Ctrl+N, the main window's "I&nterrupt calculations", reaches a running posterior integration
// at its next yield: the question comes within a fraction of a second.
TEST_F(MarquardtInterrupt, CtrlNInterruptsAPosteriorIntegrationAtOnce)
{
    model.objective = [](const std::vector<double>& v) { return v[1] * v[1] + v[2] * v[2]; };
    model.duringCall = [] { std::this_thread::sleep_for(2ms); };
    setCovScale(app.session, 2.0);
    ui.answer(Answer::Yes); // quit the integration
    QTimer::singleShot(300ms, [this] {
        pressedAt = Clock::now();
        QTest::keyClick(&session.mainWindow(), Qt::Key_N, Qt::ControlModifier);
    });
    const PosteriorOutcome outcome = calculatePosterior(app, {1, 25, 25, {}});
    app.session.bayesRunning = false;

    ASSERT_TRUE(pressedAt.has_value()) << "the integration ended before Ctrl+N was pressed";
    ASSERT_EQ(ui.firstShown.count("Bayesian calculations"), 1u);
    const auto waited = ui.firstShown["Bayesian calculations"] - *pressedAt;
    EXPECT_LT(waited, 500ms) << std::chrono::duration_cast<std::chrono::milliseconds>(waited).count()
                             << " ms";
    EXPECT_EQ(outcome.end, PosteriorEnd::Cut);
    EXPECT_LT(outcome.calls, 625);
}

} // namespace
} // namespace orvanta::gui::testing
