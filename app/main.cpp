#include "barcodes/designer_window/Barcode_Gen_Dialog.h"
#include "batch_data/import_window/SeriesImportWindowsImpl.h"
#include "batch_data/spreadsheet_window/BatchDataWindows.h"
#include "design_window/BarcodeDesigner.h"
#include "design_window/SeriesWindows.h"
#include "design_window/TVNWindowController.h"
#include "output/widgets/ImageExport.h"
#include "output/mail/DesignMailCards.h"
#include "output/mail/MailWindowsImpl.h"
#include "output/print_window/PrintWindowsImpl.h"
#include "profiles_wizards/WizardWindowsImpl.h"

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
    // The design window opens the wizards and libraries through these.
    profiles_wizards::installWizardWindows();
    // The series manager, the series and spreadsheet viewers and the
    // spreadsheet data source.
    batch_data::installBatchDataWindows();
    // The Print command opens the print set-up window.
    output::installPrintWindows();
    // The Data menu's series import and generation.
    batch_data::installSeriesImportWindows();
    // The barcode tool, a double click on a barcode and the inspector's
    // designer button open the designer.
    design_window::setBarcodeDesigner(
        [](TVNGraphic *graphic) { return barcodes::Barcode_Gen_Dialog::defaultInstance().Open_Wnd(graphic); });
    // The designer's View button shows the chosen series.
    barcodes::Barcode_Gen_Dialog::defaultInstance().setSeriesViewer([](const QString &name) {
        if (design_window::SeriesWindows *windows = design_window::seriesWindows())
            windows->viewSeries(name);
    });
    auto imageExport = std::make_unique<ImageExport>();
    design_window::setImageExportWindows(imageExport.get());
    // The mail command and the e-mail settings open these.
    output::mail::DesignMailCards mailCards;
    output::mail::MailWindowsImpl mailWindows(&mailCards);
    design_window::setMailWindows(&mailWindows);
    TVNWindowController window;
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
    // A batch run still going ends while its window is there.
    imageExport.reset();
    design_window::setImageExportWindows(nullptr);
    design_window::setMailWindows(nullptr);
    return status;
}
