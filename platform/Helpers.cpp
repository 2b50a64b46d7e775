#include "platform/Helpers.h"

#include "platform/Log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextBoundaryFinder>

namespace {

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

QString Limit_Str_Characters(const QString &str, int limit)
{
    if (limit < 0)
        return {};
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, str);
    qsizetype end = 0;
    for (int n = 0; n < limit; ++n) {
        const qsizetype next = graphemes.toNextBoundary();
        if (next < 0)
            return str;
        end = next;
    }
    return str.left(end);
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
    platform::logFailures("Delete_File", [&] {
        if (path.isEmpty())
            return;
        const QFileInfo info(path);
        if (info.isSymLink() || info.isFile())
            QFile::remove(path);
        else if (info.isDir())
            QDir().rmdir(path);
    });
}
