#pragma once
// The plain text of an RTF document, as a word processor shows it: groups,
// control words and symbols are interpreted, not stripped. Paragraph and
// line breaks (\par, \line, \sect, \page, \row) become a line feed, \tab and
// \cell a tab; \'hh is a byte of the document's code page (\ansicpgN,
// 1252 when it names none; a double-byte page takes two escapes per
// character) and \uN a UTF-16 code unit whose \ucN fallback characters are
// skipped; the destinations that hold no body text (font, colour and style
// tables, document information, pictures, headers and footers, field
// instructions, anything marked ignorable with \*) are skipped with their
// groups; \bin data is skipped by its length. Pure function; any thread.

#include <QByteArray>
#include <QString>
#include <optional>

namespace batch_data {

// None, with the reason in `error`, when the bytes are not an RTF document
// (no "{\rtf" at the start), its groups do not close, or its text is in a
// code page no converter knows.
std::optional<QString> rtfToPlainText(const QByteArray &rtf, QString *error = nullptr);

} // namespace batch_data
