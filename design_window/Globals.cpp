#include "design_window/Globals.h"

#include "platform/Helpers.h"

namespace design_window {

DesignHub *Main_App_wnd = nullptr;
const QString App_Name = QStringLiteral("Quorvant");

std::atomic<int> Card_Front_Or_Back{0};
int Card_Shape = 0;
QString CARD_SIDE_STR = QStringLiteral("1");

QString Resource_Path;
QString Data_Folder_Path;
const QString batch_file_EXT = QStringLiteral("txt");
const QString design_file_EXT = QStringLiteral("zelg");

std::atomic<bool> Card_Value_In_Process{false};
bool Not_Draw_Only_Prop_Change = false;
bool Msg_Apply_All_Chk = false;
QString Cutom_Msg_Title;
QString Cutom_Msg_Val;
QString export_card_side = QStringLiteral("F");
QString Export_File_Path;
QString Export_File_Message;

std::atomic<bool> Use_Data_Sheet_Values{false};
std::atomic<bool> Use_Excel_Binding_Values{false};
std::atomic<int> Data_table_rows{0};
std::atomic<int> Excel_table_rows{0};
std::atomic<int> Total_Batch_Excel_Card{0};
platform::Image Barcode_output_image;

int Selected_Control_Tool = 0;
QString Library_Selected_Image;
QString lib_window_sel_file;
float last_ctrl_X = 0;
float last_ctrl_Y = 0;

bool Fill_User_Profile = false;
bool Excel_Binding_Use = false;
QString Excel_Source_Path;

QString Start_Card_Option = QStringLiteral("T");
InvitationAnswers Invite_Answers;

InvitationAnswers InvitationAnswers::trimmed() const
{
    return {Trim_Str(title), Trim_Str(message), Trim_Str(from),  Trim_Str(to),   Trim_Str(venue),
            Trim_Str(date),  Trim_Str(time),    Trim_Str(frame), Trim_Str(photo)};
}

PhotoAdjustments IMG_Adjustments;

} // namespace design_window
