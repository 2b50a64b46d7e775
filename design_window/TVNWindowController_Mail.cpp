// The design window's e-mail commands: the mail window and the e-mail
// settings, reached through the installed MailWindows.
#include "design_window/MailWindows.h"
#include "design_window/TVNWindowController.h"
#include "output/mail/EmailSettings.h"
#include "platform/Helpers.h"
#include "platform/Log.h"

#include <QAction>
#include <QDir>
#include <functional>
#include <utility>

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
    m_mailSettingsProblem = output::mail::Get_Email_Details();
}

void TVNWindowController::showStartMessages()
{
    if (m_mailSettingsProblem.isEmpty())
        return;
    const QString problem = std::exchange(m_mailSettingsProblem, QString());
    // The user learns that the mail settings are empty for now and where the
    // file with the old ones is.
    Show_MessageBox(tr("The e-mail settings file could not be read:\n%1\n\n%2\n\nThe e-mail settings are empty for "
                       "now. The file is left as it is until you save the e-mail settings.")
                        .arg(QDir::toNativeSeparators(output::mail::Preferences::defaultPath()), problem));
}

void TVNWindowController::Mail_Button()
{
    platform::logFailures("Mail_Button", [this] {
        Check_Series_Or_Excel_Use_or_not();
        mailWindows()->openMailWindow();
    });
}
