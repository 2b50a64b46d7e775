#pragma once
// Writing files the user owns: all or nothing.

#include <QByteArray>
#include <QString>

namespace platform {

// Writes `data` to a temporary file beside `path` and renames it into place,
// so the file is either the old one or the complete new one. False (with the
// reason in `error`) when any step fails; the old file is then untouched.
bool writeFileAtomically(const QString &path, const QByteArray &data, QString *error = nullptr);

} // namespace platform
