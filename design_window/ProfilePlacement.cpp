#include "design_window/ProfilePlacement.h"

#include "design_window/Globals.h"
#include "drawing/DrawingHost.h"
#include "drawing/canvas/TVNGraphicView.h"
#include "platform/Helpers.h"

#include <exception>
#include <optional>
#include <utility>

namespace design_window {

namespace {

// The field's source onto the graphic the canvas placed last. A typed field
// takes the graphic's earlier binding away, so that batch output never
// writes over the typed value.
void bind(TVNGraphic &graphic, const ProfileFieldValue &field)
{
    if (!field.ds && !field.xl) {
        graphic.Set_Data_source_type(kProfileTyped);
        graphic.Set_Batch_List_Name(QString());
        graphic.Set_Batch_List_Index(0);
        graphic.Set_Excel_binding(false);
        graphic.Set_Excel_binding_Index(0);
        return;
    }
    if (field.ds) {
        graphic.Set_Data_source_type(kProfileSeries);
        graphic.Set_Batch_List_Name(field.ds_name);
        graphic.Set_Batch_List_Index(field.ds_indx);
        graphic.Set_Excel_binding(false);
    }
    // Both flags: the spreadsheet column stands.
    if (field.xl) {
        graphic.Set_Data_source_type(kProfileSpreadsheet);
        graphic.Set_Excel_binding(true);
        graphic.Set_Excel_binding_Index(field.xl_col_indx);
    }
}

void placeField(TVNGraphicView &canvas, GraphicClass cls, const ProfileFieldValue &field, const QString &side,
                bool useRect, const QRectF &rect)
{
    canvas.ReplaceGraphicText(cls, nullptr, useRect, rect, side, field.value, field.id);
    if (canvas._Selected_Graphic)
        bind(*canvas._Selected_Graphic, field);
}

} // namespace

void placeProfile(TVNGraphicView &canvas, const User_Profile_Class &profile, const QString &side,
                  const std::function<QRectF(const QString &id)> &defaultRect)
{
    // Where a field goes: its graphic's own place when the canvas has one,
    // else its default rectangle, or nowhere without one.
    auto place = [&](const ProfileFieldValue &field) -> std::optional<std::pair<bool, QRectF>> {
        if (canvas.Selcect_Ctrl_With_ID(field.id))
            return std::pair(false, QRectF());
        if (!defaultRect)
            return std::nullopt;
        return std::pair(true, defaultRect(field.id));
    };
    const QString pick = Library_Selected_Image;
    try {
        canvas.Hide_all_Text_control_FUP_Control();
        Selected_Control_Tool = drawing::kTextTool;
        for (ProfileField f : kProfileFields) {
            const ProfileFieldValue &field = profile.field(f);
            if (f == ProfileField::image || field.value.isEmpty())
                continue;
            if (const auto where = place(field))
                placeField(canvas, GraphicClass::Text, field, side, where->first, where->second);
        }
        const ProfileFieldValue &photo = profile.field(ProfileField::image);
        const auto where = photo.value.isEmpty() ? std::nullopt : place(photo);
        if (where) {
            Selected_Control_Tool = drawing::kImageTool;
            Library_Selected_Image = photo.value;
            placeField(canvas, GraphicClass::Image, photo, side, where->first, where->second);
        }
    } catch (const std::exception &e) {
        Show_NSLog_Message(QString::fromUtf8(e.what()));
    }
    // The photo's path served this placement only: a later image object
    // starts without it.
    Library_Selected_Image = pick;
}

} // namespace design_window
