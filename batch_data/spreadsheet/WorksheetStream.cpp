#include "batch_data/spreadsheet/WorksheetStream.h"

#include "batch_data/spreadsheet/XmlScanner.h"

#include <charconv>

namespace batch_data {

namespace {

using Token = XmlScanner::Token;

// The text of a string item (<si> or <is>), whose start was just read: its
// <t>, or the <t> of each run <r>; phonetic hints (<rPh>) are not text.
bool readStringItem(XmlScanner &xml, std::string &out)
{
    for (int depth = 1; depth > 0;) {
        switch (xml.next()) {
        case Token::StartElement:
            if (xml.isNamed("t")) {
                if (!xml.appendElementText(out))
                    return false;
            } else if (xml.isNamed("rPh")) {
                if (!xml.skipElement())
                    return false;
            } else {
                ++depth;
            }
            break;
        case Token::EndElement: --depth; break;
        case Token::Text: break;
        case Token::EndOfDocument:
        case Token::Error: return false;
        }
    }
    return true;
}

int toInt(std::string_view text, int fallback)
{
    int value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() && result.ptr == text.data() + text.size() ? value : fallback;
}

QString fromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

} // namespace

int columnOfReference(std::string_view reference)
{
    qint64 number = 0;
    size_t i = 0;
    for (; i < reference.size(); ++i) {
        const char c = reference[i];
        int letter = 0;
        if (c >= 'A' && c <= 'Z')
            letter = c - 'A' + 1;
        else if (c >= 'a' && c <= 'z')
            letter = c - 'a' + 1;
        else
            break;
        number = number * 26 + letter;
        if (number > kMaxSheetColumns)
            return -1;
    }
    return i == 0 ? -1 : int(number - 1);
}

std::optional<QStringList> readSharedStrings(QIODevice &part, QString *error)
{
    XmlScanner xml(part);
    QStringList strings;
    std::string item;
    for (;;) {
        const Token token = xml.next();
        if (token == Token::EndOfDocument)
            return strings;
        if (token == Token::Error)
            break;
        if (token == Token::StartElement && xml.isNamed("si")) {
            item.clear();
            if (!readStringItem(xml, item))
                break;
            strings.append(decodeEscapes(fromUtf8(item)));
        }
    }
    if (error)
        *error = QStringLiteral("the shared strings are damaged: %1").arg(xml.errorString());
    return std::nullopt;
}

std::optional<WorksheetCells> readWorksheet(QIODevice &part, const QStringList &sharedStrings,
                                            const CellFormatter &formatter, QString *error,
                                            const WorksheetLimits &limits, int stopAfterRows)
{
    XmlScanner xml(part);
    WorksheetCells sheet;
    QStringList row;      // the row being read, up to its last text
    std::string value;    // the <v> or inline text of the cell being read
    bool inSheetData = false;
    bool inRow = false;
    int column = -1;
    qint64 kept = 0;      // cells kept so far, a row without text counting one

    auto damaged = [&] {
        if (error)
            *error = QStringLiteral("the worksheet is damaged: %1").arg(xml.errorString());
        return std::nullopt;
    };

    for (;;) {
        const Token token = xml.next();
        if (token == Token::EndOfDocument)
            break;
        if (token == Token::Error)
            return damaged();
        if (token == Token::EndElement) {
            if (inRow && xml.isNamed("row")) {
                inRow = false;
                kept += std::max<qint64>(1, row.size());
                if (kept > limits.maxCells) {
                    if (error)
                        *error = QStringLiteral("the worksheet has more than %L1 cells, more than can be read")
                                     .arg(limits.maxCells);
                    return std::nullopt;
                }
                // A copy holds exactly the row's texts; the working row keeps
                // its room for the next one.
                sheet.rows.append(QStringList(row.cbegin(), row.cend()));
                if (stopAfterRows > 0 && sheet.rows.size() >= stopAfterRows)
                    return sheet;
            } else if (xml.isNamed("sheetData")) {
                return sheet;   // nothing after the cells is read
            }
            continue;
        }
        if (token != Token::StartElement)
            continue;
        if (!inSheetData) {
            inSheetData = xml.isNamed("sheetData");
            if (!inSheetData && !xml.isNamed("worksheet") && !xml.skipElement())
                return damaged();
            continue;
        }
        if (!inRow && xml.isNamed("row")) {
            inRow = true;
            row.clear();
            column = -1;
            continue;
        }
        if (!inRow || !xml.isNamed("c")) {
            if (!xml.skipElement())
                return damaged();
            continue;
        }

        // A cell: <c r="B2" s="3" t="s"><v>5</v></c>, an inline string
        // <c t="inlineStr"><is><t>…</t></is></c>, or a formula <f> with the
        // value it last computed in <v>.
        const std::string_view ref = xml.attribute("r");
        column = ref.empty() ? column + 1 : columnOfReference(ref);
        const XlsxCellType type = xlsxCellType(xml.attribute("t"));
        const int style = toInt(xml.attribute("s"), 0);
        value.clear();
        bool hasValue = false;
        for (int depth = 1; depth > 0;) {
            const Token inner = xml.next();
            if (inner == Token::StartElement) {
                bool ok = true;
                if (xml.isNamed("v")) {
                    ok = xml.appendElementText(value);
                    hasValue = true;
                } else if (xml.isNamed("is")) {
                    ok = readStringItem(xml, value);
                    hasValue = true;
                } else {
                    ok = xml.skipElement();   // the formula and extensions are not shown
                }
                if (!ok)
                    return damaged();
            } else if (inner == Token::EndElement) {
                --depth;
            } else if (inner != Token::Text) {
                return damaged();
            }
        }
        if (!hasValue || column < 0)
            continue;   // no text, or a reference beyond column XFD

        QString text;
        if (type == XlsxCellType::SharedString) {
            const int index = toInt(value, -1);
            if (index < 0 || index >= sharedStrings.size())
                continue;
            text = formatter.displayText(type, sharedStrings.at(index), style);
        } else {
            text = formatter.displayText(type, fromUtf8(value), style);
        }
        if (text.isEmpty())
            continue;
        if (row.size() <= column)
            row.resize(column + 1);
        row[column] = std::move(text);
        sheet.width = std::max(sheet.width, column + 1);
    }
    return sheet;
}

} // namespace batch_data
