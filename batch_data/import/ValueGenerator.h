#pragma once
// The values of the series generator: sequential whole numbers (optionally
// padded with zeros) between a prefix and a suffix, one constant value
// repeated, or random numbers of a given number of digits between a prefix
// and a suffix. Texts come in as typed; numbers are read the way the dialog
// always read them (leading whitespace, a sign, then digits; 0 without
// any). Pure functions; any thread (the random numbers come from the
// process-wide generator, which is thread-safe).

#include <QString>
#include <QStringList>
#include <optional>

namespace batch_data {

// A series is a file the design reads line by line for every record: more
// than this would make runs of hours and files no editor lists well.
inline constexpr int kMaxGeneratedValues = 100000;

enum class GeneratorMode { Sequential, Constant, Random };

struct GeneratorRequest {
    GeneratorMode mode = GeneratorMode::Sequential;
    QString prefix, suffix, from, to;
    bool padZeros = false;
    QString value, count;
    QString randPrefix, randSuffix, length, randCount;
    bool operator==(const GeneratorRequest &) const = default;
};

// The field a refusal is about, where the dialog puts the keyboard focus.
enum class GeneratorField { From, To, Value, Count, RandCount, Length };

struct GeneratorRefusal {
    QString message;
    GeneratorField field;
    bool operator==(const GeneratorRefusal &) const = default;
};

// The first reason not to generate, in the order the dialog checks; none
// when the request can be generated.
std::optional<GeneratorRefusal> checkGeneratorRequest(const GeneratorRequest &request);

// The values of a request that passed the check, in order.
QStringList generateValues(const GeneratorRequest &request);

// The leading decimal integer of the text after leading white space, with
// an optional sign; 0 when there is none; clamped to the 32-bit range.
int intValue(const QString &text);
// The text with "0" put in front until it is at least `length` long.
QString PadZero(const QString &text, int length);
// A random whole number from min to max, both included.
int getRandomNumberBetweenMin(int min, int max);

} // namespace batch_data
