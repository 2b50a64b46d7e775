#include "batch_data/spreadsheet/XmlSupport.h"

#include "batch_data/zip/ZipArchive.h"
#include "platform/Files.h"
#include "platform/Log.h"
#include "platform/Paths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstring>

namespace spreadsheet_xml {

const char *localName(const char *name)
{
    const char *colon = std::strchr(name, ':');
    return colon ? colon + 1 : name;
}

bool isNamed(const pugi::xml_node &node, const char *local)
{
    return node.type() == pugi::node_element && std::strcmp(localName(node.name()), local) == 0;
}

pugi::xml_node child(const pugi::xml_node &node, const char *local)
{
    for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling()) {
        if (isNamed(c, local))
            return c;
    }
    return {};
}

pugi::xml_attribute attribute(const pugi::xml_node &node, const char *local)
{
    for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
        if (std::strcmp(localName(a.name()), local) == 0)
            return a;
    }
    return {};
}

bool load(pugi::xml_document &doc, const QString &path, QString *error, bool keepSpaceBetweenRuns)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    const QByteArray bytes = file.readAll();
    const unsigned options = pugi::parse_default
        | (keepSpaceBetweenRuns ? pugi::parse_ws_pcdata : pugi::parse_ws_pcdata_single);
    const pugi::xml_parse_result result =
        doc.load_buffer(bytes.constData(), size_t(bytes.size()), options);
    if (!result) {
        if (error)
            *error = QStringLiteral("%1 at offset %2 of %3")
                         .arg(QString::fromUtf8(result.description()))
                         .arg(result.offset)
                         .arg(path);
        return false;
    }
    return true;
}

void addDeclaration(pugi::xml_document &doc)
{
    pugi::xml_node decl = doc.prepend_child(pugi::node_declaration);
    decl.append_attribute("version") = "1.0";
    decl.append_attribute("encoding") = "UTF-8";
    decl.append_attribute("standalone") = "yes";
}

namespace {
struct ByteWriter : pugi::xml_writer {
    QByteArray bytes;
    void write(const void *data, size_t size) override
    {
        bytes.append(static_cast<const char *>(data), qsizetype(size));
    }
};
} // namespace

bool save(const pugi::xml_document &doc, const QString &path, bool indent)
{
    ByteWriter writer;
    doc.save(writer, "  ", indent ? pugi::format_indent : pugi::format_raw, pugi::encoding_utf8);
    QString error;
    if (!platform::writeFileAtomically(path, writer.bytes, &error)) {
        platform::log(QStringLiteral("Error when writing file %1 (%2)").arg(path, error));
        return false;
    }
    return true;
}

std::string xmlText(const QString &text)
{
    QString clean;
    clean.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const char16_t u = c.unicode();
        if (u < 0x20 && u != u'\t' && u != u'\n' && u != u'\r')
            continue;
        if (u == 0xFFFE || u == 0xFFFF)
            continue;
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            clean.append(c);
            clean.append(text.at(++i));
            continue;
        }
        if (c.isSurrogate())
            continue;
        clean.append(c);
    }
    return clean.toStdString();
}

bool isPlainNumber(const QString &text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    if (i < n && text.at(i) == u'-')
        ++i;
    const qsizetype intStart = i;
    while (i < n && text.at(i) >= u'0' && text.at(i) <= u'9')
        ++i;
    const qsizetype intDigits = i - intStart;
    if (intDigits == 0 || (intDigits > 1 && text.at(intStart) == u'0'))
        return false;
    qsizetype fracDigits = 0;
    if (i < n && text.at(i) == u'.') {
        ++i;
        const qsizetype fracStart = i;
        while (i < n && text.at(i) >= u'0' && text.at(i) <= u'9')
            ++i;
        fracDigits = i - fracStart;
        if (fracDigits == 0 || text.at(i - 1) == u'0')
            return false;
    }
    if (i != n || intDigits + fracDigits > 15)
        return false;
    // "-0" would come back as 0.
    return !(intStart == 1 && intDigits == 1 && fracDigits == 0 && text.at(intStart) == u'0');
}

bool unpackTemplate(const QString &name, const QTemporaryDir &work, const QString &target)
{
    if (!work.isValid()) {
        platform::log(QStringLiteral("Error when writing file %1 (no temporary folder)").arg(target));
        return false;
    }
    const QString templatePath = QDir(platform::bundleResourcesPath()).filePath(name);
    if (!QFile::exists(templatePath) || !ZipArchive::unzipFileAtPath(templatePath, work.path())) {
        platform::log(QStringLiteral("Error when writing file %1 (template %2 unusable)").arg(target, templatePath));
        return false;
    }
    return true;
}

bool packFolder(const QString &folder, const QString &path, const QStringList &first)
{
    QStringList entries = QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (auto it = first.crbegin(); it != first.crend(); ++it) {
        if (entries.removeOne(*it))
            entries.prepend(*it);
    }
    // The package is built beside the work folder and copied into place in
    // one atomic step, so a failure never leaves a half-written file.
    QTemporaryDir packDir(QDir::tempPath() + QStringLiteral("/quorvant-pack-XXXXXX"));
    if (!packDir.isValid()) {
        platform::log(QStringLiteral("Error when writing file %1 (no temporary folder)").arg(path));
        return false;
    }
    const QString packed = packDir.filePath(QStringLiteral("package.zip"));
    ZipArchive archive(packed);
    const bool opened = archive.open();
    bool ok = opened;
    for (const QString &entry : entries) {
        if (!ok)
            break;
        ok = archive.writeFile(entry, folder);
    }
    if (opened)
        ok = archive.close() && ok;
    QFile packedFile(packed);
    if (!ok || !packedFile.open(QIODevice::ReadOnly)) {
        platform::log(QStringLiteral("Error when writing file %1 (packing failed)").arg(path));
        return false;
    }
    QString error;
    if (!platform::writeFileAtomically(path, packedFile.readAll(), &error)) {
        platform::log(QStringLiteral("Error when writing file %1 (%2)").arg(path, error));
        return false;
    }
    return true;
}

qsizetype widestRow(const QList<QStringList> &rows)
{
    qsizetype width = 1;
    for (const QStringList &row : rows)
        width = std::max(width, row.size());
    return width;
}

} // namespace spreadsheet_xml
