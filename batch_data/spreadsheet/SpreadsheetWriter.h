#pragma once
// The program's reader and writer of spreadsheets: xlsx workbooks (read one
// worksheet as rows of cell texts, write rows as a one-sheet workbook built
// from the bundle's "Template.xlsx"), OpenDocument spreadsheets and the
// single-file XML Spreadsheet 2003 format. Rows are lists of cell texts,
// column A first.
//
// The xlsx class operations are the fixed entry points over one
// batch_data::Workbook that the single instance holds: opening replaces it,
// the reads take the worksheet choice from the process-wide values below,
// and Delete_Work_Folder() drops it with its folder. Writing never touches
// it. The class operations run on the main thread, or on one worker while
// the main thread waits for it under a please-wait sheet.

#include "batch_data/spreadsheet/Workbook.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace batch_data {

// The worksheet that reads use: worksheet N of the opened workbook, N from 1,
// in the workbook's own order (Read_Sheet_Name). The importers set it.
extern int Excel_Sheet_Number;
// The width of the current worksheet, the length of every row a full read
// returns. 1 when a workbook is opened; set by the header read.
extern int Excel_Sheet_Columns;

} // namespace batch_data

class SpreadsheetWriter {
public:
    using Rows = QList<QStringList>;

    ~SpreadsheetWriter();
    SpreadsheetWriter(const SpreadsheetWriter &) = delete;
    SpreadsheetWriter &operator=(const SpreadsheetWriter &) = delete;

    // The single instance that the class operations work on.
    static SpreadsheetWriter &instance();

    // With `only_col` set: opens the workbook at `path` in place of the one
    // open before and sets Excel_Sheet_Columns to 1; the result is the rows
    // read before, or none (with the reason in `error` and a log line) when
    // the workbook cannot be opened.
    // With it clear (`path` is not used): every row of worksheet
    // Excel_Sheet_Number, each Excel_Sheet_Columns texts long (see
    // Workbook::rows); none, with the reason, when it cannot be read.
    static Rows ReadWorkbook(const QString &path, bool only_col, QString *error = nullptr);
    // The first row of worksheet Excel_Sheet_Number, "Untitled Column %d"
    // where a header cell is empty; sets Excel_Sheet_Columns from the
    // worksheet's cells (see Workbook::header). No row when the sheet has
    // none, or, with the reason in `error`, when it cannot be read.
    static Rows ReadData_only_column(QString *error = nullptr);
    // The worksheet names of the opened workbook, in workbook order: name i
    // is worksheet i + 1 (see Workbook::worksheets).
    static QStringList Read_Sheet_Name();
    // Writes the rows as a one-sheet workbook at `path` (atomically). The
    // title-row flag is accepted and not used. False, with a log line, when
    // anything could not be written; the file at `path` is then untouched.
    static bool WriteWorkbook(const QString &path, const Rows &withData, bool hasTitleRow);
    static QString ColumnNumber_To_Name(int number);
    static void Release_Data();

    // The folder the opened workbook is unpacked in; empty when none is open.
    static QString Work_Folder();
    // The parts of the opened workbook's worksheets ("sheet1", "sheet2",
    // ...) in workbook order: the part at position i is worksheet i + 1.
    static QStringList Worksheet_Parts();
    // Drops the opened workbook's folder with everything in it.
    static void Delete_Work_Folder();

    // OpenDocument: the rows of the first table of the ods file, each cell as
    // the file shows it. No rows, with the reason in `error` and a log line,
    // when the file cannot be read or holds more than can be.
    static Rows ReadODS(const QString &path, QString *error = nullptr);
    // Writes the rows as a one-table ods file from the bundle's "Template.ods".
    static bool WriteODS(const QString &path, const Rows &withData, bool hasTitleRow);
    // XML Spreadsheet 2003: the rows of the first worksheet, numbers and dates
    // through their styles' formats; as ReadODS when it cannot be read.
    static Rows ReadWorksheetXML2004(const QString &path, QString *error = nullptr);
    static bool WriteWorksheetXML2004(const QString &path, const Rows &withData);

    // Replaces sharedStrings with those of the part (empty when unreadable).
    void ReadSharedStrings(const QString &path);
    // Replaces data with every row of the worksheet part at the width
    // Excel_Sheet_Columns, read with sharedStrings.
    void ReadData(const QString &path);
    // Writes data as a worksheet part; rebuilds sharedStrings.
    bool WriteWorksheetData(const QString &path);
    bool WriteSharedStringsXML(const QString &path);
    bool WriteWorkbookXML(const QString &path, const QString &withSheetName);
    // Writes data as the "content.xml" part of an ods package.
    bool WriteODSData(const QString &path);
    // Column number from 1 to letters: 1 = A, 27 = AA, 702 = ZZ, 703 = AAA.
    static QString ColumnIndexToName(int number);

    const Rows &data() const { return _data; }
    void setData(const Rows &data) { _data = data; }
    const QStringList &sharedStrings() const { return _sharedStrings; }
    void setSharedStrings(const QStringList &strings) { _sharedStrings = strings; }
    // The opened workbook's folder (empty when none).
    QString tmpDir() const;

private:
    SpreadsheetWriter();

    Rows _data;
    // The table of the workbook opened or written last.
    QStringList _sharedStrings;
    std::optional<batch_data::Workbook> _workbook;
};
