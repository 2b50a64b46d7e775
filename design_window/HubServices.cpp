#include "design_window/HubServices.h"

#include "design_window/ImageExportWindows.h"
#include "design_window/MailWindows.h"
#include "design_window/PrintWindows.h"
#include "design_window/SeriesImportWindows.h"
#include "design_window/SeriesWindows.h"
#include "design_window/WizardWindows.h"

namespace design_window {

void installHubServices(const HubServices &services)
{
    setWizardWindows(services.wizards);
    setSeriesWindows(services.series);
    setSeriesImportWindows(services.seriesImport);
    setPrintWindows(services.print);
    setImageExportWindows(services.imageExport);
    setMailWindows(services.mail);
    setBarcodeDesigner(services.barcodeDesigner);
}

} // namespace design_window
