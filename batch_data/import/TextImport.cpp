#include "batch_data/import/TextImport.h"

#include "batch_data/import/CsvReader.h"
#include "batch_data/import/RtfReader.h"
#include "batch_data/import/TextDecoding.h"
#include "batch_data/series/SeriesStore.h"
#include "platform/Helpers.h"

#include <QDir>
#include <QFileInfo>

namespace batch_data {

namespace {

QString unusableMessage()
{
    return QStringLiteral("Either file is corrupted or selected file contains invalid characters.");
}

} // namespace

TextFormat textFormatForPath(const QString &path)
{
    const QString extension = QFileInfo(path).suffix().toUpper();
    if (extension == QLatin1String("RTF"))
        return TextFormat::Rtf;
    if (extension == QLatin1String("CSV"))
        return TextFormat::Csv;
    return TextFormat::Plain;
}

QString chk_and_insert_validation(const QString &value)
{
    QString cleaned = value;
    cleaned.remove(QLatin1Char('\\'));
    cleaned.remove(QLatin1Char('{'));
    cleaned.remove(QLatin1Char('}'));
    return Trim_Str(cleaned);
}

std::optional<QStringList> textFileValues(const QByteArray &bytes, TextFormat format, QString *message)
{
    auto refuse = [&](const QString &why) -> std::optional<QStringList> {
        if (message)
            *message = why;
        return std::nullopt;
    };
    QStringList values;
    auto add = [&](const QString &value) {
        if (!value.isEmpty())
            values.append(value);
    };
    if (format == TextFormat::Rtf) {
        const auto text = rtfToPlainText(bytes);
        if (!text)
            return refuse(unusableMessage());
        for (const QString &line : textLines(*text))
            add(Trim_Str(line));
    } else {
        QString encodingError;
        const auto text = decodeText(bytes, &encodingError);
        if (!text)
            return refuse(encodingError);
        if (format == TextFormat::Csv) {
            for (const QStringList &record : parseCsv(*text))
                for (const QString &field : record)
                    add(chk_and_insert_validation(field));
        } else {
            for (const QString &line : textLines(*text))
                add(chk_and_insert_validation(line));
        }
    }
    if (values.isEmpty())
        return refuse(unusableMessage());
    return values;
}

std::optional<QStringList> pastedTextValues(const QString &text, bool toFile, QString *message)
{
    if (Trim_Str(text).isEmpty()) {
        if (message)
            *message = QStringLiteral("Please enter some data.");
        return std::nullopt;
    }
    QStringList lines;
    for (const QString &line : textLines(text)) {
        if (!toFile || !line.isEmpty())
            lines.append(line);
    }
    return lines;
}

QStringList imageFolderValues(const QString &folder)
{
    static const QStringList extensions = {"jpg", "jpeg", "jpe", "jfif", "gif", "bmp", "png", "tif", "tiff"};
    QStringList values;
    const QDir dir(folder);
    if (folder.isEmpty() || !dir.exists())
        return values;
    const QFileInfoList entries = dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo &entry : entries) {
        if (entry.isFile() && extensions.contains(entry.suffix().toLower()))
            values.append(dir.filePath(entry.fileName()));
    }
    return values;
}

} // namespace batch_data
