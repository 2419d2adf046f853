// Ends the way main.cpp does, without its start-up wait: a window that closes
// itself a moment after it is shown, then the same bounded exit.
//   exit_probe          the window closes; the loop's status is 0
//   exit_probe hang     the loop ends with status 3, and Qt's teardown then
//                       hangs for good, as Qt's Wayland plugin's sometimes does
// What it prints on standard output tells the test how far it got.

#include "qt/desktop/bounded_exit.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace {

// Deleted with the application object, in the middle of Qt's teardown.
class StuckInTeardown : public QObject
{
public:
    using QObject::QObject;
    ~StuckInTeardown() override
    {
        for (;;)
            ::pause();
    }
};

} // namespace

int main(int argc, char *argv[])
{
    desktop::BoundedExit ending;
    QApplication app(argc, argv);
    const bool hang = argc > 1 && std::strcmp(argv[1], "hang") == 0;
    if (hang)
        new StuckInTeardown(&app);
    std::atexit([] { std::puts("teardown finished"); });

    QWidget window;
    window.resize(200, 100);
    window.show();
    if (hang)
        QTimer::singleShot(300, [] { QCoreApplication::exit(3); });
    else
        QTimer::singleShot(300, &window, &QWidget::close);
    const int status = app.exec();
    // Left in the buffer: standard output is a pipe here.
    std::printf("event loop ended with %d\n", status);
    return ending.watch(status);
}
