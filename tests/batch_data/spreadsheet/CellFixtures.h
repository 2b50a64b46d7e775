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

// Rows of cells_openpyxl.xlsx whose expected text comes from the
// definition of the format rather than from LibreOffice, which counts 1900
// dates from 1899-12-30 without the phantom leap day and changes the case
// of AM/PM markers. (Files converted by LibreOffice hold its own reading.)
struct DefinedText {
    const char *label;
    const char *text;
    const char *source;
};
inline const DefinedText kDefinedTexts[] = {
    {"serial 0", "1900-01-00", "ECMA-376 Part 1, 18.17.4.1: the 1900 system's day 0 precedes 1900-01-01"},
    {"serial 1", "1900-01-01", "ECMA-376 Part 1, 18.17.4.1: serial 1 is 1900-01-01"},
    {"serial 59 weekday", "1900-02-28 Tuesday", "ECMA-376 Part 1, 18.17.4.1; weekdays count on from serial 1, a Sunday"},
    {"serial 60", "1900-02-29", "ECMA-376 Part 1, 18.17.4.1: serial 60 is the phantom 1900-02-29"},
    {"a/p", "1:45 P", "number format codes: A/P shows A or P as written"},
    {"lower-case am/pm", "9:30 am", "number format codes: am/pm shows am or pm as written"},
};

// The CSV of a fixture, with the defined texts put in for the openpyxl
// workbook.
inline QList<QStringList> expectedCells(const QString &csvName)
{
    QList<QStringList> rows = readCsv(cellFixture(csvName));
    if (csvName != QLatin1String("cells_openpyxl.csv"))
        return rows;
    for (QStringList &row : rows) {
        for (const DefinedText &defined : kDefinedTexts) {
            if (row.size() == 2 && row.at(0) == QLatin1String(defined.label))
                row[1] = QString::fromUtf8(defined.text);
        }
    }
    return rows;
}

} // namespace quorvant::test
