#include "qt/desktop/bounded_exit.h"
#include "qt/desktop/instance_guard.h"
#include "qt/desktop/window_system.h"
#include "qt/look/faces.h"
#include "qt/windows/splash_window.h"

#include <QApplication>
#include <QPointer>

#include <cstdio>
#include <utility>

int main(int argc, char *argv[])
{
    desktop::BoundedExit ending; // outlives the application, whose teardown may hang
    desktop::chooseWindowSystem(argc, argv);
    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral(TESSALINE_APP_ID));
    // Holds this copy's claim until the program ends; declared after app, so
    // the claim is given up before Qt's teardown starts.
    desktop::InstanceGuard guard;
    // Deletes itself as it hands over; kept when another copy runs.
    QPointer<windows::SplashWindow> splash = new windows::SplashWindow(guard);

    // Looking for a Chinese face reads the whole font configuration, which
    // took longer than the start-up window itself: it waits until the
    // picture shows, or until the end should the picture never be painted.
    bool checked = false;
    const auto warnOfMissingFont = [&checked] {
        if (std::exchange(checked, true))
            return;
        if (const QString warning = look::missingFontWarning(); !warning.isEmpty())
            std::fprintf(stderr, "%s\n", qPrintable(warning));
    };
    QObject::connect(splash, &windows::SplashWindow::pictureShown, &app, warnOfMissingFont, Qt::QueuedConnection);

    splash->show();
    const int status = app.exec();
    delete splash;
    warnOfMissingFont();
    return ending.watch(status);
}
