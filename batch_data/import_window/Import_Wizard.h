#pragma once
// The series import wizard: values from a spreadsheet (handed on to the
// spreadsheet importers), a text, CSV or RTF file, pasted text, or the image
// files of a folder. It writes a named series file or appends the values to
// the series manager's editor, as the opener sets the mode fields. Files
// are read under the please-wait sheet. Main thread only.

#include <QDialog>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace design_window {
class PleaseWaitSheet;
}

class Import_Wizard : public QDialog {
    Q_OBJECT
public:
    Import_Wizard();
    static Import_Wizard &defaultInstance();

    // Resets the wizard to the spreadsheet source and runs it: 1 after an
    // import, 0 after Cancel.
    int Open_Wnd();

    void Excel_RD_Pressed();
    void Text_RD_Pressed();
    void Manual_RD_Pressed();
    void Image_RD_Pressed();
    void Enable_Disable_Excel_Option(bool flag);
    void Enable_Disable_Text_Option(bool flag);
    void Enable_Disable_Manual_Option(bool flag);
    void Enable_Disable_Image_Option(bool flag);
    void HelpPressed();
    void Browse_Excel_Pressed();
    void Browse_Text_Pressed();
    void Browse_Image_Pressed();
    void OKPressed();
    void CancelPressed();

    // The importers: true after the values were written, false on a
    // failure (after its message) or when the user kept an existing series.
    bool Create_And_Save_Text_Data_Sheet(const QString &path);
    bool Create_And_Save_Manual_Paste_data_Sheet();
    bool Create_And_Save_Image_data_Sheet(const QString &folder);

    // 0 spreadsheet, 1 text file, 2 pasted text, 3 image folder.
    int import_option = 0;
    // 1: write a named series file; any other value: the series manager's
    // editor takes the values.
    int file_name_required = 0;
    // 1: the series manager rebuilds its list of series after an import.
    int file_name_Insert = 0;

    QRadioButton *Excel_RD = nullptr;
    QRadioButton *Text_RD = nullptr;
    QRadioButton *Mnul_RD = nullptr;
    QRadioButton *Image_RD = nullptr;
    QLineEdit *Excel_path = nullptr;
    QPushButton *Excel_btn = nullptr;
    QLineEdit *Text_file_name = nullptr;
    QLineEdit *Text_path = nullptr;
    QPushButton *Text_btn = nullptr;
    QPlainTextEdit *ManualEdit = nullptr;
    QLineEdit *Manual_file_name = nullptr;
    QLineEdit *Image_file_name = nullptr;
    QLineEdit *Image_path = nullptr;
    QPushButton *Image_btn = nullptr;
    QPushButton *ok_btn = nullptr;
    QPushButton *cancel_btn = nullptr;
    QPushButton *help_btn = nullptr;
    design_window::PleaseWaitSheet *plz_wait_Window = nullptr;

private:
    void selectSource(int option);
    // Where the values go: the named series (asked before one is replaced)
    // or the editor; then the list refresh. False after a message.
    bool deliver(QLineEdit *nameField, const QStringList &values);
    // The cleaned series name of the field, or none after a message (only
    // when a named series is written).
    bool checkName(QLineEdit *nameField, QString *name);
};
