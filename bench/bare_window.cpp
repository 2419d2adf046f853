// The yardstick for the program's memory and start-up time: a bare Qt
// Widgets program with one main window built the same way (menu bar, a client
// area with a drop-down list, status bar), and nothing of Tessaline's. Its
// Chinese text is drawn with whatever face the machine has for it.

#include <QApplication>
#include <QComboBox>
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
    auto *list = new QComboBox(client);
    list->addItem(QStringLiteral("选项"));
    list->move(16, 16);
    window.setCentralWidget(client);
    window.statusBar()->showMessage(QStringLiteral("Tessaline"));
    window.show();
    return app.exec();
}
