#include "batch_data/import/ValueGenerator.h"

#include <QRandomGenerator>
#include <limits>

namespace batch_data {

namespace {

QString tooManyMessage()
{
    return QStringLiteral("A Batch Processing Series can hold at most 100,000 values. Please generate fewer values.");
}

} // namespace

int intValue(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text.at(i) >= QLatin1Char('0') && text.at(i) <= QLatin1Char('9'); ++i) {
        value = value * 10 + (text.at(i).unicode() - '0');
        if (value > std::numeric_limits<int>::max() + 1LL)
            value = std::numeric_limits<int>::max() + 1LL;
    }
    if (negative)
        value = -value;
    return static_cast<int>(std::clamp<long long>(value, std::numeric_limits<int>::min(),
                                                  std::numeric_limits<int>::max()));
}

QString PadZero(const QString &text, int length)
{
    if (text.size() >= length)
        return text;
    return QString(length - text.size(), QLatin1Char('0')) + text;
}

int getRandomNumberBetweenMin(int min, int max)
{
    return static_cast<int>(QRandomGenerator::global()->bounded(static_cast<qint64>(min),
                                                                static_cast<qint64>(max) + 1));
}

std::optional<GeneratorRefusal> checkGeneratorRequest(const GeneratorRequest &r)
{
    switch (r.mode) {
    case GeneratorMode::Sequential: {
        if (r.from.isEmpty())
            return GeneratorRefusal{QStringLiteral("Please enter valid 'From' value."), GeneratorField::From};
        if (r.to.isEmpty())
            return GeneratorRefusal{QStringLiteral("Please enter valid 'To' value."), GeneratorField::To};
        const qint64 from = intValue(r.from), to = intValue(r.to);
        if (to <= from)
            return GeneratorRefusal{QStringLiteral("'From' value must be smaller than 'To' value."),
                                    GeneratorField::From};
        if (to - from + 1 > kMaxGeneratedValues)
            return GeneratorRefusal{tooManyMessage(), GeneratorField::To};
        return std::nullopt;
    }
    case GeneratorMode::Constant:
        if (r.value.isEmpty())
            return GeneratorRefusal{QStringLiteral("Please enter valid 'Value'."), GeneratorField::Value};
        // A count below one would write an empty series as if all went well.
        if (r.count.isEmpty() || intValue(r.count) < 1)
            return GeneratorRefusal{QStringLiteral("Please enter valid 'Count' value."), GeneratorField::Count};
        if (intValue(r.count) > kMaxGeneratedValues)
            return GeneratorRefusal{tooManyMessage(), GeneratorField::Count};
        return std::nullopt;
    case GeneratorMode::Random: {
        if (r.randCount.isEmpty() || intValue(r.randCount) < 1)
            return GeneratorRefusal{QStringLiteral("Please enter valid 'Count' value."), GeneratorField::RandCount};
        // A length outside 1..9 has no range of numbers; refusing it beats
        // a series of zeros.
        const int length = intValue(r.length);
        if (r.length.isEmpty() || length < 1 || length > 9)
            return GeneratorRefusal{QStringLiteral("Please enter valid 'Length' value."), GeneratorField::Length};
        if (intValue(r.randCount) > kMaxGeneratedValues)
            return GeneratorRefusal{tooManyMessage(), GeneratorField::RandCount};
        return std::nullopt;
    }
    }
    return std::nullopt;
}

QStringList generateValues(const GeneratorRequest &r)
{
    QStringList values;
    switch (r.mode) {
    case GeneratorMode::Sequential: {
        const int from = intValue(r.from), to = intValue(r.to);
        const int padTo = std::max(r.from.size(), r.to.size());
        values.reserve(to - from + 1);
        for (qint64 n = from; n <= to; ++n) {
            QString number = QString::number(n);
            // The sign stays in front: "-09", not "0-9".
            if (r.padZeros)
                number = n < 0 ? QLatin1Char('-') + PadZero(number.mid(1), padTo - 1) : PadZero(number, padTo);
            values.append(r.prefix + number + r.suffix);
        }
        break;
    }
    case GeneratorMode::Constant:
        for (int i = 0, count = intValue(r.count); i < count; ++i)
            values.append(r.value);
        break;
    case GeneratorMode::Random: {
        const int length = intValue(r.length);
        int low = 1;
        for (int d = 1; d < length; ++d)
            low *= 10;
        const int high = low * 10 - 1;
        for (int i = 0, count = intValue(r.randCount); i < count; ++i)
            values.append(r.randPrefix + QString::number(getRandomNumberBetweenMin(low == 1 ? 1 : low, high))
                          + r.randSuffix);
        break;
    }
    }
    return values;
}

} // namespace batch_data
