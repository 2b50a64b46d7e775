#pragma once
// An xlsx workbook opened for reading. Opening unpacks the package into a
// private temporary folder that the workbook owns and removes when it goes,
// and loads the shared strings, the cell styles' number formats and the
// date system once; the worksheets are then read on request as rows of
// cell texts as the spreadsheet shows them (CellFormat.h), column A first.
// A worksheet is named by its number N from 1: its position in the
// workbook's own list of worksheets (worksheets()), as the importers count
// them. It is read from the part the workbook's relationships give it,
// whatever that part is called.
//
// A worksheet is read in one pass over its XML (WorksheetStream.h): the
// header read measures the sheet from its cells and keeps what it read for
// the full read that follows, so the part is parsed once.
//
// A workbook is moved, never copied. It touches no process-wide value; the
// fixed class operations of SpreadsheetWriter keep one and read the
// worksheet choice at the edge. A failure, a damaged part or a sheet beyond
// the size bound included, is no value with the reason in `error`: never a
// shorter table.

#include "batch_data/spreadsheet/CellFormat.h"
#include "batch_data/spreadsheet/WorksheetStream.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <utility>

class QTemporaryDir;

// Column letters of a cell reference ("AB" of "AB12").
QString Get_Column_Char_Str(const QString &reference);
// Column letters to a number: with base 65 the 0-based index (A = 0,
// AA = 26), with base 64 the 1-based column number (A = 1, AA = 27).
// -1 without letters.
int Get_Col_index(const QString &letters, int base);

namespace batch_data {

using SheetRows = QList<QStringList>;

// One worksheet of a workbook: its name as the spreadsheet shows it on its
// tab, and its part in the package ("xl/worksheets/sheet3.xml").
struct WorksheetEntry {
    QString name;
    QString part;
    bool operator==(const WorksheetEntry &) const = default;
};

// What the header read finds: the worksheet's width and its first row.
struct SheetHeader {
    // The column of the rightmost cell holding text, in any row, at most
    // 16384; 0 when no cell holds text. The sheet's <dimension> is not
    // trusted: writers leave it stale or claim every column.
    int columns = 0;
    // The first row at that width, "Untitled Column %d" (from 1) where a cell
    // is empty; none when the worksheet has no row.
    std::optional<QStringList> names;
    bool operator==(const SheetHeader &) const = default;
};

// What the importers tell the user of a spreadsheet file that cannot be
// read: the file's name, then the reason.
QString unreadableSpreadsheetMessage(const QString &path, const QString &reason);

class Workbook {
public:
    // No workbook when no temporary folder can be made, the path is no
    // readable regular file, the package cannot be opened at all (not a zip
    // archive, no entry, beyond the unpacking limits) or its shared strings
    // or styles are damaged; `error` then gives the reason as a user reads
    // it, without the path. A package with some damaged or refused entries
    // opens, with a log line; its other parts read.
    static std::optional<Workbook> open(const QString &path, QString *error = nullptr,
                                        const WorksheetLimits &limits = WorksheetLimits{});

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
    // The worksheets in workbook order (chart sheets left out), each with
    // the part its relationship names; worksheet N is entry N - 1. A package
    // without a usable workbook part or relationships lists its worksheet
    // parts as worksheetParts() orders them, each named after its part.
    const QList<WorksheetEntry> &worksheets() const { return m_worksheets; }
    const QStringList &sharedStrings() const { return m_sharedStrings; }

    // The header read; where no cell holds text the names are
    // `columnsIfUntold` long.
    std::optional<SheetHeader> header(int sheet, int columnsIfUntold, QString *error = nullptr) const;
    // Every row of the worksheet, each `columns` texts long (at most 16384).
    // Rows that the worksheet leaves out (empty rows) do not appear.
    std::optional<SheetRows> rows(int sheet, int columns, QString *error = nullptr) const;

private:
    Workbook(std::unique_ptr<QTemporaryDir> folder, QStringList sharedStrings, CellFormatter formatter,
             WorksheetLimits limits);
    QList<WorksheetEntry> readWorksheetList() const;
    QString partPath(int sheet) const;
    // The cells of the worksheet: those the header read kept, else read now.
    std::optional<WorksheetCells> cells(int sheet, bool keep, QString *error) const;

    std::unique_ptr<QTemporaryDir> m_folder;
    QStringList m_sharedStrings;
    CellFormatter m_formatter;
    WorksheetLimits m_limits;
    QList<WorksheetEntry> m_worksheets;
    // The worksheet the last header read parsed, until the full read takes it.
    mutable std::optional<std::pair<int, WorksheetCells>> m_kept;
};

// The same reads on part files, for the spreadsheet instance's own
// operations (numbers in General, as no styles come with them). The strings
// of a shared-string part, empty when unreadable.
QStringList readSharedStrings(const QString &partPath);
std::optional<SheetRows> readWorksheetRows(const QString &partPath, const QStringList &sharedStrings,
                                           int columns, QString *error = nullptr);

} // namespace batch_data
