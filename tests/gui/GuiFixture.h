#pragma once

#include "app/Application.h"
#include "gui/DesktopView.h"
#include "gui/GuiSession.h"
#include "gui/MainWindowView.h"
#include "support/FakeClock.h"
#include "support/ScriptedUi.h"
#include "text/TextFile.h"

#include <QCoreApplication>
#include <QMdiArea>
#include <QMdiSubWindow>

#include <gtest/gtest.h>

namespace orvanta::gui::testing {

// A started application with its Qt windows, talking to a scripted user.
class GuiTest : public ::testing::Test {
protected:
    GuiTest()
    {
        app.hooks.endProcess = [this] { ++endProcessCalls; };
        mainWindow().show();
        app.start();
    }

    MainWindowView& mainWindow() const { return session.mainWindow(); }

    template <typename W = QWidget> W* find(const char* objectName) const
    {
        return mainWindow().findChild<W*>(QString::fromLatin1(objectName));
    }

    // The MDI frame of an open child window.
    QMdiSubWindow* subWindow(const char* name) const { return find<QMdiSubWindow>(name); }

    // Views closed by the engine are deleted once control returns to the event loop.
    static void deleteClosedViews() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    orvanta::testing::ScriptedUi ui;
    orvanta::testing::FakeClock clock;
    Application app{ui, clock, realFileSystem()};
    GuiSession session{app};
    int endProcessCalls = 0;
};

} // namespace orvanta::gui::testing
