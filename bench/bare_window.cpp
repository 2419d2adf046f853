// The yardstick for the program's memory: a bare Qt Widgets program with one
// main window built the same way (menu bar, client area, status bar), and
// nothing of Tessaline's.

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("bare window"));
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.menuBar()->setNativeMenuBar(false);
    window.menuBar()->addAction(QStringLiteral("菜单"));
    auto *client = new QWidget;
    client->setFixedSize(306, 84);
    window.setCentralWidget(client);
    window.statusBar()->showMessage(QStringLiteral("Tessaline"));
    window.show();
    return app.exec();
}
