#include "app/FirstWindow.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvant"));
    FirstWindow window;
    window.show();
    return app.exec();
}
