#pragma once
// The mail window's cards from the open design: the sides as they stand, and
// (with batch data) each record filled in. Main thread only; reaches the
// design through the design window (Main_App_wnd), and gives no card when
// there is none.

#include "output/mail_window/Send_Mail.h"

namespace output::mail {

class DesignMailCards : public MailDesign {
public:
    void Check_Series_Or_Excel_Use_or_not() override;
    void Get_total_Card_count() override;
    platform::Image currentCard(const QString &side) override;
    platform::Image recordCard(int n, const QString &side) override;
    void restoreFirstRecord() override;
    std::vector<CardProblem> takeProblems() override;
};

} // namespace output::mail
