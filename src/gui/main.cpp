#include "app/Application.h"
#include "gui/GuiSession.h"
#include "gui/MainWindowView.h"
#include "gui/QtUserInterface.h"
#include "text/TextFile.h"
#include "ui/Clock.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication qtApplication(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvanta"));

    orvanta::SystemClock clock;
    orvanta::gui::QtUserInterface ui;
    orvanta::Application app(ui, clock, orvanta::realFileSystem());
    // exit() rather than quit(): quit() would ask every window to close, and closing the main
    // window starts the quit flow again.
    app.hooks.endProcess = [] { QCoreApplication::exit(0); };

    orvanta::gui::GuiSession session(app);
    ui.setDialogParent(&session.mainWindow());
    session.mainWindow().show();
    app.start();
    return QApplication::exec();
}
