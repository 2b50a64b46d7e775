#include "platform/Log.h"

#include <QDebug>
#include <exception>

namespace platform {

void log(const QString &message)
{
    if (message.isEmpty())
        return;
    qInfo().noquote() << message;
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
