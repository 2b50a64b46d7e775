#pragma once
// The start window and its invitation wizard in one window. The start page
// offers the wizard ("W") or a saved design ("L"); the wizard asks for a
// frame (from the resource folder's "Frames"), then on the photo page for a
// photo with its adjustments and the invitation's texts, and its Finish
// hands back the answers, the photo's adjustments and the card's size. The
// same window, opened in photo-editing mode, shows only the photo page over
// the design's main photo.
//
// The window reads and writes no process-wide value: its caller sets the
// request fields before opening and reads `startOption` and `finished`
// after the run. The adjustments shown apply to the photo as read from its
// file, so they are never applied twice, and a run that ends without
// Finish hands back nothing. Main thread only.

#include "design_window/Globals.h"
#include "drawing/ImageProcesser.h"
#include "platform/Image.h"

#include <QDialog>
#include <QSizeF>
#include <QStringList>
#include <functional>
#include <vector>

class QCheckBox;
class QDateEdit;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSlider;
class QTimeEdit;
class QWidget;

namespace profiles_wizards {
class ThumbnailList;
}

class Invitation_Wizard : public QDialog {
    Q_OBJECT
public:
    Invitation_Wizard();
    ~Invitation_Wizard() override;
    static Invitation_Wizard &defaultInstance();

    // ---- the request, set before opening
    // Where "Frames", "Title.txt" and "Message.txt" are read from; shown on
    // the start page.
    QString resourceFolder;
    // Lets the user open a saved design (the design window's Open_Log_File):
    // 1 when one was loaded.
    std::function<int()> openDesign;
    // The window's background pattern.
    void setBackgroundPattern(const platform::Image &pattern);

    // ---- what a run hands back
    // "T" until a choice, "W" the wizard, "L" a saved design, "" after Exit.
    QString startOption = QStringLiteral("T");
    // Set by Finish (and only then).
    struct Finish {
        design_window::InvitationAnswers answers;
        drawing::PhotoAdjustments photo;
        QSizeF cardSizeMm;
        bool operator==(const Finish &) const = default;
    };
    Finish finished;

    // The start window: 1 after Finish or a loaded design, 0 otherwise.
    int Open_Wnd();
    // The photo page over the photo at `photoPath` with `adjustments`;
    // choosing another photo is offered only with `browseAllowed`. 1 after
    // Finish (answers.photo and photo set), 0 after Close.
    int Open_Wnd_For_Edit_Photo(const QString &photoPath, const drawing::PhotoAdjustments &adjustments,
                                bool browseAllowed);

    // ---- pages
    // YES: the start page (everything reset); NO: the frame page.
    void Show_Hide_Card_Start_Screen(bool startPage);
    // Next, and Finish on the photo page.
    void OK_Click();
    void Back_Click();
    // Back to the start page.
    void CancelClick();
    // Ends the run with 0.
    void Close_Form_Click();
    void reject() override { Close_Form_Click(); }

    // ---- start page
    void Using_Wizard_Click() { Select_card_option(1); }
    void Open_Log_Click() { Select_card_option(2); }
    // 0 "T", 1 "W", 2 "L"; then Next.
    void Select_card_option(int option);
    void HelpClick();
    // Leaves the start window: the run ends with 0 and startOption "".
    void ExitClick();

    // ---- frames
    void Load_and_fill_backgrounds();
    // A frame was chosen: on the frame page a click moves on at once.
    void imageBrowserSelectionDidChange(const QString &path);

    // ---- titles and messages
    void Load_Msg_And_Title();
    QString Get_Title() const;
    QString Get_Message() const;
    void Title_Back_Click();
    void Title_Next_Click();
    void Msg_Back_Click();
    void Msg_Next_Click();

    // ---- details
    // Cuts what the user typed into `field` to its limit in characters as
    // the user sees them: from and to 40, venue and title 100, message 250.
    void controlTextDidChange(QWidget *field);
    void datePickerAction();
    void timePickerAction();
    // Asks first; then Clear_Details.
    void Clear_Details_Click();
    // From, to, venue and the chosen date and time emptied.
    void Clear_Details();
    // Every answer, the photo and the adjustment controls emptied.
    void Reset_All();

    // ---- photo
    void Browse_Image_Click();
    // The adjustment controls at their neutral values.
    void Reset_Image_Editing_Controls();
    // Asks first; then resets the controls and the preview.
    void Image_reset_Button();
    // The preview shows the photo with the controls' adjustments.
    void Update_Image_With_Settings();
    // The adjustments the controls show.
    drawing::PhotoAdjustments adjustments() const { return m_photo; }

    // ---- state
    int next_counter = 0; // 0 start page, 2 frame page, 3 photo page
    bool auto_background_selection = false;
    bool wizard_or_edit_photo = false;
    QString selected_image;
    QString selected_title, selected_msg, selected_date, selected_time;
    QStringList Title_Array, Message_Array;
    int title_count = 0, message_count = 0;
    int title_index = 0, message_index = 0;
    // The photo as read from its file, before adjustments.
    platform::Image User_Picture;

    // ---- controls
    QWidget *Start_card_box = nullptr;
    QWidget *second_box = nullptr;
    QWidget *photo_box = nullptr;
    QWidget *button_box = nullptr;
    QGroupBox *details_box = nullptr;
    QLabel *photo_heading = nullptr;
    QLabel *APP_path_label = nullptr;
    QPushButton *wizard_btn = nullptr;
    QPushButton *open_btn = nullptr;
    QPushButton *Exit_btn = nullptr;
    QPushButton *Help_btn_1 = nullptr;
    QPushButton *Help_btn_2 = nullptr;
    profiles_wizards::ThumbnailList *frames = nullptr;
    QDoubleSpinBox *width_Stepper = nullptr;
    QDoubleSpinBox *height_Stepper = nullptr;
    QLineEdit *msg_title = nullptr;
    QPushButton *title_bk_btn = nullptr;
    QPushButton *title_nxt_btn = nullptr;
    QPlainTextEdit *msg_value = nullptr;
    QPushButton *msg_bk_btn = nullptr;
    QPushButton *msg_nxt_btn = nullptr;
    QLineEdit *to_value = nullptr;
    QLineEdit *from_value = nullptr;
    QLineEdit *venue_value = nullptr;
    QDateEdit *Date_picker = nullptr;
    QTimeEdit *Time_picker = nullptr;
    QLabel *Date_ctrl_value = nullptr;
    QLabel *Time_ctrl_value = nullptr;
    QPushButton *clear_details_btn = nullptr;
    QLineEdit *image_path = nullptr;
    QPushButton *browse_photo_btn = nullptr;
    QLabel *Selected_picture = nullptr;
    QGroupBox *Image_Setting_Box = nullptr;
    QCheckBox *Image_Gray_Scale_chk = nullptr;
    QCheckBox *Image_Sepia_chk = nullptr;
    QCheckBox *Image_Invert_chk = nullptr;
    // sharpness, exposure, blur, saturation, brightness, contrast, hue,
    // transparency, rotation
    QSlider *shrp_slidr = nullptr, *ev_slidr = nullptr, *blr_slidr = nullptr;
    QSlider *Sat_slidr = nullptr, *Brt_slidr = nullptr, *Con_slidr = nullptr;
    QSlider *Hue_slidr = nullptr, *Trsp_slidr = nullptr, *Rotate_slidr = nullptr;
    QPushButton *image_reset_btn = nullptr;
    QPushButton *Back_Btn = nullptr;
    QPushButton *Next_btn = nullptr;
    QPushButton *Cancel_btn = nullptr;
    QPushButton *Finish_Btn = nullptr;
    QPushButton *Close_Btn = nullptr;

private:
    struct Adjuster;
    QWidget *buildStartPage();
    QWidget *buildFramePage();
    QWidget *buildPhotoPage();
    QGroupBox *buildDetails();
    QGroupBox *buildAdjustments();
    void showFramePage();
    void showPhotoPage();
    void finish();
    void setMessageText(const QString &text);
    // Shows the adjustments in the controls (no signals).
    void showAdjustments(const drawing::PhotoAdjustments &photo);
    void setPhoto(const platform::Image &photo);
    void adjusterMoved(const Adjuster &adjuster);

    std::vector<Adjuster> m_adjusters;
    drawing::PhotoAdjustments m_photo;
    // The photo at preview size, and its scale against the photo's pixels.
    QImage m_working;
    double m_workingScale = 1;
    bool m_settingMessage = false;
};
