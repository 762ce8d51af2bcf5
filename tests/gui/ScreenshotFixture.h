#pragma once

// Pictures of the windows for a look by eye. They are taken only when ORVANTA_SCREENSHOT_DIR
// names the folder to write them to; otherwise the tests are skipped.

#include "GuiFixture.h"

#include <QDir>
#include <QPixmap>

#include <cstdlib>

namespace orvanta::gui::testing {

class ScreenshotTest : public GuiTest {
protected:
    void SetUp() override
    {
        const char* dir = std::getenv("ORVANTA_SCREENSHOT_DIR");
        if (!dir || !*dir)
            GTEST_SKIP() << "ORVANTA_SCREENSHOT_DIR is not set";
        folder_ = QString::fromLocal8Bit(dir);
        ASSERT_TRUE(QDir().mkpath(folder_));
        mainWindow().resize(1180, 860);
        prepareWindows();
        QCoreApplication::processEvents();
    }

    // What the pictures start from besides the main window at its picture size.
    virtual void prepareWindows() {}

    // Writes a picture of the widget to <name>.png in the folder.
    void save(QWidget& widget, const QString& name)
    {
        QCoreApplication::processEvents();
        const QString path = folder_ + '/' + name + ".png";
        EXPECT_TRUE(widget.grab().save(path)) << path.toStdString();
    }

private:
    QString folder_;
};

} // namespace orvanta::gui::testing
