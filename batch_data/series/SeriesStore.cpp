#include "batch_data/series/SeriesStore.h"

#include "batch_data/spreadsheet/SpreadsheetWriter.h"

#include "platform/Files.h"
#include "platform/Helpers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <algorithm>

namespace batch_data {

namespace {

bool boundTo(const std::vector<SeriesBinding> &graphics, const QString &name)
{
    return std::any_of(graphics.begin(), graphics.end(), [&](const SeriesBinding &g) {
        return g.bindable && g.data_source_type == 1 && g.batch_list_name == name;
    });
}

} // namespace

SeriesStore::SeriesStore(QString folder)
    : m_folder(std::move(folder))
{
}

QString SeriesStore::extension()
{
    return QStringLiteral("txt");
}

bool SeriesStore::isValidSeriesName(const QString &name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')))
        return false;
    // A NUL would cut the path short in the C library below QFile.
    return !name.contains(QChar(0));
}

std::optional<QString> SeriesStore::seriesFilePath(const QString &name) const
{
    // Without a folder the path would name a file in the working folder.
    if (m_folder.isEmpty() || !isValidSeriesName(name))
        return std::nullopt;
    const QDir dir(m_folder);
    const QString fileName = name + QLatin1Char('.') + extension();
    if (!QFileInfo(dir.filePath(fileName)).isFile()) {
        // A series file named with another case of the extension ("TXT")
        // is that series: it is read and replaced, never doubled.
        const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
        for (const QString &entry : entries) {
            if (entry.compare(fileName, Qt::CaseInsensitive) == 0 && entry.startsWith(name + QLatin1Char('.')))
                return dir.filePath(entry);
        }
    }
    return dir.filePath(fileName);
}

QStringList SeriesStore::Get_datasheet_File_Name_Array() const
{
    QStringList names;
    const QFileInfo folderInfo(m_folder);
    if (m_folder.isEmpty() || !folderInfo.isDir())
        return names;
    const QDir dir(m_folder);
    const QFileInfoList entries = dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    const QString suffix = QLatin1Char('.') + extension();
    for (const QFileInfo &entry : entries) {
        const QString fileName = entry.fileName();
        if (!fileName.endsWith(suffix, Qt::CaseInsensitive))
            continue;
        const QString name = fileName.left(fileName.size() - suffix.size());
        // "a.txt" and "a.TXT" are one series (seriesFilePath picks one).
        if (isValidSeriesName(name) && !names.contains(name))
            names.append(name);
    }
    // As a person sorts names: case aside, then exactly, so that the order
    // (and so every position) is the same on every listing.
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    return names;
}

QString SeriesStore::notUtf8Message()
{
    return QStringLiteral("The file is not in UTF-8 text encoding and cannot be read without changing its "
                          "characters; save it as UTF-8 text.");
}

QString SeriesStore::binaryMessage()
{
    return QStringLiteral("The file holds NUL (binary) bytes, so it is not text; save the series as UTF-8 text.");
}

std::optional<QString> SeriesStore::readText(const QString &name, QString *error) const
{
    auto fail = [&](const QString &why) -> std::optional<QString> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    const auto path = seriesFilePath(name);
    if (!path)
        return fail(QStringLiteral("Invalid series name."));
    if (!QFileInfo(*path).isFile())
        return fail(QStringLiteral("No such file."));
    QFile file(*path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.errorString());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return fail(file.errorString());
    // A NUL has no place in a line of text: the file holds binary data,
    // whatever encoding the rest of it may seem to be in.
    if (bytes.contains('\0'))
        return fail(binaryMessage());
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return fail(notUtf8Message());
    return text;
}

QString SeriesStore::Get_First_Value_Of_Dataset(const QString &name) const
{
    const auto text = readText(name);
    if (!text)
        return QString();
    const auto end = std::find_if(text->cbegin(), text->cend(), [](QChar c) {
        return c == QLatin1Char('\n') || c == QLatin1Char('\r');
    });
    return text->left(end - text->cbegin());
}

QStringList SeriesStore::readValues(const QString &name, QString *error) const
{
    QStringList values;
    const auto text = readText(name, error);
    if (!text)
        return values;
    for (const QString &piece : textLines(*text)) {
        const QString value = Trim_Str(piece);
        if (!value.isEmpty())
            values.append(value);
    }
    return values;
}

QStringList SeriesStore::readRecords(const QString &name, QString *error) const
{
    const auto text = readText(name, error);
    if (!text)
        return {};
    const QString trimmed = Trim_Str(*text);
    if (trimmed.isEmpty())
        return {};
    return textLines(trimmed);
}

bool SeriesStore::Check_Batch_File_In_Use_Validation(const QString &name,
                                                     const std::vector<SeriesBinding> &front,
                                                     const std::vector<SeriesBinding> &back,
                                                     bool twoSided) const
{
    const auto path = seriesFilePath(name);
    if (!path || !QFileInfo(*path).isFile())
        return false;
    if (boundTo(front, name))
        return true;
    return twoSided && boundTo(back, name);
}

QStringList textLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\n') && c != QLatin1Char('\r'))
            continue;
        lines.append(text.mid(start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    lines.append(text.mid(start));
    return lines;
}

QString seriesLine(const QString &value)
{
    QString line = value;
    line.replace(QLatin1String("\r\n"), QLatin1String(" "));
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    line.replace(QLatin1Char('\r'), QLatin1Char(' '));
    line.replace(QChar(0x2028), QLatin1Char(' '));
    line.replace(QChar(0x2029), QLatin1Char(' '));
    return line;
}

QByteArray seriesFileBytes(const QStringList &values)
{
    QByteArray data;
    for (const QString &value : values) {
        data += seriesLine(value).toUtf8();
        data += '\n';
    }
    return data;
}

bool SeriesStore::writeSeries(const QString &name, const QStringList &values, QString *error) const
{
    return writeSeriesFile(name, seriesFileBytes(values), error);
}

bool SeriesStore::writeSeriesFile(const QString &name, const QByteArray &data, QString *error) const
{
    const auto path = seriesFilePath(name);
    if (!path) {
        if (error)
            *error = QStringLiteral("Invalid series name.");
        return false;
    }
    if (!QDir().mkpath(m_folder)) {
        if (error)
            *error = QStringLiteral("Cannot create the series folder.");
        return false;
    }
    return platform::writeFileAtomically(*path, data, error);
}

bool SeriesStore::removeSeries(const QString &name, QString *error) const
{
    const auto path = seriesFilePath(name);
    if (!path) {
        if (error)
            *error = QStringLiteral("Invalid series name.");
        return false;
    }
    QFile file(*path);
    if (file.remove())
        return true;
    if (error)
        *error = file.errorString();
    return false;
}

QString unreadableSeriesMessage(const QString &name, const QString &path, const QString &reason)
{
    return QStringLiteral("The Batch Processing Series \"%1\" could not be read.\n%2\n\n%3").arg(name, path, reason);
}

void Delete_Excel_File_Temp_Folder()
{
    SpreadsheetWriter::Delete_Work_Folder();
}

} // namespace batch_data
