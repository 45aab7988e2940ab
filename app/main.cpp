#include "PluginMW.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    PluginMW window;
    window.show();
    return app.exec();
}
