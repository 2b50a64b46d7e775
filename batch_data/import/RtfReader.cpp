#include "batch_data/import/RtfReader.h"

#include <QSet>
#include <QStringDecoder>

#include <algorithm>
#include <cctype>
#include <memory>
#include <vector>

namespace batch_data {

namespace {

// Windows code page 1252 at 0x80..0x9F; the rest of the page is Latin-1.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178,
};

QChar ansiChar(unsigned char byte)
{
    if (byte >= 0x80 && byte <= 0x9F)
        return QChar(kCp1252High[byte - 0x80]);
    return QChar(byte);
}

// Destinations whose text the reader of the document never sees.
const QSet<QByteArray> &skippedDestinations()
{
    static const QSet<QByteArray> names = {
        "fonttbl", "colortbl", "stylesheet", "info", "pict", "header", "headerl", "headerr",
        "headerf", "footer", "footerl", "footerr", "footerf", "fldinst", "object", "listtable",
        "listoverridetable", "revtbl", "rsidtbl", "xmlnstbl", "filetbl", "themedata",
        "colorschememapping", "datastore", "latentstyles", "pgdsctbl", "generator", "footnote",
        "annotation", "atnid", "atnauthor", "bkmkstart", "bkmkend", "nonshppict", "shpinst",
        "private", "template", "userprops", "pn", "listtext", "mmathPr", "wgrffmtfilter",
    };
    return names;
}

// The bytes of \'hh escapes (and of 8-bit characters written as they are)
// in the document's code page (\ansicpgN, or \mac, \pc, \pca): 1252 by
// our own table, any other through the system's converters, so that a
// Cyrillic or Japanese document does not come out as Latin-1 letters.
class AnsiText {
public:
    // False when the code page is one no converter knows.
    bool setCodePage(long long page)
    {
        m_page = page;
        m_decoder.reset();
        if (page == 1252 || page <= 0)
            return true;
        for (const QString &name : {QStringLiteral("windows-%1"), QStringLiteral("cp%1"), QStringLiteral("ibm-%1")}) {
            // Stateless: a lead byte left alone at the end of a run is not
            // carried into the next run of escapes.
            auto decoder = std::make_unique<QStringDecoder>(name.arg(page).toLatin1().constData(),
                                                            QStringDecoder::Flag::Stateless);
            if (decoder->isValid()) {
                m_decoder = std::move(decoder);
                return true;
            }
        }
        return false;
    }
    bool known() const { return m_page == 1252 || m_page <= 0 || m_decoder; }
    long long page() const { return m_page; }
    void add(char byte) { m_bytes.append(byte); }
    // The text of the bytes gathered since the last call (a double-byte
    // character is two escapes in a row).
    QString take()
    {
        QString text;
        if (m_bytes.isEmpty())
            return text;
        if (m_decoder) {
            text = m_decoder->decode(m_bytes);
        } else {
            for (char byte : std::as_const(m_bytes))
                text.append(ansiChar(static_cast<unsigned char>(byte)));
        }
        m_bytes.clear();
        return text;
    }
    bool pending() const { return !m_bytes.isEmpty(); }

private:
    long long m_page = 1252;
    std::unique_ptr<QStringDecoder> m_decoder;
    QByteArray m_bytes;
};

struct GroupState {
    bool skip = false; // the group's text is not part of the document
    int ucSkip = 1;    // fallback characters after \uN
};

} // namespace

std::optional<QString> rtfToPlainText(const QByteArray &rtf, QString *error)
{
    auto fail = [&](const char *why) -> std::optional<QString> {
        if (error)
            *error = QString::fromLatin1(why);
        return std::nullopt;
    };
    qsizetype i = 0;
    const qsizetype n = rtf.size();
    while (i < n && (rtf[i] == ' ' || rtf[i] == '\r' || rtf[i] == '\n' || rtf[i] == '\t'))
        ++i;
    if (!rtf.mid(i, 5).startsWith("{\\rtf"))
        return fail("The file is not an RTF document.");

    QString text;
    std::vector<GroupState> stack;
    GroupState state;
    int pendingSkip = 0;         // fallback characters still to drop after \uN
    bool groupStart = false;     // the last token opened a group
    bool closed = false;

    AnsiText ansi;
    bool unknownCodePage = false;
    auto flushAnsi = [&] {
        if (ansi.pending()) {
            if (!ansi.known())
                unknownCodePage = true;
            text += ansi.take();
        }
    };
    auto put = [&](QChar c) {
        if (pendingSkip > 0) {
            --pendingSkip;
            return;
        }
        if (!state.skip) {
            flushAnsi();
            text.append(c);
        }
    };
    // A byte of the code page: gathered, since one character may take two.
    auto putByte = [&](char byte) {
        if (pendingSkip > 0) {
            --pendingSkip;
            return;
        }
        if (!state.skip)
            ansi.add(byte);
    };

    for (; i < n && !closed; ++i) {
        const char c = rtf[i];
        if (c == '{') {
            flushAnsi();
            stack.push_back(state);
            groupStart = true;
            pendingSkip = 0;
            continue;
        }
        if (c == '}') {
            flushAnsi();
            if (stack.empty())
                return fail("The RTF document's groups do not match.");
            state = stack.back();
            stack.pop_back();
            pendingSkip = 0;
            groupStart = false;
            if (stack.empty())
                closed = true;
            continue;
        }
        if (c == '\r' || c == '\n')
            continue;
        if (c != '\\') {
            groupStart = false;
            if (static_cast<unsigned char>(c) >= 0x80)
                putByte(c);
            else
                put(QLatin1Char(c));
            continue;
        }
        // A control symbol or a control word.
        if (i + 1 >= n)
            break;
        const char next = rtf[i + 1];
        if (!std::isalpha(static_cast<unsigned char>(next))) {
            ++i;
            const bool atStart = groupStart;
            groupStart = false;
            switch (next) {
            case '*':
                // "{\*\word ...}": a destination a reader that does not know it skips.
                if (atStart)
                    state.skip = true;
                break;
            case '\'': {
                bool ok = false;
                const unsigned value = rtf.mid(i + 1, 2).toUInt(&ok, 16);
                i += 2;
                if (ok)
                    putByte(static_cast<char>(value));
                break;
            }
            case '~':
                put(QChar(0x00A0));
                break;
            case '_':
                put(QChar(0x2011));
                break;
            case '-':
                break; // optional hyphen: shown only where a line breaks
            case '\\':
            case '{':
            case '}':
                put(QChar::fromLatin1(next));
                break;
            case '\r':
            case '\n':
                put(QLatin1Char('\n'));
                break;
            default:
                break;
            }
            continue;
        }
        qsizetype j = i + 1;
        while (j < n && std::isalpha(static_cast<unsigned char>(rtf[j])))
            ++j;
        const QByteArray word = rtf.mid(i + 1, j - i - 1);
        bool hasParam = false;
        long long param = 0;
        qsizetype k = j;
        // A "-" belongs to the word only as the sign of a number after it.
        const bool negative = k + 1 < n && rtf[k] == '-' && std::isdigit(static_cast<unsigned char>(rtf[k + 1]));
        if (k < n && (negative || std::isdigit(static_cast<unsigned char>(rtf[k])))) {
            const qsizetype digitsFrom = k;
            ++k;
            while (k < n && std::isdigit(static_cast<unsigned char>(rtf[k])) && k - digitsFrom < 11)
                ++k;
            param = rtf.mid(digitsFrom, k - digitsFrom).toLongLong(&hasParam);
        }
        if (k < n && rtf[k] == ' ')
            ++k; // the delimiting space belongs to the control word
        i = k - 1;
        const bool atStart = groupStart;
        groupStart = false;

        if (atStart && skippedDestinations().contains(word))
            state.skip = true;
        if (word == "bin" && hasParam) {
            i += std::max<long long>(0, param); // binary data, not text
            continue;
        }
        if (word == "u" && hasParam) {
            const int unit = static_cast<int>(param < 0 ? param + 65536 : param);
            const int fallback = state.ucSkip;
            pendingSkip = 0;
            put(QChar(static_cast<char16_t>(unit & 0xFFFF)));
            pendingSkip = fallback;
            continue;
        }
        if (word == "ansicpg" && hasParam) {
            flushAnsi();
            ansi.setCodePage(param);
            continue;
        }
        if (word == "mac" || word == "pc" || word == "pca") {
            flushAnsi();
            ansi.setCodePage(word == "mac" ? 10000 : word == "pc" ? 437 : 850);
            continue;
        }
        if (word == "uc" && hasParam) {
            state.ucSkip = static_cast<int>(std::max<long long>(0, param));
            continue;
        }
        if (pendingSkip > 0) {
            // A control word in the fallback counts as one character.
            --pendingSkip;
            continue;
        }
        if (word == "par" || word == "line" || word == "sect" || word == "page" || word == "row")
            put(QLatin1Char('\n'));
        else if (word == "tab" || word == "cell")
            put(QLatin1Char('\t'));
        else if (word == "emdash")
            put(QChar(0x2014));
        else if (word == "endash")
            put(QChar(0x2013));
        else if (word == "emspace" || word == "enspace" || word == "qmspace")
            put(QLatin1Char(' '));
        else if (word == "lquote")
            put(QChar(0x2018));
        else if (word == "rquote")
            put(QChar(0x2019));
        else if (word == "ldblquote")
            put(QChar(0x201C));
        else if (word == "rdblquote")
            put(QChar(0x201D));
        else if (word == "bullet")
            put(QChar(0x2022));
    }
    flushAnsi();
    if (!closed)
        return fail("The RTF document ends before its groups close.");
    if (unknownCodePage)
        return fail("The RTF document's code page cannot be read.");
    return text;
}

} // namespace batch_data
