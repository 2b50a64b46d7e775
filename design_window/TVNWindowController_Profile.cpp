// The design window's user profiles: the records' placement on the front,
// back and scratch canvases, the default rectangles of new fields, and the
// profile dialogs (reached through WizardWindows).
#include "design_window/DataSourcePanel.h"
#include "design_window/Globals.h"
#include "design_window/ProfilePlacement.h"
#include "design_window/PanelSupport.h"
#include "design_window/TVNWindowController.h"
#include "design_window/WizardWindows.h"
#include "drawing/TVNDocument.h"
#include "drawing/canvas/TVNGraphicView.h"
#include "platform/Helpers.h"

#include <QComboBox>
#include <QUndoStack>

using namespace design_window;

QRectF TVNWindowController::Get_Control_Rect_From_Template(const QString &control_id) const
{
    return profileFieldRect(defaultProfileTemplate(), Front_card_Prop.Card_Size, control_id);
}

void TVNWindowController::Fill_User_profile_Details()
{
    Fill_User_profile_info_front_side();
    Fill_User_profile_info_back_side();
}

void TVNWindowController::Fill_User_profile_info_front_side()
{
    offerSpreadsheetSource(Data_source_type, Excel_Binding_Use);
    if (!Fill_User_Profile)
        return;
    placeProfile(*_graphicView, Front_user_profile, QStringLiteral("F"),
                 [this](const QString &id) { return Get_Control_Rect_From_Template(id); });
}

void TVNWindowController::Fill_User_profile_info_back_side()
{
    offerSpreadsheetSource(Data_source_type, Excel_Binding_Use);
    if (!Fill_User_Profile)
        return;
    // A one-sided card's back is neither shown, printed nor exported: no
    // new field goes where nobody would see it (whoever places fields meant
    // for the back gives the card its back first). The fields the back
    // keeps from when it had two sides follow the back's record, so that
    // taking two sides again shows the profile as it now stands.
    std::function<QRectF(const QString &)> newFieldRect;
    if (CARD_SIDE_STR == QLatin1String("2"))
        newFieldRect = [this](const QString &id) { return Get_Control_Rect_From_Template(id); };
    placeProfile(*_graphicView_BACK, Back_user_profile, QStringLiteral("B"), newFieldRect);
}

void TVNWindowController::Fill_User_profile_info_TEMP_side()
{
    placeProfile(*_graphicView_TEMP, TEMP_user_profile, QStringLiteral("F"),
                 [this](const QString &id) { return Get_Control_Rect_From_Template(id); });
}

int TVNWindowController::Open_User_Profile_Window(bool load, const QString &side)
{
    WizardWindows *windows = wizardWindows();
    if (!windows)
        return 0;
    const int result = windows->openUserProfile(load, Trim_Str(side));
    if (result == 1)
        Fill_User_Profile = true;
    // A workbook browsed in the dialog, or put back by its Cancel: the
    // inspector lists the columns the design has now.
    Show_RHS_Properties(m_inspected.get());
    return result;
}

void TVNWindowController::placeProfileAsOneStep(const std::function<void()> &place)
{
    // One undo step: the fields placed anew, and the values, visibility
    // and bindings of the objects that were there already.
    GraphicList existing = document->graphics;
    existing.insert(existing.end(), document->graphics_back.begin(), document->graphics_back.end());
    const bool recorded = document->isUndoRegistrationEnabled();
    QUndoStack &undo = document->undoManager();
    if (recorded)
        undo.beginMacro(tr("User Profile"));
    design_window::editGraphics(*document, existing, tr("User Profile"), place);
    if (recorded)
        undo.endMacro();
    // The placement selects the fields on both canvases as it goes and binds
    // them after: the inspector shows what the canvas being edited has
    // selected, as it now stands (its source too), and never a field of the
    // side that is not shown.
    const GraphicList &selection = currentCanvas()->selectedGraphics();
    Show_RHS_Properties(selection.size() == 1 ? selection.front().get() : nullptr);
}

void TVNWindowController::User_Profile_Button_Clicked()
{
    const bool back = design_window::Card_Front_Or_Back == 1;
    if (Open_User_Profile_Window(true, back ? QStringLiteral("B") : QStringLiteral("F")) == 1) {
        placeProfileAsOneStep([&] {
            if (back)
                Fill_User_profile_info_back_side();
            else
                Fill_User_profile_info_front_side();
        });
        markDesignChanged();
    }
    Refresh_Canvas();
}
