#include "platform/Desktop.h"

#include "platform/MainThread.h"

#include <QDesktopServices>
#include <mutex>

namespace platform {

namespace {
std::mutex handlerMutex;
std::function<bool(const QUrl &)> openHandler;
} // namespace

bool openWithDefaultApplication(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QUrl url = QUrl::fromLocalFile(path);
    std::function<bool(const QUrl &)> handler;
    {
        std::lock_guard lock(handlerMutex);
        handler = openHandler;
    }
    if (handler)
        return handler(url);
    bool opened = false;
    runOnMainThread([&] { opened = QDesktopServices::openUrl(url); });
    return opened;
}

void setOpenUrlHandler(std::function<bool(const QUrl &)> handler)
{
    std::lock_guard lock(handlerMutex);
    openHandler = std::move(handler);
}

} // namespace platform
