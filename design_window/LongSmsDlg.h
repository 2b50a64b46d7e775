#pragma once
// The long-message dialog: a title, a longer text, an optional apply-to-all
// check box, and OK (Yes) with an optional No.

#include <QDialog>

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace design_window {

// What the long-message dialog shows. A question offers "Yes" and "No",
// anything else only "OK".
struct LongMessageRequest {
    QString title;
    QString text;
    bool question = false;
    bool showApplyToAll = false;
};

// How the user answered: accepted for OK or Yes, and the state the
// apply-to-all box had then (also when it was hidden).
struct LongMessageAnswer {
    bool accepted = false;
    bool applyToAll = false;
    bool operator==(const LongMessageAnswer &) const = default;
};

} // namespace design_window

class Long_SMS_Dlg : public QDialog {
    Q_OBJECT
public:
    Long_SMS_Dlg();
    static Long_SMS_Dlg &defaultInstance();

    // Runs the dialog modally. The apply-to-all box keeps the state the user
    // left it in from one run to the next.
    design_window::LongMessageAnswer run(const design_window::LongMessageRequest &request);

    // Set before opening. With a title the dialog shows it and `msg_val_str`
    // and offers "No"; without one it shows the help title and text
    // (`Cutom_Msg_Title`, `Cutom_Msg_Val`) and only OK.
    QString title_val;
    QString msg_val_str;
    bool apply_chk_show = false;

    // Runs the dialog: 1 for OK (and `Msg_Apply_All_Chk` takes the state of
    // the apply-to-all box), 0 for No (nothing changes).
    int Open_Long_sms_Dialog();

    QCheckBox *apply_chk = nullptr;
    QPushButton *ok_btn = nullptr;
    QPushButton *no_btn = nullptr;
    QLabel *title_lbl = nullptr;
    QPlainTextEdit *msg_text = nullptr;
};
