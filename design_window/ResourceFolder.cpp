#include "design_window/ResourceFolder.h"

#include "design_window/Globals.h"
#include "platform/Files.h"
#include "platform/Helpers.h"
#include "platform/Paths.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace design_window {

void setResourceFolder(const QString &resourceFolder)
{
    Resource_Path = resourceFolder;
    Data_Folder_Path = QDir(resourceFolder).filePath(QStringLiteral("DataSet"));
}

const QStringList &resourceSubfolders()
{
    static const QStringList folders{"Frames", "Fill_Style_Image", "LibraryImage", "Templates", "Templates/User"};
    return folders;
}

QString defaultContentPath()
{
    return QDir(platform::bundleResourcesPath()).filePath(QStringLiteral("DefaultContent"));
}

int seedDefaultContent(const QString &from, const QString &to)
{
    const QDir source(from);
    if (from.isEmpty() || !source.exists())
        return 0;
    const QString recordPath = QDir(to).filePath(kSeededContentRecord);
    QFile recordFile(recordPath);
    QStringList record;
    if (recordFile.open(QIODevice::ReadOnly))
        record = QString::fromUtf8(recordFile.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    recordFile.close();
    const QSet<QString> given(record.cbegin(), record.cend());

    QStringList files;
    QDirIterator it(from, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(source.relativeFilePath(it.next()));
    files.sort();

    int copied = 0;
    const qsizetype before = record.size();
    for (const QString &relative : files) {
        if (given.contains(relative))
            continue;
        const QString target = QDir(to).filePath(relative);
        if (!QFileInfo::exists(target)) {
            if (!QDir().mkpath(QFileInfo(target).path()) || !QFile::copy(source.filePath(relative), target)) {
                // Not given yet: offered again next time.
                Show_NSLog_Message(QStringLiteral("Cannot copy %1 to %2").arg(source.filePath(relative), target));
                continue;
            }
            // Bundle files may be read-only; the user's copies are theirs.
            QFile::setPermissions(target, QFile::permissions(target) | QFileDevice::WriteOwner);
            ++copied;
        }
        record.append(relative);
    }
    if (record.size() != before) {
        QString error;
        if (!platform::writeFileAtomically(recordPath, (record.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8(),
                                           &error))
            Show_NSLog_Message(QStringLiteral("Cannot write %1: %2").arg(recordPath, error));
    }
    return copied;
}

} // namespace design_window

void Check_Path_And_Create_Files()
{
    using namespace design_window;
    if (Resource_Path.isEmpty())
        setResourceFolder(platform::userResourcePath());
    QDir root(Resource_Path);
    if (!QDir().mkpath(Resource_Path)) {
        Show_NSLog_Message(QStringLiteral("Cannot create the resource folder %1").arg(Resource_Path));
        return;
    }
    if (!Data_Folder_Path.isEmpty())
        QDir().mkpath(Data_Folder_Path);
    for (const QString &sub : resourceSubfolders())
        root.mkpath(sub);
    seedDefaultContent(defaultContentPath(), Resource_Path);
}
