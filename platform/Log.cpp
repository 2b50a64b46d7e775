#include "platform/Log.h"

#include <QDebug>
#include <QLoggingCategory>
#include <exception>

namespace platform {

// Debug messages, off unless QT_LOGGING_RULES switches "quorvant.debug" on.
Q_LOGGING_CATEGORY(logCategory, "quorvant", QtInfoMsg)

void log(const QString &message)
{
    if (message.isEmpty())
        return;
    qCDebug(logCategory).noquote() << message;
}

void logFailures(const char *where, const std::function<void()> &fn)
{
    try {
        fn();
    } catch (const std::exception &e) {
        log(QStringLiteral("%1: %2").arg(QLatin1String(where), QString::fromLocal8Bit(e.what())));
    } catch (...) {
        log(QStringLiteral("%1: unknown exception").arg(QLatin1String(where)));
    }
}

} // namespace platform
