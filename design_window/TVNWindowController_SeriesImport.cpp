// The design window's series commands in the Data menu: the import wizard
// and the generator, reached through the installed SeriesImportWindows.
#include "design_window/SeriesImportWindows.h"
#include "design_window/TVNWindowController.h"

#include <QAction>

using design_window::seriesImportWindows;

void TVNWindowController::buildSeriesImportCommands()
{
    const bool available = seriesImportWindows() != nullptr;
    for (QAction *action : QList<QAction *>(pending_actions)) {
        const QString name = action->objectName();
        const bool import = name == QLatin1String("act_import_series");
        if (!import && name != QLatin1String("act_generate_series"))
            continue;
        pending_actions.removeOne(action);
        action->setEnabled(available);
        action->setToolTip(QString());
        connect(action, &QAction::triggered, this, [import] {
            if (import)
                seriesImportWindows()->Import_Wizard_Button();
            else
                seriesImportWindows()->Create_Series_Button();
        });
    }
}
