#include "barcodes/designer_window/Barcode_Gen_Dialog.h"
#include "design_window/BarcodeDesigner.h"
#include "design_window/TVNWindowController.h"
#include "profiles_wizards/WizardWindowsImpl.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvant"));
    // The design window opens the wizards and libraries through these.
    profiles_wizards::installWizardWindows();
    // The barcode tool, a double click on a barcode and the inspector's
    // designer button open the designer.
    design_window::setBarcodeDesigner(
        [](TVNGraphic *graphic) { return barcodes::Barcode_Gen_Dialog::defaultInstance().Open_Wnd(graphic); });
    TVNWindowController window;
    window.show();
    return app.exec();
}
