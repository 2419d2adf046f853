#include "windows/region_window.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    (new RegionWindow)->show();
    return app.exec();
}
