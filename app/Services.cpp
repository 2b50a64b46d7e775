#include "app/Services.h"

#include "barcodes/designer_window/Barcode_Gen_Dialog.h"
#include "batch_data/import_window/SeriesImportWindowsImpl.h"
#include "batch_data/spreadsheet_window/BatchDataWindows.h"
#include "design_window/HubServices.h"
#include "output/export_window/ImageExport.h"
#include "output/mail_window/DesignMailCards.h"
#include "output/mail_window/MailWindowsImpl.h"
#include "output/print_window/PrintWindowsImpl.h"
#include "profiles_wizards/WizardWindowsImpl.h"

namespace app {

Services::Services()
    : m_imageExport(std::make_unique<ImageExport>()),
      m_mailCards(std::make_unique<output::mail::DesignMailCards>()),
      m_mailWindows(std::make_unique<output::mail::MailWindowsImpl>(m_mailCards.get()))
{
    design_window::HubServices &hub = m_hub;
    // The wizards and libraries.
    hub.wizards = &profiles_wizards::designWizardWindows();
    // The series manager, the series and spreadsheet viewers and the
    // spreadsheet data source.
    hub.series = &batch_data::designSeriesWindows();
    // The Data menu's series import and generation.
    hub.seriesImport = &batch_data::designSeriesImportWindows();
    // The Print command's print set-up window.
    hub.print = &output::designPrintWindows();
    hub.imageExport = m_imageExport.get();
    // The mail command and the e-mail settings.
    hub.mail = m_mailWindows.get();
    // The barcode tool, a double click on a barcode and the inspector's
    // designer button open the designer; its View button opens the viewers
    // of hub.series. The designer is made when first opened, not at start-up.
    hub.barcodeDesigner = [](TVNGraphic *graphic) {
        return barcodes::Barcode_Gen_Dialog::defaultInstance().Open_Wnd(graphic);
    };

    // One layer up from the design window: the series manager's Import and
    // Generate buttons.
    batch_data::installSeriesManagerImporters();
}

void Services::end()
{
    if (!m_imageExport)
        return;
    m_imageExport.reset();
    design_window::installHubServices({});
}

Services::~Services()
{
    end();
}

} // namespace app
