#pragma once
// The program's log: one line per message on standard error.

#include <QString>
#include <functional>

namespace platform {

// Writes the message through qInfo(); empty messages are dropped.
void log(const QString &message);

// Runs `fn`; an exception it throws is logged as "where: reason" instead of
// passed on, for chores whose failure must not stop the caller.
void logFailures(const char *where, const std::function<void()> &fn);

} // namespace platform
