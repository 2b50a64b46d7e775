#pragma once
// The mail window's cards from the open design: the sides as they stand, and
// (with batch data) each record filled in, through the design window's card
// source (Main_App_wnd), which draws from the run's thread a band at a time;
// no card when there is no design window.

#include "output/mail_window/Send_Mail.h"

namespace output::mail {

class DesignMailCards : public MailDesign {
public:
    void Check_Series_Or_Excel_Use_or_not() override;
    void Get_total_Card_count() override;
    platform::Image currentCard(const QString &side) override;
    platform::Image recordCard(int n, const QString &side) override;
    void setResolution(double dpi) override;
    void restoreFirstRecord() override;
    std::vector<CardProblem> takeProblems() override;
};

} // namespace output::mail
