#pragma once
// Turning the columns a user ticked in a worksheet into values: the records
// of the spreadsheet data source, or the values appended to a series. Rows
// are the worksheet's rows as SpreadsheetWriter reads them (every row the
// sheet's width, column A first). Pure functions; any thread.

#include "batch_data/spreadsheet/Workbook.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace batch_data {

// A column the user may tick: its header title, trimmed, and the position
// of its cells in every row. A column whose header is blank is not offered,
// and the columns after it keep their own positions.
struct SheetColumn {
    QString title;
    int column = 0;
    bool operator==(const SheetColumn &) const = default;
};

// The header row's columns that have a title, left to right.
QList<SheetColumn> sheetColumns(const QStringList &header);

// One record per row (after the first when it holds the titles): the
// trimmed cells at `columns`, in that order. A cell beyond a row is "".
QList<QStringList> pickColumns(const SheetRows &rows, const QList<int> &columns, bool containsHeader);

// The same cells row by row, left to right within a row, empty ones left
// out: the values a series takes.
QStringList pickedValues(const SheetRows &rows, const QList<int> &columns, bool containsHeader);

} // namespace batch_data
