#include "batch_data/spreadsheet/SpreadsheetWriter.h"

#include "batch_data/spreadsheet/XmlSupport.h"
#include "batch_data/zip/ZipArchive.h"
#include "platform/Log.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <cstring>

using namespace spreadsheet_xml;

namespace batch_data {
int Excel_Sheet_Number = 1;
int Excel_Sheet_Columns = 1;
} // namespace batch_data

namespace {

// Widest sheet the formats allow (column XFD); wider claims are refused so
// that a damaged dimension cannot make every row enormous.
constexpr int kMaxColumns = 16384;
// Cells one read may build, so that a small damaged file cannot claim
// gigabytes; far beyond any data source a card run uses.
constexpr qint64 kMaxCells = 20000000;

const char *const kMainNs = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
const char *const kRelNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

QString text(const pugi::xml_node &node)
{
    return QString::fromUtf8(node.text().get());
}

// The text of a string item: a plain <t>, or the runs of a rich text
// (<r><t>…</t></r>…) one after the other; phonetic hints are not text.
QString richText(const pugi::xml_node &item)
{
    QString result;
    for (pugi::xml_node c = item.first_child(); c; c = c.next_sibling()) {
        if (isNamed(c, "t")) {
            result += text(c);
        } else if (isNamed(c, "r")) {
            for (pugi::xml_node t = c.first_child(); t; t = t.next_sibling()) {
                if (isNamed(t, "t"))
                    result += text(t);
            }
        }
    }
    return result;
}

// What a cell shows: its shared string, its inline string, or its stored
// value (for a formula cell the value it last computed, not the formula).
QString cellText(const pugi::xml_node &cell, const QStringList &sharedStrings)
{
    const char *type = attribute(cell, "t").value();
    const pugi::xml_node value = child(cell, "v");
    if (std::strcmp(type, "s") == 0) {
        const char *digits = value.text().get();
        qint64 index = 0;
        int count = 0;
        for (; *digits >= '0' && *digits <= '9' && count < 12; ++digits, ++count)
            index = index * 10 + (*digits - '0');
        if (count == 0 || index >= sharedStrings.size())
            return {};
        return sharedStrings.at(qsizetype(index));
    }
    if (std::strcmp(type, "inlineStr") == 0)
        return richText(child(cell, "is"));
    return text(value);
}

int columnOf(const pugi::xml_node &cell, int previous)
{
    const pugi::xml_attribute ref = attribute(cell, "r");
    if (!ref)
        return previous + 1;
    return Get_Col_index(Get_Column_Char_Str(QString::fromUtf8(ref.value())), 65);
}

QString worksheetPart(const QString &workFolder)
{
    return QStringLiteral("%1/xl/worksheets/sheet%2.xml").arg(workFolder).arg(batch_data::Excel_Sheet_Number);
}

} // namespace

QString Get_Column_Char_Str(const QString &reference)
{
    qsizetype end = 0;
    while (end < reference.size()) {
        const QChar c = reference.at(end);
        if (!((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z')))
            break;
        ++end;
    }
    return reference.left(end);
}

int Get_Col_index(const QString &letters, int base)
{
    if (letters.isEmpty())
        return -1;
    qint64 number = 0;
    for (const QChar c : letters) {
        number = number * 26 + (c.toUpper().unicode() - u'A' + 1);
        if (number > kMaxColumns * 26LL)
            return -1;
    }
    // Base 64 counts from 1 (A = 1), base 65 from 0 (A = 0).
    return int(number - (base - 64));
}

SpreadsheetWriter::SpreadsheetWriter() = default;
SpreadsheetWriter::~SpreadsheetWriter() = default;

SpreadsheetWriter &SpreadsheetWriter::instance()
{
    static SpreadsheetWriter spreadsheet;
    return spreadsheet;
}

QString SpreadsheetWriter::tmpDir() const
{
    return _workDir ? _workDir->path() : QString();
}

QString SpreadsheetWriter::Work_Folder()
{
    return instance().tmpDir();
}

void SpreadsheetWriter::Delete_Work_Folder()
{
    instance()._workDir.reset();
}

QStringList SpreadsheetWriter::Worksheet_Parts()
{
    const QString folder = Work_Folder();
    if (folder.isEmpty())
        return {};
    QStringList parts;
    const QFileInfoList entries = QDir(folder + QStringLiteral("/xl/worksheets")).entryInfoList(QDir::Files);
    for (const QFileInfo &entry : entries) {
        if (entry.suffix().compare(QLatin1String("xml"), Qt::CaseInsensitive) == 0)
            parts.append(entry.completeBaseName());
    }
    // sheet2 before sheet10: by the number at the end, then by name.
    static const QRegularExpression trailingNumber(QStringLiteral("(\\d+)$"));
    std::sort(parts.begin(), parts.end(), [](const QString &a, const QString &b) {
        const auto ma = trailingNumber.match(a);
        const auto mb = trailingNumber.match(b);
        const QString pa = a.left(ma.hasMatch() ? ma.capturedStart() : a.size());
        const QString pb = b.left(mb.hasMatch() ? mb.capturedStart() : b.size());
        if (pa != pb)
            return pa < pb;
        const qint64 na = ma.hasMatch() ? ma.captured(1).toLongLong() : -1;
        const qint64 nb = mb.hasMatch() ? mb.captured(1).toLongLong() : -1;
        return na != nb ? na < nb : a < b;
    });
    return parts;
}

void SpreadsheetWriter::Release_Data() {}

SpreadsheetWriter::Rows SpreadsheetWriter::ReadWorkbook(const QString &path, bool only_col)
{
    SpreadsheetWriter &self = instance();
    if (!only_col) {
        if (self._workDir)
            self.ReadData(worksheetPart(self.tmpDir()));
        else
            self._data.clear();
        return self._data;
    }

    Release_Data();
    batch_data::Excel_Sheet_Columns = 1;
    self._workDir.reset();   // the earlier workbook's parts go with it
    auto folder = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/quorvant-workbook-XXXXXX"));
    if (!folder->isValid()) {
        platform::log(QStringLiteral("Error: no temporary folder for %1").arg(path));
        self._sharedStrings.clear();
        return self._data;
    }
    self._workDir = std::move(folder);
    if (!ZipArchive::unzipFileAtPath(path, self.tmpDir()))
        platform::log(QStringLiteral("Workbook %1 could not be unpacked completely").arg(path));
    self.ReadSharedStrings(self.tmpDir() + QStringLiteral("/xl/sharedStrings.xml"));
    return self._data;
}

SpreadsheetWriter::Rows SpreadsheetWriter::ReadData_only_column()
{
    SpreadsheetWriter &self = instance();
    self._data.clear();
    if (!self._workDir) {
        platform::log(QStringLiteral("Error: no workbook is open"));
        return self._data;
    }
    self.readRows(worksheetPart(self.tmpDir()), true);
    return self._data;
}

QStringList SpreadsheetWriter::Read_Sheet_Name()
{
    QStringList names;
    const QString folder = Work_Folder();
    pugi::xml_document doc;
    if (folder.isEmpty() || !load(doc, folder + QStringLiteral("/xl/workbook.xml"), nullptr))
        return names;
    const pugi::xml_node sheets = child(child(doc, "workbook"), "sheets");
    for (pugi::xml_node sheet = sheets.first_child(); sheet; sheet = sheet.next_sibling()) {
        if (isNamed(sheet, "sheet"))
            names.append(QString::fromUtf8(attribute(sheet, "name").value()));
    }
    return names;
}

void SpreadsheetWriter::ReadSharedStrings(const QString &path)
{
    _sharedStrings.clear();
    pugi::xml_document doc;
    if (!load(doc, path, nullptr))
        return;
    const pugi::xml_node table = child(doc, "sst");
    for (pugi::xml_node item = table.first_child(); item; item = item.next_sibling()) {
        if (isNamed(item, "si"))
            _sharedStrings.append(richText(item));
    }
}

void SpreadsheetWriter::ReadData(const QString &path)
{
    readRows(path, false);
}

// The header read takes the first row and measures the sheet; the full read
// takes every row at the width measured before.
void SpreadsheetWriter::readRows(const QString &path, bool headerOnly)
{
    _data.clear();
    pugi::xml_document doc;
    QString error;
    if (!load(doc, path, &error)) {
        platform::log(QStringLiteral("Error: %1").arg(error));
        return;
    }
    const pugi::xml_node worksheet = child(doc, "worksheet");
    const pugi::xml_node sheetData = child(worksheet, "sheetData");

    if (headerOnly) {
        // The width is the dimension's last column (any range, such as
        // B10:D20, or a single cell) or the last column holding text,
        // whichever is wider.
        int width = 0;
        const pugi::xml_node dimension = child(worksheet, "dimension");
        if (dimension) {
            QString ref = QString::fromUtf8(attribute(dimension, "ref").value()).trimmed();
            ref = ref.mid(ref.lastIndexOf(u':') + 1).trimmed();
            width = std::max(0, Get_Col_index(Get_Column_Char_Str(ref), 64));
        }
        for (pugi::xml_node row = sheetData.first_child(); row; row = row.next_sibling()) {
            if (!isNamed(row, "row"))
                continue;
            int column = -1;
            for (pugi::xml_node cell = row.first_child(); cell; cell = cell.next_sibling()) {
                if (!isNamed(cell, "c"))
                    continue;
                column = columnOf(cell, column);
                if (column >= width && !cellText(cell, _sharedStrings).isEmpty())
                    width = column + 1;
            }
        }
        if (width > kMaxColumns) {
            platform::log(QStringLiteral("Worksheet %1 claims %2 columns; reading the first %3")
                              .arg(path).arg(width).arg(kMaxColumns));
            width = kMaxColumns;
        }
        if (width > 0)
            batch_data::Excel_Sheet_Columns = width;
    }

    const int width = std::max(0, batch_data::Excel_Sheet_Columns);
    QStringList defaults;
    defaults.reserve(width);
    for (int i = 1; i <= width; ++i)
        defaults.append(headerOnly ? QStringLiteral("Untitled Column %1").arg(i) : QString());

    for (pugi::xml_node row = sheetData.first_child(); row; row = row.next_sibling()) {
        if (!isNamed(row, "row"))
            continue;
        if ((_data.size() + 1) * qint64(std::max(1, width)) > kMaxCells) {
            platform::log(QStringLiteral("Worksheet %1 is too large; reading its first %2 rows")
                              .arg(path).arg(_data.size()));
            break;
        }
        QStringList values = defaults;
        int column = -1;
        for (pugi::xml_node cell = row.first_child(); cell; cell = cell.next_sibling()) {
            if (!isNamed(cell, "c"))
                continue;
            column = columnOf(cell, column);
            if (column < 0 || column >= width)
                continue;
            QString value = cellText(cell, _sharedStrings);
            if (!value.isEmpty())
                values[column] = std::move(value);
        }
        _data.append(std::move(values));
        if (headerOnly)
            break;
    }
}

QString SpreadsheetWriter::ColumnNumber_To_Name(int number)
{
    return ColumnIndexToName(number);
}

QString SpreadsheetWriter::ColumnIndexToName(int number)
{
    QString letters;
    for (int n = number; n > 0; n = (n - 1) / 26)
        letters.prepend(QChar(u'A' + (n - 1) % 26));
    return letters;
}

bool SpreadsheetWriter::WriteWorksheetData(const QString &path)
{
    _sharedStrings.clear();
    const qsizetype width = widestRow(_data);
    const qsizetype rowCount = std::max<qsizetype>(1, _data.size());
    const std::string lastCell =
        (ColumnIndexToName(int(width)) + QString::number(rowCount)).toStdString();
    const std::string spans = "1:" + std::to_string(width);

    pugi::xml_document doc;
    addDeclaration(doc);
    pugi::xml_node worksheet = doc.append_child("worksheet");
    worksheet.append_attribute("xmlns") = kMainNs;
    worksheet.append_attribute("xmlns:r") = kRelNs;
    worksheet.append_attribute("xmlns:mc") = "http://schemas.openxmlformats.org/markup-compatibility/2006";
    worksheet.append_attribute("xmlns:x14ac") = "http://schemas.microsoft.com/office/spreadsheetml/2009/9/ac";
    worksheet.append_attribute("mc:Ignorable") = "x14ac";
    worksheet.append_child("dimension").append_attribute("ref") = ("A1:" + lastCell).c_str();
    pugi::xml_node view = worksheet.append_child("sheetViews").append_child("sheetView");
    view.append_attribute("tabSelected") = "1";
    view.append_attribute("workbookViewId") = "0";
    pugi::xml_node selection = view.append_child("selection");
    selection.append_attribute("activeCell") = lastCell.c_str();
    selection.append_attribute("sqref") = lastCell.c_str();
    pugi::xml_node format = worksheet.append_child("sheetFormatPr");
    format.append_attribute("baseColWidth") = "10";
    format.append_attribute("defaultRowHeight") = "15";
    format.append_attribute("x14ac:dyDescent") = "0";

    pugi::xml_node sheetData = worksheet.append_child("sheetData");
    QStringList columnNames;
    for (int r = 0; r < _data.size(); ++r) {
        const std::string rowNumber = std::to_string(r + 1);
        pugi::xml_node row = sheetData.append_child("row");
        row.append_attribute("r") = rowNumber.c_str();
        row.append_attribute("spans") = spans.c_str();
        const QStringList &values = _data.at(r);
        for (int c = 0; c < values.size(); ++c) {
            while (columnNames.size() <= c)
                columnNames.append(ColumnIndexToName(int(columnNames.size()) + 1));
            pugi::xml_node cell = row.append_child("c");
            cell.append_attribute("r") = (columnNames.at(c).toStdString() + rowNumber).c_str();
            const QString &value = values.at(c);
            if (isPlainNumber(value)) {
                cell.append_child("v").text() = value.toLatin1().constData();
            } else {
                cell.append_attribute("t") = "s";
                cell.append_child("v").text() = std::to_string(_sharedStrings.size()).c_str();
                _sharedStrings.append(value);
            }
        }
    }

    pugi::xml_node margins = worksheet.append_child("pageMargins");
    margins.append_attribute("left") = "0.75";
    margins.append_attribute("right") = "0.75";
    margins.append_attribute("top") = "1";
    margins.append_attribute("bottom") = "0.5";
    margins.append_attribute("header") = "0.5";
    margins.append_attribute("footer") = "0.5";
    pugi::xml_node ext = worksheet.append_child("extLst").append_child("ext");
    ext.append_attribute("xmlns:mx") = "http://schemas.microsoft.com/office/mac/excel/2008/main";
    ext.append_attribute("uri") = "{64002731-A6B0-56B0-2670-7721B7C09600}";
    pugi::xml_node plv = ext.append_child("mx:PLV");
    plv.append_attribute("Mode") = "0";
    plv.append_attribute("OnePage") = "0";
    plv.append_attribute("WScale") = "0";
    return save(doc, path);
}

bool SpreadsheetWriter::WriteSharedStringsXML(const QString &path)
{
    pugi::xml_document doc;
    addDeclaration(doc);
    pugi::xml_node table = doc.append_child("sst");
    table.append_attribute("xmlns") = kMainNs;
    if (!_sharedStrings.isEmpty()) {
        const std::string count = std::to_string(_sharedStrings.size());
        table.append_attribute("count") = count.c_str();
        table.append_attribute("uniqueCount") = count.c_str();
    }
    for (const QString &entry : _sharedStrings) {
        pugi::xml_node t = table.append_child("si").append_child("t");
        // Spreadsheet programs drop outer white space unless told to keep it.
        if (!entry.isEmpty() && (entry.front().isSpace() || entry.back().isSpace()))
            t.append_attribute("xml:space") = "preserve";
        t.text() = xmlText(entry).c_str();
    }
    return save(doc, path);
}

bool SpreadsheetWriter::WriteWorkbookXML(const QString &path, const QString &withSheetName)
{
    pugi::xml_document doc;
    addDeclaration(doc);
    pugi::xml_node workbook = doc.append_child("workbook");
    workbook.append_attribute("xml:space") = "preserve";
    workbook.append_attribute("xmlns") = kMainNs;
    workbook.append_attribute("xmlns:r") = kRelNs;
    workbook.append_child("sheets").append_child("sheet").append_attribute("name") =
        xmlText(withSheetName).c_str();
    return save(doc, path);
}

bool SpreadsheetWriter::WriteWorkbook(const QString &path, const Rows &withData, bool hasTitleRow)
{
    Q_UNUSED(hasTitleRow);
    SpreadsheetWriter &self = instance();
    self._data = withData;

    QTemporaryDir work(QDir::tempPath() + QStringLiteral("/quorvant-write-XXXXXX"));
    if (!unpackTemplate(QStringLiteral("Template.xlsx"), work, path))
        return false;
    QDir().mkpath(work.filePath(QStringLiteral("xl/worksheets")));

    // The opened workbook (if any) keeps its own string table for later reads.
    const QStringList openedStrings = self._sharedStrings;
    const bool ok = self.WriteWorksheetData(work.filePath(QStringLiteral("xl/worksheets/sheet1.xml")))
        && self.WriteSharedStringsXML(work.filePath(QStringLiteral("xl/sharedStrings.xml")))
        && packFolder(work.path(), path, {QStringLiteral("[Content_Types].xml")});
    if (self._workDir)
        self._sharedStrings = openedStrings;
    return ok;
}
