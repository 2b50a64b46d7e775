#pragma once
// The parts of an xlsx workbook that decide how its cells read: the number
// format of every cell style (styles.xml) and the date system
// (workbook.xml). Functions over the parts' bytes; any thread.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace batch_data {

// The number format code of each cell style, by the index cells give in
// their "s" attribute (the <xf> elements of <cellXfs>): the workbook's own
// code for its numFmtId, else the built-in format of that id. No styles
// (an empty or unreadable part) gives an empty list, which reads as General
// throughout; the reason goes to `error` when the part is not well-formed.
QStringList readCellFormatCodes(const QByteArray &stylesXml, QString *error = nullptr);

// True when the workbook counts dates from 1904-01-01 (<workbookPr
// date1904="1"/>, as workbooks from old Mac spreadsheets do).
bool readDate1904(const QByteArray &workbookXml);

} // namespace batch_data
