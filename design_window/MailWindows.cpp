#include "design_window/MailWindows.h"

namespace design_window {

namespace {
MailWindows *installed = nullptr;
}

void setMailWindows(MailWindows *windows)
{
    installed = windows;
}

MailWindows *mailWindows()
{
    return installed;
}

} // namespace design_window
