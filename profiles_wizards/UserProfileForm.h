#pragma once
// The user profile form that both profile dialogs are built on: one row per
// profile field (name to photo) with its value, its data source (typed, a
// Batch Processing Series, or a column of the loaded spreadsheet) and the
// chosen series or column; the spreadsheet and series tools; a preview of
// the card side with the profile placed on it. OK stores the form into the
// design window's profile records, Preview into its scratch record only.
// Main thread only.

#include "design_window/UserProfile.h"
#include "drawing/TVNGraphic.h"

#include <QDialog>
#include <QStringList>
#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace profiles_wizards {

// The batch data windows the form opens; a tool that is not there leaves its
// button disabled.
struct ProfileBatchTools {
    // The Batch Processing Series manager, modally.
    std::function<void()> openSeriesManager;
    // The values of the series `name`, read only.
    std::function<void(const QString &name)> viewSeries;
    // The spreadsheet data source's records.
    std::function<void()> viewSpreadsheet;
    // The column picker on the workbook at `path`; its OK makes the ticked
    // columns the design's spreadsheet data source. 1 after OK, 0 when the
    // data source stayed as it was.
    std::function<int(const QString &path)> chooseSpreadsheetColumns;
};

// The tools of the batch data windows the program installed (see
// design_window::SeriesWindows); none when it installed none. The series
// manager opens through the design window, which then lists the series
// afresh.
ProfileBatchTools installedProfileBatchTools();

// Whether `graphic` shows a profile field: a profile placement binds such a
// graphic again itself.
bool isProfileFieldGraphic(const TVNGraphic &graphic);

// The name of a field's control: its field's prefix ("name", "comp_name",
// ..., "image") and the control's suffix ("value", "ds_combo", ...).
QString profileControlName(design_window::ProfileField f, const char *suffix);

class UserProfileForm : public QDialog {
    Q_OBJECT
public:
    // The controls of one field. The photo's row has no value box: the
    // photo's path box and buttons stand for it.
    struct Row {
        QWidget *label = nullptr;
        QLineEdit *value = nullptr;
        QComboBox *ds_combo = nullptr;
        QComboBox *ser_col_cb = nullptr;
        QPushButton *view_btn = nullptr;
    };

    // Prepares the form and runs the dialog modally: with `load` the form
    // shows the profile graphics of the side being edited, else it starts
    // empty. 1 after OK (the form stored), 0 after Cancel.
    int Open_Wnd(bool load);

    // The empty form (also the Reset button); the spreadsheet path stays.
    void Reset_all_Ctrl();
    // How messages name field `f` ("Company Name").
    static QString fieldName(design_window::ProfileField f);
    // False, with the failing field's title in checked_field_name, when a
    // field takes a series or a column but none is chosen.
    bool Check_Validation();
    // Validates and stores the form into the front, back or scratch record
    // of the design window; false (after a message) when nothing was stored.
    bool Fill_Front_User_profile_value_in_Variable();
    bool Fill_Back_User_profile_value_in_Variable();
    bool Fill_TEMP_User_profile_value_in_Variable();

    void OK_Btn_Clicked();
    void Cancel_Btn_Clicked();
    void Reset_Btn_Clicked() { Reset_all_Ctrl(); }
    void Help_Btn_Clicked();
    // Escape and the window's close button cancel.
    void reject() override { Cancel_Btn_Clicked(); }

    void Browse_excel_Btn_Clicked();
    void Add_Excel_in_Data_Source_Combo();
    void Remove_Excel_in_Data_Source_Combo();
    void View_Excel_Btn_Clicked();
    void Batch_Series_Btn_Clicked();
    // The viewer of what the field whose list is `combo` is bound to: its
    // series ("Please select the series." when none is chosen) or the
    // spreadsheet.
    void View_Data_Series_By_Name(QComboBox *combo);

    void Browse_image_Btn_Clicked();
    void Clear_image_Btn_Clicked();
    // The trimmed path into the path box and its picture shown; a file that
    // holds no picture leaves the picture as it was, an empty path clears it.
    void Set_User_Image(const QString &path);

    // The form into the scratch record, placed on a copy of the side being
    // edited and rendered into the preview picture; the card stays as it is.
    void Preview_Btn_Clicked();
    // Renders Graphics_array into the preview picture (the side's look when
    // the form opened, or the last preview).
    void Create_and_Set_template_picture();
    void Create_and_Set_Preview_picture();

    // The selection of a source list or a series or column list changed.
    void comboBoxSelectionDidChange(QComboBox *combo);

    Row &row(design_window::ProfileField f) { return rows[std::size_t(f)]; }

    ProfileBatchTools tools;
    // "" (both sides), "F" or "B": which records OK stores into.
    QString load_side;
    QString checked_field_name;
    // What the preview picture shows.
    GraphicList Graphics_array;

    std::array<Row, design_window::kProfileFieldCount> rows;
    QLineEdit *excel_path_field = nullptr;
    QPushButton *excel_browse_btn = nullptr;
    QPushButton *view_excel_btn = nullptr;
    QPushButton *batch_series_btn = nullptr;
    QLabel *user_picture = nullptr;
    QLineEdit *image_path_val = nullptr;
    QPushButton *browse_pic_btn = nullptr;
    QPushButton *clear_pic_btn = nullptr;
    QLabel *Preivew_picture = nullptr;
    QPushButton *help_btn = nullptr;
    QPushButton *reset_btn = nullptr;
    QPushButton *preview_btn = nullptr;
    QPushButton *ok_btn = nullptr;
    QPushButton *cancel_btn = nullptr;

protected:
    // `editableCaptions`: the captions are text boxes (the side dialog).
    explicit UserProfileForm(bool editableCaptions);

    // The rows' grid: row 0 holds the column titles, field f is row f + 1;
    // column 0 (before the captions) and 2 (before the values) are for check
    // boxes, columns from kFirstExtraColumn follow the view buttons.
    QGridLayout *form() const { return m_form; }
    static constexpr int kCaptionColumn = 1;
    static constexpr int kValueColumn = 3;
    static constexpr int kFirstExtraColumn = 7;

    // The dialog's own part of the empty form, of opening, and of a field
    // found on the side.
    virtual void resetOwnControls() = 0;
    virtual void openOwnControls(bool load) = 0;
    virtual void fieldLoaded(design_window::ProfileField f) { (void)f; }
    // Whether field `f` goes into the record of side 0 (front) or 1 (back).
    virtual bool fieldGoesTo(design_window::ProfileField f, int side) const
    {
        (void)f;
        (void)side;
        return true;
    }
    // The source the user chose for `f`: 0 typed, 1 series, 2 column.
    int sourceOf(design_window::ProfileField f) const;

private:
    // Whether a field's View button has a viewer for `source`.
    bool canView(int source) const;
    void buildRow(design_window::ProfileField f, bool editableCaptions);
    void selectSource(design_window::ProfileField f, int item);
    // The column lists of the fields bound to the spreadsheet filled with
    // its titles anew, each field keeping the column titled as in `chosen`
    // (by field; empty for none). The names of the fields whose column the
    // spreadsheet no longer has.
    QStringList refreshColumnLists(const std::array<QString, design_window::kProfileFieldCount> &chosen);
    void sourceChosen(design_window::ProfileField f);
    void seriesChosen(design_window::ProfileField f);
    // The field's value from the spreadsheet or series just chosen.
    void showValue(design_window::ProfileField f, const QString &value);
    // Stores the form into `record`; `side` 0 or 1 for the front or back
    // record, -1 for the scratch record (the side being edited).
    bool storeForm(design_window::User_Profile_Class &record, int side);
    void showPicture(QLabel *label, const GraphicList &graphics);
    void updateToolButtons();

    QGridLayout *m_form = nullptr;
};

} // namespace profiles_wizards

// The profile dialog of both sides (the card size wizard's and the template
// gallery's user-profile buttons): opens empty, and for each field the user
// chooses the side it goes on (front, back or both).
class User_profile : public profiles_wizards::UserProfileForm {
    Q_OBJECT
public:
    User_profile();
    static User_profile &defaultInstance();

    // Item 0 front, 1 back, 2 both sides.
    std::array<QComboBox *, design_window::kProfileFieldCount> side_combos{};
    QLabel *select_side_label = nullptr;

protected:
    void resetOwnControls() override;
    void openOwnControls(bool load) override;
    bool fieldGoesTo(design_window::ProfileField f, int side) const override;
};

// The profile dialog of the side being edited (the design window's
// user-profile button): opens with the side's profile graphics. Its caption
// and value check boxes make their boxes editable; typing ticks them.
class Show_User_Profile : public profiles_wizards::UserProfileForm {
    Q_OBJECT
public:
    Show_User_Profile();
    static Show_User_Profile &defaultInstance();

    void Label_Chk_Clicked(design_window::ProfileField f);
    void Value_Chk_Clicked(design_window::ProfileField f);

    // The ten text fields' check boxes (none for the photo).
    std::array<QCheckBox *, design_window::kProfileFieldCount> label_chks{};
    std::array<QCheckBox *, design_window::kProfileFieldCount> value_chks{};

protected:
    void resetOwnControls() override;
    void openOwnControls(bool load) override;
    void fieldLoaded(design_window::ProfileField f) override;
};
