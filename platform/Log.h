#pragma once
// The program's log: one line per message on standard error.

#include <QString>

namespace platform {

// Writes the message through qInfo(); empty messages are dropped.
void log(const QString &message);

} // namespace platform
