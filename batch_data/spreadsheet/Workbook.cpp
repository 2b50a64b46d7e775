#include "batch_data/spreadsheet/Workbook.h"

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

namespace {

// Widest sheet the formats allow (column XFD); wider claims are refused so
// that a damaged dimension cannot make every row enormous.
constexpr int kMaxColumns = 16384;
// Cells one read may build, so that a small damaged file cannot claim
// gigabytes; far beyond any data source a card run uses.
constexpr qint64 kMaxCells = 20000000;

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

// The width is the dimension's last column or the last column holding
// text, whichever is wider.
int measureWidth(const pugi::xml_node &worksheet, const pugi::xml_node &sheetData,
                 const QStringList &sharedStrings, const QString &path)
{
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
            if (column >= width && !cellText(cell, sharedStrings).isEmpty())
                width = column + 1;
        }
    }
    if (width > kMaxColumns) {
        platform::log(QStringLiteral("Worksheet %1 claims %2 columns; reading the first %3")
                          .arg(path).arg(width).arg(kMaxColumns));
        width = kMaxColumns;
    }
    return width;
}

// Rows `width` texts long, each filled from the row's cells over the
// defaults; `firstOnly` stops after the first row.
batch_data::SheetRows readRows(const pugi::xml_node &sheetData, const QStringList &sharedStrings,
                               const QStringList &defaults, bool firstOnly, const QString &path)
{
    batch_data::SheetRows rows;
    const qsizetype width = defaults.size();
    for (pugi::xml_node row = sheetData.first_child(); row; row = row.next_sibling()) {
        if (!isNamed(row, "row"))
            continue;
        if ((rows.size() + 1) * qint64(std::max<qsizetype>(1, width)) > kMaxCells) {
            platform::log(QStringLiteral("Worksheet %1 is too large; reading its first %2 rows")
                              .arg(path).arg(rows.size()));
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
            QString value = cellText(cell, sharedStrings);
            if (!value.isEmpty())
                values[column] = std::move(value);
        }
        rows.append(std::move(values));
        if (firstOnly)
            break;
    }
    return rows;
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

namespace batch_data {

QStringList readSharedStrings(const QString &partPath)
{
    QStringList strings;
    pugi::xml_document doc;
    if (!load(doc, partPath, nullptr))
        return strings;
    const pugi::xml_node table = child(doc, "sst");
    for (pugi::xml_node item = table.first_child(); item; item = item.next_sibling()) {
        if (isNamed(item, "si"))
            strings.append(richText(item));
    }
    return strings;
}

std::optional<SheetRows> readWorksheetRows(const QString &partPath, const QStringList &sharedStrings,
                                           int columns, QString *error)
{
    pugi::xml_document doc;
    if (!load(doc, partPath, error))
        return std::nullopt;
    const QStringList defaults(std::clamp(columns, 0, kMaxColumns), QString());
    return readRows(child(child(doc, "worksheet"), "sheetData"), sharedStrings, defaults, false, partPath);
}

Workbook::Workbook(std::unique_ptr<QTemporaryDir> folder, QStringList sharedStrings)
    : m_folder(std::move(folder))
    , m_sharedStrings(std::move(sharedStrings))
{
}

Workbook::Workbook(Workbook &&) noexcept = default;
Workbook &Workbook::operator=(Workbook &&) noexcept = default;
Workbook::~Workbook() = default;

std::optional<Workbook> Workbook::open(const QString &path, QString *error)
{
    auto folder = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/quorvant-workbook-XXXXXX"));
    if (!folder->isValid()) {
        if (error)
            *error = QStringLiteral("no temporary folder for %1").arg(path);
        return std::nullopt;
    }
    ZipError unpacking;
    if (!ZipArchive::unzipFileAtPath(path, folder->path(), true, QString(), &unpacking)) {
        // A code says the archive as a whole was refused; without one only
        // some entries were.
        if (unpacking.code != 0) {
            if (error)
                *error = QStringLiteral("cannot open workbook %1: %2").arg(path, unpacking.description);
            return std::nullopt;
        }
        platform::log(QStringLiteral("Workbook %1 could not be unpacked completely").arg(path));
    }
    QStringList strings = readSharedStrings(folder->filePath(QStringLiteral("xl/sharedStrings.xml")));
    return Workbook(std::move(folder), std::move(strings));
}

QString Workbook::folder() const
{
    return m_folder->path();
}

QString Workbook::partPath(int sheet) const
{
    return QStringLiteral("%1/xl/worksheets/sheet%2.xml").arg(folder()).arg(sheet);
}

QStringList Workbook::worksheetParts() const
{
    QStringList parts;
    const QFileInfoList entries = QDir(folder() + QStringLiteral("/xl/worksheets")).entryInfoList(QDir::Files);
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

QStringList Workbook::sheetNames() const
{
    QStringList names;
    pugi::xml_document doc;
    if (!load(doc, folder() + QStringLiteral("/xl/workbook.xml"), nullptr))
        return names;
    const pugi::xml_node sheets = child(child(doc, "workbook"), "sheets");
    for (pugi::xml_node sheet = sheets.first_child(); sheet; sheet = sheet.next_sibling()) {
        if (isNamed(sheet, "sheet"))
            names.append(QString::fromUtf8(attribute(sheet, "name").value()));
    }
    return names;
}

std::optional<SheetHeader> Workbook::header(int sheet, int columnsIfUntold, QString *error) const
{
    const QString path = partPath(sheet);
    pugi::xml_document doc;
    if (!load(doc, path, error))
        return std::nullopt;
    const pugi::xml_node worksheet = child(doc, "worksheet");
    const pugi::xml_node sheetData = child(worksheet, "sheetData");
    SheetHeader header;
    header.columns = measureWidth(worksheet, sheetData, m_sharedStrings, path);
    const int width = header.columns > 0 ? header.columns : std::clamp(columnsIfUntold, 0, kMaxColumns);
    QStringList defaults;
    defaults.reserve(width);
    for (int i = 1; i <= width; ++i)
        defaults.append(QStringLiteral("Untitled Column %1").arg(i));
    const SheetRows first = readRows(sheetData, m_sharedStrings, defaults, true, path);
    if (!first.isEmpty())
        header.names = first.first();
    return header;
}

std::optional<SheetRows> Workbook::rows(int sheet, int columns, QString *error) const
{
    return readWorksheetRows(partPath(sheet), m_sharedStrings, columns, error);
}

} // namespace batch_data
