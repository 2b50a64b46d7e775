#include "app/Services.h"
#include "design_window/TVNWindowController.h"

#include <QApplication>
#include <QIcon>
#include <QLoggingCategory>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvant"));
    // The program's diagnostics are for whoever looks for them
    // (QT_LOGGING_RULES="quorvant.debug=true;default.info=true"); a user
    // sees nothing on standard error.
    QLoggingCategory::setFilterRules(QStringLiteral("default.info=false\ndefault.debug=false"));
    // Where the desktop's icon theme lacks a standard icon (or there is no
    // desktop to name one), the freedesktop default theme stands in.
    QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
    // The windows of the higher layers that the design window opens.
    app::Services services;
    TVNWindowController window(services.hub());
    window.showStartMessages();
    // Leaving the start window later in the session ends the program.
    QObject::connect(&window, &TVNWindowController::programEndRequested, &app, [] { QCoreApplication::exit(0); });
    // A design file named on the command line (as a file manager passes it)
    // opens at once; otherwise, or when it cannot be opened, the program
    // opens on its start window and the design window follows with the card
    // chosen there.
    const bool opened = window.openDesignFromArguments(QCoreApplication::arguments().mid(1));
    if (!opened && !window.Open_Start_Window())
        return 0;
    window.show();
    const int status = app.exec();
    services.end();
    return status;
}
