#include "windows/instance_guard.h"
#include "windows/splash_window.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral(TESSALINE_APP_ID));
    InstanceGuard guard; // holds this copy's claim until the program ends
    (new SplashWindow(guard))->show();
    return app.exec();
}
