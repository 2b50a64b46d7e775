#include "profiles_wizards/TemplateFiles.h"

#include "design_window/Globals.h"
#include "platform/Files.h"
#include "platform/Helpers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <vector>

namespace profiles_wizards {

namespace {

QString basePathOf(const QString &path)
{
    const QFileInfo info(path);
    return QDir(info.path()).filePath(info.completeBaseName());
}

QString withDesignExtension(const QString &base)
{
    return base + QLatin1Char('.') + design_window::design_file_EXT;
}

bool copyFile(const QString &from, const QString &to, QString *error)
{
    if (QFileInfo::exists(to)) {
        if (error)
            *error = QStringLiteral("%1 already exists.").arg(QDir::toNativeSeparators(to));
        return false;
    }
    QFile source(from);
    if (!source.copy(to)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(from), source.errorString());
        return false;
    }
    return true;
}

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

} // namespace

QString designFileOf(const QString &thumbnail)
{
    return withDesignExtension(basePathOf(thumbnail));
}

QString Create_New_File_Path(const QString &path)
{
    const QFileInfo info(path);
    const QDir folder = info.dir();
    for (int n = 1;; ++n) {
        const QString candidate =
            folder.filePath(QStringLiteral("%1 (copy %2).%3").arg(info.completeBaseName()).arg(n).arg(info.suffix()));
        if (!QFileInfo::exists(candidate) && !QFileInfo::exists(designFileOf(candidate)))
            return candidate;
    }
}

bool isUsableTemplateName(const QString &name)
{
    // A name beginning with "." would be a hidden file that the gallery
    // never lists (and "." and ".." are no file names at all).
    return !name.isEmpty() && !name.startsWith(QLatin1Char('.')) && !name.contains(QLatin1Char('/'))
        && !name.contains(QLatin1Char('\\'));
}

bool copyTemplate(const QString &thumbnail, QString *copy, QString *error)
{
    const QString newThumbnail = Create_New_File_Path(thumbnail);
    if (!copyFile(thumbnail, newThumbnail, error))
        return false;
    if (!copyFile(designFileOf(thumbnail), designFileOf(newThumbnail), error)) {
        QFile::remove(newThumbnail);
        return false;
    }
    if (copy)
        *copy = newThumbnail;
    return true;
}

bool renameTemplate(const QString &thumbnail, const QString &newBase, QString *error)
{
    const QString newThumbnail = newBase + QStringLiteral(".png");
    if (QFileInfo(newThumbnail).absoluteFilePath() == QFileInfo(thumbnail).absoluteFilePath())
        return true;
    const QString oldDesign = designFileOf(thumbnail);
    const QString newDesign = withDesignExtension(newBase);
    // A "jpg" template renamed to its own name keeps its design file.
    const bool sameDesign = QFileInfo(newDesign).absoluteFilePath() == QFileInfo(oldDesign).absoluteFilePath();

    if (!copyFile(thumbnail, newThumbnail, error))
        return false;
    if (!sameDesign && !copyFile(oldDesign, newDesign, error)) {
        QFile::remove(newThumbnail);
        return false;
    }
    Delete_File(thumbnail);
    if (!sameDesign)
        Delete_File(oldDesign);
    return true;
}

void deleteTemplate(const QString &thumbnail)
{
    Delete_File(thumbnail);
    Delete_File(designFileOf(thumbnail));
}

bool writeTemplate(const QString &newBase, const QByteArray &design, const QByteArray &png, QString *error)
{
    platform::AtomicFile designFile(withDesignExtension(newBase));
    platform::AtomicFile pngFile(newBase + QStringLiteral(".png"));
    // Checked first, so that a folder in the way of the second file cannot
    // leave the first one replaced alone.
    for (const platform::AtomicFile *file : {&designFile, &pngFile}) {
        if (QFileInfo(file->fileName()).isDir()) {
            setError(error, QStringLiteral("%1 is a folder.").arg(QDir::toNativeSeparators(file->fileName())));
            return false;
        }
    }
    for (auto [file, bytes] : {std::pair{&designFile, &design}, std::pair{&pngFile, &png}}) {
        if (!file->open(QIODevice::WriteOnly) || file->write(*bytes) != bytes->size()) {
            setError(error, QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(file->fileName()), file->errorString()));
            return false;
        }
    }
    // The old pair steps aside until both new files are in place, and comes
    // back when either cannot be put there: the design file and the picture
    // are replaced together or not at all.
    std::vector<std::pair<QString, QString>> setAside;
    const auto putBack = [&] {
        for (const auto &[original, aside] : setAside) {
            QFile::remove(original);
            QFile::rename(aside, original);
        }
    };
    for (const platform::AtomicFile *file : {&designFile, &pngFile}) {
        const QString original = file->fileName();
        if (!QFileInfo::exists(original))
            continue;
        const QFileInfo info(original);
        const QString aside = info.dir().filePath(QStringLiteral(".%1.replaced").arg(info.fileName()));
        QFile::remove(aside);
        if (!QFile::rename(original, aside)) {
            putBack();
            setError(error, QStringLiteral("%1 cannot be replaced.").arg(QDir::toNativeSeparators(original)));
            return false;
        }
        setAside.emplace_back(original, aside);
    }
    for (platform::AtomicFile *file : {&designFile, &pngFile}) {
        if (!file->commit()) {
            setError(error, QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(file->fileName()), file->errorString()));
            if (file == &pngFile)
                QFile::remove(designFile.fileName());
            putBack();
            return false;
        }
    }
    for (const auto &aside : setAside)
        QFile::remove(aside.second);
    return true;
}

} // namespace profiles_wizards
