#include "output/mail/DesignMailCards.h"

#include "design_window/Globals.h"
#include "design_window/RecordFill.h"
#include "design_window/TVNWindowController.h"
#include "drawing/TVNRenderingView.h"

namespace output::mail {

using design_window::Main_App_wnd;

void DesignMailCards::Check_Series_Or_Excel_Use_or_not()
{
    if (Main_App_wnd)
        Main_App_wnd->Check_Series_Or_Excel_Use_or_not();
}

void DesignMailCards::Get_total_Card_count()
{
    if (Main_App_wnd)
        Main_App_wnd->Get_total_Card_count();
}

platform::Image DesignMailCards::currentCard(const QString &side)
{
    if (!Main_App_wnd)
        return {};
    const int back = side == QLatin1String("B") ? 1 : 0;
    return TVNRenderingView::image_From_Card_Graphics(
        back ? Main_App_wnd->Get_Back_Controls_Array() : Main_App_wnd->Get_Front_Controls_Array(),
        TVNRenderingView::cardFace(back));
}

platform::Image DesignMailCards::recordCard(int n, const QString &side)
{
    return Main_App_wnd ? Main_App_wnd->Set_data_table_value_to_card(n, side, false) : platform::Image();
}

void DesignMailCards::restoreFirstRecord()
{
    if (!Main_App_wnd)
        return;
    Main_App_wnd->recordFill().endRun();
    Main_App_wnd->Refresh_Canvas();
}

std::vector<CardProblem> DesignMailCards::takeProblems()
{
    return Main_App_wnd ? Main_App_wnd->recordFill().takeProblems() : std::vector<CardProblem>();
}

} // namespace output::mail
