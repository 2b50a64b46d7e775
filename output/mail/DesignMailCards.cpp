#include "output/mail/DesignMailCards.h"

#include "design_window/Globals.h"
#include "design_window/TVNWindowController.h"
#include "drawing/TVNRenderingView.h"

namespace output::mail {

using design_window::Main_App_wnd;

void DesignMailCards::Check_Series_Or_Excel_Use_or_not()
{
    // The design window binds no records to a batch run yet: the card is
    // always the design as it stands.
    design_window::Use_Data_Sheet_Values = false;
    design_window::Use_Excel_Binding_Values = false;
    Get_total_Card_count();
}

void DesignMailCards::Get_total_Card_count()
{
    design_window::Total_Batch_Excel_Card = 0;
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

platform::Image DesignMailCards::recordCard(int, const QString &)
{
    return {};
}

void DesignMailCards::restoreFirstRecord()
{
}

} // namespace output::mail
