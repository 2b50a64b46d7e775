#include "batch_data/spreadsheet/CellFormat.h"

#include <QDate>
#include <QHash>

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

namespace batch_data {

namespace {

// ---------------------------------------------------------------------------
// Decimal digits of a number, rounded the way spreadsheets round: to 15
// significant digits first (what a double holds reliably), then half away
// from zero at the place the format asks for.

// value = digits × 10^(point - digits.size()); no leading zeros, no
// trailing zeros; zero has no digits.
struct Digits {
    std::string digits;
    int point = 0;

    bool isZero() const { return digits.empty(); }
    int leadingExponent() const { return point - 1; }
};

Digits toDigits(double x)
{
    Digits d;
    x = std::fabs(x);
    if (x == 0 || !std::isfinite(x))
        return d;
    char buffer[40];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::scientific, 14);
    const std::string_view text(buffer, size_t(result.ptr - buffer));
    const size_t e = text.find('e');
    for (size_t i = 0; i < e; ++i) {
        if (text[i] >= '0' && text[i] <= '9')
            d.digits += text[i];
    }
    int exponent = 0;
    std::from_chars(text.data() + e + (text[e + 1] == '+' ? 2 : 1), text.data() + text.size(), exponent);
    d.point = exponent + 1;
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
    return d;
}

// Rounds half away from zero to `decimals` places after the point.
Digits roundTo(Digits d, int decimals)
{
    const int keep = d.point + decimals;
    if (keep >= int(d.digits.size()))
        return d;
    if (keep < 0)
        return {};
    const bool up = d.digits[size_t(keep)] >= '5';
    d.digits.resize(size_t(keep));
    if (up) {
        int i = keep - 1;
        for (; i >= 0 && d.digits[size_t(i)] == '9'; --i)
            d.digits[size_t(i)] = '0';
        if (i >= 0) {
            ++d.digits[size_t(i)];
        } else {
            d.digits.insert(d.digits.begin(), '1');
            ++d.point;
        }
    }
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
    if (d.digits.empty())
        d.point = 0;
    return d;
}

// The digits before the point, without leading zeros ("" below 1).
std::string integerDigits(const Digits &d)
{
    if (d.point <= 0)
        return {};
    std::string s = d.digits.substr(0, size_t(std::min<int>(d.point, int(d.digits.size()))));
    if (d.point > int(d.digits.size()))
        s.append(size_t(d.point - int(d.digits.size())), '0');
    return s;
}

// `count` digits after the point.
std::string fractionDigits(const Digits &d, int count)
{
    std::string s;
    for (int i = 0; i < count; ++i) {
        const int pos = d.point + i;
        s += pos >= 0 && pos < int(d.digits.size()) ? d.digits[size_t(pos)] : '0';
    }
    return s;
}

double toDouble(const Digits &d)
{
    if (d.isZero())
        return 0;
    const std::string text = "0." + d.digits + "e" + std::to_string(d.point);
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

std::string fixedText(const Digits &d)
{
    if (d.isZero())
        return "0";
    const int n = int(d.digits.size());
    if (d.point <= 0)
        return "0." + std::string(size_t(-d.point), '0') + d.digits;
    if (d.point >= n)
        return d.digits + std::string(size_t(d.point - n), '0');
    return d.digits.substr(0, size_t(d.point)) + "." + d.digits.substr(size_t(d.point));
}

// ---------------------------------------------------------------------------
// Format codes.

enum class Tok {
    Literal, Digit, Point, Comma, Percent, Exponent, Slash, Text, General,
    Year2, Year4, Month, Month2, MonthAbbr, MonthName, MonthLetter,
    Minute, Minute2, Day, Day2, DayAbbr, DayName, Hour, Hour2, Second, Second2,
    ElapsedHours, ElapsedMinutes, ElapsedSeconds, AmPm, FracSeconds,
};

struct Token {
    Token(Tok k, QString t = {}, char d = 0, int c = 0) : kind(k), text(std::move(t)), digit(d), count(c) {}

    Tok kind;
    QString text;   // Literal: the text; AmPm: the two words; Exponent: "+" or "-"
    char digit;     // Digit: '0', '#' or '?'; Comma: 'g' grouping, 's' scaling
    int count;      // FracSeconds: decimals; Elapsed*: minimum digits
};

bool isDateToken(Tok t)
{
    return t >= Tok::Year2 && t <= Tok::FracSeconds;
}

bool isHour(Tok t) { return t == Tok::Hour || t == Tok::Hour2 || t == Tok::ElapsedHours; }
bool isSecond(Tok t) { return t == Tok::Second || t == Tok::Second2 || t == Tok::ElapsedSeconds; }

const std::array<const char *, 12> kMonths{"January", "February", "March", "April", "May", "June",
                                           "July", "August", "September", "October", "November", "December"};
const std::array<const char *, 7> kDays{"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday",
                                        "Saturday"};

} // namespace

struct NumberFormat::Section {
    enum class Kind { Number, Date, Text };
    std::vector<Token> tokens;
    Kind kind = Kind::Number;

    bool hasCondition = false;
    QString conditionOp;
    double conditionValue = 0;

    // Number sections.
    int percent = 0;
    int scale = 0;          // each trailing comma divides by 1000
    bool grouping = false;
    bool scientific = false;
    bool fraction = false;
    int decimals = 0;       // digit places after the point (mantissa)

    // Date sections.
    bool twelveHour = false;
    int secondDecimals = 0;

    bool matches(double v) const
    {
        if (conditionOp == u"<")
            return v < conditionValue;
        if (conditionOp == u"<=")
            return v <= conditionValue;
        if (conditionOp == u">")
            return v > conditionValue;
        if (conditionOp == u">=")
            return v >= conditionValue;
        if (conditionOp == u"<>")
            return v != conditionValue;
        return v == conditionValue;
    }
};

namespace {

using Section = NumberFormat::Section;

void appendLiteral(std::vector<Token> &tokens, const QString &text)
{
    if (!tokens.empty() && tokens.back().kind == Tok::Literal)
        tokens.back().text += text;
    else
        tokens.push_back({Tok::Literal, text});
}

int runLength(const QString &code, qsizetype i, QChar letter)
{
    int n = 0;
    while (i + n < code.size() && code.at(i + n).toLower() == letter)
        ++n;
    return n;
}

// Reads the bracketed part at code[i] == '['; returns the index after ']'.
qsizetype readBracket(const QString &code, qsizetype i, Section &section)
{
    const qsizetype close = code.indexOf(u']', i);
    if (close < 0)
        return code.size();
    const QString inner = code.mid(i + 1, close - i - 1);
    const QString lower = inner.toLower();
    if (!lower.isEmpty() && (lower.count(u'h') == lower.size() || lower.count(u'm') == lower.size()
                             || lower.count(u's') == lower.size())) {
        const Tok kind = lower.front() == u'h' ? Tok::ElapsedHours
            : lower.front() == u'm'           ? Tok::ElapsedMinutes
                                              : Tok::ElapsedSeconds;
        section.tokens.push_back({kind, {}, 0, int(lower.size())});
    } else if (lower.startsWith(u'$')) {
        // A locale tag, [$-409], or a currency symbol with one, [$€-407].
        const qsizetype dash = inner.indexOf(u'-');
        const QString symbol = inner.mid(1, dash < 0 ? -1 : dash - 1);
        if (!symbol.isEmpty())
            appendLiteral(section.tokens, symbol);
    } else if (!lower.isEmpty() && (lower.front() == u'<' || lower.front() == u'>' || lower.front() == u'=')) {
        qsizetype n = 1;
        while (n < inner.size() && (inner.at(n) == u'<' || inner.at(n) == u'>' || inner.at(n) == u'='))
            ++n;
        bool ok = false;
        const double value = inner.mid(n).trimmed().toDouble(&ok);
        if (ok) {
            section.hasCondition = true;
            section.conditionOp = inner.left(n);
            section.conditionValue = value;
        }
    }
    // Colours ([Red], [Color10]) and other tags change no text.
    return close + 1;
}

// Splits the code into sections of tokens.
std::vector<Section> tokenize(const QString &code)
{
    std::vector<Section> sections(1);
    for (qsizetype i = 0; i < code.size();) {
        Section &section = sections.back();
        std::vector<Token> &tokens = section.tokens;
        const QChar c = code.at(i);
        const QChar lower = c.toLower();
        if (c == u';') {
            sections.emplace_back();
            ++i;
        } else if (c == u'"') {
            const qsizetype close = code.indexOf(u'"', i + 1);
            appendLiteral(tokens, code.mid(i + 1, close < 0 ? -1 : close - i - 1));
            i = close < 0 ? code.size() : close + 1;
        } else if (c == u'\\') {
            if (i + 1 < code.size())
                appendLiteral(tokens, code.mid(i + 1, 1));
            i += 2;
        } else if (c == u'_') {
            appendLiteral(tokens, QStringLiteral(" "));   // the width of the next character
            i += 2;
        } else if (c == u'*') {
            i += 2;   // repeats a character to fill the column: nothing in a text
        } else if (c == u'[') {
            i = readBracket(code, i, section);
        } else if (c == u'@') {
            tokens.push_back({Tok::Text});
            ++i;
        } else if (c == u'0' || c == u'#' || c == u'?') {
            // Digits after the seconds are their decimals (ss.00).
            if (c == u'0' && !tokens.empty() && tokens.back().kind == Tok::FracSeconds) {
                ++tokens.back().count;
            } else {
                tokens.push_back({Tok::Digit, {}, char(c.unicode())});
            }
            ++i;
        } else if (c == u'.') {
            auto last = tokens.rbegin();
            while (last != tokens.rend() && last->kind == Tok::Literal)
                ++last;
            if (last != tokens.rend() && isSecond(last->kind) && i + 1 < code.size() && code.at(i + 1) == u'0')
                tokens.push_back({Tok::FracSeconds, {}, 0, 0});
            else
                tokens.push_back({Tok::Point});
            ++i;
        } else if (c == u',') {
            tokens.push_back({Tok::Comma});
            ++i;
        } else if (c == u'%') {
            tokens.push_back({Tok::Percent});
            ++i;
        } else if (c == u'/') {
            tokens.push_back({Tok::Slash});
            ++i;
        } else if (lower == u'e' && i + 1 < code.size() && (code.at(i + 1) == u'+' || code.at(i + 1) == u'-')) {
            tokens.push_back({Tok::Exponent, code.mid(i + 1, 1)});
            i += 2;
        } else if (code.mid(i, 7).compare(QLatin1String("general"), Qt::CaseInsensitive) == 0) {
            tokens.push_back({Tok::General});
            i += 7;
        } else if (code.mid(i, 5).compare(QLatin1String("am/pm"), Qt::CaseInsensitive) == 0) {
            const QString words = code.mid(i, 5);
            tokens.push_back({Tok::AmPm, words});
            section.twelveHour = true;
            i += 5;
        } else if (code.mid(i, 3).compare(QLatin1String("a/p"), Qt::CaseInsensitive) == 0) {
            tokens.push_back({Tok::AmPm, code.mid(i, 3)});
            section.twelveHour = true;
            i += 3;
        } else if (lower == u'y' || lower == u'e') {
            const int n = runLength(code, i, lower);
            tokens.push_back({lower == u'e' || n > 2 ? Tok::Year4 : Tok::Year2});
            i += n;
        } else if (lower == u'm') {
            const int n = runLength(code, i, u'm');
            static constexpr Tok kinds[] = {Tok::Month, Tok::Month2, Tok::MonthAbbr, Tok::MonthName, Tok::MonthLetter};
            tokens.push_back({kinds[std::min(n, 5) - 1]});
            i += n;
        } else if (lower == u'd') {
            const int n = runLength(code, i, u'd');
            static constexpr Tok kinds[] = {Tok::Day, Tok::Day2, Tok::DayAbbr, Tok::DayName};
            tokens.push_back({kinds[std::min(n, 4) - 1]});
            i += n;
        } else if (lower == u'h') {
            const int n = runLength(code, i, u'h');
            tokens.push_back({n > 1 ? Tok::Hour2 : Tok::Hour});
            i += n;
        } else if (lower == u's') {
            const int n = runLength(code, i, u's');
            tokens.push_back({n > 1 ? Tok::Second2 : Tok::Second});
            i += n;
        } else {
            appendLiteral(tokens, QString(c));
            ++i;
        }
    }
    return sections;
}

// Decides what a section shows and, for numbers, where the point, exponent
// and fraction bar are and which commas group and which scale.
void classify(Section &section)
{
    std::vector<Token> &tokens = section.tokens;
    bool date = false;
    bool digits = false;
    bool text = false;
    for (const Token &t : tokens) {
        date |= isDateToken(t.kind);
        digits |= t.kind == Tok::Digit || t.kind == Tok::General;
        text |= t.kind == Tok::Text;
    }
    if (date) {
        section.kind = Section::Kind::Date;
        // "m" and "mm" are minutes right after an hour or before seconds.
        for (size_t i = 0; i < tokens.size(); ++i) {
            if (tokens[i].kind != Tok::Month && tokens[i].kind != Tok::Month2)
                continue;
            Tok before = Tok::Literal;
            for (size_t j = i; j-- > 0;) {
                if (isDateToken(tokens[j].kind)) {
                    before = tokens[j].kind;
                    break;
                }
            }
            Tok after = Tok::Literal;
            for (size_t j = i + 1; j < tokens.size(); ++j) {
                if (isDateToken(tokens[j].kind)) {
                    after = tokens[j].kind;
                    break;
                }
            }
            if (isHour(before) || isSecond(after))
                tokens[i].kind = tokens[i].kind == Tok::Month ? Tok::Minute : Tok::Minute2;
        }
        for (const Token &t : tokens) {
            if (t.kind == Tok::FracSeconds)
                section.secondDecimals = std::max(section.secondDecimals, std::min(t.count, 3));
        }
        return;
    }
    if (text && !digits) {
        section.kind = Section::Kind::Text;
        return;
    }

    // Number layout: where the point, exponent and fraction bar are,
    // which commas group and which scale.
    int exponentAt = -1;
    int slashAt = -1;
    int pointAt = -1;
    for (int i = 0; i < int(tokens.size()); ++i) {
        const Tok k = tokens[size_t(i)].kind;
        if (k == Tok::Exponent && exponentAt < 0)
            exponentAt = i;
        else if (k == Tok::Slash && slashAt < 0 && exponentAt < 0)
            slashAt = i;
        else if (k == Tok::Point && pointAt < 0 && exponentAt < 0)
            pointAt = i;
        else if (k == Tok::Percent)
            ++section.percent;
    }
    section.scientific = exponentAt >= 0;
    // A bar between digit places is a fraction; elsewhere it is a slash.
    if (slashAt > 0 && !section.scientific && tokens[size_t(slashAt) - 1].kind == Tok::Digit)
        section.fraction = true;
    else if (slashAt >= 0)
        tokens[size_t(slashAt)] = {Tok::Literal, QStringLiteral("/")};
    const int numberEnd = section.scientific ? exponentAt : int(tokens.size());
    for (int i = pointAt + 1; pointAt >= 0 && i < numberEnd; ++i) {
        if (tokens[size_t(i)].kind == Tok::Digit)
            ++section.decimals;
    }
    for (int i = 0; i < numberEnd; ++i) {
        if (tokens[size_t(i)].kind != Tok::Comma)
            continue;
        const bool digitBefore = i > 0 && tokens[size_t(i) - 1].kind == Tok::Digit;
        int j = i;
        while (j < numberEnd && tokens[size_t(j)].kind == Tok::Comma)
            ++j;
        const bool digitAfter = j < numberEnd && tokens[size_t(j)].kind == Tok::Digit;
        if (digitBefore && digitAfter && (pointAt < 0 || i < pointAt)) {
            section.grouping = true;
            tokens[size_t(i)].digit = 'g';
        } else if (digitBefore && !digitAfter) {
            for (int k = i; k < j; ++k) {
                ++section.scale;
                tokens[size_t(k)].digit = 's';
            }
        } else {
            for (int k = i; k < j; ++k)
                tokens[size_t(k)] = {Tok::Literal, QStringLiteral(",")};
        }
        i = j - 1;
    }
}

std::vector<Section> parseSections(const QString &code)
{
    std::vector<Section> sections = tokenize(code);
    for (Section &section : sections)
        classify(section);
    return sections;
}

// ---------------------------------------------------------------------------
// Numbers.

// Fills integer digit places right to left: '0' shows a zero where no
// digit is left, '?' a space, '#' nothing; digits beyond the places go
// with the leftmost place. One text per place (with grouping, all of it in
// the first); without places, one text with every digit.
std::vector<QString> integerPlaces(const std::string &digits, const std::vector<char> &places, bool grouping)
{
    const int n = int(places.size());
    const int len = int(digits.size());
    std::vector<std::string> out(size_t(std::max(n, 1)));
    if (len > n)
        out[0] = digits.substr(0, size_t(len - n));
    for (int j = 0; j < n; ++j) {
        const int fromRight = n - 1 - j;
        if (fromRight < len)
            out[size_t(j)] += digits[size_t(len - 1 - fromRight)];
        else if (places[size_t(j)] == '0')
            out[size_t(j)] += '0';
        else if (places[size_t(j)] == '?')
            out[size_t(j)] += ' ';
    }
    if (grouping) {
        std::string all;
        for (std::string &part : out) {
            all += part;
            part.clear();
        }
        int seen = 0;
        for (int i = int(all.size()) - 1; i >= 0; --i) {
            const char c = all[size_t(i)];
            if (c >= '0' && c <= '9') {
                if (seen > 0 && seen % 3 == 0)
                    out[0].insert(out[0].begin(), ',');
                ++seen;
            }
            out[0].insert(out[0].begin(), c);
        }
    }
    std::vector<QString> result;
    result.reserve(out.size());
    for (const std::string &part : out)
        result.push_back(QString::fromLatin1(part.data(), qsizetype(part.size())));
    return result;
}

QString integerPart(const std::string &digits, const std::vector<char> &places, bool grouping)
{
    QString out;
    for (const QString &part : integerPlaces(digits, places, grouping))
        out += part;
    return out;
}

// Fills decimal places left to right; trailing zeros show only in '0'
// places ('?' shows a space, '#' nothing).
QString decimalPart(const std::string &digits, const std::vector<char> &places)
{
    int last = int(places.size()) - 1;
    while (last >= 0 && places[size_t(last)] != '0' && digits[size_t(last)] == '0')
        --last;
    QString out;
    for (int i = 0; i < int(places.size()); ++i) {
        if (i <= last)
            out += QChar(digits[size_t(i)]);
        else if (places[size_t(i)] == '?')
            out += u' ';
    }
    return out;
}

std::vector<char> placesOf(const std::vector<Token> &tokens, int from, int to)
{
    std::vector<char> places;
    for (int i = from; i < to; ++i) {
        if (tokens[size_t(i)].kind == Tok::Digit)
            places.push_back(tokens[size_t(i)].digit);
    }
    return places;
}

// Writes tokens [from, to) with the integer places filled from `whole`
// (one text per place) and the decimal places from `decimals`.
void renderDigits(const std::vector<Token> &tokens, int from, int to, const std::vector<QString> &whole,
                  const QString &decimals, QString &out)
{
    bool anyPlace = false;
    for (int i = from; i < to; ++i)
        anyPlace |= tokens[size_t(i)].kind == Tok::Digit || tokens[size_t(i)].kind == Tok::Point;
    if (!anyPlace) {
        // Only literals ("zero", "-"): the number itself is not shown.
        for (int i = from; i < to; ++i) {
            if (tokens[size_t(i)].kind == Tok::Literal)
                out += tokens[size_t(i)].text;
            else if (tokens[size_t(i)].kind == Tok::Percent)
                out += u'%';
        }
        return;
    }
    size_t place = 0;
    bool afterPoint = false;
    bool decimalsDone = false;
    auto restOfWhole = [&] {
        for (; place < whole.size(); ++place)
            out += whole[place];
    };
    for (int i = from; i < to; ++i) {
        const Token &t = tokens[size_t(i)];
        switch (t.kind) {
        case Tok::Digit:
            if (!afterPoint && place < whole.size()) {
                out += whole[place++];
            } else if (afterPoint && !decimalsDone) {
                out += decimals;
                decimalsDone = true;
            }
            break;
        case Tok::Point:
            restOfWhole();
            if (!decimals.isEmpty())
                out += u'.';   // "#." shows no point where no decimal follows
            afterPoint = true;
            break;
        case Tok::Percent:
            out += u'%';
            break;
        case Tok::Literal:
            out += t.text;
            break;
        default:
            break;   // grouping and scaling commas, text places
        }
    }
    if (!afterPoint)
        restOfWhole();
}

QString renderPlain(const Section &s, double x)
{
    const std::vector<Token> &tokens = s.tokens;
    const int end = int(tokens.size());
    int pointAt = end;
    for (int i = 0; i < end; ++i) {
        if (tokens[size_t(i)].kind == Tok::Point) {
            pointAt = i;
            break;
        }
    }
    const Digits d = roundTo(toDigits(x), s.decimals);
    const std::vector<QString> whole = integerPlaces(integerDigits(d), placesOf(tokens, 0, pointAt), s.grouping);
    const QString decimals =
        decimalPart(fractionDigits(d, s.decimals), placesOf(tokens, std::min(pointAt + 1, end), end));
    QString out;
    renderDigits(tokens, 0, end, whole, decimals, out);
    return out;
}

QString renderScientific(const Section &s, double x)
{
    const std::vector<Token> &tokens = s.tokens;
    int exponentAt = 0;
    int pointAt = -1;
    for (int i = 0; i < int(tokens.size()); ++i) {
        if (tokens[size_t(i)].kind == Tok::Exponent) {
            exponentAt = i;
            break;
        }
        if (tokens[size_t(i)].kind == Tok::Point && pointAt < 0)
            pointAt = i;
    }
    const int mantissaEnd = exponentAt;
    const std::vector<char> intPlaces = placesOf(tokens, 0, pointAt < 0 ? mantissaEnd : pointAt);
    const int n = std::max(1, int(intPlaces.size()));
    bool hash = false;
    for (char c : intPlaces)
        hash |= c == '#';

    Digits d = toDigits(x);
    int exponent = 0;
    for (int pass = 0; pass < 2 && !d.isZero(); ++pass) {
        const int lead = d.leadingExponent();
        exponent = hash && n > 1 ? int(std::floor(double(lead) / n)) * n : lead - (n - 1);
        Digits m = d;
        m.point -= exponent;
        m = roundTo(m, s.decimals);
        if (m.isZero() || m.leadingExponent() + exponent == lead || pass == 1) {
            d = m;
            break;
        }
        d = m;
        d.point += exponent;   // rounding carried into a new leading digit
    }
    const std::vector<QString> whole = integerPlaces(integerDigits(d), intPlaces, s.grouping);
    const QString decimals = decimalPart(fractionDigits(d, s.decimals),
                                         placesOf(tokens, pointAt < 0 ? mantissaEnd : pointAt + 1, mantissaEnd));
    QString out;
    renderDigits(tokens, 0, mantissaEnd, whole, decimals, out);

    const Token &e = tokens[size_t(exponentAt)];
    out += u'E';
    if (exponent < 0)
        out += u'-';
    else if (e.text == u"+")
        out += u'+';
    const std::vector<char> expPlaces = placesOf(tokens, exponentAt + 1, int(tokens.size()));
    const std::string expDigits = exponent == 0 ? std::string() : std::to_string(std::abs(exponent));
    out += integerPart(expDigits, expPlaces, false);
    for (int i = exponentAt + 1; i < int(tokens.size()); ++i) {
        if (tokens[size_t(i)].kind == Tok::Literal)
            out += tokens[size_t(i)].text;
    }
    return out;
}

// The fraction nearest to `f` (0 <= f < 1) with a denominator up to
// `maxDen`: the last convergent of its continued fraction within the bound,
// or the semiconvergent past it when that is nearer.
std::pair<long long, long long> nearestFraction(double f, long long maxDen)
{
    long long p0 = 0, q0 = 1, p1 = 1, q1 = 0;
    double x = f;
    for (int i = 0; i < 64; ++i) {
        const double a = std::floor(x);
        if (a > double(maxDen) * 4)
            break;
        const long long ai = (long long)a;
        const long long p2 = ai * p1 + p0;
        const long long q2 = ai * q1 + q0;
        if (q2 > maxDen) {
            const long long k = (maxDen - q0) / q1;
            const long long ps = k * p1 + p0;
            const long long qs = k * q1 + q0;
            if (std::fabs(f - double(ps) / double(qs)) < std::fabs(f - double(p1) / double(q1)))
                return {ps, qs};
            break;
        }
        p0 = p1;
        q0 = q1;
        p1 = p2;
        q1 = q2;
        const double rest = x - a;
        if (rest < 1e-12)
            break;
        x = 1 / rest;
    }
    return {p1, q1};
}

QString renderFraction(const Section &s, double x)
{
    const std::vector<Token> &tokens = s.tokens;
    int slashAt = 0;
    for (int i = 0; i < int(tokens.size()); ++i) {
        if (tokens[size_t(i)].kind == Tok::Slash) {
            slashAt = i;
            break;
        }
    }
    int numStart = slashAt;
    while (numStart > 0 && tokens[size_t(numStart) - 1].kind == Tok::Digit)
        --numStart;
    const std::vector<char> intPlaces = placesOf(tokens, 0, numStart);
    const std::vector<char> numPlaces = placesOf(tokens, numStart, slashAt);
    std::vector<char> denPlaces;
    long long fixedDen = 0;
    int denEnd = slashAt + 1;
    for (; denEnd < int(tokens.size()); ++denEnd) {
        const Token &t = tokens[size_t(denEnd)];
        if (t.kind == Tok::Digit && fixedDen == 0) {
            denPlaces.push_back(t.digit);
        } else if (t.kind == Tok::Literal && denPlaces.empty() && fixedDen == 0 && !t.text.isEmpty()
                   && t.text.front().isDigit()) {
            qsizetype k = 0;
            while (k < t.text.size() && t.text.at(k).isDigit())
                ++k;
            fixedDen = t.text.left(k).toLongLong();
            break;
        } else {
            break;
        }
    }

    const bool withWhole = !intPlaces.empty();
    double whole = withWhole ? std::floor(x) : 0;
    const double f = x - whole;
    long long num = 0;
    long long den = 1;
    if (fixedDen > 0) {
        num = std::llround(f * double(fixedDen));
        den = fixedDen;
    } else {
        long long maxDen = 1;
        for (size_t i = 0; i < std::max<size_t>(1, denPlaces.size()) && i < 4; ++i)
            maxDen *= 10;
        std::tie(num, den) = nearestFraction(f, maxDen - 1);
    }
    if (withWhole && num == den) {
        whole += 1;
        num = 0;
    }

    const std::string wholeDigits = whole >= 1 ? fixedText(toDigits(whole)) : std::string();
    QString out;
    out += integerPart(wholeDigits, intPlaces, s.grouping);
    for (int i = 0; i < numStart; ++i) {
        if (tokens[size_t(i)].kind == Tok::Literal)
            out += tokens[size_t(i)].text;
    }
    if (withWhole && num == 0) {
        // A whole number: the fraction's places stay blank.
        if (wholeDigits.empty())
            out = integerPart("0", {'0'}, false);
        out += QString(qsizetype(numPlaces.size() + 1 + std::max<size_t>(denPlaces.size(), 1)), u' ');
    } else {
        out += integerPart(std::to_string(num), numPlaces, false);
        out += u'/';
        QString denText = QString::number(den);
        for (size_t i = size_t(denText.size()); i < denPlaces.size(); ++i) {
            if (denPlaces[i] == '?')
                denText += u' ';
        }
        out += denText;
    }
    for (int i = denEnd + (fixedDen > 0 ? 1 : 0); i < int(tokens.size()); ++i) {
        const Token &t = tokens[size_t(i)];
        if (t.kind == Tok::Literal)
            out += t.text;
        else if (t.kind == Tok::Percent)
            out += u'%';
    }
    return out;
}

QString renderNumber(const Section &s, double value, bool signed_)
{
    double x = std::fabs(value);
    for (int i = 0; i < s.percent; ++i)
        x *= 100;
    for (int i = 0; i < s.scale; ++i)
        x /= 1000;

    QString out;
    bool general = false;
    for (const Token &t : s.tokens)
        general |= t.kind == Tok::General;
    if (general) {
        for (const Token &t : s.tokens) {
            if (t.kind == Tok::General)
                out += generalNumber(x);
            else if (t.kind == Tok::Literal)
                out += t.text;
            else if (t.kind == Tok::Percent)
                out += u'%';
        }
    } else if (s.scientific) {
        out = renderScientific(s, x);
    } else if (s.fraction) {
        out = renderFraction(s, x);
    } else {
        out = renderPlain(s, x);
    }
    if (signed_ && value < 0) {
        bool nonZero = general;
        for (const QChar c : out)
            nonZero |= c >= u'1' && c <= u'9';
        if (nonZero)
            out.prepend(u'-');
    }
    return out;
}

// ---------------------------------------------------------------------------
// Dates.

struct CivilDate {
    int year = 1900;
    int month = 1;
    int day = 0;
    int weekday = 0;   // 0 Sunday
};

CivilDate dateOfSerialDay(long long day, bool date1904)
{
    CivilDate c;
    QDate date;
    if (date1904) {
        date = QDate(1904, 1, 1).addDays(day);
    } else if (day == 60) {
        // The 1900 system counts 29 February 1900, a day that never was.
        return {1900, 2, 29, 3};
    } else if (day < 60) {
        // Serial 1 is 1900-01-01; the system has no earlier date, so the
        // count simply goes on backwards (0 is 1899-12-31).
        date = QDate(1899, 12, 31).addDays(day);
    } else {
        date = QDate(1899, 12, 30).addDays(day);
    }
    c.year = date.year();
    c.month = date.month();
    c.day = date.day();
    if (!date1904 && day > 0)
        c.weekday = int((day + 6) % 7);
    else
        c.weekday = date.dayOfWeek() % 7;
    return c;
}

// Appends n (0 or more) with at least `width` digits.
void appendPadded(QString &out, long long n, int width)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, n).ptr;
    for (qsizetype i = end - digits; i < width; ++i)
        out += u'0';
    out += QLatin1StringView(digits, end - digits);
}

QString renderDate(const Section &s, double value, bool date1904)
{
    // Times are taken to the millisecond and then cut to the places shown,
    // so 23:59:59.6 reads 23:59:59, not the next day.
    constexpr long long kDay = 86400000;
    const double scaled = std::round(value * double(kDay));
    if (!std::isfinite(scaled) || std::fabs(scaled) > 9.0e17)
        return generalNumber(value);
    const long long total = (long long)scaled;
    long long day = total / kDay;
    long long rest = total % kDay;
    if (rest < 0) {
        rest += kDay;
        --day;
    }
    const long long seconds = rest / 1000;
    long long fraction = rest % 1000;
    for (int i = s.secondDecimals; i < 3; ++i)
        fraction /= 10;
    const int hour = int(seconds / 3600);
    const int minute = int(seconds / 60 % 60);
    const int second = int(seconds % 60);
    // Spreadsheets show dates from the year 1 to 9999 (serial 2958465).
    if (day > 2958465 || day < -693593)
        return generalNumber(value);
    const CivilDate date = dateOfSerialDay(day, date1904);
    const long long totalSeconds = (total >= 0 ? total : -total) / 1000;
    const QString sign = total < 0 ? QStringLiteral("-") : QString();

    QString out;
    for (const Token &t : s.tokens) {
        switch (t.kind) {
        case Tok::Literal: out += t.text; break;
        case Tok::Year2: appendPadded(out, date.year % 100, 2); break;
        case Tok::Year4: appendPadded(out, date.year, 4); break;
        case Tok::Month: appendPadded(out, date.month, 1); break;
        case Tok::Month2: appendPadded(out, date.month, 2); break;
        case Tok::MonthAbbr: out += QString::fromLatin1(kMonths[size_t(date.month - 1)]).left(3); break;
        case Tok::MonthName: out += QString::fromLatin1(kMonths[size_t(date.month - 1)]); break;
        case Tok::MonthLetter: out += QChar(kMonths[size_t(date.month - 1)][0]); break;
        case Tok::Day: appendPadded(out, date.day, 1); break;
        case Tok::Day2: appendPadded(out, date.day, 2); break;
        case Tok::DayAbbr: out += QString::fromLatin1(kDays[size_t(date.weekday)]).left(3); break;
        case Tok::DayName: out += QString::fromLatin1(kDays[size_t(date.weekday)]); break;
        case Tok::Hour:
        case Tok::Hour2: {
            int h = hour;
            if (s.twelveHour) {
                h %= 12;
                if (h == 0)
                    h = 12;
            }
            appendPadded(out, h, t.kind == Tok::Hour2 ? 2 : 1);
            break;
        }
        case Tok::Minute: appendPadded(out, minute, 1); break;
        case Tok::Minute2: appendPadded(out, minute, 2); break;
        case Tok::Second: appendPadded(out, second, 1); break;
        case Tok::Second2: appendPadded(out, second, 2); break;
        case Tok::ElapsedHours: out += sign; appendPadded(out, totalSeconds / 3600, t.count); break;
        case Tok::ElapsedMinutes: out += sign; appendPadded(out, totalSeconds / 60, t.count); break;
        case Tok::ElapsedSeconds: out += sign; appendPadded(out, totalSeconds, t.count); break;
        case Tok::FracSeconds: {
            QString digits;
            appendPadded(digits, fraction, s.secondDecimals);
            out += u'.';
            out += QStringView(digits).left(std::max(1, t.count));
            break;
        }
        case Tok::AmPm: {
            const bool pm = hour >= 12;
            const qsizetype bar = t.text.indexOf(u'/');
            out += pm ? t.text.mid(bar + 1) : t.text.left(bar);
            break;
        }
        case Tok::Point: out += u'.'; break;
        case Tok::Comma: out += u','; break;
        case Tok::Percent: out += u'%'; break;
        case Tok::Slash: out += u'/'; break;
        case Tok::Digit: out += QChar(t.digit); break;
        case Tok::Exponent: out += u'E' + t.text; break;
        case Tok::Text:
        case Tok::General: break;
        }
    }
    return out;
}

QString renderText(const Section &s, const QString &text)
{
    QString out;
    for (const Token &t : s.tokens) {
        if (t.kind == Tok::Text)
            out += text;
        else if (t.kind == Tok::Literal)
            out += t.text;
    }
    return out;
}

bool isHexDigit(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// "_xHHHH_" at text[i].
bool isEscapeAt(QStringView text, qsizetype i)
{
    if (i + 7 > text.size() || text[i] != u'_' || text[i + 1] != u'x' || text[i + 6] != u'_')
        return false;
    for (qsizetype k = 2; k < 6; ++k) {
        if (!isHexDigit(text[i + k]))
            return false;
    }
    return true;
}

// A plain decimal that General shows exactly as written: no exponent, no
// superfluous zeros, at most 15 significant digits, not below 0.0001.
bool showsAsWritten(QStringView raw)
{
    qsizetype i = 0;
    const qsizetype n = raw.size();
    if (i < n && raw[i] == u'-')
        ++i;
    const qsizetype intStart = i;
    while (i < n && raw[i] >= u'0' && raw[i] <= u'9')
        ++i;
    const qsizetype intLen = i - intStart;
    if (intLen == 0 || (intLen > 1 && raw[intStart] == u'0'))
        return false;
    const bool zeroWhole = raw[intStart] == u'0';
    int significant = zeroWhole ? 0 : int(intLen);
    if (i == n)
        return significant <= 15 && !(zeroWhole && intStart > 0);   // "-0" reads "0"
    if (raw[i] != u'.')
        return false;
    ++i;
    const qsizetype fracStart = i;
    while (i < n && raw[i] >= u'0' && raw[i] <= u'9')
        ++i;
    if (i != n || i == fracStart || raw[n - 1] == u'0')
        return false;
    if (zeroWhole) {
        qsizetype zeros = 0;
        while (raw[fracStart + zeros] == u'0')
            ++zeros;
        if (zeros > 3)
            return false;
        significant = int(n - fracStart - zeros);
    } else {
        significant += int(n - fracStart);
    }
    return significant <= 15;
}

std::optional<double> parseNumber(QStringView raw)
{
    raw = raw.trimmed();
    if (raw.isEmpty() || raw.size() > 64)
        return std::nullopt;
    char buffer[64];
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const char16_t c = raw[i].unicode();
        if (c > 0x7f)
            return std::nullopt;
        buffer[i] = char(c);
    }
    const char *begin = buffer[0] == '+' ? buffer + 1 : buffer;
    double value = 0;
    const auto result = std::from_chars(begin, buffer + raw.size(), value);
    if (result.ec != std::errc() || result.ptr != buffer + raw.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

// ---------------------------------------------------------------------------

XlsxCellType xlsxCellType(std::string_view t)
{
    if (t.empty() || t == "n")
        return XlsxCellType::Number;
    if (t == "s")
        return XlsxCellType::SharedString;
    if (t == "b")
        return XlsxCellType::Boolean;
    if (t == "str")
        return XlsxCellType::FormulaString;
    if (t == "inlineStr")
        return XlsxCellType::InlineString;
    if (t == "e")
        return XlsxCellType::Error;
    if (t == "d")
        return XlsxCellType::Date;
    return XlsxCellType::Number;
}

QString builtInNumberFormat(int numFmtId)
{
    // ECMA-376-1, 18.8.30 (numFmt), with the locale-dependent ids as an
    // en-US spreadsheet shows them (14 is the short date m/d/yyyy, 5 to 8
    // dollar amounts, 27 to 36 and 50 to 58 East Asian dates read as short
    // dates).
    switch (numFmtId) {
    case 1: return QStringLiteral("0");
    case 2: return QStringLiteral("0.00");
    case 3: return QStringLiteral("#,##0");
    case 4: return QStringLiteral("#,##0.00");
    case 5: return QStringLiteral("\"$\"#,##0_);\\(\"$\"#,##0\\)");
    case 6: return QStringLiteral("\"$\"#,##0_);[Red]\\(\"$\"#,##0\\)");
    case 7: return QStringLiteral("\"$\"#,##0.00_);\\(\"$\"#,##0.00\\)");
    case 8: return QStringLiteral("\"$\"#,##0.00_);[Red]\\(\"$\"#,##0.00\\)");
    case 9: return QStringLiteral("0%");
    case 10: return QStringLiteral("0.00%");
    case 11: return QStringLiteral("0.00E+00");
    case 12: return QStringLiteral("# ?/?");
    case 13: return QStringLiteral("# ?\?/??");
    case 14: return QStringLiteral("m/d/yyyy");
    case 15: return QStringLiteral("d-mmm-yy");
    case 16: return QStringLiteral("d-mmm");
    case 17: return QStringLiteral("mmm-yy");
    case 18: return QStringLiteral("h:mm AM/PM");
    case 19: return QStringLiteral("h:mm:ss AM/PM");
    case 20: return QStringLiteral("h:mm");
    case 21: return QStringLiteral("h:mm:ss");
    case 22: return QStringLiteral("m/d/yyyy h:mm");
    case 37: return QStringLiteral("#,##0 ;(#,##0)");
    case 38: return QStringLiteral("#,##0 ;[Red](#,##0)");
    case 39: return QStringLiteral("#,##0.00;(#,##0.00)");
    case 40: return QStringLiteral("#,##0.00;[Red](#,##0.00)");
    case 41: return QStringLiteral("_(* #,##0_);_(* \\(#,##0\\);_(* \"-\"_);_(@_)");
    case 42: return QStringLiteral("_(\"$\"* #,##0_);_(\"$\"* \\(#,##0\\);_(\"$\"* \"-\"_);_(@_)");
    case 43: return QStringLiteral("_(* #,##0.00_);_(* \\(#,##0.00\\);_(* \"-\"??_);_(@_)");
    case 44: return QStringLiteral("_(\"$\"* #,##0.00_);_(\"$\"* \\(#,##0.00\\);_(\"$\"* \"-\"??_);_(@_)");
    case 45: return QStringLiteral("mm:ss");
    case 46: return QStringLiteral("[h]:mm:ss");
    case 47: return QStringLiteral("mm:ss.0");
    case 48: return QStringLiteral("##0.0E+0");
    case 49: return QStringLiteral("@");
    case 32: return QStringLiteral("h:mm");
    case 33: return QStringLiteral("h:mm:ss");
    default:
        if ((numFmtId >= 27 && numFmtId <= 36) || (numFmtId >= 50 && numFmtId <= 58))
            return QStringLiteral("m/d/yyyy");
        return QStringLiteral("General");
    }
}

NumberFormat::NumberFormat() = default;
NumberFormat::~NumberFormat() = default;
NumberFormat::NumberFormat(const NumberFormat &) = default;
NumberFormat &NumberFormat::operator=(const NumberFormat &) = default;

NumberFormat::NumberFormat(const QString &code)
{
    // Spreadsheet programs keep codes to 255 characters; a longer one is
    // no format but a way to make every cell enormous.
    const QString trimmed = code.trimmed();
    if (trimmed.isEmpty() || trimmed.size() > 1024
        || trimmed.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0)
        return;
    auto sections = std::make_shared<std::vector<Section>>(parseSections(trimmed));
    for (int i = 0; i < int(sections->size()); ++i) {
        if ((*sections)[size_t(i)].kind == Section::Kind::Text || i == 3) {
            m_textSection = i;
            break;
        }
    }
    m_general = false;
    m_sections = std::move(sections);
}

bool NumberFormat::isGeneral() const
{
    return m_general;
}

QString NumberFormat::format(double value, bool date1904) const
{
    if (m_general || !std::isfinite(value))
        return generalNumber(value);
    const std::vector<Section> &all = *m_sections;
    std::vector<const Section *> numbers;
    bool conditions = false;
    for (int i = 0; i < int(all.size()) && i < 3; ++i) {
        if (i == m_textSection)
            break;
        numbers.push_back(&all[size_t(i)]);
        conditions |= all[size_t(i)].hasCondition;
    }
    if (numbers.empty())
        return generalNumber(value);

    const Section *section = numbers.front();
    bool signed_ = true;
    if (conditions) {
        section = nullptr;
        for (const Section *s : numbers) {
            if (s->hasCondition ? s->matches(value) : true) {
                section = s;
                break;
            }
        }
        if (!section)
            return generalNumber(value);
    } else if (numbers.size() >= 2 && value < 0) {
        section = numbers[1];
        signed_ = false;
    } else if (numbers.size() >= 3 && value == 0) {
        section = numbers[2];
    }
    if (section->kind == Section::Kind::Date)
        return renderDate(*section, value, date1904);
    return renderNumber(*section, value, signed_);
}

QString NumberFormat::formatText(const QString &text) const
{
    if (m_textSection < 0)
        return text;
    return renderText((*m_sections)[size_t(m_textSection)], text);
}

QString generalNumber(double value)
{
    if (!std::isfinite(value))
        return QString::number(value);
    const Digits d = toDigits(value);
    if (d.isZero())
        return QStringLiteral("0");
    const int e = d.leadingExponent();
    bool scientific = false;
    if (e >= 16 || (e == 15 && std::fabs(value) >= 9007199254740992.0)) {
        scientific = true;
    } else if (e <= -10) {
        scientific = true;
    } else if (e <= -5) {
        // Shown fixed while 16 decimals hold the value (to the last bits a
        // double carries).
        const Digits r = roundTo(d, 16);
        const double a = toDouble(d);
        scientific = !(r.digits == d.digits && r.point == d.point)
            && std::fabs(toDouble(r) - a) > std::fabs(a) * 3.6e-15;
    }
    std::string out = value < 0 ? "-" : "";
    if (!scientific) {
        out += fixedText(d);
    } else {
        out += d.digits.substr(0, 1);
        if (d.digits.size() > 1)
            out += "." + d.digits.substr(1);
        out += e < 0 ? "E-" : "E+";
        std::string exponent = std::to_string(std::abs(e));
        // Positive exponents show three digits, negative ones two.
        const size_t width = e < 0 ? 2 : 3;
        if (exponent.size() < width)
            exponent.insert(0, width - exponent.size(), '0');
        out += exponent;
    }
    return QString::fromLatin1(out.data(), qsizetype(out.size()));
}

std::optional<double> serialFromIso(QStringView iso, bool date1904)
{
    iso = iso.trimmed();
    if (iso.endsWith(u'Z'))
        iso.chop(1);
    QStringView datePart;
    QStringView timePart;
    const qsizetype t = iso.indexOf(u'T');
    if (t >= 0) {
        datePart = iso.left(t);
        timePart = iso.mid(t + 1);
    } else if (iso.contains(u':')) {
        timePart = iso;
    } else {
        datePart = iso;
    }

    double serial = 0;
    if (!datePart.isEmpty()) {
        const QDate date = QDate::fromString(datePart.toString(), Qt::ISODate);
        if (!date.isValid())
            return std::nullopt;
        if (date1904) {
            serial = double(QDate(1904, 1, 1).daysTo(date));
        } else {
            const QDate march1900(1900, 3, 1);
            serial = date >= march1900 ? double(QDate(1899, 12, 30).daysTo(date))
                                       : double(QDate(1899, 12, 31).daysTo(date));
        }
    }
    if (!timePart.isEmpty()) {
        const QList<QStringView> parts = timePart.split(u':');
        if (parts.size() < 2 || parts.size() > 3)
            return std::nullopt;
        bool ok = true;
        const int hours = parts[0].toInt(&ok);
        bool okMinutes = true;
        const int minutes = parts[1].toInt(&okMinutes);
        // Seconds as far as they read as a number: some writers append
        // a second fraction ("01.2.000").
        bool okSeconds = true;
        double seconds = 0;
        if (parts.size() == 3) {
            QStringView s = parts[2];
            const qsizetype secondPoint = s.indexOf(u'.', s.indexOf(u'.') + 1);
            if (s.indexOf(u'.') >= 0 && secondPoint > 0)
                s = s.left(secondPoint);
            seconds = s.toDouble(&okSeconds);
        }
        if (!ok || !okMinutes || !okSeconds || hours < 0 || minutes < 0 || minutes > 59 || seconds < 0
            || seconds >= 61)
            return std::nullopt;
        serial += (hours * 3600.0 + minutes * 60.0 + seconds) / 86400.0;
    }
    return serial;
}

QString decodeEscapes(QStringView text)
{
    if (text.indexOf(u'_') < 0)   // a single character is searched fastest
        return text.toString();
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        if (isEscapeAt(text, i)) {
            out += QChar(char16_t(text.mid(i + 2, 4).toUInt(nullptr, 16)));
            i += 7;
        } else {
            out += text[i];
            ++i;
        }
    }
    return out;
}

QString encodeEscapes(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const bool control = (c < 0x20 && c != u'\t' && c != u'\n') || c == 0xFFFE || c == 0xFFFF;
        if (control)
            out += QStringLiteral("_x%1_").arg(unsigned(c), 4, 16, QLatin1Char('0')).toUpper().replace(1, 1, u'x');
        else if (isEscapeAt(text, i))
            out += QStringLiteral("_x005F_");   // the underscore itself, so the rest reads as written
        else
            out += QChar(c);
    }
    return out;
}

CellFormatter::CellFormatter() = default;

CellFormatter::CellFormatter(const QStringList &formatCodes, bool date1904) : m_date1904(date1904)
{
    // Workbooks repeat a handful of codes over many styles: parse each once.
    QHash<QString, NumberFormat> parsed;
    m_formats.reserve(size_t(formatCodes.size()));
    m_general.reserve(size_t(formatCodes.size()));
    for (const QString &code : formatCodes) {
        auto it = parsed.find(code);
        if (it == parsed.end())
            it = parsed.insert(code, NumberFormat(code));
        m_formats.push_back(it.value());
        m_general.push_back(it.value().isGeneral());
    }
}

const NumberFormat &CellFormatter::formatOf(int styleIndex) const
{
    if (styleIndex < 0 || size_t(styleIndex) >= m_formats.size())
        return m_defaultFormat;
    return m_formats[size_t(styleIndex)];
}

QString CellFormatter::displayText(XlsxCellType type, const QString &raw, int styleIndex) const
{
    switch (type) {
    case XlsxCellType::Boolean: {
        const QString v = raw.trimmed();
        const bool on = v == u"true" || (!v.isEmpty() && v != u"false" && parseNumber(v).value_or(0) != 0);
        return on ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    }
    case XlsxCellType::Error:
        return raw;
    case XlsxCellType::SharedString:
        return formatOf(styleIndex).formatText(raw);
    case XlsxCellType::InlineString:
    case XlsxCellType::FormulaString:
        return formatOf(styleIndex).formatText(decodeEscapes(raw));
    case XlsxCellType::Date: {
        const NumberFormat &format = formatOf(styleIndex);
        const std::optional<double> serial = serialFromIso(raw, m_date1904);
        if (!serial || format.isGeneral())
            return raw;
        return format.format(*serial, m_date1904);
    }
    case XlsxCellType::Number:
        break;
    }
    const bool general = styleIndex < 0 || size_t(styleIndex) >= m_general.size() || m_general[size_t(styleIndex)];
    if (general && showsAsWritten(raw))
        return raw;
    const std::optional<double> value = parseNumber(raw);
    if (!value)
        return raw;
    return formatOf(styleIndex).format(*value, m_date1904);
}

} // namespace batch_data
