// The design window's e-mail commands: the mail window and the e-mail
// settings, reached through the installed MailWindows.
#include "design_window/MailWindows.h"
#include "design_window/TVNWindowController.h"
#include "output/mail/EmailSettings.h"
#include "platform/Log.h"

#include <QAction>
#include <functional>

using namespace design_window;

void TVNWindowController::buildMailCommands()
{
    const bool available = mailWindows() != nullptr;
    auto command = [&](const char *name, const std::function<void()> &handler) {
        for (QAction *action : std::as_const(pending_actions)) {
            if (action->objectName() != QLatin1String(name))
                continue;
            pending_actions.removeOne(action);
            action->setEnabled(available);
            action->setToolTip(QString());
            connect(action, &QAction::triggered, this, handler);
            return;
        }
    };
    command("act_mail", [this] { Mail_Button(); });
    command("act_mail_settings", [] { mailWindows()->openMailSettings(); });
}

void TVNWindowController::Get_Email_Details()
{
    output::mail::Get_Email_Details();
}

void TVNWindowController::Mail_Button()
{
    platform::logFailures("Mail_Button", [this] {
        Check_Series_Or_Excel_Use_or_not();
        mailWindows()->openMailWindow();
    });
}
