#pragma once
// The spreadsheet-to-series import: the columns of a worksheet (xlsx, or
// the first table of an ods file) become series files, one per ticked
// column named after its header, or all ticked columns in one series (a
// new one, an existing one replaced, or one appended to). Clashes with
// existing series are asked through the long-message dialog. Workbooks are
// read under the please-wait sheet. Main thread only.

#include "batch_data/import/SheetColumns.h"

#include <QDialog>
#include <memory>
#include <optional>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace design_window {
class PleaseWaitSheet;
}

class Import_Excel_DataSheet : public QDialog {
    Q_OBJECT
public:
    Import_Excel_DataSheet();
    ~Import_Excel_DataSheet() override;
    static Import_Excel_DataSheet &defaultInstance();

    // Resets the dialog, reads the workbook and runs the dialog: 1 when an
    // import ran, 0 after Cancel. A file that cannot be read (or holds no
    // worksheet, or whose first worksheet cannot be read) is refused with a
    // message naming it and the reason, without the dialog: 0.
    int Open_excel_Wnd(const QString &path);

    // Reads the chosen worksheet's header row into the column list; a
    // worksheet that cannot be read is named, with the reason.
    void comboBoxSelectionDidChange();
    void Select_ALL_Pressed();
    void Clear_All_Pressed();
    void Each_Col_RD_Click();
    void Fill_Col_RD_Click();
    void Fill_Type_CellClick(int option);
    bool Check_For_One_Extension_Selection() const;
    int Get_Selection_State(int index) const;
    void OKPressed();
    void CancelPressed();

    // 1: the series manager rebuilds its list of series after an import.
    int file_name_Insert = 0;
    // The all-in-one target: 0 a new series, 1 an existing one replaced,
    // any other value an existing one appended to.
    int fill_col_option = 0;
    QList<batch_data::ColumnRecord> ListData_xl;

    QLineEdit *file_path = nullptr;
    QCheckBox *contains_header = nullptr;
    QComboBox *Sheet_ComboBox = nullptr;
    QTableWidget *ColList = nullptr;
    QPushButton *select_all_btn = nullptr;
    QPushButton *clear_all_btn = nullptr;
    QRadioButton *Each_col_RD = nullptr;
    QRadioButton *Fill_col_RD = nullptr;
    QGroupBox *fill_box = nullptr;
    QButtonGroup *matrix_fill_type = nullptr;
    QLineEdit *list_name = nullptr;
    QComboBox *List_ComboBox = nullptr;
    QPushButton *ok_btn = nullptr;
    QPushButton *cancel_btn = nullptr;
    design_window::PleaseWaitSheet *plz_wait_Window = nullptr;

private:
    struct Source;
    void showColumns();
    // Reads the chosen worksheet's header row into the column list; the
    // reason when the worksheet cannot be read.
    std::optional<QString> readColumns();
    // The rows of the chosen worksheet (read under the please-wait sheet);
    // none after a message.
    std::optional<batch_data::SheetRows> readRows();
    void Create_file_For_Col_Func();
    void Insert_file_Func();
    void finishImport();

    std::unique_ptr<Source> m_source;
    int m_columns = 0;
};
