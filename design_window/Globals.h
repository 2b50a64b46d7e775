#pragma once
// Process-wide values of the design window: the state that the main window,
// the dialogs, the batch fill and the output code share. Values that worker
// threads touch during a batch run are atomic.

#include "drawing/ImageProcesser.h"
#include "platform/Image.h"

#include <QString>
#include <atomic>

class TVNWindowController;

namespace design_window {

// The one main window controller (null before it is created and after it is
// gone).
extern TVNWindowController *Main_App_wnd;

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
// The invitation wizard's answers, trimmed: its texts, the chosen frame
// (Invite_BG_IMG, and as the frame graphic's picture Invite_Frame_IMG) and
// the main photo's path (Invite_Frame_Pic_IMG). The date and time are the
// texts shown to the user, empty when not chosen.
extern QString Invite_Title;
extern QString Invite_Message;
extern QString Invite_From;
extern QString Invite_To;
extern QString Invite_Venue;
extern QString Invite_Date;
extern QString Invite_Time;
extern QString Invite_BG_IMG;
extern QString Invite_Frame_IMG;
extern QString Invite_Frame_Pic_IMG;

// The invitation's answers as one value: read and set together.
struct InvitationAnswers {
    QString title, message, from, to, venue, date, time;
    QString frame; // Invite_BG_IMG and Invite_Frame_IMG
    QString photo; // Invite_Frame_Pic_IMG
    bool operator==(const InvitationAnswers &) const = default;
};
// The answers as the invitation layout reads them (the frame graphic's
// picture from Invite_Frame_IMG).
InvitationAnswers currentInvitation();
// Stores every answer, each trimmed with Trim_Str.
void setCurrentInvitation(const InvitationAnswers &answers);

// The main photo's adjustment values.
extern float IMG_rotate_image;
extern float IMG_trnsp_val;
extern float IMG_hue_val;
extern float IMG_sat_val;
extern float IMG_brt_val;
extern float IMG_con_val;
extern float IMG_srp_val;
extern float IMG_ev_val;
extern float IMG_blr_val;
extern bool IMG_gray_Scale;
extern bool IMG_Sepia;
extern bool IMG_invert_clr;

// The main photo's adjustment values as one value: read and set together.
using PhotoAdjustments = drawing::PhotoAdjustments;
PhotoAdjustments currentPhotoAdjustments();
void setCurrentPhotoAdjustments(const PhotoAdjustments &adjustments);
// Puts the main photo's adjustments back to their initial values.
void resetPhotoAdjustments();

} // namespace design_window
