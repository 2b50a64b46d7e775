#pragma once
// The series generator: sequential numbers (optionally zero-padded) between
// a prefix and a suffix, a constant value repeated, or random numbers of a
// chosen number of digits. OK writes a named series file or appends the
// values to the series manager's editor, as the opener sets the mode
// fields. Main thread only.

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

class Generate_List : public QDialog {
    Q_OBJECT
public:
    Generate_List();
    static Generate_List &defaultInstance();

    // Resets the dialog and runs it: 1 after a successful OK, 0 after Cancel.
    int Open_Wnd();

    void OKPressed();
    void CancelPressed();
    void Sequintial_Radio_Pressed();
    void Constant_Radio_Pressed();
    void Random_Radio_Pressed();
    void Help_btn_Pressed();

    // 1: OK writes a named series file; any other value: OK hands the values
    // to the series manager's editor.
    int file_name_required = 0;
    // 1: the series manager rebuilds its list of series after OK.
    int file_name_Insert = 0;

    QRadioButton *radioButton_Sequntial = nullptr;
    QRadioButton *radioButton_Constant = nullptr;
    QRadioButton *radioButton_Random = nullptr;
    QLineEdit *prefix_txt = nullptr;
    QLineEdit *suffix_txt = nullptr;
    QLineEdit *from_txt = nullptr;
    QLineEdit *to_txt = nullptr;
    QCheckBox *manage_digit_chk = nullptr;
    QPushButton *help_btn = nullptr;
    QLineEdit *value_txt = nullptr;
    QLineEdit *count_txt = nullptr;
    QSpinBox *count_stepper = nullptr;
    QLineEdit *rand_prefix_txt = nullptr;
    QLineEdit *rand_suffix_txt = nullptr;
    QLineEdit *rand_length_txt = nullptr;
    QSpinBox *rand_length_stepper = nullptr;
    QLineEdit *rand_count_txt = nullptr;
    QSpinBox *rand_count_stepper = nullptr;
    QLineEdit *seq_file_name = nullptr;
    QLineEdit *const_file_name = nullptr;
    QLineEdit *rndm_file_name = nullptr;
    QPushButton *ok_btn = nullptr;
    QPushButton *cancel_btn = nullptr;

private:
    enum class Mode { Sequential, Constant, Random };
    void selectMode(Mode mode);
    Mode mode() const;
    QLineEdit *nameField() const;
    // Keeps a count or length field within 1..limit (at most `digits` long)
    // while the user types, and its stepper equal to it.
    void clampWhileTyping(QLineEdit *field, QSpinBox *stepper, int digits, int limit);
};
