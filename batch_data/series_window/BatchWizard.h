#pragma once
// The Batch Processing Series manager: one modal window with two screens,
// the list of series (create, open, delete, import, generate) and the value
// editor of one series (edit, remove, import, generate, export, save). Every
// write goes through the series store's checked name-to-path function and
// is atomic; a series that a design object uses is neither overwritten nor
// deleted. Main thread only.

#include <QDialog>
#include <QStringList>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class Load_Num_Info;
class Update_Ex_Num;

class BatchWizard : public QDialog {
    Q_OBJECT
public:
    BatchWizard();
    ~BatchWizard() override;
    static BatchWizard &defaultInstance();

    // Opens the manager on the list screen (the series folder made when
    // missing); 0 when closed.
    int Open_Wnd();
    // Rebuilds the list of series from the series folder.
    void Fill_List();
    // Appends the trimmed value to the editor; an empty value adds nothing.
    void Create_Value_List(const QString &value);

    // ---- list screen
    void Help_Btn_Clicked();
    void Import_Btn_Clicked();
    void CreateSeries_Btn_Clicked();
    void AddNew_Btn_Clicked();
    void Update_Btn_Clicked();
    void Delete_List_Btn_Clicked();
    void Close_Btn_Clicked();
    // ---- editor screen
    void Import_Value_Btn_Clicked();
    void Series_Value_Btn_Clicked();
    void Delete_Rows_Btn_Clicked();
    void Export_Value_Btn_Clicked();
    void Save_Btn_Clicked();
    void Back_Btn_Clicked();
    void Close_2_Btn_Clicked();
    // Escape and the window's close button leave as Close does.
    void reject() override;
    // A double click on either table: opens the series or edits the value.
    void doubleClickInTable(QTableWidget *table);

    void Create_Avail_List(const QString &name);
    // The trimmed value or name of a row; "" (and a log line) outside.
    QString Get_Value_Text(int row) const;
    QString Get_List_Name_Text(int row) const;
    void Update_batch_List_Count();
    void Update_Value_List_Count();
    void Mark_List_New_Selection(int row);
    void Mark_List_New_Selection_Value(int row);
    void Show_hide_first_screen(bool hide);
    void Show_hide_Last_screen(bool hide);
    bool Batch_List_Selection_Validation();
    // Opens the selected series in the editor.
    void On_Update();
    // Edits the selected value in the one-value editor.
    void OnGetSelected();
    void Open_Export_File_Box();
    // Enables Import and Generate when an importer is installed.
    void updateImporterButtons();

    // The list of series and the editor's values, in table order.
    QStringList ListData;
    QStringList ListData_value;

    QTableWidget *List = nullptr;
    QTableWidget *List_value = nullptr;
    QWidget *avl_list_box = nullptr;
    QWidget *btn_box1 = nullptr;
    QWidget *list_value_box = nullptr;
    QWidget *btn_box2 = nullptr;
    QLineEdit *batch_list_name = nullptr;
    QLineEdit *update_list_name = nullptr;
    QLabel *batch_list_count = nullptr;
    QLabel *batch_value_count = nullptr;
    Load_Num_Info *Load_Number_Window = nullptr;
    Update_Ex_Num *Update_Value_Wnd = nullptr;

    QPushButton *import_btn = nullptr;
    QPushButton *create_series_btn = nullptr;
    QPushButton *import_value_btn = nullptr;
    QPushButton *series_value_btn = nullptr;

    // The editor holds values that differ from those last opened or saved.
    bool hasUnsavedEdit() const;

private:
    // Before the editor is left with an edit that was not saved: asks to
    // save it under another name, discard it, or stay. True when the editor
    // may be left (saved or discarded).
    bool leaveEditor();
    // Asks a name and saves the editor's values as that series; the series
    // that was opened stays as it is. False when called off or not saved.
    bool saveUnderAnotherName();
    // Save: true when the values were written.
    bool saveEditor();
    // The values as last opened or saved, against which an edit is told.
    void markSaved();
    // The clear-or-append question before values come into a filled
    // editor; false when the user called it off.
    bool askClearOrAppend();
    // Whether an object of the open design takes its values from `name`.
    bool seriesInUse(const QString &name) const;
    // The row the user selected last: the current row when it is selected,
    // else the last selected one; -1 without a selection.
    static int selectedRow(const QTableWidget *table);
    // The rows selected in `table`, ascending.
    static QList<int> selectedRows(const QTableWidget *table);
    static void fillTable(QTableWidget *table, const QStringList &rows);
    static void appendRow(QTableWidget *table, const QString &text);

    QStringList m_savedValues;
};
