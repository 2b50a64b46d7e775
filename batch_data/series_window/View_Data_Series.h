#pragma once
// The series viewer: the values of one Batch Processing Series, read only,
// with their count. Main thread only.

#include <QDialog>
#include <QStringList>

class QLabel;
class QPushButton;
class QTableWidget;

class View_Data_Series : public QDialog {
    Q_OBJECT
public:
    View_Data_Series();
    static View_Data_Series &defaultInstance();

    // Shows the series named `file_name` modally until OK; 1. A series file
    // that is there but cannot be read (not UTF-8, no permission) is not
    // shown as an empty list: the user is told why, and the result is 0.
    int Open_Wnd();
    // Fills the list from the series `name` (trimmed values, blanks left
    // out); a missing series gives an empty list. False, with the message
    // for the user in `error`, when the file is there but cannot be read.
    bool Load_file_Func(const QString &name, QString *error = nullptr);
    void Create_Avail_List(const QString &value);
    void Update_batch_List_Count();
    void OK_Btn_Clicked();

    // The series to show; set before Open_Wnd.
    QString file_name;
    QStringList ListData;
    QLabel *series_name = nullptr;
    QTableWidget *List = nullptr;
    QLabel *list_count = nullptr;
    QPushButton *ok_btn = nullptr;
};
