#include "platform/Log.h"

#include <QDebug>

namespace platform {

void log(const QString &message)
{
    if (message.isEmpty())
        return;
    qInfo().noquote() << message;
}

} // namespace platform
