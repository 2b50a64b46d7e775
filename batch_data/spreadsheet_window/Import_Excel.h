#pragma once
// The spreadsheet column picker: a workbook's worksheets by name, the
// titles of the chosen worksheet's columns with check boxes, and whether the
// first row holds the titles. In open mode "E" the ticked columns become the
// spreadsheet data source (Data_From_Excel); in mode "D" their values are
// appended to the series manager's editor. Main thread only.

#include "batch_data/spreadsheet/ColumnPicker.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace design_window {
class PleaseWaitSheet;
}

class Import_Excel : public QDialog {
    Q_OBJECT
public:
    Import_Excel();
    static Import_Excel &defaultInstance();

    // Opens the workbook at `path` and runs the picker; set open_mode first.
    // 1 after a finished OK, 0 after Cancel. A file that cannot be read (or
    // holds no worksheet, or whose first worksheet cannot be read) is
    // refused with a message naming it and the reason, without the picker:
    // 0.
    int Open_excel_Wnd(const QString &path);
    // Opens the workbook and lists its worksheets; the first is chosen. The
    // reason when the workbook or that worksheet cannot be read.
    std::optional<QString> Load_file_Func(const QString &path);
    // The worksheet at `index` of the list: its titled columns, none ticked
    // (none at all when it has no row); one that cannot be read is named,
    // with the reason.
    void comboBoxSelectionDidChange(int index);
    void Create_List(const QString &title, bool state, int column);
    void Select_ALL_Pressed();
    void Clear_All_Pressed();
    // 1 when entry `index` is ticked; 0 otherwise and beyond the list.
    int Get_Selection_State(int index) const;
    bool Check_For_One_Extension_Selection() const;
    void OKPressed();
    void CancelPressed();
    // Mode "D": the ticked columns' values into the series manager's editor.
    void Insert_file_Func();
    // Mode "E": the ticked columns as the spreadsheet data source.
    void Create_Excel_List_Func();

    // "E" build the spreadsheet data source; "D" append to the series editor.
    QString open_mode = QStringLiteral("D");
    // The rows last read from the workbook.
    QList<QStringList> excel_content;
    // The listed columns and whether each is ticked.
    struct ColumnEntry {
        batch_data::SheetColumn column;
        bool state = false;
    };
    QList<ColumnEntry> ListData_xl;

    QLabel *file_path = nullptr;
    QCheckBox *contains_header = nullptr;
    QComboBox *Sheet_ComboBox = nullptr;
    QTableWidget *ColList = nullptr;
    QPushButton *select_all_btn = nullptr;
    QPushButton *clear_all_btn = nullptr;
    QPushButton *ok_btn = nullptr;
    QPushButton *cancel_btn = nullptr;
    // Shown over the picker while a workbook is read.
    design_window::PleaseWaitSheet *plz_wait_Window = nullptr;

protected:
    void reject() override { CancelPressed(); }

private:
    void fillColumnList();
    // Lists the columns of the worksheet at `index`; the reason when it
    // cannot be read.
    std::optional<QString> readColumns(int index);
    void setAllStates(bool state);
    // The positions of the ticked columns, in list order.
    QList<int> tickedColumns() const;
    // Every row of the chosen worksheet; none (after telling the user) when
    // it has none or cannot be read.
    std::optional<batch_data::SheetRows> readRows();
};
