#include "output/export/ExportPaths.h"

#include "platform/Files.h"

#include <QDir>
#include <QFileInfo>

namespace output {

QString Create_Front_Card_Path(const QString &path)
{
    return path;
}

QString Create_Back_Card_Path(const QString &path)
{
    const QFileInfo info(path);
    const QString name = info.fileName();
    // Only the last extension is the type: "a.b.TIFF" has the base "a.b".
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString back = dot > 0 ? name.left(dot) + QStringLiteral("_Back") + name.mid(dot)
                                 : name + QStringLiteral("_Back");
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? back : path.left(slash + 1) + back;
}

QString exportFolderPath(const QString &chosenFolder)
{
    return QDir(chosenFolder).filePath(QStringLiteral("Quorvant"));
}

QString batchCardPath(const QString &folder, int record, const QString &extension)
{
    return QDir(folder).filePath(QStringLiteral("Card_%1.%2").arg(record + 1).arg(extension));
}

bool makeExportFolder(const QString &path, QString *error)
{
    const QFileInfo info(path);
    if (info.exists() && !info.isDir()) {
        if (error)
            *error = QStringLiteral("A file of that name is in the way.");
        return false;
    }
    // Folders are asked for with 0777 and the umask takes off what the user
    // keeps private, as for any folder the user makes.
    QString why;
    if (platform::makeFolders(path, &why))
        return true;
    if (error)
        *error = QStringLiteral("The folder could not be created: %1.").arg(why);
    return false;
}

} // namespace output
