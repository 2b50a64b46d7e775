#include "batch_data/spreadsheet/XmlScanner.h"

#include <QIODevice>

#include <cstring>

namespace batch_data {

namespace {

constexpr qint64 kChunk = 256 * 1024;
// No single tag or text of a workbook part comes near this; a longer one is
// a damaged or hostile file, not something to buffer.
constexpr size_t kMaxToken = 64 * 1024 * 1024;

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Names are a few characters: a plain loop beats a library search.
inline std::string_view localPart(std::string_view name)
{
    for (size_t i = 0; i < name.size(); ++i) {
        if (name[i] == ':')
            return name.substr(i + 1);
    }
    return name;
}

void appendUtf8(std::string &out, char32_t c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

} // namespace

XmlScanner::XmlScanner(Source source) : m_source(std::move(source)) {}

XmlScanner::XmlScanner(QIODevice &device)
    : m_source([&device](char *buffer, qint64 size) { return device.read(buffer, size); })
{
}

// Makes at least `wanted` bytes from m_pos available, unless the input
// ends first. Bytes before m_pos are dropped.
bool XmlScanner::fill(size_t wanted)
{
    while (m_buffer.size() - m_pos < wanted) {
        if (m_eof)
            return false;
        if (m_pos > 0) {
            m_consumed += qint64(m_pos);
            m_buffer.erase(0, m_pos);
            m_pos = 0;
        }
        if (m_buffer.size() > kMaxToken)
            return false;
        const size_t old = m_buffer.size();
        m_buffer.resize(old + size_t(kChunk));
        const qint64 n = m_source(m_buffer.data() + old, kChunk);
        m_buffer.resize(old + size_t(std::max<qint64>(n, 0)));
        if (n <= 0)
            m_eof = true;
    }
    return true;
}

XmlScanner::Token XmlScanner::fail(const QString &reason)
{
    if (m_error.isEmpty())
        m_error = QStringLiteral("%1 at byte %2").arg(reason).arg(m_consumed + qint64(m_pos));
    return Token::Error;
}

bool XmlScanner::detectEncoding()
{
    fill(3);
    const std::string_view head(m_buffer.data() + m_pos, m_buffer.size() - m_pos);
    if (head.substr(0, 3) == "\xEF\xBB\xBF") {
        m_pos += 3;
        return true;
    }
    if (head.substr(0, 2) != "\xFF\xFE" && head.substr(0, 2) != "\xFE\xFF")
        return true;
    // UTF-16 (rare in packages): the whole part is converted to UTF-8 first.
    const bool little = head[0] == '\xFF';
    m_pos += 2;
    while (fill(m_buffer.size() - m_pos + 1)) {
    }
    if (!m_eof)
        return false;
    const std::string_view raw(m_buffer.data() + m_pos, m_buffer.size() - m_pos);
    if (raw.size() % 2 != 0)
        return false;
    std::u16string units(raw.size() / 2, u'\0');
    for (size_t i = 0; i < units.size(); ++i) {
        const auto a = static_cast<unsigned char>(raw[2 * i]);
        const auto b = static_cast<unsigned char>(raw[2 * i + 1]);
        units[i] = little ? char16_t(a | (b << 8)) : char16_t((a << 8) | b);
    }
    const QByteArray utf8 = QString::fromUtf16(units.data(), qsizetype(units.size())).toUtf8();
    m_buffer.assign(utf8.constData(), size_t(utf8.size()));
    m_pos = 0;
    return true;
}

bool XmlScanner::decode(std::string_view raw, std::string &out)
{
    out.clear();
    out.reserve(raw.size());
    for (size_t i = 0; i < raw.size();) {
        const char c = raw[i];
        if (c != '&') {
            out += c;
            ++i;
            continue;
        }
        const size_t semi = raw.find(';', i);
        if (semi == std::string_view::npos || semi - i > 12)
            return false;
        const std::string_view entity = raw.substr(i + 1, semi - i - 1);
        if (entity == "lt") {
            out += '<';
        } else if (entity == "gt") {
            out += '>';
        } else if (entity == "amp") {
            out += '&';
        } else if (entity == "quot") {
            out += '"';
        } else if (entity == "apos") {
            out += '\'';
        } else if (entity.size() > 1 && entity[0] == '#') {
            const bool hex = entity[1] == 'x';
            char32_t code = 0;
            const std::string_view digits = entity.substr(hex ? 2 : 1);
            if (digits.empty())
                return false;
            for (const char d : digits) {
                int v = -1;
                if (d >= '0' && d <= '9')
                    v = d - '0';
                else if (hex && d >= 'a' && d <= 'f')
                    v = d - 'a' + 10;
                else if (hex && d >= 'A' && d <= 'F')
                    v = d - 'A' + 10;
                if (v < 0)
                    return false;
                code = code * (hex ? 16 : 10) + char32_t(v);
                if (code > 0x10FFFF)
                    return false;
            }
            if (code == 0 || (code >= 0xD800 && code <= 0xDFFF))
                return false;
            appendUtf8(out, code);
        } else {
            return false;
        }
        i = semi + 1;
    }
    return true;
}

XmlScanner::Token XmlScanner::next()
{
    if (!m_error.isEmpty())
        return Token::Error;
    if (!m_started) {
        m_started = true;
        if (!detectEncoding())
            return fail(QStringLiteral("damaged UTF-16 text"));
    }
    if (m_pendingEnd) {
        m_pendingEnd = false;
        m_open.pop_back();
        if (m_open.empty())
            m_rootClosed = true;
        return Token::EndElement;
    }
    for (;;) {
        if (!ensure(1)) {
            if (!m_error.isEmpty())
                return Token::Error;
            if (m_buffer.size() > kMaxToken)
                return fail(QStringLiteral("a tag or text too long"));
            if (!m_open.empty())
                return fail(QStringLiteral("the part ends inside <%1>").arg(QString::fromStdString(m_open.back())));
            if (!m_rootClosed)
                return fail(QStringLiteral("no root element"));
            return Token::EndOfDocument;
        }
        if (m_buffer[m_pos] == '<') {
            const Token token = scanMarkup();
            if (token == Token::Text && m_text.empty())
                continue;   // a comment or processing instruction
            return token;
        }
        const Token token = scanText();
        if (token == Token::Text && m_open.empty()) {
            for (const char c : m_text) {
                if (!isSpace(c))
                    return fail(QStringLiteral("text outside the root element"));
            }
            continue;
        }
        return token;
    }
}

XmlScanner::Token XmlScanner::scanText()
{
    size_t searched = 0;
    size_t end = std::string::npos;
    for (;;) {
        end = m_buffer.find('<', m_pos + searched);
        if (end != std::string::npos)
            break;
        searched = m_buffer.size() - m_pos;
        if (!fill(searched + 1)) {
            if (m_buffer.size() - m_pos > kMaxToken)
                return fail(QStringLiteral("a tag or text too long"));
            end = m_buffer.size();
            break;
        }
    }
    const std::string_view raw(m_buffer.data() + m_pos, end - m_pos);
    m_pos = end;
    if (raw.find('&') == std::string_view::npos) {
        m_text = raw;
    } else {
        if (!decode(raw, m_textStore))
            return fail(QStringLiteral("an unknown entity or character reference"));
        m_text = m_textStore;
    }
    return Token::Text;
}

XmlScanner::Token XmlScanner::scanMarkup()
{
    // m_buffer[m_pos] is '<'.
    ensure(9);
    const std::string_view head(m_buffer.data() + m_pos, std::min<size_t>(9, m_buffer.size() - m_pos));
    auto skipPast = [&](const char *terminator, std::string_view *content, size_t skipStart) -> bool {
        const size_t length = std::strlen(terminator);
        size_t searched = skipStart;
        for (;;) {
            const size_t at = m_buffer.find(terminator, m_pos + searched);
            if (at != std::string::npos) {
                if (content)
                    *content = std::string_view(m_buffer.data() + m_pos + skipStart, at - m_pos - skipStart);
                m_pos = at + length;
                return true;
            }
            searched = std::max(skipStart, m_buffer.size() - m_pos - (length - 1));
            if (!fill(m_buffer.size() - m_pos + 1))
                return false;
        }
    };

    m_text = {};
    if (head.size() >= 2 && head[1] == '?') {
        if (!skipPast("?>", nullptr, 2))
            return fail(QStringLiteral("an unfinished processing instruction"));
        return Token::Text;
    }
    if (head.substr(0, 4) == "<!--") {
        if (!skipPast("-->", nullptr, 4))
            return fail(QStringLiteral("an unfinished comment"));
        return Token::Text;
    }
    if (head.substr(0, 9) == "<![CDATA[") {
        if (m_open.empty())
            return fail(QStringLiteral("text outside the root element"));
        std::string_view content;
        if (!skipPast("]]>", &content, 9))
            return fail(QStringLiteral("an unfinished CDATA section"));
        if (content.empty()) {
            m_textStore.clear();
            return Token::Text;   // reads as nothing, like a comment
        }
        m_text = content;
        return Token::Text;
    }
    if (head.size() >= 2 && head[1] == '!')
        return fail(QStringLiteral("a document type declaration, which package parts may not have"));

    // A start or end tag: up to the '>' outside quoted values. This loop
    // sees every byte of every tag, so it works on raw pointers and refills
    // only at the end of the buffer.
    size_t i = 1;
    char quote = 0;
    for (;;) {
        const char *p = m_buffer.data() + m_pos + i;
        const char *end = m_buffer.data() + m_buffer.size();
        for (; p < end; ++p) {
            const char c = *p;
            if (quote) {
                if (c == quote)
                    quote = 0;
                else if (c == '<')
                    return fail(QStringLiteral("'<' in an attribute value"));
            } else if (c == '>') {
                break;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '<') {
                return fail(QStringLiteral("'<' inside a tag"));
            }
        }
        i = size_t(p - (m_buffer.data() + m_pos));
        if (p < end)
            break;
        if (!fill(i + 1))
            return fail(QStringLiteral("an unfinished tag"));
    }
    const std::string_view tag(m_buffer.data() + m_pos, i + 1);   // "<...>"
    m_pos += i + 1;

    if (tag[1] == '/') {
        std::string_view name = tag.substr(2, tag.size() - 3);
        while (!name.empty() && isSpace(name.back()))
            name.remove_suffix(1);
        if (m_open.empty() || m_open.back() != name)
            return fail(QStringLiteral("an end tag </%1> that closes nothing open").arg(
                QString::fromUtf8(name.data(), qsizetype(name.size()))));
        m_name = localPart(name);   // a view into the buffer, valid until the next call
        m_open.pop_back();
        if (m_open.empty())
            m_rootClosed = true;
        return Token::EndElement;
    }

    if (m_rootClosed)
        return fail(QStringLiteral("a second root element"));
    size_t p = 1;
    while (p < tag.size() - 1 && !isSpace(tag[p]) && tag[p] != '/')
        ++p;
    const std::string_view qualified = tag.substr(1, p - 1);
    if (qualified.empty())
        return fail(QStringLiteral("a tag without a name"));

    m_attributes.clear();
    bool empty = false;
    for (;;) {
        while (p < tag.size() - 1 && isSpace(tag[p]))
            ++p;
        if (p >= tag.size() - 1)
            break;
        if (tag[p] == '/') {
            if (p != tag.size() - 2)
                return fail(QStringLiteral("a '/' inside a tag"));
            empty = true;
            break;
        }
        const size_t nameStart = p;
        while (p < tag.size() - 1 && tag[p] != '=' && !isSpace(tag[p]))
            ++p;
        const std::string_view attrName = tag.substr(nameStart, p - nameStart);
        while (p < tag.size() - 1 && isSpace(tag[p]))
            ++p;
        if (p >= tag.size() - 1 || tag[p] != '=' || attrName.empty())
            return fail(QStringLiteral("an attribute without a value"));
        ++p;
        while (p < tag.size() - 1 && isSpace(tag[p]))
            ++p;
        const char q = tag[p];
        if (q != '"' && q != '\'')
            return fail(QStringLiteral("an attribute value without quotes"));
        const size_t close = tag.find(q, p + 1);
        if (close == std::string_view::npos || close >= tag.size() - 1)
            return fail(QStringLiteral("an unfinished attribute value"));
        const std::string_view value = tag.substr(p + 1, close - p - 1);
        p = close + 1;
        if (p < tag.size() - 1 && !isSpace(tag[p]) && tag[p] != '/')
            return fail(QStringLiteral("attributes without space between them"));
        if (attrName == "xmlns" || attrName.substr(0, 6) == "xmlns:")
            continue;   // namespace declarations are not attributes of the data
        m_attributes.push_back({localPart(attrName), value});
    }
    // Values with entities are decoded into storage of their own, sized
    // first so that the views stay put.
    size_t withEntities = 0;
    for (const Attribute &a : m_attributes)
        withEntities += a.value.find('&') != std::string_view::npos ? 1 : 0;
    if (m_decoded.size() < withEntities)
        m_decoded.resize(withEntities);
    size_t d = 0;
    for (Attribute &a : m_attributes) {
        if (a.value.find('&') == std::string_view::npos)
            continue;
        if (!decode(a.value, m_decoded[d]))
            return fail(QStringLiteral("an unknown entity or character reference"));
        a.value = m_decoded[d++];
    }

    m_open.emplace_back(qualified);
    // A view into the buffer: an empty element's end comes from the next
    // call, which reads nothing before giving it.
    m_name = localPart(qualified);
    m_pendingEnd = empty;
    return Token::StartElement;
}

std::string_view XmlScanner::attribute(std::string_view local) const
{
    for (const Attribute &a : m_attributes) {
        if (a.name == local)
            return a.value;
    }
    return {};
}

bool XmlScanner::skipElement()
{
    for (int depth = 1; depth > 0;) {
        switch (next()) {
        case Token::StartElement: ++depth; break;
        case Token::EndElement: --depth; break;
        case Token::Text: break;
        case Token::EndOfDocument:
        case Token::Error: return false;
        }
    }
    return true;
}

bool XmlScanner::appendElementText(std::string &out)
{
    for (int depth = 1; depth > 0;) {
        switch (next()) {
        case Token::StartElement: ++depth; break;
        case Token::EndElement: --depth; break;
        case Token::Text: out += m_text; break;
        case Token::EndOfDocument:
        case Token::Error: return false;
        }
    }
    return true;
}

} // namespace batch_data
