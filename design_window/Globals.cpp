#include "design_window/Globals.h"

namespace design_window {

TVNWindowController *Main_App_wnd = nullptr;
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
QString Export_File_Path;
QString Export_File_Message;

std::atomic<bool> Use_Data_Sheet_Values{false};
std::atomic<bool> Use_Excel_Binding_Values{false};
std::atomic<int> Data_table_rows{0};
std::atomic<int> Excel_table_rows{0};
std::atomic<int> Total_Batch_Excel_Card{0};
platform::Image Barcode_output_image;
std::atomic<int> USED_DPI_VALUE{600};
int Measument_Unit_Is = 1;
int Excel_Sheet_Number = 1;
int Excel_Sheet_Columns = 0;

int Selected_Control_Tool = 0;
QString Library_Selected_Image;
QString lib_window_sel_file;
float last_ctrl_X = 0;
float last_ctrl_Y = 0;

bool Fill_User_Profile = false;
bool Excel_Binding_Use = false;
QString Excel_Source_Path;

QString Start_Card_Option;
QString Invite_Frame_IMG;
QString Invite_Frame_Pic_IMG;

float IMG_rotate_image = 0;
float IMG_trnsp_val = 100;
float IMG_hue_val = 0;
float IMG_sat_val = 1;
float IMG_brt_val = 0;
float IMG_con_val = 1;
float IMG_srp_val = 0;
float IMG_ev_val = 0;
float IMG_blr_val = 0;
bool IMG_gray_Scale = false;
bool IMG_Sepia = false;
bool IMG_invert_clr = false;

void resetPhotoAdjustments()
{
    IMG_rotate_image = 0;
    IMG_trnsp_val = 100;
    IMG_hue_val = 0;
    IMG_sat_val = 1;
    IMG_brt_val = 0;
    IMG_con_val = 1;
    IMG_srp_val = 0;
    IMG_ev_val = 0;
    IMG_blr_val = 0;
    IMG_gray_Scale = false;
    IMG_Sepia = false;
    IMG_invert_clr = false;
}

} // namespace design_window
