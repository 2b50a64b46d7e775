// OpenDocument spreadsheets and the XML Spreadsheet 2003 format.

#include "batch_data/spreadsheet/SpreadsheetWriter.h"

#include "batch_data/spreadsheet/CellFormat.h"
#include "batch_data/spreadsheet/XmlSupport.h"
#include "batch_data/zip/ZipArchive.h"
#include "platform/Log.h"

#include <QDir>
#include <QHash>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdlib>
#include <cstring>

using namespace spreadsheet_xml;

namespace {

// Bounds of what a read builds: the widest and longest sheets spreadsheet
// programs make, and a total number of cells, so that a file repeating
// empty rows or cells a billion times cannot exhaust memory.
constexpr qint64 kMaxColumns = 16384;
constexpr qint64 kMaxRows = 1048576;
constexpr qint64 kMaxCells = 10000000;

qint64 repeatCount(const pugi::xml_node &node, const char *local)
{
    const pugi::xml_attribute a = attribute(node, local);
    if (!a)
        return 1;
    const long long n = std::atoll(a.value());
    return n < 1 ? 1 : n;
}

// A paragraph's text with OpenDocument's space, tab and line-break elements
// turned back into the characters they stand for.
void appendParagraph(const pugi::xml_node &node, QString &out)
{
    for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling()) {
        if (c.type() == pugi::node_pcdata || c.type() == pugi::node_cdata) {
            out += QString::fromUtf8(c.value());
        } else if (isNamed(c, "s")) {
            out += QString(int(std::clamp<qint64>(repeatCount(c, "c"), 1, 1000)), u' ');
        } else if (isNamed(c, "tab")) {
            out += u'\t';
        } else if (isNamed(c, "line-break")) {
            out += u'\n';
        } else if (isNamed(c, "annotation") || isNamed(c, "note")) {
            continue;   // comments are not the cell's text
        } else if (c.type() == pugi::node_element) {
            appendParagraph(c, out);
        }
    }
}

// "PT13H45M30S" as "13:45:30".
QString isoDuration(const QString &value)
{
    static const QRegularExpression form(QStringLiteral("^-?P(?:\\d+D)?T(\\d+)H(\\d+)M(\\d+(?:\\.\\d+)?)S$"));
    const QRegularExpressionMatch m = form.match(value);
    if (!m.hasMatch())
        return value;
    const QString seconds = m.captured(3).section(u'.', 0, 0);
    return QStringLiteral("%1:%2:%3").arg(m.captured(1).toInt()).arg(m.captured(2).toInt(), 2, 10, QLatin1Char('0'))
        .arg(seconds.toInt(), 2, 10, QLatin1Char('0'));
}

// A cell's text: its paragraphs, one per line, which hold the value as the
// producer showed it. A typed cell stored without them shows its value:
// numbers in General, dates and times as written.
QString odsCellText(const pugi::xml_node &cell)
{
    QString out;
    bool first = true;
    for (pugi::xml_node p = cell.first_child(); p; p = p.next_sibling()) {
        if (!isNamed(p, "p") && !isNamed(p, "h"))
            continue;
        if (!first)
            out += u'\n';
        first = false;
        appendParagraph(p, out);
    }
    if (!first)
        return out;
    const char *type = attribute(cell, "value-type").value();
    auto value = [&](const char *local) { return QString::fromUtf8(attribute(cell, local).value()); };
    bool ok = false;
    if (std::strcmp(type, "float") == 0 || std::strcmp(type, "currency") == 0) {
        const double number = value("value").toDouble(&ok);
        return ok ? batch_data::generalNumber(number) : QString();
    }
    if (std::strcmp(type, "percentage") == 0) {
        const double number = value("value").toDouble(&ok);
        return ok ? batch_data::generalNumber(number * 100) + u'%' : QString();
    }
    if (std::strcmp(type, "boolean") == 0)
        return value("boolean-value") == u"true" ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    if (std::strcmp(type, "date") == 0)
        return value("date-value");
    if (std::strcmp(type, "time") == 0)
        return isoDuration(value("time-value"));
    if (std::strcmp(type, "string") == 0)
        return value("string-value");
    return {};
}

// One row element: its cells up to the last one with text, how many cells
// the row spans in all (trailing empty cells are only counted, never
// built, as tables padded to the sheet's edge have thousands), and how
// many times the row repeats.
struct RowRun {
    QStringList cells;
    qint64 length = 0;
    qint64 repeat = 1;
};

// False once the cells built so far pass the budget.
bool collectRows(const pugi::xml_node &parent, QList<RowRun> &runs, qint64 &budget)
{
    for (pugi::xml_node node = parent.first_child(); node; node = node.next_sibling()) {
        if (isNamed(node, "table-row")) {
            RowRun run;
            run.repeat = repeatCount(node, "number-rows-repeated");
            for (pugi::xml_node cell = node.first_child(); cell && run.length < kMaxColumns;
                 cell = cell.next_sibling()) {
                if (cell.type() != pugi::node_element)
                    continue;
                const QString value = odsCellText(cell);
                const qint64 n = std::min(repeatCount(cell, "number-columns-repeated"), kMaxColumns - run.length);
                run.length += n;
                if (value.isEmpty())
                    continue;
                budget -= run.length - run.cells.size();
                if (budget < 0)
                    return false;
                while (run.cells.size() < run.length - n)
                    run.cells.append(QString());
                for (qint64 i = 0; i < n; ++i)
                    run.cells.append(value);
            }
            runs.append(std::move(run));
        } else if (isNamed(node, "table-header-rows") || isNamed(node, "table-row-group")
                   || isNamed(node, "table-rows")) {
            if (!collectRows(node, runs, budget))
                return false;
        }
    }
    return true;
}

// All text inside the element: a rich-text cell keeps its formatting as
// HTML elements around the runs.
QString wholeText(const pugi::xml_node &node)
{
    QString out;
    for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling()) {
        if (c.type() == pugi::node_pcdata || c.type() == pugi::node_cdata)
            out += QString::fromUtf8(c.value());
        else if (c.type() == pugi::node_element)
            out += wholeText(c);
    }
    return out;
}

// Excel's named formats of XML Spreadsheet 2003 as en-US Excel shows them;
// any other value is a format code.
QString xml2003FormatCode(const QString &format)
{
    static const QHash<QString, QString> named{
        {QStringLiteral("General Number"), QStringLiteral("General")},
        {QStringLiteral("General Date"), QStringLiteral("m/d/yyyy h:mm")},
        {QStringLiteral("Long Date"), QStringLiteral("dddd, mmmm d, yyyy")},
        {QStringLiteral("Medium Date"), QStringLiteral("d-mmm-yy")},
        {QStringLiteral("Short Date"), QStringLiteral("m/d/yyyy")},
        {QStringLiteral("Long Time"), QStringLiteral("h:mm:ss AM/PM")},
        {QStringLiteral("Medium Time"), QStringLiteral("h:mm AM/PM")},
        {QStringLiteral("Short Time"), QStringLiteral("h:mm")},
        {QStringLiteral("Currency"), QStringLiteral("\"$\"#,##0.00_);[Red]\\(\"$\"#,##0.00\\)")},
        {QStringLiteral("Euro Currency"), QStringLiteral("[$\u20ac-2] #,##0.00_);[Red]\\([$\u20ac-2] #,##0.00\\)")},
        {QStringLiteral("Fixed"), QStringLiteral("0.00")},
        {QStringLiteral("Standard"), QStringLiteral("#,##0.00")},
        {QStringLiteral("Percent"), QStringLiteral("0.00%")},
        {QStringLiteral("Scientific"), QStringLiteral("0.00E+00")},
        {QStringLiteral("Yes/No"), QStringLiteral("\"Yes\";\"Yes\";\"No\"")},
        {QStringLiteral("True/False"), QStringLiteral("\"True\";\"True\";\"False\"")},
        {QStringLiteral("On/Off"), QStringLiteral("\"On\";\"On\";\"Off\"")},
    };
    return named.value(format, format);
}

// The number format of each style, by its ss:ID; a style without one takes
// its parent's (ss:Parent).
QHash<QString, batch_data::NumberFormat> xml2003Formats(const pugi::xml_node &styles)
{
    QHash<QString, QString> codes;
    QHash<QString, QString> parents;
    for (pugi::xml_node style = styles.first_child(); style; style = style.next_sibling()) {
        if (!isNamed(style, "Style"))
            continue;
        const QString id = QString::fromUtf8(attribute(style, "ID").value());
        const pugi::xml_node format = child(style, "NumberFormat");
        if (format)
            codes.insert(id, xml2003FormatCode(QString::fromUtf8(attribute(format, "Format").value())));
        else if (attribute(style, "Parent"))
            parents.insert(id, QString::fromUtf8(attribute(style, "Parent").value()));
    }
    QHash<QString, batch_data::NumberFormat> formats;
    for (auto it = codes.cbegin(); it != codes.cend(); ++it)
        formats.insert(it.key(), batch_data::NumberFormat(it.value()));
    for (auto it = parents.cbegin(); it != parents.cend(); ++it) {
        QString parent = it.value();
        for (int depth = 0; depth < 32 && !codes.contains(parent) && parents.contains(parent); ++depth)
            parent = parents.value(parent);
        if (formats.contains(parent))
            formats.insert(it.key(), formats.value(parent));
    }
    return formats;
}

// A cell's text by its data type, numbers and dates through its style.
QString xml2003CellText(const pugi::xml_node &data, const batch_data::NumberFormat &format, bool date1904)
{
    const QString text = wholeText(data);
    const char *type = attribute(data, "Type").value();
    bool ok = false;
    if (std::strcmp(type, "Number") == 0) {
        const double number = text.trimmed().toDouble(&ok);
        return ok ? format.format(number, date1904) : text;
    }
    if (std::strcmp(type, "Boolean") == 0) {
        const double number = text.trimmed().toDouble(&ok);
        return (ok && number != 0) || text.trimmed() == u"true" ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    }
    if (std::strcmp(type, "DateTime") == 0) {
        const std::optional<double> serial = batch_data::serialFromIso(text, date1904);
        return serial ? format.format(*serial, date1904) : text;
    }
    return text;
}

// Readers collapse runs of white space in a paragraph, so spaces after the
// first, leading spaces and tabs are written as their elements.
void appendOdfParagraph(pugi::xml_node cell, const QString &line)
{
    pugi::xml_node p = cell.append_child("text:p");
    QString run;
    auto flush = [&] {
        if (!run.isEmpty())
            p.append_child(pugi::node_pcdata).set_value(xmlText(run).c_str());
        run.clear();
    };
    for (qsizetype i = 0; i < line.size();) {
        const QChar c = line.at(i);
        if (c == u'\t') {
            flush();
            p.append_child("text:tab");
            ++i;
        } else if (c == u' ') {
            qsizetype n = 0;
            while (i + n < line.size() && line.at(i + n) == u' ')
                ++n;
            const bool keepFirst = i > 0;
            if (keepFirst)
                run += u' ';
            flush();
            const qsizetype extra = keepFirst ? n - 1 : n;
            if (extra > 0) {
                pugi::xml_node s = p.append_child("text:s");
                if (extra > 1)
                    s.append_attribute("text:c") = std::to_string(extra).c_str();
            }
            i += n;
        } else {
            run += c;
            ++i;
        }
    }
    flush();
}

pugi::xml_node appendStyle(pugi::xml_node parent, const char *name, const char *family)
{
    pugi::xml_node style = parent.append_child("style:style");
    style.append_attribute("style:name") = name;
    style.append_attribute("style:family") = family;
    return style;
}

} // namespace

SpreadsheetWriter::Rows SpreadsheetWriter::ReadODS(const QString &path, QString *error)
{
    instance();
    auto refuse = [&](const QString &reason) {
        platform::log(QStringLiteral("Error: %1").arg(reason));
        if (error)
            *error = reason;
        return Rows();
    };
    QTemporaryDir work(QDir::tempPath() + QStringLiteral("/quorvant-ods-XXXXXX"));
    if (!work.isValid())
        return refuse(QStringLiteral("no temporary folder for %1").arg(path));
    if (!ZipArchive::unzipFileAtPath(path, work.path()))
        platform::log(QStringLiteral("Spreadsheet %1 could not be unpacked completely").arg(path));
    pugi::xml_document doc;
    QString reason;
    if (!load(doc, work.filePath(QStringLiteral("content.xml")), &reason, true))
        return refuse(reason);
    const pugi::xml_node table =
        child(child(child(child(doc, "document-content"), "body"), "spreadsheet"), "table");

    const QString tooLarge = QStringLiteral("spreadsheet %1 has more than %L2 cells or %L3 rows, more than can be read")
                                 .arg(path).arg(kMaxCells).arg(kMaxRows);
    QList<RowRun> runs;
    qint64 budget = kMaxCells;
    if (!collectRows(table, runs, budget))
        return refuse(tooLarge);
    // Spreadsheet programs pad a table to the sheet's edge with repeated
    // empty cells and rows; those are no data. Identical neighbouring rows
    // and cells stored once with a repeat count are.
    qint64 width = 0;
    for (const RowRun &run : runs)
        width = std::max<qint64>(width, run.cells.size());
    while (!runs.isEmpty() && runs.last().cells.isEmpty())
        runs.removeLast();
    Rows rows;
    qint64 cells = 0;
    for (RowRun &run : runs) {
        while (run.cells.size() < std::min(run.length, width))
            run.cells.append(QString());
        for (qint64 i = 0; i < run.repeat; ++i) {
            cells += std::max<qsizetype>(1, run.cells.size());
            if (rows.size() >= kMaxRows || cells > kMaxCells)
                return refuse(tooLarge);
            rows.append(run.cells);
        }
    }
    return rows;
}

bool SpreadsheetWriter::WriteODSData(const QString &path)
{
    const qsizetype width = widestRow(_data);

    pugi::xml_document doc;
    addDeclaration(doc);
    pugi::xml_node root = doc.append_child("office:document-content");
    static const char *const namespaces[][2] = {
        {"office", "urn:oasis:names:tc:opendocument:xmlns:office:1.0"},
        {"style", "urn:oasis:names:tc:opendocument:xmlns:style:1.0"},
        {"text", "urn:oasis:names:tc:opendocument:xmlns:text:1.0"},
        {"table", "urn:oasis:names:tc:opendocument:xmlns:table:1.0"},
        {"draw", "urn:oasis:names:tc:opendocument:xmlns:drawing:1.0"},
        {"fo", "urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"},
        {"xlink", "http://www.w3.org/1999/xlink"},
        {"dc", "http://purl.org/dc/elements/1.1/"},
        {"meta", "urn:oasis:names:tc:opendocument:xmlns:meta:1.0"},
        {"number", "urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0"},
        {"presentation", "urn:oasis:names:tc:opendocument:xmlns:presentation:1.0"},
        {"svg", "urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"},
        {"chart", "urn:oasis:names:tc:opendocument:xmlns:chart:1.0"},
        {"dr3d", "urn:oasis:names:tc:opendocument:xmlns:dr3d:1.0"},
        {"math", "http://www.w3.org/1998/Math/MathML"},
        {"form", "urn:oasis:names:tc:opendocument:xmlns:form:1.0"},
        {"script", "urn:oasis:names:tc:opendocument:xmlns:script:1.0"},
        {"ooo", "http://openoffice.org/2004/office"},
        {"ooow", "http://openoffice.org/2004/writer"},
        {"oooc", "http://openoffice.org/2004/calc"},
        {"dom", "http://www.w3.org/2001/xml-events"},
        {"xforms", "http://www.w3.org/2002/xforms"},
        {"xsd", "http://www.w3.org/2001/XMLSchema"},
        {"xsi", "http://www.w3.org/2001/XMLSchema-instance"},
        {"rpt", "http://openoffice.org/2005/report"},
        {"of", "urn:oasis:names:tc:opendocument:xmlns:of:1.2"},
        {"html", "http://www.w3.org/1999/xhtml"},
        {"grddl", "http://www.w3.org/2003/g/data-view#"},
        {"tableooo", "http://openoffice.org/2009/table"},
        {"field", "urn:openoffice:names:experimental:ooo-ms-interop:xmlns:field:1.0"},
        {"formx", "urn:openoffice:names:experimental:ooxml-odf-interop:xmlns:form:1.00"},
        {"css3t", "http://www.w3.org/TR/css3-text/"},
    };
    for (const auto &ns : namespaces)
        root.append_attribute((std::string("xmlns:") + ns[0]).c_str()) = ns[1];
    root.append_attribute("office:version") = "1.2";

    root.append_child("office:scripts");
    pugi::xml_node fonts = root.append_child("office:font-face-decls");
    for (const auto &font : {std::pair{"Arial", "swiss"}, std::pair{"Arial Unicode MS", "system"},
                             std::pair{"Tahoma", "system"}}) {
        pugi::xml_node face = fonts.append_child("style:font-face");
        face.append_attribute("style:name") = font.first;
        face.append_attribute("svg:font-family") = font.first;
        face.append_attribute("style:font-family-generic") = font.second;
        face.append_attribute("style:font-pitch") = "variable";
    }

    pugi::xml_node styles = root.append_child("office:automatic-styles");
    pugi::xml_node column = appendStyle(styles, "co1", "table-column").append_child("style:table-column-properties");
    column.append_attribute("fo:break-before") = "auto";
    column.append_attribute("style:column-width") = "2.258cm";
    pugi::xml_node rowStyle = appendStyle(styles, "ro1", "table-row").append_child("style:table-row-properties");
    rowStyle.append_attribute("style:row-height") = "0.427cm";
    rowStyle.append_attribute("fo:break-before") = "auto";
    rowStyle.append_attribute("style:use-optimal-row-height") = "true";
    pugi::xml_node tableStyle = appendStyle(styles, "ta1", "table");
    tableStyle.append_attribute("style:master-page-name") = "Default";
    pugi::xml_node tableProps = tableStyle.append_child("style:table-properties");
    tableProps.append_attribute("table:display") = "true";
    tableProps.append_attribute("style:writing-mode") = "lr-tb";

    pugi::xml_node table = root.append_child("office:body").append_child("office:spreadsheet").append_child("table:table");
    table.append_attribute("table:name") = "Sheet1";
    table.append_attribute("table:style-name") = "ta1";
    pugi::xml_node columns = table.append_child("table:table-column");
    columns.append_attribute("table:style-name") = "co1";
    columns.append_attribute("table:number-columns-repeated") = std::to_string(width).c_str();
    columns.append_attribute("table:default-cell-style-name") = "Default";
    for (const QStringList &values : _data) {
        pugi::xml_node row = table.append_child("table:table-row");
        row.append_attribute("table:style-name") = "ro1";
        for (const QString &value : values) {
            pugi::xml_node cell = row.append_child("table:table-cell");
            cell.append_attribute("office:value-type") = "string";
            // One paragraph per line, as spreadsheet programs store them.
            for (const QString &line : value.split(u'\n'))
                appendOdfParagraph(cell, line);
        }
    }
    // Indentation inside a paragraph would read as spaces.
    return save(doc, path, false);
}

bool SpreadsheetWriter::WriteODS(const QString &path, const Rows &withData, bool hasTitleRow)
{
    Q_UNUSED(hasTitleRow);
    SpreadsheetWriter &self = instance();
    self._data = withData;
    QTemporaryDir work(QDir::tempPath() + QStringLiteral("/quorvant-write-XXXXXX"));
    if (!unpackTemplate(QStringLiteral("Template.ods"), work, path))
        return false;
    return self.WriteODSData(work.filePath(QStringLiteral("content.xml")))
        && packFolder(work.path(), path, {QStringLiteral("mimetype")});
}

SpreadsheetWriter::Rows SpreadsheetWriter::ReadWorksheetXML2004(const QString &path, QString *error)
{
    auto refuse = [&](const QString &reason) {
        platform::log(QStringLiteral("Error: %1").arg(reason));
        if (error)
            *error = reason;
        return Rows();
    };
    pugi::xml_document doc;
    QString reason;
    if (!load(doc, path, &reason, true))
        return refuse(reason);
    const pugi::xml_node workbook = child(doc, "Workbook");
    const pugi::xml_node table = child(child(workbook, "Worksheet"), "Table");
    const bool date1904 = bool(child(child(workbook, "ExcelWorkbook"), "Date1904"));
    const QHash<QString, batch_data::NumberFormat> formats = xml2003Formats(child(workbook, "Styles"));
    const batch_data::NumberFormat general;

    Rows rows;
    qint64 cells = 0;
    for (pugi::xml_node row = table.first_child(); row; row = row.next_sibling()) {
        if (!isNamed(row, "Row"))
            continue;
        // ss:Index places a row or cell explicitly (from 1); the gap before
        // it is empty rows or cells.
        const long long rowIndex = std::atoll(attribute(row, "Index").value());
        if (rowIndex > kMaxRows || rows.size() >= kMaxRows)
            return refuse(QStringLiteral("spreadsheet %1 has more than %L2 rows, more than can be read")
                              .arg(path).arg(kMaxRows));
        while (rowIndex > 0 && rows.size() < rowIndex - 1)
            rows.append(QStringList());
        QStringList values;
        for (pugi::xml_node cell = row.first_child(); cell; cell = cell.next_sibling()) {
            if (!isNamed(cell, "Cell"))
                continue;
            const long long index = std::atoll(attribute(cell, "Index").value());
            const long long merged = std::max(0LL, std::atoll(attribute(cell, "MergeAcross").value()));
            if (index > kMaxColumns || values.size() + merged >= kMaxColumns)
                break;   // cells beyond column XFD are left out
            while (index > 0 && values.size() < index - 1)
                values.append(QString());
            const auto format = formats.constFind(QString::fromUtf8(attribute(cell, "StyleID").value()));
            values.append(xml2003CellText(child(cell, "Data"), format == formats.constEnd() ? general : *format,
                                          date1904));
            for (long long i = 0; i < merged; ++i)
                values.append(QString());
        }
        cells += std::max<qsizetype>(1, values.size());
        if (cells > kMaxCells)
            return refuse(QStringLiteral("spreadsheet %1 has more than %L2 cells, more than can be read")
                              .arg(path).arg(kMaxCells));
        rows.append(std::move(values));
    }
    // Rows without any text at the end are padding, as in the other formats.
    while (!rows.isEmpty() && std::all_of(rows.last().cbegin(), rows.last().cend(),
                                          [](const QString &v) { return v.isEmpty(); }))
        rows.removeLast();
    return rows;
}

bool SpreadsheetWriter::WriteWorksheetXML2004(const QString &path, const Rows &withData)
{
    const qsizetype width = widestRow(withData);

    pugi::xml_document doc;
    addDeclaration(doc);
    pugi::xml_node workbook = doc.append_child("Workbook");
    workbook.append_attribute("xmlns") = "urn:schemas-microsoft-com:office:spreadsheet";
    workbook.append_attribute("xmlns:o") = "urn:schemas-microsoft-com:office:office";
    workbook.append_attribute("xmlns:x") = "urn:schemas-microsoft-com:office:excel";
    workbook.append_attribute("xmlns:ss") = "urn:schemas-microsoft-com:office:spreadsheet";
    workbook.append_attribute("xmlns:html") = "http://www.w3.org/TR/REC-html40";
    pugi::xml_node worksheet = workbook.append_child("Worksheet");
    worksheet.append_attribute("ss:Name") = "Notes";
    pugi::xml_node table = worksheet.append_child("Table");
    table.append_attribute("ss:ExpandedColumnCount") = std::to_string(width).c_str();
    table.append_attribute("ss:ExpandedRowCount") = std::to_string(withData.size()).c_str();
    for (const QStringList &values : withData) {
        pugi::xml_node row = table.append_child("Row");
        for (const QString &value : values) {
            pugi::xml_node data = row.append_child("Cell").append_child("Data");
            data.append_attribute("ss:Type") = isPlainNumber(value) ? "Number" : "String";
            data.text() = xmlText(value).c_str();
        }
    }
    return save(doc, path);
}
