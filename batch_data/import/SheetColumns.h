#pragma once
// The spreadsheet-to-series import's logic without its dialog: the column
// list made from a worksheet's header row, the values of one column or of
// several columns row by row, and the per-run answers to name clashes.
// Pure values and functions; any thread.

#include "batch_data/spreadsheet/Workbook.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace batch_data {

// One worksheet column as the column list shows it.
struct ColumnRecord {
    bool State = false; // ticked
    QString Extension;  // the name shown: the header text trimmed
    QString Header;     // the series name in the per-column mode: the header as read
    int column = 0;     // the worksheet column, from 0
    bool operator==(const ColumnRecord &) const = default;
};

// One record per header text, unticked, in column order. A header that
// holds only blanks is named "Untitled Column %d" like an empty one, so
// every record stays at its column.
QList<ColumnRecord> columnRecords(const QStringList &header);

// The texts of `column` in every row from the first (or the second when
// `skipHeader`), each trimmed; empty cells give empty values.
QStringList columnValues(const SheetRows &rows, int column, bool skipHeader);

// The texts of the given columns row by row, the columns of one row left to
// right (in column order, whatever the order given), each trimmed.
QStringList allInOneValues(const SheetRows &rows, QList<int> columns, bool skipHeader);

// A question about an existing series, as the long-message dialog asks it.
struct ClashQuestion {
    QString title;
    QString text;
    bool showApplyToAll = false;
    bool operator==(const ClashQuestion &) const = default;
};
struct ClashAnswer {
    bool yes = false;
    bool applyToAll = false;
};
using AskClash = std::function<ClashAnswer(const ClashQuestion &)>;

// The name clashes of one per-column import run. A series in use by the
// design is never overwritten: the user is told and the column skipped. An
// existing series not in use is replaced only after a Yes. "Apply to all"
// repeats an answer for the rest of this run only.
class ClashRun {
public:
    // `offerApplyToAll`: the run has more than one column.
    ClashRun(AskClash ask, bool offerApplyToAll);
    // Whether the column's series may be written.
    bool mayWrite(const QString &name, bool exists, bool inUse);

private:
    AskClash m_ask;
    bool m_offerApplyToAll;
    bool m_inUseToldForAll = false;
    std::optional<bool> m_replaceForAll;
};

} // namespace batch_data
