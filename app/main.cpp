#include "design_window/TVNWindowController.h"
#include "profiles_wizards/WizardWindowsImpl.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvant"));
    // The design window opens the wizards and libraries through these.
    profiles_wizards::installWizardWindows();
    TVNWindowController window;
    window.show();
    return app.exec();
}
