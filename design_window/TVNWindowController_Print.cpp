// The design window's Print command. The print set-up window is reached
// through PrintWindows.
#include "design_window/Globals.h"
#include "design_window/PrintWindows.h"
#include "design_window/TVNWindowController.h"
#include "platform/Helpers.h"

#include <QAction>
#include <exception>

using namespace design_window;

void TVNWindowController::buildPrintCommands()
{
    for (QAction *action : std::as_const(pending_actions)) {
        if (action->objectName() != QLatin1String("act_print"))
            continue;
        pending_actions.removeOne(action);
        action->setEnabled(printWindows() != nullptr);
        action->setToolTip(QString());
        action->setShortcut(QKeySequence::Print);
        connect(action, &QAction::triggered, this, &TVNWindowController::Print_Button);
        return;
    }
}

void TVNWindowController::Print_Button()
{
    Check_Series_Or_Excel_Use_or_not();
    if ((Use_Data_Sheet_Values || Use_Excel_Binding_Values) && Total_Batch_Excel_Card == 0) {
        Show_MessageBox(tr("List is empty."));
        return;
    }
    Print_method();
}

void TVNWindowController::Print_method()
{
    PrintWindows *windows = printWindows();
    if (!windows)
        return;
    try {
        // Without a printer the window still prints to a PDF file; a printer
        // that is gone is refused when a run is started on it.
        windows->Open_Print_Wnd();
    } catch (const std::exception &e) {
        Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
    }
}
