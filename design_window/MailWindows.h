#pragma once
// The e-mail windows (the mail window and the e-mail settings dialog) sit in
// a layer above the design window, which reaches them through this
// interface; the program installs the implementation at start-up. Without
// one the mail commands are disabled.

#include "platform/Installed.h"

namespace design_window {

class MailWindows {
public:
    virtual ~MailWindows() = default;
    // The mail window (Send_Mail) over the open design.
    virtual void openMailWindow() = 0;
    // The e-mail settings dialog; the stored settings are read again after.
    virtual void openMailSettings() = 0;
};

// Installs the implementation (not owned: it must outlive its use; nullptr
// removes it) and gives the installed one, or null.
inline void setMailWindows(MailWindows *windows) { platform::Installed<MailWindows>::set(windows); }
inline MailWindows *mailWindows() { return platform::Installed<MailWindows>::get(); }

} // namespace design_window
