#include "batch_data/spreadsheet/WorksheetStream.h"

#include <QIODevice>
#include <QXmlStreamReader>

namespace batch_data {

namespace {

// Element names without their prefix: producers differ in the prefixes
// they give the SpreadsheetML namespace, and some leave them undeclared,
// so namespaces are not processed.
bool is(const QXmlStreamReader &xml, QLatin1StringView local)
{
    const QStringView name = xml.name();
    if (name.size() == local.size())
        return name == local;
    return name.size() > local.size() && name.endsWith(local) && name[name.size() - local.size() - 1] == u':';
}

void prepare(QXmlStreamReader &xml)
{
    xml.setNamespaceProcessing(false);
}

QString describe(const QXmlStreamReader &xml)
{
    return QStringLiteral("%1 (line %2, column %3)")
        .arg(xml.errorString())
        .arg(xml.lineNumber())
        .arg(xml.columnNumber());
}

// Appends the character data up to the end of the current element, whose
// start was just read; nested elements contribute their text too.
void appendText(QXmlStreamReader &xml, QString &out)
{
    for (int depth = 1; depth > 0 && !xml.atEnd();) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement: ++depth; break;
        case QXmlStreamReader::EndElement: --depth; break;
        case QXmlStreamReader::Characters: out += xml.text(); break;
        default: break;
        }
    }
}

// The text of a string item (<si> or <is>): its <t>, or the <t> of each run
// <r>; phonetic hints (<rPh>) are not text.
void appendStringItem(QXmlStreamReader &xml, QString &out)
{
    for (int depth = 1; depth > 0 && !xml.atEnd();) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (is(xml, QLatin1StringView("t"))) {
                appendText(xml, out);
            } else if (is(xml, QLatin1StringView("rPh"))) {
                xml.skipCurrentElement();
            } else {
                ++depth;
            }
        } else if (token == QXmlStreamReader::EndElement) {
            --depth;
        }
    }
}

int toInt(QStringView text, int fallback)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok ? value : fallback;
}

} // namespace

int columnOfReference(QStringView reference)
{
    qint64 number = 0;
    qsizetype i = 0;
    for (; i < reference.size(); ++i) {
        const char16_t c = reference[i].unicode();
        int letter = 0;
        if (c >= u'A' && c <= u'Z')
            letter = c - u'A' + 1;
        else if (c >= u'a' && c <= u'z')
            letter = c - u'a' + 1;
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
    QXmlStreamReader xml(&part);
    prepare(xml);
    QStringList strings;
    QString item;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && is(xml, QLatin1StringView("si"))) {
            item.clear();
            appendStringItem(xml, item);
            strings.append(decodeEscapes(item));
        }
    }
    if (xml.hasError()) {
        if (error)
            *error = QStringLiteral("The shared strings are damaged: %1").arg(describe(xml));
        return std::nullopt;
    }
    return strings;
}

std::optional<WorksheetCells> readWorksheet(QIODevice &part, const QStringList &sharedStrings,
                                            const CellFormatter &formatter, QString *error,
                                            const WorksheetLimits &limits, int stopAfterRows)
{
    QXmlStreamReader xml(&part);
    prepare(xml);
    WorksheetCells sheet;
    QStringList row;        // the row being read, up to its last text
    QString value;          // the <v> or inline text of the cell being read
    bool inSheetData = false;
    bool inRow = false;
    int column = -1;
    int maxRowLength = 0;   // of the rows kept so far

    auto fail = [&](const QString &reason) {
        if (error)
            *error = reason;
        return std::nullopt;
    };

    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::EndElement) {
            if (inRow && is(xml, QLatin1StringView("row"))) {
                inRow = false;
                maxRowLength = std::max(maxRowLength, int(row.size()));
                // Each row at the widest width counts against the budget,
                // as the caller pads every row to it.
                if ((sheet.rows.size() + 1) * qint64(std::max(1, maxRowLength)) > limits.maxCells)
                    return fail(QStringLiteral("The worksheet has more than %L1 cells, more than can be read.")
                                    .arg(limits.maxCells));
                sheet.rows.append(QStringList(row.cbegin(), row.cend()));
                if (stopAfterRows > 0 && sheet.rows.size() >= stopAfterRows)
                    break;
            } else if (is(xml, QLatin1StringView("sheetData"))) {
                inSheetData = false;
            }
            continue;
        }
        if (token != QXmlStreamReader::StartElement)
            continue;
        if (!inSheetData) {
            inSheetData = is(xml, QLatin1StringView("sheetData"));
            continue;
        }
        if (is(xml, QLatin1StringView("row"))) {
            inRow = true;
            row.clear();
            column = -1;
            continue;
        }
        if (!inRow || !is(xml, QLatin1StringView("c"))) {
            xml.skipCurrentElement();
            continue;
        }

        // A cell: <c r="B2" s="3" t="s"><v>5</v></c>, an inline string
        // <c t="inlineStr"><is><t>…</t></is></c>, or a formula <f> with its
        // last value <v>.
        const QXmlStreamAttributes attributes = xml.attributes();
        const QStringView ref = attributes.value(QLatin1StringView("r"));
        column = ref.isEmpty() ? column + 1 : columnOfReference(ref);
        const XlsxCellType type = xlsxCellType(attributes.value(QLatin1StringView("t")));
        const int style = toInt(attributes.value(QLatin1StringView("s")), 0);
        value.clear();
        bool hasValue = false;
        for (int depth = 1; depth > 0 && !xml.atEnd();) {
            const QXmlStreamReader::TokenType inner = xml.readNext();
            if (inner == QXmlStreamReader::StartElement) {
                if (is(xml, QLatin1StringView("v"))) {
                    appendText(xml, value);
                    hasValue = true;
                } else if (is(xml, QLatin1StringView("is"))) {
                    appendStringItem(xml, value);
                    hasValue = true;
                } else {
                    xml.skipCurrentElement();   // the formula and extensions are not shown
                }
            } else if (inner == QXmlStreamReader::EndElement) {
                --depth;
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
            text = formatter.displayText(type, value, style);
        }
        if (text.isEmpty())
            continue;
        if (row.size() <= column)
            row.resize(column + 1);
        row[column] = std::move(text);
        sheet.width = std::max(sheet.width, column + 1);
    }
    if (xml.hasError())
        return fail(QStringLiteral("The worksheet is damaged: %1").arg(describe(xml)));
    return sheet;
}

} // namespace batch_data
