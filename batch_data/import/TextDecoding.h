#pragma once
// Turns the bytes of a text file into text without guessing wrong: UTF-8
// (a byte-order mark is dropped), UTF-16 and UTF-32 with their byte-order
// mark, and UTF-16 without one when its zero bytes give it away. Anything
// else (a legacy 8-bit code page, binary data) is refused with a message
// for the user, because reading it as UTF-8 or Latin-1 would import
// mojibake that looks like data. Pure function; any thread.

#include <QByteArray>
#include <QString>
#include <optional>

namespace batch_data {

// The text of `bytes`, or none with the reason in `error`. An empty file
// is an empty text.
std::optional<QString> decodeText(const QByteArray &bytes, QString *error = nullptr);

// The message shown for a file in an encoding that is refused.
QString unsupportedEncodingMessage();

} // namespace batch_data
