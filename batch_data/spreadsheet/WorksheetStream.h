#pragma once
// One pass over an xlsx worksheet part (and its shared-string part) as a
// stream of XML tokens: no document tree is built, so memory grows with the
// cells kept, not with the size of the XML. Cells come out as display texts
// (CellFormat.h).
//
// Plain functions over a device positioned at the part's start; any thread.
// A part that is not well-formed, or a sheet beyond the bounds, gives no
// rows and a reason that the caller can show: never a shorter table.

#include "batch_data/spreadsheet/CellFormat.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <string_view>

class QIODevice;

namespace batch_data {

// The widest sheet the formats allow (column XFD).
inline constexpr int kMaxSheetColumns = 16384;

struct WorksheetLimits {
    // Cells a read may keep (each row up to its last text) and give back
    // (every row at the width asked for); far beyond any data source a
    // card run uses, and a bound on the memory a damaged or hostile file
    // can claim.
    qint64 maxCells = 20000000;
};

struct WorksheetCells {
    // One entry per <row> element, in file order (rows the file leaves out
    // do not appear); each holds the texts up to its last non-empty cell,
    // column A first.
    QList<QStringList> rows;
    // 1 + the column of the rightmost non-empty cell of any row (0 for a
    // sheet without text). A <dimension> is not trusted: writers leave it
    // stale or claim the whole sheet.
    int width = 0;

    bool operator==(const WorksheetCells &) const = default;
};

// The shared-string table: the text of each <si> (runs joined, phonetic
// hints left out, _xHHHH_ escapes decoded). No value, with the reason, when
// the part is not well-formed.
std::optional<QStringList> readSharedStrings(QIODevice &part, QString *error = nullptr);

// Every row of the worksheet. `stopAfterRows` > 0 ends the read after that
// many rows (a header read); the width then covers those rows only.
std::optional<WorksheetCells> readWorksheet(QIODevice &part, const QStringList &sharedStrings,
                                            const CellFormatter &formatter, QString *error = nullptr,
                                            const WorksheetLimits &limits = WorksheetLimits{},
                                            int stopAfterRows = 0);

// The 0-based column of a cell reference ("AB12" is 27); -1 without
// letters or beyond column XFD.
int columnOfReference(std::string_view reference);

} // namespace batch_data
