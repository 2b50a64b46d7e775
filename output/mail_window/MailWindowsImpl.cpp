#include "output/mail_window/MailWindowsImpl.h"

#include "output/mail/EmailSettings.h"
#include "output/mail_window/Email_Setting.h"
#include "output/mail_window/Send_Mail.h"

namespace output::mail {

MailWindowsImpl::MailWindowsImpl(MailDesign *design)
    : m_design(design)
{
}

void MailWindowsImpl::openMailWindow()
{
    Send_Mail &window = Send_Mail::defaultInstance();
    window.setDesign(m_design);
    window.Open_Wnd();
}

void MailWindowsImpl::openMailSettings()
{
    Email_Setting::defaultInstance().Open_Wnd();
    Get_Email_Details();
}

} // namespace output::mail
