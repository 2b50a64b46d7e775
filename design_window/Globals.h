#pragma once
// Process-wide values of the design window: the state that the main window,
// the dialogs, the batch fill and the output code share. Values that worker
// threads touch during a batch run are atomic.

#include "drawing/ImageProcesser.h"
#include "platform/Image.h"

#include <QString>
#include <atomic>

namespace design_window {

class DesignHub;

// The one main window controller, as the other windows reach it (null
// before it is created and after it is gone).
extern DesignHub *Main_App_wnd;

// The program's name as the user sees it.
extern const QString App_Name;

// Side being edited, or being filled and rendered during a batch run:
// 0 front, 1 back.
extern std::atomic<int> Card_Front_Or_Back;
// Card outline: 0 rectangle, 1 rounded rectangle, 2 oval.
extern int Card_Shape;
// Number of sides of the design, "1" or "2".
extern QString CARD_SIDE_STR;

// The per-user resource folder and its series folder (Resource_Path/DataSet).
extern QString Resource_Path;
extern QString Data_Folder_Path;
// Extension of series files and of design files.
extern const QString batch_file_EXT;
extern const QString design_file_EXT;

// Set by the output code while a batch run fills records: the canvases do
// not redraw meanwhile.
extern std::atomic<bool> Card_Value_In_Process;
// Set while controls are being filled from an object's stored settings, so
// that their change handlers do not write back.
extern bool Not_Draw_Only_Prop_Change;
// The long-message dialog's last apply-to-all state.
extern bool Msg_Apply_All_Chk;
// Title and text of the long-message dialog when it shows a help text.
extern QString Cutom_Msg_Title;
extern QString Cutom_Msg_Val;
// Sides the export writes: "BOTH", "F" or any other text for the back.
extern QString export_card_side;
// Path and message of the export result box.
extern QString Export_File_Path;
extern QString Export_File_Message;

// Batch run state (filled by the record binding and the output code).
extern std::atomic<bool> Use_Data_Sheet_Values;
extern std::atomic<bool> Use_Excel_Binding_Values;
extern std::atomic<int> Data_table_rows;
extern std::atomic<int> Excel_table_rows;
extern std::atomic<int> Total_Batch_Excel_Card;
// The barcode designer's last result image.
extern platform::Image Barcode_output_image;
// The barcode resolution and unit (USED_DPI_VALUE, Measument_Unit_Is) live
// with the barcode designer (barcodes/designer/Barcode_Gen.h), and the
// worksheet choice (Excel_Sheet_Number, Excel_Sheet_Columns) with the
// spreadsheet reader (batch_data/spreadsheet): one copy each.

// Drawing tool of the canvases: 0 select, 2 text, 8 image.
extern int Selected_Control_Tool;
// Picture for the next image object (library pick); read by the canvas.
extern QString Library_Selected_Image;
extern QString lib_window_sel_file;
// Cascade position of the next new graphic.
extern float last_ctrl_X;
extern float last_ctrl_Y;

// The profile placement is active (set by the profile dialogs).
extern bool Fill_User_Profile;
// The user profile takes its values from a spreadsheet, and that sheet.
extern bool Excel_Binding_Use;
extern QString Excel_Source_Path;

// Start window's choice: "T" until chosen, "W" the invitation wizard, "L"
// a saved design, "" after the start window was left.
extern QString Start_Card_Option;
// The invitation wizard's answers, each trimmed: its texts, the chosen frame
// (the frame graphic's picture) and the main photo's path. The date and time
// are the texts shown to the user, empty when not chosen.
struct InvitationAnswers {
    QString title, message, from, to, venue, date, time;
    QString frame;
    QString photo; // the main photo's path, also the design file's
    bool operator==(const InvitationAnswers &) const = default;
    // Every answer trimmed with Trim_Str, as they are stored.
    InvitationAnswers trimmed() const;
};
// The answers as the start window stored them last; the invitation layout
// reads them, and the design file keeps the photo's path.
extern InvitationAnswers Invite_Answers;

// The main photo's adjustment values, as the design file keeps them.
using PhotoAdjustments = drawing::PhotoAdjustments;
extern PhotoAdjustments IMG_Adjustments;

} // namespace design_window
