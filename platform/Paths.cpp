#include "platform/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace platform {

QString bundleResourcesPath()
{
    const QString fromEnv = qEnvironmentVariable("QUORVANT_RESOURCES");
    if (!fromEnv.isEmpty())
        return QDir::cleanPath(fromEnv);

    if (QCoreApplication::instance()) {
        const QDir exeDir(QCoreApplication::applicationDirPath());
        const QString installed = QDir::cleanPath(exeDir.filePath(QStringLiteral("../share/quorvant")));
        if (QFileInfo(installed).isDir())
            return installed;
        // A build tree inside the source tree: the first ancestor holding
        // both the project file and resources/.
        QDir up = exeDir;
        do {
            if (QFileInfo(up.filePath(QStringLiteral("CMakeLists.txt"))).isFile()
                && QFileInfo(up.filePath(QStringLiteral("resources"))).isDir())
                return up.filePath(QStringLiteral("resources"));
        } while (up.cdUp());
    }
    return QStringLiteral(QUORVANT_CONFIGURED_RESOURCES);
}

QString userResourcePath()
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QString path = QDir(base).filePath(QStringLiteral("Quorvant"));
    QDir().mkpath(path);
    return path;
}

QString userConfigPath()
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    const QString path = QDir(base).filePath(QStringLiteral("Quorvant"));
    if (!QFileInfo(path).isDir() && QDir().mkpath(path))
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return path;
}

} // namespace platform
