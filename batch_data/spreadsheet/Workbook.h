#pragma once
// An xlsx workbook opened for reading. Opening unpacks the package into a
// private temporary folder that the workbook owns and removes when it goes,
// and loads the shared strings once; the worksheets are then read on request
// as rows of cell texts, column A first. A worksheet is named by the number
// N of its part "xl/worksheets/sheet<N>.xml", from 1, as the importers count
// them.
//
// A workbook is moved, never copied. It touches no process-wide value; the
// fixed class operations of SpreadsheetWriter keep one and read the
// worksheet choice at the edge. A failure is no value with the reason in
// `error`; a read cut short at a size bound is logged and keeps what it read.

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class QTemporaryDir;

// Column letters of a cell reference ("AB" of "AB12").
QString Get_Column_Char_Str(const QString &reference);
// Column letters to a number: with base 65 the 0-based index (A = 0,
// AA = 26), with base 64 the 1-based column number (A = 1, AA = 27).
// -1 without letters.
int Get_Col_index(const QString &letters, int base);

namespace batch_data {

using SheetRows = QList<QStringList>;

// What the header read finds: the worksheet's width and its first row.
struct SheetHeader {
    // The dimension's last column (any range, such as B10:D20, or a single
    // cell) or the last column holding text, whichever is wider, at most
    // 16384; 0 when neither tells.
    int columns = 0;
    // The first row at that width, "Untitled Column %d" (from 1) where a cell
    // is empty; none when the worksheet has no row.
    std::optional<QStringList> names;
    bool operator==(const SheetHeader &) const = default;
};

class Workbook {
public:
    // No workbook when no temporary folder can be made or the package cannot
    // be opened at all (not a zip archive, no entry, beyond the unpacking
    // limits). A package with some damaged or refused entries opens, with a
    // log line; its other parts read.
    static std::optional<Workbook> open(const QString &path, QString *error = nullptr);

    Workbook(Workbook &&) noexcept;
    Workbook &operator=(Workbook &&) noexcept;
    ~Workbook();

    // The folder the package is unpacked in.
    QString folder() const;
    // The worksheet parts ("sheet1", "sheet2", ...), ordered by their number:
    // the part at position i is worksheet i + 1.
    QStringList worksheetParts() const;
    // The worksheet names in workbook order; empty when the workbook part
    // cannot be read.
    QStringList sheetNames() const;
    const QStringList &sharedStrings() const { return m_sharedStrings; }

    // The header read; where the worksheet tells no width the names are
    // `columnsIfUntold` long.
    std::optional<SheetHeader> header(int sheet, int columnsIfUntold, QString *error = nullptr) const;
    // Every row of the worksheet, each `columns` texts long (at most 16384).
    // Rows that the worksheet leaves out (empty rows) do not appear.
    std::optional<SheetRows> rows(int sheet, int columns, QString *error = nullptr) const;

private:
    Workbook(std::unique_ptr<QTemporaryDir> folder, QStringList sharedStrings);
    QString partPath(int sheet) const;

    std::unique_ptr<QTemporaryDir> m_folder;
    QStringList m_sharedStrings;
};

// The same reads on part files, for the spreadsheet instance's own
// operations. The strings of a shared-string part, empty when unreadable.
QStringList readSharedStrings(const QString &partPath);
std::optional<SheetRows> readWorksheetRows(const QString &partPath, const QStringList &sharedStrings,
                                           int columns, QString *error = nullptr);

} // namespace batch_data
