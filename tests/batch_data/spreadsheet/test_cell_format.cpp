#include "batch_data/spreadsheet/CellFormat.h"
#include "batch_data/spreadsheet/Workbook.h"
#include "tests/batch_data/spreadsheet/CellFixtures.h"
#include "tests/batch_data/spreadsheet/SheetTestSupport.h"
#include "tests/support/TestSupport.h"

#include <QBuffer>
#include <QFile>

using namespace batch_data;
using namespace quorvant::test;

namespace {

// Every row of the fixture's only sheet as the workbook reader gives it.
QList<QStringList> displayedCells(const QString &xlsx)
{
    QString error;
    const std::optional<Workbook> book = Workbook::open(xlsx, &error);
    EXPECT_TRUE(book) << error.toStdString();
    const auto header = book ? book->header(1, 1, &error) : std::nullopt;
    const auto rows = header ? book->rows(1, header->columns, &error) : std::nullopt;
    EXPECT_TRUE(rows) << error.toStdString();
    return rows.value_or(QList<QStringList>());
}

} // namespace

TEST(XlsxReader, EveryFixtureCellReadsAsTheSpreadsheetShowsIt)
{
    // Expected: LibreOffice's CSV export of the same file (contents as
    // shown), with the rows CellFixtures.h puts in from the format's
    // definition.
    for (const char *name : {"cells_openpyxl", "cells_1904", "cells_iso_dates", "cells_libreoffice",
                             "cells_libreoffice_1904"}) {
        SCOPED_TRACE(name);
        const QList<QStringList> expected = expectedCells(QString::fromLatin1(name) + ".csv");
        const QList<QStringList> shown = displayedCells(cellFixture(QString::fromLatin1(name) + ".xlsx"));
        ASSERT_EQ(shown.size(), expected.size());
        for (qsizetype i = 0; i < expected.size(); ++i)
            EXPECT_EQ(shown.at(i), expected.at(i));
    }
}

TEST(CellFormat, GeneralKeepsFifteenDigitsAndGoesScientificWhereTheFixedFormIsTooLong)
{
    // Expected: LibreOffice 7.4's CSV export of these values in General,
    // contents as shown.
    const struct {
        double value;
        const char *shown;
    } rows[] = {
        {1.5e-07, "0.00000015"},
        {1.2345678e-09, "0.0000000012345678"},
        {1.23456789e-09, "1.23456789E-09"},
        {1e-10, "1E-10"},
        {9.99999999999999e-06, "0.00000999999999999999"},
        {9.87654321012345e-06, "9.87654321012345E-06"},
        {0.000987654321012345, "0.000987654321012345"},
        {0.1 + 0.2, "0.3"},
        {1.0 / 3, "0.333333333333333"},
        {1234.5678901234567, "1234.56789012346"},
        {99999999999999.98, "100000000000000"},
        {1.5e15, "1500000000000000"},
        {9.8765432101234e15, "9.8765432101234E+015"},
        {1e20, "1E+020"},
        {1e-100, "1E-100"},
        {-1.5e-07, "-0.00000015"},
        {-0.0, "0"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(generalNumber(row.value), QString::fromLatin1(row.shown)) << row.shown;
}

TEST(CellFormat, TextsWeWriteKeepControlCharactersAsEscapes)
{
    // The escapes of ECMA-376-1, 22.9.2.19 (ST_Xstring): a character as
    // _xHHHH_, and the underscore of a literal "_xHHHH_" as _x005F_.
    const struct {
        const char16_t *text;
        const char *written;
    } rows[] = {
        {u"line one\r\nline two", "line one_x000D_\nline two"},
        {u"bell\u0007 tab\t", "bell_x0007_ tab\t"},
        {u"keep _x0041_ as written", "keep _x005F_x0041_ as written"},
        {u"_x12_ and _xZZZZ_ are no escapes", "_x12_ and _xZZZZ_ are no escapes"},
        {u"\uFFFF", "_xFFFF_"},
    };
    for (const auto &row : rows) {
        const QString original = QString::fromUtf16(row.text);
        EXPECT_EQ(encodeEscapes(original), QString::fromLatin1(row.written));
        EXPECT_EQ(decodeEscapes(encodeEscapes(original)), original);
    }
}

TEST(WorksheetStream, TokensSplitAcrossReadsReadTheSame)
{
    // A device that hands out three bytes at a time puts every tag, text and
    // entity across the boundary of a read somewhere.
    class Trickle : public QBuffer {
    protected:
        qint64 readData(char *data, qint64 size) override { return QBuffer::readData(data, std::min<qint64>(size, 3)); }
    };
    const QString xlsx = cellFixture("cells_openpyxl.xlsx");
    const Workbook book = Workbook::open(xlsx).value();
    QFile part(book.folder() + "/xl/worksheets/sheet1.xml");
    ASSERT_TRUE(part.open(QIODevice::ReadOnly));
    Trickle trickle;
    trickle.setData(part.readAll());
    ASSERT_TRUE(trickle.open(QIODevice::ReadOnly));
    const CellFormatter general;
    part.seek(0);
    const auto whole = readWorksheet(part, {}, general);
    const auto split = readWorksheet(trickle, {}, general);
    ASSERT_TRUE(whole && split);
    EXPECT_EQ(whole->rows.size(), readCsv(cellFixture("cells_openpyxl.csv")).size());
    EXPECT_EQ(*split, *whole);
}
