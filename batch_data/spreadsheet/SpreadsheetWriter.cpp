#include "batch_data/spreadsheet/SpreadsheetWriter.h"

#include "batch_data/spreadsheet/CellFormat.h"
#include "batch_data/spreadsheet/XmlSupport.h"
#include "platform/Log.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>

using namespace spreadsheet_xml;

namespace batch_data {
int Excel_Sheet_Number = 1;
int Excel_Sheet_Columns = 1;
} // namespace batch_data

namespace {

const char *const kMainNs = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
const char *const kRelNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

} // namespace

SpreadsheetWriter::SpreadsheetWriter() = default;
SpreadsheetWriter::~SpreadsheetWriter() = default;

SpreadsheetWriter &SpreadsheetWriter::instance()
{
    static SpreadsheetWriter spreadsheet;
    return spreadsheet;
}

QString SpreadsheetWriter::tmpDir() const
{
    return _workbook ? _workbook->folder() : QString();
}

QString SpreadsheetWriter::Work_Folder()
{
    return instance().tmpDir();
}

void SpreadsheetWriter::Delete_Work_Folder()
{
    instance()._workbook.reset();
}

QStringList SpreadsheetWriter::Worksheet_Parts()
{
    QStringList parts;
    if (const auto &book = instance()._workbook) {
        for (const batch_data::WorksheetEntry &sheet : book->worksheets())
            parts.append(QFileInfo(sheet.part).completeBaseName());
    }
    return parts;
}

void SpreadsheetWriter::Release_Data() {}

SpreadsheetWriter::Rows SpreadsheetWriter::ReadWorkbook(const QString &path, bool only_col, QString *error)
{
    SpreadsheetWriter &self = instance();
    QString reason;
    if (!only_col) {
        std::optional<Rows> rows;
        if (!self._workbook)
            reason = QStringLiteral("no workbook is open");
        else
            rows = self._workbook->rows(batch_data::Excel_Sheet_Number, batch_data::Excel_Sheet_Columns, &reason);
        if (!rows)
            platform::log(QStringLiteral("Error: %1").arg(reason));
        if (error)
            *error = reason;
        self._data = std::move(rows).value_or(Rows());
        return self._data;
    }

    Release_Data();
    batch_data::Excel_Sheet_Columns = 1;
    self._workbook.reset();   // the earlier workbook's parts go with it
    self._workbook = batch_data::Workbook::open(path, &reason);
    if (error)
        *error = reason;
    if (!self._workbook) {
        platform::log(QStringLiteral("Error: workbook %1: %2").arg(path, reason));
        self._sharedStrings.clear();
        self._data.clear();
        return {};
    }
    self._sharedStrings = self._workbook->sharedStrings();
    return self._data;
}

SpreadsheetWriter::Rows SpreadsheetWriter::ReadData_only_column(QString *error)
{
    SpreadsheetWriter &self = instance();
    self._data.clear();
    QString reason = QStringLiteral("no workbook is open");
    const auto header = self._workbook
        ? self._workbook->header(batch_data::Excel_Sheet_Number, batch_data::Excel_Sheet_Columns, &reason)
        : std::nullopt;
    if (!header) {
        platform::log(QStringLiteral("Error: %1").arg(reason));
        if (error)
            *error = reason;
        return self._data;
    }
    if (header->columns > 0)
        batch_data::Excel_Sheet_Columns = header->columns;
    if (header->names)
        self._data.append(*header->names);
    return self._data;
}

QStringList SpreadsheetWriter::Read_Sheet_Name()
{
    QStringList names;
    if (const auto &book = instance()._workbook) {
        for (const batch_data::WorksheetEntry &sheet : book->worksheets())
            names.append(sheet.name);
    }
    return names;
}

void SpreadsheetWriter::ReadSharedStrings(const QString &path)
{
    _sharedStrings = batch_data::readSharedStrings(path);
}

void SpreadsheetWriter::ReadData(const QString &path)
{
    QString error;
    auto rows = batch_data::readWorksheetRows(path, _sharedStrings, batch_data::Excel_Sheet_Columns, &error);
    if (!rows)
        platform::log(QStringLiteral("Error: %1").arg(error));
    _data = rows.value_or(Rows());
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
        // Control characters (a carriage return too, which XML readers
        // would turn into a line feed) travel as _xHHHH_ escapes.
        t.text() = xmlText(batch_data::encodeEscapes(entry)).c_str();
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

    const bool ok = self.WriteWorksheetData(work.filePath(QStringLiteral("xl/worksheets/sheet1.xml")))
        && self.WriteSharedStringsXML(work.filePath(QStringLiteral("xl/sharedStrings.xml")))
        && packFolder(work.path(), path, {QStringLiteral("[Content_Types].xml")});
    if (self._workbook)
        self._sharedStrings = self._workbook->sharedStrings();
    return ok;
}
