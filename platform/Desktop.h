#pragma once
// Opening files with the desktop's default application.

#include <QString>
#include <QUrl>
#include <functional>

namespace platform {

// Opens the file; false when the path is empty or the desktop refuses.
bool openWithDefaultApplication(const QString &path);

// While set, the handler receives the URL instead of the desktop (tests).
// An empty function removes it.
void setOpenUrlHandler(std::function<bool(const QUrl &)> handler);

} // namespace platform
