// One QApplication for every GUI test, on the offscreen platform with Qt's
// own file dialogs (which tests can fill in).
#include "browser/Startup.h"

#include <QApplication>
#include <QLocale>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // GLib does not run a timer while another timer's handler is still open, and
    // tests answer nested dialogs from timers; Qt's own dispatcher does.
    qputenv("QT_NO_GLIB", "1");
    QLocale::setDefault(QLocale::c());
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QApplication app(argc, argv);
    setUpApplication(app);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
