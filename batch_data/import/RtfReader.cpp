#include "batch_data/import/RtfReader.h"

#include <QSet>

#include <algorithm>
#include <cctype>
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

    auto put = [&](QChar c) {
        if (pendingSkip > 0) {
            --pendingSkip;
            return;
        }
        if (!state.skip)
            text.append(c);
    };

    for (; i < n && !closed; ++i) {
        const char c = rtf[i];
        if (c == '{') {
            stack.push_back(state);
            groupStart = true;
            pendingSkip = 0;
            continue;
        }
        if (c == '}') {
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
            put(ansiChar(static_cast<unsigned char>(c)));
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
                    put(ansiChar(static_cast<unsigned char>(value)));
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
        if (k < n && (rtf[k] == '-' || std::isdigit(static_cast<unsigned char>(rtf[k])))) {
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
    if (!closed)
        return fail("The RTF document ends before its groups close.");
    return text;
}

} // namespace batch_data
