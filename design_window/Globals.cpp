#include "design_window/Globals.h"

#include "platform/Helpers.h"

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
QString Invite_Title;
QString Invite_Message;
QString Invite_From;
QString Invite_To;
QString Invite_Venue;
QString Invite_Date;
QString Invite_Time;
QString Invite_BG_IMG;
QString Invite_Frame_IMG;
QString Invite_Frame_Pic_IMG;

InvitationAnswers currentInvitation()
{
    return {Invite_Title, Invite_Message, Invite_From, Invite_To,          Invite_Venue,
            Invite_Date,  Invite_Time,    Invite_Frame_IMG, Invite_Frame_Pic_IMG};
}

void setCurrentInvitation(const InvitationAnswers &answers)
{
    Invite_Title = Trim_Str(answers.title);
    Invite_Message = Trim_Str(answers.message);
    Invite_From = Trim_Str(answers.from);
    Invite_To = Trim_Str(answers.to);
    Invite_Venue = Trim_Str(answers.venue);
    Invite_Date = Trim_Str(answers.date);
    Invite_Time = Trim_Str(answers.time);
    Invite_BG_IMG = Trim_Str(answers.frame);
    Invite_Frame_IMG = Invite_BG_IMG;
    Invite_Frame_Pic_IMG = Trim_Str(answers.photo);
}

namespace {
constexpr PhotoAdjustments kInitialPhoto{};
}

float IMG_rotate_image = kInitialPhoto.rotate;
float IMG_trnsp_val = kInitialPhoto.transparency;
float IMG_hue_val = kInitialPhoto.hue;
float IMG_sat_val = kInitialPhoto.saturation;
float IMG_brt_val = kInitialPhoto.brightness;
float IMG_con_val = kInitialPhoto.contrast;
float IMG_srp_val = kInitialPhoto.sharpness;
float IMG_ev_val = kInitialPhoto.exposure;
float IMG_blr_val = kInitialPhoto.blur;
bool IMG_gray_Scale = kInitialPhoto.grayScale;
bool IMG_Sepia = kInitialPhoto.sepia;
bool IMG_invert_clr = kInitialPhoto.invert;

namespace {

// Each adjustment's process-wide value and its field in the value.
template <class T>
struct Slot {
    T *global;
    T PhotoAdjustments::*field;
};
const Slot<float> kAmounts[] = {
    {&IMG_rotate_image, &PhotoAdjustments::rotate},  {&IMG_trnsp_val, &PhotoAdjustments::transparency},
    {&IMG_hue_val, &PhotoAdjustments::hue},          {&IMG_sat_val, &PhotoAdjustments::saturation},
    {&IMG_brt_val, &PhotoAdjustments::brightness},   {&IMG_con_val, &PhotoAdjustments::contrast},
    {&IMG_srp_val, &PhotoAdjustments::sharpness},    {&IMG_ev_val, &PhotoAdjustments::exposure},
    {&IMG_blr_val, &PhotoAdjustments::blur},
};
const Slot<bool> kEffects[] = {
    {&IMG_gray_Scale, &PhotoAdjustments::grayScale},
    {&IMG_Sepia, &PhotoAdjustments::sepia},
    {&IMG_invert_clr, &PhotoAdjustments::invert},
};

} // namespace

PhotoAdjustments currentPhotoAdjustments()
{
    PhotoAdjustments adjustments;
    for (const Slot<float> &slot : kAmounts)
        adjustments.*slot.field = *slot.global;
    for (const Slot<bool> &slot : kEffects)
        adjustments.*slot.field = *slot.global;
    return adjustments;
}

void setCurrentPhotoAdjustments(const PhotoAdjustments &adjustments)
{
    for (const Slot<float> &slot : kAmounts)
        *slot.global = adjustments.*slot.field;
    for (const Slot<bool> &slot : kEffects)
        *slot.global = adjustments.*slot.field;
}

void resetPhotoAdjustments()
{
    setCurrentPhotoAdjustments(kInitialPhoto);
}

} // namespace design_window
