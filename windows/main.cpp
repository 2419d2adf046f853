#include "windows/instance_guard.h"
#include "windows/look.h"
#include "windows/splash_window.h"
#include "windows/window_system.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    chooseWindowSystem(argc, argv);
    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral(TESSALINE_APP_ID));
    if (const QString warning = look::missingFontWarning(); !warning.isEmpty())
        std::fprintf(stderr, "%s\n", qPrintable(warning));
    InstanceGuard guard; // holds this copy's claim until the program ends
    (new SplashWindow(guard))->show();
    return app.exec();
}
