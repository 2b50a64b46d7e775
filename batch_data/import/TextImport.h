#pragma once
// The values that the import wizard takes from a text file (plain text, CSV
// or RTF), from pasted text and from a folder of images. Pure functions;
// any thread. A refusal carries the message the user is shown.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace batch_data {

enum class TextFormat { Plain, Csv, Rtf };

// By the file's extension, in any case: "rtf", "csv", anything else plain.
TextFormat textFormatForPath(const QString &path);

// A value as the wizard keeps it from a text or CSV file: every "\", "{" and
// "}" removed, then trimmed.
QString chk_and_insert_validation(const QString &value);

// The values of a text file's bytes, in order, empty ones left out:
// - plain text: one value per line (LF, CR LF or CR), each cleaned;
// - CSV: every field of every record (RFC 4180), each cleaned;
// - RTF: one value per line of the document's plain text, trimmed (braces
//   and backslashes the document shows are kept).
// None with the message when the bytes cannot be read as text or RTF, or
// hold no value.
std::optional<QStringList> textFileValues(const QByteArray &bytes, TextFormat format, QString *message = nullptr);

// The lines of pasted text. For a series file (`toFile`) the lines of at
// least one character, blanks kept; for the series editor every line (the
// editor trims and drops empty ones). CR LF, LF and a lone CR each end a
// line, as in the series files. None with "Please enter some data." when
// the text is blank.
std::optional<QStringList> pastedTextValues(const QString &text, bool toFile, QString *message = nullptr);

// The full paths of the image files directly in `folder` (by extension:
// jpg, jpeg, jpe, jfif, gif, bmp, png, tif, tiff, in any case), sorted by
// name; sub-folders are passed over whatever their name. Empty when the
// folder cannot be listed.
QStringList imageFolderValues(const QString &folder);

} // namespace batch_data
