// The helpers of Helpers.h that talk to the user or touch widgets; they live
// in platform_widgets so the core stays free of Qt Widgets.
#include "platform/Helpers.h"

#include "platform/Alerts.h"
#include "platform/Desktop.h"
#include "platform/Log.h"
#include "platform/Paths.h"

#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>

void Show_MessageBox(const QString &msg)
{
    platform::logFailures("Show_MessageBox", [&] {
        platform::showAlert({QStringLiteral("\n") + msg, {QStringLiteral("OK")}, 0});
    });
}

bool Show_YES_NO_MessageBox(const QString &msg)
{
    bool yes = false;
    platform::logFailures("Show_YES_NO_MessageBox", [&] {
        yes = platform::showAlert({msg, {QStringLiteral("Yes"), QStringLiteral("No")}, 0}) == 0;
    });
    return yes;
}

YesNoCancel Show_YES_NO_CANCEL_MessageBox(const QString &msg)
{
    // Cancel is the last button, which is also the alert's answer to Escape
    // and to closing it; so is a failure to ask.
    int answer = 2;
    platform::logFailures("Show_YES_NO_CANCEL_MessageBox", [&] {
        answer = platform::showAlert({msg, {QStringLiteral("Yes"), QStringLiteral("No"), QStringLiteral("Cancel")}, 0});
    });
    return answer == 0 ? YesNoCancel::Yes : answer == 1 ? YesNoCancel::No : YesNoCancel::Cancel;
}

void Open_Help_File()
{
    const QString name = QStringLiteral("Help.pdf");
    QString path = QDir(platform::userResourcePath()).filePath(name);
    if (!QFileInfo(path).isFile())
        path = QDir(platform::bundleResourcesPath()).filePath(name);
    if (!QFileInfo(path).isFile()) {
        Show_MessageBox(QStringLiteral("Help file does not exist!"));
        return;
    }
    if (!platform::openWithDefaultApplication(path)) {
        platform::log(QStringLiteral("Could not open %1").arg(path));
        Show_MessageBox(QStringLiteral("The help file could not be opened: no program to show PDF files was found. "
                                       "Please install a PDF viewer, or open the file yourself:\n%1")
                            .arg(QDir::toNativeSeparators(path)));
    }
}

void SetObjEnabled(QWidget *view, bool enabled)
{
    if (!view)
        return;
    view->setEnabled(enabled);
    // A box passes the state on to every control inside it, so controls that
    // were switched off one by one come back with the box.
    const QMetaObject *type = view->metaObject();
    const bool isBox = qobject_cast<QGroupBox *>(view) || type == &QFrame::staticMetaObject
                       || type == &QWidget::staticMetaObject;
    if (!isBox)
        return;
    for (QWidget *child : view->findChildren<QWidget *>())
        child->setEnabled(enabled);
}
