#include "design_window/ResourceFolder.h"

#include "design_window/Globals.h"
#include "platform/Helpers.h"
#include "platform/Paths.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

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

int copyMissingContent(const QString &from, const QString &to)
{
    const QDir source(from);
    if (from.isEmpty() || !source.exists())
        return 0;
    int copied = 0;
    QDirIterator it(from, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        const QString relative = source.relativeFilePath(file);
        const QString target = QDir(to).filePath(relative);
        if (QFileInfo::exists(target))
            continue;
        if (!QDir().mkpath(QFileInfo(target).path()))
            continue;
        if (QFile::copy(file, target)) {
            // Bundle files may be read-only; the user's copies are theirs.
            QFile::setPermissions(target, QFile::permissions(target) | QFileDevice::WriteOwner);
            ++copied;
        } else {
            Show_NSLog_Message(QStringLiteral("Cannot copy %1 to %2").arg(file, target));
        }
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
    copyMissingContent(defaultContentPath(), Resource_Path);
}
