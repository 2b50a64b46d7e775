#pragma once
// The program's log: one line per message on standard error, at debug level
// in the category "quorvant", which is off unless switched on
// (QT_LOGGING_RULES="quorvant.debug=true").

#include <QLoggingCategory>
#include <QString>
#include <functional>

namespace platform {

Q_DECLARE_LOGGING_CATEGORY(logCategory)

// Writes the message to the log's category; empty messages are dropped.
void log(const QString &message);

// Runs `fn`; an exception it throws is logged as "where: reason" instead of
// passed on, for chores whose failure must not stop the caller.
void logFailures(const char *where, const std::function<void()> &fn);

} // namespace platform
