#pragma once
// The e-mail windows as the design window opens them: the mail window over
// the design's cards, and the e-mail settings dialog.

#include "design_window/MailWindows.h"

namespace output::mail {

class MailDesign;

class MailWindowsImpl : public design_window::MailWindows {
public:
    // `design` gives the mail window its cards; not owned, it must outlive
    // this. Null: the cards cannot be sent.
    explicit MailWindowsImpl(MailDesign *design = nullptr);

    void openMailWindow() override;
    void openMailSettings() override;

private:
    MailDesign *m_design;
};

} // namespace output::mail
