#include "batch_data/spreadsheet/Workbook.h"

#include "batch_data/spreadsheet/XlsxStyles.h"
#include "batch_data/spreadsheet/XmlSupport.h"
#include "batch_data/zip/ZipArchive.h"
#include "platform/Log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>

using namespace spreadsheet_xml;

namespace {

// Widest sheet the formats allow (column XFD).
constexpr int kMaxColumns = batch_data::kMaxSheetColumns;

// The rows at `columns` texts each: cut or padded with empty texts.
std::optional<batch_data::SheetRows> atWidth(batch_data::WorksheetCells cells, int columns,
                                             const batch_data::WorksheetLimits &limits, QString *error)
{
    columns = std::clamp(columns, 0, kMaxColumns);
    if (cells.rows.size() * qint64(std::max(1, columns)) > limits.maxCells) {
        if (error)
            *error = QStringLiteral("the worksheet has more than %L1 cells, more than can be read")
                         .arg(limits.maxCells);
        return std::nullopt;
    }
    for (QStringList &row : cells.rows)
        row.resize(columns);
    return std::move(cells.rows);
}

// Opens a part for the scanner, which reads in large chunks of its own.
bool openPart(QFile &file, QString *error)
{
    if (file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return true;
    if (error)
        *error = QStringLiteral("cannot read %1: %2").arg(file.fileName(), file.errorString());
    return false;
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
    QFile file(partPath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return readSharedStrings(file).value_or(QStringList());
}

std::optional<SheetRows> readWorksheetRows(const QString &partPath, const QStringList &sharedStrings,
                                           int columns, QString *error)
{
    QFile file(partPath);
    if (!openPart(file, error))
        return std::nullopt;
    const WorksheetLimits limits;
    std::optional<WorksheetCells> cells = readWorksheet(file, sharedStrings, CellFormatter(), error, limits);
    if (!cells)
        return std::nullopt;
    return atWidth(std::move(*cells), columns, limits, error);
}

Workbook::Workbook(std::unique_ptr<QTemporaryDir> folder, QStringList sharedStrings, CellFormatter formatter,
                   WorksheetLimits limits)
    : m_folder(std::move(folder))
    , m_sharedStrings(std::move(sharedStrings))
    , m_formatter(std::move(formatter))
    , m_limits(limits)
{
    m_worksheets = readWorksheetList();
}

Workbook::Workbook(Workbook &&) noexcept = default;
Workbook &Workbook::operator=(Workbook &&) noexcept = default;
Workbook::~Workbook() = default;

QString unreadableSpreadsheetMessage(const QString &path, const QString &reason)
{
    // The readers' reasons may start in lower case, as parts of log lines.
    QString sentence = reason;
    if (!sentence.isEmpty())
        sentence[0] = sentence[0].toUpper();
    return QStringLiteral("The file \"%1\" cannot be read as a spreadsheet.\n%2")
        .arg(QDir::toNativeSeparators(path), sentence);
}

std::optional<Workbook> Workbook::open(const QString &path, QString *error, const WorksheetLimits &limits)
{
    auto refuse = [&](const QString &reason) {
        if (error)
            *error = reason;
        return std::nullopt;
    };
    // Said in the user's terms: the caller names the file.
    const QFileInfo info(path);
    if (!info.exists())
        return refuse(QStringLiteral("There is no such file."));
    if (!info.isFile())
        return refuse(QStringLiteral("It is not a regular file."));
    if (QFile probe(path); !probe.open(QIODevice::ReadOnly))
        return refuse(probe.errorString());
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
        switch (unpacking.code) {
        case 0:
            break;
        case -1:
            return refuse(QStringLiteral("It is not an xlsx workbook, or it is damaged: it cannot be opened as a zip "
                                         "package."));
        case -2:
            return refuse(QStringLiteral("It is an empty package, not an xlsx workbook."));
        default:
            return refuse(QStringLiteral("It cannot be unpacked: %1.").arg(unpacking.description));
        }
        platform::log(QStringLiteral("Workbook %1 could not be unpacked completely").arg(path));
    }

    // Parts that are missing leave their defaults (no strings, General, the
    // 1900 system); parts that are there must read, or every cell could
    // show the wrong text.
    QStringList strings;
    QFile stringsPart(folder->filePath(QStringLiteral("xl/sharedStrings.xml")));
    if (stringsPart.open(QIODevice::ReadOnly)) {
        QString reason;
        std::optional<QStringList> read = readSharedStrings(stringsPart, &reason);
        if (!read)
            return refuse(QStringLiteral("Its shared strings are damaged: %1.").arg(reason));
        strings = std::move(*read);
    }
    QStringList formatCodes;
    QFile stylesPart(folder->filePath(QStringLiteral("xl/styles.xml")));
    if (stylesPart.open(QIODevice::ReadOnly)) {
        QString reason;
        formatCodes = readCellFormatCodes(stylesPart.readAll(), &reason);
        if (!reason.isEmpty())
            return refuse(QStringLiteral("Its styles are damaged: %1.").arg(reason));
    }
    QFile workbookPart(folder->filePath(QStringLiteral("xl/workbook.xml")));
    const bool date1904 = workbookPart.open(QIODevice::ReadOnly) && readDate1904(workbookPart.readAll());
    return Workbook(std::move(folder), std::move(strings), CellFormatter(formatCodes, date1904), limits);
}
QString Workbook::folder() const
{
    return m_folder->path();
}

QString Workbook::partPath(int sheet) const
{
    // A number beyond the list names the part it would have had, which
    // then reports itself missing.
    if (sheet < 1 || sheet > m_worksheets.size())
        return QStringLiteral("%1/xl/worksheets/sheet%2.xml").arg(folder()).arg(sheet);
    return folder() + QLatin1Char('/') + m_worksheets.at(sheet - 1).part;
}

QList<WorksheetEntry> Workbook::readWorksheetList() const
{
    QList<WorksheetEntry> entries;
    pugi::xml_document book;
    pugi::xml_document relationships;
    if (load(book, folder() + QStringLiteral("/xl/workbook.xml"), nullptr)
        && load(relationships, folder() + QStringLiteral("/xl/_rels/workbook.xml.rels"), nullptr)) {
        // Relationship targets are relative to the "xl" folder, or absolute
        // in the package; none may lead out of it.
        QHash<QString, QString> worksheetParts;
        const pugi::xml_node root = child(relationships, "Relationships");
        for (pugi::xml_node r = root.first_child(); r; r = r.next_sibling()) {
            const QString type = QString::fromUtf8(attribute(r, "Type").value());
            if (!isNamed(r, "Relationship") || !type.endsWith(QLatin1String("/worksheet")))
                continue;
            QString target = QString::fromUtf8(attribute(r, "Target").value());
            target = target.startsWith(QLatin1Char('/')) ? target.mid(1) : QStringLiteral("xl/") + target;
            target = QDir::cleanPath(target);
            if (!target.startsWith(QLatin1String("..")) && QFileInfo(folder() + QLatin1Char('/') + target).isFile())
                worksheetParts.insert(QString::fromUtf8(attribute(r, "Id").value()), target);
        }
        const pugi::xml_node sheets = child(child(book, "workbook"), "sheets");
        for (pugi::xml_node sheet = sheets.first_child(); sheet; sheet = sheet.next_sibling()) {
            const QString part = worksheetParts.value(QString::fromUtf8(attribute(sheet, "id").value()));
            if (isNamed(sheet, "sheet") && !part.isEmpty())
                entries.append({QString::fromUtf8(attribute(sheet, "name").value()), part});
        }
    }
    if (entries.isEmpty()) {
        for (const QString &part : worksheetParts())
            entries.append({part, QStringLiteral("xl/worksheets/%1.xml").arg(part)});
    }
    return entries;
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

std::optional<WorksheetCells> Workbook::cells(int sheet, bool keep, QString *error) const
{
    if (m_kept && m_kept->first == sheet) {
        std::optional<WorksheetCells> cells = std::move(m_kept->second);
        m_kept.reset();
        if (keep)
            m_kept.emplace(sheet, *cells);
        return cells;
    }
    m_kept.reset();   // its memory goes before the next sheet is read
    QFile file(partPath(sheet));
    if (!openPart(file, error))
        return std::nullopt;
    std::optional<WorksheetCells> cells = readWorksheet(file, m_sharedStrings, m_formatter, error, m_limits);
    if (cells && keep)
        m_kept.emplace(sheet, *cells);   // shares the texts: no copy until the full read pads them
    return cells;
}

std::optional<SheetHeader> Workbook::header(int sheet, int columnsIfUntold, QString *error) const
{
    const std::optional<WorksheetCells> cells = this->cells(sheet, true, error);
    if (!cells)
        return std::nullopt;
    SheetHeader header;
    header.columns = cells->width;
    if (cells->rows.isEmpty())
        return header;
    const int width = header.columns > 0 ? header.columns : std::clamp(columnsIfUntold, 0, kMaxColumns);
    QStringList names = cells->rows.first();
    names.resize(width);
    for (int i = 0; i < width; ++i) {
        if (names.at(i).isEmpty())
            names[i] = QStringLiteral("Untitled Column %1").arg(i + 1);
    }
    header.names = std::move(names);
    return header;
}

std::optional<SheetRows> Workbook::rows(int sheet, int columns, QString *error) const
{
    std::optional<WorksheetCells> cells = this->cells(sheet, false, error);
    if (!cells)
        return std::nullopt;
    return atWidth(std::move(*cells), columns, m_limits, error);
}

} // namespace batch_data
