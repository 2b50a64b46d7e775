#include "profiles_wizards/WizardGlobals.h"

#include "design_window/Globals.h"

#include "platform/Helpers.h"

#include <QDir>
#include <QFile>
#include <QPalette>
#include <QWidget>

namespace profiles_wizards {

QString Template_Msg_Val;
QString Selected_Template_Path;
quint64 User_Defined_File = 0;
QString export_template_name;

QString templatesFolder()
{
    return QDir(design_window::Resource_Path).filePath(QStringLiteral("Templates"));
}

QString userTemplatesFolder()
{
    return QDir(templatesFolder()).filePath(QStringLiteral("User"));
}

QStringList readResourceLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return Trim_Str(QString::fromUtf8(file.readAll())).split(QLatin1Char('\n'));
}

void applyDialogBackground(QWidget &dialog)
{
    QPalette palette = dialog.palette();
    palette.setColor(QPalette::Window, QColor(241, 244, 250));
    dialog.setPalette(palette);
    dialog.setAutoFillBackground(true);
}

} // namespace profiles_wizards
