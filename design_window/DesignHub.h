#pragma once
// What the windows of the other subsystems ask of the main window, which
// implements it (TVNWindowController); they reach it through Main_App_wnd.
// The design itself is one value they take by reference (design()); for the
// rest they say what they want done - repaint, mark the design changed, fill
// a record, open a file - and never reach into the window's controls. Main
// thread only, except where the record fill says otherwise.

#include "design_window/DesignDocument.h"
#include "drawing/TVNGraphic.h"

#include <QSizeF>
#include <QString>
#include <functional>

class QComboBox;
class QWidget;
class TVNGraphicView;

namespace design_window {

class RecordFill;

class DesignHub {
public:
    virtual ~DesignHub() = default;

    // ---- the design
    virtual DesignDocument &design() = 0;
    virtual const DesignDocument &design() const = 0;
    // The design as the design file stores it.
    virtual Design currentDesign() const = 0;
    virtual GraphicList &Get_Front_Controls_Array() = 0;
    virtual GraphicList &Get_Back_Controls_Array() = 0;
    virtual GraphicList Get_Temp_Controls_Array() const = 0;
    // The scratch list becomes a copy of the edited side's graphics.
    virtual void Temp_Design_Control_Assign() = 0;
    // The canvas of the side being edited.
    virtual TVNGraphicView *currentCanvas() const = 0;
    // A side (0 front, 1 back) drawn at the card's size in points.
    virtual platform::Image renderedSide(int side) const = 0;

    // ---- changes to the design
    virtual void Refresh_Canvas() = 0;
    // The design changed outside the document's lists.
    virtual void markDesignChanged() = 0;
    // The inspector shows `graphic` (the card for none).
    virtual void Show_RHS_Properties(TVNGraphic *graphic) = 0;
    // The card takes a size in millimetres.
    virtual void applyCardSize(QSizeF mm) = 0;
    // The card takes a preset choice, a size and an outline as one step.
    virtual void chooseCard(const CardChoice &choice, QSizeF mm, int shape) = 0;
    // The card takes one side or two as one step, as the card panel's
    // Sides choice does: the side selector follows.
    virtual void chooseCardSides(bool twoSided) = 0;
    // The main photo read again from `path`, its adjustments applied.
    virtual void Update_frame_Main_Photo_And_Path(const QString &path, bool change_path) = 0;
    // The start window's background pattern.
    virtual platform::Image wizardPattern() const = 0;

    // ---- files
    virtual bool Check_And_Validate_File_Path(const QString &path) = 0;
    virtual int Open_Log_File() = 0;
    virtual int Read_and_load_design_Log(const QString &path, const QString &log_or_template) = 0;
    // The export result box (Export_File_Path, Export_File_Message).
    virtual void Open_Export_File_Box() = 0;
    // The save panel's file-type accessory (saveDialogCustomView with its
    // combo Save_Ext_ComboBox), lent to whoever runs a save panel: it fills
    // the combo, places the view in the panel, and hands the view back to
    // its parent, hidden, when the panel closes. None while the window has
    // no accessory.
    struct SaveTypeAccessory {
        QWidget *view = nullptr;
        QComboBox *types = nullptr;
    };
    virtual SaveTypeAccessory saveTypeAccessory() = 0;

    // ---- series and spreadsheet data
    virtual bool Check_Batch_File_In_Use_Validation(const QString &name) = 0;
    virtual QString Get_First_Value_Of_Dataset(const QString &name) const = 0;
    virtual QString Get_First_Value_Of_Excel_Binding(int n) const = 0;
    virtual void Delete_Excel_File_Temp_Folder() = 0;
    virtual void Fill_Data_Set_File_Name_In_Combo(QComboBox *combo) = 0;
    virtual void Fill_Excel_Col_Name_In_Combo(QComboBox *combo) = 0;
    virtual void Add_Excel_Col_Name_In_Combo(QComboBox *combo) = 0;
    virtual void Remove_Excel_Col_Name_In_Combo(QComboBox *combo) = 0;
    // The series manager.
    virtual void Batch_Series_Button() = 0;
    // What to tell the user of the objects (but those `skip` accepts, when
    // given) whose bound columns the column titles `after` lack or title
    // otherwise than `before` did; empty when there are none.
    virtual QString changedColumnsMessage(const QStringList &before, const QStringList &after,
                                          const std::function<bool(const TVNGraphic &)> &skip) const = 0;
    // The column picker over the workbook at `path`; its OK makes the ticked
    // columns the design's spreadsheet data source, as Data > Spreadsheet
    // does: the canvas shows the new first row, and the objects (but those
    // `skip` accepts, when given) whose columns change or vanish are named.
    // 1 after OK; 0 when cancelled or unreadable, the data source as it was.
    virtual int replaceSpreadsheetSource(const QString &path,
                                         const std::function<bool(const TVNGraphic &)> &skip) = 0;

    // ---- per-record fill (any thread where RecordFill says so)
    virtual void Check_Series_Or_Excel_Use_or_not() = 0;
    virtual void Get_total_Card_count() = 0;
    virtual RecordFill &recordFill() = 0;
    virtual void Select_first_row_value_for_design(bool print) = 0;

    // ---- user profiles
    virtual int Open_User_Profile_Window(bool load, const QString &side) = 0;
    virtual void Fill_User_profile_Details() = 0;
    virtual void placeProfileAsOneStep(const std::function<void()> &place) = 0;
    virtual void Fill_User_profile_info_TEMP_side() = 0;

    // ---- output runs
    virtual bool Export_Single_File(const QString &path, bool show_msg) = 0;
    virtual void setOutputCommandsEnabled(bool enabled) = 0;

    // ---- the window itself, as the parent of dialogs and sheets
    virtual QWidget *mainWidget() = 0;
};

} // namespace design_window
