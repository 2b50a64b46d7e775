#pragma once
// The spreadsheet data source: the records built from the columns a user
// ticked in a worksheet, and their viewer. The records are the design's
// spreadsheet table (design_window::currentSpreadsheetTable), which the
// design file keeps and the record binding and data-source combos read.
// Main thread only.

#include "batch_data/binding/ListData.h"
#include "design_window/DesignFile.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTableWidget;

class Data_From_Excel : public QDialog {
    Q_OBJECT
public:
    Data_From_Excel();
    static Data_From_Excel &defaultInstance();

    // The records: "Extension" the record number from "1", "Column%d" from
    // 1 the chosen columns' cells.
    batch_data::ListData ListData() const;
    // The chosen columns' titles, in order.
    QStringList columnTitles() const;
    // Replaces the data source with `titles` and the `records` (each as
    // many cells as titles, trimmed; numbered from 1).
    void setSource(const QStringList &titles, const QList<QStringList> &records);
    // Appends a record of the first n values (none with fewer, logged).
    void Create_List_By_Array(const QStringList &values, int n);
    // Appends a record holding only the trimmed value as its number.
    void Create_Value_List(const QString &value);
    void Mark_List_New_Selection(int row);

    // Shows the records modally until OK; an edited cell changes the data
    // source. The modal result.
    int Open_Wnd();
    void OK_Click();

    QTableWidget *ColList = nullptr;
    QLabel *rows_count = nullptr;
    QLabel *column_count = nullptr;
    QPushButton *ok_btn = nullptr;

private:
    void fillTable();
    void cellEdited(int row, int column);
};
