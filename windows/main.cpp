#include "windows/bounded_exit.h"
#include "windows/instance_guard.h"
#include "windows/look.h"
#include "windows/splash_window.h"
#include "windows/window_system.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    BoundedExit ending; // outlives the application, whose teardown may hang
    chooseWindowSystem(argc, argv);
    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral(TESSALINE_APP_ID));
    if (const QString warning = look::missingFontWarning(); !warning.isEmpty())
        std::fprintf(stderr, "%s\n", qPrintable(warning));
    // Holds this copy's claim until the program ends; declared after app, so
    // the claim is given up before Qt's teardown starts.
    InstanceGuard guard;
    (new SplashWindow(guard))->show();
    return ending.watch(app.exec());
}
