#include "design_window/TVNWindowController.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvant"));
    TVNWindowController window;
    window.show();
    return app.exec();
}
