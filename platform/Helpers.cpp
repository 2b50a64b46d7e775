#include "platform/Helpers.h"

#include "platform/Alerts.h"
#include "platform/Desktop.h"
#include "platform/Log.h"
#include "platform/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <exception>

namespace {

template <typename Fn>
void logFailures(const char *where, Fn &&fn)
{
    try {
        fn();
    } catch (const std::exception &e) {
        platform::log(QStringLiteral("%1: %2").arg(QLatin1String(where), QString::fromLocal8Bit(e.what())));
    } catch (...) {
        platform::log(QStringLiteral("%1: unknown exception").arg(QLatin1String(where)));
    }
}

bool isBlankOrControl(QChar c)
{
    if (c.isSpace())
        return true;
    const QChar::Category cat = c.category();
    return cat == QChar::Other_Control || cat == QChar::Other_Format;
}

bool isReservedInFileName(QChar c)
{
    return QStringView(u"/\\?%*|\"<>").contains(c);
}

template <typename Pred>
QString stripEnds(const QString &str, Pred strip)
{
    if (str.isNull())
        return str;
    qsizetype first = 0;
    qsizetype last = str.size();
    while (first < last && strip(str[first]))
        ++first;
    while (last > first && strip(str[last - 1]))
        --last;
    return str.mid(first, last - first);
}

} // namespace

void Show_MessageBox(const QString &msg)
{
    logFailures("Show_MessageBox", [&] {
        platform::showAlert({QStringLiteral("\n") + msg, {QStringLiteral("OK")}, 0});
    });
}

bool Show_YES_NO_MessageBox(const QString &msg)
{
    bool yes = false;
    logFailures("Show_YES_NO_MessageBox", [&] {
        yes = platform::showAlert({msg, {QStringLiteral("Yes"), QStringLiteral("No")}, 0}) == 0;
    });
    return yes;
}

void Show_NSLog_Message(const QString &msg)
{
    platform::log(msg);
}

QString Trim_Str(const QString &str)
{
    // One pass over the combined set: a space behind a control character at
    // an end is taken off too.
    return stripEnds(str, isBlankOrControl);
}

QString Remove_Reserve_Char_In_File_Name(const QString &name)
{
    return stripEnds(name, [](QChar c) { return isReservedInFileName(c) || isBlankOrControl(c); });
}

QString Left_Str_substringToIndex(const QString &str, int n)
{
    return str.left(qMax(n, 0));
}

QString Right_Str_substringFromIndex(const QString &str, int n)
{
    return str.right(qMax(n, 0));
}

QString Read_Str_FromIndex(const QString &str, int n)
{
    const qsizetype from = qMax(n, 0);
    if (from >= str.size())
        return QStringLiteral("");
    return str.mid(from);
}

QString Replace_char_in_string(const QString &s, const QString &what, const QString &by)
{
    QString copy = s;
    if (!what.isEmpty())
        copy.replace(what, by);
    return copy;
}

bool Find_Str(const QString &text, const QString &part)
{
    return !part.isEmpty() && text.contains(part);
}

void Delete_File(const QString &path)
{
    logFailures("Delete_File", [&] {
        if (path.isEmpty())
            return;
        const QFileInfo info(path);
        if (info.isSymLink() || info.isFile())
            QFile::remove(path);
        else if (info.isDir())
            QDir().rmdir(path);
    });
}

void Open_Help_File()
{
    const QString name = QStringLiteral("Help.pdf");
    QString path = QDir(platform::userResourcePath()).filePath(name);
    if (!QFileInfo(path).isFile())
        path = QDir(platform::bundleResourcesPath()).filePath(name);
    if (!QFileInfo(path).isFile()) {
        Show_MessageBox(QStringLiteral("Help file does not exist!"));
        return;
    }
    if (!platform::openWithDefaultApplication(path))
        platform::log(QStringLiteral("Could not open %1").arg(path));
}

void SetObjEnabled(QWidget *view, bool enabled)
{
    if (!view)
        return;
    view->setEnabled(enabled);
    // A box passes the state on to every control inside it, so controls that
    // were switched off one by one come back with the box.
    const QMetaObject *type = view->metaObject();
    const bool isBox = qobject_cast<QGroupBox *>(view) || type == &QFrame::staticMetaObject
                       || type == &QWidget::staticMetaObject;
    if (!isBox)
        return;
    for (QWidget *child : view->findChildren<QWidget *>())
        child->setEnabled(enabled);
}
