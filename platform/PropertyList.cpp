#include "platform/PropertyList.h"

#include <QDateTime>
#include <QLocale>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <cmath>
#include <limits>

namespace platform {

namespace {

constexpr int maxDepth = 512; // deeper nesting is treated as damage

QString realText(double value)
{
    if (std::isnan(value))
        return QStringLiteral("nan");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("+infinity") : QStringLiteral("-infinity");
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

// A carriage return would come back as a line feed (XML normalises line
// ends), so it is written as a character reference.
void writeText(QXmlStreamWriter &out, const QString &element, const QString &text)
{
    out.writeStartElement(element);
    const QStringList pieces = text.split(QLatin1Char('\r'));
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        if (i > 0)
            out.writeEntityReference(QStringLiteral("#13"));
        if (!pieces[i].isEmpty())
            out.writeCharacters(pieces[i]);
    }
    out.writeEndElement();
}

bool writeValue(QXmlStreamWriter &out, const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::QVariantMap: {
        const QVariantMap map = value.toMap();
        out.writeStartElement(QStringLiteral("dict"));
        for (auto it = map.cbegin(); it != map.cend(); ++it) {
            writeText(out, QStringLiteral("key"), it.key());
            if (!writeValue(out, it.value()))
                return false;
        }
        out.writeEndElement();
        return true;
    }
    case QMetaType::QVariantHash: {
        QVariantMap sorted;
        const QVariantHash hash = value.toHash();
        for (auto it = hash.cbegin(); it != hash.cend(); ++it)
            sorted.insert(it.key(), it.value());
        return writeValue(out, sorted);
    }
    case QMetaType::QVariantList:
    case QMetaType::QStringList: {
        out.writeStartElement(QStringLiteral("array"));
        for (const QVariant &item : value.toList())
            if (!writeValue(out, item))
                return false;
        out.writeEndElement();
        return true;
    }
    case QMetaType::QString:
        writeText(out, QStringLiteral("string"), value.toString());
        return true;
    case QMetaType::Bool:
        out.writeEmptyElement(value.toBool() ? QStringLiteral("true") : QStringLiteral("false"));
        return true;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::LongLong:
        out.writeTextElement(QStringLiteral("integer"), QString::number(value.toLongLong()));
        return true;
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        out.writeTextElement(QStringLiteral("integer"), QString::number(value.toULongLong()));
        return true;
    case QMetaType::Double:
    case QMetaType::Float:
        out.writeTextElement(QStringLiteral("real"), realText(value.toDouble()));
        return true;
    case QMetaType::QByteArray:
        out.writeTextElement(QStringLiteral("data"), QString::fromLatin1(value.toByteArray().toBase64()));
        return true;
    case QMetaType::QDateTime: {
        const QDateTime when = value.toDateTime();
        if (!when.isValid())
            return false;
        out.writeTextElement(QStringLiteral("date"), when.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ssZ")));
        return true;
    }
    default:
        return false;
    }
}

class Reader {
public:
    explicit Reader(const QByteArray &xml) : m_in(xml) {}

    std::optional<QVariant> document()
    {
        if (!nextElement() || m_in.name() != QLatin1String("plist"))
            return fail(QStringLiteral("Not a property list."));
        if (!nextElement())
            return fail(QStringLiteral("The property list holds no value."));
        std::optional<QVariant> root = value(0);
        if (!root)
            return std::nullopt;
        // Nothing may follow the root value but the end of the document.
        while (!m_in.atEnd()) {
            m_in.readNext();
            if (m_in.isStartElement())
                return fail(QStringLiteral("More than one root value."));
            if (m_in.isCharacters() && !m_in.isWhitespace())
                return fail(QStringLiteral("Unexpected text."));
        }
        if (m_in.hasError())
            return fail(m_in.errorString());
        return root;
    }

    QString error;

private:
    std::nullopt_t fail(const QString &why)
    {
        if (error.isEmpty())
            error = m_in.hasError() ? m_in.errorString() : why;
        return std::nullopt;
    }

    // Moves to the next start element; false at an end element, the end of
    // the document or an error. Text between elements must be blank.
    bool nextElement()
    {
        while (!m_in.atEnd()) {
            m_in.readNext();
            if (m_in.isStartElement())
                return true;
            if (m_in.isEndElement())
                return false;
            if (m_in.isCharacters() && !m_in.isWhitespace()) {
                m_in.raiseError(QStringLiteral("Unexpected text."));
                return false;
            }
        }
        return false;
    }

    // The text of a simple element; std::nullopt when it has child elements.
    std::optional<QString> text()
    {
        const QString t = m_in.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
        if (m_in.hasError())
            return std::nullopt;
        return t;
    }

    // Reads the value whose start element is current; on return the reader
    // stands on its end element.
    std::optional<QVariant> value(int depth)
    {
        if (depth > maxDepth)
            return fail(QStringLiteral("Nesting too deep."));
        const QStringView name = m_in.name();
        if (name == QLatin1String("dict"))
            return dict(depth);
        if (name == QLatin1String("array"))
            return array(depth);
        if (name == QLatin1String("true") || name == QLatin1String("false")) {
            const bool flag = name == QLatin1String("true");
            if (!text())
                return fail(QStringLiteral("Damaged boolean."));
            return QVariant(flag);
        }
        const QString kind = name.toString();
        const std::optional<QString> body = text();
        if (!body)
            return fail(QStringLiteral("Damaged <%1>.").arg(kind));
        if (kind == QLatin1String("string"))
            return QVariant(*body);
        if (kind == QLatin1String("integer"))
            return integer(body->trimmed());
        if (kind == QLatin1String("real"))
            return real(body->trimmed());
        if (kind == QLatin1String("data")) {
            QByteArray compact;
            for (QChar c : *body)
                if (!c.isSpace())
                    compact.append(c.unicode() < 128 ? char(c.unicode()) : '!');
            auto decoded = QByteArray::fromBase64Encoding(compact, QByteArray::AbortOnBase64DecodingErrors);
            if (!decoded)
                return fail(QStringLiteral("Damaged <data>."));
            return QVariant(*decoded);
        }
        if (kind == QLatin1String("date")) {
            QDateTime when = QDateTime::fromString(body->trimmed(), Qt::ISODate);
            if (!when.isValid())
                return fail(QStringLiteral("Damaged <date>."));
            return QVariant(when.toUTC());
        }
        return fail(QStringLiteral("Unknown element <%1>.").arg(kind));
    }

    std::optional<QVariant> integer(const QString &t)
    {
        bool ok = false;
        const qint64 n = t.toLongLong(&ok);
        if (ok)
            return QVariant(n);
        const quint64 u = t.toULongLong(&ok);
        if (ok)
            return QVariant(u);
        return fail(QStringLiteral("Damaged <integer>."));
    }

    std::optional<QVariant> real(const QString &t)
    {
        const QString lower = t.toLower();
        if (lower == QLatin1String("nan"))
            return QVariant(std::numeric_limits<double>::quiet_NaN());
        if (lower == QLatin1String("+infinity") || lower == QLatin1String("infinity") || lower == QLatin1String("inf"))
            return QVariant(std::numeric_limits<double>::infinity());
        if (lower == QLatin1String("-infinity") || lower == QLatin1String("-inf"))
            return QVariant(-std::numeric_limits<double>::infinity());
        bool ok = false;
        const double d = t.toDouble(&ok);
        if (!ok)
            return fail(QStringLiteral("Damaged <real>."));
        return QVariant(d);
    }

    std::optional<QVariant> dict(int depth)
    {
        QVariantMap map;
        while (nextElement()) {
            if (m_in.name() != QLatin1String("key"))
                return fail(QStringLiteral("A dictionary value without a key."));
            const std::optional<QString> key = text();
            if (!key)
                return fail(QStringLiteral("Damaged <key>."));
            if (!nextElement())
                return fail(QStringLiteral("A key without a value."));
            std::optional<QVariant> item = value(depth + 1);
            if (!item)
                return std::nullopt;
            map.insert(*key, *item);
        }
        if (m_in.hasError() || !m_in.isEndElement())
            return fail(QStringLiteral("Damaged <dict>."));
        return QVariant(map);
    }

    std::optional<QVariant> array(int depth)
    {
        QVariantList list;
        while (nextElement()) {
            std::optional<QVariant> item = value(depth + 1);
            if (!item)
                return std::nullopt;
            list.append(*item);
        }
        if (m_in.hasError() || !m_in.isEndElement())
            return fail(QStringLiteral("Damaged <array>."));
        return QVariant(list);
    }

    QXmlStreamReader m_in;
};

} // namespace

QByteArray writePropertyList(const QVariant &root)
{
    QByteArray xml;
    QXmlStreamWriter out(&xml);
    out.setAutoFormatting(true);
    out.setAutoFormattingIndent(-1); // one tab per level
    out.writeStartDocument();
    out.writeDTD(QStringLiteral("<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                                "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">"));
    out.writeStartElement(QStringLiteral("plist"));
    out.writeAttribute(QStringLiteral("version"), QStringLiteral("1.0"));
    if (!writeValue(out, root))
        return {};
    out.writeEndElement();
    out.writeEndDocument();
    // The writer refuses characters XML cannot carry (most control
    // characters); such a document would not read back.
    if (out.hasError())
        return {};
    return xml;
}

std::optional<QVariant> readPropertyList(const QByteArray &xml, QString *error)
{
    Reader reader(xml);
    std::optional<QVariant> root = reader.document();
    if (!root && error)
        *error = reader.error;
    return root;
}

} // namespace platform
