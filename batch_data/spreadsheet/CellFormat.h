#pragma once
// What a spreadsheet shows for a cell: the text a person reads in the sheet,
// made from the value a workbook stores and the number format of the cell's
// style. Booleans read "TRUE"/"FALSE", date serials go through date formats
// (in the 1900 or the 1904 date system), plain numbers read as the General
// format shows them (at most 15 significant digits, "0.00000015" rather than
// "1.5E-07", "42" rather than "42.0"), and texts keep every character.
//
// Display texts follow LibreOffice's "contents as shown" in an en-US locale,
// with two exceptions where the workbook format's own definition holds
// instead: the 1900 date system counts its phantom 29 February 1900 (serial
// 60; 1 is 1900-01-01, and 0, before the system's first day, 1899-12-31),
// and AM/PM markers keep the case the format writes them in.
//
// Pure functions and immutable values: usable from any thread. Nothing here
// fails: a value or code that cannot be understood reads as written.

#include <QString>
#include <QStringList>
#include <QStringView>

#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace batch_data {

// The kinds of cell an xlsx worksheet stores, by its "t" attribute: "n" (or
// none) number, "b" boolean, "e" error, "s" shared string, "inlineStr",
// "str" (a formula's text result), "d" ISO 8601 date.
enum class XlsxCellType { Number, Boolean, Error, SharedString, InlineString, FormulaString, Date };
XlsxCellType xlsxCellType(std::string_view t);

// The format code of a built-in number format (numFmtId below 164 without a
// numFmt of its own), as an en-US spreadsheet shows it; "General" for ids
// that have none.
QString builtInNumberFormat(int numFmtId);

// A number format code such as "yyyy-mm-dd h:mm:ss", "0.00%" or
// "#,##0;(#,##0);\"zero\";@": up to four sections separated by ';'
// (positive, negative, zero, text), with conditions ("[>=100]"), colours and
// locale tags (ignored, a currency symbol of a tag is kept), quoted and
// escaped literals, digit placeholders (0 # ?), grouping, scaling, percent,
// scientific and fraction forms, date and time parts, elapsed time ([h]) and
// AM/PM.
class NumberFormat {
public:
    NumberFormat();   // General
    explicit NumberFormat(const QString &code);
    ~NumberFormat();
    NumberFormat(const NumberFormat &);
    NumberFormat &operator=(const NumberFormat &);

    // A number as this format shows it. `date1904`: serial 0 is 1904-01-01
    // instead of the 1900 system's 1899-12-31.
    QString format(double value, bool date1904 = false) const;
    // A text as the format's text section shows it (the text itself when
    // there is none).
    QString formatText(const QString &text) const;
    bool isGeneral() const;

    struct Section;

private:
    std::shared_ptr<const std::vector<Section>> m_sections;
    int m_textSection = -1;
    bool m_general = true;
};

// A number in the General format: 15 significant digits, integers without a
// decimal point, scientific notation only where a fixed form would be too
// long (below 1E-09, from 2^53 up).
QString generalNumber(double value);

// The serial day number of an ISO 8601 date ("2024-02-06"), date and time
// ("2024-02-06T13:45:30.5") or time ("13:45:30") in the given date system.
// In the 1900 system "1899-12-31" is day 0, as XML Spreadsheet 2003 writes
// time-only values. No value when the text is not such a date.
std::optional<double> serialFromIso(QStringView iso, bool date1904);

// Texts in xlsx carry the characters XML cannot hold as "_xHHHH_" (UTF-16
// code unit in hexadecimal); a literal "_x" that would read as one is
// written "_x005F_x". decodeEscapes turns such sequences into characters;
// encodeEscapes writes control characters (other than tab and line feed,
// carriage return included) and U+FFFE/U+FFFF that way.
QString decodeEscapes(QStringView text);
QString encodeEscapes(QStringView text);

// Display texts of one workbook's cells: the number format of every cell
// style (cellXfs, by index) and the workbook's date system.
class CellFormatter {
public:
    CellFormatter();
    // `formatCodes`: the number format code of each cell style, by index.
    CellFormatter(const QStringList &formatCodes, bool date1904);

    // The text of a cell. `raw` is what the cell stores: the text of <v>
    // for numbers, booleans, errors, dates and formula texts, the text of
    // an inline string (escapes are decoded here); for a shared string, the
    // entry itself (decoded when the table was read). A style index without
    // a style shows as General.
    QString displayText(XlsxCellType type, const QString &raw, int styleIndex) const;

private:
    const NumberFormat &formatOf(int styleIndex) const;

    std::vector<NumberFormat> m_formats;   // by style index
    std::vector<bool> m_general;            // by style index
    NumberFormat m_defaultFormat;
    bool m_date1904 = false;
};

} // namespace batch_data
