#pragma once
// The cell display fixtures of tests/data/spreadsheet/cells (made by
// make_cell_fixtures.py) and their expected texts: LibreOffice's CSV export
// of each file, "contents as shown", with the rows where the workbook
// format's own definition differs from LibreOffice replaced.

#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>

namespace quorvant::test {

inline QString cellFixture(const QString &name)
{
    return QStringLiteral(QUORVANT_TEST_DATA "/spreadsheet/cells/") + name;
}

// RFC 4180: fields separated by commas, quoted fields may hold commas,
// line breaks and doubled quotes.
inline QList<QStringList> readCsv(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString text = QString::fromUtf8(file.readAll());
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text.at(i + 1) == u'"') {
                field += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            row.append(field);
            field.clear();
        } else if (c == u'\n') {
            row.append(field);
            rows.append(row);
            row.clear();
            field.clear();
        } else {
            field += c;
        }
    }
    if (!field.isEmpty() || !row.isEmpty()) {
        row.append(field);
        rows.append(row);
    }
    return rows;
}

// Rows whose expected text comes from the file format's definition rather
// than from LibreOffice's CSV of the file. For cells_openpyxl.xlsx
// LibreOffice counts 1900 dates from 1899-12-30 without the phantom leap
// day and changes the case of AM/PM markers; in cells_openpyxl_2003.xml it
// drops the boolean cells over their formula "of:=TRUE()", which it cannot
// parse in that format.
struct DefinedText {
    const char *csv;
    const char *label;
    const char *text;
    const char *source;
};
inline const DefinedText kDefinedTexts[] = {
    {"cells_openpyxl.csv", "serial 0", "1899-12-31",
     "ECMA-376-1, 18.17.4 (1900 date base): serial 1 is the 1900 system's first day, 1900-01-01"},
    {"cells_openpyxl.csv", "serial 1", "1900-01-01", "ECMA-376-1, 18.17.4 (1900 date base): serial 1 is 1900-01-01"},
    {"cells_openpyxl.csv", "serial 59 weekday", "1900-02-28 Tuesday",
     "ECMA-376-1, 18.17.4 (1900 date base); weekdays count on from serial 1, a Sunday"},
    {"cells_openpyxl.csv", "serial 60", "1900-02-29",
     "ECMA-376-1, 18.17.4 (1900 date base): serial 60 is the phantom 1900-02-29"},
    {"cells_openpyxl.csv", "a/p", "1:45 P", "number format codes: A/P shows A or P as written"},
    {"cells_openpyxl.csv", "lower-case am/pm", "9:30 am", "number format codes: am/pm shows am or pm as written"},
    {"cells_openpyxl_2003.csv", "boolean true", "TRUE", "<Data ss:Type=\"Boolean\">1</Data>"},
    {"cells_openpyxl_2003.csv", "boolean false", "FALSE", "<Data ss:Type=\"Boolean\">0</Data>"},
};

// The CSV of a fixture with the defined texts put in.
inline QList<QStringList> expectedCells(const QString &csvName)
{
    QList<QStringList> rows = readCsv(cellFixture(csvName));
    for (QStringList &row : rows) {
        for (const DefinedText &defined : kDefinedTexts) {
            if (csvName == QLatin1String(defined.csv) && row.size() == 2 && row.at(0) == QLatin1String(defined.label))
                row[1] = QString::fromUtf8(defined.text);
        }
    }
    return rows;
}

} // namespace quorvant::test
